// Formulas of one open workbook that name another open workbook's worksheet through its
// file follow that worksheet's structural edits.

#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "formula/edit/editcommands.h"
#include "formula/edit/rangecommands.h"
#include "formula/edit/treecommands.h"
#include "formula/edit/undoexec.h"
#include "formula/externalref.h"
#include "formula/translate.h"
#include "model/workbook.h"
#include "platform/core/errorcode.h"
#include "tests/platform/core/tempfiles.h"

#include <functional>
#include <gtest/gtest.h>

namespace vl {

namespace {

CWorkbook* gBooks[2] = {};

void PutFormula(CWorksheet& sheet, uint16_t column, uint32_t row, const std::string& text) {
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, column, row, FormulaHead{}, text));
    CellCursor cursor;
    ASSERT_TRUE(sheet.cells.PutCell(b.data(), cursor));
}

} // namespace

// A workbook open in a window gets rows inserted and removed: another open workbook's
// formulas that name its edited worksheet through its file follow, with undo and redo; those
// naming another of its worksheets keep their rows.
TEST(OtherOpenWorkbooks, FollowTheRowsOfAWindowsWorkbook) {
    tempfiles::TempFolder dir;
    const std::string path = dir.Path("a.vln");
    {
        auto saved = CreateWorkbook();
        saved->AppendTreeItem(TREE_TYPE_WORKSHEET, "Sales", 1);
        saved->AppendTreeItem(TREE_TYPE_FOLDER, "Reports", 1);
        saved->tree.active = AsWorksheet(saved->AppendTreeItem(TREE_TYPE_WORKSHEET, "Costs", 2));
        ASSERT_TRUE(SaveWorkbookFile(*saved, path.c_str(), kFileXml));
    }
    auto held = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*held, path.c_str()) && OpenWorkbookFile(*held, nullptr));
    held->SetUndoLevel(20);
    held->updateMode = 3;
    ASSERT_EQ(std::string(held->tree.active->name), "Costs");
    auto reader = CreateWorkbook();
    CWorksheet& sheet = *AsWorksheet(reader->AppendTreeItem(TREE_TYPE_WORKSHEET, "R", 1));
    const std::string costs = "='[" + path + "]\\Reports\\Costs'!";
    const std::string sales = "='[" + path + "]\\Sales'!";
    PutFormula(sheet, 0, 0, costs + "R5C1");
    PutFormula(sheet, 0, 1, sales + "R5C1");
    gBooks[0] = held.get();
    gBooks[1] = reader.get();
    SetOpenDocumentTable([](uint32_t i) { return i < 2 ? gBooks[i] : nullptr; });
    const auto text = [&](uint32_t row) {
        return std::string(cell::Formula(FindCell(sheet.cells, row, 0)));
    };
    ASSERT_EQ(InsertRowsCommand(*held, {{0, 1, 0, 2}, 0, 1}), CommandResult::kDone);
    EXPECT_EQ(text(0), costs + "R7C1");
    EXPECT_EQ(text(1), sales + "R5C1");
    ASSERT_EQ(UndoCommand(*held, nullptr), CommandResult::kDone);
    EXPECT_EQ(text(0), costs + "R5C1");
    ASSERT_EQ(RedoCommand(*held, nullptr), CommandResult::kDone);
    EXPECT_EQ(text(0), costs + "R7C1");
    // The cell it reads removed: #REF!, which Undo takes back and Redo brings again.
    ASSERT_EQ(RemoveRowsCommand(*held, {{0, 6, 0, 6}, 0, 6}), CommandResult::kDone);
    EXPECT_EQ(text(0), "=#REF!");
    EXPECT_EQ(text(1), sales + "R5C1");
    ASSERT_EQ(UndoCommand(*held, nullptr), CommandResult::kDone);
    EXPECT_EQ(text(0), costs + "R7C1");
    ASSERT_EQ(RedoCommand(*held, nullptr), CommandResult::kDone);
    EXPECT_EQ(text(0), "=#REF!");
    ASSERT_EQ(UndoCommand(*held, nullptr), CommandResult::kDone);
    // A cell of the reader changed since is left alone by Undo and Redo.
    ASSERT_EQ(InsertRowsCommand(*held, {{0, 0, 0, 0}, 0, 0}), CommandResult::kDone);
    EXPECT_EQ(text(0), costs + "R8C1");
    PutFormula(sheet, 0, 0, costs + "R1C1");
    ASSERT_EQ(UndoCommand(*held, nullptr), CommandResult::kDone);
    EXPECT_EQ(text(0), costs + "R1C1");
    // A block dragged there takes the reader along, in the same undo step.
    ASSERT_EQ(MoveRangeCommand(*held, {}, {0, 0, 0, 0}, {1, 3, 1, 3}, false), CommandResult::kDone);
    EXPECT_EQ(text(0), costs + "R4C2");
    ASSERT_EQ(UndoCommand(*held, nullptr), CommandResult::kDone);
    EXPECT_EQ(text(0), costs + "R1C1");
    ASSERT_EQ(RedoCommand(*held, nullptr), CommandResult::kDone);
    EXPECT_EQ(text(0), costs + "R4C2");
    SetOpenDocumentTable(nullptr);
}

