#pragma once
// Waits on a window's own state, bounded. QTest::qWaitForWindowActive counts a window as
// active while its owner is, so it returns at once for a dialog or page opened over the active
// frame, before the new window has the keyboard. Keys go through the input queue, as a
// user's do.

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace vl::testwait {

// Bounds only a failure: a wait ends once its state holds. On a loaded machine a window's
// answer can take seconds, so the bound is generous.
constexpr int kWindowWaitMs = 20000;

// Whether `done` came true within `ms`, the events processed meanwhile.
template <class Predicate> bool Until(Predicate done, int ms = kWindowWaitMs) {
    return QTest::qWaitFor(done, ms);
}

// Whether `widget`'s own window became the application's active window within `ms`.
inline bool UntilActive(QWidget* widget, int ms = kWindowWaitMs) {
    const QPointer<QWidget> watched = widget;
    return QTest::qWaitFor(
        [&] { return watched && QApplication::activeWindow() == watched->window(); }, ms);
}

// Whether `widget` itself got the keyboard within `ms`.
inline bool UntilFocused(QWidget* widget, int ms = kWindowWaitMs) {
    const QPointer<QWidget> watched = widget;
    return QTest::qWaitFor([&] { return watched && QApplication::focusWidget() == watched.data(); },
                           ms);
}

} // namespace vl::testwait

namespace vl::testwait {

// The window that has the keyboard: the open menu while one is, else the window system's
// focus, else the active window; null when none has it.
inline QWindow* KeyWindow() {
    QWidget* popup = QApplication::activePopupWidget();
    QWindow* target = popup ? popup->windowHandle() : QGuiApplication::focusWindow();
    if (!target && QApplication::activeWindow())
        target = QApplication::activeWindow()->windowHandle();
    return target;
}

// Whether the keys pressed next reach `widget` within `ms`: its window has the keyboard
// (no pop-up is open) and the widget has it there. On X the window's focus comes back from
// the server some time after a pop-up of it closes.
inline bool UntilKeysReach(QWidget* widget, int ms = kWindowWaitMs) {
    const QPointer<QWidget> watched = widget;
    return QTest::qWaitFor(
        [&] {
            return watched && KeyWindow() == watched->window()->windowHandle() &&
                   QApplication::focusWidget() == watched.data();
        },
        ms);
}

// A key pressed and released through the window system's input queue, to the window that has
// the keyboard (the open menu while one is); false when no window has it.
inline bool PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWindow* target = KeyWindow();
    if (!target) return false;
    QTest::keyClick(target, key, modifiers);
    QApplication::processEvents();
    return true;
}

} // namespace vl::testwait
