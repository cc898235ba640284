#include "values/formatdouble.h"
#include "values/numfmt_cache.h"
#include "values/numfmt_number.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl {

namespace {

struct Case {
    double value;
    const char* code;
    const char* text; // "!" and the fallback text: the code did not render
};

void Check(std::initializer_list<Case> cases, const SeparatorSet* set = nullptr) {
    for (const Case& c : cases) {
        std::string text = "x";
        bool ok = FormatValueText(c.value, c.code, text, set);
        EXPECT_EQ(ok ? text : "!" + text, c.text) << c.code << " on " << c.value;
    }
}

} // namespace

TEST(NumberRender, FixedNumbersRoundedToTheirPlaceholders) {
    Check({{1234567, "#,##0", "1,234,567"},
           {1234567, "#,##0,", "1,235"},
           {1234567, "0.0,,", "1.2"},
           {7, "000", "007"},
           {5, "#.##", "5"},
           {1.239, "0.##", "1.24"},
           {0.5, "#.##", ".5"}, // a zero whole part is no digit for "#"
           {0, "#", ""},
           {0, "0.##", "0"},
           {0.5, "?.??", ".5"},            // "?" keeps its blank for a lone zero
           {100000, "##0.##_(", "100000"}, // a "_x" space keeps no decimal separator
           {1234, "#,#.##_(", "1,234"},
           {5, "0.??_(", "5."},
           {999.5, "#,##0", "1,000"},
           {999.995, "#,##0.00", "1,000.00"},
           {2.675, "0.00", "2.68"}, // rounded as typed, though the double lies below
           // Exact halves round away from zero.
           {2.5, "0", "3"},
           {-2.5, "0", "-3"},
           {0.125, "0.00", "0.13"},
           {12.5, "0%", "1250%"},
           {0.125, "$0.00", "$0.13"},
           {1250, "0.0E+0", "1.3E+3"},
           {0.1 + 0.2, "0.0000000000000000", "0.3000000000000000"},
           {1.0 / 3, "0.00000000000000000", "0.33333333333333300"},
           {-1234.5, "#,##0.00", "-1,234.50"},
           {12, "\"USD\" 0", "USD 12"},
           // A bracketed currency writes its symbol; the locale after "-" writes nothing.
           {1234.5, "[$$-409]#,##0.00", "$1,234.50"},
           {1234.5, "[$\x80-407] #,##0.00", "\x80 1,234.50"}, // the euro sign
           {1234.5, "[$USD] #,##0.00", "USD 1,234.50"},
           {-1234.5, "[$$-409]#,##0.00", "-$1,234.50"},
           {1234.5, "#,##0.00 [$\x80-407]", "1,234.50 \x80"},
           {5, "[$-409]0", "5"},
           {12.5, ".00", "12.50"},
           {1e20, "#,##0", "100,000,000,000,000,000,000"},
           {1234, "0000,000", "0,001,234"},
           {0.125, "0.0%", "12.5%"}, // a bare "%" multiplies by 100
           {0.125, "0.0\\%", "0.1%"},
           {0.125, "0.0\"%\"", "0.1%"},
           {0.125, "0.0%%", "12.5%%"}}); // once
}

