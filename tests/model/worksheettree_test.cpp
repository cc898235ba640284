#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/alloc.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {

namespace {

// Builds a workbook whose tree is given as (type, name, level) triples, in display order.
struct Item {
    uint8_t type;
    const char* name;
    uint16_t level;
};

std::unique_ptr<CWorkbook> BookWith(std::initializer_list<Item> items) {
    auto book = NewWorkbook();
    for (const Item& i : items) book->AppendTreeItem(i.type, i.name, i.level);
    return book;
}

constexpr uint8_t W = TREE_TYPE_WORKSHEET;
constexpr uint8_t F = TREE_TYPE_FOLDER;

std::string Names(const CTreeItem* first) {
    std::string out;
    for (const CTreeItem* p = first; p; p = p->next)
        out += std::string(p->name) + ":" + std::to_string(p->level) + " ";
    return out;
}

CTreeItem* Named(CWorkbook& book, const char* name) {
    for (CTreeItem* p = book.tree.first; p; p = p->next)
        if (std::string(p->name) == name) return p;
    return nullptr;
}

std::string PathOf(const CTreeItem* item, bool foldersOnly = false) {
    std::string path;
    EXPECT_TRUE(BuildTreeItemPath(item, path, foldersOnly));
    return path;
}

} // namespace

TEST(WorksheetTree, PathsThroughFolders) {
    auto book =
        BookWith({{W, "Data", 1}, {F, "A", 1}, {W, "X", 2}, {F, "B", 2}, {W, "S", 3}, {W, "T", 2}});
    EXPECT_EQ(PathOf(Named(*book, "Data")), "\\Data");
    EXPECT_EQ(PathOf(Named(*book, "Data"), true), "\\");
    EXPECT_EQ(PathOf(Named(*book, "S")), "\\A\\B\\S");
    EXPECT_EQ(PathOf(Named(*book, "S"), true), "\\A\\B\\");
    EXPECT_EQ(PathOf(Named(*book, "T")), "\\A\\T"); // B is a sibling, not a parent
    EXPECT_EQ(PathOf(Named(*book, "B")), "\\A\\B");
    EXPECT_EQ(FindTreeItemByPath(book->tree.first, "\\A\\B\\S"), Named(*book, "S"));
    EXPECT_EQ(FindTreeItemByPath(book->tree.first, "\\A\\S"), nullptr);
}

TEST(WorksheetTree, PathThatWouldReach256BytesFails) {
    const std::string long127(127, 'n');
    auto book = BookWith({{F, long127.c_str(), 1}, {F, long127.c_str(), 2}, {W, "s", 3}});
    std::string path;
    EXPECT_FALSE(BuildTreeItemPath(Named(*book, "s"), path, false));
    EXPECT_EQ(path, "\\" + long127 + "\\s"); // the part built before the limit
    EXPECT_LT(path.size(), kMaxTreePath);
}

TEST(WorksheetTree, DefaultNamesCountEachKind) {
    auto book = BookWith({{W, nullptr, 1},
                          {F, nullptr, 1},
                          {W, nullptr, 2},
                          {F, nullptr, 2},
                          {W, "Mine", 1},
                          {W, nullptr, 1}});
    EXPECT_EQ(Names(book->tree.first),
              "Worksheet1:1 Folder1:1 Worksheet2:2 Folder2:2 Mine:1 Worksheet4:1 ");
    EXPECT_EQ(book->tree.worksheetCount, 4u);
    EXPECT_EQ(book->tree.folderCount, 2u);
    EXPECT_STREQ(book->tree.active->name, "Worksheet1");
}

TEST(WorksheetTree, NamesAndLevelsNeverOverrunTheirFields) {
    const std::string huge(300, 'q');
    auto book = BookWith({{W, huge.c_str(), 1}, {F, "f", 1}, {W, "deep", 60000}, {W, "w", 0}});
    EXPECT_EQ(std::string(book->tree.first->name), std::string(127, 'q'));
    // A level read from a file can be no deeper than one below the folder before it.
    EXPECT_EQ(Named(*book, "deep")->level, 2);
    EXPECT_EQ(Named(*book, "w")->level, 1);
    CTreeItem folder("x", 60000, F, 0);
    EXPECT_EQ(folder.level, kMaxTreeLevel);
    CTreeItem* p = book->tree.first;
    p->next->level = 200; // as a careless reader might leave it
    NormalizeTreeLevels(book->tree.first);
    EXPECT_EQ(Names(book->tree.first), std::string(127, 'q') + ":1 f:1 deep:2 w:1 ");
}

