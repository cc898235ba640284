#include "callharness.h"

#include <cmath>

namespace vl::stattest {

namespace {

const std::vector<Arg> kHelpData = {1345.0, 1301.0, 1368.0, 1322.0, 1310.0,
                                    1370.0, 1318.0, 1350.0, 1303.0, 1299.0};
const std::vector<Arg> kSkewData = {3.0, 4.0, 5.0, 2.0, 3.0, 4.0, 5.0, 6.0, 4.0, 7.0};
const std::vector<Arg> kMeanData = {4.0, 5.0, 8.0, 7.0, 11.0, 4.0, 3.0};

std::vector<Arg> With(std::vector<Arg> args, std::initializer_list<Arg> more) {
    args.insert(args.end(), more);
    return args;
}

class Moments : public ::testing::Test {
protected:
    void SetUp() override {
        // A1:A3 empty; B1:B10 the skew data; C1:C7 the mean data; D1:D3 " 12 ", "12a", 2.
        h.PutColumn(1, 0, {3.0, 4.0, 5.0, 2.0, 3.0, 4.0, 5.0, 6.0, 4.0, 7.0});
        h.PutColumn(2, 0, {4.0, 5.0, 8.0, 7.0, 11.0, 4.0, 3.0});
        h.PutColumn(3, 0, {std::string(" 12 "), std::string("12a"), 2.0});
    }
    CallHarness h;
};

} // namespace

TEST_F(Moments, VarianceFamilyGivesTheHelpExamples) {
    RunCases(h, {
                    {"VAR", kHelpData, Num("754.266666666667")},
                    {"VARA", kHelpData, Num("754.266666666667")},
                    {"VARP", kHelpData, Num("678.84")},
                    {"VARPA", kHelpData, Num("678.84")},
                    {"STDEV", kHelpData, Num("27.4639157198435")},
                    {"STDEVA", kHelpData, Num("27.4639157198435")},
                    {"STDEVP", kHelpData, Num("26.0545581424825")},
                    {"STDEVPA", kHelpData, Num("26.0545581424825")},
                });
}

TEST_F(Moments, VarianceFamilyKeepsTheHighestError) {
    RunCases(
        h,
        {
            {"VAR(A1:A3, 5)", {Area{0, 0, 0, 2}, 5.0}, Err(kErrDivZero)},
            {"VAR(A1, 5)", {Ref{0, 0}, 5.0}, Num("12.5")},
            {"VAR(1, \"abc\")", {1.0, std::string("abc")}, Err(kErrNum)},
            {"VAR(1, \"abc\", 1/0)", {1.0, std::string("abc"), Failed{kErrDivZero}}, Err(kErrNum)},
            {"VAR(1, 2, #REF!)", {1.0, 2.0, ErrorValue{kErrRef}}, Err(kErrRef)},
            {"VAR(#DIV/0!, #VALUE!)",
             {ErrorValue{kErrDivZero}, ErrorValue{kErrValue}},
             Err(kErrValue)},
            {"VAR(#VALUE!, #DIV/0!)",
             {ErrorValue{kErrValue}, ErrorValue{kErrDivZero}},
             Err(kErrValue)},
            {"VARP(7)", {7.0}, Num("0")},
            {"VARP(A1:A3)", {Area{0, 0, 0, 2}}, Err(kErrDivZero)},
            {"STDEV(D1:D3)", {Area{3, 0, 3, 2}}, Err(kErrNum)},
            {"STDEV(D1, D3)", {Ref{3, 0}, Ref{3, 2}}, Num("7.07106781186548")},
            {"VAR(5)", {5.0}, Err(kErrDivZero)},
            {"STDEV(5)", {5.0}, Err(kErrDivZero)},
            {"STDEV(0.1, 0.1, 0.1)", {0.1, 0.1, 0.1}, Num("0")},
            {"STDEV(1e9+0.1, 1e9+0.2, 1e9+0.3)",
             {1e9 + 0.1, 1e9 + 0.2, 1e9 + 0.3},
             Num("0.1000000")},
            {"VAR(1e200, -1e200)", {1e200, -1e200}, Err(kErrNum)},
            {"VAR()", {}, BadCount()},
        });
}

TEST_F(Moments, SkewKurtAndMeans) {
    RunCases(
        h, {
               {"SKEW", kSkewData, Num("0.3595430714068")},
               {"SKEW(B1:B10)", {Area{1, 0, 1, 9}}, Num("0.3595430714068")},
               {"KURT", kSkewData, Num("-0.1517996372")},
               {"KURT(B1:B5, B6:B10)", {Area{1, 0, 1, 4}, Area{1, 5, 1, 9}}, Num("-0.1517996372")},
               {"SKEW(1, 2)", {1.0, 2.0}, Err(kErrDivZero)},
               {"SKEW(2, 2, 2)", {2.0, 2.0, 2.0}, Err(kErrDivZero)},
               {"KURT(1, 2, 3)", {1.0, 2.0, 3.0}, Err(kErrDivZero)},
               {"SKEW(1, 2, 3, #N/A!)", {1.0, 2.0, 3.0, ErrorValue{kErrNA}}, Err(kErrNA)},
               {"GEOMEAN", kMeanData, Num("5.47698696965696")},
               {"GEOMEAN(C1:C7)", {Area{2, 0, 2, 6}}, Num("5.47698696965696")},
               {"GEOMEAN(2, 0)", {2.0, 0.0}, Err(kErrNum)},
               {"GEOMEAN(2, -1)", {2.0, -1.0}, Err(kErrNum)},
               {"GEOMEAN(A1:A3)", {Area{0, 0, 0, 2}}, Err(kErrNA)},
               {"HARMEAN", kMeanData, Num("5.02837596206173")},
               {"HARMEAN(2, 0)", {2.0, 0.0}, Err(kErrNum)},
               {"HARMEAN(-2, 4)", {-2.0, 4.0}, Num("-8")},
               {"HARMEAN(2, -2)", {2.0, -2.0}, Err(kErrDivZero)},
               {"HARMEAN(A1:A3)", {Area{0, 0, 0, 2}}, Err(kErrNA)},
           });
    EXPECT_TRUE(IsNumber(h.Call("GEOMEAN", With(kMeanData, {})), "5.47698696965696"));
}

TEST_F(Moments, GeometricMeanOfHugeValuesOverflows) {
    std::vector<Cell> huge(400, Cell{1e300});
    h.PutColumn(5, 0, huge);
    EXPECT_TRUE(IsError(h.Call("GEOMEAN", {Area{5, 0, 5, 399}}), kErrNum));
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

} // namespace vl::stattest

namespace vl::stattest {

// Formula cells give their cached results; one not yet calculated in this pass is
// reported to the evaluator, whichever way a range is read.
TEST(FormulaCells, GiveCachedResultsAndReportUncalculatedOnes) {
    CallHarness h;
    h.PutFormula(0, 0, 4.0);
    h.PutFormula(0, 1, std::string(" 6 "));
    h.PutFormula(0, 2, ErrorValue{kErrNA});
    RunCases(h, {
                    {"MAX(A1:A3)", {Area{0, 0, 0, 2}}, Num("6")},
                    {"VAR(A1:A2)", {Area{0, 0, 0, 1}}, Num("2")},
                    {"VAR(A1:A3)", {Area{0, 0, 0, 2}}, Err(kErrNA)},
                    {"LARGE(A1:A3, 1)", {Area{0, 0, 0, 2}, 1.0}, Txt(" 6 ")},
                    {"LARGE(A1:A3, 2)", {Area{0, 0, 0, 2}, 2.0}, Num("4")},
                });
    FormulaHead head; // cached number, not calculated in this pass
    head.cachedNumber = 9;
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, 1, 5, head, "=x"));
    CellCursor cursor;
    ASSERT_TRUE(h.sheet.PutCell(b.bytes, cursor));
    const std::pair<const char*, double> calls[] = {{"MAX", 9}, {"STDEV", 0}, {"MEDIAN", 9}};
    for (const auto& [name, expected] : calls) {
        ClearOperand(h.ctx.pendingPrecedent);
        EXPECT_TRUE(IsNumberNear(h.Call(name, {Area{1, 5, 1, 5}, 9.0}), expected, 1e-12)) << name;
        EXPECT_EQ(h.ctx.pendingPrecedent.row, 5u) << name;
        EXPECT_EQ(h.ctx.pendingPrecedent.column, 1) << name;
        EXPECT_EQ(h.ctx.pendingPrecedent.cells, &h.sheet) << name;
    }
    ClearOperand(h.ctx.pendingPrecedent);
    EXPECT_TRUE(IsNumber(h.Call("LARGE", {Area{1, 5, 1, 5}, 1.0}), "9"));
    EXPECT_EQ(h.ctx.pendingPrecedent.row, 5u);
}

} // namespace vl::stattest
