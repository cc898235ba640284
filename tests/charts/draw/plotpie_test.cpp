#include "charts/points.h"
#include "tests/charts/draw/plottest.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace charttest;

struct PieTest : PlotTest {
    CChartSeries& Pie(const std::vector<double>& values) {
        CChartSeries& s = PutSeries(*chart, 0, "Pie", values, 5);
        for (int k = 0; k < 16; ++k) s.settings.sliceFills[k] = {1, 1, Rgb(0, 0, k * 10), 0, 0};
        return s;
    }
    std::vector<const Shape*> Slice(int k) const { return Filled(Rgb(0, 0, k * 10)); }
    // The angle clockwise from the top of the far corner of a fan step about the centre.
    double Angle(const Shape* s, int corner, double cx, double cy) const {
        const double a =
            std::atan2(s->points[corner].x - cx, cy - s->points[corner].y) * 180 / M_PI;
        return a < 0 ? a + 360 : a;
    }
};

TEST_F(PieTest, SlicesRunClockwiseFromTheTop) {
    chart->settings.pieSplit = 0;
    Pie({1, 1, 2});
    Draw();
    // Centre (301, 201); 110 steps to the turn: 90 degrees is 27.5 steps.
    const auto a = Slice(0), b = Slice(1), c = Slice(2);
    EXPECT_EQ(std::tuple(a.size(), b.size(), c.size()), std::tuple(28u, 28u, 55u));
    EXPECT_EQ(a[0]->points[0].x, 301);
    EXPECT_EQ(a[0]->points[0].y, 201);
    EXPECT_NEAR(Angle(a.front(), 1, 301, 201), 0, 1);
    EXPECT_NEAR(Angle(a.back(), 2, 301, 201), 90, 1);
    EXPECT_NEAR(Angle(b.back(), 2, 301, 201), 180, 1);
    EXPECT_NEAR(Angle(c.front(), 1, 301, 201), 180, 1);
    // Radius min(600, 400) / 2 - 4 = 196.
    EXPECT_NEAR(std::hypot(a.front()->points[1].x - 301, a.front()->points[1].y - 201), 196, 1);
    // No plane, grid lines or axes for a lone pie.
    EXPECT_TRUE(dc.ShapesOf(ShapeKind::kFill).empty());
    EXPECT_TRUE(dc.ShapesOf(ShapeKind::kLine).empty());
}

TEST_F(PieTest, ThePieTakesTheSignOfItsFirstSignedPoint) {
    struct Case {
        std::vector<double> values;
        std::vector<size_t> slices;
        std::vector<std::string> labels;
    } cases[] = {
        {{3, -1, 2}, {66, 0, 44}, {"3", "2"}},
        {{-3, 1}, {110, 0}, {"-3"}},
        {{5}, {110}, {"5"}},
    };
    for (const Case& c : cases) {
        chart = NewDrawnChart(kChart2D);
        chart->settings.pieSplit = 0;
        Pie(c.values).settings.labels = 2;
        Draw();
        for (size_t k = 0; k < c.slices.size(); ++k) EXPECT_EQ(Slice(int(k)).size(), c.slices[k]);
        EXPECT_EQ(Texts(), c.labels);
    }
    chart = NewDrawnChart(kChart2D);
    Pie({3, -1, 2});
    Draw();
    std::vector<uint8_t> flags;
    ForEachPoint(chart->series[0].points,
                 [&](ChartPoint& p, uint32_t) { flags.push_back(p.flags); });
    EXPECT_TRUE(flags[1] & kPointOutside);
    EXPECT_FALSE(flags[0] & kPointOutside);
}

TEST_F(PieTest, RadiusSplitAndSmallPlots) {
    struct Case {
        DcRect rect;
        uint8_t split;
        double radius, offset;
    } cases[] = {
        {{0, 0, 602, 402}, 0, 196, 0},
        {{0, 0, 602, 402}, 15, 196 - 29.4, (196 - 29.4) * 0.15},
        {{0, 0, 22, 22}, 0, 10, 0},
        {{0, 0, 22, 22}, 15, 10, 1.5},
    };
    for (const Case& c : cases) {
        chart = NewDrawnChart(kChart2D);
        chart->settings.pieSplit = c.split;
        Pie({1, 1});
        Draw(c.rect);
        const Shape* first = Slice(0)[0];
        const double cx = (1 + c.rect.right - 1) / 2.0, cy = (1 + c.rect.bottom - 1) / 2.0;
        // The first slice moves to the right (its middle points right).
        EXPECT_NEAR(first->points[0].x - cx, c.offset, 1) << int(c.split);
        EXPECT_NEAR(first->points[0].y, cy, 1);
        EXPECT_NEAR(first->points[0].y - first->points[1].y, c.radius, 1) << int(c.split);
    }
}

} // namespace
} // namespace vl
