#pragma once
// The selection highlight, drawn by inverting pixels over what PaintSheet painted: an
// outline around the range, a tint over its cells but the first, and tinted headings.
// Drawing it again removes it; given the previous range, one call moves the highlight.

#include "model/rangedescriptor.h"
#include "model/workbook.h"
#include "render/sheetlayout.h"

namespace vl {

class CCanvas;

constexpr COLORREF kHeadingHighlight = 0x006464;
constexpr COLORREF kCellHighlight = 0x003232;

// The canvas must draw into an image of Format_RGB32.
void PaintSelectionHighlight(const CWorkbook& workbook, CCanvas& canvas, const DcRect& area,
                             CWorksheet& sheet, uint32_t firstRow, uint16_t firstColumn,
                             const CellRange* previous, const CellRange& range, ZoomPair zoom);

} // namespace vl
