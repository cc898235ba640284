#include "tests/charts/draw/plottest.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace charttest;

// A chart laid out for nothing but the symbols drawn straight onto the canvas.
struct SymbolTest : PlotTest {
    SymbolTest() { chart->canvas = &canvas; }
    std::vector<DcPoint> DrawOne(uint8_t symbol, uint16_t scale, ErrorBars bars = {}) {
        dc.shapes.clear();
        DrawScatterSymbol(*chart, 100, 100, symbol, bars, scale);
        return dc.shapes.empty() ? std::vector<DcPoint>{} : dc.shapes.back().points;
    }
    size_t Count(ShapeKind kind) const { return dc.ShapesOf(kind).size(); }
};

TEST_F(SymbolTest, SizesFollowTheScale) {
    struct Case {
        uint8_t symbol;
        uint16_t scale;
        int32_t half;
    } cases[] = {{4, 100, 3}, {4, 150, 4}, {2, 100, 1}, {5, 100, 4}, {7, 200, 6}, {0, 100, 3}};
    for (const Case& c : cases) {
        const auto points = DrawOne(c.symbol, c.scale);
        if (c.symbol == 0) {
            EXPECT_TRUE(points.empty());
            continue;
        }
        ASSERT_EQ(points.size(), 5u) << int(c.symbol);
        int32_t left = 1000, right = -1000;
        for (const DcPoint& p : points) left = std::min(left, p.x), right = std::max(right, p.x);
        EXPECT_EQ(std::pair(left, right), std::pair(100 - c.half, 100 + c.half)) << int(c.symbol);
    }
}

TEST_F(SymbolTest, CirclesAreOctagonsOnScreenAndEllipsesInPrint) {
    EXPECT_EQ(DrawOne(9, 100).size(), 9u);
    EXPECT_EQ(dc.shapes.back().points[0], (DcPoint{98, 101}));
    EXPECT_EQ(DrawOne(10, 100)[0], (DcPoint{97, 101}));
    canvas.SetPrintFlags(true, false);
    EXPECT_EQ(DrawOne(11, 100), (std::vector<DcPoint>{{96, 96}, {105, 105}}));
    EXPECT_EQ(dc.shapes.back().kind, ShapeKind::kEllipse);
    DrawOne(1, 100);
    EXPECT_EQ(dc.shapes.back().kind, ShapeKind::kPixel);
    DrawOne(12, 100);
    EXPECT_EQ(Count(ShapeKind::kLine), 4u);
    DrawOne(14, 100);
    EXPECT_EQ(Count(ShapeKind::kLine), 2u);
}

TEST_F(SymbolTest, ErrorBarsCapsAndArrowheads) {
    struct Case {
        ErrorBars bars;
        size_t lines;
        DcPoint lastEnd;
    } cases[] = {
        {{0, 0, 2, 0, 0}, 0, {}},                 // shorter than half the symbol (3)
        {{0, 0, 3, 0, 0}, 2, {103, 103}},         // bar and cap from x - 2 to x + 3
        {{0, 0, 10, 0, kClipDown}, 3, {97, 107}}, // arrowhead: back 3 up, 3 aside
        {{0, 12, 0, 0, 0}, 2, {112, 103}},        // right bar with an upright cap
    };
    for (const Case& c : cases) {
        DrawOne(4, 100, c.bars);
        const auto lines = dc.ShapesOf(ShapeKind::kLine);
        ASSERT_EQ(lines.size(), c.lines);
        if (c.lines) {
            EXPECT_EQ(lines.back()->points[1], c.lastEnd);
        }
    }
}

struct ScatterTest : PlotTest {};

TEST_F(ScatterTest, XYScatterTakesTheCommonPointsOfItsDomain) {
    chart = NewDrawnChart(kChartXY);
    Put(0, {1, 2, 3}, 6, 2);
    CChartSeries& y = Put(1, {4, 5, 6, 7}, 6);
    y.settings.symbol = 2;
    Draw();
    EXPECT_TRUE(Filled(SeriesColor(1)).empty());
    SetText(y.settings.relatedX, "s0");
    Draw();
    const auto symbols = Filled(SeriesColor(1));
    ASSERT_EQ(symbols.size(), 3u);
    // X 1 of 0..10 over 600 from x0 1; Y 4 of 0..10 over 400 from y0 401.
    EXPECT_EQ(symbols[0]->points[0], (DcPoint{61 - 1, 241 - 1}));
}

TEST_F(ScatterTest, ErrorBarsAreCutAtThePlotEdge) {
    CChartSeries& s = Put(0, {5, 9}, 6);
    SetText(s.settings.relatedSigma, "S1");
    Put(1, {1e300, 4}, 6, 4);
    Draw();
    std::vector<const Shape*> bars;
    for (const Shape* line : dc.ShapesOf(ShapeKind::kLine))
        if (line->pen.color == SeriesColor(0)) bars.push_back(line);
    // An error past the float range gives no bar; 9 + 4 passes the top and is cut there with
    // an arrowhead, 9 - 4 ends in a cap.
    ASSERT_EQ(bars.size(), 5u);
    // 160 pixels less the float rounding of 0.4 and 0.9, truncated.
    EXPECT_EQ(bars[0]->points, (std::vector<DcPoint>{{451, 200}, {451, 41}}));
    EXPECT_EQ(bars[2]->points, (std::vector<DcPoint>{{451, 1}, {451, 41}}));
    EXPECT_EQ(bars[3]->points, (std::vector<DcPoint>{{451, 1}, {448, 4}}));
    EXPECT_EQ(bars[4]->points, (std::vector<DcPoint>{{451, 1}, {454, 4}}));
}

TEST_F(ScatterTest, LabelSidesAlternateWithinAPiece) {
    CChartSeries& s = Put(0, {2, 4, std::nan(""), 6, 3}, 6);
    s.settings.labels = 2;
    s.settings.toValue = 8;
    Draw();
    ASSERT_EQ(dc.outputs.size(), 4u);
    // Above, below; a new piece starts above again, then below.
    const std::vector<int32_t> ys = {301 - 7 - 10, 201 + 7, 101 - 7 - 10, 251 + 7};
    for (size_t k = 0; k < 4; ++k) EXPECT_EQ(dc.outputs[k].y, ys[k]) << k;
}

} // namespace
} // namespace vl
