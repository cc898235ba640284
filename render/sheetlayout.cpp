#include "render/sheetlayout.h"

#include "render/metrics.h"

#include <algorithm>

namespace vl {

PinnedPanes GetPinnedPanes(const CWorksheet& sheet) {
    const CellRef& pin = sheet.view.freezed;
    PinnedPanes panes;
    panes.row = (pin.flags & kRefRow) != 0 && pin.row <= kLastRow;
    panes.column = (pin.flags & kRefColumn) != 0 && pin.column <= kLastColumn;
    panes.pinnedRow = panes.row ? pin.row : 0;
    panes.pinnedColumn = panes.column ? pin.column : 0;
    return panes;
}

uint32_t RowAtOffset(CWorksheet& sheet, int64_t distance, uint32_t start, uint16_t zoom,
                     bool whole) {
    if (start >= kMaxRows) return start;
    int64_t sum = 0;
    uint32_t fitted = start;
    for (uint32_t row = start; row < kMaxRows; ++row) {
        sum += GetRowHeight(sheet, row, zoom) + 1;
        if (whole) {
            if (sum > distance) break;
            fitted = row;
        } else if (sum >= distance || row == kLastRow) {
            return row;
        }
    }
    return fitted;
}

uint16_t ColumnAtOffset(const CWorksheet& sheet, int64_t distance, uint16_t start, uint16_t zoom,
                        bool whole) {
    if (start > kLastColumn) return start;
    int64_t sum = 0;
    uint16_t fitted = start;
    for (uint32_t column = start; column < kMaxColumns; ++column) {
        sum += GetColumnWidth(sheet, uint16_t(column), zoom) + 1;
        if (whole) {
            if (sum > distance) break;
            fitted = uint16_t(column);
        } else if (sum >= distance || column == kLastColumn) {
            return uint16_t(column);
        }
    }
    return fitted;
}

SheetLayout ComputeSheetLayout(CCanvas& canvas, const DcRect& area, CWorksheet& sheet,
                               uint32_t firstRow, uint16_t firstColumn, ZoomPair zoom,
                               bool fullRows) {
    SheetLayout layout;
    layout.pins = GetPinnedPanes(sheet);
    if (layout.pins.row)
        layout.pinnedHeight = GetRowHeight(sheet, layout.pins.pinnedRow, zoom[1]) + 1;
    if (layout.pins.column)
        layout.pinnedWidth = GetColumnWidth(sheet, layout.pins.pinnedColumn, zoom[0]) + 1;
    layout.bandHeight = GetHeadingRowHeight(canvas, 100);
    const int32_t height = area.bottom - area.top + 1 - layout.pinnedHeight;
    layout.rowsHeight = std::max(0, height - layout.bandHeight);
    layout.lastRow = RowAtOffset(sheet, layout.rowsHeight, firstRow, zoom[1], false);
    const uint32_t numbered =
        fullRows ? RowAtOffset(sheet, layout.rowsHeight, firstRow, zoom[1], true) : layout.lastRow;
    // The heading is as wide as the largest number it shows.
    layout.headingWidth = GetNumberWidth(canvas, numbered + 1, 100);
    const int32_t width = area.right - area.left + 1 - layout.pinnedWidth;
    layout.columnsWidth = std::max(0, width - layout.headingWidth);
    layout.lastColumn = ColumnAtOffset(sheet, layout.columnsWidth, firstColumn, zoom[0], false);
    return layout;
}

} // namespace vl
