#include "core/settings.h"
#include "model/rangestyle.h"
#include "model/worksheetpaste.h"
#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

namespace {

const CellRange kSel{0, 0, 0, 0};

} // namespace

TEST(UndoHistory, LevelsWrapAndTheSpareSlotStaysFree) {
    for (uint32_t level : {200u, 5u, 1u}) {
        auto book = BookWithSheets(1, level);
        ASSERT_EQ(book->undo.maximum, level - 1);
        for (uint32_t i = 0; i < level + 3; ++i) book->RecordUndoInsertRows(kSel, 0, 0, i, i);
        EXPECT_EQ(book->undo.current, int32_t(level - 1));
        // The oldest three entries were dropped; the rest moved down in order.
        for (uint32_t slot = 0; slot < level; ++slot)
            EXPECT_EQ(book->undo.entries[slot].secondRange.r1, slot + 3);
        EXPECT_EQ(book->undo.entries[kUndoSpareSlot].kind, kUndoEmpty);
    }
    auto book = BookWithSheets(1);
    book->undo.maximum = 250; // as a careless caller might set it
    for (uint32_t i = 0; i < 210; ++i) book->RecordUndoInsertColumns(kSel, 0, 0, 1, 1);
    EXPECT_EQ(book->undo.current, kUndoSpareSlot - 1);
    EXPECT_EQ(book->undo.entries[kUndoSpareSlot].kind, kUndoEmpty);
    // Lowering the level keeps the newest entries; a level outside 1 to 200 keeps one.
    book->SetUndoLevel(10);
    for (uint32_t i = 0; i < 6; ++i) book->RecordUndoInsertRows(kSel, 0, 0, i, i);
    book->SetUndoLevel(3);
    EXPECT_EQ(std::tuple(book->undo.maximum, book->undo.current,
                         book->undo.entries[0].secondRange.r1, book->undo.entries[3].kind),
              std::tuple(2u, 2, 3u, uint8_t(kUndoEmpty)));
    for (uint32_t level : {0u, 201u}) {
        book->SetUndoLevel(level);
        EXPECT_EQ(std::tuple(book->undo.maximum, book->undo.entries[0].secondRange.r1,
                             book->undo.entries[1].kind),
                  std::tuple(0u, 5u, uint8_t(kUndoEmpty)))
            << level;
    }
    const uint8_t saved = Profile().undoLevel;
    Profile().undoLevel = 7;
    book->ApplyUndoLevelSetting();
    EXPECT_EQ(book->undo.maximum, 6u);
    Profile().undoLevel = saved;
}

// Entries keep their order through many wraps, a redo chain cut short, and changes of the
// level between wraps; the spare slot is never one of them.
TEST(UndoHistory, OrderHoldsThroughWrapsAndLevelChanges) {
    auto book = BookWithSheets(1, 200);
    uint32_t tag = 0;
    const auto record = [&](uint32_t n) {
        for (uint32_t i = 0; i < n; ++i, ++tag) book->RecordUndoInsertRows(kSel, 0, 0, tag, tag);
    };
    // Entries from the newest back: tags last, last - 1, ...
    const auto expectNewest = [&](uint32_t count, uint32_t last, const char* step) {
        ASSERT_EQ(book->undo.current, int32_t(count) - 1) << step;
        for (uint32_t i = 0; i < count; ++i)
            EXPECT_EQ(book->undo.entries[int32_t(i)].secondRange.r1, last - (count - 1 - i))
                << step << " at " << i;
        EXPECT_EQ(book->undo.entries[kUndoSpareSlot].kind, kUndoEmpty) << step;
    };
    record(450);
    expectNewest(200, 449, "three wraps at 200");
    book->undo.current = 196; // three undos: the next entry ends the redo chain
    record(1);
    EXPECT_EQ(book->undo.entries[198].kind, kUndoEmpty);
    EXPECT_EQ(book->undo.entries[197].secondRange.r1, 450u);
    record(2);
    EXPECT_EQ(std::tuple(book->undo.current, book->undo.entries[199].secondRange.r1,
                         book->undo.entries[0].secondRange.r1),
              std::tuple(199, 452u, 250u));
    book->SetUndoLevel(50);
    EXPECT_EQ(std::tuple(book->undo.current, book->undo.entries[0].secondRange.r1,
                         book->undo.entries[46].secondRange.r1,
                         book->undo.entries[47].secondRange.r1,
                         book->undo.entries[49].secondRange.r1, book->undo.entries[50].kind),
              std::tuple(49, 400u, 446u, 450u, 452u, uint8_t(kUndoEmpty)));
    record(75);
    expectNewest(50, 527, "wrapped at 50");
    book->SetUndoLevel(200);
    record(180);
    expectNewest(200, 707, "back at 200");
    for (int32_t i = 200; i < kUndoSpareSlot; ++i)
        EXPECT_EQ(book->undo.entries[i].kind, kUndoEmpty);
}

