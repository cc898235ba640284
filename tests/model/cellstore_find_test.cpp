#include "model/cellwalk.h"
#include "modeltestutil.h"

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

TEST(CellStoreFind, PresentAndMissingCellsWithAndWithoutRowIndex) {
    for (bool indexed : {false, true}) {
        SCOPED_TRACE(indexed);
        CCellStore store;
        FillEvenRows(store, 5000);
        ASSERT_GT(store.PageCount(), 3u);
        if (indexed) {
            CellCursor cursor{kAdvance, nullptr, 0};
            for (uint32_t block : {3u, 1u, 0u, 2u, 4u}) // out of order, one cursor
                ASSERT_TRUE(store.BuildRowBlockIndex(block, cursor));
            EXPECT_EQ(store.RowEntry(1001)->page, nullptr);
        }
        for (uint32_t row : {1001u, 4999u, 6000u}) EXPECT_EQ(FindCell(store, row, 0), nullptr);
        EXPECT_EQ(FindCell(store, 1002, 3), nullptr); // neighbours on both sides
        for (uint32_t row = 0; row < 5000; row += 2)
            ASSERT_EQ(cell::Number(FindCell(store, row, 5)), row + 0.5) << row;
        // A put keeps the index, the rows it changed found again; a store without one
        // answers from the pages.
        ASSERT_TRUE(Put(store, Number(2, 11, 7)));
        EXPECT_EQ(store.BlockValid(0), indexed);
        EXPECT_NE(FindCell(store, 11, 2), nullptr);
        store.ClearRowIndex(true);
        EXPECT_FALSE(store.BlockValid(3));
    }
}

// Rows of blocks 0, 1 and 2 on one page, so a reused cursor stands inside the page.
TEST(CellStoreIndex, ReusedCursorInsideAPageMissesNoRow) {
    for (const auto& order : std::vector<std::vector<uint32_t>>{{1, 1}, {2, 1}, {1, 0, 1}}) {
        CCellStore store;
        for (uint32_t row : {1000u, 1030u, 1040u, 2050u})
            ASSERT_TRUE(Put(store, Number(0, row, row)));
        CellCursor cursor{kAdvance, nullptr, 0};
        for (uint32_t block : order) {
            store.ClearRowIndex(false);
            ASSERT_TRUE(store.BuildRowBlockIndex(block, cursor));
        }
        for (uint32_t row : {1000u, 1030u, 1040u, 2050u}) {
            if (row / kRowBlockRows != order.back()) continue;
            ASSERT_NE(store.RowEntry(row)->page, nullptr) << order.back() << " " << row;
            EXPECT_NE(FindCell(store, row, 0), nullptr) << row;
        }
    }
    CCellStore store;
    FillEvenRows(store, 100);
    CellCursor cursor;
    AllocFailGuard guard(0);
    EXPECT_FALSE(store.BuildRowBlockIndex(0, cursor));
    EXPECT_FALSE(store.BuildRowBlockIndex(kRowBlocks, cursor)); // one past the last block
    EXPECT_FALSE(store.BlockValid(0) || store.BlockValid(kRowBlocks) ||
                 store.BlockValid(UINT32_MAX));
}

TEST(CellStoreWalk, CursorsFollowSequentialReaders) {
    CCellStore store;
    FillEvenRows(store, 3000);
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < 3000; ++row)
        for (uint16_t col : {0, 3, 5})
            ASSERT_EQ(FindCellFromCursor(store, row, col, cursor) != nullptr,
                      row % 2 == 0 && col != 3)
                << row << "," << col;
    // A rectangle whose first row lies in the middle of a page: the walk skips what lies
    // before and ends on the first record past the last row.
    CellCursor range{kAdvance, store.FirstPage(), 0};
    std::vector<std::pair<uint32_t, uint16_t>> seen;
    while (const uint8_t* r = GetNextCellInRange(range, {1, 2000, 5, 2002}))
        seen.emplace_back(cell::Row(r), cell::Column(r));
    EXPECT_EQ(seen, (std::vector<std::pair<uint32_t, uint16_t>>{{2000, 5}, {2002, 5}}));
    EXPECT_EQ(cell::Row(range.page->payload + range.offset), 2004u);
    CellCursor none, past{kAdvance, store.FirstPage(), 0};
    EXPECT_EQ(GetNextCellInRange(none, {0, 0, 10, 10}), nullptr);
    EXPECT_EQ(GetNextCellInRange(past, {0, 6000, 10, 7000}), nullptr);
    // Without the advance flag a cursor stays on the record it returned.
    CellCursor still{0, store.FirstPage(), 0};
    EXPECT_EQ(NextCellRecord(still), NextCellRecord(still));
    EXPECT_EQ(NextCellRecord(none), nullptr);
}

