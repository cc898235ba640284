#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"
#include "model/formatstore.h"
#include "model/rangeops.h"
#include "model/undosnapshot.h"
#include "platform/core/alloc.h"
#include "tests/model/newhook.h"
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

TEST(UndoCommand, EmptyHistoriesAndEmptyEntriesChangeNothing) {
    CUndoBook b;
    const WorkbookDump before = b.Dump();
    EXPECT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kNothing);
    EXPECT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kNothing);
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
    EXPECT_FALSE(ExecuteUndoRedo(b.Book(), 3));
    EXPECT_EQ(b.Book().error, kErrorInvalidCacheIndex);
    EXPECT_FALSE(ExecuteUndoRedo(b.Book(), kUndoSpareSlot));
    // A recorder whose snapshot failed leaves an empty entry: undo reports 12 and steps over.
    b.Book().MakeUndoRoom();
    EXPECT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorInvalidCacheIndex);
    EXPECT_EQ(b.Book().undo.current, -1);
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
    // Redo stops at the highest usable slot.
    b.Book().SetUndoLevel(1);
    ASSERT_TRUE(b.Book().RecordUndoCells({0, 0, 0, 0}, 0, 0));
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kNothing);
}

TEST(UndoCommand, NewWorksheetUndoKeepsTheSameObjectAndPlaceRedoPutsItBack) {
    CUndoBook b;
    CTreeItem* item = b.Book().AppendTreeItem(TREE_TYPE_WORKSHEET, "New", 1);
    b.Book().RecordUndoTreeChange({}, 0, 0, GetTreeItemIndex(item, b.Book().tree.first));
    UndoPlace place;
    ASSERT_EQ(UndoCommand(b.Book(), &place), CommandResult::kDone);
    EXPECT_EQ(place.operation, kOpTree);
    EXPECT_EQ(GetTreeItemIndex(item, b.Book().tree.first), -1);
    EXPECT_EQ(b.Book().undo.entries[0].treeChain.get(), item);
    EXPECT_EQ(b.Book().tree.worksheetCount, 3u);
    ASSERT_EQ(RedoCommand(b.Book(), &place), CommandResult::kDone);
    EXPECT_EQ(GetTreeItemAt(4, b.Book().tree.first), item);
    EXPECT_EQ(b.Book().tree.worksheetCount, 4u);
}

TEST(ExecuteUndoRedo, InsertingAgainThatWouldPushACellOffTheSheetChangesNothing) {
    CUndoBook b;
    CWorksheet& ws = b.S1();
    ASSERT_EQ(RemoveRowsCommand(b.Book(), {{0, 3, 0, 4}, 0, 3}), CommandResult::kDone);
    b.Number(ws, 0, kLastRow - 2, 1); // at the limit: two rows fit
    const WorkbookDump fits = b.Dump();
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(fits, b.Dump()));
    b.Number(ws, 1, kLastRow - 1, 1); // one past: it would move off the sheet
    const WorkbookDump full = b.Dump();
    b.Book().error = 0;
    EXPECT_FALSE(ExecuteUndoRedo(b.Book(), 0));
    EXPECT_EQ(b.Book().error, kErrorNoEmptyRows);
    EXPECT_TRUE(SameWorkbook(full, b.Dump()));
    EXPECT_NE(b.Book().undo.entries[0].object, nullptr);
    // A reference that the insertion would push off the sheet refuses it as well.
    ClearRect(ws.cells, {0, kLastRow - 2, 1, kLastRow}, nullptr, false);
    b.Formula(ws, 0, 0, "=R[2097150]C");
    const WorkbookDump referenced = b.Dump();
    EXPECT_FALSE(ExecuteUndoRedo(b.Book(), 0));
    EXPECT_EQ(b.Book().error, kErrorNoEmptyRows);
    EXPECT_TRUE(SameWorkbook(referenced, b.Dump()));
}

