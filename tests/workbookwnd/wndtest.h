#pragma once
// A fixture for the workbook window tests: the shell's doubles and a frame with the real factory.

#include "app/mainframe.h"
#include "core/settings.h"
#include "tests/app/apptestutil.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/workbookwndfactory.h"
#include "workbookwnd/worksheetview.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vl {

inline bool operator==(const CellRange& a, const CellRange& b) {
    return a.c1 == b.c1 && a.r1 == b.r1 && a.c2 == b.c2 && a.r2 == b.r2;
}

} // namespace vl

namespace vl::wndtest {

using apptest::FakeClock;
using apptest::FakeUi;

// Timers of every workbook window made while it lives.
class FakeTimeline : public apptest::FakeTimeline {
public:
    FakeTimeline();
    ~FakeTimeline();
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
    // Selects the range (0-based, corners as given) with the grid focused.
    void SelectRange(uint16_t c1, uint32_t r1, uint16_t c2, uint32_t r2);
    // Runs a command of the active window and lets what it queued run.
    void Command(int id);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Type(const QString& text);
    // Selects a cell and types into it; Enter also ends the edit with the Enter key.
    void StartTyping(uint16_t column, uint32_t row, const QString& text);
    void Enter(uint16_t column, uint32_t row, const QString& text);
    // Gives a cell of the active worksheet a new style that wraps its text.
    bool WrapText(uint16_t column, uint32_t row);
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
