#include "app/core/settings.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "formula/translate.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vl {

namespace {

using namespace fmtparam;

class CellTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedSeparators_ = UserSeparators();
        savedProfile_ = Profile();
    }
    void TearDown() override {
        UserSeparators() = savedSeparators_;
        Profile() = savedProfile_;
    }

    static StandardFormat Format(uint8_t kind, std::initializer_list<std::pair<int, uint8_t>> bytes,
                                 const char* code = "") {
        StandardFormat f;
        f.kind = kind;
        for (auto [at, v] : bytes) f.params[at] = v;
        std::strcpy(f.code, code);
        return f;
    }

    std::string ShowNumber(double v, const StandardFormat& f) {
        CellBuffer b;
        MakeNumberCell(b, 0, 0, v);
        std::string text;
        EXPECT_TRUE(FormatCellValue(b.data(), f, text));
        return text;
    }
    std::string ShowText(const char* t, const StandardFormat& f) {
        CellBuffer b;
        MakeTextCell(b, 0, 0, t);
        std::string text;
        EXPECT_TRUE(FormatCellValue(b.data(), f, text));
        return text;
    }
    void Put(const CellBuffer& b) {
        CellCursor cursor;
        ASSERT_TRUE(cells_.PutCell(b.data(), cursor));
    }
    void PutNumber(uint16_t column, uint32_t row, double v) {
        CellBuffer b;
        MakeNumberCell(b, column, row, v);
        Put(b);
    }
    void PutText(uint16_t column, uint32_t row, const char* t) {
        CellBuffer b;
        MakeTextCell(b, column, row, t);
        Put(b);
    }
    void PutFormula(uint16_t column, uint32_t row, const char* formula, double result,
                    uint8_t error = 0) {
        CellBuffer b;
        FormulaHead head;
        head.arrayWidth = 1;
        head.cachedNumber = result;
        head.flags = uint8_t(kCellFormula | (error << 4));
        MakeFormulaCell(b, column, row, head, formula);
        Put(b);
    }

    CEvalContext ctx_;
    CCellStore cells_;
    SeparatorSet savedSeparators_;
    SettingsProfile savedProfile_;
};

} // namespace

TEST_F(CellTextTest, NumbersThroughTheirStandardOrUserFormat) {
    struct Case {
        double value;
        StandardFormat format;
        const char* text;
    } cases[] = {
        {0.125, Format(STD_STYLE_PERCENTAGE, {{kFixedDecimals, 1}, {kDecimals, 2}}), "12.50%"},
        {1234567, Format(STD_STYLE_GENERAL, {{kFixedDecimals, 1}, {kThousands, 1}}), "1,234,567"},
        {-2, Format(STD_STYLE_GENERAL, {{kFixedDecimals, 1}, {kDecimals, 2}, {kNegativeStyle, 3}}),
         "(2.00)"},
        {1234.5, Format(STD_STYLE_DEFAULT, {}), "1234.5"},
        {1234.5, Format(STD_STYLE_DATE, {}), "1234.5"},
        {7, Format(STD_STYLE_USER_DEFINED, {}, "000"), "007"},
        {7, Format(STD_STYLE_USER_DEFINED, {}, "\"bad"), "7"},
        {1.5, Format(STD_STYLE_FRACTION, {{kDenominatorDigits, 1}}), "1 1/2"},
        {123456, Format(STD_STYLE_SCIENTIFIC, {{kFixedDecimals, 1}, {kDecimals, 2}}), "1.23e+05"},
        {123456,
         Format(STD_STYLE_SCIENTIFIC,
                {{kFixedDecimals, 1}, {kExponentForm, 1}, {kExponentNumber, 3}}),
         "123e+03"},
        // Beyond what the renderer can show: the plain form.
        {1.7e308, Format(STD_STYLE_PERCENTAGE, {}), "1.7e+308"},
    };
    for (const Case& c : cases) EXPECT_EQ(ShowNumber(c.value, c.format), c.text) << c.text;
    StandardFormat currency = Format(STD_STYLE_CURRENCY, {{kCurrencyDecimals, 2}});
    std::strcpy(reinterpret_cast<char*>(currency.params), "$");
    EXPECT_EQ(ShowNumber(1234.5, currency), "$1,234.50");
}