TEST(UndoHistory, RecordingEndsTheRedoChainAndLevelOneKeepsOneEntry) {
    auto book = BookWithSheets(1);
    for (uint32_t i = 0; i < 3; ++i) ASSERT_TRUE(book->RecordUndoCells({0, i, 0, i}, 0, i));
    book->undo.current = 0; // two undos
    ASSERT_TRUE(book->RecordUndoCells({5, 5, 5, 5}, 5, 5));
    EXPECT_EQ(std::tuple(book->undo.current, book->undo.entries[1].cursorColumn,
                         book->undo.entries[2].kind, book->undo.entries[2].cellBuffer.get()),
              std::tuple(1, uint16_t(5), uint8_t(kUndoEmpty), nullptr));
    PutNumber(book->tree.active->cells, 0, 0, 5);
    book->SetUndoLevel(1);
    ASSERT_TRUE(book->RecordUndoCells({0, 0, 3, 3}, 0, 0));
    const long live = LiveBlockCount();
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(book->RecordUndoCells({0, 0, 3, 3}, 0, 0));
    EXPECT_EQ(std::tuple(LiveBlockCount(), book->undo.current), std::tuple(live, 0));
}

// Any table takes entries the same way: the clipboard's copy history as the workbook's own.
TEST(UndoHistory, TablesClaimSlotsTheSpareSlotAndDiscardTheNewest) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    PutNumber(ws.cells, 1, 1, 11);
    auto copies = std::make_unique<UndoHistory>();
    copies->maximum = 1;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(SnapshotCellToUndo(*book, ws, 1, 1, *copies, copies->current));
    EXPECT_EQ(std::tuple(copies->current, book->undo.current), std::tuple(1, -1));
    int32_t spare = kUndoSpareSlot;
    ASSERT_TRUE(SnapshotCellToUndo(*book, ws, 1, 1, *copies, spare));
    EXPECT_EQ(std::tuple(spare, copies->entries[kUndoSpareSlot].kind),
              std::tuple(int32_t(kUndoSpareSlot), uint8_t(kUndoCells)));
    for (int32_t bad : {-2, kUndoSlots}) EXPECT_EQ(ClaimUndoSlot(*copies, bad), nullptr);
    // Without freeing, the dropped entry is handed back with what it holds.
    UndoEntry taken = DiscardLastUndo(*copies, false);
    EXPECT_NE(taken.cellBuffer, nullptr);
    EXPECT_EQ(std::tuple(copies->current, taken.kind, copies->entries[1].kind),
              std::tuple(0, uint8_t(kUndoCells), uint8_t(kUndoEmpty)));
    EXPECT_EQ(DiscardLastUndo(*copies, true).kind, kUndoEmpty);
    EXPECT_EQ(std::tuple(copies->current, copies->entries[0].kind),
              std::tuple(-1, uint8_t(kUndoEmpty)));
    FreeUndoEntry(*copies, kUndoSpareSlot);
    EXPECT_EQ(copies->entries[kUndoSpareSlot].kind, kUndoEmpty);
}

