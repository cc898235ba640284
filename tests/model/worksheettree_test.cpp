#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/alloc.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace vl {

namespace {

// Builds a workbook whose tree is given as (type, name, level) triples, in display order.
struct Item {
    uint8_t type;
    const char* name;
    uint16_t level;
};

std::unique_ptr<CWorkbook> BookWith(const std::vector<Item>& items) {
    auto book = CreateWorkbook();
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

// A path of 255 bytes is built; one that would reach 256 stops with the part built so far.
TEST(WorksheetTree, PathThatWouldReach256BytesFails) {
    const std::string outer(127, 'o');
    for (size_t inner : {124u, 125u}) {
        const std::string name(inner, 'i');
        auto book = BookWith({{F, outer.c_str(), 1}, {F, name.c_str(), 2}, {W, "s", 3}});
        std::string path;
        EXPECT_EQ(BuildTreeItemPath(Named(*book, "s"), path, false), inner == 124);
        EXPECT_EQ(path, inner == 124 ? "\\" + outer + "\\" + name + "\\s" : "\\" + name + "\\s");
        EXPECT_EQ(path.size(), inner == 124 ? 255u : inner + 3);
    }
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
    // A free chain whose base level is 3 goes at the end of a target folder's subtree.
    auto* c1 = new (std::nothrow) CTreeItem("C", 3, F, 1);
    auto* c2 = new (std::nothrow) CWorksheet("Cw", 4);
    c1->next = c2;
    c2->prev = c1;
    InsertTreeItem(book->tree, c1, Named(*book, "F"));
    EXPECT_EQ(Names(book->tree.first), "S1:1 F:1 In:2 C:2 Cw:3 S2:1 ");
    EXPECT_EQ(std::tuple(book->tree.worksheetCount, book->tree.folderCount), std::tuple(4u, 2u));
    // With a worksheet as target the chain goes before it, at its level; without one at the
    // end, level 1; before the first item it becomes the first.
    InsertTreeItem(book->tree, new (std::nothrow) CWorksheet("New", 1), Named(*book, "In"));
    InsertTreeItem(book->tree, new (std::nothrow) CWorksheet("End", 5), nullptr);
    InsertTreeItem(book->tree, new (std::nothrow) CWorksheet("Front", 3), book->tree.first);
    EXPECT_EQ(Names(book->tree.first), "Front:1 S1:1 F:1 New:2 In:2 C:2 Cw:3 S2:1 End:1 ");
    EXPECT_EQ(book->tree.first->prev, nullptr);
    for (CTreeItem* p = book->tree.first; p && p->next; p = p->next) EXPECT_EQ(p->next->prev, p);
}

TEST(WorksheetTree, DetachChoosesTheNearestWorksheet) {
    const std::tuple<std::vector<Item>, const char*, const char*, const char*> cases[] = {
        // The first candidate after the run is a worksheet.
        {{{W, "Before", 1}, {F, "F", 1}, {W, "In1", 2}, {W, "After", 1}, {F, "Empty", 1}},
         "F",
         "In1",
         "After"},
        // After it comes a folder, before it a worksheet.
        {{{W, "Before", 1}, {F, "G", 1}, {W, "In2", 2}, {F, "H", 1}, {W, "Last", 2}},
         "G",
         "In2",
         "Before"},
        {{{F, "F", 1}, {W, "In2", 2}, {W, "After", 1}}, "After", "After", "In2"},
    };
    for (const auto& [items, detach, active, expectActive] : cases) {
        auto book = BookWith(items);
        book->tree.active = AsWorksheet(Named(*book, active));
        ErrorCode error = 0;
        CTreeItem* item = Named(*book, detach);
        ASSERT_TRUE(DetachTreeItem(book->tree, item, error)) << detach;
        TreeChain chain(item);
        EXPECT_STREQ(book->tree.active->name, expectActive) << detach;
        EXPECT_EQ(item->prev, nullptr);
        EXPECT_EQ(error, 0);
    }
}

// Counts follow; the chain comes out whole and goes back; a second detach of the same item
// is refused (error 9) and changes nothing; so is detaching every worksheet.
TEST(WorksheetTree, DetachKeepsCountsAndRefusesWhatItCannotTake) {
    auto book = BookWith({{W, "A", 1}, {F, "F", 1}, {F, "G", 2}, {W, "In", 3}, {W, "B", 1}});
    ErrorCode error = 0;
    CTreeItem* folder = Named(*book, "F");
    ASSERT_TRUE(DetachTreeItem(book->tree, folder, error));
    TreeChain chain(folder);
    EXPECT_EQ(Names(book->tree.first), "A:1 B:1 ");
    EXPECT_EQ(Names(chain.get()), "F:1 G:2 In:3 ");
    EXPECT_EQ(std::tuple(book->tree.worksheetCount, book->tree.folderCount), std::tuple(2u, 0u));
    for (CTreeItem* again : {folder, folder->next->next}) {
        EXPECT_FALSE(DetachTreeItem(book->tree, again, error));
        EXPECT_EQ(error, kErrorLastWorksheet);
        EXPECT_EQ(Names(book->tree.first), "A:1 B:1 ");
        EXPECT_EQ(Names(chain.get()), "F:1 G:2 In:3 ");
        EXPECT_EQ(book->tree.worksheetCount, 2u);
    }
    InsertTreeItem(book->tree, chain.release(), Named(*book, "B"));
    EXPECT_EQ(Names(book->tree.first), "A:1 F:1 G:2 In:3 B:1 ");
    EXPECT_EQ(book->tree.worksheetCount, 3u);
    auto only = BookWith({{F, "F", 1}, {W, "Only", 2}, {F, "E", 1}});
    for (const char* name : {"F", "Only"}) {
        error = 0;
        EXPECT_FALSE(DetachTreeItem(only->tree, Named(*only, name), error));
        EXPECT_EQ(error, kErrorLastWorksheet);
        EXPECT_EQ(Names(only->tree.first), "F:1 Only:2 E:1 ");
    }
    CTreeItem* empty = Named(*only, "E");
    EXPECT_TRUE(DetachTreeItem(only->tree, empty, error));
    FreeTreeItemList(empty);
}

TEST(WorksheetTree, PositionsLookupsAndTeardown) {
    const long before = LiveBlockCount();
    {
        auto book = BookWith({{W, "A", 1}, {F, "F", 1}, {W, "B", 2}, {W, "C", 1}});
        EXPECT_EQ(GetTreeItemAt(-3, book->tree.first), book->tree.first);
        EXPECT_STREQ(GetTreeItemAt(2, book->tree.first)->name, "B");
        EXPECT_EQ(GetTreeItemAt(4, book->tree.first), nullptr);
        EXPECT_EQ(GetTreeItemIndex(Named(*book, "B"), book->tree.first), 2);
        CWorksheet loose("loose", 1);
        EXPECT_EQ(GetTreeItemIndex(&loose, book->tree.first), -1);
        // A new worksheet points at its own store; a folder has none.
        EXPECT_EQ(loose.cellStore, &loose.cells);
        EXPECT_EQ(Named(*book, "F")->cellStore, nullptr);
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

} // namespace vl
