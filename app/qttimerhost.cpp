#include "app/qttimerhost.h"

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

} // namespace vl
