#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

TEST(RangeOps, ClearingAnyPartOfAnArrayRemovesItsWholeArea) {
    CCellStore store;
    PutArray(store, 1, 1, 3, 2);
    PutArray(store, 1, 5, 2, 2, 9); // "#FILL!": one cell, its elements stay
    PutNumber(store, 0, 1, 7);
    PutNumber(store, 4, 2, 8);
    FormulaHead plain; // a formula that is no array goes alone
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, 0, 5, plain, "1"));
    Put(store, b);
    ClearRect(store, {1, 1, 1, 1}, nullptr, true);
    ClearRect(store, {0, 5, 1, 5}, nullptr, true);
    EXPECT_EQ(std::tuple(Dump(store).size(), NumberAt(store, 0, 1), NumberAt(store, 4, 2)),
              std::tuple(5u, 7, 8));
    EXPECT_TRUE(storetest::Consistent(store));
}

// Rectangles of every shape, overlapping, asked about every cell around them in order and,
// at the end, out of order: the sweep answers as a plain search does.
TEST(RangeOps, ClearSetIndexAgreesWithAPlainSearch) {
    std::mt19937 rng(5);
    for (int round = 0; round < 20; ++round) {
        std::vector<CellRange> rects{{5, 9, 4, 9}}; // an empty one covers nothing
        for (int i = 0; i < 30; ++i) {
            const uint16_t c1 = uint16_t(rng() % 30);
            const uint32_t r1 = uint32_t(rng() % 40);
            rects.push_back({c1, r1, uint16_t(c1 + rng() % 6), uint32_t(r1 + rng() % 8)});
        }
        CClearSetIndex index(rects);
        const auto plain = [&](uint16_t c, uint32_t r) {
            return std::any_of(rects.begin(), rects.end(),
                               [&](const CellRange& x) { return RangeContains(x, c, r); });
        };
        for (uint32_t r = 0; r < 50; ++r)
            for (uint16_t c = 0; c < 40; ++c) ASSERT_EQ(index.Contains(c, r), plain(c, r));
        for (int n = 0; n < 200; ++n) {
            const uint16_t c = uint16_t(rng() % 40);
            const uint32_t r = uint32_t(rng() % 50);
            ASSERT_EQ(index.Contains(c, r), plain(c, r));
        }
    }
}

TEST(RangeOps, ClearingAColumnOfOneRowArraysAndTheWholeSheet) {
    CCellStore store;
    for (uint32_t r = 0; r < 3000; ++r) PutArray(store, 1, r, 3, 1);
    PutNumber(store, 0, 5, 1);
    PutNumber(store, 4, 7, 2);
    ClearRect(store, {1, 0, 1, kLastRow}, nullptr, true);
    EXPECT_EQ(std::tuple(Dump(store).size(), NumberAt(store, 4, 7)), std::tuple(2u, 2));
    for (bool freePages : {true, false}) {
        for (uint32_t r = 0; r < 3000; ++r) PutText(store, uint16_t(r % 50), r * 7, "text");
        const uint32_t pages = store.PageCount(), freeBefore = store.FreePageCount();
        ClearRect(store, {0, 0, kLastColumn, kLastRow}, nullptr, freePages);
        EXPECT_EQ(std::tuple(store.FirstPage(), store.PageCount(), store.FreePageCount()),
                  std::tuple(nullptr, 0u, freePages ? freeBefore : freeBefore + pages));
    }
}

TEST(RangeOps, DeletingColumnsMovesLaterColumnsLeft) {
    CCellStore store;
    for (uint16_t c : {0, 1, 2, 3, 7}) PutNumber(store, c, 4, c);
    PutArray(store, 1, 10, 3, 1); // anchored left of the deleted columns, spreading into them
    ClearColumns(store, 2, 3);
    // The anchor lies outside the deleted columns and stays; its cleared elements go.
    EXPECT_EQ(std::tuple(NumberAt(store, 1, 4), NumberAt(store, 5, 4), FindCell(store, 4, 2),
                         FindCell(store, 10, 1) != nullptr, Dump(store).size()),
              std::tuple(1, 7, nullptr, true, 4u));
    EXPECT_TRUE(storetest::Consistent(store));
}

TEST(RangeOps, CopyFromCopiesEveryPageOrNothing) {
    CCellStore source, target, third;
    for (uint32_t r = 0; r < 2000; ++r) PutNumber(source, uint16_t(r % 9), r, r);
    PutNumber(target, 3, 3, 3);
    ASSERT_TRUE(CopyFrom(source, target));
    EXPECT_EQ(std::tuple(Dump(target), target.PageCount()),
              std::tuple(Dump(source), source.PageCount()));
    PutNumber(third, 1, 1, 1);
    AllocFailGuard fail(1);
    EXPECT_FALSE(CopyFrom(source, third));
    EXPECT_EQ(Dump(third).size(), 1u);
}

