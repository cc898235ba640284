#include "functiontestutil.h"

namespace vl::test {

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
    ASSERT_TRUE(book.Recalc());
    book.Check({
        {"=SUM(3,4,{1,5})", "13"},
        {"=SUM(TRUE,1)", "2"},
        {"=SUM()", "#SYNTAX!"},
        {"=SUM(A1:A4)", "3"},
        {"=SUM(B1:B3)", "15"},
        {"=SUM(\"2\",\"x\")", "#NUM!"},
        {"=SUM(1,#N/A!,\"x\")", "#NUM!"},
        {"=SUM(A1:A4,1/0)", "#DIV/0!"},
        {"=PRODUCT(A1:A4)", "#NUM!"},
        {"=SUMSQ(A1:A4)", "#NUM!"},
        {"=PRODUCT(A1,C1:C1)", "#N/A!"},
        {"=PRODUCT(D1:D9)", "1"},
        {"=SUM(D1:D9)", "0"},
        {"=PRODUCT(2,3,{2,2})", "24"},
        {"=SUMSQ(3,{4})", "25"},
        {"=SUM(C2:C3)", "2e+300"},
        {"=PRODUCT(C2:C3)", "#NUM!"},
        {"=SUMSQ(C2)", "#NUM!"},
        {"=SUM(A1:B4*2)", "36"},
        {"=SUMPRODUCT({1,3},{2,4})", "11"},
        {"=SUMPRODUCT(A1:A4)", "2"},
        {"=SUMPRODUCT({1,2},3)", "#VALUE!"},
        {"=SUMPRODUCT({1,2},A1)", "#VALUE!"},
        {"=SUMX2MY2({2,5},{6,1})", "-8"},
        {"=SUMX2MY2({2,5},{6})", "-7"},
        {"=SUMX2PY2({1,2},{3,4})", "30"},
        {"=SUMXMY2({1,2},{3,5})", "13"},
        {"=SUMXMY2({1;2},{3,5})", "33"},
        {"=SUMXMY2(A1:A4,{0})", "#NUM!"},
        {"=SUMXMY2(1,{0})", "#VALUE!"},
        {"=SERIESSUM(2,0,1,{5,2,0,3})", "33"},
        {"=SERIESSUM(2,0,1,5)", "#VALUE!"},
        {"=SERIESSUM({1,2},0,1,{1,1})", "{2, 3}"},
        {"=SERIESSUM(2,0,1,A1:A4)", "#NUM!"},
        {"=SERIESSUM(2,1,2,{1,,1})", "10"},
    });
    EXPECT_EQ(book.Ctx().scratch.arrayCount, 0);
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
        {"=COUNTIF(A1:A6,\"<>\")", "1"},
        {"=COUNTIF(A1:A6,\"<0\")", "1"},
        {"=COUNTIF(A1:A6,#DIV/0!)", "1"},
        {"=COUNTIF(A1:A6,\"\")", "0"},
        {"=COUNTIF(A1:A6,\"~*\")", "0"},
        {"=COUNTIF(A1,1)", "#VALUE!"},
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
    });
    EXPECT_EQ(book.Ctx().scratch.arrayCount, 0);
}

// Numbers take part only with a criterion whose whole operand is a number: "abc" does not
// count the zeros, "<>" is "<" with the operand ">", and "1x" is no number.
TEST(ConditionalFunctions, NumbersMatchOnlyNumericOperands) {
    CheckFormulas({
        {"=COUNTIF({0,0,\"abc\"},\"abc\")", "1"},
        {"=COUNTIF({-1,0,1},\"<>\")", "0"},
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