TEST(UndoHistory, EveryRecorderKeepsItsPayloadAndFreesIt) {
    auto book = BookWithSheets(3, 50);
    CWorksheet& ws = *book->tree.active;
    CWorksheet& other = *AsWorksheet(book->tree.first->next);
    for (uint32_t r = 0; r < 500; ++r) PutNumber(ws.cells, uint16_t(r % 5), r, r);
    PutNumber(other.cells, 7, 8, 78);
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(ws.formats, {0, 3, 7, 0}, cursor));
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 40, 30, true));
    auto c = ContainerWithChart(17, kChart3D);
    CContainer& container = *c;
    LinkContainer(ws, std::move(c));
    const long baseline = LiveBlockCount();
    const CellRange all{0, 0, 4, 99}, seven{7, 8, 9, 9};
    const auto block = [] { return BlockPtr(static_cast<uint8_t*>(AllocBlock(40))); };
    using Record = std::function<bool()>;
    const std::tuple<const char*, uint8_t, uint8_t, Record> steps[] = {
        {"cells", kUndoCells, kOpCells, [&] { return book->RecordUndoCells(all, 0, 0); }},
        {"cell", kUndoCells, kOpCells, [&] { return book->RecordUndoCell(other, 7, 8, 2, 3); }},
        {"range", kUndoRangeBoth, kOpRange,
         [&] { return book->RecordUndoRange(all, 0, 0, true, true); }},
        {"range of any sheet", kUndoRangeCells, kOpRange,
         [&] { return RecordRangeUndo(*book, other, seven); }},
        {"widths", kUndoRangeCells, kOpColumnWidths,
         [&] { return book->RecordUndoColumnWidths(kSel, 0, 0, 1, 2); }},
        {"heights", kUndoRangeCells, kOpRowHeights,
         [&] { return book->RecordUndoRowHeights(kSel, 0, 0, 1, 2); }},
        {"columns copy", kUndoRangeBoth, kOpColumns,
         [&] { return book->RecordUndoColumnsCopy(kSel, 0, 0, 1, 2); }},
        {"rows copy", kUndoRangeBoth, kOpRows,
         [&] { return book->RecordUndoRowsCopy(kSel, 0, 0, 3, 9); }},
        {"rename", kUndoCells, kOpRename,
         [&] { return book->RecordUndoRename(kSel, 0, 0, book->tree.first); }},
        {"container op", kUndoContainer, kOpContainerChanged,
         [&] { return book->RecordUndoContainerOp(kSel, 0, 0, container); }},
        {"container", kUndoContainer, kOpContainerInserted,
         [&] { return book->RecordUndoContainer(kSel, 0, 0, container), true; }},
        {"tree change", kUndoTreeChain, kOpTree,
         [&] { return book->RecordUndoTreeChange(kSel, 0, 0, 2), true; }},
        {"sort", kUndoMemoryBlock, kOpSort,
         [&] { return book->RecordUndoSort(kSel, 0, 0, block()), true; }},
    };
    for (const auto& [name, kind, operation, record] : steps) {
        ASSERT_TRUE(record()) << name;
        const UndoEntry& e = book->undo.entries[book->undo.current];
        EXPECT_EQ(std::tuple(e.kind, e.operation), std::tuple(kind, operation)) << name;
    }
    const UndoEntry& cell = book->undo.entries[1];
    EXPECT_STREQ(cell.worksheetPath, "\\Worksheet2");
    EXPECT_EQ(
        std::tuple(int(cell.treePosition), cell.cursorColumn, cell.cursorRow, cell.selection.c1),
        std::tuple(1, uint16_t(2), 3u, uint16_t(7)));
    EXPECT_STREQ(reinterpret_cast<const char*>(book->undo.entries[8].cellBuffer.get()),
                 "Worksheet1");
    const UndoEntry& op = book->undo.entries[9];
    EXPECT_EQ(std::tuple(uint32_t(op.containerId), op.container->slots[0].chart->settings.type),
              std::tuple(17u, uint8_t(kChart3D)));
    const UndoEntry& rows = book->undo.entries[7];
    EXPECT_EQ(std::tuple(rows.secondRange.c1, rows.secondRange.c2, rows.secondRange.kind),
              std::tuple(uint16_t(0), kLastColumn, uint8_t(kRangeWholeRows)));
    EXPECT_GT(LiveBlockCount(), baseline);
    book->RecordUndoContainerKept(kSel, 0, 0, ContainerWithChart(3, kChart2D));
    EXPECT_EQ(book->undo.entries[book->undo.current].containerId, 3u);
    book->FreeUndoHistory();
    EXPECT_EQ(std::tuple(book->undo.current, LiveBlockCount()), std::tuple(-1, baseline));
}

// The recorder takes the subtree out itself: a second unlink by the caller is refused with
// error 9 and leaves the tree whole; an item the caller unlinked first stays the caller's.
TEST(UndoHistory, TreeRemovalRecordedThenUnlinkedOrUnlinkedThenRecorded) {
    auto book = BookWithSheets(3);
    CTreeItem* second = book->tree.first->next;
    book->tree.active = AsWorksheet(second);
    ASSERT_TRUE(book->RecordUndoTreeRemove(kSel, 0, 0, second));
    const UndoEntry& e = book->undo.entries[0];
    EXPECT_EQ(std::tuple(e.treeChain.get(), int(e.treePosition), book->tree.worksheetCount,
                         book->tree.active),
              std::tuple(second, 1, 2u, book->tree.first->next));
    EXPECT_FALSE(DetachTreeItem(book->tree, second, book->error));
    EXPECT_EQ(std::tuple(book->error, book->tree.worksheetCount,
                         GetTreeItemIndex(book->tree.active, book->tree.first),
                         book->tree.first->next->next),
              std::tuple(ErrorCode(kErrorLastWorksheet), 2u, 1, nullptr));
    CTreeItem* third = book->tree.first->next;
    ASSERT_TRUE(DetachTreeItem(book->tree, third, book->error));
    TreeChain mine(third);
    EXPECT_FALSE(book->RecordUndoTreeRemove(kSel, 0, 0, third));
    EXPECT_EQ(std::tuple(book->error, book->undo.entries[1].kind),
              std::tuple(ErrorCode(kErrorPathNotFound), uint8_t(kUndoEmpty)));
    // The last worksheet is refused and stays; the slot is left empty for the caller to drop.
    EXPECT_FALSE(book->RecordUndoTreeRemove(kSel, 0, 0, book->tree.first));
    EXPECT_EQ(std::tuple(book->error, book->tree.worksheetCount),
              std::tuple(ErrorCode(kErrorLastWorksheet), 1u));
    EXPECT_EQ(book->DiscardLastUndo(true).kind, kUndoEmpty);
    EXPECT_EQ(book->undo.current, 1);
}

