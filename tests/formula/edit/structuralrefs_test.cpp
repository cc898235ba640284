#include "edittestutil.h"
#include "formula/edit/editcommands.h"
#include "formula/edit/rangecommands.h"
#include "formula/edit/treecommands.h"
#include "formula/recalc.h"
#include "formula/translate.h"
#include "model/container.h"
#include "model/inspectedcell.h"
#include "model/worksheettree.h"
#include "platform/core/alloc.h"
#include "tests/model/newhook.h"
#include "workbookdump.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

namespace {

// Sa, folder F with Sb, Sc (names that are no A1 cells); cells typed in A1 notation as a user types
// them.
class CRefsBook {
public:
    CRefsBook() : book_(CreateWorkbook()) {
        book_->SetUndoLevel(200);
        book_->updateMode = kUpdateWorkbook;
        Add(TREE_TYPE_WORKSHEET, "Sa", 1);
        Add(TREE_TYPE_FOLDER, "F", 1);
        Add(TREE_TYPE_WORKSHEET, "Sb", 2);
        Add(TREE_TYPE_WORKSHEET, "Sc", 1);
        book_->tree.active = Sheet("Sa");
    }
    CWorkbook& Book() { return *book_; }
    void Append(uint8_t type, const char* name, uint16_t level) { Add(type, name, level); }
    CWorksheet* Sheet(std::string_view name) { return AsWorksheet(Item(name)); }
    CTreeItem* Item(std::string_view name) {
        for (CTreeItem* p = book_->tree.first; p; p = p->next)
            if (name == p->name) return p;
        return nullptr;
    }
    // "Sa!A5" and what is typed there.
    void Type(std::string_view where, std::string_view typed) {
        const size_t bang = where.find('!');
        CWorksheet* ws = Sheet(where.substr(0, bang));
        ASSERT_NE(ws, nullptr) << where;
        const test::Place p = test::At(where.substr(bang + 1));
        std::string text(typed);
        if (text[0] == '=') {
            static const SeparatorSet internal = InternalSeparators();
            ASSERT_TRUE(TranslateFormula(Ctx(), text, p.column, p.row, true, {&internal, true}));
            CellBuffer b;
            ASSERT_TRUE(MakeFormulaCell(b, p.column, p.row, FormulaHead{}, text));
            PutRecord(ws->cells, b);
        } else {
            PutValue(ws->cells, p.column, p.row, text);
        }
    }
    // The cell as the user sees it: "=E2/E$18 -> 0.5", or the value. This test binary has no
    // functions bound: an expected "-> *" compares the formula alone.
    std::string Shown(std::string_view where) {
        const size_t bang = where.find('!');
        CWorksheet* ws = Sheet(where.substr(0, bang));
        if (!ws) return "<no worksheet>";
        const test::Place p = test::At(where.substr(bang + 1));
        const uint8_t* r = FindCell(ws->cells, p.row, p.column);
        if (!r || !cell::IsFormula(r)) return ValueAt(ws->cells, p.column, p.row);
        std::string text(cell::Formula(r));
        static const SeparatorSet internal = InternalSeparators();
        TranslateFormula(Ctx(), text, p.column, p.row, false, {&internal, true});
        return text + " -> " + test::ShownRecord(r);
    }
    void Recalc() { ASSERT_TRUE(RecalculateWorkbook(*book_, Ctx(), nullptr)); }
    WorkbookDump Dump() const { return DumpWorkbook(*book_); }

private:
    CEvalContext& Ctx() { return *EditContext(*book_); }
    void Add(uint8_t type, const char* name, uint16_t level) {
        book_->AppendTreeItem(type, name, level);
    }
    std::unique_ptr<CWorkbook> book_;
};

struct Cell {
    const char* where;
    const char* shown;
};

void ExpectShown(CRefsBook& b, const Cell& c, const char* when) {
    std::string shown = b.Shown(c.where);
    const std::string wanted = c.shown;
    if (wanted.size() > 5 && wanted.substr(wanted.size() - 5) == " -> *")
        shown = shown.substr(0, shown.find(" -> ")) + " -> *";
    EXPECT_EQ(shown, wanted) << when << ", " << c.where;
}

// Typed cells, then every cell as it must show after the edit, after its undo (as before),
// and after its redo.
void ExpectEdit(CRefsBook& b, const std::vector<Cell>& before, const std::vector<Cell>& after,
                const std::function<CommandResult()>& edit, int steps = 1) {
    b.Recalc();
    for (const Cell& c : before) ExpectShown(b, c, "before");
    const WorkbookDump start = b.Dump();
    ASSERT_EQ(edit(), CommandResult::kDone);
    b.Recalc();
    for (const Cell& c : after) ExpectShown(b, c, "after");
    const WorkbookDump end = b.Dump();
    for (int i = 0; i < steps; ++i) ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    b.Recalc();
    EXPECT_TRUE(SameWorkbook(start, b.Dump())) << "undone";
    for (const Cell& c : before) ExpectShown(b, c, "undone");
    for (int i = 0; i < steps; ++i) ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
    b.Recalc();
    EXPECT_TRUE(SameWorkbook(end, b.Dump())) << "redone";
    for (const Cell& c : after) ExpectShown(b, c, "redone");
}

GridSelection Rows(uint32_t first, uint32_t last) {
    return {{0, first, 0, last}, 0, first};
}
GridSelection Columns(uint16_t first, uint16_t last) {
    return {{first, 0, last, 0}, first, 0};
}

// The budget of the cases below: Sa holds values, the other worksheets read it.
void TypeBudget(CRefsBook& b) {
    b.Type("Sa!A5", "55");
    b.Type("Sa!E2", "50");
    b.Type("Sa!E17", "100");
    b.Type("Sa!B1", "=\\Sa!A5");
    b.Type("Sb!A1", "=\\Sa!A5");
    b.Type("Sc!A1", "=Sa!A5");
    b.Type("Sa!F2", "=E2/E$17");
    b.Type("Sa!G1", "=SUM($E$2:$E$16)");
    b.Type("Sb!B1", "=\\Sa!$E17+\\Sa!E$17+\\Sa!$E$17");
    b.Type("Sc!B1", "=SUM(\\Sa!E2:E17)");
    b.Type("Sc!C1", "=SUM('\\F'!A1:A2)");
    b.Type("Sa!A20", "=\\Sc!A1+Sc!A2");
}

} // namespace

