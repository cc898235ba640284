#pragma once
// Small solid polygons written straight into 32-bit image memory, pixel for pixel as the
// raster painter fills them (odd-even) and outlines them with an aliased one-pixel pen. A 3D
// chart draws tens of thousands of faces a frame; through the painter each costs about two
// microseconds of set-up, here a few dozen nanoseconds.

#include "platform/gui/gdi.h"

#include <QRect>
#include <QRgb>
#include <cstddef>
#include <cstdint>

namespace vl {

// Rows of 32-bit pixels, such as the memory of an RGB32 or ARGB32 image.
struct PixelRows {
    uint8_t* bits = nullptr;
    ptrdiff_t stride = 0; // bytes from one row to the next
    int width = 0;
    int height = 0;
};

struct SolidPolygonStyle {
    bool fill = false;
    QRgb fillColor = 0;
    bool outline = false;
    QRgb outlineColor = 0;
};

// Polygons of more points, or larger images, are left to the painter.
inline constexpr int kMaxSolidPolygonPoints = 16;
inline constexpr int kMaxSolidPolygonImageSide = 16384;

// Fills the polygon, closed from its last point to its first, then outlines it, and returns
// true; draws nothing and returns false when it has more points than the limit or when its
// bounding box, one pixel wider on every side, does not lie inside `clip` and the rows.
bool DrawSolidPolygon(const PixelRows& rows, const QRect& clip, const DcPoint* points, int count,
                      const SolidPolygonStyle& style);

} // namespace vl
