#include "values/formatdouble.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl {

TEST(FormatDouble, WritesFifteenSignificantDigitsAndThreeDigitExponents) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {1.0 / 3, "0.33333333333333"},
        {-1.0 / 3, "-0.33333333333333"},
        {123456789012345678.0, "1.2345678901235e+017"},
        {1e-15, "1e-015"},
        {1.5e20, "1.5e+020"},
        {1.5, "1.5"},
        {-0.5, "-0.5"},
        {100, "100"},
        {0.1 + 0.2, "0.3"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1e+015"},
        {1e-14, "0.00000000000001"},
        {-1.5e-300, "-1.5e-300"},
        {1e300, "1e+300"},
        {1.7976931348623157e308, "1.7976931348623e+308"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDouble(c.value), c.text) << c.text;
}

TEST(FormatDouble, UsesTheSetsDecimalSeparatorOnlyInFixedForm) {
    SeparatorSet comma;
    comma.decimal = ',';
    EXPECT_EQ(FormatDouble(2.5, &comma), "2,5");
    EXPECT_EQ(FormatDouble(1.5e20, &comma), "1.5e+020");
    EXPECT_EQ(FormatDouble(42, &comma), "42");
}

TEST(FormatDouble, NotANumberAndInfinitiesStayReadable) {
    EXPECT_EQ(FormatDouble(NAN), "nan");
    EXPECT_EQ(FormatDouble(INFINITY), "inf");
    EXPECT_EQ(FormatDouble(-INFINITY), "-inf");
}

} // namespace vl
