#include "app/core/settings.h"
#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "formula/translate.h"
#include "formula/values/dateinput.h"
#include "platform/core/number.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <tuple>

namespace vl {

namespace {

using namespace fmtparam;

SeparatorSet CommaSet() {
    SeparatorSet s;
    s.decimal = ',';
    s.thousands = '.';
    s.list = ';';
    s.arrayRow = '|';
    s.date = '.';
    s.shortDateOrder = 1;
    s.longDateOrder = 1;
    return s;
}

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

    // Parses `text` in the cell B3 of format `kind`; the record lands in `cell_`.
    CellInput Parse(std::string_view text, uint8_t kind = 0) {
        format_ = StandardFormat{};
        format_.kind = kind;
        return ParseCellInput(ctx_, text, format_, 2, 1, cell_);
    }
    bool ParsedAsText(std::string_view text, std::string_view stored, uint8_t kind = 0) {
        return Parse(text, kind) == CellInput::kStored && cell::IsText(cell_.data()) &&
               cell::Text(cell_.data()) == stored;
    }

    CEvalContext ctx_;
    StandardFormat format_;
    CellBuffer cell_;
    SeparatorSet savedSeparators_;
    SettingsProfile savedProfile_;
};

} // namespace

TEST_F(CellInputTest, NumbersTakeTheFormatTheirFormImplies) {
    const struct {
        const char* text;
        double value;
        uint8_t kind;
    } cases[] = {
        {"1,234", 1234, 1},     {"(12)", -12, 1},   {"12%", 0.12, 7}, {"1 1/2", 1.5, 8},
        {"$12.50", 12.5, 2},    {"1e5", 100000, 9}, {"42", 42, 0},    {"-0.5", -0.5, 0},
        {"1,234.5", 1234.5, 1}, {"1.5e3", 1500, 9}, {"TRUE", 1, 0},   {"false", 0, 0},
    };
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) UserSeparators() = CommaSet();
        for (const auto& c : cases) {
            std::string text = c.text;
            if (pass == 1) // the same numbers as a decimal-comma user types them
                for (char& ch : text) ch = ch == ',' ? '.' : ch == '.' ? ',' : ch;
            ASSERT_EQ(Parse(text), CellInput::kStored) << text;
            ASSERT_TRUE(cell::IsNumber(cell_.data())) << text;
            EXPECT_DOUBLE_EQ(cell::Number(cell_.data()), c.value) << text;
            EXPECT_EQ(cell::Error(cell_.data()), 0) << text;
            EXPECT_EQ(format_.kind, c.kind) << text;
            EXPECT_EQ(cell::Column(cell_.data()), 1);
            EXPECT_EQ(cell::Row(cell_.data()), 2u);
        }
    }
}

TEST_F(CellInputTest, TextsThatAreNoNumberStayTextAndKeepTheFormat) {
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) UserSeparators() = CommaSet();
        for (const char* text :
             {"abc", "e5", "1e", "#N/A", "#DIV/0!x", "12-", "1x", "(5", "TRUEx", "1,2,3"}) {
            EXPECT_TRUE(ParsedAsText(text, text, 1)) << text;
            EXPECT_EQ(format_.kind, 1) << text;
        }
    }
    UserSeparators() = InternalSeparators();
    EXPECT_TRUE(ParsedAsText("1,23", "1,23"));
}

TEST_F(CellInputTest, ErrorLiteralsBecomeErrorValuesAndKeepTheFormat) {
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) UserSeparators() = CommaSet();
        ASSERT_EQ(Parse("#n/a!", 7), CellInput::kStored);
        EXPECT_TRUE(cell::IsNumber(cell_.data()));
        EXPECT_EQ(cell::Error(cell_.data()), 4); // #N/A! is the fourth error
        EXPECT_EQ(format_.kind, 7);
        ASSERT_EQ(Parse("#SYNTAX!"), CellInput::kStored);
        EXPECT_EQ(cell::Error(cell_.data()), 12);
    }
}

