// Every menu the user opens, with and without a workbook: the menu bar and its submenus,
// the grid's and the tree's menus and the toolbar's drop-down menus. Within one menu no two
// items share a mnemonic, so that Alt+S, O reaches Options and never another item first.

#include "resources/commandids.h"
#include "wndtest.h"
#include "workbookwnd/treepane.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vl {

namespace {

// The letter an item's text makes its mnemonic, lower-cased; 0 for none.
QChar Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] != QLatin1Char('&')) return text[i + 1].toLower();
        ++i;
    }
    return QChar();
}

class MnemonicsTest : public wndtest::WindowTest {
protected:
    // Each item sharing its mnemonic with an earlier one of the same menu, as
    // "menu: first / second"; the submenus are walked too.
    void Clashes(const QString& title, const QList<QAction*>& items) {
        std::map<QChar, QString> taken;
        for (QAction* a : items) {
            if (a->isSeparator() || !a->isVisible()) continue;
            const QChar letter = Mnemonic(a->text());
            if (!letter.isNull()) {
                auto [it, fresh] = taken.emplace(letter, a->text());
                if (!fresh)
                    clashes.insert((title + ": " + it->second + " / " + a->text()).toStdString());
            }
            if (a->menu()) Clashes(title + " > " + a->text(), a->menu()->actions());
        }
        ++menus;
    }
    // The menu bar and every popup under it, each popup opened as the user opens it.
    void WalkMenuBar(const QString& state) {
        frame->OnIdle();
        QMenuBar* bar = frame->menuBar();
        Clashes(state + " menu bar", bar->actions());
        for (QAction* top : bar->actions()) {
            if (!top->menu()) continue;
            top->menu()->popup(QPoint(0, 0));
            Settle();
            top->menu()->close();
            Settle();
        }
        Clashes(state + " menu bar", bar->actions()); // as filled when opened
    }
    QMenu* OpenedPopup() {
        Settle();
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    std::set<std::string> clashes; // a menu is walked before and after it is opened
    int menus = 0;
};

TEST_F(MnemonicsTest, NoMenuGivesOneLetterToTwoItems) {
    WalkMenuBar(QStringLiteral("frame"));
    ASSERT_NE(NewWindow(), nullptr);
    WalkMenuBar(QStringLiteral("workbook"));
    // The grid's menu, as the menu key opens it.
    View()->setFocus();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(30, 30),
                          View()->viewport()->mapToGlobal(QPoint(30, 30)));
    QApplication::sendEvent(View()->viewport(), &key);
    QMenu* grid = OpenedPopup();
    ASSERT_NE(grid, nullptr);
    Clashes(QStringLiteral("grid menu"), grid->actions());
    grid->close();
    // The tree's menu, as a right click opens it.
    QTest::mousePress(Active()->TreePane()->Control()->viewport(), Qt::RightButton, {}, {10, 8});
    QMenu* tree = OpenedPopup();
    ASSERT_NE(tree, nullptr);
    Clashes(QStringLiteral("tree menu"), tree->actions());
    tree->close();
    Settle();
    // The toolbar's drop-down menus.
    for (int id : {int(ID_EDIT_PASTE), int(ID_INSERT_DATE_TIME), int(ID_INSERT_FORMULA),
                   int(ID_VIEW_COMPOSER), int(ID_INSERT_CHART), int(ID_GO_TO_ADDRESS)}) {
        frame->OnToolbarDropDown(id);
        ASSERT_NE(frame->DropDownMenu(), nullptr) << id;
        Clashes(frame->DropDownMenu()->objectName(), frame->DropDownMenu()->actions());
        frame->DropDownMenu()->close();
        Settle();
    }
    EXPECT_EQ(clashes, std::set<std::string>{});
    EXPECT_GT(menus, 30);
}

// The menu bar keeps the texts the commands are given; the grid's menu, where two of them
// would meet on one letter, has its own items for them, which run the same commands.
TEST_F(MnemonicsTest, MenuBarKeepsItsTextsAndTheGridItsOwnLetters) {
    ASSERT_NE(NewWindow(), nullptr);
    frame->OnIdle();
    // The item of a command in a menu, by its text.
    auto item = [](QMenu* menu, int id) -> QAction* {
        for (QAction* a : menu->actions())
            if (!a->menu() && a->data().toInt() == id) return a;
        return nullptr;
    };
    std::map<int, QString> bar;
    for (QAction* top : frame->menuBar()->actions())
        if (top->menu())
            for (int id : {int(ID_TRANSPOSE), int(ID_COLUMN_WIDTH), int(ID_ROW_HEIGHT),
                           int(ID_TOOLS_SORT), int(ID_EDIT_CUT), int(ID_UPDATE_DATA)})
                if (QAction* a = item(top->menu(), id)) bar[id] = a->text();
    EXPECT_EQ(bar, (std::map<int, QString>{{ID_TRANSPOSE, "&Transpose"},
                                           {ID_COLUMN_WIDTH, "C&olumn Width..."},
                                           {ID_ROW_HEIGHT, "&Row Height..."},
                                           {ID_TOOLS_SORT, "&Sort..."},
                                           {ID_EDIT_CUT, "Cu&t\tCtrl+X"},
                                           {ID_UPDATE_DATA, "Update &Data\tF9"}}));
    View()->setFocus();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(30, 30),
                          View()->viewport()->mapToGlobal(QPoint(30, 30)));
    QApplication::sendEvent(View()->viewport(), &key);
    QMenu* grid = OpenedPopup();
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(item(grid, ID_TRANSPOSE), nullptr);
    ASSERT_NE(item(grid, ID_COLUMN_WIDTH), nullptr);
    EXPECT_EQ(item(grid, ID_TRANSPOSE)->text(), QStringLiteral("Tr&anspose"));
    EXPECT_EQ(item(grid, ID_COLUMN_WIDTH)->text(), QStringLiteral("Col&umn Width..."));
    EXPECT_EQ(item(grid, ID_ROW_HEIGHT)->text(), QStringLiteral("Row &Height..."));
    // They show the command's state, as the bar's items do, and follow it when it changes.
    for (int id : {int(ID_COLUMN_WIDTH), int(ID_ROW_HEIGHT), int(ID_TRANSPOSE)})
        for (QAction* top : frame->menuBar()->actions())
            if (QAction* shared = top->menu() ? item(top->menu(), id) : nullptr) {
                EXPECT_EQ(item(grid, id)->isEnabled(), shared->isEnabled()) << id;
                shared->setEnabled(!shared->isEnabled());
                EXPECT_EQ(item(grid, id)->isEnabled(), shared->isEnabled()) << id;
                shared->setEnabled(!shared->isEnabled());
            }
    // The grid's own Transpose, chosen by its letter, runs the command: A1:B1 becomes A1:A2.
    grid->close();
    Settle();
    Enter(0, 0, QStringLiteral("1"));
    Enter(1, 0, QStringLiteral("2"));
    SelectRange(0, 0, 1, 0);
    QApplication::sendEvent(View()->viewport(), &key);
    ASSERT_EQ(OpenedPopup(), grid);
    ASSERT_TRUE(item(grid, ID_TRANSPOSE)->isEnabled());
    QTest::keyClick(grid, Qt::Key_A);
    Settle();
    EXPECT_EQ(CellText(0, 1), "2");
    EXPECT_EQ(CellText(1, 0), "");
}

} // namespace

} // namespace vl
