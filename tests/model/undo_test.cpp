#include "app/core/settings.h"
#include "model/container.h"
#include "model/rangeops.h"
#include "model/undosnapshot.h"
#include "model/workbook.h"
#include "modeltestutil.h"
#include "newhook.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace vl {

using namespace modeltest;

namespace {

const CellRange kSel{0, 0, 0, 0};

std::unique_ptr<CWorkbook> BookWithSheets(int count) {
    auto book = NewWorkbook();
    for (int i = 0; i < count; ++i) AddSheet(*book);
    return book;
}

} // namespace

TEST(UndoHistory, WrapsAtTheMaximumAndNeverTouchesTheSpareSlot) {
    for (uint32_t level : {200u, 5u, 1u}) {
        auto book = BookWithSheets(1);
        book->SetUndoLevel(level);
        ASSERT_EQ(book->undo.maximum, level - 1);
        for (uint32_t i = 0; i < level + 3; ++i) book->RecordUndoInsertRows(kSel, 0, 0, i, i);
        EXPECT_EQ(book->undo.current, int32_t(level - 1));
        // The oldest three entries were dropped; the rest moved down in order.
        for (uint32_t slot = 0; slot < level; ++slot) {
            EXPECT_EQ(book->undo.entries[slot].operation, kOpRows);
            EXPECT_EQ(book->undo.entries[slot].secondRange.r1, slot + 3);
        }
        EXPECT_EQ(book->undo.entries[kUndoSpareSlot].kind, kUndoEmpty);
    }
}

TEST(UndoHistory, AMaximumPastTheArrayStillStopsBeforeTheSpareSlot) {
    auto book = BookWithSheets(1);
    book->undo.maximum = 250; // as a careless caller might set it
    for (uint32_t i = 0; i < 210; ++i) book->RecordUndoInsertColumns(kSel, 0, 0, 1, 1);
    EXPECT_EQ(book->undo.current, kUndoSpareSlot - 1);
    EXPECT_EQ(book->undo.entries[kUndoSpareSlot].kind, kUndoEmpty);
}

TEST(UndoHistory, ALevelOutsideTheRangeLeavesOneSlot) {
    auto book = BookWithSheets(1);
    book->SetUndoLevel(0);
    EXPECT_EQ(book->undo.maximum, 0u);
    book->SetUndoLevel(201);
    EXPECT_EQ(book->undo.maximum, 0u);
    book->RecordUndoInsertRows(kSel, 0, 0, 1, 1);
    book->RecordUndoInsertRows(kSel, 0, 0, 2, 2);
    EXPECT_EQ(book->undo.current, 0);
    EXPECT_EQ(book->undo.entries[0].secondRange.r1, 2u);
    // Set on a history that holds entries, it keeps only the newest: none is left past the
    // maximum for a redo to reach.
    book->SetUndoLevel(10);
    for (uint32_t i = 3; i < 8; ++i) book->RecordUndoInsertRows(kSel, 0, 0, i, i);
    book->SetUndoLevel(0);
    EXPECT_EQ(book->undo.current, 0);
    EXPECT_EQ(book->undo.entries[0].secondRange.r1, 7u);
    EXPECT_EQ(book->undo.entries[1].kind, kUndoEmpty);
}

TEST(UndoHistory, TheSettingsProfileGivesTheLevel) {
    auto book = BookWithSheets(1);
    const uint8_t saved = Profile().undoLevel;
    Profile().undoLevel = 7;
    book->ApplyUndoLevelSetting();
    EXPECT_EQ(book->undo.maximum, 6u);
    Profile().undoLevel = saved;
}

TEST(UndoHistory, LevelOneFreesThePreviousEntry) {
    auto book = BookWithSheets(1);
    PutNumber(book->tree.active->cells, 0, 0, 5);
    book->SetUndoLevel(1);
    ASSERT_TRUE(book->RecordUndoCells({0, 0, 3, 3}, 0, 0));
    const long live = LiveBlockCount();
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(book->RecordUndoCells({0, 0, 3, 3}, 0, 0));
    EXPECT_EQ(LiveBlockCount(), live);
    EXPECT_EQ(book->undo.current, 0);
}

