#include "formula/celltext.h"
#include "model/stylerecords.h"
#include "platform/core/screen.h"
#include "render/canvas.h"
#include "render/metrics.h"
#include "render/rowscan.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace vl {

namespace {

constexpr uint16_t kSizeBits = 0x0FFF;

bool IsEmptyFont(const FontRecord& font) {
    return FontRecordEquals(font, FontRecord{});
}

bool ShowsText(const uint8_t* cell) {
    return cell::IsText(cell) ||
           (cell::IsFormula(cell) && (cell::ResultFlags(cell) & kResultText) != 0);
}

// The default font, at any weight or slant, measures a pixel or two below the default row
// height that it stands for; its text asks that height, so that typing a value never
// shrinks a row. Other fonts ask what they measure.
int32_t AtLeastDefaultHeight(const FontRecord& font, int32_t height) {
    const FontRecord& standard = DefaultFontRecord();
    const bool face =
        !font.faceName[0] || std::strncmp(font.faceName, standard.faceName, kFaceNameSize) == 0;
    const bool size = !font.size || font.size == standard.size;
    if (!face || !size || height <= 0) return height;
    return std::max<int32_t>(height, GetDefaultRowHeight());
}

// The height of "X" in the font, plus 2, at most 4,095.
int32_t LetterRowHeight(CCanvas& canvas, const FontRecord& font) {
    canvas.SelectFont(font, 0, 100);
    int32_t width = 0, height = 0;
    if (!canvas.MeasureText("X", width, height)) return 0;
    return std::min<int32_t>(AtLeastDefaultHeight(font, height + 2), kMaxMetric);
}

// The height one cell asks of its row.
int32_t CellAutoHeight(const CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas,
                       const CWorksheet& sheet, const uint8_t* cell, const StyleRecord& style) {
    RenderedList text;
    if (ShowsText(cell))
        display.GetCellDisplayText(cell, style.numberFormat, text);
    else
        text.Add(kFmtLiteral, 'X');
    const FontRecord& font = GetFontRecord(workbook.styles, style.fontRef.fontIndex);
    canvas.SelectFont(font, 0, 100);
    if (style.wrapText)
        canvas.WrapText(text, GetColumnWidth(sheet, cell::Column(cell), 100) -
                                  2 * int32_t(style.horizontalIndent));
    int32_t width = 0, height = 0;
    if (!canvas.MeasureTextRun(text, width, height, 0, kMaxRenderedCells)) return 0;
    return AtLeastDefaultHeight(font, height + style.verticalIndent);
}

// Places an empty cursor on the first record of the row (or the first after it).
void StartCellCursor(const CWorksheet& sheet, uint32_t row, CellCursor& cursor) {
    if (cursor.page) return;
    cursor.flags = 0;
    FindCellFromCursor(sheet.cells, row, 0, cursor);
}

} // namespace

void UpdateColumnStyleHeights(const CWorkbook& workbook, CCanvas& canvas, CWorksheet& sheet,
                              uint16_t first, uint16_t last) {
    // Neighbouring columns mostly share a style: its height is measured once for them.
    uint32_t measuredStyle = kStyleIndexMask + 1;
    int32_t height = 0;
    bool changed = false;
    for (uint32_t c = first; c <= last && c < kMaxColumns; ++c) {
        ColumnEntry& column = sheet.formats.columns[c];
        const uint32_t index = column.style & kStyleIndexMask;
        if (index != measuredStyle) {
            measuredStyle = index;
            const StyleRecord& style = GetStyleRecord(workbook.styles, index);
            const FontRecord& font = GetFontRecord(workbook.styles, style.fontRef.fontIndex);
            height = style.fitToCell || IsEmptyFont(font) ? 0 : LetterRowHeight(canvas, font);
        }
        const uint16_t value = uint16_t((column.autoRowHeight & ~kSizeBits) | height);
        if (value == column.autoRowHeight) continue;
        column.autoRowHeight = value;
        changed = true;
    }
    // The largest height kept for the table holds while no height changed.
    if (changed) ColumnsChanged(sheet.formats);
}

