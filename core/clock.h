#pragma once
// Whole seconds of the wall clock, injectable so that tests can move time.

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

} // namespace vl
