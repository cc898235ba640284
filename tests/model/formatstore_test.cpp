#include "modeltestutil.h"

namespace vl {

using storetest::AllocFailGuard;

namespace {

using RunKey = std::tuple<uint32_t, uint16_t, uint16_t, uint16_t>; // row, first, last, style

std::vector<RunKey> Runs(const CFormatStore& store) {
    std::vector<RunKey> out;
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
    const auto runs = Runs(store);
    for (size_t i = 1; i < runs.size(); ++i) {
        const auto [row0, first0, last0, s0] = runs[i - 1];
        const auto [row1, first1, last1, s1] = runs[i];
        if (row0 > row1 || (row0 == row1 && last0 >= first1))
            return ::testing::AssertionFailure() << "order broken at run " << i;
    }
    return ::testing::AssertionSuccess();
}

bool PutRun(CFormatStore& store, uint32_t row, uint16_t first, uint16_t last, uint16_t style,
            CellCursor& cursor) {
    return PutFormatRun(store, FormatRun{first, last, row, style}, cursor);
}

bool PutRun(CFormatStore& store, uint32_t row, uint16_t first, uint16_t last, uint16_t style) {
    CellCursor cursor{kAdvance, nullptr, 0};
    return PutRun(store, row, first, last, style, cursor);
}

// A chain of run pages, for AdoptPages.
Page* RunChain(const std::vector<std::vector<FormatRun>>& pages) {
    Page* first = nullptr;
    Page* last = nullptr;
    for (const auto& runs : pages) {
        auto* page = static_cast<Page*>(AllocBlock(sizeof(Page)));
        *page = Page{nullptr, last, 0, {}};
        for (const FormatRun& r : runs) {
            StoreFormatRun(page->payload + page->used, r);
            page->used = uint16_t(page->used + kFormatRunSize);
        }
        (last ? last->next : first) = page;
        last = page;
    }
    return first;
}

std::unique_ptr<CFormatStore> NewStore() {
    auto store = std::make_unique<CFormatStore>();
    InitFormatStore(*store);
    return store;
}

} // namespace

TEST(FormatStore, AdjacentRunsOfOneStyleJoinAndRunsStayOnTheSheet) {
    const std::pair<std::vector<RunKey>, std::vector<RunKey>> cases[] = {
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
            ASSERT_TRUE(PutRun(*store, row, first, last, style, cursor));
        EXPECT_EQ(Runs(*store), expected);
    }
    auto store = NewStore();
    EXPECT_FALSE(PutRun(*store, 0, 5, 4, 1));
    EXPECT_FALSE(PutRun(*store, 0, 0, kMaxColumns, 1));
    EXPECT_FALSE(PutRun(*store, kMaxRows, 0, 0, 1));
    EXPECT_EQ(store->runs.PageCount(), 0u);
    EXPECT_TRUE(PutRun(*store, kLastRow, kLastColumn, kLastColumn, 1));
}

TEST(FormatStore, ClearCutsRunsByColumns) {
    const std::pair<CellRange, std::vector<RunKey>> cases[] = {
        {{3, 0, 4, 0}, {{0, 0, 2, 7}, {0, 5, 9, 7}, {1, 0, 9, 7}}},
        {{0, 0, 4, 1}, {{0, 5, 9, 7}, {1, 5, 9, 7}}},
        {{5, 1, 20, 1}, {{0, 0, 9, 7}, {1, 0, 4, 7}}},
        {{10, 0, 20, 1}, {{0, 0, 9, 7}, {1, 0, 9, 7}}},
        {{0, 1, 9, 5}, {{0, 0, 9, 7}}},
    };
    for (const auto& [rect, expected] : cases) {
        auto store = NewStore();
        ASSERT_TRUE(PutRun(*store, 0, 0, 9, 7));
        ASSERT_TRUE(PutRun(*store, 1, 0, 9, 7));
        ASSERT_TRUE(ClearFormatRect(*store, rect, nullptr, false));
        EXPECT_EQ(Runs(*store), expected);
        EXPECT_TRUE(Consistent(*store));
    }
}

TEST(FormatStore, ClearingTheLastRunReleasesItsPage) {
    for (bool freePages : {false, true}) {
        auto store = NewStore();
        const long live = LiveBlockCount();
        ASSERT_TRUE(PutRun(*store, 4, 2, 6, 1));
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
struct OverflowCase {
    uint32_t cutRows;
    bool nextPage; // a second page with one run follows
    uint32_t pagesAfter;
};

class FormatStoreOverflow : public ::testing::TestWithParam<OverflowCase> {};

TEST_P(FormatStoreOverflow, SplitRunsSpillWithoutLoss) {
    const OverflowCase c = GetParam();
    auto store = NewStore();
    std::vector<std::vector<FormatRun>> pages(1);
    for (uint32_t row = 0; row < 818; ++row) pages[0].push_back({0, 9, row, 2});
    if (c.nextPage) pages.push_back({{0, 9, 5000, 2}});
    store->runs.AdoptPages(RunChain(pages));
    ASSERT_TRUE(ClearFormatRect(*store, {3, 0, 4, c.cutRows - 1}, nullptr, false));
    EXPECT_TRUE(Consistent(*store));
    EXPECT_EQ(store->runs.PageCount(), c.pagesAfter);
    std::vector<RunKey> expected;
    for (uint32_t row = 0; row < 818; ++row) {
        if (row < c.cutRows) {
            expected.emplace_back(row, 0, 2, 2);
            expected.emplace_back(row, 5, 9, 2);
        } else {
            expected.emplace_back(row, 0, 9, 2);
        }
    }
    if (c.nextPage) expected.emplace_back(5000, 0, 9, 2);
    EXPECT_EQ(Runs(*store), expected);
}

INSTANTIATE_TEST_SUITE_P(Pages, FormatStoreOverflow,
                         ::testing::Values(OverflowCase{818, false, 2}, // all cut: a new page
                                           OverflowCase{818, true, 3},  // next page too full
                                           OverflowCase{10, true, 2},   // spill fits the next
                                           OverflowCase{10, false, 2}));

// Without a page a clear that overflows, or a put that must split, changes nothing.
TEST(FormatStore, RunningOutOfMemoryChangesNothing) {
    auto store = NewStore();
    {
        AllocFailGuard guard(0);
        EXPECT_FALSE(PutRun(*store, 0, 0, 1, 1));
    }
    std::vector<FormatRun> page;
    for (uint32_t row = 0; row < 818; ++row) page.push_back({0, 9, row, 2});
    store->runs.AdoptPages(RunChain({page}));
    const auto before = Runs(*store);
    AllocFailGuard guard(0);
    EXPECT_FALSE(ClearFormatRect(*store, {3, 0, 4, 817}, nullptr, false));
    EXPECT_FALSE(PutRun(*store, 5, 20, 20, 3));
    EXPECT_EQ(Runs(*store), before);
    EXPECT_TRUE(Consistent(*store));
    EXPECT_EQ(store->runs.PageCount(), 1u);
    EXPECT_TRUE(PutRun(*store, 5, 10, 12, 2)); // joins, needs no page
}

TEST(FormatStore, ManyRunsOverManyPagesStayOrderedAndInRange) {
    auto store = NewStore();
    CellCursor cursor{kAdvance, nullptr, 0};
    // Every other column, so nothing joins; rows written top to bottom.
    for (uint32_t row = 100; row < 400; ++row)
        for (uint16_t col = 10; col < 60; col += 2)
            ASSERT_TRUE(PutRun(*store, row, col, col, uint16_t(row % 7), cursor));
    // And some in random places, without the cursor.
    for (uint32_t row : {50u, 250u, 399u, 1000u}) ASSERT_TRUE(PutRun(*store, row, 1, 1, 9));
    EXPECT_TRUE(Consistent(*store));
    EXPECT_EQ(Runs(*store).size(), 300u * 25 + 4);
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
    ASSERT_TRUE(PutRun(*store, 1, 0, 0, 2, cursor));
    EXPECT_EQ(Runs(*store), (std::vector<RunKey>{{0, 0, 149, 1}, {1, 0, 0, 2}}));
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
    for (uint32_t row = 0; row < 2000; ++row) ASSERT_TRUE(PutRun(*store, row, 0, 0, 1));
    store->columns[3].width = 99;
    ReleaseFormatStore(*store, false);
    EXPECT_EQ(store->runs.PageCount() + store->rowHeights.ItemCount() + store->columns[3].width,
              0u);
    EXPECT_GT(store->runs.FreePageCount(), 0u);
    EXPECT_GT(store->rowHeights.FreePageCount(), 0u);
    const long allocations = AllocationCount();
    ASSERT_TRUE(PutRun(*store, 0, 0, 0, 1));
    ASSERT_TRUE(SetFormatStoreRowEntry(*store, 10, 20, false));
    EXPECT_EQ(AllocationCount(), allocations);
    ClearFormatStore(*store);
    EXPECT_EQ(LiveBlockCount(), live);
}

} // namespace vl
