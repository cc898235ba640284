#include "model/cellstore.h"
#include "storetestutil.h"

#include <gtest/gtest.h>

namespace vl {

using namespace storetest;
using Keys = std::vector<std::vector<std::pair<uint32_t, uint16_t>>>;

TEST(CellStore, FirstPutTakesOnePage) {
    CCellStore store;
    ASSERT_TRUE(Put(store, Number(3, 7, 1.5)));
    EXPECT_EQ(store.PageCount(), 1u);
    EXPECT_EQ(store.FreeBytes(), kPagePayload - kNumberRecordSize);
    const uint8_t* r = FindCell(store, 7, 3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(cell::Number(r), 1.5);
}

TEST(CellStore, ReplaceKeepsOneRecordTheSecond) {
    struct Case {
        std::vector<uint8_t> first, second;
    };
    const Case cases[] = {
        {Number(1, 1, 1.0), Number(1, 1, 2.0)},
        {Number(1, 1, 1.0), Text(1, 1, 300, 'x')},
        {Text(1, 1, 300, 'x'), Number(1, 1, 2.0)},
    };
    for (const Case& c : cases) {
        CCellStore store;
        ASSERT_TRUE(Put(store, Number(0, 1, 9.0)));
        ASSERT_TRUE(Put(store, c.first));
        ASSERT_TRUE(Put(store, Number(2, 1, 9.0)));
        ASSERT_TRUE(Put(store, c.second));
        const auto all = Dump(store);
        ASSERT_EQ(all.size(), 3u);
        EXPECT_EQ(all[1], c.second);
        EXPECT_TRUE(Consistent(store));
    }
}

TEST(CellStore, RecordsComeBackInRowThenColumnOrder) {
    CCellStore store;
    for (uint32_t row : {5u, 1u, 3u})
        for (uint16_t col : {9, 0, 4}) ASSERT_TRUE(Put(store, Number(col, row, row * 10 + col)));
    const auto all = Dump(store);
    ASSERT_EQ(all.size(), 9u);
    EXPECT_EQ(cell::Row(all.front().data()), 1u);
    EXPECT_EQ(cell::Column(all.front().data()), 0);
    EXPECT_EQ(cell::Row(all.back().data()), 5u);
    EXPECT_EQ(cell::Column(all.back().data()), 9);
    EXPECT_TRUE(Consistent(store));
}

TEST(CellStore, TextOf8173BytesFillsAPageExactly) {
    CCellStore store;
    ASSERT_TRUE(Put(store, Text(0, 0, kMaxCellText)));
    EXPECT_EQ(store.FirstPage()->used, kPagePayload);
    EXPECT_EQ(store.FreeBytes(), 0u);
    ASSERT_TRUE(Put(store, Text(0, 1, kMaxCellText)));
    EXPECT_EQ(store.PageCount(), 2u);
    EXPECT_TRUE(Consistent(store));
    CellBuffer b;
    EXPECT_FALSE(MakeTextCell(b, 0, 0, std::string(kMaxCellText + 1, 'x')));
    EXPECT_EQ(b.size, 0u);
}

TEST(CellStore, RejectsRecordsOutsideTheLimitsWithoutChange) {
    std::vector<uint8_t> tooLong(kPagePayload + 16, 'x');
    tooLong[0] = kCellText;
    StoreU16(tooLong.data() + 1, 0);
    StoreU32(tooLong.data() + 3, 0);
    StoreU16(tooLong.data() + 7, uint16_t(kMaxCellText + 1));
    std::vector<uint8_t> formula(kPagePayload + 16, 0);
    formula[0] = kCellFormula;
    StoreU16(formula.data() + 33, 9000);
    const std::vector<uint8_t> cases[] = {tooLong, formula, Number(kMaxColumns, 0, 1),
                                          Number(0, kMaxRows, 1)};
    for (const auto& record : cases) {
        CCellStore store;
        ASSERT_TRUE(Put(store, Number(0, 0, 1)));
        CellCursor cursor{kAdvance, nullptr, 0};
        EXPECT_FALSE(store.PutCell(record.data(), cursor));
        EXPECT_EQ(Dump(store).size(), 1u);
        EXPECT_EQ(cursor.page, nullptr);
    }
    CCellStore store;
    EXPECT_TRUE(Put(store, Number(kLastColumn, kLastRow, 1)));
}

// A full page of two records (a, b); the new record goes between them.
struct SplitCase {
    uint32_t a, b, insert;
    Keys expected; // keys per page after the put: a is (0,0), b (0,2), the new one (0,1)
};

class CellStoreSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CellStoreSplit, RecordLandsOnTheRightPageAndNothingIsLost) {
    const SplitCase& c = GetParam();
    CCellStore store;
    store.AdoptPages(MakeChain({{Sized(0, 0, c.a, 'a'), Sized(2, 0, c.b, 'b')}}));
    const auto inserted = Sized(1, 0, c.insert, 'n');
    CellCursor cursor{kAdvance, nullptr, 0};
    ASSERT_TRUE(Put(store, inserted, cursor));
    EXPECT_TRUE(Consistent(store));
    EXPECT_EQ(PageKeys(store), c.expected);
    const auto all = Dump(store);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], Sized(0, 0, c.a, 'a'));
    EXPECT_EQ(all[1], inserted);
    EXPECT_EQ(all[2], Sized(2, 0, c.b, 'b'));
    // The cursor stands past the record it wrote.
    ASSERT_NE(cursor.page, nullptr);
    EXPECT_EQ(cell::Column(cursor.page->payload + cursor.offset - c.insert), 1);
}

