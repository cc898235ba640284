#include "model/rowcolumnedit.h"
#include "modeltestutil.h"
#include "rowindexcheck.h"

namespace vl {

using namespace storetest;

namespace {

// Each row's cell count; columns 2k+1 with gaps between, so a find between two cells
// misses (but for row 1025). Rows 1022..1025 cross into the second block.
const std::pair<uint32_t, uint32_t> kRows[] = {
    {0, 1}, {1, 15},  {2, 16}, {3, 17},    {4, 8},     {5, 31},   {6, 32},     {7, 33},
    {8, 9}, {9, 500}, {10, 0}, {1022, 48}, {1023, 49}, {1024, 1}, {1025, 1000}};

// Row 1025 is filled without gaps, where a mark is found without a search.
uint16_t Column(uint32_t row, uint32_t k) {
    return uint16_t(row == 1025 ? k : 2 * k + 1);
}

void FillRows(CCellStore& store) {
    CellCursor cursor{kAdvance, nullptr, 0};
    for (const auto& [row, count] : kRows)
        for (uint32_t k = 0; k < count; ++k)
            ASSERT_TRUE(Put(store, Number(Column(row, k), row, row * 10000.0 + k), cursor));
}

void Index(CCellStore& store) {
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t block : {1u, 0u}) ASSERT_TRUE(store.BuildRowBlockIndex(block, cursor));
}

// Every mark names the record it points at, in (row, column) order.
::testing::AssertionResult MarksPointAtTheirRecords(const CCellStore& store, uint32_t block) {
    const ColumnMark* marks = store.ColumnMarks(block);
    for (uint32_t i = 0; i < store.ColumnMarkCount(block); ++i) {
        const uint8_t* r = marks[i].page->payload + marks[i].offset;
        if (cell::Row(r) != marks[i].row || cell::Column(r) != marks[i].column)
            return ::testing::AssertionFailure() << "mark " << i << " of block " << block;
        if (i > 0 &&
            !cell::Before(marks[i - 1].row, marks[i - 1].column, marks[i].row, marks[i].column))
            return ::testing::AssertionFailure() << "marks " << i - 1 << ", " << i;
    }
    return ::testing::AssertionSuccess();
}

// Finds of every column 0..last+2 of every row filled, empty or beside one (present,
// between, past the end)
// agree with the store's own dump, and the cursor of a find from nowhere stops where a
// find from the row's first page does.
void ExpectFindsMatch(const CCellStore& store) {
    std::map<std::pair<uint32_t, uint16_t>, double> cells;
    uint16_t lastColumn = 0;
    for (const auto& r : Dump(store)) {
        cells[{cell::Row(r.data()), cell::Column(r.data())}] = cell::Number(r.data());
        lastColumn = std::max(lastColumn, cell::Column(r.data()));
    }
    std::set<uint32_t> rows;
    for (const auto& [row, count] : kRows) rows.insert({row, row + 1, row ? row - 1 : 0});
    for (uint32_t row : rows)
        for (uint16_t c = 0; c <= lastColumn + 2; ++c) {
            const uint8_t* r = FindCell(store, row, c);
            const auto it = cells.find({row, c});
            ASSERT_EQ(r != nullptr, it != cells.end()) << row << "," << c;
            if (r) {
                ASSERT_EQ(cell::Number(r), it->second) << row << "," << c;
            }
            CellCursor fromIndex{kAdvance, nullptr, 0};
            CellCursor fromPage{kAdvance, store.StartPageForRow(row), 0};
            ASSERT_EQ(FindCellFromCursor(store, row, c, fromIndex), r) << row << "," << c;
            FindCellFromCursor(store, row, c, fromPage);
            ASSERT_EQ(std::tuple(fromIndex.page, fromIndex.offset),
                      std::tuple(fromPage.page, fromPage.offset))
                << row << "," << c;
        }
}

} // namespace

