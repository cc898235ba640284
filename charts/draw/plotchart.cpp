#include "charts/axismap.h"
#include "charts/draw/chart3d.h"
#include "charts/draw/chartplot.h"
#include "charts/draw/chartseries.h"
#include "charts/draw/plotarea.h"
#include "charts/scales.h"
#include "render/canvas.h"

#include <cstring>

namespace vl {

namespace {

bool LonePie(const CChart& chart) {
    int data = 0;
    bool pie = false;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        const SeriesSettings& s = chart.series[i].settings;
        if (s.role != 1) continue;
        ++data;
        pie = s.kind == 5;
    }
    return data == 1 && pie;
}

void Segment(CChart& chart, uint32_t first) {
    const ChartVertex a = VertexAt(chart, first), b = VertexAt(chart, first + 1);
    chart.canvas->DrawLine(DeviceCoord(a.viewX), DeviceCoord(a.viewY), DeviceCoord(b.viewX),
                           DeviceCoord(b.viewY));
}

void DrawPlane(CChart& chart, bool outline) {
    const WallRecord& wall = chart.walls[kWallXY];
    const uint32_t count = chart.vertices.ItemCount();
    if (!wall.built || !wall.shown || uint64_t(wall.firstVertex) + 4 + 2 * wall.lineCount > count)
        return;
    CCanvas& canvas = *chart.canvas;
    DcPoint corners[5];
    DcRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (uint32_t k = 0; k < 4; ++k) {
        const ChartVertex v = VertexAt(chart, wall.firstVertex + k);
        corners[k] = DevicePoint(v.viewX, v.viewY);
        box = {std::min(box.left, corners[k].x), std::min(box.top, corners[k].y),
               std::max(box.right, corners[k].x), std::max(box.bottom, corners[k].y)};
    }
    corners[4] = corners[0];
    canvas.SetBorderPen(chart.settings.planeBorder, 100);
    if (!outline && chart.settings.planeFill.pattern != 0) {
        canvas.SelectFill(chart.settings.planeFill);
        canvas.FillRectWithPattern(box);
    } else {
        canvas.DrawPolyline(corners, 5);
    }
    for (uint32_t k = 0; k < wall.lineCount; ++k) Segment(chart, wall.firstVertex + 4 + 2 * k);
}

void DrawGridLines(CChart& chart) {
    const uint32_t count = chart.vertices.ItemCount();
    for (uint8_t g = 0; g < chart.gridLineCount && g < kChartGridLineSets; ++g) {
        const GridLineSet& set = chart.gridLines[g];
        if (set.plane != kPlaneXY || !set.series) continue;
        const SeriesSettings& s = set.series->settings;
        uint64_t users = 0;
        for (uint8_t flag : set.userFlags) users += flag ? 1 : 0;
        const uint64_t lines = uint64_t(set.majorCount) + set.minorCount + users;
        if (set.firstVertex + 2 * lines > count) continue;
        uint32_t v = set.firstVertex;
        chart.canvas->SetBorderPen(s.majorGrid, 100);
        for (uint32_t k = 0; k < set.majorCount; ++k, v += 2) Segment(chart, v);
        chart.canvas->SetBorderPen(s.minorGrid, 100);
        for (uint32_t k = 0; k < set.minorCount; ++k, v += 2) Segment(chart, v);
        for (int k = 0; k < 16; ++k) {
            if (!set.userFlags[k]) continue;
            chart.canvas->SetBorderPen(s.userGridLines[k], 100);
            Segment(chart, v);
            v += 2;
        }
    }
}

void DrawAxes(CChart& chart) {
    for (uint8_t k = 0; k < chart.axisCount && k < kChartAxes; ++k) {
        const AxisRecord& axis = chart.axes[k];
        if (!axis.series) continue;
        DrawAxisLine(chart, axis);
        if (axis.series->settings.role == 3)
            DrawCategoryAxisLabels(chart, axis);
        else
            DrawValueAxisLabels(chart, axis);
        DrawAxisTitle(chart, axis);
    }
}

using GroupPlotter = bool (*)(CChart&, CChartSeries* const*, int, bool);

struct GroupRow {
    uint8_t kind, stacked, relative;
    GroupPlotter plot;
};

bool PlotLines(CChart& chart, CChartSeries* const* series, int count, bool) {
    return PlotLineSeries(chart, series, count);
}
bool PlotScatter(CChart& chart, CChartSeries* const* series, int count, bool) {
    return chart.settings.type == kChartXY ? PlotXYScatterSeries(chart, series, count)
                                           : PlotScatterSeries(chart, series, count);
}
// Areas that are not stacked: each a stack of one, in series order.
bool PlotSingleAreas(CChart& chart, CChartSeries* const* series, int count, bool outline) {
    for (int i = 0; i < count; ++i)
        if (!PlotAreaSeries(chart, series + i, 1, outline)) return false;
    return true;
}

constexpr GroupRow kGroups[] = {
    {4, 1, 0, PlotAreaSeries},
    {4, 1, 1, PlotAreaSeries},
    {4, 0, 0, PlotSingleAreas},
    {2, 1, 1, PlotStackedBarSeries},
    {2, 1, 0, PlotStackedBarSeries},
    {1, 1, 1, PlotStackedColumnSeries},
    {1, 1, 0, PlotStackedColumnSeries},
    {2, 0, 0, PlotBarSeries},
    {1, 0, 0, PlotColumnSeries},
    {3, 0, 0, PlotLines},
    {6, 0, 0, PlotScatter},
};

// Moves every vertex from plot-centred model space to the device, or back.
void MoveVertices(CChart& chart, int32_t cx, int32_t cy, bool toDevice) {
    for (Page* page = chart.vertices.FirstPage(); page; page = page->next) {
        for (uint32_t at = 0; at + sizeof(ChartVertex) <= page->used; at += sizeof(ChartVertex)) {
            ChartVertex v;
            std::memcpy(&v, page->payload + at, sizeof v);
            v.viewX = toDevice ? float(cx) + v.viewX : v.viewX - float(cx);
            v.viewY = float(cy) - v.viewY;
            std::memcpy(page->payload + at, &v, sizeof v);
        }
    }
}

} // namespace

