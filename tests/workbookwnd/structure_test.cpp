// The window's structure commands: the worksheet tree, rows and columns, Delete, Undo and
// Redo, navigation, the panes and reference picking.

#include "core/settings.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "tests/formula/edit/workbookdump.h"
#include "wndtest.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/treepane.h"

#include <QLineEdit>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <functional>

namespace vl {

namespace {

class StructureTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    void TearDown() override {
        SetWorkbookKeyState(nullptr);
        WindowTest::TearDown();
    }
    CTreePane& Tree() const { return *Active()->TreePane(); }
    // "name:level" of every item in order.
    std::string Shape() const {
        std::string out;
        for (CTreeItem* p = Book().tree.first; p; p = p->next)
            out += std::string(p->name) + ":" + std::to_string(p->level) + " ";
        return out;
    }
    CTreeItem* Item(const char* name) const {
        for (CTreeItem* p = Book().tree.first; p; p = p->next)
            if (std::string(p->name) == name) return p;
        return nullptr;
    }
    void SelectItem(const char* name) { Tree().Select(Item(name)); }
    // Ends the label editing that New Worksheet and New Folder start.
    void EndLabelEdit() {
        Tree().Control()->closePersistentEditor(Tree().Control()->currentItem());
        View()->setFocus();
        Settle();
    }
    void NewItem(int id, const char* selected = nullptr) {
        if (selected) SelectItem(selected);
        Command(id);
        EndLabelEdit();
    }
    QString LastBox() const { return ui.boxes.empty() ? QString() : ui.boxes.back().text; }
};

TEST_F(StructureTest, NewItemsTakeTheirNamesAndPlaces) {
    NewItem(ID_NEW_WORKSHEET);
    EXPECT_EQ(Shape(), "Worksheet1:1 Worksheet2:1 ");
    EXPECT_EQ(Book().tree.active, Item("Worksheet2"));
    NewItem(ID_NEW_FOLDER);
    NewItem(ID_NEW_WORKSHEET, "Folder1");
    EXPECT_EQ(Shape(), "Worksheet1:1 Worksheet2:1 Folder1:1 Worksheet3:2 ");
    // On a worksheet inside a folder: last inside it, one level deeper than the folder.
    NewItem(ID_NEW_FOLDER, "Worksheet3");
    EXPECT_EQ(Shape(), "Worksheet1:1 Worksheet2:1 Folder1:1 Worksheet3:2 Folder2:2 ");
    // On the root or a top-level worksheet: the end at level 1.
    Tree().Control()->setCurrentItem(Tree().Root());
    Command(ID_NEW_FOLDER);
    EndLabelEdit();
    NewItem(ID_NEW_FOLDER, "Worksheet1");
    EXPECT_EQ(Shape(),
              "Worksheet1:1 Worksheet2:1 Folder1:1 Worksheet3:2 Folder2:2 Folder3:1 Folder4:1 ");
    EXPECT_EQ(Tree().Root()->childCount(), 5);
    EXPECT_TRUE(Active()->IsModified());
}

// A top-level worksheet after a folder of its own level lies in no folder: new items made
// on it go to the end at level 1, and the control puts them under the root, not inside the
// folder before them.
TEST_F(StructureTest, NewItemsBesideATopLevelWorksheetAfterAFolderStayAtTheTop) {
    NewItem(ID_NEW_FOLDER);
    NewItem(ID_NEW_WORKSHEET, "Folder1");
    NewItem(ID_NEW_WORKSHEET); // on Worksheet2, inside the folder: also inside
    Tree().Drop(Item("Worksheet1"), Tree().Root());
    ASSERT_EQ(Shape(), "Folder1:1 Worksheet2:2 Worksheet3:2 Worksheet1:1 ");
    struct Case {
        int id;
        const char* shape;
    };
    const Case cases[] = {
        {ID_NEW_WORKSHEET, "Folder1:1 Worksheet2:2 Worksheet3:2 Worksheet1:1 Worksheet4:1 "},
        {ID_NEW_FOLDER, "Folder1:1 Worksheet2:2 Worksheet3:2 Worksheet1:1 Folder2:1 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const int undo = Book().undo.current;
        NewItem(c.id, "Worksheet1");
        EXPECT_EQ(Shape(), c.shape);
        // The control: the root holds the folder, Worksheet1 and the new item, in order.
        QTreeWidgetItem* root = Tree().Root();
        ASSERT_EQ(root->childCount(), 3);
        EXPECT_EQ(CTreePane::ItemOf(root->child(0)), Item("Folder1"));
        EXPECT_EQ(CTreePane::ItemOf(root->child(1)), Item("Worksheet1"));
        EXPECT_EQ(CTreePane::ItemOf(root->child(2)), Book().tree.first->next->next->next->next);
        EXPECT_EQ(Tree().FindHandle(Item("Folder1"))->childCount(), 2);
        Command(ID_EDIT_UNDO);
        EXPECT_EQ(Book().undo.current, undo);
    }
    // A new folder made last at level 1 right after an empty folder is its sibling too.
    Tree().Control()->setCurrentItem(Tree().Root());
    Command(ID_NEW_FOLDER);
    EndLabelEdit();
    Tree().Control()->setCurrentItem(Tree().Root());
    Command(ID_NEW_FOLDER);
    EndLabelEdit();
    EXPECT_EQ(Shape(), "Folder1:1 Worksheet2:2 Worksheet3:2 Worksheet1:1 Folder3:1 Folder4:1 ");
    EXPECT_EQ(Tree().Root()->childCount(), 4);
    EXPECT_EQ(Tree().FindHandle(Item("Folder3"))->childCount(), 0);
}

TEST_F(StructureTest, DropsLandBeforeInsideOrAtTheEnd) {
    NewItem(ID_NEW_WORKSHEET);
    NewItem(ID_NEW_FOLDER);
    NewItem(ID_NEW_WORKSHEET, "Folder1");
    NewItem(ID_NEW_FOLDER, "Worksheet3"); // Folder2 inside Folder1
    NewItem(ID_NEW_WORKSHEET, "Folder2");
    ASSERT_EQ(Shape(), "Worksheet1:1 Worksheet2:1 Folder1:1 Worksheet3:2 Folder2:2 Worksheet4:3 ");
    const int undoBefore = Book().undo.current;
    // On a worksheet: just before it, at its level.
    Tree().Drop(Item("Worksheet1"), Tree().FindHandle(Item("Worksheet4")));
    EXPECT_EQ(Shape(), "Worksheet2:1 Folder1:1 Worksheet3:2 Folder2:2 Worksheet1:3 Worksheet4:3 ");
    EXPECT_EQ(Book().undo.current, undoBefore + 2); // the insertion and the removal
    // A folder on the root: the end at level 1, its contents' nesting kept.
    Tree().Drop(Item("Folder2"), Tree().Root());
    EXPECT_EQ(Shape(), "Worksheet2:1 Folder1:1 Worksheet3:2 Folder2:1 Worksheet1:2 Worksheet4:2 ");
    // On a folder: last inside it.
    Tree().Drop(Item("Worksheet2"), Tree().FindHandle(Item("Folder2")));
    EXPECT_EQ(Shape(), "Folder1:1 Worksheet3:2 Folder2:1 Worksheet1:2 Worksheet4:2 Worksheet2:2 ");
    // The control follows the list.
    EXPECT_EQ(Tree().FindHandle(Item("Worksheet2"))->parent(), Tree().FindHandle(Item("Folder2")));
    // On itself, or inside its own subtree: nothing moves, the document is marked modified.
    const std::string shape = Shape();
    const int undo = Book().undo.current;
    for (const char* target : {"Folder2", "Worksheet4"}) {
        Active()->SetModified(false);
        Tree().Drop(Item("Folder2"), Tree().FindHandle(Item(target)));
        EXPECT_EQ(Shape(), shape) << target;
        EXPECT_EQ(Book().undo.current, undo) << target;
        EXPECT_TRUE(Active()->IsModified()) << target;
    }
}

TEST_F(StructureTest, TheDragOpensACollapsedFolderAfterTenTicks) {
    NewItem(ID_NEW_FOLDER);
    NewItem(ID_NEW_WORKSHEET, "Folder1");
    QTreeWidgetItem* folder = Tree().FindHandle(Item("Folder1"));
    folder->setExpanded(false);
    Settle();
    const QRect from = Tree().Control()->visualItemRect(Tree().FindHandle(Item("Worksheet1")));
    const QRect over = Tree().Control()->visualItemRect(folder);
    Tree().BeginDrag(from.center());
    ASSERT_TRUE(Tree().Dragging());
    Tree().DragTo(over.center());
    timers->Advance(900);
    EXPECT_FALSE(folder->isExpanded());
    timers->Advance(100);
    EXPECT_TRUE(folder->isExpanded());
    EXPECT_EQ(CTreePane::ImageOf(folder), kImageFolderOpen);
    // Closed again while still hovering: the count has passed 1000, it stays closed.
    folder->setExpanded(false);
    timers->Advance(500);
    EXPECT_FALSE(folder->isExpanded());
    Tree().EndDrag();
    EXPECT_FALSE(Tree().Dragging());
    EXPECT_FALSE(timers->Armed());
    EXPECT_EQ(Shape(), "Folder1:1 Worksheet2:2 Worksheet1:2 ");
}

TEST_F(StructureTest, RenameAndDeleteKeepTheRules) {
    NewItem(ID_NEW_FOLDER);
    QTreeWidgetItem* handle = Tree().FindHandle(Item("Folder1"));
    Active()->SetModified(false);
    const int undo = Book().undo.current;
    // The same text records nothing; an empty one is refused; a long one is cut to 127.
    handle->setText(0, QStringLiteral("Folder1"));
    EXPECT_EQ(Book().undo.current, undo);
    EXPECT_FALSE(Active()->IsModified());
    handle->setText(0, QString());
    EXPECT_EQ(Shape(), "Worksheet1:1 Folder1:1 ");
    EXPECT_EQ(handle->text(0), QStringLiteral("Folder1"));
    handle->setText(0, QString(200, QChar('n')));
    EXPECT_EQ(std::string(Item(std::string(127, 'n').c_str())->name), std::string(127, 'n'));
    EXPECT_EQ(Book().undo.current, undo + 1);
    EXPECT_TRUE(Active()->IsModified());
    // The only worksheet cannot go, nor the folder around it.
    Tree().Drop(Item("Worksheet1"), Tree().FindHandle(Book().tree.first->next));
    const std::string shape = Shape();
    const int undoNow = Book().undo.current;
    Tree().Control()->setFocus();
    Tree().Select(Book().tree.first);
    Command(ID_EDIT_CLEAR);
    EXPECT_EQ(Shape(), shape);
    EXPECT_EQ(Book().undo.current, undoNow);
    EXPECT_EQ(LastBox(), QStringLiteral("A workbook must contain at least one worksheet"));
    EXPECT_EQ(Tree().Root()->childCount(), 1);
}

TEST_F(StructureTest, DeleteTakesTextOrFormatOrTreeItemsByFocus) {
    Enter(1, 1, QStringLiteral("keep"));
    Book().tree.active->formats.autoRowHeightKnown = false;
    Select(1, 1);
    View()->setFocus();
    // Ctrl: the format store only; the text stays.
    SetWorkbookKeyState([] { return Qt::KeyboardModifiers(Qt::ControlModifier); });
    Command(ID_EDIT_CLEAR);
    EXPECT_EQ(CellText(1, 1), "keep");
    SetWorkbookKeyState([] { return Qt::KeyboardModifiers(Qt::NoModifier); });
    Command(ID_EDIT_CLEAR);
    EXPECT_EQ(CellText(1, 1), "");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(CellText(1, 1), "keep");
    // With the tree focused only tree items go.
    NewItem(ID_NEW_WORKSHEET);
    Tree().Control()->setFocus();
    Tree().Select(Item("Worksheet1"));
    Settle();
    Command(ID_EDIT_CLEAR);
    EXPECT_EQ(Shape(), "Worksheet2:1 ");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Shape(), "Worksheet1:1 Worksheet2:1 ");
    SelectItem("Worksheet1");
    EXPECT_EQ(CellText(1, 1), "keep");
}

TEST_F(StructureTest, InsertingColumnsStopsAtTheEdgeAndRecordsNothing) {
    struct Case {
        uint16_t lastUsed;
        bool ok;
    };
    for (const Case c : {Case{2044, false}, Case{2043, true}}) {
        Active()->HandleCommand(ID_NEW_WORKSHEET);
        EndLabelEdit();
        Enter(c.lastUsed, 0, QStringLiteral("1"));
        const edittest::WorkbookDump before = edittest::DumpWorkbook(Book());
        const int undo = Book().undo.current;
        ui.boxes.clear();
        View()->SetSelection({5, 3, 7, 3});
        Key(Qt::Key_L, Qt::ControlModifier);
        EXPECT_EQ(ui.boxes.size(), c.ok ? 0u : 1u) << c.lastUsed;
        EXPECT_EQ(Book().undo.current, c.ok ? undo + 1 : undo) << c.lastUsed;
        EXPECT_EQ(CellText(c.lastUsed + 3, 0), c.ok ? "1" : "") << c.lastUsed;
        if (!c.ok) {
            EXPECT_TRUE(edittest::DumpWorkbook(Book()) == before);
            EXPECT_EQ(View()->Selection().c2, 7);
        } else {
            EXPECT_EQ(View()->Selection().c2, 5); // reduced to its first column
        }
    }
}

TEST_F(StructureTest, EachEditUndoesAndRedoesToTheSameBytes) {
    Enter(0, 0, QStringLiteral("1"));
    Enter(0, 1, QStringLiteral("2"));
    Enter(0, 2, QStringLiteral("=A1+A2"));
    View()->SetScrollPosition(0, 0);
    struct Step {
        const char* name;
        uint32_t row; // the cell selected first
        std::function<void()> run;
    };
    const Step steps[] = {
        {"insert rows", 1, [&] { Command(ID_INSERT_ROWS); }},
        {"remove rows", 0, [&] { Command(ID_REMOVE_ROWS); }},
        {"insert columns", 0, [&] { Command(ID_INSERT_COLUMNS); }},
        {"remove columns", 0, [&] { Command(ID_REMOVE_COLUMNS); }},
        {"delete", 1, [&] { View()->setFocus(), Command(ID_EDIT_CLEAR); }},
        {"new worksheet", 2, [&] { NewItem(ID_NEW_WORKSHEET); }},
        {"rename", 2, [&] { Tree().FindHandle(Book().tree.first)->setText(0, "Renamed"); }},
    };
    for (const Step& step : steps) {
        Select(0, step.row);
        // Leaving a worksheet stores its view position; the dumps start from it stored.
        View()->StoreViewPosition();
        const edittest::WorkbookDump before = edittest::DumpWorkbook(Book());
        const CellRange selection = View()->Selection();
        step.run();
        const edittest::WorkbookDump after = edittest::DumpWorkbook(Book());
        EXPECT_FALSE(after == before) << step.name;
        Command(ID_EDIT_UNDO);
        const edittest::WorkbookDump undone = edittest::DumpWorkbook(Book());
        EXPECT_TRUE(undone == before) << step.name;
        for (size_t i = 0; i < before.sections.size() && i < undone.sections.size(); ++i)
            EXPECT_EQ(before.sections[i], undone.sections[i]) << step.name;
        EXPECT_EQ(View()->Selection(), selection) << step.name;
        Command(ID_EDIT_REDO);
        EXPECT_TRUE(edittest::DumpWorkbook(Book()) == after) << step.name;
        Command(ID_EDIT_UNDO);
        EXPECT_TRUE(edittest::DumpWorkbook(Book()) == before) << step.name;
        Command(ID_EDIT_REDO);
    }
    EXPECT_EQ(std::string(Book().tree.first->name), "Renamed");
}

TEST_F(StructureTest, RedoReachesTheMaximumAndItsStateFollows) {
    Book().SetUndoLevel(200);
    for (int i = 0; i < 205; ++i) Book().RecordUndoInsertRows({0, 0, 0, 0}, 0, 0, 0, 0);
    ASSERT_EQ(Book().undo.current, 199);
    EXPECT_FALSE(Active()->State().nextUndoEntry);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Book().undo.current, 198);
    EXPECT_TRUE(Active()->State().nextUndoEntry);
    Command(ID_EDIT_REDO);
    EXPECT_EQ(Book().undo.current, 199);
    EXPECT_FALSE(Active()->State().nextUndoEntry);
    Command(ID_EDIT_REDO);
    EXPECT_EQ(Book().undo.current, 199);
}

