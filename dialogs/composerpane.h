#pragma once
// The formula composer pane as the frame sees it: shown and hidden by its View command, and
// given a history entry by the recent-formula menu. The program gives the frame the real
// pane; tests give a double.

#include <string>
#include <vector>

class QWidget;

namespace vl {

class IComposerPane {
public:
    virtual ~IComposerPane() = default;
    // Shows the pane owned by `frame`, or hides it when shown; true when it is now shown.
    virtual bool Toggle(QWidget* frame) = 0;
    virtual bool IsVisible() const = 0;
    // Gives the shown pane the keyboard, as its View command does.
    virtual void TakeKeyboard() {}
    // Hides the pane, or shows it again, as it is (the print preview stands over it).
    virtual void SetShown(bool shown) { (void)shown; }
    // Puts history entry `i` (newest first) into the active cell as the composer's Insert
    // does, showing the pane with that formula.
    virtual void UseHistoryEntry(QWidget* frame, int i) = 0;
    // The items of the recent-formula menu, one per history entry in order: "1.\t=Name(" and
    // the argument texts joined by ", " (Windows-1252); none without a history.
    virtual std::vector<std::string> HistoryMenuItems() const { return {}; }
    // The idle pass: the insert controls follow whether a workbook window is active.
    virtual void UpdateControls() {}
};

} // namespace vl
