#include "model/rangeops.h"
#include "model/undosnapshot.h"
#include "model/workbook.h"
#include "modeltestutil.h"
#include "newhook.h"
#include "storetestutil.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <tuple>

namespace vl {

using namespace modeltest;

namespace {

// Every run of a store as (row, first column, last column, style), in order.
std::vector<std::tuple<uint32_t, uint16_t, uint16_t, uint16_t>> AllRuns(const CFormatStore& f) {
    std::vector<std::tuple<uint32_t, uint16_t, uint16_t, uint16_t>> out;
    for (const FormatRun& r : RunsInRect(f, {0, 0, kLastColumn, kLastRow}))
        out.emplace_back(r.row, r.firstColumn, r.lastColumn, r.style);
    return out;
}

} // namespace

TEST(RangeOps, ClearingAnyPartOfAnArrayRemovesItsWholeArea) {
    CCellStore store;
    PutArray(store, 1, 1, 3, 2);
    PutNumber(store, 0, 1, 7);
    PutNumber(store, 4, 2, 8);
    PutNumber(store, 1, 3, 9);
    ASSERT_EQ(Dump(store).size(), 9u);
    ClearRect(store, {1, 1, 1, 1}, nullptr, true);
    const Cells left = Dump(store);
    EXPECT_EQ(left.size(), 3u);
    EXPECT_EQ(NumberAt(store, 0, 1), 7);
    EXPECT_EQ(NumberAt(store, 4, 2), 8);
    EXPECT_EQ(NumberAt(store, 1, 3), 9);
    EXPECT_TRUE(storetest::Consistent(store));
}

// Rectangles of every shape, overlapping, asked about every cell around them in order and,
// at the end, out of order: the sweep answers as a plain search does.
TEST(RangeOps, ClearSetIndexAgreesWithAPlainSearch) {
    std::mt19937 rng(5);
    for (int round = 0; round < 20; ++round) {
        std::vector<CellRange> rects;
        for (int i = 0; i < 30; ++i) {
            const uint16_t c1 = uint16_t(rng() % 30);
            const uint32_t r1 = rng() % 40;
            rects.push_back({c1, r1, uint16_t(c1 + rng() % 6), uint32_t(r1 + rng() % 8)});
        }
        rects.push_back({5, 9, 4, 9}); // an empty one covers nothing
        CClearSetIndex index(rects);
        const auto plain = [&](uint16_t c, uint32_t r) {
            return std::any_of(rects.begin(), rects.end(),
                               [&](const CellRange& x) { return RangeContains(x, c, r); });
        };
        for (uint32_t r = 0; r < 50; ++r)
            for (uint16_t c = 0; c < 40; ++c) ASSERT_EQ(index.Contains(c, r), plain(c, r));
        for (int n = 0; n < 200; ++n) {
            const uint16_t c = uint16_t(rng() % 40);
            const uint32_t r = rng() % 50;
            ASSERT_EQ(index.Contains(c, r), plain(c, r));
        }
    }
}

TEST(RangeOps, ClearingAColumnOfOneRowArraysRemovesEveryArray) {
    CCellStore store;
    for (uint32_t r = 0; r < 3000; ++r) PutArray(store, 1, r, 3, 1);
    PutNumber(store, 0, 5, 1);
    PutNumber(store, 4, 7, 2);
    ClearRect(store, {1, 0, 1, kLastRow}, nullptr, true);
    const Cells left = Dump(store);
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(NumberAt(store, 0, 5), 1);
    EXPECT_EQ(NumberAt(store, 4, 7), 2);
}

TEST(RangeOps, ArrayThatFailedToSpreadIsOneCell) {
    CCellStore store;
    PutArray(store, 1, 1, 2, 2, 9); // "#FILL!"
    ClearRect(store, {1, 1, 1, 1}, nullptr, true);
    EXPECT_EQ(Dump(store).size(), 3u); // the elements stay
}

TEST(RangeOps, ClearingTheWholeSheetLeavesNoPage) {
    for (bool freePages : {true, false}) {
        CCellStore store;
        for (uint32_t r = 0; r < 3000; ++r) PutText(store, uint16_t(r % 50), r * 7, "text");
        const uint32_t pages = store.PageCount();
        ASSERT_GT(pages, 1u);
        const uint32_t freeBefore = store.FreePageCount();
        ClearRect(store, {0, 0, kLastColumn, kLastRow}, nullptr, freePages);
        EXPECT_EQ(store.FirstPage(), nullptr);
        EXPECT_EQ(store.PageCount(), 0u);
        EXPECT_EQ(store.FreePageCount(), freePages ? freeBefore : freeBefore + pages);
    }
}

TEST(RangeOps, DeletingColumnsMovesLaterColumnsLeft) {
    CCellStore store;
    for (uint16_t c : {0, 1, 2, 3, 7}) PutNumber(store, c, 4, c);
    PutArray(store, 1, 10, 3, 1); // anchored left of the deleted columns, spreading into them
    ClearColumns(store, 2, 3);
    EXPECT_EQ(NumberAt(store, 0, 4), 0);
    EXPECT_EQ(NumberAt(store, 1, 4), 1);
    EXPECT_EQ(NumberAt(store, 5, 4), 7);
    EXPECT_EQ(FindCell(store, 4, 2), nullptr);
    EXPECT_EQ(FindCell(store, 4, 7), nullptr);
    // The anchor lies outside the deleted columns and stays; its cleared elements go.
    EXPECT_NE(FindCell(store, 10, 1), nullptr);
    EXPECT_EQ(Dump(store).size(), 4u);
    EXPECT_TRUE(storetest::Consistent(store));
}

TEST(RangeOps, CopyFromCopiesEveryPage) {
    CCellStore source, target;
    for (uint32_t r = 0; r < 2000; ++r) PutNumber(source, uint16_t(r % 9), r, r);
    PutNumber(target, 3, 3, 3);
    ASSERT_TRUE(CopyFrom(source, target));
    EXPECT_EQ(Dump(source), Dump(target));
    EXPECT_EQ(target.PageCount(), source.PageCount());
    EXPECT_TRUE(storetest::Consistent(target));
    AllocFailGuard fail(1);
    CCellStore third;
    PutNumber(third, 1, 1, 1);
    SetAllocFailAfter(1);
    EXPECT_FALSE(CopyFrom(source, third));
    EXPECT_EQ(Dump(third).size(), 1u); // left as it was
}

TEST(RangeOps, OverlappingCopiesReadTheSourceAsItWas) {
    struct Case {
        CellRange target;
        uint16_t sc;
        uint32_t sr;
    };
    for (const Case& c :
         {Case{{2, 2, 6, 6}, 0, 0}, Case{{0, 0, 4, 4}, 2, 2}, Case{{1, 0, 5, 4}, 0, 0}}) {
        CCellStore store;
        for (uint32_t r = 0; r < 7; ++r)
            for (uint16_t col = 0; col < 7; ++col) PutNumber(store, col, r, r * 10.0 + col);
        ASSERT_TRUE(CopyBlock(store, c.target, c.sc, c.sr, store));
        for (uint32_t r = 0; r < 7; ++r) {
            for (uint16_t col = 0; col < 7; ++col) {
                const bool inside = RangeContains(c.target, col, r);
                const double expected =
                    inside ? (r - c.target.r1 + c.sr) * 10.0 + (col - c.target.c1 + c.sc)
                           : r * 10.0 + col;
                EXPECT_EQ(NumberAt(store, col, r), expected) << col << "," << r;
            }
        }
        EXPECT_TRUE(storetest::Consistent(store));
    }
}

TEST(RangeOps, CopyLeavesOutCellsLandingOutsideTheTargetOnAnySide) {
    CCellStore source, target;
    for (uint32_t r = 0; r < 12; ++r)
        for (uint16_t c = 0; c < 12; ++c) PutNumber(source, c, r, r * 100.0 + c);
    // The source's top-left (5, 5) lands on (0, 0): cells above and left of it would land
    // on negative places and must not wrap round onto the sheet's far edge.
    ASSERT_TRUE(CopyBlock(target, {0, 0, 2, 2}, 5, 5, source));
    const Cells copied = Dump(target);
    EXPECT_EQ(copied.size(), 9u);
    EXPECT_EQ(NumberAt(target, 0, 0), 505);
    EXPECT_EQ(NumberAt(target, 2, 2), 707);
    // Near the far edges the shifted places would pass the last row and column.
    CCellStore edge;
    ASSERT_TRUE(
        CopyBlock(edge, {kLastColumn - 1, kLastRow - 1, kLastColumn, kLastRow}, 0, 0, source));
    EXPECT_EQ(Dump(edge).size(), 4u);
    EXPECT_EQ(NumberAt(edge, kLastColumn, kLastRow), 101);
}

TEST(RangeOps, CopyOntoPartOfAnArrayClearsTheWholeArray) {
    CCellStore store, source;
    PutArray(store, 3, 3, 2, 2);
    PutNumber(source, 0, 0, 42);
    ASSERT_TRUE(CopyBlock(store, {3, 3, 3, 3}, 0, 0, source));
    EXPECT_EQ(Dump(store).size(), 1u);
    EXPECT_EQ(NumberAt(store, 3, 3), 42);
}

TEST(RangeOps, MoveClearsTheSourceAndCarriesArrays) {
    CCellStore store;
    PutNumber(store, 0, 0, 1);
    PutNumber(store, 1, 0, 2);
    PutArray(store, 0, 5, 2, 2);
    PutNumber(store, 9, 9, 99);
    ASSERT_TRUE(MoveBlock(store, {0, 0, 1, 6}, 4, 1));
    EXPECT_EQ(NumberAt(store, 4, 1), 1);
    EXPECT_EQ(NumberAt(store, 5, 1), 2);
    EXPECT_NE(FindCell(store, 6, 4), nullptr); // the anchor, moved with its whole area
    EXPECT_EQ(NumberAt(store, 5, 7), 1006);
    EXPECT_EQ(FindCell(store, 0, 0), nullptr);
    EXPECT_EQ(FindCell(store, 5, 0), nullptr);
    EXPECT_EQ(NumberAt(store, 9, 9), 99);
    EXPECT_EQ(Dump(store).size(), 7u);
    EXPECT_FALSE(MoveBlock(store, {0, 0, 3, 0}, kLastColumn - 1, 0));
}

TEST(RangeOps, TransposeOfANonSquareRange) {
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    // A1:C2 holds values in A1 and C2.
    PutNumber(ws.cells, 0, 0, 1);
    PutNumber(ws.cells, 2, 1, 2);
    PutNumber(ws.cells, 3, 0, 3); // beside the range: untouched
    ASSERT_TRUE(TransposeRange(*book, ws, {0, 0, 2, 1}));
    EXPECT_EQ(NumberAt(ws.cells, 0, 0), 1);
    EXPECT_EQ(NumberAt(ws.cells, 1, 2), 2); // B3
    EXPECT_EQ(NumberAt(ws.cells, 3, 0), 3);
    EXPECT_EQ(Dump(ws.cells).size(), 3u);

    // Every cell of a 4 x 3 block lands at its mirrored place.
    CWorksheet& big = AddSheet(*book);
    for (uint32_t r = 10; r < 13; ++r)
        for (uint16_t c = 5; c < 9; ++c) PutNumber(big.cells, c, r, c * 100.0 + r);
    ASSERT_TRUE(TransposeRange(*book, big, {5, 10, 8, 12}));
    for (uint32_t r = 10; r < 13; ++r)
        for (uint16_t c = 5; c < 9; ++c)
            EXPECT_EQ(NumberAt(big.cells, uint16_t(5 + (r - 10)), 10 + (c - 5)), c * 100.0 + r);
    EXPECT_EQ(Dump(big.cells).size(), 12u);
    EXPECT_TRUE(storetest::Consistent(big.cells));
}

TEST(RangeOps, TransposeStopsAtTheSheetEdge) {
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    PutNumber(ws.cells, 5, 2095105, 1);
    EXPECT_TRUE(TransposeRange(*book, ws, {0, 2095105, kLastColumn, 2095105}));
    EXPECT_EQ(NumberAt(ws.cells, 0, 2095110), 1);
    EXPECT_EQ(book->error, 0);
    PutNumber(ws.cells, 5, 2095106, 2);
    const Cells before = Dump(ws.cells);
    EXPECT_FALSE(TransposeRange(*book, ws, {0, 2095106, kLastColumn, 2095106}));
    EXPECT_EQ(book->error, kErrorWorksheetMemory);
    EXPECT_EQ(Dump(ws.cells), before);
}

TEST(RangeOps, TransposeTakesArraysWhole) {
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    PutArray(ws.cells, 0, 0, 3, 1); // spreads right, past the one-column range
    ASSERT_TRUE(TransposeRange(*book, ws, {0, 0, 0, 2}));
    // The anchor stays at the turning point; its elements outside the range are gone.
    EXPECT_NE(FindCell(ws.cells, 0, 0), nullptr);
    EXPECT_EQ(Dump(ws.cells).size(), 1u);
}

TEST(RangeOps, TransposeTurnsFormatsToo) {
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    book->styles.styles[1].wrapText = 1;
    book->styles.styles[2].fitToCell = 1;
    book->styles.styleCount = 3;
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(ws.formats, {0, 2, 0, 1}, cursor)); // row 0, columns A..C
    cursor = {};
    ASSERT_TRUE(PutFormatRun(ws.formats, {0, 0, 1, 2}, cursor));
    ASSERT_TRUE(TransposeRange(*book, ws, {0, 0, 2, 1}));
    const std::vector<FormatRun> runs = RunsInRect(ws.formats, {0, 0, kLastColumn, kLastRow});
    // Column A rows 0..2 hold the first style, B1 the second; compaction keeps both.
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].row, 0u);
    EXPECT_EQ(runs[0].firstColumn, 0);
    EXPECT_EQ(runs[1].firstColumn, 1);
    EXPECT_EQ(runs[2].row, 1u);
    EXPECT_EQ(runs[3].row, 2u);
    EXPECT_EQ(book->styles.styleCount, 3);
    // A range 2047 rows tall turns into whole rows; their heights are not the range's to change.
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 1, 40, true));
    ASSERT_TRUE(TransposeRange(*book, ws, {0, 0, 2, kLastColumn}));
    EXPECT_EQ(*ws.formats.rowHeights.GetItem2(1), 40 << 1 | 1);
}

