#pragma once
// The geometry that painting, the selection highlight and scrolling share: the pinned row
// and column, the heading band and row heading sizes, and the span of rows and columns
// that an area shows from a scroll position.

#include "model/worksheet.h"
#include "platform/gui/gdi.h"

#include <array>
#include <cstdint>

namespace vl {

class CCanvas;

// [0] scales widths and horizontal offsets, [1] heights, fonts and vertical offsets.
using ZoomPair = std::array<uint16_t, 2>;

struct PinnedPanes {
    bool row = false;
    bool column = false;
    uint32_t pinnedRow = 0;
    uint16_t pinnedColumn = 0;
};
PinnedPanes GetPinnedPanes(const CWorksheet& sheet);

// The row reached from `start` by adding (height + 1) per row. With `whole`, the last row
// whose end lies within the distance (`start` when even it does not); otherwise the first
// row at which the running sum reaches the distance (the last row tried when it never
// does). A start past the sheet is returned as it is.
uint32_t RowAtOffset(CWorksheet& sheet, int64_t distance, uint32_t start, uint16_t zoom,
                     bool whole);
uint16_t ColumnAtOffset(const CWorksheet& sheet, int64_t distance, uint16_t start, uint16_t zoom,
                        bool whole);

struct SheetLayout {
    PinnedPanes pins;
    int32_t pinnedHeight = 0; // the pinned row's height + 1, or 0
    int32_t pinnedWidth = 0;  // the pinned column's width + 1, or 0
    int32_t bandHeight = 0;   // the column heading band
    int32_t headingWidth = 0; // the row heading column
    int32_t rowsHeight = 0;   // what is left for the scrolled rows, at least 0
    int32_t columnsWidth = 0; // what is left for the scrolled columns, at least 0
    uint32_t lastRow = 0;     // the last row reached from the first row
    uint16_t lastColumn = 0;  // the last column reached from the first column
};

// The row heading is as wide as the number of the last row reached, or with `fullRows`
// of the last row fully visible.
SheetLayout ComputeSheetLayout(CCanvas& canvas, const DcRect& area, CWorksheet& sheet,
                               uint32_t firstRow, uint16_t firstColumn, ZoomPair zoom,
                               bool fullRows = false);

} // namespace vl