// A row of n cells has a mark at every kColumnMarkEvery-th cell after its first: with 8,
// none up to 8 cells, one from 9 (rows of 15, 16, 17 and 31, 32, 33 cells).
TEST(CellStoreMarks, WideRowsGetAMarkEveryFewCells) {
    CCellStore store;
    FillRows(store);
    ASSERT_GT(store.PageCount(), 3u);
    EXPECT_EQ(store.ColumnMarkCount(0), 0u); // not indexed yet
    Index(store);
    std::map<uint32_t, uint32_t> perRow;
    for (uint32_t block : {0u, 1u}) {
        EXPECT_TRUE(MarksPointAtTheirRecords(store, block));
        for (uint32_t i = 0; i < store.ColumnMarkCount(block); ++i)
            ++perRow[store.ColumnMarks(block)[i].row];
    }
    for (const auto& [row, count] : kRows)
        EXPECT_EQ(perRow[row], count ? (count - 1) / kColumnMarkEvery : 0) << row;
    ExpectFindsMatch(store);
    // A put keeps the marks, those of the rows it changed found again (row 9 has 501 cells
    // now, still 62 marks); a rebuilt index has them afresh.
    ASSERT_TRUE(Put(store, Number(2, 9, -1)));
    EXPECT_EQ(std::tuple(store.ColumnMarkCount(0), store.ColumnMarkCount(1)),
              std::tuple(88u, 124u));
    EXPECT_TRUE(IndexMatchesPages(store, 0));
    ExpectFindsMatch(store);
    Index(store);
    EXPECT_EQ(std::tuple(store.ColumnMarkCount(0), store.ColumnMarkCount(1)),
              std::tuple(88u, 124u));
    ExpectFindsMatch(store);
    // Freeing the index frees the marks; building it again brings them back.
    store.ClearRowIndex(true);
    EXPECT_EQ(std::tuple(store.BlockValid(1), store.ColumnMarkCount(1)), std::tuple(false, 0u));
    Index(store);
    EXPECT_EQ(store.ColumnMarkCount(1), 124u);
    ExpectFindsMatch(store);
}

// Cells put, cleared, and columns inserted and removed, each followed by a fresh index:
// every find agrees with the cells the store holds.
TEST(CellStoreMarks, EditsAndFreshIndexesKeepFindsRight) {
    // Puts and clears keep the index; edits that move columns drop it.
    const std::pair<std::function<void(CWorksheet&)>, bool> edits[] = {
        {[](CWorksheet& ws) {
             ASSERT_TRUE(Put(ws.cells, Text(100, 9, 300)));    // into a gap
             ASSERT_TRUE(Put(ws.cells, Text(100, 1025, 300))); // in place of a number
         },
         true},
        {[](CWorksheet& ws) {
             ClearRect(ws.cells, {40, 9, 700, 1025}, nullptr, false);
         },
         true},
        {[](CWorksheet& ws) {
             ErrorCode error{};
             ASSERT_TRUE(InsertWorksheetColumns(ws, 5, 9, error));
         },
         false},
        {[](CWorksheet& ws) {
             ErrorCode error{};
             ASSERT_TRUE(RemoveWorksheetColumns(ws, 0, 30, error));
         },
         false},
    };
    auto book = CreateWorkbook();
    CWorksheet& ws = *AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "S", 1));
    FillRows(ws.cells);
    for (const auto& [edit, keeps] : edits) {
        Index(ws.cells);
        // A find before the edit leaves the index standing; the edit keeps it right or drops it.
        FindCell(ws.cells, 1025, 500);
        ASSERT_TRUE(ws.cells.BlockValid(0) && ws.cells.BlockValid(1));
        edit(ws);
        EXPECT_EQ(ws.cells.BlockValid(0) && ws.cells.BlockValid(1), keeps);
        if (keeps) {
            EXPECT_TRUE(IndexMatchesPages(ws.cells, 0));
            EXPECT_TRUE(IndexMatchesPages(ws.cells, 1));
        }
        ExpectFindsMatch(ws.cells);
        Index(ws.cells);
        for (uint32_t block : {0u, 1u}) EXPECT_TRUE(MarksPointAtTheirRecords(ws.cells, block));
        ExpectFindsMatch(ws.cells);
    }
}

} // namespace vl
