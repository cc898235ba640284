#include "functiontestutil.h"

namespace vl::test {

TEST(IntegerFunctions, FactorialsAndCombinations) {
    CheckFormulas({
        {"=FACT(6)", "720"},
        {"=FACT(170)", "7.257415615308e+306"},
        {"=FACT(171)", "#NUM!"},
        {"=FACT(0)", "#NUM!"},
        {"=FACT(5.5)", "720"},
        {"=FACT(1)", "1"},
        {"=FACTDOUBLE(6)", "48"},
        {"=FACTDOUBLE(7)", "105"},
        {"=FACTDOUBLE(171)", "#NUM!"},
        {"=COMBIN(8,2)", "28"},
        {"=COMBIN(2,8)", "#NUM!"},
        {"=COMBIN(8,8)", "1"},
        {"=COMBIN(170,85)", "9.1448418451316e+049"},
        {"=COMBIN2(8,2)", "36"},
        {"=COMBIN2(2,8)", "#NUM!"},
        {"=COMBIN(8,0)", "#NUM!"},
        // The order of n and k is looked at before the arguments' own errors.
        {"=COMBIN(1/0,8)", "#NUM!"},
        {"=COMBIN(8,1/0)", "#DIV/0!"},
        {"=MULTINOMIAL(2,3,4)", "1260"},
        {"=MULTINOMIAL({2,3},4)", "1260"},
        {"=MULTINOMIAL(170)", "1"},
        {"=MULTINOMIAL(0)", "#NUM!"},
        {"=MULTINOMIAL(85,85)", "9.1448418451316e+049"},
        // The sum's factorial would no longer be finite.
        {"=MULTINOMIAL(100,71)", "#NUM!"},
        {"=MULTINOMIAL(2147483647)", "#NUM!"},
        {"=MULTINOMIAL(2,\"x\")", "#NUM!"},
    });
}

TEST(IntegerFunctions, DivisorsAndMultiples) {
    FunctionBook book;
    book.Number("A1", 6);
    book.Text("A3", "9");
    book.Check({
        {"=GCD(32,24)", "8"},
        {"=GCD({24,64,32},128)", "8"},
        {"=GCD(0,0)", "#NUM!"},
        {"=GCD(0,5)", "5"},
        {"=GCD(4,-6)", "2"},
        {"=GCD(-4,-6)", "2"},
        {"=GCD(-7)", "7"},
        {"=GCD(A1:A3)", "3"},
        {"=GCD(A2:A2)", "#NUM!"},
        {"=GCD(5,1/0)", "#DIV/0!"},
        {"=LCM(8,7)", "56"},
        {"=LCM({16,44,32},11)", "352"},
        {"=LCM(65536,65535)", "4294901760"},
        {"=LCM(A1:A3)", "18"},
        {"=LCM(5,0)", "#NUM!"},
        {"=LCM(5,-2)", "#NUM!"},
        {"=LCM(0)", "#NUM!"},
        // Past 64 bits: 2147483647, 2147483629 and 2147483587 are primes.
        {"=LCM(2147483647,2147483629)", "4.6116859754777e+018"},
        {"=LCM(2147483647,2147483629,2147483587)", "#NUM!"},
        {"=QUOTIENT(5,2)", "2"},
        {"=QUOTIENT(-10,3)", "-3"},
        {"=QUOTIENT(-1,3)", "0"},
        {"=QUOTIENT(1,0)", "#DIV/0!"},
        {"=MOD(10,3)", "1"},
        {"=MOD(-3,2)", "-1"},
        {"=MOD(3,-2)", "1"},
        {"=MOD(-3,-2)", "-1"},
        {"=MOD(-4,2)", "0"},
        {"=MOD(1,0)", "#DIV/0!"},
        {"=MOD({7,8},3)", "{1, 2}"},
    });
}

} // namespace vl::test
