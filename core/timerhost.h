#pragma once
// One timer: the server module's time-out and the windows' delays arm it; the program gives
// a real one and tests drive a fake one by hand.

#include <functional>

namespace vl {

class ITimerHost {
public:
    virtual ~ITimerHost() = default;
    // Calls `fire` once after `ms` milliseconds, replacing any call armed before.
    virtual void Arm(int ms, std::function<void()> fire) = 0;
    virtual void Disarm() = 0;
};

} // namespace vl