const std::pair<uint32_t, uint16_t> kA{0, 0}, kNew{0, 1}, kB{0, 2};
INSTANTIATE_TEST_SUITE_P(Offsets, CellStoreSplit,
                         ::testing::Values(
                             // Below half a page the record stays and the tail moves.
                             SplitCase{4090, 8182 - 4090, 15, {{kA, kNew}, {kB}}},
                             // From half a page on the record opens the new page before the tail.
                             SplitCase{4091, 8182 - 4091, 15, {{kA}, {kNew, kB}}},
                             // Large records: whichever way fits.
                             SplitCase{3000, 5182, 5000, {{kA, kNew}, {kB}}},
                             SplitCase{5000, 1000, 3000, {{kA}, {kNew, kB}}},
                             SplitCase{5000, 1000, 7000, {{kA}, {kNew, kB}}},
                             SplitCase{6000, 2000, 2500, {{kA}, {kNew, kB}}},
                             SplitCase{1000, 7000, 7000, {{kA, kNew}, {kB}}},
                             SplitCase{3000, 2000, 5500, {{kA}, {kNew, kB}}},
                             // Neither way fits: the record gets a page of its own.
                             SplitCase{5000, 3182, 5001, {{kA}, {kNew}, {kB}}},
                             SplitCase{3000, 5182, 6000, {{kA}, {kNew}, {kB}}},
                             SplitCase{100, 8082, 8182, {{kA}, {kNew}, {kB}}}));

TEST(CellStore, ReplaceThatOverflowsSplitsWithoutLoss) {
    CCellStore store;
    store.AdoptPages(
        MakeChain({{Sized(0, 0, 3000, 'a'), Sized(1, 0, 100, 'o'), Sized(2, 0, 5082, 'b')}}));
    const auto bigger = Sized(1, 0, 8000, 'n');
    ASSERT_TRUE(Put(store, bigger));
    EXPECT_TRUE(Consistent(store));
    const auto all = Dump(store);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1], bigger);
    EXPECT_EQ(all[2], Sized(2, 0, 5082, 'b'));
}

TEST(CellStore, InsertAtPageStartGoesToALessFullPreviousPage) {
    const std::pair<uint32_t, uint16_t> inserted{0, 5};
    {
        CCellStore store;
        store.AdoptPages(MakeChain({{Number(0, 0, 1)}, {Number(10, 0, 1), Number(11, 0, 1)}}));
        ASSERT_TRUE(Put(store, Number(5, 0, 2)));
        EXPECT_TRUE(Consistent(store));
        EXPECT_EQ(PageKeys(store)[0].back(), inserted);
    }
    {
        CCellStore store;
        store.AdoptPages(
            MakeChain({{Number(0, 0, 1), Number(1, 0, 1), Number(2, 0, 1)}, {Number(10, 0, 1)}}));
        ASSERT_TRUE(Put(store, Number(5, 0, 2)));
        EXPECT_TRUE(Consistent(store));
        EXPECT_EQ(PageKeys(store)[1].front(), inserted);
    }
}

