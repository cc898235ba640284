// The XY wall of a 3D chart and the grid-line sets on its walls, as vertices of the layout.
#include "charts/axismap.h"
#include "charts/draw/chartgeometry.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

bool IsDataSeries(const CChartSeries& s) {
    return s.settings.role == 1;
}

// The fraction of a user grid line's value, or false when it lies off the axis.
bool UserLineFraction(const CChartSeries& s, double u, float& f) {
    if (s.settings.role == 3) {
        const double c = s.labels.ItemCount();
        if (!(u >= 1 && u < c)) return false;
        f = float(u / c);
        return !IsAbnormalFloat(f);
    }
    if (!IsLogScale(s.settings.scale)) {
        if (u < s.minimum || u > s.maximum) return false;
        return ValueToAxisFraction(u, f, s);
    }
    // A log axis has no place for 0 or below: its log would fall on the line of 1.
    if (!(u > 0)) return false;
    const double v = TransformAxisValue(s.settings.scale, u, false);
    if (!std::isfinite(v) || v < s.logMinimum || v > s.logMaximum) return false;
    return ValueToAxisFraction(v, f, s);
}

} // namespace

bool BuildGridLineSet(CChart& chart, CChartSeries& s, uint8_t plane, const GridLineEmitter& line) {
    if (chart.gridLineCount >= kChartGridLineSets) return false;
    GridLineSet& set = chart.gridLines[chart.gridLineCount];
    set = GridLineSet{};
    set.plane = plane;
    set.series = &s;
    set.firstVertex = chart.vertices.ItemCount();
    const uint32_t n = MajorIntervals(s), m = MinorIntervals(s);
    const uint8_t role = s.settings.role;
    float f = 0;
    if (s.settings.majorGrid.style != 0) {
        for (uint32_t t = 1; t < n; ++t) {
            if (!AxisTickFraction(s, t, 0, f)) continue;
            if (!line(f, kGridMajor)) return false;
            ++set.majorCount;
        }
        for (uint32_t t = 0; (role == 1 || role == 2) && t < n; ++t)
            for (uint32_t k = 1; k < m; ++k) {
                if (!AxisTickFraction(s, t, k, f)) continue;
                if (!line(f, kGridMinor)) return false;
                ++set.minorCount;
            }
    }
    const uint8_t users = std::min<uint8_t>(s.settings.userGridCount, 16);
    for (uint8_t k = 0; k < users; ++k) {
        if (!UserLineFraction(s, s.settings.userGridValues[k], f)) continue;
        if (!line(f, kGridUser)) return false;
        set.userFlags[k] = 1;
    }
    ++chart.gridLineCount;
    return true;
}

bool AddVertex(CChart& chart, float x, float y, float z) {
    const ChartVertex v{x, x, y, y, z, z};
    return chart.vertices.AppendItem24(&v);
}

float ChartDepth(CChart& chart, int32_t w, int32_t h) {
    if (chart.settings.type != kChart3D) return 0;
    uint32_t points = 0, data = 0, stacked = 0;
    const CChartSeries* first = nullptr;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        const CChartSeries& s = chart.series[i];
        if (!IsDataSeries(s)) continue;
        if (!first) first = &s;
        points = std::max(points, s.points.ItemCount());
        ++data;
        if (s.settings.stacked) ++stacked;
    }
    if (!first) return 0;
    if (first->settings.kind == 11) return float(std::min(w, h));
    if (points < 2) points = 1;
    return float(w) / float(points) * float(data - stacked + 1);
}

bool AxisTickFraction(const CChartSeries& s, uint32_t t, uint32_t k, float& f) {
    const double n = MajorIntervals(s);
    if (s.settings.role == 3) {
        f = float(double(t) * CategoryDivisor(s) / double(s.labels.ItemCount()));
        return !IsAbnormalFloat(f);
    }
    const uint8_t scale = s.settings.scale;
    const bool log = IsLogScale(scale);
    const double lo = log ? s.logMinimum : s.minimum;
    const double hi = log ? s.logMaximum : s.maximum;
    if (k == 0) return ValueToAxisFraction(lo + t * (hi - lo) / n, f, s);
    const double step = (hi - lo) / n, m = MinorIntervals(s);
    if (!log) return ValueToAxisFraction(lo + t * step + k * step / m, f, s);
    // Evenly in value space between the two major values, as on log paper.
    const double a = TransformAxisValue(scale, lo + t * step, true);
    const double b = TransformAxisValue(scale, lo + (t + 1) * step, true);
    return ValueToAxisFraction(TransformAxisValue(scale, a + k * (b - a) / m, false), f, s);
}

bool BuildXYWall(CChart& chart, int32_t w, int32_t h) {
    bool across = false;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i)
        across |= IsDataSeries(chart.series[i]) && chart.series[i].settings.kind == 2;
    WallRecord& wall = chart.walls[kWallXY];
    wall = WallRecord{};
    wall.firstVertex = chart.vertices.ItemCount();
    const float fw = float(w), fh = float(h);
    if (!AddVertex(chart, 0, 0, 0) || !AddVertex(chart, fw, 0, 0) || !AddVertex(chart, fw, fh, 0) ||
        !AddVertex(chart, 0, fh, 0)) {
        chart.error = kErrorChartMemory;
        return false;
    }
    wall.built = 1;
    wall.shown = chart.settings.planeXY;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        CChartSeries& s = chart.series[i];
        const uint8_t role = s.settings.role;
        if (role == 0 || role == 4) continue;
        // Lines run across the whole plot; minor ones are inset one pixel at each end.
        const bool horizontal = (role == 1) != across;
        const auto line = [&](float f, GridLineKind kind) {
            const float inset = kind == kGridMinor ? 1.0f : 0.0f;
            if (horizontal) {
                const float y = f * fh;
                return AddVertex(chart, inset, y, 0) && AddVertex(chart, fw - inset, y, 0);
            }
            const float x = f * fw;
            return AddVertex(chart, x, inset, 0) && AddVertex(chart, x, fh - inset, 0);
        };
        if (!BuildGridLineSet(chart, s, kPlaneXY, line)) {
            chart.error = kErrorChartMemory;
            return false;
        }
    }
    return true;
}

uint64_t CountLayoutVertices(const CChart& chart) {
    uint64_t count = 4;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        const CChartSeries& s = chart.series[i];
        if (s.settings.role == 0 || s.settings.role == 4) continue;
        const uint64_t n = MajorIntervals(s), m = MinorIntervals(s);
        const uint64_t lines = (n - 1) + n * (m - 1) + 16;
        count += 2 * lines;                           // grid lines
        count += 2 * (4 + 2 * (n - 1 + n * (m - 1))); // two axes at most
    }
    return count;
}

} // namespace vl
