#include "charts/axismap.h"
#include "charts/draw/chartgeometry.h"

namespace vl {

namespace {

// Where a band's points lie: at fraction f along the axis and distance d in from its outer
// edge p.
struct BandFrame {
    uint8_t side;
    float p, w, h, depth;

    void At(float f, float d, float& x, float& y, float& z) const {
        x = y = z = 0;
        switch (side) {
        case kSideLeft:
            x = p + d, y = f * h;
            break;
        case kSideRight:
            x = p - d, y = f * h;
            break;
        case kSideTop:
            x = f * w, y = p - d;
            break;
        case kSideBottom:
            x = f * w, y = p + d;
            break;
        case kSideDepthLeft:
            y = f * h, z = p - d;
            break;
        case kSideDepthBottom:
            x = f * w, z = p - d;
            break;
        case kSideDepthRight64:
            x = p - d, z = f * depth;
            break;
        default:
            x = w, y = f * h, z = p - d;
            break; // kSideDepthRight
        }
    }
    bool Add(CChart& chart, float f, float d) const {
        float x, y, z;
        At(f, d, x, y, z);
        return AddVertex(chart, x, y, z);
    }
    // The corners go round from the far end of the axis on sides 1, 4, 16 and 64.
    bool Corners(CChart& chart, float t) const {
        const bool fromFar = side == kSideLeft || side == kSideTop || side == kSideDepthLeft ||
                             side == kSideDepthRight64;
        const float a = fromFar ? 1.0f : 0.0f, b = 1.0f - a;
        return Add(chart, a, t) && Add(chart, a, 0) && Add(chart, b, 0) && Add(chart, b, t);
    }
};

bool OuterEdge(uint8_t side, float g, float t, float w, float h, float depth, float& p) {
    switch (side) {
    case kSideLeft:
    case kSideBottom:
        p = -(g + t);
        return true;
    case kSideRight:
    case kSideDepthRight64:
        p = g + t + w;
        return true;
    case kSideTop:
        p = g + t + h;
        return true;
    case kSideDepthLeft:
    case kSideDepthBottom:
    case kSideDepthRight:
        p = g + t + depth;
        return true;
    default:
        return false;
    }
}

void StackOutward(const CChart& chart, uint8_t side, float g, float t, float& p) {
    for (uint8_t i = 0; i < chart.axisCount; ++i) {
        if (chart.axes[i].side != side) continue;
        const float step = float(chart.axes[i].extent) + g + t;
        if (side == kSideLeft || side == kSideBottom)
            p -= step;
        else if (side == kSideRight || side == kSideTop)
            p += step;
        else
            p += step * 1.4f;
    }
}

} // namespace

bool BuildAxisRecord(CChart& chart, uint8_t side, int32_t w, int32_t h, CChartSeries& series) {
    if (chart.axisCount > kChartAxes - 1) {
        chart.error = kErrorChartAxes;
        return false;
    }
    AxisRecord& record = chart.axes[chart.axisCount];
    record = AxisRecord{};
    record.side = side;
    record.series = &series;
    record.firstVertex = chart.vertices.ItemCount();
    MeasureAxisLabels(chart, series, record);
    const float depth = ChartDepth(chart, w, h);
    const float g = chart.gap > 0 ? float(chart.gap - 1) : 0.0f;
    const float t = float(TickLength(chart));
    BandFrame band{side, 0, float(w), float(h), depth};
    if (!OuterEdge(side, g, t, band.w, band.h, depth, band.p)) return false;
    StackOutward(chart, side, g, t, band.p);
    if (!band.Corners(chart, t)) {
        chart.error = kErrorChartMemory;
        return false;
    }
    const uint32_t n = MajorIntervals(series), m = MinorIntervals(series);
    float f = 0;
    for (uint32_t k = 1; k < n; ++k) {
        if (!AxisTickFraction(series, k, 0, f)) continue;
        if (!band.Add(chart, f, 0) || !band.Add(chart, f, t)) {
            chart.error = kErrorChartMemory;
            return false;
        }
        ++record.majorTicks;
    }
    const uint8_t role = series.settings.role;
    for (uint32_t k = 0; (role == 1 || role == 2) && k < n; ++k)
        for (uint32_t j = 1; j < m; ++j) {
            if (!AxisTickFraction(series, k, j, f)) continue;
            if (!band.Add(chart, f, 0) || !band.Add(chart, f, t / 2)) {
                chart.error = kErrorChartMemory;
                return false;
            }
            ++record.minorTicks;
        }
    ++chart.axisCount;
    return true;
}

} // namespace vl
