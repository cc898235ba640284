#include "workbookwnd/environment.h"

#include "app/qttimerhost.h"

#include <QGuiApplication>

namespace vl {

namespace {

TimerMaker& Maker() {
    static TimerMaker maker;
    return maker;
}

KeyStateQuery& KeyQuery() {
    static KeyStateQuery query;
    return query;
}

Qt::KeyboardModifiers& InvokingModifiers() {
    static Qt::KeyboardModifiers modifiers;
    return modifiers;
}

} // namespace

Qt::KeyboardModifiers WorkbookKeyState() {
    const Qt::KeyboardModifiers held =
        KeyQuery() ? KeyQuery()() : QGuiApplication::keyboardModifiers();
    return held & ~InvokingModifiers();
}

InvokingKeyScope::InvokingKeyScope(Qt::KeyboardModifiers keyModifiers)
    : previous_(InvokingModifiers()) {
    InvokingModifiers() = keyModifiers;
}

InvokingKeyScope::~InvokingKeyScope() {
    InvokingModifiers() = previous_;
}

void SetWorkbookKeyState(KeyStateQuery query) {
    KeyQuery() = std::move(query);
}

std::unique_ptr<ITimerHost> MakeWorkbookTimer() {
    if (Maker()) return Maker()();
    return std::make_unique<CQtTimerHost>();
}

void SetWorkbookTimerMaker(TimerMaker maker) {
    Maker() = std::move(maker);
}

} // namespace vl
