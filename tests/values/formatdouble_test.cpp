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
        {1.0 / 3, "0.333333333333333"},
        {-1.0 / 3, "-0.333333333333333"},
        {123456789012345678.0, "1.23456789012346e+017"},
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
        {1.7976931348623157e308, "1.79769313486232e+308"},
        // Small values keep 15 digits too: written out while that is not longer.
        {1.23456789012345e-10, "1.23456789012345e-010"},
        {1.5e-10, "0.00000000015"},
        {0.0123456789012345, "0.0123456789012345"},
        {1.23456789012345e20, "1.23456789012345e+020"},
        {1.23456789012345e-6, "1.23456789012345e-006"},
        {-1.2e-14, "-1.2e-014"},
        {1e100, "1e+100"},
        {-1e-100, "-1e-100"},
        {9.99999999999999e-15, "9.99999999999999e-015"},
        {9.999999999999999e-15, "0.00000000000001"},
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

TEST(FormatGeneralNumber, Keeps15SignificantDigitsInTheShorterForm) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {1.0 / 3, "0.333333333333333"},
        {-2.0 / 3, "-0.666666666666667"},
        {100, "100"},
        {0.1 + 0.2, "0.3"},
        {999999999999999.0, "999999999999999"},
        {123456789012345.67, "123456789012346"},
        // From 1E+15 on, and where the digits with a fraction's leading zeros pass 15 and the
        // exponent form is shorter, a capital E and at least two exponent digits.
        {999999999999999.7, "1E+15"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {3e23, "3E+23"},
        {-1.5e-300, "-1.5E-300"},
        {1.7976931348623157e308, "1.79769313486232E+308"},
        {1.0 / 700, "0.00142857142857143"},
        {-1.0 / 700, "-0.00142857142857143"},
        {1.0 / 7 * 1e-13, "1.42857142857143E-14"},
        {5.444511618e-13, "5.444511618E-13"},
        {1e-15, "1E-15"},
        {1e-5 / 3, "3.33333333333333E-06"},
        // Up to 15 digits the plain form stays, shorter or not.
        {1e-14, "0.00000000000001"},
        {9.999999999999999e-15, "0.00000000000001"},
        {1.5e-7, "0.00000015"},
        {0.0001, "0.0001"},
        {-0.0001234, "-0.0001234"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatGeneralNumber(c.value), c.text) << c.text;
    SeparatorSet comma;
    comma.decimal = ',';
    EXPECT_EQ(FormatGeneralNumber(1.0 / 700, &comma), "0,00142857142857143");
    EXPECT_EQ(FormatGeneralNumber(1.5e20, &comma), "1.5E+20");
    EXPECT_EQ(FormatGeneralNumber(INFINITY), "inf");
}

} // namespace vl
