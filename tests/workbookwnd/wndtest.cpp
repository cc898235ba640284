#include "wndtest.h"

#include "formula/celltext.h"
#include "model/formatstore.h"
#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "workbookwnd/documentopen.h"
#include "workbookwnd/environment.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <cstdlib>
#include <filesystem>

namespace vl::wndtest {

FakeTimeline::FakeTimeline() {
    SetWorkbookTimerMaker([this] { return std::make_unique<Timer>(*this); });
}

FakeTimeline::~FakeTimeline() {
    SetWorkbookTimerMaker(nullptr);
}

void WindowTest::SetUp() {
    Profile() = SettingsProfile{};
    UserSeparators() = InternalSeparators();
    ui.clock = &clock;
    timers = std::make_unique<FakeTimeline>();
    InstallClock(&clock);
    DialogMemory() = FileDialogMemory{};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Unique per run, so that the same test run twice at once (two checkouts) cannot collide.
    std::string pattern =
        (std::filesystem::temp_directory_path() /
         ("vlwnd-" + std::string(info->test_suite_name()) + "-" + info->name() + ".XXXXXX"))
            .string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    frame = std::make_unique<CMainFrame>(nullptr, clock, &factory);
    frame->OnCreate();
    frame->resize(1000, 700);
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
}

void WindowTest::TearDown() {
    frame.reset();
    timers.reset();
    InstallClock(nullptr);
    Profile() = SettingsProfile{};
    UserSeparators() = InternalSeparators();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

CWorkbookWnd* WindowTest::NewWindow() {
    frame->OnCommand(ID_FILE_NEW);
    Settle();
    CWorkbookWnd* window = Active();
    if (window) window->View(0)->setFocus();
    return window;
}

CWorkbookWnd* WindowTest::OpenWindow(const std::string& path) {
    frame->OpenCommandLineFiles({QString::fromStdString(path)});
    Settle();
    CWorkbookWnd* window = Active();
    if (window) window->View(0)->setFocus();
    return window;
}

CWorkbookWnd* WindowTest::Active() const {
    return AsWorkbookWnd(frame->GetActiveWorkbookWnd());
}

CWorksheetView* WindowTest::View() const {
    return Active() ? Active()->View(0) : nullptr;
}

CWorkbook& WindowTest::Book() const {
    return Active()->Book();
}

void WindowTest::Select(uint16_t column, uint32_t row) {
    View()->SetSelection({column, row, column, row});
    View()->RepaintHighlight();
}

void WindowTest::SelectRange(uint16_t c1, uint32_t r1, uint16_t c2, uint32_t r2) {
    View()->SetSelection({c1, r1, c2, r2});
    View()->setFocus();
    Settle();
}

void WindowTest::Command(int id) {
    Active()->HandleCommand(id);
    Settle();
}

void WindowTest::Key(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : View();
    QTest::keyClick(target, Qt::Key(key), modifiers);
    Settle();
}

void WindowTest::Type(const QString& text) {
    for (QChar c : text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : View();
        QTest::keyClick(target, c.toLatin1());
        Settle();
    }
}

void WindowTest::StartTyping(uint16_t column, uint32_t row, const QString& text) {
    Select(column, row);
    View()->setFocus();
    Type(text);
}

void WindowTest::Enter(uint16_t column, uint32_t row, const QString& text) {
    StartTyping(column, row, text);
    Key(Qt::Key_Return);
}

bool WindowTest::WrapText(uint16_t column, uint32_t row) {
    StyleTables& styles = Book().styles;
    const uint16_t wrapped = styles.styleCount++;
    styles.styles[wrapped] = styles.styles[0];
    styles.styles[wrapped].wrapText = 1;
    CellCursor runs;
    return PutFormatRun(Book().tree.active->formats, {column, column, row, wrapped}, runs);
}

void WindowTest::Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        // Closed windows go at once, as they would on the next turn of the loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

std::string WindowTest::CellText(uint16_t column, uint32_t row) const {
    CWorkbookWnd* w = Active();
    return GetCellText(*w->EvalContext(), w->Book().tree.active->cells, column, row, column, row,
                       false, false);
}

std::string WindowTest::TempPath(const std::string& name) const {
    return folder + "/" + name;
}

} // namespace vl::wndtest
