#pragma once
// The scroll arithmetic of the grid view: new first rows and columns and new active cells
// for line, page and end steps, from the row heights and column widths at the view's zoom
// and the same visible area as painting. Line steps return the pixels scrolled.

#include "model/workbook.h"
#include "render/sheetlayout.h"

#include <cstdint>

namespace vl {

class CCanvas;

// The canvas is over the view's context and only measures; `view` is its client area.
int32_t ScrollColumnsLineLeft(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                              CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                              uint16_t& activeColumn, ZoomPair zoom);
int32_t ScrollColumnsLineRight(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                               CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                               uint16_t& activeColumn, ZoomPair zoom);
void ScrollColumnsPageLeft(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                           CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                           uint16_t& activeColumn, ZoomPair zoom);
void ScrollColumnsPageRight(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                            CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                            uint16_t& activeColumn, ZoomPair zoom);
void ScrollColumnsToStart(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                          CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                          uint16_t& activeColumn, ZoomPair zoom);
void ScrollColumnsToEnd(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                        CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                        uint16_t& activeColumn, ZoomPair zoom);

int32_t ScrollRowsLineUp(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                         CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                         uint32_t& activeRow, ZoomPair zoom);
int32_t ScrollRowsLineDown(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                           CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                           uint32_t& activeRow, ZoomPair zoom);
void ScrollRowsPageUp(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                      CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                      uint32_t& activeRow, ZoomPair zoom);
void ScrollRowsPageDown(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                        CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                        uint32_t& activeRow, ZoomPair zoom);
void ScrollRowsToTop(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                     CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                     uint32_t& activeRow, ZoomPair zoom);
void ScrollRowsToBottom(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                        CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                        uint32_t& activeRow, ZoomPair zoom);

// Leaves the position when the cell is fully visible, else centres it.
void ScrollCellIntoView(const CWorkbook& workbook, CCanvas& canvas, const DcRect& view,
                        CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn, uint32_t row,
                        uint16_t column, ZoomPair zoom);

} // namespace vl
