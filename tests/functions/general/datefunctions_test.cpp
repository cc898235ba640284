#include "functions/general/datefunctions.h"
#include "functiontestutil.h"
#include "tests/core/fixedclock.h"
#include "values/localtime.h"

#include <optional>
#include <string>

namespace vl::test {

TEST(DateFunctions, BuildingAndReadingDates) {
    CheckFormulas({
        {"=DATE(2005,7,15)", "2005-07-15"},
        {"=DATE(2005,2,29)", "2005-03-01"},
        {"=DATE(2004,2,29)", "2004-02-29"},
        {"=DATE(40000,1,1)", "40000-01-01"},
        {"=DATE(50001,1,1)", "#NUM!"},
        {"=DATE(50000,12,31)", "50000-12-31"},
        {"=DATE(2005,13,1)", "2006-01-01"},
        {"=DATE(2005,1,)", "2004-12-31"},
        {"=DATE(,1,1)", "#NUM!"},
        {"=DATE(2005,,1)", "2004-12-01"},
        {"=DATE(1,-1073741824,1)", "#NUM!"},
        {"=DATE(1,1073741825,1)", "#NUM!"},
        {"=DATE(2005,1)", "#SYNTAX!"},
        {"=DATE(1/0,13,1)", "#DIV/0!"},
        {"=TIME(16,20,15)", "16:20:15"},
        {"=TIME(24,0,0)", "00:00:00"},
        {"=TIME(,,)", "00:00:00"},
        {"=TIME(0,60,0)", "01:00:00"},
        {"=DATEVALUE(\"2005-07-15\")", "2005-07-15"},
        {"=DATEVALUE(\"2005-07-15T10:00:00\")", "2005-07-15T10:00:00"},
        {"=DATEVALUE(\"x\")", "#VALUE!"},
        {"=DATEVALUE(38000)", "#VALUE!"},
        {"=TIMEVALUE(\"16:20:15\")", "16:20:15"},
        {"=TIMEVALUE(\"\")", "#VALUE!"},
        {"=YEAR(\"2005-08-08\")", "2005"},
        {"=MONTH(\"2005-08-08T20:00:01\")", "8"},
        {"=DAY(\"2005-08-09\")", "9"},
        {"=HOUR(\"2005-08-08T20:00:01.01\")", "20"},
        {"=HOUR(\"2005-08-08\")", "#VALUE!"},
        {"=MINUTE(\"12:59:11\")", "59"},
        {"=SECOND(\"12:59:11.999\")", "11"},
        {"=YEAR(\"12:59:11\")", "#VALUE!"},
        {"=YEAR(2005)", "#VALUE!"},
        {"=YEAR(A1)", "#VALUE!"},
        {"=SECOND(A1)", "#VALUE!"},
        {"=YEAR(\"2005-01-01Z\")", "#VALUE!"},
        {"=YEAR(\"2005-1-1\")", "#VALUE!"},
        {"=YEAR(1/0)", "#DIV/0!"},
        {"=YEAR({\"2005-01-01\",\"1999-12-31\"})", "{2005, 1999}"},
    });
}

TEST(DateFunctions, DifferencesAndPeriods) {
    CheckFormulas({
        {"=DATEDIFF(\"2005-01-01\",\"2005-12-31\")", "P364D"},
        {"=DATEDIFF(\"2005-01-01T18:15:10\",\"2005-01-04T12:10:00\")", "P2DT17H54M50S"},
        {"=DATEDIFF(\"2005-01-04T12:10:00\",\"2005-01-01T18:15:10\")", "-P2DT17H54M50S"},
        {"=DATEDIFF(\"10:00:00\",\"11:00:00\")", "PT1H"},
        {"=DATEDIFF(\"2005-01-02\",\"2005-01-01\")", "-P1D"},
        {"=DATEDIFF(\"2005-01-01\",\"2005-01-01\")", "P"},
        {"=DATEDIFF(\"0001-01-01\",\"50000-12-31\")", "P18262124D"},
        {"=DATEDIFF(\"2005-01-01\",A1)", "#VALUE!"},
        {"=EDATE(\"2005-02-15\",4)", "2005-06-15"},
        {"=EDATE(\"2005-01-30\",1)", "2005-02-28"},
        {"=EDATE(\"2005-01-30\",0)", "2005-01-30"},
        {"=EDATE(\"2005-03-31\",-1)", "2005-02-28"},
        {"=EDATE(\"2005-01-30T10:00:00\",13)", "2006-02-28T10:00:00"},
        {"=EDATE(\"10:00:00\",1)", "#VALUE!"},
        {"=EDATE(\"2005-01-30\",214748354)", "#VALUE!"},
        {"=EDATE(\"50000-12-15\",1)", "#VALUE!"},
        {"=EDATE(\"0001-01-15\",-1)", "#VALUE!"},
        {"=EDATE(38000,1)", "#VALUE!"},
        {"=EDATE2(\"2005-03-03\",\"-P30D\")", "2005-02-01"},
        {"=EDATE2(\"2005-02-01\",\"P30D\")", "2005-03-03"},
        {"=EDATE2(\"2005-08-10T15:27:36.10\",\"P10DT3H7M12.95S\")", "2005-08-20T18:34:49.050"},
        {"=EDATE2(\"13:34:22.330\",\"PT1H7M\")", "14:41:22.330"},
        {"=EDATE2(\"13:34:22\",\"P1D\")", "#VALUE!"},
        {"=EDATE2(\"2005-03-03\",\"P\")", "2005-03-03"},
        {"=EDATE2(\"2005-03-03\",\"P1X\")", "#VALUE!"},
        {"=EDATE2(\"50000-12-31\",\"P1D\")", "#VALUE!"},
        {"=EOMONTH(\"2005-01-01\",1)", "2005-02-28"},
        {"=EOMONTH(\"2005-01-01\",-1)", "2004-12-31"},
        {"=EOMONTH(\"2004-01-31\",1)", "2004-02-29"},
        {"=EOMONTH(\"2004-01-31T08:00:00\",0)", "2004-01-31T08:00:00"},
        {"=EOMONTH(\"10:00:00\",0)", "#VALUE!"},
        {"=EOMONTH(A1,0)", "#VALUE!"},
        {"=EOMONTH(\"2005-01-01\",1/0)", "#VALUE!"},
        {"=EOMONTH(\"50000-12-01\",1)", "#VALUE!"},
    });
}

TEST(DateFunctions, WeekdaysAndWeekNumbers) {
    CheckFormulas({
        {"=WEEKDAY(\"2005-01-01\",)", "7"},
        {"=WEEKDAY(\"2005-01-01\",2)", "6"},
        {"=WEEKDAY(\"2005-01-01\",3)", "5"},
        {"=WEEKDAY(\"2005-01-02\",)", "1"},
        {"=WEEKDAY(\"2005-01-02\",2)", "7"},
        {"=WEEKDAY(\"2005-01-02\",3)", "6"},
        {"=WEEKDAY(\"2005-01-03\",3)", "0"},
        {"=WEEKDAY(\"2005-01-01\",4)", "#NUM!"},
        {"=WEEKDAY(A1)", "#VALUE!"},
        {"=WEEKDAY(\"10:00:00\",)", "#VALUE!"},
        {"=WEEKDAY(\"2005-13-01\",4)", "#VALUE!"},
        {"=WEEKDAY(\"0001-01-01\",)", "2"},
        {"=WEEKNUM(\"2005-01-21\",)", "4"},
        {"=WEEKNUM(\"2006-01-01\",)", "1"},
        {"=WEEKNUM(\"2006-01-01\",2)", "1"},
        {"=WEEKNUM(\"2006-01-02\",2)", "2"},
        {"=WEEKNUM(\"2006-01-07\",)", "1"},
        {"=WEEKNUM(\"2006-01-08\",)", "2"},
        {"=WEEKNUM(\"2005-12-31\",)", "53"},
        {"=WEEKNUM(\"2005-01-21\",3)", "#NUM!"},
    });
}

// A date text is read up to 1,027 characters; trailing blanks are allowed.
TEST(DateFunctions, DateTextsLongerThanTheLimitAreRefused) {
    FunctionBook book;
    book.Text("A1", "2005-01-01" + std::string(1027 - 10, ' '));
    book.Text("A2", "2005-01-01" + std::string(1028 - 10, ' '));
    book.Check({
        {"=YEAR(A1)", "2005"},
        {"=YEAR(A2)", "#VALUE!"},
        {"=EDATE(A1,0)", "2005-01-01"},
        {"=EDATE(A2,0)", "#VALUE!"},
        {"=DATEDIFF(A1,A1)", "P"},
        {"=DATEDIFF(A1,A2)", "#VALUE!"},
        {"=DATEVALUE(A2)", "#VALUE!"},
        {"=EOMONTH(A2,0)", "#VALUE!"},
    });
}

TEST(DateFunctions, NowAndTodayReadTheClock) {
    FunctionBook book;
    std::optional<testclock::CFixedClock> clock(std::in_place, 2005, 3, 4, 13, 14, 5);
    book.Check({
        {"=TODAY()", "2005-03-04"},
        {"=NOW()", "13:14:05"},
        {"=NOW(1)", "#SYNTAX!"},
        {"=TODAY(,)", "#SYNTAX!"},
        {"=WEEKDAY(TODAY(),)", "6"},
    });
    clock.reset();
    const IsoDateTime now = LocalDateTime();
    EXPECT_GE(now.year, 2024);
    EXPECT_EQ(book.Eval("=YEAR(TODAY())", "J20"), std::to_string(now.year));
    EXPECT_EQ(book.Eval("=HOUR(NOW())>=0", "J20"), "1");
}

TEST(WorkdayFunctions, CountingWorkingDays) {
    CheckFormulas({
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",)", "21"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",{\"2005-01-12\",\"2005-01-19\"})", "19"},
        // A day off recurs every year on its month and day.
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",{\"2004-01-12\"})", "20"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",{\"2005-01-15\"})", "21"},
        {"=NETWORKDAYS(\"2005-01-31\",\"2005-01-01\",)", "-21"},
        {"=NETWORKDAYS(\"2005-01-03\",\"2005-01-03\",)", "1"},
        {"=NETWORKDAYS(\"2005-01-02\",\"2005-01-02\",)", "0"},
        {"=NETWORKDAYS(\"2004-12-31T23:00:00\",\"2005-01-03T01:00:00\",)", "2"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-12-31\",)", "260"},
        {"=NETWORKDAYS(\"0001-01-01\",\"50000-12-31\",)", "13044375"},
        {"=NETWORKDAYS(\"10:00:00\",\"2005-01-31\",)", "#VALUE!"},
        {"=NETWORKDAYS(\"2005-01-01\",38000,)", "#VALUE!"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",\"2005-01-12\")", "#VALUE!"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",5)", "#VALUE!"},
        {"=NETWORKDAYS(A1,A2)", "#VALUE!"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",1/0)", "#DIV/0!"},
    });
}

