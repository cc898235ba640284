// The rounds after the walk follow what each formula read when it was evaluated, not what its
// text names: a branch not taken, a folder or a worksheet named in a cell makes no loop, a
// chain of arrays settles however deep it is, and random numbers are drawn once.
#include "formula/spreadreach.h"
#include "functions/general/randomfunctions.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/random.h"
#include "functions/numeric/statbuiltins.h"
#include "functiontestutil.h"

#include <string>
#include <vector>

namespace vl::test {

namespace {

using Strings = std::vector<std::string>;

std::string Row(int row) {
    return std::to_string(row);
}

// S1 first, then the folder F holding S2; formulas go on S1.
struct FolderBook {
    FunctionBook book;
    CWorksheet& s1 = book.AddSheet("S1");
    CTreeItem& folder = book.AddFolder("F");
    CWorksheet& s2 = book.AddSheet("S2", 2);
};

// `n` arrays laid out bottom-up in column A, four rows apart: the lowest grows with D1, each
// above it grows once the third cell of the one below holds a value.
void AddGrowingChain(FunctionBook& book, CWorksheet& sheet, int n) {
    for (int k = 0; k < n; ++k) {
        const int row = 4 * k + 1;
        const std::string test = k == n - 1 ? "$D$1>0" : "COUNT(A" + Row(row + 6) + ")>0";
        book.Formula(sheet, "A" + Row(row), "=IF(" + test + ",{1;2;3},{1;2})");
    }
}

} // namespace

// A random array reading an array that reads it only in a branch not taken, or through a
// folder, sees that array's new values after one recalculation.
TEST(SpreadReads, ARandomArrayIsNotHeldBackByABranchNotTaken) {
    BindRandomMatrixFunctions();
    const char* const readers[] = {"={1;1;1}*(E6+IF($Z$1,A1,0))", "={1;1;1}*(E6+SUM('\\F'!A1:A2))",
                                   "={1;1;1}*(E6+0*PI())", "={1;1;1}*E6"};
    for (const char* reader : readers) {
        SCOPED_TRACE(reader);
        FolderBook b;
        b.book.Number(b.s1, "Z1", 0);
        b.book.Number(b.s1, "D1", 1);
        b.book.Formula(b.s1, "A1", "=C2:C3+0*RAND()");
        b.book.Formula(b.s1, "C1", reader);
        b.book.Formula(b.s1, "E5", "={1;1}*D1");
        ASSERT_TRUE(b.book.Recalc());
        for (double d : {2.0, 5.0, 3.0}) {
            b.book.Number(b.s1, "D1", d);
            ASSERT_TRUE(b.book.Recalc());
            const std::string v = std::to_string(int(d));
            EXPECT_EQ((Strings{b.book.Shown(b.s1, "C2"), b.book.Shown(b.s1, "A1"),
                               b.book.Shown(b.s1, "A2")}),
                      (Strings{v, v, v}))
                << d;
        }
    }
}

// Two arrays that would read each other only in a branch not taken follow a chain of growing
// arrays to its end in one recalculation, however long the chain.
TEST(SpreadReads, AChainThatOnlyLooksLikeALoopSettles) {
    ASSERT_TRUE(BindStatisticsBuiltins());
    for (int n : {4, 5, 6, 10}) {
        SCOPED_TRACE(n);
        FunctionBook book;
        CWorksheet& s = book.Sheet();
        book.Number("D1", 0);
        book.Number("Z1", 0);
        AddGrowingChain(book, s, n);
        const int row = 4 * n + 7;
        book.Formula("C" + Row(row),
                     "={1;1}*(COUNT(A1:A" + Row(4 * n) + ")+IF($Z$1,E" + Row(row + 1) + ",0))");
        book.Formula("E" + Row(row), "={1;1}*C" + Row(row + 1));
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(book.Shown("E" + Row(row + 1)), std::to_string(2 * n));
        book.Number("D1", 1);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((Strings{book.Shown("C" + Row(row + 1)), book.Shown("E" + Row(row + 1))}),
                  (Strings{std::to_string(3 * n), std::to_string(3 * n)}));
    }
}

// A counter that reads its own element steps once per recalculation whatever else its text
// names but does not read: a branch not taken, a folder, a worksheet named in a cell.
TEST(SpreadReads, ACounterStepsOncePerRecalculationWhateverItsTextNames) {
    const char* const terms[] = {"",
                                 "+IF($Z$1,C1,0)",
                                 "+SUM('\\F'!C1)",
                                 "+SUM(X9!C1)",
                                 "+SUM('\\F\\S2'!C1)",
                                 "+IF($Z$1,SUM('\\F'!C1:C2),0)"};
    for (const char* term : terms) {
        SCOPED_TRACE(term);
        FolderBook b;
        b.book.Number(b.s1, "Z1", 0);
        b.book.Text(b.s1, "X9", "\\F\\S2");
        b.book.Number(b.s2, "C1", 0);
        b.book.Formula(b.s1, "A1", std::string("={0;0}+IF(A2<50,A2+1,50)") + term);
        b.book.Formula(b.s1, "C1", "=A2");
        Strings shown;
        for (int pass = 0; pass < 4; ++pass) {
            ASSERT_TRUE(b.book.Recalc());
            shown.push_back(b.book.Shown(b.s1, "A2"));
        }
        EXPECT_EQ(shown, (Strings{"1", "2", "3", "4"}));
        EXPECT_EQ(b.book.Shown(b.s1, "C1"), "4");
    }
}

// The lowest of a chain of arrays changes; every array above it, and the readers below the
// chain, show the new shapes after one recalculation however deep the chain.
TEST(SpreadReads, ADeepChainOfGrowingArraysSettlesInOneRecalculation) {
    ASSERT_TRUE(BindStatisticsBuiltins());
    for (int n : {2, 63, 64, 65, 66, 100, 300}) {
        SCOPED_TRACE(n);
        FunctionBook book;
        CWorksheet& s = book.Sheet();
        book.Number("D1", 0);
        AddGrowingChain(book, s, n);
        const std::string end = Row(4 * n);
        const std::string below = Row(4 * n + 2);
        book.Formula("A" + below, "=SUM(A1:A" + end + ")");
        book.Formula("B" + below, "=COUNT(A1:A" + end + ")");
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((Strings{book.Shown("A" + below), book.Shown("B" + below)}),
                  (Strings{std::to_string(3 * n), std::to_string(2 * n)}));
        book.Number("D1", 1);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((Strings{book.Shown("A" + below), book.Shown("B" + below), book.Shown("A3")}),
                  (Strings{std::to_string(6 * n), std::to_string(3 * n), "3"}));
        book.Number("D1", 0);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((Strings{book.Shown("A" + below), book.Shown("B" + below), book.Shown("A3")}),
                  (Strings{std::to_string(3 * n), std::to_string(2 * n), "<none>"}));
    }
}

// Two random arrays, one reading an element of the other, draw one number each per
// recalculation once they have spread: the array read first, its reader second, although
// neither array changes its shape.
TEST(SpreadReads, RandomArraysReadingOneAnotherDrawOnceEach) {
    BindRandomMatrixFunctions();
    FunctionBook book;
    book.Formula("B1", "=RAND()*{1;1}+D6*0");
    book.Formula("D5", "=RAND()*{1;1}");
    ASSERT_TRUE(book.Recalc());
    for (int pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        ResetRandomPairs();
        const Strings draws = {book.Eval("=RAND()"), book.Eval("=RAND()"), book.Eval("=RAND()")};
        ResetRandomPairs();
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((Strings{book.Shown("D5"), book.Shown("D6"), book.Shown("B1"), book.Shown("B2"),
                           book.Eval("=RAND()")}),
                  (Strings{draws[0], draws[0], draws[1], draws[1], draws[2]}));
    }
}

// Independent random arrays take their numbers in walk order.
TEST(SpreadReads, IndependentRandomArraysDrawInWalkOrder) {
    BindRandomMatrixFunctions();
    FunctionBook book;
    for (const char* a1 : {"E1", "A1", "C1"}) book.Formula(a1, "=RAND()*{1;1}");
    for (int pass = 0; pass < 2; ++pass) {
        ResetRandomPairs();
        const Strings draws = {book.Eval("=RAND()"), book.Eval("=RAND()"), book.Eval("=RAND()")};
        ResetRandomPairs();
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((Strings{book.Shown("A2"), book.Shown("C2"), book.Shown("E2")}), draws) << pass;
    }
}

// A loop through a formula that may read anything (its worksheet name finds nothing) takes
// the loop's turns: the formula ends each recalculation one above the array it reads.
TEST(SpreadReads, ALoopThroughAFormulaThatMayReadAnything) {
    FunctionBook book;
    book.Formula("A1", "={1;1}*(C1+1)");
    book.Formula("C1", "=IF(ISERROR('\\Nope'!A1),A2+1,0)");
    Strings shown;
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(std::stod(book.Shown("C1")), std::stod(book.Shown("A2")) + 1) << pass;
        shown.push_back(book.Shown("C1"));
    }
    EXPECT_EQ(shown, (Strings{"7", "13", "19"}));
}

