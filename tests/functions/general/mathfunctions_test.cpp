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
        {"=LOG(8,0.5)", "#NUM!"},
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

} // namespace vl::test