TEST(UndoHistory, FailedSnapshotLeavesAnEmptySlotAndErrorEight) {
    auto book = BookWithSheets(1);
    for (uint32_t r = 0; r < 100; ++r) PutNumber(book->tree.active->cells, 0, r, r);
    {
        AllocFailGuard fail(0);
        EXPECT_FALSE(book->RecordUndoRange({0, 0, 0, 99}, 0, 0, true, true));
    }
    EXPECT_EQ(std::tuple(book->error, book->undo.current, book->undo.entries[0].kind,
                         book->undo.entries[0].object.get()),
              std::tuple(ErrorCode(kErrorWorksheetMemory), 0, uint8_t(kUndoEmpty), nullptr));
}

// Kept cells come back: a formula without its result, a constant error, a text; a cell that
// was empty is emptied; an array anchored where a kept cell goes is cleared whole. Nothing
// but a kept-cell buffer reaches this restore: a rename entry or a buffer whose counts
// overrun it is refused with error 12 and the worksheet stays as it is.
TEST(UndoSnapshots, KeptCellsComeBackAndNothingElseReachesTheirRestore) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    FormulaHead head;
    head.resultFlags = kResultText;
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, 2, 3, head, "R[-1]C+1", "cached"));
    Put(ws.cells, b);
    ASSERT_TRUE(MakeNumberCell(b, 3, 3, 0, 7));
    Put(ws.cells, b);
    PutText(ws.cells, 4, 3, "words");
    PutNumber(ws.cells, 9, 9, 9);
    ASSERT_TRUE(book->RecordUndoCells({2, 3, 5, 3}, 2, 3));
    ASSERT_TRUE(book->RecordUndoCells({9, 9, 9, 9}, 9, 9));
    PutNumber(ws.cells, 2, 3, 9);
    PutNumber(ws.cells, 5, 3, 10);
    ClearRect(ws.cells, {9, 9, 9, 9}, nullptr, true);
    PutArray(ws.cells, 9, 9, 2, 2);
    ASSERT_TRUE(RestoreCellFromUndo(*book, ws, 2, 3, book->undo, 0));
    ASSERT_TRUE(RestoreCellFromUndo(*book, ws, 9, 9, book->undo, 1));
    // The formula has no result until the next recalculation; its array size stays.
    const uint8_t *f = FindCell(ws.cells, 3, 2), *e = FindCell(ws.cells, 3, 3);
    EXPECT_EQ(std::tuple(cell::Formula(f), cell::ResultFlags(f), cell::ArrayHeight(f)),
              std::tuple("R[-1]C+1", 0u, head.arrayHeight));
    EXPECT_EQ(std::tuple(cell::Error(e), cell::IsNumber(e), cell::Text(FindCell(ws.cells, 3, 4))),
              std::tuple(7, true, "words"));
    EXPECT_EQ(
        std::tuple(FindCell(ws.cells, 3, 5), NumberAt(ws.cells, 9, 9), FindCell(ws.cells, 10, 10)),
        std::tuple(nullptr, 9.0, nullptr));
    std::memset(ws.name, 'x', kTreeNameSize - 1);
    ASSERT_TRUE(book->RecordUndoRename(kSel, 0, 0, &ws));
    UndoEntry& truncated = book->undo.entries[0];
    truncated.cellBufferSize -= 3;
    const BookState before = StateOf(*book);
    for (int32_t index : {2, 0, 5}) {
        book->error = 0;
        EXPECT_FALSE(RestoreCellFromUndo(*book, ws, 0, 0, book->undo, index)) << index;
        EXPECT_EQ(std::tuple(book->error, StateOf(*book) == before),
                  std::tuple(ErrorCode(kErrorInvalidCacheIndex), true));
    }
}

