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
        {"=VLOOKUP(0,{\"\",\"x\";\"  \",\"y\";0,\"z\"},2,0)", "z"},
        {"=VLOOKUP(\"#N/A!\",{#N/A!,\"x\"},2,0)", "x"},
        {"=VLOOKUP(1,{1,#DIV/0!},2,0)", "#DIV/0!"},
        {"=TYPE(VLOOKUP(1,{1,,3},2,0))", "0"},
        {"=VLOOKUP({1;3},{1,\"a\";3,\"c\"},2,0)", "{\"a\"; \"c\"}"},
        {"=VLOOKUP(9,{1,2},2,0)", "#N/A!"},
        {"=VLOOKUP(2,{1,2},3,0)", "#REF!"},
        {"=VLOOKUP(2,{1,2},0,0)", "#NUM!"},
        {"=VLOOKUP(2,{1,2},,0)", "#NUM!"},
        {"=VLOOKUP(2,{1,2},2,2)", "#NUM!"},
        {"=VLOOKUP(2,{1,2},2)", "2"},
        {"=VLOOKUP(1/0,{1,2},2,0)", "#DIV/0!"},
        {"=VLOOKUP(1,5,2,0)", "#VALUE!"},
        {"=HLOOKUP(2,{1,2;3,4},3,0)", "#REF!"},
        {"=HLOOKUP(2,{1,2;3,4},2,0)", "4"},
        {"=lookUp(3,{1,5,3,4;\"a\",\"b\",\"c\",\"d\"})", "c"},
        {"=lookUp(3,{1,5,3,4},{\"a\",\"b\",\"c\",\"d\"})", "c"},
        {"=LOOKUP(2,{1,\"a\";2,\"b\";3,\"c\"})", "b"},
        // Three arguments match exactly, two take the largest not above v; stored workbooks
        // rely on both.
        {"=LOOKUP(2.5,{1,2,3},{\"a\",\"b\",\"c\"})", "#N/A!"},
        {"=LOOKUP(\"b*\",{\"a\",\"bc\"},{1,2})", "2"},
        {"=LOOKUP(2.5,{1,2,3})", "2"},
        {"=LOOKUP(1)", "#SYNTAX!"},
        {"=match(\"b\",{1,2,3;\"a\",\"b\",\"c\"},0)", "5"},
        {"=match(\"*bc??\",{\"abc\",\"abcde\",\"ac\"},0)", "2"},
        // A number looked for never meets a text or an error; a numeric text reads as its
        // number, as in VLOOKUP.
        {"=MATCH(0,{\"x\",1,2},0)", "#N/A!"},
        {"=MATCH(0,{\"x\",1,0},0)", "3"},
        {"=MATCH(0,{#N/A!,\"\",0},0)", "3"},
        {"=MATCH(0.5,{\"x\",1,2},1)", "#N/A!"},
        {"=MATCH(-1,{\"x\",7},-1)", "2"},
        {"=MATCH(3,{1,2,\"x\",3},1)", "4"},
        {"=MATCH(2,{\" 2 \",3},0)", "1"},
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
    // Text and error cells are passed over, searched by the walk and by the index.
    book.Text("D1", "Name");
    book.Number("D2", 5);
    book.Formula("D3", "=1/0");
    book.Number("D4", 0);
    book.Number("D5", 7);
    book.Formula("C7", "=MATCH(0,D1:D5,0)");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("C1"), "two");
    EXPECT_EQ(book.Shown("C2"), "3");
    EXPECT_EQ(book.Shown("C3"), "two");
    EXPECT_EQ(book.Shown("C4"), "0");
    EXPECT_EQ(book.Shown("C5"), "#N/A!");
    EXPECT_EQ(book.Shown("C6"), "zero");
    EXPECT_EQ(book.Shown("C7"), "4");
    EXPECT_EQ(book.Eval("=MATCH(0,D1:D5,0)", "J20"), "4");
    EXPECT_EQ(book.Eval("=MATCH(0,D1:D3,0)", "J20"), "#N/A!");
    EXPECT_EQ(book.Eval("=LOOKUP(3,A1:A3,B1:B3)&\"|\"", "J20"), "|");
    EXPECT_EQ(book.Eval("=LOOKUP(1,A1:A3,B1:B3)", "J20"), "one");
    // A single cell is a one-cell range.
    EXPECT_EQ(book.Eval("=INDEX(B1,1,1)", "J20"), "one");
    EXPECT_EQ(book.Eval("=INDEX(A3,1)", "J20"), "3");
    EXPECT_EQ(book.Eval("=INDEX(A3,2,1)", "J20"), "#REF!");
    EXPECT_EQ(book.Eval("=MATCH(3,A3,0)", "J20"), "1");
    EXPECT_EQ(book.Eval("=MATCH(4,A3)", "J20"), "1");
    EXPECT_EQ(book.Eval("=MATCH(2,A3,0)", "J20"), "#N/A!");
    EXPECT_EQ(book.Eval("=VLOOKUP(1,A1,1,0)", "J20"), "1");
    EXPECT_EQ(book.Eval("=HLOOKUP(\"one\",B1,1,0)", "J20"), "one");
    EXPECT_EQ(book.Eval("=LOOKUP(3,A3,B1)", "J20"), "one");
}

