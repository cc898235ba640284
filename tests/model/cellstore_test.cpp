#include "modeltestutil.h"

namespace vl {

using namespace storetest;

TEST(CellStore, PutsKeepOrderAndReplace) {
    CCellStore store;
    ASSERT_TRUE(Put(store, Number(3, 7, 1.5)));
    EXPECT_EQ(std::tuple(store.PageCount(), store.FreeBytes()),
              std::tuple(1u, uint32_t(kPagePayload - kNumberRecordSize)));
    // Putting one cell twice keeps one record, the second, whatever their kinds.
    const std::pair<std::vector<uint8_t>, std::vector<uint8_t>> replaces[] = {
        {Number(1, 1, 1.0), Number(1, 1, 2.0)},
        {Number(1, 1, 1.0), Text(1, 1, 300, 'x')},
        {Text(1, 1, 300, 'x'), Number(1, 1, 2.0)}};
    for (const auto& [first, second] : replaces) {
        CCellStore s;
        for (const auto& r : {Number(0, 1, 9.0), first, Number(2, 1, 9.0), second})
            ASSERT_TRUE(Put(s, r));
        EXPECT_EQ(Dump(s), (std::vector{Number(0, 1, 9.0), second, Number(2, 1, 9.0)}));
    }
}

TEST(CellStore, RecordsAtAndPastTheLimits) {
    CCellStore store;
    ASSERT_TRUE(Put(store, Text(0, 0, kMaxCellText))); // 9 + 8,173 fills a page exactly
    EXPECT_EQ(std::tuple(uint32_t(store.FirstPage()->used), store.FreeBytes()),
              std::tuple(uint32_t(kPagePayload), 0u));
    EXPECT_TRUE(Put(store, Number(kLastColumn, kLastRow, 1)));
    std::vector<uint8_t> tooLong(kPagePayload + 16, 0), formula(kPagePayload + 16, 0);
    tooLong[0] = kCellText;
    StoreU16(tooLong.data() + 7, uint16_t(kMaxCellText + 1));
    formula[0] = kCellFormula;
    StoreU16(formula.data() + 33, 9000);
    for (const auto& record :
         {tooLong, formula, Number(kMaxColumns, 0, 1), Number(0, kMaxRows, 1)}) {
        CellCursor cursor{kAdvance, nullptr, 0};
        EXPECT_FALSE(store.PutCell(record.data(), cursor));
        EXPECT_EQ(std::tuple(Dump(store).size(), cursor.page), std::tuple(std::size_t(2), nullptr));
    }
}

// A full page of two records a (column 0) and b (column 2); the new record (column 1) goes
// between them and lands on the page the layout shows.
TEST(CellStore, SplitPutsTheRecordOnTheRightPageAndLosesNothing) {
    const std::tuple<uint32_t, uint32_t, uint32_t, const char*> cases[] = {
        // Below half a page the record stays and the tail moves; from half a page on the
        // record opens the new page before the tail.
        {4090, 8182 - 4090, 15, " 0 1 | 2"},
        {4091, 8182 - 4091, 15, " 0 | 1 2"},
        // Large records: whichever way fits.
        {3000, 5182, 5000, " 0 1 | 2"},
        {5000, 1000, 3000, " 0 | 1 2"},
        {5000, 1000, 7000, " 0 | 1 2"},
        {6000, 2000, 2500, " 0 | 1 2"},
        {1000, 7000, 7000, " 0 1 | 2"},
        {3000, 2000, 5500, " 0 | 1 2"},
        // Neither way fits: the record gets a page of its own.
        {5000, 3182, 5001, " 0 | 1 | 2"},
        {3000, 5182, 6000, " 0 | 1 | 2"},
        {100, 8082, 8182, " 0 | 1 | 2"},
    };
    for (const auto& [a, b, insert, layout] : cases) {
        SCOPED_TRACE(std::to_string(a) + " " + std::to_string(insert));
        CCellStore store;
        store.AdoptPages(MakeChain({{Sized(0, 0, a, 'a'), Sized(2, 0, b, 'b')}}));
        const auto inserted = Sized(1, 0, insert, 'n');
        CellCursor cursor{kAdvance, nullptr, 0};
        ASSERT_TRUE(Put(store, inserted, cursor));
        EXPECT_TRUE(Consistent(store));
        EXPECT_EQ(Layout(store), layout);
        EXPECT_EQ(Dump(store), (std::vector{Sized(0, 0, a, 'a'), inserted, Sized(2, 0, b, 'b')}));
        // The cursor stands past the record it wrote.
        EXPECT_EQ(cell::Column(cursor.page->payload + cursor.offset - insert), 1);
    }
}

TEST(CellStore, SplitBelowTheMiddleCutsAtTheMiddle) {
    // A full page of 545 numbers (rows 1 to 545) and a put just past the first: the old
    // page keeps the records up to the middle (272) with the new one, the rest move. With
    // room on a previous page the head goes there and no page is taken.
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
        ASSERT_EQ(keys.size(), 2u) << withPrevious;
        EXPECT_EQ(std::tuple(keys[0].size(), keys[1].size()),
                  std::tuple(std::size_t(273 + withPrevious), std::size_t(273)));
        EXPECT_EQ(keys[0][1 + withPrevious], std::make_pair(uint32_t(1), uint16_t(1)));
        EXPECT_EQ(keys[1][0], std::make_pair(uint32_t(273), uint16_t(0)));
    }
    // A replacement that overflows splits too, and loses nothing.
    CCellStore store;
    store.AdoptPages(
        MakeChain({{Sized(0, 0, 3000, 'a'), Sized(1, 0, 100, 'o'), Sized(2, 0, 5082, 'b')}}));
    ASSERT_TRUE(Put(store, Sized(1, 0, 8000, 'n')));
    EXPECT_EQ(Dump(store), (std::vector{Sized(0, 0, 3000, 'a'), Sized(1, 0, 8000, 'n'),
                                        Sized(2, 0, 5082, 'b')}));
}