TEST(NumberRender, SectionsByConditionSignAndZeroAtEverySectionCount) {
    Check({{0, "0.0", "0.0"},
           {0, "0;(0)", "0"},
           {0, "0;(0);\"zero\"", "zero"},
           {0, "0;(0);\"zero\";@", "zero"},
           {0, "0;-0;;@", ""},
           {0, "[<0]0;[>0]0;\"z\"", "z"},
           {-2, "0.00;[red](0.00)", "(2.00)"},
           {2, "0.00;[red](0.00)", "2.00"},
           {5, "[<10]\"small\";\"big\"", "small"},
           {50, "[<10]\"small\";\"big\"", "big"},
           {150, "[>100]0;0.0", "150"},
           {50, "[>100]0;0.0", "50.0"},
           {150, "[<100]0", "150"}, // one section whose condition fails: plain form
           {-5, "General", "-5"},
           {2.5, "@", "2.5"},
           {-2.5, "0;@", "-3"},     // a text section leaves a number to the first
           {5, "\"[\"@\"]\"", "5"}, // one text section decorates texts, not numbers
           {-5, "\"x\"@\"y\"", "-5"},
           {0, "[red]@\" x\"", "0"},
           {0, "0;-0;", ""}, // an empty zero section
           {-5, "0;", ""},
           {1234567, "0.0%,", "123456700.0%,"}, // a comma after text is text
           {1234567, "0,\"x\"", "1235x"},
           {12345678, "##0.00E+00", "12.35E+06"}, // engineering: exponents step by 3
           {0.00049, "##0.0E+0", "490.0E-6"},
           {999999, "##0.0E+0", "1.0E+6"},
           {12345, "00.0E+0", "01.2E+4"},
           {4423.61, "00.0E+00", "44.2E+02"},
           {0, "#.##E+00", "0E+00"}, // a zero mantissa is a digit
           {0, "#E+0", "0E+0"},      // exponents step by the integer places
           {0.1, "00.0E+00", "10.0E-02"},
           {-65.5, "00.0E+00", "-65.5E+00"},
           {1e21, "000.0E+0", "001.0E+21"},
           {-5, "[red]", "-5"},
           {-5, "[blue];[red]", "5"}, // the second section shows the sign by its literals
           {-5, "0;\"minus\"", "minus"},
           // A conditional first section shows the sign of a negative it admits, unless
           // it is meant for negatives; later sections show none.
           {-5, "[<=100]0.0;[>100]\"high\"", "-5.0"},
           {-0.4, "[<=100]0.0;[>100]\"high\"", "-0.4"},
           {-5, "[<1]0.0", "-5.0"},
           {-5, "[<-1]0.0;0.0", "-5.0"},
           {-5, "[<0]0.0;[>=1]0.0", "-5.0"}, // the second limit is not 0
           {-5, "[<0]0.0;0.0", "5.0"},
           {-5, "[<=0]0.0;0.0", "5.0"},
           {-5, "[<0]0.0;[>0]0.0", "5.0"},
           {-5, "[<0]0.0;[>=0]0.00", "5.0"},
           {-5, "[<=0]0.0;[=0]0.0", "-5.0"},
           {-5, "[>=0]0.0;[<-1]0.0", "5.0"},
           {-5, "[>100]0.0;[<0]\"-\"0.0", "-5.0"},
           // no condition takes the value: the plain form without the sign
           {-80, "[>=1000]0.0;[=0]0", "80"},
           {-5, "[>3]0.0;[>100]0.0", "5"},
           {-5, "[>3]0.0", "-5"}}); // one section keeps it
    RenderedList list;
    ASSERT_TRUE(FormatNumberValue(list, -2, "0.00;[red](0.00)", nullptr));
    EXPECT_TRUE(list.hasColor);
    EXPECT_EQ(list.color, 0x0000FFu);
    EXPECT_EQ(list.items[0].kind, uint32_t(kFmtColorName)); // for the painter
    ASSERT_TRUE(FormatNumberValue(list, 2, "0.00;[red](0.00)", nullptr));
    EXPECT_FALSE(list.hasColor);
}

TEST(NumberRender, ScientificExponentsAtTheirWidths) {
    Check({{12345, "0.00E+00", "1.23E+04"},
           {0.00012345, "0.00E+00", "1.23E-04"},
           {12345, "0.00E-00", "1.23E04"},
           {0, "0.00E+00", "0.00E+00"},
           {1e100, "0.0E+0", "1.0E+100"}, // more exponent digits than placeholders
           {1e-100, "0.0E+00", "1.0E-100"},
           {1e5, "0.0E+000", "1.0E+005"},
           {9.999, "0.00E+00", "1.00E+01"},
           {123456, "0e+\"03\"", "123e+03"},
           {1.5, "0.0e-\"02\"", "150.0e-02"},
           {1.5, "0e+\"99\"", "0e+99"}, // a fixed exponent of at most 99
           {1.5, "0e+\"100\"", "!1.5"},
           {1e300, "0.0e-\"99\"", "!1E+300"}}); // scaled past the largest double
}

TEST(NumberRender, Fractions) {
    Check({{1.0 / 3, "?/?", "1/3"},
           {0.5, "?/8", "4/8"},
           {1.5, "# ?/?", "1 1/2"},
           {1.5, "?/?", "3/2"},
           {3.14159265, "# ?\?/??", "3 14/99"},
           {3.14159265, "# ??\?/???", "3 16/113"},
           {0.75, "# ?/4", " 3/4"},
           {0.999, "# ?/?", "1"}, // a zero numerator leaves the fraction's place blank
           {0, "# ?/?", "0"},
           {0.3, "# ?\?/100", " 30/100"},
           {0.7, "# ?\?/100", " 70/100"},
           {0.7, "# ?/10", " 7/10"},
           {2.004, "# ?/100", "2"},
           {2, "?/?", "2/1"},
           {0, "?/?", "0/1"},
           {5.0 / 16, "# ?\?/16", " 5/16"},
           {9.2e18, "0 ?/?", "9200000000000000000"},
           {0.5, "# ?/??????????????????", " 1/2"}, // 18 denominator digits: the most
           {0.5, "# ?/???????????????????", "!0.5"},
           {0.5, "# ?/99999999999999999999", "!0.5"}});
}

