#include "platform/core/bytes.h"
#include "tests/formula/separatortestutil.h"
#include "values/formatdefaults.h"
#include "values/numberinput.h"
#include "values/numfmt_number.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace vl {

namespace {

using namespace fmtparam;

struct Case {
    const char* text;
    bool ok;
    double value;
    uint8_t kind;
};

void Check(const Case* cases, std::size_t n, const SeparatorSet& set) {
    for (std::size_t k = 0; k < n; ++k) {
        const Case& c = cases[k];
        double value = -99;
        uint8_t kind = 77;
        uint8_t params[kStandardFormatParams] = {};
        EXPECT_EQ(ParseNumberText(c.text, value, kind, params, set), c.ok ? 1 : 0) << c.text;
        EXPECT_EQ(kind, c.ok ? c.kind : 0) << c.text;
        EXPECT_DOUBLE_EQ(value, c.ok ? c.value : 0) << c.text;
    }
}

} // namespace

TEST(NumberInput, RecognisesTheTypedForms) {
    const Case cases[] = {
        {"42", true, 42, 0},
        {"-42", true, -42, 0},
        {"-12%", true, -0.12, 7},
        {"$ 12", true, 12, 2},
        {"1.5E+3", true, 1500, 9},
        {"+4.5", true, 4.5, 0},
        {".5", true, 0.5, 0},
        {"1,234", true, 1234, 1},
        {"1,234.5", true, 1234.5, 1},
        {"1,234,567", true, 1234567, 1},
        {"1,23", false, 0, 0},
        {"12,3456", false, 0, 0},
        {"1,2345", false, 0, 0},
        {",123", false, 0, 0},
        {"(12)", true, -12, 1},
        {"(12", false, 0, 0},
        {"12)", false, 0, 0},
        {"12%", true, 0.12, 7},
        {"%12", true, 0.12, 7},
        {"12%3", false, 0, 0},
        {"1 1/2", true, 1.5, 8},
        {"-1 1/2", true, -1.5, 8},
        {"3/4", true, 0.75, 8},
        {"1 /2", true, 0.5, 8},
        {"1/0", false, 0, 0},
        // Digits a blank separates are two numbers, never one: only a fraction follows a
        // blank, and blanks around the number are no part of it.
        {"1 1", false, 0, 0},
        {"0 5", false, 0, 0},
        {"1 000", false, 0, 0},
        {"12 34.5", false, 0, 0},
        {"-1  2", false, 0, 0},
        {"1 2e3", false, 0, 0},
        {"12 ", true, 12, 0},
        {" 12", true, 12, 0},
        {"12 %", true, 0.12, 7},
        {"$12.50", true, 12.5, 2},
        {"12 $", true, 12, 2},
        {"-$12", true, -12, 2},
        {"$12%", false, 0, 0},
        {"1E+5", true, 100000, 9},
        {"1e-2", true, 0.01, 9},
        {"1.5e+020", true, 1.5e20, 9},
        {"e5", false, 0, 0},
        {"1e", false, 0, 0},
        {"1e999", false, 0, 0},
        {"", false, 0, 0},
        {"abc", false, 0, 0},
        {"1.2.3", false, 0, 0},
        {"--1", false, 0, 0},
        {"1-", false, 0, 0},
        {"1/2/3", false, 0, 0},
        {"1 1/2%", true, 0.015, 7},
    };
    Check(cases, std::size(cases), InternalSeparators());
}

TEST(NumberInput, ReadsTheUsersSeparators) {
    const Case cases[] = {
        {"1.234", true, 1234, 1},     {"1.234,5", true, 1234.5, 1}, {"1,23", true, 1.23, 0},
        {"1,234", true, 1.234, 0},    {"12,5%", true, 0.125, 7},    {"EUR12,50", true, 12.5, 2},
        {"12,50 EUR", true, 12.5, 2}, {"$12", false, 0, 0},         {"1.23", false, 0, 0},
        {"1,5e3", true, 1500, 9},     {"1.5E+3", true, 1500, 9},    {"1.5e+020", true, 1.5e20, 9},
        {"1.234e5", true, 123400, 9}, {"1.5", false, 0, 0},
    };
    Check(cases, std::size(cases), formulatest::CommaLocaleSeparators());
}

