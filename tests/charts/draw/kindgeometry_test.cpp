// Every 2D kind drawn over uneven values: bars, points, labels and grid lines stand where
// the numbers put them on the plot, computed here from the values and the axis alone.

#include "tests/charts/draw/plottest.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace charttest;

constexpr COLORREF kMajorColor = Rgb(10, 200, 10);
constexpr COLORREF kUserColor = Rgb(200, 10, 10);

// With nothing beside it, the wall of the default rectangle spans all of it, x from 0 to 602
// and y from 402 up to 0, and its grid lines lie at their fractions of it; the series draw one
// pixel inside the wall's frame, x from 1 to 601 and y from 401 up to 1.
struct KindGeometry : PlotTest {
    double lo = -2, hi = 10;

    // A series on the axis lo..hi with six major intervals, its major grid lines and two
    // user lines (one inside the axis, one beyond it) in colours of their own.
    CChartSeries& Values(uint16_t n, const std::vector<double>& values, uint8_t kind,
                         uint8_t role = 1) {
        CChartSeries& s = Put(n, values, kind, role);
        s.settings.fromValue = lo;
        s.settings.toValue = hi;
        s.settings.periods = 6;
        s.settings.majorGrid = {FORMAT_LINE_SOLID, 1, kMajorColor};
        s.settings.userGridCount = 2;
        s.settings.userGridValues[0] = 5.5;
        s.settings.userGridValues[1] = hi + 1;
        s.settings.userGridLines[0] = {FORMAT_LINE_SOLID, 1, kUserColor};
        s.settings.userGridLines[1] = {FORMAT_LINE_SOLID, 1, kUserColor};
        return s;
    }
    double Y(double v) const { return 401 - 400 * (v - lo) / (hi - lo); }
    double X(double v) const { return 1 + 600 * (v - lo) / (hi - lo); }
    double GridY(double v) const { return 402 - 402 * (v - lo) / (hi - lo); }
    double GridX(double v) const { return 602 * (v - lo) / (hi - lo); }
    // The centre of category k of n across the plot, and up it for bars.
    static double Across(int k, int n) { return 1 + 600.0 * (k + 0.5) / n; }
    static double Up(int k, int n) { return 401 - 400.0 * (k + 0.5) / n; }

    std::vector<const Shape*> Lines(COLORREF color) const {
        std::vector<const Shape*> found;
        for (const Shape* s : dc.ShapesOf(ShapeKind::kLine))
            if (s->pen.color == color) found.push_back(s);
        return found;
    }
    static DcRect Box(const Shape* s) {
        DcRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (const DcPoint& p : s->points)
            r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x),
                 std::max(r.bottom, p.y)};
        return r;
    }
    // The major lines at lo + t (hi - lo) / 6 and the one user line at 5.5, across the plot
    // (horizontal) or up it; nothing at the user line past the axis.
    void ExpectGrid(bool horizontal) {
        const auto major = Lines(kMajorColor);
        ASSERT_EQ(major.size(), 5u);
        for (int t = 1; t <= 5; ++t) {
            const Shape* line = major[size_t(t - 1)];
            const double v = lo + t * (hi - lo) / 6;
            const double at = horizontal ? GridY(v) : GridX(v);
            for (const DcPoint& p : line->points) EXPECT_NEAR(horizontal ? p.y : p.x, at, 1) << t;
            const DcRect r = Box(line);
            if (horizontal)
                EXPECT_EQ(std::pair(r.left, r.right), std::pair(0, 602));
            else
                EXPECT_EQ(std::pair(r.top, r.bottom), std::pair(0, 402));
        }
        const auto user = Lines(kUserColor);
        ASSERT_EQ(user.size(), 1u);
        for (const DcPoint& p : user[0]->points)
            EXPECT_NEAR(horizontal ? p.y : p.x, horizontal ? GridY(5.5) : GridX(5.5), 1);
    }
    // Every label has its value's text, in order.
    void ExpectLabelTexts(const std::vector<std::string>& texts) { EXPECT_EQ(Texts(), texts); }
};

const std::vector<double> kUneven = {3.7, -1.2, 0, 8.45, 2.5};
const std::vector<std::string> kUnevenTexts = {"3.7", "-1.2", "0", "8.45", "2.5"};