TEST(StructuralReferences, RowsAndColumnsOfOneWorksheetMoveEveryReferenceToIt) {
    struct Case {
        const char* name;
        std::function<CommandResult(CWorkbook&)> edit;
        std::vector<Cell> after;
    };
    const std::vector<Cell> before = {
        {"Sa!B1", "=\\Sa!A5 -> 55"},         {"Sb!A1", "=\\Sa!A5 -> 55"},
        {"Sc!A1", "=Sa!A5 -> 55"},           {"Sa!F2", "=E2/E$17 -> 0.5"},
        {"Sa!G1", "=SUM($E$2:$E$16) -> *"},  {"Sb!B1", "=\\Sa!$E17+\\Sa!E$17+\\Sa!$E$17 -> 300"},
        {"Sc!B1", "=SUM(\\Sa!E2:E17) -> *"}, {"Sc!C1", "=SUM(\"\\F\"!A1:A2) -> *"},
        {"Sa!A20", "=\\Sc!A1+Sc!A2 -> 55"},
    };
    const Case cases[] = {
        {"rows 2-3 inserted above every target",
         [](CWorkbook& w) { return InsertRowsCommand(w, Rows(1, 2)); },
         {{"Sa!B1", "=\\Sa!A7 -> 55"},
          {"Sb!A1", "=\\Sa!A7 -> 55"},
          {"Sc!A1", "=Sa!A7 -> 55"},
          {"Sa!F4", "=E4/E$19 -> 0.5"},
          {"Sa!G1", "=SUM($E$4:$E$18) -> *"},
          {"Sb!B1", "=\\Sa!$E19+\\Sa!E$19+\\Sa!$E$19 -> 300"},
          {"Sc!B1", "=SUM(\\Sa!E4:E19) -> *"},
          {"Sc!C1", "=SUM(\"\\F\"!A1:A2) -> *"},
          {"Sa!A22", "=\\Sc!A1+Sc!A2 -> 55"}}},
        {"rows 2-3 removed",
         [](CWorkbook& w) { return RemoveRowsCommand(w, Rows(1, 2)); },
         {{"Sa!B1", "=\\Sa!A3 -> 55"},
          {"Sb!A1", "=\\Sa!A3 -> 55"},
          {"Sc!A1", "=Sa!A3 -> 55"},
          {"Sb!B1", "=\\Sa!$E15+\\Sa!E$15+\\Sa!$E$15 -> 300"},
          {"Sa!A18", "=\\Sc!A1+Sc!A2 -> 55"}}},
        {"a row inserted inside the ranges, below E2, above E17",
         [](CWorkbook& w) { return InsertRowsCommand(w, Rows(9, 9)); },
         {{"Sa!B1", "=\\Sa!A5 -> 55"},
          {"Sb!A1", "=\\Sa!A5 -> 55"},
          {"Sa!F2", "=E2/E$18 -> 0.5"},
          {"Sa!G1", "=SUM($E$2:$E$17) -> *"},
          {"Sb!B1", "=\\Sa!$E18+\\Sa!E$18+\\Sa!$E$18 -> 300"},
          {"Sc!B1", "=SUM(\\Sa!E2:E18) -> *"},
          {"Sa!A21", "=\\Sc!A1+Sc!A2 -> 55"}}},
        {"rows below every target inserted change nothing but the moved reader",
         [](CWorkbook& w) { return InsertRowsCommand(w, Rows(17, 18)); },
         {{"Sb!B1", "=\\Sa!$E17+\\Sa!E$17+\\Sa!$E$17 -> 300"},
          {"Sa!G1", "=SUM($E$2:$E$16) -> *"},
          {"Sa!A22", "=\\Sc!A1+Sc!A2 -> 55"}}},
        {"rows 6-16 removed: the range shrinks to what is left",
         [](CWorkbook& w) { return RemoveRowsCommand(w, Rows(5, 15)); },
         {{"Sa!F2", "=E2/E$6 -> 0.5"},
          {"Sa!G1", "=SUM($E$2:$E$5) -> *"},
          {"Sc!B1", "=SUM(\\Sa!E2:E6) -> *"},
          {"Sb!B1", "=\\Sa!$E6+\\Sa!E$6+\\Sa!$E$6 -> 300"}}},
        {"columns C-D inserted: absolute columns move too",
         [](CWorkbook& w) { return InsertColumnsCommand(w, Columns(2, 3)); },
         {{"Sa!B1", "=\\Sa!A5 -> 55"},
          {"Sa!H2", "=G2/G$17 -> 0.5"},
          {"Sa!I1", "=SUM($G$2:$G$16) -> *"},
          {"Sb!B1", "=\\Sa!$G17+\\Sa!G$17+\\Sa!$G$17 -> 300"},
          {"Sc!B1", "=SUM(\\Sa!G2:G17) -> *"},
          {"Sc!C1", "=SUM(\"\\F\"!A1:A2) -> *"}}},
        {"column B removed",
         [](CWorkbook& w) { return RemoveColumnsCommand(w, Columns(1, 1)); },
         {{"Sa!A5", "55"},
          {"Sa!E2", "=D2/D$17 -> 0.5"},
          {"Sa!F1", "=SUM($D$2:$D$16) -> *"},
          {"Sb!B1", "=\\Sa!$D17+\\Sa!D$17+\\Sa!$D$17 -> 300"},
          {"Sb!A1", "=\\Sa!A5 -> 55"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRefsBook b;
        TypeBudget(b);
        ExpectEdit(b, before, c.after, [&] { return c.edit(b.Book()); });
    }
}

// A block dragged by its border takes every reference to its cells with it, from every
// worksheet; its own formulas keep reading what they read outside it; a range only partly
// inside keeps its cells, and a reader of a cell the block is dropped on keeps naming it.
TEST(StructuralReferences, ADragMoveTakesEveryReferenceToTheMovedCellsWithIt) {
    struct Case {
        const char* name;
        CellRange from, to;
        std::vector<Cell> after;
        std::vector<Cell> typed = {}; // besides the budget
    };
    const std::vector<Cell> before = {
        {"Sa!B1", "=\\Sa!A5 -> 55"},         {"Sb!A1", "=\\Sa!A5 -> 55"},
        {"Sc!A1", "=Sa!A5 -> 55"},           {"Sa!F2", "=E2/E$17 -> 0.5"},
        {"Sa!G1", "=SUM($E$2:$E$16) -> *"},  {"Sb!B1", "=\\Sa!$E17+\\Sa!E$17+\\Sa!$E$17 -> 300"},
        {"Sc!B1", "=SUM(\\Sa!E2:E17) -> *"}, {"Sa!A20", "=\\Sc!A1+Sc!A2 -> 55"},
    };
    const Case cases[] = {
        {"a cell moved: its readers on every worksheet follow",
         {0, 4, 0, 4},
         {2, 8, 2, 8},
         {{"Sa!B1", "=\\Sa!C9 -> 55"}, {"Sb!A1", "=\\Sa!C9 -> 55"}, {"Sc!A1", "=Sa!C9 -> 55"}}},
        {"another worksheet's same cell stays where it is, and so do its readers",
         {0, 4, 0, 4},
         {2, 8, 2, 8},
         {{"Sc!D1", "=A5 -> 7"}, {"Sa!D1", "=\\Sc!A5 -> 7"}, {"Sc!A5", "7"}},
         {{"Sc!A5", "7"}, {"Sc!D1", "=A5"}, {"Sa!D1", "=\\Sc!A5"}}},
        {"a block dragged onto part of itself: its formulas and readers follow",
         {4, 1, 5, 2},
         {4, 2, 5, 3},
         {{"Sa!F2", ""},
          {"Sa!F3", "=E3/E$17 -> 0.5"},
          {"Sa!F4", "=$E$3*2 -> 100"},
          {"Sa!H1", "=F4+E3 -> 150"},
          {"Sa!G1", "=SUM($E$2:$E$16) -> *"}},
         {{"Sa!F3", "=$E$2*2"}, {"Sa!H1", "=F3+E2"}}},
        {"a formula moved with the cell it reads keeps it; a range partly inside stays",
         {4, 1, 5, 1},
         {7, 29, 8, 29},
         {{"Sa!I30", "=H30/E$17 -> 0.5"},
          {"Sa!G1", "=SUM($E$2:$E$16) -> *"},
          {"Sc!B1", "=SUM(\\Sa!E2:E17) -> *"}}},
        {"ranges wholly inside move, absolute parts too",
         {4, 1, 4, 16},
         {3, 1, 3, 16},
         {{"Sa!G1", "=SUM($D$2:$D$16) -> *"},
          {"Sc!B1", "=SUM(\\Sa!D2:D17) -> *"},
          {"Sb!B1", "=\\Sa!$D17+\\Sa!D$17+\\Sa!$D$17 -> 300"},
          {"Sa!F2", "=D2/D$17 -> 0.5"}}},
        {"a cell dropped on a read cell: its reader keeps naming that cell",
         {4, 16, 4, 16},
         {0, 4, 0, 4},
         {{"Sb!A1", "=\\Sa!A5 -> 100"},
          {"Sb!B1", "=\\Sa!$A5+\\Sa!A$5+\\Sa!$A$5 -> 300"},
          {"Sa!F2", "=E2/A$5 -> 0.5"}}},
        {"a formula dropped on a formula reads what it read",
         {0, 19, 0, 19},
         {1, 0, 1, 0},
         {{"Sa!B1", "=\\Sc!A1+Sc!A2 -> 55"}, {"Sb!A1", "=\\Sa!A5 -> 55"}}},
        {"whole rows moved down",
         {0, 0, kLastColumn, 4},
         {0, 30, kLastColumn, 34},
         {{"Sb!A1", "=\\Sa!A35 -> 55"},
          {"Sa!B31", "=\\Sa!A35 -> 55"},
          {"Sa!F32", "=E32/E$17 -> 0.5"},
          {"Sa!G31", "=SUM($E$2:$E$16) -> *"},
          {"Sc!B1", "=SUM(\\Sa!E2:E17) -> *"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRefsBook b;
        TypeBudget(b);
        for (const Cell& t : c.typed) b.Type(t.where, t.shown);
        ExpectEdit(b, before, c.after, [&] {
            return MoveRangeCommand(b.Book(), {c.from, c.from.c1, c.from.r1}, c.from, c.to, false);
        });
    }
}

// A drag-move that runs out of memory at any point reports it and, before any cell moved,
// changes nothing; once it has moved cells it keeps its entries, so that Undo takes it back.
TEST(StructuralReferences, ADragMoveOutOfMemoryChangesNothingOrCanBeUndone) {
    for (int hook = 0; hook < 2; ++hook) {
        SCOPED_TRACE(hook ? "containers" : "pages");
        const auto failAfter = [hook](long n) {
            if (hook == 0) SetAllocFailAfter(n);
            if (hook == 1) modeltest::SetNewFailAfter(n);
        };
        CRefsBook b;
        TypeBudget(b);
        b.Book().updateMode = 3;
        b.Recalc();
        const WorkbookDump start = b.Dump();
        bool done = false;
        long fail = 0;
        for (; fail < 4000 && !done; ++fail) {
            failAfter(fail);
            bool escaped = false;
            try {
                done = MoveRangeCommand(b.Book(), {}, {0, 4, 0, 4}, {2, 8, 2, 8}, false) ==
                       CommandResult::kDone;
            } catch (const std::bad_alloc&) {
                escaped = true;
            }
            failAfter(-1);
            ASSERT_FALSE(escaped) << "fail " << fail;
            if (done || SameWorkbook(start, b.Dump())) continue;
            ASSERT_EQ(b.Book().error, kErrorWorksheetMemory) << "fail " << fail;
            ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone) << "fail " << fail;
            ASSERT_TRUE(SameWorkbook(start, b.Dump())) << "fail " << fail;
            b = CRefsBook();
            TypeBudget(b);
            b.Book().updateMode = 3;
            b.Recalc();
        }
        ASSERT_TRUE(done);
        EXPECT_GT(fail, 1);
        b.Recalc();
        EXPECT_EQ(b.Shown("Sb!A1"), "=\\Sa!C9 -> 55");
    }
}

TEST(StructuralReferences, ARowsEditOfAnotherWorksheetMovesItsReaders) {
    // Rows inserted on Sc move the references of Sa's formulas to Sc, not Sa's own.
    CRefsBook b;
    TypeBudget(b);
    b.Type("Sc!A2", "7");
    b.Book().tree.active = b.Sheet("Sc");
    ExpectEdit(b, {{"Sa!A20", "=\\Sc!A1+Sc!A2 -> 62"}, {"Sa!B1", "=\\Sa!A5 -> 55"}},
               {{"Sa!A20", "=\\Sc!A2+Sc!A3 -> 62"},
                {"Sa!B1", "=\\Sa!A5 -> 55"},
                {"Sc!A2", "=Sa!A5 -> 55"}},
               [&] { return InsertRowsCommand(b.Book(), Rows(0, 0)); });
}

TEST(StructuralReferences, AReferencePushedOffTheSheetAnywhereRefusesTheEditWhole) {
    struct Case {
        const char* reader;
        const char* typed;
        const char* moved; // the reader after one row inserted
        const char* shown;
    };
    const Case cases[] = {
        {"Sb!A1", "=\\Sa!$A$2097151", "Sb!A1", "=\\Sa!$A$2097152 ->"},
        {"Sa!A1", "=\\Sa!$A$2097151", "Sa!A1", "=\\Sa!$A$2097152 ->"},
        // A distance the edit keeps, reader and target moving alike, till the target passes
        // the last row.
        {"Sa!A40", "=A2097151", "Sa!A41", "=A2097152 ->"},
    };
    for (const Case& c : cases) {
        const std::string reader = c.reader;
        SCOPED_TRACE(reader);
        CRefsBook b;
        TypeBudget(b);
        b.Type(reader, c.typed);
        const WorkbookDump start = b.Dump();
        // Two rows fit below the last used row of Sa; the reference on its next-to-last row
        // does not.
        EXPECT_EQ(InsertRowsCommand(b.Book(), Rows(29, 30)), CommandResult::kFailed);
        EXPECT_EQ(b.Book().error, kErrorNoEmptyRows);
        EXPECT_TRUE(SameWorkbook(start, b.Dump()));
        EXPECT_EQ(b.Book().undo.current, -1);
        // One row still fits: the reference reaches the last row.
        ASSERT_EQ(InsertRowsCommand(b.Book(), Rows(29, 29)), CommandResult::kDone);
        const std::string shown = c.shown;
        EXPECT_EQ(b.Shown(c.moved).substr(0, shown.size()), shown);
    }
}

TEST(StructuralReferences, RenamesAndMovesRewriteEveryFormulaNamingTheItem) {
    struct Case {
        const char* name;
        std::function<CommandResult(CRefsBook&)> edit;
        int steps;
        std::vector<Cell> after;
    };
    const std::vector<Cell> before = {
        {"Sb!A1", "=\\Sa!A5 -> 55"},        {"Sc!A1", "=Sa!A5 -> 55"},
        {"Sa!B1", "=\\Sa!A5 -> 55"},        {"Sc!A3", "=\\F\\Sb!C1 -> 3"},
        {"Sc!A4", "=F\\Sb!C1 -> 3"},        {"Sb!A2", "=Sb!C1+\"Sb\"!C1 -> 6"},
        {"Sa!A20", "=\\Sc!A1+Sc!A2 -> 55"},
    };
    const GridSelection sel{};
    const Case cases[] = {
        {"worksheet renamed",
         [&](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "Data"); },
         1,
         {{"Sb!A1", "=\\Data!A5 -> 55"},
          {"Sc!A1", "=Data!A5 -> 55"},
          {"Data!B1", "=\\Data!A5 -> 55"},
          {"Sc!A3", "=\\F\\Sb!C1 -> 3"}}},
        {"worksheet renamed to a name that must be quoted",
         [&](CRefsBook& b) {
             return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "My Data");
         },
         1,
         {{"Sb!A1", "=\"\\My Data\"!A5 -> 55"}, {"Sc!A1", "=\"My Data\"!A5 -> 55"}}},
        {"folder renamed",
         [&](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), sel, *b.Item("F"), "G"); },
         1,
         {{"Sc!A3", "=\\G\\Sb!C1 -> 3"},
          {"Sc!A4", "=G\\Sb!C1 -> 3"},
          {"Sb!A2", "=Sb!C1+\"Sb\"!C1 -> 6"},
          {"Sb!A1", "=\\Sa!A5 -> 55"}}},
        {"worksheet dragged into the folder",
         [&](CRefsBook& b) {
             return MoveTreeItemCommand(b.Book(), sel, *b.Item("Sa"), b.Item("F"));
         },
         1,
         {{"Sb!A1", "=\\F\\Sa!A5 -> 55"},
          {"Sc!A1", "=F\\Sa!A5 -> 55"},
          {"Sa!B1", "=\\F\\Sa!A5 -> 55"},
          {"Sa!A20", "=\\Sc!A1+\\Sc!A2 -> 55"}}},
        {"worksheet dragged out of the folder",
         [&](CRefsBook& b) { return MoveTreeItemCommand(b.Book(), sel, *b.Item("Sb"), nullptr); },
         1,
         {{"Sc!A3", "=\\Sb!C1 -> 3"},
          {"Sc!A4", "=Sb!C1 -> 3"},
          {"Sb!A2", "=Sb!C1+\"Sb\"!C1 -> 6"},
          {"Sb!A1", "=\\Sa!A5 -> 55"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRefsBook b;
        TypeBudget(b);
        b.Type("Sb!C1", "3");
        b.Type("Sc!A3", "=\\F\\Sb!C1");
        b.Type("Sc!A4", "=F\\Sb!C1");
        b.Type("Sb!A2", "=Sb!C1+'Sb'!C1");
        ExpectEdit(
            b, before, c.after, [&] { return c.edit(b); }, c.steps);
    }
}

// Pages refused at every point, then standard containers at every point: an edit and then
// its undo each either happen whole or leave every worksheet as it was (an edit whose cells
// moved before memory ran out stays, and its undo takes it back).
TEST(StructuralReferences, RunningOutOfMemoryChangesNothingAnywhere) {
    struct Case {
        const char* name;
        std::function<CommandResult(CRefsBook&)> edit;
        const char* reader; // Sb!A1 after the edit
        bool undoable;
    };
    const GridSelection sel{};
    const Case cases[] = {
        {"rows inserted", [](CRefsBook& b) { return InsertRowsCommand(b.Book(), Rows(1, 2)); },
         "=\\Sa!A7 -> 55", true},
        {"rows removed", [](CRefsBook& b) { return RemoveRowsCommand(b.Book(), Rows(1, 2)); },
         "=\\Sa!A3 -> 55", true},
        {"renamed",
         [&](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "Data"); },
         "=\\Data!A5 -> 55", true},
        {"renamed by automation",
         [&](CRefsBook& b) {
             return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "Data",
                                          TreeEditor::kAutomation);
         },
         "=\\Data!A5 -> 55", false},
    };
    const auto failAfter = [](int hook, long n) {
        if (hook == 0) SetAllocFailAfter(n);
        if (hook == 1) modeltest::SetNewFailAfter(n);
    };
    for (const Case& c : cases) {
        for (int hook = 0; hook < 2; ++hook) {
            SCOPED_TRACE(std::string(c.name) + (hook ? " (containers)" : " (pages)"));
            CRefsBook b;
            TypeBudget(b);
            // The recalculation after a command is no part of it here: it runs unhooked.
            b.Book().updateMode = 3;
            b.Recalc();
            const WorkbookDump start = b.Dump();
            long failures = 0, fail = 0, lateFailures = 0;
            bool done = false;
            for (; fail < 2000 && !done; ++fail) {
                failAfter(hook, fail);
                bool escaped = false;
                try {
                    done = c.edit(b) == CommandResult::kDone;
                } catch (const std::bad_alloc&) {
                    escaped = true;
                }
                failAfter(hook, -1);
                ASSERT_FALSE(escaped) << "fail " << fail;
                b.Recalc();
                if (done) break;
                ++failures;
                if (SameWorkbook(start, b.Dump())) continue;
                // Memory that runs out once the cells moved leaves the edit made, with error 8
                // and its undo entry; only the edited worksheet's own texts can fail there.
                ASSERT_TRUE(c.undoable) << "fail " << fail;
                ASSERT_EQ(b.Book().error, kErrorWorksheetMemory);
                ASSERT_EQ(b.Book().undo.entries[b.Book().undo.current].operation, kOpRows);
                ++lateFailures;
                b = CRefsBook();
                TypeBudget(b);
                b.Book().updateMode = 3;
                b.Recalc();
            }
            ASSERT_TRUE(done);
            EXPECT_GT(failures, lateFailures);
            EXPECT_EQ(b.Shown("Sb!A1"), c.reader);
            // Rows taken out again cannot always be put back when every standard container
            // fails from then on: undo is tried with pages only, as for any rows entry.
            if (!c.undoable || hook == 1) continue;
            // A recorder that ran out of memory leaves an empty entry behind (undo steps over
            // it): the edit's own entry is the newest.
            const WorkbookDump end = b.Dump();
            bool undone = false;
            for (fail = 0; fail < 2000 && !undone; ++fail) {
                failAfter(hook, fail);
                bool escaped = false;
                try {
                    undone = ExecuteUndoRedo(b.Book(), uint16_t(b.Book().undo.current));
                } catch (const std::bad_alloc&) {
                    escaped = true;
                }
                failAfter(hook, -1);
                ASSERT_FALSE(escaped) << "undo, fail " << fail;
                b.Recalc();
                if (!undone) {
                    ASSERT_TRUE(SameWorkbook(end, b.Dump())) << "undo, fail " << fail;
                }
            }
            ASSERT_TRUE(undone);
            EXPECT_TRUE(SameWorkbook(start, b.Dump()));
        }
    }
}

TEST(StructuralReferences, AutomationsRenameRewritesWithoutAnUndoEntry) {
    CRefsBook b;
    TypeBudget(b);
    b.Recalc();
    ASSERT_EQ(RenameTreeItemCommand(b.Book(), {}, *b.Item("Sa"), "Data", TreeEditor::kAutomation),
              CommandResult::kDone);
    b.Recalc();
    EXPECT_EQ(b.Shown("Sb!A1"), "=\\Data!A5 -> 55");
    EXPECT_EQ(b.Shown("Sc!A1"), "=Data!A5 -> 55");
    EXPECT_EQ(b.Book().undo.current, -1);
}

TEST(StructuralReferences, ChartRangesFollowRowsRenamesAndMovesWithUndoAndRedo) {
    struct Case {
        const char* name;
        std::function<CommandResult(CRefsBook&)> edit;
        int steps;
        const char* onSa; // the series of the chart on Sa, then of the chart on Sc
        const char* onSc;
    };
    const GridSelection sel{};
    const Case cases[] = {
        {"rows inserted on Sa",
         [](CRefsBook& b) { return InsertRowsCommand(b.Book(), Rows(9, 9)); }, 1, "R2C5:R18C5",
         "\\Sa!R2C5:R18C5+Sa!R2C1"},
        {"rows removed on Sa", [](CRefsBook& b) { return RemoveRowsCommand(b.Book(), Rows(2, 3)); },
         1, "R2C5:R15C5", "\\Sa!R2C5:R15C5+Sa!R2C1"},
        {"Sa renamed",
         [&](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "Data"); },
         1, "R2C5:R17C5", "\\Data!R2C5:R17C5+Data!R2C1"},
        {"Sc dragged into F",
         [&](CRefsBook& b) {
             return MoveTreeItemCommand(b.Book(), sel, *b.Item("Sc"), b.Item("F"));
         },
         1, "R2C5:R17C5", "\\Sa!R2C5:R17C5+\\Sa!R2C1"},
        {"Sa's E2:E17 dragged to G2:G17",
         [](CRefsBook& b) {
             return MoveRangeCommand(b.Book(), {}, {4, 1, 4, 16}, {6, 1, 6, 16}, false);
         },
         1, "R2C7:R17C7", "\\Sa!R2C7:R17C7+Sa!R2C1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRefsBook b;
        auto series = [&](const char* sheet) -> std::string {
            const CWorksheet* ws = b.Sheet(sheet);
            if (!ws) ws = b.Sheet("Data");
            return ws->firstContainer->slots[0].chart->series[0].settings.dataArray;
        };
        for (const char* sheet : {"Sa", "Sc"}) {
            auto container = NewBlockObject<CContainer>();
            InitContainerDefaults(*container, nullptr, nullptr);
            container->settings.id = sheet[1] == 'a' ? 1 : 2;
            container->slots[0].kind = kObjectChart;
            container->slots[0].chart = NewBlockObject<CChart>(kChart2D);
            container->settings.objectCount = 1;
            container->slots[0].chart->settings.seriesCount = 1;
            container->slots[0].chart->series[0].settings.role = 1;
            const char* text = sheet[1] == 'a' ? "R2C5:R17C5" : "\\Sa!R2C5:R17C5+Sa!R2C1";
            std::strcpy(container->slots[0].chart->series[0].settings.dataArray, text);
            LinkContainer(*b.Sheet(sheet), std::move(container));
        }
        const std::string sa = series("Sa"), sc = series("Sc");
        ASSERT_EQ(c.edit(b), CommandResult::kDone);
        EXPECT_EQ(series("Sa"), c.onSa);
        EXPECT_EQ(series("Sc"), c.onSc);
        for (int i = 0; i < c.steps; ++i)
            ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_EQ(series("Sa"), sa);
        EXPECT_EQ(series("Sc"), sc);
        for (int i = 0; i < c.steps; ++i)
            ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_EQ(series("Sa"), c.onSa);
        EXPECT_EQ(series("Sc"), c.onSc);
    }
}

namespace {

// "A3:B4" as "$A$3:$B$4": every column and row of the reference made absolute.
std::string Absolute(std::string_view reference) {
    if (reference == "#REF!") return std::string(reference);
    std::string out;
    char before = 0;
    for (const char c : reference) {
        const bool letter = c >= 'A' && c <= 'Z', digit = c >= '0' && c <= '9';
        const bool beforeLetter = before >= 'A' && before <= 'Z';
        const bool beforeDigit = before >= '0' && before <= '9';
        if ((letter && !beforeLetter && before != '$') ||
            (digit && !beforeDigit && !beforeLetter && before != '$'))
            out += '$';
        if (digit && beforeLetter) out += '$';
        out += c;
        before = c;
    }
    return out;
}

} // namespace

// Every kind of reference to Sa, relative and absolute, from Sa itself and from Sb, through
// every structural edit of Sa: a reference whose cells all go reads #REF!, a range keeps what
// is left of it, and undo and redo give back the texts and values before and after.
TEST(StructuralReferences, EveryKindOfReferenceThroughEveryEditWithUndo) {
    struct Edit {
        const char* name;
        std::function<CommandResult(CWorkbook&)> edit;
    };
    const Edit edits[] = {
        {"rows 3-4 inserted", [](CWorkbook& w) { return InsertRowsCommand(w, Rows(2, 3)); }},
        {"rows 3-4 removed", [](CWorkbook& w) { return RemoveRowsCommand(w, Rows(2, 3)); }},
        {"columns C-D inserted",
         [](CWorkbook& w) { return InsertColumnsCommand(w, Columns(2, 3)); }},
        {"columns C-D removed",
         [](CWorkbook& w) { return RemoveColumnsCommand(w, Columns(2, 3)); }},
    };
    struct Case {
        const char* kind;
        const char* typed[2];    // for the rows edits, then for the columns edits
        const char* after[4][2]; // per edit (as above), the reference after it
    };
    // A reader at A1 stays in place through every edit; its target moves or goes.
    const Case cases[] = {
        {"single cell", {"A3", "C1"}, {{"A5", ""}, {"#REF!", ""}, {"", "E1"}, {"", "#REF!"}}},
        {"single cell past the span",
         {"A6", "F1"},
         {{"A8", ""}, {"A4", ""}, {"", "H1"}, {"", "D1"}}},
        {"range start in the span",
         {"A3:A6", "C1:F1"},
         {{"A5:A8", ""}, {"A3:A4", ""}, {"", "E1:H1"}, {"", "C1:D1"}}},
        {"range end in the span",
         {"A2:A4", "B1:D1"},
         {{"A2:A6", ""}, {"A2:A2", ""}, {"", "B1:F1"}, {"", "B1:B1"}}},
        {"whole range in the span",
         {"A3:A4", "C1:D1"},
         {{"A5:A6", ""}, {"#REF!", ""}, {"", "E1:F1"}, {"", "#REF!"}}},
        {"range around the span",
         {"A2:A9", "B1:G1"},
         {{"A2:A11", ""}, {"A2:A7", ""}, {"", "B1:I1"}, {"", "B1:E1"}}},
        {"whole rows and columns",
         {"3:4", "C:D"},
         {{"5:6", ""}, {"#REF!", ""}, {"", "E:F"}, {"", "#REF!"}}},
        {"whole rows and columns beside the span",
         {"C:D", "3:4"},
         {{"C:D", ""}, {"C:D", ""}, {"", "3:4"}, {"", "3:4"}}},
        {"to the last row and column",
         {"A2:A2097152", "B1:BZS1"},
         {{"A2:A2097152", ""}, {"A2:A2097152", ""}, {"", "B1:BZS1"}, {"", "B1:BZS1"}}},
        // From a reader the edit moves too, every distance is kept but the end's.
        {"past the span to the last row and column",
         {"A6:A2097152", "F1:BZS1"},
         {{"A8:A2097152", ""}, {"A4:A2097152", ""}, {"", "H1:BZS1"}, {"", "D1:BZS1"}}},
    };
    // Where a reader stands after each edit: A1 stays, H20 moves with the rows or columns.
    const auto readerAfter = [](const std::string& reader, size_t edit) {
        if (reader != "Sa!H20") return reader;
        const char* after[4] = {"Sa!H22", "Sa!H18", "Sa!J20", "Sa!F20"};
        return std::string(after[edit]);
    };
    for (size_t edit = 0; edit < 4; ++edit) {
        const bool rows = edit < 2;
        for (const Case& c : cases) {
            for (const bool absolute : {false, true}) {
                for (const char* reader : {"Sa!A1", "Sb!A1", "Sa!H20"}) {
                    const std::string typed0 = c.typed[rows ? 0 : 1];
                    const std::string after0 = c.after[edit][rows ? 0 : 1];
                    const std::string typed = absolute ? Absolute(typed0) : typed0;
                    const std::string after = absolute ? Absolute(after0) : after0;
                    const bool other = reader[1] == 'b';
                    const std::string prefix = other ? "\\Sa!" : "";
                    SCOPED_TRACE(std::string(edits[edit].name) + ", " + c.kind + ", " + typed +
                                 " from " + reader);
                    CRefsBook b;
                    // Values where the wholly kept cells would show them.
                    b.Type("Sa!A6", "6");
                    b.Type("Sa!F1", "60");
                    // Read through a function: a range alone would spread its cells.
                    b.Type(reader, "=SUM(" + prefix + typed + ")");
                    const std::string shownAfter =
                        "=SUM(" + (after == "#REF!" ? after : prefix + after) + ") -> *";
                    const std::string moved = readerAfter(reader, edit);
                    ExpectEdit(b, {{reader, ("=SUM(" + prefix + typed + ") -> *").c_str()}},
                               {{moved.c_str(), shownAfter.c_str()}},
                               [&] { return edits[edit].edit(b.Book()); });
                }
            }
        }
    }
}

namespace {

// Sa's container anchor, print range (kind, then A1 corners) and the inspect entries, as text.
std::string Places(CRefsBook& b) {
    const CWorksheet* ws = b.Sheet("Sa");
    if (!ws) ws = b.Sheet("Data");
    std::string out;
    const CellRef& a = ws->firstContainer->settings.anchor;
    out += "anchor " + std::to_string(a.column) + "," + std::to_string(a.row);
    const RangeDescriptor& p = ws->pageSetup.printRange;
    out += "; print " + std::to_string(ws->pageSetup.printRangeKind) + " " + std::to_string(p.c1) +
           "," + std::to_string(p.r1) + ":" + std::to_string(p.c2) + "," + std::to_string(p.r2);
    for (uint32_t i = 0; i < b.Book().inspectedCells.ItemCount(); ++i) {
        InspectedCellRecord r;
        GetInspectedCell(b.Book().inspectedCells, i, r);
        out += std::string("; ") + r.worksheet + " " + std::to_string(r.cell.column) + "," +
               std::to_string(r.cell.row);
    }
    return out;
}

} // namespace

// A container's anchor, the print range and the inspect entries follow every structural
// edit and rename of their worksheet, in the same undo entry as the formulas.
TEST(StructuralReferences, StoredPlacesFollowEveryEditWithUndoAndRedo) {
    struct Case {
        const char* name;
        std::function<CommandResult(CRefsBook&)> edit;
        int steps;
        const char* after;
    };
    const GridSelection sel{};
    const char* before = "anchor 2,4; print 1 1,2:3,9; \\Sa 0,4; \\Sa 0,2; \\F\\Sb 0,4";
    const Case cases[] = {
        {"rows 3-4 removed", [](CRefsBook& b) { return RemoveRowsCommand(b.Book(), Rows(2, 3)); },
         1, "anchor 2,2; print 1 1,2:3,7; \\Sa 0,2;  0,2; \\F\\Sb 0,4"},
        {"rows 3-4 inserted", [](CRefsBook& b) { return InsertRowsCommand(b.Book(), Rows(2, 3)); },
         1, "anchor 2,6; print 1 1,4:3,11; \\Sa 0,6; \\Sa 0,4; \\F\\Sb 0,4"},
        {"rows 1-10 removed", [](CRefsBook& b) { return RemoveRowsCommand(b.Book(), Rows(0, 9)); },
         1, "anchor 2,0; print 0 1,2:3,9;  0,4;  0,2; \\F\\Sb 0,4"},
        {"rows 9-12 removed: the print range loses its last rows",
         [](CRefsBook& b) { return RemoveRowsCommand(b.Book(), Rows(8, 11)); }, 1,
         "anchor 2,4; print 1 1,2:3,7; \\Sa 0,4; \\Sa 0,2; \\F\\Sb 0,4"},
        {"rows past everything inserted",
         [](CRefsBook& b) { return InsertRowsCommand(b.Book(), Rows(20, 20)); }, 1,
         "anchor 2,4; print 1 1,2:3,9; \\Sa 0,4; \\Sa 0,2; \\F\\Sb 0,4"},
        {"column C removed",
         [](CRefsBook& b) { return RemoveColumnsCommand(b.Book(), Columns(2, 2)); }, 1,
         "anchor 2,4; print 1 1,2:2,9; \\Sa 0,4; \\Sa 0,2; \\F\\Sb 0,4"},
        {"column A inserted",
         [](CRefsBook& b) { return InsertColumnsCommand(b.Book(), Columns(0, 0)); }, 1,
         "anchor 3,4; print 1 2,2:4,9; \\Sa 1,4; \\Sa 1,2; \\F\\Sb 0,4"},
        {"Sa renamed",
         [&](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "Data"); },
         1, "anchor 2,4; print 1 1,2:3,9; \\Data 0,4; \\Data 0,2; \\F\\Sb 0,4"},
        {"folder F renamed",
         [&](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), sel, *b.Item("F"), "G"); }, 1,
         "anchor 2,4; print 1 1,2:3,9; \\Sa 0,4; \\Sa 0,2; \\G\\Sb 0,4"},
        {"Sa dragged into F",
         [&](CRefsBook& b) {
             return MoveTreeItemCommand(b.Book(), sel, *b.Item("Sa"), b.Item("F"));
         },
         1, "anchor 2,4; print 1 1,2:3,9; \\F\\Sa 0,4; \\F\\Sa 0,2; \\F\\Sb 0,4"},
        {"block A1:D10 dragged to F21",
         [](CRefsBook& b) {
             return MoveRangeCommand(b.Book(), {}, {0, 0, 3, 9}, {5, 20, 8, 29}, false);
         },
         1, "anchor 7,24; print 1 6,22:8,29; \\Sa 5,24; \\Sa 5,22; \\F\\Sb 0,4"},
        {"block A3:D4 dragged to A31: the print range only partly inside stays",
         [](CRefsBook& b) {
             return MoveRangeCommand(b.Book(), {}, {0, 2, 3, 3}, {0, 30, 3, 31}, false);
         },
         1, "anchor 2,4; print 1 1,2:3,9; \\Sa 0,4; \\Sa 0,30; \\F\\Sb 0,4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRefsBook b;
        TypeBudget(b);
        CWorksheet& sa = *b.Sheet("Sa");
        auto container = NewBlockObject<CContainer>();
        const CellRef anchor{2, 4, kRefCell};
        InitContainerDefaults(*container, &anchor, nullptr);
        container->settings.id = 1;
        LinkContainer(sa, std::move(container));
        sa.pageSetup.printRangeKind = kPrintCellRange;
        MakeRangeDescriptor({1, 2, 3, 9}, &sa.pageSetup.printRange);
        for (auto [path, row] :
             {std::pair("\\Sa", 4u), std::pair("\\Sa", 2u), std::pair("\\F\\Sb", 4u)}) {
            InspectedCellRecord r;
            std::strcpy(r.worksheet, path);
            r.cell = {0, row, kRefCell};
            ASSERT_TRUE(AppendInspectedCell(b.Book().inspectedCells, r));
        }
        ASSERT_EQ(Places(b), before);
        ASSERT_EQ(c.edit(b), CommandResult::kDone);
        EXPECT_EQ(Places(b), c.after);
        for (int i = 0; i < c.steps; ++i)
            ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_EQ(Places(b), before);
        for (int i = 0; i < c.steps; ++i)
            ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_EQ(Places(b), c.after);
    }
}