TEST_F(StructureTest, NavigationByWorksheetRowAndAddress) {
    NewItem(ID_NEW_FOLDER);
    NewItem(ID_NEW_WORKSHEET); // Worksheet2 inside Folder1 (the folder was selected)
    NewItem(ID_NEW_WORKSHEET, "Worksheet1");
    ASSERT_EQ(Shape(), "Worksheet1:1 Folder1:1 Worksheet2:2 Worksheet3:1 ");
    SelectItem("Worksheet1");
    Command(ID_NEXT_WORKSHEET);
    EXPECT_EQ(Book().tree.active, Item("Worksheet2"));
    Command(ID_NEXT_WORKSHEET);
    Command(ID_NEXT_WORKSHEET);
    EXPECT_EQ(Book().tree.active, Item("Worksheet3"));
    Command(ID_PREV_WORKSHEET);
    EXPECT_EQ(Book().tree.active, Item("Worksheet2"));
    // Rows: three columns, the next row that holds all of them.
    Enter(0, 1, QStringLiteral("1"));
    Enter(0, 2, QStringLiteral("1"));
    Enter(1, 2, QStringLiteral("1"));
    for (uint16_t c = 0; c < 3; ++c) Enter(c, 4, QStringLiteral("1"));
    View()->SetSelection({0, 0, 2, 0});
    Command(ID_NEXT_NONEMPTY);
    EXPECT_EQ(View()->Selection(), (CellRange{0, 4, 2, 4}));
    View()->SetSelection({0, 0, 2, 0});
    Command(ID_PREV_EMPTY);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(View()->Selection(), (CellRange{0, 0, 2, 0}));
    // Go.
    struct Case {
        const char* text;
        bool ok;
        CellRange range;
    };
    const Case cases[] = {{"B:D", true, {1, 0, 3, kLastRow}},
                          {"3:5", true, {0, 2, kLastColumn, 4}},
                          {"\\Worksheet1!C2", true, {2, 1, 2, 1}},
                          {"Worksheet3!A1", true, {0, 0, 0, 0}}, // relative: the same folder
                          {"B", false, {}},
                          {"A1:5", false, {}},
                          {"\\Nowhere!A1", false, {}}};
    for (const Case& c : cases) {
        ui.boxes.clear();
        View()->SetSelection({9, 9, 9, 9});
        CWorksheet* before = Book().tree.active;
        EXPECT_EQ(Active()->GoToAddress(c.text), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(View()->Selection(), c.range) << c.text;
            EXPECT_TRUE(ui.boxes.empty()) << c.text;
        } else {
            EXPECT_EQ(Book().tree.active, before) << c.text;
            EXPECT_EQ(LastBox(), QStringLiteral("Invalid worksheet path and/or cell address."));
        }
    }
}