TEST_F(KindGeometry, ColumnsRiseFromZeroToTheirValues) {
    Values(0, kUneven, 1).settings.labels = 2;
    Draw();
    const auto bars = Filled(SeriesColor(0));
    ASSERT_EQ(bars.size(), 4u); // the zero has no column
    const int at[] = {0, 1, 3, 4};
    for (size_t b = 0; b < bars.size(); ++b) {
        const int k = at[b];
        const double v = kUneven[size_t(k)];
        const DcRect r = Box(bars[b]);
        EXPECT_NEAR((r.left + r.right) / 2.0, Across(k, 5), 1) << k;
        EXPECT_NEAR(r.top, std::min(Y(v), Y(0)), 1) << k;
        EXPECT_NEAR(r.bottom, std::max(Y(v), Y(0)), 1) << k;
    }
    ExpectLabelTexts(kUnevenTexts);
    // A label stands over its category, beyond the end of its bar: above for a value at or
    // over zero, below for one under it.
    for (size_t k = 0; k < kUneven.size(); ++k) {
        const auto& o = dc.outputs[k];
        EXPECT_NEAR(o.x, Across(int(k), 5), 1) << k;
        if (kUneven[k] >= 0) {
            EXPECT_LE(o.y + 10, Y(kUneven[k]) + 1) << k;
            EXPECT_GE(o.y + 10, Y(kUneven[k]) - 12) << k;
        } else {
            EXPECT_GE(o.y, Y(kUneven[k]) - 1) << k;
            EXPECT_LE(o.y, Y(kUneven[k]) + 12) << k;
        }
    }
    ExpectGrid(true);
}

TEST_F(KindGeometry, BarsRunRightFromZeroToTheirValues) {
    Values(0, kUneven, 2).settings.labels = 2;
    Draw();
    const auto bars = Filled(SeriesColor(0));
    ASSERT_EQ(bars.size(), 4u);
    const int at[] = {0, 1, 3, 4};
    for (size_t b = 0; b < bars.size(); ++b) {
        const int k = at[b];
        const double v = kUneven[size_t(k)];
        const DcRect r = Box(bars[b]);
        EXPECT_NEAR((r.top + r.bottom) / 2.0, Up(k, 5), 1) << k;
        EXPECT_NEAR(r.left, std::min(X(v), X(0)), 1) << k;
        EXPECT_NEAR(r.right, std::max(X(v), X(0)), 1) << k;
    }
    ExpectLabelTexts(kUnevenTexts);
    // A label lies level with its bar, beyond its end: right of a positive one, left of a
    // negative one.
    for (size_t k = 0; k < kUneven.size(); ++k) {
        const auto& o = dc.outputs[k];
        EXPECT_LE(o.y, Up(int(k), 5) + 1) << k;
        EXPECT_GE(o.y + 10, Up(int(k), 5) - 1) << k;
        const int32_t width = int32_t(o.text.size()) * 6;
        const bool right = (o.align & TA_RIGHT) == TA_RIGHT;
        const int32_t left = right ? o.x - width : o.x;
        if (kUneven[k] > 0) {
            EXPECT_GE(left, X(kUneven[k]) - 1) << k;
        } else if (kUneven[k] < 0) {
            EXPECT_LE(left + width, X(kUneven[k]) + 1) << k;
        }
    }
    ExpectGrid(false);
}

TEST_F(KindGeometry, LinesJoinThePointsAtTheirValues) {
    const std::vector<double> values = {3.7, -1.2, 0.4, 8.45, 2.5, 9.9};
    CChartSeries& s = Values(0, values, 3);
    s.settings.line = {FORMAT_LINE_SOLID, 1, Rgb(1, 2, 3)};
    s.settings.labels = 2;
    Draw();
    const auto segments = Lines(Rgb(1, 2, 3));
    ASSERT_EQ(segments.size(), values.size() - 1);
    for (size_t k = 0; k + 1 < values.size(); ++k) {
        const auto& p = segments[k]->points;
        EXPECT_NEAR(p[0].x, Across(int(k), 6), 1) << k;
        EXPECT_NEAR(p[0].y, Y(values[k]), 1) << k;
        EXPECT_NEAR(p[1].x, Across(int(k) + 1, 6), 1) << k;
        EXPECT_NEAR(p[1].y, Y(values[k + 1]), 1) << k;
    }
    ExpectLabelTexts({"3.7", "-1.2", "0.4", "8.45", "2.5", "9.9"});
    for (size_t k = 0; k < values.size(); ++k) {
        EXPECT_NEAR(dc.outputs[k].x, Across(int(k), 6), 1) << k;
        // Above or below its point, within the gap and the text's height.
        EXPECT_LE(std::abs(dc.outputs[k].y + 5 - Y(values[k])), 5 + 4 + 10) << k;
    }
    ExpectGrid(true);
}

