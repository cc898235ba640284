#include "app/core/settings.h"
#include "formula/cellinput.h"
#include "formula/evalcontext.h"
#include "formula/values/dateinput.h"
#include "formula/values/isodate.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vl {

namespace {

using namespace fmtparam;

// Typed input is read with the user set and the addressing option; each test sets them
// and restores them afterwards.
class CellInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedSeparators_ = UserSeparators();
        savedProfile_ = Profile();
        SetCurrentYearForTests(2006);
    }
    void TearDown() override {
        UserSeparators() = savedSeparators_;
        Profile() = savedProfile_;
        SetCurrentYearForTests(0);
    }

    static void UseCommaSeparators() {
        SeparatorSet& s = UserSeparators();
        s.decimal = ',';
        s.thousands = '.';
        s.list = ';';
        s.arrayRow = '|';
        s.date = '.';
        s.shortDateOrder = 1;
        s.longDateOrder = 1;
        std::strcpy(s.currency, "$");
    }

    // Parses `text` in a cell of `kind`; the record lands in `cell_`.
    bool Parse(const char* text, uint8_t kind = 0) {
        format_ = StandardFormat{};
        format_.kind = kind;
        return ParseCellInput(ctx_, text, format_, 2, 1, cell_);
    }

    CEvalContext ctx_;
    StandardFormat format_;
    CellBuffer cell_;
    SeparatorSet savedSeparators_;
    SettingsProfile savedProfile_;
};

struct NumberCase {
    const char* text;
    double value;
    uint8_t kind;
};

} // namespace

TEST_F(CellInputTest, NumbersTakeTheFormatTheirFormImplies) {
    const NumberCase cases[] = {
        {"1,234", 1234, 1}, {"(12)", -12, 1},    {"12%", 0.12, 7},
        {"1 1/2", 1.5, 8},  {"$12.50", 12.5, 2}, {"1e5", 100000, 9},
        {"42", 42, 0},      {"-0.5", -0.5, 0},   {"1,234.5", 1234.5, 1},
    };
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) UseCommaSeparators();
        for (NumberCase c : cases) {
            std::string text = c.text;
            if (pass == 1) // the same numbers as a decimal-comma user types them
                for (char& ch : text) ch = ch == ',' ? '.' : ch == '.' ? ',' : ch;
            ASSERT_TRUE(Parse(text.c_str())) << text;
            ASSERT_TRUE(cell::IsNumber(cell_.data())) << text;
            EXPECT_DOUBLE_EQ(cell::Number(cell_.data()), c.value) << text;
            EXPECT_EQ(format_.kind, c.kind) << text;
            EXPECT_EQ(cell::Column(cell_.data()), 1);
            EXPECT_EQ(cell::Row(cell_.data()), 2u);
        }
    }
}

TEST_F(CellInputTest, TextsThatAreNoNumberStayText) {
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) UseCommaSeparators();
        for (const char* text : {"abc", "e5", "1e", "#N/A", "#DIV/0!x", "12-", "1x"}) {
            ASSERT_TRUE(Parse(text, 1)) << text;
            ASSERT_TRUE(cell::IsText(cell_.data())) << text;
            EXPECT_EQ(cell::Text(cell_.data()), text);
            EXPECT_EQ(format_.kind, 1) << text;
        }
    }
    ASSERT_TRUE(Parse("1,2,3"));
    EXPECT_TRUE(cell::IsText(cell_.data()));
    ASSERT_TRUE(Parse("1.23")); // the user's "1,23": neither a number nor a date
    EXPECT_TRUE(cell::IsText(cell_.data()));
    ASSERT_TRUE(Parse("12.3456"));
    EXPECT_TRUE(cell::IsText(cell_.data()));
    UserSeparators() = InternalSeparators();
    ASSERT_TRUE(Parse("1,23"));
    EXPECT_TRUE(cell::IsText(cell_.data()));
}