TEST_F(StructureTest, SplittingKeepsOneSplitterAndF6WalksThePanes) {
    Command(ID_SPLIT_HORIZONTAL);
    Command(ID_SPLIT_VERTICAL);
    QSplitter* table = Active()->TableSplitter();
    EXPECT_EQ(table->orientation(), Qt::Horizontal);
    EXPECT_TRUE(Active()->SplitVertically());
    EXPECT_FALSE(Active()->SplitHorizontally());
    EXPECT_TRUE(Active()->View(1)->isVisible());
    EXPECT_EQ(Active()->GetActiveView(), Active()->View(0));
    EXPECT_LE(std::abs(table->sizes()[0] - table->sizes()[1]), table->handleWidth() + 1);
    Command(ID_SPLIT_NONE);
    // Tree and one grid: F6 alternates, Shift+F6 too.
    View()->setFocus();
    Settle();
    for (QWidget* expected :
         {static_cast<QWidget*>(Active()->TreeControl()), static_cast<QWidget*>(View()),
          static_cast<QWidget*>(Active()->TreeControl())}) {
        Command(ID_NEXT_PANE);
        EXPECT_EQ(QApplication::focusWidget(), expected);
    }
    Command(ID_PREV_PANE);
    EXPECT_EQ(QApplication::focusWidget(), View());
}

