#include "charts/axismap.h"
#include "charts/draw/chartlayout.h"
#include "charts/draw/chartplot.h"
#include "charts/draw/chartseries.h"
#include "charts/draw/plotarea.h"
#include "model/cellrecord.h"
#include "render/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace vl {

namespace {

CChartSeries* FindSigmaSeries(CChart& chart, const CChartSeries& s) {
    const std::string related(s.settings.relatedSigma,
                              strnlen(s.settings.relatedSigma, kChartTextSize - 1));
    if (related.empty()) return nullptr;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        const SeriesSettings& o = chart.series[i].settings;
        const std::string name(o.name, strnlen(o.name, kChartTextSize - 1));
        if (CompareNoCase(name.c_str(), related.c_str()) == 0) {
            chart.series[i].points.BuildPageIndex();
            return &chart.series[i];
        }
    }
    return nullptr;
}

// The fraction of the axis at which `value` lies, cut to the plot; false for no bar.
bool BarEndFraction(const CChartSeries& s, double value, float& f, bool& cut) {
    if (IsLogScale(s.settings.scale) && value <= 0) return false;
    if (!ValueToAxisFraction(TransformAxisValue(s.settings.scale, value, false), f, s))
        return false;
    cut = f < 0 || f > 1;
    f = std::clamp(f, 0.0f, 1.0f);
    return true;
}

// The two bars of point p along one axis of `length` pixels: toward the value plus the
// error (`plus`) and minus it, in pixels from the point's own fraction.
void BarPair(const CChartSeries& s, const CChartSeries* sigma, uint32_t p, float at, float length,
             int32_t& plus, int32_t& minus, uint8_t& clip, uint8_t clipPlus, uint8_t clipMinus) {
    if (!sigma || p >= sigma->points.ItemCount()) return;
    const ChartPoint e = SeriesPoint(const_cast<CChartSeries&>(*sigma), p);
    if (!Drawable(e)) return;
    const ChartPoint v = SeriesPoint(const_cast<CChartSeries&>(s), p);
    float f = 0;
    bool cut = false;
    if (BarEndFraction(s, v.value + e.value, f, cut)) {
        plus = DeviceCoord(std::fabs(double(f) - at) * length);
        if (cut) clip |= clipPlus;
    }
    if (BarEndFraction(s, v.value - e.value, f, cut)) {
        minus = DeviceCoord(std::fabs(double(f) - at) * length);
        if (cut) clip |= clipMinus;
    }
}

// Label sides of a piece: the first above, each later one opposite to the one before.
struct LabelSide {
    int last = 0; // 0 none, 1 above, 2 below
    void Break() { last = 0; }
    bool Above(bool hasPrevious, float previousY, float y) {
        bool above = true;
        if (last)
            above = last == 2;
        else if (hasPrevious)
            above = previousY < y;
        last = above ? 1 : 2;
        return above;
    }
};

bool RecordLabel(CChart& chart, CChartSeries& s, uint32_t p, float x, float y, bool above,
                 uint16_t scale) {
    const int32_t half = (((GetMarkerSize(s.settings.symbol)) / 2) * scale / 100);
    const float d = float(half + chart.gap);
    return AddLabelAnchor(chart, s, p, x, above ? y - d : y + d, 2, above ? 7 : 4);
}

void SymbolStyle(CCanvas& canvas, const CChartSeries& s) {
    const BorderLine& line = s.settings.line;
    canvas.SetPen(line.style >= 6 ? 1 : line.style, LineColor(line), 100);
    canvas.SelectFill(s.settings.fill);
    canvas.SetTextColor(FirstFillColor(s.settings.fill));
}

void ConnectStyle(CCanvas& canvas, const CChartSeries& s) {
    const BorderLine& line = s.settings.connectingLine;
    canvas.SetPen(line.style > 5 ? 1 : line.style, LineColor(line), 100);
}

// The symbols of one series in order, with the label sides of their pieces.
struct SymbolWalk {
    SymbolWalk(CChart& c, CChartSeries& series) : chart(c), s(series) {}
    CChart& chart;
    CChartSeries& s;
    uint16_t scale = std::max(chart.zoomX, chart.zoomY);
    LabelSide side;
    bool previous = false;
    float px = 0, py = 0;

