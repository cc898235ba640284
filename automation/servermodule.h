#pragma once
// The server's lock count and what it does at zero: after the last release the process
// waits the time-out for new activity, then the pause, then quits. The frame holds one
// lock; releasing it as the last one quits at once. Every live automation object holds one
// lock through IServerLock. Timers come from an injectable host.

#include "automation/serverlock.h"
#include "core/timerhost.h"

#include <functional>

namespace vl {

class CServerModule : public IServerLock {
public:
    static constexpr int kTimeoutMs = 5000;
    static constexpr int kPauseMs = 1000;

    // `quit` receives the exit code when the module ends the process.
    CServerModule(ITimerHost& host, std::function<void(int)> quit);

    void Lock() override;
    void Unlock() override;
    // The frame's release: as the last lock it drops the time-out and the pause to 0.
    void ReleaseFrameLock();

    long LockCount() const { return locks_; }
    int TimeoutMs() const { return timeoutMs_; }
    int PauseMs() const { return pauseMs_; }
    bool Quitting() const { return state_ != State::kRunning && state_ != State::kWaiting; }

private:
    enum class State { kRunning, kWaiting, kPausing, kDone };
    void OnTimeout();
    void Finish();

    ITimerHost& host_;
    std::function<void(int)> quit_;
    long locks_ = 0;
    int timeoutMs_ = kTimeoutMs;
    int pauseMs_ = kPauseMs;
    State state_ = State::kRunning;
};

} // namespace vl
