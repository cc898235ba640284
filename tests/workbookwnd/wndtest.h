#pragma once
// Doubles and a fixture for the workbook window tests: UI services that answer at once, a
// clock and timers that move only when a test says, and a frame with the real factory.

#include "app/clock.h"
#include "app/core/settings.h"
#include "app/mainframe.h"
#include "app/servermodule.h"
#include "app/uiservices.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/workbookwndfactory.h"
#include "workbookwnd/worksheetview.h"

#include <QString>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vl::wndtest {

class FakeClock : public IClock {
public:
    int64_t NowSeconds() const override { return now; }
    int64_t now = 5000;
};

class FakeUi : public IUiServices {
public:
    FakeUi() { SetUiServices(this); }
    ~FakeUi() override { SetUiServices(nullptr); }
    int MessageBox(const QString& text, const QString& title, uint32_t flags) override;
    QString GetOpenFileName(const QString&, const QString&, const QString&) override {
        return openPath;
    }
    QString GetSaveFileName(const QString&, const QString&, const QString&) override {
        return savePath;
    }
    QString ChooseOpenFile(const QString&, const QString&, const QString&, int& index) override;
    QString ChooseSaveFile(const QString&, const QString&, const QString&, int& index) override;
    int WaitForFile(const QString& path, const IClock& clock,
                    const std::function<bool()>& retry) override;
    int AskPassword(bool readOnlyOffered, QString& password, bool& readOnly) override;
    void Beep() override { ++beeps; }
    void SetWaitCursor(bool) override {}

    struct Box {
        QString text;
        uint32_t flags;
    };
    std::vector<Box> boxes;
    std::deque<int> answers;
    QString openPath, savePath;
    int openIndex = 1, saveIndex = 1;
    int saveDialogs = 0;
    // The wait: how many retries it allows before the user gives up (IDCANCEL).
    int waitRetries = 0;
    std::function<void(int)> onRetry; // called before each retry with its number (from 1)
    std::vector<QString> waits;
    FakeClock* clock = nullptr;
    QString password;
    bool choosePlainCopy = false;
    int passwordAsks = 0;
    int beeps = 0;
};

// Timers of every host made while it lives, fired in order of their due times.
class FakeTimeline {
public:
    FakeTimeline();
    ~FakeTimeline();
    void Advance(int64_t ms);
    int64_t now = 0;

    struct Slot {
        int64_t due = 0;
        std::function<void()> fire;
    };
    std::vector<std::shared_ptr<Slot>> slots;
};

// A frame with the real window factory, shown offscreen and active.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CWorkbookWnd* NewWindow();
    CWorkbookWnd* OpenWindow(const std::string& path);
    CWorkbookWnd* Active() const;
    CWorksheetView* View() const;
    CWorkbook& Book() const;
    // Puts the cursor on a cell (0-based) as a click would.
    void Select(uint16_t column, uint32_t row);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Type(const QString& text);
    // Lets queued calls run.
    void Settle();
    // The text of a cell as the editor would start from it ("" for none).
    std::string CellText(uint16_t column, uint32_t row) const;
    // A temporary folder of the test, removed afterwards.
    std::string TempPath(const std::string& name) const;

    FakeUi ui;
    FakeClock clock;
    std::unique_ptr<FakeTimeline> timers;
    CWorkbookWndFactory factory;
    std::unique_ptr<CMainFrame> frame;
    std::string folder;
};

} // namespace vl::wndtest

namespace vl::wndtest {

// Compares with tests/data/workbookwnd/<name>.png; VORLANE_UPDATE_GOLDENS=1 rewrites it, and a
// mismatch leaves <name>.actual.png beside the test executable.
::testing::AssertionResult MatchesGolden(const QImage& image, const std::string& name);

} // namespace vl::wndtest
