#include "charts/draw/chartlayout.h"
#include "charts/draw/chartseries.h"
#include "charts/draw/plotarea.h"
#include "render/canvas.h"

namespace vl {

namespace {

void Line(CCanvas& c, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    c.DrawLine(x1, y1, x2, y2);
}

// One error bar from (x, y) out to `length` along (dx, dy), with an arrowhead when cut at
// the plot's edge, else a cap across it.
void ErrorBar(CCanvas& c, int32_t x, int32_t y, int dx, int dy, int32_t length, bool cut,
              int32_t k) {
    const int32_t ex = x + dx * length, ey = y + dy * length;
    Line(c, ex, ey, x, y);
    const int32_t a = k + 1;
    if (cut) {
        // Two strokes back from the end, one to either side.
        Line(c, ex, ey, ex - dx * a + dy * a, ey - dy * a + dx * a);
        Line(c, ex, ey, ex - dx * a - dy * a, ey - dy * a - dx * a);
    } else if (dy != 0) {
        Line(c, ex - k, ey, ex + k + 1, ey);
    } else {
        Line(c, ex, ey - k, ex, ey + k + 1);
    }
}

void Octagon(CCanvas& c, int32_t x, int32_t y, int32_t s, uint16_t scale) {
    const int32_t big = s == 5 ? 2 : s == 7 ? 3 : 4;
    const int32_t small = s == 5 || s == 7 ? 1 : 2;
    const int32_t offsets[9][2] = {{-big, small}, {-big, -small}, {-small, -big},
                                   {small, -big}, {big, -small},  {big, small},
                                   {small, big},  {-small, big},  {-big, small}};
    DcPoint points[9];
    for (int i = 0; i < 9; ++i)
        points[i] = {x + offsets[i][0] * scale / 100, y + offsets[i][1] * scale / 100};
    c.DrawPolygon(points, 9);
}

} // namespace

void DrawScatterSymbol(CChart& chart, int32_t x, int32_t y, uint8_t symbol, const ErrorBars& bars,
                       uint16_t scale) {
    if (!chart.canvas) return;
    CCanvas& c = *chart.canvas;
    const int32_t s = ((GetMarkerSize(symbol) / 2) * scale / 100) * 2 + 1;
    const int32_t h = s / 2;
    const int32_t k = h - 1 < 3 ? 2 : h - 1;
    auto shown = [h](int32_t length) { return length != 0 && length >= h; };
    if (shown(bars.down)) ErrorBar(c, x, y, 0, 1, bars.down, bars.clip & kClipDown, k);
    if (shown(bars.up)) ErrorBar(c, x, y, 0, -1, bars.up, bars.clip & kClipUp, k);
    if (shown(bars.left)) ErrorBar(c, x, y, -1, 0, bars.left, bars.clip & kClipLeft, k);
    if (shown(bars.right)) ErrorBar(c, x, y, 1, 0, bars.right, bars.clip & kClipRight, k);
    if (symbol == 1) {
        c.SetPixel(x, y);
    } else if (symbol >= 2 && symbol <= 5) {
        const DcPoint square[4] = {{x - h, y - h}, {x + h, y - h}, {x + h, y + h}, {x - h, y + h}};
        FillPolygon(c, square, 4);
    } else if (symbol >= 6 && symbol <= 8) {
        const DcPoint diamond[4] = {{x - h, y}, {x, y - h}, {x + h, y}, {x, y + h}};
        FillPolygon(c, diamond, 4);
    } else if (symbol >= 9 && symbol <= 11) {
        if (c.IsPrinting())
            c.DrawEllipse(x - h, y - h, x + h + 1, y + h + 1);
        else
            Octagon(c, x, y, s, scale);
    } else if (symbol >= 12 && symbol <= 15) {
        if (symbol <= 13) {
            Line(c, x, y - h, x, y + h + 1);
            Line(c, x - h, y, x + h + 1, y);
        }
        Line(c, x - h + 1, y - h + 1, x + h, y + h);
        Line(c, x - h + 1, y + h - 1, x + h, y - h);
    }
}

} // namespace vl
