// Formulas of one open workbook that name another open workbook's worksheet through its
// file follow that worksheet's structural edits.

#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"
#include "formula/externalref.h"
#include "model/workbook.h"
#include "tests/platform/core/tempfiles.h"

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
    // The cell it reads removed: #REF!.
    ASSERT_EQ(RemoveRowsCommand(*held, {{0, 6, 0, 6}, 0, 6}), CommandResult::kDone);
    EXPECT_EQ(text(0), "=#REF!");
    EXPECT_EQ(text(1), sales + "R5C1");
    SetOpenDocumentTable(nullptr);
}

} // namespace vl