TEST(UndoHistory, RecordingEndsTheRedoChain) {
    auto book = BookWithSheets(1);
    book->SetUndoLevel(20);
    for (uint32_t i = 0; i < 3; ++i) ASSERT_TRUE(book->RecordUndoCells({0, i, 0, i}, 0, i));
    book->undo.current = 0; // two undos
    ASSERT_TRUE(book->RecordUndoCells({5, 5, 5, 5}, 5, 5));
    EXPECT_EQ(book->undo.current, 1);
    EXPECT_EQ(book->undo.entries[1].cursorColumn, 5);
    EXPECT_EQ(book->undo.entries[2].kind, kUndoEmpty);
    EXPECT_EQ(book->undo.entries[2].cellBuffer, nullptr);
}

TEST(UndoHistory, LoweringTheLevelDropsTheOldestEntries) {
    auto book = BookWithSheets(1);
    book->SetUndoLevel(10);
    for (uint32_t i = 0; i < 6; ++i) book->RecordUndoInsertRows(kSel, 0, 0, i, i);
    book->SetUndoLevel(3);
    EXPECT_EQ(book->undo.maximum, 2u);
    EXPECT_EQ(book->undo.current, 2);
    EXPECT_EQ(book->undo.entries[0].secondRange.r1, 3u);
    EXPECT_EQ(book->undo.entries[2].secondRange.r1, 5u);
    EXPECT_EQ(book->undo.entries[3].kind, kUndoEmpty);
}

TEST(UndoHistory, InsertEntriesSpanWholeRowsOrColumns) {
    auto book = BookWithSheets(1);
    book->SetUndoLevel(5);
    book->RecordUndoInsertRows(kSel, 1, 2, 10, 12);
    const UndoEntry& rows = book->undo.entries[0];
    EXPECT_EQ(rows.secondRange.c1, 0);
    EXPECT_EQ(rows.secondRange.c2, kLastColumn);
    EXPECT_EQ(rows.secondRange.kind, kRangeWholeRows);
    EXPECT_EQ(rows.operation, kOpRows);
    book->RecordUndoInsertColumns(kSel, 1, 2, 4, 4);
    const UndoEntry& columns = book->undo.entries[1];
    EXPECT_EQ(columns.secondRange.r1, 0u);
    EXPECT_EQ(columns.secondRange.r2, kLastRow);
    EXPECT_EQ(columns.secondRange.kind, kRangeWholeColumns);
    EXPECT_EQ(columns.operation, kOpColumns);
    EXPECT_EQ(columns.activePosition, 0);
    EXPECT_STREQ(columns.worksheetPath, "\\Worksheet1");
}

TEST(UndoHistory, EveryRecorderKeepsItsPayloadAndFreesIt) {
    auto book = BookWithSheets(3);
    CWorksheet& ws = *book->tree.active;
    for (uint32_t r = 0; r < 500; ++r) PutNumber(ws.cells, uint16_t(r % 5), r, r);
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(ws.formats, {0, 3, 7, 0}, cursor));
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 40, 30, true));
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    c->settings.id = 17;
    c->slots[0].kind = kObjectChart;
    c->slots[0].chart = NewBlockObject<CChart>(kChart3D);
    c->settings.objectCount = 1;
    CContainer& container = *c;
    LinkContainer(ws, std::move(c));
    book->SetUndoLevel(50);
    const long baseline = LiveBlockCount();

    struct Step {
        const char* name;
        uint8_t kind;
        uint8_t operation;
        bool (*record)(CWorkbook&, CContainer&);
    };
    const Step steps[] = {
        {"cells", kUndoCells, kOpCells,
         [](CWorkbook& b, CContainer&) {
             return b.RecordUndoCells({0, 0, 4, 99}, 0, 0);
         }},
        {"range", kUndoRangeBoth, kOpRange,
         [](CWorkbook& b, CContainer&) {
             return b.RecordUndoRange({0, 0, 4, 99}, 0, 0, true, true);
         }},
        {"widths", kUndoRangeCells, kOpColumnWidths,
         [](CWorkbook& b, CContainer&) { return b.RecordUndoColumnWidths(kSel, 0, 0, 1, 2); }},
        {"heights", kUndoRangeCells, kOpRowHeights,
         [](CWorkbook& b, CContainer&) { return b.RecordUndoRowHeights(kSel, 0, 0, 1, 2); }},
        {"columns copy", kUndoRangeBoth, kOpColumns,
         [](CWorkbook& b, CContainer&) { return b.RecordUndoColumnsCopy(kSel, 0, 0, 1, 2); }},
        {"rows copy", kUndoRangeBoth, kOpRows,
         [](CWorkbook& b, CContainer&) { return b.RecordUndoRowsCopy(kSel, 0, 0, 3, 9); }},
        {"rename", kUndoCells, kOpRename,
         [](CWorkbook& b, CContainer&) { return b.RecordUndoRename(kSel, 0, 0, b.tree.first); }},
        {"container op", kUndoContainer, kOpContainerChanged,
         [](CWorkbook& b, CContainer& c) { return b.RecordUndoContainerOp(kSel, 0, 0, c); }},
        {"container", kUndoContainer, kOpContainerInserted,
         [](CWorkbook& b, CContainer& c) {
             b.RecordUndoContainer(kSel, 0, 0, c);
             return true;
         }},
        {"tree change", kUndoTreeChain, kOpTree,
         [](CWorkbook& b, CContainer&) {
             b.RecordUndoTreeChange(kSel, 0, 0, 2);
             return true;
         }},
        {"sort", kUndoMemoryBlock, kOpSort,
         [](CWorkbook& b, CContainer&) {
             b.RecordUndoSort(kSel, 0, 0, BlockPtr(static_cast<uint8_t*>(AllocBlock(40))));
             return true;
         }},
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(s.record(*book, container)) << s.name;
        const UndoEntry& e = book->undo.entries[book->undo.current];
        EXPECT_EQ(e.kind, s.kind) << s.name;
        EXPECT_EQ(e.operation, s.operation) << s.name;
    }
    const UndoEntry& rename = book->undo.entries[6];
    EXPECT_STREQ(reinterpret_cast<const char*>(rename.cellBuffer.get()), "Worksheet1");
    const UndoEntry& op = book->undo.entries[7];
    ASSERT_TRUE(op.container);
    EXPECT_EQ(op.containerId, 17u);
    EXPECT_EQ(op.container->slots[0].chart->settings.type, kChart3D);
    EXPECT_GT(LiveBlockCount(), baseline);
    book->FreeUndoHistory();
    EXPECT_EQ(book->undo.current, -1);
    EXPECT_EQ(LiveBlockCount(), baseline);
}