TEST(CellStore, SequentialPutsWithCursorFillPagesCompletely) {
    CCellStore store;
    CellCursor cursor{kAdvance, nullptr, 0};
    const uint32_t rows = 200, columns = 500;
    for (uint32_t row = 0; row < rows; ++row)
        for (uint16_t col = 0; col < columns; ++col)
            ASSERT_TRUE(Put(store, Number(col, row, row * 1000.0 + col), cursor));
    const uint32_t perPage = kPagePayload / kNumberRecordSize; // 545
    EXPECT_EQ(store.PageCount(), (rows * columns + perPage - 1) / perPage);
    for (const Page* p = store.FirstPage(); p->next; p = p->next)
        ASSERT_EQ(p->used, perPage * kNumberRecordSize);
    EXPECT_TRUE(Consistent(store));
    EXPECT_EQ(cell::Number(FindCell(store, 123, 456)), 123456.0);
}

// A column written beside a full one puts every record just past one of the first column.
// A page that overflows that way is cut at its middle, or gives its head to a previous
// page with room, so pages stay well filled.
TEST(CellStore, ColumnWrittenBesideAFullOneKeepsPagesFilled) {
    CCellStore store;
    const uint32_t rows = 20000;
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < rows; ++row) ASSERT_TRUE(Put(store, Number(0, row, 1), cursor));
    cursor = CellCursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < rows; ++row) ASSERT_TRUE(Put(store, Number(1, row, 2), cursor));
    EXPECT_TRUE(Consistent(store));
    const uint32_t minimum = (2 * rows * kNumberRecordSize + kPagePayload - 1) / kPagePayload;
    EXPECT_LE(store.PageCount(), minimum * 5 / 4);
    EXPECT_EQ(Dump(store).size(), 2 * rows);
}

TEST(CellStore, SplitBelowTheMiddleCutsAtTheMiddle) {
    // A full page of 545 numbers (rows 1 to 545) and a put just past the first: the old
    // page keeps the records up to the middle (272) with the new one, the rest move.
    std::vector<std::vector<uint8_t>> full;
    for (uint32_t row = 1; row <= 545; ++row) full.push_back(Number(0, row, row));
    for (bool withPrevious : {false, true}) {
        CCellStore store;
        std::vector<std::vector<std::vector<uint8_t>>> chain{full};
        if (withPrevious) chain.insert(chain.begin(), {Text(0, 0, 10)});
        store.AdoptPages(MakeChain(chain));
        ASSERT_TRUE(Put(store, Number(1, 1, -1)));
        EXPECT_TRUE(Consistent(store));
        const auto keys = PageKeys(store);
        // With room on the previous page the head goes there and no page is taken.
        ASSERT_EQ(keys.size(), 2u) << withPrevious;
        EXPECT_EQ(keys[0].size(), 273u + withPrevious);
        EXPECT_EQ(keys[1].size(), 273u);
        EXPECT_EQ(keys[0][1 + withPrevious], std::make_pair(uint32_t(1), uint16_t(1)));
        EXPECT_EQ(keys[1][0], std::make_pair(uint32_t(273), uint16_t(0)));
    }
}

TEST(CellStore, CursorLeftPastTheInsertionPointDoesNotBreakOrder) {
    CCellStore store;
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < 3000; ++row) ASSERT_TRUE(Put(store, Number(0, row, row), cursor));
    ASSERT_GT(store.PageCount(), 3u);
    ASSERT_TRUE(Put(store, Number(1, 5, 0.5), cursor)); // belongs on the first page
    EXPECT_TRUE(Consistent(store));
    EXPECT_NE(FindCell(store, 5, 1), nullptr);
}