// A rename rewrites the inspect entries of its own worksheet only: one naming a worksheet
// whose name begins with the old one stays.
TEST(StructuralReferences, ARenameLeavesTheEntriesOfAWorksheetWithALongerName) {
    CRefsBook b;
    b.Append(TREE_TYPE_WORKSHEET, "Sab", 1);
    for (const char* path : {"\\Sa", "\\Sab", "\\Sa"}) {
        InspectedCellRecord r;
        std::strcpy(r.worksheet, path);
        r.cell = {1, 1, kRefCell};
        ASSERT_TRUE(AppendInspectedCell(b.Book().inspectedCells, r));
    }
    ASSERT_EQ(RenameTreeItemCommand(b.Book(), {}, *b.Item("Sa"), "Data"), CommandResult::kDone);
    std::vector<std::string> paths;
    for (uint32_t i = 0; i < b.Book().inspectedCells.ItemCount(); ++i) {
        InspectedCellRecord r;
        GetInspectedCell(b.Book().inspectedCells, i, r);
        paths.push_back(r.worksheet);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"\\Data", "\\Sab", "\\Data"}));
}

// A rename or a move that would give an item the path another item has is refused by every
// route, changing nothing: formulas naming either would read one of them silently.
TEST(StructuralReferences, ARenameOrMoveOntoAnotherItemsPathIsRefused) {
    const GridSelection sel{};
    struct Case {
        const char* name;
        std::function<CommandResult(CRefsBook&)> edit;
    };
    const Case refused[] = {
        {"renamed as another worksheet",
         [&](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "Sc"); }},
        {"renamed as another in other case",
         [&](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "sC"); }},
        {"renamed as the folder",
         [&](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sc"), "F"); }},
        {"renamed as another with blanks at its ends",
         [&](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), " Sc "); }},
        {"renamed by automation with a trailing blank",
         [&](CRefsBook& b) {
             return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "Sc ",
                                          TreeEditor::kAutomation);
         }},
        {"renamed by automation",
         [&](CRefsBook& b) {
             return RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "Sc",
                                          TreeEditor::kAutomation);
         }},
        {"dragged beside a worksheet of its name",
         [&](CRefsBook& b) { return MoveTreeItemCommand(b.Book(), sel, *b.Item("Sb"), nullptr); }},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        CRefsBook b;
        TypeBudget(b);
        // The top-level worksheet after the folder takes the name of the one inside it.
        if (std::string(c.name).find("dragged") != std::string::npos) b.Item("Sc")->SetName("Sb");
        b.Recalc();
        const WorkbookDump start = b.Dump();
        const std::string reader = b.Shown("Sa!B1");
        EXPECT_EQ(c.edit(b), CommandResult::kFailed);
        EXPECT_EQ(b.Book().error, kErrorDuplicatePath);
        EXPECT_EQ(b.Book().undo.current, -1);
        EXPECT_TRUE(SameWorkbook(start, b.Dump()));
        EXPECT_EQ(b.Shown("Sa!B1"), reader);
    }
    // A name that only a worksheet of another folder has is no clash; nor is the item's own
    // name in another case.
    CRefsBook b;
    TypeBudget(b);
    EXPECT_EQ(RenameTreeItemCommand(b.Book(), sel, *b.Item("Sa"), "Sb"), CommandResult::kDone);
    EXPECT_EQ(RenameTreeItemCommand(b.Book(), sel, *b.Item("Sb"), "SB"), CommandResult::kDone);
    EXPECT_EQ(std::string(GetErrorMessage(kErrorDuplicatePath)),
              "Another worksheet or folder of this folder has this name.");
}