// A width or height entry puts back widths or heights only: the cells of those columns
// and rows stay, whatever flags the restore is given.
TEST(UndoSnapshots, WidthAndHeightEntriesRestoreOnlyWidthsAndHeights) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    for (uint32_t r = 0; r < 100; ++r) PutNumber(ws.cells, 2, r, r);
    ws.formats.columns[2] = {uint16_t(30 << 1 | 1), 1, 0};
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 5, 25, true));
    ASSERT_TRUE(book->RecordUndoColumnWidths({2, 0, 2, 0}, 2, 0, 2, 3));
    ASSERT_TRUE(book->RecordUndoRowHeights({0, 5, 0, 7}, 0, 5, 5, 7));
    for (uint16_t i : {2, 3, 4}) ws.formats.columns[i] = {uint16_t(10 * i + 30), 0, 0};
    uint16_t height = 11;
    for (uint32_t r : {5, 7, 8})
        ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, r, height++, false));
    const Cells cells = Dump(ws.cells);
    ASSERT_TRUE(RestoreRangeFromUndo(*book, ws, book->undo, 0, true, true));
    ASSERT_TRUE(RestoreRangeFromUndo(*book, ws, book->undo, 1, true, true));
    EXPECT_EQ(Dump(ws.cells), cells);
    EXPECT_TRUE(GetStyleRecord(book->styles, ws.formats.columns[2].style).wrapText);
    // Column 4 lies outside the entry's columns; row 7 past the kept list: the default.
    const ColumnEntry* c = ws.formats.columns;
    EXPECT_EQ(
        std::tuple(c[2].width, c[3].width, c[4].width, Height(ws, 5), Height(ws, 7), Height(ws, 8)),
        std::tuple(30 << 1 | 1, 0, 70, 25 << 1 | 1, 0, 13 << 1));
}

TEST(UndoSnapshots, EmptySlotsAndEmptyRanges) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    EXPECT_FALSE(RestoreRangeFromUndo(*book, ws, book->undo, 3, true, true));
    EXPECT_EQ(book->error, kErrorInvalidCacheIndex);
    ASSERT_TRUE(book->RecordUndoRange({10, 10, 20, 20}, 0, 0, true, true));
    ASSERT_NE(book->undo.entries[0].Scratch(), nullptr);
    EXPECT_EQ(book->undo.entries[0].Scratch()->cells.FirstPage(), nullptr);
    PutNumber(ws.cells, 12, 12, 1);
    ASSERT_TRUE(RestoreRangeFromUndo(*book, ws, book->undo, 0, true, true));
    EXPECT_EQ(ws.cells.FirstPage(), nullptr);
    // Whole rows: a height given to a row that had none goes back to the default.
    ASSERT_TRUE(book->RecordUndoRange({0, 20, kLastColumn, 21}, 0, 20, true, true));
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 21, 50, true));
    ASSERT_TRUE(RestoreRangeFromUndo(*book, ws, book->undo, 1, true, true));
    EXPECT_EQ(Height(ws, 21), 0);
}

TEST(UndoSnapshots, RestoreNeverOverflowsTheStyleTables) {
    // Meanwhile the kept style has changed in the workbook and the tables filled up: the
    // style table, the font table, or the style table after the kept font had to be added.
    const std::tuple<const char*, bool, uint16_t, uint8_t> cases[] = {
        {"styles", false, kMaxStyles, 2},
        {"fonts", true, 2, kMaxFonts},
        {"font added first", true, kMaxStyles, 2}};
    for (const auto& [name, fontGone, styles, fonts] : cases) {
        auto book = BookWithSheets(1);
        CWorksheet& ws = *book->tree.active;
        StyleTables& t = book->styles;
        CopyTextField(t.fonts[1].faceName, "Kept", kFaceNameSize);
        t.fontCount = 2;
        t.styles[1].fontRef.fontIndex = 1;
        PutRun(ws.formats, {0, 3, 0, 1});
        PutNumber(ws.cells, 0, 0, 1);
        ASSERT_TRUE(book->RecordUndoRange({0, 0, 3, 0}, 0, 0, true, true));
        ASSERT_TRUE(ClearRange(*book, ws, {0, 0, 3, 0}));
        t.styles[1].wrapText = 0;
        if (fontGone) CopyTextField(t.fonts[1].faceName, "Other", kFaceNameSize);
        for (uint16_t i = 2; i < kMaxStyles; ++i) t.styles[i].rotation = int8_t(i % 180 - 90);
        for (uint8_t i = 2; i < kMaxFonts; ++i) t.fonts[i].size = i;
        t.styleCount = styles;
        t.fontCount = fonts;
        EXPECT_FALSE(RestoreRangeFromUndo(*book, ws, book->undo, 0, true, true)) << name;
        EXPECT_EQ(std::tuple(book->error, t.styleCount, t.fontCount, ws.cells.FirstPage(),
                             ws.formats.runs.FirstPage()),
                  std::tuple(ErrorCode(kErrorTooManyStyles), styles, fonts, nullptr, nullptr))
            << name;
        // With room again the same entry restores cells and the style.
        t.styleCount = t.fontCount = 2;
        ASSERT_TRUE(RestoreRangeFromUndo(*book, ws, book->undo, 0, true, true)) << name;
        EXPECT_EQ(std::tuple(NumberAt(ws.cells, 0, 0), t.styleCount, t.styles[2].wrapText),
                  std::tuple(1.0, uint16_t(3), uint8_t(1)));
        EXPECT_STREQ(t.fonts[t.styles[2].fontRef.fontIndex].faceName, "Kept");
    }
}