TEST(RangeOps, FormatBlockBetweenWorkbooksImportsStyles) {
    auto from = NewWorkbook();
    auto to = NewWorkbook();
    CWorksheet& src = AddSheet(*from);
    CWorksheet& dst = AddSheet(*to);
    CopyTextField(from->styles.fonts[1].faceName, "Mono", kFaceNameSize);
    from->styles.fontCount = 2;
    from->styles.styles[1].fontRef.fontIndex = 1;
    from->styles.styles[1].sort = 1;
    from->styles.styleCount = 2;
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(src.formats, {0, 9, 4, 1}, cursor));
    cursor = {};
    ASSERT_TRUE(PutFormatRun(dst.formats, {0, 20, 7, 0}, cursor));
    // Copy columns 2..5 of row 4 onto row 7, columns 10..13: the old run is cut round them.
    ASSERT_TRUE(CopyFormatBlock(to->styles, {10, 7, 13, 7}, {2, 4, 5, 4}, dst.formats, src.formats,
                                ViewOf(from->styles)));
    const std::vector<FormatRun> runs = RunsInRect(dst.formats, {0, 0, kLastColumn, kLastRow});
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].lastColumn, 9);
    EXPECT_EQ(runs[1].firstColumn, 10);
    EXPECT_EQ(runs[1].lastColumn, 13);
    EXPECT_EQ(runs[1].style, 1);
    EXPECT_EQ(runs[2].firstColumn, 14);
    EXPECT_EQ(to->styles.styleCount, 2);
    EXPECT_STREQ(to->styles.fonts[to->styles.styles[1].fontRef.fontIndex].faceName, "Mono");
    // A full target table refuses the block and changes nothing.
    to->styles.styleCount = kMaxStyles;
    from->styles.styles[1].sort = 0;
    from->styles.styles[1].autoAppend = 1;
    const std::vector<FormatRun> before = RunsInRect(dst.formats, {0, 0, kLastColumn, kLastRow});
    CFormatBlockCopy copy;
    EXPECT_EQ(copy.Prepare(to->styles, {0, 0, 3, 0}, {2, 4, 5, 4}, dst.formats, src.formats,
                           ViewOf(from->styles)),
              kErrorTooManyStyles);
    EXPECT_EQ(RunsInRect(dst.formats, {0, 0, kLastColumn, kLastRow}).size(), before.size());
}