// An edit that would push a formula past the longest a record holds, or a chart range past
// its field, is refused whole with the message that names the limit; one that stays within
// it is made.
TEST(StructuralReferences, AnEditThatWouldPassTheFormulaLimitIsRefusedWhole) {
    // Stored as 1,357 times "R[9]C" and a "+": 8,142 characters, and 9,499 once a row above
    // A10 comes in.
    std::string longest = "=A10";
    for (int i = 1; i < 1357; ++i) longest += "+A10";
    for (const bool chart : {false, true}) {
        SCOPED_TRACE(chart ? "chart range" : "formula");
        CRefsBook b;
        TypeBudget(b);
        b.Type("Sa!A1", longest);
        if (chart) {
            auto container = NewBlockObject<CContainer>();
            InitContainerDefaults(*container, nullptr, nullptr);
            container->settings.id = 1;
            container->slots[0].kind = kObjectChart;
            container->slots[0].chart = NewBlockObject<CChart>(kChart2D);
            container->settings.objectCount = 1;
            container->slots[0].chart->settings.seriesCount = 1;
            std::string text = "\\Sa!R1C1";
            while (text.size() + 9 < size_t(kDataArraySize)) text += "+\\Sa!R1C1";
            std::strcpy(container->slots[0].chart->series[0].settings.dataArray, text.c_str());
            LinkContainer(*b.Sheet("Sc"), std::move(container));
        }
        b.Recalc();
        const WorkbookDump start = b.Dump();
        const CommandResult result =
            chart ? RenameTreeItemCommand(b.Book(), {}, *b.Item("Sa"), "Longer")
                  : InsertRowsCommand(b.Book(), Rows(1, 1));
        EXPECT_EQ(result, CommandResult::kFailed);
        EXPECT_EQ(b.Book().error, kErrorFormulaTooLong);
        EXPECT_TRUE(SameWorkbook(start, b.Dump()));
        EXPECT_EQ(b.Book().undo.current, -1);
        // Below the rows read nothing grows.
        EXPECT_EQ(chart ? RenameTreeItemCommand(b.Book(), {}, *b.Item("Sa"), "Sd")
                        : InsertRowsCommand(b.Book(), Rows(20, 20)),
                  CommandResult::kDone);
    }
}