TEST(CellStoreSummary, UsedRangeAndCellKinds) {
    CCellStore store;
    uint16_t c1 = 9, c2 = 9;
    uint32_t r1 = 9, r2 = 9;
    EXPECT_FALSE(store.GetUsedRange(&c1, &c2, &r1, &r2));
    EXPECT_EQ(c1 + c2 + r1 + r2, 0u);
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
    for (const auto& r : {Number(0, 1, 1), std::vector<uint8_t>(error.bytes, error.bytes + 15),
                          Text(2, 1, 3), formula(3, kResultNumber, 0), formula(4, kResultText, 0),
                          formula(5, kResultArray, 0), formula(6, kResultNumber, 2),
                          Number(0, 0, 1), Number(7, 1, 1), Number(9, 2, 1)}) // the last 3 outside
        ASSERT_TRUE(Put(store, r));
    uint32_t counts[6];
    store.CountCellKinds(counts, {0, 1, 6, 1});
    const uint32_t expected[6] = {2, 1, 1, 1, 1, 1};
    EXPECT_TRUE(std::equal(counts, counts + 6, expected));
    ASSERT_TRUE(store.GetUsedRange(&c1, &c2, &r1, &r2));
    EXPECT_EQ(std::tuple(c1, c2, r1, r2), std::tuple(uint16_t(0), uint16_t(9), 0u, 2u));
    EXPECT_TRUE(store.GetUsedRange(nullptr, nullptr, nullptr, &r2));
}

// A put's own compaction runs past both thresholds; it fills pages to three quarters only,
// leaves pages that are fuller alone and starts the free-byte estimate again from 0.
TEST(CellStoreCompaction, PutRepacksOnlyPastBothThresholds) {
    // Pages, records a page, whether the put compacts, pages after.
    const std::tuple<uint32_t, uint32_t, bool, uint32_t> cases[] = {
        {122, 1, false, 122},   // free just under 1,000,000
        {123, 1, true, 1},      // just over
        {300, 200, true, 147},  // 409 a page
        {700, 436, true, 700},  // ratio 4, fuller than 3/4
        {700, 437, false, 700}, // ratio 5
    };
    for (const auto& [pages, perPage, compacts, pagesAfter] : cases) {
        SCOPED_TRACE(std::to_string(pages) + " " + std::to_string(perPage));
        CCellStore store;
        store.AdoptPages(NumberChain(pages, perPage));
        const uint32_t cells = pages * perPage;
        CellCursor cursor{kAdvance, nullptr, 0};
        ASSERT_TRUE(Put(store, Number(0, cells, -1), cursor));
        EXPECT_TRUE(Consistent(store));
        EXPECT_EQ(std::tuple(store.PageCount(), store.FreePageCount(), store.FreeBytes() == 0),
                  std::tuple(pagesAfter, pages - pagesAfter, compacts));
        EXPECT_EQ(cell::Number(cursor.page->payload + cursor.offset - kNumberRecordSize), -1);
        const auto all = Dump(store);
        ASSERT_EQ(all.size(), cells + 1);
        for (uint32_t row = 0; row < cells; ++row) ASSERT_EQ(cell::Number(all[row].data()), row);
    }
}

TEST(CellStoreCompact, FillsPagesAndKeepsOrFreesTheEmptiedOnes) {
    for (bool freePages : {false, true}) {
        CCellStore store;
        const long live = LiveBlockCount();
        store.AdoptPages(NumberChain(10, 100));
        store.Compact(freePages);
        EXPECT_TRUE(Consistent(store));
        EXPECT_EQ(std::tuple(store.PageCount(), uint32_t(store.FirstPage()->used),
                             Dump(store).size(), store.FreeBytes()),
                  std::tuple(2u, uint32_t(545 * kNumberRecordSize), std::size_t(1000), 0u));
        EXPECT_EQ(std::tuple(store.FreePageCount(), LiveBlockCount()),
                  std::tuple(freePages ? 0u : 8u, live + (freePages ? 2 : 10)));
    }
}

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
        for (int i = 0; i < 3000; ++i) {
            const uint32_t row = next() % 20000;
            const auto record = i % 3 ? Number(uint16_t(next() % 40), row, i)
                                      : Text(uint16_t(next() % 40), row, next() % 300);
            ASSERT_TRUE(Put(store, record));
        }
        check();
        store.Compact(batch % 2 == 0);
        check();
    }
}

} // namespace vl