TEST(CellStore, AllocationFailureLeavesTheStoreUnchanged) {
    using Records = std::vector<std::vector<uint8_t>>;
    struct Case {
        const char* name;
        Records page;
        std::vector<uint8_t> record;
        long successes;
        bool spare;
    };
    const Case cases[] = {
        {"insert that splits", {Sized(0, 0, 4000), Sized(2, 0, 4182)}, Sized(1, 0, 100), 0, false},
        {"replace that splits",
         {Sized(0, 0, 4000), Sized(1, 0, 100), Sized(2, 0, 4082)},
         Sized(1, 0, 4000),
         0,
         false},
        {"two pages needed, one allocated",
         {Sized(0, 0, 5000), Sized(2, 0, 3182)},
         Sized(1, 0, 5001),
         1,
         false},
        {"two pages needed, one spare",
         {Sized(0, 0, 5000), Sized(2, 0, 3182)},
         Sized(1, 0, 5001),
         0,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCellStore store;
        store.AdoptPages(MakeChain({c.page}));
        if (c.spare) {
            ASSERT_TRUE(store.ReserveSparePage());
        }
        const auto before = Dump(store);
        const uint32_t pages = store.PageCount(), freeBytes = store.FreeBytes();
        const uint32_t freePages = store.FreePageCount();
        const long live = LiveBlockCount();
        {
            AllocFailGuard guard(c.successes);
            CellCursor cursor{kAdvance, nullptr, 0};
            EXPECT_FALSE(store.PutCell(c.record.data(), cursor));
            EXPECT_EQ(cursor.page, nullptr);
        }
        EXPECT_EQ(Dump(store), before);
        EXPECT_EQ(store.PageCount(), pages);
        EXPECT_EQ(store.FreeBytes(), freeBytes);
        EXPECT_EQ(store.FreePageCount(), freePages);
        EXPECT_EQ(LiveBlockCount(), live);
        EXPECT_TRUE(Consistent(store));
        // With memory the same put succeeds.
        ASSERT_TRUE(Put(store, c.record));
        EXPECT_TRUE(Consistent(store));
    }
    CCellStore empty;
    AllocFailGuard guard(0);
    EXPECT_FALSE(Put(empty, Number(0, 0, 1)));
    EXPECT_EQ(empty.PageCount(), 0u);
    EXPECT_EQ(empty.FirstPage(), nullptr);
}

TEST(CellStore, FreePagesAreReusedWithoutAllocation) {
    CCellStore store;
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < 2000; ++row) ASSERT_TRUE(Put(store, Number(0, row, 1), cursor));
    const uint32_t pages = store.PageCount();
    store.ReleaseAllPages(false);
    EXPECT_EQ(store.FreePageCount(), pages);
    EXPECT_EQ(store.PageCount(), 0u);
    const long allocations = AllocationCount();
    cursor = {kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < 2000; ++row) ASSERT_TRUE(Put(store, Number(0, row, 2), cursor));
    EXPECT_EQ(AllocationCount(), allocations);
    EXPECT_EQ(store.FreePageCount(), 0u);
    EXPECT_EQ(store.PageCount(), pages);
}

TEST(CellStore, PageManagementCounts) {
    CCellStore store;
    const long live = LiveBlockCount();
    ASSERT_TRUE(store.ReserveSparePage());
    ASSERT_TRUE(store.ReserveSparePage()); // already one spare: nothing more
    EXPECT_EQ(store.FreePageCount(), 1u);
    EXPECT_EQ(LiveBlockCount(), live + 1);
    Page* page = store.AllocPage();
    EXPECT_EQ(store.FreePageCount(), 0u);
    EXPECT_EQ(store.PageCount(), 1u);
    EXPECT_EQ(store.FreeBytes(), kPagePayload);
    store.FreePageChain(page);
    EXPECT_EQ(store.FreePageCount(), 1u);
    store.PurgeFreePages();
    EXPECT_EQ(store.FreePageCount(), 0u);
    EXPECT_EQ(LiveBlockCount(), live);

    store.AdoptPages(MakeChain({{Number(0, 0, 1)}, {Number(0, 1, 1), Number(0, 2, 1)}}));
    EXPECT_EQ(store.PageCount(), 2u);
    EXPECT_EQ(store.FreeBytes(), 2 * kPagePayload - 3 * kNumberRecordSize);
    Page* chain = store.DetachPages(true);
    EXPECT_EQ(store.FirstPage(), nullptr);
    EXPECT_EQ(store.PageCount(), 0u);
    store.AdoptPages(chain);
    EXPECT_EQ(Dump(store).size(), 3u);
    store.AdoptPages(store.FirstPage()); // its own chain: kept, only recounted
    EXPECT_EQ(store.FreePageCount(), 0u);
    EXPECT_EQ(store.PageCount(), 2u);
    EXPECT_EQ(Dump(store).size(), 3u);
    store.FreeAll();
    EXPECT_EQ(LiveBlockCount(), live);
}

} // namespace vl
