// The frame's commands over real workbook windows: the undo level cut by Options, the paste
// list of the copy history, and toolbar buttons that agree with their menu items.

#include "app/copyhistory.h"
#include "app/frametoolbars.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "wndtest.h"
#include "workbookwnd/treepane.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <map>

namespace vl {

namespace {

class FrameCommandsTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        frame->OnIdle();
    }
    void TearDown() override {
        CopyHistory().ReleaseAll();
        CopyHistory().ApplyCopyLevel(1);
        WindowTest::TearDown();
    }
    void Command(int id) {
        View()->setFocus();
        frame->OnCommand(id);
        Settle();
    }
    // The menu bar's items by their commands, submenus included.
    std::map<int, QAction*> MenuItems() const {
        std::map<int, QAction*> items;
        std::vector<QMenu*> menus;
        for (QAction* a : frame->menuBar()->actions())
            if (a->menu()) menus.push_back(a->menu());
        while (!menus.empty()) {
            QMenu* menu = menus.back();
            menus.pop_back();
            Q_EMIT menu->aboutToShow();
            for (QAction* a : menu->actions()) {
                if (a->menu()) menus.push_back(a->menu());
                if (a->data().toInt()) items[a->data().toInt()] = a;
            }
        }
        return items;
    }
};

TEST_F(FrameCommandsTest, LoweringTheUndoLevelKeepsTheNewestEntries) {
    Profile().undoLevel = 20;
    Book().SetUndoLevel(20);
    for (int i = 0; i < 12; ++i) Enter(0, uint32_t(i), QString::number(i + 1));
    ASSERT_EQ(Book().undo.current, 11);
    // Out of range: nothing changes.
    for (int level : {0, 201}) {
        ui.options = [level] {
            Profile().undoLevel = uint8_t(level);
            return IDOK;
        };
        Command(ID_OPTIONS);
        EXPECT_EQ(Book().undo.current, 11) << level;
        Profile().undoLevel = 20;
    }
    ui.options = [] {
        Profile().undoLevel = 5;
        return IDOK;
    };
    Command(ID_OPTIONS);
    EXPECT_EQ(Book().undo.current, 4);
    for (int i = 0; i < 6; ++i) Command(ID_EDIT_UNDO);
    // The five newest came off; the sixth undo found nothing.
    for (uint32_t row = 0; row < 12; ++row)
        EXPECT_EQ(CellText(0, row), row < 7 ? std::to_string(row + 1) : "") << row;
}

TEST_F(FrameCommandsTest, ThePasteListNamesEachCopyOldestFirst) {
    frame->OnToolbarDropDown(ID_EDIT_PASTE);
    ASSERT_EQ(frame->DropDownMenu()->actions().size(), 1);
    EXPECT_EQ(frame->DropDownMenu()->actions()[0]->text(), QStringLiteral("(No copied data)"));
    Profile().copyLevel = 16;
    CopyHistory().ApplyCopyLevel(16);
    Enter(0, 0, QStringLiteral("one"));
    Enter(1, 0, QStringLiteral("two"));
    View()->SetSelection({0, 0, 0, 0});
    Command(ID_EDIT_COPY);
    View()->SetSelection({1, 0, 1, 0});
    Command(ID_EDIT_COPY);
    View()->SetSelection({0, 0, 1, 1});
    Command(ID_EDIT_COPY);
    frame->OnToolbarDropDown(ID_EDIT_PASTE);
    const QList<QAction*> items = frame->DropDownMenu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("1.\tPaste  \\Worksheet1!A1"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("2.\tPaste  \\Worksheet1!B1"));
    EXPECT_EQ(items[2]->text(), QStringLiteral("3.\tPaste  \\Worksheet1!A1:B2"));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(items[i]->data().toInt(), ID_COPIED_DATA_FIRST + i);
    // The first copy pasted at D5.
    View()->SetSelection({3, 4, 3, 4});
    items[0]->trigger();
    Settle();
    EXPECT_EQ(CellText(3, 4), "one");
}

