#include "printedcheck.h"

namespace vl {

using test::FunctionBook;
using test::PrintedCase;

TEST(DepreciationFunctions, Depreciation) {
    static const PrintedCase cases[] = {
        {"=DB(1000000,100000,6,1,7)", "185912.959716189"},
        {"=DB(1000000,100000,6,7,7)", "15867.888384391"},
        {"=DB(1000000,100000,6,8,7)", "#VALUE!"},
        {"=DB(1000000,100000,6,6,)", "46779.926762207", 1e-8},
        {"=DB(1000000,100000,6,7,)", "#VALUE!"},
        {"=DB(1000000,100000,6,1,13)", "#NUM!"},
        {"=DB(0,100000,6,1,)", "#NUM!"},
        {"=DDB(2400,300,3650,1,)", "1.31506849315068"},
        {"=DDB(2400,300,10,2,1.5)", "306"},
        {"=DDB(2400,300,10,10,)", "22.1225472", 1e-9},
        {"=DDB(2400,300,10,11,)", "#VALUE!"},
        {"=DDB(2400,300,10,2,-1)", "#NUM!"},
        {"=SLN(30000,7500,10)", "2250"},
        {"=SLN(30000,7500,2.5)", "7500"},
        {"=SLN(30000,7500,0)", "#NUM!"},
        {"=SYD(30000,7500,10,1)", "4090.909090909"},
        {"=SYD(30000,7500,10,12)", "-409.090909090909"},
        {"=SYD(1000000,0,100000,1)", "19.99980000199998"},
        {"=SYD(1,0,2147483647,1)", "9.31322574615479e-10", 1e-24},
    };
    FunctionBook book;
    test::CheckPrinted(book, cases);
}

// Past 10,000 periods the declining balance is taken in closed form: each further full
// year keeps 1 - rate = 0.1^(1/life) of the last.
TEST(DepreciationFunctions, DecliningBalanceOfManyPeriods) {
    static const PrintedCase cases[] = {
        {"=DB(1000000,100000,20000,10001,)/DB(1000000,100000,20000,10000,)-0.1^(1/20000)", "0",
         1e-12},
        {"=DB(1000000,100000,20000,10002,)/DB(1000000,100000,20000,10001,)-0.1^(1/20000)", "0",
         1e-12},
        {"=DB(1000000,100000,20000,20001,7)/DB(1000000,100000,20000,20000,7)-0.1^(1/20000)*5/12",
         "0", 1e-12},
        {"=DB(1,0.5,2147483647,2147483647,)>0", "1", 0},
    };
    FunctionBook book;
    test::CheckPrinted(book, cases);
}

TEST(DepreciationFunctions, PricesAndRates) {
    static const PrintedCase cases[] = {
        {"=DOLLARDE(1.02,16)", "1.125"},
        {"=DOLLARFR(1.125,16)", "1.02"},
        // As many fraction digits as the denominator has: 1.1 in 32nds is 1 + 10/32.
        {"=DOLLARDE(1.1,32)", "1.3125"},
        {"=DOLLARFR(1.3125,32)", "1.1"},
        {"=DOLLARDE(-1.1,32)", "-1.3125"},
        {"=DOLLARFR(-1.3125,32)", "-1.1"},
        {"=DOLLARFR(0.99,16)", "0.16"},
        {"=DOLLARDE(0.16,16)", "1"},
        {"=DOLLARDE(1.5,)", "6"},
        {"=DOLLARDE(1.125,16)", "1.78125"},
        {"=DOLLARDE(1.05,10)", "1.5"},
        {"=DOLLARFR(1.5,10)", "1.05"},
        {"=DOLLARDE(1.5,2147483647)", "3.3283064376229", 1e-12},
        {"=DOLLARDE(2147483647,2147483647)", "2147483647"},
        {"=DOLLARDE(1.02,0)", "#NUM!"},
        {"=DOLLARDE(3E9,16)", "#NUM!"},
        {"=EFFECT(5.25%,4)", "0.05354266737076"},
        {"=NOMINAL(5.3543%,4)", "0.05250031986836"},
        {"=EFFECT(5.25%,0)", "#NUM!"},
        {"=NOMINAL(5.25%,0)", "#NUM!"},
        {"=NOMINAL(0,0)", "#NUM!"},
        {"=EFFECT(-5.25%,4)", "#NUM!"},
        {"=FVSCHEDULE(1,{0.09,0.11,0.1})", "1.33089"},
        {"=FVSCHEDULE(1,0.09,{0.11;0.1},)", "1.33089"},
        {"=SUM(FVSCHEDULE({1,2},{0.09,0.11,0.1}))", "3.99267"},
        {"=FVSCHEDULE(1,\"x\")", "#NUM!"},
        {"=FVSCHEDULE(1E300,1E10)", "#NUM!"},
        {"=FVSCHEDULE(1)", "#SYNTAX!"},
    };
    FunctionBook book;
    test::CheckPrinted(book, cases);
}

} // namespace vl