TEST(RangeOps, WholeColumnsCarryColumnEntries) {
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    book->styles.styles[1].wrapText = 1;
    book->styles.styleCount = 2;
    ws.formats.columns[1] = {uint16_t(40 << 1 | 1), uint16_t(0x3000 | 1), 0};
    ASSERT_TRUE(CopyRange(*book, ws, {4, 0, 4, kLastRow}, ws, 1, 0));
    EXPECT_EQ(ws.formats.columns[4].width, 40 << 1 | 1);
    EXPECT_EQ(ws.formats.columns[4].style, 0x3000 | 1);
}

TEST(RangeOps, InvertedRectanglesChangeNothing) {
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    book->styles.styles[1].wrapText = 1;
    book->styles.styleCount = 2;
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(ws.formats, {0, 10, 0, 1}, cursor));
    PutNumber(ws.cells, 4, 0, 4);
    const CellRange inverted{5, 0, 3, 0};
    ASSERT_TRUE(ClearRange(*book, ws, inverted));
    ASSERT_TRUE(CopyRange(*book, ws, inverted, ws, 0, 1));
    const std::vector<FormatRun> runs = RunsInRect(ws.formats, {0, 0, kLastColumn, kLastRow});
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].firstColumn, 0);
    EXPECT_EQ(runs[0].lastColumn, 10);
    EXPECT_EQ(NumberAt(ws.cells, 4, 0), 4);
    EXPECT_TRUE(RunsInRect(ws.formats, inverted).empty());
}

