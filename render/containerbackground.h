#pragma once
// The layers of a container under its charts: the background (a fill, a picture or the
// fractal, each with its border line) and the caption lines, title first.

#include "model/container.h"
#include "model/workbook.h"
#include "platform/gui/gdi.h"

#include <algorithm>

namespace vl {

class CCanvas;

// Pictures come from the workbook's image list; a picture that cannot be had shows its
// name in a window-coloured box.
void PaintContainerBackground(CWorkbook& workbook, CContainer& container, CCanvas& canvas,
                              const DcRect& rect, uint16_t zoomAcross, uint16_t zoomDown);
// Draws (or with `measureOnly` only measures) the caption lines at the top of the
// rectangle and moves its top below them.
void DrawContainerCaptions(const CContainer& container, CCanvas& canvas, DcRect& rect,
                           uint16_t zoomAcross, uint16_t zoomDown, bool measureOnly);
// The border line around the rectangle, when the container has one.
void PaintItemBorders(const CContainer& container, CCanvas& canvas, const DcRect& rect);

// The margins of the caption lines: 4 pixels at 100 %, at least 1.
inline int32_t CaptionMargin(uint16_t zoom) {
    return std::max<int32_t>(zoom * 4 / 100, 1);
}

} // namespace vl