TEST(RangeOps, BlockCopiesAndMoves) {
    // Cells landing outside the target on any side are left out, near the sheet's edges too.
    CCellStore source, target, edge, arrays;
    PutGrid(source, {0, 0, 11, 11}, 100);
    ASSERT_TRUE(CopyBlock(target, {0, 0, 2, 2}, 5, 5, source));
    ASSERT_TRUE(
        CopyBlock(edge, {kLastColumn - 1, kLastRow - 1, kLastColumn, kLastRow}, 0, 0, source));
    EXPECT_EQ(std::tuple(Dump(target).size(), NumberAt(target, 2, 2), Dump(edge).size(),
                         NumberAt(edge, kLastColumn, kLastRow)),
              std::tuple(9u, 707, 4u, 101));
    // A copy onto part of an array clears the whole array.
    PutArray(arrays, 3, 3, 2, 2);
    ASSERT_TRUE(CopyBlock(arrays, {3, 3, 3, 3}, 0, 0, source));
    EXPECT_EQ(Dump(arrays).size(), 1u);
    // A move clears the source and carries arrays whole; past the sheet's edge it fails.
    CCellStore store;
    PutNumber(store, 0, 0, 1);
    PutArray(store, 0, 5, 2, 2);
    PutNumber(store, 9, 9, 99);
    ASSERT_TRUE(MoveBlock(store, {0, 0, 1, 6}, 4, 1));
    EXPECT_EQ(std::tuple(NumberAt(store, 4, 1), FindCell(store, 6, 4) != nullptr,
                         NumberAt(store, 5, 7), FindCell(store, 0, 0), Dump(store).size()),
              std::tuple(1, true, 1006, nullptr, 6u));
    EXPECT_FALSE(MoveBlock(store, {0, 0, 3, 0}, kLastColumn - 1, 0));
}

TEST(RangeOps, Transpose) {
    auto book = BookWithSheets(0);
    CWorksheet& ws = AddSheet(*book);
    // An array spreading past a one-column range: its anchor stays, its elements go.
    CWorksheet& arrays = AddSheet(*book);
    PutArray(arrays.cells, 0, 0, 3, 1);
    ASSERT_TRUE(TransposeRange(*book, arrays, {0, 0, 0, 2}));
    EXPECT_EQ(Dump(arrays.cells).size(), 1u);
    // One row over all columns turns while it ends at the last row, not one row lower.
    PutNumber(ws.cells, 5, 2095105, 1);
    EXPECT_TRUE(TransposeRange(*book, ws, {0, 2095105, kLastColumn, 2095105}));
    EXPECT_EQ(NumberAt(ws.cells, 0, 2095110), 1);
    PutNumber(ws.cells, 5, 2095106, 2);
    const BookState before = StateOf(*book);
    EXPECT_FALSE(TransposeRange(*book, ws, {0, 2095106, kLastColumn, 2095106}));
    EXPECT_EQ(std::tuple(book->error, StateOf(*book) == before),
              std::tuple(ErrorCode(kErrorWorksheetMemory), true));
}

TEST(RangeOps, TransposeTurnsFormatsToo) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    book->styles.styles[2].fitToCell = 1;
    book->styles.styleCount = 3;
    PutRun(ws.formats, {0, 2, 0, 1}); // row 0, columns A..C
    PutRun(ws.formats, {0, 0, 1, 2});
    ASSERT_TRUE(TransposeRange(*book, ws, {0, 0, 2, 1}));
    // Column A rows 0..2 hold the first style, B1 the second; compaction keeps both.
    EXPECT_EQ(AllRuns(ws.formats), (Runs{{0, 0, 0, 1}, {0, 1, 1, 2}, {1, 0, 0, 1}, {2, 0, 0, 1}}));
    EXPECT_EQ(book->styles.styleCount, 3);
    // A range 2047 rows tall turns into whole rows; their heights are not the range's.
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 1, 40, true));
    ASSERT_TRUE(TransposeRange(*book, ws, {0, 0, 2, kLastColumn}));
    EXPECT_EQ(Height(ws, 1), 40 << 1 | 1);
}

