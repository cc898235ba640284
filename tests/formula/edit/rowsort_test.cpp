#include "edittestutil.h"
#include "formula/edit/permsort.h"
#include "formula/edit/rowsort.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace vl {

using namespace edittest;

namespace {

// The values of column 0 of rows 0..n-1 after sorting them by that column.
std::vector<std::string> SortedColumn(const std::vector<std::string>& values, bool ascending) {
    CEvalContext ctx;
    CCellStore store;
    PutColumn(store, 0, 0, values);
    std::vector<uint32_t> perm(values.size());
    const uint16_t column = 0;
    const uint8_t flag = ascending ? 1 : 0;
    EXPECT_TRUE(
        SortRows(ctx, store, 0, uint32_t(values.size() - 1), 1, &column, &flag, perm.data()));
    std::vector<std::string> out;
    for (uint32_t row : perm) out.push_back(ValueAt(store, 0, row));
    return out;
}

bool IsPermutation(const std::vector<uint32_t>& perm, uint32_t r1) {
    std::vector<uint32_t> sorted = perm;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i)
        if (sorted[i] != r1 + i) return false;
    return true;
}

} // namespace

TEST(SortRows, OneKeyOrdersByKindsErrorsAndEmptyCells) {
    struct Case {
        std::vector<std::string> in;
        bool ascending;
        std::vector<std::string> out;
    };
    const Case cases[] = {
        {{"3", "b", "", "1", "A"}, true, {"1", "3", "A", "b", ""}},
        {{"2", "", "5", "1", ""}, false, {"5", "2", "1", "", ""}},
        {{"", "2", "", "5", "1"}, true, {"1", "2", "5", "", ""}},
        {{"5", "#N/A!", "#DIV/0!", "2"}, true, {"#DIV/0!", "#N/A!", "2", "5"}},
        {{"5", "#N/A!", "#DIV/0!", "2"}, false, {"5", "2", "#N/A!", "#DIV/0!"}},
        {{"pear", "Apple", "banana", "apples"}, true, {"Apple", "apples", "banana", "pear"}},
        {{"pear", "Apple", "banana", "apples"}, false, {"pear", "banana", "apples", "Apple"}},
        {{"-1.5", "1e3", "0", "-20"}, true, {"-20", "-1.5", "0", "1000"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SortedColumn(c.in, c.ascending), c.out);
}

TEST(SortRows, DescendingKeepsEmptyCellsLastAmongMixedKinds) {
    const auto out = SortedColumn({"3", "b", "", "1", "A", ""}, false);
    EXPECT_EQ(out[4], "");
    EXPECT_EQ(out[5], "");
}

TEST(SortRows, LaterKeysDecideTiesAndRowsOutsideTheRangeStay) {
    CEvalContext ctx;
    CCellStore store;
    // Rows 2..7: key 1 column 1 ascending, key 2 column 3 descending.
    PutColumn(store, 1, 0, {"9", "9", "b", "a", "b", "a", "b", "9"});
    PutColumn(store, 3, 0, {"0", "0", "1", "5", "3", "2", "2", "0"});
    const uint16_t columns[] = {1, 3};
    const uint8_t ascending[] = {1, 0};
    std::vector<uint32_t> perm(6);
    ASSERT_TRUE(SortRows(ctx, store, 2, 7, 2, columns, ascending, perm.data()));
    EXPECT_EQ(perm, (std::vector<uint32_t>{7, 3, 5, 4, 6, 2}));
}

TEST(SortRows, KeyCountAtTheLimitSortsAndOnePastLeavesTheIdentity) {
    CEvalContext ctx;
    CCellStore store;
    PutColumn(store, 0, 10, {"3", "2", "1"});
    std::vector<uint16_t> columns(101, 0);
    std::vector<uint8_t> ascending(101, 1);
    std::vector<uint32_t> perm(3);
    EXPECT_TRUE(SortRows(ctx, store, 10, 12, 100, columns.data(), ascending.data(), perm.data()));
    EXPECT_EQ(perm, (std::vector<uint32_t>{12, 11, 10}));
    EXPECT_FALSE(SortRows(ctx, store, 10, 12, 101, columns.data(), ascending.data(), perm.data()));
    EXPECT_EQ(perm, (std::vector<uint32_t>{10, 11, 12}));
}

TEST(SortRows, RowsWithoutKeyCellsKeepTheirOrder) {
    CEvalContext ctx;
    CCellStore store;
    PutColumn(store, 0, 0, {"c", "a", "b", "d"}); // not a key
    const uint16_t column = 1;
    const uint8_t ascending = 1;
    std::vector<uint32_t> perm(4);
    ASSERT_TRUE(SortRows(ctx, store, 0, 3, 1, &column, &ascending, perm.data()));
    EXPECT_EQ(perm, (std::vector<uint32_t>{0, 1, 2, 3}));
}

TEST(SortRows, FormulaCellsSortByTheirCachedResults) {
    CEvalContext ctx;
    CCellStore store;
    CellBuffer b;
    FormulaHead number;
    number.cachedNumber = 7;
    ASSERT_TRUE(MakeFormulaCell(b, 0, 0, number, "R1C2"));
    PutRecord(store, b);
    FormulaHead text;
    text.resultFlags = kResultText;
    ASSERT_TRUE(MakeFormulaCell(b, 0, 1, text, "R1C2", "apple"));
    PutRecord(store, b);
    PutColumn(store, 0, 2, {"2", "Zebra"});
    const uint16_t column = 0;
    const uint8_t ascending = 1;
    std::vector<uint32_t> perm(4);
    ASSERT_TRUE(SortRows(ctx, store, 0, 3, 1, &column, &ascending, perm.data()));
    std::vector<std::string> out;
    for (uint32_t row : perm) out.push_back(ValueAt(store, 0, row));
    EXPECT_EQ(out, (std::vector<std::string>{"2", "7", "apple", "Zebra"}));
    EXPECT_FALSE(store.BlockValid(0)); // the index built for the sort is dropped
}

TEST(CompareRows, OneKeyBothDirections) {
    struct Case {
        std::string a, b;
        int ascending; // sign; descending inverts all but the empty rule
        int descending;
    };
    const Case cases[] = {
        {"1", "2", -1, 1},
        {"2", "2", 0, 0},
        {"abc", "ABC", 0, 0},
        {"abc", "abd", -1, 1},
        {"ab", "abc", -1, 1},
        {"", "1", 1, 1},
        {"1", "", -1, -1},
        {"", "", 0, 0},
        {"#N/A!", "1", -1, 1},
        {"#N/A!", "", -1, 1},
        {"#N/A!", "#DIV/0!", 1, -1},
        {"#N/A!", "#N/A!", 0, 0},
        // A number against text: the text read as a number, or empty.
        {"3", "' 12 ", -1, 1},
        {"30", "'12", 1, -1},
        {"3", "'x", -1, -1},
        {"3", "'1e999", -1, -1},
        // Text against a number: the number written as text.
        {"'10", "3", -1, 1},
        {"'b", "1", 1, -1},
        {"'0.5", "0.5", 0, 0},
    };
    CEvalContext ctx;
    for (const Case& c : cases) {
        CCellStore store;
        PutValue(store, 0, 0, c.a);
        PutValue(store, 0, 1, c.b);
        const uint8_t* a = FindCell(store, 0, 0);
        const uint8_t* b = FindCell(store, 1, 0);
        for (uint8_t asc : {1, 0}) {
            const int got = CompareRows(ctx, &a, &b, 1, &asc);
            EXPECT_EQ((got > 0) - (got < 0), asc ? c.ascending : c.descending)
                << c.a << " vs " << c.b << (asc ? " ascending" : " descending");
        }
    }
}

TEST(CompareRows, LaterKeysOnlyOnTies) {
    CEvalContext ctx;
    CCellStore store;
    PutColumn(store, 0, 0, {"1", "1"});
    PutColumn(store, 1, 0, {"5", "4"});
    const uint8_t* a[] = {FindCell(store, 0, 0), FindCell(store, 0, 1)};
    const uint8_t* b[] = {FindCell(store, 1, 0), FindCell(store, 1, 1)};
    const uint8_t ascending[] = {1, 1};
    EXPECT_GT(CompareRows(ctx, a, b, 2, ascending), 0);
    EXPECT_EQ(CompareRows(ctx, a, b, 1, ascending), 0);
    EXPECT_EQ(CompareRows(ctx, a, b, 0, ascending), 0);
}

// Numbers against texts compare inconsistently; whatever order comes out, every row is
// placed once and no scan leaves the range (the sanitizer build watches the reads).
TEST(SortRows, InconsistentComparisonsStillGiveAPermutation) {
    std::mt19937 rng(7);
    const char* pool[] = {"1", "2", "'10", "'3", "x", "'Y", "", "#N/A!", "'2", "-4"};
    CEvalContext ctx;
    for (int round = 0; round < 300; ++round) {
        CCellStore store;
        const uint32_t n = 1 + rng() % 40, r1 = rng() % 3;
        for (uint32_t i = 0; i < n; ++i) PutValue(store, 0, r1 + i, pool[rng() % 10]);
        const uint16_t column = 0;
        const uint8_t ascending = uint8_t(rng() % 2);
        std::vector<uint32_t> perm(n);
        ASSERT_TRUE(SortRows(ctx, store, r1, r1 + n - 1, 1, &column, &ascending, perm.data()));
        ASSERT_TRUE(IsPermutation(perm, r1)) << "round " << round;
    }
}

// Consistent keys (numbers with repeats and empty cells) against a reference order.
TEST(SortRows, RandomNumbersMatchAReferenceOrder) {
    std::mt19937 rng(11);
    CEvalContext ctx;
    for (int round = 0; round < 100; ++round) {
        CCellStore store;
        const uint32_t n = 1 + rng() % 3000;
        std::vector<double> keys(n);
        for (uint32_t i = 0; i < n; ++i) {
            keys[i] = double(rng() % 50);
            if (keys[i] < 5) continue; // missing cell
            CellBuffer b;
            ASSERT_TRUE(MakeNumberCell(b, 2, i, keys[i]));
            PutRecord(store, b);
        }
        const uint16_t column = 2;
        const uint8_t ascending = uint8_t(round % 2);
        std::vector<uint32_t> perm(n);
        ASSERT_TRUE(SortRows(ctx, store, 0, n - 1, 1, &column, &ascending, perm.data()));
        ASSERT_TRUE(IsPermutation(perm, 0));
        for (uint32_t i = 1; i < n; ++i) {
            const double a = keys[perm[i - 1]], b = keys[perm[i]];
            if (b < 5) continue; // empty cells last in both directions
            ASSERT_FALSE(a < 5) << "empty before a value, round " << round;
            ASSERT_TRUE(ascending ? a <= b : a >= b) << "round " << round << " at " << i;
        }
    }
}

} // namespace vl

namespace vl {

namespace {

// Comparisons that answer at random, or always "before": the partition must neither read
// outside its part nor stop making progress.
struct CLyingKeys {
    std::mt19937* rng;
    int mode; // 0 random, 1 always before, 2 always after
    bool HasKey(uint32_t row) const { return mode != 0 || row % 3 != 0; }
    void LoadPivot(uint32_t) {}
    int Answer() const { return mode == 1 ? -1 : mode == 2 ? 1 : int((*rng)() % 3) - 1; }
    int RowToPivot(uint32_t) const { return Answer(); }
    int PivotToRow(uint32_t) const { return Answer(); }
};

} // namespace

TEST(PermutationSort, ScansStayInsideThePartWhateverTheComparisonsSay) {
    std::mt19937 rng(3);
    for (int mode : {0, 1, 2}) {
        for (uint32_t n : {1u, 2u, 3u, 17u, 500u}) {
            // Guard cells around the permutation catch a scan that leaves it.
            std::vector<uint32_t> cells(n + 2, 0xDEADBEEF);
            uint32_t* perm = cells.data() + 1;
            std::iota(perm, perm + n, 100u);
            CLyingKeys keys{&rng, mode};
            CPermutationSort<CLyingKeys>(keys, perm).Sort(n);
            EXPECT_EQ(cells.front(), 0xDEADBEEF);
            EXPECT_EQ(cells.back(), 0xDEADBEEF);
            EXPECT_TRUE(IsPermutation({perm, perm + n}, 100)) << "mode " << mode << " n " << n;
        }
    }
}

} // namespace vl
