#include "model/rowcolumnedit.h"
#include "model/rowpermute.h"
#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

namespace {

// A worksheet with cells, runs, heights and column entries around rows 3..5 and columns
// 3..5.
std::unique_ptr<CWorkbook> Sample() {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book, "S");
    for (uint32_t r = 0; r < 9; ++r)
        for (uint16_t c = 0; c < 9; c += 2) PutNumber(ws.cells, c, r, r * 10 + c);
    PutRun(ws.formats, {1, 7, 2, 1}); // crosses columns 3..5
    PutRun(ws.formats, {4, 4, 4, 2});
    PutRun(ws.formats, {6, 8, 7, 3});
    for (uint32_t r = 0; r < 8; ++r) SetFormatStoreRowEntry(ws.formats, r, uint16_t(20 + r), true);
    for (uint16_t c = 0; c < 9; ++c) ws.formats.columns[c] = {uint16_t((40 + c) << 1 | 1), 0, 0};
    return book;
}

} // namespace

TEST(RowColumnEdit, InsertedRowsMoveCellsRunsAndHeightsAndRemovalTakesThemBack) {
    auto book = Sample();
    CWorksheet& ws = *book->tree.active;
    const BookState before = StateOf(*book);
    ErrorCode error = 0;
    ASSERT_TRUE(InsertWorksheetRows(ws, 3, 5, error));
    EXPECT_EQ(std::tuple(NumberAt(ws.cells, 0, 2), FindCell(ws.cells, 3, 0),
                         NumberAt(ws.cells, 0, 6), NumberAt(ws.cells, 8, 11)),
              std::tuple(20.0, nullptr, 30.0, 88.0));
    EXPECT_EQ(AllRuns(ws.formats), (Runs{{2, 1, 7, 1}, {7, 4, 4, 2}, {10, 6, 8, 3}}));
    // A new row has the default height.
    EXPECT_EQ(std::tuple(Height(ws, 2), Height(ws, 3), Height(ws, 6)),
              std::tuple(22 << 1 | 1, 0, 23 << 1 | 1));
    ASSERT_TRUE(RemoveWorksheetRows(ws, 3, 5, error));
    EXPECT_EQ(StateOf(*book), before);
}

TEST(RowColumnEdit, InsertedColumnsGrowACrossingRunAndRemovalShrinksIt) {
    auto book = Sample();
    CWorksheet& ws = *book->tree.active;
    const BookState before = StateOf(*book);
    ErrorCode error = 0;
    ASSERT_TRUE(InsertWorksheetColumns(ws, 3, 5, error));
    // The run of row 2 grows over the new columns; column 4 moves to 7.
    EXPECT_EQ(AllRuns(ws.formats), (Runs{{2, 1, 10, 1}, {4, 7, 7, 2}, {7, 9, 11, 3}}));
    EXPECT_EQ(std::tuple(NumberAt(ws.cells, 7, 1), NumberAt(ws.cells, 2, 1),
                         ws.formats.columns[3].width, ws.formats.columns[6].width),
              std::tuple(14.0, 12.0, 0, 43 << 1 | 1));
    ASSERT_TRUE(RemoveWorksheetColumns(ws, 3, 5, error));
    EXPECT_EQ(StateOf(*book), before);
    // Removing columns that cut a run keeps what lies outside them as one run; the run
    // inside the columns goes.
    ASSERT_TRUE(RemoveWorksheetColumns(ws, 3, 4, error));
    EXPECT_EQ(AllRuns(ws.formats), (Runs{{2, 1, 5, 1}, {7, 4, 6, 3}}));
}