// Memory that runs out in the recalculation after an edit or its undo is reported (error 8,
// the edit and its entry kept), never thrown; the next recalculation shows every value.
TEST(StructuralReferences, ARecalculationOutOfMemoryAfterAnEditIsReported) {
    struct Case {
        const char* name;
        std::function<CommandResult(CRefsBook&)> edit;
        const char* reader; // Sb!A1 once recalculated
    };
    const Case cases[] = {
        {"rows inserted", [](CRefsBook& b) { return InsertRowsCommand(b.Book(), Rows(1, 2)); },
         "=\\Sa!A7 -> 55"},
        {"rows removed", [](CRefsBook& b) { return RemoveRowsCommand(b.Book(), Rows(1, 2)); },
         "=\\Sa!A3 -> 55"},
        {"renamed",
         [](CRefsBook& b) { return RenameTreeItemCommand(b.Book(), {}, *b.Item("Sa"), "Data"); },
         "=\\Data!A5 -> 55"},
        {"undone", [](CRefsBook& b) { return UndoCommand(b.Book(), nullptr); }, "=\\Sa!A5 -> 55"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int reported = 0;
        bool done = false;
        for (long fail = 0; fail < 5000 && !done; ++fail) {
            CRefsBook b;
            TypeBudget(b);
            b.Recalc();
            if (std::string(c.name) == "undone") {
                ASSERT_EQ(InsertRowsCommand(b.Book(), Rows(1, 2)), CommandResult::kDone);
            }
            modeltest::SetNewFailAfter(fail);
            CommandResult result = CommandResult::kNothing;
            bool escaped = false;
            try {
                result = c.edit(b);
            } catch (const std::bad_alloc&) {
                escaped = true;
            }
            modeltest::SetNewFailAfter(-1);
            ASSERT_FALSE(escaped) << "fail " << fail;
            done = result == CommandResult::kDone;
            if (result != CommandResult::kFailed || b.Book().error != kErrorWorksheetMemory)
                continue;
            // Failed once the edit was made: it stays, and recalculating shows it whole.
            b.Recalc();
            if (b.Shown("Sb!A1") != c.reader) continue;
            ++reported;
        }
        EXPECT_TRUE(done);
        EXPECT_GT(reported, 0);
    }
}

// The same formula text on worksheets of different folders names different worksheets: each
// is read and rewritten for its own.
TEST(StructuralReferences, OneTextInTwoFoldersIsRewrittenForEach) {
    CRefsBook b;
    b.Append(TREE_TYPE_FOLDER, "G", 1);
    b.Append(TREE_TYPE_WORKSHEET, "Sa", 2); // \G\Sa
    CWorksheet* inner = AsWorksheet(b.Book().tree.first->next->next->next->next->next);
    ASSERT_NE(inner, nullptr);
    b.Type("Sa!A5", "55");
    b.Type("Sc!A1", "=Sa!A5");
    b.Type("Sc!A2", "=Sa!A5");
    // Typed on \G\Sa, the same text reads \G\Sa itself.
    static const SeparatorSet internal = InternalSeparators();
    std::string text = "=Sa!A5";
    ASSERT_TRUE(TranslateFormula(*EditContext(b.Book()), text, 0, 0, true, {&internal, true}));
    for (uint32_t row : {0u, 1u}) {
        CellBuffer cell;
        ASSERT_TRUE(MakeFormulaCell(cell, 0, row, FormulaHead{}, text));
        PutRecord(inner->cells, cell);
    }
    const std::string before = std::string(cell::Formula(FindCell(inner->cells, 0, 0)));
    ExpectEdit(b, {{"Sc!A1", "=Sa!A5 -> 55"}, {"Sc!A2", "=Sa!A5 -> 55"}},
               {{"Sc!A1", "=Sa!A7 -> 55"}, {"Sc!A2", "=Sa!A7 -> 55"}},
               [&] { return InsertRowsCommand(b.Book(), Rows(1, 2)); });
    ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kNothing);
    // Redone above: the inner worksheet's formulas kept their text.
    for (uint32_t row : {0u, 1u})
        EXPECT_EQ(std::string(cell::Formula(FindCell(inner->cells, row, 0))), before) << row;
}

