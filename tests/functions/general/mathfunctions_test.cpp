#include "formula/functable.h"
#include "functiontestutil.h"

#include <bit>
#include <cmath>

namespace vl::test {

TEST(MathFunctions, ValuesDomainsAndArgumentCounts) {
    CheckFormulas({
        {"=PI()", "3.14159265358979"},
        {"=PI(1)", "#SYNTAX!"},
        {"=ATAN2(1)", "#SYNTAX!"},
        {"=ATAN2(1,2,3)", "#SYNTAX!"},
        {"=ABS()", "#SYNTAX!"},
        {"=LOG(8,2)", "3"},
        {"=LOG(100,)", "2"},
        {"=LOG(8,0.5)", "-3"},
        {"=LOG(0.25,2)", "-2"},
        {"=LOG(8,0)", "#NUM!"},
        {"=LOG(8,-2)", "#NUM!"},
        {"=LOG(8,1)", "#NUM!"},
        {"=LOG(-8,2)", "#NUM!"},
        {"=LOG(1/0,-1)", "#DIV/0!"},
        {"=log10(1000)", "3"},
        {"=LN(0)", "#NUM!"},
        {"=LOG10(-1)", "#NUM!"},
        {"=ACOS(1.0000001)", "#NUM!"},
        {"=ACOS(1)", "0"},
        {"=ACOSH(0.5)", "#NUM!"},
        {"=ACOSH(1)", "0"},
        {"=ATANH(1)", "#NUM!"},
        {"=ATANH(-1)", "#NUM!"},
        {"=ATANH(0)", "0"},
        {"=ASINH(0)", "0"},
        {"=POWER(0,0)", "1"},
        {"=POWER(-8,1/3)", "#NUM!"},
        {"=POWER(2,10)", "1024"},
        {"=POWER(0,-1)", "#NUM!"},
        {"=SIGN(-0.001)", "-1"},
        {"=SIGN(A1)", "0"},
        {"=SIGN(3)", "1"},
        {"=EXP(1000)", "#NUM!"},
        {"=EXP(0)", "1"},
        {"=SQRT(-1)", "#NUM!"},
        {"=SQRT(16)", "4"},
        {"=ABS(\"x\")", "#NUM!"},
        {"=ABS(\" 2 \")", "2"},
        {"=ABS(-2)", "2"},
        {"=ABS(A1)", "0"},
        {"=ATAN2(1/0,SQRT(-1))", "#NUM!"},
        {"=ATAN2(SQRT(-1),1/0)", "#NUM!"},
        {"=DEGREES(PI())", "180"},
        {"=RADIANS(180)=PI()", "1"},
        {"=COS(0)+SIN(0)+TAN(0)+COSH(0)+SINH(0)+TANH(0)+ATAN(0)+ASIN(0)", "2"},
        {"=SQRTPI(1)=SQRT(PI())", "1"},
        // Past the forms that cancel or overflow inside, with the domains kept.
        {"=ASINH(-100000)", "-12.2060726455552"},
        {"=ASINH(-1E+10)", "-23.7189981105004"},
        {"=ASINH(1E-10)*1E+10", "1"},
        {"=ATANH(1E-17)", "1e-017"},
        {"=ACOSH(1E+200)", "461.210165779369"},
        {"=ASINH(1E+200)", "461.210165779369"},
        {"=SQRTPI(1E+308)/1E+154", "1.77245385090552"},
        {"=ACOSH(0.99999999999999)", "#NUM!"},
        {"=ATANH(-1.00000000000001)", "#NUM!"},
    });
}

TEST(MathFunctions, ExactConstantsAsStored) {
    FunctionBook book;
    ASSERT_EQ(EvaluateFormulaText(book.Ctx(), "=PI()", 0, 0), kTokenNumber);
    EXPECT_EQ(std::bit_cast<uint64_t>(book.Ctx().values[1].number), 0x400921FB54442D11u);
    ASSERT_EQ(EvaluateFormulaText(book.Ctx(), "=DEGREES(PI())", 0, 0), kTokenNumber);
    EXPECT_EQ(book.Ctx().values[1].number, 180.00000000000003);
    ASSERT_EQ(EvaluateFormulaText(book.Ctx(), "=RADIANS(180)", 0, 0), kTokenNumber);
    EXPECT_EQ(std::bit_cast<uint64_t>(book.Ctx().values[1].number), 0x400921FB54442D11u);
    const double pi = std::bit_cast<double>(uint64_t(0x400921FB54442D11));
    ASSERT_EQ(EvaluateFormulaText(book.Ctx(), "=ATAN2(1,0)", 0, 0), kTokenNumber);
    EXPECT_DOUBLE_EQ(book.Ctx().values[1].number, std::atan2(1.0, 0.0));
    ASSERT_EQ(EvaluateFormulaText(book.Ctx(), "=ATAN2(0,-1)", 0, 0), kTokenNumber);
    EXPECT_NEAR(book.Ctx().values[1].number, pi, 1e-14);
    ASSERT_EQ(EvaluateFormulaText(book.Ctx(), "=ATAN2(-1,0)", 0, 0), kTokenNumber);
    EXPECT_NEAR(book.Ctx().values[1].number, -pi / 2, 1e-14);
}

TEST(MathFunctions, RangesAndArraysElementByElement) {
    FunctionBook book;
    book.Number("A1", -1);
    book.Number("A2", 2);
    book.Number("A3", -3);
    book.Number("B1", 1);
    book.Number("B2", 1);
    book.Check({
        {"=ABS(A1:A3)", "{1; 2; 3}"},
        {"=ATAN2(A1:A3,B1:B2)", "#VALUE!"},
        {"=POWER(A1:A3,2)", "{1; 4; 9}"},
        {"=POWER({2,3},{3,2})", "{8, 9}"},
        {"=LOG({100,8},{,2})", "{2, 3}"},
        {"=SQRT(A1:A2)", "{#NUM!; 1.4142135623731}"},
        // An empty cell is an element too, read as 0 (or "" by a text function).
        {"=SUM(COS(D1:D10))", "10"},
        {"=COS(D1:D2)", "{1; 1}"},
        {"=ABS(A3:A4)", "{3; 0}"},
        {"=POWER(D1:D3,0)", "{1; 1; 1}"},
        {"=ATAN2(B1:B3,B1:B3)", "{0.785398163397448; 0.785398163397448; 0}"},
        {"=SUM(LEN(D1:D3)+1)", "3"},
        {"=SUM(LEN(UPPER(D1:D2))+1)", "2"},
        {"=SUM(NOT(D1:D2))", "2"},
        {"=D1:D2+D1:D2", "{0; 0}"},
        {"=-A3:A4", "{3; 0}"},
        {"=SUM(D1:E2*D1:E2+1)", "4"},
    });
}

TEST(BuiltinFunctionTable, UnboundRowsAreNotImplementedWhateverTheirArguments) {
    FunctionBook book;
    book.Check({
        {"=DSUM()", "#IMPL!"},
        {"=ROMAN(1)", "#IMPL!"},
        {"=ROMAN(1,2,3,4)", "#IMPL!"},
        {"=T(\"a\",\"b\")", "#IMPL!"},
        {"=1+YIELD(A1:B2,\"x\")", "#IMPL!"},
        {"=SUBTOTAL({1,2},3)&\"x\"", "#IMPL!"},
    });
    EXPECT_EQ(book.Ctx().scratch.arrayCount, 0);
}

TEST(IntegerFunctions, FactorialsAndCombinations) {
    CheckFormulas({
        {"=FACT(6)", "720"},
        {"=FACT(170)", "7.257415615308e+306"},
        {"=FACT(171)", "#NUM!"},
        {"=FACT(0)", "1"},
        {"=FACT(5.5)", "720"},
        {"=FACT(1)", "1"},
        {"=FACTDOUBLE(6)", "48"},
        // A double factorial stays finite up to 300!!, far past 170!.
        {"=FACTDOUBLE(171)", "1.13874262122558e+155"},
        {"=FACTDOUBLE(237)", "1.9141566556666e+231"},
        {"=FACTDOUBLE(300)", "8.15441406938059e+307"},
        {"=FACTDOUBLE(301)", "#NUM!"},
        {"=FACTDOUBLE(0)", "1"},
        {"=COMBIN(8,2)", "28"},
        {"=COMBIN(2,8)", "#NUM!"},
        {"=COMBIN(8,8)", "1"},
        {"=COMBIN(170,85)", "9.14484184513156e+049"},
        {"=COMBIN2(8,2)", "36"},
        {"=COMBIN2(2,8)", "#NUM!"},
        {"=COMBIN(8,0)", "1"},
        // The order of n and k is looked at before the arguments' own errors.
        {"=COMBIN(1/0,8)", "#NUM!"},
        {"=COMBIN(8,1/0)", "#DIV/0!"},
        {"=MULTINOMIAL(2,3,4)", "1260"},
        {"=MULTINOMIAL({2,3},4)", "1260"},
        {"=MULTINOMIAL(170)", "1"},
        {"=MULTINOMIAL(0)", "1"},
        {"=MULTINOMIAL(85,85)", "9.14484184513156e+049"},
        // Past 170 the counts work through binomial coefficients, not factorials.
        {"=MULTINOMIAL(100,71)", "1.56354745182599e+049"},
        {"=MULTINOMIAL(100,100)", "9.05485146561033e+058"},
        {"=MULTINOMIAL(2147483647)", "1"},
        {"=MULTINOMIAL(2147483647,1)", "2147483648"},
        {"=MULTINOMIAL(2147483647,2147483647,2)", "#NUM!"},
        {"=MULTINOMIAL(515,515)", "#NUM!"},
        {"=COMBIN(200,2)", "19900"},
        {"=COMBIN(2147483647,2147483647)", "1"},
        {"=COMBIN(2147483647,2)", "2.30584300599247e+018"},
        {"=COMBIN(1000,500)", "2.70288240945437e+299"},
        {"=COMBIN(1030,515)", "#NUM!"},
        {"=COMBIN(2147483648,1)", "#NUM!"},
        {"=COMBIN2(170,150)", "2.71119285595682e+094"},
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
        {"=GCD(-7)", "7"},
        {"=GCD(A1:A3)", "3"},
        {"=GCD(A2:A2)", "#NUM!"},
        {"=GCD(5,1/0)", "#DIV/0!"},
        {"=LCM(8,7)", "56"},
        {"=LCM({16,44,32},11)", "352"},
        {"=LCM(65536,65535)", "4294901760"},
        {"=LCM(A1:A3)", "18"},
        // 0 is the only multiple of 0; zeros alone have no least common multiple.
        {"=LCM(5,0)", "0"},
        {"=LCM(0,7,3)", "0"},
        {"=LCM(2,0.29)", "0"},
        {"=LCM(0)", "#NUM!"},
        {"=LCM(0,0.4)", "#NUM!"},
        {"=LCM(5,-2)", "#NUM!"},
        {"=LCM(0,-2)", "#NUM!"},
        // Past 64 bits: 2147483647, 2147483629 and 2147483587 are primes.
        {"=LCM(2147483647,2147483629)", "4.61168597547771e+018"},
        {"=LCM(2147483647,2147483629,2147483587)", "9.90351994073648e+027"},
        // Past 128 bits.
        {"=LCM(2147483647,2147483629,2147483587,2147483579,2147483563)", "#NUM!"},
        {"=GCD(4294967296,6442450944)", "2147483648"},
        {"=GCD(9223372036854774784,6)", "2"},
        {"=GCD(9223372036854775808,6)", "#NUM!"},
        {"=QUOTIENT(5,2)", "2"},
        {"=QUOTIENT(-10,3)", "-3"},
        {"=QUOTIENT(1,0)", "#DIV/0!"},
        {"=MOD(10,3)", "1"},
        {"=MOD(-3,2)", "1"},
        {"=MOD(3,-2)", "-1"},
        {"=MOD(-4,2)", "0"},
        {"=MOD(1,0)", "#DIV/0!"},
        {"=MOD({7,8},3)", "{1, 2}"},
    });
}

TEST(RoundingFunctions, DecimalDigits) {
    CheckFormulas({
        {"=ROUND(2.6,)", "3"},
        {"=ROUND(2.15,1)", "2.2"},
        {"=ROUND(2.149,1)", "2.1"},
        {"=ROUND(-1.475,2)", "-1.48"},
        {"=ROUND(123.5,-2)", "100"},
        {"=ROUND(150,-2)", "200"},
        {"=ROUND(-0.001,2)", "0"},
        {"=ROUND(1.5,1.5)", "1.5"},
        {"=ROUND(1.23456789,14)", "1.23456789"},
        {"=ROUND(5E15,-14)", "5e+015"},
        // Digits past 14 round too, as far as a double holds digits.
        {"=ROUND(1,15)", "1"},
        {"=ROUND(1,-15)", "0"},
        {"=ROUND(0.1*3,15)-0.3", "0"},
        {"=ROUND(2/3,16)-2/3", "0"},
        {"=ROUND(1.5,32767)", "1.5"},
        {"=ROUND(1.5,32768)", "#NUM!"},
        {"=ROUND(1.5,-32768)", "0"},
        {"=ROUND(1.5,-32769)", "#NUM!"},
        {"=ROUND(5.5E15,-15)", "6e+015"},
        {"=ROUND(4E15,-16)", "0"},
        {"=ROUNDUP(5,-308)", "1e+308"},
        {"=ROUNDUP(5,-309)", "0"}, // a place past the doubles' tens holds nothing
        {"=ROUND(1)", "1"},
        {"=ROUND(1,2,3)", "#SYNTAX!"},
        {"=ROUND(\"x\",1/0)", "#NUM!"},
        {"=ROUND(1/0,\"x\")", "#NUM!"},
        {"=ROUNDUP(-1.21,1)", "-1.3"},
        {"=ROUNDUP(31415.92654,-2)", "31500"},
        {"=ROUNDDOWN(-1.29,1)", "-1.2"},
        {"=ROUNDDOWN(3.99,)", "3"},
        {"=TRUNC(8.9,)", "8"},
        {"=TRUNC(-8.9,)", "-8"},
        {"=TRUNC(1.256,2)", "1.25"},
        {"=ROUND({1.25,-2.5},{1,0})", "{1.3, -3}"},
        {"=ROUND({1.25,-2.5},{1;0})", "{1.3, -2.5; 1, -3}"},
        // A decimal that already has the digits asked keeps them: its binary representation
        // error is not cut.
        {"=ROUNDDOWN(19.99,2)", "19.99"},
        {"=TRUNC(0.29,2)", "0.29"},
        {"=ROUNDUP(1.1,2)", "1.1"},
        {"=ROUND(0.285,2)", "0.29"},
        {"=ROUND(1.005,2)", "1.01"},
        {"=ROUND(-2.675,2)", "-2.68"},
        {"=ROUNDDOWN(-19.99,2)", "-19.99"},
        {"=ROUNDUP(0.1+0.2,1)", "0.3"},
        {"=ROUNDDOWN(1E8+0.29,2)", "100000000.29"},
        {"=ROUNDUP(1.0000000000000002,0)", "1"},
        {"=ROUNDDOWN(0.99999999999999989,1)", "1"},
        // A real difference in the 15th digit is cut.
        {"=ROUNDUP(1.00000000000002,0)", "2"},
        {"=ROUNDDOWN(1.99999999999999,13)", "1.9999999999999"},
        {"=TRUNC(123456789012345.7,)", "123456789012345"},
    });
}

// Scaling a magnitude near the largest double by 10^digits overflows; such a number has
// no digits left to round there and stays as it is.
TEST(RoundingFunctions, HugeMagnitudesKeepTheirValue) {
    CheckFormulas({
        {"=ROUND(1E300,2)", "1e+300"},
        {"=ROUNDUP(-1.5E308,14)", "-1.5e+308"},
        {"=TRUNC(1.7E308,1)", "1.7e+308"},
        {"=ROUND(1.7E308,-2)", "1.7e+308"},
    });
}

TEST(RoundingFunctions, Multiples) {
    CheckFormulas({
        {"=MROUND(10,3)", "9"},        {"=MROUND(1.3,0.2)", "1.4"},
        {"=MROUND(-10,-3)", "-9"},     {"=MROUND(-1.3,-0.2)", "-1.4"},
        {"=MROUND(-10,3)", "#NUM!"},   {"=MROUND(10,-3)", "#NUM!"},
        {"=MROUND(0,-3)", "0"},        {"=MROUND(5,0)", "#DIV/0!"},
        {"=MROUND(-0.2,-1)", "0"},     {"=MROUND(7.5,)", "8"},
        {"=MROUND(\"a\",0)", "#NUM!"}, {"=CEILING(5.1,1)", "6"},
        {"=CEILING(-5.1,1)", "-6"},    {"=CEILING(4.42,0.05)", "4.45"},
        {"=CEILING(5,-1)", "#NUM!"},   {"=CEILING(5,0)", "#DIV/0!"},
        {"=CEILING(2.5,)", "3"},       {"=FLOOR(5.1,1)", "5"},
        {"=FLOOR(-5.1,1)", "-5"},      {"=FLOOR(-0.5,1)", "0"},
        {"=FLOOR(5,0)", "#DIV/0!"},    {"=FLOOR(1E308,1E-10)", "#NUM!"},
        {"=FLOOR(0.3,0.1)", "0.3"},    {"=CEILING(0.07,0.01)", "0.07"},
        {"=FLOOR(-0.7,0.1)", "-0.7"},  {"=CEILING(0.6,0.2)", "0.6"},
        {"=FLOOR(0.29,0.01)", "0.29"}, {"=CEILING(0.31,0.1)", "0.4"},
    });
}

TEST(RoundingFunctions, EvenOddAndInt) {
    CheckFormulas({
        {"=EVEN(1.5)", "2"},
        {"=EVEN(-1)", "-2"},
        {"=EVEN(0)", "0"},
        {"=EVEN(2.5)", "4"},
        {"=EVEN(4)", "4"},
        {"=ODD(6)", "7"},
        {"=ODD(-4)", "-5"},
        {"=ODD(0)", "1"},
        {"=ODD(7)", "7"},
        {"=ODD(-7)", "-7"},
        {"=ODD(3.5)", "5"},
        {"=ODD(2.5)", "3"},
        {"=ODD(0.5)", "1"},
        {"=ODD(-2.5)", "-3"},
        {"=ODD(-0.5)", "-1"},
        {"=ODD(1.2)", "3"},
        {"=INT(-5.1)", "-6"},
        {"=INT(5.9)", "5"},
        {"=INT()", "#SYNTAX!"},
        {"=INT(A1)", "0"},
        {"=EVEN(\"3\")", "4"},
        {"=INT(0.29*100)", "29"},
        {"=INT(-0.29*100)", "-29"},
        {"=INT(2.9999999999999996)", "3"},
        {"=INT(5.999999999999998)", "6"},
        {"=INT(5.99999999999999)", "5"},
        {"=INT(-1E-20)", "-1"},
        {"=INT(4503599627370495.5)-4503599627370495", "0"},
        {"=INT(1E13+0.99)-1E13", "0"},
        {"=EVEN(2.0000000000000004)", "2"},
        {"=ODD(3.0000000000000004)", "3"},
        {"=EVEN(1.0000000000000002)", "2"},
        {"=ODD(2.9999999999999996)", "3"},
    });
}

TEST(SumFunctions, NumbersRangesAndArrays) {
    FunctionBook book;
    // A column holding 1, the text abc, an error and 2.
    book.Number("A1", 1);
    book.Text("A2", "abc");
    book.Formula("A3", "=1/0");
    book.Number("A4", 2);
    book.Text("B1", "12");
    book.Number("B3", 3);
    book.Formula("C1", "=#N/A!");
    book.Number("C2", 1E300);
    book.Number("C3", 1E300);
    book.Number("E1", 0.1);
    book.Number("E2", 0.2);
    book.Number("E3", -0.3);
    // F1 a formula giving "", F2 a text of blanks, F3 4; G1 empty.
    book.Formula("F1", "=\"\"");
    book.Text("F2", "  ");
    book.Number("F3", 4);
    ASSERT_TRUE(book.Recalc());
    book.Check({
        {"=SUM(3,4,{1,5})", "13"},
        // A text of blanks is no number: left out of ranges and named cells, refused as a constant.
        {"=SUM(F1:F3)", "4"},
        {"=SUM(\"\",1)", "#NUM!"},
        {"=SUM(F1,1)", "1"},
        {"=SUMSQ(\"\",1)", "#NUM!"},
        {"=SUMSQ(F2:F3)", "16"},
        {"=PRODUCT(F1:F3)", "4"},
        {"=PRODUCT(\" \",2)", "#NUM!"},
        // An empty cell named directly is no factor; an omitted argument is 0.
        {"=PRODUCT(G1,3)", "3"},
        {"=PRODUCT(3,)", "0"},
        {"=SUMSQ(G1,3)", "9"},
        {"=SUM(TRUE,1)", "2"},
        {"=SUM()", "#SYNTAX!"},
        {"=SUM(A1:A4)", "#DIV/0!"},
        {"=SUM(B1:B3)", "3"},
        {"=SUM(\"2\",\"x\")", "#NUM!"},
        {"=SUM(1,#N/A!,\"x\")", "#NUM!"},
        {"=SUM(A1:A4,1/0)", "#DIV/0!"},
        {"=PRODUCT(A1:A4)", "#DIV/0!"},
        {"=SUMSQ(A1:A4)", "#DIV/0!"},
        {"=PRODUCT(A1,C1:C1)", "#N/A!"},
        {"=PRODUCT(D1:D9)", "1"},
        {"=SUM(D1:D9)", "0"},
        {"=PRODUCT(2,3,{2,2})", "24"},
        {"=SUMSQ(3,{4})", "25"},
        {"=SUM(C2:C3)", "2e+300"},
        {"=PRODUCT(C2:C3)", "#NUM!"},
        {"=SUMSQ(C2)", "#NUM!"},
        // A running total may pass below the normal range: only the result is tested.
        {"=SUM(1,-9.99999999999999E-301,1E-300)", "1"},
        {"=SUM(1E-307,-9.9E-308)", "#NUM!"},
        // Two terms equal to 15 digits cancel to 0, not to a leftover below the normal range.
        {"=SUM(1E-300,-9.99999999999999E-301)", "0"},
        {"=SUMSQ(1,1E-155)", "1"},
        {"=SUMSQ(1E-160)", "#NUM!"},
        {"=PRODUCT(1E300,1E-10,1E-300)", "0.0000000001"},
        {"=PRODUCT(1E-200,1E200,1E200)", "1e+200"},
        {"=PRODUCT(1E-300,1E-10)", "#NUM!"},
        {"=PRODUCT(1E-300,1E-300)", "0"},
        {"=PRODUCT(#N/A!,1E300,1E300)", "#NUM!"},
        {"=PRODUCT(#REF!,1E300,1E300)", "#REF!"},
        {"=PRODUCT(#N/A!,1E-300,1E300)", "#N/A!"},
        {"=PRODUCT(1E-300,1E-300,0)", "0"},
        // Terms that cancel leave the small ones' sum exact.
        {"=SUM(1,1E100,1,-1E100)", "2"},
        {"=SUM(1E16,1,-1E16)", "1"},
        // Decimals that cancel to about 15 significant digits leave 0, not a binary leftover;
        // a true small residue stays.
        {"=SUM(0.1,0.2,-0.3)", "0"},
        {"=SUM(0.3,-0.1,-0.2)", "0"},
        {"=SUM(-0.3,0.1,0.2)", "0"},
        {"=SUM(2.2,-1.1,-1.1)", "0"},
        {"=SUM({0.1,0.2,-0.3})", "0"},
        {"=SUM(E1:E3)", "0"},
        {"=SUM(E1:E3,0)", "0"},
        {"=SUM(E1:E3,D9)", "0"},
        {"=SUM(0.1*3,-0.3)", "0"},
        {"=SUM(1E16,0.5,-1E16)", "0.5"},
        {"=SUM(1E-20,0.1,-0.1)", "1e-020"},
        {"=SUM(0.1,-0.1,1E-20)", "1e-020"},
        {"=SUM(1E308,-1E308,1E-300)", "1e-300"},
        {"=SUM(1,1E-16,-1)", "1e-016"},
        {"=SUM(1,-1,0.1,0.2,-0.3)", "0"},
        {"=SUM(1E6,0.1,0.1,0.1,-1E6,-0.3)", "0"},
        // Two terms cancel exactly where "-" takes them as equal: below 2^-48 of each.
        {"=SUM(1.0000000000000033,-1)", "0"},
        {"=SUM(1.000000000000003,-1)", "0"},
        {"=SUM(1.0000000000000036,-1)", "3.5527136788005e-015"},
        {"=SUM(0.1,0.2)", "0.3"},
        {"=SUM(1,-4E-14)", "0.99999999999996"},
        {"=SUM(-1E308,1E308,1E308)", "#NUM!"},
        {"=SUM(A1:B4*2)", "#NUM!"},
        // An intersection with one cell is that cell or #NULL!, never both operands.
        {"=SUM(A1:B4_C1)", "#NULL!"},
        {"=SUM(A1:B4_B3)", "3"},
        {"=SUM(A4_A1:B4)", "2"},
        {"=SUM(A4_B4)", "#NULL!"},
        // The products of the cells at the same place, summed.
        {"=SUMPRODUCT({1,3},{2,4})", "14"},
        {"=SUMPRODUCT({1,2;3,4},{5,6;7,8},{1,0;2,1})", "79"},
        {"=SUMPRODUCT({1,\"a\",3},{2,4,5})", "17"},
        {"=SUMPRODUCT({1,2},{1,2,3})", "#VALUE!"},
        {"=SUMPRODUCT({1,2},{1;2})", "#VALUE!"},
        {"=SUMPRODUCT({1E300,1},{1E300,1})", "#NUM!"},
        {"=SUMPRODUCT(A1:A4,A1:A4)", "#DIV/0!"},
        {"=SUMPRODUCT(A1:A4,B1:B4)", "#DIV/0!"},
        {"=SUMPRODUCT(A1:A4)", "#DIV/0!"},
        {"=SUMPRODUCT({1,2},3)", "#VALUE!"},
        // A single cell is a one-cell range, of another shape than two elements; a value is
        // no range.
        {"=SUMPRODUCT({1,2},A1)", "#VALUE!"},
        {"=SUMPRODUCT(A4)", "2"},
        {"=SUMPRODUCT(A4,B3)", "6"},
        {"=SUMPRODUCT({1,2},1)", "#VALUE!"},
        // A reversed range is #REF!, as in SUM.
        {"=SUMPRODUCT(A4:A1)", "#REF!"},
        {"=SUMPRODUCT(A4:A1,A4:A1)", "#REF!"},
        // A failed argument keeps its error wherever it stands; the sound ranges still meet in
        // shape.
        {"=SUMPRODUCT(A4:A1,A1:A4)", "#REF!"},
        {"=SUMPRODUCT(A1:A4,A4:A1)", "#REF!"},
        {"=SUMPRODUCT(A1:A4,B1:B4,A4:A1)", "#REF!"},
        {"=SUMPRODUCT({1,2},A1:A4,A4:A1)", "#VALUE!"},
        {"=SUM(A4:A1)", "#REF!"},
        {"=SUMX2MY2({2,5},{6,1})", "-8"},
        {"=SUMX2MY2({2,5},{6})", "#VALUE!"},
        {"=SUMX2PY2({1,2},{3,4})", "30"},
        {"=SUMXMY2({1,2},{3,5})", "13"},
        {"=SUMXMY2({1;2},{3,5})", "#VALUE!"},
        {"=SUMXMY2(A1:A4,{0})", "#VALUE!"},
        {"=SUMXMY2(1,{0})", "#VALUE!"},
        {"=SERIESSUM(2,0,1,{5,2,0,3})", "33"},
        {"=SERIESSUM(2,0,1,5)", "#VALUE!"},
        {"=SERIESSUM({1,2},0,1,{1,1})", "{2, 3}"},
        {"=SERIESSUM(2,0,1,A1:A4)", "#NUM!"},
        {"=SERIESSUM(2,1,2,{1,,1})", "10"},
    });
    EXPECT_EQ(book.Ctx().scratch.arrayCount, 0);
}

// A range's walk goes on after a cell's error, so a later cell's larger code is the result
// whichever order the cells stand in.
TEST(SumFunctions, LaterLargerErrorWins) {
    FunctionBook book;
    book.Text("A1", "abc");
    book.Formula("A2", "=#REF!");
    book.Formula("B1", "=#REF!");
    book.Text("B2", "abc");
    book.Text("C1", "abc");
    book.Formula("C2", "=INDEX(E1:E2,5,1)");
    book.Number("D1", 1);
    book.Text("D2", "abc");
    book.Formula("D3", "=#REF!");
    book.Number("D4", 2);
    book.Number("E1", 1);
    book.Number("E2", 1);
    ASSERT_TRUE(book.Recalc());
    book.Check({
        {"=C2", "#REF!"},
        {"=PRODUCT(A1:A2)", "#REF!"},
        {"=PRODUCT(B1:B2)", "#REF!"},
        {"=PRODUCT(C1:C2)", "#REF!"},
        {"=SUMSQ(D1:D4)", "#REF!"},
        {"=SUMSQ(A1:A2)", "#REF!"},
        {"=SUMXMY2(A1:A2,E1:E2)", "#REF!"},
        {"=SUMXMY2(E1:E2,A1:A2)", "#REF!"},
        {"=SUMX2MY2(A1:A2,E1:E2)", "#REF!"},
        {"=SUMX2PY2(E1:E2,B1:B2)", "#REF!"},
        {"=SUMX2PY2(E1:E2,A1:A1)", "#VALUE!"},
        // SUM leaves the text out and takes the error.
        {"=SUM(D1:D4)", "#REF!"},
    });
}

TEST(ConditionalFunctions, CriteriaFormsAndWildcards) {
    FunctionBook book;
    book.Text("A1", "2");
    book.Number("A2", 0);
    book.Number("A3", -1);
    book.Text("A4", "abc");
    book.Text("A5", "ABD");
    book.Formula("A6", "=1/0");
    ASSERT_TRUE(book.Recalc());
    book.Check({
        {"=COUNTIF({1,2;3,4},2)", "1"},
        {"=COUNTIF({1,2;3,4},\">2\")", "2"},
        {"=COUNTIF({1,2;3,4},\">=2\")", "3"},
        {"=COUNTIF({1,2;3,4},\"<2\")", "1"},
        {"=COUNTIF({1,2;3,4},\"<=2\")", "2"},
        {"=COUNTIF({1,2;3,4},\"=3\")", "1"},
        {"=COUNTIF({1,2;3,4},\" 3 \")", "1"},
        {"=COUNTIF({\"abcde\",\"def\";\"abc\",\"a\"},\"?bc*\")", "2"},
        {"=COUNTIF({\"ABcde\",\"def\";\"Bc\",\"a\"},\">=bc\")", "2"},
        {"=COUNTIF({1,2;\"a\",#N/A!;3,#N/A!},#N/A!)", "2"},
        {"=COUNTIF(A1:A6,2)", "1"},
        {"=COUNTIF(A1:A6,\"abc\")", "1"},
        {"=COUNTIF(A1:A6,\"AB?\")", "2"},
        {"=COUNTIF(A1:A6,\"*\")", "3"},
        {"=COUNTIF(A1:A6,\"<>\")", "5"},
        {"=COUNTIF(Z1:Z10,\"<>\")", "0"}, // empty cells are not counted as unequal
        {"=COUNTIF(A1:A8,\"<>0\")", "6"},
        {"=COUNTIF(A1:A6,\"<>abc\")", "4"},
        {"=COUNTIF({1,2;3,2},\"<>2\")", "2"},
        {"=COUNTIF({\"ab\",\"b\"},\"<>a*\")", "1"},
        {"=COUNTIF(A1:A6,\"<>#DIV/0!\")", "5"},
        {"=COUNTIF(A1:A6,\"<0\")", "1"},
        {"=COUNTIF(A1:A6,#DIV/0!)", "1"},
        {"=COUNTIF(A1:A6,\"\")", "0"},
        {"=COUNTIF(A1:A6,\"~*\")", "0"},
        // A single cell is a one-cell range.
        {"=COUNTIF(A1,1)", "0"},
        {"=COUNTIF(A4,\"abc\")", "1"},
        {"=COUNTIF(A3,-1)", "1"},
        {"=SUMIF(A3,\"<0\")", "-1"},
        {"=SUMIF(A4,\"abc\",A3)", "-1"},
        {"=SUMIF(A5,\"abc\",A3)", "0"},
        {"=COUNTIF({1},1,1)", "#SYNTAX!"},
        {"=SUMIF({1,2;3,2},2,)", "4"},
        {"=SUMIF({1,2;3,4},\">2\",)", "7"},
        {"=SUMIF({\"abcde\",\"def\";\"abc\",\"a\"},\"?bc*\",{2,4;3,1})", "5"},
        {"=SUMIF({1,2;3,4},\">1\",{10})", "0"},
        {"=SUMIF({1,2;3,4},\"<4\",{10,20})", "30"},
        {"=SUMIF({1,2},#N/A!,)", "#N/A!"},
        {"=SUMIF({1,2},1,5)", "#VALUE!"},
        {"=SUMIF({\"a\",\"b\"},\"?\",{1,\"x\"})", "1"},
        {"=SUMIF({1,2},\">0\",{1E308,1E308})", "#NUM!"},
        {"=SUMIF({1,2;3,4},\"<>2\",)", "8"},
        {"=SUMIF({\"a\",\"b\"},\"<>a\",{1,2})", "2"},
    });
    EXPECT_EQ(book.Ctx().scratch.arrayCount, 0);
}

// Numbers take part only with a criterion whose whole operand is a number: "abc" does not
// count the zeros, "<>" counts every value that is not empty, and "1x" is no number.
TEST(ConditionalFunctions, NumbersMatchOnlyNumericOperands) {
    CheckFormulas({
        {"=COUNTIF({0,0,\"abc\"},\"abc\")", "1"},
        {"=COUNTIF({-1,0,1},\"<>\")", "3"},
        {"=COUNTIF({-1,0,1},\"<>0\")", "2"},
        {"=COUNTIF({-1,0,1},\"<>x\")", "3"},
        {"=COUNTIF({1,2},\"1x\")", "0"},
        {"=COUNTIF({1,2},\">1x\")", "0"},
        {"=SUMIF({0,5},\"abc\",{7,8})", "0"},
    });
}

TEST(ConditionalFunctions, RangesReadFormulaCellsAsPrecedents) {
    FunctionBook book;
    book.Formula("A1", "=COUNTIF(A2:A4,\">1\")+SUM(A2:A4)");
    book.Formula("A2", "=A3*2");
    book.Formula("A3", "=1");
    book.Number("A4", 5);
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("A1"), "10");
}

} // namespace vl::test
