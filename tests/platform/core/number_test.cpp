#include "platform/core/number.h"

#include <clocale>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace vl {

namespace {

// Runs a check under a decimal-comma locale when the machine has one.
class CommaLocale {
public:
    CommaLocale() : active_(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {}
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool active() const { return active_; }

private:
    bool active_;
};

} // namespace

TEST(NumberScan, ReadsTheClassicGrammarAndStopsAtTheFirstForeignCharacter) {
    struct Case {
        const char* text;
        size_t length;
        double value;
    } cases[] = {
        {"12", 2, 12},    {"-1.5", 4, -1.5},  {"+.5", 3, 0.5}, {"5.", 2, 5},
        {"1e3", 3, 1000}, {"1E-2x", 4, 0.01}, {"1e", 1, 1},    {"1e+", 1, 1},
        {"2.5%", 3, 2.5}, {"0x10", 1, 0},     {"007", 3, 7},   {"1,5", 1, 1},
    };
    for (const Case& c : cases) {
        double v = -99;
        NumberScan s = ScanNumber(c.text, v);
        EXPECT_EQ(s.length, c.length) << c.text;
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
}

TEST(NumberScan, RejectsWhatIsNoNumber) {
    for (const char* t : {"", "inf", "nan", "-", ".", "e5", " 1", "-inf", "infinity"}) {
        double v = 7;
        EXPECT_EQ(ScanNumber(t, v).length, 0u) << t;
        EXPECT_EQ(v, 7) << t;
    }
    double v;
    EXPECT_FALSE(ParseNumber("0x10", v));
    EXPECT_FALSE(ParseNumber("1 ", v));
    EXPECT_EQ(ScanNumber("-5", v, false).length, 0u);
}

TEST(NumberScan, FlagsOverflowAndReadsUnderflowAsZero) {
    double v;
    NumberScan s = ScanNumber("1e999", v);
    EXPECT_TRUE(s.overflow);
    EXPECT_TRUE(std::isinf(v));
    EXPECT_FALSE(ParseNumber("-1e400", v));
    s = ScanNumber("1e-999", v);
    EXPECT_FALSE(s.overflow);
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(ParseNumber("0.0000e999", v));
    EXPECT_EQ(v, 0);
}

TEST(NumberFormat, WritesCLocaleTextWithThreeDigitExponents) {
    EXPECT_EQ(FormatNumberG(1e15, 15), "1e+015");
    EXPECT_EQ(FormatNumberG(1.5e20, 15), "1.5e+020");
    EXPECT_EQ(FormatNumberG(1e-15, 15), "1e-015");
    EXPECT_EQ(FormatNumberG(1e300, 15), "1e+300");
    EXPECT_EQ(FormatNumberG(0.1, 15), "0.1");
    EXPECT_EQ(FormatNumberG(1.0 / 3, 15), "0.333333333333333");
    EXPECT_EQ(FormatNumberE(12345.678, 2), "1.23e+004");
    EXPECT_EQ(FormatNumberF(2.5, 3), "2.500");
    EXPECT_EQ(FormatNumberF(-0.004, 2), "-0.00");
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

TEST(NumberFormat, IgnoresTheProcessLocale) {
    CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    double v = 0;
    EXPECT_TRUE(ParseNumber("1.25", v));
    EXPECT_EQ(v, 1.25);
    EXPECT_EQ(ScanNumber("1,25", v).length, 1u);
    EXPECT_EQ(FormatNumberG(1.25, 15), "1.25");
    EXPECT_EQ(FormatNumberF(1234.5, 1), "1234.5");
}

TEST(NumberFormat, EveryWrittenDoubleReadsBackExactly) {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        double d;
        uint64_t bits = state;
        std::memcpy(&d, &bits, sizeof d);
        if (!std::isfinite(d)) continue;
        std::string text = FormatNumberG(d, 17);
        double back = 0;
        ASSERT_TRUE(ParseNumber(text, back)) << text;
        EXPECT_EQ(back, d) << text;
    }
}

} // namespace vl
