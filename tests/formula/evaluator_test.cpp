#include "evaltestutil.h"

#include <string>

namespace vl {

using test::TestBook;

namespace {

struct Case {
    const char* formula;
    const char* shown;
};

} // namespace

TEST(EvaluateFormulaText, OperatorsAndTheirTextAndNumberRules) {
    static const Case cases[] = {
        {"=2^3^2", "64"},
        {"=-2^2", "4"},
        {"=1--2", "3"},
        {"=--1", "1"},
        {"=2*--3", "6"},
        {"=-(-2)^2", "4"},
        {"=+1", "#SYNTAX!"},
        {"=(1", "#SYNTAX!"},
        {"=1)", "#SYNTAX!"},
        {"=1+", "#SYNTAX!"},
        {"=1 2", "#SYNTAX!"},
        {"=50%%", "#SYNTAX!"},
        {"=2*50%", "1"},
        {"=1+\" 2 \"", "3"},
        {"=1+\"x\"", "#NUM!"},
        {"=\"10\"-\"3\"", "7"},
        {"=-\"- 3\"", "3"},
        {"=1=\"1\"", "0"},
        {"=1<\"\"", "1"},
        {"=\"a\"<=1", "0"},
        {"=1/0=\"a\"", "#DIV/0!"},
        {"=1/0", "#DIV/0!"},
        {"=1E308*10", "#NUM!"},
        {"=(-8)^(1/3)", "#NUM!"},
        {"=0^-1", "#NUM!"},
        {"=0^0", "1"},
        {"=1E-300/1E10", "#NUM!"},
        {"=1E-307%", "#NUM!"},
        {"=0*-1", "0"},
        {"=\"abc\"=\"ABC\"", "1"},
        {"=\"ab\"<\"abc\"", "1"},
        {"=\"B\">\"a\"", "1"},
        {"=\"a\"<>\"A\"", "0"},
        {"=2>=2", "1"},
        {"=1&2", "12"},
        {"=0.1+0.2&\"\"", "0.3"},
        {"=(1+2)*3", "9"},
        {"=1+2*3", "7"},
        {"=1E22&\"\"", "1E+22"},
        {"=\"x\"&-1E-300", "x-1E-300"},
        {"=2*3>5", "1"},
        {"=\"a\"&1=\"a1\"", "1"},
        {"=A2&\"x\"&B2", "abx12"},
        {"=A2<\"abc\"", "1"},
        {"=\"abc\">A2", "1"},
        {"=A2=A2", "1"},
    };
    TestBook book;
    book.Text("A2", "ab");
    book.Number("B2", 12);
    for (const Case& c : cases) EXPECT_EQ(book.Eval(c.formula), c.shown) << c.formula;
}

// A sum or difference whose operands cancel to about 15 significant digits is 0, not the
// binary leftover of their decimals; whole numbers and true small residues stay.
TEST(EvaluateFormulaText, AdditionsThatCancelGiveZero) {
    static const Case cases[] = {
        {"=0.1+0.2-0.3", "0"},
        {"=0.3-0.1-0.2", "0"},
        {"=-0.1-0.2+0.3", "0"},
        {"=0.1*3-0.3", "0"},
        {"=1+1E-15-1", "0"},
        {"=1E-300-1E-300", "0"},
        {"=B1-0.3", "0"},
        {"=0.3-B1", "0"},
        {"=-0.3+B1", "0"},
        {"=B1+-0.3", "0"},
        {"=(2^50+1)-2^50", "1"},
        {"=(2^47+1)-2^47", "1"},
        {"=1+4E-15-1", "3.99680288865056e-015"},
        {"=0.1-0.1+1E-20", "1e-020"},
        {"=0.1+0.2", "0.3"},
        {"=1.0000000000000033-1", "0"},
        {"=1.0000000000000036-1", "3.5527136788005e-015"},
        {"={0.3,0.5}-(0.1+0.2)", "{0, 0.2}"},
    };
    TestBook book;
    book.Formula("B1", "=0.1+0.2");
    ASSERT_TRUE(book.Recalc());
    for (const Case& c : cases) EXPECT_EQ(book.Eval(c.formula, "J1"), c.shown) << c.formula;
}

// Numbers equal to about 15 significant digits (less than 2^-48 apart) compare equal, as
// the peers compare them; a difference in the 15th digit still counts.
TEST(EvaluateFormulaText, ComparisonsTakeNumbersEqualToFifteenDigits) {
    static const Case cases[] = {
        {"=0.1+0.2=0.3", "1"},
        {"=0.1+0.2<>0.3", "0"},
        {"=0.1+0.2>0.3", "0"},
        {"=0.1+0.2<=0.3", "1"},
        {"=0.3>=0.1+0.2", "1"},
        {"=0.3<0.1+0.2", "0"},
        {"=-0.1-0.2=-0.3", "1"},
        {"=1+3E-15=1", "1"},
        {"=1+4E-15=1", "0"},
        {"=1+4E-15>1", "1"},
        {"=1<1+4E-15", "1"},
        {"=0=1E-300", "0"},
        {"=1E-300<2E-300", "1"},
        {"=A1=0", "1"},
        {"=B1=0.3", "1"},
        {"={0.3,0.4}=0.1+0.2", "{1, 0}"},
        // Whole numbers below 2^53 that differ are never equal.
        {"=2^50+1=2^50", "0"},
        {"=2^50+2>2^50", "1"},
    };
    TestBook book;
    book.Formula("B1", "=0.1+0.2");
    ASSERT_TRUE(book.Recalc());
    for (const Case& c : cases) EXPECT_EQ(book.Eval(c.formula, "J1"), c.shown) << c.formula;
}

TEST(EvaluateFormulaText, ErrorsTakeTheLargerCodeOnEitherSide) {
    static const Case cases[] = {
        {"=#DIV/0!+#VALUE!", "#VALUE!"}, {"=#VALUE!+#DIV/0!", "#VALUE!"}, {"=#N/A!*#NUM!", "#NUM!"},
        {"=#NUM!&#N/A!", "#NUM!"},       {"=#REF!=#NULL!", "#REF!"},      {"=-#N/A!", "#N/A!"},
        {"=1/0+#NAME?", "#NAME?"},       {"=(1/0)^#VALUE!", "#VALUE!"},
    };
    TestBook book;
    for (const Case& c : cases) EXPECT_EQ(book.Eval(c.formula), c.shown) << c.formula;
}

TEST(EvaluateFormulaText, EmptyCellIsZeroAndEmptyText) {
    TestBook book;
    book.Number("B1", 0);
    EXPECT_EQ(book.Eval("=A1=0"), "1");
    EXPECT_EQ(book.Eval("=A1=\"\""), "1");
    EXPECT_EQ(book.Eval("=A1<1"), "1");
    EXPECT_EQ(book.Eval("=1/A1"), "#DIV/0!");
    EXPECT_EQ(book.Eval("=A1&\"x\""), "x");
    EXPECT_EQ(book.Eval("=B1=\"\""), "0");
}

namespace {

std::string Repeat(std::string_view piece, int n, std::string_view separator = "") {
    std::string out;
    for (int i = 0; i < n; ++i) {
        if (i) out += separator;
        out += piece;
    }
    return out;
}

// `depth` calls or parentheses, each around the next; the innermost holds `core`.
std::string Nested(std::string_view open, std::string_view close, int depth,
                   std::string_view core) {
    return "=" + Repeat(open, depth) + std::string(core) + Repeat(close, depth);
}

} // namespace

// Parentheses nest 98 deep, as the other spreadsheets take them; one more is #SYNTAX!, and
// nothing is left on the stacks or the pool. (Calls and argument counts: the function tests.)
TEST(EvaluateFormulaText, NestingAtItsLimit) {
    const struct {
        std::string formula;
        std::string shown;
    } cases[] = {
        {Nested("(", ")", kMaxNesting, "1"), "1"},
        {Nested("(", ")", kMaxNesting + 1, "1"), "#SYNTAX!"},
        {Nested("-(", ")", kMaxNesting, "1"), "1"},
        {Nested("-(", ")", kMaxNesting + 1, "1"), "#SYNTAX!"},
        {Nested("(1+(2*", "))", kMaxNesting / 2, "1"), ""},
        {Nested("(1+(2*", "))", kMaxNesting / 2 + 1, "1"), "#SYNTAX!"},
        // Parentheses closed again do not count towards the depth.
        {"=" + Repeat("(1)+", 200) + "0", "200"},
        {"=1" + Repeat("+1", 199), "200"}, // each operator runs as the next one comes
        {"=" + Repeat("\"a\"&", 300) + "\"b\"", Repeat("a", 300) + "b"},
    };
    TestBook book;
    for (const auto& c : cases) {
        std::string shown = book.Eval(c.formula);
        if (c.shown.empty()) // some number
            EXPECT_TRUE(!shown.empty() && shown[0] != '#') << shown << c.formula.substr(0, 60);
        else
            EXPECT_EQ(shown, c.shown) << c.formula.substr(0, 60);
        EXPECT_EQ(book.Ctx().stringPool.count, 0) << c.formula.substr(0, 60);
        EXPECT_EQ(book.Ctx().scratch.arrayCount, 0) << c.formula.substr(0, 60);
    }
}

// "&" joins texts up to the longest a cell holds; a longer result is #VALUE!.
TEST(EvaluateFormulaText, ConcatenationReachesTheLongestCellText) {
    TestBook book;
    const std::string half(kMaxTextValue / 2, 'a');
    const std::string rest(kMaxTextValue - half.size(), 'b');
    book.Text("B1", half);
    book.Text("B2", rest);
    book.Text("B3", rest + "c");
    const struct {
        const char* formula;
        std::string shown;
    } cases[] = {
        {"=B1&B2", half + rest},
        {"=B2&B1", rest + half},
        {"=B1&B3", "#VALUE!"},
        {"=B1&B2&\"\"", half + rest},
        {"=B1&B2&1", "#VALUE!"},
        {"=\"\"&B1&B2", half + rest},
        {"=B1&\"-\"&B1", half + "-" + half},
        {"=(B2&B1)&(B1&\"\")", "#VALUE!"},
        {"=(B1&\"\")&(B2&\"\")", half + rest},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(book.Eval(c.formula), c.shown) << c.formula;
        EXPECT_EQ(book.Ctx().stringPool.count, 0) << c.formula;
    }
}

} // namespace vl