// A result given as one cell runs the way the lookup vector runs: across a row it reads
// along the row, down a column down the column.
TEST(LookupFunctions, AOneCellResultRunsAsTheLookupVector) {
    FunctionBook book;
    for (const char* cell : {"A1", "B1", "C1"}) book.Number(cell, cell[0] - 'A' + 1);
    book.Text("A3", "a");
    book.Text("B3", "b");
    book.Text("C3", "c");
    book.Text("A4", "down 1");
    book.Text("A5", "down 2");
    for (const char* cell : {"E1", "E2", "E3"}) book.Number(cell, cell[1] - '0');
    book.Text("F1", "f1");
    book.Text("F2", "f2");
    book.Text("F3", "f3");
    book.Text("G1", "across 1");
    book.Text("H1", "across 2");
    ASSERT_TRUE(book.Recalc());
    book.Check({
        {"=LOOKUP(3,A1:C1,A3)", "c"},
        {"=LOOKUP(2,A1:C1,A3)", "b"},
        {"=LOOKUP(1,A1:C1,A3)", "a"},
        {"=LOOKUP(3,E1:E3,F1)", "f3"},
        {"=LOOKUP(2,E1:E3,F1)", "f2"},
    });
}

TEST(LogicalFunctions, TruthPrecedenceAndChoice) {
    FunctionBook book;
    book.Number("A1", 1);
    book.Number("A2", 0);
    book.Text("A3", "x");
    book.Check({
        {"=AND(0.4)", "1"},
        {"=AND(0.5)", "1"},
        {"=AND(-0.4)", "1"},
        {"=AND(-1)", "1"},
        {"=AND(2147483647)", "1"},
        {"=AND(2147483647.4)", "1"},
        {"=AND(2147483648)", "1"},
        {"=AND(1,\"10\")", "1"},
        {"=AND(1,\" 0 \")", "0"},
        {"=AND(1,\"x\")", "#NUM!"},
        {"=AND(A1:A3)", "0"},
        {"=OR(A1:A3)", "1"},
        {"=AND(A1:A2)", "0"},
        {"=OR(A1:A2)", "1"},
        {"=AND(C1:C5)", "#N/A!"},
        {"=OR(C1:C5)", "0"},
        {"=AND(,C1)", "0"},
        {"=AND(,1)", "0"},
        {"=AND({1,1;1,0})", "0"},
        {"=OR({0,0},0,{1})", "1"},
        // The larger code wins whatever the order.
        {"=AND(1/0,\"x\")", "#NUM!"},
        {"=AND(\"x\",1/0)", "#NUM!"},
        {"=OR(1,NA())", "#N/A!"},
        {"=AND()", "#SYNTAX!"},
        {"=NOT(\"0\")", "1"},
        {"=NOT(C1)", "1"},
        {"=NOT(3)", "0"},
        {"=NOT(-1)", "0"},
        {"=NOT(A1:A2)", "{0; 1}"},
        {"=NOT(1,2)", "#SYNTAX!"},
        {"=IF(-1,1,2)", "1"},
        {"=IF(0,1/0,2)", "2"},
        {"=IF(1,1/0,2)", "#DIV/0!"},
        {"=IF(1/0,\"a\",\"b\")", "#DIV/0!"},
        {"=IF(1,,5)", "1"},
        {"=IF(0,5,)", "0"},
        {"=IF(\"1\",\"a\",\"b\")", "a"},
        {"=IF(0.4,\"a\",\"b\")", "a"},
        {"=IF(1,\"a\",\"b\")&IF(0,\"c\",\"d\")", "ad"},
        {"=IF(A1:A2,1,2)", "#VALUE!"},
        {"=IF({1,0},1,2)", "{1, 2}"},
        {"=IF({1,0},\"y\",\"n\")", "{\"y\", \"n\"}"},
        {"=IF({1,0},{1,2},3)", "{1, 3}"},
        {"=IF(1,{1,2},\"c\")", "{1, 2}"},
        {"=IF(0,{1,2},\"c\")", "c"},
        {"=IF(0,\"c\",{1,2})", "{1, 2}"},
        {"=SUM(IF(1,A1:A2,0))", "1"},
        {"=IF(1,2)", "2"},
        {"=IF(1,2,3,4)", "#SYNTAX!"},
        {"=TRUE()+FALSE()", "1"},
        {"=TRUE(1)", "#SYNTAX!"},
    });
}

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
        {"=ISBLANK(1/0)", "0"},
        {"=ISBLANK(C9)", "1"},
        // An empty text is a text, though COUNTBLANK counts it.
        {"=ISBLANK(A2)", "0"},
        {"=ISBLANK(\"\")", "0"},
        {"=ISBLANK(A1:A3)", "{0; 0; 0}"},
        // An empty value that carries an error is no blank.
        {"=ISBLANK(LEFT(\"a\",-1))", "0"},
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
        // Every finite number has a parity: rounded first, any even integer beyond 2^53.
        {"=ISEVEN(2147483647)", "0"},
        {"=ISEVEN(2147483648)", "1"},
        {"=ISEVEN(3000000000)", "1"},
        {"=ISODD(-2147483647)", "1"},
        {"=ISEVEN(-2147483648)", "1"},
        {"=ISODD(-2147483649)", "1"},
        {"=ISODD(4503599627370497)", "1"},
        {"=ISEVEN(1E300)", "1"},
        {"=ISODD(-1E300)", "0"},
        {"=ISLOGICAL(3000000000)", "0"},
        {"=ISLOGICAL(-2147483648)", "0"},
        {"=ISLOGICAL(1.4)", "1"},
        // A range gives a result for every cell, the empty ones included.
        {"=SUM(ISBLANK(C1:C10))", "10"},
        {"=SUM(ISNONTEXT(C1:C10))", "10"},
        {"=SUM(ISNUMBER(C1:C10))", "0"},
        {"=SUM(ISEVEN(C1:C10))", "10"},
        {"=SUM(ISBLANK(A1:A6))", "2"},
        {"=ISNONTEXT(A1:A6)", "{1; 0; 0; 1; 1; 1}"},
        {"=ISNUMBER(N(C1:C3))", "{1; 1; 1}"},
        {"=N(A1:A3)", "{5; 0; 0}"},
        {"=ISBLANK(B1:C2)", "{1, 1; 1, 1}"},
        {"=ISTEXT(A2:A6)", "{1; 1; 0; 0; 0}"},
        {"=ISNUMBER(\"9\")", "0"},
        {"=ISNUMBER(\"x\")", "0"},
        {"=ISNUMBER(1/0)", "0"},
        {"=ISNUMBER(A4)", "0"},
        {"=ISNUMBER(C9)", "0"},
        {"=ISNUMBER({1,\"x\"})", "{1, 0}"},
        {"=ISTEXT(1/0)", "0"},
        {"=ISNONTEXT(1/0)", "1"},
        {"=ISTEXT(A3)", "1"},
        {"=ISTEXT(A1)", "0"},
        {"=ISNONTEXT(C9)", "1"},
        {"=ISREF(A1)", "1"},
        {"=ISREF(C9)", "1"},
        {"=ISREF(A1:B2)", "1"},
        {"=ISREF({1,2,3})", "0"},
        {"=ISREF(\"A1\")", "0"},
        {"=N(\"2005\")", "0"},
        {"=N(\"x\")", "0"},
        {"=N(C9)", "0"},
        {"=N(A4)", "#DIV/0!"},
        {"=TYPE(A1:B2)", "64"},
        {"=TYPE({1})", "64"},
        {"=TYPE(C9)", "0"},
        {"=TYPE()", "0"},
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

