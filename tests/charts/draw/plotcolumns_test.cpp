#include "tests/charts/draw/plottest.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace charttest;

struct ColumnTest : PlotTest {
    // Left and right of a five-point box.
    static std::pair<int32_t, int32_t> Span(const Shape* s) {
        return {s->points[0].x, s->points[1].x};
    }
};

TEST_F(ColumnTest, CategoriesAndSlotsOfThreeSeries) {
    Put(0, {1, 2, 3, 4}, 1);
    Put(1, {1, 2, 3, 4, 5, 6}, 1);
    Put(2, {1, 2}, 1);
    Draw();
    // W 600, six categories of 100, slots of 25, bars 17 wide; x0 is 1.
    const auto second = Filled(SeriesColor(1));
    ASSERT_EQ(second.size(), 6u);
    EXPECT_EQ(Span(second[0]), std::pair(1 + 41, 1 + 58));
    EXPECT_EQ(Span(second[5]), std::pair(1 + 541, 1 + 558));
    const auto first = Filled(SeriesColor(0)), third = Filled(SeriesColor(2));
    ASSERT_EQ(first.size(), 4u);
    ASSERT_EQ(third.size(), 2u);
    EXPECT_EQ(Span(first[0]), std::pair(1 + 16, 1 + 33));
    EXPECT_EQ(Span(third[1]), std::pair(1 + 166, 1 + 183));
    for (const Shape* s : first) EXPECT_EQ(s->points.size(), 5u);
}

TEST_F(ColumnTest, BarSizeAndHiddenAndZeroValues) {
    struct Case {
        uint8_t size;
        bool hideMiddle;
        size_t bars[3];
        int32_t firstWidth;
    } cases[] = {
        {70, false, {2, 2, 2}, 52}, // W 600 over 2 categories: slots 75, bars 52
        {100, false, {2, 2, 2}, 75},
        {0, false, {0, 0, 0}, 0}, // outlines only: a line each
        {70, true, {2, 0, 2}, 52},
    };
    for (const Case& c : cases) {
        chart = NewDrawnChart(kChart2D);
        chart->settings.barSize = c.size;
        for (uint16_t i = 0; i < 3; ++i) Put(i, {1, 2}, 1);
        chart->series[1].settings.visible = !c.hideMiddle;
        Draw();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Filled(SeriesColor(i)).size(), c.bars[i]);
        if (c.size == 0) {
            const auto lines = dc.ShapesOf(ShapeKind::kLine);
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.back()->points[0].x, lines.back()->points[1].x);
            continue;
        }
        const auto first = Filled(SeriesColor(0));
        EXPECT_EQ(Span(first[0]).second - Span(first[0]).first, c.firstWidth) << int(c.size);
        if (c.size == 100) {
            // Neighbours touch: one ends where the next begins.
            EXPECT_EQ(Span(first[0]).second, Span(Filled(SeriesColor(1))[0]).first);
        }
    }
}

TEST_F(ColumnTest, AZeroValueHasItsLabelButNoBar) {
    CChartSeries& s = Put(0, {-2, 0, 3}, 1);
    s.settings.labels = 2;
    s.settings.fromValue = -10; // the axis holds the negative bar
    Draw();
    EXPECT_EQ(Filled(SeriesColor(0)).size(), 2u);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"-2", "0", "3"}));
    // The negative label hangs below its bar end, the others stand above theirs.
    EXPECT_EQ(dc.outputs[0].align & TA_BASELINE, 0u);
    const auto bars = Filled(SeriesColor(0));
    EXPECT_GT(dc.outputs[0].y, bars[0]->points[2].y);
    EXPECT_LT(dc.outputs[2].y + 10, bars[1]->points[0].y + 1);
}

// Zeros leave the limits alone: with {0, 2, 3} the axis runs from 2 to 3 and the zero lies
// two plot heights below it. It draws no column and no label down there, and nothing drawn
// leaves the plot (y 1 to 401), stacked or side by side. Other values past the limits are
// cut, and labelled, at the plot's end.
TEST_F(ColumnTest, AZeroOffTheAxisStaysOffThePlot) {
    struct Case {
        std::vector<double> values;
        bool stacked;
        size_t bars;
        std::vector<std::string> labels;
        bool fixed = false; // the axis 0..10, else the series' own limits
    } cases[] = {
        // One value other than zero: the axis reaches down to zero, and 2 stands on it.
        {{0, 2}, false, 1, {"0", "2"}},
        {{0, 2, 3}, false, 1, {"2", "3"}},
        {{0, 2, 3}, true, 2, {"0", "2", "3"}}, // a stack's limits hold its zero
        {{2, 0}, false, 1, {"2", "0"}},
        // On an axis fixed 0..10 a value past either end keeps its label at the cut end.
        {{4, 15}, false, 2, {"4", "15"}, true},
        {{-3, 4}, false, 1, {"-3", "4"}, true},
        {{12, 0, -2}, false, 1, {"12", "0", "-2"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.values.size()) + (c.stacked ? " stacked" : ""));
        chart = NewDrawnChart(kChart2D);
        CChartSeries& s = Put(0, c.values, 1);
        if (!c.fixed) s.settings.rangeFlags = 0;
        s.settings.labels = 2;
        s.settings.stacked = c.stacked;
        Draw();
        EXPECT_EQ(Filled(SeriesColor(0)).size(), c.bars);
        for (const Shape* bar : Filled(SeriesColor(0)))
            for (const DcPoint& p : bar->points) {
                EXPECT_GE(p.y, 1);
                EXPECT_LE(p.y, 401);
            }
        EXPECT_EQ(Texts(), c.labels);
        // A label stands beyond its bar's end, at most its gap and its height off the plot.
        for (const auto& o : dc.outputs) {
            EXPECT_GE(o.y, 1 - 4 - 10) << o.text;
            EXPECT_LE(o.y, 401 + 4 + 10) << o.text;
        }
    }
}

