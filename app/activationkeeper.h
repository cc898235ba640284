#pragma once
// Keeps the keyboard with the program's windows where no window manager hands it over: the
// main window takes activation when it is shown, and a window of the program that closes
// while it holds the keyboard gives it back to the window it stood over; one that closes
// after the keyboard went to another program leaves it there. Shortcuts act only
// in the active window, so without this the keys typed after a dialog closes still reach the
// window under the pointer while its shortcuts do nothing.

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace vl {

class CActivationKeeper : public QObject {
public:
    // Watches every window of the application from now on; `home` is the main window.
    explicit CActivationKeeper(QWidget* home);

    // The window that should hold the keyboard once a window owned by `owner` is gone: the
    // modal dialog still open, else `owner`'s nearest shown window, else the main window.
    QWidget* Successor(QWidget* owner) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HandBack(const QPointer<QWidget>& closing, const QPointer<QWidget>& owner);

    QPointer<QWidget> home_;
    QPointer<QWidget> lastActive_; // the window activated last, which may be losing it now
};

} // namespace vl
