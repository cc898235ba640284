#pragma once
// The timer of the running program: a single-shot Qt timer.

#include "core/timerhost.h"

#include <QTimer>
#include <functional>

namespace vl {

class CQtTimerHost : public ITimerHost {
public:
    CQtTimerHost();
    void Arm(int ms, std::function<void()> fire) override;
    void Disarm() override;

private:
    QTimer timer_;
    std::function<void()> fire_;
};

} // namespace vl
