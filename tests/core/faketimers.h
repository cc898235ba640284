#pragma once
// Timers moved by hand: a timeline that fires what falls due, in the order of the due
// times, and timer hosts armed on it.

#include "core/timerhost.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vl::testclock {

// Timers moved by hand: Advance fires what falls due, in the order of the due times.
class FakeTimeline {
public:
    struct Slot {
        int64_t due = 0;
        std::function<void()> fire;
    };
    class Timer : public ITimerHost {
    public:
        explicit Timer(FakeTimeline& line) : line_(line), slot_(std::make_shared<Slot>()) {
            line_.slots.push_back(slot_);
        }
        void Arm(int ms, std::function<void()> fire) override {
            slot_->due = line_.now + ms;
            slot_->fire = std::move(fire);
        }
        void Disarm() override { slot_->fire = nullptr; }

    private:
        FakeTimeline& line_;
        std::shared_ptr<Slot> slot_;
    };

    void Advance(int64_t ms) {
        const int64_t end = now + ms;
        for (;;) {
            std::shared_ptr<Slot> next;
            for (const auto& slot : slots)
                if (slot->fire && slot->due <= end && (!next || slot->due < next->due)) next = slot;
            if (!next) break;
            now = next->due;
            auto fire = std::move(next->fire);
            next->fire = nullptr;
            fire();
        }
        now = end;
    }
    bool Armed() const {
        for (const auto& slot : slots)
            if (slot->fire) return true;
        return false;
    }
    int64_t now = 0;
    std::vector<std::shared_ptr<Slot>> slots;
};

// One timer on a timeline of its own, for code that takes a single timer host.
class FakeTimers : public FakeTimeline, public FakeTimeline::Timer {
public:
    FakeTimers() : FakeTimeline::Timer(static_cast<FakeTimeline&>(*this)) {}
};

} // namespace vl::testclock
