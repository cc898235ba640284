// Formulas that find what they read only while they run: through the trial evaluations of a
// search, a folder, or a worksheet named in a cell. Calculated before an array whose elements
// they read, they show what the array wrote after one recalculation.
#include "formula/externalref.h"
#include "functions/numeric/numericbuiltins.h"
#include "functiontestutil.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace vl::test {

namespace {

double Value(FunctionBook& book, CWorksheet& sheet, const char* a1) {
    const Place p = At(a1);
    const uint8_t* r = FindCell(sheet.cells, p.row, p.column);
    if (!r || (r[0] & 0xF0) || cell::IsText(r)) {
        ADD_FAILURE() << a1 << " shows " << book.Shown(sheet, a1);
        return NAN;
    }
    return cell::IsNumber(r) ? cell::Number(r) : cell::CachedNumber(r);
}

} // namespace

// F1 reads C2, an element of C1's array, only when V1 is 5 or 10 or more: its own evaluation
// (V1 is 0) reads Z99, the search's trials read C2. The search stands before the array.
TEST(SpreadBuilt, WhatASearchsTrialsReadCountsAsReadByTheSearch) {
    ASSERT_TRUE(BindNumericMethodBuiltins());
    struct Case {
        const char* search;
        const char* objective;
        double tolerance;
    };
    const Case cases[] = {
        {"=ROOT(F1,V1,10,1000,1e-12)", "=V1-INDIRECT(IF(V1>=10,\"C2\",\"Z99\"),1)-10", 1e-9},
        // A one-cell array: the minimum point, which steps of 0.3 from 0 reach.
        {"=MINSIMPLEX(F1,V1:V1,W1:W1,0.3,,,1)", "=(V1-INDIRECT(IF(V1>=5,\"C2\",\"Z99\"),1)-10)^2",
         1e-6},
        // The objective reads the element through a range built from text.
        {"=MINSIMPLEX(F1,V1:V1,W1:W1,0.3,,,1)",
         "=(V1-SUM(INDIRECT(IF(V1>=5,\"C2:C3\",\"Z99\"),1))/2-10)^2", 1e-6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search);
        FunctionBook book;
        book.Formula("A1", c.search);
        book.Formula("F1", c.objective);
        book.Formula("C1", "={1;1;1}*D1");
        book.Number("D1", 1);
        book.Number("V1", 0);
        book.Number("W1", 1);
        // Below 5 the objective falls toward larger values, so the minimiser leaves it.
        book.Number("Z99", 100);
        ASSERT_TRUE(book.Recalc());
        EXPECT_NEAR(Value(book, book.Sheet(), "A1"), 11, c.tolerance);
        book.Number("D1", 20);
        ASSERT_TRUE(book.Recalc());
        EXPECT_NEAR(Value(book, book.Sheet(), "A1"), 30, c.tolerance);
        // A second recalculation finds nothing left to do.
        const double once = Value(book, book.Sheet(), "A1");
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(Value(book, book.Sheet(), "A1"), once);
        EXPECT_EQ(book.Shown("V1"), "0");
    }
}

// The trials of a search read rows 1-7 and 9-21 of column C, thousands of times: the search
// counts as reading those cells, among them C5, an element of the array C5:D5 it stands
// before, and not C8, an element of a counter C8:D8 that reads the search. It shows the trial value
// of the least cell after each change; the counter steps once per recalculation, the first (in
// which it spreads for the first time) too, though it is calculated again after the search:
// that turn reads its elements as they were before.
TEST(SpreadBuilt, ASearchsTrialsOverManyCellsReadThoseCellsOnly) {
    ASSERT_TRUE(BindNumericMethodBuiltins());
    FunctionBook book;
    // The trial value k reads Ck, or C(k+1) past 7, k from 1 to 20.
    book.Formula("A1", "=INT(MINMC(F1,V1:V1,W1:W1,1,21,4000))");
    book.Formula("F1", "=INDIRECT(\"C\"&(INT(V1)+(INT(V1)>7)),1)");
    book.Formula("C5", "={1,2}*D1");
    for (int r = 1; r <= 40; ++r)
        if (r != 5 && r != 8)
            book.Number("C" + std::to_string(r), r <= 21 ? 100 + r % 11 : -1000 - r);
    book.Formula("C8", "={0,0}+IF(D8<50,D8+1,50)+0*A1");
    book.Number("V1", 1);
    book.Number("W1", 1);
    struct Step {
        double d1;
        const char* least;   // the trial value of the least cell
        const char* counter; // D8
    };
    // C5 holds d1; C11 holds 100, the least of the constants read (k is 10).
    const Step steps[] = {
        {1, "5", "1"},  {200, "10", "2"}, {2, "5", "3"}, {300, "10", "4"},
        {-5, "5", "5"}, {-5, "5", "6"}}; // D1 as it was: the search is not calculated again
    for (const Step& step : steps) {
        SCOPED_TRACE(step.d1);
        book.Number("D1", step.d1);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((std::vector<std::string>{book.Shown("A1"), book.Shown("D8")}),
                  (std::vector<std::string>{step.least, step.counter}));
    }
}

