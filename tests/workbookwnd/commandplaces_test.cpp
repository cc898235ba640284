// Save, Undo, Redo, Copy and Paste show one state wherever they stand: the menu bar, the
// toolbar, the grid's menu and the tree's menu, enabled and disabled alike.

#include "model/workbook.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "wndtest.h"
#include "workbookwnd/treepane.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <string>

namespace vl {

namespace {

class CommandPlacesTest : public wndtest::WindowTest {
protected:
    void TearDown() override {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        WindowTest::TearDown();
    }
    // The item of the command in a menu or its submenus.
    static QAction* Find(QMenu* menu, int id) {
        for (QAction* a : menu->actions()) {
            if (a->menu())
                if (QAction* inner = Find(a->menu(), id)) return inner;
            if (!a->isSeparator() && !a->menu() && a->data().toInt() == id) return a;
        }
        return nullptr;
    }
    // Each place showing the command, as the user opens it, with the item's state there.
    std::map<std::string, bool> Places(int id, const char* treeText) {
        std::map<std::string, bool> states;
        frame->OnIdle();
        if (QAction* tool = frame->ToolAction(id)) states["toolbar"] = tool->isEnabled();
        for (QAction* top : frame->menuBar()->actions()) {
            QMenu* menu = top->menu();
            if (!menu || !Find(menu, id)) continue;
            menu->popup(QPoint(0, 0)); // dropped down as a click or Alt+letter does
            Settle();
            states["menu bar"] = Find(menu, id)->isEnabled();
            menu->close();
            Settle();
        }
        if (!Active()) return states;
        View()->setFocus();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(30, 30),
                                View()->viewport()->mapToGlobal(QPoint(30, 30)));
        QApplication::sendEvent(View()->viewport(), &event);
        Settle();
        if (auto* grid = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            if (QAction* a = Find(grid, id)) states["grid menu"] = a->isEnabled();
            grid->close();
            Settle();
        }
        if (treeText) {
            QWidget* viewport = Active()->TreePane()->Control()->viewport();
            QTest::mousePress(viewport, Qt::RightButton, {}, {10, 8});
            Settle();
            if (auto* tree = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* a : tree->actions())
                    if (a->text() == QLatin1String(treeText)) states["tree menu"] = a->isEnabled();
                tree->close();
                Settle();
            }
            View()->setFocus();
            Settle();
        }
        return states;
    }
};

} // namespace

TEST_F(CommandPlacesTest, EveryPlaceShowsTheSameStateInBothStates) {
    struct Case {
        const char* command;
        int id;
        const char* treeText; // its item in the tree's menu, if it has one
        const char* state;
        std::function<void()> make;
        bool enabled;
        std::vector<std::string> places;
    };
    const std::vector<std::string> bar{"menu bar", "toolbar"};
    const std::vector<std::string> grid{"grid menu", "menu bar", "toolbar"};
    const std::vector<std::string> all{"grid menu", "menu bar", "toolbar", "tree menu"};
    const std::vector<std::string> toolbarOnly{"toolbar"};
    auto none = [] {};
    const Case cases[] = {
        {"Save", ID_FILE_SAVE, nullptr, "a workbook that can be written", none, true, bar},
        {"Save", ID_FILE_SAVE, nullptr, "a file opened read-only",
         [&] {
             ui.savePath = QString::fromStdString(TempPath("saved.vln"));
             Command(ID_FILE_SAVE_AS);
             ASSERT_TRUE(Active()->HasOpenFile());
             Book().readOnly = 1;
         },
         false, bar},
        {"Undo", ID_EDIT_UNDO, nullptr, "nothing done yet", none, false, bar},
        {"Undo", ID_EDIT_UNDO, nullptr, "after an edit", [&] { Enter(0, 0, QStringLiteral("1")); },
         true, bar},
        {"Redo", ID_EDIT_REDO, nullptr, "nothing undone", [&] { Enter(0, 0, QStringLiteral("1")); },
         false, bar},
        {"Redo", ID_EDIT_REDO, nullptr, "after an undo",
         [&] { Enter(0, 0, QStringLiteral("1")), Command(ID_EDIT_UNDO); }, true, bar},
        {"Copy", ID_EDIT_COPY, "&Copy", "a workbook open", none, true, all},
        {"Paste", ID_EDIT_PASTE, "&Paste", "text on the clipboard",
         [] { QGuiApplication::clipboard()->setText(QStringLiteral("7")); }, true, all},
        {"Paste", ID_EDIT_PASTE, "&Paste", "an empty clipboard",
         [] { QGuiApplication::clipboard()->clear(); }, false, all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + ", " + c.state);
        ASSERT_NE(NewWindow(), nullptr);
        c.make();
        Settle();
        const std::map<std::string, bool> states = Places(c.id, c.treeText);
        std::vector<std::string> shown;
        for (const auto& [place, enabled] : states) {
            shown.push_back(place);
            EXPECT_EQ(enabled, c.enabled) << place;
        }
        EXPECT_EQ(shown, c.places);
        Active()->SetModified(false);
        Command(ID_FILE_CLOSE);
        Settle();
    }
    // With no workbook the five wait on the toolbar, and no menu carries them.
    ASSERT_EQ(Active(), nullptr);
    for (int id : {ID_FILE_SAVE, ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_COPY, ID_EDIT_PASTE}) {
        QGuiApplication::clipboard()->setText(QStringLiteral("7"));
        const std::map<std::string, bool> states = Places(id, nullptr);
        EXPECT_EQ(states, (std::map<std::string, bool>{{"toolbar", false}})) << id;
    }
}

// A clipboard filled or emptied by another program changes Paste without any key or click
// in this one.
TEST_F(CommandPlacesTest, PasteFollowsTheClipboardAsItChanges) {
    ASSERT_NE(NewWindow(), nullptr);
    for (bool filled : {true, false, true}) {
        SCOPED_TRACE(filled);
        if (filled)
            QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        else
            QGuiApplication::clipboard()->clear();
        // On X the change comes back from the server: looked for between waits of the loop,
        // which runs its idle pass before each, bounded.
        QAction* paste = frame->ToolAction(ID_EDIT_PASTE);
        QEventLoop loop;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, &loop, [&] {
            if (paste->isEnabled() == filled) loop.quit();
        });
        look.start(10);
        QTimer::singleShot(testwait::kWindowWaitMs, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_EQ(paste->isEnabled(), filled);
    }
}

} // namespace vl
