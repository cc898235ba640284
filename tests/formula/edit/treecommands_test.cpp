#include "formula/edit/treecommands.h"
#include "model/worksheettree.h"
#include "platform/core/editerrors.h"
#include "undobook.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

namespace {

// The tree as "name/level" in order.
std::string Tree(const CWorkbook& book) {
    std::string out;
    for (const CTreeItem* p = book.tree.first; p; p = p->next)
        out += std::string(p->name) + "/" + std::to_string(p->level) + " ";
    return out;
}

CTreeItem* Item(CWorkbook& book, const char* name) {
    for (CTreeItem* p = book.tree.first; p; p = p->next)
        if (std::string(p->name) == name) return p;
    return nullptr;
}

const GridSelection kSel{{1, 2, 3, 2}, 1, 2};

} // namespace

TEST(RenameTreeItemCommand, NamesUpToTheFieldsLimitAndUndoRedo) {
    struct Case {
        std::string name;
        CommandResult result;
        std::string stored;
    };
    const std::string longest(127, 'n');
    const Case cases[] = {
        {"", CommandResult::kNothing, "S2"},
        {"S2", CommandResult::kNothing, "S2"},
        {"Sales", CommandResult::kDone, "Sales"},
        {longest, CommandResult::kDone, longest},       // the last length kept whole
        {longest + "x", CommandResult::kDone, longest}, // the first one cut
        {longest.substr(0, 126) + "S", CommandResult::kDone, longest.substr(0, 126) + "S"},
    };
    for (const Case& c : cases) {
        CUndoBook b;
        const WorkbookDump before = b.Dump();
        const int32_t undo = b.Book().undo.current;
        CTreeItem& s2 = *Item(b.Book(), "S2");
        EXPECT_EQ(RenameTreeItemCommand(b.Book(), kSel, s2, c.name), c.result) << c.name;
        EXPECT_EQ(std::string(s2.name), c.stored);
        if (c.result == CommandResult::kNothing) {
            EXPECT_EQ(b.Book().undo.current, undo);
            EXPECT_TRUE(SameWorkbook(before, b.Dump()));
            continue;
        }
        EXPECT_EQ(b.Book().undo.current, undo + 1);
        ExpectUndoRedo(b, 1, before, b.Dump());
    }
}

TEST(NewTreeItemCommand, TheTargetsFolderTakesTheItem) {
    struct Case {
        const char* target;
        bool folder;
        const char* tree;
    };
    const Case cases[] = {
        {"S2", false, "S1/1 F/1 S2/2 New/2 S3/1 "}, // a worksheet's own folder
        {"F", true, "S1/1 F/1 S2/2 New/2 S3/1 "},   // a folder itself
        {"S1", false, "S1/1 F/1 S2/2 S3/1 New/1 "}, // a top-level worksheet: the end
        {nullptr, true, "S1/1 F/1 S2/2 S3/1 New/1 "},
    };
    for (const Case& c : cases) {
        CUndoBook b;
        const WorkbookDump before = b.Dump();
        CTreeItem* added = nullptr;
        CTreeItem* target = c.target ? Item(b.Book(), c.target) : nullptr;
        ASSERT_EQ(NewTreeItemCommand(b.Book(), kSel, c.folder, "New", target, &added),
                  CommandResult::kDone);
        EXPECT_EQ(Tree(b.Book()), c.tree) << (c.target ? c.target : "none");
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(added->IsFolder(), c.folder);
        ExpectUndoRedo(b, 1, before, b.Dump());
    }
}

TEST(RemoveTreeItemCommand, RemovesUntilTheLastWorksheetWhichIsRefused) {
    CUndoBook b;
    const WorkbookDump before = b.Dump();
    ASSERT_EQ(RemoveTreeItemCommand(b.Book(), kSel, *Item(b.Book(), "F")), CommandResult::kDone);
    EXPECT_EQ(Tree(b.Book()), "S1/1 S3/1 ");
    ExpectUndoRedo(b, 1, before, b.Dump());
    ASSERT_EQ(RemoveTreeItemCommand(b.Book(), kSel, *Item(b.Book(), "S1")), CommandResult::kDone);
    const WorkbookDump one = b.Dump();
    const int32_t undo = b.Book().undo.current;
    CTreeItem& last = *Item(b.Book(), "S3");
    EXPECT_EQ(RemoveTreeItemCommand(b.Book(), kSel, last), CommandResult::kFailed);
    EXPECT_EQ(b.Book().error, kErrorLastWorksheet);
    EXPECT_EQ(b.Book().undo.current, undo);
    EXPECT_TRUE(SameWorkbook(one, b.Dump()));
    // Undo still walks back through both removals.
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
}

