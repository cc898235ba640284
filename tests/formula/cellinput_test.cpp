#include "core/settings.h"
#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "formula/translate.h"
#include "platform/core/number.h"
#include "separatortestutil.h"
#include "tests/core/fixedclock.h"
#include "values/dateinput.h"
#include "values/formatdouble.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <tuple>

namespace vl {

namespace {

using namespace fmtparam;

SeparatorSet DottedSet() { // "." for decimals, dates and times
    SeparatorSet s;
    s.date = '.';
    s.time = '.';
    return s;
}

// Typed input is read with the user set and the addressing option; each test sets them
// and restores them afterwards.
class CellInputTest : public formulatest::SettingsTest {
protected:
    void SetUp() override { clock_ = std::make_unique<testclock::CFixedClock>(2006, 6, 15); }
    void TearDown() override {
        SettingsTest::TearDown();
        clock_.reset();
    }
    std::unique_ptr<testclock::CFixedClock> clock_;

    // Parses `text` in the cell B3 of format `kind`; the record lands in `cell_`.
    CellInput Parse(std::string_view text, uint8_t kind = 0) {
        format_ = StandardFormat{};
        format_.kind = kind;
        return ParseCellInput(ctx_, text, format_, 2, 1, cell_);
    }
    // What the record holds: a text as it is, "#" and a number, "!" and an error code.
    std::string Stored() const {
        const uint8_t* c = cell_.data();
        EXPECT_EQ(cell::Column(c), 1);
        EXPECT_EQ(cell::Row(c), 2u);
        if (cell::Error(c)) return "!" + std::to_string(cell::Error(c));
        if (cell::IsText(c)) return std::string(cell::Text(c));
        if (cell::IsNumber(c)) return "#" + FormatDouble(cell::Number(c));
        return std::string(cell::Formula(c));
    }

