#include "tests/charts/draw/plottest.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace charttest;

const double kNone = std::nan("");

struct LineTest : PlotTest {
    // The segments drawn in the pen colour.
    std::vector<const Shape*> Lines(COLORREF color) const {
        std::vector<const Shape*> found;
        for (const Shape* s : dc.ShapesOf(ShapeKind::kLine))
            if (s->pen.color == color) found.push_back(s);
        return found;
    }
};

TEST_F(LineTest, AGapBreaksTheLineAndLabelsFollowTheSlope) {
    CChartSeries& s = Put(0, {1, kNone, 3, 4, 2, 2}, 3);
    s.settings.line = {FORMAT_LINE_SOLID, 1, Rgb(1, 2, 3)};
    s.settings.labels = 2;
    Draw();
    // Categories of 100 from x0 1: centres 51, 151, ...; values on 0..10 over 400 from 401.
    const auto lines = Lines(Rgb(1, 2, 3));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]->points, (std::vector<DcPoint>{{251, 281}, {351, 241}}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1", "3", "4", "2", "2"}));
    // Above (bottom-aligned, lifted by the text) for the first, a rise and a level step;
    // below after the fall.
    const std::vector<int32_t> ys = {361 - 4 - 10, 281 - 4 - 10, 241 - 4 - 10, 321 + 4,
                                     321 - 4 - 10};
    for (size_t k = 0; k < ys.size(); ++k) EXPECT_EQ(dc.outputs[k].y, ys[k]) << k;
}

TEST_F(LineTest, AreasStackPairsOfCategories) {
    struct Case {
        std::vector<double> first, second;
        size_t firstBands, secondBands;
    } cases[] = {
        {{5}, {5}, 0, 0},
        {{1, 2, 3}, {1, 2}, 4, 2},
        {{1, kNone, 3}, {1, 2, 3}, 0, 0},
    };
    for (const Case& c : cases) {
        chart = NewDrawnChart(kChart2D);
        for (uint16_t i = 0; i < 2; ++i) {
            CChartSeries& s = Put(i, i ? c.second : c.first, 4);
            s.settings.stacked = 1;
            s.settings.rangeFlags = 0;
        }
        Draw();
        EXPECT_EQ(Filled(SeriesColor(0)).size(), c.firstBands);
        EXPECT_EQ(Filled(SeriesColor(1)).size(), c.secondBands);
    }
}

TEST_F(LineTest, AnAreaThatIsNotStackedIsAStackOfOne) {
    Put(0, {2, 4}, 4);
    Draw();
    const auto bands = Filled(SeriesColor(0));
    ASSERT_EQ(bands.size(), 2u);
    // From the base at category 0 up to the value at 0, over to the value at 1.
    EXPECT_EQ(bands[0]->points,
              (std::vector<DcPoint>{{151, 401}, {151, 321}, {451, 241}, {151, 401}}));
    EXPECT_EQ(bands[0]->pen.style, uint32_t(PS_NULL));
}

TEST_F(LineTest, AreaColumnsAndLinesDrawInThatOrder) {
    Put(0, {1, 2}, 1);
    Put(1, {1, 2}, 3).settings.line = {FORMAT_LINE_SOLID, 1, Rgb(9, 9, 9)};
    CChartSeries& area = Put(2, {1, 2}, 4);
    area.settings.stacked = 1;
    Draw();
    auto index = [&](auto pred) {
        for (size_t k = 0; k < dc.shapes.size(); ++k)
            if (pred(dc.shapes[k])) return k;
        return dc.shapes.size();
    };
    const size_t areaAt = index([&](const Shape& s) {
        return s.kind == ShapeKind::kPolygon && s.brush.color == SeriesColor(2);
    });
    const size_t columnAt = index([&](const Shape& s) {
        return s.kind == ShapeKind::kPolygon && s.brush.color == SeriesColor(0);
    });
    const size_t lineAt = index(
        [&](const Shape& s) { return s.kind == ShapeKind::kLine && s.pen.color == Rgb(9, 9, 9); });
    EXPECT_LT(areaAt, columnAt);
    EXPECT_LT(columnAt, lineAt);
    EXPECT_LT(lineAt, dc.shapes.size());
}

} // namespace
} // namespace vl
