// The walls, solids and faces of 3D charts in model coordinates.

#include "charts/draw/chart3dsolid.h"
#include "tests/charts/draw/chart3dtestutil.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace vl {
namespace {

using charttest::Chart3D;
using charttest::Cross;
using charttest::Dot;
using charttest::ExpectNormalsOutward;
using charttest::kEmpty;
using charttest::Minus;
using charttest::Model;
using charttest::Vec;

TEST(Chart3DWalls, SeparatorsAndGridLinesOfTheDepth) {
    // Three columns series 300 wide, the longest of 10 points: D = 30 x 4 = 120.
    Chart3D f;
    f.Add(0, std::vector<double>(10, 1.0), 7);
    f.Add(1, {1, 2}, 7);
    f.Add(2, {3, 4}, 7).settings.majorGrid.style = 0;
    f.chart->series[0].settings.periods = 2; // one major line at half height
    f.Walls(300, 200);
    const WallRecord& yz = f.chart->walls[kWallYZ];
    const WallRecord& floor = f.chart->walls[kWallFloor];
    EXPECT_EQ(std::tuple(yz.built, yz.shown, yz.lineCount, floor.built, floor.lineCount),
              std::tuple(1, 1, 2u, 1, 2u));
    for (const WallRecord* wall : {&yz, &floor})
        for (uint32_t k = 0; k < 2; ++k) {
            EXPECT_EQ(f.Vertex(wall->firstVertex + 4 + 2 * k).modelZ, 40.0f * float(k + 1));
            EXPECT_EQ(f.Vertex(wall->firstVertex + 5 + 2 * k).modelZ, 40.0f * float(k + 1));
        }
    EXPECT_EQ(f.Vertex(yz.firstVertex + 2).modelZ, 120.0f);
    EXPECT_EQ(f.Vertex(floor.firstVertex + 2).modelX, 300.0f);
    // One YZ set per data series; the first has its major line from the back to the front.
    std::vector<uint8_t> planes;
    for (uint8_t g = 0; g < f.chart->gridLineCount; ++g)
        planes.push_back(f.chart->gridLines[g].plane);
    EXPECT_EQ(planes,
              (std::vector<uint8_t>{kPlaneXY, kPlaneXY, kPlaneXY, kPlaneYZ, kPlaneYZ, kPlaneYZ}));
    const GridLineSet& set = f.chart->gridLines[3];
    const ChartVertex from = f.Vertex(set.firstVertex), to = f.Vertex(set.firstVertex + 1);
    EXPECT_EQ(std::tuple(set.majorCount, from.modelX, from.modelY, from.modelZ, to.modelZ),
              std::tuple(1u, 0.0f, 100.0f, 120.0f, 0.0f));
    // A stacked series draws no separator before it; a 3D Bar moves the wall to the right.
    f.chart->series[2].settings.stacked = 1;
    f.chart->series[1].settings.kind = 8;
    ASSERT_TRUE(BuildYZWall(*f.chart, 300, 200));
    EXPECT_EQ(f.chart->walls[kWallYZ].lineCount, 1u);
    for (uint32_t k = 0; k < 4; ++k)
        EXPECT_EQ(f.Vertex(f.chart->walls[kWallYZ].firstVertex + k).modelX, 300.0f);
}

TEST(Chart3DFaces, CountsOfEachBuilder) {
    struct Case {
        const char* name;
        std::vector<std::vector<double>> series;
        std::vector<uint8_t> kinds;
        uint32_t vertices, faces;
    } cases[] = {
        {"column of three points", {{1, 2, 3}}, {7}, 27, 36},
        {"line of one point", {{5}}, {9}, 0, 0},
        {"line with its middle point missing", {{1, kEmpty, 3}}, {9}, 0, 0},
        {"line of three points", {{1, 2, 3}}, {9}, 10, 8},
        // The first series decides: both are ribbons.
        {"line first, then columns", {{1, 2, 3}, {3, 2, 1}}, {9, 7}, 20, 16},
        {"area above its base", {{1, 2}}, {10}, 9, 12},
        // The crossing splits the segment in two prisms, each with its end cap.
        {"area crossing its base", {{2, -2}}, {10}, 18, 20},
        {"points without values", {{kEmpty, kEmpty}}, {7}, 0, 0},
    };
    for (const Case& c : cases) {
        Chart3D f;
        for (uint16_t n = 0; n < c.series.size(); ++n) f.Add(n, c.series[n], c.kinds[n]);
        f.Walls();
        const uint32_t walls = f.chart->vertices.ItemCount();
        ASSERT_TRUE(Build3DFaces(*f.chart)) << c.name;
        EXPECT_EQ(std::tuple(f.chart->vertices.ItemCount() - walls, f.chart->faces.ItemCount()),
                  std::tuple(c.vertices, c.faces))
            << c.name;
    }
    // A series with no point list at all builds nothing and succeeds.
    Chart3D empty;
    empty.chart->settings.seriesCount = 1;
    empty.chart->series[0].settings.role = 1, empty.chart->series[0].settings.kind = 7;
    empty.Walls();
    EXPECT_TRUE(Build3DFaces(*empty.chart));
    EXPECT_EQ(empty.chart->faces.ItemCount(), 0u);
    // Without the walls a builder fails.
    Chart3D bare;
    bare.Add(0, {1, 2}, 7);
    CChartSeries* s = &bare.chart->series[0];
    EXPECT_FALSE(Build3DColumnFaces(*bare.chart, &s, 1));
}

TEST(Chart3DFaces, ColumnCornersAndFaces) {
    Chart3D f;
    f.Add(0, {2, -1}, 7);
    f.Walls(300, 200);
    const uint32_t first = f.chart->vertices.ItemCount();
    ASSERT_TRUE(Build3DFaces(*f.chart));
    // D = 150 x 2 = 300 over one series; s = 150, w = 0.7 x 150 = 105.
    const ChartVertex r = f.Vertex(first), c1 = f.Vertex(first + 1), c3 = f.Vertex(first + 3);
    EXPECT_FLOAT_EQ(r.modelX, 75);
    EXPECT_FLOAT_EQ(r.modelZ, 150);
    EXPECT_FLOAT_EQ(c1.modelX, 22.5f);
    EXPECT_FLOAT_EQ(c1.modelZ, 202.5f);
    EXPECT_FLOAT_EQ(c3.modelX, 127.5f);
    // Corner 1 at the base line, corner 3 at the value.
    const CChartSeries& s = f.chart->series[0];
    float base = 0;
    ASSERT_TRUE(BasePosition(s, base));
    EXPECT_FLOAT_EQ(c1.modelY, 200 * base);
    EXPECT_FLOAT_EQ(c3.modelY, 200 * f.Point(0, 0).position);
    const std::vector<ChartFace> faces = f.Faces();
    const uint32_t expected[12][3] = {{1, 4, 3}, {3, 2, 1}, {5, 6, 7}, {7, 8, 5},
                                      {4, 8, 7}, {7, 3, 4}, {1, 2, 6}, {6, 5, 1},
                                      {2, 3, 7}, {7, 6, 2}, {1, 5, 8}, {8, 4, 1}};
    for (int k = 0; k < 12; ++k) {
        const ChartFace& face = faces[k];
        EXPECT_EQ(std::tuple(face.a - first, face.b - first, face.c - first, face.reference,
                             face.edges, face.color),
                  std::tuple(expected[k][0], expected[k][1], expected[k][2], first, 3,
                             s.settings.fill.patternColor))
            << k;
    }
    // The negative point: its corner 1 is at the value, below the base.
    const ChartVertex n1 = f.Vertex(first + 10);
    EXPECT_FLOAT_EQ(n1.modelY, 200 * f.Point(0, 1).position);
    EXPECT_LT(n1.modelY, c1.modelY);
}

TEST(Chart3DFaces, BarsNumberTheCategoriesFromTheRight) {
    Chart3D f;
    f.Add(0, {1, 2, 3}, 8);
    f.Walls();
    ASSERT_TRUE(Build3DFaces(*f.chart));
    std::vector<float> x;
    for (const auto& [reference, faces] : f.Solids()) x.push_back(f.Vertex(reference).modelX);
    ASSERT_EQ(x.size(), 3u);
    EXPECT_GT(x[0], x[1]);
    EXPECT_GT(x[1], x[2]);
}

TEST(Chart3DFaces, EveryNormalPointsOutOfItsSolid) {
    struct Case {
        const char* name;
        std::vector<std::vector<double>> series;
        uint8_t kind;
        bool stacked;
    } cases[] = {
        {"columns", {{2, -1, 3, 0}, {1, 1, -2, 4}}, 7, false},
        {"bars", {{2, -1, 3}}, 8, false},
        {"stacked columns", {{2, -1, 3}, {1, -2, 1}, {1, 1, -1}}, 7, true},
        {"stacked, one side only", {{2, 1}, {1, 3}}, 7, true},
        {"areas", {{2, -1, 3, 3, -2}, {1, 2, kEmpty, 2, 1}}, 10, false},
        {"stacked areas", {{1, 2, 3, 1}, {2, 1, 2, 2}, {1, 1, 1, 1}}, 10, true},
        {"stacked areas on both sides", {{1, -2, 3}, {-2, 1, -1}}, 10, true},
    };
    for (const Case& c : cases) {
        Chart3D f;
        for (uint16_t n = 0; n < c.series.size(); ++n) f.Add(n, c.series[n], c.kind, c.stacked);
        f.Walls();
        ASSERT_TRUE(Build3DFaces(*f.chart)) << c.name;
        EXPECT_GT(f.chart->faces.ItemCount(), 0u) << c.name;
        ExpectNormalsOutward(f, c.name);
    }
    // A ribbon shows from both sides: each triangle has a twin turned the other way.
    Chart3D line;
    line.Add(0, {1, 3, 2}, 9);
    line.Walls();
    ASSERT_TRUE(Build3DFaces(*line.chart));
    const std::vector<ChartFace> faces = line.Faces();
    for (size_t k = 0; k + 3 < faces.size(); k += 4)
        for (size_t t = 0; t < 2; ++t) {
            const ChartFace &one = faces[k + t], &twin = faces[k + t + 2];
            const Vec n1 = Cross(Minus(Model(line.Vertex(one.b)), Model(line.Vertex(one.a))),
                                 Minus(Model(line.Vertex(one.c)), Model(line.Vertex(one.b))));
            const Vec n2 = Cross(Minus(Model(line.Vertex(twin.b)), Model(line.Vertex(twin.a))),
                                 Minus(Model(line.Vertex(twin.c)), Model(line.Vertex(twin.b))));
            EXPECT_LT(Dot(n1, n2), 0) << k;
        }
}

TEST(Chart3DFaces, StackedColumnsCloseEachColumn) {
    // Category 0: 2 up, -1 down, 1 up; category 1: two segments up only.
    Chart3D f;
    f.Add(0, {2, 1}, 7, true);
    f.Add(1, {-1, 1}, 7, true);
    f.Add(2, {1, kEmpty}, 7, true);
    f.Walls();
    ASSERT_TRUE(Build3DFaces(*f.chart));
    const auto solids = f.Solids();
    ASSERT_EQ(solids.size(), 2u);
    // Three segments of 8 side triangles and two caps of 2; two segments and two caps.
    EXPECT_EQ(solids.begin()->second.size(), 3u * 8 + 4);
    EXPECT_EQ(std::next(solids.begin())->second.size(), 2u * 8 + 4);
    // The caps of the first column: the top of series 2's segment, the bottom of series 1's.
    const std::vector<ChartFace>& first = solids.begin()->second;
    const COLORREF colours[3] = {f.chart->series[0].settings.fill.patternColor,
                                 f.chart->series[1].settings.fill.patternColor,
                                 f.chart->series[2].settings.fill.patternColor};
    EXPECT_EQ(first[24].color, colours[2]);
    EXPECT_EQ(first[26].color, colours[1]);
    EXPECT_GT(f.Vertex(first[24].a).modelY, f.Vertex(first[26].a).modelY);
}

} // namespace
} // namespace vl
