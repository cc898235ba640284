#include "app/servermodule.h"

namespace vl {

CQtTimerHost::CQtTimerHost() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto fire = std::move(fire_);
        if (fire) fire();
    });
}

void CQtTimerHost::Arm(int ms, std::function<void()> fire) {
    fire_ = std::move(fire);
    timer_.start(ms);
}

void CQtTimerHost::Disarm() {
    timer_.stop();
    fire_ = nullptr;
}

CServerModule::CServerModule(ITimerHost& host, std::function<void(int)> quit)
    : host_(host), quit_(std::move(quit)) {}

long CServerModule::Lock() {
    return ++locks_;
}

long CServerModule::Unlock() {
    if (locks_ > 0 && --locks_ == 0 && state_ != State::kPausing && state_ != State::kDone) {
        // Activity: the time-out starts again from this release.
        state_ = State::kWaiting;
        if (timeoutMs_ == 0)
            OnTimeout();
        else
            host_.Arm(timeoutMs_, [this] { OnTimeout(); });
    }
    return locks_;
}

void CServerModule::ReleaseFrameLock() {
    if (locks_ == 1) timeoutMs_ = pauseMs_ = 0;
    Unlock();
}

void CServerModule::OnTimeout() {
    if (locks_ != 0) {
        // A client came back before the time-out ran out: wait for its release.
        state_ = State::kRunning;
        return;
    }
    state_ = State::kPausing;
    if (pauseMs_ == 0)
        Finish();
    else
        host_.Arm(pauseMs_, [this] { Finish(); });
}

void CServerModule::Finish() {
    state_ = State::kDone;
    if (quit_) quit_(0);
}

} // namespace vl
