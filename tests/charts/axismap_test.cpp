#include "charts/axismap.h"

#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace vl {
namespace {

TEST(AxisMap, TransformAxisValue) {
    struct Case {
        uint8_t scale;
        double value;
        bool inverse;
        double expected;
    } cases[] = {
        {3, 1000, false, 3}, {3, 3, true, 1000}, {1, 8, false, 3},  {1, 3, true, 8},
        {2, -1, false, 0},   {2, 0, false, 0},   {2, 1, true, M_E}, {0, -5, false, -5},
        {0, -5, true, -5},   {7, 12, false, 12}, {3, 0, false, 0},  {1, -4, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(TransformAxisValue(c.scale, c.value, c.inverse), c.expected)
            << int(c.scale) << " " << c.value << " " << c.inverse;
}

TEST(AxisMap, ValueToAxisFractionTakesItsBaseFromTheLimits) {
    struct Case {
        double lo, hi, value, expected;
    } cases[] = {
        {-10, 30, 0, 0},     // spanning zero: base 0
        {-10, 30, 30, 0.75}, //
        {5, 25, 5, 0},       // all positive: base the minimum
        {5, 25, 15, 0.5},    //
        {-20, -4, -4, 0},    // all negative: base the maximum
        {-20, -4, -12, -0.5},
    };
    auto s = std::make_unique<CChartSeries>();
    for (const Case& c : cases) {
        s->minimum = c.lo, s->maximum = c.hi;
        float f = -99;
        EXPECT_TRUE(ValueToAxisFraction(c.value, f, *s)) << c.lo << " " << c.value;
        EXPECT_FLOAT_EQ(f, float(c.expected)) << c.lo << " " << c.value;
    }
    // A logarithmic axis reads its log limits; the base offset shifts every fraction.
    s->settings.scale = 3;
    s->logMinimum = 0, s->logMaximum = 4, s->baseOffset = -0.25f;
    float f = 0;
    EXPECT_TRUE(ValueToAxisFraction(2, f, *s));
    EXPECT_FLOAT_EQ(f, 0.75f);
    // Equal limits give no usable fraction; nor does one past the float range.
    s->logMaximum = 0;
    EXPECT_FALSE(ValueToAxisFraction(2, f, *s));
    s->logMaximum = 1e-300;
    EXPECT_FALSE(ValueToAxisFraction(1, f, *s));
}

TEST(AxisMap, IsAbnormalFloat) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float f;
        bool abnormal;
    } cases[] = {
        {0.0f, false},    {-0.0f, false}, {FLT_MIN, false},      {-FLT_MIN, false},
        {FLT_MAX, false}, {1e-40f, true}, {-1e-40f, true},       {FLT_MIN / 2, true},
        {inf, true},      {-inf, true},   {std::nanf(""), true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsAbnormalFloat(c.f), c.abnormal) << c.f;
}

} // namespace
} // namespace vl
