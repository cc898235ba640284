#include "app/mainframe.h"
#include "app/statusbarwnd.h"
#include "apptestutil.h"
#include "core/settings.h"
#include "dialogs/composerpane.h"
#include "formula/evalcontext.h"
#include "model/cellrecord.h"
#include "resources/commandids.h"
#include "tests/dialogs/idleformatpages.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <set>

namespace vl {

using apptest::FakeWorkbookWnd;

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        Profile() = SettingsProfile{};
        frame = std::make_unique<CMainFrame>(nullptr, clock, &factory);
        frame->OnCreate();
        frame->resize(900, 600);
        frame->show();
    }
    void TearDown() override {
        frame.reset();
        Profile() = SettingsProfile{};
    }
    FakeWorkbookWnd* Open() {
        frame->OnCommand(ID_FILE_NEW);
        return factory.made.back();
    }

    apptest::FakeUi ui;
    apptest::FakeClock clock;
    apptest::FakeFactory factory;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, WithoutWorkbookOnlyFiveButtonsAreEnabled) {
    // The composer's button needs a composer pane.
    struct Pane : IComposerPane {
        bool Toggle(QWidget*) override { return true; }
        bool IsVisible() const override { return false; }
        void UseHistoryEntry(QWidget*, int) override {}
    } pane;
    frame->SetComposerPane(&pane);
    frame->OnIdle();
    std::set<int> enabled;
    for (int bar = 0; bar < kToolbars; ++bar) {
        const ToolbarSpec& spec = FrameToolbar(bar);
        for (std::size_t i = 0; i < spec.count; ++i)
            if (QAction* a = frame->ToolAction(spec.buttons[i].id); a && a->isEnabled())
                enabled.insert(spec.buttons[i].id);
    }
    EXPECT_EQ(enabled, (std::set<int>{ID_FILE_NEW, ID_FILE_OPEN, ID_GO_TO_ADDRESS, ID_SEARCH_CLOSE,
                                      ID_VIEW_COMPOSER}));
    // The formatting bar is hidden and its buttons lose their texts.
    EXPECT_TRUE(frame->Toolbar(kFormattingBar)->isHidden());
    auto fontButton = [this] {
        return qobject_cast<QToolButton*>(
            frame->Toolbar(kFormattingBar)->widgetForAction(frame->ToolAction(ID_FORMAT_FONT)));
    };
    EXPECT_EQ(fontButton()->toolButtonStyle(), Qt::ToolButtonIconOnly);
    FakeWorkbookWnd* book = Open();
    frame->OnIdle();
    EXPECT_FALSE(frame->Toolbar(kFormattingBar)->isHidden());
    EXPECT_EQ(fontButton()->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    EXPECT_EQ(frame->ToolAction(ID_FORMAT_FONT)->iconText(), QStringLiteral(" Font"));
    EXPECT_TRUE(frame->ToolAction(ID_FILE_SAVE)->isEnabled());
    EXPECT_FALSE(frame->ToolAction(ID_EDIT_UNDO)->isEnabled()); // nothing to undo yet
    book->state.undoPosition = 0;
    frame->OnIdle();
    EXPECT_TRUE(frame->ToolAction(ID_EDIT_UNDO)->isEnabled());
}

TEST_F(MainFrameTest, AutoSaveSavesEachModifiedWindowOnceAfterAMinute) {
    Profile().autoSave = 1;
    FakeWorkbookWnd* a = Open();
    FakeWorkbookWnd* b = Open();
    FakeWorkbookWnd* c = Open();
    a->modified = true;
    c->modified = true;
    c->hasFile = false; // a new workbook beeps before its Save As
    clock.now += 54;
    frame->OnTimer();
    EXPECT_TRUE(a->sent.empty()); // 54 + 5 < 60
    clock.now += 1;
    frame->OnTimer();
    EXPECT_EQ(a->sent, std::vector<int>{ID_FILE_SAVE});
    EXPECT_TRUE(b->sent.empty());
    EXPECT_EQ(c->sent, std::vector<int>{ID_FILE_SAVE});
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(frame->LastAutoSave(), clock.now);
    frame->OnTimer();
    EXPECT_EQ(a->sent.size(), 1u);
}

TEST_F(MainFrameTest, AKeyOrAnOpenBoxRestartsTheIntervals) {
    Profile().autoSave = 1;
    Profile().autoClose = 2;
    FakeWorkbookWnd* a = Open();
    a->modified = true;
    clock.now += 100;
    QTest::keyClick(frame.get(), Qt::Key_Shift);
    EXPECT_EQ(frame->LastAutoSave(), clock.now);
    EXPECT_EQ(frame->LastAutoClose(), clock.now);
    clock.now += 50;
    frame->OnTimer();
    EXPECT_TRUE(a->sent.empty());
    EXPECT_TRUE(a->posted.empty());
    // Nothing is saved while a box is open, and the interval starts again from that tick.
    Profile().autoClose = 0;
    QDialog box(frame.get());
    box.setModal(true);
    box.show();
    ASSERT_TRUE(QApplication::activeModalWidget() != nullptr);
    clock.now += 10;
    frame->OnTimer();
    EXPECT_TRUE(a->sent.empty());
    EXPECT_EQ(frame->LastAutoSave(), clock.now);
    box.hide();
    clock.now += 59;
    frame->OnTimer();
    EXPECT_EQ(a->sent, std::vector<int>{ID_FILE_SAVE});
}

TEST_F(MainFrameTest, AutoCloseSavesThenClosesAllAndStopsAtAFailedSave) {
    Profile().autoClose = 2;
    FakeWorkbookWnd* a = Open();
    FakeWorkbookWnd* b = Open();
    a->modified = true;
    clock.now += 115;
    frame->OnTimer();
    EXPECT_EQ(a->sent, std::vector<int>{ID_FILE_SAVE});
    EXPECT_EQ(a->posted, std::vector<int>{ID_FILE_CLOSE});
    EXPECT_EQ(b->posted, std::vector<int>{ID_FILE_CLOSE});
    a->modified = true;
    a->failSave = true;
    clock.now += 120;
    frame->OnTimer();
    EXPECT_EQ(a->posted.size(), 1u); // the failed save stops the closing
    EXPECT_EQ(b->posted.size(), 1u);
}

TEST_F(MainFrameTest, CancelAtTheSecondOfThreeLeavesTheThirdUnasked) {
    FakeWorkbookWnd* books[3] = {Open(), Open(), Open()};
    for (FakeWorkbookWnd* b : books) b->modified = true;
    books[1]->refuseClose = true;
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(books[0]->asked, 1);
    EXPECT_EQ(books[1]->asked, 1);
    EXPECT_EQ(books[2]->asked, 0);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(OpenDocumentCount(), 3);
}

TEST_F(MainFrameTest, SeventeenthWorkbookIsRefusedWithAMessage) {
    for (int i = 0; i < kMaxDocuments; ++i) Open();
    EXPECT_EQ(OpenDocumentCount(), 16);
    EXPECT_TRUE(ui.boxes.empty());
    frame->OnCommand(ID_FILE_NEW);
    EXPECT_EQ(OpenDocumentCount(), 16);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Please enter no more than 16 items."));
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 16);
    // Closing one frees its entry for the next.
    frame->MdiArea()->subWindowList().first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OpenDocumentCount(), 15);
    frame->OnCommand(ID_FILE_NEW);
    EXPECT_EQ(OpenDocumentCount(), 16);
}