// The control shows every item where the list has it, also when one lands after a sibling
// that is not the last of its folder.
TEST_F(StructureTest, TheControlFollowsTheListAfterEveryDrop) {
    NewItem(ID_NEW_WORKSHEET);
    NewItem(ID_NEW_WORKSHEET);
    NewItem(ID_NEW_FOLDER);
    NewItem(ID_NEW_WORKSHEET, "Folder1");
    NewItem(ID_NEW_WORKSHEET, "Worksheet4");
    NewItem(ID_NEW_WORKSHEET, "Worksheet5");
    ASSERT_EQ(Shape(), "Worksheet1:1 Worksheet2:1 Worksheet3:1 Folder1:1 Worksheet4:2 Worksheet5:2 "
                       "Worksheet6:2 ");
    struct Case {
        const char* dragged;
        const char* target;
        const char* shape;
    };
    const Case cases[] = {
        // Before Worksheet2: after Worksheet1, which has siblings after it.
        {"Worksheet3", "Worksheet2",
         "Worksheet1:1 Worksheet3:1 Worksheet2:1 Folder1:1 Worksheet4:2 Worksheet5:2 "
         "Worksheet6:2 "},
        // Inside the folder, before its middle worksheet.
        {"Worksheet1", "Worksheet5",
         "Worksheet3:1 Worksheet2:1 Folder1:1 Worksheet4:2 Worksheet1:2 Worksheet5:2 "
         "Worksheet6:2 "},
        // Out of the folder, before the first top-level worksheet.
        {"Worksheet6", "Worksheet3",
         "Worksheet6:1 Worksheet3:1 Worksheet2:1 Folder1:1 Worksheet4:2 Worksheet1:2 "
         "Worksheet5:2 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dragged);
        Tree().Drop(Item(c.dragged), Tree().FindHandle(Item(c.target)));
        EXPECT_EQ(Shape(), c.shape);
        // The control, depth first, names the same items at the same levels.
        std::string shown;
        std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* handle, int level) {
            for (int i = 0; i < handle->childCount(); ++i) {
                QTreeWidgetItem* child = handle->child(i);
                shown += child->text(0).toStdString() + ":" + std::to_string(level) + " ";
                walk(child, level + 1);
            }
        };
        walk(Tree().Root(), 1);
        EXPECT_EQ(shown, c.shape);
    }
}