// A folder is kept with its subtree, each worksheet with the styles it uses; a name is kept
// with the path of the folders that enclose it, which a rename leaves right.
TEST(UndoSnapshots, WorksheetsFoldersAndNames) {
    auto book = BookWith({{F, "F", 1}, {W, "S", 2}, {W, "After", 1}});
    book->SetUndoLevel(5);
    CTreeItem* folder = book->tree.first;
    CWorksheet& ws = *AsWorksheet(folder->next);
    PutNumber(ws.cells, 1, 1, 11);
    book->styles.styles[5].fitToCell = 1;
    book->styles.styleCount = 6;
    PutRun(ws.formats, {0, 0, 1, 5});
    ASSERT_TRUE(SnapshotWorksheetToUndo(*book, *folder, book->undo, book->undo.current));
    const UndoEntry& e = book->undo.entries[0];
    ASSERT_EQ(e.kind, kUndoTreeChain);
    ASSERT_TRUE(e.treeChain->IsFolder());
    const CWorksheet* copy = AsWorksheet(e.treeChain->next);
    ASSERT_NE(copy, nullptr);
    const uint16_t style = std::get<3>(AllRuns(copy->formats)[0]);
    EXPECT_EQ(
        std::tuple(copy->next, NumberAt(copy->cells, 1, 1), e.keptStyles->styles[style].fitToCell),
        std::tuple(nullptr, 11.0, uint8_t(1)));
    ASSERT_TRUE(book->RecordUndoRename(kSel, 0, 0, &ws));
    ws.SetName("Renamed");
    EXPECT_STREQ(book->undo.entries[1].worksheetPath, "\\F\\");
    EXPECT_STREQ(reinterpret_cast<const char*>(book->undo.entries[1].cellBuffer.get()), "S");
}

// A range entry pastes anywhere: a single target cell grows to the entry's size, a larger
// target is cut at its last column and row, and the flags choose cells and formats.
TEST(UndoSnapshots, PasteRangeFromEntry) {
    auto book = BookWithSheets(2);
    CWorksheet& ws = *book->tree.active;
    CWorksheet& target = *AsWorksheet(book->tree.first->next);
    PutGrid(ws.cells, {0, 0, 2, 2});
    PutRun(ws.formats, {0, 2, 1, 1});
    auto copies = std::make_unique<UndoHistory>();
    copies->maximum = 5;
    RangeDescriptor d;
    MakeRangeDescriptor({0, 0, 2, 2}, &d);
    ASSERT_TRUE(SnapshotRangeToUndo(*book, ws, d, *copies, copies->current, true, true));
    ASSERT_TRUE(PasteRangeFromEntry(*book, target, {kLastColumn - 1, 4, kLastColumn - 1, 4},
                                    *copies, 0, true, true));
    // Cut at the sheet's last column.
    EXPECT_EQ(std::tuple(Dump(target.cells).size(), NumberAt(target.cells, kLastColumn, 6)),
              std::tuple(std::size_t(6), 21.0));
    ASSERT_TRUE(PasteRangeFromEntry(*book, target, {10, 10, 11, 20}, *copies, 0, true, false));
    EXPECT_EQ(std::tuple(NumberAt(target.cells, 11, 12), FindCell(target.cells, 10, 12)),
              std::tuple(21.0, nullptr));
    EXPECT_TRUE(RunsInRect(target.formats, {10, 10, 11, 20}).empty());
    ASSERT_TRUE(PasteRangeFromEntry(*book, target, {0, 30, 0, 30}, *copies, 0, false, true));
    EXPECT_EQ(Dump(target.cells).size(), 12u);
    const std::vector<FormatRun> runs = RunsInRect(target.formats, {0, 30, 5, 40});
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(std::tuple(runs[0].row, runs[0].firstColumn, runs[0].lastColumn),
              std::tuple(31u, uint16_t(0), uint16_t(2)));
    EXPECT_TRUE(GetStyleRecord(book->styles, runs[0].style).wrapText);
}