// A typed number shows through the format its form implies with the digits typed, and
// that text reads back to the same value.
TEST(NumberInput, TypedFormsShowTheirDigitsAndReadBack) {
    const std::pair<const char*, const char*> cases[] = {
        {"1.5%", "1.5%"},
        {"1.25%", "1.25%"},
        {"12.345%", "12.345%"},
        {"99.99%", "99.99%"},
        {"-0.5%", "-0.5%"},
        {"(5%)", "-5%"},
        {"50%", "50%"},
        {"$1,234.567", "$1,234.567"},
        {"$0.5", "$0.5"},
        {"12.5 $", "12.5 $"},
        {"1 1/3", "1 1/3"},
        {"2 3/16", "2  3/16"},
        {"123/1000", "   123/1000"},
        {"-1 1/2", "-1 1/2"},
        {"1.5E+3", "1.5e+03"},
        {"1.23456E-7", "1.23456e-07"},
        {"1e5", "1e+05"},
        {"(1,234.5)", "(1,234.5)"},
        {"1,234.5678", "1,234.5678"},
        {"1,000,000", "1,000,000"},
    };
    for (const auto& [typed, expected] : cases) {
        double value = 0, back = 0;
        uint8_t kind = 0, backKind = 0;
        uint8_t params[kStandardFormatParams] = {}, backParams[kStandardFormatParams] = {};
        ASSERT_EQ(ParseNumberText(typed, value, kind, params, InternalSeparators()), 1) << typed;
        RenderedList list;
        ASSERT_TRUE(FormatNumberValue(list, kind == STD_STYLE_PERCENTAGE ? value * 100 : value,
                                      BuildStandardFormatCode(kind, params), nullptr))
            << typed;
        // Blanks as wide as a digit shown as blanks.
        std::string shown;
        for (uint16_t k = 0; k < list.count; ++k)
            if (list.items[k].kind == kRenderedBlank || (list.items[k].kind & ~kFmtSpace) != 0)
                shown += list.items[k].kind == kRenderedBlank ? ' ' : char(list.items[k].ch);
        EXPECT_EQ(shown, expected) << typed;
        ASSERT_EQ(ParseNumberText(shown, back, backKind, backParams, InternalSeparators()), 1)
            << shown;
        EXPECT_EQ(back, value) << typed;
    }
}

TEST(NumberInput, ABlankThousandsSeparatorGroupsDigits) {
    SeparatorSet s;
    s.decimal = ',';
    s.thousands = ' ';
    const Case cases[] = {
        {"1 234", true, 1234, 1}, {"1 234,5", true, 1234.5, 1},  {"1 23", false, 0, 0},
        {"1 1/2", true, 1.5, 8},  {"1.5e+020", true, 1.5e20, 9}, {"1,5E-3", true, 0.0015, 9},
    };
    Check(cases, std::size(cases), s);
}

TEST(NumberInput, ReportsTheImpliedParameters) {
    struct Case {
        const char* text;
        int at; // the parameter byte checked, or -1 for the denominator
        uint64_t value;
    } cases[] = {
        {"$12.50", kCurrencyDecimals, 2},
        {"$12.50", kSymbolPosition, 0},
        {"$12.50", kCurrencySymbol, '$'},
        {"12 $", kSymbolPosition, 3},
        {"$ 12", kSymbolPosition, 1},
        {"12$", kSymbolPosition, 2},
        {"($12)", kCurrencyNegative, 2},
        {"(1,234)", kThousands, 1},
        {"(1,234)", kNegativeStyle, 2},
        {"1 1/2", kDenominatorMode, 1},
        {"1 1/2", -1, 2},
        {"1/9999999999999999", kDenominatorMode, 0},
        // A format holds fixed denominators up to 4,294,967,294, and at most 14 digits.
        {"1/4294967294", kDenominatorMode, 1},
        {"1/4294967294", -1, 4294967294u},
        {"1/4294967295", kDenominatorMode, 0},
        {"1/4294967295", kDenominatorDigits, 10},
        {"1/99999999999999", kDenominatorDigits, 14},
        {"1/999999999999999", kDenominatorDigits, 14},
        {"1/9999999999999999", kDenominatorDigits, 14},
        {"$1.12345678901234", kCurrencyDecimals, 14},
        {"$1.123456789012345", kCurrencyDecimals, 14},
        {"$1.123456789012345678901234567890", kCurrencyDecimals, 14},
    };
    for (const Case& c : cases) {
        double value;
        uint8_t kind;
        uint8_t p[kStandardFormatParams];
        ASSERT_TRUE(ParseNumberText(c.text, value, kind, p, InternalSeparators())) << c.text;
        EXPECT_EQ(c.at < 0 ? LoadU64(p + kFixedDenominator) : p[c.at], c.value) << c.text;
    }
}

// What typing or pasting a number implies is a format that a saved file keeps.
TEST(NumberInput, ImpliedFormatsAreValidFormats) {
    const char* texts[] = {"$1.123456789012345678",
                           "1/12345678901234567890",
                           "1 1/4294967294",
                           "1/4294967295",
                           "12.5%",
                           "1,234.5678901234567",
                           "(1,234)",
                           "1e+300",
                           "$ 12",
                           "1/2%"};
    for (const char* text : texts) {
        double value;
        StandardFormat f;
        ASSERT_TRUE(ParseNumberText(text, value, f.kind, f.params, InternalSeparators())) << text;
        EXPECT_NE(f.kind, STD_STYLE_DEFAULT) << text;
        EXPECT_TRUE(IsValidStandardFormat(f)) << text;
    }
}

TEST(NumberInput, ReadsTextsUpToTheLimitsWithoutOverrun) {
    double value;
    uint8_t kind;
    uint8_t p[kStandardFormatParams];
    EXPECT_TRUE(ParseNumberText(std::string(1024, '0'), value, kind, p, InternalSeparators()));
    EXPECT_FALSE(ParseNumberText(std::string(1025, '0'), value, kind, p, InternalSeparators()));
    auto scan = std::make_unique<NumberScanRecord>();
    std::string items(kMaxNumberScanItems, '1');
    EXPECT_TRUE(MatchNumberPattern(*scan, items, InternalSeparators()));
    EXPECT_FALSE(MatchNumberPattern(*scan, items + "1", InternalSeparators()));
    EXPECT_EQ(scan->overflow, 1);
}

} // namespace vl
