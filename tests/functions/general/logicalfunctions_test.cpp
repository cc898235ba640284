#include "functiontestutil.h"

namespace vl::test {

TEST(LogicalFunctions, TruthPrecedenceAndChoice) {
    FunctionBook book;
    book.Number("A1", 1);
    book.Number("A2", 0);
    book.Text("A3", "x");
    book.Check({
        {"=AND(0.4)", "0"},
        {"=AND(0.5)", "1"},
        {"=AND(-0.4)", "0"},
        {"=AND(-1)", "#NUM!"},
        {"=AND(2147483647)", "1"},
        {"=AND(2147483647.4)", "#NUM!"},
        {"=AND(2147483648)", "#NUM!"},
        {"=AND(1,\"10\")", "1"},
        {"=AND(1,\" 0 \")", "0"},
        {"=AND(1,\"x\")", "#NUM!"},
        {"=AND(A1:A3)", "#NUM!"},
        {"=OR(A1:A3)", "#NUM!"},
        {"=AND(A1:A2)", "0"},
        {"=OR(A1:A2)", "1"},
        {"=AND(C1:C5)", "#N/A!"},
        {"=OR(C1:C5)", "0"},
        {"=AND(,C1)", "#N/A!"},
        {"=AND(,1)", "1"},
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
        {"=NOT(-1)", "#NUM!"},
        {"=NOT(A1:A2)", "{0; 1}"},
        {"=NOT(1,2)", "#SYNTAX!"},
        {"=IF(-1,1,2)", "#NUM!"},
        {"=IF(0,1/0,2)", "2"},
        {"=IF(1,1/0,2)", "#DIV/0!"},
        {"=IF(1/0,\"a\",\"b\")", "#DIV/0!"},
        {"=IF(1,,5)", "1"},
        {"=IF(0,5,)", "0"},
        {"=IF(\"1\",\"a\",\"b\")", "a"},
        {"=IF(0.4,\"a\",\"b\")", "b"},
        {"=IF(1,\"a\",\"b\")&IF(0,\"c\",\"d\")", "ad"},
        {"=IF(A1:A2,1,2)", "#VALUE!"},
        {"=IF({1,0},1,2)", "{1, 2}"},
        {"=IF({1,0},\"y\",\"n\")", "{\"y\", \"n\"}"},
        {"=IF({1,0},{1,2},3)", "#VALUE!"},
        {"=IF(1,{1,2},\"c\")", "{1, 2}"},
        {"=IF(0,{1,2},\"c\")", "c"},
        {"=IF(0,\"c\",{1,2})", "{1, 2}"},
        {"=SUM(IF(1,A1:A2,0))", "1"},
        {"=IF(1,2)", "#SYNTAX!"},
        {"=IF(1,2,3,4)", "#SYNTAX!"},
        {"=TRUE()+FALSE()", "1"},
        {"=TRUE(1)", "#SYNTAX!"},
    });
}

} // namespace vl::test