TEST(UndoHistory, TreeMoveTakesTheItemOverOrIsRefused) {
    auto book = BookWithSheets(2);
    book->SetUndoLevel(5);
    CTreeItem* second = book->tree.first->next;
    ASSERT_TRUE(book->RecordUndoTreeMove(kSel, 0, 0, second));
    const UndoEntry& e = book->undo.entries[0];
    EXPECT_EQ(e.treeChain.get(), second);
    EXPECT_EQ(e.treePosition, 1);
    EXPECT_EQ(book->tree.worksheetCount, 1u);
    EXPECT_FALSE(book->RecordUndoTreeMove(kSel, 0, 0, book->tree.first));
    EXPECT_EQ(book->error, kErrorLastWorksheet);
    EXPECT_EQ(book->undo.entries[1].kind, kUndoEmpty);
    EXPECT_EQ(book->tree.worksheetCount, 1u);
}

TEST(UndoHistory, ContainerKeptByTheEntryIsFreedWithIt) {
    auto book = BookWithSheets(1);
    const long baseline = LiveBlockCount();
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    c->settings.id = 3;
    c->slots[0].kind = kObjectChart;
    c->slots[0].chart = NewBlockObject<CChart>(kChart2D);
    book->RecordUndoContainerKept(kSel, 0, 0, std::move(c));
    EXPECT_EQ(book->undo.entries[0].containerId, 3u);
    book->FreeUndoEntry(0);
    EXPECT_EQ(LiveBlockCount(), baseline);
}

TEST(UndoHistory, FailedSnapshotLeavesAnEmptySlotAndErrorEight) {
    auto book = BookWithSheets(1);
    book->SetUndoLevel(5);
    for (uint32_t r = 0; r < 100; ++r) PutNumber(book->tree.active->cells, 0, r, r);
    {
        AllocFailGuard fail(0);
        EXPECT_FALSE(book->RecordUndoRange({0, 0, 0, 99}, 0, 0, true, true));
    }
    EXPECT_EQ(book->error, kErrorWorksheetMemory);
    EXPECT_EQ(book->undo.current, 0);
    EXPECT_EQ(book->undo.entries[0].kind, kUndoEmpty);
    EXPECT_EQ(book->undo.entries[0].object, nullptr);
}

