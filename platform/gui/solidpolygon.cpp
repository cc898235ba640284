#include "platform/gui/solidpolygon.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

// Coordinates run in the painter's fixed-point forms: 26.6 for points, 16.16 for positions
// along an edge. The painter truncates its steps and shifts its products the same way, so
// the same arithmetic lands on the same pixels.

namespace vl {

namespace {

// 16.16 quotient of two 26.6 lengths, truncated.
int64_t Ratio16(int64_t num, int64_t den) {
    return num * 65536 / den;
}

struct Edge {
    int top, bottom; // rows it crosses
    int64_t x;       // 16.16 column, half a pixel on, at row `top`
    int64_t slope;   // 16.16 change per row
};

int64_t ColumnAt(const Edge& e, int y) {
    return e.x + (y - e.top) * e.slope;
}

// Rows `from` up to `to` of a band that two edges cross.
void FillTwoEdgeBand(const PixelRows& rows, const Edge& a, const Edge& b, int from, int to,
                     QRgb color) {
    int64_t xa = ColumnAt(a, from), xb = ColumnAt(b, from);
    uint8_t* row = rows.bits + from * rows.stride;
    for (int y = from; y < to; ++y, xa += a.slope, xb += b.slope, row += rows.stride) {
        int left = int(xa >> 16), right = int(xb >> 16);
        if (left > right) std::swap(left, right);
        QRgb* line = reinterpret_cast<QRgb*>(row);
        std::fill(line + left, line + right, color);
    }
}

// Rows `from` up to `to` of a band that `count` edges cross, odd-even.
void FillBand(const PixelRows& rows, const Edge* const* edges, int count, int from, int to,
              QRgb color) {
    int crossings[kMaxSolidPolygonPoints];
    for (int y = from; y < to; ++y) {
        for (int i = 0; i < count; ++i) {
            const int x = int(ColumnAt(*edges[i], y) >> 16);
            int j = i;
            for (; j > 0 && crossings[j - 1] > x; --j) crossings[j] = crossings[j - 1];
            crossings[j] = x;
        }
        QRgb* line = reinterpret_cast<QRgb*>(rows.bits + y * rows.stride);
        for (int j = 0; j + 1 < count; j += 2)
            std::fill(line + crossings[j], line + crossings[j + 1], color);
    }
}

// Odd-even fill of the pixels whose centres the polygon covers.
void FillPolygon(const PixelRows& rows, const DcPoint* p, int count, QRgb color) {
    Edge edges[kMaxSolidPolygonPoints];
    int n = 0;
    for (int i = 0; i < count; ++i) {
        DcPoint a = p[i], b = p[(i + 1) % count];
        if (a.y == b.y) continue;
        if (a.y > b.y) std::swap(a, b);
        const int64_t ax = int64_t(a.x) * 64, ay = int64_t(a.y) * 64;
        const int64_t bx = int64_t(b.x) * 64, by = int64_t(b.y) * 64;
        const int top = int((ay + 32) >> 6), bottom = int((by - 32) >> 6);
        if (top > bottom) continue;
        const int64_t start = 32768 + (ax << 10);
        int64_t slope = 0, x = start;
        if (bx != ax) {
            slope = int64_t(double(bx - ax) / double(by - ay) * 65536.0);
            x = start + ((slope * ((int64_t(top) << 16) + 32768 - (ay << 10))) >> 16);
        }
        edges[n++] = {top, bottom, x, slope};
    }
    // Between two edge ends the same edges cross every row: a band of two (every band of a
    // triangle) runs without any sorting.
    int ends[2 * kMaxSolidPolygonPoints];
    int m = 0;
    for (int i = 0; i < n; ++i) ends[m++] = edges[i].top, ends[m++] = edges[i].bottom + 1;
    std::sort(ends, ends + m);
    for (int b = 0; b + 1 < m; ++b) {
        if (ends[b] == ends[b + 1]) continue;
        const Edge* crossing[kMaxSolidPolygonPoints];
        int k = 0;
        for (int i = 0; i < n; ++i)
            if (edges[i].top <= ends[b] && edges[i].bottom >= ends[b]) crossing[k++] = &edges[i];
        if (k == 2)
            FillTwoEdgeBand(rows, *crossing[0], *crossing[1], ends[b], ends[b + 1], color);
        else
            FillBand(rows, crossing, k, ends[b], ends[b + 1], color);
    }
}

enum Direction { kNoDirection = 0, kDown = 1, kUp = 2, kRight = 4, kLeft = 8 };
constexpr int kVertical = kDown | kUp;
constexpr int kHorizontal = kRight | kLeft;

// The aliased one-pixel pen walking a closed outline: each segment steps along its longer
// axis without its far end, and the joins add or drop a pixel as the direction turns, so
// that the outline has neither gaps nor doubled corners.
class OutlinePen {
public:
    OutlinePen(const PixelRows& rows, QRgb color) : rows_(rows), color_(color) {}

    // Draws the segment, or only follows it when `draw` is false.
    void Segment(DcPoint from, DcPoint to, bool draw) {
        const int x1 = from.x * 64, y1 = from.y * 64, x2 = to.x * 64, y2 = to.y * 64;
        if (std::abs(x2 - x1) < std::abs(y2 - y1))
            Walk(y1, x1, y2, x2, false, draw);
        else if (x2 != x1)
            Walk(x1, y1, x2, y2, true, draw);
    }

private:
    struct Pixel {
        int x, y;
    };