// A worksheet whose chart and two formulas of one row name the edited worksheet: each gets
// its own text, and undo gives each its own back.
TEST(StructuralReferences, AChartAndTwoFormulasOfOneRowEachFollow) {
    CRefsBook b;
    TypeBudget(b);
    b.Type("Sc!B1", "=\\Sa!A5");
    b.Type("Sc!C1", "=\\Sa!E17*2");
    auto container = NewBlockObject<CContainer>();
    InitContainerDefaults(*container, nullptr, nullptr);
    container->settings.id = 1;
    container->slots[0].kind = kObjectChart;
    container->slots[0].chart = NewBlockObject<CChart>(kChart2D);
    container->settings.objectCount = 1;
    container->slots[0].chart->settings.seriesCount = 2;
    std::strcpy(container->slots[0].chart->series[0].settings.dataArray, "\\Sa!R2C5:R17C5");
    std::strcpy(container->slots[0].chart->series[1].settings.dataArray, "\\Sa!R5C1");
    LinkContainer(*b.Sheet("Sc"), std::move(container));
    const auto series = [&](int n) -> std::string {
        return b.Sheet("Sc")->firstContainer->slots[0].chart->series[n].settings.dataArray;
    };
    ExpectEdit(b, {{"Sc!B1", "=\\Sa!A5 -> 55"}, {"Sc!C1", "=\\Sa!E17*2 -> 200"}},
               {{"Sc!B1", "=\\Sa!A8 -> 55"}, {"Sc!C1", "=\\Sa!E20*2 -> 200"}},
               [&] { return InsertRowsCommand(b.Book(), Rows(0, 2)); });
    EXPECT_EQ(series(0), "\\Sa!R5C5:R20C5");
    EXPECT_EQ(series(1), "\\Sa!R8C1");
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_EQ(series(0), "\\Sa!R2C5:R17C5");
    EXPECT_EQ(series(1), "\\Sa!R5C1");
}

} // namespace vl
