#include "charts/draw/plotarea.h"

#include "charts/axismap.h"
#include "charts/draw/chartplot.h"
#include "charts/points.h"
#include "model/chartprojection.h"
#include "render/canvas.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

// A coordinate this far out is off every device and still safe to offset and convert.
constexpr double kCoordLimit = 1 << 28;

float Toward(float from, float to) {
    return from + (to > from ? 1.0f : -1.0f);
}

} // namespace

ChartVertex VertexAt(CChart& chart, uint32_t i) {
    return LoadVertex(chart, i);
}

bool SetupPlotArea(CChart& chart, CChartSeries* const* series, int count, PlotArea& a) {
    const WallRecord& wall = chart.walls[kWallXY];
    if (!wall.built || !chart.vertices.BuildPageIndex()) return false;
    if (wall.firstVertex + 2 >= chart.vertices.ItemCount()) return false;
    const ChartVertex c0 = VertexAt(chart, wall.firstVertex);
    const ChartVertex c2 = VertexAt(chart, wall.firstVertex + 2);
    a.x0 = c0.viewX, a.y0 = c0.viewY, a.x1 = c2.viewX, a.y1 = c2.viewY;
    a.x0 = Toward(a.x0, a.x1);
    a.x1 = Toward(a.x1, a.x0);
    a.y1 = Toward(a.y1, a.y0);
    a.y0 = Toward(a.y0, a.y1);
    a.w = std::fabs(a.x1 - a.x0);
    a.h = std::fabs(a.y0 - a.y1);
    a.sx = a.x1 >= a.x0 ? 1.0f : -1.0f;
    a.sy = a.y1 > a.y0 ? 1.0f : -1.0f;
    for (int i = 0; i < count; ++i) {
        series[i]->labelAnchors.Clear(true);
        if (!series[i]->points.BuildPageIndex() || !series[i]->labels.BuildPageIndex())
            return false;
    }
    return true;
}

uint32_t LargestPointCount(CChartSeries* const* series, int count) {
    uint32_t m = 0;
    for (int i = 0; i < count; ++i) m = std::max(m, series[i]->points.ItemCount());
    return m;
}

ChartPoint SeriesPoint(CChartSeries& series, uint32_t i) {
    const void* at = series.points.GetItem16(i);
    return at ? LoadPoint(static_cast<const uint8_t*>(at)) : ChartPoint{};
}

int32_t DeviceCoord(double v) {
    if (std::isnan(v)) return 0;
    return int32_t(std::clamp(v, -kCoordLimit, kCoordLimit));
}

DcPoint DevicePoint(double x, double y) {
    return {DeviceCoord(x), DeviceCoord(y)};
}

void FillPolygon(CCanvas& canvas, const DcPoint* corners, int count) {
    DcPoint closed[8];
    count = std::min(count, 7);
    std::copy(corners, corners + count, closed);
    closed[count] = corners[0];
    canvas.DrawPolygon(closed, count + 1);
}

void FillQuad(CCanvas& canvas, double l, double t, double r, double b) {
    const DcPoint corners[4] = {DevicePoint(l, t), DevicePoint(r, t), DevicePoint(r, b),
                                DevicePoint(l, b)};
    // A box without width or height is only its outline: one line, far cheaper to draw.
    if (corners[0].x == corners[1].x || corners[0].y == corners[2].y) {
        canvas.DrawLine(corners[0].x, corners[0].y, corners[2].x, corners[2].y);
        return;
    }
    FillPolygon(canvas, corners, 4);
}

COLORREF FirstFillColor(const InteriorFill& fill) {
    return fill.patternColorGiven ? fill.patternColor : GetSystemColor(kColorWindow);
}

COLORREF LineColor(const BorderLine& line) {
    return line.colorGiven ? line.color : GetSystemColor(kColorWindowText);
}

void SelectBarStyle(CCanvas& canvas, const CChartSeries& s) {
    const COLORREF color = FirstFillColor(s.settings.fill);
    canvas.SetPen(canvas.IsPrinting() ? 0 : 1, color, 100);
    canvas.SelectFill(s.settings.fill);
}

void SelectBandStyle(CCanvas& canvas, const InteriorFill& fill) {
    canvas.SetPen(0, FirstFillColor(fill), 100);
    canvas.SelectFill(fill);
}

bool ZeroFraction(const CChartSeries& s, float& b) {
    return ValueToAxisFraction(0, b, s);
}

bool StackBase(CChartSeries* const* series, int count, float& b) {
    b = 0;
    if (count < 1) return true;
    uint8_t flags = 0;
    for (int i = 0; i < count; ++i) flags |= series[i]->valueFlags & kPointNegative;
    // A stack grows both ways from its base: only the negatives decide the end it stands on.
    return BaseFraction(*series[0], flags | (flags ? kPointPositive : 0), b);
}

void DrawAllSeriesLabels(CChart& chart, CChartSeries* const* series, int count) {
    for (int i = 0; i < count; ++i)
        if (series[i]->settings.labels)
            DrawSeriesLabels(chart, *series[i], FindXDomainSeries(chart, *series[i]));
}

} // namespace vl
