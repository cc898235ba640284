#include "app/mainframe.h"
#include "app/printservices.h"
#include "apptestutil.h"
#include "core/settings.h"
#include "dialogs/composerpane.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QWindow>

namespace vl {

using apptest::FakeWorkbookWnd;

namespace {

class FakePane : public IPrintPreviewPane {
public:
    explicit FakePane(int sheets, QWidget* parent) : widget(new QWidget(parent)), sheets_(sheets) {}
    ~FakePane() override { delete widget; }
    QWidget* Widget() override { return widget; }
    int SheetCount() const override { return sheets_; }
    int CurrentSheet() const override { return current; }
    void ShowSheet(int sheet) override {
        if (sheet >= 0 && sheet < sheets_) current = sheet;
    }
    void ZoomIn() override { mode = 1; }
    void ZoomOut() override {
        zoom = 1.0;
        mode = 0;
    }
    int ZoomMode() const override { return mode; }
    void SetZoomMode(int m) override { mode = m; }
    double Zoom() const override { return zoom; }
    void SetZoomChanged(std::function<void()> notify) override { zoomChanged = std::move(notify); }

    QWidget* widget;
    int mode = 0;
    std::function<void()> zoomChanged;
    int current = 0;
    double zoom = 1.0;

private:
    int sheets_;
};

class FakePrinting : public IPrintServices {
public:
    std::unique_ptr<IPrintPreviewPane> OpenPreview(QWidget* parent, IWorkbookWnd& window) override {
        if (failWith) {
            Fail(*window.Workbook(), failWith);
            return nullptr;
        }
        auto pane = std::make_unique<FakePane>(sheets, parent);
        last = pane.get();
        return pane;
    }
    ErrorCode Print(QWidget*, IWorkbookWnd&, bool all) override {
        prints.push_back(all);
        return printError;
    }
    ErrorCode PageSetup(QWidget*, IWorkbookWnd&) override {
        ++pageSetups;
        return printError;
    }
    int pageSetups = 0;
    int sheets = 3;
    ErrorCode failWith = kErrorNone;
    ErrorCode printError = kErrorNone;
    FakePane* last = nullptr;
    std::vector<bool> prints;
};

class FakeComposer : public IComposerPane {
public:
    bool Toggle(QWidget*) override { return exists = shown = !shown; }
    bool IsVisible() const override { return shown; }
    void SetShown(bool s) override {
        if (exists) shown = s;
    }
    void UseHistoryEntry(QWidget*, int) override {}
    bool exists = false;
    bool shown = false;
};

class PrintCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Profile() = SettingsProfile{};
        frame = std::make_unique<CMainFrame>(nullptr, clock, &factory);
        frame->SetPrintServices(&printing);
        frame->SetComposerPane(&composer);
        frame->OnCreate();
        frame->OnCommand(ID_FILE_NEW);
    }
    void TearDown() override {
        frame.reset();
        Profile() = SettingsProfile{};
    }
    QStackedWidget* Stack() { return static_cast<QStackedWidget*>(frame->centralWidget()); }

    apptest::FakeUi ui;
    apptest::FakeClock clock;
    apptest::FakeFactory factory;
    FakePrinting printing;
    FakeComposer composer;
    std::unique_ptr<CMainFrame> frame;
};

// What of the frame a user sees: the menu bar, the five toolbars in order, the status bar,
// the composer and the container properties window.
std::vector<bool> Shown(CMainFrame& frame, const FakeComposer& composer,
                        const FakeWorkbookWnd& wnd) {
    std::vector<bool> shown{!frame.menuBar()->isHidden()};
    for (int bar = 0; bar < kToolbars; ++bar) shown.push_back(!frame.Toolbar(bar)->isHidden());
    shown.push_back(!frame.statusBar()->isHidden());
    shown.push_back(composer.shown);
    shown.push_back(wnd.containerShown);
    return shown;
}

} // namespace