    // Steps along the major axis u, the minor axis v following; `across` when u is x.
    void Walk(int u1, int v1, int u2, int v2, bool across, bool draw) {
        int dir = across ? kRight : kDown;
        const bool swapped = u1 > u2;
        if (swapped) {
            std::swap(u1, u2);
            std::swap(v1, v2);
            dir = across ? kLeft : kUp;
        }
        const int64_t inc = Ratio16(v2 - v1, u2 - u1);
        int64_t v = int64_t(v1) * 1024;
        // Turning back on the previous segment reaches its corner pixel.
        if ((lastDir_ ^ (across ? kHorizontal : kVertical)) == dir) {
            if (swapped) {
                u2 += 32;
            } else {
                u1 -= 32;
                v -= inc >> 1;
            }
        }
        int us = (u1 + 32) >> 6, ue = (u2 + 32) >> 6;
        if (us >= ue) return;
        v += ((int64_t(us) * 64 + (inc > 0 ? 32 : 0) - u1) * inc) >> 6;
        Pixel first = At(us, v, across);
        Pixel last = At(ue - 1, v + (ue - us - 1) * inc, across);
        if (swapped) std::swap(first, last);
        const bool axisAligned = std::abs(inc) < (1 << 14);
        if (lastPixel_.x != INT_MIN) {
            const int gapX = std::abs(lastPixel_.x - first.x),
                      gapY = std::abs(lastPixel_.y - first.y);
            const int gapAlong = across ? gapX : gapY, gapAcross = across ? gapY : gapX;
            if (gapX == 0 && gapY == 0) {
                // The previous segment drew this pixel already.
                if (swapped) {
                    --ue;
                } else {
                    ++us;
                    v += inc;
                }
            } else if (lastDir_ != dir && ((axisAligned && lastAxisAligned_ && gapX && gapY) ||
                                           gapX > 1 || gapY > 1)) {
                // A corner would stay open: one more pixel closes it.
                if (swapped) {
                    ++ue;
                } else {
                    --us;
                    v -= inc;
                }
            } else if (lastDir_ == dir && gapAcross <= 1 && gapAlong > 1) {
                v += inc >> 1;
                const Pixel moved =
                    At(swapped ? us : ue - 1, swapped ? v : v + (ue - us - 1) * inc, across);
                (across ? last.y : last.x) = across ? moved.y : moved.x;
            }
        }
        lastDir_ = dir;
        lastAxisAligned_ = axisAligned;
        if (draw) Draw(us, ue, v, inc, across);
        lastPixel_ = last;
    }

    // The pixels from `u` up to `end`, at least one. Locals, not members, in the loops: the
    // compiler cannot tell the pixel stores from the members and would load them again.
    void Draw(int u, int end, int64_t v, int64_t inc, bool across) {
        uint8_t* const bits = rows_.bits;
        const ptrdiff_t stride = rows_.stride;
        const QRgb color = color_;
        if (across) {
            do {
                reinterpret_cast<QRgb*>(bits + (v >> 16) * stride)[u] = color;
                v += inc;
            } while (++u < end);
        } else {
            uint8_t* row = bits + u * stride;
            do {
                reinterpret_cast<QRgb*>(row)[v >> 16] = color;
                v += inc;
                row += stride;
            } while (++u < end);
        }
    }

    static Pixel At(int u, int64_t v, bool across) {
        const int minor = int(v >> 16);
        return across ? Pixel{u, minor} : Pixel{minor, u};
    }

    const PixelRows& rows_;
    QRgb color_;
    Pixel lastPixel_{INT_MIN, INT_MIN};
    int lastDir_ = kNoDirection;
    bool lastAxisAligned_ = false;
};

void OutlinePolygon(const PixelRows& rows, const DcPoint* p, int count, QRgb color) {
    OutlinePen pen(rows, color);
    // The segment that closes the outline sets how its first corner joins.
    const bool repeated = count > 2 && p[0].x == p[count - 1].x && p[0].y == p[count - 1].y;
    pen.Segment(p[count - (repeated ? 2 : 1)], p[0], false);
    for (int i = 1; i < count; ++i) pen.Segment(p[i - 1], p[i], true);
    pen.Segment(p[count - 1], p[0], true);
}

} // namespace

bool DrawSolidPolygon(const PixelRows& rows, const QRect& clip, const DcPoint* points, int count,
                      const SolidPolygonStyle& style) {
    if (count < 2 || count > kMaxSolidPolygonPoints || !rows.bits) return false;
    if (rows.width > kMaxSolidPolygonImageSide || rows.height > kMaxSolidPolygonImageSide)
        return false;
    int left = points[0].x, right = points[0].x, top = points[0].y, bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        left = std::min(left, points[i].x);
        right = std::max(right, points[i].x);
        top = std::min(top, points[i].y);
        bottom = std::max(bottom, points[i].y);
    }
    const QRect room = clip.intersected(QRect(0, 0, rows.width, rows.height));
    if (left - 1 < room.left() || top - 1 < room.top() || right + 1 > room.right() ||
        bottom + 1 > room.bottom())
        return false;
    if (style.fill) FillPolygon(rows, points, count, style.fillColor);
    if (style.outline) OutlinePolygon(rows, points, count, style.outlineColor);
    return true;
}

} // namespace vl