TEST(RangeOps, WholeRowsCarryTheirHeightsDefaultsIncluded) {
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    CWorksheet& source = AddSheet(*book);
    ASSERT_TRUE(SetFormatStoreRowEntry(source.formats, 1, 30, true));
    for (uint32_t r : {10u, 11u, 12u}) ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, r, 40, true));
    // Rows 0..2 onto rows 10..12: row 1 has a height of its own, row 2 lies past the end of
    // the source's height list and so has the default height.
    ASSERT_TRUE(CopyRange(*book, ws, {0, 10, kLastColumn, 12}, source, 0, 0));
    EXPECT_EQ(*ws.formats.rowHeights.GetItem2(10), 0);
    EXPECT_EQ(*ws.formats.rowHeights.GetItem2(11), 30 << 1 | 1);
    EXPECT_EQ(*ws.formats.rowHeights.GetItem2(12), 0);
    // Undo of a height given to a row that had none takes it back to the default.
    book->SetUndoLevel(5);
    ASSERT_TRUE(book->RecordUndoRange({0, 20, kLastColumn, 21}, 0, 20, true, true));
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 21, 50, true));
    ASSERT_TRUE(RestoreRangeFromUndo(*book, ws, book->undo, 0, true, true));
    EXPECT_EQ(*ws.formats.rowHeights.GetItem2(21), 0);
}