TEST_F(CellInputTest, DatesInTheUsersOrderBecomeIsoText) {
    struct Case {
        const char* text;
        const char* iso; // the text itself and kind 0: no date
        uint8_t kind;
    };
    const Case generic[] = {
        {"8/11/2005", "2005-08-11", 4},
        {"2006-01-31T13:10:55", "2006-01-31T13:10:55", 6},
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
        {"1/2005", "2005-01-01", 4}, // the month and year form, before the fraction
        {"3/4", "2006-03-04", 4},
        {"2/30/2005", "2/30/2005", 0}, // days that do not exist are no dates
    };
    const Case comma[] = {
        {"31.01.2006", "2006-01-31", 4}, {"8.11.2005", "2005-11-08", 4},
        {"31.1.06", "2006-01-31", 4},    {"12.2005", "2005-12-01", 4},
        {"1.23", "2023-01-01", 4},       {"1.5", "2006-05-01", 4},
    };
    SeparatorSet dotted; // "." for decimals and dates alike
    dotted.date = '.';
    const Case dot[] = {{"1.2.2005", "2005-01-02", 4}};
    struct {
        SeparatorSet set;
        const Case* cases;
        std::size_t count;
    } runs[] = {{InternalSeparators(), generic, std::size(generic)},
                {CommaSet(), comma, std::size(comma)},
                {dotted, dot, std::size(dot)}};
    for (const auto& run : runs) {
        UserSeparators() = run.set;
        for (const Case* c = run.cases; c != run.cases + run.count; ++c) {
            EXPECT_TRUE(ParsedAsText(c->text, c->iso)) << c->text;
            EXPECT_EQ(format_.kind, c->kind) << c->text;
        }
    }
    UserSeparators() = InternalSeparators();
    ASSERT_TRUE(ParsedAsText("8/11/2005", "2005-08-11"));
    EXPECT_EQ(format_.params[kDateStyle], 0);
    EXPECT_EQ(format_.params[kDateOrderFlag], 1);
    // Where a separator of numbers is the date separator, a number stays one.
    for (auto [set, text, value] :
         {std::tuple{CommaSet(), "1.234", 1234.0}, {dotted, "12.25", 12.25}}) {
        UserSeparators() = set;
        ASSERT_EQ(Parse(text), CellInput::kStored);
        EXPECT_EQ(cell::Number(cell_.data()), value) << text;
    }
}

TEST_F(CellInputTest, TheCellsOwnFormatIsTriedFirstAndKeptWhenItMatches) {
    format_.kind = STD_STYLE_DATE;
    format_.params[kDateStyle] = 3; // mm/dd/yy
    ASSERT_EQ(ParseCellInput(ctx_, "03/04/05", format_, 0, 0, cell_), CellInput::kStored);
    EXPECT_EQ(cell::Text(cell_.data()), "2005-03-04");
    EXPECT_EQ(format_.kind, STD_STYLE_DATE);
    EXPECT_EQ(format_.params[kDateStyle], 3);
    // A month and year style reads what elsewhere is a thousands number.
    UserSeparators() = CommaSet();
    format_.params[kDateStyle] = 5;
    ASSERT_EQ(ParseCellInput(ctx_, "1.234", format_, 0, 0, cell_), CellInput::kStored);
    EXPECT_EQ(cell::Text(cell_.data()), "0234-01-01");
    UserSeparators() = InternalSeparators();

    // A date-time cell reads a date followed by a time, or a time followed by a date.
    format_ = StandardFormat{};
    format_.kind = STD_STYLE_DATE_TIME;
    format_.params[kTimeStyle] = 4; // h:mm:ss
    for (const char* text : {"1/31/2006 13:10:55", "13:10:55 1/31/2006"}) {
        ASSERT_EQ(ParseCellInput(ctx_, text, format_, 0, 0, cell_), CellInput::kStored);
        EXPECT_EQ(cell::Text(cell_.data()), "2006-01-31T13:10:55") << text;
        EXPECT_EQ(format_.kind, STD_STYLE_DATE_TIME);
        EXPECT_EQ(format_.params[kTimeFirst], 0); // the kind stayed: the format as it came
    }

    // A fraction cell reads 3/4 as a number, not as a date.
    ASSERT_EQ(Parse("3/4", STD_STYLE_FRACTION), CellInput::kStored);
    EXPECT_DOUBLE_EQ(cell::Number(cell_.data()), 0.75);
    EXPECT_EQ(format_.kind, STD_STYLE_FRACTION);

    // A currency cell reads its own symbol even when the user's is another.
    format_ = StandardFormat{};
    format_.kind = STD_STYLE_CURRENCY;
    std::strcpy(reinterpret_cast<char*>(format_.params + kCurrencySymbol), "EUR");
    ASSERT_EQ(ParseCellInput(ctx_, "EUR5", format_, 0, 0, cell_), CellInput::kStored);
    EXPECT_DOUBLE_EQ(cell::Number(cell_.data()), 5);
    EXPECT_EQ(format_.kind, STD_STYLE_CURRENCY);
}