namespace {

// A workbook "a.vln" held open with its worksheet Costs active, and a reader workbook.
struct TwoBooks {
    tempfiles::TempFolder dir;
    std::string path = dir.Path("a.vln");
    std::unique_ptr<CWorkbook> held, reader;
    CWorksheet* sheet = nullptr;
    TwoBooks() {
        {
            auto saved = CreateWorkbook();
            saved->tree.active =
                AsWorksheet(saved->AppendTreeItem(TREE_TYPE_WORKSHEET, "Costs", 1));
            saved->AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
            EXPECT_TRUE(SaveWorkbookFile(*saved, path.c_str(), kFileXml));
        }
        held = CreateWorkbook();
        EXPECT_TRUE(OpenDocumentFile(*held, path.c_str()) && OpenWorkbookFile(*held, nullptr));
        held->SetUndoLevel(20);
        held->updateMode = 3;
        reader = CreateWorkbook();
        sheet = AsWorksheet(reader->AppendTreeItem(TREE_TYPE_WORKSHEET, "R", 1));
        gBooks[0] = held.get();
        gBooks[1] = reader.get();
        SetOpenDocumentTable([](uint32_t i) { return i < 2 ? gBooks[i] : nullptr; });
    }
    ~TwoBooks() { SetOpenDocumentTable(nullptr); }
    std::string Qualifier() const { return "='[" + path + "]\\Costs'!"; }
    std::string Text(uint32_t row) const {
        const uint8_t* r = FindCell(sheet->cells, row, 0);
        return r ? std::string(cell::Formula(r)) : "<none>";
    }
};

} // namespace

// A rewrite the reader cannot take refuses the edit whole, with the error it would give in
// its own workbook: a reference pushed off the sheet (24), a formula past the longest a
// record holds (117), each at the last accepted and the first refused value.
TEST(OtherOpenWorkbooks, ARewriteRefusedThereRefusesTheEdit) {
    // The reader's text from the qualifier naming Costs; "R8C1" becomes "R10C1", one
    // character longer, when rows 1 and 2 are inserted.
    const auto padded = [](size_t length) {
        return [length](const std::string& q) {
            std::string t = q + "R8C1";
            while (t.size() + 2 <= length) t += "+1";
            if (t.size() < length) t.insert(1, "+");
            return t;
        };
    };
    struct Case {
        const char* name;
        std::function<std::string(const std::string&)> reader;
        ErrorCode error; // 0: accepted
    };
    const Case cases[] = {
        {"last row reached", [](const std::string& q) { return q + "R2097150C1"; }, 0},
        {"pushed off the sheet", [](const std::string& q) { return q + "R2097151C1"; },
         kErrorNoEmptyRows},
        {"the longest formula after", padded(kMaxFormulaText - 1), 0},
        {"one character more after", padded(kMaxFormulaText), kErrorFormulaTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TwoBooks b;
        const std::string reader = c.reader(b.Qualifier());
        PutFormula(*b.sheet, 0, 0, reader);
        const int32_t undo = b.held->undo.current;
        const CommandResult result = InsertRowsCommand(*b.held, {{0, 0, 0, 1}, 0, 0});
        if (c.error) {
            EXPECT_EQ(result, CommandResult::kFailed);
            EXPECT_EQ(b.held->error, c.error);
            EXPECT_EQ(b.held->undo.current, undo);
            EXPECT_EQ(b.Text(0), reader);
        } else {
            EXPECT_EQ(result, CommandResult::kDone);
            EXPECT_NE(b.Text(0), reader);
            ASSERT_EQ(UndoCommand(*b.held, nullptr), CommandResult::kDone);
            EXPECT_EQ(b.Text(0), reader);
        }
    }
}

// A worksheet renamed or dragged into a folder in its window: another open workbook's
// formulas naming it through the file follow its path, with Undo and Redo.
TEST(OtherOpenWorkbooks, FollowARenameAndATreeMove) {
    TwoBooks b;
    const std::string q = b.Qualifier();
    PutFormula(*b.sheet, 0, 0, q + "R5C1");
    const std::string start = b.Text(0);
    const std::string file = q.substr(0, q.find(']') + 1);
    CTreeItem& costs = *b.held->tree.first;
    CTreeItem* folder = costs.next;
    ASSERT_EQ(RenameTreeItemCommand(*b.held, {}, costs, "Spend"), CommandResult::kDone);
    EXPECT_EQ(b.Text(0), file + "\\Spend'!R5C1");
    ASSERT_EQ(UndoCommand(*b.held, nullptr), CommandResult::kDone);
    EXPECT_EQ(b.Text(0), start);
    ASSERT_EQ(RedoCommand(*b.held, nullptr), CommandResult::kDone);
    EXPECT_EQ(b.Text(0), file + "\\Spend'!R5C1");
    ASSERT_EQ(UndoCommand(*b.held, nullptr), CommandResult::kDone);
    ASSERT_EQ(MoveTreeItemCommand(*b.held, {}, *b.held->tree.first, folder), CommandResult::kDone);
    EXPECT_EQ(b.Text(0), file + "\\F\\Costs'!R5C1");
    ASSERT_EQ(UndoCommand(*b.held, nullptr), CommandResult::kDone);
    EXPECT_EQ(b.Text(0), start);
    ASSERT_EQ(RedoCommand(*b.held, nullptr), CommandResult::kDone);
    EXPECT_EQ(b.Text(0), file + "\\F\\Costs'!R5C1");
}

} // namespace vl
