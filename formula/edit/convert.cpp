#include "formula/edit/convert.h"

#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "formula/edit/undoexec.h"
#include "model/cellmerge.h"
#include "model/cellstyle.h"
#include "model/memoryguard.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"

#include <vector>

namespace vl {

namespace {

struct CommandMode {
    uint16_t command;
    uint8_t mode;
};
constexpr CommandMode kCommandModes[] = {
    {32785, kConvertFormulasToValues}, {32787, kConvertLabelsToNumbers},
    {32786, kConvertNumbersToLabels},  {33058, kConvertToUppercase},
    {33059, kConvertToLowercase},      {33060, kConvertFirstLettersUp}};

bool IsPlainText(const uint8_t* r) {
    return cell::IsText(r) && !(cell::Flags(r) & kCellArrayElement);
}

void ChangeCase(std::string& text, uint8_t mode) {
    bool wordStart = true;
    for (char& c : text) {
        if (mode == kConvertToUppercase || (mode == kConvertFirstLettersUp && wordStart))
            c = CharUpper1252(c);
        else if (mode == kConvertToLowercase)
            c = CharLower1252(c);
        wordStart = !(IsCharAlpha1252(c) || IsAsciiDigit(c));
    }
}

// The record of the cell after conversion into `out`; false when the mode leaves it as it is.
bool Convert(CEvalContext& ctx, const uint8_t* r, const StandardFormat& format, uint8_t mode,
             CellBuffer& out) {
    const uint16_t column = cell::Column(r);
    const uint32_t row = cell::Row(r);
    std::string text;
    switch (mode) {
    case kConvertFormulasToValues: {
        if (!cell::IsFormula(r)) {
            // An element of an array keeps the value it shows, as a plain cell.
            if (!(cell::Flags(r) & kCellArrayElement)) return false;
            std::memcpy(out.bytes, r, cell::Length(r));
            out.size = cell::Length(r);
            out.bytes[0] = uint8_t(out.bytes[0] & ~kCellArrayElement);
            return true;
        }
        // The value as calculated, not as shown: a shown number has fewer digits, and a
        // text read back as typed could turn into a number or a date ("00123", "1/2").
        if (cell::Error(r)) return MakeNumberCell(out, column, row, 0, cell::Error(r));
        if (cell::ResultFlags(r) & kResultText)
            return MakeTextCell(out, column, row, cell::CachedText(r));
        return MakeNumberCell(out, column, row, cell::CachedNumber(r));
    }
    case kConvertLabelsToNumbers: {
        if (!IsPlainText(r) || cell::Error(r)) return false;
        StandardFormat copy = format;
        return ParseCellInput(ctx, cell::Text(r), copy, row, column, out) == CellInput::kStored;
    }
    case kConvertNumbersToLabels:
        if (!cell::IsNumber(r) || (cell::Flags(r) & kCellArrayElement)) return false;
        FormatCellValue(r, format, text);
        return MakeTextCell(out, column, row, text);
    default:
        if (!IsPlainText(r)) return false;
        text = cell::Text(r);
        ChangeCase(text, mode);
        return MakeTextCell(out, column, row, text);
    }
}

bool ConvertUnguarded(CWorkbook& workbook, CWorksheet& ws, const CellRange& range, uint8_t mode,
                      CEvalContext& ctx) {
    // Every record of the range goes into the new rows, converted or as it was; converted
    // ones are staged first and pointed to once the staging is complete.
    std::vector<uint8_t> staging;
    std::vector<PlacedCell> cells;
    std::vector<size_t> staged; // offset into staging, or SIZE_MAX for a record kept in place
    CellCursor cursor{kAdvance, ws.cells.StartPageForRow(range.r1), 0};
    CellCursor runs;
    CellBuffer b;
    while (const uint8_t* r = GetNextCellInRange(cursor, range)) {
        const uint16_t style = StyleIndexAt(ws.formats, cell::Row(r), cell::Column(r), runs);
        const StandardFormat& format = GetStyleRecord(workbook.styles, style).numberFormat;
        if (Convert(ctx, r, format, mode, b)) {
            staged.push_back(staging.size());
            staging.insert(staging.end(), b.bytes, b.bytes + b.size);
            cells.push_back({nullptr, b.size, cell::Column(r), cell::Row(r)});
        } else {
            staged.push_back(SIZE_MAX);
            cells.push_back({r, cell::Length(r), cell::Column(r), cell::Row(r)});
        }
    }
    for (size_t i = 0; i < cells.size(); ++i)
        if (staged[i] != SIZE_MAX) cells[i].record = staging.data() + staged[i];
    const std::vector<CellRange> clear = CollectClearSet(ws.cells, range);
    uint32_t top, bottom;
    ClearSetRows(clear, &top, &bottom);
    CListFeed feed(cells);
    if (!RebuildCells(ws.cells, top, bottom, clear, feed))
        return workbook.error = kErrorWorksheetMemory, false;
    return true;
}

} // namespace

int ConvertModeOfCommand(uint16_t command) {
    for (const CommandMode& c : kCommandModes)
        if (c.command == command) return c.mode;
    return -1;
}

bool ConvertContents(CWorkbook& workbook, CWorksheet& ws, const CellRange& range, uint8_t mode) {
    if (mode > kConvertFirstLettersUp || RangeEmpty(range)) return true;
    CEvalContext* ctx = EditContext(workbook);
    if (!ctx) return false;
    return GuardWorksheetMemory(workbook,
                                [&] { return ConvertUnguarded(workbook, ws, range, mode, *ctx); });
}

} // namespace vl
