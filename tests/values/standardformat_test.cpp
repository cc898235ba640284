#include "platform/core/bytes.h"
#include "values/formatdefaults.h"
#include "values/numfmt_compile.h"
#include "values/numfmt_number.h"
#include "values/standardformat.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vl {

namespace {

using namespace fmtparam;

struct Params {
    uint8_t bytes[kStandardFormatParams] = {};
};

// A parameter block from (position, value) pairs, a currency symbol and a fixed
// denominator.
Params P(std::initializer_list<std::pair<int, uint8_t>> set = {}, const char* symbol = "",
         uint64_t denominator = 0) {
    Params p;
    std::strncpy(reinterpret_cast<char*>(p.bytes + kCurrencySymbol), symbol, 14);
    if (denominator) StoreU64(p.bytes + kFixedDenominator, denominator);
    for (auto [at, v] : set) p.bytes[at] = v;
    return p;
}

struct Case {
    uint8_t kind;
    Params params;
    const char* code;
};

} // namespace

TEST(StandardFormat, BuildsTheTemplateOfEveryKind) {
    const Case cases[] = {
        {STD_STYLE_DEFAULT, {}, ""},
        {STD_STYLE_USER_DEFINED, {}, ""},
        {11, {}, "#.#"},
        // general
        {1, P({{kFixedDecimals, 1}, {kDecimals, 2}, {kThousands, 1}, {kNegativeStyle, 3}}),
         "#,##0.00;[red](#,##0.00)"},
        {1, {}, "0.#"},
        {1, P({{kFixedDecimals, 1}}), "0"},
        {1, P({{kFixedDecimals, 1}, {kNegativeStyle, 1}}), "0;[red]0"},
        {1, P({{kFixedDecimals, 1}, {kDecimals, 1}, {kNegativeStyle, 2}}), "0.0;(0.0)"},
        {1, P({{kFixedDecimals, 1}, {kZeroPadded, 1}, {kIntegerDigits, 4}}), "0000"},
        {1, P({{kFixedDecimals, 1}, {kZeroPadded, 1}, {kIntegerDigits, 0}}), "0"},
        {1, P({{kThousands, 1}, {kNegativeStyle, 9}}), "#,##0.#"},
        // currency
        {2, P({{kCurrencyDecimals, 2}, {kCurrencyNegative, 2}}, "$"),
         "\"$\"#,##0.00;(\"$\"#,##0.00)"},
        {2, P({{kSymbolPosition, 3}, {kCurrencyDecimals, 1}}, "EUR"), "#,##0.0\" EUR\""},
        {2, P({{kSymbolPosition, 1}, {kCurrencyNegative, 1}}, "kr"),
         "\"kr \"#,##0;[red]\"kr \"#,##0"},
        {2, P({{kSymbolPosition, 2}, {kCurrencyNegative, 3}}, "R"), "#,##0\"R\";[red](#,##0\"R\")"},
        // accounting
        {3, P({{kCurrencyDecimals, 2}}, "$"),
         "_(\"$\"* #,##0.00_);\\(\"$\"* #,##0.00\\);_(\"$\"* -??_);_(@_)"},
        {3, P({}, "$"), "_(\"$\"* #,##0_);\\(\"$\"* #,##0\\);_(\"$\"* -_);_(@_)"},
        // date and time
        {4, {}, "m/d/yyyy"},
        {4, P({{kDateStyle, 10}}), "dddd, mmmm dd, yyyy"},
        {4, P({{kDateStyle, 42}}), "m/d/yyyy"},
        {5, P({{kTimeStyle, 8}}), "[m]:ss.00"},
        {5, P({{kTimeStyle, 9}}), "[h]:mm:ss"},
        {6, P({{kDateStyle, 1}, {kTimeStyle, 6}}), "mm/dd/yyyy\\ hh:mm:ss"},
        {6, P({{kDateStyle, 1}, {kTimeStyle, 6}, {kTimeFirst, 1}}), "hh:mm:ss\\ mm/dd/yyyy"},
        // percentage, fraction, scientific
        {7, P({{kFixedDecimals, 1}, {kDecimals, 2}}), "#,##0.00\\%"},
        {7, P({{kFixedDecimals, 1}}), "#,##0\\%"},
        {7, {}, "#,##0.#\\%"},
        {8, P({{kDenominatorDigits, 2}}), "?\\ ?\?/??"},
        {8, P({{kDenominatorMode, 1}}, "", 16), "?\\ ?\?/\"16\""},
        {8, P({{kDenominatorMode, 1}}, "", 8), "?\\ ?/\"8\""},
        {9, P({{kFixedDecimals, 1}, {kDecimals, 2}}), "0.00e+00"},
        {9, {}, "0.#e+00"},
        {9, P({{kFixedDecimals, 1}}), "0e+00"},
        {9, P({{kFixedDecimals, 1}, {kExponentForm, 1}, {kExponentNumber, 3}}), "0e+\"03\""},
        {9, P({{kExponentForm, 2}, {kExponentNumber, 12}}), "0.#e-\"12\""},
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
    EXPECT_EQ(BuildStandardFormatCode(4, P().bytes, &set), "d.m.yyyy");
    EXPECT_EQ(BuildStandardFormatCode(4, P({{kDateStyle, 9}}).bytes, &set), "yyyy, mmmm d");
    Params general = P({{kFixedDecimals, 1}, {kDecimals, 1}, {kThousands, 1}});
    EXPECT_EQ(BuildStandardFormatCode(1, general.bytes, &set), "# ##0,0");
    // The date-order flag takes the order of the user set instead.
    SeparatorSet saved = UserSeparators();
    UserSeparators().shortDateOrder = 2;
    EXPECT_EQ(BuildStandardFormatCode(4, P({{kDateOrderFlag, 1}}).bytes), "yyyy/m/d");
    UserSeparators() = saved;
}

TEST(StandardFormat, EveryTemplateCompilesAndRenders) {
    for (uint8_t kind = 1; kind <= 11; ++kind) {
        for (uint8_t style = 0; style <= 11; ++style) {
            Params p = P({{kFixedDecimals, 1},
                          {kDecimals, 2},
                          {kDateStyle, style},
                          {kTimeStyle, style},
                          {kNegativeStyle, uint8_t(style % 4)}},
                         "$");
            if (kind == STD_STYLE_FRACTION) p = P({{kDenominatorDigits, 2}});
            std::string code = BuildStandardFormatCode(kind, p.bytes);
            CompiledFormat f;
            // An elapsed time after a date has no meaning: it falls back to the plain text.
            bool elapsedAfterDate = kind == STD_STYLE_DATE_TIME && (style == 8 || style == 9);
            EXPECT_EQ(CompileFormatCode(f, code), !elapsedAfterDate) << int(kind) << ": " << code;
        }
    }
    struct Shown {
        double value;
        uint8_t kind;
        Params params;
        const char* text;
    } shown[] = {
        {-1234.5, 1, P({{kFixedDecimals, 1}, {kDecimals, 2}, {kThousands, 1}, {kNegativeStyle, 3}}),
         "(1,234.50)"},
        {0, 3, P({{kCurrencyDecimals, 2}}, "$"), "$-"},
        {-3.5, 3, P({{kCurrencyDecimals, 2}}, "$"), "($3.50)"},
        {1.5, 8, P({{kDenominatorMode, 1}}, "", 2), "1 1/2"},
        {123456, 9, P({{kFixedDecimals, 1}, {kDecimals, 2}}), "1.23e+05"},
        // a symbol holding a double quote is still quoted text
        {-1234.5, 2, P({{kCurrencyDecimals, 2}, {kCurrencyNegative, 2}}, "a\"b"), "(a\"b1,234.50)"},
        {7, 2, P({{kSymbolPosition, 3}}, "\""), "7 \""},
        {0, 3, P({{kCurrencyDecimals, 1}}, "\"\""), "\"\"-"},
    };
    for (const Shown& s : shown) {
        std::string text;
        EXPECT_TRUE(FormatValueText(s.value, BuildStandardFormatCode(s.kind, s.params.bytes), text,
                                    nullptr));
        EXPECT_EQ(text, s.text);
    }
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

namespace vl {

// A kind given alone starts from its own settings, each of which a stored file keeps.
TEST(StandardFormat, DefaultsOfEveryKindAreValidAndShowTheirNumber) {
    struct Case {
        uint8_t kind;
        const char* code; // null where the user's settings decide
    } const cases[] = {
        {STD_STYLE_DEFAULT, ""},         {STD_STYLE_GENERAL, "0.#"},
        {STD_STYLE_CURRENCY, nullptr},   {STD_STYLE_ACCOUNTING, nullptr},
        {STD_STYLE_DATE, nullptr},       {STD_STYLE_TIME, nullptr},
        {STD_STYLE_DATE_TIME, nullptr},  {STD_STYLE_PERCENTAGE, "#,##0.#\\%"},
        {STD_STYLE_FRACTION, "?\\ ?/?"}, {STD_STYLE_SCIENTIFIC, "0.#e+00"},
        {STD_STYLE_USER_DEFINED, ""},
    };
    for (const Case& c : cases) {
        const StandardFormat f = DefaultStandardFormat(c.kind);
        EXPECT_EQ(f.kind, c.kind);
        EXPECT_TRUE(IsValidStandardFormat(f)) << int(c.kind);
        if (c.code) {
            EXPECT_STREQ(f.code, c.code) << int(c.kind);
        }
        if (c.kind != STD_STYLE_DEFAULT && c.kind != STD_STYLE_USER_DEFINED) {
            EXPECT_NE(f.code[0], 0) << int(c.kind);
        }
    }
    const StandardFormat fraction = DefaultStandardFormat(STD_STYLE_FRACTION);
    EXPECT_EQ(fraction.params[kDenominatorDigits], 1);
    EXPECT_EQ(LoadU64(fraction.params + kFixedDenominator), 2u);
    const StandardFormat scientific = DefaultStandardFormat(STD_STYLE_SCIENTIFIC);
    EXPECT_EQ(scientific.params[kDecimals], 2);
    EXPECT_EQ(scientific.params[kExponentNumber], 10);
    EXPECT_EQ(DefaultStandardFormat(STD_STYLE_ACCOUNTING).params[kCurrencyDecimals], 2);
}

// Each setting at the last value a file keeps and the first it refuses.
TEST(StandardFormat, ValidSettingsEndAtTheirLimits) {
    struct Case {
        uint8_t kind;
        Params params;
        bool valid;
    } const cases[] = {
        {STD_STYLE_FRACTION, P({{kDenominatorDigits, 0}}), false},
        {STD_STYLE_FRACTION, P({{kDenominatorDigits, 1}}), true},
        {STD_STYLE_FRACTION, P({{kDenominatorDigits, 14}}), true},
        {STD_STYLE_FRACTION, P({{kDenominatorDigits, 15}}), false},
        {STD_STYLE_FRACTION, P({{kDenominatorMode, 1}}), false},
        {STD_STYLE_FRACTION, P({{kDenominatorMode, 1}}, "", 1), true},
        {STD_STYLE_FRACTION, P({{kDenominatorMode, 1}}, "", 4294967294u), true},
        {STD_STYLE_FRACTION, P({{kDenominatorMode, 1}}, "", 4294967295u), false},
        {STD_STYLE_SCIENTIFIC, P({{kExponentForm, 2}, {kExponentNumber, 99}}), true},
        {STD_STYLE_SCIENTIFIC, P({{kExponentForm, 1}, {kExponentNumber, 100}}), false},
        {STD_STYLE_SCIENTIFIC, P({{kExponentNumber, 100}}), true}, // free exponent
        {STD_STYLE_PERCENTAGE, P({{kFixedDecimals, 1}, {kDecimals, 14}}), true},
        {STD_STYLE_PERCENTAGE, P({{kFixedDecimals, 1}, {kDecimals, 15}}), false},
        {STD_STYLE_GENERAL, P({{kZeroPadded, 1}, {kIntegerDigits, 15}}), false},
        {STD_STYLE_GENERAL, P({{kNegativeStyle, 3}}), true},
        {STD_STYLE_GENERAL, P({{kNegativeStyle, 4}}), false},
        {STD_STYLE_CURRENCY, P({{kCurrencyDecimals, 14}, {kSymbolPosition, 3}}), true},
        {STD_STYLE_CURRENCY, P({{kCurrencyDecimals, 15}}), false},
        {STD_STYLE_CURRENCY, P({{kSymbolPosition, 4}}), false},
        {STD_STYLE_ACCOUNTING, P({{kCurrencyDecimals, 15}}), false},
        {STD_STYLE_TIME, P({{kTimeStyle, 9}}), true},
        {STD_STYLE_TIME, P({{kTimeStyle, 10}}), false},
        {STD_STYLE_DATE, P({{kDateStyle, 10}}), true},
        {STD_STYLE_DATE, P({{kDateStyle, 11}}), false},
        {STD_STYLE_DATE_TIME, P({{kDateStyle, 10}, {kTimeStyle, 10}}), true},
        {STD_STYLE_DATE_TIME, P({{kTimeStyle, 11}}), false},
    };
    int n = 0;
    for (const Case& c : cases) {
        StandardFormat f;
        f.kind = c.kind;
        std::memcpy(f.params, c.params.bytes, kStandardFormatParams);
        EXPECT_EQ(IsValidStandardFormat(f), c.valid) << "case " << n++;
    }
}

} // namespace vl