TEST_F(KindGeometry, AreasCloseOnTheirBaseUnderTheirValues) {
    const std::vector<double> values = {3.7, 1.2, 8.45, 2.5};
    Values(0, values, 4);
    Draw();
    const auto bands = Filled(SeriesColor(0));
    ASSERT_FALSE(bands.empty());
    // Every corner is a point at its value or the base under a category centre; every value
    // is a corner.
    std::vector<bool> seen(values.size(), false);
    for (const Shape* band : bands)
        for (const DcPoint& p : band->points) {
            int k = -1;
            for (int c = 0; c < 4; ++c)
                if (std::abs(p.x - Across(c, 4)) <= 1) k = c;
            ASSERT_GE(k, 0) << p.x;
            const bool onValue = std::abs(p.y - Y(values[size_t(k)])) <= 1;
            EXPECT_TRUE(onValue || std::abs(p.y - Y(0)) <= 1) << p;
            if (onValue) seen[size_t(k)] = true;
        }
    EXPECT_EQ(seen, std::vector<bool>(values.size(), true));
    ExpectGrid(true);
}

TEST_F(KindGeometry, ScatterSymbolsStandAtTheirValues) {
    CChartSeries& s = Values(0, kUneven, 6);
    s.settings.symbol = 2;
    s.settings.labels = 2;
    Draw();
    const auto symbols = Filled(SeriesColor(0));
    ASSERT_EQ(symbols.size(), kUneven.size());
    for (size_t k = 0; k < kUneven.size(); ++k) {
        const DcRect r = Box(symbols[k]);
        EXPECT_NEAR((r.left + r.right) / 2.0, Across(int(k), 5), 1.5) << k;
        EXPECT_NEAR((r.top + r.bottom) / 2.0, Y(kUneven[k]), 1.5) << k;
    }
    ExpectLabelTexts(kUnevenTexts);
    ExpectGrid(true);
}

TEST_F(KindGeometry, XYScatterTakesBothValuesAndBothGrids) {
    chart = NewDrawnChart(kChartXY);
    const std::vector<double> xs = {0.5, 7.25, -1.5, 9.9}, ys = {4, -1.5, 8.2, 6.6};
    Values(0, xs, 6, 2);
    CChartSeries& y = Values(1, ys, 6);
    y.settings.symbol = 2;
    y.settings.majorGrid = {FORMAT_LINE_SOLID, 1, Rgb(0, 0, 90)};
    y.settings.userGridCount = 0;
    SetText(y.settings.relatedX, "s0");
    Draw();
    const auto symbols = Filled(SeriesColor(1));
    ASSERT_EQ(symbols.size(), xs.size());
    for (size_t k = 0; k < xs.size(); ++k) {
        const DcRect r = Box(symbols[k]);
        EXPECT_NEAR((r.left + r.right) / 2.0, X(xs[k]), 1.5) << k;
        EXPECT_NEAR((r.top + r.bottom) / 2.0, Y(ys[k]), 1.5) << k;
    }
    // The X series owns the upright lines; the values series the level ones.
    ExpectGrid(false);
    const auto level = Lines(Rgb(0, 0, 90));
    ASSERT_EQ(level.size(), 5u);
    for (int t = 1; t <= 5; ++t)
        EXPECT_NEAR(level[size_t(t - 1)]->points[0].y, GridY(t * 2 - 2), 1);
}

TEST_F(KindGeometry, PieSlicesSpanTheirShareOfTheTurn) {
    chart->settings.pieSplit = 0;
    const std::vector<double> values = {1.5, 3.5, 0.5, 2.5};
    CChartSeries& s = PutSeries(*chart, 0, "Pie", values, 5);
    for (int k = 0; k < 16; ++k) s.settings.sliceFills[k] = {1, 1, Rgb(0, 0, k * 10), 0, 0};
    s.settings.labels = 2;
    Draw();
    // Centre (301, 201): each slice's fan steps run from the share before it to its own end,
    // clockwise from the top.
    const auto angle = [](const DcPoint& p) {
        const double a = std::atan2(p.x - 301.0, 201.0 - p.y) * 180 / M_PI;
        return a < -0.5 ? a + 360 : a;
    };
    double before = 0;
    for (int k = 0; k < 4; ++k) {
        const auto steps = Filled(Rgb(0, 0, k * 10));
        ASSERT_FALSE(steps.empty()) << k;
        const double from = 360 * before / 8, to = 360 * (before + values[size_t(k)]) / 8;
        EXPECT_NEAR(angle(steps.front()->points[1]), from, 1.5) << k;
        const double end = angle(steps.back()->points[2]);
        EXPECT_NEAR(end < 1 && to > 359 ? end + 360 : end, to, 1.5) << k;
        before += values[size_t(k)];
    }
    ExpectLabelTexts({"1.5", "3.5", "0.5", "2.5"});
    // Each label lies on the side of its slice's middle.
    before = 0;
    for (size_t k = 0; k < 4; ++k) {
        const double mid = 2 * M_PI * (before + values[k] / 2) / 8;
        before += values[k];
        const auto& o = dc.outputs[k];
        const double dx = o.x - 301.0, dy = 201.0 - (o.y + 5);
        EXPECT_GT(dx * std::sin(mid) + dy * std::cos(mid), 0) << k;
    }
}

