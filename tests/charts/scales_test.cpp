#include "charts/axislabel.h"
#include "charts/axismap.h"
#include "charts/scales.h"
#include "charttestutil.h"

#include <cfloat>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {
namespace {

using charttest::ChartFixture;

struct ScaleCase {
    const char* name;
    std::vector<double> values;
    uint16_t ticks;
    uint8_t scale;
    uint16_t rangeFlags;
    double from, to;
    double lo, hi;       // limits after the scale (log limits on a log scale)
    uint16_t ticksAfter; //
    std::vector<std::string> labels;
};

TEST(ChartScales, LimitsTicksAndLabels) {
    const ScaleCase cases[] = {
        {"3 to 97", {3, 97}, 4, 0, 0, 0, 0, 0, 200, 4, {"0", "50", "100", "150", "200"}},
        {"across zero", {-3, 7}, 1, 0, 0, 0, 0, -10, 10, 2, {"-10", "0", "10"}},
        // Values all equal: the axis spans them and zero.
        {"one value", {5, 5}, 1, 0, 0, 0, 0, 0, 5, 1, {"0", "5"}},
        {"equal values", {7, 7}, 4, 0, 0, 0, 0, 0, 8, 4, {"0", "2", "4", "6", "8"}},
        {"equal negative values", {-7, -7}, 1, 0, 0, 0, 0, -10, 0, 1, {"-10", "0"}},
        {"zeros", {0, 0}, 1, 0, 0, 0, 0, 0, 1, 1, {"0", "1"}},
        {"nearly equal values", {7, 7.5}, 1, 0, 0, 0, 0, 7, 7.5, 1, {"7", "7.5"}},
        {"all negative", {-7, -2}, 1, 0, 0, 0, 0, -10, 0, 1, {"-10", "0"}},
        {"zero ticks count as one", {3, 7}, 0, 0, 0, 0, 0, 0, 10, 0, {"0", "10"}},
        {"from and to",
         {3, 97},
         2,
         0,
         kFromValueGiven | kToValueGiven,
         1,
         99,
         1,
         99,
         2,
         {"1", "50", "99"}},
        {"from only", {3, 97}, 1, 0, kFromValueGiven, -4, 0, -4, 97, 1, {"-4", "97"}},
        {"log10", {1, 1000}, 3, 3, 0, 0, 0, 0, 3, 3, {"1", "10", "100", "1000"}},
        {"log2", {1, 8}, 3, 1, 0, 0, 0, 0, 3, 3, {"2^0", "2^1", "2^2", "2^3"}},
        {"ln", {1, 8}, 1, 2, 0, 0, 0, 0, 3, 1, {"e^0", "e^3"}},
    };
    for (const ScaleCase& c : cases) {
        ChartFixture f;
        SeriesSettings& s = f.chart->series[0].settings;
        s.periods = c.ticks, s.scale = c.scale;
        s.rangeFlags = c.rangeFlags, s.fromValue = c.from, s.toValue = c.to;
        f.Series(0, c.values);
        ASSERT_TRUE(UpdateChartScales(*f.chart)) << c.name;
        const CChartSeries& r = f.chart->series[0];
        const bool log = c.scale != 0;
        EXPECT_EQ(log ? r.logMinimum : r.minimum, c.lo) << c.name;
        EXPECT_EQ(log ? r.logMaximum : r.maximum, c.hi) << c.name;
        EXPECT_EQ(r.settings.periods, c.ticksAfter) << c.name;
        EXPECT_EQ(std::tuple(r.scaled, f.chart->flags & kChartScalesValid), std::tuple(1, 1));
        for (uint32_t k = 0; k < c.labels.size(); ++k) {
            std::string text;
            EXPECT_TRUE(FormatAxisLabel(k, r, text)) << c.name << " " << k;
            EXPECT_EQ(text, c.labels[k]) << c.name << " " << k;
        }
    }
}

TEST(ChartScales, PositionsRunFromTheAxisBottom) {
    ChartFixture f;
    f.chart->series[0].settings.periods = 1;
    f.Series(0, {-3, 7});
    ASSERT_TRUE(UpdateChartScales(*f.chart));
    const CChartSeries& s = f.chart->series[0];
    EXPECT_FLOAT_EQ(f.Point(0, 0).position, 0.35f);
    EXPECT_FLOAT_EQ(f.Point(0, 1).position, 0.85f);
    EXPECT_EQ(std::tuple(f.Point(0, 0).flags, f.Point(0, 1).flags),
              std::tuple(kPointNegative, kPointPositive));
    EXPECT_EQ(std::tuple(s.baseOffset, s.lowPosition, s.highPosition),
              std::tuple(-0.5f, 0.0f, 1.0f));
    float zero = -1;
    EXPECT_TRUE(ValueToAxisFraction(0, zero, s));
    EXPECT_FLOAT_EQ(zero, 0.5f);

    // Equal fixed limits: every position 0, nothing divided by the empty range.
    ChartFixture flat;
    SeriesSettings& fs = flat.chart->series[0].settings;
    fs.rangeFlags = kFromValueGiven | kToValueGiven, fs.fromValue = fs.toValue = 5;
    flat.Series(0, {5, 5, 5});
    ASSERT_TRUE(UpdateChartScales(*flat.chart));
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(std::tuple(flat.Point(0, i).position, flat.Point(0, i).flags),
                  std::tuple(0.0f, kPointZero));
    const CChartSeries& r = flat.chart->series[0];
    EXPECT_EQ(std::tuple(r.minimum, r.maximum, r.lowPosition, r.highPosition),
              std::tuple(5.0, 5.0, 0.0f, 0.0f));
}

TEST(ChartScales, StackingGroups) {
    // A relative stack of positive values runs from 0 to 1 and is not widened.
    ChartFixture relative;
    for (uint16_t n = 0; n < 2; ++n) {
        relative.chart->series[n].settings.stacked = 1;
        relative.chart->series[n].settings.relative = 1;
        relative.chart->series[n].settings.periods = 3;
        relative.Series(n, {n ? 3.0 : 1.0, 2});
    }
    ASSERT_TRUE(UpdateChartScales(*relative.chart));
    for (const CChartSeries& s :
         {std::cref(relative.chart->series[0]), std::cref(relative.chart->series[1])}) {
        EXPECT_EQ(std::tuple(s.minimum, s.maximum, s.settings.stackLower, s.settings.stackUpper),
                  std::tuple(0.0, 1.0, 0.0, 1.0));
        EXPECT_TRUE(s.settings.rangeFlags & kStackLimitsFixed);
    }
    EXPECT_FLOAT_EQ(relative.Point(0, 0).position, 0.25f);
    EXPECT_FLOAT_EQ(relative.Point(1, 1).position, 0.5f);

    // A normal stack sums per point: 4 + 7 = 11 over 2 ticks gives 0 to 20.
    ChartFixture normal;
    for (uint16_t n = 0; n < 2; ++n) {
        normal.chart->series[n].settings.stacked = 1;
        normal.chart->series[n].settings.periods = n ? 9 : 2; // the first member's count wins
        normal.Series(n, {n ? 7.0 : 4.0, 1});
    }
    ASSERT_TRUE(UpdateChartScales(*normal.chart));
    EXPECT_EQ(std::tuple(normal.chart->series[1].minimum, normal.chart->series[1].maximum,
                         normal.chart->series[1].settings.periods),
              std::tuple(0.0, 20.0, 2));

    // A logarithmic member of a stack fails with 29 and leaves the scales invalid.
    ChartFixture mixed;
    for (uint16_t n = 0; n < 2; ++n) {
        mixed.chart->series[n].settings.stacked = 1;
        mixed.chart->series[n].settings.scale = uint8_t(n ? 3 : 0);
        mixed.Series(n, {1, 2});
    }
    EXPECT_FALSE(UpdateChartScales(*mixed.chart));
    EXPECT_EQ(std::tuple(mixed.chart->error, mixed.chart->flags & kChartScalesValid),
              std::tuple(29, 0));
    // With the error byte set the computation refuses at once.
    mixed.chart->series[1].settings.scale = 0;
    EXPECT_FALSE(UpdateChartScales(*mixed.chart));
}

TEST(ChartScales, OverflowingSpansFailWith30) {
    struct Case {
        const char* name;
        std::vector<double> first, second;
        uint8_t stacked;
    } cases[] = {
        {"limits near the double range", {-1.7e308, 1.7e308}, {}, 0},
        {"stack sums", {1.7e308}, {1.7e308}, 1},
        {"one-sided span that overflows its steps", {-1e308, 0.5e308}, {}, 0},
    };
    for (const Case& c : cases) {
        ChartFixture f;
        f.chart->series[0].settings.stacked = c.stacked;
        f.Series(0, c.first);
        if (!c.second.empty()) {
            f.chart->series[1].settings.stacked = c.stacked;
            f.Series(1, c.second);
        }
        EXPECT_FALSE(UpdateChartScales(*f.chart)) << c.name;
        EXPECT_EQ(f.chart->error, 30) << c.name;
    }
}

TEST(ChartScales, NiceScaleAtItsEdges) {
    struct Case {
        double lo, hi;
        uint32_t n;
        bool log;
        double lo2, hi2;
        ErrorCode e;
    } cases[] = {
        {0, 4.9e-324, 1, false, 0, 9.9e-324, kErrorNone}, // the smallest span still ends
        {1e300, 1e300, 1, false, 1e300, 1e300 + 1, kErrorNone},
        {0, 3, 0, true, 0, 3, kErrorNone},
        {-2.5, 7.5, 65535, true, -3, 65532, kErrorNone},
        {0, DBL_MAX, 1, false, 0, 0, kErrorChartLimits},
        {std::nan(""), 1, 1, false, 0, 0, kErrorChartLimits},
    };
    for (const Case& c : cases) {
        double lo = c.lo, hi = c.hi;
        EXPECT_EQ(NiceScale(lo, hi, c.n, c.log), c.e) << c.lo << " " << c.hi;
        if (c.e) continue;
        EXPECT_LE(lo, c.lo);
        EXPECT_GE(hi, c.hi);
        if (c.lo2 != 0 || c.hi2 != 0) {
            EXPECT_EQ(std::tuple(lo, hi), std::tuple(c.lo2, c.hi2)) << c.lo;
        }
    }
}

TEST(ChartScales, CountsPastTheTablesFail) {
    ChartFixture f;
    f.Series(0, {1, 2});
    f.chart->settings.seriesCount = 16;
    EXPECT_TRUE(UpdateChartScales(*f.chart));
    f.chart->settings.seriesCount = 17;
    EXPECT_FALSE(UpdateChartScales(*f.chart));
    EXPECT_EQ(f.chart->error, kErrorChartSeries);
    ChartFixture g;
    g.Series(0, {1, 2});
    g.chart->series[0].settings.userGridCount = 16;
    EXPECT_TRUE(UpdateChartScales(*g.chart));
    g.chart->series[0].settings.userGridCount = 17;
    EXPECT_FALSE(UpdateChartScales(*g.chart));
    EXPECT_EQ(g.chart->error, kErrorChartGridlines);
}

} // namespace
} // namespace vl
