#include "formula/edit/cutpaste.h"
#include "formula/edit/deletecommand.h"
#include "formula/edit/rangecommands.h"
#include "formula/translate.h"
#include "model/rangedescriptor.h"
#include "model/rangestyle.h"
#include "model/undosnapshot.h"
#include "platform/core/editerrors.h"
#include "platform/core/errorcode.h"
#include "tests/model/newhook.h"
#include "undobook.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

namespace {

using V = std::vector<std::string>;

std::string Box(const CellRange& r) {
    return std::to_string(r.c1) + "," + std::to_string(r.r1) + ":" + std::to_string(r.c2) + "," +
           std::to_string(r.r2);
}

V Row(const CWorksheet& ws, uint16_t c1, uint16_t c2, uint32_t r) {
    V out;
    for (uint32_t c = c1; c <= c2; ++c) out.push_back(ValueAt(ws.cells, uint16_t(c), r));
    return out;
}

} // namespace

TEST(TransposeCommand, TwoByThreeTurnsAndUndoRedoRestoreTheWholeBook) {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    b.Book().tree.active = &ws;
    PutColumn(ws.cells, 0, 0, {"1", "2"});
    PutColumn(ws.cells, 1, 0, {"a", "b"});
    PutColumn(ws.cells, 2, 0, {"x", "y"});
    const WorkbookDump before = b.Dump();
    CellRange result;
    bool offSheet = true;
    ASSERT_EQ(TransposeCommand(b.Book(), {{0, 0, 2, 1}, 1, 1}, &result, &offSheet),
              CommandResult::kDone);
    EXPECT_FALSE(offSheet);
    EXPECT_EQ(Box(result), "0,0:1,2");
    EXPECT_EQ(Row(ws, 0, 2, 0), (V{"1", "2", ""}));
    EXPECT_EQ(Row(ws, 0, 2, 1), (V{"a", "b", ""}));
    EXPECT_EQ(Row(ws, 0, 2, 2), (V{"x", "y", ""}));
    EXPECT_EQ(b.Book().undo.current, 1); // the source and the result are both kept
    // ...in one step of Undo and of Redo.
    ExpectUndoRedo(b, 1, before, b.Dump());
    EXPECT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_EQ(b.Book().undo.current, -1);
}

TEST(TransposeCommand, TurnedFormulasFollowTheBlockAndKeepReadingTheRest) {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    b.Book().tree.active = &ws;
    struct Case {
        const char* given; // in B1.. along row 1
        const char* turned;
        const char* shown;
    };
    // A1:H1 turns into A1:A8: references into it follow their cells, the others (below the
    // row, another worksheet, a whole column holding part of it) keep reading what they read.
    // ("*": this binary has no functions to show a value with.)
    const Case cases[] = {
        {"=RC[-1]*2", "=R[-1]C*2", "2"},
        {"=R1C1+1", "=R1C1+1", "2"},
        {"=R[4]C[-1]+30", "=R[1]C[2]+30", "30"},
        {"=SUM(RC[-4]:RC[-1])", "=SUM(R[-4]C:R[-1]C)", "*"},
        {"=R1C[-5]+10", "=R1C+10", "11"},
        {"=SUM(C[-6])+\\S1!R[1]C[-6]", "=SUM(C)+\\S1!R[-5]C", "*"},
        {"=R[1]C1+5", "=R[-6]C1+5", "7"}, // reads A2, where B1's formula went
    };
    b.Number(ws, 0, 0, 1);
    uint16_t column = 1;
    for (const Case& c : cases) b.Formula(ws, column++, 0, c.given);
    RecalculateByUpdateMode(b.Book());
    const WorkbookDump before = b.Dump();
    const uint16_t last = uint16_t(column - 1);
    ASSERT_EQ(TransposeCommand(b.Book(), {{0, 0, last, 0}, 0, 0}, nullptr, nullptr),
              CommandResult::kDone);
    RecalculateByUpdateMode(b.Book());
    uint32_t row = 1;
    for (const Case& c : cases) {
        const uint8_t* r = FindCell(ws.cells, row, 0);
        ASSERT_TRUE(r && cell::IsFormula(r)) << c.given;
        EXPECT_EQ(cell::Formula(r), c.turned) << c.given;
        if (std::string(c.shown) != "*") {
            EXPECT_EQ(ValueAt(ws.cells, 0, row), c.shown) << c.given;
        }
        ++row;
    }
    ExpectUndoRedo(b, 1, before, b.Dump());
}