TEST(CellStore, InsertAtAPageStartGoesToAPreviousPageOnlyWhenItIsLessFull) {
    for (bool lessFull : {true, false}) {
        CCellStore store;
        if (lessFull)
            store.AdoptPages(MakeChain({{Number(0, 0, 1)}, {Number(10, 0, 1), Number(11, 0, 1)}}));
        else
            store.AdoptPages(MakeChain(
                {{Number(0, 0, 1), Number(1, 0, 1), Number(2, 0, 1)}, {Number(10, 0, 1)}}));
        ASSERT_TRUE(Put(store, Number(5, 0, 2)));
        EXPECT_TRUE(Consistent(store));
        EXPECT_EQ(Layout(store), lessFull ? " 0 5 | 10 11" : " 0 1 2 | 5 10");
    }
}

// Row-major puts with a cursor fill every page; a column written beside a full one (every
// put just past a record of the first column) still keeps pages well filled.
TEST(CellStore, SequentialPutsWithACursorKeepPagesFilled) {
    for (bool beside : {false, true}) {
        CCellStore store;
        const uint32_t rows = beside ? 20000 : 200, columns = beside ? 2 : 500;
        CellCursor cursor{kAdvance, nullptr, 0};
        for (uint32_t r = 0; r < rows; ++r)
            for (uint16_t c = 0; c < columns - beside; ++c)
                ASSERT_TRUE(Put(store, Number(c, r, r * 1000.0 + c), cursor));
        cursor = {kAdvance, nullptr, 0};
        for (uint32_t r = 0; r < rows && beside; ++r)
            ASSERT_TRUE(Put(store, Number(1, r, r * 1000.0 + 1), cursor));
        EXPECT_TRUE(Consistent(store));
        const uint32_t minimum =
            (rows * columns * kNumberRecordSize + kPagePayload - 1) / kPagePayload;
        EXPECT_LE(store.PageCount(), beside ? minimum * 5 / 4 : minimum);
        EXPECT_EQ(cell::Number(FindCell(store, 123, 1)), 123001.0);
    }
    // A cursor left past the insertion point does not break the order.
    CCellStore store;
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < 3000; ++row) ASSERT_TRUE(Put(store, Number(0, row, row), cursor));
    ASSERT_TRUE(Put(store, Number(1, 5, 0.5), cursor)); // belongs on the first page
    EXPECT_TRUE(Consistent(store));
    EXPECT_NE(FindCell(store, 5, 1), nullptr);
}

