#pragma once
// The fractal background of containers: a Julia set rendered row band by row band into a
// 24-bit top-down packed bitmap, whose header always shows only the rows finished.

#include "platform/core/errorcode.h"
#include "platform/core/packeddib.h"
#include "platform/core/screen.h"

#include <cstdint>

namespace vl {

struct JuliaParams {
    double cr = 0, ci = 0;                         // the constant
    double minX = 0, maxX = 0, minY = 0, maxY = 0; // the window of the plane
};

constexpr int kJuliaIterations = 1023;
constexpr int kJuliaTableSize = 16 * 64;

// Entry 64k + j shades palette colour k from dark (j = 0) to light (j = 63).
COLORREF JuliaTableColor(const COLORREF palette[16], int entry);
// The table entry of the point z: the iteration at which |z|^2 first passes 100, 0 when it
// meets 100 exactly, 1,023 when it never escapes.
int JuliaEntry(double zr, double zi, double cr, double ci);

// A fractal of more pixels than a large screen holds is computed at a smaller size of about
// the same shape and stretched over its rectangle, as a cached picture is: a huge container
// would otherwise take seconds and hundreds of megabytes at each first paint.
constexpr int64_t kMaxJuliaPixels = int64_t(3840) * 2160;
// The size a width x height fractal is computed at: itself when it is small enough, else
// scaled down to at most kMaxJuliaPixels and kMaxImageSide a side, each side at least 1.
void JuliaRenderSize(int64_t& width, int64_t& height);

// Renders rows first..last of a width x height picture into `block`, made on the first
// call; false with error 46 when it cannot be made or the size is out of bounds.
bool RenderJuliaRows(PackedDib& block, uint32_t first, uint32_t last, int32_t width, int32_t height,
                     const COLORREF palette[16], const JuliaParams& p, ErrorCode* error);

} // namespace vl