// Memory that runs out while a transposition plans the formulas reading its cells, or later,
// for good or for one request, never turns the cells without them: at each failure the cells
// and their reader stand together.
TEST(TransposeCommand, MemoryRunningOutNeverTurnsCellsWithoutTheirReaders) {
    for (const bool once : {false, true}) {
        bool done = false;
        for (long fail = 0; fail < 2000 && !done; ++fail) {
            SCOPED_TRACE(std::to_string(fail) + (once ? " once" : ""));
            CUndoBook b;
            CWorksheet& ws = b.S3();
            b.Book().tree.active = &ws;
            b.Number(ws, 0, 0, 1);
            b.Number(ws, 1, 0, 2);
            b.Formula(ws, 4, 1, "=R[-1]C[-3]"); // E2 reads B1
            CommandResult result = CommandResult::kNothing;
            {
                modeltest::NewFailGuard guard(fail);
                if (once) modeltest::SetNewFailOnce(fail);
                result = TransposeCommand(b.Book(), {{0, 0, 1, 0}, 0, 0});
            }
            done = result == CommandResult::kDone;
            const bool turned = ValueAt(ws.cells, 0, 1) == "2";
            EXPECT_EQ(b.FormulaAt(ws, 4, 1), turned ? "=RC[-4]" : "=R[-1]C[-3]");
            // A transposition refused before the cells turned keeps no entry either.
            if (!turned) {
                EXPECT_EQ(b.Book().undo.current, -1);
            }
        }
        EXPECT_TRUE(done);
    }
}

// A Cut pasted where the block ends on the sheet's last column moves with its reader; one
// column further it would pass the edge, and a plain paste is due.
TEST(PasteCutCommand, TheSheetsLastColumnMovesOnePastIsAPlainPaste) {
    for (const uint16_t first : {uint16_t(kLastColumn - 1), uint16_t(kLastColumn)}) {
        SCOPED_TRACE(first);
        CUndoBook b;
        CWorksheet& ws = b.S3();
        b.Book().tree.active = &ws;
        b.Number(ws, 0, 0, 1);
        b.Number(ws, 1, 0, 2);
        b.Formula(ws, 3, 4, "=R[-4]C[-2]"); // D5 reads B1
        UndoHistory copies;
        copies.maximum = 10;
        RangeDescriptor range;
        MakeRangeDescriptor({0, 0, 1, 0}, &range);
        ASSERT_TRUE(SnapshotRangeToUndo(b.Book(), ws, range, copies, copies.current, true, true));
        const GridSelection source{{0, 0, 1, 0}, 0, 0};
        ASSERT_EQ(DeleteRangeCommand(b.Book(), source, false), CommandResult::kDone);
        PendingCut cut = MarkCut(b.Book(), copies, {0, 0, 1, 0});
        const int32_t undo = b.Book().undo.current;
        CellRange drop;
        const CommandResult result = PasteCutCommand(b.Book(), {{first, 9, first, 9}, first, 9},
                                                     copies, copies.current, cut, &drop);
        if (first == kLastColumn) {
            EXPECT_EQ(result, CommandResult::kNothing);
            EXPECT_EQ(b.Book().undo.current, undo);
            EXPECT_EQ(b.FormulaAt(ws, 3, 4), "=R[-4]C[-2]");
            continue;
        }
        ASSERT_EQ(result, CommandResult::kDone);
        EXPECT_EQ(Box(drop), std::to_string(first) + ",9:" + std::to_string(kLastColumn) + ",9");
        EXPECT_EQ(ValueAt(ws.cells, kLastColumn, 9), "2");
        EXPECT_EQ(b.FormulaAt(ws, 3, 4), "=R[5]C[" + std::to_string(kLastColumn - 3) + "]");
        // The Cut's Delete left no step of its own: one Undo puts the cells back in row 1.
        ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_EQ(ValueAt(ws.cells, 1, 0), "2");
        EXPECT_EQ(b.FormulaAt(ws, 3, 4), "=R[-4]C[-2]");
    }
}