TEST(UndoSnapshots, SlotsOutsideTheHistoryAreAnInvalidCacheIndex) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    using Call = bool (*)(CWorkbook&, CWorksheet&, CContainer&, int32_t);
    const Call calls[] = {
        [](CWorkbook& b, CWorksheet& w, CContainer&, int32_t s) {
            return SnapshotCellToUndo(b, w, 0, 0, s);
        },
        [](CWorkbook& b, CWorksheet& w, CContainer&, int32_t s) {
            RangeDescriptor d;
            MakeRangeDescriptor({0, 0, 1, 1}, &d);
            return SnapshotRangeToUndo(b, w, d, s, true, true);
        },
        [](CWorkbook& b, CWorksheet& w, CContainer&, int32_t s) {
            return SnapshotColumnsToUndo(b, w, s);
        },
        [](CWorkbook& b, CWorksheet& w, CContainer&, int32_t s) {
            return SnapshotRowHeightsToUndo(b, w, s);
        },
        [](CWorkbook& b, CWorksheet& w, CContainer&, int32_t s) {
            return SnapshotItemNameToUndo(b, w, b.undo, s);
        },
        [](CWorkbook& b, CWorksheet& w, CContainer&, int32_t s) {
            return SnapshotWorksheetToUndo(b, w, s);
        },
        [](CWorkbook& b, CWorksheet& w, CContainer& c, int32_t s) {
            return SnapshotContainer(b, &w, c, b.undo, s);
        },
        [](CWorkbook& b, CWorksheet& w, CContainer&, int32_t s) {
            return RestoreCellFromUndo(b, w, 0, 0, b.undo, s);
        },
        [](CWorkbook& b, CWorksheet& w, CContainer&, int32_t s) {
            return RestoreRangeFromUndo(b, w, b.undo, s, true, true);
        },
    };
    for (size_t i = 0; i < std::size(calls); ++i) {
        for (int32_t slot : {-1, kUndoSlots, 100000}) {
            book->error = 0;
            EXPECT_FALSE(calls[i](*book, ws, *c, slot)) << i << " " << slot;
            EXPECT_EQ(book->error, kErrorInvalidCacheIndex) << i << " " << slot;
        }
    }
    // The spare slot is the executor's and stays usable.
    EXPECT_TRUE(calls[0](*book, ws, *c, kUndoSpareSlot));
    EXPECT_TRUE(calls[7](*book, ws, *c, kUndoSpareSlot));
}

TEST(UndoSnapshots, KeptFormulaComesBackWithoutItsResult) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    FormulaHead head;
    head.resultFlags = kResultText;
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, 2, 3, head, "R[-1]C+1", "cached"));
    Put(ws.cells, b);
    ASSERT_TRUE(MakeNumberCell(b, 3, 3, 0, 7)); // a constant error value
    Put(ws.cells, b);
    PutText(ws.cells, 4, 3, "words");
    book->SetUndoLevel(5);
    ASSERT_TRUE(book->RecordUndoCells({2, 3, 5, 3}, 2, 3));
    PutNumber(ws.cells, 2, 3, 9);
    PutNumber(ws.cells, 5, 3, 10); // was empty: goes on restore
    ASSERT_TRUE(RestoreCellFromUndo(*book, ws, 2, 3, book->undo, 0));
    const uint8_t* f = FindCell(ws.cells, 3, 2);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(cell::IsFormula(f));
    EXPECT_EQ(cell::Formula(f), "R[-1]C+1");
    EXPECT_EQ(cell::ResultFlags(f), 0);
    EXPECT_EQ(cell::ArrayHeight(f), 0u);
    const uint8_t* e = FindCell(ws.cells, 3, 3);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(cell::Error(e), 7);
    EXPECT_TRUE(cell::IsNumber(e));
    EXPECT_EQ(cell::Text(FindCell(ws.cells, 3, 4)), "words");
    EXPECT_EQ(FindCell(ws.cells, 3, 5), nullptr);
}

TEST(UndoSnapshots, RestoringOntoAnArrayAnchorClearsTheWholeArray) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    PutNumber(ws.cells, 4, 4, 1);
    book->SetUndoLevel(5);
    ASSERT_TRUE(book->RecordUndoCells({4, 4, 4, 4}, 4, 4));
    ClearRect(ws.cells, {4, 4, 4, 4}, nullptr, true);
    PutArray(ws.cells, 4, 4, 2, 2);
    ASSERT_EQ(Dump(ws.cells).size(), 4u);
    ASSERT_TRUE(RestoreCellFromUndo(*book, ws, 4, 4, book->undo, 0));
    EXPECT_EQ(Dump(ws.cells).size(), 1u);
    EXPECT_EQ(NumberAt(ws.cells, 4, 4), 1);
}