// A copy of a worksheet renamed since shows under the worksheet's new name.
TEST_F(FrameCommandsTest, ThePasteListNamesARenamedWorksheetsCopyAnew) {
    Profile().copyLevel = 16;
    CopyHistory().ApplyCopyLevel(16);
    Enter(0, 0, QStringLiteral("one"));
    View()->SetSelection({0, 0, 0, 0});
    Command(ID_EDIT_COPY);
    Book().tree.active->SetName("Sales");
    frame->OnToolbarDropDown(ID_EDIT_PASTE);
    const QList<QAction*> items = frame->DropDownMenu()->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->text(), QStringLiteral("1.\tPaste  \\Sales!A1"));
}

// A worksheet named with "&" shows it in every item, never as the item's mnemonic: copies of
// a cell, of a container and of the worksheet itself.
TEST_F(FrameCommandsTest, ThePasteListShowsAnAmpersandOfAName) {
    Profile().copyLevel = 16;
    CopyHistory().ApplyCopyLevel(16);
    Book().tree.active->SetName("R&D");
    Enter(0, 0, QStringLiteral("one"));
    View()->SetSelection({0, 0, 0, 0});
    Command(ID_EDIT_COPY);
    Select(2, 2);
    Command(ID_EMPTY_CONTAINER);
    ASSERT_NE(Book().tree.active->firstContainer, nullptr);
    View()->SetCurrentContainer(Book().tree.active->firstContainer->settings.id);
    View()->setFocus();
    Settle();
    Command(ID_EDIT_COPY);
    // The worksheet itself, copied with the keyboard in the tree.
    Active()->TreePane()->Select(Book().tree.active);
    Settle();
    QApplication::setActiveWindow(frame.get());
    Active()->TreePane()->Control()->setFocus();
    ASSERT_TRUE(Active()->TreePane()->Control()->hasFocus());
    frame->OnCommand(ID_EDIT_COPY);
    Settle();
    frame->OnToolbarDropDown(ID_EDIT_PASTE);
    const QList<QAction*> items = frame->DropDownMenu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("1.\tPaste  \"\\R&&D\"!A1"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("2.\tPaste container 1 (\\R&&D)"));
    EXPECT_EQ(items[2]->text(), QStringLiteral("3.\tPaste  \\R&&D"));
}

// Sixteen items at most: past that the oldest copies drop out of the list and each item
// still pastes the copy it names.
TEST_F(FrameCommandsTest, ThePasteListShowsTheNewestSixteenCopies) {
    Profile().copyLevel = 17;
    CopyHistory().ApplyCopyLevel(17);
    for (uint32_t row = 0; row < 17; ++row) Enter(0, row, QString::number(row + 1));
    const auto copy = [&](uint32_t row) {
        View()->SetSelection({0, row, 0, row});
        Command(ID_EDIT_COPY);
    };
    // The items' texts, and the values the first and the last item paste at C1 and C2.
    const auto list = [&](int copies, int firstRow) {
        SCOPED_TRACE(copies);
        frame->OnToolbarDropDown(ID_EDIT_PASTE);
        const QList<QAction*> items = frame->DropDownMenu()->actions();
        ASSERT_EQ(items.size(), 16);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(items[i]->text(),
                      QStringLiteral("%1.\tPaste  \\Worksheet1!A%2").arg(i + 1).arg(firstRow + i));
            EXPECT_EQ(items[i]->data().toInt(), ID_COPIED_DATA_FIRST + i);
        }
        View()->SetSelection({2, 0, 2, 0});
        items[0]->trigger();
        Settle();
        EXPECT_EQ(CellText(2, 0), std::to_string(firstRow));
        frame->OnToolbarDropDown(ID_EDIT_PASTE);
        View()->SetSelection({2, 1, 2, 1});
        frame->DropDownMenu()->actions()[15]->trigger();
        Settle();
        EXPECT_EQ(CellText(2, 1), std::to_string(copies));
    };
    for (uint32_t row = 0; row < 16; ++row) copy(row);
    list(16, 1);
    copy(16);
    ASSERT_EQ(CopyHistory().Entries().current, 16);
    list(17, 2);
    // A command past the last item pastes nothing.
    CopyHistory().ReleaseAll();
    copy(4);
    View()->SetSelection({3, 0, 3, 0});
    Command(ID_COPIED_DATA_FIRST + 1);
    EXPECT_EQ(CellText(3, 0), "");
    Command(ID_COPIED_DATA_FIRST);
    EXPECT_EQ(CellText(3, 0), "5");
}

