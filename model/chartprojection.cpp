#include "model/chartprojection.h"

#include "model/viewtransform.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vl {

namespace {

// The coordinates a step works on: the model ones or the view ones.
struct Point {
    float x, y, z;
};
Point Coordinates(const ChartVertex& v, bool model) {
    return model ? Point{v.modelX, v.modelY, v.modelZ} : Point{v.viewX, v.viewY, v.viewZ};
}

template <class Visit> void ForEachVertex(CChart& chart, Visit visit) {
    const uint32_t count = chart.vertices.ItemCount();
    for (uint32_t i = 0; i < count; ++i) {
        ChartVertex v = LoadVertex(chart, i);
        visit(v);
        StoreVertex(chart, i, v);
    }
}

void NormalOfFirstThree(CChart& chart, uint32_t first, float normal[3]) {
    ComputeTriangleNormal(chart, first, first + 1, first + 2, &normal[0], &normal[1], &normal[2]);
}

// Walls and axis bands take the normal of their first three corners; faces one of theirs.
void ComputeNormals(CChart& chart, bool lighting) {
    for (WallRecord& wall : chart.walls)
        if (wall.built) NormalOfFirstThree(chart, wall.firstVertex, wall.normal);
    for (uint8_t i = 0; i < chart.axisCount && i < kChartAxes; ++i)
        NormalOfFirstThree(chart, chart.axes[i].firstVertex, chart.axes[i].normal);
    const uint32_t faces = chart.faces.ItemCount();
    for (uint32_t i = 0; i < faces; ++i) {
        ChartFace f = LoadFace(chart, i);
        float* n = lighting ? f.lightNormal : f.viewNormal;
        ComputeTriangleNormal(chart, f.a, f.b, f.c, &n[0], &n[1], &n[2]);
        StoreFace(chart, i, f);
    }
}

} // namespace

void CenterChartModel(CChart& chart, bool useModel) {
    if (!chart.walls[kWallXY].built) return;
    Point lo = Coordinates(LoadVertex(chart, chart.walls[kWallXY].firstVertex), useModel);
    Point hi = lo;
    for (const WallRecord& wall : chart.walls) {
        if (!wall.built) continue;
        for (uint32_t k = 0; k < 4; ++k) {
            const Point p = Coordinates(LoadVertex(chart, wall.firstVertex + k), useModel);
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    }
    const Point centre{(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f};
    ForEachVertex(chart, [&](ChartVertex& v) {
        float* x = useModel ? &v.modelX : &v.viewX;
        float* y = useModel ? &v.modelY : &v.viewY;
        float* z = useModel ? &v.modelZ : &v.viewZ;
        *x -= centre.x, *y -= centre.y, *z -= centre.z;
    });
}

void ApplyViewMatrix(CChart& chart, const float m[16]) {
    ForEachVertex(chart, [&](ChartVertex& v) {
        const float x = v.modelX, y = v.modelY, z = v.modelZ;
        v.viewX = m[0] * x + m[1] * y + m[2] * z;
        v.viewY = m[4] * x + m[5] * y + m[6] * z;
        v.viewZ = m[8] * x + m[9] * y + m[10] * z;
    });
}

void ComputeTriangleNormal(CChart& chart, uint32_t a, uint32_t b, uint32_t c, float* nx, float* ny,
                           float* nz) {
    const Point pa = Coordinates(LoadVertex(chart, a), false);
    const Point pb = Coordinates(LoadVertex(chart, b), false);
    const Point pc = Coordinates(LoadVertex(chart, c), false);
    const Point d1{pb.x - pa.x, pb.y - pa.y, pb.z - pa.z};
    const Point d2{pc.x - pb.x, pc.y - pb.y, pc.z - pb.z};
    const float x = d1.y * d2.z - d1.z * d2.y;
    const float y = d1.z * d2.x - d1.x * d2.z;
    const float z = d1.x * d2.y - d1.y * d2.x;
    const float length = std::sqrt(x * x + y * y + z * z);
    *nx = x / length, *ny = y / length, *nz = z / length;
}

void ComputeLightAndNormals(CChart& chart) {
    const double h = ChartDegreesToRadians(chart.settings.lightDirectionX);
    const double v = ChartDegreesToRadians(chart.settings.lightDirectionY);
    const double ch = std::cos(h), cv = std::cos(v);
    const double length = std::sqrt(ch * ch + cv * cv + 1);
    chart.light[0] = float(ch / length);
    chart.light[1] = float(cv / length);
    chart.light[2] = float(1 / length);
    ComputeNormals(chart, true);
}

void ComputeViewNormals(CChart& chart) {
    ComputeNormals(chart, false);
}

} // namespace vl
