#include "functions/general/datefunctions.h"

#include "core/settings.h"
#include "functions/general/argreader.h"
#include "values/dateinput.h"
#include "values/localtime.h"

#include <cstdlib>

namespace vl {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

void ReturnDateTime(CEvalContext& ctx, const IsoDateTime& r) {
    ReturnText(ctx, FormatIsoDateTime(r));
}

// Months and days past a field's bounds carry: month 13 is January of the next year, day 0
// the last day of the month before. Counts this large reach no year a date has.
constexpr int32_t kMaxCarried = 1 << 30;

void Date(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 3)) return;
    int32_t year = 0, month = 0, day = 0;
    CArgReader args(ctx);
    args.Int(2, day, -kMaxCarried, kMaxCarried)
        .Int(1, month, -kMaxCarried, kMaxCarried)
        .Int(0, year, 1, kMaxIsoYear);
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    // An empty year leaves 0, which no date has.
    if (year < 1) return ReturnErrorEntry(ctx, kErrNum);
    IsoDateTime first, r;
    first.hasDate = 1;
    first.year = year + FloorDiv(month - 1, 12);
    first.month = month - 1 - FloorDiv(month - 1, 12) * 12 + 1;
    first.day = 1;
    IsoDuration days;
    days.negative = day < 1;
    days.days = day < 1 ? 1 - day : day - 1;
    if (!AddToDateTime(first, days, r)) return ReturnErrorEntry(ctx, kErrNum);
    ReturnDateTime(ctx, r);
}

// Minutes and seconds past 59 carry into the hours, hours past 23 go round the clock; a
// time before midnight is #NUM!.
void Time(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 3)) return;
    int32_t hour = 0, minute = 0, second = 0;
    CArgReader args(ctx);
    args.Int(2, second).Int(1, minute).Int(0, hour);
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    const int64_t total = int64_t(hour) * 3600 + int64_t(minute) * 60 + second;
    if (total < 0) return ReturnErrorEntry(ctx, kErrNum);
    const int64_t clock = total % kSecondsPerDay;
    IsoDateTime r;
    r.hasTime = 1;
    r.hour = int32_t(clock / 3600);
    r.minute = int32_t(clock / 60 % 60);
    r.second = int32_t(clock % 60);
    ReturnDateTime(ctx, r);
}

// Typed text in the user's date or time forms, or ISO 8601 text.
template <uint8_t Kind> void DateValue(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 1)) return;
    std::string text;
    CArgReader args(ctx);
    args.Text(0, text);
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    IsoDateTime r;
    uint8_t kind = Kind;
    uint8_t params[kStandardFormatParams] = {};
    if (text.size() > kMaxDateText || !ParseDateText(text, r, kind, params, UserSeparators()))
        return ReturnErrorEntry(ctx, kErrValue);
    ReturnDateTime(ctx, r);
}

void DateDiff(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    IsoDateTime from, to;
    CArgReader args(ctx);
    args.DateTime(1, to).DateTime(0, from);
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    int64_t d = DateTimeToSeconds(to) - DateTimeToSeconds(from);
    IsoDuration p;
    if (d < 0) {
        p.negative = 1;
        d = -d;
    }
    p.days = int32_t(d / kSecondsPerDay);
    d %= kSecondsPerDay;
    p.hours = int32_t(d / 3600);
    p.minutes = int32_t(d % 3600 / 60);
    p.seconds = int32_t(d % 60);
    ReturnText(ctx, FormatIsoDuration(p));
}

IsoDuration Months(int32_t n) {
    IsoDuration p;
    p.negative = n < 0 ? 1 : 0;
    p.months = std::abs(n);
    return p;
}

// The date text plus the period text, both read whole.
void AddPeriod(CEvalContext& ctx, std::string_view date, std::string_view period) {
    std::string out;
    if (date.size() > kMaxDateText || period.size() > kMaxDateText ||
        !AddDurationText(date, period, out))
        return ReturnErrorEntry(ctx, kErrValue);
    ReturnText(ctx, out);
}

void EDate(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    int32_t n = 0;
    std::string date;
    CArgReader args(ctx);
    args.Int(1, n).Text(0, date);
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    AddPeriod(ctx, date, FormatIsoDuration(Months(n)));
}

void EDate2(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    std::string date, period;
    CArgReader args(ctx);
    args.Text(1, period).Text(0, date);
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    AddPeriod(ctx, date, period);
}