// Enter and the keypad's Enter on a tree item open its name for editing; what is typed
// then renames it.
TEST_F(StructureTest, EnterAndKeypadEnterInTheTreeStartRenaming) {
    NewItem(ID_NEW_WORKSHEET);
    struct Case {
        const char* name;
        Qt::KeyboardModifiers modifiers;
        const char* item;
        const char* typed;
    };
    const Case cases[] = {{"Enter", Qt::NoModifier, "Worksheet1", "Plain"},
                          {"keypad Enter", Qt::KeypadModifier, "Worksheet2", "Keypad"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tree().Control()->setFocus();
        SelectItem(c.item);
        Settle();
        const int key = c.modifiers & Qt::KeypadModifier ? Qt::Key_Enter : Qt::Key_Return;
        QTest::keyClick(Tree().Control(), Qt::Key(key), c.modifiers);
        Settle();
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(Tree().Control()->viewport()->isAncestorOf(editor));
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromLatin1(c.typed));
        QTest::keyClick(editor, Qt::Key(key), c.modifiers);
        Settle();
        EXPECT_NE(Item(c.typed), nullptr) << Shape();
    }
    EXPECT_EQ(Shape(), "Plain:1 Keypad:1 ");
}

// Undo and Redo that go to another worksheet show it split as it was left.
TEST_F(StructureTest, UndoThatSwitchesWorksheetRestoresItsSplit) {
    NewItem(ID_NEW_WORKSHEET);
    // Worksheet1 split one way, Worksheet2 the other, each with an edit of its own.
    SelectItem("Worksheet1");
    Command(ID_SPLIT_HORIZONTAL);
    Enter(0, 0, QStringLiteral("one"));
    SelectItem("Worksheet2");
    Command(ID_SPLIT_VERTICAL);
    Enter(0, 0, QStringLiteral("two"));
    struct Step {
        int command;
        const char* active;
        bool horizontal, vertical;
    };
    const Step steps[] = {
        {ID_EDIT_UNDO, "Worksheet2", false, true}, // the edit of Worksheet2, shown already
        {ID_EDIT_UNDO, "Worksheet1", true, false}, // goes back to Worksheet1
        {ID_EDIT_REDO, "Worksheet1", true, false},
        {ID_EDIT_REDO, "Worksheet2", false, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.command == ID_EDIT_UNDO ? "undo to " : "redo to ") + s.active);
        Command(s.command);
        EXPECT_EQ(Book().tree.active, Item(s.active));
        EXPECT_EQ(Active()->SplitHorizontally(), s.horizontal);
        EXPECT_EQ(Active()->SplitVertically(), s.vertical);
        EXPECT_EQ(Tree().Control()->currentItem(), Tree().FindHandle(Item(s.active)));
    }
    EXPECT_EQ(CellText(0, 0), "two");
}

