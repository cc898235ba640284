#include "functions/general/argumentarea.h"

#include <algorithm>

namespace vl {

FormulaError CArgumentArea::Take(FormulaToken& slot) {
    Release();
    Page* first = nullptr;
    FormulaError error = GetRangeArg(ctx_, slot, first);
    if (error) return error;
    rect_ = CellRange{slot.firstColumn, slot.firstRow, slot.lastColumn, slot.lastRow};
    if (slot.type == kTokenArray)
        chain_ = first;
    else
        cells_ = slot.cells;
    return 0;
}

void CArgumentArea::Release() {
    if (chain_) ctx_.scratch.cells.FreePageChain(chain_);
    chain_ = nullptr;
    cells_ = nullptr;
}

const uint8_t* CArgumentArea::CellAt(uint64_t rowOffset, uint64_t columnOffset) const {
    uint64_t row = rect_.r1 + rowOffset;
    uint64_t column = rect_.c1 + columnOffset;
    if (row > kLastRow || column > kLastColumn) return nullptr;
    if (cells_) return FindCell(*cells_, uint32_t(row), uint16_t(column));
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = chain_;
    if (!cursor.page) return nullptr;
    return NextCellInRectangle(cursor, uint16_t(column), uint32_t(row), uint16_t(column),
                               uint32_t(row));
}

void CArgumentArea::ReadValue(const uint8_t* record, FormulaToken& value) const {
    ClearOperand(value);
    value.cells = cells_;
    CellToOperand(ctx_, value, record);
    value.cells = nullptr;
}

bool CArgumentArea::CopyCell(const uint8_t* record, uint16_t column, uint32_t row,
                             CArrayBuilder& builder) const {
    std::string_view text;
    bool isText = cell::IsText(record);
    double number = 0;
    if (isText) {
        text = cell::Text(record);
    } else if (cell::IsNumber(record)) {
        number = cell::Number(record);
    } else {
        // Reading a formula cell reports it when it is not calculated yet.
        FormulaToken value;
        ReadValue(record, value);
        ReleaseOperand(ctx_, value);
        isText = (cell::ResultFlags(record) & kResultText) != 0;
        text = cell::CachedText(record);
        number = cell::CachedNumber(record);
    }
    CellBuffer buffer;
    uint8_t error = cell::Error(record);
    if (!isText) {
        MakeNumberCell(buffer, column, row, number, error);
    } else {
        if (!MakeTextCell(buffer, column, row, text)) return false;
        cell::SetError(buffer.bytes, error);
    }
    return builder.PutRecord(buffer.bytes);
}

CArgumentArea::CPartWalk::CPartWalk(const CArgumentArea& area, const CellRange& offsets)
    : area_(area) {
    const CellRange& r = area.rect_;
    part_ = CellRange{uint16_t(r.c1 + offsets.c1), r.r1 + offsets.r1, uint16_t(r.c1 + offsets.c2),
                      r.r1 + offsets.r2};
    cursor_.flags = kAdvance;
    cursor_.page = area.cells_ ? area.cells_->StartPageForRow(part_.r1) : area.chain_;
}

const uint8_t* CArgumentArea::CPartWalk::Next() {
    if (!cursor_.page) return nullptr;
    const uint8_t* record = NextCellInRectangle(cursor_, part_.c1, part_.r1, part_.c2, part_.r2);
    if (!record) {
        cursor_.page = nullptr;
        return nullptr;
    }
    column_ = uint16_t(cell::Column(record) - area_.rect_.c1);
    row_ = cell::Row(record) - area_.rect_.r1;
    return record;
}

} // namespace vl
