#include "callharness.h"
#include "functions/numeric/moments.h"

#include <cmath>

namespace vl::stattest {

namespace {

class Moments : public ::testing::Test {
protected:
    void SetUp() override {
        // A1:A3 empty; B1:B10 the skew data; D1:D3 " 12 ", "12a", 2.
        h.PutColumn(1, 0, {3.0, 4.0, 5.0, 2.0, 3.0, 4.0, 5.0, 6.0, 4.0, 7.0});
        h.PutColumn(3, 0, {std::string(" 12 "), std::string("12a"), 2.0});
        // E1 a formula giving "", E2 2, E3 a text of blanks.
        h.PutFormula(4, 0, std::string());
        h.PutColumn(4, 1, {2.0, std::string("  ")});
    }
    CallHarness h;
};

#define HELP_DATA "(1345, 1301, 1368, 1322, 1310, 1370, 1318, 1350, 1303, 1299)"

} // namespace

TEST_F(Moments, VarianceFamilyGivesTheHelpExamples) {
    RunRows(h, {
                   {"VAR" HELP_DATA, "754.266666666667"},
                   {"VARA" HELP_DATA, "754.266666666667"},
                   {"VARP" HELP_DATA, "678.84"},
                   {"VARPA" HELP_DATA, "678.84"},
                   {"STDEV" HELP_DATA, "27.4639157198435"},
                   {"STDEVA" HELP_DATA, "27.4639157198435"},
                   {"STDEVP" HELP_DATA, "26.0545581424825"},
                   {"STDEVPA" HELP_DATA, "26.0545581424825"},
               });
}

TEST_F(Moments, VarianceFamilyKeepsTheHighestError) {
    RunRows(h, {
                   {"VAR(A1:A3, 5)", "#DIV/0!"},
                   {"VAR(A1, 5)", "#DIV/0!"},
                   {"VAR(1, \"abc\")", "#NUM!"},
                   {"VAR(1, \"abc\", 1/0)", "#NUM!"},
                   {"VAR(1, 3, \"\")", "#NUM!"},
                   {"VARA(\" \", 1, 3)", "2.33333333333333"},
                   {"STDEV(E1, 1, 3)", "1.4142135623731"},
                   {"VAR(E1:E2, 1)", "0.5"},
                   {"VAR(E2:E3, 1)", "0.5"},
                   {"VAR(E2, 4)", "2"},
                   {"VAR(1, 2, #REF!)", "#REF!"},
                   {"VAR(NA(), 1E300, -1E300)", "#N/A!"},
                   {"VAR(1E300, -1E300)", "#NUM!"},
                   {"STDEVP(NA(), 3E300, 1)", "#N/A!"},
                   {"VAR(#DIV/0!, #VALUE!)", "#VALUE!"},
                   {"VAR(#VALUE!, #DIV/0!)", "#VALUE!"},
                   {"VARP(7)", "0"},
                   {"VARP(A1:A3)", "#DIV/0!"},
                   {"STDEV(D1:D3)", "#DIV/0!"},
                   {"STDEV(D1, D3)", "#DIV/0!"},
                   {"STDEV(5)", "#DIV/0!"},
                   {"STDEV(0.1, 0.1, 0.1)", "0"},
                   {"STDEV(1000000000.1, 1000000000.2, 1000000000.3)", "0.1000000"},
                   {"VAR(1e200, -1e200)", "#NUM!"},
                   {"VAR(0, 2E154)", "#NUM!"},
                   // Deviations whose squares fall below the normal range: the root is
                   // taken of a variance that is not rounded to a subnormal first.
                   {"STDEV(1E-155, 2E-155)", "7.071067811865475E-156"},
                   {"STDEVP(1E-155, 2E-155)", "5E-156"},
                   {"STDEV(1E-160, 2E-160, 4E-160)", "1.52752523165195E-160"},
                   {"STDEV(1E-300, 2E-300)", "7.07106781186548E-301"},
                   {"STDEV(1E-155, 1E-155)", "0"},
                   {"STDEV(0, 4E-151, 1E-155)", "2.30937220978632E-151"},
                   {"VAR(1E-155, 2E-155)", "#NUM!"},
                   {"VAR(1E-153, 2E-153)", "5E-307"},
                   // Deviations whose squares pass the double range, the root still within it.
                   {"STDEV(1E-300, 2E-300, 1E+300, 3E+300, 1E-17, 1E+17, 5E-10, 7E+10, 1E-155, "
                    "2E-155, 1E+154, 1E-05)",
                    "8.87625364598595E+299"},
                   {"STDEVP(-1E+300, 1E+300)", "1E+300"},
                   {"VAR(-1E+300, 1E+300)", "#NUM!"},
                   {"VAR()", "#SYNTAX!"},
               });
}

TEST_F(Moments, SkewKurtAndMeans) {
    RunRows(h, {
                   {"SKEW(3, 4, 5, 2, 3, 4, 5, 6, 4, 7)", "0.3595430714068"},
                   {"KURT(3, 4, 5, 2, 3, 4, 5, 6, 4, 7)", "-0.1517996372"},
                   {"KURT(B1:B5, B6:B10)", "-0.1517996372"},
                   {"SKEW(1, 2)", "#DIV/0!"},
                   {"SKEW(2, 2, 2)", "#DIV/0!"},
                   {"KURT(1, 2, 3)", "#DIV/0!"},
                   {"SKEW(1, 2, 3, #N/A!)", "#N/A!"},
                   {"GEOMEAN(4, 5, 8, 7, 11, 4, 3)", "5.47698696965696"},
                   {"GEOMEAN(2, 0)", "#NUM!"},
                   {"GEOMEAN(2, -1)", "#NUM!"},
                   {"GEOMEAN(A1:A3)", "#N/A!"},
                   {"HARMEAN(4, 5, 8, 7, 11, 4, 3)", "5.02837596206173"},
                   {"HARMEAN(2, 0)", "#NUM!"},
                   {"HARMEAN(-2, 4)", "-8"},
                   {"HARMEAN(2, -2)", "#DIV/0!"},
                   // Reciprocals that cancel leave the others' sum, not #DIV/0!.
                   {"HARMEAN(1E-300, 2, -1E-300, 2)", "4"},
                   {"HARMEAN(1E-300, -1E-300, 2, -2)", "#DIV/0!"},
                   {"HARMEAN(A1:A3)", "#N/A!"},
                   // Reciprocals below the normal range still add up.
                   {"HARMEAN(1E308, 1E308)", "1E308"},
                   {"HARMEAN(1.7976931348623157E308, 1)", "2"},
                   {"HARMEAN(1E-308, 1E-308)", "#NUM!"},
                   {"HARMEAN(3E-308, 3E-308)", "3E-308"},
               });
}

// The product is kept as a mantissa and a power of 2: long lists of huge or tiny values
// have their mean, where multiplying first overflowed or underflowed.
TEST_F(Moments, GeometricMeanOfLongListsOfHugeAndTinyValues) {
    h.PutColumn(5, 0, std::vector<Cell>(400, Cell{1e300}));
    h.PutColumn(6, 0, std::vector<Cell>(200, Cell{1000.0}));
    h.PutColumn(7, 0, std::vector<Cell>(400, Cell{0.1}));
    struct Case {
        const char* call;
        double expected;
    } cases[] = {{"GEOMEAN(F1:F400)", 1e300},
                 {"GEOMEAN(G1:G200)", 1000},
                 {"GEOMEAN(H1:H400)", 0.1},
                 {"GEOMEAN(1E-200,1E-200)", 1e-200},
                 {"GEOMEAN(1E+300,1E+300,1E-300)", 1e100},
                 {"GEOMEAN(2,8)", 4},
                 {"GEOMEAN(1E-300,1E-300,1E-10)", 4.641588833612779e-204}};
    for (const Case& c : cases) {
        Outcome o = h.Call(c.call);
        EXPECT_EQ(o.error, 0) << c.call;
        EXPECT_NEAR(o.number, c.expected, 4 * std::fabs(c.expected) * 2.3e-16) << c.call;
    }
    EXPECT_TRUE(IsError(h.Call("GEOMEAN(1E+300,1E+300,0)"), kErrNum));
    EXPECT_TRUE(IsError(h.Call("GEOMEAN(1E+300,-1)"), kErrNum));
}

// Deviations from the mean taken through the shift by the first value and scaled by the
// largest: a large offset keeps its digits, huge and tiny values neither overflow nor
// underflow.
TEST_F(Moments, SkewAndKurtAtOffsetsAndMagnitudes) {
    struct Case {
        const char* call;
        double expected;
    } cases[] = {
        {"SKEW(1000000000000001,1000000000000002,1000000000000004)", 0.935219529582824},
        {"SKEW(1,2,4)", 0.935219529582824},
        {"SKEW(1E-200,2E-200,4E-200)", 0.935219529582824},
        {"SKEW(1E+200,2E+200,4E+200)", 0.935219529582824},
        // The deviations fit where the values' sum overflows.
        {"SKEW(1E+308,1E+308,1E+308,9E+307)", -2},
        {"KURT(1000000000000001,1000000000000002,1000000000000004,1000000000000008)",
         0.757655954631380},
        {"KURT(1,2,4,8)", 0.757655954631380},
        {"KURT(1E-200,2E-200,4E-200,8E-200)", 0.757655954631380},
    };
    for (const Case& c : cases) {
        Outcome o = h.Call(c.call);
        EXPECT_EQ(o.error, 0) << c.call;
        EXPECT_NEAR(o.number, c.expected, 1e-13 * std::fabs(c.expected)) << c.call;
    }
    EXPECT_TRUE(IsError(h.Call("SKEW(3,3,3)"), kErrDivZero));
    EXPECT_TRUE(IsError(h.Call("KURT(1,2,3)"), kErrDivZero));
    EXPECT_TRUE(IsError(h.Call("SKEW(1,#N/A!,3)"), kErrNA));
}

// Products of counts in 32 bits wrapped from n = 46,341 (n·n) and 65,538 (n·(n − 2)).
TEST_F(Moments, CountProductsDoNotWrap) {
    const uint32_t n = 65538;
    std::vector<Cell> x(n), y(n);
    double ones = 0, sx = 0, sy = 0;
    for (uint32_t i = 0; i < n; ++i) {
        x[i] = double(i % 2);
        ones += i % 2;
        y[i] = double(i % 7) + 0.5 * double(i % 2);
        sx += double(i % 2);
        sy += std::get<double>(y[i]);
    }
    h.PutColumn(6, 0, x);
    h.PutColumn(7, 0, y);
    double p = ones / n;
    EXPECT_TRUE(IsNumberNear(h.Call("VARP", {Area{6, 0, 6, n - 1}}), p * (1 - p), 1e-12));
    // The standard error of y on x by two passes.
    double mx = sx / n, my = sy / n, sxx = 0, sxy = 0, syy = 0;
    for (uint32_t i = 0; i < n; ++i) {
        double dx = std::get<double>(x[i]) - mx, dy = std::get<double>(y[i]) - my;
        sxx += dx * dx, sxy += dx * dy, syy += dy * dy;
    }
    double steyx = std::sqrt((syy - sxy * sxy / sxx) / (n - 2));
    EXPECT_TRUE(
        IsNumberNear(h.Call("STEYX", {Area{7, 0, 7, n - 1}, Area{6, 0, 6, n - 1}}), steyx, 1e-9));
}

// Formula cells give their cached results; one not yet calculated in this pass is
// reported to the evaluator, whichever way a range is read.
TEST(FormulaCells, GiveCachedResultsAndReportUncalculatedOnes) {
    CallHarness h;
    h.PutFormula(0, 0, 4.0);
    h.PutFormula(0, 1, std::string(" 6 "));
    h.PutFormula(0, 2, ErrorValue{kErrNA});
    RunRows(h, {
                   {"MAX(A1:A3)", "#N/A!"},
                   {"MAX(A1:A2)", "4"},
                   {"VAR(A1:A2)", "#DIV/0!"},
                   {"VAR(A1:A3)", "#N/A!"},
                   {"LARGE(A1:A3, 1)", "#N/A!"},
                   {"LARGE(A1:A2, 1)", "4"},
               });
    FormulaHead head; // cached number, not calculated in this pass
    head.cachedNumber = 9;
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, 1, 5, head, "=x"));
    CellCursor cursor;
    ASSERT_TRUE(h.sheet.PutCell(b.bytes, cursor));
    const std::pair<const char*, double> calls[] = {
        {"MAX(B6:B6, 9)", 9}, {"STDEV(B6:B6, 9)", 0}, {"MEDIAN(B6:B6, 9)", 9}};
    for (const auto& [name, expected] : calls) {
        ClearOperand(h.ctx.pendingPrecedent);
        EXPECT_TRUE(IsNumberNear(h.Call(name), expected, 1e-12)) << name;
        EXPECT_EQ(h.ctx.pendingPrecedent.row, 5u) << name;
        EXPECT_EQ(h.ctx.pendingPrecedent.column, 1) << name;
        EXPECT_EQ(h.ctx.pendingPrecedent.cells, &h.sheet) << name;
    }
    ClearOperand(h.ctx.pendingPrecedent);
    EXPECT_TRUE(IsNumber(h.Call("LARGE(B6:B6, 1)"), "9"));
    EXPECT_EQ(h.ctx.pendingPrecedent.row, 5u);
}

} // namespace vl::stattest

namespace vl {

TEST(ShiftedSums, RoundingBelowZeroIsNoSpread) {
    ShiftedSums sums;
    sums.n = 3;
    sums.sx = 1;
    sums.sxx = 0.33333333;
    EXPECT_EQ(sums.Spread(), 0.0);
    StatResult r = StandardDeviation(sums, true);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.value, 0.0);
}

// The same rounding among deviations below 2^-500, whose squares are summed scaled.
TEST(ShiftedSums, ScaledRoundingBelowZeroIsNoSpread) {
    ShiftedSums sums;
    sums.n = 3;
    sums.sx = 0x1p-600;
    sums.sxxTiny = 0.33333333;
    int exponent = 0;
    EXPECT_EQ(sums.ScaledSpread(exponent), 0.0);
    EXPECT_EQ(exponent, -1200);
    sums.sxxTiny = 0.5;
    EXPECT_EQ(sums.ScaledSpread(exponent), 0.5);
    EXPECT_EQ(exponent, -1200);
    // A deviation of the normal range keeps the spread unscaled.
    sums.sxx = 1e-300;
    EXPECT_GT(sums.ScaledSpread(exponent), 0.0);
    EXPECT_EQ(exponent, 0);
}

} // namespace vl