// Window > Tile stacks the windows top to bottom, each as wide as the area; from four on,
// in columns, the last ones one window longer. The active window takes the first place.
TEST_F(MainFrameTest, TileStacksTheWindowsFullWidth) {
    struct Case {
        int windows;
        std::vector<std::pair<int, int>> columnsAndRows; // per window: column, row count
    } cases[] = {
        {1, {{0, 1}}},
        {2, {{0, 2}, {0, 2}}},
        {3, {{0, 3}, {0, 3}, {0, 3}}},
        {4, {{0, 2}, {0, 2}, {1, 2}, {1, 2}}},
        {5, {{0, 2}, {0, 2}, {1, 3}, {1, 3}, {1, 3}}},
    };
    QMdiArea* mdi = frame->MdiArea();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.windows);
        qDeleteAll(mdi->subWindowList());
        std::vector<FakeWorkbookWnd*> books;
        for (int i = 0; i < c.windows; ++i) books.push_back(Open());
        books[0]->parentWidget()->showMaximized();
        auto* active = qobject_cast<QMdiSubWindow*>(books[1 % c.windows]->parentWidget());
        mdi->setActiveSubWindow(active);
        QAction* tile = frame->SharedAction(ID_WINDOW_TILE, QStringLiteral("&Tile"));
        ASSERT_TRUE(tile->isEnabled());
        tile->trigger();
        const QRect area = mdi->viewport()->rect();
        const int columns = c.columnsAndRows.back().first + 1;
        std::vector<int> rowInColumn(columns, 0);
        // Walk the windows in the order they were placed: the active one first.
        auto order = mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
        std::reverse(order.begin(), order.end());
        ASSERT_EQ(int(order.size()), c.windows);
        EXPECT_EQ(order[0], active);
        for (int i = 0; i < c.windows; ++i) {
            const auto [column, rows] = c.columnsAndRows[i];
            const int row = rowInColumn[column]++;
            const QRect want(area.width() * column / columns, area.height() * row / rows,
                             area.width() * (column + 1) / columns -
                                 area.width() * column / columns,
                             area.height() * (row + 1) / rows - area.height() * row / rows);
            EXPECT_FALSE(order[i]->isMaximized()) << i;
            EXPECT_EQ(order[i]->geometry(), want) << i;
        }
    }
}