// Every snapshot and restore refuses an index outside the table with error 12. Running out
// of memory in the working lists leaves the slot empty (snapshots) or the sheet untouched
// (restores), with error 8.
TEST(UndoSnapshots, BadIndexesAndRunningOutOfMemoryLeaveSlotsEmptyAndSheetsUntouched) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    PutGrid(ws.cells, {0, 0, 7, 59}, 8);
    PutText(ws.cells, 3, 70, "kept text");
    auto container = ContainerWithChart(2, kChart2D);
    const CellRange area{0, 0, 7, 70};
    RangeDescriptor range;
    MakeRangeDescriptor(area, &range);
    UndoHistory& h = book->undo;
    using Call = std::function<bool(int32_t&)>;
    const Call snapshots[] = {
        [&](int32_t& i) { return SnapshotCellToUndo(*book, ws, 0, 0, h, i); },
        [&](int32_t& i) { return SnapshotCellsToUndo(*book, ws, area, h, i); },
        [&](int32_t& i) { return SnapshotRangeToUndo(*book, ws, range, h, i, true, true); },
        [&](int32_t& i) { return SnapshotColumnsToUndo(*book, ws, h, i); },
        [&](int32_t& i) { return SnapshotRowHeightsToUndo(*book, ws, h, i); },
        [&](int32_t& i) { return SnapshotItemNameToUndo(*book, ws, h, i); },
        [&](int32_t& i) { return SnapshotWorksheetToUndo(*book, ws, h, i); },
        [&](int32_t& i) { return SnapshotContainer(*book, &ws, *container, h, i); },
    };
    const Call restores[] = {
        [&](int32_t& i) { return RestoreCellFromUndo(*book, ws, 0, 0, h, i); },
        [&](int32_t& i) { return RestoreRangeFromUndo(*book, ws, h, i, true, true); },
        [&](int32_t& i) { return PasteRangeFromEntry(*book, ws, kSel, h, i, true, true); },
    };
    std::vector<Call> all(std::begin(snapshots), std::end(snapshots));
    all.insert(all.end(), std::begin(restores), std::end(restores));
    for (size_t n = 0; n < all.size(); ++n) {
        for (int32_t index : {-2, kUndoSlots, 100000}) {
            book->error = 0;
            EXPECT_EQ(std::tuple(all[n](index), book->error),
                      std::tuple(false, ErrorCode(kErrorInvalidCacheIndex)))
                << n << " " << index;
        }
    }
    int snapshotFailures = 0;
    for (const Call& snapshot : snapshots) {
        int32_t spare = kUndoSpareSlot;
        snapshotFailures += Exhaust(
            *book, false, [&] { return snapshot(spare = kUndoSpareSlot); },
            [&](long) { EXPECT_EQ(h.entries[kUndoSpareSlot].kind, kUndoEmpty); });
    }
    EXPECT_GT(snapshotFailures, 0);
    ASSERT_TRUE(SnapshotCellsToUndo(*book, ws, area, h, h.current));
    ASSERT_TRUE(SnapshotRangeToUndo(*book, ws, range, h, h.current, true, true));
    for (int32_t index : {0, 1}) {
        ClearRange(*book, ws, area);
        PutNumber(ws.cells, 2, 5, -1);
        const Cells changed = Dump(ws.cells);
        int32_t i = index;
        EXPECT_GT(Exhaust(
                      *book, false, [&] { return restores[index](i = index); },
                      [&](long) { EXPECT_EQ(Dump(ws.cells), changed); }),
                  0);
        EXPECT_EQ(NumberAt(ws.cells, 2, 5), 42);
    }
}

} // namespace vl

namespace vl {

using namespace modeltest;

// Kept elements of an array (a number, a text, an error) come back as elements, byte for byte,
// so that their array owns them again; a plain cell beside them stays plain.
TEST(UndoSnapshots, KeptArrayElementsComeBackAsElements) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    PutArray(ws.cells, 0, 0, 1, 4);
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, 0, 2, "element"));
    b.bytes[0] |= kCellArrayElement;
    Put(ws.cells, b);
    ASSERT_TRUE(MakeNumberCell(b, 0, 3, 0, 4));
    b.bytes[0] |= kCellArrayElement;
    Put(ws.cells, b);
    PutNumber(ws.cells, 0, 4, 2.5);
    const Cells before = Dump(ws.cells);
    ASSERT_TRUE(book->RecordUndoCells({0, 1, 0, 4}, 0, 1));
    for (uint32_t row = 1; row <= 4; ++row) PutText(ws.cells, 0, row, "typed");
    ASSERT_TRUE(RestoreCellFromUndo(*book, ws, 0, 1, book->undo, 0));
    EXPECT_EQ(Dump(ws.cells), before);
}

} // namespace vl

