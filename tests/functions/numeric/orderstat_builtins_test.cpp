#include "callharness.h"
#include "formula/edit/rowsort.h"

namespace vl::stattest {

namespace {

class OrderStatistics : public ::testing::Test {
protected:
    void SetUp() override {
        // A1:A3 empty; B1:B4 1, "x", 3, #REF!; C1:C4 " 12 ", "12a", #DIV/0!, 2.
        h.PutColumn(1, 0, {1.0, std::string("x"), 3.0, ErrorValue{kErrRef}});
        h.PutColumn(2, 0, {std::string(" 12 "), std::string("12a"), ErrorValue{kErrDivZero}, 2.0});
        // D1 a formula giving "", D2 a text of blanks, D3 3.
        h.PutFormula(3, 0, std::string());
        h.PutColumn(3, 1, {std::string(" "), 3.0});
    }
    CallHarness h;
};

#define TEN "{3, 4, 5, 2, 3, 4, 5, 6, 4, 7}"
#define ONE_TO_TEN "{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}"

} // namespace

TEST_F(OrderStatistics, ExtremesLeaveOutTextsAndTakeErrors) {
    RunRows(h, {
                   {"MAX(4, 5, 8, 7, 11, 4, 3)", "11"},
                   {"MIN(4, 5, 8, 7, 11, 4, 3)", "3"},
                   {"MAXA(-5, -3)", "-3"},
                   {"MINA(5, 3)", "3"},
                   {"MAX(\"abc\", 2)", "#NUM!"},
                   {"MAX(1/0)", "#DIV/0!"},
                   {"MAX(A1:A3)", "0"},
                   {"MIN(A1, 5)", "5"},
                   {"MIN(A1:A2, 5)", "5"},
                   {"MAX(C1:C4)", "#DIV/0!"},
                   {"MIN(C1:C4)", "#DIV/0!"},
                   {"MAX(C1:C2, C4)", "2"},
                   {"MAX(1e-310)", "#NUM!"},
                   {"MIN(\"\", 0.3, \" 2 \")", "#NUM!"},
                   {"MIN(0.3, \" 2 \")", "0.3"},
                   {"MINA(\"\", 0.3)", "0"},
                   {"MAX(\"\", -0.3)", "#NUM!"},
                   {"MAXA(\"\", -0.3)", "0"},
                   {"MIN(D1:D3)", "3"},
                   {"MIN(D1, 4)", "4"},
                   {"MEDIAN(D1:D3, 5)", "4"},
                   {"MAX()", "#SYNTAX!"},
               });
}

TEST_F(OrderStatistics, MedianAndModeSortTheNumbers) {
    RunRows(h, {
                   {"MEDIAN(1, 2, 3, 4, 5, 6)", "3.5"},
                   {"MEDIAN(7)", "7"},
                   {"MEDIAN(B1:B4)", "#REF!"},
                   {"MEDIAN(B1:B3)", "2"},
                   {"MEDIAN({\"a\", \"b\"})", "#VALUE!"},
                   {"MEDIAN(1.7e308, 1.7e308)", "#NUM!"},
                   {"MODE({5.6, 4, 4, 3, 2, 4})", "4"},
                   {"MODE(1, 2, 2, 3, 3)", "2"},
                   {"MODE(9, 8, 7)", "#N/A!"},
                   {"MODE(C1:C4, 2)", "#DIV/0!"},
                   {"MODE(C1:C2, C4, 2)", "2"},
               });
}

TEST_F(OrderStatistics, LargeAndSmallPickFromTheSortedData) {
    RunRows(h, {
                   {"LARGE(" TEN ", 3)", "5"},
                   {"SMALL(" TEN ", 3)", "3"},
                   {"LARGE(" TEN ", 0)", "#NUM!"},
                   {"LARGE(" TEN ", 11)", "#NUM!"},
                   {"LARGE(" TEN ", 10)", "2"},
                   {"LARGE(" TEN ", 2.5)", "5"},
                   {"SMALL(B1:B3, 3)", "#NUM!"},
                   {"SMALL(B1:B4, 1)", "#REF!"},
                   {"SMALL(B1:B3, 1)", "1"},
                   {"LARGE(B1:B4, 1)", "#REF!"},
                   {"LARGE(B1:B3, 1)", "3"},
                   {"LARGE(#REF!, 1)", "#REF!"},
                   {"LARGE(" TEN ", \"x\")", "#NUM!"},
                   {"LARGE(" TEN ")", "#SYNTAX!"},
                   {"LARGE(" TEN ", 1, 2)", "#SYNTAX!"},
               });
}

TEST_F(OrderStatistics, PercentilesInterpolateBetweenPositions) {
    RunRows(h, {
                   {"PERCENTILE({1, 2, 3, 4}, 0.3)", "1.9"},
                   {"PERCENTILE({1, 2, 3, 4}, 1)", "4"},
                   {"PERCENTILE({4, 3, 2, 1}, 0)", "1"},
                   {"PERCENTILE({1, 2}, 1.01)", "#NUM!"},
                   {"PERCENTILE({1, 2}, \" \")", "#NUM!"},
                   {"PERCENTRANK({1, 2, 3}, D1,)", "#NUM!"},
                   {"RANK(D2, {1, 2, 3},)", "#NUM!"},
                   {"PERCENTILE({7}, 0.3)", "7"},
                   {"PERCENTILE(B1:B4, 0.5)", "#REF!"},
                   {"PERCENTILE(B1:B3, 0.5)", "2"},
                   {"PERCENTILE(B1:B4, 0)", "#REF!"},
                   {"PERCENTILE(B1:B4, 1)", "#REF!"},
                   {"PERCENTILE(A1:A3, 0.5)", "#NUM!"},
                   {"QUARTILE({1, 2, 4, 7, 8, 9, 10, 12}, 1)", "3.5"},
                   {"QUARTILE({1, 2, 4, 7, 8, 9, 10, 12}, 4)", "12"},
                   {"QUARTILE({1, 2}, 5)", "#NUM!"},
                   {"QUARTILE({7}, 3)", "7"},
               });
    // An array of fractions gives the percentile of each.
    EXPECT_TRUE(IsArray(h.Call("PERCENTILE({1, 2}, {0.5})"), 1, {1.5}));
    EXPECT_TRUE(IsArray(h.Call("PERCENTILE({1, 2, 3, 4}, {0.3; 1})"), 2, {1.9, 4.0}));
    EXPECT_TRUE(IsArray(h.Call("QUARTILE({10, 20, 30, 40}, {1; 2; 3})"), 3, {17.5, 25.0, 32.5}));
}

TEST_F(OrderStatistics, PercentRankRoundsToItsSignificance) {
    RunRows(h, {
                   {"PERCENTRANK(" ONE_TO_TEN ", 4,)", "0.333"},
                   {"PERCENTRANK(" ONE_TO_TEN ", 4.5,)", "0.389"},
                   {"PERCENTRANK(" ONE_TO_TEN ", 4.5, 2)", "0.39"},
                   {"PERCENTRANK(" ONE_TO_TEN ", 0,)", "0"},
                   {"PERCENTRANK(" ONE_TO_TEN ", 11,)", "#VALUE!"},
                   {"PERCENTRANK(" ONE_TO_TEN ", 4, 15)", "#NUM!"},
                   {"PERCENTRANK({7}, 7,)", "1"},
                   {"PERCENTRANK({1, 2, 2, 3}, 2,)", "0.333"},
                   {"PERCENTRANK(" ONE_TO_TEN ", 4)", "#SYNTAX!"},
               });
}

TEST_F(OrderStatistics, RankInterpolatesBetweenNeighbours) {
    RunRows(h,
            {
                {"RANK(3.5, {7, 3.5, 3.5, 1, 2}, 1)", "3"},
                // x and order given as texts are each read from their own argument.
                {"RANK(\"2\", {1, 2, 3}, \"1\")", "2"},
                {"RANK(3.5, {7, 3.5, 3.5, 1, 2}, 0)", "2"},
                {"RANK(3.5, {7, 3.5, 3.5, 1, 2},)", "2"},
                {"RANK(2.5, {1, 2, 3}, 1)", "2.5"},
                {"RANK(2.5, {3, 2, 1}, 0)", "1.5"},
                {"RANK(0.5, {1, 2, 3}, 1)", "#VALUE!"},
                {"RANK(4, {1, 2, 3}, 1)", "#VALUE!"},
                {"RANK(1, {1, 2, 3}, 2)", "#NUM!"},
                {"RANK({1, 2}, {3, 2, 1}, {1, 0, 1})", "#VALUE!"}, // parameters of different shapes
                {"TRIMMEAN(" ONE_TO_TEN ", 0.2)", "5.5"},
                {"TRIMMEAN(" ONE_TO_TEN ", 1)", "#NUM!"},
                {"TRIMMEAN(B1:B4, 0)", "#REF!"},
                {"TRIMMEAN(" ONE_TO_TEN ", \"\")", "#NUM!"},
                {"TRIMMEAN(" ONE_TO_TEN ", \" 0 \")", "5.5"},
                // A single cell is a one-cell range.
                {"RANK(1, B1, 1)", "1"},
                {"RANK(3, B3, 0)", "1"},
                {"RANK(2, B3, 0)", "#VALUE!"},
                {"RANK(1, B2, 0)", "#NUM!"},
                {"LARGE(B3, 1)", "3"},
                {"MEDIAN(B3)", "3"},
            });
}

// Texts among the data, those that spell a number too, are no data: a heading is never the
// largest value.
TEST_F(OrderStatistics, TextsAmongTheDataAreLeftOut) {
    RunRows(h, {
                   {"RANK(3, {1, \"x\", 3}, 0)", "1"},
                   {"RANK(3, {1, \"x\", 3}, 1)", "2"},
                   {"LARGE({1, \"x\", 3}, 1)", "3"},
                   {"LARGE({1, \"x\", 3}, 3)", "#NUM!"},
                   {"SMALL({\"x\", 2, \"-5\"}, 1)", "2"},
                   {"LARGE({\" 7 \", 2, 10}, 2)", "2"},
                   {"PERCENTILE({\"3\", 1, 2}, 1)", "2"},
                   {"PERCENTILE({\"3\", 1, 2}, 0)", "1"},
                   {"SMALL({\"b\", 2, \"A\"}, 2)", "#NUM!"},
                   {"SMALL({\"b\", 2, \"A\"}, 1)", "2"},
                   // The empty text of a formula and blanks are no data either.
                   {"SMALL(D1:D3, 1)", "3"},
                   {"SMALL(D1:D3, 2)", "#NUM!"},
                   {"PERCENTILE(D1:D3, 0)", "3"},
                   {"TRIMMEAN(D1:D3, 0)", "3"},
                   {"RANK(3, D1:D3, 1)", "1"},
                   {"SMALL({\" \", 2}, 2)", "#NUM!"},
               });
}

TEST(TrimMean, DropsTheEvenCountAtOrBelowTheShare) {
    EXPECT_EQ(TrimCount(3.0), 2u);
    EXPECT_EQ(TrimCount(3.6), 2u);
    EXPECT_EQ(TrimCount(1.5), 0u);
    EXPECT_EQ(TrimCount(1.4), 0u);
    EXPECT_EQ(TrimCount(2.0), 2u);
    EXPECT_EQ(TrimCount(3.9999999999999996), 4u); // 4 a unit of the last place below
    EXPECT_EQ(TrimCount(3.99), 2u);
    EXPECT_EQ(TrimCount(0.0), 0u);
}

TEST_F(OrderStatistics, ArrayParametersGiveArraysOfResults) {
    EXPECT_TRUE(IsArray(h.Call("LARGE(" TEN ", {1; 2})"), 2, {7.0, 6.0}));
    Outcome o = h.Call("LARGE(" TEN ", {1, 2})");
    EXPECT_TRUE(IsArray(o, 1, {7.0, 6.0}));
    EXPECT_EQ(o.columns, 2);
    EXPECT_TRUE(
        IsArray(h.Call("SMALL(" TEN ", {1, 2; 3, 11})"), 2, {2.0, 3.0, 3.0, ErrorValue{kErrNum}}));
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

namespace vl::stattest {

// LARGE and SMALL pick the k-th cell of the order a sort of the worksheet gives the same
// column: numbers among numeric and other texts and a formula's text result, which are no
// data.
TEST(OrderStatisticsSort, PicksFollowTheWorksheetSortInBothDirections) {
    CallHarness h;
    const std::vector<Cell> column = {9.0,  std::string("b"),  std::string(" 7 "),
                                      -2.0, std::string("!"),  std::string("A"),
                                      5.0,  std::string("12"), 0.5};
    h.PutColumn(3, 0, column);
    h.PutFormula(3, uint32_t(column.size()), std::string("a"));
    const uint32_t n = uint32_t(column.size()) + 1;
    const uint16_t key = 3;
    for (const bool large : {false, true}) {
        const uint8_t ascending = large ? 0 : 1;
        std::vector<uint32_t> order(n);
        ASSERT_TRUE(SortRows(h.ctx, h.sheet, 0, n - 1, 1, &key, &ascending, order.data()));
        // The sorted cells less the texts.
        std::vector<const uint8_t*> data;
        for (uint32_t row : order) {
            const uint8_t* cell = FindCell(h.sheet, row, key);
            ASSERT_NE(cell, nullptr);
            if (cell::IsText(cell)) continue;
            if (cell::IsFormula(cell) && (cell::ResultFlags(cell) & kResultText)) continue;
            data.push_back(cell);
        }
        EXPECT_EQ(data.size(), 4u);
        for (uint32_t k = 1; k <= n; ++k) {
            const std::string call =
                std::string(large ? "LARGE" : "SMALL") + "(D1:D10, " + std::to_string(k) + ")";
            const Outcome got = h.Call(call);
            if (k > data.size()) {
                EXPECT_TRUE(IsError(got, kErrNum)) << call;
                continue;
            }
            const uint8_t* cell = data[k - 1];
            const bool text = cell::IsText(cell) ||
                              (cell::IsFormula(cell) && (cell::ResultFlags(cell) & kResultText));
            if (cell::Error(cell))
                EXPECT_TRUE(IsError(got, kErrValue)) << call;
            else if (text)
                EXPECT_EQ(got.text, cell::IsText(cell) ? cell::Text(cell) : cell::CachedText(cell))
                    << call;
            else
                EXPECT_EQ(got.number, cell::Number(cell)) << call;
        }
    }
}

} // namespace vl::stattest
