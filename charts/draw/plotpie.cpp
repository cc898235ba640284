#include "charts/draw/chartgeometry.h"
#include "charts/draw/chartplot.h"
#include "charts/draw/chartseries.h"
#include "charts/draw/plotarea.h"
#include "charts/points.h"
#include "render/canvas.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

constexpr double kFanStep = 2 * M_PI / 110;

// Keeps the points of the pie's sign: the first signed point decides, the others are
// flagged as left out. The total of the kept magnitudes.
double KeepOneSign(CChartSeries& s, bool& negative) {
    int sign = 0;
    double total = 0;
    ForEachPoint(s.points, [&](ChartPoint& p, uint32_t) {
        if (p.flags & (kPointOutside | kPointNoValue)) return;
        // The scales flag points by their place on the axis; a pie goes by their sign.
        const int own = p.value > 0 ? 1 : p.value < 0 ? -1 : 0;
        if (own == 0) return;
        if (sign == 0) sign = own;
        if (own != sign) {
            p.flags |= kPointOutside;
            return;
        }
        total += std::fabs(p.value);
    });
    negative = sign < 0;
    return total;
}

struct Pie {
    PlotArea a;
    double cx, cy, radius;
    // The point at angle t (0 up, clockwise) and distance r from (x, y).
    void At(double x, double y, double t, double r, double& px, double& py) const {
        px = x + a.sx * r * std::sin(t);
        py = y + a.sy * r * std::cos(t);
    }
};

void FillSlice(CCanvas& canvas, const Pie& pie, double x, double y, double a0, double a1) {
    // Whole steps from the start; a sliver left by rounding is no step of its own.
    const double steps = std::ceil((a1 - a0) / kFanStep - 1e-9);
    for (double k = 0; k < steps; ++k) {
        const double t = a0 + k * kFanStep, next = std::min(t + kFanStep, a1);
        double px, py, qx, qy;
        pie.At(x, y, t, pie.radius, px, py);
        pie.At(x, y, next, pie.radius, qx, qy);
        const DcPoint fan[3] = {DevicePoint(x, y), DevicePoint(px, py), DevicePoint(qx, qy)};
        FillPolygon(canvas, fan, 3);
    }
}

} // namespace

bool PlotPieSeries(CChart& chart, CChartSeries& s, bool outline) {
    CChartSeries* one[1] = {&s};
    Pie pie{};
    if (!chart.canvas || !chart.walls[kWallXY].built) return false;
    if (!s.settings.visible) return true;
    if (!SetupPlotArea(chart, one, 1, pie.a)) return false;
    if (s.points.ItemCount() == 0) return true;
    bool negative = false;
    const double total = KeepOneSign(s, negative);
    if (!(total > 0) || !std::isfinite(total)) return true;
    const CChartSeries* domain = FindXDomainSeries(chart, s);
    uint32_t lw = 0, lh = 0;
    MeasureSeriesLabels(chart, s, domain, lw, lh);
    const double labels = std::max(lw, lh);
    const double gap = chart.gap;
    pie.cx = (pie.a.x0 + pie.a.x1) / 2.0, pie.cy = (pie.a.y0 + pie.a.y1) / 2.0;
    double r = std::min(pie.a.w, pie.a.h) / 2.0 - gap - labels;
    if (r <= 10) r = 10;
    const double split = chart.settings.pieSplit;
    double rp = r - split * r * 0.01;
    if (rp <= 10) rp = 10;
    pie.radius = rp;
    CCanvas& canvas = *chart.canvas;
    const uint8_t fills =
        s.settings.sliceFillCount ? std::min<uint8_t>(s.settings.sliceFillCount, 16) : 1;
    double sum = 0, a0 = 0;
    const uint32_t n = s.points.ItemCount();
    for (uint32_t p = 0; p < n; ++p) {
        const ChartPoint point = SeriesPoint(s, p);
        if (!Drawable(point) || (negative ? point.value > 0 : point.value < 0)) continue;
        sum += std::fabs(point.value);
        const double a1 = 2 * M_PI * sum / total, mid = (a0 + a1) / 2;
        double x = pie.cx, y = pie.cy;
        if (split != 0) pie.At(pie.cx, pie.cy, mid, split * rp * 0.01, x, y);
        SelectBandStyle(canvas, s.settings.sliceFills[p % fills]);
        if (outline) canvas.SelectFillPattern(0, 0, 0);
        if (a1 > a0) FillSlice(canvas, pie, x, y, a0, a1);
        if (s.settings.labels) {
            double lx, ly;
            pie.At(x, y, mid, rp + 2 * gap, lx, ly);
            const uint32_t at = chart.vertices.ItemCount();
            if (!AddVertex(chart, float(x), float(y), 0) ||
                !AddVertex(chart, float(lx), float(ly), 0))
                return false;
            LabelAnchor anchor{p, at, at + 1, at + 1, kLabelAuto, kLabelAuto, {}};
            if (!s.labelAnchors.AppendItem24(&anchor)) return false;
        }
        a0 = a1;
    }
    if (s.settings.labels) DrawSeriesLabels(chart, s, domain);
    return true;
}

} // namespace vl
