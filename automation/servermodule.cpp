#include "automation/servermodule.h"

namespace vl {

CServerModule::CServerModule(ITimerHost& host, std::function<void(int)> quit)
    : host_(host), quit_(std::move(quit)) {}

void CServerModule::Lock() {
    ++locks_;
}

void CServerModule::Unlock() {
    if (locks_ > 0 && --locks_ == 0 && state_ != State::kPausing && state_ != State::kDone) {
        // Activity: the time-out starts again from this release.
        state_ = State::kWaiting;
        if (timeoutMs_ == 0)
            OnTimeout();
        else
            host_.Arm(timeoutMs_, [this] { OnTimeout(); });
    }
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
