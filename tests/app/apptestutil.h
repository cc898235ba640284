#pragma once
// Doubles of the shell's and the workbook window's tests: UI services that answer at once, a
// clock and timers moved by hand, and workbook windows that record what the frame asks of them.

#include "app/workbookwndapi.h"
#include "core/clock.h"
#include "core/timerhost.h"
#include "model/workbook.h"
#include "tests/core/faketimers.h"
#include "tests/ui/uitestutil.h"
#include "ui/uiservices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <clocale>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vl::apptest {

using testclock::FakeTimeline;
using testclock::FakeTimers;
using uitest::CommaLocale;
using uitest::FakeClock;
using uitest::FakeUi;

// The shell ends the application's loop as its last frame closes. With no loop running the
// request stays, and every later dialog's own loop would end as it starts: a loop run and
// ended here takes it back. Tests that start a shell end with it.
inline void TakeBackTheQuit() {
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, [] { QCoreApplication::exit(0); });
    end.start(0);
    QCoreApplication::exec();
}
// Takes the quit back as the test ends, whichever way it ends.
struct QuitTakenBack {
    QuitTakenBack() = default;
    QuitTakenBack(const QuitTakenBack&) = delete;
    QuitTakenBack& operator=(const QuitTakenBack&) = delete;
    ~QuitTakenBack() { TakeBackTheQuit(); }
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

} // namespace vl::apptest