// A Cut pasted on another worksheet names the worksheet it left in the moved formulas' other
// references: a formula that would pass the longest formula then refuses the Paste whole,
// one character shorter it moves.
TEST(PasteCutCommand, AFormulaTheMoveWouldMakeTooLongRefusesThePasteWhole) {
    for (const size_t spare : {size_t(4), size_t(3)}) { // room left for the qualifier "\S3!"
        SCOPED_TRACE(spare);
        CUndoBook b;
        CWorksheet& ws = b.S3();
        b.Book().tree.active = &ws;
        std::string text = "=R1C9";
        while (text.size() + 2 <= kMaxFormulaText - spare) text += "+1";
        if (text.size() < kMaxFormulaText - spare) text += "0";
        ASSERT_EQ(text.size(), kMaxFormulaText - spare);
        b.Formula(ws, 0, 0, text.c_str());
        b.Formula(ws, 3, 4, "=R[-4]C[-3]"); // D5 reads A1
        UndoHistory copies;
        copies.maximum = 10;
        RangeDescriptor range;
        MakeRangeDescriptor({0, 0, 0, 0}, &range);
        ASSERT_TRUE(SnapshotRangeToUndo(b.Book(), ws, range, copies, copies.current, true, true));
        ASSERT_EQ(DeleteRangeCommand(b.Book(), {{0, 0, 0, 0}, 0, 0}, false), CommandResult::kDone);
        PendingCut cut = MarkCut(b.Book(), copies, {0, 0, 0, 0});
        b.Book().tree.active = &b.S1();
        const WorkbookDump before = b.Dump();
        const int32_t undo = b.Book().undo.current;
        const CommandResult result =
            PasteCutCommand(b.Book(), {{1, 1, 1, 1}, 1, 1}, copies, copies.current, cut);
        if (spare == 3) {
            EXPECT_EQ(result, CommandResult::kFailed);
            EXPECT_EQ(b.Book().error, kErrorFormulaTooLong);
            EXPECT_EQ(b.Book().undo.current, undo);
            EXPECT_EQ(b.Dump(), before);
            continue;
        }
        ASSERT_EQ(result, CommandResult::kDone);
        EXPECT_EQ(b.FormulaAt(b.S1(), 1, 1), "=\\S3!R1C9" + text.substr(5));
        EXPECT_EQ(b.FormulaAt(ws, 3, 4), "=\\S1!R[-3]C[-2]");
    }
}

namespace {

std::string PrintPlace(const CWorksheet& ws) {
    return std::to_string(ws.pageSetup.printRangeKind) + " " + Box(ws.pageSetup.printRange.Range());
}

} // namespace

