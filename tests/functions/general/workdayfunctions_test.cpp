#include "functiontestutil.h"

namespace vl::test {

TEST(WorkdayFunctions, CountingWorkingDays) {
    CheckFormulas({
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",)", "21"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",{\"2005-01-12\",\"2005-01-19\"})", "19"},
        // A day off recurs every year on its month and day.
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",{\"2004-01-12\"})", "20"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",{\"2005-01-15\"})", "21"},
        {"=NETWORKDAYS(\"2005-01-31\",\"2005-01-01\",)", "0"},
        {"=NETWORKDAYS(\"2005-01-03\",\"2005-01-03\",)", "1"},
        {"=NETWORKDAYS(\"2005-01-02\",\"2005-01-02\",)", "0"},
        {"=NETWORKDAYS(\"2004-12-31T23:00:00\",\"2005-01-03T01:00:00\",)", "2"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-12-31\",)", "260"},
        {"=NETWORKDAYS(\"0001-01-01\",\"50000-12-31\",)", "13044375"},
        {"=NETWORKDAYS(\"10:00:00\",\"2005-01-31\",)", "#VALUE!"},
        {"=NETWORKDAYS(\"2005-01-01\",38000,)", "#VALUE!"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",\"2005-01-12\")", "#VALUE!"},
        {"=NETWORKDAYS(\"2005-01-01\",\"2005-01-31\",5)", "#VALUE!"},
        {"=NETWORKDAYS(A1,A2)", "#SYNTAX!"},
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
        {"=NETWORKDAYS(A1,A4,A1)", "#VALUE!"},
        {"=NETWORKDAYS(A1,A4,)", "2"},
    });
}

} // namespace vl::test
