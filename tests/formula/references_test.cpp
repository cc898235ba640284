#include "evaltestutil.h"

namespace vl {

using test::TestBook;

namespace {

void Numbers(TestBook& book, CWorksheet& sheet,
             std::initializer_list<std::pair<const char*, double>> cells) {
    for (auto [a1, value] : cells) book.Number(sheet, a1, value);
}

} // namespace

TEST(EvaluateFormulaText, RangesIntersectionsAndArrays) {
    TestBook book;
    Numbers(book, book.Sheet(), {{"A1", 1}, {"B1", 2}, {"A2", 3}, {"A3", 5}, {"B3", 6}});
    book.Text("B2", "x");
    EXPECT_EQ(book.Eval("=A1:B2"), "{1, 2; 3, \"x\"}");
    EXPECT_EQ(book.Eval("=B2:A1"), "#REF!"); // corners are not swapped
    EXPECT_EQ(book.Eval("=B2"), "x");
    EXPECT_EQ(book.Eval("=A1:B2 _ B2:C3"), "x");
    EXPECT_EQ(book.Eval("=A1:A2 _ B1:B2"), "#NULL!");
    EXPECT_EQ(book.Eval("=A1:B3 _ A2:B3"), "{3, \"x\"; 5, 6}");
    // A single cell takes part as a range of one cell, on either side.
    EXPECT_EQ(book.Eval("=A1:B2 _ C1"), "#NULL!");
    EXPECT_EQ(book.Eval("=A1:B3 _ B3"), "6");
    EXPECT_EQ(book.Eval("=A3 _ A1:B3"), "5");
    EXPECT_EQ(book.Eval("=A3 _ B3"), "#NULL!");
    EXPECT_EQ(book.Eval("=B1 _ B1"), "2");
    EXPECT_EQ(book.Eval("=B1:B3 _ (A1:B1 _ B1)"), "2");
    // An operand that is no range (a number, an array, a reversed range) shares no cells.
    EXPECT_EQ(book.Eval("=A1:B2 _ 2"), "#NULL!");
    EXPECT_EQ(book.Eval("={1,2} _ A1:B2"), "#NULL!");
    EXPECT_EQ(book.Eval("=B2:A1 _ A1:B2"), "#NULL!");
    EXPECT_EQ(book.Eval("=\"a\" _ A1:B2&\"b\""), "#NULL!");
    EXPECT_EQ(book.Eval("=A1:A3+B1:B3"), "{3; #NUM!; 11}");
    EXPECT_EQ(book.Eval("=-A1:A2"), "{-1; -3}");
    EXPECT_EQ(book.Eval("={1,2}+{10,20}"), "{11, 22}");
    EXPECT_EQ(book.Eval("={1,2}&\"a\""), "{\"1a\", \"2a\"}");
    EXPECT_EQ(book.Eval("=A1:A2+A1:A3"), "#VALUE!");
    EXPECT_EQ(book.Eval("=A1:A1"), "{1}");
    EXPECT_EQ(book.Eval("={1,0}/{1,0}"), "{1, #DIV/0!}");
}

// An empty cell is a 0 to an operator, as it is outside a range.
TEST(EvaluateFormulaText, EmptyElementsAreZeroToOperators) {
    TestBook book;
    Numbers(book, book.Sheet(), {{"A1", 1}, {"A3", 3}, {"B1", 10}, {"B3", 30}});
    EXPECT_EQ(book.Eval("=A1:A3+B1:B3"), "{11; 0; 33}");
    EXPECT_EQ(book.Eval("=C1:C2*C1:C2"), "{0; 0}");
    EXPECT_EQ(book.Eval("=A1:A3+1"), "{2; 1; 4}");
    EXPECT_EQ(book.Eval("=C1:C3"), "{; ; }");
}

TEST(EvaluateFormulaText, WholeRowsAndColumns) {
    TestBook book;
    Numbers(book, book.Sheet(), {{"A2", 1}, {"C2", 2}, {"A4", 3}});
    EXPECT_EQ(book.Internal("=$2:$3", {0, 0}), "=R2:R3");
    EXPECT_EQ(book.Eval("=2:2 _ C:C"), "2");
    EXPECT_EQ(book.Eval("=2:4 _ A:A"), "{1; ; 3}");
    EXPECT_EQ(book.Eval("=A:A _ 2:2"), "1");
    EXPECT_EQ(book.Eval("=A:A:2:2"), "#REF!");
}

TEST(EvaluateFormulaText, QualifiersFindWorksheetsAndFoldersInAnyCase) {
    TestBook book;
    CWorksheet& s1 = book.AddSheet("Sheet1");
    book.AddFolder("Reports");
    CWorksheet& sales = book.AddSheet("Sales", 2);
    CWorksheet& costs = book.AddSheet("Costs", 2);
    book.AddFolder("Empty", 2);
    book.AddFolder("Old", 2);
    CWorksheet& archive = book.AddSheet("Archive", 3);
    Numbers(book, s1, {{"A1", 1}});
    Numbers(book, sales, {{"A1", 10}, {"A2", 11}});
    Numbers(book, costs, {{"A1", 20}, {"A3", 22}});
    Numbers(book, archive, {{"A1", 30}});
    book.Text(s1, "B1", "Sheet1");

    EXPECT_EQ(book.Eval("='Sheet1'!A1"), "1");
    EXPECT_EQ(book.Eval("=SHEET1!A1"), "1");
    EXPECT_EQ(book.Eval("=B1!A1"), "1"); // the name comes from a cell's text
    EXPECT_EQ(book.Eval("='\\reports\\COSTS'!A3"), "22");
    EXPECT_EQ(book.Eval("=Sales!A1"), "#NAME?"); // Sheet1 is at the top, Sales is not
    EXPECT_EQ(book.Eval("=Nothing!A1"), "#NAME?");
    EXPECT_EQ(book.Eval("='[book.vln]Sheet1'!A1"), "#REF!");
    EXPECT_EQ(book.Eval("=1!A1"), "#VALUE!");
    // A name of nothing but blanks names no item either.
    book.Text(s1, "C1", "   ");
    EXPECT_EQ(book.Eval("=C1!A1"), "#NAME?");
    EXPECT_EQ(book.Eval("=''!A1"), "#NAME?");
    // A path past the longest item path matches nothing and overruns nothing.
    EXPECT_EQ(book.Eval("='\\" + std::string(300, 'x') + "'!A1"), "#NAME?");
    EXPECT_EQ(book.Eval("='" + std::string(1000, 'y') + "'!A1"), "#NAME?");

    // From inside the folder a sibling is found by its name alone.
    book.Book().tree.active = &costs;
    EXPECT_EQ(book.Eval("=Sales!A2"), "11");
    book.Book().tree.active = &s1;

    // Sales, Costs, Empty, Old and Archive: one block of three rows each, folders empty.
    EXPECT_EQ(book.Eval("='\\Reports'!A1:A3"), "{10; 11; ; 20; ; 22; ; ; ; ; ; ; 30; ; }");
    EXPECT_EQ(book.Eval("='\\Reports\\Old'!A1"), "{30}");
    EXPECT_EQ(book.Eval("='\\Reports\\Empty'!A1:A2"), "#REF!");
}

TEST(EvaluateFormulaText, NoFormulaAndUnclosedCalls) {
    TestBook book;
    CEvalContext& ctx = book.Ctx();
    ctx.status = 0;
    EXPECT_EQ(EvaluateFormulaText(ctx, "1+2", 0, 0), 0);
    EXPECT_EQ(ctx.status, 0);
    EXPECT_EQ(book.Eval("=SUM("), "#SYNTAX!");
    EXPECT_EQ(book.Eval("=(1,2)"), "#SYNTAX!");
}

} // namespace vl