TEST(UndoSnapshots, EmptySlotsAndEmptyRanges) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    EXPECT_FALSE(RestoreCellFromUndo(*book, ws, 0, 0, book->undo, 3));
    EXPECT_EQ(book->error, kErrorInvalidCacheIndex);
    book->error = 0;
    EXPECT_FALSE(RestoreRangeFromUndo(*book, ws, book->undo, 3, true, true));
    EXPECT_EQ(book->error, kErrorInvalidCacheIndex);
    book->SetUndoLevel(5);
    ASSERT_TRUE(book->RecordUndoRange({10, 10, 20, 20}, 0, 0, true, true));
    const UndoEntry& e = book->undo.entries[0];
    ASSERT_NE(e.Scratch(), nullptr);
    EXPECT_EQ(e.Scratch()->cells.FirstPage(), nullptr);
    PutNumber(ws.cells, 12, 12, 1);
    ASSERT_TRUE(RestoreRangeFromUndo(*book, ws, book->undo, 0, true, true));
    EXPECT_EQ(ws.cells.FirstPage(), nullptr);
}

TEST(UndoSnapshots, RestoreNeverOverflowsTheStyleTables) {
    // Meanwhile the kept style has changed in the workbook and the tables filled up: the
    // style table, the font table, or the style table after the kept font had to be added.
    struct Case {
        const char* name;
        bool fontGone;
        uint16_t styles;
        uint8_t fonts;
    };
    for (const Case& c : {Case{"styles", false, kMaxStyles, 2}, Case{"fonts", true, 2, kMaxFonts},
                          Case{"font added first", true, kMaxStyles, 2}}) {
        auto book = BookWithSheets(1);
        CWorksheet& ws = *book->tree.active;
        StyleTables& t = book->styles;
        t.styles[1].wrapText = 1;
        CopyTextField(t.fonts[1].faceName, "Kept", kFaceNameSize);
        t.fontCount = 2;
        t.styles[1].fontRef.fontIndex = 1;
        t.styleCount = 2;
        CellCursor cursor;
        ASSERT_TRUE(PutFormatRun(ws.formats, {0, 3, 0, 1}, cursor));
        PutNumber(ws.cells, 0, 0, 1);
        book->SetUndoLevel(5);
        ASSERT_TRUE(book->RecordUndoRange({0, 0, 3, 0}, 0, 0, true, true));
        ClearRect(ws.cells, {0, 0, 3, 0}, nullptr, true);
        ASSERT_TRUE(ClearFormatRect(ws.formats, {0, 0, 3, 0}, nullptr, true));
        t.styles[1].wrapText = 0;
        if (c.fontGone) CopyTextField(t.fonts[1].faceName, "Other", kFaceNameSize);
        for (uint16_t i = 2; i < kMaxStyles; ++i) t.styles[i].rotation = int8_t(i % 180 - 90);
        for (uint8_t i = 2; i < kMaxFonts; ++i) t.fonts[i].size = i;
        t.styleCount = c.styles;
        t.fontCount = c.fonts;
        const Cells cells = Dump(ws.cells);
        EXPECT_FALSE(RestoreRangeFromUndo(*book, ws, book->undo, 0, true, true)) << c.name;
        EXPECT_EQ(book->error, kErrorTooManyStyles) << c.name;
        EXPECT_EQ(t.styleCount, c.styles) << c.name;
        EXPECT_EQ(t.fontCount, c.fonts) << c.name;
        EXPECT_EQ(Dump(ws.cells), cells) << c.name;
        EXPECT_EQ(ws.formats.runs.FirstPage(), nullptr) << c.name;
        // With room again the same entry restores cells and the style.
        t.styleCount = 2;
        t.fontCount = 2;
        book->error = 0;
        ASSERT_TRUE(RestoreRangeFromUndo(*book, ws, book->undo, 0, true, true)) << c.name;
        EXPECT_EQ(NumberAt(ws.cells, 0, 0), 1);
        EXPECT_EQ(t.styleCount, 3);
        EXPECT_EQ(t.styles[2].wrapText, 1);
        EXPECT_STREQ(t.fonts[t.styles[2].fontRef.fontIndex].faceName, "Kept");
    }
}