// A Cut of S3!A1:B2 whose print range lies inside it, pasted at S1!C5: S1 keeps a print range
// of its own (cells, a selection, a container, pages); one that printed everything takes the
// moved one, and S3 then prints everything. A print range that stays keeps its place on S3.
// Undo and Redo exchange both worksheets' print ranges with the cells.
TEST(PasteCutCommand, AnotherWorksheetKeepsItsOwnPrintRange) {
    struct Case {
        const char* name;
        uint8_t intoKind;
        CellRange printed; // on S3
        const char* sourceAfter;
        const char* intoAfter;
    };
    const Case cases[] = {
        {"into one printing everything", kPrintAll, {0, 0, 1, 1}, "0 0,0:1,1", "1 2,4:3,5"},
        {"into one printing cells", kPrintCellRange, {0, 0, 1, 1}, "1 0,0:1,1", "1 3,0:5,9"},
        {"into one printing its selection",
         kPrintSelection,
         {0, 0, 1, 1},
         "1 0,0:1,1",
         "3 3,0:5,9"},
        {"into one printing a container", kPrintContainer, {0, 0, 1, 1}, "1 0,0:1,1", "2 3,0:5,9"},
        {"into one printing pages", kPrintPageList, {1, 1, 1, 1}, "1 1,1:1,1", "4 3,0:5,9"},
        {"a print range partly cut, into one printing everything",
         kPrintAll,
         {0, 0, 2, 1},
         "1 0,0:2,1",
         "0 3,0:5,9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CUndoBook b;
        CWorksheet& ws = b.S3();
        CWorksheet& into = b.S1();
        b.Book().tree.active = &ws;
        b.Number(ws, 0, 0, 1);
        b.Number(ws, 1, 1, 2);
        ws.pageSetup.printRangeKind = kPrintCellRange;
        MakeRangeDescriptor(c.printed, &ws.pageSetup.printRange);
        into.pageSetup.printRangeKind = c.intoKind;
        MakeRangeDescriptor({3, 0, 5, 9}, &into.pageSetup.printRange);
        UndoHistory copies;
        copies.maximum = 10;
        RangeDescriptor range;
        MakeRangeDescriptor({0, 0, 1, 1}, &range);
        ASSERT_TRUE(SnapshotRangeToUndo(b.Book(), ws, range, copies, copies.current, true, true));
        ASSERT_EQ(DeleteRangeCommand(b.Book(), {{0, 0, 1, 1}, 0, 0}, false), CommandResult::kDone);
        PendingCut cut = MarkCut(b.Book(), copies, {0, 0, 1, 1});
        b.Book().tree.active = &into;
        const std::string sourceBefore = PrintPlace(ws), intoBefore = PrintPlace(into);
        ASSERT_EQ(PasteCutCommand(b.Book(), {{2, 4, 2, 4}, 2, 4}, copies, copies.current, cut),
                  CommandResult::kDone);
        EXPECT_EQ(ValueAt(into.cells, 3, 5), "2");
        EXPECT_EQ(PrintPlace(ws), c.sourceAfter);
        EXPECT_EQ(PrintPlace(into), c.intoAfter);
        ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_EQ(PrintPlace(ws), sourceBefore);
        EXPECT_EQ(PrintPlace(into), intoBefore);
        ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_EQ(PrintPlace(ws), c.sourceAfter);
        EXPECT_EQ(PrintPlace(into), c.intoAfter);
    }
}

TEST(TransposeCommand, TheSheetsEdgesLastAcceptedFirstRefused) {
    struct Case {
        CellRange range;
        bool offSheet;
    };
    const Case cases[] = {
        {{0, 0, 1, kLastColumn}, false},     // turns into the last column
        {{0, 0, 1, kLastColumn + 1u}, true}, // one row more passes it
        {{kLastColumn - 1u, kLastRow - 1, kLastColumn, kLastRow}, false}, // the last row
        {{kLastColumn - 1u, kLastRow, kLastColumn, kLastRow}, true},      // one row lower
        {{0, 0, 0, kLastRow}, true},                                      // a whole column
        {{0, 0, kLastColumn, 0}, false}, // a whole row turns into a column
    };
    for (const Case& c : cases) {
        CUndoBook b;
        b.Book().tree.active = &b.S3();
        const int32_t undo = b.Book().undo.current;
        bool offSheet = !c.offSheet;
        const CommandResult r = TransposeCommand(b.Book(), {c.range, 0, 0}, nullptr, &offSheet);
        EXPECT_EQ(offSheet, c.offSheet) << c.range.r2;
        EXPECT_EQ(r, c.offSheet ? CommandResult::kNothing : CommandResult::kDone);
        EXPECT_EQ(b.Book().undo.current, c.offSheet ? undo : undo + 2);
    }
    CUndoBook b;
    b.Book().tree.active = nullptr;
    EXPECT_EQ(TransposeCommand(b.Book(), {{0, 0, 1, 1}, 0, 0}), CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorNoWorksheet);
}

TEST(PasteEntryCommand, RangeCellAndContainerEntriesPasteAndUndoRestores) {
    CUndoBook b;
    CWorksheet& ws = b.S1();
    UndoHistory copies;
    copies.maximum = 10;
    // A 2 x 3 block with its formats (row 3 carries style 1 in columns 1..6).
    RangeDescriptor range;
    MakeRangeDescriptor({1, 2, 2, 4}, &range);
    ASSERT_TRUE(SnapshotRangeToUndo(b.Book(), ws, range, copies, copies.current, true, true));
    ASSERT_TRUE(SnapshotCellToUndo(b.Book(), ws, 0, 3, copies, copies.current));
    int32_t kept = copies.current;
    ASSERT_TRUE(SnapshotContainer(b.Book(), &ws, *ws.firstContainer, copies, kept));
    copies.current = kept;
    const V block6 = Row(ws, 1, 2, 2), block8 = Row(ws, 1, 2, 4);

    const WorkbookDump before = b.Dump();
    PastedEntry pasted;
    // A single selected cell grows to the block's size.
    ASSERT_EQ(PasteEntryCommand(b.Book(), {{10, 30, 10, 30}, 10, 30}, copies, 0, true, &pasted),
              CommandResult::kDone);
    EXPECT_EQ(Box(pasted.range), "10,30:11,32");
    EXPECT_EQ(Row(ws, 10, 11, 30), block6);
    EXPECT_EQ(Row(ws, 10, 11, 32), block8);
    EXPECT_EQ(b.Book().styles.styles[CellStyleIndex(ws.formats, 31, 11)].horizontalAlignment, 1);
    EXPECT_EQ(CellStyleIndex(ws.formats, 30, 11), 0);
    ExpectUndoRedo(b, 1, before, b.Dump());

    // Contents only: the cells land, the target's formats stay.
    CUndoBook c;
    const WorkbookDump plain = c.Dump();
    ASSERT_EQ(PasteEntryCommand(c.Book(), {{20, 40, 21, 42}, 0, 0}, copies, 0, false),
              CommandResult::kDone);
    EXPECT_EQ(Row(c.S1(), 20, 21, 40), block6);
    const WorkbookDump withCells = c.Dump();
    for (size_t i = 0; i < plain.sections.size(); ++i) {
        if (plain.sections[i].first == "S1 runs") {
            EXPECT_EQ(plain.sections[i], withCells.sections[i]);
        }
    }
    EXPECT_EQ(CellStyleIndex(c.S1().formats, 41, 20), 0);
    ExpectUndoRedo(c, 1, plain, withCells);

    // One cell.
    CUndoBook d;
    const WorkbookDump one = d.Dump();
    ASSERT_EQ(PasteEntryCommand(d.Book(), {{4, 50, 6, 51}, 0, 0}, copies, 1, true),
              CommandResult::kDone);
    EXPECT_EQ(ValueAt(d.S1().cells, 4, 50), ValueAt(ws.cells, 0, 3));
    EXPECT_EQ(ValueAt(d.S1().cells, 5, 50), "");
    ExpectUndoRedo(d, 1, one, d.Dump());

    // A container: a second one, the newest, is named.
    CUndoBook e;
    const WorkbookDump none = e.Dump();
    ASSERT_EQ(PasteEntryCommand(e.Book(), {{3, 3, 3, 3}, 0, 0}, copies, 2, true, &pasted),
              CommandResult::kDone);
    ASSERT_NE(pasted.container, nullptr);
    EXPECT_EQ(pasted.container, e.S1().firstContainer->next);
    ExpectUndoRedo(e, 1, none, e.Dump());
}

TEST(PasteEntryCommand, EveryRefusalLeavesTheBookAndHistoryAsTheyWere) {
    CUndoBook b;
    UndoHistory copies;
    copies.maximum = 10;
    const WorkbookDump before = b.Dump();
    const int32_t undo = b.Book().undo.current;
    struct Case {
        int32_t index;
        ErrorCode error;
    };
    // An empty entry, the spare slot and an index below the table.
    for (const Case& c :
         {Case{0, kErrorInvalidCacheIndex}, Case{kUndoSpareSlot, kErrorInvalidCacheIndex},
          Case{-1, kErrorInvalidCacheIndex}}) {
        b.Book().error = kErrorNone;
        EXPECT_EQ(PasteEntryCommand(b.Book(), {{0, 0, 0, 0}, 0, 0}, copies, c.index, true),
                  CommandResult::kFailed);
        EXPECT_EQ(b.Book().error, c.error) << c.index;
        EXPECT_EQ(b.Book().undo.current, undo);
        EXPECT_TRUE(SameWorkbook(before, b.Dump()));
    }
    b.Book().tree.active = nullptr;
    EXPECT_EQ(PasteEntryCommand(b.Book(), {{0, 0, 0, 0}, 0, 0}, copies, 0, true),
              CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorNoWorksheet);
}

TEST(MoveRangeCommand, MoveAndCopyBlocksAndWholeRowsUndoAndRedo) {
    struct Case {
        const char* name;
        CellRange source, drop;
        bool copy;
        int entries;
    };
    const Case cases[] = {
        {"move 2x3", {0, 2, 1, 4}, {5, 30, 6, 32}, false, 2},
        {"copy 2x3", {0, 2, 1, 4}, {5, 30, 6, 32}, true, 1},
        {"overlapping move", {0, 2, 1, 4}, {1, 3, 2, 5}, false, 2},
        {"whole rows", {0, 1, kLastColumn, 2}, {0, 40, kLastColumn, 41}, false, 2},
    };
    for (const Case& c : cases) {
        CUndoBook b;
        CWorksheet& ws = b.S1();
        const uint16_t width = c.source.c2 == kLastColumn ? 2 : c.source.c2 - c.source.c1;
        std::vector<V> moved;
        for (uint32_t r = c.source.r1; r <= c.source.r2; ++r)
            moved.push_back(Row(ws, c.source.c1, uint16_t(c.source.c1 + width), r));
        const WorkbookDump before = b.Dump();
        const int32_t undo = b.Book().undo.current;
        ASSERT_EQ(MoveRangeCommand(b.Book(), {c.source, 0, 0}, c.source, c.drop, c.copy),
                  CommandResult::kDone)
            << c.name;
        EXPECT_EQ(b.Book().undo.current, undo + c.entries) << c.name;
        EXPECT_EQ(b.Book().undo.entries[kUndoSpareSlot].kind, kUndoEmpty) << c.name;
        for (uint32_t i = 0; i < moved.size(); ++i)
            EXPECT_EQ(Row(ws, c.drop.c1, uint16_t(c.drop.c1 + width), c.drop.r1 + i), moved[i])
                << c.name;
        if (!c.copy && c.drop.r1 > c.source.r2) {
            EXPECT_EQ(Row(ws, c.source.c1, c.source.c1, c.source.r1), V{""}) << c.name;
        }
        if (c.copy) {
            EXPECT_EQ(Row(ws, c.source.c1, c.source.c1 + width, c.source.r1), moved[0]);
        }
        // A move is one edit for Undo and Redo, however many entries it keeps.
        const WorkbookDump after = b.Dump();
        ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone) << c.name;
        EXPECT_EQ(b.Book().undo.current, undo) << c.name;
        EXPECT_TRUE(SameWorkbook(before, b.Dump())) << c.name;
        ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone) << c.name;
        EXPECT_EQ(b.Book().undo.current, undo + c.entries) << c.name;
        EXPECT_TRUE(SameWorkbook(after, b.Dump())) << c.name;
        ExpectUndoRedo(b, 1, before, after);
    }
}

