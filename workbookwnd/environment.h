#pragma once
// What workbook windows take from their surroundings: the clock of the file wait, the
// timers of drags and auto-scrolling, and the state of the modifier keys. The program uses the
// system's; tests install their own so that time moves only when they say.

#include "core/clock.h"
#include "core/timerhost.h"

#include <Qt>
#include <functional>
#include <memory>

namespace vl {

using TimerMaker = std::function<std::unique_ptr<ITimerHost>()>;

std::unique_ptr<ITimerHost> MakeWorkbookTimer();
// An empty maker restores Qt's timers.
void SetWorkbookTimerMaker(TimerMaker maker);

// The Shift and Ctrl states that commands read (Delete, Shift+F6): as the key or click being
// handled found them, not as the keyboard stands by the time a busy program handles it.
using KeyStateQuery = std::function<Qt::KeyboardModifiers()>;
Qt::KeyboardModifiers WorkbookKeyState();
// An empty query restores the keyboard's.
void SetWorkbookKeyState(KeyStateQuery query);

// While it lives, the modifiers of the key that invoked a command are left out of
// WorkbookKeyState: Ctrl of Ctrl+X must not make Cut's Delete one of formats, nor Shift of
// Shift+Ins make Paste one of contents alone.
class InvokingKeyScope {
public:
    explicit InvokingKeyScope(Qt::KeyboardModifiers keyModifiers);
    ~InvokingKeyScope();
    InvokingKeyScope(const InvokingKeyScope&) = delete;
    InvokingKeyScope& operator=(const InvokingKeyScope&) = delete;

private:
    Qt::KeyboardModifiers previous_;
};

} // namespace vl
