#include "core/clock.h"

namespace vl {

namespace {

const IClock*& Installed() {
    static const IClock* clock = nullptr;
    return clock;
}

} // namespace

const IClock& ProcessClock() {
    static const CSystemClock system;
    return Installed() ? *Installed() : system;
}

void InstallClock(const IClock* clock) {
    Installed() = clock;
}

} // namespace vl
