#pragma once
// Draws containers: one into any canvas at a zoom (the grid, a page, an image), and every
// visible one of a worksheet at the end of painting it.

#include "model/container.h"
#include "model/workbook.h"
#include "render/sheetlayout.h"

namespace vl {

class CCanvas;

// The container's background, its charts' cells and its caption lines over them, and its
// border, into the rectangle; pictures come from the workbook's image list.
void PaintContainer(CWorkbook& workbook, CContainer& container, CCanvas& canvas, const DcRect& rect,
                    uint16_t zoomAcross, uint16_t zoomDown);

// The cell of object `index` in the container's grid inside `area`, narrowed by the
// spacings at the zoom.
DcRect ContainerObjectCell(const CContainer& container, const DcRect& area, int index,
                           uint16_t zoomAcross, uint16_t zoomDown);

// Every container of the worksheet that can be seen, in list order: the painter that
// PaintSheet takes.
void DrawSheetContainers(CWorkbook& workbook, CCanvas& canvas, const DcRect& origin,
                         CWorksheet& sheet, uint16_t firstColumn, uint32_t firstRow, ZoomPair zoom);

} // namespace vl
