#include "values/isodate.h"

#include "platform/core/cp1252.h"
#include "values/inttext.h"

namespace vl {

namespace {

constexpr int kDaysBefore[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
// Days of 400 Gregorian years: the calendar repeats after them.
constexpr int64_t kDaysPer400Years = 146097;

int64_t FloorDiv64(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

int64_t Mod64(int64_t a, int64_t b) {
    return a - FloorDiv64(a, b) * b;
}

int64_t MonthLength(int64_t year, int64_t month) {
    int64_t m = Mod64(month - 1, 12) + 1;
    int64_t y = year + FloorDiv64(month - 1, 12);
    int64_t days = kDaysBefore[m] - kDaysBefore[m - 1];
    return (m == 2 && IsLeapYear(y)) ? days + 1 : days;
}

// Reads exactly `width` digits at `pos`.
bool ReadFixed(std::string_view t, std::size_t& pos, int width, int32_t& value) {
    value = 0;
    for (int k = 0; k < width; ++k, ++pos) {
        if (pos >= t.size() || !IsAsciiDigit(t[pos])) return false;
        value = value * 10 + (t[pos] - '0');
    }
    return true;
}

bool Expect(std::string_view t, std::size_t& pos, char c) {
    if (pos >= t.size() || t[pos] != c) return false;
    ++pos;
    return true;
}

std::size_t SkipBlanks(std::string_view t, std::size_t pos) {
    while (pos < t.size() && t[pos] == ' ') ++pos;
    return pos;
}

bool ReadYear(std::string_view t, std::size_t& pos, int32_t& year) {
    std::size_t start = pos;
    int64_t value = 0;
    while (pos < t.size() && IsAsciiDigit(t[pos])) {
        value = value * 10 + (t[pos] - '0');
        if (value > kMaxIsoYear) return false;
        ++pos;
    }
    std::size_t width = pos - start;
    if (width < 4 || (width > 4 && t[start] == '0') || value < 1) return false;
    year = int32_t(value);
    return true;
}

// Up to three fraction digits; missing positions count as zeros and consume nothing.
int32_t ReadMilliseconds(std::string_view t, std::size_t& pos) {
    int32_t ms = 0;
    for (int k = 0; k < 3; ++k) {
        int digit = 0;
        if (pos < t.size() && IsAsciiDigit(t[pos])) digit = t[pos++] - '0';
        ms = ms * 10 + digit;
    }
    return ms;
}

void AppendTime(std::string& out, const IsoDateTime& r) {
    AppendInt(out, r.hour, 2);
    out += ':';
    AppendInt(out, r.minute, 2);
    out += ':';
    AppendInt(out, r.second, 2);
    if (r.millisecond != 0) {
        out += '.';
        AppendInt(out, r.millisecond, 3);
    }
    if (r.zoneHours != 0 || r.zoneMinutes != 0) {
        out += r.zoneNegative ? '-' : '+';
        AppendInt(out, r.zoneHours, 2);
        out += ':';
        AppendInt(out, r.zoneMinutes, 2);
    }
}

// Brings `day` into the month, stepping the month (and year) as often as needed.
void NormaliseDay(int64_t& year, int64_t& month, int64_t& day) {
    int64_t cycles = FloorDiv64(day - 1, kDaysPer400Years);
    day -= cycles * kDaysPer400Years;
    year += cycles * 400;
    for (;;) {
        if (day < 1) {
            day += MonthLength(year, month - 1);
            --month;
        } else if (day > MonthLength(year, month)) {
            day -= MonthLength(year, month);
            ++month;
        } else {
            break;
        }
        year += FloorDiv64(month - 1, 12);
        month = Mod64(month - 1, 12) + 1;
    }
}

// Days since 0001-01-01 counted from 1; the year is taken as a 16-bit value.
int64_t DayCount(IsoDateTime& r) {
    int64_t y = uint16_t(r.year - 1);
    int64_t m = Mod64(int64_t(r.month) - 1, 12) + 1;
    int64_t doy = kDaysBefore[m - 1] + int64_t(r.day);
    if (m > 2 && IsLeapYear(y + 1)) ++doy;
    int64_t count = 365 * y + y / 4 - y / 100 + y / 400 + doy;
    r.dayOfYear = uint16_t(doy);
    r.dayOfWeek = uint16_t(Mod64(count, 7) + 1);
    return count;
}

} // namespace

bool IsLeapYear(int64_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int32_t FloorDiv(int32_t a, int32_t b) {
    if (b == 0) return 0;
    int64_t q = FloorDiv64(a, b);
    return q > INT32_MAX ? INT32_MAX : int32_t(q);
}

int32_t DaysInMonth(Year year, Month month) {
    return int32_t(MonthLength(year.value, month.value));
}

bool ParseIsoDate(IsoDateTime& rec, std::string_view t, std::size_t& end) {
    std::size_t pos = 0;
    int32_t year, month, day;
    if (!ReadYear(t, pos, year) || !Expect(t, pos, '-')) return false;
    if (!ReadFixed(t, pos, 2, month) || month < 1 || month > 12) return false;
    if (!Expect(t, pos, '-') || !ReadFixed(t, pos, 2, day)) return false;
    if (day < 1 || day > MonthLength(year, month)) return false;
    rec.year = year;
    rec.month = month;
    rec.day = day;
    rec.hasDate = 1;
    end = SkipBlanks(t, pos);
    return true;
}

bool ParseIsoTime(IsoDateTime& rec, std::string_view t, std::size_t& end) {
    std::size_t pos = 0;
    if (!ReadFixed(t, pos, 2, rec.hour) || rec.hour > 23 || !Expect(t, pos, ':')) return false;
    if (!ReadFixed(t, pos, 2, rec.minute) || rec.minute > 59 || !Expect(t, pos, ':')) return false;
    if (!ReadFixed(t, pos, 2, rec.second) || rec.second > 59) return false;
    if (pos < t.size() && t[pos] == '.') {
        ++pos;
        rec.millisecond = ReadMilliseconds(t, pos);
    }
    if (pos < t.size() && (t[pos] == '-' || t[pos] == '+')) {
        rec.zoneNegative = t[pos++] == '-';
        if (!ReadFixed(t, pos, 2, rec.zoneHours) || rec.zoneHours > 23) return false;
        if (!Expect(t, pos, ':') || !ReadFixed(t, pos, 2, rec.zoneMinutes) || rec.zoneMinutes > 59)
            return false;
    }
    rec.hasTime = 1;
    end = SkipBlanks(t, pos);
    return true;
}

bool ParseIsoDateTime(IsoDateTime& rec, std::string_view t, std::size_t& end) {
    rec = IsoDateTime{};
    std::size_t pos = 0;
    if (ParseIsoDate(rec, t, pos)) {
        if (pos == t.size()) {
            end = pos;
            return true;
        }
        std::size_t timeEnd = 0;
        if (t[pos] == 'T' && ParseIsoTime(rec, t.substr(pos + 1), timeEnd) &&
            pos + 1 + timeEnd == t.size()) {
            end = t.size();
            return true;
        }
        rec = IsoDateTime{};
        return false;
    }
    rec = IsoDateTime{};
    if (ParseIsoTime(rec, t, pos) && pos == t.size()) {
        end = pos;
        return true;
    }
    rec = IsoDateTime{};
    return false;
}

bool ParseIsoDateTime(IsoDateTime& rec, std::string_view text) {
    std::size_t end = 0;
    return ParseIsoDateTime(rec, text, end);
}

std::string FormatIsoDateTime(const IsoDateTime& r) {
    std::string out;
    if (r.hasDate) {
        AppendInt(out, r.year, 4);
        out += '-';
        AppendInt(out, r.month, 2);
        out += '-';
        AppendInt(out, r.day, 2);
        if (r.hasTime) {
            out += 'T';
            AppendTime(out, r);
        }
    } else if (r.hasTime) {
        AppendTime(out, r);
    }
    return out;
}

int32_t DayOfYear(IsoDateTime& r) {
    return int32_t(DayCount(r) / 7);
}

int64_t DateTimeToSeconds(const IsoDateTime& r) {
    int64_t seconds = 0;
    if (r.hasDate) {
        IsoDateTime copy = r;
        seconds = (DayCount(copy) - 1) * 86400;
    }
    if (r.hasTime) seconds += int64_t(r.hour) * 3600 + int64_t(r.minute) * 60 + r.second;
    return seconds;
}

bool AddToDateTime(const IsoDateTime& s, const IsoDuration& d, IsoDateTime& result) {
    int64_t sign = d.negative ? -1 : 1;
    int64_t years = sign * d.years, months = sign * d.months, days = sign * d.days;
    int64_t hours = sign * d.hours, minutes = sign * d.minutes;
    int64_t seconds = sign * d.seconds, ms = sign * d.milliseconds;
    if (!s.hasDate && (years || months || days)) return false;
    if (!s.hasTime && (hours || minutes || seconds || ms)) return false;

    IsoDateTime e;
    e.hasDate = s.hasDate;
    e.hasTime = s.hasTime;
    e.zoneNegative = s.zoneNegative;
    e.zoneHours = s.zoneHours;
    e.zoneMinutes = s.zoneMinutes;

    int64_t t = int64_t(s.month) + months;
    int64_t month = Mod64(t - 1, 12) + 1;
    int64_t year = int64_t(s.year) + years + FloorDiv64(t - 1, 12);

    t = int64_t(s.millisecond) + ms;
    e.millisecond = int32_t(Mod64(t, 1000));
    int64_t carry = FloorDiv64(t, 1000);
    t = int64_t(s.second) + seconds + carry;
    e.second = int32_t(Mod64(t, 60));
    carry = FloorDiv64(t, 60);
    t = int64_t(s.minute) + minutes + carry;
    e.minute = int32_t(Mod64(t, 60));
    carry = FloorDiv64(t, 60);
    t = int64_t(s.hour) + hours + carry;
    e.hour = int32_t(Mod64(t, 24));
    carry = FloorDiv64(t, 24);

    if (s.hasDate) {
        int64_t length = MonthLength(year, month);
        int64_t day = s.day > length ? length : (s.day < 1 ? 1 : s.day);
        day += days + carry;
        NormaliseDay(year, month, day);
        if (year < 1 || year > kMaxIsoYear) return false;
        e.year = int32_t(year);
        e.month = int32_t(month);
        e.day = int32_t(day);
    }
    result = e;
    return true;
}

bool AddDurationText(std::string_view dateTime, std::string_view duration, std::string& out) {
    IsoDateTime start, result;
    IsoDuration d;
    std::size_t end = 0;
    if (!ParseIsoDateTime(start, dateTime, end)) return false;
    if (!ParseIsoDuration(d, duration, end) || end != duration.size()) return false;
    if (!AddToDateTime(start, d, result)) return false;
    out = FormatIsoDateTime(result);
    return true;
}

} // namespace vl
