#pragma once
// Keys typed into a pop-up (a menu, a list) wait until it holds them. A pop-up is the active
// one as soon as it shows, but on X its window takes the keyboard some time later: a key sent
// before then closes it, and the activation, arriving after, leaves the hidden pop-up as the
// window with the keyboard.

#include "tests/common/waits.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace vl::testwait {

// The open pop-up when the window system has given it the keyboard, else null.
inline QWidget* PopupWithKeys() {
    QWidget* popup = QApplication::activePopupWidget();
    const bool holds =
        popup && popup->windowHandle() && QGuiApplication::focusWindow() == popup->windowHandle();
    return holds ? popup : nullptr;
}

// The open pop-up once it holds the keys, within `ms`; null when none did.
inline QWidget* UntilPopupHasKeys(int ms = kWindowWaitMs) {
    QWidget* popup = nullptr;
    const bool held = QTest::qWaitFor([&] { return (popup = PopupWithKeys()) != nullptr; }, ms);
    return held ? popup : nullptr;
}

} // namespace vl::testwait
