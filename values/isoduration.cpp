#include "values/isoduration.h"

#include "platform/core/cp1252.h"
#include "values/inttext.h"

namespace vl {

namespace {

// A component's value must stay below this.
constexpr int32_t kComponentLimit = 214748354;

enum : unsigned {
    kAllowYears = 1,
    kAllowMonths = 2,
    kAllowDays = 4,
    kAllowTime = 8,
    kAllowHours = 16,
    kAllowMinutes = 32,
    kAllowSeconds = 64,
};

bool ReadComponent(std::string_view t, std::size_t& pos, int32_t& value) {
    std::size_t start = pos;
    value = 0;
    while (pos < t.size() && IsAsciiDigit(t[pos])) {
        value = value * 10 + (t[pos] - '0');
        if (value >= kComponentLimit) return false;
        ++pos;
    }
    return pos > start;
}

// Takes a component's designator; false when it is none or no longer allowed.
bool TakeDesignator(IsoDuration& d, char c, int32_t value, unsigned& allowed) {
    bool timePart = (allowed & kAllowTime) == 0;
    if (c == 'Y' && (allowed & kAllowYears)) {
        d.years = value;
        allowed &= ~kAllowYears;
    } else if (c == 'M' && !timePart && (allowed & kAllowMonths)) {
        d.months = value;
        allowed &= ~(kAllowYears | kAllowMonths);
    } else if (c == 'D' && (allowed & kAllowDays)) {
        d.days = value;
        allowed &= ~(kAllowYears | kAllowMonths | kAllowDays);
    } else if (c == 'H' && (allowed & kAllowHours)) {
        d.hours = value;
        allowed &= ~kAllowHours;
    } else if (c == 'M' && timePart && (allowed & kAllowMinutes)) {
        d.minutes = value;
        allowed &= ~(kAllowHours | kAllowMinutes);
    } else if (c == 'S' && (allowed & kAllowSeconds)) {
        d.seconds = value;
        allowed = 0;
    } else {
        return false;
    }
    return true;
}

} // namespace

bool ParseIsoDuration(IsoDuration& d, std::string_view t, std::size_t& end) {
    std::size_t pos = 0;
    if (pos < t.size() && (t[pos] == '-' || t[pos] == '+')) d.negative = t[pos++] == '-';
    if (pos >= t.size() || t[pos] != 'P') return false;
    ++pos;
    unsigned allowed = kAllowYears | kAllowMonths | kAllowDays | kAllowTime;
    bool needComponent = false;
    while (pos < t.size() && t[pos] != ' ') {
        if (t[pos] == 'T' && (allowed & kAllowTime)) {
            allowed = kAllowHours | kAllowMinutes | kAllowSeconds;
            needComponent = true;
            ++pos;
            continue;
        }
        int32_t value = 0;
        if (allowed == 0 || !ReadComponent(t, pos, value) || pos >= t.size()) return false;
        needComponent = false;
        if (t[pos] == '.' && (allowed & kAllowSeconds)) {
            ++pos;
            d.seconds = value;
            int32_t ms = 0;
            for (int k = 0; k < 3; ++k) {
                int digit = 0;
                if (pos < t.size() && IsAsciiDigit(t[pos])) digit = t[pos++] - '0';
                ms = ms * 10 + digit;
            }
            d.milliseconds = ms;
            // The fraction belongs to the seconds: the designator must follow it.
            if (pos >= t.size() || t[pos] != 'S') return false;
            ++pos;
            allowed = 0;
            continue;
        }
        if (!TakeDesignator(d, t[pos], value, allowed)) return false;
        ++pos;
    }
    if (needComponent) return false;
    while (pos < t.size() && t[pos] == ' ') ++pos;
    end = pos;
    return true;
}

std::string FormatIsoDuration(const IsoDuration& d) {
    std::string out;
    if (d.negative) out += '-';
    out += 'P';
    auto part = [&out](int32_t value, char designator) {
        if (value == 0) return;
        AppendInt(out, value);
        out += designator;
    };
    part(d.years, 'Y');
    part(d.months, 'M');
    part(d.days, 'D');
    if (d.hours || d.minutes || d.seconds || d.milliseconds) out += 'T';
    part(d.hours, 'H');
    part(d.minutes, 'M');
    if (d.milliseconds != 0) {
        AppendInt(out, d.seconds);
        out += '.';
        AppendInt(out, d.milliseconds, 3);
        out += 'S';
    } else {
        part(d.seconds, 'S');
    }
    return out;
}

} // namespace vl
