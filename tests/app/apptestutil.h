#pragma once
// Doubles of the shell's and the workbook window's tests: UI services that answer at once, a
// clock and timers moved by hand, and workbook windows that record what the frame asks of them.

#include "app/servermodule.h"
#include "app/uiservices.h"
#include "app/workbookwndapi.h"
#include "core/clock.h"
#include "model/workbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <clocale>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vl::apptest {

class FakeClock : public IClock {
public:
    int64_t NowSeconds() const override { return now; }
    int64_t now = 1000000;
};

class FakeUi : public IUiServices {
public:
    FakeUi() { SetUiServices(this); }
    ~FakeUi() override { SetUiServices(nullptr); }
    int MessageBox(const QString& text, const QString& title, uint32_t flags) override {
        boxes.push_back({text, title, flags});
        if (answers.empty()) return IDOK;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    QString GetOpenFileName(const QString&, const QString&, const QString&) override {
        return openPath;
    }
    QString GetSaveFileName(const QString&, const QString&, const QString&) override {
        return savePath;
    }
    QString ChooseOpenFile(const QString& caption, const QString& folder, const QString& filters,
                           int& index) override {
        if (realFileDialogs) return IUiServices::ChooseOpenFile(caption, folder, filters, index);
        index = openIndex;
        return openPath;
    }
    QString ChooseSaveFile(const QString& caption, const QString& folder, const QString& filters,
                           int& index) override {
        ++saveDialogs;
        if (realFileDialogs) return IUiServices::ChooseSaveFile(caption, folder, filters, index);
        index = saveIndex;
        return savePath;
    }
    int WaitForFile(const QString& path, const IClock&,
                    const std::function<bool()>& retry) override {
        waits.push_back(path);
        for (int i = 0; i < waitRetries; ++i) {
            if (clock) ++clock->now;
            if (onRetry) onRetry(i + 1);
            if (retry()) return IDOK;
        }
        return IDCANCEL;
    }
    int AskPassword(bool, QString& typed, bool& readOnly) override {
        ++passwordAsks;
        readOnly = false;
        if (password.isEmpty()) return IDCANCEL;
        typed = password;
        return IDOK;
    }
    int TextFileDialog(TextFileSettings& settings, bool save) override {
        textDialogs.push_back(save);
        return textAnswer ? textAnswer(settings, save) : IDOK;
    }
    int XBaseDialog(XBaseSaveOptions& options, const QString& path, bool save) override {
        xbaseDialogs.push_back({path, save});
        return xbaseAnswer ? xbaseAnswer(options, save) : IDOK;
    }
    int AskBookmarkName(QString& name) override {
        if (bookmarkName.isEmpty()) return IDCANCEL;
        name = bookmarkName;
        return IDOK;
    }
    void Beep() override { ++beeps; }
    void SetWaitCursor(bool) override {}
    // The format and settings commands' dialogs: each answers through its function (none:
    // the dialog is missing, as without the dialogs library).
    int ChangeSizeDialog(QWidget*, bool columnWidth, int& value) override {
        sizeAsks.push_back({columnWidth, value});
        if (sizeAnswer < 0) return IDCANCEL;
        value = sizeAnswer;
        return IDOK;
    }
    bool HasChangeSizeDialog() const override { return true; }
    int OptionsDialog(QWidget*) override { return options ? options() : IDCANCEL; }
    bool HasOptionsDialog() const override { return bool(options); }
    int ProtectionDialog(QWidget*, ProtectionChoice& choice) override {
        return protection ? protection(choice) : IDCANCEL;
    }
    bool HasProtectionDialog() const override { return bool(protection); }
    int StatisticsDialog(QWidget*, CWorkbook&, const CellRange& selection) override {
        statistics.push_back(selection);
        return IDOK;
    }
    bool HasStatisticsDialog() const override { return true; }
    bool ZoomDialog(QWidget*, const QPoint& at, uint16_t zoom,
                    const std::function<void(uint16_t, bool)>& apply) override {
        zoomAt = at;
        zoomShown = zoom;
        zoomApply = apply;
        return true;
    }
    bool HasZoomDialog() const override { return true; }

    struct SizeAsk {
        bool columnWidth;
        int value;
    };
    std::vector<SizeAsk> sizeAsks;
    int sizeAnswer = -1; // -1 cancels
    std::function<int()> options;
    std::function<int(ProtectionChoice&)> protection;
    std::vector<CellRange> statistics;
    QPoint zoomAt;
    uint16_t zoomShown = 0;
    std::function<void(uint16_t, bool)> zoomApply;

    struct Box {
        QString text, title;
        uint32_t flags;
    };
    std::vector<Box> boxes;
    std::deque<int> answers;
    QString openPath, savePath;
    int openIndex = 1;
    int saveIndex = 1;
    int saveDialogs = 0;
    // Open and Save As show Qt's real file dialog, which the test answers itself.
    bool realFileDialogs = false;
    // The wait: how many retries it allows before the user gives up (IDCANCEL).
    int waitRetries = 0;
    std::function<void(int)> onRetry; // called before each retry with its number (from 1)
    std::vector<QString> waits;
    FakeClock* clock = nullptr; // moved a second per retry
    QString password;
    int passwordAsks = 0;
    QString bookmarkName; // empty: the name dialog is cancelled
    // The text-file and xBase option dialogs: shown (save flags, paths), and their answers
    // (none: IDOK with the settings as they stand).
    std::vector<bool> textDialogs;
    std::vector<std::pair<QString, bool>> xbaseDialogs;
    std::function<int(TextFileSettings&, bool)> textAnswer;
    std::function<int(XBaseSaveOptions&, bool)> xbaseAnswer;
    int beeps = 0;
};

// Timers moved by hand: Advance fires what falls due, in the order of the due times.
class FakeTimeline {
public:
    struct Slot {
        int64_t due = 0;
        std::function<void()> fire;
    };
    class Timer : public ITimerHost {
    public:
        explicit Timer(FakeTimeline& line) : line_(line), slot_(std::make_shared<Slot>()) {
            line_.slots.push_back(slot_);
        }
        void Arm(int ms, std::function<void()> fire) override {
            slot_->due = line_.now + ms;
            slot_->fire = std::move(fire);
        }
        void Disarm() override { slot_->fire = nullptr; }

