// A Cut that waits for its Paste while other edits come between: rows and columns inserted
// and removed move its cells as they move the formulas reading them, an edit that takes or
// splits them ends it, edits of their contents keep it, and a refused Paste leaves it waiting.
#include "formula/edit/cellcommands.h"
#include "formula/edit/cutpaste.h"
#include "formula/edit/datacommands.h"
#include "formula/edit/deletecommand.h"
#include "formula/edit/editcommands.h"
#include "formula/edit/rangecommands.h"
#include "model/rangedescriptor.h"
#include "model/undosnapshot.h"
#include "platform/core/editerrors.h"
#include "undobook.h"

#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <random>
#include <tuple>

namespace vl {

using namespace edittest;

namespace {

// S3 of the undo book: A1 5, A2 7, C10 =A1*2 and D10 =A2+1, the Cut's copy history.
struct CutBook {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    UndoHistory copies;
    PendingCut cut;

    CutBook() {
        copies.maximum = 10;
        b.Book().tree.active = &ws;
        b.Number(ws, 0, 0, 5);
        b.Number(ws, 0, 1, 7);
        b.Formula(ws, 2, 9, "=R[-9]C[-2]*2");
        b.Formula(ws, 3, 9, "=R[-8]C[-3]+1");
        RecalculateByUpdateMode(b.Book());
    }
    // A Cut as the window makes it: the copy, the Delete, the mark.
    void Cut(const CellRange& source) {
        RangeDescriptor range;
        MakeRangeDescriptor(source, &range);
        ASSERT_TRUE(SnapshotRangeToUndo(b.Book(), ws, range, copies, copies.current, true, true));
        ASSERT_EQ(DeleteRangeCommand(b.Book(), {source, source.c1, source.r1}, false),
                  CommandResult::kDone);
        cut = MarkCut(b.Book(), copies, source);
    }
    // The Paste at (column, row): the move while the Cut waits, else a plain paste.
    CommandResult Paste(uint16_t column, uint32_t row, bool* moved = nullptr) {
        const GridSelection at{{column, row, column, row}, column, row};
        const CommandResult result = PasteCutCommand(b.Book(), at, copies, copies.current, cut);
        if (moved) *moved = result != CommandResult::kNothing;
        if (result != CommandResult::kNothing) return result;
        return PasteEntryCommand(b.Book(), at, copies, copies.current, true);
    }
    std::string Shown(uint16_t c, uint32_t r) {
        RecalculateByUpdateMode(b.Book());
        return ValueAt(ws.cells, c, r);
    }
};

CommandResult RowsOrColumns(CWorkbook& w, const std::string& edit, uint32_t at, uint32_t n) {
    const GridSelection rows{{0, at, 0, at + n - 1}, 0, at};
    const GridSelection columns{{uint16_t(at), 0, uint16_t(at + n - 1), 0}, uint16_t(at), 0};
    if (edit == "insrows") return InsertRowsCommand(w, rows);
    if (edit == "delrows") return RemoveRowsCommand(w, rows);
    if (edit == "inscols") return InsertColumnsCommand(w, columns);
    return RemoveColumnsCommand(w, columns);
}

// The worksheet's cells as "column,row text" lines, for a failure's message.
std::string Cells(const CWorksheet& ws) {
    std::string out;
    CellCursor cursor{kAdvance, ws.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        out += std::to_string(cell::Column(r)) + "," + std::to_string(cell::Row(r)) + " ";
        if (cell::IsFormula(r)) out += std::string(cell::Formula(r)) + " ";
        out += ValueAt(ws.cells, cell::Column(r), cell::Row(r)) + "\n";
    }
    return out;
}

struct Place {
    uint16_t c;
    uint32_t r;
};

// "C11" as a place.
Place At(const char* a1) {
    return {uint16_t(a1[0] - 'A'), uint32_t(std::atoi(a1 + 1) - 1)};
}

} // namespace

// Rows and columns inserted or removed between the Cut of A2 and its Paste at E5: the cut
// cell's reader follows it to E5 and shows 8, the reader of A1 keeps reading A1's 5 (10); a
// removal that takes the cut cell, or an insertion between cut cells, ends the Cut, and the
// Paste is a plain paste whose cells no formula reads.
TEST(PasteCutCommand, AWaitingCutFollowsRowsAndColumnsInsertedAndRemoved) {
    struct Case {
        const char* name;
        bool twoRows; // A1:A2 cut, else A2
        const char* edit;
        uint32_t at, count;
        bool moves;
        const char *readerOfA1, *shownA1, *readerOfCut, *formula, *shown;
    };
    const Case cases[] = {
        {"a row inserted above", false, "insrows", 0, 1, true, "C11", "10", "D11", "=R[-6]C[1]+1",
         "8"},
        {"rows inserted at the cut row", false, "insrows", 1, 3, true, "C13", "10", "D13",
         "=R[-8]C[1]+1", "8"},
        {"a row inserted below", false, "insrows", 2, 1, true, "C11", "10", "D11", "=R[-6]C[1]+1",
         "8"},
        {"a row removed above", false, "delrows", 0, 1, true, "C9", "#REF!", "D9", "=R[-4]C[1]+1",
         "8"},
        {"a row removed below", false, "delrows", 2, 1, true, "C9", "10", "D9", "=R[-4]C[1]+1",
         "8"},
        {"the cut row removed", false, "delrows", 1, 1, false, "C9", "10", "D9", "", "#REF!"},
        {"a column inserted before", false, "inscols", 0, 1, true, "D10", "10", "E10", "=R[-5]C+1",
         "8"},
        {"columns inserted after", false, "inscols", 1, 2, true, "E10", "10", "F10",
         "=R[-5]C[-1]+1", "8"},
        {"a column removed after", false, "delcols", 1, 1, true, "B10", "10", "C10", "=R[-5]C[2]+1",
         "8"},
        {"the cut column removed", false, "delcols", 0, 1, false, "B10", "#REF!", "C10", "",
         "#REF!"},
        // A1:A2 cut: a row between them would make the block move in two pieces.
        {"a row inserted between cut rows", true, "insrows", 1, 1, false, "C11", "0", "D11", "",
         "1"},
        {"one of the cut rows removed", true, "delrows", 0, 1, false, "C9", "#REF!", "D9", "", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CutBook k;
        k.Cut(c.twoRows ? CellRange{0, 0, 0, 1} : CellRange{0, 1, 0, 1});
        ASSERT_EQ(RowsOrColumns(k.b.Book(), c.edit, c.at, c.count), CommandResult::kDone);
        const WorkbookDump before = k.b.Dump();
        bool moved = false;
        ASSERT_EQ(k.Paste(4, 4, &moved), CommandResult::kDone);
        EXPECT_EQ(moved, c.moves);
        EXPECT_EQ(k.Shown(4, 4), c.twoRows ? "5" : "7");
        const Place a1 = At(c.readerOfA1), cut = At(c.readerOfCut);
        EXPECT_EQ(k.Shown(a1.c, a1.r), c.shownA1);
        EXPECT_EQ(k.Shown(cut.c, cut.r), c.shown);
        if (c.moves) {
            EXPECT_EQ(k.b.FormulaAt(k.ws, cut.c, cut.r), c.formula);
        }
        if (HasFailure()) std::cout << Cells(k.ws);
        const WorkbookDump after = k.b.Dump();
        // The Paste is one step: Undo gives the state before it, Redo the state after.
        ASSERT_EQ(UndoCommand(k.b.Book(), nullptr), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(before, k.b.Dump()));
        ASSERT_EQ(RedoCommand(k.b.Book(), nullptr), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(after, k.b.Dump()));
    }
}

// The place moves with the edit's Undo and Redo too: rows inserted and undone before the
// Paste leave the Cut on A2, redone on A3.
TEST(PasteCutCommand, AnUndoneInsertionTakesTheWaitingCutBack) {
    for (const bool redo : {false, true}) {
        SCOPED_TRACE(redo ? "undone and redone" : "undone");
        CutBook k;
        k.Cut({0, 1, 0, 1});
        ASSERT_EQ(RowsOrColumns(k.b.Book(), "insrows", 0, 1), CommandResult::kDone);
        ASSERT_EQ(UndoCommand(k.b.Book(), nullptr), CommandResult::kDone);
        if (redo) {
            ASSERT_EQ(RedoCommand(k.b.Book(), nullptr), CommandResult::kDone);
        }
        ASSERT_EQ(k.Paste(4, 4), CommandResult::kDone);
        const uint32_t row = redo ? 10 : 9;
        EXPECT_EQ(k.Shown(2, row), "10");
        EXPECT_EQ(k.Shown(3, row), "8");
        EXPECT_EQ(k.b.FormulaAt(k.ws, 3, row), redo ? "=R[-6]C[1]+1" : "=R[-5]C[1]+1");
    }
}

// A waiting Cut of the sheet's last row: a row inserted above would push it off the sheet, so
// the insertion ends the Cut and the Paste copies; one row higher it moves down to the last
// row, and the reader of its cell (a formula reading the last row could not let the row in)
// follows it from there to E5.
TEST(PasteCutCommand, ACutPushedOffTheSheetEnds) {
    for (const uint32_t row : {kLastRow, kLastRow - 1}) {
        SCOPED_TRACE(row);
        CutBook k;
        k.b.Number(k.ws, 0, row, 3);
        if (row < kLastRow) k.b.Formula(k.ws, 5, 0, "=R" + std::to_string(row + 1) + "C1+1");
        k.Cut({0, row, 0, row});
        ASSERT_EQ(RowsOrColumns(k.b.Book(), "insrows", 0, 1), CommandResult::kDone);
        bool moved = false;
        ASSERT_EQ(k.Paste(4, 4, &moved), CommandResult::kDone);
        EXPECT_EQ(moved, row < kLastRow);
        EXPECT_EQ(k.Shown(4, 4), "3");
        if (row < kLastRow) {
            EXPECT_EQ(k.b.FormulaAt(k.ws, 5, 1), "=R5C5+1");
            EXPECT_EQ(k.Shown(5, 1), "4");
        }
    }
}

// Edits of the cut cells' contents keep the Cut on its place: the Paste takes what was cut
// to E5, the cell's reader follows, and what the edit wrote stays where it wrote it (as a
// number typed there stays). A turn of a block that holds the cut cell takes the Cut along
// with its reader; a turn of part of a cut block ends it.
TEST(PasteCutCommand, EditsOverTheCutCellsKeepOrMoveTheCut) {
    struct Case {
        const char* name;
        CellRange cut;
        std::function<CommandResult(CutBook&)> edit;
        bool moves;
        Place left;
        std::string leftShown; // what the edit left on the cut place
    };
    const auto type = [](CutBook& k, const CellRange& r, const char* text) {
        return StoreTextInRangeCommand(k.b.Book(), *EditContext(k.b.Book()), {r, r.c1, r.r1}, text,
                                       false);
    };
    const Case cases[] = {
        {"typed over",
         {0, 1, 0, 1},
         [&](CutBook& k) {
             return type(k, {0, 1, 0, 1}, "9");
         },
         true,
         {0, 1},
         "9"},
        {"a series filled over",
         {0, 1, 0, 1},
         [&](CutBook& k) {
             return FillSeriesCommand(k.b.Book(), *EditContext(k.b.Book()), {{0, 0, 0, 3}, 0, 0});
         },
         true,
         {0, 1},
         "6"},
        {"sorted over",
         {0, 1, 0, 1},
         [&](CutBook& k) {
             const uint16_t key = 0;
             const uint8_t ascending = 1;
             EXPECT_EQ(type(k, {0, 2, 0, 2}, "9"), CommandResult::kDone);
             return SortSelection(k.b.Book(), {{0, 0, 0, 2}, 0, 0}, 1, &key, &ascending);
         },
         true,
         {0, 1},
         "9"},
        {"replaced over",
         {0, 1, 0, 1},
         [&](CutBook& k) {
             EXPECT_EQ(type(k, {0, 1, 0, 1}, "17"), CommandResult::kDone);
             return ReplaceCommand(k.b.Book(), {{0, 0, 0, 3}, 0, 0}, "7", "3", {}, false);
         },
         true,
         {0, 1},
         "13"},
        {"turned with its block",
         {0, 1, 0, 1},
         [](CutBook& k) {
             return TransposeCommand(k.b.Book(), {{0, 0, 1, 1}, 0, 0});
         },
         true,
         {1, 0},
         ""},
        {"half of a cut block turned",
         {0, 1, 1, 1},
         [](CutBook& k) {
             return TransposeCommand(k.b.Book(), {{1, 0, 1, 1}, 1, 0});
         },
         false,
         {0, 1},
         ""},
        {"dragged with its block",
         {0, 1, 0, 1},
         [](CutBook& k) {
             return MoveRangeCommand(k.b.Book(), {}, {0, 0, 0, 1}, {1, 5, 1, 6}, false);
         },
         true,
         {1, 6},
         ""},
        {"half of a cut block dragged",
         {0, 1, 1, 1},
         [](CutBook& k) {
             return MoveRangeCommand(k.b.Book(), {}, {1, 0, 1, 1}, {7, 0, 7, 1}, false);
         },
         false,
         {0, 1},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CutBook k;
        k.Cut(c.cut);
        ASSERT_EQ(c.edit(k), CommandResult::kDone);
        bool moved = false;
        ASSERT_EQ(k.Paste(4, 4, &moved), CommandResult::kDone);
        EXPECT_EQ(moved, c.moves);
        EXPECT_EQ(k.Shown(4, 4), "7");
        EXPECT_EQ(k.Shown(c.left.c, c.left.r), c.leftShown);
        EXPECT_EQ(k.Shown(2, 9), "10");
        if (c.moves) {
            EXPECT_EQ(k.Shown(3, 9), "8");
        }
    }
}

// A Paste refused where the block would cut through an array (N1:N3) changes nothing, right
// after the Cut and with an edit between: the cells stay as the Cut left them, the history
// keeps the Cut's step, and the next Paste elsewhere moves the block with its readers.
TEST(PasteCutCommand, ARefusedPasteLeavesTheCutWaiting) {
    for (const bool between : {false, true}) {
        SCOPED_TRACE(between ? "an edit between" : "right after the Cut");
        CutBook k;
        k.b.Formula(k.ws, 13, 0, "={1;2;3}");
        RecalculateByUpdateMode(k.b.Book());
        k.Cut({0, 0, 0, 1});
        if (between) {
            ASSERT_EQ(StoreTextInRangeCommand(k.b.Book(), *EditContext(k.b.Book()),
                                              {{5, 0, 5, 0}, 5, 0}, "1", false),
                      CommandResult::kDone);
        }
        const WorkbookDump waiting = k.b.Dump();
        const int32_t undo = k.b.Book().undo.current;
        ASSERT_EQ(k.Paste(13, 1), CommandResult::kFailed);
        EXPECT_EQ(k.b.Book().error, kErrorArrayCut);
        EXPECT_TRUE(SameWorkbook(waiting, k.b.Dump()));
        EXPECT_EQ(k.b.Book().undo.current, undo);
        EXPECT_EQ(k.Shown(2, 9), "0");
        EXPECT_TRUE(CutStillPending(k.b.Book(), k.copies, k.copies.current, k.cut));
        bool moved = false;
        ASSERT_EQ(k.Paste(4, 4, &moved), CommandResult::kDone);
        EXPECT_TRUE(moved);
        EXPECT_EQ(k.Shown(4, 5), "7");
        EXPECT_EQ(k.Shown(2, 9), "10");
        EXPECT_EQ(k.Shown(3, 9), "8");
        EXPECT_EQ(k.b.FormulaAt(k.ws, 3, 9), "=R[-4]C[1]+1");
        // Undo steps back over the Paste, the edit between and the Cut; right after the Cut
        // the move and the Cut are one step.
        ASSERT_EQ(UndoCommand(k.b.Book(), nullptr), CommandResult::kDone);
        if (between) {
            EXPECT_TRUE(SameWorkbook(waiting, k.b.Dump()));
            ASSERT_EQ(UndoCommand(k.b.Book(), nullptr), CommandResult::kDone);
            ASSERT_EQ(UndoCommand(k.b.Book(), nullptr), CommandResult::kDone);
        }
        EXPECT_EQ(k.Shown(0, 1), "7");
        EXPECT_EQ(k.Shown(3, 9), "8");
        EXPECT_EQ(k.b.FormulaAt(k.ws, 3, 9), "=R[-8]C[-3]+1");
        EXPECT_EQ(k.b.Book().undo.current, undo - (between ? 2 : 1));
    }
}

namespace {

// Where a cut block stands after rows (columns) `at`..`at + count - 1` were inserted or
// removed: false when the edit took any of its cells or came between them.
bool Followed(CellRange& r, const std::string& edit, uint32_t at, uint32_t count) {
    const bool rows = edit == "insrows" || edit == "delrows";
    const bool insert = edit == "insrows" || edit == "inscols";
    int64_t lo = rows ? r.r1 : r.c1, hi = rows ? r.r2 : r.c2;
    if (hi >= at) {
        if (insert && lo < int64_t(at)) return false;
        if (!insert && lo < int64_t(at + count)) return false;
        lo += insert ? count : -int64_t(count);
        hi += insert ? count : -int64_t(count);
    }
    if (rows)
        r.r1 = uint32_t(lo), r.r2 = uint32_t(hi);
    else
        r.c1 = uint16_t(lo), r.c2 = uint16_t(hi);
    return true;
}

// The formulas of the worksheet outside `skip`, by place.
std::map<std::pair<uint32_t, uint16_t>, std::string> FormulasOutside(const CWorksheet& ws,
                                                                     const CellRange& skip) {
    std::map<std::pair<uint32_t, uint16_t>, std::string> out;
    CellCursor cursor{kAdvance, ws.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor))
        if (cell::IsFormula(r) && !RangeContains(skip, cell::Column(r), cell::Row(r)))
            out[{cell::Row(r), cell::Column(r)}] = std::string(cell::Formula(r));
    return out;
}

} // namespace

// Rows and columns inserted and removed at random over and around a waiting Cut of a block
// that formulas inside and outside it read (cells and ranges): the Paste leaves the workbook
// that the same edit made first, then a Cut of the block where the edit moved it, leaves (a
// move as a drag makes it); when the edit took or split the block, the Paste is a plain one
// that no formula outside it reads. A Paste refused on an array before or after the edit
// changes nothing; Undo and Redo of the Paste give back the states before and after it.
TEST(PasteCutCommand, RandomEditsWhileACutWaitsLeaveWhatTheEditMadeFirstLeaves) {
    std::mt19937 rng(118);
    const auto draw = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    const char* const kinds[] = {"insrows", "delrows", "inscols", "delcols"};
    int moved = 0, ended = 0, refused = 0;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // A1:F8 holds numbers and formulas reading cells and ranges of it; N1:N3 an array.
        const CellRange source{uint16_t(draw(0, 4)), uint32_t(draw(0, 6)), 0, 0};
        const CellRange cut{source.c1, source.r1, uint16_t(source.c1 + draw(0, 1)),
                            source.r1 + draw(0, 1)};
        std::vector<std::tuple<uint16_t, uint32_t, std::string>> typed;
        for (uint16_t c = 0; c < 6; ++c)
            for (uint32_t r = 0; r < 8; ++r) {
                // The cut cells hold numbers: the copy keeps formulas as they were cut.
                const int kind = RangeContains(cut, c, r) ? draw(0, 3) : draw(0, 9);
                const int tc = draw(0, 5), tr = draw(0, 7), tc2 = draw(tc, 5), tr2 = draw(tr, 7);
                const auto rel = [&](int to, int from, char axis) {
                    return to == from
                               ? std::string(1, axis)
                               : std::string(1, axis) + "[" + std::to_string(to - from) + "]";
                };
                if (kind < 4)
                    typed.emplace_back(c, r, std::to_string(draw(1, 99)));
                else if (kind < 7)
                    typed.emplace_back(c, r, "=" + rel(tr, r, 'R') + rel(tc, c, 'C') + "+1");
                else if (kind < 8)
                    typed.emplace_back(c, r,
                                       "=SUM(" + rel(tr, r, 'R') + rel(tc, c, 'C') + ":" +
                                           rel(tr2, r, 'R') + rel(tc2, c, 'C') + ")");
            }
        const std::string edit = kinds[draw(0, 3)];
        const uint32_t at = uint32_t(draw(0, 8)), count = uint32_t(draw(1, 2));
        const int refuse = draw(0, 2); // 0 none, 1 before the edit, 2 after it
        const uint16_t dc = uint16_t(draw(8, 9));
        const uint32_t dr = uint32_t(draw(12, 14));
        CutBook first, made;
        for (CutBook* k : {&first, &made}) {
            ClearRect(k->ws.cells, {0, 0, 10, 12}, nullptr, true);
            for (const auto& [c, r, text] : typed)
                if (text[0] == '=')
                    k->b.Formula(k->ws, c, r, text);
                else
                    k->b.Number(k->ws, c, r, std::stod(text));
            k->b.Formula(k->ws, 13, 0, "={1;2;3}");
            RecalculateByUpdateMode(k->b.Book());
        }
        const auto refusedPaste = [&](CutBook& k, uint16_t arrayColumn, uint32_t arrayRow) {
            const WorkbookDump before = k.b.Dump();
            EXPECT_EQ(k.Paste(arrayColumn, arrayRow + 1), CommandResult::kFailed)
                << edit << " " << at << "+" << count << " refused " << refuse << "\n"
                << Cells(k.ws);
            EXPECT_TRUE(SameWorkbook(before, k.b.Dump()));
            ++refused;
        };
        // The Cut waits while the edit is made.
        first.Cut(cut);
        if (refuse == 1) refusedPaste(first, 13, 0);
        if (RowsOrColumns(first.b.Book(), edit, at, count) != CommandResult::kDone) continue;
        // The array stands in N1, or where the rows and columns inserted or removed moved it.
        const int shift = edit == "inscols" ? int(count) : edit == "delcols" ? -int(count) : 0;
        const uint32_t down = edit == "insrows" && at == 0 ? count : 0;
        // Rows removed from the first take the array with them; an ended Cut pastes plainly.
        CellRange followed = cut;
        const bool follows = Followed(followed, edit, at, count);
        if (refuse == 2 && follows && !(edit == "delrows" && at == 0))
            refusedPaste(first, uint16_t(13 + shift), down);
        const WorkbookDump before = first.b.Dump();
        const auto readers = FormulasOutside(first.ws, {dc, dr, uint16_t(dc + 1), dr + 1});
        bool wasMove = false;
        ASSERT_EQ(first.Paste(dc, dr, &wasMove), CommandResult::kDone);
        RecalculateByUpdateMode(first.b.Book());
        const WorkbookDump after = first.b.Dump();
        // The edit first, then the Cut of the block where it went and its Paste.
        ASSERT_EQ(RowsOrColumns(made.b.Book(), edit, at, count), CommandResult::kDone);
        EXPECT_EQ(wasMove, follows);
        if (follows) {
            ++moved;
            made.Cut(followed);
            ASSERT_EQ(made.Paste(dc, dr), CommandResult::kDone);
            RecalculateByUpdateMode(made.b.Book());
            EXPECT_TRUE(SameWorkbook(made.b.Dump(), after))
                << edit << " " << at << "+" << count << "\nmade first:\n"
                << Cells(made.ws) << "cut first:\n"
                << Cells(first.ws);
        } else {
            ++ended;
            EXPECT_EQ(FormulasOutside(first.ws, {dc, dr, uint16_t(dc + 1), dr + 1}), readers);
        }
        ASSERT_EQ(UndoCommand(first.b.Book(), nullptr), CommandResult::kDone);
        RecalculateByUpdateMode(first.b.Book());
        EXPECT_TRUE(SameWorkbook(before, first.b.Dump()));
        ASSERT_EQ(RedoCommand(first.b.Book(), nullptr), CommandResult::kDone);
        RecalculateByUpdateMode(first.b.Book());
        EXPECT_TRUE(SameWorkbook(after, first.b.Dump()));
        if (HasFailure()) break;
    }
    std::cout << "[cut waits] moved " << moved << ", ended " << ended << ", refused Pastes "
              << refused << "\n";
    EXPECT_GT(moved, 100);
    EXPECT_GT(ended, 30);
}

} // namespace vl