TEST_F(CellTextTest, IsoTextThroughDateFormats) {
    EXPECT_EQ(ShowText("2006-01-31", Format(STD_STYLE_DATE, {})), "1/31/2006");
    EXPECT_EQ(ShowText("2006-01-31", Format(STD_STYLE_DEFAULT, {})), "2006-01-31");
    EXPECT_EQ(ShowText("abc", Format(STD_STYLE_DATE, {})), "abc");
    EXPECT_EQ(ShowText("2006-01-31", Format(STD_STYLE_DATE, {{kDateStyle, 10}})),
              "Tuesday, January 31, 2006");
    EXPECT_EQ(ShowText("13:05:09", Format(STD_STYLE_TIME, {{kTimeStyle, 1}})), "1:05 PM");
    EXPECT_EQ(ShowText("PT63H30M", Format(STD_STYLE_TIME, {{kTimeStyle, 9}})), "63:30:00");
    EXPECT_EQ(ShowText("2006-01-31", Format(STD_STYLE_USER_DEFINED, {}, "d mmm yyyy")),
              "31 Jan 2006");
    EXPECT_EQ(ShowText("2006-01-31", Format(STD_STYLE_PERCENTAGE, {})), "2006-01-31");

    SeparatorSet& user = UserSeparators();
    user.date = '.';
    user.shortDateOrder = 1;
    EXPECT_EQ(ShowText("2006-01-31", Format(STD_STYLE_DATE, {{kDateOrderFlag, 1}})), "31.1.2006");
    EXPECT_EQ(ShowText("2006-01-31", Format(STD_STYLE_DATE, {})), "1.31.2006");
}

TEST_F(CellTextTest, ErrorsShowTheirNameWhateverTheFormat) {
    CellBuffer b;
    MakeNumberCell(b, 0, 0, 0, 4);
    std::string text;
    FormatCellValue(b.data(), Format(STD_STYLE_PERCENTAGE, {}), text);
    EXPECT_EQ(text, "#N/A!");
    RenderedList list;
    CCellDisplay display(ctx_, false);
    ASSERT_TRUE(display.GetCellDisplayText(b.data(), Format(STD_STYLE_DATE, {}), list));
    EXPECT_EQ(list.Text(), "#N/A!");
    MakeNumberCell(b, 0, 0, 0, 13); // no such error
    FormatCellValue(b.data(), StandardFormat{}, text);
    EXPECT_EQ(text, "");
}

TEST_F(CellTextTest, DisplayListsCarryColoursAndUserSeparators) {
    UserSeparators().decimal = ',';
    UserSeparators().thousands = '.';
    CellBuffer b;
    MakeNumberCell(b, 0, 0, -1234.5);
    RenderedList list;
    CCellDisplay display(ctx_, false);
    ASSERT_TRUE(display.GetCellDisplayText(
        b.data(),
        Format(STD_STYLE_GENERAL,
               {{kFixedDecimals, 1}, {kDecimals, 2}, {kThousands, 1}, {kNegativeStyle, 3}}),
        list));
    EXPECT_EQ(list.Text(), "(1.234,50)");
    EXPECT_TRUE(list.hasColor);
    EXPECT_EQ(list.color, 0x0000FFu);
    ASSERT_TRUE(display.GetCellDisplayText(b.data(), Format(STD_STYLE_DEFAULT, {}), list));
    EXPECT_EQ(list.Text(), "-1234,5");
    ASSERT_TRUE(
        display.GetCellDisplayText(b.data(), Format(STD_STYLE_USER_DEFINED, {}, "0.0E+"), list));
    EXPECT_EQ(list.Text(), "-1234,5"); // a broken code: the plain form
}

