// Whether a file form keeps the whole workbook, and the key of what it would lose: the window
// asks before such a save, and auto-save passes a loss by until the user agreed to that key.
#include "exchange/foreignfile.h"
#include "model/dropdownlist.h"
#include "model/inspectedcell.h"
#include "tests/exchange/exchangetestutil.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace exchangetest;

std::unique_ptr<CWorkbook> TwoSheets() {
    auto book = CreateWorkbook();
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "A", 1);
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "B", 1);
    book->tree.active = AsWorksheet(book->tree.first);
    return book;
}

// One kind of content at a time, each form: what it loses.
TEST(FormLoss, EveryKindAFormCannotHoldIsSeen) {
    struct Case {
        const char* what;
        void (*add)(CWorkbook&);
        bool text, spreadsheet;
    } const cases[] = {
        {"worksheets only", [](CWorkbook&) {}, true, false},
        {"a folder", [](CWorkbook& b) { b.AppendTreeItem(TREE_TYPE_FOLDER, "F", 1); }, true, true},
        {"a drop-down list", [](CWorkbook& b) { AddDropDownEntry(b.dropDownLists[0], "x"); }, true,
         true},
        {"a named empty list", [](CWorkbook& b) { SetDropDownName(b.dropDownLists[3], "L"); }, true,
         true},
        {"an inspected cell",
         [](CWorkbook& b) { ASSERT_TRUE(AppendInspectedCell(b.inspectedCells, {})); }, true, true},
    };
    for (const Case& c : cases) {
        auto book = TwoSheets();
        c.add(*book);
        EXPECT_EQ(FormLosesContent(*book, kFileText), c.text) << c.what;
        EXPECT_EQ(FormLosesContent(*book, kFileDBase4), c.text) << c.what;
        EXPECT_EQ(FormLosesContent(*book, kFileExcelXml), c.spreadsheet) << c.what;
        EXPECT_FALSE(FormLosesContent(*book, kFileNative)) << c.what;
        EXPECT_EQ(FormLossKey(*book, kFileExcelXml).empty(), !c.spreadsheet) << c.what;
    }
}

// The key changes with the worksheet a text file keeps and with what is lost, not with the
// values that are kept.
TEST(FormLoss, TheKeyFollowsWhatIsLost) {
    auto book = TwoSheets();
    const std::string first = FormLossKey(*book, kFileText);
    ASSERT_FALSE(first.empty());
    PutText(*book->tree.active, 0, 0, "kept");
    EXPECT_EQ(FormLossKey(*book, kFileText), first);
    book->tree.active = AsWorksheet(book->tree.first->next);
    const std::string second = FormLossKey(*book, kFileText);
    EXPECT_NE(second, first);
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "C", 1);
    EXPECT_NE(FormLossKey(*book, kFileText), second);
    EXPECT_NE(FormLossKey(*book, kFileText), FormLossKey(*book, kFileDBase3));
    // A spreadsheet keeps every worksheet: which is active loses nothing.
    book->AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
    const std::string sheets = FormLossKey(*book, kFileExcelXml);
    book->tree.active = AsWorksheet(book->tree.first);
    EXPECT_EQ(FormLossKey(*book, kFileExcelXml), sheets);
}

} // namespace
} // namespace vl