    private:
        FakeTimeline& line_;
        std::shared_ptr<Slot> slot_;
    };

    void Advance(int64_t ms) {
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
    bool Armed() const {
        for (const auto& slot : slots)
            if (slot->fire) return true;
        return false;
    }
    int64_t now = 0;
    std::vector<std::shared_ptr<Slot>> slots;
};

// One timer on a timeline of its own, for code that takes a single timer host.
class FakeTimers : public FakeTimeline, public FakeTimeline::Timer {
public:
    FakeTimers() : FakeTimeline::Timer(static_cast<FakeTimeline&>(*this)) {}
};
// A workbook window that records the frame's calls.
class FakeWorkbookWnd : public QWidget, public IWorkbookWnd {
public:
    explicit FakeWorkbookWnd(QWidget* parent, QString title = QStringLiteral("Book"))
        : QWidget(parent), workbook_(CreateWorkbook()), title_(std::move(title)) {}
    ~FakeWorkbookWnd() override { ReleaseDocumentEntry(this); }

    QWidget* Widget() override { return this; }
    CWorkbook* Workbook() override { return workbook_.get(); }
    QString Title() const override { return title_; }
    bool QuerySaveChanges() override {
        ++asked;
        if (modified && refuseClose) return false;
        return true;
    }
    bool IsModified() const override { return modified; }
    void SetModified(bool m) override { modified = m; }
    bool HasOpenFile() const override { return hasFile; }
    void SendCommand(int id) override {
        sent.push_back(id);
        if (onSend) onSend(id);
        if (id == 57603 && !failSave) modified = false;
    }
    void PostCommand(int id) override { posted.push_back(id); }
    bool HandleCommand(int id) override {
        handled.push_back(id);
        return true;
    }
    bool ForwardKey(QKeyEvent*) override { return false; }
    DocumentState State() const override { return state; }
    const CCellStore* ActiveCells() const override { return cells; }
    CEvalContext* EvalContext() override { return context; }
    void RefreshViews() override { ++refreshes; }
    bool ShowContainerProperties(bool shown) override {
        const bool was = containerShown;
        if (containerOpen) containerShown = shown;
        return was;
    }

    DocumentState state;
    bool containerOpen = false; // the container properties window
    bool containerShown = false;
    const CCellStore* cells = nullptr;
    CEvalContext* context = nullptr;
    bool modified = false;
    bool hasFile = true;
    bool failSave = false;
    bool refuseClose = false;
    int asked = 0;
    int refreshes = 0;
    std::vector<int> sent, posted, handled;
    std::function<void(int)> onSend;

private:
    std::unique_ptr<CWorkbook> workbook_;
    QString title_;
};

class FakeFactory : public IWorkbookWndFactory {
public:
    IWorkbookWnd* Create(QWidget* parent, const QString& path) override {
        paths.push_back(path);
        auto* w =
            new FakeWorkbookWnd(parent, path.isEmpty() ? QStringLiteral("New Workbook") : path);
        made.push_back(w);
        return w;
    }
    std::vector<QString> paths;
    std::vector<FakeWorkbookWnd*> made;
};

// Compares with tests/data/<name>.png; VORLANE_UPDATE_GOLDENS=1 rewrites it, and a mismatch
// leaves the image as <last part of name>.actual.png beside the test executable.
inline ::testing::AssertionResult MatchesGolden(const QImage& image, const std::string& name) {
    const QImage actual = image.convertToFormat(QImage::Format_RGB32);
    const QString path =
        QString::fromStdString(std::string(VORLANE_TEST_DATA) + "/" + name + ".png");
    if (qEnvironmentVariable("VORLANE_UPDATE_GOLDENS") == QStringLiteral("1")) {
        QDir().mkpath(QFileInfo(path).path());
        if (actual.save(path, "PNG")) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
    }
    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (!golden.isNull() && golden == actual) return ::testing::AssertionSuccess();
    const QString written = QCoreApplication::applicationDirPath() + "/" +
                            QFileInfo(path).completeBaseName() + ".actual.png";
    actual.save(written, "PNG");
    return ::testing::AssertionFailure()
           << (golden.isNull() ? "no golden image " : "image differs from ") << path.toStdString()
           << "; wrote " << written.toStdString();
}

// Runs a block under a decimal-comma C locale, then puts the C locale back.
class CommaLocale {
public:
    CommaLocale() : active_(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {}
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool active() const { return active_; }

private:
    bool active_;
};

} // namespace vl::apptest