// Two formulas of one row build the same reference: both read the array behind it.
TEST(SpreadReads, TwoFormulasBuildingTheSameReferenceBothSeeTheArray) {
    FunctionBook book;
    book.Formula("A1", "=INDIRECT(\"D2\",1)");
    book.Formula("B1", "=INDIRECT(\"D2\",1)");
    book.Formula("D1", "=IF(E1>3,{1;1},1)*E1");
    for (double e : {2.0, 5.0, 2.0, 7.0}) {
        book.Number("E1", e);
        ASSERT_TRUE(book.Recalc());
        const std::string want = e > 3 ? std::to_string(int(e)) : "0";
        EXPECT_EQ((Strings{book.Shown("A1"), book.Shown("B1")}), (Strings{want, want})) << e;
    }
}

// Every function whose result changes on every turn is left by the walk alike: an array of a
// loop that calls one takes one turn per recalculation.
TEST(SpreadReads, EveryVolatileFunctionTakesOneTurnInALoop) {
    BindRandomMatrixFunctions();
    ASSERT_TRUE(BindNumericMethodBuiltins());
    const char* const terms[] = {
        "0*RAND()",       "0*RANDBETWEEN(1,9)",  "0*SECOND(NOW())",
        "0*DAY(TODAY())", "0*SUM(MTXRAND(2,,))", "0*SUM(MTXRAND2(2,,,0,,))"};
    for (const char* term : terms) {
        SCOPED_TRACE(term);
        FunctionBook book;
        book.Formula("A1", std::string("={1;1}*(C2+1+") + term + ")");
        book.Formula("C1", "={1;1}*(A2+1)");
        Strings shown;
        for (int pass = 0; pass < 3; ++pass) {
            ASSERT_TRUE(book.Recalc());
            shown.push_back(book.Shown("A2"));
            shown.push_back(book.Shown("C2"));
        }
        EXPECT_EQ(shown, (Strings{"2", "3", "4", "5", "6", "7"}));
    }
}

} // namespace vl::test