TEST(MoveTreeItemCommand, MovesSubtreesAndRefusesItsOwnInside) {
    struct Case {
        const char* dragged;
        const char* target;
        CommandResult result;
        const char* tree;
    };
    const Case cases[] = {
        {"S1", "F", CommandResult::kDone, "F/1 S2/2 S1/2 S3/1 "},
        {"S3", "S2", CommandResult::kDone, "S1/1 F/1 S3/2 S2/2 "},
        {"F", nullptr, CommandResult::kDone, "S1/1 S3/1 F/1 S2/2 "},
        {"F", "S2", CommandResult::kNothing, "S1/1 F/1 S2/2 S3/1 "},
        {"F", "F", CommandResult::kNothing, "S1/1 F/1 S2/2 S3/1 "},
    };
    // At one undo level too, the move's two entries stay whole.
    for (const uint32_t level : {200u, 1u})
        for (const Case& c : cases) {
            CUndoBook b;
            b.Book().SetUndoLevel(level);
            const WorkbookDump before = b.Dump();
            const int32_t undo = b.Book().undo.current;
            CTreeItem* target = c.target ? Item(b.Book(), c.target) : nullptr;
            CTreeItem* moved = nullptr;
            ASSERT_EQ(
                MoveTreeItemCommand(b.Book(), kSel, *Item(b.Book(), c.dragged), target, &moved),
                c.result)
                << c.dragged;
            EXPECT_EQ(Tree(b.Book()), c.tree) << c.dragged;
            if (c.result == CommandResult::kNothing) {
                EXPECT_EQ(moved, nullptr);
                EXPECT_EQ(b.Book().undo.current, undo);
                EXPECT_TRUE(SameWorkbook(before, b.Dump()));
                continue;
            }
            ASSERT_NE(moved, nullptr);
            EXPECT_EQ(std::string(moved->name), c.dragged);
            EXPECT_EQ(b.Book().undo.current, undo + 2);
            SCOPED_TRACE(std::string(c.dragged) + " at level " + std::to_string(level));
            // Its two entries are one edit: one Undo takes the whole move back.
            ExpectUndoRedo(b, 1, before, b.Dump());
            EXPECT_EQ(b.Book().undo.current, undo + 2);
        }
}

TEST(InsertTreeItemCommand, BeforeAWorksheetIntoAFolderOrAtTheEnd) {
    struct Case {
        const char* target;
        bool folder;
        const char* tree;
    };
    const Case cases[] = {
        {"S2", false, "S1/1 F/1 New/2 S2/2 S3/1 "}, // before a worksheet, at its level
        {"S1", true, "New/1 S1/1 F/1 S2/2 S3/1 "},  // before the first item
        {"F", false, "S1/1 F/1 S2/2 New/2 S3/1 "},  // the end of a folder, one deeper
        {nullptr, false, "S1/1 F/1 S2/2 S3/1 New/1 "},
    };
    for (const Case& c : cases) {
        CUndoBook b;
        CWorksheet* active = b.Book().tree.active;
        const WorkbookDump before = b.Dump();
        CTreeItem* added = nullptr;
        CTreeItem* target = c.target ? Item(b.Book(), c.target) : nullptr;
        ASSERT_EQ(InsertTreeItemCommand(b.Book(), kSel, c.folder, "New", target, &added),
                  CommandResult::kDone);
        EXPECT_EQ(Tree(b.Book()), c.tree) << (c.target ? c.target : "none");
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(added->IsFolder(), c.folder);
        EXPECT_EQ(b.Book().tree.active, active); // the new item does not become active
        ExpectUndoRedo(b, 1, before, b.Dump());
    }
}