TEST_F(MainFrameTest, TitleNamesTheMaximisedWorkbook) {
    Profile().maximizeDocWindow = 0;
    Open();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Vorlane 7.3"));
    frame->MdiArea()->currentSubWindow()->showMaximized();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Vorlane 7.3 - [New Workbook]"));
}

TEST_F(MainFrameTest, StatusBarDescribesTheActiveWindow) {
    FakeWorkbookWnd* book = Open();
    CCellStore cells;
    book->cells = &cells;
    book->state.selection = {0, 0, 1, 2};
    book->state.editorState = 1;
    book->state.zoom = 75;
    book->state.lockState = 3;
    frame->UpdateStatusBar();
    CStatusBarWnd* bar = frame->StatusBarWnd();
    // The panes with texts; the fourth holds only the lock picture.
    auto panes = [bar] {
        QStringList texts;
        for (int pane : {0, 1, 2, 4, 5}) texts << bar->PaneText(pane);
        return texts.join('|');
    };
    EXPECT_EQ(panes(), QStringLiteral("2 columns x 3 rows||Format: Binary| Edit - On| 75%"));
    CellBuffer buf;
    ASSERT_TRUE(MakeNumberCell(buf, 0, 0, 2.5));
    CellCursor cursor;
    ASSERT_TRUE(cells.PutCell(buf.data(), cursor));
    CEvalContext context;
    book->context = &context;
    book->state.selection = {0, 0, 0, 0};
    frame->UpdateStatusBar();
    EXPECT_EQ(panes(), QStringLiteral("Number: 2.5||Format: Binary| Edit - On| 75%"));
    book->state.selection = {1, 3, 1, 3};
    frame->UpdateStatusBar();
    EXPECT_EQ(bar->PaneText(0), QStringLiteral("Empty"));
    delete book->Widget()->parentWidget(); // the sub-window and the workbook window with it
    EXPECT_EQ(OpenDocumentCount(), 0);
    frame->OnIdle();
    EXPECT_EQ(bar->PaneText(5), QString());
    // Without a workbook the first pane says so.
    EXPECT_EQ(bar->PaneText(0), QStringLiteral("Ready"));
    EXPECT_EQ(bar->PaneText(1), QString());
}

