// Walking the stored cells of range and array arguments.
#include "formula/operands.h"

namespace vl {

const uint8_t* NextCellInRectangle(CellCursor& cursor, uint16_t firstColumn, uint32_t firstRow,
                                   uint16_t lastColumn, uint32_t lastRow) {
    return GetNextCellInRange(cursor, CellRange{firstColumn, firstRow, lastColumn, lastRow});
}

FormulaError CRangeWalk::Take(FormulaToken& slot) {
    Release();
    Page* first = nullptr;
    FormulaError error = GetRangeArg(ctx_, slot, first);
    if (error) return error;
    firstColumn_ = slot.firstColumn;
    lastColumn_ = slot.lastColumn;
    firstRow_ = slot.firstRow;
    lastRow_ = slot.lastRow;
    cursor_ = CellCursor{};
    cursor_.flags = kAdvance;
    if (slot.type == kTokenArray) {
        owned_ = first;
        cells_ = nullptr;
        cursor_.page = first;
    } else {
        cells_ = slot.type == kTokenArea ? slot.cells : nullptr;
        // Bisection finds the page that a walk from the first page would reach.
        cursor_.page = cells_ ? cells_->StartPageForRow(firstRow_) : nullptr;
    }
    done_ = cursor_.page == nullptr;
    return 0;
}

const uint8_t* CRangeWalk::Next() {
    if (done_) return nullptr;
    const uint8_t* r = NextCellInRectangle(cursor_, firstColumn_, firstRow_, lastColumn_, lastRow_);
    if (!r) {
        done_ = true;
        return nullptr;
    }
    column_ = uint16_t(cell::Column(r) - firstColumn_);
    row_ = cell::Row(r) - firstRow_;
    if (cells_ && cell::IsFormula(r) && !(cell::ResultFlags(r) & kResultCalculated))
        NotePending(ctx_, cells_, r);
    return r;
}

bool CRangeWalk::NextValue(FormulaToken& value) {
    const uint8_t* r = Next();
    if (!r) return false;
    ReadValue(r, value);
    return true;
}

void CRangeWalk::ReadValue(const uint8_t* record, FormulaToken& value) {
    ClearOperand(value);
    value.cells = cells_;
    CellToOperand(ctx_, value, record);
}

void CRangeWalk::Release() {
    if (owned_) ctx_.scratch.cells.FreePageChain(owned_);
    owned_ = nullptr;
    cells_ = nullptr;
    done_ = true;
}

} // namespace vl
