#pragma once
// What lies behind a worksheet's cells: a fill (pattern, solid colour or gradient) or a
// picture from the workbook's image list, stretched, tiled or at its natural size.

#include "model/workbook.h"
#include "platform/gui/gdi.h"

namespace vl {

class CCanvas;

void PaintSheetBackground(CWorkbook& workbook, CCanvas& canvas, const CWorksheet& sheet,
                          const DcRect& rect);

} // namespace vl
