#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

namespace {

// The runs as the store's own cursor reads them.
Runs Stored(const CFormatStore& store) {
    Runs out;
    CellCursor cursor{kAdvance, store.runs.FirstPage(), 0};
    while (const uint8_t* p = FormatRunCursorNext(cursor)) {
        const FormatRun r = LoadFormatRun(p);
        out.emplace_back(r.row, r.firstColumn, r.lastColumn, r.style);
    }
    return out;
}

// Runs in (row, first column) order, no page empty or over-full, counts matching the chain.
::testing::AssertionResult Consistent(const CFormatStore& store) {
    uint32_t pages = 0;
    const Page* prev = nullptr;
    for (const Page* p = store.runs.FirstPage(); p; prev = p, p = p->next) {
        ++pages;
        if (p->prev != prev || p->used == 0 || p->used > kPagePayload || p->used % kFormatRunSize)
            return ::testing::AssertionFailure() << "bad page " << pages;
    }
    if (pages != store.runs.PageCount())
        return ::testing::AssertionFailure() << "page count " << store.runs.PageCount();
    const auto runs = Stored(store);
    for (size_t i = 1; i < runs.size(); ++i) {
        const auto [row0, first0, last0, s0] = runs[i - 1];
        const auto [row1, first1, last1, s1] = runs[i];
        if (row0 > row1 || (row0 == row1 && last0 >= first1))
            return ::testing::AssertionFailure() << "order broken at run " << i;
    }
    return ::testing::AssertionSuccess();
}

bool Put(CFormatStore& store, uint32_t row, uint16_t first, uint16_t last, uint16_t style,
         CellCursor* cursor = nullptr) {
    CellCursor own{kAdvance, nullptr, 0};
    return PutFormatRun(store, FormatRun{first, last, row, style}, cursor ? *cursor : own);
}

// A chain of run pages, for AdoptPages.
Page* RunChain(const std::vector<std::vector<FormatRun>>& pages) {
    std::vector<std::vector<std::vector<uint8_t>>> chain;
    for (const auto& runs : pages) {
        auto& page = chain.emplace_back();
        for (const FormatRun& r : runs) StoreFormatRun(page.emplace_back(kFormatRunSize).data(), r);
    }
    return storetest::MakeChain(chain);
}

// A full page of 818 runs over columns 0..9, and a page of one run after it if asked.
Page* FullPage(bool nextPage) {
    std::vector<std::vector<FormatRun>> pages(1);
    for (uint32_t row = 0; row < 818; ++row) pages[0].push_back({0, 9, row, 2});
    if (nextPage) pages.push_back({{0, 9, 5000, 2}});
    return RunChain(pages);
}

std::unique_ptr<CFormatStore> NewStore() {
    auto store = std::make_unique<CFormatStore>();
    InitFormatStore(*store);
    return store;
}

} // namespace

TEST(FormatStore, AdjacentRunsOfOneStyleJoinAndRunsStayOnTheSheet) {
    const std::pair<Runs, Runs> cases[] = {
        {{{0, 5, 9, 3}, {0, 10, 12, 3}}, {{0, 5, 12, 3}}},
        {{{0, 10, 12, 3}, {0, 5, 9, 3}}, {{0, 5, 12, 3}}},
        {{{0, 5, 9, 3}, {0, 10, 12, 4}}, {{0, 5, 9, 3}, {0, 10, 12, 4}}},
        {{{0, 5, 9, 3}, {1, 10, 12, 3}}, {{0, 5, 9, 3}, {1, 10, 12, 3}}},
        {{{0, 5, 9, 3}, {0, 11, 12, 3}}, {{0, 5, 9, 3}, {0, 11, 12, 3}}},
    };
    for (const auto& [puts, expected] : cases) {
        auto store = NewStore();
        CellCursor cursor{kAdvance, nullptr, 0};
        for (const auto& [row, first, last, style] : puts)
            ASSERT_TRUE(Put(*store, row, first, last, style, &cursor));
        EXPECT_EQ(Stored(*store), expected);
    }
    auto store = NewStore();
    EXPECT_FALSE(Put(*store, 0, 5, 4, 1));
    EXPECT_FALSE(Put(*store, 0, 0, kMaxColumns, 1));
    EXPECT_FALSE(Put(*store, kMaxRows, 0, 0, 1));
    EXPECT_EQ(store->runs.PageCount(), 0u);
    EXPECT_TRUE(Put(*store, kLastRow, kLastColumn, kLastColumn, 1));
}

