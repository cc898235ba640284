#include "model/worksheettree.h"
#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

namespace {

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
    EXPECT_EQ(std::tuple(Names(book->tree.first), book->tree.worksheetCount, book->tree.folderCount,
                         std::string(book->tree.active->name)),
              std::tuple("Worksheet1:1 Folder1:1 Worksheet2:2 Folder2:2 Mine:1 Worksheet4:1 ", 4u,
                         2u, "Worksheet1"));
}

TEST(WorksheetTree, NamesAndLevelsNeverOverrunTheirFields) {
    const std::string huge(300, 'q');
    auto book = BookWith({{W, huge.c_str(), 1}, {F, "f", 1}, {W, "deep", 60000}, {W, "w", 0}});
    // A level read from a file can be no deeper than one below the folder before it.
    EXPECT_EQ(Names(book->tree.first), std::string(127, 'q') + ":1 f:1 deep:2 w:1 ");
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
        EXPECT_EQ(std::tuple(std::string(book->tree.active->name), item->prev, error),
                  std::tuple(expectActive, nullptr, 0))
            << detach;
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
    const auto state = [&] {
        return std::tuple(Names(book->tree.first), Names(chain.get()), book->tree.worksheetCount,
                          book->tree.folderCount);
    };
    EXPECT_EQ(state(), std::tuple("A:1 B:1 ", "F:1 G:2 In:3 ", 2u, 0u));
    for (CTreeItem* again : {folder, folder->next->next}) {
        EXPECT_FALSE(DetachTreeItem(book->tree, again, error));
        EXPECT_EQ(error, kErrorLastWorksheet);
        EXPECT_EQ(state(), std::tuple("A:1 B:1 ", "F:1 G:2 In:3 ", 2u, 0u));
    }
    InsertTreeItem(book->tree, chain.release(), Named(*book, "B"));
    EXPECT_EQ(state(), std::tuple("A:1 F:1 G:2 In:3 B:1 ", "", 3u, 2u));
    auto only = BookWith({{F, "F", 1}, {W, "Only", 2}, {F, "E", 1}});
    const BookState before = StateOf(*only);
    for (const char* name : {"F", "Only"}) {
        error = 0;
        EXPECT_FALSE(DetachTreeItem(only->tree, Named(*only, name), error));
        EXPECT_EQ(std::tuple(error, StateOf(*only) == before),
                  std::tuple(ErrorCode(kErrorLastWorksheet), true));
    }
    CTreeItem* empty = Named(*only, "E");
    EXPECT_TRUE(DetachTreeItem(only->tree, empty, error));
    FreeTreeItemList(empty);
}

TEST(WorksheetTree, PositionsLookupsAndTeardown) {
    const long before = LiveBlockCount();
    {
        auto book = BookWith({{W, "A", 1}, {F, "F", 1}, {W, "B", 2}, {W, "C", 1}});
        CTreeItem* first = book->tree.first;
        CWorksheet loose("loose", 1);
        EXPECT_EQ(
            std::tuple(GetTreeItemAt(-3, first), GetTreeItemAt(2, first), GetTreeItemAt(4, first)),
            std::tuple(first, Named(*book, "B"), nullptr));
        EXPECT_EQ(
            std::tuple(GetTreeItemIndex(Named(*book, "B"), first), GetTreeItemIndex(&loose, first)),
            std::tuple(2, -1));
        // A new worksheet points at its own store; a folder has none.
        EXPECT_EQ(std::tuple(loose.cellStore, Named(*book, "F")->cellStore),
                  std::tuple(&loose.cells, static_cast<CCellStore*>(nullptr)));
        PutNumber(book->tree.active->cells, 1, 1, 2.0);
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
