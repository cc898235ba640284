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

// A store whose rows are sorted by key columns; `ok` tells whether the last sort ran.
struct CSorter {
    CEvalContext ctx;
    CCellStore store;
    bool ok = false;

    std::vector<uint32_t> Sort(uint32_t r1, uint32_t r2, std::vector<uint16_t> columns,
                               std::vector<uint8_t> ascending) {
        std::vector<uint32_t> perm(r2 - r1 + 1);
        ok = SortRows(ctx, store, r1, r2, uint32_t(columns.size()), columns.data(),
                      ascending.data(), perm.data());
        return perm;
    }
    std::vector<std::string> Values(uint16_t column, const std::vector<uint32_t>& rows) const {
        std::vector<std::string> out;
        for (uint32_t row : rows) out.push_back(ValueAt(store, column, row));
        return out;
    }
};

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
        // Texts that spell no number keep out of the numbers' order both ways.
        {{"1", "x", "3", "!", "2", "b"}, false, {"3", "2", "1", "x", "b", "!"}},
        {{"1", "x", "3", "!", "2", "b"}, true, {"1", "2", "3", "!", "b", "x"}},
    };
    for (const Case& c : cases) {
        CSorter s;
        PutColumn(s.store, 0, 0, c.in);
        EXPECT_EQ(s.Values(0, s.Sort(0, uint32_t(c.in.size() - 1), {0}, {c.ascending})), c.out);
        EXPECT_TRUE(s.ok);
    }
    // Empty cells stay last descending too.
    CSorter s;
    PutColumn(s.store, 0, 0, {"3", "b", "", "1", "A", ""});
    const auto out = s.Values(0, s.Sort(0, 5, {0}, {0}));
    EXPECT_EQ(out[4] + out[5], "");
}

TEST(SortRows, LaterKeysDecideTiesAndRowsOutsideTheRangeOrWithoutKeysStay) {
    CSorter s;
    // Rows 2..7: key 1 column 1 ascending, key 2 column 3 descending.
    PutColumn(s.store, 1, 0, {"9", "9", "b", "a", "b", "a", "b", "9"});
    PutColumn(s.store, 3, 0, {"0", "0", "1", "5", "3", "2", "2", "0"});
    EXPECT_EQ(s.Sort(2, 7, {1, 3}, {1, 0}), (std::vector<uint32_t>{7, 3, 5, 4, 6, 2}));
    EXPECT_TRUE(s.ok);
    // Column 5 holds no key cell: the rows keep their order.
    EXPECT_EQ(s.Sort(0, 3, {5}, {1}), (std::vector<uint32_t>{0, 1, 2, 3}));
    EXPECT_TRUE(s.ok);
}

// Rows with equal keys, and rows without a key cell, keep their order in both directions.
TEST(SortRows, EqualKeysKeepTheirOrderBothWays) {
    struct Case {
        bool ascending;
        std::vector<uint32_t> rows;
    };
    const Case cases[] = {
        {true, {2, 5, 0, 3, 6, 7, 1, 4, 8}},
        {false, {0, 3, 2, 5, 6, 7, 1, 4, 8}},
    };
    for (const Case& c : cases) {
        CSorter s;
        PutColumn(s.store, 0, 0, {"2", "", "1", "2", "", "1", "b", "B", ""});
        EXPECT_EQ(s.Sort(0, 8, {0}, {c.ascending}), c.rows) << c.ascending;
    }
}

TEST(SortRows, KeyCountAtTheLimitSortsAndOnePastLeavesTheIdentity) {
    CSorter s;
    PutColumn(s.store, 0, 10, {"3", "2", "1"});
    EXPECT_EQ(s.Sort(10, 12, std::vector<uint16_t>(100, 0), std::vector<uint8_t>(100, 1)),
              (std::vector<uint32_t>{12, 11, 10}));
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.Sort(10, 12, std::vector<uint16_t>(101, 0), std::vector<uint8_t>(101, 1)),
              (std::vector<uint32_t>{10, 11, 12}));
    EXPECT_FALSE(s.ok);
}

TEST(SortRows, FormulaCellsSortByTheirCachedResults) {
    CSorter s;
    CellBuffer b;
    FormulaHead number;
    number.cachedNumber = 7;
    ASSERT_TRUE(MakeFormulaCell(b, 0, 0, number, "R1C2"));
    PutRecord(s.store, b);
    FormulaHead text;
    text.resultFlags = kResultText;
    ASSERT_TRUE(MakeFormulaCell(b, 0, 1, text, "R1C2", "apple"));
    PutRecord(s.store, b);
    PutColumn(s.store, 0, 2, {"2", "Zebra"});
    EXPECT_EQ(s.Values(0, s.Sort(0, 3, {0}, {1})),
              (std::vector<std::string>{"2", "7", "apple", "Zebra"}));
    EXPECT_TRUE(s.ok);
    EXPECT_FALSE(s.store.BlockValid(0)); // the index built for the sort is dropped
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
        // Empty cells stay last, behind the errors too.
        {"#N/A!", "", -1, -1},
        {"#N/A!", "#DIV/0!", 1, -1},
        {"#N/A!", "#N/A!", 0, 0},
        // A number against text: the text read as a number, or after the numbers.
        {"3", "' 12 ", -1, 1},
        {"30", "'12", 1, -1},
        {"3", "'x", -1, -1},
        {"3", "'1e999", -1, -1},
        // Text against a number: the same rule from the other side.
        {"'10", "3", 1, -1},
        {"'b", "1", 1, 1},
        // A text after the number it spells, in both directions' own sense.
        {"'0.5", "0.5", 1, -1},
        {"' 12 ", "3", 1, -1},
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

// Consistent keys (numbers with repeats and empty cells) against a reference order.
TEST(SortRows, RandomNumbersMatchAReferenceOrder) {
    std::mt19937 rng(11);
    for (int round = 0; round < 100; ++round) {
        CSorter s;
        const uint32_t n = 1 + rng() % 3000;
        std::vector<double> keys(n);
        for (uint32_t i = 0; i < n; ++i) {
            keys[i] = double(rng() % 50);
            if (keys[i] >= 5) PutValue(s.store, 2, i, FormatDouble(keys[i])); // else missing
        }
        const bool ascending = round % 2;
        const auto perm = s.Sort(0, n - 1, {2}, {ascending});
        ASSERT_TRUE(s.ok && IsPermutation(perm, 0));
        for (uint32_t i = 1; i < n; ++i) {
            const double a = keys[perm[i - 1]], b = keys[perm[i]];
            if (b < 5) continue; // empty cells last in both directions
            ASSERT_FALSE(a < 5) << "empty before a value, round " << round;
            ASSERT_TRUE(ascending ? a <= b : a >= b) << "round " << round << " at " << i;
        }
    }
}

namespace {

// Comparisons that answer at random, or always "before": the partition must neither read
// outside its part nor stop making progress.
struct CLyingKeys {
    std::mt19937* rng;
    int mode; // 0 random, 1 always before, 2 always after
    bool HasKey(uint32_t row) const { return mode != 0 || row % 3 != 0; }
    void LoadPivot(uint32_t) {}
    uint32_t Position(uint32_t row) const { return row; }
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