namespace vl {

// An element-wise result has a position for each of its shape's: up to 2^26 are made, past
// that the operator gives #MEMORY! and allocates nothing, whatever the cells hold (a constant
// beside the range would otherwise be paired with every position).
TEST(EvaluateFormulaText, ElementwiseResultsAreCappedAtTwoToTheTwentySix) {
    struct Case {
        const char* formula;
        uint16_t columns; // of the result, 0 for #MEMORY!
        uint32_t rows;
    } cases[] = {
        {"=R1C1:R65536C1024=R1C1:R65536C1024", 1024, 65536}, // exactly 2^26
        {"=C1:C32=C1:C32", 32, kMaxRows},                    // 2^26 as whole columns
        {"=R1C1:R85489C785=R1C1:R85489C785", 0, 0},          // 2^26 + 1
        {"=R1C1:R85489C785=2", 0, 0},
        {"=C1:C33=2", 0, 0},
        {"=-C1:C304", 0, 0},
        {"=R1C1:R3C2*2", 2, 3},
    };
    test::TestBook book;
    book.Number("B2", 5);
    CEvalContext& ctx = book.Ctx();
    ctx.worksheetList = book.Book().tree.first;
    ctx.currentCells = &book.Sheet().cells;
    for (const Case& c : cases) {
        const uint16_t kind = EvaluateFormulaText(ctx, c.formula, 10, 10);
        const FormulaToken& v = ctx.values[1];
        if (c.columns == 0) {
            EXPECT_EQ(std::tuple(v.error, ctx.scratch.arrayCount), std::tuple(kErrMemory, 0))
                << c.formula;
        } else {
            ASSERT_EQ(kind, kTokenArray) << c.formula;
            EXPECT_EQ(std::tuple(v.error, v.lastColumn + 1, v.lastRow + 1),
                      std::tuple(0, int(c.columns), c.rows))
                << c.formula;
        }
        ctx.ReleaseScratchArrays();
    }
}

} // namespace vl
