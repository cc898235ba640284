#include "functiontestutil.h"

#include <string>

namespace vl::test {

TEST(ArrayFunctions, SortUniqueAndTranspose) {
    FunctionBook book;
    book.Check({
        {"=sort({2,\"b\";2,\"a\";3,\"d\";3,\"c\";1,\"e\"},1,1,2,1)", "{5; 2; 1; 4; 3}"},
        {"=sort({3;1;5;2;4},1,1)", "{2; 4; 1; 5; 3}"},
        {"=sort({3;1;5;2;4},1,0)", "{3; 5; 1; 4; 2}"},
        {"=sort({3;1;5;2;4},1,)", "{2; 4; 1; 5; 3}"},
        {"=sort({\"b\",1;\"A\",2;\"c\",0},2,0)", "{2; 1; 3}"},
        // Empty cells last in both directions; errors first.
        {"=sort({3;;1;#N/A!},1,1)", "{4; 3; 1; 2}"},
        {"=sort({3;;1},1,0)", "{1; 3; 2}"},
        {"=sort({3;1},1)", "#SYNTAX!"},
        {"=sort({3;1},1,1,1)", "#VALUE!"},
        {"=sort({3;1},0,1)", "#NUM!"},
        {"=sort({3;1},,1)", "#NUM!"},
        {"=sort({3;1},1,2)", "#NUM!"},
        {"=sort(5,1,1)", "#VALUE!"},
        {"=sort({3;1},1/0,1)", "#DIV/0!"},
        {"=unique({2;3;1;2;5;3;1},1)", "{1; 2; 3; 5}"},
        {"=unique({2;3;1;2;5;3;1},)", "{1; 2; 3; 5}"},
        {"=unique({\"a\";\"b\";\"cd\";\"a\";\"cd\";\"b\";\"d\"},2)",
         "{\"a\", 2; \"b\", 2; \"cd\", 2; \"d\", 1}"},
        {"=index({\"a\";\"b\";\"cd\";\"a\";\"cd\";\"b\";\"d\"},unique({\"a\";\"b\";\"cd\";\"a\";"
         "\"cd\";\"b\";\"d\"},0),)",
         "{\"a\"; \"b\"; \"cd\"; \"d\"}"},
        // A group shows its first value as it came; a text never equals a number.
        {"=unique({\"a\";\"A\"},2)", "{\"a\", 2}"},
        {"=unique({\"A\";\"a\"},2)", "{\"A\", 2}"},
        {"=unique({\"1\";1},2)", "{1, 1; \"1\", 1}"},
        // Equal values group wherever they stand.
        {"=unique({\"banana\";1;-2;2;\"2\";2;-3},2)",
         "{-3, 1; -2, 1; 1, 1; 2, 2; \"2\", 1; \"banana\", 1}"},
        {"=unique({\"banana\";1;-2;2;\"2\";2;-3},0)", "{7; 3; 2; 4; 5; 1}"},
        {"=unique({\" 1\";1;\"1\";\" 1\";-0;0},2)", "{0, 2; 1, 1; \" 1\", 2; \"1\", 1}"},
        // Descending reverses the ascending order, but numbers stay before other texts.
        {"=sort({\"banana\";1;\"-5\";-1;\" 1\"},1,1)", "{3; 4; 2; 5; 1}"},
        {"=sort({\"banana\";1;\"-5\";-1;\" 1\"},1,0)", "{5; 2; 4; 3; 1}"},
        {"=sort({2;1;2;1},1,0)", "{1; 3; 2; 4}"},
        {"=unique({1;2},3)", "#NUM!"},
        {"=unique({1;2})", "{1; 2}"},
        {"=transpose({1,2,3;4,5,6})", "{1, 4; 2, 5; 3, 6}"},
        {"=transpose({1,\"a\"})", "{1; \"a\"}"},
        {"=transpose(1)", "#VALUE!"},
        {"=transpose(1,2)", "#SYNTAX!"},
        {"=COLUMNS(transpose(A1:A2046))", "2046"},
        {"=transpose(A1:A2047)", "#REF!"},
    });
}

TEST(ArrayFunctions, WorksheetCellsWithFormulasEmptiesAndErrors) {
    FunctionBook book;
    book.Number("A1", 2);
    book.Formula("A3", "=NA()");
    book.Text("A4", "x");
    book.Formula("A5", "=1+1");
    book.Formula("A6", "=NA()");
    book.Formula("A7", "=1/0");
    book.Formula("B1", "=\"q\"");
    book.Number("B2", 7);
    // Reached before the cells of column A below it are calculated.
    book.Formula("C1", "=INDEX(UNIQUE(A1:A8,2),3,2)");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("C1"), "2");
    // Each error code is a group of its own, before the values; empty cells take no part.
    EXPECT_EQ(book.Eval("=UNIQUE(A1:A8,2)", "J20"), "{#DIV/0!, 1; #N/A!, 2; 2, 2; \"x\", 1}");
    EXPECT_EQ(book.Eval("=INDEX(A1:A8,SORT(A1:A8,1,1),)", "J20"),
              "{#DIV/0!; #N/A!; #N/A!; 2; 2; \"x\"; ; }");
    EXPECT_EQ(book.Eval("=TRANSPOSE(A1:B2)", "J20"), "{2, ; \"q\", 7}");
}

// Mixed numbers and texts: the result names every row once, so its own numbers sorted are
// 1 to 8 (the row sort's own tests try this on random data).
TEST(ArrayFunctions, SortGivesAPermutationOfMixedRows) {
    const std::string order = "SORT({10;\"9\";8;\"x\";10;\"9\";\"!\";1},1,1)";
    FunctionBook book;
    EXPECT_EQ(book.Eval("=INDEX(" + order + ",SORT(" + order + ",1,1),)", "J20"),
              "{1; 2; 3; 4; 5; 6; 7; 8}");
}

} // namespace vl::test
