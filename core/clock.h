#pragma once
// Whole seconds of the wall clock. The process reads one clock, the system's unless a test
// installed another, so that every timestamp can be moved at once.

#include <cstdint>
#include <ctime>

namespace vl {

class IClock {
public:
    virtual ~IClock() = default;
    virtual int64_t NowSeconds() const = 0;
};

class CSystemClock : public IClock {
public:
    int64_t NowSeconds() const override { return int64_t(std::time(nullptr)); }
};

// The clock every timestamp and time-out of the process reads.
const IClock& ProcessClock();
// Installs another clock (tests); null restores the system clock. The clock must outlive
// its installation.
void InstallClock(const IClock* clock);

} // namespace vl
