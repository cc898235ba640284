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
    RunCases(
        h,
        {
            {"AVERAGE(4, 5, 6, 3, 5, 4)", {4.0, 5.0, 6.0, 3.0, 5.0, 4.0}, Num("4.5")},
            {"AVERAGEA(4, 5, 6, 3, 5, 4)", {4.0, 5.0, 6.0, 3.0, 5.0, 4.0}, Num("4.5")},
            {"AVEDEV(4, 5, 6, 3, 5, 4)", {4.0, 5.0, 6.0, 3.0, 5.0, 4.0}, Num("0.833333333333333")},
            {"DEVSQ(4, 5, 8, 7, 11, 4, 3)", {4.0, 5.0, 8.0, 7.0, 11.0, 4.0, 3.0}, Num("48")},
            {"AVERAGE(A1:A3)", {Area{0, 0, 0, 2}}, Err(kErrNA)},
            {"AVERAGE(A1)", {Ref{0, 0}}, Num("0")},
            {"AVERAGE(1, NA())", {1.0, Failed{kErrNA}}, Err(kErrNA)},
            {"AVERAGE(1, , 3)", {1.0, Omit{}, 3.0}, Num("2")},
            {"AVERAGE(1, #DIV/0!, 3)", {1.0, ErrorValue{kErrDivZero}, 3.0}, Num("2")},
            {"AVERAGE(B1:B3)", {Area{1, 0, 1, 2}}, Err(kErrNum)},
            {"AVERAGE(B1, B3)", {Ref{1, 0}, Ref{1, 2}}, Err(kErrDivZero)},
            {"DEVSQ(1, , 3)", {1.0, Omit{}, 3.0}, Num("2")},
            {"DEVSQ(1, A1, 3)", {1.0, Ref{0, 0}, 3.0}, Num("2")},
            {"DEVSQ(1, #REF!)", {1.0, ErrorValue{kErrRef}}, Err(kErrRef)},
            {"DEVSQ(A1:A3)", {Area{0, 0, 0, 2}}, Err(kErrNA)},
            {"AVEDEV(B1:B3)", {Area{1, 0, 1, 2}}, Err(kErrNum)},
            {"COUNT({1, 3, \"abc\"}, {\"4.5\", 5.6})",
             {RowOf({1.0, 3.0, std::string("abc")}), RowOf({std::string("4.5"), 5.6})},
             Num("4")},
            {"COUNT(NA())", {Failed{kErrNA}}, Num("1")},
            {"COUNT(A1, , B1:B3)", {Ref{0, 0}, Omit{}, Area{1, 0, 1, 2}}, Num("2")},
            {"COUNTA({1, 3, \"abc\"}, {\"4.5\", 5.6,,})",
             {RowOf({1.0, 3.0, std::string("abc")}),
              RowOf({std::string("4.5"), 5.6, Cell{}, Cell{}})},
             Num("5")},
            {"COUNTA(A1, , \"x\", #REF!)",
             {Ref{0, 0}, Omit{}, std::string("x"), ErrorValue{kErrRef}},
             Num("2")},
            {"COUNTA(B1:B3, A1:A3)", {Area{1, 0, 1, 2}, Area{0, 0, 0, 2}}, Num("3")},
            {"COUNT()", {}, BadCount()},
        });
}

TEST_F(Descriptive, PairedAreasPositionByPosition) {
    const ArrayArg x = NumbersRow({3, 2, 4, 5, 6}), y = NumbersRow({9, 7, 12, 15, 17});
    RunCases(h,
             {
                 {"COVAR", {x, y}, Num("5.2")},
                 {"CORREL", {x, y}, Num("0.99705448550158")},
                 {"CORREL({1, 1}, {2, 3})", {NumbersRow({1, 1}), NumbersRow({2, 3})}, Err(kErrNum)},
                 {"COVAR(C1:E2, C5:D7)", {Area{2, 0, 4, 1}, Area{2, 4, 3, 6}}, Err(kErrNA)},
                 {"CORREL(x, #REF!)", {x, ErrorValue{kErrRef}}, Err(kErrRef)},
                 {"FORECAST(30, y, x)",
                  {30.0, NumbersRow({6, 7, 9, 15, 21}), NumbersRow({20, 28, 31, 38, 40})},
                  Num("10.6072530864198")},
                 {"FORECAST(1, C1:E2, C5:D7)",
                  {1.0, Area{2, 0, 4, 1}, Area{2, 4, 3, 6}},
                  Err(kErrValue)},
                 {"FORECAST(\"x\", y, x)", {std::string("x"), y, x}, Err(kErrNum)},
                 {"CHITEST2(C1:E2, C5:D7)", {Area{2, 0, 4, 1}, Area{2, 4, 3, 6}}, Err(kErrValue)},
             });
}

TEST_F(Descriptive, FrequencyCountsIntoBins) {
    const ArrayArg data = NumbersRow({79, 85, 78, 85, 83, 81, 95, 88, 97});
    Outcome o = h.Call("FREQUENCY", {data, NumbersRow({70, 79, 89})});
    ASSERT_TRUE(o.isArray);
    ASSERT_EQ(o.columns, 1);
    ASSERT_EQ(o.rows, 4u);
    EXPECT_EQ(o.cells, (std::vector<Cell>{0.0, 2.0, 5.0, 2.0}));
    EXPECT_TRUE(o.tidy);
    // Bins keep their order; a value falls into the first bin that takes it.
    o = h.Call("FREQUENCY", {data, NumbersRow({89, 79})});
    ASSERT_TRUE(o.isArray);
    EXPECT_EQ(o.cells, (std::vector<Cell>{7.0, 0.0, 2.0}));
    EXPECT_TRUE(IsError(h.Call("FREQUENCY", {Area{1, 0, 1, 2}, NumbersRow({1})}), kErrNum));
    EXPECT_TRUE(IsError(h.Call("FREQUENCY", {data, ErrorValue{kErrRef}}), kErrRef));
}

} // namespace vl::stattest