// A drag or a Cut then Paste takes a whole array's area or none of it, and drops onto a whole
// one or none of it; a copy may take part of one. A refusal leaves the book and the history
// as they were.
TEST(MoveRangeCommand, NoMoveTakesOrCoversPartOfAnArray) {
    struct Case {
        const char* name;
        CellRange source, drop;
        bool copy;
        bool refused;
    };
    // A1:A3 1, 2, 3; C1 spreads twice them over C1:C3.
    const Case cases[] = {
        {"elements without their anchor", {2, 1, 2, 2}, {4, 1, 4, 2}, false, true},
        {"the anchor without every element", {2, 0, 2, 1}, {4, 0, 4, 1}, false, true},
        {"the last element alone", {2, 2, 2, 2}, {4, 2, 4, 2}, false, true},
        {"dropped onto part of the area", {0, 0, 0, 1}, {2, 1, 2, 2}, false, true},
        {"copied onto part of the area", {0, 0, 0, 0}, {2, 2, 2, 2}, true, true},
        {"the whole area", {2, 0, 2, 2}, {4, 0, 4, 2}, false, false},
        {"the whole area with more", {1, 0, 2, 3}, {4, 5, 5, 8}, false, false},
        {"dropped onto the whole area", {0, 0, 0, 2}, {2, 0, 2, 2}, false, false},
        {"part of the area copied", {2, 1, 2, 1}, {4, 6, 4, 6}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool cut : {false, true}) {
            if (cut && c.copy) continue;
            SCOPED_TRACE(cut ? "Cut then Paste" : "drag");
            CUndoBook b;
            CWorksheet& ws = b.S3();
            b.Book().tree.active = &ws;
            for (uint32_t r = 0; r < 3; ++r) b.Number(ws, 0, r, double(r + 1));
            b.Formula(ws, 2, 0, "=R1C1:R3C1*2");
            RecalculateByUpdateMode(b.Book());
            ASSERT_EQ(Row(ws, 2, 2, 2), V{"6"});
            WorkbookDump before = b.Dump();
            int32_t undo = b.Book().undo.current;
            CommandResult result = CommandResult::kNothing;
            if (cut) {
                UndoHistory copies;
                copies.maximum = 10;
                RangeDescriptor range;
                MakeRangeDescriptor(c.source, &range);
                ASSERT_TRUE(
                    SnapshotRangeToUndo(b.Book(), ws, range, copies, copies.current, true, true));
                const GridSelection source{c.source, c.source.c1, c.source.r1};
                ASSERT_EQ(DeleteRangeCommand(b.Book(), source, false), CommandResult::kDone);
                PendingCut pending = MarkCut(b.Book(), copies, c.source);
                // A refused Paste leaves the cells as the Cut left them, and the Cut waiting.
                before = b.Dump();
                undo = b.Book().undo.current;
                result = PasteCutCommand(b.Book(), {c.drop, c.drop.c1, c.drop.r1}, copies,
                                         copies.current, pending);
                if (c.refused)
                    EXPECT_TRUE(CutStillPending(b.Book(), copies, copies.current, pending));
            } else {
                result = MoveRangeCommand(b.Book(), {c.source, c.source.c1, c.source.r1}, c.source,
                                          c.drop, c.copy);
            }
            RecalculateByUpdateMode(b.Book());
            if (c.refused) {
                EXPECT_EQ(result, CommandResult::kFailed);
                EXPECT_EQ(b.Book().error, kErrorArrayCut);
                EXPECT_EQ(b.Book().undo.current, undo);
                EXPECT_TRUE(SameWorkbook(before, b.Dump()));
                continue;
            }
            EXPECT_EQ(result, CommandResult::kDone);
            EXPECT_GT(b.Book().undo.current, undo);
        }
    }
    // The whole area moved spreads where it went.
    CUndoBook b;
    CWorksheet& ws = b.S3();
    b.Book().tree.active = &ws;
    for (uint32_t r = 0; r < 3; ++r) b.Number(ws, 0, r, double(r + 1));
    b.Formula(ws, 2, 0, "=R1C1:R3C1*2");
    RecalculateByUpdateMode(b.Book());
    ASSERT_EQ(MoveRangeCommand(b.Book(), {}, {2, 0, 2, 2}, {4, 0, 4, 2}, false),
              CommandResult::kDone);
    RecalculateByUpdateMode(b.Book());
    EXPECT_EQ(b.FormulaAt(ws, 4, 0), "=R1C1:R3C1*2");
    EXPECT_EQ(Row(ws, 2, 4, 2), (V{"", "", "6"}));
}

