#pragma once
// Escape out of a menu of the menu bar gives the keys back to the window: without this the
// bar keeps the keyboard after the menu closes, with no title drawn highlighted, and the
// arrows, typing and shortcuts seem dead until a second Escape.

#include <QObject>
#include <QPointer>

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

    QPointer<QMenuBar> bar_;
};

} // namespace vl
