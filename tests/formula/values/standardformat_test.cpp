#include "formula/values/numfmt_compile.h"
#include "formula/values/numfmt_number.h"
#include "formula/values/standardformat.h"
#include "platform/core/bytes.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vl {

namespace {

using namespace fmtparam;

struct Params {
    uint8_t bytes[kStandardFormatParams] = {};
    Params& Set(int at, uint8_t v) {
        bytes[at] = v;
        return *this;
    }
    Params& Symbol(const char* s) {
        std::strncpy(reinterpret_cast<char*>(bytes + kCurrencySymbol), s, 14);
        return *this;
    }
    Params& Denominator(uint64_t d) {
        StoreU64(bytes + kFixedDenominator, d);
        return *this;
    }
};

struct Case {
    uint8_t kind;
    Params params;
    const char* code;
};

} // namespace

TEST(StandardFormat, BuildsTheTemplateOfEveryKind) {
    const Case cases[] = {
        {STD_STYLE_DEFAULT, Params(), ""},
        {STD_STYLE_USER_DEFINED, Params(), ""},
        {11, Params(), "#.#"},
        // general
        {1,
         Params()
             .Set(kFixedDecimals, 1)
             .Set(kDecimals, 2)
             .Set(kThousands, 1)
             .Set(kNegativeStyle, 3),
         "#,##0.00;[red](#,##0.00)"},
        {1, Params(), "0.#"},
        {1, Params().Set(kFixedDecimals, 1), "0"},
        {1, Params().Set(kFixedDecimals, 1).Set(kNegativeStyle, 1), "0;[red]0"},
        {1, Params().Set(kFixedDecimals, 1).Set(kDecimals, 1).Set(kNegativeStyle, 2), "0.0;(0.0)"},
        {1, Params().Set(kFixedDecimals, 1).Set(kZeroPadded, 1).Set(kIntegerDigits, 4), "0000"},
        {1, Params().Set(kFixedDecimals, 1).Set(kZeroPadded, 1).Set(kIntegerDigits, 0), "0"},
        {1, Params().Set(kThousands, 1).Set(kNegativeStyle, 9), "#,##0.#"},
        // currency
        {2, Params().Symbol("$").Set(kCurrencyDecimals, 2).Set(kCurrencyNegative, 2),
         "\"$\"#,##0.00;(\"$\"#,##0.00)"},
        {2, Params().Symbol("$").Set(kCurrencyNegative, 2), "\"$\"#,##0;(\"$\"#,##0)"},
        {2, Params().Symbol("EUR").Set(kSymbolPosition, 3).Set(kCurrencyDecimals, 1),
         "#,##0.0\" EUR\""},
        {2, Params().Symbol("kr").Set(kSymbolPosition, 1).Set(kCurrencyNegative, 1),
         "\"kr \"#,##0;[red]\"kr \"#,##0"},
        {2, Params().Symbol("R").Set(kSymbolPosition, 2).Set(kCurrencyNegative, 3),
         "#,##0\"R\";[red](#,##0\"R\")"},
        // accounting
        {3, Params().Symbol("$").Set(kCurrencyDecimals, 2),
         "_(\"$\"* #,##0.00_);\\(\"$\"* #,##0.00\\);_(\"$\"* -??_);_(@_)"},
        {3, Params().Symbol("$"), "_(\"$\"* #,##0_);\\(\"$\"* #,##0\\);_(\"$\"* -_);_(@_)"},
        // date and time
        {4, Params(), "m/d/yyyy"},
        {4, Params().Set(kDateStyle, 10), "dddd, mmmm dd, yyyy"},
        {4, Params().Set(kDateStyle, 6), "mmm-d"},
        {4, Params().Set(kDateStyle, 42), "m/d/yyyy"},
        {5, Params().Set(kTimeStyle, 3), "hh:mm AM/PM"},
        {5, Params().Set(kTimeStyle, 8), "[m]:ss.00"},
        {5, Params().Set(kTimeStyle, 9), "[h]:mm:ss"},
        {5, Params().Set(kTimeStyle, 10), "h:mm"},
        {6, Params().Set(kDateStyle, 1).Set(kTimeStyle, 6), "mm/dd/yyyy\\ hh:mm:ss"},
        {6, Params().Set(kDateStyle, 1).Set(kTimeStyle, 6).Set(kTimeFirst, 1),
         "hh:mm:ss\\ mm/dd/yyyy"},
        // percentage, fraction, scientific
        {7, Params().Set(kFixedDecimals, 1).Set(kDecimals, 2), "#,##0.00\\%"},
        {7, Params().Set(kFixedDecimals, 1), "#,##0\\%"},
        {7, Params(), "#,##0.#\\%"},
        {8, Params().Set(kDenominatorDigits, 2), "?\\ ?\?/??"},
        {8, Params().Set(kDenominatorMode, 1).Denominator(16), "?\\ ?\?/\"16\""},
        {8, Params().Set(kDenominatorMode, 1).Denominator(8), "?\\ ?/\"8\""},
        {9, Params().Set(kFixedDecimals, 1).Set(kDecimals, 2), "0.00e+00"},
        {9, Params(), "0.#e+00"},
        {9, Params().Set(kFixedDecimals, 1), "0e+00"},
        {9, Params().Set(kFixedDecimals, 1).Set(kExponentForm, 1).Set(kExponentNumber, 3),
         "0e+\"03\""},
        {9, Params().Set(kExponentForm, 2).Set(kExponentNumber, 12), "0.#e-\"12\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildStandardFormatCode(c.kind, c.params.bytes), c.code) << int(c.kind);
}

TEST(StandardFormat, TakesSeparatorsAndDateOrdersFromTheSet) {
    SeparatorSet set;
    set.date = '.';
    set.shortDateOrder = 1;
    set.longDateOrder = 2;
    set.decimal = ',';
    set.thousands = ' ';
    Params p;
    EXPECT_EQ(BuildStandardFormatCode(4, p.bytes, &set), "d.m.yyyy");
    EXPECT_EQ(BuildStandardFormatCode(4, p.Set(kDateStyle, 9).bytes, &set), "yyyy, mmmm d");
    EXPECT_EQ(
        BuildStandardFormatCode(
            1, Params().Set(kFixedDecimals, 1).Set(kDecimals, 1).Set(kThousands, 1).bytes, &set),
        "# ##0,0");
    // The date-order flag takes the order of the user set instead.
    SeparatorSet saved = UserSeparators();
    UserSeparators().shortDateOrder = 2;
    EXPECT_EQ(BuildStandardFormatCode(4, Params().Set(kDateOrderFlag, 1).bytes), "yyyy/m/d");
    UserSeparators() = saved;
}

TEST(StandardFormat, EveryTemplateCompilesAndRenders) {
    for (uint8_t kind = 1; kind <= 11; ++kind) {
        for (uint8_t style = 0; style <= 11; ++style) {
            Params p = Params().Symbol("$").Set(kFixedDecimals, 1).Set(kDecimals, 2);
            p.Set(kDateStyle, style).Set(kTimeStyle, style).Set(kNegativeStyle, style % 4);
            if (kind == STD_STYLE_FRACTION) p.Set(kDenominatorMode, 0).Set(kDenominatorDigits, 2);
            std::string code = BuildStandardFormatCode(kind, p.bytes);
            CompiledFormat f;
            // An elapsed time after a date has no meaning: it falls back to the plain text.
            bool elapsedAfterDate = kind == STD_STYLE_DATE_TIME && (style == 8 || style == 9);
            EXPECT_EQ(CompileFormatCode(f, code), !elapsedAfterDate) << int(kind) << ": " << code;
        }
    }
    std::string text;
    Params general = Params().Set(kFixedDecimals, 1).Set(kDecimals, 2).Set(kThousands, 1);
    ASSERT_TRUE(FormatValueText(
        -1234.5, BuildStandardFormatCode(1, general.Set(kNegativeStyle, 3).bytes), text, nullptr));
    EXPECT_EQ(text, "(1,234.50)");
    Params accounting = Params().Symbol("$").Set(kCurrencyDecimals, 2);
    ASSERT_TRUE(FormatValueText(0, BuildStandardFormatCode(3, accounting.bytes), text, nullptr));
    EXPECT_EQ(text, "$-");
    ASSERT_TRUE(FormatValueText(-3.5, BuildStandardFormatCode(3, accounting.bytes), text, nullptr));
    EXPECT_EQ(text, "($3.50)");
    ASSERT_TRUE(FormatValueText(
        1.5, BuildStandardFormatCode(8, Params().Set(kDenominatorMode, 1).Denominator(2).bytes),
        text, nullptr));
    EXPECT_EQ(text, "1 1/2");
    ASSERT_TRUE(FormatValueText(
        123456, BuildStandardFormatCode(9, Params().Set(kFixedDecimals, 1).Set(kDecimals, 2).bytes),
        text, nullptr));
    EXPECT_EQ(text, "1.23e+05");
}

TEST(StandardFormat, RebuildsTheCodeOfTheRecordButKeepsAUserCode) {
    StandardFormat f;
    f.kind = STD_STYLE_PERCENTAGE;
    f.params[kFixedDecimals] = 1;
    f.params[kDecimals] = 2;
    std::strcpy(f.code, "stale");
    BuildStandardFormatCode(f);
    EXPECT_STREQ(f.code, "#,##0.00\\%");
    f.kind = STD_STYLE_USER_DEFINED;
    std::strcpy(f.code, "0.0");
    BuildStandardFormatCode(f);
    EXPECT_STREQ(f.code, "0.0");
    // The longest template still fits the record whole.
    f.kind = STD_STYLE_GENERAL;
    std::memset(f.params, 0, sizeof f.params);
    f.params[kFixedDecimals] = 1;
    f.params[kDecimals] = 255;
    f.params[kZeroPadded] = 1;
    f.params[kIntegerDigits] = 255;
    f.params[kNegativeStyle] = 3;
    BuildStandardFormatCode(f);
    EXPECT_EQ(std::strlen(f.code), std::size_t(1030));
    EXPECT_EQ(std::string(f.code).substr(1020), "000000000)");
}

TEST(StandardFormat, StoredRecordIsWrittenFieldByFieldInItsOwnSize) {
    StandardFormat f;
    f.kind = STD_STYLE_FRACTION;
    for (int k = 0; k < kStandardFormatParams; ++k) f.params[k] = uint8_t(3 + 7 * k);
    std::memset(f.code, 'c', kMaxFormatCode); // the longest code, its NUL at the field's end
    uint8_t bytes[kStandardFormatSize + 8];
    std::memset(bytes, 0xAB, sizeof bytes);
    WriteStandardFormat(bytes, f);
    EXPECT_EQ(bytes[0], STD_STYLE_FRACTION);
    for (int k = 1; k < 8; ++k) EXPECT_EQ(bytes[k], 0) << k;
    EXPECT_EQ(std::memcmp(bytes + 8, f.params, kStandardFormatParams), 0);
    EXPECT_EQ(bytes[32], 'c');
    EXPECT_EQ(bytes[32 + kMaxFormatCode - 1], 'c');
    EXPECT_EQ(bytes[kStandardFormatSize - 1], 0);
    EXPECT_EQ(bytes[kStandardFormatSize], 0xAB); // nothing past the record
    StandardFormat back;
    back.kind = 0x5A;
    std::memset(back.params, 0x5A, sizeof back.params);
    std::memset(back.code, 0x5A, sizeof back.code);
    ReadStandardFormat(bytes, back);
    EXPECT_EQ(back.kind, f.kind);
    EXPECT_EQ(std::memcmp(back.params, f.params, kStandardFormatParams), 0);
    EXPECT_STREQ(back.code, f.code);
    // A stored code that fills its field without a NUL is cut at the field's end.
    std::memset(bytes + 32, 'z', kStandardFormatSize - 32);
    ReadStandardFormat(bytes, back);
    EXPECT_EQ(std::strlen(back.code), std::size_t(kMaxFormatCode));
}

} // namespace vl
