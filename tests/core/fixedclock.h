#pragma once
// A clock that stands still at a local date and time, installed as the process clock for
// the life of a test's object.

#include "core/clock.h"

#include <ctime>

namespace vl::testclock {

class CFixedClock : public IClock {
public:
    CFixedClock(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
        std::tm t{};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        t.tm_hour = hour;
        t.tm_min = minute;
        t.tm_sec = second;
        t.tm_isdst = -1;
        seconds_ = int64_t(std::mktime(&t));
        InstallClock(this);
    }
    ~CFixedClock() override { InstallClock(nullptr); }
    CFixedClock(const CFixedClock&) = delete;
    CFixedClock& operator=(const CFixedClock&) = delete;

    int64_t NowSeconds() const override { return seconds_; }

private:
    int64_t seconds_ = 0;
};

} // namespace vl::testclock
