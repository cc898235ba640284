#include "automation/typelib.h"
#include "automationtestutil.h"
#include "platform/core/alloc.h"

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
    // B1 of the active worksheet: its number, or "error " and the cell error's code.
    std::string B1() {
        const CVariant v = Value("$B$1");
        if (v.vt == VT_R8) return std::to_string(int(v.real));
        return v.vt == VT_UI1 ? "error " + std::to_string(v.integer) : "?";
    }
    int UndoEntries() {
        int n = 0;
        for (const UndoEntry& e : Doc().undo.entries) n += e.kind != kUndoEmpty;
        return n + (Doc().undo.current != -1);
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

TEST_F(TreeTest, DeletingEveryWorksheetKeepsTheTreeWithError9) {
    NewDocument();
    int32_t index = -1;
    ASSERT_EQ(obj->InsertItem(-1, TREE_TYPE_FOLDER, "Empty", index), S_OK);
    EXPECT_EQ(obj->DeleteItem(0), S_OK);
    EXPECT_EQ(Doc().error, kErrorLastWorksheet);
    EXPECT_EQ(Picture(), "\\Worksheet1/1/1 \\Empty/2/1 1 1 \\Worksheet1");
    EXPECT_EQ(UndoEntries(), 0);
    EXPECT_EQ(obj->DeleteItem(1), S_OK); // the folder alone may go
    EXPECT_EQ(ItemCount(), 1);
}

// A name the 128-byte field cannot hold whole (over 127 bytes, or a character outside the
// code page) is refused by both calls and changes nothing; one at the limit is kept whole.
TEST_F(TreeTest, NamesTheFieldCannotHoldAreRefused) {
    NewDocument();
    const std::string longest(127, 'n'), umlauts = "Gr\xC3\xBC\xC3\x9F"
                                                   "e";
    struct Case {
        std::string name;
        HRESULT result;
    } const cases[] = {
        {longest, S_OK},
        {longest + "x", E_INVALIDARG},
        {std::string(126, 'n') + "\xC3\xBC", S_OK}, // two bytes in UTF-8, one in the field
        {std::string(127, 'n') + "\xC3\xBC", E_INVALIDARG},
        {umlauts, S_OK},
        {"\xE5\xAF\x86\xE7\xA0\x81", E_INVALIDARG},
        {"a\xE2\x82\xAC", S_OK}, // the euro sign is in the code page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CBstr before, back;
        ASSERT_EQ(obj->GetItemName(0, before), S_OK);
        EXPECT_EQ(obj->SetItemName(0, CBstr(c.name)), c.result);
        ASSERT_EQ(obj->GetItemName(0, back), S_OK);
        const std::string kept(c.result == S_OK ? c.name : before.Utf8());
        EXPECT_EQ(back.Utf8(), kept);
        EXPECT_EQ(Active(), "\\" + kept);
        // The folder beside it takes the same name: the worksheet gives it up first.
        ASSERT_EQ(obj->SetItemName(0, CBstr("Base")), S_OK);
        int32_t index = 99;
        EXPECT_EQ(obj->InsertItem(-1, TREE_TYPE_FOLDER, CBstr(c.name), index), c.result);
        EXPECT_EQ(ItemCount(), c.result == S_OK ? 2 : 1);
        if (c.result != S_OK) {
            EXPECT_EQ(index, -1);
            continue;
        }
        ASSERT_EQ(obj->GetItemName(index, back), S_OK);
        EXPECT_EQ(back.Utf8(), c.name);
        ASSERT_EQ(obj->DeleteItem(index), S_OK);
    }
}

TEST_F(TreeTest, AnEmptyTreeHasNothingToWalk) {
    int32_t n = 5;
    EXPECT_EQ(obj->GetItemCount(n), S_OK);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(obj->GetNextItem(0, n), S_FALSE);
    EXPECT_EQ(obj->InsertItem(0, TREE_TYPE_WORKSHEET, "x", n), S_FALSE);
    EXPECT_EQ(Active(), "<none>");
}

// Every result of the three edits, with the whole tree after it. None records an undo entry
// or recalculates: B1 of Sheet1 (A1 + '\F\Sheet2'!A1 + Sheet3!A1, calculated as 1 + 5 + 7
// before A1 became 100) keeps 13 until UpdateWorkbook, which then sees the new tree.
TEST_F(TreeTest, EveryResultOfTheEditsWithNoUndoAndNoRecalculation) {
    struct Case {
        const char* what;
        std::function<HRESULT(CWorkbookObj&, int32_t&)> edit;
        HRESULT result;
        int32_t index; // InsertItem's out value; 99 stays for the others
        const char* after;
        const char* updated; // B1 after UpdateWorkbook; error 2 is #NAME?, a worksheet gone
    };
    const char* kBefore = "\\Sheet1/1/1 \\F/2/1 \\F\\Sheet2/1/2 \\Sheet3/1/1 3 1 \\Sheet1";
    const auto insert = [](int32_t at, int32_t type, const char* name) {
        return [=](CWorkbookObj& o, int32_t& n) { return o.InsertItem(at, type, name, n); };
    };
    const auto failing = [](int32_t at, int32_t type) {
        return [=](CWorkbookObj& o, int32_t& n) {
            SetAllocFailAfter(0);
            const HRESULT hr = o.InsertItem(at, type, "New", n);
            SetAllocFailAfter(-1);
            return hr;
        };
    };
    const auto remove = [](int32_t at) {
        return [=](CWorkbookObj& o, int32_t&) { return o.DeleteItem(at); };
    };
    const auto rename = [](int32_t at, const char* name) {
        return [=](CWorkbookObj& o, int32_t&) { return o.SetItemName(at, name); };
    };
    const auto renameFailing = [](int32_t at, const char* name) {
        return [=](CWorkbookObj& o, int32_t&) {
            SetAllocFailAfter(0);
            const HRESULT hr = o.SetItemName(at, name);
            SetAllocFailAfter(-1);
            return hr;
        };
    };
    const Case cases[] = {
        {"type 3", insert(0, 3, "New"), E_INVALIDARG, -1, kBefore, "112"},
        {"type 0", insert(-1, 0, "New"), E_INVALIDARG, -1, kBefore, "112"},
        {"insert past the end", insert(4, 1, "New"), S_FALSE, -1, kBefore, "112"},
        {"worksheet, no memory", failing(-1, 1), E_OUTOFMEMORY, -1, kBefore, "112"},
        {"folder, no memory", failing(1, 2), E_OUTOFMEMORY, -1, kBefore, "112"},
        {"worksheet into F", insert(1, 1, "New"), S_OK, 3,
         "\\Sheet1/1/1 \\F/2/1 \\F\\Sheet2/1/2 \\F\\New/1/2 \\Sheet3/1/1 4 1 \\Sheet1", "112"},
        {"folder before Sheet3", insert(3, 2, "G"), S_OK, 3,
         "\\Sheet1/1/1 \\F/2/1 \\F\\Sheet2/1/2 \\G/2/1 \\Sheet3/1/1 3 2 \\Sheet1", "112"},
        {"worksheet at the end", insert(-1, 1, "New"), S_OK, 4,
         "\\Sheet1/1/1 \\F/2/1 \\F\\Sheet2/1/2 \\Sheet3/1/1 \\New/1/1 4 1 \\Sheet1", "112"},
        {"worksheet before the first", insert(-5, 1, "New"), S_OK, 0,
         "\\New/1/1 \\Sheet1/1/1 \\F/2/1 \\F\\Sheet2/1/2 \\Sheet3/1/1 4 1 \\Sheet1", "112"},
        {"delete past the end", remove(4), S_FALSE, 99, kBefore, "112"},
        {"delete F with Sheet2", remove(1), S_OK, 99, "\\Sheet1/1/1 \\Sheet3/1/1 2 0 \\Sheet1",
         "error 2"},
        {"delete Sheet3", remove(3), S_OK, 99, "\\Sheet1/1/1 \\F/2/1 \\F\\Sheet2/1/2 2 1 \\Sheet1",
         "error 2"},
        {"rename past the end", rename(4, "x"), S_FALSE, 99, kBefore, "112"},
        // The formula naming Sheet2 follows the rename: it reads \F\Sales now.
        {"rename Sheet2", rename(2, "Sales"), S_OK, 99,
         "\\Sheet1/1/1 \\F/2/1 \\F\\Sales/1/2 \\Sheet3/1/1 3 1 \\Sheet1", "112"},
        {"rename Sheet3 as it is", rename(3, "Sheet3"), S_OK, 99, kBefore, "112"},
        // The formula's longer name needs a page: none, no rename.
        {"rename Sheet2, no memory", renameFailing(2, "Sales"), E_OUTOFMEMORY, 99, kBefore, "112"},
        // A name another item of the folder has would make "Sheet3" ambiguous: refused.
        {"rename Sheet1 as Sheet3", rename(0, "sheet3"), HRESULT(0x80040000 + 116), 99, kBefore,
         "112"},
        // Names are taken as formulas read them: blanks at the ends go, a backslash is
        // refused, and no item is added beside one of its path.
        {"rename Sheet1 as Sheet3 and a blank", rename(0, "Sheet3 "), HRESULT(0x80040000 + 116), 99,
         kBefore, "112"},
        {"rename Sheet1 with a backslash", rename(0, "F\\Sheet2"), HRESULT(0x80040000 + 123), 99,
         kBefore, "112"},
        {"rename Sheet1 with blanks", rename(0, " Sales "), S_OK, 99,
         "\\Sales/1/1 \\F/2/1 \\F\\Sheet2/1/2 \\Sheet3/1/1 3 1 \\Sales", "112"},
        {"insert beside Sheet3 by its name", insert(-1, 1, " sheet3"), HRESULT(0x80040000 + 116),
         -1, kBefore, "112"},
        {"insert into F beside Sheet2", insert(1, 2, "Sheet2"), HRESULT(0x80040000 + 116), -1,
         kBefore, "112"},
        {"insert with a backslash", insert(-1, 1, "F\\Sheet2"), HRESULT(0x80040000 + 123), -1,
         kBefore, "112"},
        {"rename Sheet1 to nothing", rename(-2, ""), S_OK, 99,
         "\\/1/1 \\F/2/1 \\F\\Sheet2/1/2 \\Sheet3/1/1 3 1 \\", "112"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(CWorkbookObj::Create(obj), S_OK);
        BuildTree();
        for (const auto& [sheet, value] : {std::pair("\\F\\Sheet2", 5), {"\\Sheet3", 7}}) {
            ASSERT_EQ(obj->SetActiveWorksheet(sheet), S_OK);
            PutNumber("$A$1", value);
        }
        ASSERT_EQ(obj->SetActiveWorksheet("\\Sheet1"), S_OK);
        PutNumber("$A$1", 1);
        ASSERT_EQ(obj->PutFormula("$B$1", "=A1+'\\F\\Sheet2'!A1+Sheet3!A1"), S_OK);
        ASSERT_EQ(obj->UpdateWorkbook(), S_OK);
        PutNumber("$A$1", 100);
        Doc().updateMode = kUpdateWorkbook; // what a window's edit would recalculate by
        ASSERT_EQ(Picture(), kBefore);
        ASSERT_EQ(B1(), "13");
        int32_t index = 99;
        EXPECT_EQ(c.edit(*obj, index), c.result) << c.what;
        EXPECT_EQ(index, c.index) << c.what;
        EXPECT_EQ(Picture(), c.after) << c.what;
        EXPECT_EQ(Doc().error, kErrorNone) << c.what;
        EXPECT_EQ(UndoEntries(), 0) << c.what;
        EXPECT_EQ(B1(), "13") << c.what;
        ASSERT_EQ(obj->UpdateWorkbook(), S_OK);
        EXPECT_EQ(B1(), c.updated) << c.what;
    }
}

} // namespace vl
