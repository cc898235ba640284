#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"
#include "model/rangeops.h"
#include "model/undosnapshot.h"
#include "undobook.h"

#include <functional>
#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

namespace {

struct EditCase {
    const char* recorder;
    std::function<void(CUndoBook&)> edit; // records its entry, then edits
};

const GridSelection kSel{{2, 3, 4, 6}, 2, 3};

void ChangeCells(CUndoBook& b, CWorksheet& ws) {
    b.Number(ws, 2, 3, 99);
    b.Text(ws, 3, 4, "new");
    b.Formula(ws, 4, 6, "=R[-5]C[-4]-1");
    ClearRect(ws.cells, {3, 2, 3, 2}, nullptr, false);
}

const EditCase kCases[] = {
    {"RecordUndoCells",
     [](CUndoBook& b) {
         ASSERT_TRUE(b.Book().RecordUndoCells({2, 2, 4, 6}, 2, 2));
         ChangeCells(b, b.S1());
     }},
    {"RecordUndoCell on a worksheet that is not active",
     [](CUndoBook& b) {
         ASSERT_TRUE(b.Book().RecordUndoCell(b.S2(), 3, 2, 0, 0));
         b.Text(b.S2(), 3, 2, "typed");
     }},
    {"RecordUndoRange",
     [](CUndoBook& b) {
         ASSERT_TRUE(b.Book().RecordUndoRange({1, 2, 4, 6}, 1, 2, true, true));
         ASSERT_TRUE(ClearRange(b.Book(), b.S1(), {1, 2, 4, 6}));
         ChangeCells(b, b.S1());
         CellCursor cursor;
         ASSERT_TRUE(PutFormatRun(b.S1().formats, {2, 3, 5, 3}, cursor));
     }},
    {"RecordRangeUndo on a worksheet that is not active",
     [](CUndoBook& b) {
         ASSERT_TRUE(RecordRangeUndo(b.Book(), b.S2(), {0, 0, 3, 4}));
         ASSERT_TRUE(ClearRange(b.Book(), b.S2(), {0, 0, 3, 4}));
     }},
    {"RecordUndoColumnWidths",
     [](CUndoBook& b) {
         ASSERT_TRUE(b.Book().RecordUndoColumnWidths({2, 0, 3, 0}, 2, 0, 2, 3));
         b.S1().formats.columns[2] = {uint16_t(40 << 1 | 1), 2, 0};
         b.S1().formats.columns[3] = {uint16_t(300 << 1 | 1), 0, 0};
     }},
    {"RecordUndoRowHeights",
     [](CUndoBook& b) {
         ASSERT_TRUE(b.Book().RecordUndoRowHeights({0, 4, 0, 9}, 0, 4, 4, 9));
         for (uint32_t r = 4; r <= 9; ++r) SetFormatStoreRowEntry(b.S1().formats, r, 50, true);
     }},
    {"RecordUndoInsertRows",
     [](CUndoBook& b) { ASSERT_EQ(InsertRowsCommand(b.Book(), kSel), CommandResult::kDone); }},
    {"RecordUndoRowsCopy",
     [](CUndoBook& b) { ASSERT_EQ(RemoveRowsCommand(b.Book(), kSel), CommandResult::kDone); }},
    {"RecordUndoInsertColumns",
     [](CUndoBook& b) { ASSERT_EQ(InsertColumnsCommand(b.Book(), kSel), CommandResult::kDone); }},
    {"RecordUndoColumnsCopy",
     [](CUndoBook& b) { ASSERT_EQ(RemoveColumnsCommand(b.Book(), kSel), CommandResult::kDone); }},
    {"RecordUndoTreeChange",
     [](CUndoBook& b) {
         CTreeItem* item = b.Book().AppendTreeItem(TREE_TYPE_WORKSHEET, "New", 1);
         b.Book().tree.active = AsWorksheet(item);
         b.Book().RecordUndoTreeChange({}, 0, 0, GetTreeItemIndex(item, b.Book().tree.first));
     }},
    {"RecordUndoTreeRemove",
     [](CUndoBook& b) {
         CTreeItem* folder = GetTreeItemAt(1, b.Book().tree.first);
         ASSERT_TRUE(b.Book().RecordUndoTreeRemove({}, 0, 0, folder));
     }},
    {"RecordUndoRename",
     [](CUndoBook& b) {
         ASSERT_TRUE(b.Book().RecordUndoRename({}, 0, 0, &b.S2()));
         b.S2().SetName("Renamed");
     }},
    {"RecordUndoContainer",
     [](CUndoBook& b) {
         CContainer& c = b.AddContainer(b.S1(), 300, 40);
         b.Book().RecordUndoContainer({}, 0, 0, c);
     }},
    {"RecordUndoContainerKept",
     [](CUndoBook& b) {
         auto c = UnlinkContainer(b.S1(), b.S1().firstContainer);
         b.Book().RecordUndoContainerKept({}, 0, 0, std::move(c));
     }},
    {"RecordUndoContainerOp",
     [](CUndoBook& b) {
         CContainer& c = *b.S1().firstContainer;
         ASSERT_TRUE(b.Book().RecordUndoContainerOp({}, 0, 0, c));
         c.settings.left = 77;
         c.settings.rows = 3;
     }},
    {"RecordUndoSort",
     [](CUndoBook& b) {
         const uint16_t columns[] = {1, 0};
         const uint8_t ascending[] = {0, 1};
         ASSERT_EQ(SortSelection(b.Book(), {{0, 0, 8, 19}, 0, 0}, 2, columns, ascending),
                   CommandResult::kDone);
     }},
    {"Replace (RecordUndoRange)",
     [](CUndoBook& b) {
         ASSERT_EQ(ReplaceCommand(b.Book(), {{0, 0, 9, 30}, 0, 0}, "t", "xy", {}, false),
                   CommandResult::kDone);
     }},
    {"Replace All (RecordUndoRange of the worksheet)",
     [](CUndoBook& b) {
         ASSERT_EQ(ReplaceCommand(b.Book(), kSel, "1", "2", {}, true), CommandResult::kDone);
     }},
    {"Convert contents (RecordUndoRange)",
     [](CUndoBook& b) {
         ASSERT_EQ(ConvertContentsCommand(b.Book(), {{0, 0, 9, 30}, 0, 0}, 32786),
                   CommandResult::kDone);
     }},
    {"Paste worksheet (RecordUndoTreeChange)",
     [](CUndoBook& b) {
         UndoHistory clipboard;
         clipboard.maximum = 0;
         ASSERT_TRUE(SnapshotWorksheetToUndo(b.Book(), b.S1(), clipboard, clipboard.current));
         ASSERT_TRUE(PasteWorksheetCommand(b.Book(), {}, &b.S3(), clipboard, clipboard.current));
     }},
};

} // namespace

TEST(ExecuteUndoRedo, EveryRecorderUndoesRedoesAndUndoesAgainToTheSameBytes) {
    for (const EditCase& c : kCases) {
        SCOPED_TRACE(c.recorder);
        CUndoBook b;
        const WorkbookDump before = b.Dump();
        c.edit(b);
        if (::testing::Test::HasFatalFailure()) return;
        RecalculateByUpdateMode(b.Book());
        const WorkbookDump after = b.Dump();
        ASSERT_FALSE(SameWorkbook(before, after));
        UndoPlace place;
        ASSERT_EQ(UndoCommand(b.Book(), &place), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(before, b.Dump()));
        ASSERT_EQ(RedoCommand(b.Book(), &place), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(after, b.Dump()));
        ASSERT_EQ(UndoCommand(b.Book(), &place), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(before, b.Dump()));
        EXPECT_EQ(b.Book().undo.current, -1);
        EXPECT_EQ(b.Book().undo.entries[kUndoSpareSlot].kind, kUndoEmpty);
    }
}

} // namespace vl