// A move takes the references to the moved cells along wherever they stand, and only those:
// another worksheet's references to its own same cells stay, as do a block's references to
// cells it does not hold.
TEST(MoveRangeCommand, OnlyReferencesToTheMovedCellsFollow) {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    CWorksheet& other = b.S1();
    b.Book().tree.active = &ws;
    b.Number(ws, 0, 0, 4);
    b.Formula(ws, 1, 0, "=RC[-1]*2");         // B1 reads A1, both moved
    b.Formula(ws, 3, 0, "=RC[-3]+1");         // D1 reads A1 from outside
    b.Formula(other, 3, 0, "=RC[-3]+1");      // S1!D1 reads its own A1
    b.Formula(other, 4, 0, "=\\S3!RC[-4]+1"); // S1!E1 reads S3!A1
    ASSERT_EQ(MoveRangeCommand(b.Book(), {{0, 0, 1, 0}, 0, 0}, {0, 0, 1, 0}, {0, 4, 1, 4}, false),
              CommandResult::kDone);
    EXPECT_EQ(b.FormulaAt(ws, 1, 4), "=RC[-1]*2");
    EXPECT_EQ(b.FormulaAt(ws, 3, 0), "=R[4]C[-3]+1");
    EXPECT_EQ(b.FormulaAt(other, 3, 0), "=RC[-3]+1");
    EXPECT_EQ(b.FormulaAt(other, 4, 0), "=\\S3!R[4]C[-4]+1");
}