namespace vl {

// A style index past the table is stored as a client gave it: every copy of such cells
// (a copy pasted back or elsewhere, an undone format, a column entry, a worksheet copy) keeps
// the index, and the styles the table holds still come by content.
TEST(UndoSnapshots, StyleIndexesPastTheTableTravelWithEveryCopy) {
    using Route = std::function<CWorksheet*(CWorkbook&, CWorksheet&)>;
    const struct {
        const char* route;
        bool columns; // the route carries the column entries
        Route run;
    } cases[] = {
        {"range pasted back", false,
         [](CWorkbook& book, CWorksheet& ws) {
             UndoHistory copies;
             copies.maximum = 5;
             RangeDescriptor d;
             MakeRangeDescriptor({1, 1, 3, 4}, &d);
             if (!SnapshotRangeToUndo(book, ws, d, copies, copies.current, true, true) ||
                 !PasteRangeFromEntry(book, ws, {1, 1, 1, 1}, copies, 0, true, true))
                 return (CWorksheet*)nullptr;
             return &ws;
         }},
        {"range pasted into another worksheet", false,
         [](CWorkbook& book, CWorksheet& ws) {
             UndoHistory copies;
             copies.maximum = 5;
             RangeDescriptor d;
             MakeRangeDescriptor({0, 0, kLastColumn, 9}, &d);
             CWorksheet& other = Sheet(book, 1);
             if (!SnapshotRangeToUndo(book, ws, d, copies, copies.current, true, true) ||
                 !PasteRangeFromEntry(book, other, {0, 0, 0, 0}, copies, 0, true, true))
                 return (CWorksheet*)nullptr;
             return &other;
         }},
        {"formats undone", false,
         [](CWorkbook& book, CWorksheet& ws) {
             if (!book.RecordUndoRange({0, 0, 5, 9}, 0, 0, true, true)) return (CWorksheet*)nullptr;
             PutRun(ws.formats, {0, 5, 2, 1});
             PutRun(ws.formats, {0, 5, 3, 0});
             if (!RestoreRangeFromUndo(book, ws, book.undo, 0, true, true))
                 return (CWorksheet*)nullptr;
             return &ws;
         }},
        {"column entries undone", true,
         [](CWorkbook& book, CWorksheet& ws) {
             int32_t index = book.undo.current;
             if (!SnapshotColumnsToUndo(book, ws, book.undo, index)) return (CWorksheet*)nullptr;
             for (ColumnEntry& c : ws.formats.columns) c.style = 0;
             if (!RestoreRangeFromUndo(book, ws, book.undo, index, true, true))
                 return (CWorksheet*)nullptr;
             return &ws;
         }},
        {"worksheet copied", true,
         [](CWorkbook& book, CWorksheet& ws) {
             int32_t index = book.undo.current;
             if (!SnapshotWorksheetToUndo(book, ws, book.undo, index)) return (CWorksheet*)nullptr;
             return AsWorksheet(CopyWorksheetUnique(book, nullptr, book.undo, index));
         }},
    };
    for (const auto& c : cases) {
        auto book = BookWithSheets(2);
        CWorksheet& ws = Sheet(*book, 0);
        PutGrid(ws.cells, {0, 0, 4, 5});
        // The first index past the table, the last of sixteen bits, and a style it holds.
        PutRun(ws.formats, {0, 2, 2, 2});
        PutRun(ws.formats, {1, 3, 3, 0xFFFF});
        PutRun(ws.formats, {2, 4, 4, 1});
        ws.formats.columns[6].style = 0x0FFF;
        ws.formats.columns[7].style = 1;
        // Each cell's style: a paste may cut runs where the old ones end.
        const auto styles = [](const CWorksheet& sheet) {
            std::vector<uint16_t> out;
            for (uint32_t r = 0; r < 7; ++r)
                for (uint16_t col = 0; col < 6; ++col)
                    out.push_back(CellStyleIndex(sheet.formats, r, col));
            return out;
        };
        const std::vector<uint16_t> before = styles(ws);
        CWorksheet* got = c.run(*book, ws);
        ASSERT_NE(got, nullptr) << c.route << " error " << book->error;
        EXPECT_EQ(styles(*got), before) << c.route;
        if (c.columns) {
            EXPECT_EQ(std::tuple(got->formats.columns[6].style, got->formats.columns[7].style),
                      std::tuple(uint16_t(0x0FFF), uint16_t(1)))
                << c.route;
        }
        EXPECT_EQ(book->styles.styleCount, 2) << c.route; // nothing appended
    }
}

} // namespace vl
