#include "platform/core/julia.h"

#include "platform/core/bytes.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

int Clamp(int v) {
    return std::clamp(v, 0, 255);
}

} // namespace

COLORREF JuliaTableColor(const COLORREF palette[16], int entry) {
    const COLORREF c = palette[(entry >> 6) & 15];
    const int j = entry & 63;
    const int r = RedOf(c), g = GreenOf(c), b = BlueOf(c);
    const int s = j <= 31 ? g - 4 * (31 - j) : g + 4 * (j - 32);
    return Rgb(uint8_t(Clamp(s + r - g)), uint8_t(Clamp(s)), uint8_t(Clamp(s + b - g)));
}

int JuliaEntry(double zr, double zi, double cr, double ci) {
    for (int n = 1; n <= kJuliaIterations; ++n) {
        const double r2 = zr * zr, i2 = zi * zi;
        const double nr = r2 - i2 + cr;
        zi = 2 * zr * zi + ci;
        zr = nr;
        const double m = zr * zr + zi * zi;
        if (m > 100) return n;
        if (m == 100) return 0;
    }
    return kJuliaIterations;
}

void JuliaRenderSize(int64_t& width, int64_t& height) {
    if (width < 1 || height < 1) return;
    const double pixels = double(width) * double(height);
    if (pixels > double(kMaxJuliaPixels)) {
        const double f = std::sqrt(double(kMaxJuliaPixels) / pixels);
        width = std::max<int64_t>(int64_t(double(width) * f), 1);
        height = std::max<int64_t>(int64_t(double(height) * f), 1);
    }
    width = std::min(width, kMaxImageSide);
    height = std::min(height, kMaxImageSide);
}

bool RenderJuliaRows(PackedDib& block, uint32_t first, uint32_t last, int32_t width, int32_t height,
                     const COLORREF palette[16], const JuliaParams& p, ErrorCode* error) {
    if (!ImageSizeAllowed(width, height, 24) || first > last || last >= uint32_t(height)) {
        *error = kImageOutOfMemory;
        return false;
    }
    const size_t stride = size_t(DibStride(width, 24));
    const size_t size = kDibHeaderSize + stride * size_t(height);
    if (!block || block.Size() != size || LoadI32(block.Data() + 4) != width) {
        block = PackedDib::Allocate(size);
        if (!block) {
            *error = kImageOutOfMemory;
            return false;
        }
    }
    uint8_t* data = block.Data();
    WriteDibHeader(data, width, -int32_t(last + 1), 24, uint32_t(stride * (last + 1)));
    COLORREF table[kJuliaTableSize];
    for (int e = 0; e < kJuliaTableSize; ++e) table[e] = JuliaTableColor(palette, e);
    const double dx = (p.maxX - p.minX) / width, dy = (p.maxY - p.minY) / height;
    for (uint32_t y = first; y <= last; ++y) {
        uint8_t* row = data + kDibHeaderSize + stride * y;
        const double zi = p.minY + y * dy;
        for (int32_t x = 0; x < width; ++x, row += 3) {
            const COLORREF c = table[JuliaEntry(p.minX + x * dx, zi, p.cr, p.ci)];
            row[0] = BlueOf(c);
            row[1] = GreenOf(c);
            row[2] = RedOf(c);
        }
    }
    *error = 0;
    return true;
}

} // namespace vl