TEST(WorksheetTree, InsertShiftsTheChainToItsPlace) {
    auto book = BookWith({{W, "S1", 1}, {F, "F", 1}, {W, "In", 2}, {W, "S2", 1}});
    // A free chain whose base level is 3.
    auto* c1 = new (std::nothrow) CTreeItem("C", 3, F, 1);
    auto* c2 = new (std::nothrow) CWorksheet("Cw", 4);
    c1->next = c2;
    c2->prev = c1;
    InsertTreeItem(book->tree, c1, Named(*book, "F"));
    EXPECT_EQ(Names(book->tree.first), "S1:1 F:1 In:2 C:2 Cw:3 S2:1 ");
    EXPECT_EQ(book->tree.worksheetCount, 4u);
    EXPECT_EQ(book->tree.folderCount, 2u);
    // With a worksheet as target the chain goes before it, at its level.
    auto* w = new (std::nothrow) CWorksheet("New", 1);
    InsertTreeItem(book->tree, w, Named(*book, "In"));
    EXPECT_EQ(Names(book->tree.first), "S1:1 F:1 New:2 In:2 C:2 Cw:3 S2:1 ");
    // Without a target: the end, level 1.
    auto* e = new (std::nothrow) CWorksheet("End", 5);
    InsertTreeItem(book->tree, e, nullptr);
    EXPECT_EQ(book->tree.first->prev, nullptr);
    EXPECT_EQ(Names(book->tree.first), "S1:1 F:1 New:2 In:2 C:2 Cw:3 S2:1 End:1 ");
    for (CTreeItem* p = book->tree.first; p && p->next; p = p->next) EXPECT_EQ(p->next->prev, p);
}

TEST(WorksheetTree, InsertingBeforeTheFirstItemMakesTheChainFirst) {
    auto book = BookWith({{W, "S1", 1}});
    auto* w = new (std::nothrow) CWorksheet("Front", 1);
    InsertTreeItem(book->tree, w, book->tree.first);
    EXPECT_EQ(book->tree.first, w);
    EXPECT_EQ(Names(book->tree.first), "Front:1 S1:1 ");
}

TEST(WorksheetTree, DetachChoosesTheNearestWorksheet) {
    struct Case {
        const char* detach;
        const char* active;
        const char* expectActive;
    };
    const Case cases[] = {
        {"F", "In1", "After"},  // the first candidate after the run is a worksheet
        {"G", "In2", "Before"}, // after it comes a folder, before it a worksheet
        {"After", "After", "In2"},
    };
    for (const Case& c : cases) {
        auto book = BookWith(
            {{W, "Before", 1}, {F, "F", 1}, {W, "In1", 2}, {W, "After", 1}, {F, "Empty", 1}});
        // A second layout for the folder G.
        if (std::string(c.detach) == "G")
            book = BookWith(
                {{W, "Before", 1}, {F, "G", 1}, {W, "In2", 2}, {F, "H", 1}, {W, "Last", 2}});
        if (std::string(c.detach) == "After")
            book = BookWith({{F, "F", 1}, {W, "In2", 2}, {W, "After", 1}});
        book->tree.active = AsWorksheet(Named(*book, c.active));
        ErrorCode error = 0;
        CTreeItem* item = Named(*book, c.detach);
        ASSERT_TRUE(DetachTreeItem(book->tree, item, error)) << c.detach;
        TreeChain chain(item);
        EXPECT_STREQ(book->tree.active->name, c.expectActive) << c.detach;
        EXPECT_EQ(item->prev, nullptr);
        EXPECT_EQ(error, 0);
    }
}