namespace vl::test {

// What a formula's text tells of the cells it reads: a reference through a folder or a
// worksheet named in a cell or by an expression lies on worksheets found only while it is read
// (and noted then), never on the formula's own; one through a worksheet named in the text lies
// on that worksheet; one through a name that finds nothing may read anything.
TEST(SpreadReads, ReferencesThroughFoldersAndNamesInCellsAreNotNotedOnTheOwnWorksheet) {
    struct Case {
        const char* formula;
        bool ownSheet;   // noted as reading S1!A1:A2
        bool namedSheet; // noted as reading S2!A1:A2
        bool everywhere; // counts as reading every cell
        bool builds;     // what it reads is noted while it runs
    };
    const Case cases[] = {
        {"=SUM(A1:A2)", true, false, false, false},
        {"=SUM('\\F'!A1:A2)", false, false, false, true},
        {"=SUM('\\F'!A2)", false, false, false, true},
        {"=SUM(X9!A1:A2)", false, false, false, true},
        {"=SUM(X9!A2)+B7", false, false, false, true},
        {"=SUM('\\F\\S2'!A1:A2)", false, true, false, false},
        {"=SUM('\\F'!A1:A2)+A2", true, false, false, true},
        {"=SUM((\"\\F\\S\"&\"2\")!A1:A2)", false, false, false, true},
        {"=SUM('\\Nope'!A1:A2)", false, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        FolderBook b;
        b.book.Text(b.s1, "X9", "\\F\\S2");
        b.book.Formula(b.s1, "C1", c.formula);
        CFormulaReaches reaches;
        b.book.Ctx().worksheetList = b.book.Book().tree.first;
        reaches.Scan(b.book.Ctx(), b.book.Book());
        const int64_t id = reaches.Find(&b.s1.cells, 0, 2);
        ASSERT_GE(id, 0);
        const auto reads = [&](const CCellStore& cells) {
            bool found = false;
            reaches.ForEachReader(&cells, CellRange{0, 0, 0, 1}, false,
                                  [&](uint32_t reader) { found = found || reader == id; });
            return found;
        };
        EXPECT_EQ((std::vector<bool>{reads(b.s1.cells), reads(b.s2.cells),
                                     reaches.ReadsAnything(std::size_t(id)),
                                     reaches[std::size_t(id)].builds}),
                  (std::vector<bool>{c.ownSheet, c.namedSheet, c.everywhere, c.builds}));
    }
}

} // namespace vl::test