// A range of another workbook keeps its look: styles and fonts are brought over by content,
// cut round the target's runs; a full target table refuses and changes nothing.
TEST(RangeOps, RangesFromAnotherWorkbookKeepTheirLook) {
    auto from = CreateWorkbook(), to = CreateWorkbook();
    CWorksheet& src = AddSheet(*from);
    CWorksheet& dst = AddSheet(*to);
    CopyTextField(from->styles.fonts[1].faceName, "Mono", kFaceNameSize);
    from->styles.fontCount = 2;
    from->styles.styles[1].fontRef.fontIndex = 1;
    from->styles.styles[1].sort = 1;
    from->styles.styleCount = 2;
    PutRun(src.formats, {0, 9, 4, 1});
    PutNumber(src.cells, 3, 4, 34);
    PutRun(dst.formats, {0, 20, 7, 0});
    ASSERT_TRUE(CopyRange(*to, dst, {10, 7, 13, 7}, src, 2, 4, ViewOf(from->styles)));
    EXPECT_EQ(AllRuns(dst.formats), (Runs{{7, 0, 9, 0}, {7, 10, 13, 1}, {7, 14, 20, 0}}));
    EXPECT_EQ(std::tuple(NumberAt(dst.cells, 11, 7), to->styles.styleCount),
              std::tuple(34.0, uint16_t(2)));
    EXPECT_STREQ(to->styles.fonts[to->styles.styles[1].fontRef.fontIndex].faceName, "Mono");
    // Moving out of the other workbook empties the source block there.
    ASSERT_TRUE(MoveRange(*to, dst, src, {2, 4, 5, 4}, 0, 20, ViewOf(from->styles)));
    EXPECT_EQ(std::tuple(NumberAt(dst.cells, 1, 20), FindCell(src.cells, 4, 3)),
              std::tuple(34.0, nullptr));
    EXPECT_EQ(AllRuns(src.formats), (Runs{{4, 0, 1, 1}, {4, 6, 9, 1}}));
    to->styles.styleCount = kMaxStyles;
    from->styles.styles[1].autoAppend = 1;
    const BookState before = StateOf(*to);
    EXPECT_FALSE(CopyRange(*to, dst, {0, 0, 3, 0}, src, 6, 4, ViewOf(from->styles)));
    EXPECT_EQ(std::tuple(to->error, StateOf(*to) == before),
              std::tuple(ErrorCode(kErrorTooManyStyles), true));
}

TEST(RangeOps, WholeColumnsAndRowsCarryTheirSheetEntries) {
    auto book = BookWithSheets(2);
    CWorksheet& ws = *book->tree.active;
    CWorksheet& source = Sheet(*book, 1);
    ws.formats.columns[1] = {uint16_t(40 << 1 | 1), uint16_t(0x3000 | 1), 0};
    ASSERT_TRUE(CopyRange(*book, ws, {4, 0, 4, kLastRow}, ws, 1, 0, ViewOf(book->styles)));
    EXPECT_EQ(std::tuple(ws.formats.columns[4].width, ws.formats.columns[4].style),
              std::tuple(uint16_t(40 << 1 | 1), uint16_t(0x3000 | 1)));
    // Rows 0..2 onto rows 10..12: row 1 has a height of its own, row 2 lies past the end of
    // the source's list and so has the default height.
    ASSERT_TRUE(SetFormatStoreRowEntry(source.formats, 1, 30, true));
    for (uint32_t r : {10u, 11u, 12u}) ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, r, 40, true));
    ASSERT_TRUE(CopyRange(*book, ws, {0, 10, kLastColumn, 12}, source, 0, 0, ViewOf(book->styles)));
    EXPECT_EQ(std::tuple(Height(ws, 10), Height(ws, 11), Height(ws, 12)),
              std::tuple(0, 30 << 1 | 1, 0));
    // Inverted rectangles change nothing.
    PutRun(ws.formats, {0, 10, 0, 1});
    PutNumber(ws.cells, 4, 0, 4);
    const BookState before = StateOf(*book);
    ASSERT_TRUE(ClearRange(*book, ws, {5, 0, 3, 0}));
    ASSERT_TRUE(CopyRange(*book, ws, {5, 0, 3, 0}, ws, 0, 1, ViewOf(book->styles)));
    EXPECT_EQ(StateOf(*book), before);
}

// Pages run out first, then the working lists of standard containers: every failure point
// leaves the cells, the runs and the style table as they were.
TEST(RangeOps, AllocationFailureLeavesTheWorksheetAsItWas) {
    auto book = BookWithSheets(2);
    CWorksheet& ws = *book->tree.active;
    CWorksheet& other = Sheet(*book, 1);
    PutGrid(ws.cells, {0, 0, 19, 399}, 20);
    PutArray(ws.cells, 30, 100, 2, 3);
    for (uint32_t r = 0; r < 400; r += 3) PutRun(ws.formats, {0, 5, r, 1});
    const auto view = ViewOf(book->styles);
    const std::function<bool()> ops[] = {
        [&] {
            return CopyRange(*book, ws, {10, 50, 40, 390}, ws, 0, 0, view);
        },
        [&] {
            return MoveRange(*book, ws, ws, {0, 0, 12, 300}, 3, 90, view);
        },
        [&] {
            return MoveRange(*book, other, ws, {0, 0, 12, 300}, 3, 90, view);
        },
        [&] {
            return TransposeRange(*book, ws, {0, 0, 19, 60});
        },
        [&] {
            return ClearRange(*book, ws, {2, 1, 3, 300});
        },
    };
    for (bool pages : {true, false})
        for (const auto& op : ops) {
            // Pages kept from earlier operations would spare the allocations under test.
            for (CWorksheet* w : {&ws, &other}) {
                w->cells.PurgeFreePages();
                w->formats.runs.PurgeFreePages();
            }
            const BookState before = StateOf(*book);
            EXPECT_GT(Exhaust(*book, pages, op,
                              [&](long budget) { ASSERT_EQ(StateOf(*book), before) << budget; }),
                      0);
            EXPECT_TRUE(storetest::Consistent(ws.cells));
            ClearRect(other.cells, {0, 0, kLastColumn, kLastRow}, nullptr, true);
        }
}

} // namespace vl
