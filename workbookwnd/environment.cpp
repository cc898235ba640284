#include "workbookwnd/environment.h"

namespace vl {

namespace {

const IClock* g_clock = nullptr;

TimerMaker& Maker() {
    static TimerMaker maker;
    return maker;
}

} // namespace

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