TEST(FormatStore, ClearCutsRunsByColumns) {
    const std::pair<CellRange, Runs> cases[] = {
        {{3, 0, 4, 0}, {{0, 0, 2, 7}, {0, 5, 9, 7}, {1, 0, 9, 7}}},
        {{0, 0, 4, 1}, {{0, 5, 9, 7}, {1, 5, 9, 7}}},
        {{5, 1, 20, 1}, {{0, 0, 9, 7}, {1, 0, 4, 7}}},
        {{10, 0, 20, 1}, {{0, 0, 9, 7}, {1, 0, 9, 7}}},
        {{0, 1, 9, 5}, {{0, 0, 9, 7}}},
    };
    for (const auto& [rect, expected] : cases) {
        auto store = NewStore();
        ASSERT_TRUE(Put(*store, 0, 0, 9, 7));
        ASSERT_TRUE(Put(*store, 1, 0, 9, 7));
        ASSERT_TRUE(ClearFormatRect(*store, rect, nullptr, false));
        EXPECT_EQ(Stored(*store), expected);
        EXPECT_TRUE(Consistent(*store));
    }
}

TEST(FormatStore, ClearingTheLastRunReleasesItsPage) {
    for (bool freePages : {false, true}) {
        auto store = NewStore();
        const long live = LiveBlockCount();
        ASSERT_TRUE(Put(*store, 4, 2, 6, 1));
        CellCursor cursor{kAdvance, store->runs.FirstPage(), 0};
        ASSERT_TRUE(ClearFormatRect(*store, {2, 4, 6, 4}, &cursor, freePages));
        EXPECT_EQ(std::tuple(store->runs.FirstPage(), cursor.page, store->runs.PageCount()),
                  std::tuple(nullptr, nullptr, 0u));
        EXPECT_EQ(std::tuple(store->runs.FreePageCount(), LiveBlockCount()),
                  std::tuple(freePages ? 0u : 1u, live + (freePages ? 0 : 1)));
        EXPECT_FALSE(GetFormatRunsRange(*store, nullptr, nullptr, nullptr, nullptr));
    }
}

// A full page of 818 runs; clearing columns 3..4 of `cutRows` of them adds one run each.
TEST(FormatStore, SplitRunsSpillWithoutLoss) {
    // Rows cut, a page after the full one, pages after the clear.
    const std::tuple<uint32_t, bool, uint32_t> cases[] = {
        {818, false, 2}, // all cut: a new page
        {818, true, 3},  // the next page too full
        {10, true, 2},   // the spill fits the next page
        {10, false, 2},
    };
    for (const auto& [cutRows, nextPage, pagesAfter] : cases) {
        auto store = NewStore();
        store->runs.AdoptPages(FullPage(nextPage));
        ASSERT_TRUE(ClearFormatRect(*store, {3, 0, 4, cutRows - 1}, nullptr, false));
        EXPECT_TRUE(Consistent(*store));
        EXPECT_EQ(store->runs.PageCount(), pagesAfter);
        Runs expected;
        for (uint32_t row = 0; row < 818; ++row) {
            if (row < cutRows) expected.emplace_back(row, 0, 2, 2);
            expected.emplace_back(row, row < cutRows ? 5 : 0, 9, 2);
        }
        if (nextPage) expected.emplace_back(5000, 0, 9, 2);
        EXPECT_EQ(Stored(*store), expected) << cutRows << " " << nextPage;
    }
}

// Without a page a clear that overflows, or a put that must split, changes nothing.
TEST(FormatStore, RunningOutOfMemoryChangesNothing) {
    auto store = NewStore();
    {
        AllocFailGuard guard(0);
        EXPECT_FALSE(Put(*store, 0, 0, 1, 1));
    }
    store->runs.AdoptPages(FullPage(false));
    const auto before = std::tuple(Stored(*store), 1u);
    AllocFailGuard guard(0);
    EXPECT_FALSE(ClearFormatRect(*store, {3, 0, 4, 817}, nullptr, false));
    EXPECT_FALSE(Put(*store, 5, 20, 20, 3));
    EXPECT_EQ(std::tuple(Stored(*store), store->runs.PageCount()), before);
    EXPECT_TRUE(Consistent(*store));
    EXPECT_TRUE(Put(*store, 5, 10, 12, 2)); // joins, needs no page
}