TEST(NumberRender, FailuresLeaveThePlainTextWithTheSetsSeparator) {
    SeparatorSet comma;
    comma.decimal = ',';
    comma.thousands = '.';
    Check({{1234567.891, "#,##0.00", "1.234.567,89"},
           {-12345.6, "0.00E+00", "-1,23E+04"},
           {2.5, "", "2,5"},      // no section: the plain form
           {250, "[<0]0", "250"}, // a condition that fails: the plain form
           {2.5, "[<0]0", "2,5"},
           {5.5, "yyyy-mm-dd", "!5,5"}, // a date has no fields in a number
           {5.5, "0.00E+", "!5,5"},
           {5.5, "\"open", "!5,5"},
           {1e19, "?/?", "!1E+19"}, // no fraction and no whole-part placeholder
           {-1.7976931348623157e308, "?/8", "!-1.79769313486232E+308"},
           {1e19, "# ?/?", "10000000000000000000"}}, // the whole number alone
          &comma);
    std::string text;
    for (double v : {NAN, INFINITY, -INFINITY}) {
        EXPECT_FALSE(FormatValueText(v, "0.00", text, nullptr));
        EXPECT_EQ(text, FormatDouble(v));
    }
}

// The painter's items: blanks as wide as a zero, spaces and fills, literal counts, and
// line breaks it inserts.
TEST(NumberRender, ListItemsForThePainter) {
    RenderedList list;
    ASSERT_TRUE(FormatNumberValue(list, 5, "??0_)*x", nullptr));
    EXPECT_EQ(list.Text(), "5");
    const uint32_t kinds[] = {kRenderedBlank, kRenderedBlank, kFmtLiteral, kFmtSpace, kFmtFill};
    ASSERT_EQ(list.count, std::size(kinds));
    for (uint16_t k = 0; k < list.count; ++k) EXPECT_EQ(list.items[k].kind, kinds[k]) << k;
    ASSERT_TRUE(FormatNumberValue(list, -1234.5, "[red]#,##0.0_)", nullptr));
    EXPECT_EQ(list.literalCount, 6); // "-", five digits; not the separators or the space
    for (uint16_t k = 0; k < list.count; ++k) EXPECT_EQ(list.items[k].attribute, 0) << k;
    ASSERT_TRUE(list.Insert(3, kFmtLiteral, '\n', 7));
    EXPECT_EQ(list.Text(), "-1\n,234.5");
    EXPECT_EQ(list.literalCount, 7);
    EXPECT_EQ(list.items[3].attribute, 7);
    list.Clear();
    for (int k = 0; k < kMaxFormatTokens; ++k) ASSERT_TRUE(list.Add(kFmtDecimal, '.'));
    EXPECT_FALSE(list.Insert(0, kFmtLiteral, 'x')); // one past the last item
    EXPECT_EQ(list.overflow, 1);
    EXPECT_EQ(list.count, kMaxFormatTokens);
    EXPECT_EQ(list.literalCount, 0);
    EXPECT_EQ(list.items[0].ch, '.');
}

TEST(NumberRender, CachedAndFreshCompilationAgree) {
    for (const char* code : {"#,##0.00", "0.00E+00", "# ?/?", "[red]0;(0)", "#,##0,", "bad\""}) {
        for (double v : {0.0, -1.5, 1234.5678, 1e-7, 98765.4321}) {
            std::string cached, fresh;
            bool ok = FormatValueText(v, code, cached, nullptr);
            SetFormatCacheEnabled(false);
            EXPECT_EQ(FormatValueText(v, code, fresh, nullptr), ok) << code;
            SetFormatCacheEnabled(true);
            EXPECT_EQ(cached, fresh) << code << " on " << v;
        }
    }
}

TEST(NumberRender, ComplexNumbers) {
    EXPECT_EQ(FormatComplex(3, -4, "i"), "3 - 4i");
    EXPECT_EQ(FormatComplex(0, 0, "j"), "0 + 0j");
    EXPECT_EQ(FormatComplex(-1.5, 2.25, "i"), "-1.5 + 2.25i");
    // Fifteen significant digits in each part, however small.
    EXPECT_EQ(FormatComplex(2.08186856073021e-9, 0, "i"), "2.08186856073021e-009 + 0i");
    EXPECT_EQ(FormatComplex(0.0413926851582251, -1.0 / 3, "i"),
              "0.0413926851582251 - 0.333333333333333i");
    EXPECT_EQ(FormatComplex(1e-15, 1e20, "i"), "1e-015 + 1e+020i");
    // The plain form stays wherever it keeps the digits, though 15 digits would write 1e-005.
    EXPECT_EQ(FormatComplex(0.00001, -0.00001, "i"), "0.00001 - 0.00001i");
    EXPECT_EQ(FormatComplex(123456789012345678.0, 0.1 + 0.2, "i"), "1.23456789012346e+017 + 0.3i");
}

} // namespace vl