void EoMonth(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    int32_t n = 0;
    IsoDateTime date, end;
    CArgReader args(ctx);
    args.Int(1, n).DateTime(0, date);
    // Any failure here is #VALUE!, whatever the argument's own error.
    if (args.error || !date.hasDate || !AddToDateTime(date, Months(n), end))
        return ReturnErrorEntry(ctx, kErrValue);
    end.day = DaysInMonth(Year(end.year), Month(end.month));
    ReturnDateTime(ctx, end);
}

enum class Field { kYear, kMonth, kDay, kHour, kMinute, kSecond };

template <Field F> void Extract(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 1)) return;
    IsoDateTime r;
    CArgReader args(ctx);
    args.DateTime(0, r);
    if (args.error) return ReturnError(ctx, args.error);
    constexpr bool kDatePart = F == Field::kYear || F == Field::kMonth || F == Field::kDay;
    if (!(kDatePart ? r.hasDate : r.hasTime)) return ReturnError(ctx, kErrValue);
    const int32_t fields[] = {r.year, r.month, r.day, r.hour, r.minute, r.second};
    ReturnNumber(ctx, fields[int(F)]);
}

// Monday 1 ... Sunday 7 from Sunday 1 ... Saturday 7.
int32_t FromMonday(int32_t sundayFirst) {
    return (sundayFirst + 5) % 7 + 1;
}

void Weekday(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    int32_t numbering = 1;
    IsoDateTime r;
    CArgReader args(ctx);
    args.Int(1, numbering, 1, 3).DateTime(0, r);
    if (args.error) return ReturnError(ctx, args.error);
    if (!r.hasDate) return ReturnError(ctx, kErrValue);
    DayOfYear(r);
    const int32_t w = r.dayOfWeek;
    ReturnNumber(ctx, numbering == 1 ? w : (numbering == 2 ? FromMonday(w) : FromMonday(w) - 1));
}

// Week 1 is the week of 1 January; weeks begin on Sunday (1) or Monday (2).
void WeekNum(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    int32_t numbering = 1;
    IsoDateTime r;
    CArgReader args(ctx);
    args.Int(1, numbering, 1, 2).DateTime(0, r);
    if (args.error) return ReturnError(ctx, args.error);
    if (!r.hasDate) return ReturnError(ctx, kErrValue);
    DayOfYear(r);
    IsoDateTime january = r;
    january.month = 1;
    january.day = 1;
    DayOfYear(january);
    int32_t j = numbering == 1 ? january.dayOfWeek : FromMonday(january.dayOfWeek);
    int32_t x = r.dayOfYear + j - 1;
    ReturnNumber(ctx, x / 7 + (x % 7 != 0 ? 1 : 0));
}

// NOW gives the time of day alone, TODAY the date alone.
template <bool DatePart> void Clock(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 0, 0)) return;
    if (FormulaError error = ctx.values[ctx.valueCount].error) return ReturnErrorEntry(ctx, error);
    const IsoDateTime now = LocalDateTime();
    IsoDateTime r;
    if (DatePart) {
        r.hasDate = 1;
        r.year = now.year;
        r.month = now.month;
        r.day = now.day;
    } else {
        r.hasTime = 1;
        r.hour = now.hour;
        r.minute = now.minute;
        r.second = now.second;
    }
    ReturnDateTime(ctx, r);
}

} // namespace

void BindDateFunctions() {
    BindBuiltinFunction("DATE", &Date);
    BindBuiltinFunction("TIME", &Time);
    BindBuiltinFunction("DATEVALUE", &DateValue<4>);
    BindBuiltinFunction("TIMEVALUE", &DateValue<5>);
    BindBuiltinFunction("DATEDIFF", &DateDiff);
    BindBuiltinFunction("EDATE", &EDate);
    BindBuiltinFunction("EDATE2", &EDate2);
    BindBuiltinFunction("EOMONTH", &EoMonth);
    BindBuiltinFunction("YEAR", &Extract<Field::kYear>);
    BindBuiltinFunction("MONTH", &Extract<Field::kMonth>);
    BindBuiltinFunction("DAY", &Extract<Field::kDay>);
    BindBuiltinFunction("HOUR", &Extract<Field::kHour>);
    BindBuiltinFunction("MINUTE", &Extract<Field::kMinute>);
    BindBuiltinFunction("SECOND", &Extract<Field::kSecond>);
    BindBuiltinFunction("WEEKDAY", &Weekday);
    BindBuiltinFunction("WEEKNUM", &WeekNum);
    BindBuiltinFunction("NOW", &Clock<false>);
    BindBuiltinFunction("TODAY", &Clock<true>);
}

} // namespace vl
