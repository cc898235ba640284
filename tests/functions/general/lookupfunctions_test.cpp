#include "functiontestutil.h"

namespace vl::test {

TEST(LookupFunctions, MatchTypesOverArrays) {
    FunctionBook book;
    book.Check({
        {"=vLookUp(2,{1,\"a\";2,\"b\";3,\"c\"},2,0)", "b"},
        {"=vLookUp(2.5,{1,\"a\";2,\"b\";3,\"c\"},2,-1)", "c"},
        {"=vLookUp(2.5,{1,\"a\";2,\"b\";3,\"c\"},2,1)", "b"},
        {"=vLookUp(2.5,{1,\"a\";2,\"b\";3,\"c\"},2,)", "b"},
        {"=hLookUp(\"*bc??\",{\"abc\",\"abcde\",\"ac\";1,2,3},2,0)", "2"},
        // Unsorted data: the largest value not above v wherever it stands.
        {"=VLOOKUP(3,{5,\"e\";1,\"a\";3,\"c\";2,\"b\"},2,1)", "c"},
        {"=VLOOKUP(4,{5,\"e\";1,\"a\";3,\"c\";2,\"b\"},2,1)", "c"},
        {"=VLOOKUP(4,{5,\"e\";1,\"a\";3,\"c\";2,\"b\"},2,-1)", "e"},
        {"=VLOOKUP(0,{5,\"e\";1,\"a\"},2,1)", "#N/A!"},
        // Of equal values the first in row order, for every type.
        {"=VLOOKUP(2,{1,\"x\";2,\"y\";2,\"z\"},2,0)", "y"},
        {"=VLOOKUP(2,{1,\"x\";2,\"y\";2,\"z\"},2,1)", "y"},
        {"=VLOOKUP(2,{3,\"x\";2,\"y\";2,\"z\"},2,-1)", "y"},
        {"=VLOOKUP(\"B\",{\"a\",1;\"b\",2},2,0)", "2"},
        {"=VLOOKUP(\"b*\",{\"a\",1;\"bcd\",2},2,0)", "2"},
        {"=VLOOKUP(\"b\",{\"a\",1;\"bcd\",2},2,0)", "#N/A!"},
        // A text looked for meets numbers as their text: "10" sorts before "9".
        {"=VLOOKUP(\"9\",{10,\"ten\";8,\"eight\"},2,1)", "eight"},
        {"=VLOOKUP(\"9\",{10,\"ten\"},2,1)", "ten"},
        // A number looked for reads numeric text and passes over errors and other texts.
        {"=VLOOKUP(2,{\"2\",\"two\"},2,0)", "two"},
        {"=VLOOKUP(2,{#N/A!,\"x\";\"y\",\"z\";2,\"w\"},2,0)", "w"},
        {"=VLOOKUP(\"#N/A!\",{#N/A!,\"x\"},2,0)", "x"},
        {"=VLOOKUP(1,{1,#DIV/0!},2,0)", "#DIV/0!"},
        {"=TYPE(VLOOKUP(1,{1,,3},2,0))", "0"},
        {"=VLOOKUP({1;3},{1,\"a\";3,\"c\"},2,0)", "{\"a\"; \"c\"}"},
        {"=VLOOKUP(9,{1,2},2,0)", "#N/A!"},
        {"=VLOOKUP(2,{1,2},3,0)", "#REF!"},
        {"=VLOOKUP(2,{1,2},0,0)", "#NUM!"},
        {"=VLOOKUP(2,{1,2},,0)", "#NUM!"},
        {"=VLOOKUP(2,{1,2},2,2)", "#NUM!"},
        {"=VLOOKUP(2,{1,2},2)", "#SYNTAX!"},
        {"=VLOOKUP(1/0,{1,2},2,0)", "#DIV/0!"},
        {"=VLOOKUP(1,5,2,0)", "#VALUE!"},
        {"=HLOOKUP(2,{1,2;3,4},3,0)", "#REF!"},
        {"=HLOOKUP(2,{1,2;3,4},2,0)", "4"},
        {"=lookUp(3,{1,5,3,4;\"a\",\"b\",\"c\",\"d\"})", "c"},
        {"=lookUp(3,{1,5,3,4},{\"a\",\"b\",\"c\",\"d\"})", "c"},
        {"=LOOKUP(2,{1,\"a\";2,\"b\";3,\"c\"})", "b"},
        {"=LOOKUP(2.5,{1,2,3},{\"a\",\"b\",\"c\"})", "#N/A!"},
        {"=LOOKUP(2.5,{1,2,3})", "2"},
        {"=LOOKUP(1)", "#SYNTAX!"},
        {"=match(\"b\",{1,2,3;\"a\",\"b\",\"c\"},0)", "5"},
        {"=match(\"*bc??\",{\"abc\",\"abcde\",\"ac\"},0)", "2"},
        // A numeric MATCH compares text cells as 0.
        {"=MATCH(0,{\"x\",1,2},0)", "1"},
        {"=MATCH(2.5,{1,2,3},)", "2"},
        {"=MATCH(2.5,{1,2,3},-1)", "3"},
        {"=MATCH(\"B\",{\"c\",\"a\",\"b\"},1)", "3"},
        {"=MATCH(2,{1,2,3},{0,1})", "{2, 2}"},
        {"=MATCH(4,{1,2,3},0)", "#N/A!"},
        {"=MATCH(4,{1,2,3},-2)", "#NUM!"},
    });
}

TEST(LookupFunctions, WorksheetRangesAndFormulaCells) {
    FunctionBook book;
    book.Number("A1", 1);
    book.Text("B1", "one");
    book.Formula("A2", "=1+1");
    book.Formula("B2", "=\"tw\"&\"o\"");
    book.Number("A3", 3);
    // C1 is reached before A2 and B2 are calculated: the search asks for them first.
    book.Formula("C1", "=VLOOKUP(2,A1:B3,2,0)");
    book.Formula("C2", "=MATCH(3,A1:A3,0)");
    book.Formula("C3", "=HLOOKUP(\"one\",A1:B3,2,0)");
    book.Formula("C4", "=LOOKUP(3,A1:A3,B1:B3)");
    book.Formula("C5", "=VLOOKUP(A9,A1:B3,2,1)");
    // An empty value looked for is the number 0.
    book.Formula("C6", "=VLOOKUP(A9,{0,\"zero\";1,\"one\"},2,0)");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("C1"), "two");
    EXPECT_EQ(book.Shown("C2"), "3");
    EXPECT_EQ(book.Shown("C3"), "two");
    EXPECT_EQ(book.Shown("C4"), "0");
    EXPECT_EQ(book.Shown("C5"), "#N/A!");
    EXPECT_EQ(book.Shown("C6"), "zero");
    EXPECT_EQ(book.Eval("=LOOKUP(3,A1:A3,B1:B3)&\"|\"", "J20"), "|");
    EXPECT_EQ(book.Eval("=LOOKUP(1,A1:A3,B1:B3)", "J20"), "one");
}

} // namespace vl::test
