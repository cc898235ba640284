// Functions that give texts or arrays fail with an error entry, functions that give numbers
// with a number that carries the error: COUNTA and AVERAGE tell the two apart, so a failed
// DATE must count as a failed LEFT does.
#include "functions/bindall/bindall.h"
#include "tests/functions/numeric/numericbook.h"

namespace vl::test {

namespace {

struct ErrorCase {
    const char* call;
    const char* shown;
    bool entry; // an error entry, or a number that carries the error
};

// Every text-returning and matrix function on an error route, with number-returning
// neighbours whose failures stay numbers.
const ErrorCase kErrorCases[] = {
    // Dates, times and periods.
    {"DATE(50000,12,32)", "#NUM!", true},
    {"DATE(50001,1,1)", "#NUM!", true},
    {"TIME(0,0,-1)", "#NUM!", true},
    {"DATEVALUE(\"x\")", "#VALUE!", true},
    {"TIMEVALUE(\"x\")", "#VALUE!", true},
    {"DATEDIFF(\"2005-1-1\",\"2005-01-02\")", "#VALUE!", true},
    {"EDATE(\"x\",1)", "#VALUE!", true},
    {"EDATE2(\"12:00:00\",\"P1D\")", "#VALUE!", true},
    {"EOMONTH(\"12:00:00\",1)", "#VALUE!", true},
    {"WORKDAY(\"12:00:00\",1,)", "#NUM!", true},
    {"WORKDAY(\"2005-01-01\",1,1)", "#VALUE!", true},
    {"YEAR(\"x\")", "#VALUE!", false},
    {"WEEKDAY(\"2005-01-01\",4)", "#NUM!", false},
    {"NETWORKDAYS(\"x\",\"2005-01-01\",)", "#VALUE!", false},
    // Complex numbers.
    {"COMPLEX(\"a\",1,)", "#NUM!", true},
    {"IMCONJUGATE(\"1 + 2k\")", "#VALUE!", true},
    {"IMCOS(\"x\")", "#VALUE!", true},
    {"IMSIN(\"x\")", "#VALUE!", true},
    {"IMEXP(\"1000\")", "#NUM!", true},
    {"IMLN(\"0\")", "#NUM!", true},
    {"IMLOG10(\"0\")", "#NUM!", true},
    {"IMLOG2(\"0\")", "#NUM!", true},
    {"IMSQRT(\"x\")", "#VALUE!", true},
    {"IMPOWER(\"x\",2)", "#VALUE!", true},
    {"IMDIV(\"1\",\"0\")", "#NUM!", true},
    {"IMSUB(\"x\",\"1\")", "#VALUE!", true},
    {"IMSUM(\"1e308\",\"1e308\")", "#NUM!", true},
    {"IMPRODUCT(\"1\",\"x\")", "#VALUE!", true},
    {"IMABS(\"x\")", "#VALUE!", false},
    {"IMREAL(\"x\")", "#VALUE!", false},
    // Base conversions to text.
    {"DEC2BIN(512,)", "#NUM!", true},
    {"DEC2OCT(1,11)", "#NUM!", true},
    {"DEC2HEX(\"x\",)", "#NUM!", true},
    {"BIN2OCT(\"2\",)", "#VALUE!", true},
    {"BIN2HEX(\"2\",)", "#VALUE!", true},
    {"OCT2BIN(\"1000\",)", "#VALUE!", true},
    {"OCT2HEX(\"8\",)", "#VALUE!", true},
    {"HEX2BIN(\"FFF\",)", "#VALUE!", true},
    {"HEX2OCT(\"G\",)", "#VALUE!", true},
    {"BIN2DEC(\"2\")", "#VALUE!", false},
    // Texts, which already failed this way.
    {"LEFT(\"abc\",-1)", "#NUM!", true},
    {"LEN(1/0)", "#DIV/0!", false},
    // Matrices and regressions.
    {"MTXMLT({1,2},{1,2})", "#VALUE!", true},
    {"MMULT({1,2},{1,2})", "#VALUE!", true},
    {"MTXT(1)", "#VALUE!", true},
    {"MTXDIAG(0,1)", "#NUM!", true},
    {"MTXDIAG(2047,1)", "#REF!", true},
    {"MTXRAND(0,,)", "#NUM!", true},
    {"MTXRAND2(2,,,6,,)", "#NUM!", true},
    {"MTXSERIES(3,1,\"P1D\")", "#VALUE!", true},
    {"MTXGAUSS({1,2;2,4},{1;2},,,1)", "#NULL!", true},
    {"MTXGAUSS({1,2;2,4},,,,6)", "#NULL!", true},
    {"MTXCHL({4,2;2,5},{1;2;3},,1)", "#VALUE!", true},
    {"MTXFWSUBST({1,0;1,1},{1,2})", "#VALUE!", true},
    {"MTXBKSUBST({1,1;0,1},{1,2})", "#VALUE!", true},
    {"MTXSVD({1,2;3,4;5,6},{1;2;3},#N/A!,1)", "#N/A!", true},
    {"MTXLSW({1,2;3,4;5,6},{1;2;3},{1,0;0,1},,1)", "#VALUE!", true},
    {"MTXLSC({1,2;3,4;5,6},{1;2;3},{1,3;1,1},{2;1},,1)", "#VALUE!", true},
    {"POLYREG({1,2,3},{1;2;3},{1;1;1},1,1)", "#VALUE!", true},
    {"POLYPOINTS({1;2},{1,0;0,1},{1;1},7,2,{1},)", "#NUM!", true},
    {"TIMESERIES({11,8;7,2;1,3},1,1,0.8)", "#VALUE!", true},
    {"MINVERSE({1,2;2,4})", "#NULL!", true},
    {"MINVERSE({1,2,3})", "#VALUE!", true},
};

class ErrorEntries : public ::testing::Test {
protected:
    void SetUp() override { BindAllFunctions(); }
    NumericBook book;
};

} // namespace

TEST_F(ErrorEntries, FailedCallsCountAsTheirResultKind) {
    for (const ErrorCase& c : kErrorCases) {
        const std::string inner(c.call);
        EXPECT_EQ(book.Eval("=" + inner, "J20"), c.shown) << c.call;
        // An error entry is not averaged; a failed number's error makes the average fail. No
        // error is a number COUNT counts.
        EXPECT_EQ(book.Eval("=COUNT(" + inner + ")", "J20"), "0") << c.call;
        EXPECT_EQ(book.Eval("=COUNTA(" + inner + ",\"t\")", "J20"), c.entry ? "1" : "2") << c.call;
        EXPECT_EQ(book.Eval("=AVERAGE(5," + inner + ",2)", "J20"), c.entry ? "3.5" : c.shown)
            << c.call;
    }
}

} // namespace vl::test