    CEvalContext ctx_;
    StandardFormat format_;
    CellBuffer cell_;
};

} // namespace

// Error literals, numbers, booleans, dates, times and texts, each with the format kind
// the typed form implies, in the generic set (0), a decimal-comma set (1) and a set
// whose point separates decimals, dates and times alike (2).
TEST_F(CellInputTest, TypedTextBecomesTheRecordItsFormImplies) {
    struct Case {
        int set;
        uint8_t kind; // of the cell before
        const char* text;
        const char* stored;
        uint8_t kindAfter;
    } cases[] = {
        {0, 7, "#n/a!", "!4", 7},
        {0, 1, "#N/A", "#N/A", 1},
        {0, 0, "1,234", "#1234", 1},
        {1, 0, "1.234", "#1234", 1}, // the thousands point is also the date separator
        {0, 1, "42", "#42", 0},
        {2, 0, "12.25", "#12.25", 0}, // a number, not a date or a time
        {0, 0, "TRUE", "#1", 0},
        {1, 3, "false", "#0", 3},
        {0, 1, "TRUEx", "TRUEx", 1},
        {0, 1, "abc", "abc", 1},
        {0, 0, "8/11/2005", "2005-08-11", 4},
        {0, 0, "2006-01-31T13:10:55", "2006-01-31T13:10:55", 6},
        {0, 0, "23:59", "23:59:00", 5},
        {0, 0, "24:00", "24:00", 0}, // one past the last hour
        {0, 0, "1:05 PM", "13:05:00", 5},
        {0, 0, "12:30:15 am", "00:30:15", 5},
        {0, 0, "Jan-5", "2006-01-05", 4},
        {0, 0, "January 5, 2006", "2006-01-05", 4},
        {0, 0, "Tuesday, January 31, 2006", "2006-01-31", 4},
        {0, 0, "63:30:00", "PT63H30M", 5},
        {0, 0, "5:07.25", "PT5M7.250S", 5},
        {0, 0, "1/2/3", "0003-01-02", 4},  // only two digits are a year of a century
        {0, 0, "1/1/00", "2000-01-01", 4}, // two digits: 00-29 this century, 30-99 the last
        {0, 0, "12/31/29", "2029-12-31", 4},
        {0, 0, "1/1/30", "1930-01-01", 4},
        {0, 0, "12/31/99", "1999-12-31", 4},
        {0, 0, "12/31/099", "0099-12-31", 4},  // three digits are the year as written
        {0, 0, "2/29/00", "2000-02-29", 4},    // the century's leap day
        {0, 0, "2/29/30", "2/29/30", 0},       // 1930 has none
        {0, 0, "1/2/49919", "49919-01-02", 4}, // the last year typed
        {0, 0, "1/2/49920", "1/2/49920", 0},
        {0, 0, "1/2005", "2005-01-01", 4}, // the month and year form, before the fraction
        {0, 0, "3/4", "2006-03-04", 4},
        {0, 0, "2/30/2005", "2/30/2005", 0}, // days that do not exist are no dates
        {1, 0, "31.01.2006", "2006-01-31", 4},
        {1, 0, "31.1.06", "2006-01-31", 4},
        {1, 0, "12.2005", "2005-12-01", 4},
        {1, 0, "1.23", "2023-01-01", 4},
        {1, 0, "1.5", "2006-05-01", 4},
        {2, 0, "1.2.2005", "2005-01-02", 4},
    };
    const SeparatorSet sets[] = {InternalSeparators(), formulatest::CommaLocaleSeparators(),
                                 DottedSet()};
    for (const Case& c : cases) {
        UserSeparators() = sets[c.set];
        ASSERT_EQ(Parse(c.text, c.kind), CellInput::kStored) << c.text;
        EXPECT_EQ(Stored(), c.stored) << c.text;
        EXPECT_EQ(format_.kind, c.kindAfter) << c.text;
    }
    UserSeparators() = InternalSeparators();
    ASSERT_EQ(Parse("8/11/2005"), CellInput::kStored);
    EXPECT_EQ(format_.params[kDateStyle], 0);
    EXPECT_EQ(format_.params[kDateOrderFlag], 1);
}

TEST_F(CellInputTest, TheCellsOwnFormatIsTriedFirstAndKeptWhenItMatches) {
    // The kind, a parameter byte and its value set before, the text and what is stored.
    const std::tuple<uint8_t, int, uint8_t, const char*, const char*> cases[] = {
        {STD_STYLE_DATE, kDateStyle, 3, "03/04/05", "2005-03-04"}, // mm/dd/yy
        {STD_STYLE_DATE_TIME, kTimeStyle, 4, "1/31/2006 13:10:55", "2006-01-31T13:10:55"},
        {STD_STYLE_DATE_TIME, kTimeStyle, 4, "13:10:55 1/31/2006", "2006-01-31T13:10:55"},
        {STD_STYLE_FRACTION, 0, 0, "3/4", "#0.75"},             // a number, not a date
        {STD_STYLE_CURRENCY, kCurrencySymbol, 'E', "E5", "#5"}, // its own symbol, not "$"
    };
    for (auto [kind, at, value, text, stored] : cases) {
        format_ = StandardFormat{};
        format_.kind = kind;
        format_.params[at] = value;
        StandardFormat before = format_;
        ASSERT_EQ(ParseCellInput(ctx_, text, format_, 2, 1, cell_), CellInput::kStored);
        EXPECT_EQ(Stored(), stored) << text;
        // The format as it came.
        EXPECT_EQ(format_.kind, kind) << text;
        EXPECT_EQ(std::memcmp(format_.params, before.params, kStandardFormatParams), 0) << text;
    }
    // A month and year style reads what elsewhere is a thousands number.
    UserSeparators() = formulatest::CommaLocaleSeparators();
    format_.kind = STD_STYLE_DATE;
    format_.params[kDateStyle] = 5;
    ASSERT_EQ(ParseCellInput(ctx_, "1.234", format_, 2, 1, cell_), CellInput::kStored);
    EXPECT_EQ(Stored(), "0234-01-01");
}

TEST_F(CellInputTest, FormulasAreStoredInTheInternalFormOrRefused) {
    struct Case {
        bool a1;
        int set;
        std::string text;
        const char* stored; // null: refused
    } cases[] = {
        {false, 0, "=A1+1", "=A1+1"}, // R1C1 and the internal separators: as typed
        {true, 0, "=A1+1", "=R[-2]C[-1]+1"},
        {true, 1, "=SUM(A1;2,5)", "=SUM(R[-2]C[-1],2.5)"},
        {false, 0, "=" + std::string(kMaxFormulaText - 1, '1'), ""}, // the longest formula
        {false, 0, "=" + std::string(kMaxFormulaText, '1'), nullptr},
        {true, 0, "=\"" + std::string(kMaxFormulaText - 3, 'x') + "\"", ""},
        {true, 0, "=\"" + std::string(kMaxFormulaText - 2, 'x') + "\"", nullptr},
    };
    const SeparatorSet sets[] = {InternalSeparators(), formulatest::CommaLocaleSeparators()};
    for (const Case& c : cases) {
        Profile().addressingA1 = c.a1;
        UserSeparators() = sets[c.set];
        CellInput result = Parse(c.text, STD_STYLE_PERCENTAGE);
        EXPECT_EQ(format_.kind, STD_STYLE_PERCENTAGE); // never touched
        if (!c.stored) {
            EXPECT_EQ(result, CellInput::kFormulaRefused) << c.text.size();
            EXPECT_EQ(cell_.size, 0u);
            continue;
        }
        ASSERT_EQ(result, CellInput::kStored) << c.text;
        EXPECT_EQ(std::tuple(int(cell::ArrayWidth(cell_.data())), cell::ArrayHeight(cell_.data()),
                             int(cell::ResultFlags(cell_.data()))),
                  std::tuple(1, 1u, int(kResultNumber)));
        EXPECT_EQ(Stored(), *c.stored ? c.stored : c.text);
    }
    // 2,541 characters typed in F6 grow past the limit in the stored form.
    std::string typed = "=C1";
    while (typed.size() < 2541) typed += "+C1";
    EXPECT_EQ(ParseCellInput(ctx_, typed, format_, 5, 5, cell_), CellInput::kFormulaRefused);
    EXPECT_NE(CellInputMessage(CellInput::kFormulaRefused), nullptr);
    EXPECT_EQ(CellInputMessage(CellInput::kStored), nullptr);
}

TEST_F(CellInputTest, EmptyAndOverlongTexts) {
    std::string longest(kMaxCellText, 'x');
    for (const std::string& text : {std::string(), longest}) {
        EXPECT_EQ(Parse(text), text.empty() ? CellInput::kEmpty : CellInput::kStored);
        EXPECT_EQ(Stored(), text);
    }
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
    std::mt19937_64 random(20060131);
    for (const SeparatorSet& set :
         {InternalSeparators(), formulatest::CommaLocaleSeparators(), blank, DottedSet()}) {
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

namespace vl {

// Zero typed in any signed form is stored as +0: the cell and the editor show "0".
TEST_F(CellInputTest, TypedNegativeZeroIsStoredAsPlusZero) {
    for (const char* text : {"-0", "(0)", "-0%", "-0.000", "-0e5", "($0)"}) {
        ASSERT_EQ(Parse(text), CellInput::kStored) << text;
        ASSERT_TRUE(cell::IsNumber(cell_.data())) << text;
        EXPECT_EQ(cell::Number(cell_.data()), 0.0) << text;
        EXPECT_FALSE(std::signbit(cell::Number(cell_.data()))) << text;
        CCellStore cells;
        CellCursor cursor;
        ASSERT_TRUE(cells.PutCell(cell_.data(), cursor));
        EXPECT_EQ(GetCellText(ctx_, cells, 1, 2, 1, 2, false, false), "0") << text;
    }
}

// The editor keeps 15 significant digits: a small number whose fixed form would lose some
// opens in exponent form and Enter stores it unchanged; others keep the plain form.
TEST_F(CellInputTest, EditorTextReadsBackAsTheNumber) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {1.23456789e-10, "1.23456789e-010"},
        {-1.23456789e-10, "-1.23456789e-010"},
        {0.0123456789012345, "0.0123456789012345"},
        // 15 digits that read back as another number give way to the 16 or 17 that do not.
        {0.01234567890123456, "0.01234567890123456"},
        {1234567890123456.0, "1234567890123456"},
        {0.1 + 0.2, "0.30000000000000004"},
        {1.5e-10, "0.00000000015"},
        {0.1, "0.1"},
        {1234.5678, "1234.5678"},
        {1e-14, "0.00000000000001"},
        {1.2e-14, "1.2e-014"},
        {123456789012345678.0, "1.2345678901234568e+017"},
    };
    for (const SeparatorSet& set : {InternalSeparators(), formulatest::CommaLocaleSeparators()}) {
        UserSeparators() = set;
        for (const Case& c : cases) {
            CCellStore cells;
            CellBuffer b;
            CellCursor cursor;
            ASSERT_TRUE(MakeNumberCell(b, 0, 0, c.value) && cells.PutCell(b.data(), cursor));
            std::string expected = c.text;
            if (!std::strchr(c.text, 'e'))
                for (char& ch : expected) ch = ch == '.' ? set.decimal : ch;
            const std::string text = GetCellText(ctx_, cells, 0, 0, 0, 0, false, false);
            EXPECT_EQ(text, expected);
            ASSERT_EQ(Parse(text), CellInput::kStored) << text;
            EXPECT_EQ(cell::Number(cell_.data()), c.value) << text;
        }
    }
}

} // namespace vl