TEST(UndoSnapshots, WorksheetSnapshotKeepsACopyAndItsStyles) {
    auto book = BookWithSheets(2);
    CWorksheet& ws = *book->tree.active;
    PutNumber(ws.cells, 1, 1, 11);
    book->styles.styles[5].fitToCell = 1;
    book->styles.styleCount = 6;
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(ws.formats, {0, 0, 1, 5}, cursor));
    book->SetUndoLevel(5);
    const int32_t slot = book->MakeUndoRoom();
    ASSERT_TRUE(SnapshotWorksheetToUndo(*book, ws, slot));
    const UndoEntry& e = book->undo.entries[slot];
    ASSERT_EQ(e.kind, kUndoTreeChain);
    const CWorksheet* copy = AsWorksheet(e.treeChain.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(NumberAt(copy->cells, 1, 1), 11);
    const FormatRun run = RunsInRect(copy->formats, {0, 0, kLastColumn, kLastRow})[0];
    ASSERT_LT(run.style, e.keptStyles->styles.size());
    EXPECT_EQ(e.keptStyles->styles[run.style].fitToCell, 1);
    EXPECT_EQ(NumberAt(ws.cells, 1, 1), 11); // the original is untouched
}

TEST(UndoSnapshots, RunningOutOfMemoryInWorkingListsLeavesEmptySlotsAndUntouchedSheets) {
    auto book = BookWithSheets(1);
    CWorksheet& ws = *book->tree.active;
    for (uint32_t r = 0; r < 60; ++r)
        for (uint16_t c = 0; c < 8; ++c) PutNumber(ws.cells, c, r, r * 8.0 + c);
    PutText(ws.cells, 3, 70, "kept text");
    auto container = NewBlockObject<CContainer>();
    InitContainerDefaults(*container, nullptr, nullptr);
    RangeDescriptor range;
    MakeRangeDescriptor({0, 0, 7, 70}, &range);
    using Call = std::function<bool(int32_t)>;
    const Call snapshots[] = {
        [&](int32_t s) {
            return SnapshotCellsToUndo(*book, ws, {0, 0, 7, 70}, s);
        },
        [&](int32_t s) { return SnapshotRangeToUndo(*book, ws, range, s, true, true); },
        [&](int32_t s) { return SnapshotColumnsToUndo(*book, ws, s); },
        [&](int32_t s) { return SnapshotRowHeightsToUndo(*book, ws, s); },
        [&](int32_t s) { return SnapshotItemNameToUndo(*book, ws, book->undo, s); },
        [&](int32_t s) { return SnapshotWorksheetToUndo(*book, ws, s); },
        [&](int32_t s) { return SnapshotContainer(*book, &ws, *container, book->undo, s); },
    };
    // Runs `call` with ever larger budgets of operator new until it succeeds; every failure
    // must be error 8 with `check` holding. Returns the failures seen.
    auto exhaust = [&](const std::function<bool()>& call, const std::function<void()>& check) {
        int failures = 0;
        for (long budget = 0;; budget += 1 + budget / 8) {
            book->error = 0;
            bool done;
            {
                NewFailGuard guard(budget);
                done = call();
            }
            if (done) break;
            ++failures;
            EXPECT_EQ(book->error, kErrorWorksheetMemory) << "budget " << budget;
            check();
        }
        return failures;
    };
    // Some snapshots need no working list at all; those that do must fail cleanly.
    int snapshotFailures = 0;
    for (const Call& snapshot : snapshots) {
        snapshotFailures += exhaust([&] { return snapshot(3); },
                                    [&] { EXPECT_EQ(book->undo.entries[3].kind, kUndoEmpty); });
    }
    EXPECT_GT(snapshotFailures, 0);
    ASSERT_TRUE(SnapshotCellsToUndo(*book, ws, {0, 0, 7, 70}, 1));
    ASSERT_TRUE(SnapshotRangeToUndo(*book, ws, range, 2, true, true));
    ClearRange(*book, ws, {0, 0, 7, 70});
    PutNumber(ws.cells, 2, 5, -1);
    const Cells changed = Dump(ws.cells);
    const auto unchanged = [&] { EXPECT_EQ(Dump(ws.cells), changed); };
    EXPECT_GT(
        exhaust([&] { return RestoreCellFromUndo(*book, ws, 0, 0, book->undo, 1); }, unchanged), 0);
    ClearRange(*book, ws, {0, 0, 7, 70});
    PutNumber(ws.cells, 2, 5, -1);
    EXPECT_GT(exhaust([&] { return RestoreRangeFromUndo(*book, ws, book->undo, 2, true, true); },
                      unchanged),
              0);
    EXPECT_EQ(NumberAt(ws.cells, 2, 5), 42);
}

} // namespace vl