// On an axis fixed 0..10 a value past an end is cut there and its label (10 high, drawn
// from its top) stands inside the plot's edge, y 1 to 401, never off the chart; labels of
// values on the axis stay beyond their bars' ends.
TEST_F(ColumnTest, ACutColumnsLabelStandsInsideThePlot) {
    struct Case {
        std::vector<double> values;
        const char* cut; // the label of the cut value
    } cases[] = {
        {{4, 15}, "15"}, {{-3, 4}, "-3"}, {{12, 0, -2}, "12"}, {{6, 250}, "250"}, {{7, -40}, "-40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cut);
        chart = NewDrawnChart(kChart2D);
        CChartSeries& s = Put(0, c.values, 1);
        s.settings.labels = 2;
        Draw();
        int found = 0;
        for (const auto& o : dc.outputs) {
            if (o.text != c.cut) continue;
            ++found;
            EXPECT_GE(o.y, 1);
            EXPECT_LE(o.y + 10, 401);
        }
        EXPECT_EQ(found, 1);
    }
    // A value on the axis: its label stands above its bar's end.
    chart = NewDrawnChart(kChart2D);
    Put(0, {4, 15}, 1).settings.labels = 2;
    Draw();
    const auto bars = Filled(SeriesColor(0));
    ASSERT_EQ(bars.size(), 2u);
    ASSERT_FALSE(dc.outputs.empty());
    EXPECT_EQ(dc.outputs[0].text, "4");
    int32_t top = 401;
    for (const DcPoint& p : bars[0]->points) top = std::min(top, p.y);
    EXPECT_LT(top, 300);
    EXPECT_LE(dc.outputs[0].y + 10, top);
}

TEST_F(ColumnTest, StacksGrowUpAndDownFromTheBase) {
    for (uint16_t i = 0; i < 3; ++i) {
        CChartSeries& s = Put(i, i == 1 ? std::vector<double>{-4} : std::vector<double>{2}, 1);
        s.settings.stacked = 1;
        s.settings.rangeFlags = 0;
    }
    Draw();
    const Shape* a = Filled(SeriesColor(0))[0];
    const Shape* b = Filled(SeriesColor(1))[0];
    const Shape* c = Filled(SeriesColor(2))[0];
    // The first positive segment starts at the base, the second continues it upwards; the
    // negative one hangs below the base.
    const int32_t base = a->points[0].y;
    EXPECT_EQ(c->points[0].y, a->points[2].y);
    EXPECT_LT(c->points[2].y, a->points[2].y);
    EXPECT_EQ(b->points[0].y, base);
    EXPECT_GT(b->points[2].y, base);
}

// Values of one sign on an axis that does not reach zero stand on its end nearest zero: an
// all-negative series hangs from the plot's top (y 1), an all-positive one stands on its
// bottom (y 401); the larger the value's size, the longer its column.
TEST_F(ColumnTest, ColumnsOfOneSignStandOnTheAxisEndNearestZero) {
    struct Case {
        double from, to;
        std::vector<double> values;
        int32_t base;
    } cases[] = {
        {-10, -1, {-4, -8}, 1},
        {-10, -2, {-3, -9}, 1},
        {1, 10, {4, 8}, 401},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + ".." + std::to_string(c.to));
        chart = NewDrawnChart(kChart2D);
        CChartSeries& s = Put(0, c.values, 1);
        s.settings.fromValue = c.from;
        s.settings.toValue = c.to;
        Draw();
        const auto bars = Filled(SeriesColor(0));
        ASSERT_EQ(bars.size(), 2u);
        int32_t reach[2];
        for (int i = 0; i < 2; ++i) {
            int32_t top = 401, bottom = 1;
            for (const DcPoint& p : bars[i]->points) {
                top = std::min(top, p.y);
                bottom = std::max(bottom, p.y);
            }
            EXPECT_EQ(c.base == 1 ? top : bottom, c.base) << i;
            reach[i] = bottom - top;
        }
        EXPECT_LT(reach[0], reach[1]);
        EXPECT_GT(reach[0], 0);
    }
}

TEST_F(ColumnTest, AHiddenSeriesLeavesAnEmptySegment) {
    for (uint16_t i = 0; i < 3; ++i) {
        CChartSeries& s = Put(i, {1, 1}, 1);
        s.settings.stacked = 1;
        s.settings.rangeFlags = 0;
    }
    chart->series[1].settings.visible = 0;
    Draw();
    EXPECT_EQ(Filled(SeriesColor(1)).size(), 0u);
    const Shape* a = Filled(SeriesColor(0))[0];
    const Shape* c = Filled(SeriesColor(2))[0];
    const int32_t segment = a->points[0].y - a->points[2].y;
    EXPECT_EQ(a->points[2].y - c->points[0].y, segment);
}

TEST_F(ColumnTest, BarsRunUpFromTheOrigin) {
    Put(0, {1, 2}, 2);
    Draw();
    const auto bars = Filled(SeriesColor(0));
    ASSERT_EQ(bars.size(), 2u);
    // Category 0 is the lower one; values run right from x0.
    EXPECT_GT(bars[0]->points[0].y, bars[1]->points[0].y);
    EXPECT_EQ(bars[0]->points[0].x, 1);
}

} // namespace
} // namespace vl
