#include "workbookwnd/environment.h"

#include <QGuiApplication>

namespace vl {

namespace {

const IClock* g_clock = nullptr;

TimerMaker& Maker() {
    static TimerMaker maker;
    return maker;
}

KeyStateQuery& KeyQuery() {
    static KeyStateQuery query;
    return query;
}

} // namespace

Qt::KeyboardModifiers WorkbookKeyState() {
    if (KeyQuery()) return KeyQuery()();
    return QGuiApplication::queryKeyboardModifiers();
}

void SetWorkbookKeyState(KeyStateQuery query) {
    KeyQuery() = std::move(query);
}

const IClock& WorkbookClock() {
    static const CSystemClock system;
    return g_clock ? *g_clock : system;
}

void SetWorkbookClock(const IClock* clock) {
    g_clock = clock;
}

std::unique_ptr<ITimerHost> MakeWorkbookTimer() {
    if (Maker()) return Maker()();
    return std::make_unique<CQtTimerHost>();
}

void SetWorkbookTimerMaker(TimerMaker maker) {
    Maker() = std::move(maker);
}

} // namespace vl
