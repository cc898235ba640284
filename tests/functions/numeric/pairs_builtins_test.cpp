#include "callharness.h"

namespace vl::stattest {

namespace {

class PairedData : public ::testing::Test {
protected:
    void SetUp() override {
        // A1:A5 and B1:B5 with empty cells in different places; C1:D2 texts facing.
        h.PutColumn(0, 0, {1.0, Cell{}, 3.0, 4.0, 5.0});
        h.PutColumn(1, 0, {2.0, 4.0, 7.0, Cell{}, 9.0});
        h.PutColumn(2, 0, {std::string("a"), 1.0});
        h.PutColumn(3, 0, {std::string("b"), std::string("c")});
    }
    CallHarness h;
};

#define Y_X "({2, 3, 9, 1, 8}, {6, 5, 11, 7, 5}"
#define D_COLUMN "{0.1, 0.25, 0.5, 0.75, 0.9, 0.05, 0.3, 0.6, 0.15, 0.45, 0.85, 0.95}"

} // namespace

TEST_F(PairedData, CorrelationOverPairedCells) {
    RunRows(h, {
                   {"PEARSON({9, 7, 5, 3, 1}, {10, 6, 1, 5, 3})", "0.69937860618024"},
                   {"RSQ({9, 7, 5, 3, 1}, {10, 6, 1, 5, 3})", "0.48913043478261"},
                   {"STEYX" Y_X ")", "3.74560674557182"},
                   {"PEARSON(A1:A5, B1:B5)", "0.970725343394151"},
                   {"PEARSON(C1:C1, D1:D1)", "#N/A!"},
                   {"PEARSON(C1:C2, D1:D2)", "#N/A!"},
                   {"PEARSON({1, 2, 3, 4, 5}, {1; 2; 3; 4; 5})", "#N/A!"},
                   {"PEARSON({1, 2, 3; 4, 5, 6}, {1, 2, 4, ; 3, 5, 7})", "#N/A!"},
                   {"PEARSON({1, 1}, {2, 3})", "#NUM!"},
                   {"PEARSON(1, {2})", "#VALUE!"},
                   {"PEARSON(#REF!, \"x\")", "#VALUE!"},
                   {"STEYX({1, 2}, {3, 4})", "#NUM!"},
                   {"STEYX({1}, {3})", "#N/A!"},
                   {"STEYX({1, 3, 5, 7}, {0, 1, 2, 3})", "0"},
                   // A constant x is no fit at all; deviations scaled by the largest
                   // neither overflow nor underflow.
                   {"STEYX({1, 2, 4}, {5, 5, 5})", "#NUM!"},
                   {"STEYX({5, 5, 5}, {1, 2, 4})", "0"},
                   {"STEYX({1, 2, 4}, {1e153, 2e153, 3e153})", "0.40824829046386"},
                   {"STEYX({1, 2, 4}, {1e155, 2e155, 3e155})", "0.40824829046386"},
                   {"STEYX({1e-300, 2e-300, 4e-300}, {1, 2, 3})", "4.0824829046386e-301"},
                   {"PEARSON({1e-300, 2e-300, 4e-300}, {1e200, 2e200, 3e200})", "0.98198050606197"},
                   {"PEARSON({9, 7, 5, 3, 1}, {10, 6, 1, 5, 3}, {9, 7, 5, 3, 1})", "#SYNTAX!"},
               });
}

TEST_F(PairedData, LinesThroughPositions) {
    RunRows(h, {
                   {"INTERCEPT" Y_X ")", "0.04838709677419"},
                   {"SLOPE" Y_X ")", "0.66935483870968"},
                   {"SLOPE({1, 2, 3, 4, 5}, {1, 2, 3, 4})", "#VALUE!"},
                   {"SLOPE(B1:B5, A1:A5)", "1.75"},
                   {"SLOPE({2, 2, 2}, {3, 3, 3})", "0.6"},

                   {"INTERCEPT(#N/A!, {6, 5, 11, 7, 5})", "#N/A!"},
                   {"TREND" Y_X ", {6, 5, 11, 7, 5}, 2)", "#NUM!"},
               });
    // Points on a line give its coefficients exactly.
    EXPECT_TRUE(IsNumberNear(h.Call("INTERCEPT(" D_COLUMN ", " D_COLUMN ")"), 0, 0));
    EXPECT_TRUE(IsNumberNear(h.Call("SLOPE(" D_COLUMN ", " D_COLUMN ")"), 1, 0));
    EXPECT_TRUE(IsNumberNear(h.Call("INTERCEPT({3, 1.5, -2}, {3, 1.5, -2})"), 0, 0));
    EXPECT_TRUE(IsNumberNear(h.Call("FORECAST(2, {2, 4, 6}, {1, 2, 3})"), 4, 0));
    EXPECT_TRUE(IsArray(h.Call("LINEST({3; 1.5; -2}, {3; 1.5; -2},)"), 2, {0.0, 1.0}, 0));
    // y far from its mean in the last bit of its offset: the deviations keep what their
    // subtraction rounds away.
    const std::string offsetY = "{100000000.1, 100000000.2, 100000000.4, 100000000.7, "
                                "1000000000000001, 1000000000000003, 1000000000000002, "
                                "1000000000000005, 100000001.5, 100000002.5, 100000003.5, "
                                "100000000.3}";
    const std::string smallX = "{3, 1.5, -2, 7, 0.25, 10, 4, 2.5, 6, 8, 1, 9}";
    EXPECT_TRUE(IsNumber(h.Call("FORECAST(1E22, " + offsetY + ", " + smallX + ")"),
                         "3.83361658497496E+20"));
    // x far from its mean: its deviations' lost parts enter the spread as well.
    EXPECT_TRUE(IsNumber(h.Call("SLOPE(" + smallX + ", " + offsetY + ")"), "2.27343793827300E-30"));
    EXPECT_TRUE(IsNumber(h.Call("FORECAST(100000000.25, " + offsetY + ", " + smallX + ")"),
                         "333333403833615"));
    EXPECT_TRUE(IsArray(h.Call("LINEST" Y_X ",)"), 2, {0.04838709677419, 0.66935483870968}, 5e-15));
    EXPECT_TRUE(IsArray(h.Call("LINEST" Y_X ", 0)"), 2, {0.0, 0.67578125}, 1e-15));
    // Through the origin over x that are all 0: no spread, so the decomposition decides.
    EXPECT_TRUE(IsArray(h.Call("LINEST({1; 2; 3}, {0; 0; 0}, 0)"), 2, {0.0, 0.0}, 0));
    EXPECT_TRUE(IsArray(h.Call("TREND" Y_X ", {12, 13, 14}, 1)"), 3,
                        {8.08064516129032, 8.75, 9.41935483870968}, 5e-15));
    // Omitted x: the rows numbered from 2, so the line through 1, 3, 5 is 2x − 3.
    EXPECT_TRUE(IsArray(h.Call("LINEST({1; 3; 5}, ,)"), 2, {-3.0, 2.0}, 1e-12));
    Outcome o = h.Call("TREND({1; 3; 5}, , ,)");
    ASSERT_TRUE(IsArray(o, 3, {o.cells.at(0), o.cells.at(1), 5.0}, 1e-12));
}

TEST(HypothesisTests, GiveTheQuotedValues) {
    CallHarness h;
    h.PutColumn(0, 0, {3.0, 4.0, std::string("x"), 5.0, 8.0});
#define T1 "{3, 4, 5, 8, 9, 1, 2, 4, 5}"
#define T2 "{6, 19, 3, 2, 14, 4, 5, 17, 1}"
#define F2 "{20, 28, 31, 38, 40}"
#define Z "({3, 6, 7, 8, 6, 5, 4, 2, 1, 9}, "
#define HUGE_SAMPLE "{1E-300, 1E+300, 3E+300, 1E+17, 1E+154, 1E-05}"
#define OBSERVED_EXPECTED "({58, 35; 11, 25; 10, 23}, {45.35, 47.65; 17.56, 18.44; 16.09, 16.91})"
    RunRows(h, {
                   {"FTEST({6, 7, 9, 15, 21}, " F2 ")", "0.675841076606913"},
                   {"TTEST(" T1 ", " T2 ", 2)", "0.191995886760396"},
                   {"TTEST(" T1 ", " T2 ", 1)", "0.0959979433801981"},
                   {"TTEST(" T1 ", " T2 ", 3)", "#NUM!"},
                   {"TTEST2(" T1 ", " T2 ")", "-1.3622298275595"},
                   {"ZTEST" Z "4,)", "0.090574196851364"},
                   {"ZTEST" Z "\"\",)", "#NUM!"},
                   {"FORECAST(\"\", {9, 7, 12, 15, 17}, {3, 2, 4, 5, 6})", "#NUM!"},
                   {"ZTEST2" Z "4,)", "1.33722748248063"},
                   {"ZTEST" Z "6,)", "0.863043389129530"},
                   {"ZTEST2" Z "4, 2)", "1.73925271309261"},
                   // A sample whose squared deviations pass the double range.
                   {"ZTEST2(" HUGE_SAMPLE ", 8.325, 100)", "1.63299316185545E+298"},
                   {"ZTEST2(" HUGE_SAMPLE ", 0.07, 0.5)", "3.2659863237109E+300"},
                   {"ZTEST2(" HUGE_SAMPLE ", 0,)", "1.34839972492648"},
                   {"TTEST2(" HUGE_SAMPLE ", {1, 2})", "0.738548945875996"},
                   {"CHITEST" OBSERVED_EXPECTED, "0.999691807982992"},
                   {"CHITEST2" OBSERVED_EXPECTED, "16.1695750747969"},
                   // One column or one row: n − 1 degrees of freedom.
                   {"CHITEST({18; 22; 20}, {20; 20; 20})", "0.181269246922018"},
                   {"CHITEST({18, 22, 20}, {20, 20, 20})", "0.181269246922018"},
                   {"CHITEST({18, 22}, {20, 20})", "0.472910743134462"},
                   {"TTEST(A1:A5, " T2 ", 2)", "0.437069225959063"},
                   {"FTEST(A1:A5, " F2 ")", "0.971890811659415"},
                   {"ZTEST(A1:A5, 4,)", "0.177269739886751"},
                   {"FTEST({1}, " F2 ")", "#DIV/0!"},
                   {"ZTEST({1}, 1,)", "#DIV/0!"},
                   {"TTEST({1}, " T2 ", 2)", "#N/A!"},
                   {"FTEST({2, 2}, " F2 ")", "#DIV/0!"},
                   // A variance beyond the double range is #NUM!; a text is no value.
                   {"FTEST({1, 2, 3}, {1e200, 2e200})", "#NUM!"},
                   {"FTEST({1e200, 2e200, 3}, {1, 2, 3})", "#NUM!"},
                   // 5E+307 is within the range, though the squares summed are not.
                   {"FTEST({1, 2, 3}, {1e154, 2e154})", "1"},
                   {"FTEST({1, 2, 3}, {1e153, 2e153})", "1"},
                   {"FTEST({1, 2, 3}, {1e200, 2e200, \"x\"})", "#NUM!"},
                   {"FTEST({1e200}, {1, 2, 3})", "#DIV/0!"},
                   // The deviation is 7.07E+199 though the variance passes the range.
                   {"ZTEST({1e200, 2e200}, 1,)", "0.00134989803163009"},
                   {"TTEST(" T1 ", " T2 ")", "#SYNTAX!"},
               });
    Outcome o = h.Call("ZTEST" Z "{4; 6},)");
    ASSERT_TRUE(IsArray(o, 2, {0.0905741968513638, o.cells.at(1)}, 5e-15));
}

} // namespace vl::stattest
