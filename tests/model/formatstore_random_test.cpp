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
    }
    EXPECT_GT(pages, 3u); // the edits crossed pages
    ClearFormatStore(store);
}

} // namespace vl
