#include "formula/recalc_chain.h"

#include "formula/evaluator.h"
#include "formula/recalc.h"
#include "model/workbook.h"
#include "platform/core/bytes.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

// What an item of the work stack asks for.
constexpr uint8_t kEvaluate = 0; // evaluate the cell; again once the items above it are done
constexpr uint8_t kEnter = 1;    // enter the cell as a precedent of the item at `waiter`

// States of an item to evaluate.
constexpr uint8_t kTried = 1;    // evaluated once and found precedents to calculate first
constexpr uint8_t kProgress = 2; // one of those was entered or has been calculated since
constexpr uint8_t kDone = 4;     // the cell was finished by another item: it waits no more

constexpr uint32_t kNoWaiter = UINT32_MAX;

// A finished cell no longer waits; the visit that entered it is over.
void Finish(uint8_t* r) {
    r[14] = uint8_t(r[14] & ~kResultWaiting);
    if (r[13] > 0) --r[13];
}

bool SamePlace(const CRecalcChain::Item& a, const CRecalcChain::Item& b) {
    return a.cells == b.cells && a.row == b.row && a.column == b.column;
}

// An error is a number's kind of result, as a written one is; a record restored without a
// result would otherwise show its error as text.
void SetCalculatedError(uint8_t* r, FormulaError error) {
    r[14] = uint8_t(r[14] | kResultCalculated);
    if (!(r[14] & (kResultText | kResultArray))) r[14] = uint8_t(r[14] | kResultNumber);
    cell::SetError(r, uint8_t(error >> 4));
}

} // namespace

void CRecalcChain::Calculate(CCellStore& cells, uint32_t row, uint16_t column) {
    stack_.Clear();
    if (!stack_.Push({&cells, row, column, kEvaluate, 0, kNoWaiter})) {
        uint8_t* r = FindCell(cells, row, column);
        if (r && cell::IsFormula(r) && !(r[14] & kResultCalculated))
            SetCalculatedError(r, kErrMemory);
        return;
    }
    while (!stack_.Empty()) {
        const std::size_t top = stack_.Size() - 1;
        if (stack_[top].step == kEnter)
            Enter(top);
        else
            Evaluate(top);
    }
}

// A precedent is entered when its turn comes, not when it is met, so that the precedents
// a formula read are taken last met first, each one's own precedents before the next.
void CRecalcChain::Enter(std::size_t top) {
    const Item item = stack_[top];
    uint8_t* r = FindCell(*item.cells, item.row, item.column);
    if (!r || !cell::IsFormula(r)) {
        stack_.Pop();
        return;
    }
    // A cell that no longer waits reports no precedents: its remaining ones are left to
    // the cells that read them or to the walk.
    if (stack_[item.waiter].state & kDone) {
        stack_.Pop();
        return;
    }
    stack_[item.waiter].state |= kProgress;
    if (r[14] & kResultCalculated) {
        stack_.Pop();
        return;
    }
    // A cell entered again while it waits is circular. Its waiting link is kept: the cell
    // that waits for it is still on the stack and is evaluated again after it.
    if (r[13] >= 1) {
        r[13] = uint8_t(r[13] < 255 ? r[13] + 1 : 255);
        SetCalculatedError(r, kErrCirc);
        stack_.Pop();
        MarkDone(item);
        return;
    }
    const Item& waiter = stack_[item.waiter];
    StoreU16(r + 15, waiter.column);
    StoreU32(r + 17, waiter.row);
    StoreU32(r + 21, SheetIndex(waiter.cells));
    r[14] |= kResultWaiting;
    r[13] = 1;
    stack_[top] = {item.cells, item.row, item.column, kEvaluate, 0, kNoWaiter};
}