TEST_F(CellInputTest, ErrorLiteralsBecomeErrorValues) {
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) UseCommaSeparators();
        ASSERT_TRUE(Parse("#n/a!", 7));
        EXPECT_TRUE(cell::IsNumber(cell_.data()));
        EXPECT_EQ(cell::Error(cell_.data()), 4); // #N/A! is the fourth error
        EXPECT_EQ(format_.kind, 7);
        ASSERT_TRUE(Parse("#SYNTAX!"));
        EXPECT_EQ(cell::Error(cell_.data()), 12);
    }
}

TEST_F(CellInputTest, DatesInTheUsersOrderBecomeIsoText) {
    struct Case {
        const char* text;
        const char* iso;
        uint8_t kind;
    } cases[] = {
        {"8/11/2005", "2005-08-11", 4},
        {"2006-01-31T13:10:55", "2006-01-31T13:10:55", 6},
        {"2006-01-31", "2006-01-31", 4},
        {"13:10", "13:10:00", 5},
        {"1:05 PM", "13:05:00", 5},
        {"12:30:15 am", "00:30:15", 5},
        {"Jan-5", "2006-01-05", 4},
        {"January 5, 2006", "2006-01-05", 4},
        {"Tuesday, January 31, 2006", "2006-01-31", 4},
        {"63:30:00", "PT63H30M", 5},
        {"5:07.25", "PT5M7.250S", 5},
        {"1/2/3", "0003-01-02", 4}, // only two digits are a year of this century
        {"1/2/345", "0345-01-02", 4},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Parse(c.text)) << c.text;
        ASSERT_TRUE(cell::IsText(cell_.data())) << c.text;
        EXPECT_EQ(cell::Text(cell_.data()), c.iso) << c.text;
        EXPECT_EQ(format_.kind, c.kind) << c.text;
    }
    ASSERT_TRUE(Parse("8/11/2005"));
    EXPECT_EQ(format_.params[kDateStyle], 0);
    EXPECT_EQ(format_.params[kDateOrderFlag], 1);
    // Days that do not exist are no dates.
    ASSERT_TRUE(Parse("2/30/2005"));
    EXPECT_EQ(cell::Text(cell_.data()), "2/30/2005");
    EXPECT_EQ(format_.kind, 0);

    UseCommaSeparators();
    ASSERT_TRUE(Parse("31.01.2006"));
    EXPECT_EQ(cell::Text(cell_.data()), "2006-01-31");
    ASSERT_TRUE(Parse("8.11.2005"));
    EXPECT_EQ(cell::Text(cell_.data()), "2005-11-08");
    ASSERT_TRUE(Parse("31.1.06"));
    EXPECT_EQ(cell::Text(cell_.data()), "2006-01-31");
    // A month and a year alone are read only in a cell formatted so: elsewhere 1.234 is
    // the number 1234.
    ASSERT_TRUE(Parse("1.234"));
    EXPECT_TRUE(cell::IsNumber(cell_.data()));
    format_ = StandardFormat{};
    format_.kind = STD_STYLE_DATE;
    format_.params[kDateStyle] = 5;
    ASSERT_TRUE(ParseCellInput(ctx_, "01.23", format_, 0, 0, cell_));
    EXPECT_EQ(cell::Text(cell_.data()), "2023-01-01");
    ASSERT_TRUE(ParseCellInput(ctx_, "1.234", format_, 0, 0, cell_));
    EXPECT_EQ(cell::Text(cell_.data()), "0234-01-01");
}