// A put that cannot have its pages changes nothing: records, counts, free bytes, free
// pages and the memory in use are as before, and the same put succeeds with memory.
TEST(CellStore, AllocationFailureLeavesTheStoreUnchanged) {
    const auto s = [](uint16_t column, uint32_t size) { return Sized(column, 0, size); };
    const std::tuple<const char*, std::vector<std::vector<uint8_t>>, std::vector<uint8_t>, long,
                     bool>
        cases[] = {
            {"insert", {s(0, 4000), s(2, 4182)}, s(1, 100), 0, false},
            {"replace", {s(0, 4000), s(1, 100), s(2, 4082)}, s(1, 4000), 0, false},
            {"two needed, one had", {s(0, 5000), s(2, 3182)}, s(1, 5001), 1, false},
            {"two needed, one spare", {s(0, 5000), s(2, 3182)}, s(1, 5001), 0, true},
            {"first page", {}, Number(0, 0, 1), 0, false},
        };
    for (const auto& [name, page, record, successes, spare] : cases) {
        SCOPED_TRACE(name);
        CCellStore store;
        if (!page.empty()) store.AdoptPages(MakeChain({page}));
        ASSERT_TRUE(!spare || store.ReserveSparePage());
        const auto before = StoreState(store);
        {
            AllocFailGuard guard(successes);
            CellCursor cursor{kAdvance, nullptr, 0};
            EXPECT_FALSE(store.PutCell(record.data(), cursor));
            EXPECT_EQ(cursor.page, nullptr);
        }
        EXPECT_EQ(StoreState(store), before);
        ASSERT_TRUE(Put(store, record));
        EXPECT_TRUE(Consistent(store));
    }
}

TEST(CellStore, PageManagementCounts) {
    CCellStore store;
    const long live = LiveBlockCount();
    ASSERT_TRUE(store.ReserveSparePage());
    ASSERT_TRUE(store.ReserveSparePage()); // already one spare: nothing more
    EXPECT_EQ(std::tuple(store.FreePageCount(), LiveBlockCount()), std::tuple(1u, live + 1));
    Page* page = store.AllocPage();
    EXPECT_EQ(std::tuple(store.FreePageCount(), store.PageCount(), store.FreeBytes()),
              std::tuple(0u, 1u, uint32_t(kPagePayload)));
    store.FreePageChain(page);
    EXPECT_EQ(store.FreePageCount(), 1u);
    store.PurgeFreePages();
    EXPECT_EQ(LiveBlockCount(), live);
    store.AdoptPages(MakeChain({{Number(0, 0, 1)}, {Number(0, 1, 1), Number(0, 2, 1)}}));
    EXPECT_EQ(std::tuple(store.PageCount(), store.FreeBytes()),
              std::tuple(2u, uint32_t(2 * kPagePayload - 3 * kNumberRecordSize)));
    Page* chain = store.DetachPages(true);
    EXPECT_EQ(store.FirstPage(), nullptr);
    EXPECT_EQ(store.PageCount() + store.FreeBytes(), 0u);
    store.AdoptPages(chain);
    store.AdoptPages(store.FirstPage()); // its own chain: kept, only recounted
    EXPECT_EQ(std::tuple(store.FreePageCount(), Dump(store).size()),
              std::tuple(0u, std::size_t(3)));
    // Released pages are reused by later puts without allocation.
    store.ReleaseAllPages(false);
    EXPECT_EQ(std::tuple(store.FreePageCount(), store.PageCount()), std::tuple(2u, 0u));
    const long allocations = AllocationCount();
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < 1000; ++row) ASSERT_TRUE(Put(store, Number(0, row, 2), cursor));
    EXPECT_EQ(std::tuple(AllocationCount(), store.FreePageCount()), std::tuple(allocations, 0u));
    store.FreeAll();
    EXPECT_EQ(LiveBlockCount(), live);
}

} // namespace vl