// On a log axis of 1 to 1,000 a user line stands at the log of its value; one at 0 or below
// has no place there and is left out (it would land on the line of 1), one past the axis too.
TEST_F(KindGeometry, LogAxisUserLinesLeaveOutZeroAndBelow) {
    lo = 1;
    hi = 1000;
    CChartSeries& s = Values(0, {2, 30, 700}, 1);
    s.settings.scale = 3;
    s.settings.periods = 3;
    const double users[] = {10, 0, -5, 1, 1000, 1e-300, 250, 1001, std::nan("")};
    s.settings.userGridCount = uint8_t(std::size(users));
    for (size_t k = 0; k < std::size(users); ++k) {
        s.settings.userGridValues[k] = users[k];
        s.settings.userGridLines[k] = {FORMAT_LINE_SOLID, 1, kUserColor};
    }
    Draw();
    const auto logY = [](double v) { return 401 - 400 * std::log10(v) / 3; };
    const auto gridY = [](double v) { return 402 - 402 * std::log10(v) / 3; };
    std::vector<int32_t> ys;
    for (const Shape* line : Lines(kUserColor)) ys.push_back(line->points[0].y);
    ASSERT_EQ(ys.size(), 4u);
    EXPECT_NEAR(ys[0], gridY(10), 1);
    EXPECT_NEAR(ys[1], gridY(1), 1);
    EXPECT_NEAR(ys[2], gridY(1000), 1);
    EXPECT_NEAR(ys[3], gridY(250), 1);
    const GridLineSet& set = chart->gridLines[0];
    const uint8_t flags[] = {1, 0, 0, 1, 1, 0, 1, 0, 0};
    for (size_t k = 0; k < std::size(flags); ++k) EXPECT_EQ(set.userFlags[k], flags[k]) << k;
    // The major lines at 10 and 100, the columns to their logs.
    const auto major = Lines(kMajorColor);
    ASSERT_EQ(major.size(), 2u);
    EXPECT_NEAR(major[0]->points[0].y, gridY(10), 1);
    EXPECT_NEAR(major[1]->points[0].y, gridY(100), 1);
    const auto bars = Filled(SeriesColor(0));
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_NEAR(Box(bars[2]).top, logY(700), 1);
    EXPECT_NEAR(Box(bars[2]).bottom, 401, 1);
    // On a linear axis the same values keep every line inside it, 0 and -5 included.
    lo = -10;
    s.settings.scale = 0;
    s.settings.fromValue = lo;
    ASSERT_TRUE(CollectCells(*chart, 0, {2, 30, 700}, {})); // as the data update does
    ClearChartLayout(*chart);
    chart->flags &= uint8_t(~kChartScalesValid);
    Draw();
    EXPECT_EQ(Lines(kUserColor).size(), 7u);
}

} // namespace
} // namespace vl