TEST_F(PrintCommandsTest, PreviewPagesInPlaceOfTheWorkbooks) {
    frame->OnIdle();
    ASSERT_TRUE(frame->ToolAction(ID_PREVIEW_NEXT));
    EXPECT_FALSE(frame->ToolAction(ID_PREVIEW_NEXT)->isEnabled());
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    EXPECT_TRUE(frame->ToolAction(ID_PREVIEW_NEXT)->isEnabled());
    ASSERT_TRUE(frame->Preview());
    EXPECT_EQ(Stack()->currentWidget(), printing.last->widget);
    QComboBox* selector = frame->PageSelector();
    ASSERT_TRUE(selector);
    EXPECT_EQ(selector->count(), 3);
    EXPECT_EQ(selector->itemText(2), "3");

    frame->OnCommand(ID_PREVIEW_PREV); // on the first: nothing
    EXPECT_EQ(printing.last->current, 0);
    frame->OnCommand(ID_NEXT_WORKSHEET); // pages the preview, not the workbook
    frame->OnCommand(ID_PREVIEW_NEXT);
    EXPECT_EQ(printing.last->current, 2);
    EXPECT_EQ(selector->currentIndex(), 2);
    frame->OnCommand(ID_PREVIEW_NEXT); // on the last: nothing
    EXPECT_EQ(printing.last->current, 2);
    frame->OnCommand(ID_PREV_WORKSHEET);
    EXPECT_EQ(printing.last->current, 1);
    EXPECT_TRUE(factory.made.back()->handled.empty());

    frame->OnCommand(ID_PREVIEW_ZOOM_OUT); // unzoomed it stays 1.0
    EXPECT_EQ(printing.last->zoom, 1.0);
    frame->OnCommand(ID_PREVIEW_ZOOM_IN); // arms the zoom; the click zooms
    EXPECT_EQ(printing.last->zoom, 1.0);
    EXPECT_EQ(printing.last->mode, 1);
    ASSERT_TRUE(printing.last->zoomChanged);
    printing.last->zoomChanged(); // the preview zoomed: disarmed
    EXPECT_EQ(printing.last->mode, 0);

    frame->OnCommand(ID_PREVIEW_CLOSE);
    EXPECT_FALSE(frame->Preview());
    EXPECT_FALSE(frame->ToolAction(ID_PREVIEW_NEXT)->isEnabled());
    EXPECT_EQ(Stack()->currentWidget(), static_cast<QWidget*>(frame->MdiArea()));
    EXPECT_EQ(Stack()->count(), 1);
    frame->OnCommand(ID_NEXT_WORKSHEET); // the workbook's again
    EXPECT_EQ(factory.made.back()->handled, std::vector<int>{ID_NEXT_WORKSHEET});
}

TEST_F(PrintCommandsTest, FailedPreviewLeavesTheFrameNormal) {
    printing.failWith = kErrorInvalidPageList;
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    EXPECT_FALSE(frame->Preview());
    EXPECT_EQ(Stack()->currentWidget(), static_cast<QWidget*>(frame->MdiArea()));
    EXPECT_EQ(Stack()->count(), 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "An invalid print page range");
}

TEST_F(PrintCommandsTest, PrintAndPrintAll) {
    frame->OnCommand(ID_FILE_PRINT);
    frame->OnCommand(ID_PRINT_ALL);
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    frame->OnCommand(ID_PREVIEW_PRINT); // closes the preview, then prints the worksheet
    EXPECT_EQ(printing.prints, (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(frame->Preview());
    frame->OnCommand(ID_FILE_PAGE_SETUP);
    EXPECT_EQ(printing.pageSetups, 1);
    printing.printError = kErrorNoPrinter;
    frame->OnCommand(ID_FILE_PRINT);
    frame->OnCommand(ID_FILE_PAGE_SETUP);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "No printer selected.");
    EXPECT_EQ(ui.boxes[1].text, "No printer selected.");
}

} // namespace vl

namespace vl {

TEST_F(PrintCommandsTest, CloseBringsBackWhatWasShownAndOnlyThat) {
    frame->show(); // the search toolbar's commands ask what is visible
    FakeWorkbookWnd& wnd = *factory.made.back();
    wnd.containerOpen = true;
    // standard toolbar, formatting toolbars, search toolbar, status bar, composer, container
    // properties: each shown alone and all shown.
    const std::vector<std::vector<bool>> cases = {
        {false, false, false, false, false, false}, {true, false, false, false, false, false},
        {false, true, false, false, false, false},  {false, false, true, false, false, false},
        {false, false, false, true, false, false},  {false, false, false, false, true, false},
        {false, false, false, false, false, true},  {true, true, true, true, true, true},
    };
    for (const std::vector<bool>& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c));
        if ((Profile().standardToolbarVisible != 0) != c[0]) frame->OnCommand(ID_VIEW_TOOLBAR);
        if ((Profile().formattingToolbarVisible != 0) != c[1])
            frame->OnCommand(ID_VIEW_FORMATTING_BAR);
        if (frame->Toolbar(kSearchBar)->isHidden() == c[2])
            frame->OnCommand(c[2] ? ID_EDIT_FIND : ID_SEARCH_CLOSE);
        if ((Profile().statusBarVisible != 0) != c[3]) frame->OnCommand(ID_VIEW_STATUS_BAR);
        if (composer.shown != c[4]) frame->OnCommand(ID_VIEW_COMPOSER);
        wnd.containerShown = c[5];
        const std::vector<bool> before = Shown(*frame, composer, wnd);
        EXPECT_EQ(before,
                  (std::vector<bool>{true, c[0], c[1], c[1], false, c[2], c[3], c[4], c[5]}));

