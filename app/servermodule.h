#pragma once
// The server's lock count and what it does at zero: after the last release the process
// waits the time-out for new activity, then the pause, then quits. The frame holds one
// lock; releasing it as the last one quits at once. Timers come from an injectable host.

#include <QTimer>
#include <cstdint>
#include <functional>

namespace vl {

// Time and one timer for the module; tests drive a fake one.
class ITimerHost {
public:
    virtual ~ITimerHost() = default;
    // Calls `fire` once after `ms` milliseconds, replacing any call armed before.
    virtual void Arm(int ms, std::function<void()> fire) = 0;
    virtual void Disarm() = 0;
};

class CQtTimerHost : public ITimerHost {
public:
    CQtTimerHost();
    void Arm(int ms, std::function<void()> fire) override;
    void Disarm() override;

private:
    QTimer timer_;
    std::function<void()> fire_;
};

class CServerModule {
public:
    static constexpr int kTimeoutMs = 5000;
    static constexpr int kPauseMs = 1000;

    // `quit` receives the exit code when the module ends the process.
    CServerModule(ITimerHost& host, std::function<void(int)> quit);

    long Lock();
    long Unlock();
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
