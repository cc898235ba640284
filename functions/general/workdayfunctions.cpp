#include "functions/general/workdayfunctions.h"

#include "functions/general/argreader.h"

#include <bitset>
#include <cstdlib>
#include <utility>

namespace vl {

namespace {

constexpr uint16_t kSunday = 1;
constexpr uint16_t kSaturday = 7;

// The days off, read once. Each candidate day is matched as if the list were walked from
// its first cell: a cell that is no date-time ends every later walk with its error, so
// only the days before the first such cell can match, and once a walk reaches it the
// result is the largest error of all the cells.
class CDaysOff {
public:
    // Takes the argument (empty: no days off); returns its own error.
    FormulaError Read(CEvalContext& ctx, FormulaToken& slot) {
        if (slot.type == kTokenEmpty && slot.error == 0) return 0;
        CRangeWalk walk(ctx);
        if (FormulaError error = walk.Take(slot)) return error;
        FormulaToken value;
        while (walk.NextValue(value)) {
            IsoDateTime r;
            if (FormulaError e = ReadDateTimeArg(ctx, value, r)) {
                cellError_ = MergeError(cellError_, e);
            } else if (cellError_ == 0 && r.hasDate) {
                days_.set(Key(r.month, r.day));
            }
        }
        return 0;
    }

    // Whether the day is a day off; `error` gets the cells' error when the day's walk
    // would reach the first faulty cell.
    bool Matches(const IsoDateTime& d, FormulaError& error) const {
        if (days_.test(Key(d.month, d.day))) return true;
        error = MergeError(error, cellError_);
        return false;
    }

private:
    static std::size_t Key(int32_t month, int32_t day) { return std::size_t(month * 32 + day); }

    std::bitset<13 * 32> days_;
    FormulaError cellError_ = 0;
};

bool IsWeekend(const IsoDateTime& d) {
    return d.dayOfWeek == kSunday || d.dayOfWeek == kSaturday;
}

// One day forward (+1) or back (-1), keeping the weekday; false past the calendar's years.
bool StepDay(IsoDateTime& d, int32_t direction) {
    d.dayOfWeek = uint16_t((d.dayOfWeek - 1 + 7 + direction) % 7 + 1);
    d.day += direction;
    if (d.day > DaysInMonth(Year(d.year), Month(d.month))) {
        d.day = 1;
        if (++d.month > 12) {
            d.month = 1;
            ++d.year;
        }
    } else if (d.day < 1) {
        if (--d.month < 1) {
            d.month = 12;
            --d.year;
        }
        d.day = DaysInMonth(Year(d.year), Month(d.month));
    }
    return d.year >= 1 && d.year <= kMaxIsoYear;
}

// The working days of the whole calendar: no count of them can be stepped further.
int64_t WorkingDaysOfCalendar() {
    IsoDateTime last;
    last.hasDate = 1;
    last.year = kMaxIsoYear;
    last.month = 12;
    last.day = 31;
    int64_t days = DateTimeToSeconds(last) / 86400 + 1;
    // 0001-01-01 is a Monday.
    return days / 7 * 5 + (days % 7 < 5 ? days % 7 : 5);
}

// The second argument runs element by element, and then the days off with it.
bool BeginWorkdayCall(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3)) return false;
    uint64_t elementwise = (Argument(ctx, 1).type & kAreaOrArray) ? 0b110 : 0;
    return BeginPartlyScalarCall(ctx, 3, 3, elementwise);
}

void NetworkDays(CEvalContext& ctx) {
    if (!BeginWorkdayCall(ctx)) return;
    CDaysOff daysOff;
    IsoDateTime from, to;
    CArgReader args(ctx);
    args.Merge(daysOff.Read(ctx, args.Take(2)));
    args.DateTime(1, to).DateTime(0, from);
    if (args.error) return ReturnError(ctx, args.error);
    if (!from.hasDate || !to.hasDate) return ReturnError(ctx, kErrValue);
    int64_t last = DateTimeToSeconds(to) / 86400;
    int64_t day = DateTimeToSeconds(from) / 86400;
    // The later date first counts the same days, as a negative number.
    const bool backward = day > last;
    if (backward) {
        std::swap(from, to);
        std::swap(day, last);
    }
    DayOfYear(from);
    FormulaError error = 0;
    double count = 0;
    for (; day <= last && error == 0; ++day) {
        if (!IsWeekend(from) && !daysOff.Matches(from, error)) count += 1;
        StepDay(from, 1);
    }
    ReturnNumber(ctx, backward && count != 0 ? -count : count, error);
}

void Workday(CEvalContext& ctx) {
    if (!BeginWorkdayCall(ctx)) return;
    static const int64_t kMostSteps = WorkingDaysOfCalendar();
    CDaysOff daysOff;
    IsoDateTime date;
    int32_t n = 1;
    CArgReader args(ctx);
    args.Merge(daysOff.Read(ctx, args.Take(2)));
    args.Int(1, n).DateTime(0, date);
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    if (!date.hasDate || std::abs(int64_t(n)) > kMostSteps) return ReturnErrorEntry(ctx, kErrNum);
    // A negative count steps backward.
    const int32_t direction = n < 0 ? -1 : 1;
    DayOfYear(date);
    FormulaError error = 0;
    for (int64_t k = 0; k < std::abs(int64_t(n));) {
        if (!StepDay(date, direction)) return ReturnErrorEntry(ctx, kErrNum);
        if (IsWeekend(date)) continue;
        if (daysOff.Matches(date, error)) continue;
        if (error) return ReturnErrorEntry(ctx, error);
        ++k;
    }
    ReturnText(ctx, FormatIsoDateTime(date));
}

} // namespace

void BindWorkdayFunctions() {
    BindBuiltinFunction("NETWORKDAYS", &NetworkDays);
    BindBuiltinFunction("WORKDAY", &Workday);
}

} // namespace vl
