// Every command carries its status-bar text: each item of every menu the user opens holds
// the prompt written out in statustexts.h (none for a command without a text), the text
// table holds both halves, and the menus show the prompt in pane 0 while an item is
// highlighted by keys, and the pane's own text again once they close.

#include "app/statusbarwnd.h"
#include "resources/commandtexts.h"
#include "statustexts.h"
#include "wndtest.h"
#include "workbookwnd/treepane.h"
#include "tests/common/waits.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <map>
#include <set>

namespace vl {

namespace {

using statustexts::kExpected;
using statustexts::Prompt;

class StatusTextsTest : public wndtest::WindowTest {
protected:
    void TearDown() override {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        Settle();
        WindowTest::TearDown();
    }
    // What an item carries; read while its menu lives (some go when they close).
    struct Item {
        int id;
        QString prompt;
        QString text;
    };
    // The items of a menu and its submenus.
    static void Collect(QMenu* menu, std::vector<Item>& items) {
        for (QAction* a : menu->actions()) {
            if (a->menu())
                Collect(a->menu(), items);
            else if (!a->isSeparator())
                items.push_back({a->data().toInt(), a->statusTip(), a->text()});
        }
    }
    QMenu* OpenedPopup() {
        Settle();
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    // Every item of the menu bar, the grid's and the tree's menus, the address list's menu
    // and the toolbar drop-downs, each menu opened as the user opens it.
    std::vector<Item> AllMenuItems() {
        std::vector<Item> items;
        frame->OnIdle();
        for (QAction* top : frame->menuBar()->actions())
            if (top->menu()) Collect(top->menu(), items);
        View()->setFocus();
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(30, 30),
                              View()->viewport()->mapToGlobal(QPoint(30, 30)));
        QApplication::sendEvent(View()->viewport(), &key);
        if (QMenu* grid = OpenedPopup()) {
            Collect(grid, items);
            grid->close();
        }
        QTest::mousePress(Active()->TreePane()->Control()->viewport(), Qt::RightButton, {},
                          {10, 8});
        if (QMenu* tree = OpenedPopup()) {
            Collect(tree, items);
            tree->close();
            Settle();
        }
        for (int id : {int(ID_EDIT_PASTE), int(ID_INSERT_DATE_TIME), int(ID_INSERT_FORMULA),
                       int(ID_VIEW_COMPOSER), int(ID_INSERT_CHART), int(ID_GO_TO_ADDRESS)}) {
            frame->OnToolbarDropDown(id);
            if (QMenu* drop = frame->DropDownMenu()) {
                Collect(drop, items);
                drop->close();
                Settle();
            }
        }
        for (QMenu* menu : frame->Toolbar(kAddressBar)->findChildren<QMenu*>())
            Collect(menu, items);
        return items;
    }
};

TEST_F(StatusTextsTest, EveryMenuItemCarriesItsCommandsPrompt) {
    ASSERT_NE(NewWindow(), nullptr);
    std::map<int, int> found; // items seen per command
    for (const Item& item : AllMenuItems()) {
        ++found[item.id];
        EXPECT_EQ(item.prompt, Prompt(item.id)) << item.text.toStdString() << " " << item.id;
    }
    for (const auto& e : kExpected) {
        if (!e.inMenus) continue;
        EXPECT_GT(found[e.id], 0) << e.id << " is in no menu";
    }
    // The walk reached the menus: the bar's, the grid's, the tree's and the drop-downs.
    EXPECT_GT(found.size(), 120u);
}

TEST_F(StatusTextsTest, TheTableHoldsPromptAndTooltipOfEveryCommand) {
    for (const auto& e : kExpected) {
        EXPECT_STREQ(CommandStatusText(e.id), e.text) << e.id;
        EXPECT_EQ(QString::fromStdString(CommandPrompt(e.id)), Prompt(e.id)) << e.id;
        EXPECT_EQ(QString::fromStdString(CommandTooltip(e.id)), statustexts::Tooltip(e.id)) << e.id;
    }
    // Commands the menus show without a text have none.
    for (int id : {int(ID_FILE_NEW), int(ID_EDIT_SELECT_ALL), int(ID_AUTO_COLUMN_WIDTH),
                   int(ID_COLUMN_WIDTH), int(ID_FILE_MRU_FIRST), int(ID_INSERT_DATE)}) {
        EXPECT_EQ(CommandStatusText(id), nullptr) << id;
        EXPECT_EQ(CommandPrompt(id), "") << id;
    }
    // The toolbar buttons carry the prompts too (their tips stay the bar's words).
    for (int id : {int(ID_SORT_ASCENDING), int(ID_SORT_DESCENDING), int(ID_EDIT_UNDO)}) {
        ASSERT_NE(frame->ToolAction(id), nullptr) << id;
        EXPECT_EQ(frame->ToolAction(id)->statusTip(), Prompt(id)) << id;
    }
    EXPECT_EQ(frame->ToolAction(ID_EDIT_UNDO)->toolTip(), QStringLiteral("Undo"));
}

// Only the menus write their prompts into the bar: the pointer over a toolbar button leaves
// the cell's description there (the button shows its tip).
TEST_F(StatusTextsTest, ToolbarButtonsLeaveTheFirstPaneAlone) {
    ASSERT_NE(NewWindow(), nullptr);
    frame->OnIdle();
    const QString cell = frame->StatusBarWnd()->ShownText(0);
    ASSERT_EQ(cell, QStringLiteral("Empty"));
    QToolBar* bar = frame->Toolbar(kStandardBar);
    QWidget* cut = bar->widgetForAction(frame->ToolAction(ID_EDIT_CUT));
    ASSERT_NE(cut, nullptr);
    // An earlier right press on a tree (its menu opened on the press) is let go first.
    QTest::mouseRelease(frame->StatusBarWnd(), Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseMove(frame->StatusBarWnd(), QPoint(5, 5));
    Settle();
    QTest::mouseMove(cut, cut->rect().center());
    // On X the pointer's arrival comes back from the server, later on a loaded machine.
    ASSERT_TRUE(testwait::Until([&] { return cut->underMouse(); }));
    Settle();
    EXPECT_EQ(frame->StatusBarWnd()->ShownText(0), cell);
}

// Menus opened by keys: pane 0 follows the highlight, and comes back after Escape.
class MenuPromptKeysTest : public StatusTextsTest {
protected:
    QString Pane0() const { return frame->StatusBarWnd()->ShownText(0); }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::activePopupWidget();
        if (!target) target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
        Settle();
    }
    // Opens the menu bar's menu by Alt and its letter, and walks its items with Down, each
    // highlighted item's prompt read from pane 0; the commands highlighted, in order.
    std::vector<int> Walk(Qt::Key letter) {
        std::vector<int> seen;
        Press(letter, Qt::AltModifier);
        QMenu* menu = OpenedPopup();
        EXPECT_NE(menu, nullptr) << "Alt+" << char(letter);
        if (!menu) return seen;
        const int steps = int(menu->actions().size());
        for (int i = 0; i <= steps; ++i) {
            QAction* item = menu->activeAction();
            const int id = item && !item->menu() ? item->data().toInt() : 0;
            if (item) {
                seen.push_back(id);
                EXPECT_EQ(Pane0(), Prompt(id)) << item->text().toStdString();
            }
            Press(Qt::Key_Down);
        }
        Press(Qt::Key_Escape);
        return seen;
    }
    static bool Has(const std::vector<int>& seen, int id) {
        return std::find(seen.begin(), seen.end(), id) != seen.end();
    }
};

TEST_F(MenuPromptKeysTest, EditToolsAndFormatShowTheHighlightedPromptThenTheCell) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("2.5"));
    Select(0, 0);
    const QString cell = Pane0();
    ASSERT_EQ(cell, QStringLiteral("Number: 2.5"));
    const std::vector<int> edit = Walk(Qt::Key_E);
    EXPECT_EQ(Pane0(), cell);
    // The keys pass over disabled items (Redo, and the format pages this frame lacks).
    for (int id :
         {int(ID_EDIT_UNDO), int(ID_EDIT_CUT), int(ID_INCREMENT_VALUE), int(ID_EDIT_SELECT_ALL)})
        EXPECT_TRUE(Has(edit, id)) << id;
    const std::vector<int> tools = Walk(Qt::Key_T);
    EXPECT_EQ(Pane0(), cell);
    for (int id : {int(ID_TRANSPOSE), int(ID_UPDATE_DATA), 0}) EXPECT_TRUE(Has(tools, id)) << id;
    const std::vector<int> format = Walk(Qt::Key_O);
    EXPECT_EQ(Pane0(), cell);
    for (int id : {int(ID_ROW_HEIGHT), int(ID_AUTO_ROW_HEIGHT), int(ID_COLUMN_WIDTH)})
        EXPECT_TRUE(Has(format, id)) << id;
}

