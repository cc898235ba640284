#pragma once
// How wide a column and how high a row is at a zoom, how wide the row and column headings
// are, and the automatic row heights and column widths measured from the cells' fonts and
// texts. Sizes are kept at 100 percent in 12-bit fields and scaled on every read.

#include "model/workbook.h"
#include "model/worksheet.h"

#include <cstdint>

namespace vl {

class CCanvas;
class CCellDisplay;

constexpr uint16_t kMaxMetric = 4095;

// The default row height and column width are the fixed screen font's (screen.h).
int32_t GetRowHeight(CWorksheet& sheet, uint32_t row, uint16_t zoom);
int32_t GetColumnWidth(const CWorksheet& sheet, uint16_t column, uint16_t zoom);
// The width of the row heading column for numbers up to `largestRow` shown.
int32_t GetNumberWidth(CCanvas& canvas, uint32_t largestRow, uint16_t zoom);
int32_t GetHeadingRowHeight(CCanvas& canvas, uint16_t zoom);

// The largest automatic row height of the column table, cached in the format store.
uint16_t LargestColumnAutoRowHeight(CFormatStore& formats);

void UpdateColumnStyleHeights(const CWorkbook& workbook, CCanvas& canvas, CWorksheet& sheet,
                              uint16_t first, uint16_t last);
// False with error 8 in the workbook when the row list cannot grow to the last row.
bool AutoFitRowHeights(CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas,
                       CWorksheet& sheet, uint32_t first, uint32_t last);
// The cursors, when given, carry the walk over the cell records and the format runs from
// row to row; an empty cursor starts at the row.
uint16_t MeasureRowAutoHeights(const CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas,
                               const CWorksheet& sheet, uint32_t row, CellCursor* cells,
                               CellCursor* runs);
void AutoFitColumnWidths(const CWorkbook& workbook, CCanvas& canvas, CWorksheet& sheet,
                         uint16_t first, uint16_t last);
uint16_t MeasureColumnAutoWidth(const CWorkbook& workbook, CCanvas& canvas, const CWorksheet& sheet,
                                uint16_t column);

} // namespace vl
