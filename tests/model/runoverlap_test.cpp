#include "model/runoverlap.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace vl {

namespace {

using Laid = std::vector<std::tuple<int, int, int>>; // first, last, style

Laid Of(const std::vector<FormatRun>& runs) {
    Laid out;
    for (const FormatRun& r : runs) {
        EXPECT_EQ(r.row, 7u);
        out.emplace_back(r.firstColumn, r.lastColumn, r.style);
    }
    return out;
}

// The run stored first keeps its cells; the later keep what no earlier run covers.
TEST(RunOverlap, TheFirstStoredRunKeepsItsCells) {
    const struct {
        std::vector<FormatRun> stored;
        Laid laid;
    } cases[] = {
        {{{1, 1, 7, 1}, {1, 1, 7, 2}}, {{1, 1, 1}}},
        {{{1, 3, 7, 1}, {2, 2, 7, 2}}, {{1, 3, 1}}},
        {{{2, 2, 7, 1}, {1, 3, 7, 2}}, {{1, 1, 2}, {2, 2, 1}, {3, 3, 2}}},
        {{{1, 1, 7, 1}, {1, 2, 7, 2}, {1, 3, 7, 1}}, {{1, 1, 1}, {2, 2, 2}, {3, 3, 1}}},
        {{{4, 5, 7, 1}, {0, 1, 7, 2}}, {{0, 1, 2}, {4, 5, 1}}},
        {{{0, 1, 7, 1}, {2, 3, 7, 2}}, {{0, 1, 1}, {2, 3, 2}}},
        {{{0, kLastColumn, 7, 3}, {kLastColumn, kLastColumn, 7, 1}}, {{0, kLastColumn, 3}}},
        {{{kLastColumn, kLastColumn, 7, 1}, {0, kLastColumn, 7, 3}},
         {{0, kLastColumn - 1, 3}, {kLastColumn, kLastColumn, 1}}},
    };
    for (const auto& c : cases) {
        std::vector<FormatRun> runs = c.stored;
        SeparateRowRuns(runs);
        EXPECT_EQ(Of(runs), c.laid) << c.stored.size() << " " << c.stored[1].firstColumn;
    }
}

// A whole store is rewritten row by row; rows without overlap stay as they were.
TEST(RunOverlap, AStoreIsLaidApartRowByRow) {
    CFormatStore store;
    InitFormatStore(store);
    CellCursor cursor;
    for (const FormatRun& run : {FormatRun{0, 2, 1, 1}, FormatRun{1, 1, 1, 2},
                                 FormatRun{4, 4, 1, 2}, FormatRun{0, 0, 3, 1}})
        ASSERT_TRUE(PutFormatRun(store, run, cursor));
    ASSERT_TRUE(SeparateFormatRuns(store));
    std::vector<std::tuple<uint32_t, int, int, int>> back;
    CellCursor walk{kAdvance, store.runs.FirstPage(), 0};
    while (const uint8_t* p = FormatRunCursorNext(walk)) {
        const FormatRun r = LoadFormatRun(p);
        back.emplace_back(r.row, r.firstColumn, r.lastColumn, r.style);
    }
    const std::vector<std::tuple<uint32_t, int, int, int>> expected = {
        {1, 0, 2, 1}, {1, 4, 4, 2}, {3, 0, 0, 1}};
    EXPECT_EQ(back, expected);
    ClearFormatStore(store);
}

} // namespace

} // namespace vl
