#include "values/localtime.h"

#include "core/clock.h"

#include <ctime>

namespace vl {

IsoDateTime LocalDateTimeAt(int64_t seconds) {
    const std::time_t t = std::time_t(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    IsoDateTime r;
    r.hasDate = r.hasTime = 1;
    r.year = local.tm_year + 1900;
    r.month = local.tm_mon + 1;
    r.day = local.tm_mday;
    r.hour = local.tm_hour;
    r.minute = local.tm_min;
    r.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return r;
}

IsoDateTime LocalDateTime() {
    return LocalDateTimeAt(ProcessClock().NowSeconds());
}

} // namespace vl