// S1 is walked first; its readers reach the array C1 of S2 through a folder, a worksheet
// named in a cell, and a worksheet named in the text, and stay fresh as the array changes.
TEST(SpreadBuilt, ReadersThroughFoldersAndNamesInCellsSeeTheArraysTheyReach) {
    struct Case {
        const char* reader;
        double perUnit; // the reader's value for D1 = 1
    };
    const Case cases[] = {
        {"=SUM('\\F'!C2:C3)", 2 + 20},         // S2 and S3 under F, each with its array
        {"=SUM('\\F'!C3)", 1 + 10},            // one cell of each
        {"=B1!C2*1", 1},                       // B1 holds S2's path
        {"=SUM(B2!C2:C3)", 20},                // B2 holds S3's path
        {"=SUM('\\F\\S2'!C2:C3)", 2},          // the worksheet named in the text
        {"=SUM((\"\\F\\S\"&\"2\")!C2:C3)", 2}, // named by an expression
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reader);
        FunctionBook book;
        CWorksheet& s1 = book.AddSheet("S1");
        book.AddFolder("F");
        CWorksheet& s2 = book.AddSheet("S2", 2);
        CWorksheet& s3 = book.AddSheet("S3", 2);
        book.Formula(s1, "A1", c.reader);
        book.Text(s1, "B1", "\\F\\S2");
        book.Text(s1, "B2", "\\F\\S3");
        book.Formula(s2, "C1", "={1;1;1}*'\\S1'!D1");
        book.Formula(s3, "C1", "={10;10;10}*'\\S1'!D1");
        for (double d : {1.0, 4.0}) {
            book.Number(s1, "D1", d);
            ASSERT_TRUE(book.Recalc());
            EXPECT_EQ(Value(book, s1, "A1"), d * c.perUnit) << d;
        }
        EXPECT_EQ(Value(book, s3, "C3"), 40);
    }
}

} // namespace vl::test

namespace vl::test {

namespace {

CWorkbook* gSelf = nullptr;
CWorkbook* OpenDocument(uint32_t index) {
    return index == 0 ? gSelf : nullptr;
}

} // namespace

// A reference into another workbook file that names this one, open in a window, reads this
// workbook's cells: it sees the array it reaches like any other reader.
TEST(SpreadBuilt, AReferenceThroughTheFileOfThisWorkbookSeesItsArrays) {
    FunctionBook book;
    CWorksheet& s1 = book.AddSheet("S1");
    CWorksheet& s2 = book.AddSheet("S2");
    const std::string path = ::testing::TempDir() + "spreadbuilt_self.vln";
    ASSERT_TRUE(book.Book().stream.Open(path.c_str(), "wb", false, 4096));
    gSelf = &book.Book();
    SetOpenDocumentTable(&OpenDocument);
    book.Formula(s1, "A1", "=SUM('[" + path + "]\\S2'!C2:C3)");
    book.Formula(s2, "C1", "={1;1;1}*'\\S1'!D1");
    for (double d : {1.0, 4.0}) {
        book.Number(s1, "D1", d);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(Value(book, s1, "A1"), 2 * d) << d;
    }
    SetOpenDocumentTable(nullptr);
    gSelf = nullptr;
    book.Book().stream.Close();
    std::remove(path.c_str());
}

} // namespace vl::test
