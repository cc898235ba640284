// References of DATEDIFF and EDATE2, and the ISO 8601 arithmetic MTXSERIES's text series
// shares: the texts read by their grammar, periods added as the XML Schema adds durations to
// dateTimes, a proleptic Gregorian calendar counted here.
#include "tests/functions/bindall/peermodelsupport.h"
#include "tests/functions/bindall/peerreferences.h"

#include <algorithm>
#include <cstdio>
#include <regex>

namespace vl::test::reference {

using namespace peermodel;

namespace {

struct Moment {
    bool hasDate = false, hasTime = false, hasZone = false;
    long long year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, milli = 0;
    int zoneSign = 1, zoneHours = 0, zoneMinutes = 0;
};

bool Leap(long long y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

long long DaysIn(long long y, long long m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && Leap(y) ? 29 : days[m - 1];
}

bool ReadMoment(const std::string& text, Moment& t) {
    static const std::regex pattern(
        R"(^(?:([1-9]\d{4,}|\d{4})-(\d\d)-(\d\d))?(T)?(?:(\d\d):(\d\d):(\d\d)(?:\.(\d{1,3}))?(?:([+-])(\d\d):(\d\d))?)? *$)");
    std::smatch m;
    if (!std::regex_match(text, m, pattern)) return false;
    t.hasDate = m[1].matched;
    t.hasTime = m[5].matched;
    if (!t.hasDate && !t.hasTime) return false;
    if (m[4].matched != (t.hasDate && t.hasTime)) return false; // T joins both, nothing else
    if (t.hasDate) {
        if (m[1].length() > 6) return false;
        t.year = std::stoll(m[1]);
        t.month = std::stoll(m[2]);
        t.day = std::stoll(m[3]);
        if (t.year < 1 || t.year > 50000 || t.month < 1 || t.month > 12 || t.day < 1 ||
            t.day > DaysIn(t.year, t.month))
            return false;
    }
    if (t.hasTime) {
        t.hour = std::stoll(m[5]);
        t.minute = std::stoll(m[6]);
        t.second = std::stoll(m[7]);
        if (t.hour > 23 || t.minute > 59 || t.second > 59) return false;
        if (m[8].matched) {
            std::string digits = m[8].str() + std::string(3 - m[8].length(), '0');
            t.milli = std::stoll(digits);
        }
        if (m[9].matched) {
            t.hasZone = true;
            t.zoneSign = m[9] == "-" ? -1 : 1;
            t.zoneHours = std::stoi(m[10]);
            t.zoneMinutes = std::stoi(m[11]);
        }
    }
    return true;
}

long long DaysFromFirst(long long y, long long m, long long d) {
    long long days = 0;
    for (long long year = 1; year < y; ++year) days += Leap(year) ? 366 : 365;
    for (long long month = 1; month < m; ++month) days += DaysIn(y, month);
    return days + d - 1;
}

std::string Write(const Moment& t) {
    char text[96] = "";
    int at = 0;
    if (t.hasDate)
        at += std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", t.year, t.month, t.day);
    if (t.hasDate && t.hasTime) text[at++] = 'T';
    if (t.hasTime) {
        at += std::snprintf(text + at, sizeof text - at, "%02lld:%02lld:%02lld", t.hour, t.minute,
                            t.second);
        if (t.milli) at += std::snprintf(text + at, sizeof text - at, ".%03lld", t.milli);
        if (t.hasZone && (t.zoneHours || t.zoneMinutes))
            std::snprintf(text + at, sizeof text - at, "%c%02d:%02d", t.zoneSign < 0 ? '-' : '+',
                          t.zoneHours, t.zoneMinutes);
    }
    return text;
}

struct Period {
    int sign = 1;
    long long years = 0, months = 0, days = 0, hours = 0, minutes = 0, seconds = 0, milli = 0;
    bool dateParts = false, timeParts = false;
};

bool ReadPeriod(const std::string& text, Period& p) {
    static const std::regex pattern(
        R"(^([+-])?P(?:(\d+)Y)?(?:(\d+)M)?(?:(\d+)D)?(?:T(?:(\d+)H)?(?:(\d+)M)?(?:(\d+)(?:\.(\d{1,3}))?S)?)?$)");
    std::smatch m;
    if (!std::regex_match(text, m, pattern)) return false;
    if (text.back() == 'T') return false; // a T with no time part after it
    for (int k = 2; k <= 7; ++k)
        if (m[k].matched && m[k].length() > 9) return false;
    auto field = [&](int k) { return m[k].matched ? std::stoll(m[k]) : 0LL; };
    p.sign = m[1] == "-" ? -1 : 1;
    p.years = field(2);
    p.months = field(3);
    p.days = field(4);
    p.hours = field(5);
    p.minutes = field(6);
    p.seconds = field(7);
    if (m[8].matched) p.milli = std::stoll(m[8].str() + std::string(3 - m[8].length(), '0'));
    p.dateParts = m[2].matched || m[3].matched || m[4].matched;
    p.timeParts = m[5].matched || m[6].matched || m[7].matched;
    return true;
}

long long FloorDiv(long long a, long long b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

bool AddIsoDuration(const std::string& value, const std::string& duration, std::string& out) {
    Moment t;
    Period p;
    if (!ReadMoment(value, t) || !ReadPeriod(duration, p)) return false;
    if ((!t.hasTime && p.timeParts) || (!t.hasDate && p.dateParts)) return false;
    const long long s = p.sign;
    long long months = t.month - 1 + s * p.months;
    t.year += s * p.years + FloorDiv(months, 12);
    t.month = months - FloorDiv(months, 12) * 12 + 1;
    long long carry = 0, v = 0;
    v = t.milli + s * p.milli;
    carry = FloorDiv(v, 1000);
    t.milli = v - carry * 1000;
    v = t.second + s * p.seconds + carry;
    carry = FloorDiv(v, 60);
    t.second = v - carry * 60;
    v = t.minute + s * p.minutes + carry;
    carry = FloorDiv(v, 60);
    t.minute = v - carry * 60;
    v = t.hour + s * p.hours + carry;
    carry = FloorDiv(v, 24);
    t.hour = v - carry * 24;
    if (t.hasDate) {
        if (t.year < 1 || t.year > 50000) return false;
        long long day = std::clamp(t.day, 1LL, DaysIn(t.year, t.month)) + s * p.days + carry;
        for (;;) {
            if (day < 1) {
                long long previous = t.month == 1 ? 12 : t.month - 1;
                day += DaysIn(t.month == 1 ? t.year - 1 : t.year, previous);
                t.year -= t.month == 1;
                t.month = previous;
            } else if (day > DaysIn(t.year, t.month)) {
                day -= DaysIn(t.year, t.month);
                t.year += t.month == 12;
                t.month = t.month == 12 ? 1 : t.month + 1;
            } else {
                break;
            }
            if (t.year < 1 || t.year > 50000) return false;
        }
        t.day = day;
    }
    out = Write(t);
    return true;
}

namespace {

// A date-time argument: a text that reads completely; a number, an empty value or a text that
// does not read #VALUE!; an error keeps its kind.
int ReadDateArgument(const Argument& a, Moment& t) {
    if (a.values.size() != 1 || IsAreaText(a.text, Getter::kMatrix)) return 7;
    const Answer& v = a.values[0];
    if (v.kind == 'e') return ErrorCode(v) ? ErrorCode(v) : 7;
    return v.kind == 't' && ReadMoment(v.text, t) ? 0 : 7;
}

// A text argument: a number becomes its text, which no date or period reads; an error keeps
// its kind.
int ReadTextArgument(const Argument& a, std::string& text) {
    if (a.values.size() != 1 || IsAreaText(a.text, Getter::kMatrix)) return 7;
    const Answer& v = a.values[0];
    if (v.kind == 'e') return ErrorCode(v) ? ErrorCode(v) : 7;
    if (v.kind == 't') text = v.text;
    return 0;
}

Grid Difference(const ModelCase& m) {
    Moment one, two;
    int error = std::max(ReadDateArgument(m.args[0], one), ReadDateArgument(m.args[1], two));
    if (error) return ScalarGrid(ErrorOfCode(error));
    auto seconds = [](const Moment& t) {
        long long days = t.hasDate ? DaysFromFirst(t.year, t.month, t.day) : 0;
        return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    };
    long long d = seconds(two) - seconds(one);
    std::string text = d < 0 ? "-P" : "P";
    d = d < 0 ? -d : d;
    long long days = d / 86400, hours = d % 86400 / 3600, minutes = d % 3600 / 60, rest = d % 60;
    if (days) text += std::to_string(days) + "D";
    if (hours || minutes || rest) text += "T";
    if (hours) text += std::to_string(hours) + "H";
    if (minutes) text += std::to_string(minutes) + "M";
    if (rest) text += std::to_string(rest) + "S";
    return ScalarGrid(Answer{'t', 0, text});
}

Grid Added(const ModelCase& m) {
    std::string value, period, out;
    int error = std::max(ReadTextArgument(m.args[0], value), ReadTextArgument(m.args[1], period));
    if (error) return ScalarGrid(ErrorOfCode(error));
    if (!AddIsoDuration(value, period, out)) return ErrorGrid("#VALUE!");
    return ScalarGrid(Answer{'t', 0, out});
}

} // namespace

void AddDateReferences(std::map<std::string, Reference>& references) {
    references["dateDiff"] = Worked("dateDiff", "DATEDIFF", Difference);
    references["eDate2"] = Worked("eDate2", "EDATE2", Added);
}

} // namespace vl::test::reference
