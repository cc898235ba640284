#pragma once
// The heading frame of a worksheet view: the corner box, the column headings along the top
// and the row numbers down the left, drawn with the canvas's current pen, brush and font.

#include "model/workbook.h"
#include "render/sheetlayout.h"

#include <string>

namespace vl {

class CCanvas;

// Letters while addressing is A1 ("?" past the last column), else "C" and the number.
std::string ColumnHeadingText(uint16_t column, bool addressingA1);

void PaintSheetHeadings(const CWorkbook& workbook, CCanvas& canvas, const DcRect& area,
                        CWorksheet& sheet, uint16_t firstColumn, uint32_t firstRow,
                        uint16_t lastColumn, uint32_t lastRow, int32_t headingWidth,
                        int32_t bandHeight, ZoomPair zoom);

} // namespace vl