TEST_F(MenuPromptKeysTest, SubmenuAndGridMenuPromptsThenReadyWithoutWorkbook) {
    ASSERT_NE(NewWindow(), nullptr);
    Select(1, 1);
    ASSERT_EQ(Pane0(), QStringLiteral("Empty"));
    // Edit > Convert, opened with its letter: its first item's prompt.
    Press(Qt::Key_E, Qt::AltModifier);
    Press(Qt::Key_N);
    QMenu* convert = OpenedPopup();
    ASSERT_NE(convert, nullptr);
    if (!convert->activeAction()) Press(Qt::Key_Down);
    ASSERT_NE(convert->activeAction(), nullptr);
    EXPECT_EQ(Pane0(), Prompt(convert->activeAction()->data().toInt()));
    EXPECT_FALSE(Pane0().isEmpty());
    // Left closes the submenu: its item in Edit has no text of its own.
    Press(Qt::Key_Left);
    EXPECT_EQ(Pane0(), QString());
    Press(Qt::Key_Escape);
    Press(Qt::Key_Escape);
    EXPECT_EQ(Pane0(), QStringLiteral("Empty"));
    // The grid's menu by the menu key: its own Transpose carries the prompt too.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(30, 30),
                          View()->viewport()->mapToGlobal(QPoint(30, 30)));
    QApplication::sendEvent(View()->viewport(), &key);
    QMenu* grid = OpenedPopup();
    ASSERT_NE(grid, nullptr);
    Press(Qt::Key_Up); // the last item
    ASSERT_NE(grid->activeAction(), nullptr);
    EXPECT_EQ(grid->activeAction()->data().toInt(), int(ID_TRANSPOSE));
    EXPECT_EQ(Pane0(), QStringLiteral("Transpose selected cells"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(Pane0(), QStringLiteral("Empty"));
    // Without a workbook the pane says "Ready", before and after a menu.
    Command(ID_FILE_CLOSE);
    frame->OnIdle();
    ASSERT_EQ(Active(), nullptr);
    EXPECT_EQ(Pane0(), QStringLiteral("Ready"));
    frame->setFocus();
    Press(Qt::Key_F, Qt::AltModifier);
    ASSERT_NE(OpenedPopup(), nullptr);
    EXPECT_EQ(Pane0(), QString()); // New has no text
    Press(Qt::Key_Escape);
    EXPECT_EQ(Pane0(), QStringLiteral("Ready"));
}

} // namespace

} // namespace vl