TEST(RangeOps, AllocationFailureLeavesTheWorksheetAsItWas) {
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    book->styles.styles[1].wrapText = 1;
    book->styles.styleCount = 2;
    for (uint32_t r = 0; r < 400; ++r)
        for (uint16_t c = 0; c < 20; ++c) PutNumber(ws.cells, c, r, r * 20.0 + c);
    PutArray(ws.cells, 30, 100, 2, 3);
    CellCursor cursor;
    for (uint32_t r = 0; r < 400; r += 3)
        ASSERT_TRUE(PutFormatRun(ws.formats, {0, 5, r, 1}, cursor));
    using Op = bool (*)(CWorkbook&, CWorksheet&);
    const Op ops[] = {
        [](CWorkbook& b, CWorksheet& w) {
            return CopyRange(b, w, {10, 50, 40, 390}, w, 0, 0);
        },
        [](CWorkbook& b, CWorksheet& w) {
            return MoveRange(b, w, {0, 0, 12, 300}, 3, 90);
        },
        [](CWorkbook& b, CWorksheet& w) {
            return TransposeRange(b, w, {0, 0, 19, 60});
        },
        [](CWorkbook& b, CWorksheet& w) {
            return ClearRange(b, w, {2, 1, 3, 300});
        },
    };
    // Pages run out first, then the working lists of standard containers.
    for (bool pages : {true, false})
        for (Op op : ops) {
            // Pages kept from earlier operations would spare the allocations under test.
            ws.cells.PurgeFreePages();
            ws.formats.runs.PurgeFreePages();
            const Cells cells = Dump(ws.cells);
            const auto runs = AllRuns(ws.formats);
            int failures = 0;
            for (long budget = 0;; budget += pages ? 1 : 1 + budget / 8) {
                book->error = 0;
                bool done;
                if (pages) {
                    AllocFailGuard guard(budget);
                    done = op(*book, ws);
                } else {
                    NewFailGuard guard(budget);
                    done = op(*book, ws);
                }
                if (done) break;
                ++failures;
                ASSERT_EQ(book->error, kErrorWorksheetMemory);
                ASSERT_EQ(Dump(ws.cells), cells) << "budget " << budget;
                ASSERT_EQ(AllRuns(ws.formats), runs) << "budget " << budget;
                ASSERT_EQ(book->styles.styleCount, 2);
                ASSERT_TRUE(storetest::Consistent(ws.cells));
            }
            EXPECT_GT(failures, 0);
            EXPECT_TRUE(storetest::Consistent(ws.cells));
        }
}

} // namespace vl
