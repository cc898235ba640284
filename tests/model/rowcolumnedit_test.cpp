#include "model/rangeops.h"
#include "model/rowcolumnedit.h"
#include "model/rowpermute.h"
#include "modeltestutil.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vl {

using namespace modeltest;

namespace {

// Runs as (first column, last column, row, style).
using RunKey = std::tuple<uint16_t, uint16_t, uint32_t, uint16_t>;

std::vector<RunKey> AllRuns(const CWorksheet& ws) {
    std::vector<RunKey> out;
    for (const FormatRun& r : RunsInRect(ws.formats, {0, 0, kLastColumn, kLastRow}))
        out.emplace_back(r.firstColumn, r.lastColumn, r.row, r.style);
    return out;
}

uint16_t Height(CWorksheet& ws, uint32_t row) {
    const uint16_t* h =
        row < ws.formats.rowHeights.ItemCount() ? ws.formats.rowHeights.GetItem2(row) : nullptr;
    return h ? *h : 0;
}

// A worksheet with cells, runs, heights and column entries around rows 3..5 and columns
// 3..5.
std::unique_ptr<CWorkbook> Sample() {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book, "S");
    for (uint32_t r = 0; r < 9; ++r)
        for (uint16_t c = 0; c < 9; c += 2) PutNumber(ws.cells, c, r, r * 10 + c);
    CellCursor cursor;
    PutFormatRun(ws.formats, {1, 7, 2, 1}, cursor); // crosses columns 3..5
    PutFormatRun(ws.formats, {4, 4, 4, 2}, cursor);
    PutFormatRun(ws.formats, {6, 8, 7, 3}, cursor);
    for (uint32_t r = 0; r < 8; ++r) SetFormatStoreRowEntry(ws.formats, r, uint16_t(20 + r), true);
    for (uint16_t c = 0; c < 9; ++c) ws.formats.columns[c] = {uint16_t((40 + c) << 1 | 1), 0, 0};
    return book;
}

} // namespace

TEST(RowColumnEdit, InsertedRowsMoveCellsRunsAndHeightsAndRemovalTakesThemBack) {
    auto book = Sample();
    CWorksheet& ws = *AsWorksheet(book->tree.first);
    const Cells cells = Dump(ws.cells);
    const auto runs = AllRuns(ws);
    ErrorCode error = 0;
    ASSERT_TRUE(InsertWorksheetRows(ws, 3, 5, error));
    EXPECT_EQ(NumberAt(ws.cells, 0, 2), 20);
    EXPECT_EQ(FindCell(ws.cells, 3, 0), nullptr);
    EXPECT_EQ(NumberAt(ws.cells, 0, 6), 30);
    EXPECT_EQ(NumberAt(ws.cells, 8, 11), 88);
    EXPECT_EQ(std::get<2>(AllRuns(ws)[1]), 7u); // the run of row 4
    EXPECT_EQ(Height(ws, 2), (22 << 1) | 1);
    EXPECT_EQ(Height(ws, 3), 0); // a new row has the default height
    EXPECT_EQ(Height(ws, 6), (23 << 1) | 1);
    ASSERT_TRUE(RemoveWorksheetRows(ws, 3, 5, error));
    EXPECT_EQ(Dump(ws.cells), cells);
    EXPECT_EQ(AllRuns(ws), runs);
    for (uint32_t r = 0; r < 8; ++r) EXPECT_EQ(Height(ws, r), ((20 + r) << 1) | 1);
}

TEST(RowColumnEdit, InsertedColumnsGrowACrossingRunAndRemovalShrinksIt) {
    auto book = Sample();
    CWorksheet& ws = *AsWorksheet(book->tree.first);
    const Cells cells = Dump(ws.cells);
    const auto runs = AllRuns(ws);
    ErrorCode error = 0;
    ASSERT_TRUE(InsertWorksheetColumns(ws, 3, 5, error));
    EXPECT_EQ(AllRuns(ws)[0], (RunKey{1, 10, 2, 1})); // grown over the new columns
    EXPECT_EQ(AllRuns(ws)[1], (RunKey{7, 7, 4, 2}));
    EXPECT_EQ(NumberAt(ws.cells, 7, 1), 14); // column 4 moved to 7
    EXPECT_EQ(NumberAt(ws.cells, 2, 1), 12);
    EXPECT_EQ(ws.formats.columns[3].width, 0);
    EXPECT_EQ(ws.formats.columns[6].width, (43 << 1) | 1);
    ASSERT_TRUE(RemoveWorksheetColumns(ws, 3, 5, error));
    EXPECT_EQ(Dump(ws.cells), cells);
    EXPECT_EQ(AllRuns(ws), runs);
    EXPECT_EQ(ws.formats.columns[3].width, (43 << 1) | 1);
    // Removing columns that cut a run keeps what lies outside them as one run.
    ASSERT_TRUE(RemoveWorksheetColumns(ws, 3, 4, error));
    EXPECT_EQ(AllRuns(ws)[0], (RunKey{1, 5, 2, 1}));
    EXPECT_EQ(AllRuns(ws).size(), 2u); // the run inside the columns went
}

