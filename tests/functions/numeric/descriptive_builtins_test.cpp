#include "callharness.h"

namespace vl::stattest {

namespace {

class Descriptive : public ::testing::Test {
protected:
    void SetUp() override {
        // A1:A3 empty; B1:B3 1, "abc", #DIV/0!; C1:E2 a 2 x 3 block; C5:D7 a 3 x 2 block.
        h.PutColumn(1, 0, {1.0, std::string("abc"), ErrorValue{kErrDivZero}});
        for (uint16_t c = 2; c <= 4; ++c) h.PutColumn(c, 0, {1.0 * c, 2.0 * c});
        for (uint16_t c = 2; c <= 3; ++c) h.PutColumn(c, 4, {1.0, 2.0, 3.0 + c});
    }
    CallHarness h;
};

} // namespace

TEST_F(Descriptive, ValueListsAndCounts) {
    RunRows(h, {
                   {"AVERAGE(4, 5, 6, 3, 5, 4)", "4.5"},
                   {"AVERAGEA(4, 5, 6, 3, 5, 4)", "4.5"},
                   {"AVEDEV(4, 5, 6, 3, 5, 4)", "0.833333333333333"},
                   {"DEVSQ(4, 5, 8, 7, 11, 4, 3)", "48"},
                   {"AVERAGE(-100000000.7, 100000000.1, -0.29)", "-0.296666669646899"},
                   {"AVERAGE(1E16, 1, -1E16, 1)", "0.5"},
                   {"AVERAGE(A1:A3)", "#N/A!"},
                   {"AVERAGE(A1)", "#N/A!"},
                   {"AVERAGE(1, NA())", "#N/A!"},
                   {"AVERAGE(1, , 3)", "2"},
                   {"AVERAGE(1, #DIV/0!, 3)", "2"},
                   {"AVERAGE(B1:B3)", "#DIV/0!"},
                   {"AVERAGE(B1, B3)", "#DIV/0!"},
                   {"DEVSQ(1, , 3)", "2"},
                   {"DEVSQ(1, A1, 3)", "2"},
                   {"DEVSQ(1, #REF!)", "#REF!"},
                   {"DEVSQ(A1:A3)", "#N/A!"},
                   {"AVEDEV(B1:B3)", "#DIV/0!"},
                   {"AVERAGE(\"\", 1)", "#NUM!"},
                   {"AVERAGEA(\"  \", 1)", "0.5"},
                   {"DEVSQ(1, \"\")", "#NUM!"},
                   {"AVERAGE(\" 2 \", 1)", "1.5"},
                   {"COUNT({1, 3, \"abc\"}, {\"4.5\", 5.6})", "3"},
                   {"COUNT(NA())", "0"},
                   {"COUNT(A1, , B1:B3)", "1"},
                   {"COUNT(\"\", \" \", \" 2 \", 1)", "2"},
                   {"COUNTA({1, 3, \"abc\"}, {\"4.5\", 5.6,,})", "5"},
                   {"COUNTA(A1, , \"x\", #REF!)", "2"},
                   {"COUNTA(B1:B3, A1:A3)", "3"},
                   {"COUNT()", "#SYNTAX!"},
               });
}

TEST_F(Descriptive, PairedAreasPositionByPosition) {
    RunRows(h, {
                   {"COVAR({3, 2, 4, 5, 6}, {9, 7, 12, 15, 17})", "5.2"},
                   {"CORREL({3, 2, 4, 5, 6}, {9, 7, 12, 15, 17})", "0.99705448550158"},
                   {"CORREL({1, 1}, {2, 3})", "#NUM!"},
                   // Products of deviations far apart in size that cancel keep their rest.
                   {"CORREL({-1, 0, 2.5, 1E15}, {1, 2, 0, 1})", "-2.04124145231932E-15"},
                   {"PEARSON({-1, 0, 2.5, 1E15}, {1, 2, 0, 1})", "-2.04124145231932E-15"},
                   {"COVAR({-1, 0, 2.5, 1E15}, {1, 2, 0, 1})", "-0.625"},
                   {"COVAR(C1:E2, C5:D7)", "#N/A!"},
                   {"CORREL({3, 2, 4, 5, 6}, #REF!)", "#REF!"},
                   {"FORECAST(30, {6, 7, 9, 15, 21}, {20, 28, 31, 38, 40})", "10.6072530864198"},
                   {"FORECAST(1, C1:E2, C5:D7)", "#VALUE!"},
                   {"FORECAST(\"x\", {9, 7, 12, 15, 17}, {3, 2, 4, 5, 6})", "#NUM!"},
                   {"CHITEST2(C1:E2, C5:D7)", "#VALUE!"},
                   {"FREQUENCY(B1:B3, {1})", "#DIV/0!"},
                   {"FREQUENCY({79, 85, 78, 85, 83, 81, 95, 88, 97}, #REF!)", "#REF!"},
               });
    // A sample against itself correlates exactly, never past 1.
    EXPECT_TRUE(IsNumberNear(h.Call("CORREL({2, 0, 0, 12, 0, 1}, {2, 0, 0, 12, 0, 1})"), 1, 0));
    EXPECT_TRUE(IsNumberNear(h.Call("CORREL({2, 0, 0, 12, 0, 1}, {-2, 0, 0, -12, 0, -1})"), -1, 0));
    EXPECT_TRUE(IsNumberNear(
        h.Call("PEARSON({3, 1.5, -2, 7, 0.25, 10}, {3, 1.5, -2, 7, 0.25, 10})"), 1, 0));
    // Bins keep their rows whatever their order; a value falls into the smallest bin at or
    // above it, of equal bins the first.
    const char* data = "FREQUENCY({79, 85, 78, 85, 83, 81, 95, 88, 97}, ";
    EXPECT_TRUE(IsArray(h.Call(std::string(data) + "{70, 79, 89})"), 4, {0.0, 2.0, 5.0, 2.0}));
    EXPECT_TRUE(IsArray(h.Call(std::string(data) + "{89, 79})"), 3, {5.0, 2.0, 2.0}));
    EXPECT_TRUE(IsArray(h.Call(std::string(data) + "{89, 70, 79})"), 4, {5.0, 0.0, 2.0, 2.0}));
    EXPECT_TRUE(IsArray(h.Call(std::string(data) + "{85, 85})"), 3, {6.0, 0.0, 3.0}));
}

} // namespace vl::stattest