TEST(WorkdayFunctions, SteppingWorkingDays) {
    CheckFormulas({
        {"=WORKDAY(\"2005-01-01\",21,)", "2005-01-31"},
        {"=WORKDAY(\"2005-01-01\",19,{\"2005-01-12\",\"2005-01-19\"})", "2005-01-31"},
        {"=WORKDAY(\"2005-01-01\",0,)", "2005-01-01"},
        {"=WORKDAY(\"2005-01-07\",,)", "2005-01-10"},
        {"=WORKDAY(\"2005-01-07T10:30:00\",1,)", "2005-01-10T10:30:00"},
        {"=WORKDAY(\"2005-01-31\",-20,)", "2005-01-03"},
        {"=WORKDAY(\"2005-01-10\",-1,)", "2005-01-07"},
        {"=WORKDAY(\"2005-01-03\",-1,{\"2005-12-31\"})", "2004-12-30"},
        {"=WORKDAY(\"2004-12-30\",1,{\"2005-12-31\"})", "2005-01-03"},
        {"=WORKDAY(\"10:00:00\",1,)", "#NUM!"},
        {"=WORKDAY(\"2005-01-01\",2147483647,)", "#NUM!"},
        {"=WORKDAY(\"0001-01-01\",-2147483647,)", "#NUM!"},
        {"=WORKDAY(\"49999-12-01\",1000,)", "#NUM!"},
        {"=WORKDAY(\"0001-01-05\",-5,)", "#NUM!"},
        {"=WORKDAY(\"0001-01-05\",-4,)", "0001-01-01"},
        {"=WORKDAY(\"0001-01-01\",13044374,)", "50000-12-29"},
        {"=WORKDAY(\"2005-01-01\",\"x\",)", "#NUM!"},
        {"=WORKDAY(\"2005-01-01\",1,\"2005-01-03\")", "#VALUE!"},
        {"=WORKDAY(\"2005-01-01\",{1,2},)", "{\"2005-01-03\", \"2005-01-04\"}"},
    });
}