uint16_t MeasureRowAutoHeights(const CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas,
                               const CWorksheet& sheet, uint32_t row, CellCursor* cells,
                               CellCursor* runs) {
    int32_t height = 0;
    CellCursor localCells, localRuns;
    CellCursor& cellCursor = cells ? *cells : localCells;
    CellCursor& runCursor = runs ? *runs : localRuns;
    StartCellCursor(sheet, row, cellCursor);
    cellCursor.flags = 0;
    CellCursor styleRuns = runCursor;
    while (const uint8_t* r = NextCellRecord(cellCursor)) {
        if (cell::Row(r) > row) break;
        if (cell::Row(r) == row && cell::Column(r) < kMaxColumns) {
            const uint16_t index = StyleIndexAt(sheet.formats, row, cell::Column(r), styleRuns);
            const StyleRecord& style = GetStyleRecord(workbook.styles, index);
            if (!style.fitToCell)
                height =
                    std::max(height, CellAutoHeight(workbook, display, canvas, sheet, r, style));
        }
        cellCursor.offset = uint16_t(cellCursor.offset + cell::Length(r));
    }
    if (!runCursor.page) runCursor = FormatRunsFromRow(sheet.formats, row);
    runCursor.flags = 0;
    while (const uint8_t* p = FormatRunCursorNext(runCursor)) {
        const FormatRun run = LoadFormatRun(p);
        if (run.row > row) break;
        if (run.row == row) {
            const StyleRecord& style = GetStyleRecord(workbook.styles, run.style);
            const FontRecord& font = GetFontRecord(workbook.styles, style.fontRef.fontIndex);
            if (!style.fitToCell && !IsEmptyFont(font))
                height = std::max(height, LetterRowHeight(canvas, font));
        }
        runCursor.offset = uint16_t(runCursor.offset + kFormatRunSize);
    }
    return uint16_t(std::clamp<int32_t>(height, 0, kMaxMetric));
}

bool AutoFitRowHeights(CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas,
                       CWorksheet& sheet, uint32_t first, uint32_t last) {
    UpdateColumnStyleHeights(workbook, canvas, sheet, 0, kLastColumn);
    CPagedList& rows = sheet.formats.rowHeights;
    if (last >= rows.ItemCount() && !rows.GrowTo2(last + 1, 0, false)) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
    if (!rows.IndexValid()) rows.BuildPageIndex();
    CellCursor cells, runs;
    for (uint32_t row = first; row <= last; ++row) {
        uint16_t* entry = rows.GetItem2(row);
        if (!entry || (*entry & 1)) continue;
        const uint16_t height =
            MeasureRowAutoHeights(workbook, display, canvas, sheet, row, &cells, &runs);
        *entry = uint16_t((*entry & 0xE001) | (height << 1));
    }
    return true;
}

uint16_t MeasureColumnAutoWidth(const CWorkbook& workbook, CCanvas& canvas, const CWorksheet& sheet,
                                uint16_t column) {
    int32_t widest = 0;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    CellCursor runs;
    std::string text;
    while (const uint8_t* r = NextCellRecord(cursor)) {
        if (cell::Column(r) != column || cell::Row(r) >= kMaxRows) continue;
        const uint16_t index = StyleIndexAt(sheet.formats, cell::Row(r), column, runs);
        const StyleRecord& style = GetStyleRecord(workbook.styles, index);
        if (style.wrapText) continue;
        FormatCellValue(r, style.numberFormat, text);
        canvas.SelectFont(GetFontRecord(workbook.styles, style.fontRef.fontIndex), 0, 100);
        int32_t width = 0, height = 0;
        if (!canvas.MeasureText(text, width, height)) continue;
        widest = std::max(
            widest, std::min<int32_t>(width + 2 * int32_t(style.horizontalIndent) + 2, kMaxMetric));
    }
    return uint16_t(widest);
}

void AutoFitColumnWidths(const CWorkbook& workbook, CCanvas& canvas, CWorksheet& sheet,
                         uint16_t first, uint16_t last) {
    for (uint32_t c = first; c <= last && c < kMaxColumns; ++c) {
        uint16_t& word = sheet.formats.columns[c].width;
        const uint16_t width = MeasureColumnAutoWidth(workbook, canvas, sheet, uint16_t(c));
        if (width == 0)
            word &= 0xE000;
        else if (((word >> 1) & kSizeBits) != width)
            word = uint16_t((word & 0xE000) | (width << 1) | 1);
    }
}

} // namespace vl
