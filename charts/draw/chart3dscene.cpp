// The scene of a 3D chart: the floor, the YZ wall and the data series laid out in depth.
#include "charts/axismap.h"
#include "charts/draw/chart3d.h"
#include "charts/draw/chartgeometry.h"
#include "charts/draw/chartlayout.h"

namespace vl {

namespace {

bool AnyDataSeriesOfKind(const CChart& chart, uint8_t kind) {
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i)
        if (chart.series[i].settings.role == 1 && chart.series[i].settings.kind == kind)
            return true;
    return false;
}

// Lines across the depth between the rows of series that are not stacked, at z = k D / S.
bool AddSeparators(CChart& chart, WallRecord& wall, float depth, float x0, bool floor, float w,
                   float h) {
    CChartSeries* data[kChartSeries];
    const int count = CollectDataSeries(chart, data);
    for (int k = 1; k < count; ++k) {
        if (data[k]->settings.stacked) continue;
        const float z = float(k) * depth / float(count);
        const bool added = floor ? AddVertex(chart, 0, 0, z) && AddVertex(chart, w, 0, z)
                                 : AddVertex(chart, x0, 0, z) && AddVertex(chart, x0, h, z);
        if (!added) return false;
        ++wall.lineCount;
    }
    return true;
}

} // namespace

int CollectDataSeries(CChart& chart, CChartSeries* out[kChartSeries]) {
    int count = 0;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i)
        if (chart.series[i].settings.role == 1) out[count++] = &chart.series[i];
    return count;
}

bool BuildYZWall(CChart& chart, int32_t w, int32_t h) {
    const float fw = float(w), fh = float(h), depth = ChartDepth(chart, w, h);
    // Turned bars put the wall at the right, where their values start.
    const bool bars = AnyDataSeriesOfKind(chart, 8);
    const float x0 = bars ? fw : 0;
    WallRecord& wall = chart.walls[kWallYZ];
    wall = WallRecord{};
    wall.firstVertex = chart.vertices.ItemCount();
    const bool corners = bars ? AddVertex(chart, fw, 0, 0) && AddVertex(chart, fw, 0, depth) &&
                                    AddVertex(chart, fw, fh, depth) && AddVertex(chart, fw, fh, 0)
                              : AddVertex(chart, 0, 0, 0) && AddVertex(chart, 0, fh, 0) &&
                                    AddVertex(chart, 0, fh, depth) && AddVertex(chart, 0, 0, depth);
    if (!corners || !AddSeparators(chart, wall, depth, x0, false, fw, fh))
        return Fail(chart, kErrorChartMemory);
    wall.built = 1;
    wall.shown = chart.settings.planeYZ;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        CChartSeries& s = chart.series[i];
        if (s.settings.role != 1) continue;
        const auto line = [&](float f, GridLineKind kind) {
            const float y = f * fh;
            if (kind == kGridMajor)
                return AddVertex(chart, x0, y, depth) && AddVertex(chart, x0, y, 0);
            return AddVertex(chart, x0, y, 1) && AddVertex(chart, x0, y, depth - 1);
        };
        if (!BuildGridLineSet(chart, s, kPlaneYZ, line)) return Fail(chart, kErrorChartMemory);
    }
    return true;
}

bool BuildChartFloor(CChart& chart, int32_t w, int32_t h) {
    const float fw = float(w), depth = ChartDepth(chart, w, h);
    WallRecord& wall = chart.walls[kWallFloor];
    wall = WallRecord{};
    wall.firstVertex = chart.vertices.ItemCount();
    if (!AddVertex(chart, 0, 0, 0) || !AddVertex(chart, 0, 0, depth) ||
        !AddVertex(chart, fw, 0, depth) || !AddVertex(chart, fw, 0, 0) ||
        !AddSeparators(chart, wall, depth, 0, true, fw, float(h)))
        return Fail(chart, kErrorChartMemory);
    wall.built = 1;
    wall.shown = chart.settings.planeXZ;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        CChartSeries& s = chart.series[i];
        if (s.settings.role != 2) continue;
        const auto line = [&](float f, GridLineKind kind) {
            const float x = f * fw;
            if (kind == kGridMinor)
                return AddVertex(chart, x, 0, 1) && AddVertex(chart, x, 0, depth - 1);
            return AddVertex(chart, x, 0, 0) && AddVertex(chart, x, 0, depth);
        };
        if (!BuildGridLineSet(chart, s, kPlaneFloor, line)) return Fail(chart, kErrorChartMemory);
    }
    return true;
}

bool SceneFits(CChart& chart) {
    if (chart.settings.type != kChart3D) return true;
    const SceneSize scene = CountSceneSize(chart);
    // The other walls take their corners, separators and a grid as large as the XY wall's.
    const uint64_t walls = 8 + 4 * kChartSeries + CountLayoutVertices(chart);
    return scene.faces <= kMaxChartFaces &&
           scene.vertices + walls + CountLayoutVertices(chart) <= kMaxLayoutVertices;
}

bool Build3DScene(CChart& chart, int32_t w, int32_t h) {
    if (!BuildYZWall(chart, w, h) || !BuildChartFloor(chart, w, h))
        return Fail(chart, kErrorChartMemory);
    CChartSeries* data[kChartSeries];
    const bool pie = CollectDataSeries(chart, data) > 0 && data[0]->settings.kind == 11;
    // The axis table's own overflow code, too, is reported as memory here.
    if (!pie && !BuildChartAxes(chart, w, h)) return Fail(chart, kErrorChartMemory);
    if (!Build3DFaces(chart)) return Fail(chart, kErrorChartMemory);
    return true;
}

} // namespace vl
