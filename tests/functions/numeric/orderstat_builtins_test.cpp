#include "callharness.h"

namespace vl::stattest {

namespace {

const ArrayArg kTen = NumbersRow({3, 4, 5, 2, 3, 4, 5, 6, 4, 7});
const ArrayArg kOneToTen = NumbersRow({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});

class OrderStatistics : public ::testing::Test {
protected:
    void SetUp() override {
        // A1:A3 empty; B1:B4 1, "x", 3, #REF!; C1:C4 " 12 ", "12a", #DIV/0!, 2.
        h.PutColumn(1, 0, {1.0, std::string("x"), 3.0, ErrorValue{kErrRef}});
        h.PutColumn(2, 0, {std::string(" 12 "), std::string("12a"), ErrorValue{kErrDivZero}, 2.0});
    }
    CallHarness h;
};

} // namespace

TEST_F(OrderStatistics, ExtremesLeaveOutErrorsAndTexts) {
    RunCases(h, {
                    {"MAX(4, 5, 8, 7, 11, 4, 3)", {4.0, 5.0, 8.0, 7.0, 11.0, 4.0, 3.0}, Num("11")},
                    {"MIN(4, 5, 8, 7, 11, 4, 3)", {4.0, 5.0, 8.0, 7.0, 11.0, 4.0, 3.0}, Num("3")},
                    {"MAXA(-5, -3)", {-5.0, -3.0}, Num("-3")},
                    {"MINA(5, 3)", {5.0, 3.0}, Num("3")},
                    {"MAX(\"abc\", 2)", {std::string("abc"), 2.0}, Num("2")},
                    {"MAX(1/0)", {Failed{kErrDivZero}}, Num("0")},
                    {"MAX(A1:A3)", {Area{0, 0, 0, 2}}, Num("0")},
                    {"MIN(A1, 5)", {Ref{0, 0}, 5.0}, Num("0")},
                    {"MIN(A1:A2, 5)", {Area{0, 0, 0, 1}, 5.0}, Num("5")},
                    {"MAX(C1:C4)", {Area{2, 0, 2, 3}}, Num("12")},
                    {"MIN(C1:C4)", {Area{2, 0, 2, 3}}, Num("2")},
                    {"MAX(1e-310)", {1e-310}, Err(kErrNum)},
                    {"MAX()", {}, BadCount()},
                });
}

TEST_F(OrderStatistics, MedianAndModeSortTheNumbers) {
    RunCases(h, {
                    {"MEDIAN(1, 2, 3, 4, 5, 6)", {1.0, 2.0, 3.0, 4.0, 5.0, 6.0}, Num("3.5")},
                    {"MEDIAN(7)", {7.0}, Num("7")},
                    {"MEDIAN(B1:B4)", {Area{1, 0, 1, 3}}, Num("2")},
                    {"MEDIAN({\"a\", \"b\"})",
                     {RowOf({std::string("a"), std::string("b")})},
                     Err(kErrValue)},
                    {"MEDIAN(DBL_MAX, DBL_MAX)", {1.7e308, 1.7e308}, Err(kErrNum)},
                    {"MODE({5.6, 4, 4, 3, 2, 4})", {NumbersRow({5.6, 4, 4, 3, 2, 4})}, Num("4")},
                    {"MODE(1, 2, 2, 3, 3)", {1.0, 2.0, 2.0, 3.0, 3.0}, Num("2")},
                    {"MODE(9, 8, 7)", {9.0, 8.0, 7.0}, Num("7")},
                    {"MODE(C1:C4, 2)", {Area{2, 0, 2, 3}, 2.0}, Num("2")},
                });
}

TEST_F(OrderStatistics, LargeAndSmallPickFromTheSortedData) {
    RunCases(h, {
                    {"LARGE(data, 3)", {kTen, 3.0}, Num("5")},
                    {"SMALL(data, 3)", {kTen, 3.0}, Num("3")},
                    {"LARGE(data, 0)", {kTen, 0.0}, Err(kErrNum)},
                    {"LARGE(data, 11)", {kTen, 11.0}, Err(kErrNum)},
                    {"LARGE(data, 10)", {kTen, 10.0}, Num("2")},
                    {"LARGE(data, 2.5)", {kTen, 2.5}, Num("5")},
                    {"SMALL(B1:B3, 3)", {Area{1, 0, 1, 2}, 3.0}, Txt("x")},
                    {"SMALL(B1:B4, 1)", {Area{1, 0, 1, 3}, 1.0}, Err(kErrValue)},
                    {"LARGE(B1:B4, 1)", {Area{1, 0, 1, 3}, 1.0}, Num("3")},
                    {"LARGE(#REF!, 1)", {ErrorValue{kErrRef}, 1.0}, Err(kErrRef)},
                    {"LARGE(data, \"x\")", {kTen, std::string("x")}, Err(kErrNum)},
                    {"LARGE(data)", {kTen}, BadCount()},
                    {"LARGE(data, 1, 2)", {kTen, 1.0, 2.0}, BadCount()},
                });
}

TEST_F(OrderStatistics, PercentilesInterpolateBetweenPositions) {
    RunCases(
        h, {
               {"PERCENTILE({1, 2, 3, 4}, 0.3)", {NumbersRow({1, 2, 3, 4}), 0.3}, Num("1.9")},
               {"PERCENTILE({1, 2, 3, 4}, 1)", {NumbersRow({1, 2, 3, 4}), 1.0}, Num("4")},
               {"PERCENTILE({1, 2, 3, 4}, 0)", {NumbersRow({4, 3, 2, 1}), 0.0}, Num("1")},
               {"PERCENTILE(data, 1.01)", {NumbersRow({1, 2}), 1.01}, Err(kErrNum)},
               {"PERCENTILE(data, {0.5})", {NumbersRow({1, 2}), NumbersRow({0.5})}, Err(kErrValue)},
               {"PERCENTILE({7}, 0.3)", {NumbersRow({7}), 0.3}, Num("7")},
               {"PERCENTILE(B1:B4, 0.5)", {Area{1, 0, 1, 3}, 0.5}, Num("2")},
               {"PERCENTILE(B1:B4, 0)", {Area{1, 0, 1, 3}, 0.0}, Err(kErrRef)},
               {"PERCENTILE(B1:B4, 1)", {Area{1, 0, 1, 3}, 1.0}, Err(kErrNum)},
               {"PERCENTILE(A1:A3, 0.5)", {Area{0, 0, 0, 2}, 0.5}, Err(kErrNum)},
               {"QUARTILE({1, 2, 4, 7, 8, 9, 10, 12}, 1)",
                {NumbersRow({1, 2, 4, 7, 8, 9, 10, 12}), 1.0},
                Num("3.5")},
               {"QUARTILE(data, 4)", {NumbersRow({1, 2, 4, 7, 8, 9, 10, 12}), 4.0}, Num("12")},
               {"QUARTILE(data, 5)", {NumbersRow({1, 2}), 5.0}, Err(kErrNum)},
               {"QUARTILE({7}, 3)", {NumbersRow({7}), 3.0}, Num("7")},
           });
}

TEST_F(OrderStatistics, PercentRankRoundsToItsSignificance) {
    RunCases(h, {
                    {"PERCENTRANK(1..10, 4,)", {kOneToTen, 4.0, Omit{}}, Num("0.333")},
                    {"PERCENTRANK(1..10, 4.5,)", {kOneToTen, 4.5, Omit{}}, Num("0.389")},
                    {"PERCENTRANK(1..10, 4.5, 2)", {kOneToTen, 4.5, 2.0}, Num("0.39")},
                    {"PERCENTRANK(1..10, 0,)", {kOneToTen, 0.0, Omit{}}, Num("0")},
                    {"PERCENTRANK(1..10, 11,)", {kOneToTen, 11.0, Omit{}}, Err(kErrValue)},
                    {"PERCENTRANK(1..10, 4, 15)", {kOneToTen, 4.0, 15.0}, Err(kErrNum)},
                    {"PERCENTRANK({7}, 7,)", {NumbersRow({7}), 7.0, Omit{}}, Num("1")},
                    {"PERCENTRANK({1, 2, 2, 3}, 2,)",
                     {NumbersRow({1, 2, 2, 3}), 2.0, Omit{}},
                     Num("0.333")},
                    {"PERCENTRANK(1..10, 4)", {kOneToTen, 4.0}, BadCount()},
                });
}

TEST_F(OrderStatistics, RankInterpolatesBetweenNeighbours) {
    const ArrayArg data = NumbersRow({7, 3.5, 3.5, 1, 2});
    RunCases(h, {
                    {"RANK(3.5, data, 1)", {3.5, data, 1.0}, Num("3")},
                    {"RANK(3.5, data, 0)", {3.5, data, 0.0}, Num("2")},
                    {"RANK(3.5, data,)", {3.5, data, Omit{}}, Num("2")},
                    {"RANK(2.5, {1, 2, 3}, 1)", {2.5, NumbersRow({1, 2, 3}), 1.0}, Num("2.5")},
                    {"RANK(2.5, {3, 2, 1}, 0)", {2.5, NumbersRow({3, 2, 1}), 0.0}, Num("1.5")},
                    {"RANK(0.5, {1, 2, 3}, 1)", {0.5, NumbersRow({1, 2, 3}), 1.0}, Err(kErrValue)},
                    {"RANK(4, {1, 2, 3}, 1)", {4.0, NumbersRow({1, 2, 3}), 1.0}, Err(kErrValue)},
                    {"RANK(1, {1, 2, 3}, 2)", {1.0, NumbersRow({1, 2, 3}), 2.0}, Err(kErrNum)},
                    {"TRIMMEAN(1..10, 0.2)", {kOneToTen, 0.2}, Num("5.5")},
                    {"TRIMMEAN(1..10, 1)", {kOneToTen, 1.0}, Err(kErrNum)},
                    {"TRIMMEAN(B1:B4, 0)", {Area{1, 0, 1, 3}, 0.0}, Err(kErrNum)},
                });
}

TEST(TrimMean, DropsTwiceTheNearestWholeHalf) {
    EXPECT_EQ(TrimCount(3.0), 2u);
    EXPECT_EQ(TrimCount(3.6), 4u);
    EXPECT_EQ(TrimCount(1.5), 2u);
    EXPECT_EQ(TrimCount(1.4), 0u);
    EXPECT_EQ(TrimCount(2.0), 2u);
}

TEST_F(OrderStatistics, ArrayParametersGiveArraysOfResults) {
    Outcome o = h.Call("LARGE", {kTen, NumbersColumn({1, 2})});
    ASSERT_TRUE(o.isArray);
    EXPECT_EQ(o.columns, 1);
    EXPECT_EQ(o.rows, 2u);
    EXPECT_EQ(o.cells[0], Cell{7.0});
    EXPECT_EQ(o.cells[1], Cell{6.0});
    EXPECT_TRUE(o.tidy);

    o = h.Call("LARGE", {kTen, NumbersRow({1, 2})});
    ASSERT_TRUE(o.isArray);
    EXPECT_EQ(o.columns, 2);
    EXPECT_EQ(o.rows, 1u);

    o = h.Call("SMALL", {kTen, ArrayArg{{{1.0, 2.0}, {3.0, 11.0}}}});
    ASSERT_TRUE(o.isArray);
    ASSERT_EQ(o.cells.size(), 4u);
    EXPECT_EQ(o.cells[0], Cell{2.0});
    EXPECT_EQ(o.cells[1], Cell{3.0});
    EXPECT_EQ(o.cells[2], Cell{3.0});
    EXPECT_EQ(o.cells[3], Cell{ErrorValue{kErrNum}});
    EXPECT_TRUE(o.tidy);

    o = h.Call("RANK", {NumbersRow({1, 2}), NumbersRow({3, 2, 1}), NumbersRow({1, 0, 1})});
    EXPECT_TRUE(IsError(o, kErrValue)); // parameters of different shapes
}

TEST_F(OrderStatistics, RangesOnAnotherSheetReadAlike) {
    CCellStore other;
    CellCursor cursor;
    for (uint32_t row = 0; row < 10; ++row) {
        CellBuffer b;
        MakeNumberCell(b, 4, row, double(row + 1));
        ASSERT_TRUE(other.PutCell(b.bytes, cursor));
    }
    EXPECT_TRUE(IsNumber(h.Call("LARGE", {Area{4, 0, 4, 9, &other}, 2.0}), "9"));
    EXPECT_TRUE(IsNumber(h.Call("MEDIAN", {Area{4, 0, 4, 9, &other}}), "5.5"));
}

} // namespace vl::stattest