// The days off are walked from the first cell for every candidate day: a faulty cell
// counts only when a walk reaches it, and then the largest error of the cells wins.
TEST(WorkdayFunctions, FaultyDaysOffCountWhenAWalkReachesThem) {
    FunctionBook book;
    book.Text("A1", "2005-01-12");
    book.Formula("A2", "=1/0");
    book.Formula("A3", "=SQRT(-1)");
    book.Text("A4", "2005-01-13");
    book.Number("B1", 38000);
    book.Text("C1", "2005-01-12");
    book.Text("C3", "2005-01-13");
    ASSERT_TRUE(book.Recalc());
    book.Check({
        {"=NETWORKDAYS(\"2005-01-12\",\"2005-01-12\",A1:A4)", "0"},
        {"=NETWORKDAYS(\"2005-01-13\",\"2005-01-13\",A1:A4)", "#NUM!"},
        {"=NETWORKDAYS(\"2005-01-15\",\"2005-01-16\",A1:A4)", "0"},
        {"=WORKDAY(\"2005-01-11\",1,A1:A4)", "#NUM!"},
        {"=NETWORKDAYS(\"2005-01-12\",\"2005-01-12\",B1:B1)", "#VALUE!"},
        {"=NETWORKDAYS(\"2005-01-11\",\"2005-01-14\",C1:C9)", "2"},
        {"=WORKDAY(\"2005-01-11\",1,C1:C9)", "2005-01-14"},
        {"=NETWORKDAYS(A1:A4,\"2005-01-31\",)", "#VALUE!"},
        // A single cell of days off is a one-cell range.
        {"=NETWORKDAYS(A1,A4,A1)", "1"},
        {"=NETWORKDAYS(A1,A4,A2)", "#DIV/0!"},
        {"=WORKDAY(\"2005-01-11\",1,C1)", "2005-01-13"},
        {"=NETWORKDAYS(A1,A4,)", "2"},
    });
}

} // namespace vl::test

namespace vl::test {

// What the help says of a typed date: a text, no number; the date functions work on it.
TEST(DateFunctions, TypedDatesAreTextsThatTheDateFunctionsTake) {
    CheckFormulas({
        {"=\"2006-01-31\"+1", "#NUM!"},
        {"=EDATE2(\"2006-01-31\",\"P1D\")", "2006-02-01"},
        {"=DATEDIFF(\"2006-01-31\",\"2006-03-01\")", "P29D"},
    });
}

} // namespace vl::test
