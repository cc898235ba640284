// The printing commands as a user reaches them from a workbook window: the tree pane's menu,
// Ctrl+P, and a window closed while its worksheet is previewed.

#include "app/printservices.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "wndtest.h"
#include "workbookwnd/treepane.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

namespace vl {

namespace {

// Records what the frame asks of printing; its preview is a plain widget over the workbook.
class RecordingPrinting : public IPrintServices {
public:
    class Pane : public IPrintPreviewPane {
    public:
        Pane(RecordingPrinting& owner, IWorkbookWnd& window, QWidget* parent)
            : owner_(owner), widget_(new QWidget(parent)), window_(window.Widget()),
              workbook_(window.Workbook()) {}
        // The workbook must outlive the preview: its window is still whole when it goes.
        ~Pane() override {
            owner_.closedWithWindow.push_back(!window_.isNull() && window_->isWidgetType() &&
                                              FindWorkbookWndByHandle(window_) == nullptr);
            owner_.closedWhileBookOpen.push_back(workbook_ != nullptr && !window_.isNull());
            delete widget_;
        }
        QWidget* Widget() override { return widget_; }
        int SheetCount() const override { return 2; }
        int CurrentSheet() const override { return 0; }
        void ShowSheet(int) override {}
        void ZoomIn() override {}
        void ZoomOut() override {}
        int ZoomMode() const override { return 0; }
        void SetZoomMode(int) override {}
        double Zoom() const override { return 1.0; }
        void SetZoomChanged(std::function<void()>) override {}

    private:
        RecordingPrinting& owner_;
        QWidget* widget_;
        QPointer<QWidget> window_;
        CWorkbook* workbook_;
    };

    std::unique_ptr<IPrintPreviewPane> OpenPreview(QWidget* parent, IWorkbookWnd& window) override {
        calls.push_back(ID_FILE_PRINT_PREVIEW);
        return std::make_unique<Pane>(*this, window, parent);
    }
    ErrorCode Print(QWidget*, IWorkbookWnd&, bool all) override {
        calls.push_back(all ? ID_PRINT_ALL : ID_FILE_PRINT);
        return kErrorNone;
    }
    ErrorCode PageSetup(QWidget*, IWorkbookWnd&) override {
        calls.push_back(ID_FILE_PAGE_SETUP);
        return kErrorNone;
    }

    std::vector<int> calls;
    std::vector<bool> closedWithWindow; // closed after the window left the table
    std::vector<bool> closedWhileBookOpen;
};

class PrintEntryTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        frame->SetPrintServices(&printing);
    }
    // Right-clicks the tree pane and returns its menu.
    QMenu* OpenTreeMenu() {
        QWidget* viewport = Active()->TreePane()->Control()->viewport();
        QTest::mousePress(viewport, Qt::RightButton, {}, {10, 8});
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    QAction* Item(QMenu* menu, const char* text) {
        for (QAction* a : menu->actions())
            if (a->text() == QLatin1String(text)) return a;
        return nullptr;
    }

    RecordingPrinting printing;
};

} // namespace

TEST_F(PrintEntryTest, TreeMenuRunsTheFramesPrintCommands) {
    ASSERT_TRUE(NewWindow());
    struct Entry {
        const char* text;
        char key;
        int command;
    };
    for (const Entry& e :
         {Entry{"P&rint...", 'r', ID_FILE_PRINT}, Entry{"Print &All", 'a', ID_PRINT_ALL},
          Entry{"Print Pre&view", 'v', ID_FILE_PRINT_PREVIEW},
          Entry{"Page Set&up...", 'u', ID_FILE_PAGE_SETUP}}) {
        SCOPED_TRACE(e.text);
        printing.calls.clear();
        QMenu* menu = OpenTreeMenu();
        ASSERT_TRUE(menu);
        QAction* item = Item(menu, e.text);
        ASSERT_TRUE(item);
        EXPECT_TRUE(item->isEnabled());
        QTest::keyClick(menu, e.key);
        Settle();
        EXPECT_EQ(printing.calls, std::vector<int>{e.command});
        frame->OnCommand(ID_PREVIEW_CLOSE);
    }
    // The window's own items still run in the window.
    QMenu* menu = OpenTreeMenu();
    ASSERT_TRUE(menu);
    const uint32_t before = Book().tree.worksheetCount;
    QTest::keyClick(menu, 'w'); // New Worksheet
    Settle();
    EXPECT_EQ(Book().tree.worksheetCount, before + 1);
}

