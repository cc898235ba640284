#include "model/cellstore.h"
#include "model/cellwalk.h"
#include "storetestutil.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vl {

using namespace storetest;

namespace {

// Cells in columns 0 and 5 of every even row below `rows`, over many pages.
void FillEvenRows(CCellStore& store, uint32_t rows) {
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < rows; row += 2) {
        ASSERT_TRUE(Put(store, Number(0, row, row), cursor));
        ASSERT_TRUE(Put(store, Number(5, row, row + 0.5), cursor));
    }
}

// `pages` pages of `perPage` number records, rows counting up from 0.
Page* NumberChain(uint32_t pages, uint32_t perPage) {
    std::vector<std::vector<std::vector<uint8_t>>> chain(pages);
    uint32_t row = 0;
    for (auto& page : chain)
        for (uint32_t k = 0; k < perPage; ++k, ++row) page.push_back(Number(0, row, row));
    return MakeChain(chain);
}

} // namespace

class CellStoreFind : public ::testing::TestWithParam<bool> {};

TEST_P(CellStoreFind, MissingCellBetweenNeighboursIsNull) {
    const bool indexed = GetParam();
    CCellStore store;
    FillEvenRows(store, 5000);
    ASSERT_GT(store.PageCount(), 3u);
    if (indexed) {
        CellCursor cursor{kAdvance, nullptr, 0};
        for (uint32_t block = 0; block < 5; ++block)
            ASSERT_TRUE(store.BuildRowBlockIndex(block, cursor));
        EXPECT_TRUE(store.BlockValid(1));
        ASSERT_NE(store.RowEntry(1001), nullptr);
        EXPECT_EQ(store.RowEntry(1001)->page, nullptr);
    }
    EXPECT_EQ(FindCell(store, 1001, 0), nullptr);
    EXPECT_EQ(FindCell(store, 1002, 3), nullptr);
    EXPECT_EQ(FindCell(store, 4999, 0), nullptr);
    EXPECT_EQ(FindCell(store, 6000, 0), nullptr);
    for (uint32_t row : {0u, 1022u, 1024u, 2048u, 4998u}) {
        const uint8_t* r = FindCell(store, row, 5);
        ASSERT_NE(r, nullptr) << row;
        EXPECT_EQ(cell::Number(r), row + 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutRowIndex, CellStoreFind, ::testing::Bool());

TEST(CellStoreIndex, BlocksBuiltOutOfOrderStillFindEveryRow) {
    CCellStore store;
    FillEvenRows(store, 5000);
    CellCursor cursor{kAdvance, nullptr, 0};
    ASSERT_TRUE(store.BuildRowBlockIndex(3, cursor));
    ASSERT_TRUE(store.BuildRowBlockIndex(1, cursor));
    for (uint32_t row = 1024; row < 2048; row += 2) ASSERT_NE(FindCell(store, row, 0), nullptr);
    EXPECT_NE(FindCell(store, 3074, 5), nullptr);
    store.ClearRowIndex(true);
    EXPECT_FALSE(store.BlockValid(3));
}

// Rows of blocks 0, 1 and 2 on one page, so a reused cursor stands inside the page.
TEST(CellStoreIndex, ReusedCursorInsideAPageMissesNoRow) {
    const std::vector<std::vector<uint32_t>> orders = {{1, 1}, {2, 1}, {1, 0, 1}};
    for (const auto& order : orders) {
        CCellStore store;
        for (uint32_t row : {1000u, 1030u, 1040u, 2050u})
            ASSERT_TRUE(Put(store, Number(0, row, row)));
        ASSERT_EQ(store.PageCount(), 1u);
        CellCursor cursor{kAdvance, nullptr, 0};
        for (uint32_t block : order) {
            store.ClearRowIndex(false);
            ASSERT_TRUE(store.BuildRowBlockIndex(block, cursor));
        }
        const uint32_t block = order.back();
        for (uint32_t row : {1000u, 1030u, 1040u, 2050u}) {
            if (row / kRowBlockRows != block) continue;
            ASSERT_NE(store.RowEntry(row)->page, nullptr) << "block " << block << " row " << row;
            EXPECT_NE(FindCell(store, row, 0), nullptr) << row;
        }
    }
}

TEST(CellStoreIndex, AnEditDropsTheIndex) {
    CCellStore store;
    FillEvenRows(store, 3000);
    CellCursor cursor{kAdvance, nullptr, 0};
    ASSERT_TRUE(store.BuildRowBlockIndex(0, cursor));
    ASSERT_TRUE(Put(store, Number(2, 11, 7)));
    EXPECT_FALSE(store.BlockValid(0));
    ASSERT_NE(FindCell(store, 11, 2), nullptr);
    EXPECT_NE(FindCell(store, 12, 5), nullptr);
}

TEST(CellStoreIndex, BuildFailsWithoutMemory) {
    CCellStore store;
    FillEvenRows(store, 100);
    CellCursor cursor;
    AllocFailGuard guard(0);
    EXPECT_FALSE(store.BuildRowBlockIndex(0, cursor));
    EXPECT_FALSE(store.BlockValid(0));
    EXPECT_FALSE(store.BuildRowBlockIndex(kRowBlocks, cursor));
    EXPECT_FALSE(store.BlockValid(kRowBlocks));
    EXPECT_FALSE(store.BlockValid(UINT32_MAX));
}

TEST(CellStoreWalk, FindFromCursorFollowsASequentialReader) {
    CCellStore store;
    FillEvenRows(store, 3000);
    CellCursor cursor{kAdvance, nullptr, 0};
    uint32_t found = 0;
    for (uint32_t row = 0; row < 3000; ++row)
        for (uint16_t col : {0, 3, 5}) {
            const uint8_t* r = FindCellFromCursor(store, row, col, cursor);
            const bool expected = row % 2 == 0 && col != 3;
            ASSERT_EQ(r != nullptr, expected) << row << "," << col;
            found += expected;
        }
    EXPECT_EQ(found, 3000u);
}

TEST(CellStoreWalk, RangeFromTheMiddleOfAPage) {
    CCellStore store;
    CellCursor put{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < 5000; ++row)
        for (uint16_t col = 0; col < 3; ++col) ASSERT_TRUE(Put(store, Number(col, row, row), put));
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    std::vector<std::pair<uint32_t, uint16_t>> seen;
    while (const uint8_t* r = GetNextCellInRange(cursor, {1, 2000, 2, 2002}))
        seen.emplace_back(cell::Row(r), cell::Column(r));
    const std::vector<std::pair<uint32_t, uint16_t>> expected = {{2000, 1}, {2000, 2}, {2001, 1},
                                                                 {2001, 2}, {2002, 1}, {2002, 2}};
    EXPECT_EQ(seen, expected);
    // The walk ended on the first record past the range, not at the end of the chain.
    const uint8_t* stop = cursor.page->payload + cursor.offset;
    EXPECT_EQ(cell::Row(stop), 2003u);
    EXPECT_EQ(cell::Column(stop), 0);

    CellCursor none;
    EXPECT_EQ(GetNextCellInRange(none, {0, 0, 10, 10}), nullptr);
    CellCursor past{kAdvance, store.FirstPage(), 0};
    EXPECT_EQ(GetNextCellInRange(past, {0, 6000, 10, 7000}), nullptr);
}

TEST(CellStoreWalk, NextCellRecordWithoutAdvanceStays) {
    CCellStore store;
    ASSERT_TRUE(Put(store, Number(0, 0, 1)));
    ASSERT_TRUE(Put(store, Number(1, 0, 2)));
    CellCursor cursor{0, store.FirstPage(), 0};
    EXPECT_EQ(cell::Number(NextCellRecord(cursor)), 1);
    EXPECT_EQ(cell::Number(NextCellRecord(cursor)), 1);
    CellCursor none;
    EXPECT_EQ(NextCellRecord(none), nullptr);
}

TEST(CellStoreSummary, UsedRange) {
    CCellStore store;
    uint16_t c1 = 9, c2 = 9;
    uint32_t r1 = 9, r2 = 9;
    EXPECT_FALSE(store.GetUsedRange(&c1, &c2, &r1, &r2));
    EXPECT_EQ(c1 + c2 + r1 + r2, 0u);
    ASSERT_TRUE(Put(store, Number(5, 10, 1)));
    ASSERT_TRUE(Put(store, Number(2, 20, 1)));
    ASSERT_TRUE(Put(store, Number(9, 15, 1)));
    ASSERT_TRUE(store.GetUsedRange(&c1, &c2, &r1, &r2));
    EXPECT_EQ(c1, 2);
    EXPECT_EQ(c2, 9);
    EXPECT_EQ(r1, 10u);
    EXPECT_EQ(r2, 20u);
    EXPECT_TRUE(store.GetUsedRange(nullptr, nullptr, nullptr, &r2));
}

TEST(CellStoreSummary, CountCellKindsInsideTheRectangle) {
    CCellStore store;
    auto formula = [](uint16_t col, uint8_t resultFlags, uint8_t error) {
        FormulaHead head;
        head.flags = uint8_t(kCellFormula | (error << 4));
        head.resultFlags = resultFlags;
        CellBuffer b;
        MakeFormulaCell(b, col, 1, head, "1", "t");
        return std::vector<uint8_t>(b.bytes, b.bytes + b.size);
    };
    CellBuffer error;
    MakeNumberCell(error, 1, 1, 0, 7);
    const std::vector<std::vector<uint8_t>> records = {
        Number(0, 1, 1),
        {error.bytes, error.bytes + error.size},
        Text(2, 1, 3),
        formula(3, kResultNumber, 0),
        formula(4, kResultText, 0),
        formula(5, kResultArray, 0),
        formula(6, kResultNumber, 2),
        Number(0, 0, 1), // outside: row above
        Number(7, 1, 1), // outside: column right
        Number(0, 2, 1), // outside: row below
    };
    for (const auto& r : records) ASSERT_TRUE(Put(store, r));
    uint32_t counts[6];
    store.CountCellKinds(counts, {0, 1, 6, 1});
    const uint32_t expected[6] = {2, 1, 1, 1, 1, 1};
    EXPECT_TRUE(std::equal(counts, counts + 6, expected));
}

struct CompactCase {
    uint32_t pages, perPage;
    bool compacts;
    uint32_t pagesAfter;
};

class CellStoreCompaction : public ::testing::TestWithParam<CompactCase> {};

// A put's own compaction fills pages to three quarters only, and leaves pages that are
// fuller alone; the free-byte estimate starts again from 0.
TEST_P(CellStoreCompaction, PutRepacksOnlyPastBothThresholds) {
    const CompactCase c = GetParam();
    CCellStore store;
    store.AdoptPages(NumberChain(c.pages, c.perPage));
    const uint32_t cells = c.pages * c.perPage;
    CellCursor cursor{kAdvance, nullptr, 0};
    ASSERT_TRUE(Put(store, Number(0, cells, -1), cursor));
    EXPECT_TRUE(Consistent(store));
    EXPECT_EQ(store.PageCount(), c.pagesAfter);
    EXPECT_EQ(store.FreePageCount(), c.pages - c.pagesAfter);
    EXPECT_EQ(store.FreeBytes() == 0, c.compacts);
    // Either way the cursor stands past the record just written.
    ASSERT_NE(cursor.page, nullptr);
    EXPECT_EQ(cell::Number(cursor.page->payload + cursor.offset - kNumberRecordSize), -1);
    const auto all = Dump(store);
    ASSERT_EQ(all.size(), cells + 1);
    for (uint32_t row = 0; row < cells; ++row) ASSERT_EQ(cell::Number(all[row].data()), row);
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, CellStoreCompaction,
    ::testing::Values(CompactCase{122, 1, false, 122},  // free bytes just under 1,000,000
                      CompactCase{123, 1, true, 1},     // just over, nearly all of it free
                      CompactCase{300, 200, true, 147}, // 409 records in three quarters
                      CompactCase{700, 436, true, 700}, // ratio 4, pages fuller than 3/4
                      CompactCase{700, 437, false, 700} // 8,192 / 1,627: ratio 5
                      ));

TEST(CellStoreCompact, KeepsOrFreesTheEmptiedPages) {
    for (bool freePages : {false, true}) {
        CCellStore store;
        const long live = LiveBlockCount();
        store.AdoptPages(NumberChain(10, 100));
        store.Compact(freePages);
        EXPECT_TRUE(Consistent(store));
        EXPECT_EQ(store.PageCount(), 2u);
        EXPECT_EQ(Dump(store).size(), 1000u);
        EXPECT_EQ(store.FreePageCount(), freePages ? 0u : 8u);
        EXPECT_EQ(LiveBlockCount(), live + (freePages ? 2 : 10));
    }
}

} // namespace vl

namespace vl {

// The page directory must send every search to the page the walk from the first page
// reaches, however the chain has changed since it was last built.
TEST(CellStoreDirectory, StartPageIsThePageTheWalkReaches) {
    CCellStore store;
    uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return uint32_t(state >> 33);
    };
    auto check = [&store] {
        uint32_t lastRow = 0;
        store.GetUsedRange(nullptr, nullptr, nullptr, &lastRow);
        for (uint32_t row = 0; row <= lastRow + 2; row += 7) {
            Page* walked = store.FirstPage();
            uint32_t offset = 0;
            cellwalk::PositionOnRow(walked, offset, row);
            ASSERT_EQ(store.StartPageForRow(row), walked) << "row " << row;
        }
    };
    for (int batch = 0; batch < 6; ++batch) {
        CellCursor cursor;
        for (int i = 0; i < 3000; ++i) {
            const uint32_t row = next() % 20000;
            const auto record = i % 3 ? Number(uint16_t(next() % 40), row, i)
                                      : Text(uint16_t(next() % 40), row, next() % 300);
            cursor = CellCursor{};
            ASSERT_TRUE(Put(store, record, cursor));
        }
        check();
        store.Compact(batch % 2 == 0);
        check();
    }
}

} // namespace vl
