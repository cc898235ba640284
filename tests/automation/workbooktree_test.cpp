#include "automation/typelib.h"
#include "automationtestutil.h"
#include "formula/edit/undoexec.h"

#include <functional>

namespace vl {

namespace {

class TreeTest : public autotest::AutomationTest {
protected:
    // Sheet1, folder F with Sheet2 inside, Sheet3, all made through the interface.
    void BuildTree() {
        int32_t index = -1;
        ASSERT_EQ(obj->InsertItem(-1, TREE_TYPE_WORKSHEET, "Sheet1", index), S_OK);
        EXPECT_EQ(index, 0);
        ASSERT_EQ(obj->InsertItem(-1, TREE_TYPE_FOLDER, "F", index), S_OK);
        EXPECT_EQ(index, 1);
        ASSERT_EQ(obj->InsertItem(-1, TREE_TYPE_WORKSHEET, "Sheet3", index), S_OK);
        EXPECT_EQ(index, 2);
        ASSERT_EQ(obj->InsertItem(1, TREE_TYPE_WORKSHEET, "Sheet2", index), S_OK);
        EXPECT_EQ(index, 2);
    }
    std::string Path(int32_t item) {
        CBstr path;
        return obj->GetItemPath(item, path) == S_OK ? std::string(path.Utf8()) : "<none>";
    }
    std::string Active() {
        CBstr path;
        return obj->GetActiveWorksheet(path) == S_OK ? std::string(path.Utf8()) : "<none>";
    }
    // Every item's path, type and level, the counts and, when asked, the active worksheet.
    std::string Picture(bool active = true) {
        std::string out;
        for (const CTreeItem* p = Doc().tree.first; p; p = p->next)
            out += Path(GetTreeItemIndex(p, Doc().tree.first)) + "/" + std::to_string(p->itemType) +
                   "/" + std::to_string(p->level) + " ";
        return out + std::to_string(Doc().tree.worksheetCount) + " " +
               std::to_string(Doc().tree.folderCount) + (active ? " " + Active() : "");
    }
};

} // namespace

TEST_F(TreeTest, WalkingByLevels) {
    BuildTree();
    EXPECT_EQ(ItemCount(), 4);
    EXPECT_EQ(Path(2), "\\F\\Sheet2");
    struct Walk {
        HRESULT (CWorkbookObj::*method)(int32_t, int32_t&);
        int32_t from, result;
    };
    const Walk walks[] = {
        {&CWorkbookObj::GetFirstChildOf, 1, 2},  {&CWorkbookObj::GetFirstChildOf, 0, -1},
        {&CWorkbookObj::GetFirstChildOf, 3, -1}, {&CWorkbookObj::GetNextItem, 0, 1},
        {&CWorkbookObj::GetNextItem, 1, 3},      {&CWorkbookObj::GetNextItem, 2, -1},
        {&CWorkbookObj::GetNextItem, 3, -1},     {&CWorkbookObj::GetPreviousItem, 3, 1},
        {&CWorkbookObj::GetPreviousItem, 2, -1}, {&CWorkbookObj::GetPreviousItem, 0, -1},
        {&CWorkbookObj::GetNextItem, -7, 1}, // below 1 names the first item
    };
    for (const Walk& w : walks) {
        int32_t result = 99;
        EXPECT_EQ((obj.get()->*w.method)(w.from, result), S_OK);
        EXPECT_EQ(result, w.result) << w.from;
    }
}

TEST_F(TreeTest, IndexesPastTheEndChangeNothing) {
    BuildTree();
    int32_t n = 0;
    CBstr text;
    EXPECT_EQ(obj->GetFirstChildOf(4, n), S_FALSE);
    EXPECT_EQ(obj->GetNextItem(4, n), S_FALSE);
    EXPECT_EQ(obj->GetPreviousItem(4, n), S_FALSE);
    EXPECT_EQ(obj->IsWorksheet(4, n), S_FALSE);
    EXPECT_EQ(obj->IsFolder(4, n), S_FALSE);
    EXPECT_EQ(obj->GetItemName(4, text), S_FALSE);
    EXPECT_EQ(obj->SetItemName(4, "x"), S_FALSE);
    EXPECT_EQ(obj->GetItemPath(4, text), S_FALSE);
    EXPECT_EQ(obj->DeleteItem(4), S_FALSE);
    EXPECT_EQ(obj->InsertItem(10, TREE_TYPE_WORKSHEET, "x", n), S_FALSE);
    EXPECT_EQ(obj->InsertItem(0, 3, "x", n), E_INVALIDARG);
    EXPECT_EQ(ItemCount(), 4);
    EXPECT_EQ(Doc().tree.worksheetCount, 3u);
    EXPECT_EQ(Doc().tree.folderCount, 1u);
}

TEST_F(TreeTest, PathsAreFoundWithoutRegardToCase) {
    BuildTree();
    int32_t index = -1;
    EXPECT_EQ(obj->GetItemIndex("\\f\\SHEET2", index), S_OK);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(obj->GetItemIndex("\\Sheet2", index), S_FALSE);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(obj->SetActiveWorksheet("\\F"), S_FALSE);
    EXPECT_EQ(Active(), "<none>"); // inserted items never become active
    EXPECT_EQ(obj->SetActiveWorksheet("\\F\\sheet2"), S_OK);
    EXPECT_EQ(Active(), "\\F\\Sheet2");
    int32_t kind = -1;
    EXPECT_EQ(obj->IsFolder(1, kind), S_OK);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(obj->IsWorksheet(1, kind), S_OK);
    EXPECT_EQ(kind, 0);
}

TEST_F(TreeTest, NewWorksheetsGoBeforeAWorksheet) {
    BuildTree();
    int32_t index = -1;
    ASSERT_EQ(obj->InsertItem(3, TREE_TYPE_WORKSHEET, "Before3", index), S_OK);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(Path(3), "\\Before3");
    EXPECT_EQ(Path(4), "\\Sheet3");
}

TEST_F(TreeTest, DeletingAGroupMovesTheActiveWorksheetOutwards) {
    BuildTree();
    ASSERT_EQ(obj->SetActiveWorksheet("\\F\\Sheet2"), S_OK);
    ASSERT_EQ(obj->DeleteItem(1), S_OK);
    EXPECT_EQ(ItemCount(), 2);
    EXPECT_EQ(Active(), "\\Sheet3");
    EXPECT_EQ(Doc().tree.worksheetCount, 2u);
    EXPECT_EQ(Doc().tree.folderCount, 0u);
}

TEST_F(TreeTest, DeletingEveryWorksheetIsRefusedAsNothingChanged) {
    NewDocument();
    int32_t index = -1;
    ASSERT_EQ(obj->InsertItem(-1, TREE_TYPE_FOLDER, "Empty", index), S_OK);
    EXPECT_EQ(obj->DeleteItem(0), S_FALSE);
    EXPECT_EQ(Doc().error, kErrorLastWorksheet);
    EXPECT_EQ(ItemCount(), 2);
    EXPECT_EQ(Active(), "\\Worksheet1");
    EXPECT_EQ(obj->DeleteItem(1), S_OK); // the folder alone may go
    EXPECT_EQ(ItemCount(), 1);
}

TEST_F(TreeTest, NamesAreCutAt127Characters) {
    NewDocument();
    const std::string name(130, 'n');
    ASSERT_EQ(obj->SetItemName(0, CBstr(name)), S_OK);
    CBstr back;
    ASSERT_EQ(obj->GetItemName(0, back), S_OK);
    EXPECT_EQ(back.Utf8(), name.substr(0, 127));
    ASSERT_EQ(obj->SetItemName(0, "Gr\xC3\xBC\xC3\x9F"
                                  "e"),
              S_OK);
    ASSERT_EQ(obj->GetItemName(0, back), S_OK);
    EXPECT_EQ(back.Utf8(), "Gr\xC3\xBC\xC3\x9F"
                           "e");
    EXPECT_EQ(Active(), "\\Gr\xC3\xBC\xC3\x9F"
                        "e");
}

TEST_F(TreeTest, AnEmptyTreeHasNothingToWalk) {
    int32_t n = 5;
    EXPECT_EQ(obj->GetItemCount(n), S_OK);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(obj->GetNextItem(0, n), S_FALSE);
    EXPECT_EQ(obj->InsertItem(0, TREE_TYPE_WORKSHEET, "x", n), S_FALSE);
    EXPECT_EQ(Active(), "<none>");
}

TEST_F(TreeTest, EditsAreUndoneAndRedoneAsTheWindowsAre) {
    struct Case {
        const char* what;
        std::function<HRESULT(CWorkbookObj&)> edit;
        const char* after;
    };
    int32_t n = 0;
    const Case cases[] = {
        {"worksheet into F", [&](CWorkbookObj& o) { return o.InsertItem(1, 1, "New", n); },
         "\\Sheet1/1/1 \\F/2/1 \\F\\Sheet2/1/2 \\F\\New/1/2 \\Sheet3/1/1 4 1 \\F\\Sheet2"},
        {"folder before Sheet3", [&](CWorkbookObj& o) { return o.InsertItem(3, 2, "G", n); },
         "\\Sheet1/1/1 \\F/2/1 \\F\\Sheet2/1/2 \\G/2/1 \\Sheet3/1/1 3 2 \\F\\Sheet2"},
        {"F with Sheet2", [](CWorkbookObj& o) { return o.DeleteItem(1); },
         "\\Sheet1/1/1 \\Sheet3/1/1 2 0 \\Sheet3"},
        {"Sheet2 renamed", [](CWorkbookObj& o) { return o.SetItemName(2, "Sales"); },
         "\\Sheet1/1/1 \\F/2/1 \\F\\Sales/1/2 \\Sheet3/1/1 3 1 \\F\\Sales"},
        {"Sheet1 emptied", [](CWorkbookObj& o) { return o.SetItemName(0, ""); },
         "\\/1/1 \\F/2/1 \\F\\Sheet2/1/2 \\Sheet3/1/1 3 1 \\F\\Sheet2"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(CWorkbookObj::Create(obj), S_OK);
        BuildTree();
        ASSERT_EQ(obj->SetActiveWorksheet("\\F\\Sheet2"), S_OK);
        // Undo puts the tree back; the active worksheet is not part of what it restores.
        const std::string before = Picture(false);
        ASSERT_EQ(c.edit(*obj), S_OK) << c.what;
        EXPECT_EQ(Picture(), c.after) << c.what;
        ASSERT_EQ(UndoCommand(Doc(), nullptr), CommandResult::kDone) << c.what;
        EXPECT_EQ(Picture(false), before) << c.what;
        ASSERT_EQ(RedoCommand(Doc(), nullptr), CommandResult::kDone) << c.what;
        EXPECT_EQ(Picture(), c.after) << c.what;
    }
}

} // namespace vl