TEST_F(PrintEntryTest, CtrlPOpensPrint) {
    ASSERT_TRUE(NewWindow());
    frame->OnIdle(); // as the loop runs it before waiting for the key
    QTest::keyClick(View()->viewport(), Qt::Key_P, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(printing.calls, std::vector<int>{ID_FILE_PRINT});
}

TEST_F(PrintEntryTest, ClosingThePreviewedWindowClosesThePreviewFirst) {
    CWorkbookWnd* first = NewWindow();
    ASSERT_TRUE(first);
    CWorkbookWnd* other = NewWindow();
    ASSERT_TRUE(other);
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    ASSERT_TRUE(frame->Preview());
    frame->OnIdle();
    // Ctrl+F4 still reaches the frame while the preview hides the menus.
    QTest::keyClick(frame->Preview()->Widget(), Qt::Key_F4, Qt::ControlModifier);
    Settle();
    EXPECT_FALSE(frame->Preview());
    ASSERT_EQ(printing.closedWhileBookOpen, std::vector<bool>{true});
    EXPECT_EQ(printing.closedWithWindow, std::vector<bool>{true});
    EXPECT_EQ(OpenDocumentCount(), 1);
    EXPECT_FALSE(frame->Toolbar(kPreviewBar)->isVisibleTo(frame.get()));
    EXPECT_TRUE(frame->Toolbar(kStandardBar)->isVisibleTo(frame.get()));
    // The window left takes the place of the closed one, with the keyboard.
    EXPECT_EQ(static_cast<QWidget*>(frame->MdiArea()->activeSubWindow()),
              first->Widget()->parentWidget());
    ASSERT_TRUE(QApplication::focusWidget());
    EXPECT_TRUE(first->Widget()->isAncestorOf(QApplication::focusWidget()));
}

// Closed with its own Close button, the preview gives the keyboard back to the grid of the
// window it showed: the next keys type into the cell.
TEST_F(PrintEntryTest, ThePreviewsCloseGivesTheKeyboardToTheGrid) {
    CWorkbookWnd* first = NewWindow();
    ASSERT_TRUE(first);
    CWorkbookWnd* second = NewWindow();
    ASSERT_TRUE(second);
    Select(1, 2);
    View()->setFocus();
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    ASSERT_TRUE(frame->Preview());
    frame->OnIdle();
    QToolBar* bar = frame->Toolbar(kPreviewBar);
    QWidget* close = bar->widgetForAction(frame->ToolAction(ID_PREVIEW_CLOSE));
    ASSERT_TRUE(close);
    QTest::mouseClick(close, Qt::LeftButton);
    Settle();
    ASSERT_FALSE(frame->Preview());
    EXPECT_EQ(Active(), second);
    QWidget* focus = QApplication::focusWidget();
    ASSERT_TRUE(focus);
    EXPECT_TRUE(focus == second->View(0) || second->View(0)->isAncestorOf(focus))
        << focus->metaObject()->className();
    QTest::keyClick(focus, Qt::Key_7);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(CellText(1, 2), "7");
}

// With the menu bar hidden by the preview, Ctrl+Tab and Ctrl+Shift+Tab through the input queue
// reach the preview's toolbar and go round to the preview; Escape in the bar gives the keys back
// to the preview, and Escape there closes it.
TEST_F(PrintEntryTest, ThePreviewsToolbarByKeys) {
    ASSERT_TRUE(NewWindow());
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    ASSERT_TRUE(frame->Preview());
    frame->OnIdle();
    QWidget* preview = frame->Preview()->Widget();
    ASSERT_TRUE(testwait::UntilFocused(preview));
    QToolBar* bar = frame->Toolbar(kPreviewBar);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab, Qt::ControlModifier));
    EXPECT_EQ(QApplication::focusWidget(),
              bar->widgetForAction(frame->ToolAction(ID_PREVIEW_PRINT)));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    EXPECT_EQ(QApplication::focusWidget(), preview);
    EXPECT_TRUE(frame->Preview());
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_EQ(QApplication::focusWidget(),
              bar->widgetForAction(frame->ToolAction(ID_PREVIEW_PRINT)));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab, Qt::ControlModifier)); // round to the preview
    EXPECT_EQ(QApplication::focusWidget(), preview);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
    EXPECT_TRUE(testwait::Until([&] { return !frame->Preview(); }));
}

TEST_F(PrintEntryTest, AWindowCommandDuringThePreviewClosesItFirst) {
    ASSERT_TRUE(NewWindow());
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    ASSERT_TRUE(frame->Preview());
    const uint32_t before = Book().tree.worksheetCount;
    frame->OnCommand(ID_NEW_WORKSHEET);
    EXPECT_FALSE(frame->Preview());
    EXPECT_EQ(Book().tree.worksheetCount, before + 1);
    EXPECT_EQ(printing.closedWhileBookOpen, std::vector<bool>{true});
}

TEST_F(PrintEntryTest, FrameDestroyedDuringThePreviewClosesItFirst) {
    ASSERT_TRUE(NewWindow());
    frame->OnCommand(ID_FILE_PRINT_PREVIEW);
    ASSERT_TRUE(frame->Preview());
    frame.reset();
    EXPECT_EQ(printing.closedWhileBookOpen, std::vector<bool>{true});
    EXPECT_EQ(printing.closedWithWindow, std::vector<bool>{false}); // before the windows went
}

} // namespace vl