TEST_F(MainFrameTest, CommandsWithoutHandlerPassToTheActiveWindow) {
    EXPECT_FALSE(frame->Action(ID_OPTIONS)->isEnabled()); // its dialog has not landed
    FakeWorkbookWnd* book = Open();
    frame->OnCommand(ID_EDIT_COPY);
    frame->OnCommand(ID_HELP_SUPPORT);
    EXPECT_EQ(book->handled, std::vector<int>{ID_EDIT_COPY});
    // Support opens the help window; the status bar names no help file.
    EXPECT_NE(frame->findChild<QWidget*>(QStringLiteral("helpViewer")), nullptr);
    EXPECT_EQ(frame->StatusBarWnd()->currentMessage(), QString());
    EXPECT_STREQ(CMainFrame::HelpTopicPage(99), "intro.htm");
    EXPECT_STREQ(CMainFrame::HelpTopicPage(2), "printing.htm");
}

TEST_F(MainFrameTest, LocalesCommandsSetTheRegionAndTick) {
    FakeWorkbookWnd* book = Open();
    frame->OnCommand(ID_LOCALE_GENERIC);
    EXPECT_EQ(Profile().region, 0);
    EXPECT_TRUE(frame->Action(ID_LOCALE_GENERIC)->isChecked());
    EXPECT_FALSE(frame->Action(ID_LOCALE_USER)->isChecked());
    EXPECT_EQ(book->refreshes, 1);
}

TEST(MainFramePlacement, AddressBoxAndStartRectangle) {
    EXPECT_EQ(CMainFrame::AddressBoxWidth(100, 70), 40);
    EXPECT_EQ(CMainFrame::AddressBoxWidth(110, 70), 40);
    EXPECT_EQ(CMainFrame::AddressBoxWidth(111, 70), 41);
    EXPECT_FALSE(CMainFrame::UsableFrameRect(QRect()));
    EXPECT_FALSE(CMainFrame::UsableFrameRect(QRect(-5000, -5000, 300, 200)));
    EXPECT_TRUE(CMainFrame::UsableFrameRect(QRect(10, 10, 300, 200)));
}

TEST_F(MainFrameTest, RecentFileMenuShowsTheListNewestFirst) {
    QMenu* menu = frame->RecentFilesMenu();
    ASSERT_NE(menu, nullptr);
    menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("(empty)"));
    EXPECT_FALSE(menu->actions()[0]->isEnabled());
    // The list holds the system's bytes (UTF-8): every character of a path is shown and opened.
    Profile().recentFiles = {"/tmp/new.vln", "/tmp/caf\xC3\xA9.vln",
                             "/tmp/\xD0\x94\xD0\xBE\xD0\xBA.vln"};
    menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("&1 /tmp/new.vln"));
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("&2 /tmp/caf\u00E9.vln"));
    EXPECT_EQ(menu->actions()[2]->text(), QStringLiteral("&3 /tmp/\u0414\u043E\u043A.vln"));
    menu->actions()[1]->trigger();
    EXPECT_EQ(factory.paths.back(), QStringLiteral("/tmp/caf\u00E9.vln"));
    menu->actions()[2]->trigger();
    EXPECT_EQ(factory.paths.back(), QStringLiteral("/tmp/\u0414\u043E\u043A.vln"));
}

} // namespace vl

namespace vl {

namespace {

// Pages that only say which is open.
class OpenPageOnly : public IdleFormatPages {
public:
    int OpenPageCommand() const override { return open; }
    void ClosePage() override { open = 0; }
    int open = 0;
};

} // namespace

TEST_F(MainFrameTest, AFormatButtonStaysPressedWhileItsPageIsOpen) {
    OpenPageOnly pages;
    frame->SetFormatPages(&pages);
    Open();
    const int buttons[] = {ID_FORMAT_FONT,      ID_FORMAT_CELL, ID_FORMAT_STYLE,
                           ID_FORMAT_ALIGNMENT, ID_FORMAT_LIST, ID_FORMAT_WORKSHEET};
    for (int open : {int(ID_FORMAT_FONT), int(ID_FORMAT_LIST), 0}) {
        pages.open = open;
        frame->OnIdle();
        for (int id : buttons) EXPECT_EQ(frame->ToolAction(id)->isChecked(), id == open) << id;
    }
    frame->SetFormatPages(nullptr);
}

} // namespace vl
