// The slices of 3D pies.

#include "charts/draw/chartplot.h"
#include "tests/charts/draw/chart3dtestutil.h"
#include "tests/render/rendertest.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace vl {
namespace {

using charttest::Chart3D;

TEST(Chart3DFaces, PieSlices) {
    // 2, -3 and 5: -3 is left out and flagged; the first slice spans 2/7 of the turn.
    Chart3D f;
    f.Add(0, {2, -3, 5}, 11);
    f.Walls(300, 200);
    const uint32_t first = f.chart->vertices.ItemCount();
    ASSERT_TRUE(Build3DFaces(*f.chart));
    EXPECT_TRUE(f.Point(0, 1).flags & kPointOutside);
    const auto solids = f.Solids();
    ASSERT_EQ(solids.size(), 2u);
    // Reference, the two centres, then four rim corners a step: the last step's end lies at
    // 2/7 of the turn, clockwise from straight up.
    const uint32_t steps = 32; // 2/7 of 2 pi over 0.0571...: 31 full steps and a short one
    EXPECT_EQ(solids.begin()->second.size(), steps * 4 + 4);
    const ChartVertex centre = f.Vertex(first + 1);
    const ChartVertex end = f.Vertex(first + 3 + 4 * (steps - 1) + 2);
    EXPECT_NEAR(std::atan2(end.modelX - centre.modelX, end.modelY - centre.modelY),
                6.28318530717958 * 2 / 7, 1e-5);
    EXPECT_EQ(solids.begin()->second[0].color,
              f.chart->series[0].settings.sliceFills[0].patternColor);
    EXPECT_EQ(std::next(solids.begin())->second[0].color,
              f.chart->series[0].settings.sliceFills[2].patternColor);
    // A quarter turn takes 27 full steps and a shorter last one; without a split the slices
    // touch and get no radial sides.
    for (uint8_t split : {15, 0}) {
        Chart3D q;
        q.chart->settings.pieSplit = split;
        q.Add(0, {1, 3}, 11);
        q.Walls();
        ASSERT_TRUE(Build3DFaces(*q.chart));
        EXPECT_EQ(q.Solids().begin()->second.size(), 28u * 4 + (split ? 4 : 0)) << int(split);
    }
    // A single value is a whole disc of 110 steps.
    Chart3D disc;
    disc.chart->settings.pieSplit = 0;
    disc.Add(0, {4, -1}, 11); // the other sign is left out
    disc.Walls();
    ASSERT_TRUE(Build3DFaces(*disc.chart));
    EXPECT_EQ(disc.chart->faces.ItemCount(), 110u * 4);
}

TEST(Chart3DFaces, PieOfTheFirstVisibleSeriesWithLabelAnchors) {
    Chart3D f;
    f.Add(0, {1, 1}, 11).settings.visible = 0;
    CChartSeries& shown = f.Add(1, {1, 3}, 11);
    shown.settings.labels = 2;
    f.Walls(300, 200);
    ASSERT_TRUE(Build3DFaces(*f.chart));
    ASSERT_EQ(shown.labelAnchors.ItemCount(), 2u);
    EXPECT_EQ(f.chart->series[0].labelAnchors.ItemCount(), 0u);
    LabelAnchor anchor;
    std::memcpy(&anchor, shown.labelAnchors.GetItem24(1), sizeof anchor);
    const ChartVertex a = f.Vertex(anchor.a), b = f.Vertex(anchor.b);
    EXPECT_EQ(std::tuple(anchor.point, anchor.b, anchor.c, anchor.horizontal, anchor.vertical),
              std::tuple(1u, anchor.a + 1, anchor.a + 1, 0, 0));
    // The second slice runs from a quarter to the whole turn: its middle points left and down.
    EXPECT_LT(b.modelX, a.modelX);
    EXPECT_LT(b.modelY, a.modelY);
    EXPECT_FLOAT_EQ(a.modelZ, b.modelZ);
    // A hidden pie alone builds nothing and succeeds.
    Chart3D hidden;
    hidden.Add(0, {1, 1}, 11).settings.visible = 0;
    hidden.Walls();
    EXPECT_TRUE(Build3DFaces(*hidden.chart));
    EXPECT_EQ(hidden.chart->faces.ItemCount(), 0u);
}

} // namespace
} // namespace vl