    void Break() {
        previous = false;
        side.Break();
    }
    bool Point(uint32_t p, float x, float y, const ErrorBars& bars) {
        DrawScatterSymbol(chart, DeviceCoord(x), DeviceCoord(y), s.settings.symbol, bars, scale);
        if (s.settings.labels &&
            !RecordLabel(chart, s, p, x, y, side.Above(previous, py, y), scale))
            return false;
        previous = true, px = x, py = y;
        return true;
    }
};

} // namespace

bool PlotScatterSeries(CChart& chart, CChartSeries* const* series, int count) {
    PlotArea a;
    if (!chart.canvas || !SetupPlotArea(chart, series, count, a)) return false;
    const uint32_t m = LargestPointCount(series, count);
    if (count == 0 || m == 0) return true;
    CCanvas& canvas = *chart.canvas;
    const double c = double(a.w) / m;
    for (int i = 0; i < count; ++i) {
        CChartSeries& s = *series[i];
        if (!s.settings.visible) continue;
        const CChartSeries* sigma = FindSigmaSeries(chart, s);
        SymbolWalk walk(chart, s);
        const uint32_t n = s.points.ItemCount();
        for (uint32_t p = 0; p < n; ++p) {
            const ChartPoint point = SeriesPoint(s, p);
            if (!Drawable(point)) {
                walk.Break();
                continue;
            }
            const float x = a.X((p + 0.5) * c), y = a.Y(double(a.h) * point.position);
            if (walk.previous && s.settings.connectingLine.style != 0) {
                ConnectStyle(canvas, s);
                canvas.DrawLine(DeviceCoord(walk.px), DeviceCoord(walk.py), DeviceCoord(x),
                                DeviceCoord(y));
            }
            SymbolStyle(canvas, s);
            ErrorBars bars;
            BarPair(s, sigma, p, point.position, a.h, bars.up, bars.down, bars.clip, kClipUp,
                    kClipDown);
            if (!walk.Point(p, x, y, bars)) return false;
        }
    }
    DrawAllSeriesLabels(chart, series, count);
    return true;
}

bool PlotXYScatterSeries(CChart& chart, CChartSeries* const* series, int count) {
    PlotArea a;
    if (!chart.canvas || !SetupPlotArea(chart, series, count, a)) return false;
    CCanvas& canvas = *chart.canvas;
    for (int i = 0; i < count; ++i) {
        CChartSeries& s = *series[i];
        CChartSeries* domain = FindXDomainSeries(chart, s);
        if (!s.settings.visible || !domain || !domain->points.BuildPageIndex()) continue;
        const uint32_t n = std::min(s.points.ItemCount(), domain->points.ItemCount());
        auto at = [&](uint32_t p, ChartPoint& v, ChartPoint& d, float& x, float& y) {
            v = SeriesPoint(s, p), d = SeriesPoint(*domain, p);
            if (!Drawable(v) || !Drawable(d)) return false;
            x = a.X(double(a.w) * d.position), y = a.Y(double(a.h) * v.position);
            return true;
        };
        ChartPoint v, d;
        float x = 0, y = 0, px = 0, py = 0;
        bool previous = false;
        if (s.settings.connectingLine.style != 0) {
            ConnectStyle(canvas, s);
            for (uint32_t p = 0; p < n; ++p) {
                const bool drawable = at(p, v, d, x, y);
                if (drawable && previous)
                    canvas.DrawLine(DeviceCoord(px), DeviceCoord(py), DeviceCoord(x),
                                    DeviceCoord(y));
                previous = drawable, px = x, py = y;
            }
        }
        const CChartSeries* sigmaY = FindSigmaSeries(chart, s);
        const CChartSeries* sigmaX = FindSigmaSeries(chart, *domain);
        SymbolStyle(canvas, s);
        SymbolWalk walk(chart, s);
        for (uint32_t p = 0; p < n; ++p) {
            if (!at(p, v, d, x, y)) {
                walk.Break();
                continue;
            }
            ErrorBars bars;
            BarPair(s, sigmaY, p, v.position, a.h, bars.up, bars.down, bars.clip, kClipUp,
                    kClipDown);
            BarPair(*domain, sigmaX, p, d.position, a.w, bars.right, bars.left, bars.clip,
                    kClipRight, kClipLeft);
            if (!walk.Point(p, x, y, bars)) return false;
        }
    }
    DrawAllSeriesLabels(chart, series, count);
    return true;
}

} // namespace vl