TEST(WorksheetTree, DetachKeepsCountsAndTheChainWhole) {
    auto book = BookWith({{W, "A", 1}, {F, "F", 1}, {F, "G", 2}, {W, "In", 3}, {W, "B", 1}});
    ErrorCode error = 0;
    CTreeItem* folder = Named(*book, "F");
    ASSERT_TRUE(DetachTreeItem(book->tree, folder, error));
    TreeChain chain(folder);
    EXPECT_EQ(Names(book->tree.first), "A:1 B:1 ");
    EXPECT_EQ(Names(chain.get()), "F:1 G:2 In:3 ");
    EXPECT_EQ(book->tree.worksheetCount, 2u);
    EXPECT_EQ(book->tree.folderCount, 0u);
    // Putting it back restores the tree.
    InsertTreeItem(book->tree, chain.release(), Named(*book, "B"));
    EXPECT_EQ(Names(book->tree.first), "A:1 F:1 G:2 In:3 B:1 ");
    EXPECT_EQ(book->tree.worksheetCount, 3u);
}

TEST(WorksheetTree, RemovingEveryWorksheetIsRefused) {
    auto book = BookWith({{F, "F", 1}, {W, "Only", 2}, {F, "E", 1}});
    const std::string before = Names(book->tree.first);
    for (const char* name : {"F", "Only"}) {
        ErrorCode error = 0;
        EXPECT_FALSE(DetachTreeItem(book->tree, Named(*book, name), error));
        EXPECT_EQ(error, kErrorLastWorksheet);
        EXPECT_EQ(Names(book->tree.first), before);
    }
    ErrorCode error = 0;
    CTreeItem* empty = Named(*book, "E");
    EXPECT_TRUE(DetachTreeItem(book->tree, empty, error));
    FreeTreeItemList(empty);
}

TEST(WorksheetTree, PositionsAndLookups) {
    auto book = BookWith({{W, "A", 1}, {F, "F", 1}, {W, "B", 2}});
    EXPECT_EQ(GetTreeItemAt(-3, book->tree.first), book->tree.first);
    EXPECT_STREQ(GetTreeItemAt(2, book->tree.first)->name, "B");
    EXPECT_EQ(GetTreeItemAt(3, book->tree.first), nullptr);
    EXPECT_EQ(GetTreeItemIndex(Named(*book, "B"), book->tree.first), 2);
    CWorksheet loose("loose", 1);
    EXPECT_EQ(GetTreeItemIndex(&loose, book->tree.first), -1);
}

TEST(WorksheetTree, FreeingAChainFreesEveryItem) {
    const long before = LiveBlockCount();
    {
        auto book = BookWith({{W, "A", 1}, {F, "F", 1}, {W, "B", 2}, {W, "C", 1}});
        CellBuffer b;
        MakeNumberCell(b, 1, 1, 2.0);
        CellCursor cursor;
        ASSERT_TRUE(book->tree.active->cells.PutCell(b.bytes, cursor));
        ASSERT_TRUE(
            SetFormatStoreRowEntry(AsWorksheet(Named(*book, "B"))->formats, 5000, 30, true));
        ErrorCode error = 0;
        CTreeItem* folder = Named(*book, "F");
        ASSERT_TRUE(DetachTreeItem(book->tree, folder, error));
        FreeTreeItemList(folder);
    }
    EXPECT_EQ(LiveBlockCount(), before);
}

TEST(WorksheetTree, NewWorksheetDefaults) {
    CWorksheet ws("Sheet", 1);
    EXPECT_EQ(ws.itemType, TREE_TYPE_WORKSHEET);
    EXPECT_EQ(ws.cellStore, &ws.cells);
    EXPECT_EQ(ws.view.scale, 100);
    EXPECT_EQ(ws.view.showGrid, 1);
    EXPECT_EQ(ws.pageSetup.scale, 100);
    EXPECT_EQ(ws.pageSetup.copies, 1);
    EXPECT_EQ(ws.pageSetup.firstPageNumber, 1);
    EXPECT_STREQ(ws.pageSetup.headerText, "&c Document: &f");
    EXPECT_STREQ(ws.pageSetup.footerText, "&c &p");
    EXPECT_EQ(ws.firstContainer, nullptr);
    CTreeItem folder("F", 2, TREE_TYPE_FOLDER, 1);
    EXPECT_EQ(folder.cellStore, nullptr);
    EXPECT_EQ(folder.expanded, 1);
}

} // namespace vl