TEST(RowColumnEdit, InsertionStopsAtTheSheetsEdgeChangingNothing) {
    auto book = Sample();
    CWorksheet& ws = *AsWorksheet(book->tree.first);
    PutNumber(ws.cells, 0, kLastRow - 3, 1);
    PutNumber(ws.cells, kLastColumn - 3, 0, 1);
    const Cells cells = Dump(ws.cells);
    ErrorCode error = 0;
    EXPECT_TRUE(RowsInsertFit(ws.cells, 5, 3));
    EXPECT_FALSE(InsertWorksheetRows(ws, 5, 8, error));
    EXPECT_EQ(error, kErrorNoEmptyRows);
    EXPECT_TRUE(ColumnsInsertFit(ws.cells, 5, 3));
    EXPECT_FALSE(InsertWorksheetColumns(ws, 5, 8, error));
    EXPECT_EQ(error, kErrorNoEmptyColumns);
    EXPECT_EQ(Dump(ws.cells), cells);
    EXPECT_TRUE(InsertWorksheetRows(ws, 5, 7, error));
    EXPECT_EQ(NumberAt(ws.cells, 0, kLastRow), 1);
}

TEST(RowColumnEdit, EmptyInsertedRowsAndColumnsGoBackInPlace) {
    auto book = Sample();
    CWorksheet& ws = *AsWorksheet(book->tree.first);
    const Cells cells = Dump(ws.cells);
    const auto runs = AllRuns(ws);
    ErrorCode error = 0;
    ASSERT_TRUE(InsertWorksheetRows(ws, 2, 4, error));
    TakeOutEmptyRows(ws, 2, 4);
    ASSERT_TRUE(InsertWorksheetColumns(ws, 0, 1, error));
    TakeOutEmptyColumns(ws, 0, 1);
    EXPECT_EQ(Dump(ws.cells), cells);
    EXPECT_EQ(AllRuns(ws), runs);
    EXPECT_EQ(Height(ws, 2), (22 << 1) | 1);
    EXPECT_EQ(ws.formats.columns[0].width, (40 << 1) | 1);
}

TEST(PermuteRangeRows, MovesCellsAndRunsInsideTheRectangleOnly) {
    auto book = Sample();
    CWorksheet& ws = *AsWorksheet(book->tree.first);
    const uint32_t gather[] = {4, 2, 3}; // rows 2..4 of columns 2..6
    ASSERT_TRUE(PermuteRangeRows(*book, ws, {2, 2, 6, 4}, gather));
    EXPECT_EQ(NumberAt(ws.cells, 2, 2), 42);
    EXPECT_EQ(NumberAt(ws.cells, 2, 3), 22);
    EXPECT_EQ(NumberAt(ws.cells, 0, 2), 20); // left of the rectangle
    EXPECT_EQ(NumberAt(ws.cells, 8, 2), 28); // right of it
    auto runs = AllRuns(ws);
    // Row 2 lost the part of its run inside the rectangle; row 3 got it.
    EXPECT_EQ(runs[0], (RunKey{1, 1, 2, 1}));
    EXPECT_EQ(runs[1], (RunKey{4, 4, 2, 2}));
    EXPECT_EQ(runs[2], (RunKey{7, 7, 2, 1}));
    EXPECT_EQ(runs[3], (RunKey{2, 6, 3, 1}));
    const std::vector<uint32_t> back = InvertRowPermutation({2, 2, 6, 4}, gather);
    ASSERT_TRUE(PermuteRangeRows(*book, ws, {2, 2, 6, 4}, back.data()));
    EXPECT_EQ(NumberAt(ws.cells, 2, 2), 22);
    const uint32_t twice[] = {2, 2, 3};
    book->error = 0;
    EXPECT_FALSE(PermuteRangeRows(*book, ws, {2, 2, 6, 4}, twice));
    EXPECT_EQ(book->error, kErrorInvalidCacheIndex);
    EXPECT_TRUE(InvertRowPermutation({2, 2, 6, 4}, twice).empty());
}

} // namespace vl
