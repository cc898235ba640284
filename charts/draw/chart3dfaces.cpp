#include "charts/draw/chart3d.h"
#include "charts/draw/chart3dsolid.h"

#include <algorithm>

namespace vl {

namespace {

void ClearLabelAnchors(CChartSeries* const* series, int count) {
    for (int i = 0; i < count; ++i) series[i]->labelAnchors.Clear(true);
}

// One stacked segment remembered for the caps of its column.
struct Segment {
    bool present = false;
    uint32_t first = 0;
    COLORREF color = 0;
};

bool CapColumn(SolidBuilder& solid, const Segment& segment, uint8_t face) {
    if (!segment.present) return true;
    solid.SetColor(segment.color);
    return AppendPrismFaces(solid, segment.first, face);
}

} // namespace

bool Build3DFaces(CChart& chart) {
    CChartSeries* data[kChartSeries];
    const int count = CollectDataSeries(chart, data);
    if (count == 0) return true;
    const SeriesSettings& first = data[0]->settings;
    switch (first.kind) {
    case 7:
    case 8:
        return first.stacked ? Build3DStackedColumnFaces(chart, data, count)
                             : Build3DColumnFaces(chart, data, count);
    case 9:
        return Build3DLineFaces(chart, data, count);
    case 10:
        return first.stacked ? Build3DStackedAreaFaces(chart, data, count)
                             : Build3DAreaFaces(chart, data, count);
    case 11:
        for (int i = 0; i < count; ++i)
            if (data[i]->settings.visible) return Build3DPieFaces(chart, *data[i]);
        return true;
    default:
        return true;
    }
}

bool Build3DColumnFaces(CChart& chart, CChartSeries* const* series, int count) {
    SceneFrame frame;
    if (!ReadSceneFrame(chart, frame)) return false;
    ClearLabelAnchors(series, count);
    const uint32_t n = CategoryCount(series, count);
    if (n == 0) return true;
    const float s = (frame.x1 - frame.x0) / float(n), d = frame.depth / float(count);
    const float p = float(chart.settings.barSize) * 0.01f;
    const float w = std::min(p * s, p * d);
    // Bars are columns turned a quarter turn: category 0 must end at the bottom.
    const bool fromRight = HasBars3D(chart);
    const float H = frame.height;
    for (int i = 0; i < count; ++i) {
        const CChartSeries& ser = *series[i];
        float b = 0;
        if (!ser.settings.visible || !BasePosition(ser, b)) continue;
        const float zs = float(i) * d + (d - w) / 2, ze = zs + w;
        SolidBuilder solid(chart, ser.settings.fill.patternColor);
        const uint32_t points = ser.points.ItemCount();
        for (uint32_t j = 0; j < points; ++j) {
            const ChartPoint pt = PointAt(ser, j);
            if (!IsPlotted(pt)) continue;
            const uint32_t slot = fromRight ? n - 1 - j : j;
            const float xs = float(slot) * s + (s - w) / 2 + frame.x0, xe = xs + w;
            const bool negative = !IsAtOrAboveZero(pt);
            const float t = frame.y0 + H * (negative ? pt.position : b);
            const float u = frame.y0 + H * (negative ? b : pt.position);
            if (!solid.Reference((xs + xe) / 2, frame.y0, (zs + ze) / 2) ||
                !AppendPrism(solid, {xs, xe, t, u, t, u, zs, ze}, kPrismAll))
                return false;
        }
    }
    return true;
}

bool Build3DStackedColumnFaces(CChart& chart, CChartSeries* const* series, int count) {
    SceneFrame frame;
    if (!ReadSceneFrame(chart, frame)) return false;
    ClearLabelAnchors(series, count);
    const uint32_t n = CategoryCount(series, count);
    if (n == 0) return true;
    float b = 0;
    if (!BasePosition(*series[0], b)) return false;
    const float s = (frame.x1 - frame.x0) / float(n), D = frame.depth, H = frame.height;
    const float q = float(chart.settings.stackBarSize) * 0.01f;
    const float w = std::min(q * s, q * D);
    const float zs = (D - w) / 2, ze = zs + w;
    const bool fromRight = HasBars3D(chart);
    for (uint32_t j = 0; j < n; ++j) {
        const uint32_t slot = fromRight ? n - 1 - j : j;
        const float xs = float(slot) * s + (s - w) / 2 + frame.x0, xe = xs + w;
        SolidBuilder solid(chart, 0);
        if (!solid.Reference((xs + xe) / 2, frame.y0, (zs + ze) / 2)) return false;
        float up = frame.y0 + H * b, down = up;
        Segment firstUp, lastUp, firstDown, lastDown;
        for (int i = 0; i < count; ++i) {
            const CChartSeries& ser = *series[i];
            if (j >= ser.points.ItemCount()) continue;
            const ChartPoint pt = PointAt(ser, j);
            if (!IsPlotted(pt)) continue;
            Segment segment{true, 0, ser.settings.fill.patternColor};
            solid.SetColor(segment.color);
            if (IsAtOrAboveZero(pt)) {
                const float top = up + H * (pt.position - b);
                if (!AppendPrism(solid, {xs, xe, up, top, up, top, zs, ze}, kPrismSides,
                                 &segment.first))
                    return false;
                up = top;
                if (!firstUp.present) firstUp = segment;
                lastUp = segment;
            } else if (pt.flags & kPointNegative) {
                const float bottom = down - H * (b - pt.position);
                if (!AppendPrism(solid, {xs, xe, bottom, down, bottom, down, zs, ze}, kPrismSides,
                                 &segment.first))
                    return false;
                down = bottom;
                if (!firstDown.present) firstDown = segment;
                lastDown = segment;
            }
        }
        // A column on one side of the base line only is closed at its foot too.
        if (!CapColumn(solid, lastUp, kPrismTop) || !CapColumn(solid, lastDown, kPrismBottom) ||
            !CapColumn(solid, lastDown.present ? Segment{} : firstUp, kPrismBottom) ||
            !CapColumn(solid, lastUp.present ? Segment{} : firstDown, kPrismTop))
            return false;
    }
    return true;
}

SceneSize CountSceneSize(CChart& chart) {
    CChartSeries* data[kChartSeries];
    const int count = CollectDataSeries(chart, data);
    SceneSize size;
    if (count == 0) return size;
    const uint64_t n = CategoryCount(data, count);
    uint64_t points = 0;
    for (int i = 0; i < count; ++i) points += data[i]->points.ItemCount();
    const SeriesSettings& first = data[0]->settings;
    const uint64_t m = uint64_t(count);
    switch (first.kind) {
    case 7:
    case 8:
        size = first.stacked ? SceneSize{n * (8 * m + 4), n * (1 + 8 * m)}
                             : SceneSize{12 * points, 9 * points};
        break;
    case 9:
        size = {4 * points, 5 * points};
        break;
    case 10:
        // Two prisms a segment where the line crosses its base line.
        size = first.stacked ? SceneSize{n * (24 * m + 8), n * (2 + 16 * m)}
                             : SceneSize{24 * points, 18 * points};
        break;
    case 11: {
        // Every slice takes at least one rim step; 110 steps make the whole turn.
        const uint64_t steps = 110 + points;
        size = {4 * steps + 4 * points, 4 * steps + 6 * points};
        break;
    }
    default:
        break;
    }
    return size;
}

} // namespace vl
