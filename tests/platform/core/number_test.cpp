#include "platform/core/number.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace vl {

namespace {

struct FormatCase {
    char form; // 'G', 'E' or 'F'
    double value;
    int precision;
    const char* text;
};

std::string Format(char form, double value, int precision) {
    return form == 'G'   ? FormatNumberG(value, precision)
           : form == 'E' ? FormatNumberE(value, precision)
                         : FormatNumberF(value, precision);
}

} // namespace

constexpr double kInf = HUGE_VAL;

// A text read as no number leaves the value as it was (-99).
TEST(NumberScan, ReadsTheClassicGrammarAndStopsAtTheFirstForeignCharacter) {
    struct Case {
        const char* text;
        size_t length;
        double value;
        bool overflow = false;
    } cases[] = {
        {"12", 2, 12},    {"-1.5", 4, -1.5},     {"+.5", 3, 0.5},      {"5.", 2, 5},
        {"1e3", 3, 1000}, {"1E-2x", 4, 0.01},    {"1e", 1, 1},         {"1e+", 1, 1},
        {"2.5%", 3, 2.5}, {"0x10", 1, 0},        {"007", 3, 7},        {"1,5", 1, 1},
        {"1e-999", 6, 0}, {"1e999", 5, kInf, 1}, {"", 0, -99},         {"inf", 0, -99},
        {"nan", 0, -99},  {"-", 0, -99},         {".", 0, -99},        {"e5", 0, -99},
        {" 1", 0, -99},   {"-inf", 0, -99},      {"infinity", 0, -99},
    };
    for (const Case& c : cases) {
        double v = -99;
        NumberScan s = ScanNumber(c.text, v);
        EXPECT_EQ(std::pair(s.length, s.overflow), std::pair(c.length, c.overflow)) << c.text;
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
    double v = -99;
    EXPECT_EQ(ScanNumber("-5", v, false).length, 0u);
    EXPECT_EQ(v, -99);
}

TEST(NumberScan, ParseTakesOnlyAWholeFiniteNumber) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"0x10", false, 0},
        {"1 ", false, 0},
        {"-1e400", false, 0},
        {"0.0000e999", true, 0},
    };
    for (const Case& c : cases) {
        double v = -99;
        EXPECT_EQ(ParseNumber(c.text, v), c.ok) << c.text;
        EXPECT_EQ(c.ok ? v : c.value, c.value) << c.text; // the value counts only when read
    }
}

TEST(NumberFormat, WritesCLocaleTextWithThreeDigitExponents) {
    const FormatCase cases[] = {
        {'G', 1e15, 15, "1e+015"},
        {'G', 1e-15, 15, "1e-015"},
        {'G', 1e300, 15, "1e+300"},
        {'G', 0.1, 15, "0.1"},
        {'G', 1.0 / 3, 15, "0.333333333333333"},
        {'E', 12345.678, 2, "1.23e+004"},
        {'F', 2.5, 3, "2.500"},
        {'F', -0.004, 2, "-0.00"},
    };
    for (const FormatCase& c : cases) EXPECT_EQ(Format(c.form, c.value, c.precision), c.text);
}

TEST(NumberFormat, FixedFormOfTheLargestValuesAtFullPrecision) {
    for (double value : {1e300, -1.7976931348623157e308}) {
        const std::string text = FormatNumberF(value, 340);
        const size_t whole = value < 0 ? 310 : 301;
        ASSERT_EQ(text.size(), whole + 1 + 340) << text.substr(0, 20);
        EXPECT_EQ(text.substr(whole), "." + std::string(340, '0'));
        double back = 0;
        ASSERT_TRUE(ParseNumber(text, back));
        EXPECT_EQ(back, value);
    }
}

TEST(NumberFormat, EveryWrittenDoubleReadsBackExactly) {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        double d;
        std::memcpy(&d, &state, sizeof d);
        if (!std::isfinite(d)) continue;
        std::string text = FormatNumberG(d, 17);
        double back = 0;
        ASSERT_TRUE(ParseNumber(text, back)) << text;
        EXPECT_EQ(back, d) << text;
    }
}

} // namespace vl

namespace vl {

// An exact half rounds away from zero; a value a hair beside the half (0.285 is stored as
// 0.28499999999999998) keeps its correctly rounded digits.
TEST(NumberFormat, ExactHalvesRoundAwayFromZeroAndOtherValuesRoundCorrectly) {
    const FormatCase cases[] = {
        {'F', 2.5, 0, "3"},
        {'F', 3.5, 0, "4"},
        {'F', -2.5, 0, "-3"},
        {'F', 0.5, 0, "1"},
        {'F', 0.125, 2, "0.13"},
        {'F', -0.125, 2, "-0.13"},
        {'F', 9.5, 0, "10"},
        {'F', 99.95, 1, "100.0"}, // 99.950000000000003: above the half anyway
        {'F', 0.375, 2, "0.38"},
        {'F', 1.25, 1, "1.3"},
        {'F', 1.25, 2, "1.25"},
        {'F', 1.25, 3, "1.250"},
        {'F', 0.285, 2, "0.28"},
        {'F', 1.0000000000000002, 15, "1.000000000000000"},
        {'F', 0x1p-30, 29, "0.00000000093132257461547851563"},
        {'F', 0x1p-30, 30, "0.000000000931322574615478515625"},
        {'F', 2.0000000000000004, 0, "2"},
        {'E', 25, 0, "3e+001"},
        {'E', -25, 0, "-3e+001"},
        {'E', 95, 0, "1e+002"},
        {'E', 0.995, 1, "9.9e-001"},   // 0.99499999999999999556
        {'E', 9.95e-3, 1, "1.0e-002"}, // 0.0099500000000000005
        {'E', 0.0125, 1, "1.3e-002"},
        {'E', 999.5, 2, "1.00e+003"},
        {'E', 1234.5, 3, "1.235e+003"},
        {'E', 1234.5, 4, "1.2345e+003"},
        {'E', 0x1p-30, 28, "9.3132257461547851562500000000e-010"},
        {'E', 0x1p-30, 17, "9.31322574615478516e-010"},
        {'E', 12345678901234567890.0, 0, "1e+019"},
        {'E', 2.5e300, 0, "3e+300"}, // 2.50000000000000013e300
        {'E', 0x1p-30, 19, "9.3132257461547851563e-010"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(Format(c.form, c.value, c.precision), c.text)
            << c.form << " " << c.value << " " << c.precision;
}

} // namespace vl
