// The 3D layout: what it reserves and builds, the projection of the scene, the depth order
// and the shading.

#include "model/viewtransform.h"
#include "tests/charts/draw/chart3dtestutil.h"
#include "tests/render/rendertest.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace vl {
namespace {

using charttest::Chart3D;

struct Layout3DTest : ::testing::Test {
    rendertest::CFixedMetricsDC dc{6, 10};
    CCanvas canvas;
    Layout3DTest() { canvas.AttachDC(&dc); }
    bool Layout(CChart& chart, DcRect rect = {0, 0, 400, 300}) {
        chart.flags |= kChartScalesValid;
        ClearChartLayout(chart);
        return DrawChartLayout(chart, &canvas, rect, 100, 100);
    }
    static std::vector<int32_t> Margins(const CChart& c) {
        return {c.margins[0], c.margins[1], c.margins[2], c.margins[3]};
    }
    // view = m x model for every vertex.
    static void ExpectViewIs(Chart3D& f, const float m[16], const char* name) {
        for (uint32_t i = 0; i < f.chart->vertices.ItemCount(); ++i) {
            const ChartVertex v = f.Vertex(i);
            const float x = v.modelX, y = v.modelY, z = v.modelZ;
            EXPECT_NEAR(v.viewX, m[0] * x + m[1] * y + m[2] * z, 1e-3) << name << " " << i;
            EXPECT_NEAR(v.viewY, m[4] * x + m[5] * y + m[6] * z, 1e-3) << name << " " << i;
            EXPECT_NEAR(v.viewZ, m[8] * x + m[9] * y + m[10] * z, 1e-3) << name << " " << i;
        }
    }
    static void Turned(float m[16]) {
        SetIdentityMatrix(m);
        ApplyChartTransform(m, kRotateX, ChartDegreesToRadians(-30));
        ApplyChartTransform(m, kRotateY, ChartDegreesToRadians(20));
    }
};

TEST_F(Layout3DTest, WhatTheLayoutReservesAndBuilds) {
    // No data series: laid out with nothing.
    Chart3D none;
    none.Series(0, {1, 2}, 3, 7);
    std::strcpy(none.chart->settings.titleText[0], "Title");
    ASSERT_TRUE(Layout(*none.chart));
    EXPECT_EQ(std::tuple(none.chart->vertices.ItemCount(), none.chart->faces.ItemCount(),
                         none.chart->walls[kWallXY].built, Margins(*none.chart)),
              std::tuple(0u, 0u, 0, std::vector<int32_t>{0, 0, 0, 0}));
    // A first 3D pie: no axis margin and no axis, but all three walls.
    Chart3D pie;
    pie.Add(0, {1, 2}, 11).settings.axisType = 1;
    pie.Add(1, {1, 2}, 7).settings.axisType = 1;
    ASSERT_TRUE(Layout(*pie.chart));
    EXPECT_EQ(std::tuple(pie.chart->axisCount, Margins(*pie.chart), pie.chart->walls[0].built,
                         pie.chart->walls[1].built, pie.chart->walls[2].built),
              std::tuple(0, std::vector<int32_t>{0, 0, 0, 0}, 1, 1, 1));
    // The same columns first get their axis.
    Chart3D columns;
    columns.Add(0, {1, 2}, 7).settings.axisType = 1;
    ASSERT_TRUE(Layout(*columns.chart));
    EXPECT_EQ(columns.chart->axisCount, 1);
    EXPECT_GT(columns.chart->faces.ItemCount(), 0u);
    EXPECT_TRUE(columns.chart->flags & kChartLaidOut);
}

TEST_F(Layout3DTest, TitlesAndLegendPositions) {
    // Only a subtitle: its own height is measured (10 + 1), then the gap.
    Chart3D sub;
    sub.Add(0, {1, 2}, 7);
    std::strcpy(sub.chart->settings.titleText[1], "Q2");
    ASSERT_TRUE(Layout(*sub.chart));
    EXPECT_EQ(Margins(*sub.chart), (std::vector<int32_t>{0, 15, 0, 0}));
    // One legend item "ab": 12 wide and 10 high with a key of 7.
    const int32_t across = 12 + 7 + 4 + 8, down = 10 + 8, side = 12 + 12 + 7 + 8;
    const std::vector<int32_t> expected[9] = {
        {0, 0, 0, 0},      {across, 0, 0, 0}, {side, 0, 0, 0}, {0, down, 0, 0}, {0, down, 0, 0},
        {0, 0, across, 0}, {0, 0, side, 0},   {0, 0, 0, down}, {0, 0, 0, down},
    };
    for (uint8_t code = 0; code <= 8; ++code) {
        Chart3D f;
        std::strcpy(f.Add(0, {1, 2}, 7).settings.name, "ab");
        f.chart->settings.legendCode = code;
        ASSERT_TRUE(Layout(*f.chart));
        EXPECT_EQ(Margins(*f.chart), expected[code]) << int(code);
    }
}

TEST_F(Layout3DTest, EffectiveMatrixAndTheQuarterTurnOfBars) {
    float m[16];
    Turned(m);
    Chart3D columns;
    columns.Add(0, {1, 2, 3}, 7);
    columns.Add(1, {2, 1, 2}, 9);
    std::memcpy(columns.chart->viewMatrix, m, sizeof m);
    columns.chart->settings.perspective = 0;
    ASSERT_TRUE(Layout(*columns.chart));
    ExpectViewIs(columns, m, "no bars: the stored matrix");
    // A 3D Bar series anywhere turns every series.
    Chart3D bars;
    bars.Add(0, {1, 2, 3}, 7);
    bars.Add(1, {2, 1, 2}, 8);
    std::memcpy(bars.chart->viewMatrix, m, sizeof m);
    bars.chart->settings.perspective = 0;
    ASSERT_TRUE(Layout(*bars.chart));
    const WallRecord& wall = bars.chart->walls[kWallXY];
    const float w = bars.Vertex(wall.firstVertex + 2).modelX - bars.Vertex(wall.firstVertex).modelX;
    const float h = bars.Vertex(wall.firstVertex + 2).modelY - bars.Vertex(wall.firstVertex).modelY;
    float b[16], effective[16];
    SetIdentityMatrix(b);
    ApplyChartTransform(b, kRotateZ, 1.570796326794895);
    ApplyChartTransform(b, kScaleX, double(w) / h);
    ApplyChartTransform(b, kScaleY, double(h) / w);
    MultiplyMatrix4(m, b, effective);
    ExpectViewIs(bars, effective, "bars: stored x quarter turn");
    // Category 0 of a 3D Bar chart ends at the bottom.
    Chart3D plain;
    plain.Add(0, {1, 2, 3}, 8);
    ASSERT_TRUE(Layout(*plain.chart));
    std::vector<float> y;
    for (const auto& [reference, faces] : plain.Solids())
        y.push_back(plain.Vertex(reference).viewY);
    ASSERT_EQ(y.size(), 3u);
    EXPECT_LT(y[0], y[1]);
    EXPECT_LT(y[1], y[2]);
}

TEST_F(Layout3DTest, Perspective) {
    float m[16];
    Turned(m);
    struct Case {
        uint16_t perspective;
        bool applied;
    } cases[] = {{0, false}, {100, false}, {40, true}, {1, true}};
    float farthest[2] = {};
    for (const Case& c : cases) {
        Chart3D f;
        f.Add(0, {1, 2, 3}, 7);
        std::memcpy(f.chart->viewMatrix, m, sizeof m);
        f.chart->settings.perspective = c.perspective;
        ASSERT_TRUE(Layout(*f.chart));
        const uint32_t count = f.chart->vertices.ItemCount();
        float zmin = 3.4e38f, zmax = -3.4e38f;
        for (uint32_t i = 0; i < count; ++i) {
            zmin = std::min(zmin, f.Vertex(i).viewZ), zmax = std::max(zmax, f.Vertex(i).viewZ);
        }
        const double d = (double(zmax) - zmin) * c.perspective * 0.1;
        for (uint32_t i = 0; i < count; ++i) {
            const ChartVertex v = f.Vertex(i);
            const float x = v.modelX, y = v.modelY, z = v.modelZ;
            const double flatX = m[0] * x + m[1] * y + m[2] * z;
            const double f40 = c.applied ? d / (d - v.viewZ - zmin) : 1.0;
            EXPECT_NEAR(v.viewX, flatX * f40, 1e-3) << c.perspective << " " << i;
            if (v.viewZ == zmin && c.applied) farthest[c.perspective == 1] = float(f40);
        }
    }
    // Perspective 1 shrinks the farthest vertex most.
    EXPECT_LT(farthest[1], farthest[0]);
    EXPECT_LT(farthest[0], 1.0f);
}

// Vertices placed by hand, not centred: z from 0 to 100.
std::unique_ptr<CChart> Column(uint16_t perspective) {
    auto chart = NewBlockObject<CChart>(kChart3D);
    chart->settings.perspective = perspective;
    for (float z : {0.0f, 100.0f, 50.0f}) EXPECT_TRUE(AddVertex(*chart, 10, 20, z));
    return chart;
}

TEST(Projection3D, FaultsKeepTheViewFinite) {
    // d = 100 p / 10 must pass zmax + zmin = 100: perspective 10 is the last left parallel,
    // 11 the first applied.
    for (auto [p, applied] : {std::pair(10, false), {11, true}, {5, false}}) {
        auto chart = Column(uint16_t(p));
        ProjectChart3D(*chart, 300, 200);
        const ChartVertex v = LoadVertex(*chart, 2);
        EXPECT_EQ(v.viewX != 10.0f, applied) << p;
        EXPECT_TRUE(std::isfinite(v.viewX)) << p;
    }
    // A stored matrix of zeros: every z alike, d = 0, the view stays parallel.
    auto zeros = Column(40);
    std::fill(std::begin(zeros->viewMatrix), std::end(zeros->viewMatrix), 0.0f);
    ProjectChart3D(*zeros, 300, 200);
    EXPECT_EQ(LoadVertex(*zeros, 1).viewX, 0.0f);
    // A matrix with a non-finite element, or one that throws vertices past the float range,
    // projects as the identity.
    for (float bad : {std::nanf(""), INFINITY, 1e38f}) {
        auto chart = Column(0);
        chart->viewMatrix[1] = bad;
        ProjectChart3D(*chart, 300, 200);
        const ChartVertex v = LoadVertex(*chart, 1);
        EXPECT_EQ(std::tuple(v.viewX, v.viewY, v.viewZ), std::tuple(10.0f, 20.0f, 100.0f)) << bad;
    }
}

TEST_F(Layout3DTest, DegenerateFacesAreEdgeOnAndEmptyPlotsHoldNothing) {
    // The zero value's box is flat: its flat faces get no direction, not NaN.
    Chart3D f;
    f.Add(0, {2, 0, 3}, 7);
    ASSERT_TRUE(Layout(*f.chart));
    int flat = 0;
    for (const ChartFace& face : f.Faces()) {
        for (int k = 0; k < 3; ++k) {
            ASSERT_TRUE(std::isfinite(face.viewNormal[k]) && std::isfinite(face.lightNormal[k]));
        }
        flat += face.viewNormal[0] == 0 && face.viewNormal[1] == 0 && face.viewNormal[2] == 0;
    }
    EXPECT_GT(flat, 0);
    // A plot squeezed to nothing: laid out, nothing built, no bar matrix from 0 / 0.
    for (DcRect rect : {DcRect{0, 0, 0, 300}, DcRect{0, 0, 400, 0}}) {
        Chart3D bars;
        bars.Add(0, {1, 2}, 8);
        ASSERT_TRUE(Layout(*bars.chart, rect));
        EXPECT_EQ(std::tuple(bars.chart->vertices.ItemCount(), bars.chart->faces.ItemCount()),
                  std::tuple(0u, 0u));
    }
}

TEST_F(Layout3DTest, TheFaceCeilingFailsBeforeAllocating) {
    // One column series: 12 faces a point.
    const uint32_t lastAccepted = uint32_t(kMaxChartFaces / 12);
    Chart3D f;
    f.chart->settings.seriesCount = 1;
    CChartSeries& s = f.chart->series[0];
    s.settings.role = 1, s.settings.kind = 7;
    ChartPoint p;
    p.value = 1, p.position = 0.5f, p.flags = kPointPositive;
    for (uint32_t i = 0; i < lastAccepted; ++i) ASSERT_TRUE(s.points.AppendItem16(&p));
    EXPECT_TRUE(SceneFits(*f.chart));
    ASSERT_TRUE(s.points.AppendItem16(&p));
    EXPECT_FALSE(SceneFits(*f.chart));
    EXPECT_FALSE(Layout(*f.chart));
    EXPECT_EQ(std::tuple(f.chart->error, f.chart->vertices.PageCount(), f.chart->faces.PageCount()),
              std::tuple(kErrorChartMemory, 0u, 0u));
}

TEST(DepthSort, SameOrderOfDistancesAsAStableSort) {
    std::mt19937 random(34);
    for (uint32_t count : {0u, 1u, 2u, 3u, 17u, 1000u, 100000u}) {
        auto chart = NewBlockObject<CChart>(kChart3D);
        // Few distinct positions: many faces at equal distances.
        const uint32_t references = std::max(1u, count / 8);
        for (uint32_t i = 0; i < references; ++i) {
            ChartVertex v;
            v.viewX = float(int(random() % 21) - 10) * 7;
            v.viewY = float(int(random() % 21) - 10) * 7;
            v.viewZ = float(int(random() % 41) - 20) * 5;
            ASSERT_TRUE(chart->vertices.AppendItem24(&v));
        }
        std::vector<std::pair<float, uint32_t>> expected;
        for (uint32_t i = 0; i < count; ++i) {
            ChartFace face;
            face.reference = uint32_t(random() % references);
            face.a = i; // identifies the face
            ASSERT_TRUE(chart->faces.AppendItem52(&face));
            const ChartVertex r = LoadVertex(*chart, face.reference);
            const double z = double(r.viewZ) - 800;
            expected.emplace_back(
                float(std::sqrt(double(r.viewX) * r.viewX + double(r.viewY) * r.viewY + z * z)), i);
        }
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        DepthSortFaces(*chart);
        std::vector<bool> seen(count);
        for (uint32_t i = 0; i < count; ++i) {
            const ChartFace face = LoadFace(*chart, i);
            ASSERT_EQ(face.distance, expected[i].first) << count << " at " << i;
            ASSERT_FALSE(seen[face.a]) << "a face twice";
            seen[face.a] = true;
        }
    }
}

TEST(Shading, FactorsOfTheLight) {
    CChart chart(kChart3D);
    chart.light[0] = 0, chart.light[1] = 0, chart.light[2] = 1;
    const float nan = std::nanf("");
    struct Case {
        float nx, ny, nz;
        COLORREF colour, shaded;
    } cases[] = {
        {1, 0, 0, Rgb(200, 100, 10), Rgb(60, 30, 3)},     // at right angles: 30 %
        {0, 0, 1, Rgb(200, 100, 10), Rgb(200, 100, 10)},  // v = 1: full colour
        {0, 0, -1, Rgb(255, 255, 255), Rgb(76, 76, 76)},  // turned away
        {nan, 0, 0, Rgb(255, 255, 255), Rgb(76, 76, 76)}, // no direction
        // v = 0.5: 0.5 x (0.3 + 0.65) + 0.3 = 0.775.
        {0, 0, 0.5f, Rgb(10, 100, 0), Rgb(7, 77, 0)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShadeColour(chart, c.nx, c.ny, c.nz, c.colour), c.shaded)
            << c.nx << " " << c.ny << " " << c.nz;
}

TEST(ViewTransformSteps, OppositeRotationsRestoreTheMatrix) {
    float m[16], before[16];
    SetIdentityMatrix(m);
    ApplyChartTransform(m, kRotateY, 0.7);
    ApplyChartTransform(m, kScaleX, 1.5);
    std::memcpy(before, m, sizeof m);
    for (uint8_t kind : {kRotateX, kRotateY, kRotateZ}) {
        ApplyChartTransform(m, kind, 0.4);
        ApplyChartTransform(m, kind, -0.4);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], before[i], 1e-6) << int(kind) << " " << i;
    }
}

} // namespace
} // namespace vl
