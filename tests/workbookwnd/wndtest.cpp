#include "wndtest.h"

#include "formula/celltext.h"
#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "workbookwnd/documentopen.h"
#include "workbookwnd/environment.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <filesystem>

namespace vl::wndtest {

int FakeUi::MessageBox(const QString& text, const QString&, uint32_t flags) {
    boxes.push_back({text, flags});
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

QString FakeUi::ChooseOpenFile(const QString&, const QString&, const QString&, int& index) {
    index = openIndex;
    return openPath;
}

QString FakeUi::ChooseSaveFile(const QString&, const QString&, const QString&, int& index) {
    ++saveDialogs;
    index = saveIndex;
    return savePath;
}

int FakeUi::WaitForFile(const QString& path, const IClock&, const std::function<bool()>& retry) {
    waits.push_back(path);
    for (int i = 0; i < waitRetries; ++i) {
        if (clock) ++clock->now;
        if (onRetry) onRetry(i + 1);
        if (retry()) return IDOK;
    }
    return IDCANCEL;
}

int FakeUi::AskPassword(bool readOnlyOffered, QString& typed, bool& readOnly) {
    ++passwordAsks;
    readOnly = choosePlainCopy && readOnlyOffered;
    if (password.isEmpty() && !readOnly) return IDCANCEL;
    typed = password;
    return IDOK;
}

namespace {

class CFakeTimer : public ITimerHost {
public:
    explicit CFakeTimer(FakeTimeline& line)
        : line_(line), slot_(std::make_shared<FakeTimeline::Slot>()) {
        line_.slots.push_back(slot_);
    }
    void Arm(int ms, std::function<void()> fire) override {
        slot_->due = line_.now + ms;
        slot_->fire = std::move(fire);
    }
    void Disarm() override { slot_->fire = nullptr; }

private:
    FakeTimeline& line_;
    std::shared_ptr<FakeTimeline::Slot> slot_;
};

} // namespace

FakeTimeline::FakeTimeline() {
    SetWorkbookTimerMaker([this] { return std::make_unique<CFakeTimer>(*this); });
}

FakeTimeline::~FakeTimeline() {
    SetWorkbookTimerMaker(nullptr);
}

void FakeTimeline::Advance(int64_t ms) {
    const int64_t end = now + ms;
    for (;;) {
        std::shared_ptr<Slot> next;
        for (const auto& slot : slots)
            if (slot->fire && slot->due <= end && (!next || slot->due < next->due)) next = slot;
        if (!next) break;
        now = next->due;
        auto fire = std::move(next->fire);
        next->fire = nullptr;
        fire();
    }
    now = end;
}

void WindowTest::SetUp() {
    Profile() = SettingsProfile{};
    ui.clock = &clock;
    timers = std::make_unique<FakeTimeline>();
    SetWorkbookClock(&clock);
    DialogMemory() = FileDialogMemory{};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = (std::filesystem::temp_directory_path() /
              ("vlwnd-" + std::string(info->test_suite_name()) + "-" + info->name()))
                 .string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    frame = std::make_unique<CMainFrame>(nullptr, clock, &factory);
    frame->OnCreate();
    frame->resize(1000, 700);
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
}

void WindowTest::TearDown() {
    frame.reset();
    timers.reset();
    SetWorkbookClock(nullptr);
    Profile() = SettingsProfile{};
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

namespace vl::wndtest {

::testing::AssertionResult MatchesGolden(const QImage& image, const std::string& name) {
    const QImage actual = image.convertToFormat(QImage::Format_RGB32);
    const QString path =
        QString::fromStdString(std::string(VORLANE_TEST_DATA) + "/workbookwnd/" + name + ".png");
    if (qEnvironmentVariable("VORLANE_UPDATE_GOLDENS") == QStringLiteral("1")) {
        QDir().mkpath(QFileInfo(path).path());
        if (actual.save(path, "PNG")) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
    }
    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (!golden.isNull() && golden == actual) return ::testing::AssertionSuccess();
    const QString written =
        QCoreApplication::applicationDirPath() + "/" + QString::fromStdString(name) + ".actual.png";
    actual.save(written, "PNG");
    return ::testing::AssertionFailure()
           << (golden.isNull() ? "no golden image " : "image differs from ") << path.toStdString()
           << "; wrote " << written.toStdString();
}

} // namespace vl::wndtest
