#include "charts/draw/chart3dsolid.h"

#include "charts/axismap.h"
#include "charts/draw/chartgeometry.h"
#include "model/chartprojection.h"

#include <algorithm>
#include <cstring>

namespace vl {

bool ReadSceneFrame(CChart& chart, SceneFrame& frame) {
    for (const WallRecord& wall : chart.walls)
        if (!wall.built) return false;
    const uint32_t xy = chart.walls[kWallXY].firstVertex;
    const ChartVertex c0 = LoadVertex(chart, xy), c2 = LoadVertex(chart, xy + 2);
    const uint32_t floor = chart.walls[kWallFloor].firstVertex;
    const ChartVertex f0 = LoadVertex(chart, floor), f2 = LoadVertex(chart, floor + 2);
    frame.x0 = c0.modelX, frame.x1 = c2.modelX;
    frame.y0 = c0.modelY, frame.height = c2.modelY - c0.modelY;
    frame.depth = f2.modelZ - f0.modelZ;
    return true;
}

ChartPoint PointAt(const CChartSeries& series, uint32_t index) {
    ChartPoint p;
    if (const void* item = const_cast<CPagedList&>(series.points).GetItem16(index))
        std::memcpy(&p, item, sizeof p);
    return p;
}

uint32_t CategoryCount(CChartSeries* const* series, int count) {
    uint32_t n = 0;
    for (int i = 0; i < count; ++i) n = std::max(n, series[i]->points.ItemCount());
    return n;
}

bool BasePosition(const CChartSeries& s, float& base) {
    return BaseFraction(s, s.valueFlags, base);
}

bool HasBars3D(const CChart& chart) {
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i)
        if (chart.series[i].settings.role == 1 && chart.series[i].settings.kind == 8) return true;
    return false;
}

bool SolidBuilder::Reference(float x, float y, float z) {
    reference_ = chart_.vertices.ItemCount();
    return AddVertex(chart_, x, y, z);
}

bool SolidBuilder::Corner(float x, float y, float z, uint32_t& index) {
    index = chart_.vertices.ItemCount();
    return AddVertex(chart_, x, y, z);
}

bool SolidBuilder::Face(uint32_t a, uint32_t b, uint32_t c, uint8_t edges) {
    ChartFace f;
    f.a = a, f.b = b, f.c = c;
    f.reference = reference_;
    f.color = color_;
    f.edges = edges;
    return chart_.faces.AppendItem52(&f);
}

bool AppendPrism(SolidBuilder& solid, const Prism& p, uint8_t faces, uint32_t* first) {
    const float x[4] = {p.xa, p.xa, p.xb, p.xb};
    const float y[4] = {p.lowA, p.highA, p.highB, p.lowB};
    uint32_t corner = 0, start = 0;
    for (int k = 0; k < 8; ++k) {
        if (!solid.Corner(x[k % 4], y[k % 4], k < 4 ? p.ze : p.zs, corner)) return false;
        if (k == 0) start = corner;
    }
    if (first) *first = start;
    return AppendPrismFaces(solid, start, faces);
}

bool AppendPrismFaces(SolidBuilder& solid, uint32_t first, uint8_t faces) {
    // Corners numbered from 1; each face is a quad of two triangles whose diagonal is not
    // outlined, wound so that its normal points out of the prism.
    static const uint8_t kQuads[6][6] = {
        {1, 4, 3, 3, 2, 1}, {5, 6, 7, 7, 8, 5}, {2, 3, 7, 7, 6, 2},
        {1, 5, 8, 8, 4, 1}, {1, 2, 6, 6, 5, 1}, {4, 8, 7, 7, 3, 4},
    };
    // Front, back, right, left, top, bottom: the order of a column's faces.
    static const int kOrder[6] = {0, 1, 5, 4, 2, 3};
    for (int q : kOrder) {
        if (!(faces & (1 << q))) continue;
        const uint8_t* v = kQuads[q];
        const uint32_t base = first - 1;
        if (!solid.Face(base + v[0], base + v[1], base + v[2], 3) ||
            !solid.Face(base + v[3], base + v[4], base + v[5], 3))
            return false;
    }
    return true;
}

} // namespace vl