TEST_F(CellTextTest, FormulasShowInTheUserForm) {
    Profile().addressingA1 = 1;
    PutFormula(0, 1, "=R[-1]C+1", 8);
    const uint8_t* cell = FindCell(cells_, 1, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(GetCellText(ctx_, cells_, 0, 1, 0, 1, false, false), "=A1+1");
    std::string text;
    FormatCellValue(cell, StandardFormat{}, text);
    EXPECT_EQ(text, "8");

    RenderedList list;
    CCellDisplay display(ctx_, false);
    ASSERT_TRUE(display.GetCellDisplayText(cell, StandardFormat{}, list));
    EXPECT_EQ(list.Text(), "8");
    display.SetShowFormulas(true);
    ASSERT_TRUE(display.GetCellDisplayText(cell, StandardFormat{}, list));
    EXPECT_EQ(list.Text(), "=A1+1");
    PutFormula(1, 1, "=R[-1]C/0", 0, 1);
    ASSERT_TRUE(display.GetCellDisplayText(FindCell(cells_, 1, 1), StandardFormat{}, list));
    EXPECT_EQ(list.Text(), "=R[-1]C/0"); // an error result shows the stored text

    Profile().addressingA1 = 0;
    EXPECT_EQ(GetCellText(ctx_, cells_, 0, 1, 0, 1, false, false), "=R[-1]C+1");
    EXPECT_EQ(DescribeCell(ctx_, cells_, 1, 0, {"Error", "Formula", "Number", "Text", "Empty"}),
              "Formula: =R[-1]C+1");
}

TEST_F(CellTextTest, CellTextsAndRangesAsArrayConstants) {
    PutNumber(0, 0, 1);
    PutNumber(1, 0, 2);
    PutNumber(0, 1, 3);
    PutNumber(1, 1, 4.5);
    PutText(2, 0, "abc");
    EXPECT_EQ(GetCellText(ctx_, cells_, 0, 0, 1, 1, false, false), "={1,2;3,4.5}");
    EXPECT_EQ(GetCellText(ctx_, cells_, 0, 0, 2, 0, false, false), "={1,2,\"abc\"}");
    EXPECT_EQ(GetCellText(ctx_, cells_, 0, 0, 0, 0, false, true), "={1}");
    EXPECT_EQ(GetCellText(ctx_, cells_, 2, 0, 2, 0, false, false), "abc");
    EXPECT_EQ(GetCellText(ctx_, cells_, 2, 0, 2, 0, true, false), "\"abc\"");
    EXPECT_EQ(GetCellText(ctx_, cells_, 1, 1, 1, 1, true, false), "4.5");
    EXPECT_EQ(GetCellText(ctx_, cells_, 5, 5, 5, 5, false, false), "");

    SeparatorSet& user = UserSeparators();
    user.decimal = ',';
    user.list = ';';
    user.arrayRow = '|';
    EXPECT_EQ(GetCellText(ctx_, cells_, 0, 0, 1, 1, false, false), "={1;2|3;4,5}");

    // Whole columns: the text stops at its limit instead of walking every row.
    std::string whole = GetCellText(ctx_, cells_, 0, 0, 0, kLastRow, false, false);
    EXPECT_LE(whole.size(), kMaxFormulaText);
    EXPECT_EQ(whole.substr(0, 6), "={1|3|");
    EXPECT_EQ(whole.back(), '}');

    EXPECT_EQ(DescribeCell(ctx_, cells_, 1, 1, {"Error", "Formula", "Number", "Text", "Empty"}),
              "Number: 4,5");
    EXPECT_EQ(DescribeCell(ctx_, cells_, 0, 2, {"Error", "Formula", "Number", "Text", "Empty"}),
              "Text: abc");
    EXPECT_EQ(DescribeCell(ctx_, cells_, 9, 9, {"Error", "Formula", "Number", "Text", "Empty"}),
              "Empty");
}

} // namespace vl