        frame->OnCommand(ID_FILE_PRINT_PREVIEW);
        ASSERT_TRUE(frame->Preview());
        // Only the preview toolbar (and the status bar as it was) stays.
        EXPECT_EQ(Shown(*frame, composer, wnd),
                  (std::vector<bool>{false, false, false, false, true, false, c[3], false, false}));
        EXPECT_TRUE(frame->PageSelector()->isEnabled());
        EXPECT_EQ(frame->PageSelector()->parentWidget(), frame->Toolbar(kPreviewBar));
        frame->OnCommand(ID_PREVIEW_CLOSE);
        EXPECT_EQ(Shown(*frame, composer, wnd), before);
        EXPECT_FALSE(frame->PageSelector()->isEnabled());
        EXPECT_EQ(frame->PageSelector()->count(), 0);
    }
}

TEST_F(PrintCommandsTest, BarTogglesDuringThePreviewWaitForClose) {
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    frame->OnCommand(ID_VIEW_TOOLBAR); // off: the setting only
    frame->OnCommand(ID_VIEW_FORMATTING_BAR);
    EXPECT_FALSE(frame->Action(ID_VIEW_TOOLBAR)->isChecked());
    for (int bar : {kStandardBar, kFormattingBar, kAddressBar})
        EXPECT_TRUE(frame->Toolbar(bar)->isHidden()) << bar;
    frame->OnCommand(ID_VIEW_TOOLBAR); // on again: still hidden in the preview
    EXPECT_TRUE(frame->Toolbar(kStandardBar)->isHidden());
    frame->OnCommand(ID_PREVIEW_CLOSE);
    EXPECT_FALSE(frame->Toolbar(kStandardBar)->isHidden());
    EXPECT_TRUE(frame->Toolbar(kFormattingBar)->isHidden());
    EXPECT_TRUE(frame->Toolbar(kAddressBar)->isHidden());
}

TEST_F(PrintCommandsTest, ClosingThePreviewedWindowClosesThePreview) {
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    ASSERT_TRUE(frame->Preview());
    delete factory.made.back()->Widget();
    EXPECT_FALSE(frame->Preview());
    EXPECT_EQ(Stack()->currentWidget(), static_cast<QWidget*>(frame->MdiArea()));
    EXPECT_TRUE(frame->Toolbar(kPreviewBar)->isHidden());
    EXPECT_FALSE(frame->Toolbar(kStandardBar)->isHidden());
    EXPECT_TRUE(frame->Toolbar(kFormattingBar)->isHidden()); // no workbook left
}

// The preview's keys pressed on the shown frame, as a user types them: Ctrl+Down and Ctrl+Up
// turn its page, staying on the last and the first; Escape closes it.
TEST_F(PrintCommandsTest, PreviewKeysTurnItsPagesAndEscapeClosesIt) {
    frame->show();
    frame->activateWindow();
    // Keys reach the frame only once the window system has made it active.
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    ASSERT_TRUE(frame->Preview());
    ASSERT_TRUE(testwait::Until([&] { return QApplication::focusWidget() != nullptr; }));
    struct Step {
        Qt::Key key;
        int page;
    };
    const Step steps[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Down, 2},
                          {Qt::Key_Up, 1},   {Qt::Key_Up, 0},   {Qt::Key_Up, 0}};
    int n = 0;
    for (const Step& step : steps) {
        QTest::keyClick(frame->windowHandle(), step.key, Qt::ControlModifier);
        EXPECT_EQ(printing.last->current, step.page) << "step " << n;
        EXPECT_EQ(frame->PageSelector()->currentIndex(), step.page) << "step " << n++;
    }
    EXPECT_TRUE(factory.made.back()->handled.empty());
    QTest::keyClick(frame->windowHandle(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(frame->Preview());
}

} // namespace vl
