#include "charts/axismap.h"
#include "charts/draw/chartplot.h"
#include "charts/draw/chartseries.h"
#include "charts/draw/plotarea.h"
#include "render/canvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vl {

namespace {

constexpr float kSlack = 1e-3f;

// Columns run their categories across the plot and their values up it; bars the other
// way round, category 0 at the origin.
struct BarFrame {
    PlotArea a;
    bool across; // bars
    double CategoryLength() const { return across ? a.h : a.w; }
    double ValueLength() const { return across ? a.w : a.h; }
    // The device point at `along` the categories and `up` the values.
    void At(double along, double up, double& x, double& y) const {
        x = across ? a.X(up) : a.X(along);
        y = across ? a.Y(along) : a.Y(up);
    }
    // A value beyond the axis limits (a zero the limits left out) must not paint over the
    // rest of the chart: a bar is cut at the plot's ends; false when none of it is left.
    bool Clip(double& lo, double& hi) const {
        const double length = ValueLength();
        const double a = std::clamp(lo, 0.0, length), b = std::clamp(hi, 0.0, length);
        if (a == b && (lo != hi || a != lo)) return false;
        lo = a;
        hi = b;
        return true;
    }
    void Fill(CCanvas& canvas, double from, double to, double lo, double hi) const {
        if (!Clip(lo, hi)) return;
        double x1, y1, x2, y2;
        At(from, lo, x1, y1);
        At(to, hi, x2, y2);
        FillQuad(canvas, x1, y1, x2, y2);
    }
};

void SelectStyle(CCanvas& canvas, const CChartSeries& s, bool outline) {
    SelectBarStyle(canvas, s);
    if (outline) canvas.SelectFillPattern(0, 0, 0);
}

// The label beyond the value end: above (right of) it for positive and zero values, below
// (left of) it for negative ones.
// The label beyond the end of the bar, or inside that end when the bar was cut there: a
// cut bar reaches the plot's edge, and a label past it would leave the plot, and the chart
// where the plot fills it.
bool ValueEndLabel(CChart& chart, CChartSeries& s, const BarFrame& f, uint32_t p,
                   const ChartPoint& point, double middle, double end, bool cut) {
    const bool negative = !(point.flags & (kPointPositive | kPointZero)) != cut;
    double x, y;
    f.At(middle, end, x, y);
    const float d = chart.gap;
    if (f.across)
        return AddLabelAnchor(chart, s, p, float(x + (negative ? -d : d)), float(y),
                              negative ? kLabelRight : kLabelLeft, kLabelMiddle);
    return AddLabelAnchor(chart, s, p, float(x), float(y + (negative ? d : -d)), kLabelCentre,
                          negative ? kLabelTop : kLabelBottom);
}

bool PlotClustered(CChart& chart, CChartSeries* const* series, int count, bool outline,
                   bool across) {
    BarFrame f{{}, across};
    if (!chart.canvas || !SetupPlotArea(chart, series, count, f.a)) return false;
    const uint32_t m = LargestPointCount(series, count);
    if (count == 0 || m == 0) return true;
    CCanvas& canvas = *chart.canvas;
    const double c = f.CategoryLength() / m;
    const double slot = c / (count + 1);
    const double w = std::trunc(chart.settings.barSize * slot * 0.01);
    const double length = f.ValueLength();
    for (int i = 0; i < count; ++i) {
        CChartSeries& s = *series[i];
        if (!s.settings.visible) continue;
        float b = 0;
        if (!BaseFraction(s, s.valueFlags, b)) continue;
        SelectStyle(canvas, s, outline);
        const uint32_t n = s.points.ItemCount();
        for (uint32_t p = 0; p < n; ++p) {
            const ChartPoint point = SeriesPoint(s, p);
            if (!Drawable(point)) continue;
            const double from = p * c + slot / 2 + i * slot + (slot - w) / 2, to = from + w;
            const double end = length * point.position, base = length * b;
            // A zero value draws no column, wherever the limits put the zero.
            const bool zero = (point.flags & kPointZero) || point.value == 0;
            if (!zero) f.Fill(canvas, from, to, base, end);
            // A zero the limits leave out has nothing to label; any other value off the
            // plot is labelled at the end its column is cut to, so the text stays in the chart.
            const bool onPlot = point.position >= -kSlack && point.position <= 1 + kSlack;
            if (s.settings.labels && (onPlot || !zero) &&
                !ValueEndLabel(chart, s, f, p, point, (from + to) / 2, std::clamp(end, 0.0, length),
                               !onPlot))
                return false;
        }
    }
    DrawAllSeriesLabels(chart, series, count);
    return true;
}

bool PlotStacked(CChart& chart, CChartSeries* const* series, int count, bool outline, bool across) {
    BarFrame f{{}, across};
    if (!chart.canvas || !SetupPlotArea(chart, series, count, f.a)) return false;
    const uint32_t m = LargestPointCount(series, count);
    if (count == 0 || m == 0) return true;
    float b = 0;
    if (!StackBase(series, count, b)) return false;
    CCanvas& canvas = *chart.canvas;
    const double c = f.CategoryLength() / m;
    const double w = std::trunc(chart.settings.stackBarSize * c * 0.01);
    const double length = f.ValueLength();
    // Series by series, so that each selects its style once; the running ends of every
    // category carry the stack from one series to the next.
    std::vector<double> ups(m, b), downs(m, b);
    for (int i = 0; i < count; ++i) {
        CChartSeries& s = *series[i];
        const bool shown = s.settings.visible != 0;
        if (shown) SelectStyle(canvas, s, outline);
        const uint32_t n = std::min(s.points.ItemCount(), m);
        for (uint32_t p = 0; p < n; ++p) {
            const ChartPoint point = SeriesPoint(s, p);
            if (!Drawable(point)) continue;
            double& run = point.flags & (kPointPositive | kPointZero) ? ups[p] : downs[p];
            const double before = run;
            run += point.position - b;
            if (!shown) continue;
            const double from = p * c + (c - w) / 2, to = from + w;
            double lo = length * before, hi = length * run;
            if (!f.Clip(lo, hi)) continue;
            f.Fill(canvas, from, to, lo, hi);
            if (!s.settings.labels) continue;
            double x, y;
            f.At((from + to) / 2, (lo + hi) / 2, x, y);
            if (!AddLabelAnchor(chart, s, p, float(x), float(y), kLabelCentre, kLabelMiddle))
                return false;
        }
    }
    DrawAllSeriesLabels(chart, series, count);
    return true;
}

} // namespace

bool PlotColumnSeries(CChart& chart, CChartSeries* const* series, int count, bool outline) {
    return PlotClustered(chart, series, count, outline, false);
}

bool PlotBarSeries(CChart& chart, CChartSeries* const* series, int count, bool outline) {
    return PlotClustered(chart, series, count, outline, true);
}

bool PlotStackedColumnSeries(CChart& chart, CChartSeries* const* series, int count, bool outline) {
    return PlotStacked(chart, series, count, outline, false);
}

bool PlotStackedBarSeries(CChart& chart, CChartSeries* const* series, int count, bool outline) {
    return PlotStacked(chart, series, count, outline, true);
}

} // namespace vl
