#include "formula/values/formatdouble.h"
#include "formula/values/numfmt_cache.h"
#include "formula/values/numfmt_number.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl {

namespace {

std::string Show(double value, const char* code, const SeparatorSet* set = &InternalSeparators()) {
    std::string text;
    if (!FormatValueText(value, code, text, set)) return "<fail>";
    return text;
}

struct Case {
    double value;
    const char* code;
    const char* text;
};

void Check(const Case* cases, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k)
        EXPECT_EQ(Show(cases[k].value, cases[k].code), cases[k].text)
            << cases[k].code << " on " << cases[k].value;
}

} // namespace

TEST(NumberRender, FixedNumbers) {
    const Case cases[] = {
        {1234567, "#,##0", "1,234,567"},
        {1234567, "#,##0,", "1,235"},
        {1234567, "0.0,,", "1.2"},
        {7, "000", "007"},
        {-7, "0", "-7"},
        {5, "#.##", "5"},
        {5, "0.00", "5.00"},
        {1.239, "0.##", "1.24"},
        {1.5, "0.##", "1.5"},
        {0.5, "#.##", "0.5"},
        {0, "#,##0", "0"},
        {0, "#", "0"},
        {0.5, "?.??", ".5"}, // "?" keeps its blank for a lone zero
        {123, "0", "123"},
        {999.5, "#,##0", "1,000"},
        {1234.5678, "#,##0.00", "1,234.57"},
        {-1234.5, "#,##0.00", "-1,234.50"},
        {12, "\"USD\" 0", "USD 12"},
        {12.5, ".00", "12.50"},
        {1e20, "#,##0", "100,000,000,000,000,000,000"},
        {1234, "0000,000", "0,001,234"},
        {0.125, "0.0%", "0.1%"}, // the literal "%" does not multiply
        {3, "0 \"items\"", "3 items"},
    };
    Check(cases, std::size(cases));
}

TEST(NumberRender, SectionsConditionsAndColours) {
    const Case cases[] = {
        {-2, "0.00;[red](0.00)", "(2.00)"},
        {2, "0.00;[red](0.00)", "2.00"},
        {0, "0;-0;\"zero\"", "zero"},
        {-3, "0;-0;\"zero\"", "-3"},
        {0, "0;-0;;@", ""},
        {5, "[<10]\"small\";\"big\"", "small"},
        {50, "[<10]\"small\";\"big\"", "big"},
        {150, "[>100]0;0.0", "150"},
        {50, "[>100]0;0.0", "50.0"},
        {150, "[<100]0", "150"}, // one section whose condition fails: plain form
        {-5, "General", "-5"},
        {2.5, "@", "2.5"},
        {-2.5, "0;@", "2.5"},
        {5, "[red]", "5"},
        {-5, "[red]", "-5"},
        {-5, "[blue];[red]", "5"}, // the second section shows the sign by its literals
        {-5, "0;\"minus\"", "minus"},
    };
    Check(cases, std::size(cases));
    RenderedList list;
    ASSERT_TRUE(FormatNumberValue(list, -2, "0.00;[red](0.00)", nullptr));
    EXPECT_TRUE(list.hasColor);
    EXPECT_EQ(list.color, 0x0000FFu);
    EXPECT_EQ(list.items[0].kind, uint32_t(kFmtColorName)); // for the painter
    ASSERT_TRUE(FormatNumberValue(list, 2, "0.00;[red](0.00)", nullptr));
    EXPECT_FALSE(list.hasColor);
}

TEST(NumberRender, ScientificWithPlaceholdersAndFixedExponents) {
    const Case cases[] = {
        {12345, "0.00E+00", "1.23E+04"},  {0.00012345, "0.00E+00", "1.23E-04"},
        {12345, "0.00E-00", "1.23E04"},   {0, "0.00E+00", "0.00E+00"},
        {1e100, "0.0E+0", "1.0E+100"},    {9.999, "0.00E+00", "1.00E+01"},
        {123456, "0e+\"03\"", "123e+03"}, {1.5, "0.0e-\"02\"", "150.0e-02"},
        {12345, "0.00e+00", "1.23e+04"},
    };
    Check(cases, std::size(cases));
}

TEST(NumberRender, Fractions) {
    const Case cases[] = {
        {1.0 / 3, "?/?", "1/3"},
        {0.5, "?/?", "1/2"},
        {0.5, "?/8", "4/8"},
        {1.5, "# ?/?", "1 1/2"},
        {1.5, "?/?", "3/2"},
        {2.75, "# ?\?/??", "2 3/4"},
        {3.14159265, "# ?\?/??", "3 14/99"},
        {3.14159265, "# ??\?/???", "3 16/113"},
        {1.5, "? ?/2", "1 1/2"},
        {0.75, "# ?/4", " 3/4"},
        {0.999, "# ?/?", "1 0/9"}, // a zero numerator keeps the placeholders' denominator
        {2, "?/?", "2/1"},
        {0, "?/?", "0/9"},
        {5.0 / 16, "# ?\?/16", " 5/16"},
    };
    Check(cases, std::size(cases));
}