TEST(RowColumnEdit, InsertionStopsAtTheSheetsEdgeChangingNothing) {
    auto book = Sample();
    CWorksheet& ws = *book->tree.active;
    PutNumber(ws.cells, 0, kLastRow - 3, 1);
    PutNumber(ws.cells, kLastColumn - 3, 0, 1);
    const BookState before = StateOf(*book);
    ErrorCode error = 0;
    EXPECT_TRUE(RowsInsertFit(ws.cells, 5, 3));
    EXPECT_FALSE(InsertWorksheetRows(ws, 5, 8, error));
    EXPECT_EQ(error, kErrorNoEmptyRows);
    EXPECT_TRUE(ColumnsInsertFit(ws.cells, 5, 3));
    EXPECT_FALSE(InsertWorksheetColumns(ws, 5, 8, error));
    EXPECT_EQ(error, kErrorNoEmptyColumns);
    EXPECT_EQ(StateOf(*book), before);
    EXPECT_TRUE(InsertWorksheetRows(ws, 5, 7, error));
    EXPECT_EQ(NumberAt(ws.cells, 0, kLastRow), 1);
}

TEST(RowColumnEdit, EmptyInsertedRowsAndColumnsGoBackInPlace) {
    auto book = Sample();
    CWorksheet& ws = *book->tree.active;
    const BookState before = StateOf(*book);
    ErrorCode error = 0;
    ASSERT_TRUE(InsertWorksheetRows(ws, 2, 4, error));
    TakeOutEmptyRows(ws, 2, 4);
    ASSERT_TRUE(InsertWorksheetColumns(ws, 0, 1, error));
    TakeOutEmptyColumns(ws, 0, 1);
    EXPECT_EQ(StateOf(*book), before);
}