namespace vl::test {

// A function that walks a range of formula cells itself reads them as this recalculation
// leaves them: in A1 it runs before the cells it reads, which must be calculated first.
TEST(InformationFunctions, WalkedFormulaCellsAreReadRecalculated) {
    struct Case {
        const char* formula;
        const char* whenOne; // D1 = 1
        const char* whenTwo; // D1 = 2
    } cases[] = {
        {"=COUNTBLANK(B1:B3)", "3", "1"},
        {"=MATCH(20,C1:C3,0)", "2", "1"},
        {"=LOOKUP(45,C1:C3)", "30", "40"},
        {"=HLOOKUP(20,C1:C3,1,0)", "#N/A!", "20"},
        {"=VLOOKUP(40,C1:C3,1,0)", "#N/A!", "40"},
        {"=COUNTIF(C1:C3,\">15\")", "2", "3"},
        {"=SUMIF(C1:C3,\">15\",C1:C3)", "50", "120"},
        {"=SUMX2MY2(C1:C3,{1;1;1})", "1397", "5597"},
        {"=SUMPRODUCT(C1:C3,C1:C3)", "1400", "5600"},
        {"=INDEX(C1:C3,2)", "20", "40"},
        {"=INDEX(TRANSPOSE(C1:C3),1,2)", "20", "40"},
        {"=SUM(C1:C3)", "60", "120"},
        {"=XNPV(0,C1:C3,{\"2020-01-01\";\"2020-02-01\";\"2020-03-01\"})", "60", "120"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        FunctionBook book;
        book.Formula("A1", c.formula);
        book.Formula("B1", "=IF(D1=1,\"\",5)");
        book.Formula("B2", "=IF(D1=1,\"\",6)");
        book.Formula("C1", "=D1*10");
        book.Formula("C2", "=D1*20");
        book.Formula("C3", "=D1*30");
        book.Number("D1", 1);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(book.Shown("A1"), c.whenOne);
        book.Number("D1", 2);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(book.Shown("A1"), c.whenTwo);
    }
}

} // namespace vl::test
