// Numbers as text must not depend on the process locale: the same texts are read and
// written under a decimal-comma locale as under the C locale.
#include "formula/evalcontext.h"
#include "formula/formulanumber.h"
#include "formula/translate.h"
#include "platform/core/number.h"
#include "values/formatdouble.h"

#include <clocale>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vl {

namespace {

const char* const kTexts[] = {
    "0",        "1.5",   "-2.25",  "1,5",  "1e3",       "1E-2",
    "2.5e+300", "1e999", "1e-999", "0x10", "inf",       "nan",
    "-inf",     "INF",   ".5",     "5.",   "1e",        "1e+",
    "007",      "1.2.3", "  1",    "+3",   "1 000",     "1'000",
    "3,14159",  "",      "-",      "0.1",  "4.94e-324", "12345678901234567890123",
};

const double kValues[] = {0,         1.0 / 3, -1.0 / 3, 1.5e20, 1e-15,  123456789012345678.0,
                          2.5,       -0.004,  1234.5,   1e300,  5e-324, 999999999999999.0,
                          0.1 + 0.2, 42,      -7.75,    1e-14};

std::string Bits(double v) {
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return std::to_string(b);
}

// Everything the number code gives for the sample texts and values, as one text.
std::string Fingerprint() {
    std::string out;
    for (const char* t : kTexts) {
        double v = -1;
        NumberScan scan = ScanNumber(t, v);
        out += std::to_string(scan.length) + (scan.overflow ? "o" : "-") + Bits(v) + ";";
        double p = -1;
        out += ParseNumber(t, p) ? "P" + Bits(p) : "F";
        for (char decimal : {'.', ','}) {
            FormulaNumber n = ScanFormulaNumber(t, decimal, decimal == '.');
            out += n.ok ? std::to_string(n.length) + Bits(n.value) : "x";
        }
        out += "\n";
    }
    SeparatorSet comma;
    comma.decimal = ',';
    for (double v : kValues) {
        out += FormatDouble(v) + " " + FormatDouble(v, &comma) + " " + FormatNumberG(v, 15) + " " +
               FormatNumberE(v, 6) + " " + FormatNumberF(v, 3) + "\n";
    }
    auto ctx = std::make_unique<CEvalContext>();
    std::string formula = "=SUM(1,5;2e3;{0,25| 3})+R[1]C";
    comma.list = ';';
    comma.arrayRow = '|';
    TranslateFormula(*ctx, formula, 2, 2, true, {&comma, true});
    out += formula;
    return out;
}

class CommaLocale {
public:
    CommaLocale() : active_(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {}
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool active() const {
        return active_ && std::strcmp(std::localeconv()->decimal_point, ",") == 0;
    }

private:
    bool active_;
};

} // namespace

TEST(NumberLocale, GivesTheSameResultsUnderACommaLocaleAsUnderC) {
    std::setlocale(LC_ALL, "C");
    std::string plain = Fingerprint();
    CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(Fingerprint(), plain);
    EXPECT_EQ(FormatDouble(2.5), "2.5");
}

TEST(NumberLocale, RejectsHexadecimalInfinityAndNotANumber) {
    CommaLocale comma; // the same under either locale
    for (const char* t : {"0x10", "inf", "nan", "-inf", "infinity", "NaN", "0X1p3"}) {
        double v = 7;
        EXPECT_FALSE(ParseNumber(t, v)) << t;
        EXPECT_EQ(v, 7) << t;
        FormulaNumber n = ScanFormulaNumber(t, '.', true);
        EXPECT_TRUE(!n.ok || n.length == 1) << t; // at most the leading 0 of 0x10
    }
}

// Every plain number text reads back to a double that is written as the same text
// again, also where the fixed and the exponent form meet, and formula text reads it.
TEST(NumberLocale, ReadsEveryPlainNumberTextBackToTheSameText) {
    CommaLocale comma;
    auto check = [](double v) {
        std::string text = FormatDouble(v);
        double back = 0;
        ASSERT_TRUE(ParseNumber(text, back)) << text;
        EXPECT_EQ(FormatDouble(back), text) << v;
        FormulaNumber n = ScanFormulaNumber(text, '.', false);
        if (text[0] != '-') {
            ASSERT_TRUE(n.ok) << text;
            EXPECT_EQ(n.length, text.size());
            EXPECT_EQ(n.value, back) << text;
        }
    };
    for (double v : {9.999999999999999e-15, 9.9999999999999e-15, 999999999999999.4,
                     999999999999998.9, 9.4999999999999999, 0.49999999999999994, 5e-324,
                     2.2250738585072014e-308, -9.999999999999999e-15})
        check(v);
    uint64_t state = 0x853C49E6748FEA9Bull;
    for (int i = 0; i < 30000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        double d;
        std::memcpy(&d, &state, sizeof d);
        if (std::isfinite(d)) check(d);
        check(std::ldexp(double(state >> 12), -int(state % 60)));
        check(double(int64_t(state % 2000000000001ull) - 1000000000000) / 1000.0);
    }
}

} // namespace vl
