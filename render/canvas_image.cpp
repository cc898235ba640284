// Pictures on the canvas: packed bitmaps drawn, the back buffer read back into one, and the
// fractal background drawn band by band.

#include "platform/core/bytes.h"
#include "render/canvas.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

QImage DibImage(const PackedDib& dib) {
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    if (!DibToPixels32(dib, pixels, w, h)) return {};
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (int32_t y = 0; y < h; ++y)
        std::memcpy(image.scanLine(y), pixels.data() + size_t(y) * w, size_t(w) * 4);
    return image;
}

} // namespace

bool CCanvas::DrawDib(int32_t left, int32_t top, int32_t right, int32_t bottom,
                      const PackedDib& dib, uint8_t mode, uint16_t scaleAcross,
                      uint16_t scaleDown) {
    if (!dc_) return false;
    const QImage image = DibImage(dib);
    if (image.isNull()) return false;
    const int32_t w = image.width(), h = image.height();
    dc_->SaveDC();
    dc_->IntersectClipRect(left, top, right + 1, bottom + 1);
    if (mode == 1) {
        dc_->StretchImage(left, top, right - left + 1, bottom - top + 1, image);
    } else if (mode == 2) {
        for (int32_t y = top; y <= bottom; y += h)
            for (int32_t x = left; x <= right; x += w) dc_->StretchImage(x, y, w, h, image);
    } else {
        dc_->StretchImage(left, top, int32_t(int64_t(scaleAcross) * w / 100),
                          int32_t(int64_t(scaleDown) * h / 100), image);
    }
    dc_->RestoreDC(-1);
    return true;
}

bool CCanvas::GetDibBits(PackedDib& dib, uint32_t lines) const {
    if (!bitmap_.created || !bitmap_.current || !dib || dib.Size() < kDibHeaderSize) return false;
    const QImage& image = *bitmap_.current;
    const uint8_t* p = dib.Data();
    const int32_t width = LoadI32(p + 4), height = LoadI32(p + 8);
    const uint16_t bits = LoadU16(p + 14);
    if (LoadU32(p) != kDibHeaderSize || (bits != 24 && bits != 32) || width <= 0 || height == 0)
        return false;
    const uint32_t rows = uint32_t(height < 0 ? -int64_t(height) : height);
    const size_t stride = size_t(DibStride(width, bits));
    lines = std::min(lines, rows);
    if (kDibHeaderSize + stride * lines > dib.Size()) return false;
    const int32_t across = std::min(width, image.width());
    for (uint32_t line = 0; line < lines; ++line) {
        // Scan line 0 is the bottom row of a bottom-up block.
        const int32_t y = height < 0 ? int32_t(line) : int32_t(rows - 1 - line);
        if (y >= image.height()) continue;
        const auto* src = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        uint8_t* out = dib.Data() + kDibHeaderSize + stride * line;
        for (int32_t x = 0; x < across; ++x, out += bits / 8) {
            out[0] = uint8_t(src[x]);
            out[1] = uint8_t(src[x] >> 8);
            out[2] = uint8_t(src[x] >> 16);
            if (bits == 32) out[3] = 0;
        }
    }
    return true;
}

void CCanvas::DrawFractal(const DcRect& r, PackedDib& cache, const COLORREF palette[16],
                          const JuliaParams& params, ErrorCode* error) {
    const int64_t width = int64_t(r.right) - r.left + 1, height = int64_t(r.bottom) - r.top + 1;
    // A rectangle without pixels (a container 0 wide) draws nothing.
    if (width <= 0 || height <= 0) return;
    if (cache) {
        DrawDib(r.left, r.top, r.right, r.bottom, cache, 1, 100, 100);
        return;
    }
    int64_t w = width, h = height;
    JuliaRenderSize(w, h);
    const bool natural = w == width && h == height;
    const uint32_t rows = uint32_t(h);
    const uint32_t step = uint32_t(std::max<int64_t>(h / 15, 1));
    for (uint32_t first = 0, last = 0; first < rows; first = last + 1) {
        last = std::min(first + step - 1, rows - 1);
        if (!RenderJuliaRows(cache, first, last, int32_t(w), int32_t(h), palette, params, error)) {
            cache.Reset(); // a half-made picture is not kept for the next paint
            return;
        }
        // The header shows only the rows finished, so this draws just those; a picture
        // computed smaller stretches them over their share of the rectangle.
        if (natural)
            DrawDib(r.left, r.top, r.right, r.bottom, cache, 0, 100, 100);
        else
            DrawDib(r.left, r.top, r.right, int32_t(r.top + (last + 1) * height / h - 1), cache, 1,
                    100, 100);
    }
}

} // namespace vl