// A picked reference names the worksheet by its path from the top: a bare name would be
// looked up in the edited worksheet's own folder, where another worksheet may bear it.
TEST_F(StructureTest, PickingWritesTheWholeReferenceIntoTheKeptText) {
    auto rename = [this](const char* from, const char* to) {
        Tree().FindHandle(Item(from))->setText(0, QString::fromLatin1(to));
    };
    NewItem(ID_NEW_WORKSHEET);
    rename("Worksheet2", "Sales");
    NewItem(ID_NEW_WORKSHEET);
    rename("Worksheet3", "My Sales");
    NewItem(ID_NEW_FOLDER);
    NewItem(ID_NEW_WORKSHEET, "Folder1");
    rename("Worksheet4", "North");
    NewItem(ID_NEW_WORKSHEET, "North");
    CTreeItem* topSales = Item("Sales");
    CTreeItem* folderSales = Item("Worksheet5");
    rename("Worksheet5", "Sales");
    ASSERT_EQ(Shape(), "Worksheet1:1 Sales:1 My Sales:1 Folder1:1 North:2 Sales:2 ");
    // B3 holds 41 at the top and 8 in the folder.
    for (auto [sheet, value] : {std::pair{topSales, "41"}, std::pair{folderSales, "8"}}) {
        Tree().Select(sheet);
        Enter(1, 2, QString::fromLatin1(value));
    }
    struct Case {
        const char* edited;
        CTreeItem* picked;
        bool r1c1;
        const char* text;
        double value; // of the committed formula
    };
    const Case cases[] = {
        {"Worksheet1", topSales, false, "=1+\\Sales!B3", 42},
        {"Worksheet1", Item("My Sales"), false, "=1+\"\\My Sales\"!B3", 1},
        {"Worksheet1", topSales, true, "=1+\\Sales!R3C2", 42},
        {"North", topSales, false, "=1+\\Sales!B3", 42},
        {"North", folderSales, false, "=1+\\Folder1\\Sales!B3", 9},
        {"North", Item("North"), false, "=1+B3", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Profile().addressingA1 = c.r1c1 ? 0 : 1;
        SelectItem(c.edited);
        StartTyping(0, 0, QStringLiteral("=1+"));
        Command(ID_REFERENCE);
        EXPECT_EQ(Active()->RefPickState(), uint32_t(kRefPickPicking));
        Tree().Select(c.picked);
        Select(1, 2);
        Command(ID_REFERENCE);
        EXPECT_EQ(Active()->RefPickState(), uint32_t(kRefPickEditing));
        EXPECT_EQ(Book().tree.active, Item(c.edited));
        EXPECT_EQ(View()->Editor()->toPlainText().toStdString(), c.text);
        // Committed, the formula reads the picked worksheet.
        Key(Qt::Key_Return);
        const uint8_t* cell = FindCell(Book().tree.active->cells, 0, 0);
        ASSERT_NE(cell, nullptr);
        EXPECT_TRUE(cell::IsFormula(cell));
        EXPECT_EQ(cell::CachedNumber(cell), c.value);
    }
}

// The edit kept while a reference is picked names its cell by position: the commands that
// could move, remove or fill cells, or move its worksheet, do nothing until the picking ends,
// so the formula lands in the cell it was typed into.
TEST_F(StructureTest, CommandsThatMoveCellsWaitUntilThePickingEnds) {
    for (int r = 0; r < 6; ++r) Enter(0, uint32_t(r), QString::number(r + 1));
    NewItem(ID_NEW_FOLDER);
    const std::string shape = Shape();
    const edittest::WorkbookDump before = edittest::DumpWorkbook(Book());
    Select(1, 4);
    View()->setFocus();
    ASSERT_TRUE(testwait::UntilFocused(View()));
    for (Qt::Key key : {Qt::Key_Equal, Qt::Key_1, Qt::Key_Plus})
        ASSERT_TRUE(testwait::PressKey(key));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F2));
    ASSERT_TRUE(testwait::Until([&] { return Active()->RefPickState() == kRefPickPicking; }));
    // The reference picked is A2: three rows up, one column left.
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Left})
        ASSERT_TRUE(testwait::PressKey(key));
    ASSERT_EQ(View()->Selection(), (CellRange{0, 1, 0, 1}));
    const int undo = Book().undo.current;
    int beeps = ui.beeps;
    auto unchanged = [&] {
        EXPECT_EQ(ui.beeps, ++beeps);
        EXPECT_EQ(Active()->RefPickState(), uint32_t(kRefPickPicking));
        EXPECT_EQ(Book().undo.current, undo);
        EXPECT_TRUE(edittest::DumpWorkbook(Book()) == before);
    };
    // Keys without Shift: its release ends the picking as it would after Shift+arrows.
    const QKeyCombination keys[] = {
        Qt::ControlModifier | Qt::Key_R, // Insert Rows
        Qt::ControlModifier | Qt::Key_L, // Insert Columns
        Qt::ControlModifier | Qt::Key_Z, // Undo
        QKeyCombination(Qt::Key_Delete), Qt::ControlModifier | Qt::Key_X,
        QKeyCombination(Qt::Key_F5), // Insert Date
    };
    for (const QKeyCombination k : keys) {
        SCOPED_TRACE(QKeySequence(k).toString().toStdString());
        ASSERT_TRUE(testwait::PressKey(k.key(), k.keyboardModifiers()));
        unchanged();
    }
    // A copy is no edit: it is made, and its paste waits.
    Command(ID_EDIT_COPY);
    EXPECT_EQ(ui.beeps, beeps);
    for (const int id : {ID_REMOVE_ROWS, ID_REMOVE_COLUMNS, ID_SORT_ASCENDING, ID_TRANSPOSE,
                         ID_STAT_SUM, ID_EDIT_PASTE}) {
        SCOPED_TRACE(id);
        Command(id);
        unchanged();
    }
    // Nor does the tree move the worksheet the formula is typed on.
    Tree().Drop(Item("Worksheet1"), Tree().FindHandle(Item("Folder1")));
    EXPECT_EQ(Shape(), shape);
    unchanged();
    // F2 takes the reference back into the edit of B5, and Enter stores it there.
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F2));
    ASSERT_TRUE(testwait::Until([&] { return Active()->RefPickState() == kRefPickEditing; }));
    EXPECT_EQ(View()->Editor()->toPlainText().toStdString(), "=1+A2");
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Return));
    ASSERT_TRUE(testwait::Until([&] { return Active()->RefPickState() == kRefPickNone; }));
    EXPECT_EQ(CellText(1, 4), "=1+A2");
    EXPECT_EQ(CellText(0, 4), "5");
    EXPECT_EQ(Book().undo.current, undo + 1);
    // Once the picking is over the same keys work again.
    Select(0, 0);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_R, Qt::ControlModifier));
    EXPECT_EQ(CellText(0, 1), "1");
    EXPECT_EQ(CellText(1, 5), "=1+A3");
    EXPECT_EQ(ui.beeps, beeps);
}

