#include "charts/axislabel.h"
#include "charts/axismap.h"
#include "charts/draw/chartgeometry.h"
#include "render/canvas.h"

#include <algorithm>
#include <string>

namespace vl {

namespace {

bool BarsAcross(const CChart& chart) {
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        const SeriesSettings& s = chart.series[i].settings;
        if (s.role == 1 && (s.kind == 2 || s.kind == 8)) return true;
    }
    return false;
}

// Sides whose labels stand beside a vertical axis: their extent runs across the labels.
bool ExtentAcross(uint8_t side) {
    return side == kSideLeft || side == kSideRight || side == kSideDepthLeft ||
           side == kSideDepthRight;
}
bool KnownSide(uint8_t side) {
    return ExtentAcross(side) || side == kSideTop || side == kSideBottom ||
           side == kSideDepthBottom || side == kSideDepthRight64;
}

uint32_t Extent(uint8_t side, bool vertical, uint32_t width, uint32_t height) {
    return ExtentAcross(side) == vertical ? height : width;
}

bool Measure(CChart& chart, const std::string& text, int32_t& width, int32_t& height) {
    width = height = 0;
    return chart.canvas && chart.canvas->MeasureText(text, width, height);
}

// The first axis of Primary and Dual, the second of Secondary and Dual.
bool HasAxis(const CChartSeries& s, int which) {
    const uint8_t type = s.settings.axisType;
    return which == 1 ? (type == 1 || type == 3) : (type == 2 || type == 3);
}

} // namespace

int32_t TickLength(const CChart& chart) {
    return 10 * std::max(chart.zoomX, chart.zoomY) / 100;
}

uint8_t GetAxisSide(CChart& chart, int which, const CChartSeries& series) {
    const uint8_t role = series.settings.role;
    if (role < 1 || role > 3 || (which != 1 && which != 2)) return 0;
    const bool across = BarsAcross(chart);
    const bool threeD = chart.settings.type == kChart3D;
    if (role == 1) {
        if (which == 1)
            return threeD ? (across ? kSideLeft : kSideDepthLeft)
                          : (across ? kSideBottom : kSideLeft);
        return threeD ? (across ? kSideDepthRight : kSideRight) : (across ? kSideTop : kSideRight);
    }
    if (which == 1) return threeD ? kSideDepthBottom : (across ? kSideLeft : kSideBottom);
    return threeD ? kSideTop : (across ? kSideRight : kSideTop);
}

void MeasureAxisLabels(CChart& chart, const CChartSeries& s, AxisRecord& record) {
    record.labelWidth = record.labelHeight = record.titleWidth = record.titleHeight = 0;
    record.extent = 0;
    const uint16_t flags = s.settings.axisFlags;
    const int32_t gap = chart.gap;
    if (flags & (kLabelsVertical | kLabelsHorizontal)) {
        if (chart.canvas) chart.canvas->SelectFont(s.settings.axisFont.font, 0, chart.zoomY);
        const uint32_t n = MajorIntervals(s);
        const uint32_t last = s.settings.role == 3 ? n - 1 : n;
        std::string text;
        for (uint32_t i = 0; i <= last; ++i) {
            int32_t width = 0, height = 0;
            if (!FormatAxisLabel(i, s, text) || !Measure(chart, text, width, height)) continue;
            record.labelWidth = std::max(record.labelWidth, uint32_t(width));
            record.labelHeight = std::max(record.labelHeight, uint32_t(height));
        }
        if (KnownSide(record.side))
            record.extent +=
                Extent(record.side, flags & kLabelsVertical, record.labelWidth, record.labelHeight);
        record.extent += gap;
    }
    if ((flags & (kTitleVertical | kTitleHorizontal)) && s.settings.axisTitle[0]) {
        if (chart.canvas) chart.canvas->SelectFont(s.settings.axisFont.font, 0, chart.zoomY);
        int32_t width = 0, height = 0;
        if (Measure(chart, s.settings.axisTitle, width, height)) {
            record.titleWidth = uint32_t(width);
            record.titleHeight = uint32_t(height);
        }
        if (KnownSide(record.side))
            record.extent +=
                Extent(record.side, flags & kTitleVertical, record.titleWidth, record.titleHeight);
        record.extent += gap;
    }
}

void ReserveAxisMargins(CChart& chart) {
    const int32_t g = chart.gap, t = TickLength(chart);
    int32_t* m = chart.margins; // left, top, right, bottom
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        const CChartSeries& s = chart.series[i];
        if (s.settings.axisType == 0 || s.settings.role == 4) continue;
        AxisRecord record;
        if (HasAxis(s, 1) && (record.side = GetAxisSide(chart, 1, s)) != 0) {
            MeasureAxisLabels(chart, s, record);
            const int32_t e = int32_t(record.extent);
            switch (record.side) {
            case kSideLeft:
                m[0] += g + e + t;
                break;
            case kSideRight:
            case kSideDepthRight64:
                m[2] += g + e + t;
                break;
            case kSideTop:
                m[1] += g + e + t;
                break;
            case kSideBottom:
                m[3] += g + e + t;
                break;
            case kSideDepthLeft:
                m[0] += g + e;
                break;
            case kSideDepthBottom:
                m[3] += g + e;
                break;
            default:
                break;
            }
        }
        if (HasAxis(s, 2) && (record.side = GetAxisSide(chart, 2, s)) != 0) {
            MeasureAxisLabels(chart, s, record);
            const int32_t e = int32_t(record.extent);
            if (record.side == kSideRight) m[2] += g + e + t;
            if (record.side == kSideTop) m[1] += g + e + t;
            if (record.side == kSideDepthRight) m[2] += g + e;
        }
    }
}

bool BuildChartAxes(CChart& chart, int32_t w, int32_t h) {
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        CChartSeries& s = chart.series[i];
        // Error bars own no axis whatever their file says.
        if (s.settings.role < 1 || s.settings.role > 3) continue;
        for (int which : {1, 2})
            if (HasAxis(s, which) && !BuildAxisRecord(chart, GetAxisSide(chart, which, s), w, h, s))
                return false;
    }
    return true;
}

} // namespace vl
