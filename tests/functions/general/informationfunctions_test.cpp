#include "functiontestutil.h"

namespace vl::test {

TEST(InformationFunctions, TestsTypesAndErrors) {
    FunctionBook book;
    book.Number("A1", 5);
    book.Text("A2", "");
    book.Text("A3", "x");
    book.Formula("A4", "=1/0");
    ASSERT_TRUE(book.Recalc());
    book.Check({
        {"=COUNTBLANK({1,2,3,,},{\"\"},,)", "5"},
        {"=COUNTBLANK(A1)", "0"},
        {"=COUNTBLANK(C9)", "1"},
        {"=COUNTBLANK(A1:A6)", "3"},
        {"=COUNTBLANK(1/0)", "0"},
        // Only a text's error is kept.
        {"=COUNTBLANK(A1,LEFT(\"a\",-1))", "0"},
        {"=COUNTBLANK(A2&\"\",\"x\"+1)", "1"},
        {"=ISBLANK(\"\")", "1"},
        {"=ISBLANK(1/0)", "0"},
        {"=ISBLANK(C9)", "1"},
        {"=ISBLANK(A2)", "1"},
        {"=ISBLANK(A1:A3)", "{0; 1; 0}"},
        // An empty value that carries an error is no blank.
        {"=ISBLANK(LEFT(\"a\",-1))", "0"},
        {"=ISERR(NA())", "0"},
        {"=ISERR(A4)", "1"},
        {"=ISERR(1)", "0"},
        {"=ISERROR(NA())", "1"},
        {"=ISNA(NA())", "1"},
        {"=ISNA(A4)", "0"},
        {"=ERRORTYPE(NA())", "4"},
        {"=ERRORTYPE(A4)", "1"},
        {"=ERRORTYPE(1)", "0"},
        {"=ERRORTYPE({1,#REF!})", "{0, 6}"},
        {"=TYPE(NA())", "16"},
        {"=ISEVEN(12.6)", "0"},
        {"=ISODD(12.6)", "1"},
        {"=ISEVEN(-2)", "1"},
        {"=ISODD(-3)", "1"},
        {"=ISEVEN(\"x\")", "#NUM!"},
        {"=ISEVEN(C9)", "1"},
        {"=ISLOGICAL(0.6)", "1"},
        {"=ISLOGICAL(2)", "0"},
        {"=ISLOGICAL(-0.4)", "1"},
        {"=ISNUMBER(\"9\")", "1"},
        {"=ISNUMBER(\"x\")", "0"},
        {"=ISNUMBER(1/0)", "#DIV/0!"},
        {"=ISNUMBER(A4)", "#DIV/0!"},
        {"=ISNUMBER(C9)", "1"},
        {"=ISNUMBER({1,\"x\"})", "{1, 0}"},
        {"=ISTEXT(1/0)", "#DIV/0!"},
        {"=ISNONTEXT(1/0)", "#DIV/0!"},
        {"=ISTEXT(A3)", "1"},
        {"=ISTEXT(A1)", "0"},
        {"=ISNONTEXT(C9)", "1"},
        {"=ISREF(A1)", "1"},
        {"=ISREF(C9)", "1"},
        {"=ISREF(A1:B2)", "1"},
        {"=ISREF({1,2,3})", "0"},
        {"=ISREF(\"A1\")", "0"},
        {"=N(\"2005\")", "2005"},
        {"=N(\"x\")", "#NUM!"},
        {"=N(C9)", "0"},
        {"=N(A4)", "#DIV/0!"},
        {"=TYPE(A1:B2)", "64"},
        {"=TYPE({1})", "64"},
        {"=TYPE(C9)", "0"},
        {"=TYPE()", "0"},
        {"=TYPE(\"a\")", "2"},
        {"=TYPE(A1)", "1"},
        {"=NA()", "#N/A!"},
        {"=NA(1)", "#SYNTAX!"},
        {"=ISNA()", "#SYNTAX!"},
        {"=COUNTBLANK()", "#SYNTAX!"},
    });
}

// A whole worksheet holds 2,047 x 2,097,152 cells, more than 32 bits count.
TEST(InformationFunctions, CountBlankOverTheWholeWorksheetCountsIn64Bits) {
    FunctionBook book;
    book.Number("A1", 5);
    book.Text("B7", "");
    book.Formula("C9", "=\"\"");
    book.Text("BZS2097152", "x");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Eval("=COUNTBLANK(A:BZS)", "J20"), "4292870142");
    EXPECT_EQ(book.Eval("=COUNTBLANK(1:2097152)", "J20"), "4292870142");
}

} // namespace vl::test