TEST_F(FrameCommandsTest, EveryItemOfThePasteListPastesItsOwnCopy) {
    Profile().copyLevel = 16;
    CopyHistory().ApplyCopyLevel(16);
    // Copies: A1 alone, B1:B2 (one column, two rows), then A1:B3 (two columns, three rows),
    // each value its own.
    for (uint32_t row = 0; row < 3; ++row)
        for (uint16_t column = 0; column < 2; ++column)
            Enter(column, row, QString::number(10 * (row + 1) + column + 1));
    const CellRange copies[] = {{0, 0, 0, 0}, {1, 0, 1, 1}, {0, 0, 1, 2}};
    for (const CellRange& copy : copies) {
        View()->SetSelection(copy);
        Command(ID_EDIT_COPY);
    }
    frame->OnToolbarDropDown(ID_EDIT_PASTE);
    const QList<QAction*> items = frame->DropDownMenu()->actions();
    ASSERT_EQ(items.size(), 3);
    // The newest first, so that an older paste cannot hide behind it; each at column F
    // on a row of its own.
    const uint32_t targets[] = {20, 10, 5};
    for (int i = 2; i >= 0; --i) {
        View()->SetSelection({5, targets[i], 5, targets[i]});
        items[i]->trigger();
        Settle();
        const CellRange& copy = copies[i];
        const uint16_t width = uint16_t(copy.c2 - copy.c1 + 1);
        const uint32_t height = copy.r2 - copy.r1 + 1;
        for (uint32_t r = 0; r <= height; ++r)
            for (uint16_t c = 0; c <= width; ++c) {
                const std::string expected =
                    r < height && c < width
                        ? std::to_string(10 * (copy.r1 + r + 1) + copy.c1 + c + 1)
                        : "";
                EXPECT_EQ(CellText(uint16_t(5 + c), targets[i] + r), expected)
                    << "item " << i + 1 << " at " << c << "," << r;
            }
    }
}

TEST_F(FrameCommandsTest, ButtonsAgreeWithTheirMenuItems) {
    Enter(0, 0, QStringLiteral("1"));
    Active()->UpdateStatus();
    frame->OnIdle();
    const std::map<int, QAction*> items = MenuItems();
    int compared = 0;
    for (int bar : {kStandardBar, kAddressBar, kFormattingBar}) {
        const ToolbarSpec& spec = FrameToolbar(bar);
        for (std::size_t i = 0; i < spec.count; ++i) {
            const int id = spec.buttons[i].id;
            QAction* button = frame->ToolAction(id);
            auto item = items.find(id);
            if (!button || item == items.end()) continue;
            EXPECT_EQ(button->isEnabled(), item->second->isEnabled()) << "command " << id;
            ++compared;
        }
    }
    EXPECT_GE(compared, 20);
    // A button without a handler (no print services here) is greyed, and a click on it
    // changes nothing.
    QAction* print = frame->ToolAction(ID_FILE_PRINT);
    ASSERT_FALSE(print->isEnabled());
    const int32_t undo = Book().undo.current;
    Active()->SetModified(false);
    QWidget* button = frame->Toolbar(kStandardBar)->widgetForAction(print);
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
    EXPECT_EQ(Book().undo.current, undo);
    EXPECT_FALSE(Active()->IsModified());
    // Cut, Copy and Find follow the window's commands with a workbook open.
    for (int id : {int(ID_EDIT_CUT), int(ID_EDIT_COPY), int(ID_EDIT_FIND)})
        EXPECT_TRUE(frame->ToolAction(id)->isEnabled()) << id;
}

} // namespace

} // namespace vl