TEST(UndoCommand, FormatsAnInsertionPushesOffTheEdgeComeBackInOneStep) {
    // A row formatted to the last column, a run two columns from the edge, the last
    // column's own style and width; a run in the last row.
    struct Case {
        const char* name;
        bool rows;
    };
    for (const Case c : {Case{"columns", false}, Case{"rows", true}}) {
        CUndoBook b;
        CWorksheet& ws = b.S3();
        b.Book().tree.active = &ws;
        CellCursor runs;
        ASSERT_TRUE(PutFormatRun(ws.formats, {0, kLastColumn, 7, 1}, runs));
        ASSERT_TRUE(PutFormatRun(ws.formats, {kLastColumn - 3, kLastColumn - 1, 9, 2}, runs));
        ASSERT_TRUE(PutFormatRun(ws.formats, {2, 4, kLastRow, 3}, runs));
        ws.formats.columns[kLastColumn] = {uint16_t(30 << 1 | 1), 2, 0};
        b.Number(ws, 1, 1, 5);
        const WorkbookDump before = b.Dump();
        const int32_t undo = b.Book().undo.current;
        const GridSelection two = c.rows ? GridSelection{{0, 3, kLastColumn, 4}, 0, 3}
                                         : GridSelection{{1, 0, 2, kLastRow}, 1, 0};
        ASSERT_EQ(c.rows ? InsertRowsCommand(b.Book(), two) : InsertColumnsCommand(b.Book(), two),
                  CommandResult::kDone)
            << c.name;
        EXPECT_EQ(b.Book().undo.current, undo + 2) << c.name; // the edge is kept beside it
        const WorkbookDump after = b.Dump();
        EXPECT_FALSE(SameWorkbook(before, after)) << c.name;
        ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone) << c.name;
        EXPECT_EQ(b.Book().undo.current, undo) << c.name;
        EXPECT_TRUE(SameWorkbook(before, b.Dump())) << c.name;
        ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone) << c.name;
        EXPECT_TRUE(SameWorkbook(after, b.Dump())) << c.name;
        ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone) << c.name;
        EXPECT_TRUE(SameWorkbook(before, b.Dump())) << c.name;
    }
    // With nothing at the edge an insertion keeps one entry.
    CUndoBook b;
    b.Book().tree.active = &b.S3();
    const int32_t undo = b.Book().undo.current;
    ASSERT_EQ(InsertColumnsCommand(b.Book(), {{1, 0, 2, kLastRow}, 1, 0}), CommandResult::kDone);
    EXPECT_EQ(b.Book().undo.current, undo + 1);
}

TEST(ExecuteUndoRedo, RunningOutOfMemoryLeavesWorkbookAndEntryAsTheyWere) {
    const GridSelection rows{{0, 2, 0, 5}, 0, 2};
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE("kind " + std::to_string(kind));
        CUndoBook b;
        CWorksheet& ws = b.S1();
        const CellRange all{0, 0, 9, 19};
        ASSERT_TRUE(kind == 0   ? b.Book().RecordUndoRange(all, 0, 0, true, true)
                    : kind == 1 ? b.Book().RecordUndoCells(all, 0, 0)
                                : RemoveRowsCommand(b.Book(), rows) == CommandResult::kDone);
        ASSERT_TRUE(kind == 2 || ClearRange(b.Book(), ws, all));
        RecalculateByUpdateMode(b.Book());
        const WorkbookDump before = b.Dump();
        // Pages refused at every point, then standard containers at every point. Rows
        // inserted again cannot always go back when every allocation fails from the last
        // step on (taking filled rows out needs memory): they are tried with pages only.
        long failures = 0;
        for (int hook = 0; hook < (kind == 2 ? 1 : 2); ++hook) {
            bool succeeded = false;
            for (long fail = 0; fail < 400 && !succeeded; ++fail) {
                // Pages kept for reuse would spare the allocator: each try starts without them.
                ws.cells.PurgeFreePages();
                ws.formats.runs.PurgeFreePages();
                if (hook == 0) SetAllocFailAfter(fail);
                if (hook == 1) modeltest::SetNewFailAfter(fail);
                succeeded = ExecuteUndoRedo(b.Book(), 0);
                SetAllocFailAfter(-1);
                modeltest::SetNewFailAfter(-1);
                if (succeeded) {
                    ASSERT_TRUE(ExecuteUndoRedo(b.Book(), 0)); // back for the next hook
                    continue;
                }
                ++failures;
                RecalculateByUpdateMode(b.Book());
                ASSERT_TRUE(SameWorkbook(before, b.Dump())) << "hook " << hook << " fail " << fail;
                ASSERT_EQ(b.Book().undo.entries[kUndoSpareSlot].kind, kUndoEmpty);
            }
            EXPECT_TRUE(succeeded) << "hook " << hook;
        }
        EXPECT_GT(failures, 0);
    }
}

} // namespace vl
