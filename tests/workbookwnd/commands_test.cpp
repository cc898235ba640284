// The window's own small commands, its keys and its menus in the frame.

#include "model/workbook.h"
#include "resources/commandids.h"
#include "wndtest.h"
#include "workbookwnd/celleditor.h"

#include <QAction>
#include <QMdiArea>
#include <QMenuBar>
#include <QSplitter>
#include <QTest>

namespace vl {

namespace {

class CommandsTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    CellRef& Pin() const { return Book().tree.active->view.freezed; }
    QMenu* Menu(const QString& title) const {
        for (QAction* top : frame->menuBar()->actions())
            if (top->text() == title) return top->menu();
        return nullptr;
    }
};

TEST_F(CommandsTest, FreezingOneHeadingReleasesTheOther) {
    struct Case {
        uint8_t flagsBefore;
        int command;
        uint8_t flagsAfter;
        bool modified;
    };
    const Case cases[] = {{kRefRow, ID_FREEZE_COLUMN, kRefColumn, true},
                          {kRefColumn, ID_FREEZE_COLUMN, kRefColumn, false},
                          {kRefColumn, ID_FREEZE_ROW, kRefRow, true},
                          {0, ID_FREEZE_NONE, 0, false},
                          {kRefRow, ID_FREEZE_NONE, 0, true}};
    View()->SetScrollPosition(7, 3);
    for (const Case& c : cases) {
        Pin() = CellRef{};
        Pin().flags = c.flagsBefore;
        Active()->SetModified(false);
        Active()->HandleCommand(c.command);
        EXPECT_EQ(Pin().flags, c.flagsAfter) << c.command;
        EXPECT_EQ(Active()->IsModified(), c.modified) << c.command;
        // A newly pinned heading takes the first one in view.
        EXPECT_EQ(Pin().column, c.modified && c.flagsAfter == kRefColumn ? 3 : 0) << c.command;
        EXPECT_EQ(Pin().row, c.modified && c.flagsAfter == kRefRow ? 7u : 0u) << c.command;
    }
}

TEST_F(CommandsTest, WholeRowsColumnsAndTheUsedRange) {
    View()->SetSelection({2, 3, 5, 7});
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(View()->Selection(), (CellRange{2, 0, 2, kLastRow}));
    View()->SetSelection({2, 3, 5, 7});
    Key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(View()->Selection(), (CellRange{0, 3, kLastColumn, 3}));
    // While the editor is open Shift+Space is a blank in the text.
    StartTyping(1, 1, QStringLiteral("a"));
    Key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(View()->Editor()->toPlainText(), QStringLiteral("a "));
    EXPECT_EQ(View()->Selection().c2, 1);
    Key(Qt::Key_Return);
    // Select All takes the used range; an empty worksheet gives its first cell.
    Enter(3, 6, QStringLiteral("1"));
    Enter(6, 12, QStringLiteral("1"));
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(View()->Selection(), (CellRange{1, 1, 6, 12}));
}

TEST_F(CommandsTest, TheTreePaneComesBackAtItsWidth) {
    auto* outer = Active()->findChild<QSplitter*>();
    ASSERT_NE(outer, nullptr);
    outer->setSizes({150, outer->width() - 150});
    const int width = outer->sizes()[0];
    Active()->HandleCommand(ID_VIEW_TREE);
    EXPECT_EQ(Active()->State().treePane, 0);
    EXPECT_EQ(Book().panes.treeWidth, width);
    Active()->HandleCommand(ID_VIEW_TREE);
    EXPECT_EQ(Active()->State().treePane, 1);
    EXPECT_EQ(outer->sizes()[0], width);
    EXPECT_FALSE(Active()->IsModified());
}

TEST_F(CommandsTest, ModesOfTheDocumentSetTheModifiedFlag) {
    struct Case {
        int command;
        uint8_t updateMode;
        uint8_t fileFormat;
    };
    const Case cases[] = {{ID_UPDATE_AUTO_ALL + 3, 4, 0},
                          {ID_UPDATE_AUTO_ALL + 4, 0, 0},
                          {ID_FORMAT_XML + 3, 0, 4},
                          {ID_FORMAT_XML + 4, 0, 0}};
    for (const Case& c : cases) {
        Active()->SetModified(false);
        Active()->HandleCommand(c.command);
        EXPECT_TRUE(Active()->IsModified());
        EXPECT_EQ(Active()->DocumentUpdateMode(), c.updateMode);
        EXPECT_EQ(Book().fileKind, c.fileFormat);
    }
    // Manual updating leaves formulas as they were computed when typed.
    Active()->HandleCommand(ID_UPDATE_AUTO_ALL + 2);
    Enter(0, 0, QStringLiteral("=B1"));
    Enter(1, 0, QStringLiteral("5"));
    EXPECT_EQ(cell::CachedNumber(FindCell(Book().tree.active->cells, 0, 0)), 0.0);
    Active()->HandleCommand(ID_UPDATE_AUTO_ALL);
    Enter(1, 0, QStringLiteral("6"));
    EXPECT_EQ(cell::CachedNumber(FindCell(Book().tree.active->cells, 0, 0)), 6.0);
}

TEST_F(CommandsTest, TheFrameShowsTheActiveWindowsMenus) {
    EXPECT_NE(Menu(QStringLiteral("&Settings")), nullptr);
    EXPECT_NE(Menu(QStringLiteral("&File")), nullptr);
    ASSERT_NE(Menu(QStringLiteral("&Edit")), nullptr); // the window's own menus are shown
    QAction* undo = Menu(QStringLiteral("&Edit"))->actions().value(0);
    ASSERT_NE(undo, nullptr);
    EXPECT_FALSE(undo->isEnabled()); // its work comes later
    // The Window menu lists the open windows, the active one ticked.
    CWorkbookWnd* first = Active();
    NewWindow();
    QMenu* windows = Menu(QStringLiteral("&Window"));
    ASSERT_NE(windows, nullptr);
    Q_EMIT windows->aboutToShow();
    QStringList listed;
    for (QAction* a : windows->actions())
        if (a->text().startsWith('&') && a->text().at(1).isDigit())
            listed << a->text() + (a->isChecked() ? QStringLiteral(" (active)") : QString());
    ASSERT_EQ(listed.size(), 2);
    EXPECT_TRUE(listed[1].endsWith(QStringLiteral("(active)")));
    for (QAction* a : windows->actions())
        if (a->text().startsWith(QStringLiteral("&1"))) a->trigger();
    EXPECT_EQ(Active(), first);
    first->SetModified(false);
    frame->MdiArea()->closeAllSubWindows();
    Settle();
    EXPECT_EQ(OpenDocumentCount(), 0);
    EXPECT_EQ(Menu(QStringLiteral("&Edit")), nullptr);
    EXPECT_NE(Menu(QStringLiteral("&View")), nullptr);
}

} // namespace

} // namespace vl