TEST(NumberRender, HugeMagnitudesFallBackInsteadOfOverflowing) {
    for (double v : {9.2233720368547758e18, 1e19, -1e19, 1e300, -1.7976931348623157e308}) {
        std::string text = "x";
        EXPECT_FALSE(FormatValueText(v, "# ?/?", text, nullptr)) << v;
        EXPECT_EQ(text, FormatDouble(v)); // the plain form in its place
    }
    std::string text;
    EXPECT_FALSE(FormatValueText(0.5, "# ?/99999999999999999999", text, nullptr));
    EXPECT_FALSE(FormatValueText(0.5, "# ??????????????????\?/???????????????????", text, nullptr));
    EXPECT_TRUE(FormatValueText(9.2e18, "0 ?/?", text, nullptr));
    EXPECT_EQ(text, "9200000000000000000 0/9");
    for (double v : {NAN, INFINITY, -INFINITY})
        EXPECT_FALSE(FormatValueText(v, "0.00", text, nullptr));
    // A fixed exponent that scales a finite value past the largest double.
    EXPECT_FALSE(FormatValueText(1e300, "0.0e-\"99\"", text, nullptr));
}

TEST(NumberRender, UserSeparatorsAreAppliedLast) {
    SeparatorSet user;
    user.decimal = ',';
    user.thousands = '.';
    EXPECT_EQ(Show(1234567.891, "#,##0.00", &user), "1.234.567,89");
    EXPECT_EQ(Show(0.5, "0.0", &user), "0,5");
    EXPECT_EQ(Show(-12345.6, "0.00E+00", &user), "-1,23E+04");
}

TEST(NumberRender, DatesOnNumbersAndBrokenCodesFail) {
    std::string text = "x";
    SeparatorSet comma;
    comma.decimal = ',';
    EXPECT_FALSE(FormatValueText(5, "yyyy-mm-dd", text, nullptr));
    EXPECT_FALSE(FormatValueText(5, "0.00E+", text, nullptr));
    EXPECT_FALSE(FormatValueText(5.5, "\"open", text, &comma));
    EXPECT_EQ(text, "5,5");
    EXPECT_TRUE(FormatValueText(5, "", text, nullptr)); // no section: the plain form
    EXPECT_EQ(text, "5");
    EXPECT_TRUE(FormatValueText(2.5, "", text, &comma));
    EXPECT_EQ(text, "2,5");
    EXPECT_TRUE(FormatValueText(250, "[<0]0", text, &comma)); // condition fails: plain form
    EXPECT_EQ(text, "250");
    EXPECT_TRUE(FormatValueText(2.5, "[<0]0", text, &comma));
    EXPECT_EQ(text, "2,5");
}

TEST(NumberRender, PlaceholdersShowZerosBlanksOrNothing) {
    RenderedList list;
    ASSERT_TRUE(FormatNumberValue(list, 5, "??0", nullptr));
    ASSERT_EQ(list.count, 3);
    EXPECT_EQ(list.items[0].kind, kRenderedBlank);
    EXPECT_EQ(list.items[1].kind, kRenderedBlank);
    EXPECT_EQ(list.Text(), "5");
    ASSERT_TRUE(FormatNumberValue(list, 5, "_(0_)*x", nullptr));
    EXPECT_EQ(list.items[0].kind, uint32_t(kFmtSpace));
    EXPECT_EQ(list.items[2].kind, uint32_t(kFmtSpace));
    EXPECT_EQ(list.items[3].kind, uint32_t(kFmtFill));
    EXPECT_EQ(list.Text(), "5");
}

TEST(NumberRender, ListCountsLiteralItemsAndTakesInsertedBreaks) {
    RenderedList list;
    ASSERT_TRUE(FormatNumberValue(list, -1234.5, "[red]#,##0.0_)", nullptr));
    EXPECT_EQ(list.Text(), "-1,234.5");
    EXPECT_EQ(list.literalCount, 6); // "-", five digits; not the separators or the space
    for (uint16_t k = 0; k < list.count; ++k) EXPECT_EQ(list.items[k].attribute, 0) << k;
    ASSERT_TRUE(list.Insert(3, kFmtLiteral, '\n', 7));
    EXPECT_EQ(list.Text(), "-1\n,234.5");
    EXPECT_EQ(list.literalCount, 7);
    EXPECT_EQ(list.items[3].attribute, 7);
    list.Clear();
    for (int k = 0; k < kMaxFormatTokens; ++k) ASSERT_TRUE(list.Add(kFmtDecimal, '.'));
    EXPECT_FALSE(list.Insert(0, kFmtLiteral, 'x'));
    EXPECT_EQ(list.overflow, 1);
    EXPECT_EQ(list.count, kMaxFormatTokens);
    EXPECT_EQ(list.literalCount, 0);
    EXPECT_EQ(list.items[0].ch, '.');
}

TEST(NumberRender, CachedAndFreshCompilationAgree) {
    const char* codes[] = {"#,##0.00", "0.00E+00", "# ?/?", "[red]0;(0)", "#,##0,", "bad\""};
    double values[] = {0, -1.5, 1234.5678, 1e-7, 98765.4321};
    for (bool cached : {true, false}) {
        SetFormatCacheEnabled(cached);
        for (const char* code : codes)
            for (double v : values) {
                std::string a, b;
                bool okA = FormatValueText(v, code, a, nullptr);
                SetFormatCacheEnabled(!cached);
                bool okB = FormatValueText(v, code, b, nullptr);
                SetFormatCacheEnabled(cached);
                EXPECT_EQ(okA, okB) << code;
                EXPECT_EQ(a, b) << code << " on " << v;
            }
    }
    SetFormatCacheEnabled(true);
}

TEST(NumberRender, ComplexNumbers) {
    EXPECT_EQ(FormatComplex(3, -4, "i"), "3 - 4i");
    EXPECT_EQ(FormatComplex(0, 0, "j"), "0 + 0j");
    EXPECT_EQ(FormatComplex(-1.5, 2.25, "i"), "-1.5 + 2.25i");
}

} // namespace vl
