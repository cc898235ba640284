#include "tests/files/carried/xmlcarriedcells.h"

#include "files/xmlelements.h"
#include "formula/token.h"
#include "model/cellrecord.h"
#include "model/formatstore.h"

#include <cmath>

namespace vl {

namespace {

// Only the bits the column table uses are written.
void CarryColumns(CFormatStore& formats) {
    constexpr uint16_t kWidthBits = 0x1FFF, kSizeBits = 0x0FFF;
    for (ColumnEntry& e : formats.columns)
        e = {uint16_t(e.width & kWidthBits), uint16_t(e.style & kStyleIndexMask),
             uint16_t(e.autoRowHeight & kSizeBits)};
}

// Rows as the XML form writes them: the height and the fixed bit of a row that is fixed or
// of its own height, 0 for another, and the list ending at the last such row.
void CarryRowHeights(CFormatStore& formats) {
    constexpr uint16_t kEntryBits = 0x1FFF;
    const uint16_t reference = XmlReferenceRowHeight(formats);
    CPagedList& rows = formats.rowHeights;
    uint32_t written = 0;
    for (uint32_t row = 0; row < rows.ItemCount(); ++row) {
        uint16_t* entry = rows.GetItem2(row);
        *entry &= kEntryBits;
        const uint16_t height = *entry >> 1;
        if (!(*entry & 1) && (height == 0 || height == reference)) *entry = 0;
        if (*entry) written = row + 1;
    }
    rows.Truncate(written, 2);
}

// A cell record as the XML form writes and reads it back: the flags of its kind, an error
// value as a number 0 with its code, a negative zero as 0, a formula that is no array
// covering one cell, with one kind of result, and nothing of a recalculation in progress.
bool CarryCellRecord(const uint8_t* r, CellBuffer& out) {
    const uint16_t column = cell::Column(r);
    const uint32_t row = cell::Row(r);
    uint8_t error = cell::Error(r);
    if (!cell::IsFormula(r)) {
        bool ok = false;
        if (cell::IsText(r) && !error) {
            ok = MakeTextCell(out, column, row, cell::Text(r));
        } else {
            double value = error || cell::IsText(r) ? 0 : cell::Number(r);
            if (!std::isfinite(value)) error = kErrNum >> 4;
            ok = MakeNumberCell(out, column, row, error || value == 0 ? 0 : value, error);
        }
        if (ok && (cell::Flags(r) & kCellArrayElement)) out.bytes[0] |= kCellArrayElement;
        return ok;
    }
    FormulaHead head = ReadFormulaHead(r);
    const uint8_t array = head.resultFlags & kResultArray;
    const bool text =
        !error && !(head.resultFlags & kResultNumber) && (head.resultFlags & kResultText);
    if (!text && !error && !std::isfinite(head.cachedNumber)) error = kErrNum >> 4;
    head.flags = uint8_t(kCellFormula | (error << 4));
    if (!array) head.arrayWidth = 1, head.arrayHeight = 1;
    head.visits = 0;
    head.resultFlags = uint8_t(array | (text ? kResultText : kResultNumber));
    head.waitingColumn = 0;
    head.waitingRow = 0;
    head.waitingWorksheet = 0;
    if (text || error || head.cachedNumber == 0) head.cachedNumber = 0;
    return MakeFormulaCell(out, column, row, head, cell::Formula(r),
                           text ? cell::CachedText(r) : std::string_view{});
}

// Each record as the XML form gives it back, put into the store anew: some change length.
bool CarryCells(CCellStore& store) {
    Page* chain = store.DetachPages(true);
    CellCursor cursor;
    CellBuffer carried;
    bool ok = true;
    for (const Page* page = chain; ok && page; page = page->next)
        for (uint32_t offset = 0; ok && offset < page->used;) {
            const uint8_t* r = page->payload + offset;
            ok = CarryCellRecord(r, carried) && store.PutCell(carried.bytes, cursor);
            offset += cell::Length(r);
        }
    store.FreePageChain(chain);
    return ok;
}

} // namespace

bool KeepXmlCarriedFormatsAndCells(CWorksheet& sheet) {
    CarryColumns(sheet.formats);
    CarryRowHeights(sheet.formats);
    // Touching runs of one style are written as one.
    CompactFormatRuns(sheet.formats.runs, true);
    return CarryCells(sheet.cells);
}

} // namespace vl