bool PlotChartSeries(CChart& chart, bool outline) {
    if (!chart.canvas || !chart.vertices.BuildPageIndex()) return false;
    if (!LonePie(chart)) {
        DrawPlane(chart, outline);
        DrawGridLines(chart);
        DrawAxes(chart);
    }
    SeriesGroup group;
    CollectSeriesByKind(chart, group, 5, 0, 0);
    if (group.count && !PlotPieSeries(chart, *group.members[0], outline)) return false;
    for (const GroupRow& row : kGroups) {
        CollectSeriesByKind(chart, group, row.kind, row.stacked, row.relative);
        if (group.count && !row.plot(chart, group.members, group.count, outline)) return false;
    }
    return true;
}

void FitChartPlotArea(CChart& chart, const DcRect& rect, CCanvas& canvas) {
    if (!(chart.flags & kChartLaidOut)) return;
    chart.canvas = &canvas;
    // The layout has already shrunk the plot to its view size: the margins hold it.
    int32_t* m = chart.margins;
    const int32_t w = rect.right - rect.left - m[0] - m[2];
    const int32_t h = rect.bottom - rect.top - m[1] - m[3];
    const int32_t cx = w / 2 + m[0] + rect.left, cy = h / 2 + m[1] + rect.top;
    const uint32_t built = chart.vertices.ItemCount();
    MoveVertices(chart, cx, cy, true);
    if (chart.settings.type == kChart3D)
        DrawChart3D(chart, false);
    else
        PlotChartSeries(chart, false);
    // Label positions appended while plotting are dropped, so repaints do not grow the list.
    chart.vertices.Truncate(built, sizeof(ChartVertex));
    MoveVertices(chart, cx, cy, false);
    int32_t kept[4];
    std::memcpy(kept, m, sizeof kept);
    m[1] = m[3] = 0;
    DrawChartTextBoxes(chart, rect, false);
    m[0] = m[2] = 0;
    DrawChartLegend(chart, rect, false);
    std::memcpy(m, kept, sizeof kept);
    chart.canvas = nullptr;
}

} // namespace vl
