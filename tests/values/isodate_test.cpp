#include "values/isodate.h"

#include <climits>
#include <gtest/gtest.h>
#include <tuple>
#include <type_traits>

namespace vl {

// Dates, times and date-times read whole, written back in the one form they have.
TEST(IsoDate, ReadsCalendarDatesAndTimesAndWritesThemBack) {
    struct Case {
        const char* text;
        const char* back; // null: not read; empty: the text itself
    } cases[] = {
        {"2004-02-29", ""},
        {"2005-02-29", nullptr},
        {"2005-2-28", nullptr},
        {"05-02-28", nullptr},
        {"02005-01-01", nullptr},
        {"0000-01-01", nullptr},
        {"0001-01-01", ""},
        {"50000-12-31", ""},
        {"50001-01-01", nullptr},
        {"2005-13-01", nullptr},
        {"2005-04-31", nullptr},
        {"2000-02-29", ""},
        {"1900-02-29", nullptr},
        {"2005-01-01x", nullptr},
        {"", nullptr},
        {"13:10:55", ""},
        {"13:10:55.1", "13:10:55.100"},
        {"13:10:55.", "13:10:55"},
        {"13:10:55.1234", nullptr},
        {"13:10:55+02:00", ""},
        {"13:10:55-00:30", ""},
        {"13:10:55+00:00", "13:10:55"},
        {"24:00:00", nullptr},
        {"23:60:00", nullptr},
        {"23:59:60", nullptr},
        {"1:00:00", nullptr},
        {"13:10:55Z", nullptr},
        {"13:10:55+24:00", nullptr},
        {"13:10", nullptr},
        {"2006-01-31T13:10:55.123", ""},
        {"2006-01-31T23:30:00+02:00", ""},
        {"2006-01-31 T10:00:00", "2006-01-31T10:00:00"}, // blanks after the date pass
        {"2006-01-31+02:00", nullptr},                   // a zone needs a time
        {"2006-01-31T", nullptr},
        {"2006-01-31 10:00:00", nullptr},
    };
    for (const Case& c : cases) {
        IsoDateTime r;
        ASSERT_EQ(ParseIsoDateTime(r, c.text), c.back != nullptr) << c.text;
        if (!c.back) {
            EXPECT_EQ(r.hasDate + r.hasTime + r.year + r.month + r.hour, 0) << c.text; // zeroed
            continue;
        }
        EXPECT_EQ(FormatIsoDateTime(r), *c.back ? c.back : c.text);
    }
    IsoDateTime r;
    std::size_t end = 0;
    EXPECT_TRUE(ParseIsoDateTime(r, "2006-01-31  ", end));
    EXPECT_EQ(end, 12u);
    EXPECT_EQ(FormatIsoDateTime(IsoDateTime{}), "");
}

TEST(IsoDate, CountsDaysWeekdaysAndSeconds) {
    struct Case {
        const char* text;
        uint16_t dayOfYear, dayOfWeek;
        int64_t seconds;
    } cases[] = {{"0001-01-01", 1, 2, 0}, // a Monday
                 {"0001-01-02", 2, 3, 86400},
                 {"2006-01-31", 31, 3, 63274262400}, // a Tuesday
                 {"2004-12-31", 366, 6, 63240048000},
                 {"0001-01-01T00:01:00", 1, 2, 60}};
    for (const Case& c : cases) {
        IsoDateTime r;
        ASSERT_TRUE(ParseIsoDateTime(r, c.text));
        DayOfYear(r);
        EXPECT_EQ(std::tuple(r.dayOfYear, r.dayOfWeek, DateTimeToSeconds(r)),
                  std::tuple(c.dayOfYear, c.dayOfWeek, c.seconds))
            << c.text;
    }
    IsoDateTime time;
    ASSERT_TRUE(ParseIsoDateTime(time, "00:01:00"));
    EXPECT_EQ(DateTimeToSeconds(time), 60);
}

TEST(IsoDate, FloorDivisionAndMonthLengths) {
    for (auto [a, b, q] : {std::tuple{-7, 2, -4},
                           {7, -2, -4},
                           {-6, 2, -3},
                           {7, 2, 3},
                           {INT_MIN, -1, INT_MAX},
                           {5, 0, 0}})
        EXPECT_EQ(FloorDiv(a, b), q) << a << " / " << b;
    // The order is fixed by the types; integers or swapped arguments do not compile.
    static_assert(!std::is_invocable_v<decltype(DaysInMonth), Month, Year>);
    static_assert(!std::is_invocable_v<decltype(DaysInMonth), int32_t, int32_t>);
    // Months outside 1..12 count into the years before and after.
    for (auto [year, month, days] :
         {std::tuple{2004, 2, 29}, {2005, 2, 28}, {2003, 14, 29}, {2005, 0, 31}, {2005, -10, 29}})
        EXPECT_EQ(DaysInMonth(Year(year), Month(month)), days) << year << "-" << month;
    EXPECT_EQ(DaysInMonth(Year(2005), Month(INT_MIN)),
              DaysInMonth(Year(2005), Month(INT_MIN))); // no overflow trap
}

TEST(IsoDate, AddsDurationsByTheSchemaRules) {
    struct Case {
        const char* start;
        const char* duration;
        const char* result; // null: refused
    } cases[] = {
        {"2005-01-31", "P1M", "2005-02-28"},
        {"2005-03-01", "-P1D", "2005-02-28"},
        {"23:30:00", "PT1H", "00:30:00"},
        {"13:00:00", "P1D", nullptr},
        {"2005-01-01", "PT1H", nullptr},
        {"2004-02-29", "P1Y", "2005-02-28"},
        {"2005-12-31T23:59:59", "PT1S", "2006-01-01T00:00:00"},
        {"2005-01-01T00:00:00.500", "-PT0.600S", "2004-12-31T23:59:59.900"},
        {"2006-01-31", "P100000D", "2279-11-16"},
        {"2006-01-31T10:00:00+02:00", "PT1H", "2006-01-31T11:00:00+02:00"},
        {"2006-01-31", "P", "2006-01-31"},
        {"50000-12-31", "P1D", nullptr}, // outside the calendar: refused, nothing wraps
        {"0001-01-01", "-P1D", nullptr},
        {"2006-01-31", "P214748353Y", nullptr},
        {"2006-01-31", "-P214748353Y", nullptr},
        {"2006-01-31", "P214748353M", nullptr},
        {"2006-01-31", "P214748353D", nullptr},
        {"2006-01-31T00:00:00", "-PT214748353H", nullptr},
    };
    for (const Case& c : cases) {
        std::string out = "untouched";
        bool ok = AddDurationText(c.start, c.duration, out);
        EXPECT_EQ(ok, c.result != nullptr) << c.start << " + " << c.duration;
        EXPECT_EQ(out, c.result ? c.result : "untouched") << c.start << " + " << c.duration;
    }
}

TEST(IsoDate, YearArithmeticFailsCleanlyOutsideTheCalendar) {
    // Records built by hand, beyond anything the parser accepts, saturate nothing and
    // fail instead of wrapping.
    IsoDateTime start;
    start.hasDate = 1;
    start.year = INT_MAX;
    start.month = 12;
    start.day = 31;
    IsoDuration d;
    d.years = 214748353;
    IsoDateTime result;
    result.year = 7;
    EXPECT_FALSE(AddToDateTime(start, d, result));
    EXPECT_EQ(result.year, 7);
    start.year = INT_MIN;
    d.negative = 1;
    EXPECT_FALSE(AddToDateTime(start, d, result));
}

} // namespace vl