TEST_F(CellInputTest, TheCellsOwnFormatIsTriedFirstAndKeptWhenItMatches) {
    format_ = StandardFormat{};
    format_.kind = STD_STYLE_DATE;
    format_.params[kDateStyle] = 3; // mm/dd/yy
    ASSERT_TRUE(ParseCellInput(ctx_, "03/04/05", format_, 0, 0, cell_));
    EXPECT_EQ(cell::Text(cell_.data()), "2005-03-04");
    EXPECT_EQ(format_.kind, STD_STYLE_DATE);
    EXPECT_EQ(format_.params[kDateStyle], 3);

    // A date-time cell reads a date followed by a time, or a time followed by a date.
    format_ = StandardFormat{};
    format_.kind = STD_STYLE_DATE_TIME;
    format_.params[kDateStyle] = 0;
    format_.params[kTimeStyle] = 4; // h:mm:ss
    ASSERT_TRUE(ParseCellInput(ctx_, "1/31/2006 13:10:55", format_, 0, 0, cell_));
    EXPECT_EQ(cell::Text(cell_.data()), "2006-01-31T13:10:55");
    EXPECT_EQ(format_.kind, STD_STYLE_DATE_TIME);
    ASSERT_TRUE(ParseCellInput(ctx_, "13:10:55 1/31/2006", format_, 0, 0, cell_));
    EXPECT_EQ(cell::Text(cell_.data()), "2006-01-31T13:10:55");
    EXPECT_EQ(format_.kind, STD_STYLE_DATE_TIME);
    EXPECT_EQ(format_.params[kTimeFirst], 0); // the kind stayed: the format as it came

    // A fraction cell reads 3/4 as a number, not as a date.
    ASSERT_TRUE(Parse("3/4", STD_STYLE_FRACTION));
    EXPECT_DOUBLE_EQ(cell::Number(cell_.data()), 0.75);
    EXPECT_EQ(format_.kind, STD_STYLE_FRACTION);
    ASSERT_TRUE(Parse("3/4"));
    EXPECT_EQ(cell::Text(cell_.data()), "2006-03-04");

    // A currency cell reads its own symbol even when the user's is another.
    format_ = StandardFormat{};
    format_.kind = STD_STYLE_CURRENCY;
    std::strcpy(reinterpret_cast<char*>(format_.params + kCurrencySymbol), "EUR");
    ASSERT_TRUE(ParseCellInput(ctx_, "EUR5", format_, 0, 0, cell_));
    EXPECT_DOUBLE_EQ(cell::Number(cell_.data()), 5);
    EXPECT_EQ(format_.kind, STD_STYLE_CURRENCY);
}

TEST_F(CellInputTest, FormulasAreStoredInTheInternalForm) {
    Profile().addressingA1 = 0;
    ASSERT_TRUE(Parse("=A1+1"));
    ASSERT_TRUE(cell::IsFormula(cell_.data()));
    EXPECT_EQ(cell::Formula(cell_.data()), "=A1+1"); // R1C1 and internal separators: as typed
    EXPECT_EQ(cell::ArrayWidth(cell_.data()), 1);
    EXPECT_EQ(cell::ArrayHeight(cell_.data()), 1u);
    EXPECT_EQ(cell::ResultFlags(cell_.data()), kResultNumber);

    Profile().addressingA1 = 1;
    format_ = StandardFormat{};
    ASSERT_TRUE(ParseCellInput(ctx_, "=A1+1", format_, 1, 1, cell_)); // the cell B2
    EXPECT_EQ(cell::Formula(cell_.data()), "=R[-1]C[-1]+1");

    UseCommaSeparators();
    ASSERT_TRUE(ParseCellInput(ctx_, "=SUM(A1;2,5)", format_, 1, 1, cell_));
    EXPECT_EQ(cell::Formula(cell_.data()), "=SUM(R[-1]C[-1],2.5)");
}

TEST_F(CellInputTest, EmptyAndOverlongTexts) {
    EXPECT_FALSE(Parse(""));
    EXPECT_TRUE(cell::IsText(cell_.data()));
    EXPECT_EQ(cell::TextLength(cell_.data()), 0);
    std::string longest(kMaxCellText, 'x');
    format_ = StandardFormat{};
    EXPECT_TRUE(ParseCellInput(ctx_, longest, format_, 0, 0, cell_));
    EXPECT_EQ(cell::TextLength(cell_.data()), kMaxCellText);
    EXPECT_FALSE(ParseCellInput(ctx_, longest + "x", format_, 0, 0, cell_));
    EXPECT_EQ(cell_.size, 0u);
}

} // namespace vl
