#include "charts/draw/chartplot.h"
#include "charts/draw/chartseries.h"
#include "charts/draw/plotarea.h"
#include "render/canvas.h"

#include <vector>

namespace vl {

namespace {

// The running fractions of one category of an area stack.
struct StackEnds {
    double up, down;
    double& For(const ChartPoint& p) { return p.flags & (kPointPositive | kPointZero) ? up : down; }
};

DcPoint AreaPoint(const PlotArea& a, double c, uint32_t p, double fraction) {
    return DevicePoint(a.X((p + 0.5) * c), a.Y(a.h * fraction));
}

} // namespace

bool PlotLineSeries(CChart& chart, CChartSeries* const* series, int count) {
    PlotArea a;
    if (!chart.canvas || !SetupPlotArea(chart, series, count, a)) return false;
    const uint32_t m = LargestPointCount(series, count);
    if (count == 0 || m == 0) return true;
    CCanvas& canvas = *chart.canvas;
    const double c = double(a.w) / m;
    const float d = chart.gap;
    for (int i = 0; i < count; ++i) {
        CChartSeries& s = *series[i];
        if (!s.settings.visible) continue;
        canvas.SetBorderPen(s.settings.line, 100);
        bool previous = false;
        float px = 0, py = 0;
        const uint32_t n = s.points.ItemCount();
        for (uint32_t p = 0; p < n; ++p) {
            const ChartPoint point = SeriesPoint(s, p);
            if (!Drawable(point)) {
                previous = false;
                continue;
            }
            const float x = a.X((p + 0.5) * c), y = a.Y(double(a.h) * point.position);
            if (previous)
                canvas.DrawLine(DeviceCoord(px), DeviceCoord(py), DeviceCoord(x), DeviceCoord(y));
            const bool below = previous && py < y;
            if (s.settings.labels &&
                !AddLabelAnchor(chart, s, p, x, below ? y + d : y - d, kLabelCentre,
                                below ? kLabelTop : kLabelBottom))
                return false;
            previous = true, px = x, py = y;
        }
    }
    DrawAllSeriesLabels(chart, series, count);
    return true;
}

bool PlotAreaSeries(CChart& chart, CChartSeries* const* series, int count, bool outline) {
    PlotArea a;
    if (!chart.canvas || !SetupPlotArea(chart, series, count, a)) return false;
    const uint32_t m = LargestPointCount(series, count);
    if (count == 0 || m < 2) return true;
    float b = 0;
    if (!StackBase(series, count, b)) return false;
    CCanvas& canvas = *chart.canvas;
    const double c = double(a.w) / m;
    // Series by series, so that each selects its style once. Each pair of neighbouring
    // categories keeps its running ends, and stops stacking at its first gap.
    std::vector<StackEnds> at(m - 1, {b, b}), next(m - 1, {b, b});
    std::vector<uint8_t> stopped(m - 1, 0);
    for (int i = 0; i < count; ++i) {
        CChartSeries& s = *series[i];
        const bool shown = s.settings.visible != 0;
        if (shown) {
            SelectBandStyle(canvas, s.settings.fill);
            if (outline) canvas.SelectFillPattern(0, 0, 0);
        }
        for (uint32_t p = 0; p + 1 < m; ++p) {
            if (stopped[p]) continue;
            if (p + 1 >= s.points.ItemCount()) {
                stopped[p] = 1;
                continue;
            }
            const ChartPoint points[2] = {SeriesPoint(s, p), SeriesPoint(s, p + 1)};
            if (!Drawable(points[0]) || !Drawable(points[1])) {
                stopped[p] = 1;
                continue;
            }
            double before[2], after[2];
            StackEnds* ends[2] = {&at[p], &next[p]};
            for (int k = 0; k < 2; ++k) {
                double& run = ends[k]->For(points[k]);
                before[k] = run;
                run += points[k].position - b;
                after[k] = run;
            }
            if (!shown) continue;
            const DcPoint oldP = AreaPoint(a, c, p, before[0]), newP = AreaPoint(a, c, p, after[0]);
            const DcPoint oldQ = AreaPoint(a, c, p + 1, before[1]),
                          newQ = AreaPoint(a, c, p + 1, after[1]);
            const DcPoint first[3] = {oldP, newP, newQ}, second[3] = {oldQ, newQ, oldP};
            FillPolygon(canvas, first, 3);
            FillPolygon(canvas, second, 3);
            if (!s.settings.labels) continue;
            for (int k = 0; k < 2; ++k) {
                const float x = a.X((p + k + 0.5) * c);
                const float y = a.Y(a.h * (before[k] + after[k]) / 2);
                if (!AddLabelAnchor(chart, s, p + k, x, y, kLabelCentre, kLabelMiddle))
                    return false;
            }
        }
    }
    DrawAllSeriesLabels(chart, series, count);
    return true;
}

} // namespace vl