void CRecalcChain::Evaluate(std::size_t top) {
    const Item item = stack_[top];
    uint8_t* r = FindCell(*item.cells, item.row, item.column);
    if (!r || !cell::IsFormula(r) || (r[14] & kResultCalculated)) {
        if (r && cell::IsFormula(r)) r[14] = uint8_t(r[14] & ~kResultWaiting);
        stack_.Pop();
        return;
    }
    ctx_.currentCells = item.cells;
    ClearOperand(ctx_.pendingPrecedent);
    const std::string_view text = cell::Formula(r);
    std::memcpy(formula_, text.data(), text.size());
    const std::string_view formula(formula_, text.size());
    // An array's reads of its own elements are watched for while a recalculation notes
    // changes: such an array keeps the elements it changes (recalc_writeback.cpp).
    if (ctx_.spreads.Active() && (cell::ResultFlags(r) & kResultArray)) {
        const uint32_t width = std::max<uint16_t>(cell::ArrayWidth(r), 1);
        const uint64_t height = std::max<uint32_t>(cell::ArrayHeight(r), 1);
        ctx_.spreads.WatchOwn(item.cells,
                              {item.column, item.row,
                               uint16_t(std::min<uint32_t>(item.column + width - 1, kLastColumn)),
                               uint32_t(std::min<uint64_t>(item.row + height - 1, kLastRow))});
    } else {
        ctx_.spreads.StopWatching();
    }
    const uint16_t kind =
        EvaluateFormula(ctx_, formula, item.column, item.row) ? FinishFormulaResult(ctx_) : 0;
    // Precedents that could not be entered (no such formula cell) are not waited for twice.
    const bool stuck = (item.state & kTried) && !(item.state & kProgress);
    if (!stuck && ctx_.pendingPrecedent.refFlags && ctx_.pendingPrecedent.cells) {
        stack_[top].state = kTried;
        if (PushPrecedents(top)) return;
        stack_.Truncate(top + 1);
        SetCalculatedError(r, kErrMemory);
        Finish(r);
        stack_.Pop();
        return;
    }
    WriteFormulaResult(ctx_, *item.cells, item.row, item.column, formula, kind);
    ctx_.spreads.StopWatching();
    if (uint8_t* w = FindCell(*item.cells, item.row, item.column)) Finish(w);
    stack_.Pop();
    // Only the first cell of the chain can have a second item: it is entered as a
    // precedent while it waits at the bottom.
    if (top > 0 && SamePlace(stack_[0], item)) stack_[0].state |= kDone;
}

// The items that evaluate a cell made circular: it stays on the stack once, or twice when
// it is the first cell of the chain.
void CRecalcChain::MarkDone(const Item& circular) {
    for (std::size_t i = stack_.Size(); i-- > 0;)
        if (stack_[i].step == kEvaluate && SamePlace(stack_[i], circular)) {
            stack_[i].state |= kDone;
            break;
        }
    if (!stack_.Empty() && SamePlace(stack_[0], circular)) stack_[0].state |= kDone;
}

// Pushed in the order met, so the last one met is entered first.
bool CRecalcChain::PushPrecedents(std::size_t waiter) {
    const PendingCells& pending = ctx_.pendingCells;
    const uint32_t w = uint32_t(waiter);
    for (std::size_t i = 0; i < pending.cells.Size(); ++i) {
        const PendingCell& p = pending.cells[i];
        if (!stack_.Push({p.cells, p.row, p.column, kEnter, 0, w})) return false;
    }
    if (pending.incomplete || pending.cells.Empty()) {
        const FormulaToken& last = ctx_.pendingPrecedent;
        if (!stack_.Push({last.cells, last.row, last.column, kEnter, 0, w})) return false;
    }
    return true;
}

uint32_t CRecalcChain::SheetIndex(const CCellStore* cells) {
    if (cells == indexedCells_) return sheetIndex_;
    uint32_t index = 0;
    const CTreeItem* item = ctx_.worksheetList;
    for (; item; item = item->next, ++index)
        if (item->IsWorksheet() && item->cellStore == cells) break;
    indexedCells_ = cells;
    sheetIndex_ = item ? index : 0;
    return sheetIndex_;
}

} // namespace vl
