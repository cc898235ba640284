#pragma once
// Where a container stands in pixels: its anchor cell and offsets at 100 % turned into a
// rectangle for a scroll position and zoom, a dragged rectangle turned back into an anchor,
// and the selection frame with its eight handles.

#include "model/container.h"
#include "render/sheetlayout.h"

#include <functional>

namespace vl {

class CCanvas;

// Columns and rows left out of the walk (those excluded from printing); none when empty.
struct ExcludedLines {
    std::function<bool(uint16_t)> column;
    std::function<bool(uint32_t)> row;
};

// `origin` holds x0 and y0, the gridlines left of the first painted column and above the
// first painted row (the pinned column and row, when there are any, come next), and the
// area's right and bottom. False when the container cannot be seen.
bool GetObjectRect(CWorksheet& sheet, const DcRect& origin, uint32_t firstRow, uint16_t firstColumn,
                   const CContainer& container, DcRect& rect, ZoomPair zoom,
                   const ExcludedLines& excluded = {});

// Re-anchors the container so that its top-left corner lands on the rectangle's, keeping
// its size at 100 %.
void AnchorContainer(CWorksheet& sheet, const DcRect& origin, uint32_t firstRow,
                     uint16_t firstColumn, CContainer& container, const DcRect& rect,
                     ZoomPair zoom);

// The frame of the current container: an outline in the highlight colour and eight
// window-coloured handles of 6 x 6 pixels.
void DrawFrameBox(CCanvas& canvas, const DcRect& rect);
// The eight handles, clockwise from the top-left one.
void FrameBoxHandles(const DcRect& rect, DcRect handles[8]);

} // namespace vl
