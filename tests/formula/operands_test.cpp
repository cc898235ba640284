#include "evaltestutil.h"
#include "formula/operands.h"
#include "platform/core/alloc.h"

#include <cfloat>
#include <cmath>
#include <string>
#include <tuple>

namespace vl {

using test::TestBook;

namespace {

// A value slot of the given kind: a number, a text pushed on the pool, a reference.
FormulaToken Number(double x, FormulaError error = 0) {
    FormulaToken t;
    t.type = kTokenNumber;
    t.number = x;
    t.error = error;
    return t;
}

FormulaToken Text(CEvalContext& ctx, std::string_view text) {
    FormulaToken t;
    t.type = kTokenText;
    EXPECT_TRUE(ctx.stringPool.PushString(text));
    return t;
}

FormulaToken Ref(CWorksheet& sheet, std::string_view a1) {
    FormulaToken t;
    t.type = kTokenReference;
    test::Place p = test::At(a1);
    t.column = p.column;
    t.row = p.row;
    t.refFlags = kRefCell;
    t.cells = &sheet.cells;
    return t;
}

class OperandsTest : public ::testing::Test {
protected:
    TestBook book;
    CEvalContext& ctx = book.Ctx();
};

} // namespace

TEST_F(OperandsTest, GetNumberArgConvertsReferencesTextAndBounds) {
    CWorksheet& s = book.Sheet();
    book.Text("A1", " 12 ");
    book.Text("A2", "12abc");
    book.Text("A3", "");
    book.Formula("A4", "=1/0");
    book.Number("A5", 7);
    ASSERT_TRUE(book.Recalc());

    // The slot, the error and the value out: 99 when the caller's value must stay.
    const std::tuple<FormulaToken, FormulaError, double> cases[] = {
        {Ref(s, "B9"), 0, 99},          {Ref(s, "A1"), 0, 12},          {Ref(s, "A2"), kErrNum, 99},
        {Ref(s, "A3"), 0, 0},           {Ref(s, "A4"), kErrDivZero, 0}, {Ref(s, "A5"), 0, 7},
        {Number(5, kErrNA), kErrNA, 5},
    };
    for (auto [slot, error, expected] : cases) {
        double out = 99;
        EXPECT_EQ(GetNumberArg(ctx, slot, out), error) << slot.row;
        EXPECT_EQ(std::pair(out, int(ctx.stringPool.count)), std::pair(expected, 0)) << slot.row;
    }
    FormulaToken below = Number(-1);
    double out = 0;
    EXPECT_EQ(GetNumberArg(ctx, below, out, 0, 1), kErrNum);
    EXPECT_EQ(out, -1);
    FormulaToken nan = Number(NAN), minus = Text(ctx, " - 2.5 ");
    EXPECT_EQ(GetNumberArg(ctx, nan, out), kErrNum);
    EXPECT_EQ(std::pair(GetNumberArg(ctx, minus, out), out), std::pair(FormulaError(0), -2.5));
    for (const char* text : {"1e999", "1e-310"}) {
        FormulaToken slot = Text(ctx, text);
        EXPECT_EQ(GetNumberArg(ctx, slot, out), kErrNum) << text;
    }
    EXPECT_EQ(ctx.stringPool.count, 0);
}

TEST_F(OperandsTest, GetNumberArgATextCarryingAnErrorIsConsumed) {
    FormulaToken older = Text(ctx, "3");
    FormulaToken name = Text(ctx, "abc");
    name.error = kErrName;
    double out = 0;
    EXPECT_EQ(GetNumberArg(ctx, name, out), kErrName);
    EXPECT_EQ(std::pair(GetNumberArg(ctx, older, out), out), std::pair(FormulaError(0), 3.0));
}

TEST_F(OperandsTest, GetIntArgRoundsHalfAwayFromZeroWithinBounds) {
    const std::tuple<double, int32_t, int32_t, FormulaError, int32_t> cases[] = {
        {12.4, 1, 12, 0, 12},
        {12.5, 1, 12, kErrNum, 13},
        {-0.5, -10, 10, 0, -1},
        {0.49, -10, 10, 0, 0},
        {1, 1, 1, 0, 1},
        {0, 1, 1, kErrNum, 0},
        {2147483647.0, INT32_MIN, INT32_MAX, 0, INT32_MAX},
        {2147483648.0, INT32_MIN, INT32_MAX, kErrNum, 77},
        {-2147483648.0, INT32_MIN, INT32_MAX, kErrNum, 77},
    };
    for (auto [x, lo, hi, error, expected] : cases) {
        FormulaToken slot = Number(x);
        int32_t out = 77;
        EXPECT_EQ(GetIntArg(ctx, slot, out, lo, hi), error) << x;
        EXPECT_EQ(out, expected) << x;
    }
    const int64_t lo = -(int64_t(1) << 39), hi = (int64_t(1) << 39) - 1;
    FormulaToken inside = Number(549755813887.0), outside = Number(549755813888.0);
    int64_t out = 0;
    EXPECT_EQ(std::pair(GetInt64Arg(ctx, inside, out, lo, hi), out),
              std::pair(FormulaError(0), int64_t(549755813887)));
    EXPECT_EQ(GetInt64Arg(ctx, outside, out, lo, hi), kErrNum);
    FormulaToken beyond = Number(1e300);
    EXPECT_EQ(GetInt64Arg(ctx, beyond, out, INT64_MIN, INT64_MAX), kErrNum);
}

TEST_F(OperandsTest, GetStringArgNumbersErrorsAndTexts) {
    std::string out = "kept";
    FormulaToken empty;
    empty.type = kTokenEmpty;
    const std::string long_(3000, 'z');
    // The slot, the error and the text out; an empty slot leaves the text as it was.
    const std::tuple<FormulaToken, FormulaError, std::string> cases[] = {
        {Number(0.1), 0, "0.1"},    {Number(-1e-300), 0, "-1E-300"},
        {Number(1e22), 0, "1E+22"}, {Number(0, kErrNum), kErrNum, "#NUM!"},
        {empty, 0, "kept"},         {Text(ctx, long_), 0, long_},
    };
    for (auto [slot, error, expected] : cases) {
        out = "kept";
        EXPECT_EQ(GetStringArg(ctx, slot, out), error) << expected;
        EXPECT_EQ(out, expected);
    }
    EXPECT_EQ(ctx.stringPool.count, 0);

    // A full pool turns the number into #VALUE!.
    for (int i = 0; i < kPoolStrings; ++i) ctx.stringPool.PushString("x");
    FormulaToken full = Number(1);
    EXPECT_EQ(GetStringArg(ctx, full, out), kErrValue);
    EXPECT_EQ(ctx.stringPool.count, kPoolStrings);
}

TEST_F(OperandsTest, GetDateTimeArgTextOnly) {
    IsoDateTime when;
    FormulaToken good = Text(ctx, "2007-03-04T05:06:07");
    EXPECT_EQ(GetDateTimeArg(ctx, good, when), 0);
    EXPECT_EQ(FormatIsoDateTime(when), "2007-03-04T05:06:07");
    FormulaToken trailing = Text(ctx, "2007-03-04x");
    EXPECT_EQ(GetDateTimeArg(ctx, trailing, when), kErrValue);
    FormulaToken number = Number(3);
    EXPECT_EQ(GetDateTimeArg(ctx, number, when), kErrValue);
    EXPECT_EQ(ctx.stringPool.count, 0);
}

TEST_F(OperandsTest, GetRangeArgRangesArraysAndEverythingElse) {
    CWorksheet& s = book.Sheet();
    book.Number("A1", 1);
    Page* page = nullptr;
    // A single cell is the range of that cell.
    FormulaToken ref = Ref(s, "A1");
    EXPECT_EQ(GetRangeArg(ctx, ref, page), 0);
    EXPECT_EQ(page, s.cells.FirstPage());
    EXPECT_EQ(ref.type, kTokenArea);
    EXPECT_EQ(ref.firstColumn, 0);
    EXPECT_EQ(ref.lastColumn, 0);
    EXPECT_EQ(ref.firstRow, 0u);
    EXPECT_EQ(ref.lastRow, 0u);
    FormulaToken broken = Ref(s, "B2");
    broken.error = kErrRef;
    EXPECT_EQ(GetRangeArg(ctx, broken, page), kErrRef);
    EXPECT_EQ(page, nullptr);
    FormulaToken text = Text(ctx, "a");
    EXPECT_EQ(GetRangeArg(ctx, text, page), kErrValue);
    EXPECT_EQ(ctx.stringPool.count, 0);
    FormulaToken range = Ref(s, "A1");
    range.type = kTokenArea;
    EXPECT_EQ(GetRangeArg(ctx, range, page), 0);
    EXPECT_EQ(page, s.cells.FirstPage());

    // An array carrying an error still gives its chain back.
    Page* chain = ctx.scratch.cells.AllocPage(true);
    ASSERT_TRUE(ctx.scratch.PushPointer(chain));
    FormulaToken array;
    InitArrayEntry(array, 1, 1);
    array.error = kErrNum;
    uint32_t freeBefore = ctx.scratch.cells.FreePageCount();
    EXPECT_EQ(GetRangeArg(ctx, array, page), kErrNum);
    EXPECT_EQ(ctx.scratch.arrayCount, 0);
    EXPECT_EQ(ctx.scratch.cells.FreePageCount(), freeBefore + 1);
}

TEST_F(OperandsTest, ParseComplexTextForms) {
    const std::tuple<const char*, bool, double, double> cases[] = {
        {"3+4i", true, 3, 4},         {"-i", true, 0, -1},        {"2.5", true, 2.5, 99},
        {"3 - 4j", true, 3, -4},      {"i", true, 0, 1},          {"-2.5e1i", true, 0, -25},
        {"3+4k", false, 99, 99},      {"3+4", false, 99, 99},     {"1e999", false, 99, 99},
        {"3+i x", false, 99, 99},     {"3 + 4i ", false, 99, 99}, {" 4i ", true, 0, 4},
        {"1+1e-310i", false, 99, 99},
    };
    for (auto [text, ok, real, imaginary] : cases) {
        double re = 99, im = 99;
        EXPECT_EQ(ParseComplexText(book.Ctx(), text, re, im), ok) << text;
        EXPECT_EQ(std::pair(re, im), std::pair(real, imaginary)) << text;
    }
}

TEST(ScanNumber, UserFormWithMinusAndBlanks) {
    double x = 0;
    std::size_t end = 0;
    for (auto [text, number, length] : {std::tuple("-  1.5e2x", -150.0, 8u), {"abc", 0.0, 0u}}) {
        EXPECT_TRUE(ScanNumber(text, x, end, false));
        EXPECT_EQ(std::pair(x, end), std::pair(number, std::size_t(length))) << text;
    }
    EXPECT_FALSE(ScanNumber("1e+", x, end, false));
    EXPECT_TRUE(ScanNumber("1e+", x, end, true)); // the stored form leaves the mark unread
    EXPECT_EQ(end, 1u);
    EXPECT_TRUE(IsOutOfRange(1e-310));
    EXPECT_FALSE(IsOutOfRange(0));
}

TEST_F(OperandsTest, CellToOperandFormulaCellsNotYetCalculatedArePendingPrecedents) {
    book.Formula("C3", "=5");
    const uint8_t* r = FindCell(book.Sheet().cells, 2, 2);
    FormulaToken slot;
    CellToOperand(ctx, slot, r);
    EXPECT_EQ(ctx.pendingPrecedent.refFlags, 0); // no store, no precedent
    slot.cells = &book.Sheet().cells;
    CellToOperand(ctx, slot, r);
    const auto& p = ctx.pendingPrecedent;
    EXPECT_EQ(std::tuple(int(p.refFlags), int(p.column), p.row), std::tuple(int(kRefCell), 2, 2u));
    EXPECT_EQ(slot.type, kTokenNumber);
    CellToOperand(ctx, slot, nullptr);
    EXPECT_EQ(slot.type, kTokenEmpty);
}

} // namespace vl