TEST(FormatStore, ManyRunsOverManyPagesStayOrderedAndInRange) {
    auto store = NewStore();
    CellCursor cursor{kAdvance, nullptr, 0};
    // Every other column, so nothing joins; rows written top to bottom.
    for (uint32_t row = 100; row < 400; ++row)
        for (uint16_t col = 10; col < 60; col += 2)
            ASSERT_TRUE(Put(*store, row, col, col, uint16_t(row % 7), &cursor));
    // And some in random places, without the cursor.
    for (uint32_t row : {50u, 250u, 399u, 1000u}) ASSERT_TRUE(Put(*store, row, 1, 1, 9));
    EXPECT_TRUE(Consistent(*store));
    EXPECT_EQ(Stored(*store).size(), 300u * 25 + 4);
    uint16_t c1, c2;
    uint32_t r1, r2;
    ASSERT_TRUE(GetFormatRunsRange(*store, &c1, &c2, &r1, &r2));
    EXPECT_EQ(std::tuple(c1, c2, r1, r2), std::tuple(uint16_t(1), uint16_t(58), 50u, 1000u));
}

TEST(FormatStore, CompactionJoinsTouchingRuns) {
    auto store = NewStore();
    std::vector<std::vector<FormatRun>> pages;
    for (uint16_t col = 0; col < 150; ++col) pages.push_back({{col, col, 0, 1}});
    store->runs.AdoptPages(RunChain(pages));
    ASSERT_GT(store->runs.FreeBytes(), 1000000u);
    CellCursor cursor{kAdvance, nullptr, 0};
    ASSERT_TRUE(Put(*store, 1, 0, 0, 2, &cursor));
    EXPECT_EQ(Stored(*store), (Runs{{0, 0, 149, 1}, {1, 0, 0, 2}}));
    EXPECT_EQ(
        std::tuple(store->runs.PageCount(), store->runs.FreePageCount(), store->runs.FreeBytes()),
        std::tuple(1u, 149u, 0u));
    EXPECT_EQ(std::tuple(cursor.page, uint32_t(cursor.offset)),
              std::tuple(store->runs.FirstPage(), 0u));
}

TEST(FormatStore, RowEntriesReleaseAndClear) {
    auto store = NewStore();
    const long live = LiveBlockCount();
    ASSERT_TRUE(SetFormatStoreRowEntry(*store, 10000, 300, true));
    EXPECT_EQ(store->rowHeights.ItemCount(), 10001u);
    uint32_t nonZero = 0;
    PagedListIter it{kAdvance, nullptr, 0};
    while (const uint16_t* item = store->rowHeights.NextItem2(it)) nonZero += *item != 0;
    EXPECT_EQ(nonZero, 1u);
    EXPECT_EQ(*store->rowHeights.GetItem2(10000), (300 << 1) | 1);
    // The top three bits belong to others and stay; the height keeps its low 12 bits.
    *store->rowHeights.GetItem2(7) = 0xE000;
    ASSERT_TRUE(SetFormatStoreRowEntry(*store, 7, 0x1FFF, false));
    EXPECT_EQ(*store->rowHeights.GetItem2(7), 0xE000 | (0x0FFF << 1));
    {
        AllocFailGuard guard(0);
        EXPECT_FALSE(SetFormatStoreRowEntry(*store, 20000, 1, false));
    }
    for (uint32_t row = 0; row < 2000; ++row) ASSERT_TRUE(Put(*store, row, 0, 0, 1));
    store->columns[3].width = 99;
    ReleaseFormatStore(*store, false);
    EXPECT_EQ(store->runs.PageCount() + store->rowHeights.ItemCount() + store->columns[3].width,
              0u);
    EXPECT_GT(store->runs.FreePageCount(), 0u);
    EXPECT_GT(store->rowHeights.FreePageCount(), 0u);
    const long allocations = AllocationCount();
    ASSERT_TRUE(Put(*store, 0, 0, 0, 1));
    ASSERT_TRUE(SetFormatStoreRowEntry(*store, 10, 20, false));
    EXPECT_EQ(AllocationCount(), allocations);
    ClearFormatStore(*store);
    EXPECT_EQ(LiveBlockCount(), live);
}

} // namespace vl