TEST_F(CellInputTest, FormulasAreStoredInTheInternalFormOrRefused) {
    Profile().addressingA1 = 0;
    ASSERT_EQ(Parse("=A1+1"), CellInput::kStored);
    ASSERT_TRUE(cell::IsFormula(cell_.data()));
    EXPECT_EQ(cell::Formula(cell_.data()), "=A1+1"); // R1C1 and internal separators: as typed
    EXPECT_EQ(cell::ArrayWidth(cell_.data()), 1);
    EXPECT_EQ(cell::ArrayHeight(cell_.data()), 1u);
    EXPECT_EQ(cell::ResultFlags(cell_.data()), kResultNumber);
    std::string longest = "=" + std::string(kMaxFormulaText - 1, '1');
    EXPECT_EQ(Parse(longest), CellInput::kStored);
    EXPECT_EQ(Parse(longest + "1"), CellInput::kFormulaRefused);

    Profile().addressingA1 = 1;
    format_ = StandardFormat{};
    ASSERT_EQ(ParseCellInput(ctx_, "=A1+1", format_, 1, 1, cell_), CellInput::kStored); // B2
    EXPECT_EQ(cell::Formula(cell_.data()), "=R[-1]C[-1]+1");
    longest = "=\"" + std::string(kMaxFormulaText - 3, 'x') + "\"";
    EXPECT_EQ(Parse(longest), CellInput::kStored);
    longest.insert(2, "x");
    EXPECT_EQ(Parse(longest), CellInput::kFormulaRefused);

    UserSeparators() = CommaSet();
    ASSERT_EQ(ParseCellInput(ctx_, "=SUM(A1;2,5)", format_, 1, 1, cell_), CellInput::kStored);
    EXPECT_EQ(cell::Formula(cell_.data()), "=SUM(R[-1]C[-1],2.5)");

    // 321 characters typed in F6 grow past the limit in the stored form: refused, with
    // nothing built and the format as it was.
    std::string typed = "=C1";
    while (typed.size() < 321) typed += "+C1";
    format_.kind = STD_STYLE_PERCENTAGE;
    EXPECT_EQ(ParseCellInput(ctx_, typed, format_, 5, 5, cell_), CellInput::kFormulaRefused);
    EXPECT_EQ(cell_.size, 0u);
    EXPECT_EQ(format_.kind, STD_STYLE_PERCENTAGE);
    EXPECT_NE(CellInputMessage(CellInput::kFormulaRefused), nullptr);
    EXPECT_EQ(CellInputMessage(CellInput::kStored), nullptr);
}

TEST_F(CellInputTest, EmptyAndOverlongTexts) {
    EXPECT_EQ(Parse(""), CellInput::kEmpty);
    EXPECT_TRUE(cell::IsText(cell_.data()));
    EXPECT_EQ(cell::TextLength(cell_.data()), 0);
    std::string longest(kMaxCellText, 'x');
    EXPECT_EQ(Parse(longest), CellInput::kStored);
    EXPECT_EQ(cell::TextLength(cell_.data()), kMaxCellText);
    EXPECT_EQ(Parse(longest + "x"), CellInput::kTooLong);
    EXPECT_EQ(cell_.size, 0u);
    EXPECT_NE(CellInputMessage(CellInput::kTooLong), nullptr);
}

// Whatever the editor shows for a number is stored as that number when typed back, in
// every separator set, and a second round trip changes nothing.
TEST_F(CellInputTest, EditorTextOfEveryNumberReadsBackAsThatNumber) {
    SeparatorSet blank; // a blank groups thousands
    blank.decimal = ',';
    blank.thousands = ' ';
    SeparatorSet dotted; // "." for decimals, dates and times
    dotted.date = '.';
    dotted.time = '.';
    std::mt19937_64 random(20060131);
    for (const SeparatorSet& set : {InternalSeparators(), CommaSet(), blank, dotted}) {
        UserSeparators() = set;
        CCellStore cells;
        for (int i = 0; i < 4000; ++i) {
            uint64_t bits = random();
            double v;
            std::memcpy(&v, &bits, sizeof v);
            if (i % 4 == 1) v = std::ldexp(double(bits >> 11), int(bits % 2200) - 1126);
            if (i % 4 == 2) v = std::ldexp(double(bits >> 40), -1074); // subnormal
            if (i % 8 == 3) v = -v;
            if (!std::isfinite(v)) continue;
            CellBuffer b;
            CellCursor cursor;
            ASSERT_TRUE(MakeNumberCell(b, 0, 0, v) && cells.PutCell(b.data(), cursor));
            std::string text = GetCellText(ctx_, cells, 0, 0, 0, 0, false, false);
            std::string plain = text;
            for (char& c : plain) c = c == set.decimal ? '.' : c;
            double expected = 0;
            ASSERT_TRUE(ParseNumber(plain, expected)) << text;
            ASSERT_EQ(Parse(text), CellInput::kStored) << text;
            ASSERT_TRUE(cell::IsNumber(cell_.data())) << text << " of " << v;
            ASSERT_EQ(cell::Number(cell_.data()), expected) << text;
            ASSERT_TRUE(cells.PutCell(cell_.data(), cursor));
            EXPECT_EQ(GetCellText(ctx_, cells, 0, 0, 0, 0, false, false), text);
        }
    }
}

} // namespace vl