// No new item gets a path another item has, one with no room in a formula, or a name that a
// formula would read as another: the blanks at a name's ends go, and a backslash is refused.
TEST(InsertTreeItemCommand, NoNewItemSharesAPathOrHasOneNothingReads) {
    struct Case {
        const char* target;
        std::string name;
        ErrorCode error; // none: added, named `kept`
        const char* kept;
    };
    const std::string folder127(127, 'f');
    const Case cases[] = {
        {nullptr, "S3", kErrorDuplicatePath, nullptr},
        {nullptr, " s3  ", kErrorDuplicatePath, nullptr},
        {"S2", "s2", kErrorDuplicatePath, nullptr},
        {"F", "S2 ", kErrorDuplicatePath, nullptr},
        {nullptr, "f", kErrorDuplicatePath, nullptr},
        {nullptr, "F\\S2", kErrorNameBackslash, nullptr},
        {"F", "A\\", kErrorNameBackslash, nullptr},
        {nullptr, "S2", kErrorNone, "S2"},
        {"F", " S4 ", kErrorNone, "S4"},
        // Inside a folder of 127 characters: 255 in all is the last path accepted.
        {folder127.c_str(), std::string(126, 'x'), kErrorNone, nullptr},
        {folder127.c_str(), std::string(127, 'x'), kErrorPathTooLong, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CUndoBook b;
        if (c.target == folder127.c_str()) Item(b.Book(), "F")->SetName(folder127.c_str());
        const WorkbookDump before = b.Dump();
        const int32_t undo = b.Book().undo.current;
        CTreeItem* added = nullptr;
        CTreeItem* target = c.target ? Item(b.Book(), c.target) : nullptr;
        const CommandResult result =
            InsertTreeItemCommand(b.Book(), kSel, false, c.name.c_str(), target, &added);
        if (c.error == kErrorNone) {
            ASSERT_EQ(result, CommandResult::kDone);
            ASSERT_NE(added, nullptr);
            EXPECT_EQ(std::string(added->name), c.kept ? c.kept : c.name);
            std::string path;
            EXPECT_TRUE(BuildTreeItemPath(added, path, false));
            continue;
        }
        EXPECT_EQ(result, CommandResult::kFailed);
        EXPECT_EQ(b.Book().error, c.error);
        EXPECT_EQ(added, nullptr);
        EXPECT_EQ(b.Book().undo.current, undo);
        EXPECT_TRUE(b.Dump() == before);
    }
}

// A rename takes the name as formulas read it: onto a sibling's name with blanks at its ends
// it is refused, as with a backslash, and its own name with blanks changes nothing.
TEST(RenameTreeItemCommand, BlanksAtTheEndsGoAndABackslashIsRefused) {
    for (const TreeEditor editor : {TreeEditor::kWindow, TreeEditor::kAutomation}) {
        struct Case {
            const char* item;
            const char* name;
            CommandResult result;
            ErrorCode error;
            const char* after;
        };
        const Case cases[] = {
            {"S1", "S3 ", CommandResult::kFailed, kErrorDuplicatePath, "S1"},
            {"S1", "  s3", CommandResult::kFailed, kErrorDuplicatePath, "S1"},
            {"S1", "F\\S2", CommandResult::kFailed, kErrorNameBackslash, "S1"},
            {"F", "X\\", CommandResult::kFailed, kErrorNameBackslash, "F"},
            {"S1", " S1 ", CommandResult::kNothing, kErrorNone, "S1"},
            {"S1", " S4 ", CommandResult::kDone, kErrorNone, "S4"},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            CUndoBook b;
            b.Book().error = kErrorNone;
            const int32_t undo = b.Book().undo.current;
            CTreeItem* item = Item(b.Book(), c.item);
            EXPECT_EQ(RenameTreeItemCommand(b.Book(), kSel, *item, c.name, editor), c.result);
            EXPECT_EQ(b.Book().error, c.error);
            EXPECT_STREQ(item->name, c.after);
            // Only the window's rename that is made keeps an entry.
            const bool kept = c.result == CommandResult::kDone && editor == TreeEditor::kWindow;
            EXPECT_EQ(b.Book().undo.current, kept ? undo + 1 : undo);
        }
    }
}

// Automation's name may be empty, and its edits leave the history as it was.
TEST(RenameTreeItemCommand, AutomationsEmptyNameIsKeptWithoutAnUndoEntry) {
    CUndoBook b;
    const int32_t current = b.Book().undo.current;
    CTreeItem& f = *Item(b.Book(), "F");
    ASSERT_EQ(RenameTreeItemCommand(b.Book(), kSel, f, "", TreeEditor::kAutomation),
              CommandResult::kDone);
    EXPECT_STREQ(f.name, "");
    EXPECT_EQ(RenameTreeItemCommand(b.Book(), kSel, f, "", TreeEditor::kAutomation),
              CommandResult::kNothing);
    EXPECT_EQ(b.Book().undo.current, current);
}

} // namespace vl
