// Temporary arrays built cell by cell in pages borrowed from the scratch store.
#include "formula/operands.h"

namespace vl {

namespace {

// A page split takes at most two pages at once.
constexpr uint32_t kSparePages = 2;

} // namespace

CArrayBuilder::~CArrayBuilder() {
    Page* chain = Detach();
    if (chain) ctx_.scratch.cells.FreePageChain(chain);
}

bool CArrayBuilder::Reserve() {
    while (store_.FreePageCount() < kSparePages) {
        Page* page = ctx_.scratch.cells.AllocPage(true);
        if (!page) return false;
        store_.FreePageChain(page);
    }
    return true;
}

bool CArrayBuilder::PutRecord(const uint8_t* record) {
    if (!Reserve()) return false;
    uint32_t row = cell::Row(record);
    uint16_t column = cell::Column(record);
    // The cursor only helps writes in storage order.
    if (any_ && !cell::Before(lastRow_, lastColumn_, row, column)) cursor_ = CellCursor{};
    if (!store_.PutCell(record, cursor_)) return false;
    lastRow_ = row;
    lastColumn_ = column;
    any_ = true;
    return true;
}

bool CArrayBuilder::Put(uint16_t column, uint32_t row, FormulaToken& value) {
    CellBuffer buffer;
    if (value.type == kTokenText) {
        std::string_view text = ctx_.stringPool.PopTempString();
        value.type = kTokenEmpty;
        if (!MakeTextCell(buffer, column, row, text)) return false;
        buffer.bytes[0] = uint8_t(buffer.bytes[0] | (value.error & 0xF0));
    } else {
        ReleaseOperand(ctx_, value);
        double number = value.type == kTokenNumber ? value.number : 0;
        MakeNumberCell(buffer, column, row, number, uint8_t(value.error >> 4));
    }
    return PutRecord(buffer.bytes);
}

Page* CArrayBuilder::Detach() {
    Page* chain = store_.DetachPages(true);
    while (store_.FreePageCount() > 0) ctx_.scratch.cells.FreePageChain(store_.AllocPage(true));
    cursor_ = CellCursor{};
    any_ = false;
    return chain;
}

} // namespace vl
