#pragma once
// Escape out of a menu of the menu bar gives the keys back to the window: without this the
// bar keeps the keyboard after the menu closes, with no title drawn highlighted, and the
// arrows, typing and shortcuts seem dead until a second Escape. A menu used while a pop-up
// of the frame had the keys leaves the bar as the frame's focus: when the frame is active
// again, the keys go back to where they were in it instead.

#include <QObject>
#include <QPointer>

class QWidget;

class QMenuBar;

namespace vl {

class CMenuEscape : public QObject {
public:
    // Watches the application's key presses from now on; `bar` is the frame's menu bar.
    explicit CMenuEscape(QMenuBar* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsBarMenu(const QObject* watched) const;
    void LeaveBar();
    void OnFocusChanged(QWidget* now);
    void GiveBackFrameFocus();

    QPointer<QMenuBar> bar_;
    // The widget of the bar's window that last had the keys, the bar aside.
    QPointer<QWidget> lastInFrame_;
};

} // namespace vl
