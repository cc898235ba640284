#pragma once
// The recalculation walk as it was before the work stack, kept as the oracle of the
// differential test: it follows one uncalculated precedent at a time, the last one met,
// and evaluates the waiting cell again after each. Its two cycle faults are mended: a cell
// entered again while it waits keeps its waiting link, and a finished cell whose waiting
// cell is calculated already hands on to that cell's own waiting cell.

#include "formula/evaluator.h"
#include "formula/operands.h"
#include "formula/recalc.h"
#include "formula/recalc_spread.h"
#include "model/workbook.h"
#include "platform/core/bytes.h"

#include <cstring>

namespace vl::oracle {

struct Place {
    CCellStore* cells;
    uint32_t row;
    uint16_t column;
};

inline uint32_t ItemIndexOfStore(const CEvalContext& ctx, const CCellStore* cells) {
    uint32_t index = 0;
    for (const CTreeItem* item = ctx.worksheetList; item; item = item->next, ++index)
        if (item->IsWorksheet() && item->cellStore == cells) return index;
    return 0;
}

enum class Entry { kEvaluate, kCircular, kMissing };

inline Entry EnterPrecedent(CEvalContext& ctx, const Place& waiting, const Place& precedent) {
    uint8_t* r = FindCell(*precedent.cells, precedent.row, precedent.column);
    if (!r || !cell::IsFormula(r)) return Entry::kMissing;
    if (r[13] >= 1) {
        r[13] = uint8_t(r[13] < 255 ? r[13] + 1 : 255);
        r[14] |= kResultCalculated;
        cell::SetError(r, kErrCirc >> 4);
        return Entry::kCircular;
    }
    StoreU16(r + 15, waiting.column);
    StoreU32(r + 17, waiting.row);
    StoreU32(r + 21, ItemIndexOfStore(ctx, waiting.cells));
    r[14] |= kResultWaiting;
    r[13] = 1;
    return Entry::kEvaluate;
}

inline bool NextWaitingCell(CEvalContext& ctx, Place& place) {
    for (;;) {
        uint8_t* r = FindCell(*place.cells, place.row, place.column);
        if (!r || !cell::IsFormula(r) || !(r[14] & kResultWaiting)) return false;
        r[14] = uint8_t(r[14] & ~kResultWaiting);
        place = {GetWorksheetByIndex(ctx, cell::WaitingWorksheet(r)), cell::WaitingRow(r),
                 cell::WaitingColumn(r)};
        const uint8_t* w = FindCell(*place.cells, place.row, place.column);
        if (!w || !cell::IsFormula(w)) return false;
        if (!(cell::ResultFlags(w) & kResultCalculated)) return true;
    }
}

inline bool IsCalculated(const Place& place) {
    const uint8_t* r = FindCell(*place.cells, place.row, place.column);
    return r && (cell::ResultFlags(r) & kResultCalculated);
}

inline void CalculateChain(CEvalContext& ctx, Place place) {
    char buffer[kPagePayload];
    for (;;) {
        ctx.currentCells = place.cells;
        ClearOperand(ctx.pendingPrecedent);
        const uint8_t* r = FindCell(*place.cells, place.row, place.column);
        if (!r) return;
        std::string_view stored = cell::Formula(r);
        std::memcpy(buffer, stored.data(), stored.size());
        std::string_view text(buffer, stored.size());
        uint16_t kind =
            EvaluateFormula(ctx, text, place.column, place.row) ? FinishFormulaResult(ctx) : 0;
        if (ctx.pendingPrecedent.refFlags && ctx.pendingPrecedent.cells) {
            Place precedent{ctx.pendingPrecedent.cells, ctx.pendingPrecedent.row,
                            ctx.pendingPrecedent.column};
            ClearOperand(ctx.pendingPrecedent);
            Entry entry = EnterPrecedent(ctx, place, precedent);
            if (entry == Entry::kEvaluate) place = precedent;
            if (entry == Entry::kEvaluate || !IsCalculated(place)) continue;
            if (entry == Entry::kCircular) {
                // A cell that entered itself is finished with the error.
                if (!NextWaitingCell(ctx, place)) return;
                continue;
            }
        }
        WriteFormulaResult(ctx, *place.cells, place.row, place.column, text, kind);
        uint8_t* w = FindCell(*place.cells, place.row, place.column);
        if (w && w[13] > 0) --w[13];
        if (!NextWaitingCell(ctx, place)) return;
    }
}

inline void WalkSheet(CEvalContext& ctx, CCellStore& cells, CTreeItem* list) {
    ctx.worksheetList = list;
    CellCursor walk{kAdvance, cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(walk)) {
        if (!cell::IsFormula(r) || (cell::ResultFlags(r) & kResultCalculated)) continue;
        const uint32_t row = cell::Row(r);
        const uint16_t column = cell::Column(r);
        CalculateChain(ctx, {&cells, row, column});
        walk = CellCursor{kAdvance, nullptr, 0};
        if (const RowIndexEntry* entry = cells.RowEntry(row); entry && entry->page)
            walk.page = entry->page, walk.offset = entry->offset;
        FindCellFromCursor(cells, row, column, walk);
        if (!walk.page) break;
    }
}

inline void Recalculate(CWorkbook& workbook, CEvalContext& ctx, CCellStore* only = nullptr) {
    ctx.worksheetList = workbook.tree.first;
    ctx.currentCells = only;
    ++ctx.recalculation;
    ctx.spreads.Begin();
    for (CTreeItem* item = workbook.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item)) ResetFormulaCells(sheet->cells);
    for (CTreeItem* item = workbook.tree.first; item; item = item->next) {
        CWorksheet* sheet = AsWorksheet(item);
        if (sheet && (!only || only == &sheet->cells))
            WalkSheet(ctx, sheet->cells, workbook.tree.first);
    }
    // The rounds after an array spread are walked the same way.
    SettleSpreads(ctx, workbook, only, [&ctx](CCellStore& cells, uint32_t row, uint16_t column) {
        CalculateChain(ctx, {&cells, row, column});
    });
    ctx.spreads.End();
    for (CTreeItem* item = workbook.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item)) sheet->cells.ClearRowIndex(false);
}

} // namespace vl::oracle