// Formulas, addresses and inspect entries name items by path, up to 255 characters: a rename
// or a move that would make a path longer is refused with a message, and the formula that
// reads the worksheet keeps reading it. A path of 255 characters is taken.
TEST_F(StructureTest, ARenameOrMovePastTheLongestPathIsRefused) {
    NewItem(ID_NEW_FOLDER);
    NewItem(ID_NEW_WORKSHEET, "Folder1");
    NewItem(ID_NEW_FOLDER, "Worksheet1");
    SelectItem("Worksheet2");
    Enter(0, 0, QStringLiteral("7"));
    SelectItem("Worksheet1");
    Enter(0, 0, QStringLiteral("=\\Folder1\\Worksheet2!A1*2"));
    auto rename = [this](const char* from, const std::string& to) {
        ui.boxes.clear();
        Tree().FindHandle(Item(from))->setText(0, QString::fromStdString(to));
        Settle();
    };
    const std::string folder(127, 'f');
    rename("Folder1", folder);
    ASSERT_TRUE(ui.boxes.empty());
    const int undo = Book().undo.current;
    // "\" + 127 + "\" + 126 = 255 characters: the last path taken.
    const std::string longest(126, 's');
    rename("Worksheet2", longest);
    EXPECT_TRUE(ui.boxes.empty());
    ASSERT_NE(Item(longest.c_str()), nullptr);
    EXPECT_EQ(Book().undo.current, undo + 1);
    const std::string reads = "=\\" + folder + "\\" + longest + "!A1*2";
    EXPECT_EQ(CellText(0, 0), reads);
    // One character more is refused by the label, and by a move under a longer folder.
    rename(longest.c_str(), longest + "t");
    EXPECT_EQ(LastBox(), "A worksheet or folder path would be longer than 255 characters.");
    EXPECT_NE(Item(longest.c_str()), nullptr);
    EXPECT_EQ(Book().undo.current, undo + 1);
    rename("Folder2", "g");
    const std::string shape = Shape();
    ui.boxes.clear();
    Tree().Drop(Item(folder.c_str()), Tree().FindHandle(Item("g")));
    EXPECT_EQ(LastBox(), "A worksheet or folder path would be longer than 255 characters.");
    EXPECT_EQ(Shape(), shape);
    EXPECT_EQ(CellText(0, 0), reads);
    const uint8_t* cell = FindCell(Book().tree.active->cells, 0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell::CachedNumber(cell), 14);
}

} // namespace

} // namespace vl