// A block dropped onto part of itself rewrites the formulas it carries: D1 reading D3 moves
// two rows down with its cells and still reads the cell that held D3's value.
TEST(MoveRangeCommand, ABlockDroppedOntoItselfCarriesItsFormulas) {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    b.Book().tree.active = &ws;
    b.Formula(ws, 3, 0, "=R[2]C");
    b.Number(ws, 3, 2, 6);
    ASSERT_EQ(MoveRangeCommand(b.Book(), {{3, 0, 3, 2}, 3, 0}, {3, 0, 3, 2}, {3, 2, 3, 4}, false),
              CommandResult::kDone);
    EXPECT_EQ(b.FormulaAt(ws, 3, 2), "=R[2]C");
    EXPECT_EQ(ValueAt(ws.cells, 3, 4), "6");
    EXPECT_EQ(b.FormulaAt(ws, 3, 0), "<none>");
}

// A move keeps two entries, and goes whole at every undo level: alone in a table of one
// level it passes the maximum; as the oldest edit it gives way whole, never half.
TEST(MoveRangeCommand, AMoveIsOneEditAtEveryUndoLevel) {
    struct Case {
        uint32_t level;
        int later;         // edits after the move
        int32_t current;   // the index after them
        bool moveUndoable; // whether Undo still reaches the move
    };
    const Case cases[] = {{1, 0, 1, true}, {1, 1, 0, false}, {2, 0, 1, true},
                          {3, 1, 2, true}, {3, 2, 1, false}, {4, 2, 3, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << ", " << c.later << " later");
        CUndoBook b;
        b.Book().SetUndoLevel(c.level);
        const WorkbookDump start = b.Dump();
        ASSERT_EQ(MoveRangeCommand(b.Book(), {}, {0, 2, 1, 4}, {5, 30, 6, 32}, false),
                  CommandResult::kDone);
        const WorkbookDump moved = b.Dump();
        // Edits of one entry each.
        for (int i = 0; i < c.later; ++i)
            ASSERT_TRUE(b.Book().RecordUndoRange({8, uint32_t(40 + i), 9, uint32_t(40 + i)}, 0, 0,
                                                 true, true));
        EXPECT_EQ(b.Book().undo.current, c.current);
        // No half of an edit is left at the bottom of the table.
        EXPECT_FALSE(b.Book().undo.entries[0].joined);
        for (int i = 0; i < c.later; ++i)
            ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(moved, b.Dump()));
        if (!c.moveUndoable) {
            EXPECT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kNothing);
            EXPECT_TRUE(SameWorkbook(moved, b.Dump()));
            continue;
        }
        ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(start, b.Dump()));
        EXPECT_EQ(b.Book().undo.current, -1);
        ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(moved, b.Dump()));
    }
}

// Lowering the level keeps edits whole: the latest one alone may stay past the maximum.
TEST(MoveRangeCommand, ALowerUndoLevelKeepsTheLatestMoveWhole) {
    CUndoBook b;
    ASSERT_TRUE(b.Book().RecordUndoRange({8, 40, 9, 41}, 0, 0, true, true));
    const WorkbookDump start = b.Dump();
    ASSERT_EQ(MoveRangeCommand(b.Book(), {}, {0, 2, 1, 4}, {5, 30, 6, 32}, false),
              CommandResult::kDone);
    const WorkbookDump moved = b.Dump();
    b.Book().SetUndoLevel(1);
    EXPECT_EQ(b.Book().undo.current, 1);
    EXPECT_FALSE(b.Book().undo.entries[0].joined);
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(start, b.Dump()));
    EXPECT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kNothing);
    ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(moved, b.Dump()));
}

} // namespace vl