namespace vl {

// Ranges on two worksheets share no cell, however their rectangles overlap.
TEST(EvaluateFormulaText, IntersectionOfRangesOnTwoWorksheetsIsNull) {
    TestBook book;
    CWorksheet& first = book.Sheet();
    CWorksheet& other = book.AddSheet("Other");
    Numbers(book, first, {{"B2", 1}});
    Numbers(book, other, {{"B2", 2}});
    EXPECT_EQ(book.Eval("=Other!A1:B2 _ B2:C3"), "#NULL!");
    EXPECT_EQ(book.Eval("=A1:B2 _ (Other!B2:C3)"), "#NULL!");
    EXPECT_EQ(book.Eval("=Other!A1:B2 _ (Other!B2:C3)"), "2");
    EXPECT_EQ(book.Eval("=Sheet1!A1:B2 _ B2:C3"), "1");
}

// A folder's stack of blocks may be exactly as tall as the grid: a whole column over a folder
// of one worksheet reads, down to its last row, and so do two blocks of half the grid; one
// row more gives #REF!.
TEST(EvaluateFormulaText, AFolderStackExactlyAsTallAsTheGridReads) {
    TestBook book;
    book.Sheet();
    book.AddFolder("F");
    CWorksheet& inner = book.AddSheet("Inner", 2);
    book.Number(inner, "A1", 4);
    book.Number(inner, "A2097152", 7);
    CEvalContext& ctx = book.Ctx();
    ctx.worksheetList = book.Book().tree.first;
    ctx.currentCells = &book.Sheet().cells;
    // The error and last row of the result, and its stored cells as (row, number).
    const auto stack = [&](const char* formula) {
        std::vector<std::pair<uint32_t, double>> read;
        const uint16_t kind = EvaluateFormulaText(ctx, formula, 5, 5);
        const FormulaToken& v = ctx.values[1];
        const auto shape = std::tuple(int(v.error), kind == kTokenArray ? v.lastRow : 0u);
        if (kind == kTokenArray && ctx.scratch.arrayCount == 1) {
            CellCursor cursor{kAdvance, ctx.scratch.arrays[0], 0};
            while (const uint8_t* r = NextCellRecord(cursor))
                read.emplace_back(cell::Row(r), cell::Number(r));
        }
        ctx.ReleaseScratchArrays();
        return std::pair(shape, read);
    };
    using Read = std::vector<std::pair<uint32_t, double>>;
    EXPECT_EQ(stack("='\\F'!C1"), std::pair(std::tuple(0, kLastRow), Read{{0, 4}, {kLastRow, 7}}));
    CWorksheet& second = book.AddSheet("Second", 2);
    book.Number(second, "A1", 5);
    EXPECT_EQ(stack("='\\F'!R1C1:R1048576C1"),
              std::pair(std::tuple(0, kLastRow), Read{{0, 4}, {1048576, 5}}));
    EXPECT_EQ(stack("='\\F'!R1C1:R1048577C1").first, std::tuple(int(kErrRef), 0u));
    EXPECT_EQ(stack("='\\F'!C1").first, std::tuple(int(kErrRef), 0u));
}

} // namespace vl
