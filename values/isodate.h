#pragma once
// Date-time values are stored as ISO 8601 text in text cells ("2006-01-31",
// "2006-01-31T13:10:55.123", "13:10:55-00:30"). This is the one place that turns that
// text into records and back, and does the calendar arithmetic on them (proleptic
// Gregorian calendar; durations are added by the XML Schema rules).

#include "values/isoduration.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

constexpr int32_t kMaxIsoYear = 50000;

struct IsoDateTime {
    uint8_t hasDate = 0;
    uint8_t hasTime = 0;
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t millisecond = 0;
    // The zone is kept as written and never applied.
    uint8_t zoneNegative = 0;
    int32_t zoneHours = 0;
    int32_t zoneMinutes = 0;
    // Filled only by DayOfYear.
    uint16_t dayOfYear = 0;
    uint16_t dayOfWeek = 0; // 1 Sunday .. 7 Saturday
};

// The parsers set `end` behind the last character used and any blanks after it.
// ParseIsoDateTime accepts only a whole text and leaves a zeroed record on failure.
bool ParseIsoDateTime(IsoDateTime& rec, std::string_view text, std::size_t& end);
bool ParseIsoDateTime(IsoDateTime& rec, std::string_view text);
bool ParseIsoDate(IsoDateTime& rec, std::string_view text, std::size_t& end);
bool ParseIsoTime(IsoDateTime& rec, std::string_view text, std::size_t& end);
std::string FormatIsoDateTime(const IsoDateTime& rec);

// False when the duration has parts the start cannot take (days on a time alone, hours
// on a date alone), or when the resulting year leaves 1 to kMaxIsoYear; `result` is
// then untouched.
bool AddToDateTime(const IsoDateTime& start, const IsoDuration& d, IsoDateTime& result);
// Parses both texts whole, adds and formats into `out`; `out` is untouched on failure.
bool AddDurationText(std::string_view dateTime, std::string_view duration, std::string& out);

// Fills day of year and day of week; returns the day count since 0001-01-01 (which is
// day 1, a Monday) divided by 7.
int32_t DayOfYear(IsoDateTime& rec);
// Seconds since 0001-01-01T00:00:00; milliseconds and the zone are not counted.
int64_t DateTimeToSeconds(const IsoDateTime& rec);
// A year and a month as distinct types: callers name each, so the two can never be
// passed in the wrong order.
struct Year {
    explicit constexpr Year(int32_t v) : value(v) {}
    int32_t value;
};
struct Month {
    explicit constexpr Month(int32_t v) : value(v) {}
    int32_t value;
};
// Days of `month` (any value; normalised into 1..12 with the year carried) of `year`.
int32_t DaysInMonth(Year year, Month month);
// Quotient rounded towards minus infinity; 0 for a zero divisor.
int32_t FloorDiv(int32_t a, int32_t b);

bool IsLeapYear(int64_t year);

} // namespace vl
