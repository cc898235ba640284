#include "core/settings.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "formula/translate.h"
#include "separatortestutil.h"

#include <cstring>
#include <gtest/gtest.h>
#include <tuple>

namespace vl {

namespace {

using namespace fmtparam;

StandardFormat Format(uint8_t kind, std::initializer_list<std::pair<int, uint8_t>> bytes = {},
                      const char* code = "") {
    StandardFormat f;
    f.kind = kind;
    for (auto [at, v] : bytes) f.params[at] = v;
    std::strcpy(f.code, code);
    return f;
}

// A number cell (with an error code when `error` is set) or, with `text`, a text cell.
struct Value {
    double number = 0;
    const char* text = nullptr;
    uint8_t error = 0;
};

CellBuffer Cell(const Value& v, uint16_t column = 0, uint32_t row = 0) {
    CellBuffer b;
    if (v.text)
        MakeTextCell(b, column, row, v.text);
    else
        MakeNumberCell(b, column, row, v.number, v.error);
    return b;
}

class CellTextTest : public formulatest::SettingsTest {
protected:
    void Put(const CellBuffer& b) {
        CellCursor cursor;
        ASSERT_TRUE(cells_.PutCell(b.data(), cursor));
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
    std::string Displayed(const uint8_t* cell, const StandardFormat& format) {
        EXPECT_TRUE(display_.GetCellDisplayText(cell, format, list_));
        return list_.Text();
    }
    std::string Describe(uint32_t row, uint16_t column) {
        return DescribeCell(ctx_, cells_, row, column,
                            {"Error", "Formula", "Number", "Text", "Empty"});
    }

    CEvalContext ctx_;
    CCellDisplay display_{ctx_, false};
    RenderedList list_;
    CCellStore cells_;
};

} // namespace

// The value of a cell through its format, as plain text and as the painter's list alike.
TEST_F(CellTextTest, ValuesThroughTheirStandardOrUserFormat) {
    StandardFormat currency = Format(STD_STYLE_CURRENCY, {{kCurrencyDecimals, 2}});
    std::strcpy(reinterpret_cast<char*>(currency.params), "$");
    struct Case {
        Value value;
        StandardFormat format;
        const char* text;
    } cases[] = {
        {{-2},
         Format(STD_STYLE_GENERAL, {{kFixedDecimals, 1}, {kDecimals, 2}, {kNegativeStyle, 3}}),
         "(2.00)"},
        {{1234.5}, Format(STD_STYLE_DEFAULT), "1234.5"},
        // General keeps 15 significant digits, in exponent form where that is shorter.
        {{5.444511618e-13}, Format(STD_STYLE_DEFAULT), "5.444511618E-13"},
        {{1.0 / 700}, Format(STD_STYLE_DEFAULT), "0.00142857142857143"},
        {{-3e23}, Format(STD_STYLE_DEFAULT), "-3E+23"},
        {{1234.5}, Format(STD_STYLE_DATE), "1234.5"},
        {{1234.5}, currency, "$1,234.50"},
        {{7}, Format(STD_STYLE_USER_DEFINED, {}, "000"), "007"},
        {{7}, Format(STD_STYLE_USER_DEFINED, {}, "\"bad"), "7"}, // a broken code: plain
        {{1.7e308}, Format(STD_STYLE_PERCENTAGE), "1.7E+308"},   // beyond the renderer: plain
        {{0, "2006-01-31"}, Format(STD_STYLE_DATE), "1/31/2006"},
        {{0, "2006-01-31"}, Format(STD_STYLE_DEFAULT), "2006-01-31"},
        {{0, "abc"}, Format(STD_STYLE_DATE), "abc"},
        {{0, "13:05:09"}, Format(STD_STYLE_TIME, {{kTimeStyle, 1}}), "1:05 PM"},
        {{0, "PT63H30M"}, Format(STD_STYLE_TIME, {{kTimeStyle, 9}}), "63:30:00"},
        {{0, "2006-01-31"}, Format(STD_STYLE_USER_DEFINED, {}, "d mmm yyyy"), "31 Jan 2006"},
        {{0, "2006-01-31"}, Format(STD_STYLE_PERCENTAGE), "2006-01-31"},
        {{0, nullptr, 4}, Format(STD_STYLE_PERCENTAGE), "#N/A!"}, // errors whatever the format
        {{0, nullptr, 13}, Format(STD_STYLE_DEFAULT), ""},        // no such error
    };
    for (const Case& c : cases) {
        CellBuffer b = Cell(c.value);
        std::string text;
        EXPECT_TRUE(FormatCellValue(b.data(), c.format, text));
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(Displayed(b.data(), c.format), c.text);
    }
    SeparatorSet& user = UserSeparators();
    user.date = '.';
    user.shortDateOrder = 1;
    CellBuffer date = Cell({0, "2006-01-31"});
    std::string text;
    FormatCellValue(date.data(), Format(STD_STYLE_DATE, {{kDateOrderFlag, 1}}), text);
    EXPECT_EQ(text, "31.1.2006");
    FormatCellValue(date.data(), Format(STD_STYLE_DATE), text);
    EXPECT_EQ(text, "1.31.2006");
}

TEST_F(CellTextTest, DisplayListsCarryColoursAndUserSeparators) {
    UserSeparators().decimal = ',';
    UserSeparators().thousands = '.';
    CellBuffer b = Cell({-1234.5});
    EXPECT_EQ(Displayed(b.data(), Format(STD_STYLE_GENERAL, {{kFixedDecimals, 1},
                                                             {kDecimals, 2},
                                                             {kThousands, 1},
                                                             {kNegativeStyle, 3}})),
              "(1.234,50)");
    EXPECT_TRUE(list_.hasColor);
    EXPECT_EQ(list_.color, 0x0000FFu);
    EXPECT_EQ(Displayed(b.data(), Format(STD_STYLE_DEFAULT)), "-1234,5");
    EXPECT_EQ(Displayed(b.data(), Format(STD_STYLE_USER_DEFINED, {}, "0.0E+")), "-1234,5");
}

TEST_F(CellTextTest, FormulasShowInTheUserForm) {
    Profile().addressingA1 = 1;
    PutFormula(0, 1, "=R[-1]C+1", 8);
    PutFormula(1, 1, "=R[-1]C/0", 0, 1);
    const uint8_t* cell = FindCell(cells_, 1, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(GetCellText(ctx_, cells_, 0, 1, 0, 1, false, false), "=A1+1");
    std::string text;
    FormatCellValue(cell, StandardFormat{}, text);
    EXPECT_EQ(text, "8");
    EXPECT_EQ(Displayed(cell, StandardFormat{}), "8");
    display_.SetShowFormulas(true);
    EXPECT_EQ(Displayed(cell, StandardFormat{}), "=A1+1");
    // A formula whose result is an error shows in the user form too.
    EXPECT_EQ(Displayed(FindCell(cells_, 1, 1), StandardFormat{}), "=B1/0");
    Profile().addressingA1 = 0;
    EXPECT_EQ(GetCellText(ctx_, cells_, 0, 1, 0, 1, false, false), "=R[-1]C+1");
    EXPECT_EQ(Describe(1, 0), "Formula: =R[-1]C+1");
}

TEST_F(CellTextTest, CellTextsAndRangesAsArrayConstants) {
    for (auto [column, row, number] :
         {std::tuple{0, 0u, 1.0}, {1, 0u, 2.0}, {0, 1u, 3.0}, {1, 1u, 4.5}})
        Put(Cell({number}, uint16_t(column), row));
    Put(Cell({0, "abc"}, 2, 0));
    struct Case {
        uint16_t firstColumn;
        uint32_t firstRow;
        uint16_t lastColumn;
        uint32_t lastRow;
        bool quote, range;
        const char* text;
    } cases[] = {
        {0, 0, 1, 1, false, false, "={1,2;3,4.5}"},
        {0, 0, 2, 0, false, false, "={1,2,\"abc\"}"},
        {0, 0, 0, 0, false, true, "={1}"},
        {2, 0, 2, 0, false, false, "abc"},
        {2, 0, 2, 0, true, false, "\"abc\""},
        {1, 1, 1, 1, true, false, "4.5"},
        {5, 5, 5, 5, false, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetCellText(ctx_, cells_, c.firstColumn, c.firstRow, c.lastColumn, c.lastRow,
                              c.quote, c.range),
                  c.text);
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
    EXPECT_EQ(Describe(1, 1), "Number: 4,5");
    EXPECT_EQ(Describe(0, 2), "Text: abc");
    EXPECT_EQ(Describe(9, 9), "Empty");
}

} // namespace vl
