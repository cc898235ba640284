// Restyles and clears random rectangles as the editing commands do (clear, then put one run
// per row) and compares the runs, cell by cell, with a plain grid of style indexes.

#include "modeltestutil.h"

namespace vl {

namespace {

constexpr uint32_t kRows = 3000;
constexpr uint16_t kColumns = 80;

using Grid = std::vector<std::vector<uint16_t>>;

// The style of every cell as the runs give it; false when runs overlap or are out of order.
bool Expand(const CFormatStore& store, Grid& out) {
    out.assign(kRows, std::vector<uint16_t>(kColumns, 0));
    CellCursor cursor{kAdvance, store.runs.FirstPage(), 0};
    uint32_t lastRow = 0, lastColumn = 0;
    bool first = true;
    while (const uint8_t* p = FormatRunCursorNext(cursor)) {
        const FormatRun run = LoadFormatRun(p);
        if (!first && (run.row < lastRow || (run.row == lastRow && run.firstColumn <= lastColumn)))
            return false;
        if (run.row >= kRows || run.lastColumn >= kColumns || run.firstColumn > run.lastColumn)
            return false;
        for (uint32_t c = run.firstColumn; c <= run.lastColumn; ++c) out[run.row][c] = run.style;
        first = false;
        lastRow = run.row;
        lastColumn = run.lastColumn;
    }
    return true;
}

uint32_t CountRuns(const CFormatStore& store) {
    uint32_t n = 0;
    for (const Page* p = store.runs.FirstPage(); p; p = p->next) n += p->used / kFormatRunSize;
    return n;
}

// After packing, no two neighbours of one page could still be one run.
bool NoMergeableNeighbours(const CFormatStore& store) {
    for (const Page* p = store.runs.FirstPage(); p; p = p->next) {
        for (uint32_t o = kFormatRunSize; o + kFormatRunSize <= p->used; o += kFormatRunSize) {
            const FormatRun a = LoadFormatRun(p->payload + o - kFormatRunSize);
            const FormatRun b = LoadFormatRun(p->payload + o);
            if (a.row == b.row && a.style == b.style && a.lastColumn + 1 == b.firstColumn)
                return false;
        }
    }
    return true;
}

} // namespace

TEST(FormatStoreRandom, RestylesAndClearsMatchAGrid) {
    std::mt19937 rng(99);
    auto below = [&](uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng); };
    CFormatStore store;
    InitFormatStore(store);
    uint32_t pages = 0;
    Grid ref(kRows, std::vector<uint16_t>(kColumns, 0)), got;
    for (int batch = 0; batch < 20; ++batch) {
        for (int op = 0; op < 150; ++op) {
            const uint16_t c1 = uint16_t(below(kColumns)), c2 = uint16_t(c1 + below(kColumns - c1));
            const uint32_t r1 = below(kRows), r2 = std::min(kRows - 1, r1 + below(200));
            CellCursor clearCursor{kAdvance, nullptr, 0};
            ASSERT_TRUE(ClearFormatRect(store, {c1, r1, c2, r2}, below(2) ? &clearCursor : nullptr,
                                        below(2) != 0));
            const uint16_t style = uint16_t(below(4)); // 0: only cleared
            CellCursor cursor{kAdvance, nullptr, 0};
            for (uint32_t r = r1; r <= r2; ++r) {
                for (uint16_t c = c1; c <= c2; ++c) ref[r][c] = style;
                if (style) {
                    ASSERT_TRUE(PutFormatRun(store, FormatRun{c1, c2, r, style}, cursor));
                }
            }
        }
        ASSERT_TRUE(Expand(store, got)) << "runs overlap or are out of order, batch " << batch;
        ASSERT_EQ(got, ref) << "batch " << batch;
        pages = std::max(pages, store.runs.PageCount());
        // Every few batches the store is packed: the grid it gives stays the same, its pages
        // are full but for the last, and the edits that follow still work on it.
        if (batch % 4 == 3) {
            const uint32_t runsBefore = CountRuns(store);
            const uint32_t freeBefore = store.runs.FreePageCount();
            const uint32_t pagesBefore = store.runs.PageCount();
            CompactFormatRuns(store.runs, batch % 8 == 7);
            ASSERT_TRUE(Expand(store, got)) << "compaction broke the order, batch " << batch;
            ASSERT_EQ(got, ref) << "compaction changed styles, batch " << batch;
            EXPECT_LE(CountRuns(store), runsBefore);
            EXPECT_EQ(store.runs.FreeBytes(), 0u);
            EXPECT_TRUE(NoMergeableNeighbours(store));
            const uint32_t released = pagesBefore - store.runs.PageCount();
            EXPECT_EQ(store.runs.FreePageCount(), freeBefore + (batch % 8 == 7 ? 0 : released));
            for (const Page* p = store.runs.FirstPage(); p && p->next; p = p->next)
                EXPECT_GT(p->used + kFormatRunSize, kPagePayload) << "a page left short";
        }
    }
    EXPECT_GT(pages, 3u); // the edits crossed pages
    ClearFormatStore(store);
}

} // namespace vl

namespace vl {

// Runs that touch with one style become one; runs of another row or style stay apart.
TEST(FormatStoreCompact, MergesTouchingRuns) {
    CFormatStore store;
    InitFormatStore(store);
    // Two pages written as a store grown by edits may hold them: nothing merged, the
    // second page short.
    const FormatRun written[] = {{0, 0, 4, 1}, {1, 1, 4, 1}, {2, 2, 4, 1}, {3, 3, 4, 2},
                                 {4, 4, 4, 1}, {5, 5, 4, 1}, {6, 7, 5, 1}};
    Page* first = store.runs.AllocPage();
    Page* second = store.runs.AllocPage();
    ASSERT_TRUE(first && second);
    store.runs.LinkPage(first, nullptr);
    store.runs.LinkPage(second, first);
    first->used = second->used = 0;
    for (int i = 0; i < 7; ++i) {
        Page* page = i < 5 ? first : second;
        StoreFormatRun(page->payload + page->used, written[i]);
        page->used = uint16_t(page->used + kFormatRunSize);
    }
    store.runs.SetFreeBytes(1234);
    const uint32_t freeBefore = store.runs.FreePageCount();
    CompactFormatRuns(store.runs, false);
    std::vector<std::string> runs;
    CellCursor walk{kAdvance, store.runs.FirstPage(), 0};
    while (const uint8_t* p = FormatRunCursorNext(walk)) {
        const FormatRun r = LoadFormatRun(p);
        runs.push_back(std::to_string(r.firstColumn) + "-" + std::to_string(r.lastColumn) + "@" +
                       std::to_string(r.row) + ":" + std::to_string(r.style));
    }
    EXPECT_EQ(runs, (std::vector<std::string>{"0-2@4:1", "3-3@4:2", "4-5@4:1", "6-7@5:1"}));
    EXPECT_EQ(store.runs.PageCount(), 1u);
    EXPECT_EQ(store.runs.FreePageCount(), freeBefore + 1);
    EXPECT_EQ(store.runs.FreeBytes(), 0u);
    ClearFormatStore(store);
}

} // namespace vl