namespace vl {
namespace {

using namespace charttest;

// Every 2D kind over awkward data on its own limits: whatever is drawn stays inside the
// chart's rectangle, and the drawing neither fails nor loses the values it can show.
TEST_F(KindGeometry, AwkwardDataStaysInsideTheChart) {
    const double kNone = std::nan("");
    const struct Data {
        const char* name;
        std::vector<double> values;
    } data[] = {
        {"one point", {4.2}},
        {"all zero", {0, 0, 0}},
        {"one negative", {-3.3}},
        {"huge", {1e300, -1e300, 5}},
        {"near the float limit", {3e38, 1, -3e38}},
        {"tiny", {1e-300, 2e-300}},
        {"gaps", {kNone, 2, kNone, kNone, 7}},
        {"none", {kNone, kNone}},
        {"equal", {7, 7, 7, 7}},
    };
    for (const uint8_t kind : {1, 2, 3, 4, 5, 6}) {
        for (const Data& d : data) {
            SCOPED_TRACE(std::string(d.name) + " kind " + std::to_string(kind));
            chart = NewDrawnChart(kChart2D);
            CChartSeries& s = Put(0, d.values, kind);
            s.settings.rangeFlags = 0;
            s.settings.labels = 2;
            if (!UpdateChartScales(*chart)) continue; // limits it cannot show are refused
            ASSERT_TRUE(DrawChartLayout(*chart, &canvas, {0, 0, 602, 402}, 100, 100));
            dc.shapes.clear();
            dc.outputs.clear();
            FitChartPlotArea(*chart, {0, 0, 602, 402}, canvas);
            // A symbol at the plot's edge reaches past it by half its size.
            const int32_t slack = kind == 6 ? 3 : 0;
            for (const Shape& shape : dc.shapes)
                for (const DcPoint& p : shape.points) {
                    EXPECT_GE(p.x, -slack);
                    EXPECT_LE(p.x, 603 + slack);
                    EXPECT_GE(p.y, -slack);
                    EXPECT_LE(p.y, 403 + slack);
                }
            for (const auto& o : dc.outputs) {
                EXPECT_GE(o.x, -602) << o.text;
                EXPECT_LE(o.x, 2 * 602) << o.text;
                EXPECT_GE(o.y, -402) << o.text;
                EXPECT_LE(o.y, 2 * 402) << o.text;
            }
        }
    }
}

// A long series draws every point it has, and drawing it again after it shrank leaves
// nothing of the longer one.
TEST_F(KindGeometry, LongSeriesAndShrinkingData) {
    std::vector<double> many(100000);
    for (size_t k = 0; k < many.size(); ++k) many[k] = double((k * 7919) % 1000) / 10;
    CChartSeries& s = Values(0, many, 6);
    s.settings.symbol = 2;
    s.settings.userGridCount = 0;
    Draw();
    EXPECT_EQ(Filled(SeriesColor(0)).size(), many.size());
    const std::vector<double> few = {1.5, 9.25};
    CollectCells(*chart, 0, few, {});
    ClearChartLayout(*chart);
    chart->flags &= uint8_t(~kChartScalesValid);
    Draw();
    const auto symbols = Filled(SeriesColor(0));
    ASSERT_EQ(symbols.size(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        const DcRect r = Box(symbols[k]);
        EXPECT_NEAR((r.left + r.right) / 2.0, Across(int(k), 2), 1.5) << k;
        EXPECT_NEAR((r.top + r.bottom) / 2.0, Y(few[k]), 1.5) << k;
    }
}

} // namespace
} // namespace vl

namespace vl {
namespace {

using namespace charttest;

// On an axis fixed from -2 to 10, values all of one sign still stand on zero: a column of 1
// is one unit high, not three. Stacked or not, across or up.
TEST_F(KindGeometry, ValuesOfOneSignStandOnZeroWhenTheAxisHoldsIt) {
    const struct Case {
        uint8_t kind;
        bool stacked;
        std::vector<double> values;
    } cases[] = {
        {1, false, {1, 6.5}}, {1, true, {1, 6.5}}, {2, false, {1, 6.5}},
        {2, true, {1, 6.5}},  {1, false, {-1.5}},  {1, true, {-1.5, -0.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + (c.stacked ? " stacked" : ""));
        chart = NewDrawnChart(kChart2D);
        CChartSeries& s = Values(0, c.values, c.kind);
        s.settings.stacked = c.stacked;
        Draw();
        const auto bars = Filled(SeriesColor(0));
        ASSERT_EQ(bars.size(), c.values.size());
        for (size_t k = 0; k < bars.size(); ++k) {
            const DcRect r = Box(bars[k]);
            const double v = c.values[k];
            if (c.kind == 1) {
                EXPECT_NEAR(r.top, std::min(Y(v), Y(0)), 1) << k;
                EXPECT_NEAR(r.bottom, std::max(Y(v), Y(0)), 1) << k;
            } else {
                EXPECT_NEAR(r.left, std::min(X(v), X(0)), 1) << k;
                EXPECT_NEAR(r.right, std::max(X(v), X(0)), 1) << k;
            }
        }
    }
    // An area closes on zero too.
    chart = NewDrawnChart(kChart2D);
    Values(0, {3, 5}, 4);
    Draw();
    for (const Shape* band : Filled(SeriesColor(0)))
        for (const DcPoint& p : band->points)
            EXPECT_TRUE(std::abs(p.y - Y(0)) <= 1 || std::abs(p.y - Y(3)) <= 1 ||
                        std::abs(p.y - Y(5)) <= 1)
                << p;
    // With the axis above zero the base is its bottom, as before.
    lo = 1;
    chart = NewDrawnChart(kChart2D);
    Values(0, {3, 5}, 1);
    Draw();
    EXPECT_NEAR(Box(Filled(SeriesColor(0))[0]).bottom, 401, 1);
}

} // namespace
} // namespace vl
