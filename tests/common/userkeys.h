#pragma once
// Keys typed as a user types them. On X they go into the server's own input (XTEST, through
// xdotool): the server hands each to the window that has its keyboard at that moment, or to
// an open menu's grab, and the call returns once the server has taken all of them, before the
// program has handled any. So keys typed while a window opens or closes meet the program as a
// fast typist's do. Elsewhere each key goes through the window system's queue to the window
// that has the keyboard, and is handled before the next.

#include "tests/common/waits.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QProcess>
#include <QStringList>
#include <initializer_list>
#include <vector>

namespace vl::testkeys {

struct Stroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

inline bool OnX() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The key's name for xdotool: "alt+e", "Escape", "space", "shift+F10", "z".
inline QString XName(Stroke stroke) {
    QString name;
    if (stroke.modifiers & Qt::ControlModifier) name += QStringLiteral("ctrl+");
    if (stroke.modifiers & Qt::AltModifier) name += QStringLiteral("alt+");
    if (stroke.modifiers & Qt::ShiftModifier) name += QStringLiteral("shift+");
    switch (stroke.key) {
    case Qt::Key_Return:
        return name + QStringLiteral("Return");
    case Qt::Key_Escape:
        return name + QStringLiteral("Escape");
    case Qt::Key_Space:
        return name + QStringLiteral("space");
    case Qt::Key_Tab:
        return name + QStringLiteral("Tab");
    default:
        if (stroke.key >= Qt::Key_F1 && stroke.key <= Qt::Key_F35)
            return name + QStringLiteral("F%1").arg(stroke.key - Qt::Key_F1 + 1);
        return name + QKeySequence(stroke.key).toString().toLower();
    }
}

// Types the keys; false when they could not all be typed.
inline bool Type(const std::vector<Stroke>& keys) {
    if (!OnX()) {
        for (const Stroke& s : keys)
            if (!testwait::PressKey(s.key, s.modifiers)) return false;
        return true;
    }
    QStringList arguments{QStringLiteral("key")};
    for (const Stroke& s : keys) arguments << XName(s);
    // A request with an answer after the keys: once it is answered the server has taken them.
    arguments << QStringLiteral("getmouselocation");
    QProcess xdo;
    xdo.start(QStringLiteral("xdotool"), arguments);
    return xdo.waitForFinished(testwait::kWindowWaitMs) &&
           xdo.exitStatus() == QProcess::NormalExit && xdo.exitCode() == 0;
}

inline bool Type(std::initializer_list<Stroke> keys) {
    return Type(std::vector<Stroke>(keys));
}

} // namespace vl::testkeys
