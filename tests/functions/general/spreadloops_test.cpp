// Arrays that read one another's elements in a loop, arrays of random numbers that read arrays
// calculated after them, and a recalculation of one worksheet whose readers elsewhere change
// while it settles.
#include "functions/general/randomfunctions.h"
#include "functions/numeric/random.h"
#include "functiontestutil.h"

#include <string>
#include <vector>

namespace vl::test {

namespace {

using Strings = std::vector<std::string>;

// A loop of two arrays, each reading the other's second element, at `a` and `b` of one row.
void AddLoop(FunctionBook& book, char a, char b, int row) {
    const std::string r = std::to_string(row), below = std::to_string(row + 1);
    book.Formula(std::string(1, a) + r, "={1;1}*(" + std::string(1, b) + below + "+1)");
    book.Formula(std::string(1, b) + r, "={1;1}*(" + std::string(1, a) + below + "+1)");
}

} // namespace

// What a loop of arrays shows after each recalculation depends on the loop alone: unrelated
// arrays, chains of arrays and other loops beside it change nothing.
TEST(SpreadLoops, ALoopShowsTheSameWhateverElseTheWorkbookHolds) {
    struct Case {
        const char* name;
        int pairs; // arrays each reading the next, far from the loop
        int loops; // other loops
    };
    const Case cases[] = {{"alone", 0, 0},
                          {"beside a chain of two", 1, 0},
                          {"beside a chain of eight", 4, 0},
                          {"beside one loop", 0, 1},
                          {"beside three loops", 0, 3},
                          {"beside ten loops and chains", 4, 10}};
    // A2 and C2 after each of five recalculations: two turns after the walk's.
    const Strings expected = {"5", "6", "11", "12", "17", "18", "23", "24", "29", "30"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FunctionBook book;
        AddLoop(book, 'A', 'C', 1);
        for (int i = 0; i < c.pairs; ++i) {
            const std::string m = std::to_string(3 * i + 1), o = std::to_string(3 * i + 2);
            book.Formula("M" + m, "={1;1}*O" + o);
            book.Formula("O" + m, "={1;1}*Q" + m);
            book.Number("Q" + m, i + 1);
        }
        for (int i = 0; i < c.loops; ++i) AddLoop(book, 'S', 'U', 3 * i + 1);
        Strings shown;
        for (int pass = 0; pass < 5; ++pass) {
            ASSERT_TRUE(book.Recalc());
            shown.push_back(book.Shown("A2"));
            shown.push_back(book.Shown("C2"));
        }
        EXPECT_EQ(shown, expected);
    }
}

// A loop whose arrays come in the other order, and one through a plain formula, keep their
// values whatever stands beside them too.
TEST(SpreadLoops, LoopsOfEveryShapeIgnoreWhatTheyDoNotRead) {
    struct Case {
        const char* name;
        Strings formulas; // place, formula, ...
        const char* shown;
    };
    const Case cases[] = {
        {"readers before the arrays", {"A5", "={1;1}*(C2+1)", "C1", "={1;1}*(A6+1)"}, "A6"},
        {"through a plain formula",
         {"A1", "={1;1}*(E1+1)", "E1", "=C2*2", "C1", "={1;1}*A2"},
         "A2"},
        {"three arrays", {"A1", "={1;1}*(E2+1)", "C1", "={1;1}*A2", "E1", "={1;1}*C2"}, "A2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FunctionBook alone, crowded;
        for (FunctionBook* book : {&alone, &crowded})
            for (std::size_t i = 0; i < c.formulas.size(); i += 2)
                book->Formula(c.formulas[i], c.formulas[i + 1]);
        crowded.Formula("M1", "={1;1}*O2");
        crowded.Formula("O1", "={1;1}*Q1");
        AddLoop(crowded, 'S', 'U', 1);
        AddLoop(crowded, 'W', 'Y', 5);
        for (int pass = 0; pass < 4; ++pass) {
            ASSERT_TRUE(alone.Recalc());
            ASSERT_TRUE(crowded.Recalc());
            EXPECT_EQ(alone.Shown(c.shown), crowded.Shown(c.shown)) << pass;
        }
    }
}

// An array of random numbers that reads an array calculated after it shows that array's new
// values, as do the formulas that read it, with any number of arrays between.
TEST(SpreadLoops, ARandomArraySeesTheArraysItReadsSettled) {
    BindRandomMatrixFunctions();
    struct Case {
        const char* name;
        const char* array; // at A1
        const char* first; // at C1, read by A1
        const char* more;  // at F1, read by C1, or nothing
    };
    const Case cases[] = {
        {"one array", "=C2:C3+0*RAND()", "={1;1;1}*D1", nullptr},
        {"random numbers first", "=0*RAND()+C2:C3", "={1;1;1}*D1", nullptr},
        {"over another random array", "=C2:C3+0*RAND()", "={1;1;1}*D1+0*RAND()", nullptr},
        {"through a chain", "=C2:C3+0*RANDBETWEEN(1,9)", "={1;1;1}*F3", "={1;1;1}*D1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FunctionBook book;
        book.Formula("A1", c.array);
        book.Formula("B1", "=A2*10"); // reads an element of the random array
        book.Formula("C1", c.first);
        if (c.more) book.Formula("F1", c.more);
        for (double d : {4.0, 5.0, 7.0}) {
            book.Number("D1", d);
            ASSERT_TRUE(book.Recalc());
            const std::string shown = std::to_string(int(d));
            EXPECT_EQ(
                (Strings{book.Shown("C2"), book.Shown("A1"), book.Shown("A2"), book.Shown("B1")}),
                (Strings{shown, shown, shown, std::to_string(int(10 * d))}));
        }
    }
}

// Random numbers the walk left for later: a formula that reads one waits for it, one that
// nothing reads takes its turn at the end, and a recalculation of one worksheet leaves those
// of another, with an array among the random formulas of the first or without.
TEST(SpreadLoops, RandomFormulasLeftByTheWalkAreCalculatedOnce) {
    BindRandomMatrixFunctions();
    for (const char* spread : {"=RAND()*{1;1}", "=RAND()*1"}) {
        SCOPED_TRACE(spread);
        FunctionBook book;
        CWorksheet& s1 = book.AddSheet("S1");
        CWorksheet& s2 = book.AddSheet("S2");
        book.Formula(s1, "A1", "=B1*1");
        book.Formula(s1, "B1", "=RAND()");
        book.Formula(s1, "C1", spread);
        book.Formula(s1, "D1", "=C1*1");
        book.Formula(s2, "A1", "=RAND()");
        ASSERT_TRUE(book.Recalc());
        const std::string other = book.Shown(s2, "A1");
        for (int pass = 0; pass < 3; ++pass) {
            ResetRandomPairs();
            const std::string draws[] = {book.Eval("=RAND()"), book.Eval("=RAND()")};
            ResetRandomPairs();
            ASSERT_TRUE(book.Recalc(&s1.cells));
            EXPECT_EQ((Strings{book.Shown(s1, "A1"), book.Shown(s1, "B1"), book.Shown(s1, "C1"),
                               book.Shown(s1, "D1"), book.Shown(s2, "A1")}),
                      (Strings{draws[0], draws[0], draws[1], draws[1], other}));
            // No mark of the walk stays on a cell, calculated or not.
            for (CWorksheet* sheet : {&s1, &s2})
                for (const char* a1 : {"A1", "B1", "C1"}) {
                    const uint8_t* r = FindCell(sheet->cells, At(a1).row, At(a1).column);
                    EXPECT_TRUE(!r || !(cell::ResultFlags(r) & 8)) << a1;
                }
        }
    }
}

// An array of random numbers in a loop takes its one turn per recalculation; the other array
// of the loop takes the loop's turns.
TEST(SpreadLoops, ARandomArrayInALoopTakesOneTurn) {
    BindRandomMatrixFunctions();
    FunctionBook book;
    book.Formula("A1", "={1;1}*(C2+1)+0*RAND()");
    book.Formula("C1", "={1;1}*(A2+1)");
    Strings shown;
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_TRUE(book.Recalc());
        shown.push_back(book.Shown("A2"));
        shown.push_back(book.Shown("C2"));
    }
    EXPECT_EQ(shown, (Strings{"2", "3", "4", "5", "6", "7"}));
}

// S1 is recalculated alone: a formula of S2 read while S1 settled, but no longer once it has,
// keeps its value; an array of S2 that S1 reads through one of its elements takes its turn.
TEST(SpreadLoops, OneWorksheetRecalculatedTakesOnlyWhatItReadsOnceSettled) {
    struct Case {
        const char* name;
        const char* s2Formula; // at S2!C1
        const char* s1Reader;  // at S1!D1, or nothing
        Strings shown;         // S1!A1, S1!D1, S2!C1, S2!C2
    };
    const Case cases[] = {
        {"a formula no longer read", "='\\S1'!B2*1", nullptr, {"0", "<none>", "20", "<none>"}},
        {"an array read through one element",
         "={1;1}*'\\S1'!B2",
         "='\\S2'!C2*1",
         {"0", "2", "2", "2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FunctionBook book;
        CWorksheet& s1 = book.AddSheet("S1");
        CWorksheet& s2 = book.AddSheet("S2");
        book.Formula(s1, "A1", "=IF(B2>5,'\\S2'!C1,0)");
        book.Formula(s1, "B1", "={1;2}*A10");
        if (c.s1Reader) book.Formula(s1, "D1", c.s1Reader);
        book.Number(s1, "A10", 10);
        book.Formula(s2, "C1", c.s2Formula);
        ASSERT_TRUE(book.Recalc());
        ASSERT_EQ((Strings{book.Shown(s1, "A1"), book.Shown(s2, "C1")}), (Strings{"20", "20"}));
        book.Number(s1, "A10", 1);
        ASSERT_TRUE(book.Recalc(&s1.cells));
        EXPECT_EQ((Strings{book.Shown(s1, "A1"), book.Shown(s1, "D1"), book.Shown(s2, "C1"),
                           book.Shown(s2, "C2")}),
                  c.shown);
    }
}

} // namespace vl::test
