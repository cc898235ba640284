#pragma once
// What lies behind a worksheet's cells: a fill (pattern, solid colour or gradient). Pictures
// come with the image sources and are not drawn yet.

#include "model/workbook.h"
#include "platform/gui/gdi.h"

namespace vl {

class CCanvas;

void PaintSheetBackground(const CWorkbook& workbook, CCanvas& canvas, const CWorksheet& sheet,
                          const DcRect& rect);

} // namespace vl