TEST(PermuteRangeRows, MovesCellsAndRunsInsideTheRectangleOnly) {
    auto book = Sample();
    CWorksheet& ws = *book->tree.active;
    const uint32_t gather[] = {4, 2, 3}; // rows 2..4 of columns 2..6
    ASSERT_TRUE(PermuteRangeRows(*book, ws, {2, 2, 6, 4}, gather));
    // Cells left and right of the rectangle stay.
    EXPECT_EQ(std::tuple(NumberAt(ws.cells, 2, 2), NumberAt(ws.cells, 2, 3),
                         NumberAt(ws.cells, 0, 2), NumberAt(ws.cells, 8, 2)),
              std::tuple(42, 22, 20, 28));
    // Row 2 lost the part of its run inside the rectangle; row 3 got it.
    EXPECT_EQ(AllRuns(ws.formats),
              (Runs{{2, 1, 1, 1}, {2, 4, 4, 2}, {2, 7, 7, 1}, {3, 2, 6, 1}, {7, 6, 8, 3}}));
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

namespace vl {

using namespace modeltest;
using storetest::Consistent;

namespace {

// Each cell of column `column`, rows 0..rows-1: "a" anchor, "e" element, "p" plain, "-" none.
std::string ColumnKinds(const CCellStore& store, uint16_t column, uint32_t rows) {
    std::string out;
    for (uint32_t row = 0; row < rows; ++row) {
        const uint8_t* r = FindCell(store, row, column);
        out += !r ? '-' : cell::IsFormula(r) ? 'a' : cell::Flags(r) & kCellArrayElement ? 'e' : 'p';
    }
    return out;
}

} // namespace

// Elements that an edit carries out of their array's area go; elements still inside one stay,
// also those of an array whose anchor an edit moved beside them; plain cells always stay.
TEST(RowColumnEdit, ElementsCarriedOutOfTheirAreaAreDropped) {
    struct Case {
        const char* name;
        std::function<void(CWorksheet&)> edit;
        const char* columnA; // rows 0..8 after the edit
    } cases[] = {
        {"insert inside",
         [](CWorksheet& ws) {
             ErrorCode e;
             InsertWorksheetRows(ws, 1, 1, e);
         },
         "a-e----p-"},
        {"insert two inside",
         [](CWorksheet& ws) {
             ErrorCode e;
             InsertWorksheetRows(ws, 2, 3, e);
         },
         "ae------p"},
        {"insert above",
         [](CWorksheet& ws) {
             ErrorCode e;
             InsertWorksheetRows(ws, 0, 0, e);
         },
         "-aee---p-"},
        {"insert below",
         [](CWorksheet& ws) {
             ErrorCode e;
             InsertWorksheetRows(ws, 3, 3, e);
         },
         "aee----p-"},
        {"remove inside",
         [](CWorksheet& ws) {
             ErrorCode e;
             RemoveWorksheetRows(ws, 1, 1, e);
         },
         "ae---p---"},
        {"remove anchor",
         [](CWorksheet& ws) {
             ErrorCode e;
             RemoveWorksheetRows(ws, 0, 0, e);
         },
         "-----p---"},
        {"insert column",
         [](CWorksheet& ws) {
             ErrorCode e;
             InsertWorksheetColumns(ws, 0, 0, e);
         },
         "---------"},
    };
    for (const Case& c : cases) {
        auto book = BookWithSheets(1);
        CWorksheet& ws = *book->tree.active;
        PutArray(ws.cells, 0, 0, 1, 3); // A1:A3
        PutArray(ws.cells, 1, 0, 2, 1); // B1:C1
        PutNumber(ws.cells, 0, 6, 7);
        c.edit(ws);
        EXPECT_EQ(ColumnKinds(ws.cells, 0, 9), c.columnA) << c.name;
        EXPECT_TRUE(Consistent(ws.cells)) << c.name;
    }
    // A column inserted through B1:C1 pushes its element to D1, past the area.
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    PutArray(ws.cells, 1, 0, 2, 1);
    ErrorCode e;
    ASSERT_TRUE(InsertWorksheetColumns(ws, 2, 2, e));
    EXPECT_EQ(std::tuple(FindCell(ws.cells, 0, 2), FindCell(ws.cells, 0, 3)),
              std::tuple(nullptr, nullptr));
    ASSERT_NE(FindCell(ws.cells, 0, 1), nullptr);
}

// A row edit far below the pages holding an array still looks at them: an element with no
// area there goes, the array's own stay; with no element at all the cells are only moved.
TEST(RowColumnEdit, ElementsOnPagesBeforeTheEditAreLookedAt) {
    for (const bool stray : {false, true}) {
        auto book = BookWithSheets(1);
        CWorksheet& ws = *book->tree.active;
        PutArray(ws.cells, 1, 0, 1, 2); // B1:B2
        if (stray) {
            CellBuffer b;
            ASSERT_TRUE(MakeNumberCell(b, 0, 1, 5));
            b.bytes[0] |= kCellArrayElement;
            Put(ws.cells, b);
        }
        for (uint32_t row = 2; row < 20000; ++row) PutNumber(ws.cells, 0, row, row);
        ASSERT_NE(ws.cells.StartPageForRow(19000), ws.cells.FirstPage());
        ErrorCode e = kErrorNone;
        ASSERT_TRUE(InsertWorksheetRows(ws, 19000, 19001, e));
        EXPECT_EQ(ColumnKinds(ws.cells, 0, 3), "--p") << stray;
        EXPECT_EQ(ColumnKinds(ws.cells, 1, 3), "ae-") << stray;
        EXPECT_EQ(NumberAt(ws.cells, 0, 19002), 19000) << stray;
        ASSERT_TRUE(RemoveWorksheetRows(ws, 19000, 19001, e));
        EXPECT_EQ(NumberAt(ws.cells, 0, 19000), 19000) << stray;
        EXPECT_EQ(ColumnKinds(ws.cells, 1, 3), "ae-") << stray;
        EXPECT_TRUE(Consistent(ws.cells)) << stray;
    }
}

// A sort that takes an anchor away from its elements leaves them to no array: they go, and
// those the anchor's new area holds stay.
TEST(PermuteRangeRows, ElementsSortedAwayFromTheirAreaAreDropped) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    PutArray(ws.cells, 1, 0, 1, 2); // B1:B2
    PutArray(ws.cells, 2, 0, 1, 3); // C1:C3, an element of which lands on the moved area
    const uint32_t gather[] = {2, 1, 0};
    ASSERT_TRUE(PermuteRangeRows(*book, ws, {0, 0, 1, 2}, gather));
    // B3 anchors B3:B4 now: B2, its old element, is held by no area.
    EXPECT_EQ(ColumnKinds(ws.cells, 1, 4), "--a-");
    EXPECT_EQ(ColumnKinds(ws.cells, 2, 4), "aee-");
}
} // namespace vl
