#pragma once
// 3D charts for the tests: series of a kind with their scales, the walls built by hand or a
// whole layout, and the faces grouped by the solid they belong to.

#include "charts/draw/chart3d.h"
#include "charts/draw/chartgeometry.h"
#include "charts/draw/chartlayout.h"
#include "charts/scales.h"
#include "model/chartprojection.h"
#include "tests/charts/charttestutil.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <vector>

namespace vl::charttest {

struct Chart3D : ChartFixture {
    Chart3D() : ChartFixture(kChart3D) {}

    // Series n of the kind with the values; scales computed after each.
    CChartSeries& Add(uint16_t n, const std::vector<double>& values, uint8_t kind,
                      bool stacked = false) {
        CChartSeries& s = Series(n, values, 1, kind);
        s.settings.stacked = stacked ? 1 : 0;
        EXPECT_TRUE(UpdateChartScales(*chart));
        return s;
    }
    // The three walls of a plot w x h, as the layout builds them before the faces.
    void Walls(int32_t w = 300, int32_t h = 200) {
        ASSERT_TRUE(BuildXYWall(*chart, w, h));
        ASSERT_TRUE(BuildYZWall(*chart, w, h));
        ASSERT_TRUE(BuildChartFloor(*chart, w, h));
    }
    std::vector<ChartFace> Faces() {
        std::vector<ChartFace> out;
        for (uint32_t i = 0; i < chart->faces.ItemCount(); ++i) out.push_back(LoadFace(*chart, i));
        return out;
    }
    // The faces of each solid, by reference vertex in the order the solids were built.
    std::map<uint32_t, std::vector<ChartFace>> Solids() {
        std::map<uint32_t, std::vector<ChartFace>> out;
        for (const ChartFace& f : Faces()) out[f.reference].push_back(f);
        return out;
    }
    ChartVertex Vertex(uint32_t i) { return LoadVertex(*chart, i); }
};

struct Vec {
    double x, y, z;
};
inline Vec Model(const ChartVertex& v) {
    return {v.modelX, v.modelY, v.modelZ};
}
inline Vec Minus(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec Cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Every face whose triangle has an area points away from the centre of its solid's corners.
inline void ExpectNormalsOutward(Chart3D& f, const char* name) {
    for (const auto& [reference, faces] : f.Solids()) {
        std::set<uint32_t> corners;
        for (const ChartFace& face : faces) corners.insert({face.a, face.b, face.c});
        Vec centre{0, 0, 0};
        for (uint32_t c : corners) {
            const Vec v = Model(f.Vertex(c));
            centre = {centre.x + v.x, centre.y + v.y, centre.z + v.z};
        }
        // A solid flat in some direction (a zero value's box) has no inside to point away from.
        Vec lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
        for (uint32_t c : corners) {
            const Vec v = Model(f.Vertex(c));
            lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
            hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
        }
        if (hi.x - lo.x < 1e-3 || hi.y - lo.y < 1e-3 || hi.z - lo.z < 1e-3) continue;
        const double n = double(corners.size());
        centre = {centre.x / n, centre.y / n, centre.z / n};
        for (const ChartFace& face : faces) {
            const Vec a = Model(f.Vertex(face.a)), b = Model(f.Vertex(face.b)),
                      c = Model(f.Vertex(face.c));
            const Vec normal = Cross(Minus(b, a), Minus(c, b));
            if (Dot(normal, normal) < 1e-6) continue; // flat: no direction
            const Vec middle{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
            EXPECT_GT(Dot(normal, Minus(middle, centre)), 0)
                << name << ": solid " << reference << " face " << face.a << " " << face.b << " "
                << face.c;
        }
    }
}

} // namespace vl::charttest
