#pragma once
// One-pixel lines as the platform draws them with its cosmetic pens: every pixel from the
// start up to, not including, the end, stepping along the longer axis, dashed pixel by pixel.

#include "platform/gui/gdi.h"

class QPainter;

namespace vl {

void DrawCosmeticLine(QPainter& painter, DcPoint from, DcPoint to, const DcPen& pen);

} // namespace vl
