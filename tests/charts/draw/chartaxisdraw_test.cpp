#include "charts/draw/chartgeometry.h"
#include "charts/draw/chartplot.h"
#include "tests/charts/draw/plottest.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace charttest;

constexpr uint16_t kLabels = 2; // level labels, no title, no tick marks

struct AxisDrawTest : PlotTest {
    std::vector<const Shape*> AxisLines() const {
        std::vector<const Shape*> found;
        for (const Shape* s : dc.ShapesOf(ShapeKind::kLine))
            if (s->pen.color == Rgb(7, 7, 7)) found.push_back(s);
        return found;
    }
};

TEST_F(AxisDrawTest, ValueLabelsAtEveryTickBothEndsIncluded) {
    CChartSeries& s = Put(0, {3, 97}, 1);
    s.settings.toValue = 200;
    s.settings.axisType = 1;
    s.settings.periods = 4;
    s.settings.axisFlags = kLabels;
    Draw();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"0", "50", "100", "150", "200"}));
    // Evenly up the left band, the last one level with its top; all left of the plot.
    const int32_t step = dc.outputs[0].y - dc.outputs[1].y;
    EXPECT_GT(step, 0);
    for (size_t k = 1; k < 5; ++k) EXPECT_NEAR(dc.outputs[k - 1].y - dc.outputs[k].y, step, 1);
    for (const auto& o : dc.outputs) EXPECT_LT(o.x + int32_t(o.text.size()) * 6, chart->margins[0]);
}

TEST_F(AxisDrawTest, CategoryLabelsOnePerPeriod) {
    struct Case {
        std::vector<std::string> labels;
        uint32_t divisor;
        uint16_t ticks;
        std::vector<std::string> shown;
    } cases[] = {
        {{"L1", "L2", "L3", "L4", "L5", "L6", "L7", "L8", "L9", "L10", "L11", "L12"},
         3,
         4,
         {"L2", "L5", "L8", "L11"}},
        {{"a", "", "c"}, 1, 3, {"a", "2", "c"}},
        {{"a", "b", "c"}, 2, 3, {"b"}}, // stops at the first period without a label
    };
    for (const Case& c : cases) {
        chart = NewDrawnChart(kChart2D);
        Put(0, {1, 2, 3}, 1);
        CChartSeries& cat = PutCategories(*chart, 1, c.labels);
        cat.settings.divisor = c.divisor;
        cat.settings.periods = c.ticks;
        cat.settings.axisFlags = kLabels;
        Draw();
        EXPECT_EQ(Texts(), c.shown);
    }
}

TEST_F(AxisDrawTest, TheLineDrawsWithoutTickMarks) {
    for (uint16_t flags : {uint16_t(0), uint16_t(16), uint16_t(16 | 32)}) {
        chart = NewDrawnChart(kChart2D);
        CChartSeries& s = Put(0, {1, 2}, 1);
        s.settings.axisType = 1;
        s.settings.periods = 4;
        s.settings.subperiods = 2;
        s.settings.axisFlags = flags;
        s.settings.axisLine = {FORMAT_LINE_SOLID, 1, Rgb(7, 7, 7)};
        Draw();
        // Four points of the band (the polyline starts with a step onto its first point),
        // three inner major ticks, four minor ones.
        const size_t ticks = (flags & 16 ? 3 : 0) + (flags & 32 ? 4 : 0);
        EXPECT_EQ(AxisLines().size(), 4 + ticks) << flags;
    }
}

TEST_F(AxisDrawTest, TitlesStandBeyondTheLabels) {
    CChartSeries& s = Put(0, {1, 2}, 1);
    s.settings.axisType = 1;
    s.settings.axisFlags = kLabels | 8;
    SetText(s.settings.axisTitle, "Title");
    Draw();
    ASSERT_EQ(Texts().back(), "Title");
    const auto& title = dc.outputs.back();
    EXPECT_GE(title.x, 0);
    for (size_t k = 0; k + 1 < dc.outputs.size(); ++k) EXPECT_LT(title.x + 30, dc.outputs[k].x + 1);
}

TEST_F(AxisDrawTest, AnObliqueBandTurnsItsLabels) {
    CChartSeries& s = Put(0, {1}, 1);
    s.minimum = 0, s.maximum = 100, s.valueFlags = kPointPositive;
    s.settings.periods = 2;
    s.settings.axisFlags = kLabels;
    // A left band whose outer edge runs from (0, 100) at the axis's start up to (100, 0).
    const uint32_t first = chart->vertices.ItemCount();
    for (auto [x, y] : {std::pair(0, 0), std::pair(100, 0), std::pair(0, 100), std::pair(0, 0)})
        ASSERT_TRUE(AddVertex(*chart, float(x), float(y), 0));
    AxisRecord axis;
    axis.side = 1;
    axis.series = &s;
    axis.firstVertex = first;
    chart->canvas = &canvas;
    DrawValueAxisLabels(*chart, axis);
    ASSERT_EQ(Texts(), (std::vector<std::string>{"0", "50", "100"}));
    // Turned 45 degrees with the edge, centred on their points, one text height out to the left.
    const std::vector<DcPoint> at = {{-10, 100}, {40, 50}, {90, 0}};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ((DcPoint{dc.outputs[k].x, dc.outputs[k].y}), at[k]) << k;
        EXPECT_EQ(dc.outputs[k].escapement, 450);
        EXPECT_EQ(dc.outputs[k].align, uint32_t(TA_CENTER | TA_TOP));
    }
}

} // namespace
} // namespace vl
