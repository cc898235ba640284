// Arrays that read their own elements beside arrays that change, and formulas that draw random
// numbers reading them: a counter steps once per recalculation whatever else it reads, a reader
// of a changing array ends fresh whatever names the worksheet, and the evaluations made only to
// learn what a formula reads draw no number.
#include "functions/general/randomfunctions.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/random.h"
#include "functions/numeric/statbuiltins.h"
#include "functiontestutil.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace vl::test {

namespace {

using Strings = std::vector<std::string>;

// How many numbers `recalc` drew: the place in the stream of the number drawn after it.
int Draws(FunctionBook& book, const std::function<void()>& recalc) {
    constexpr int kStream = 600;
    ResetRandomPairs();
    Strings stream;
    for (int i = 0; i < kStream; ++i) stream.push_back(book.Eval("=RAND()"));
    ResetRandomPairs();
    recalc();
    const std::string next = book.Eval("=RAND()");
    return int(std::find(stream.begin(), stream.end(), next) - stream.begin());
}

} // namespace

// S1: K5 an array over P1, whose elements change with it; A1 a counter reading its own second
// element and, through its term, something that reads K5 or its elements, on S1 or on S2 (in
// the folder F, named by its path in BI1 or by an expression), taken or in a branch not taken.
// Each recalculation steps the counter once, whether P1 changed or not.
TEST(SpreadCounters, ACounterReadingDownstreamOfAChangingArrayStepsOnce) {
    ASSERT_TRUE(BindStatisticsBuiltins());
    const char* const terms[] = {
        "+0*K6",
        "+0*K5",
        "+0*SUM(K5:K6)",
        "+C1",
        "+0*SUM(BI1!C1)",
        "+0*SUM('\\F'!C1)",
        "+0*SUM((\"\\F\\S\"&\"2\")!C1)",
        "+0*SUM('\\F\\S2'!C2)",
        "+IF($Z$1,K6,0)",
        "+IF($Z$1,C1,0)",
        "+IF($Z$1,BI1!C1,0)",
        "+IF($Z$1,SUM('\\F'!C1),0)",
        "+IF($Z$1,SUM((\"\\F\\S\"&\"2\")!C1),0)",
        "+IF($Z$1,'\\F\\S2'!C2,0)",
    };
    for (const char* term : terms) {
        SCOPED_TRACE(term);
        FunctionBook book;
        CWorksheet& s1 = book.AddSheet("S1");
        book.AddFolder("F");
        CWorksheet& s2 = book.AddSheet("S2", 2);
        book.Number(s1, "Z1", 0);
        book.Number(s1, "P1", 3);
        book.Text(s1, "BI1", "\\F\\S2");
        book.Formula(s1, "K5", "={1;1}*P1");
        book.Formula(s1, "C1", "=K5*0");
        book.Formula(s2, "C1", "='\\S1'!K5*0");
        book.Formula(s2, "C2", "='\\S1'!K6*0");
        book.Formula(s1, "A1", std::string("={0;0}+IF(A2<50,A2+1,50)") + term);
        // The first recalculation spreads the counter and K5 for the first time: one step.
        ASSERT_TRUE(book.Recalc());
        const int start = std::stoi(book.Shown(s1, "A2"));
        EXPECT_EQ(start, 1);
        EXPECT_EQ(book.Shown(s1, "A1"), "1");
        Strings shown, want;
        for (double p : {4.0, 5.0, 6.0, 7.0, 7.0, 3.0}) {
            book.Number(s1, "P1", p);
            ASSERT_TRUE(book.Recalc());
            shown.push_back(book.Shown(s1, "A2") + "/" + book.Shown(s1, "K6"));
            want.push_back(std::to_string(start + int(want.size()) + 1) + "/" +
                           std::to_string(int(p)));
        }
        EXPECT_EQ(shown, want);
    }
}

// A counter that gives up a cell of its area, where a value is then typed, keeps that value
// through its second turn: the elements it showed before go back only where nothing stands.
TEST(SpreadCounters, ACountersSecondTurnLeavesAValueTypedWhereItShrank) {
    FunctionBook book;
    CWorksheet& s1 = book.AddSheet("S1");
    book.Number(s1, "Z1", 1);
    book.Number(s1, "P1", 3);
    book.Formula(s1, "K5", "={1;1}*P1");
    book.Formula(s1, "A1", "=IF(Z1,{0;0;0},{0;0})+IF(A2<50,A2+1,50)+0*K6");
    ASSERT_TRUE(book.Recalc());
    ASSERT_EQ(book.Shown(s1, "A3"), "1");
    book.Number(s1, "Z1", 0);
    book.Number(s1, "A3", 7);
    book.Number(s1, "P1", 4);
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown(s1, "A3"), "7");
    EXPECT_EQ(book.Shown(s1, "K6"), "4");
}

// A counter in a loop, with another counter or with a plain formula reading its element, reads
// its own elements as they were before the recalculation: each steps once per recalculation,
// whatever turns the loop takes.
TEST(SpreadCounters, CountersInALoopStepOncePerRecalculation) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> formulas;
        const char* other; // the cell shown beside A2
        int factor;        // what it shows, by A2
    };
    const Case cases[] = {
        {"two counters",
         {{"A1", "={0;0}+IF(A2<50,A2+1,50)+0*C2"}, {"C1", "={0;0}+IF(C2<50,C2+1,50)+0*A2"}},
         "C2",
         1},
        {"a reader", {{"A1", "={0;0}+IF(A2<50,A2+1,50)+0*SUM(C1)"}, {"C1", "=A2*2"}}, "C1", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FunctionBook book;
        CWorksheet& s1 = book.AddSheet("S1");
        for (const auto& [at, text] : c.formulas) book.Formula(s1, at, text);
        Strings shown, want;
        for (int i = 1; i <= 4; ++i) {
            ASSERT_TRUE(book.Recalc());
            shown.push_back(book.Shown(s1, "A2") + "/" + book.Shown(s1, c.other));
            want.push_back(std::to_string(i) + "/" + std::to_string(c.factor * i));
        }
        EXPECT_EQ(shown, want);
    }
}

// A counter whose term reads an array that changes only in the rounds after the walk (it reads
// one placed below it) steps once too, and so does one that reads its own elements through
// INDIRECT.
TEST(SpreadCounters, ACounterBesideAChainOfChangingArraysStepsOnce) {
    const char* const counters[] = {"={0;0}+IF(A2<50,A2+1,50)+0*K9",
                                    "={0;0}+INDIRECT(\"A2\",1)+1+0*K9",
                                    "={0;0}+IF(A2<50,A2+1,50)+0*SUM(K5:K9)"};
    for (const char* counter : counters) {
        SCOPED_TRACE(counter);
        FunctionBook book;
        book.Number("P1", 3);
        book.Formula("A1", counter);
        book.Formula("K5", "={1;1}*K21");
        book.Formula("K8", "={1;1}*K6");
        book.Formula("K20", "={1;1}*P1");
        ASSERT_TRUE(book.Recalc());
        const int start = std::stoi(book.Shown("A2"));
        for (int p = 4; p <= 7; ++p) {
            book.Number("P1", p);
            ASSERT_TRUE(book.Recalc());
            EXPECT_EQ((Strings{book.Shown("A2"), book.Shown("K9")}),
                      (Strings{std::to_string(start + p - 3), std::to_string(p)}));
        }
    }
}

// S1!H20 draws a number and reads S2!E26, an element of an array that draws one too and names
// H20 only in a branch not taken; each side names the other worksheet by its path, in a cell or
// by an expression, and the reader through S2's folder too. H20, a single cell or an array, shows
// E26's new value after each recalculation, and the two draw one number each.
// (A folder's cells are gathered where the reference stands, so an array naming H20 through G
// reads it even in a branch not taken: that makes a loop.)
TEST(SpreadCounters, AVolatileReaderIsFreshWhateverNamesTheWorksheet) {
    BindRandomMatrixFunctions();
    ASSERT_TRUE(BindNumericMethodBuiltins());
    const char* const toS2[] = {"'\\F\\S2'!", "BI1!", "(\"\\F\\S\"&\"2\")!", "'\\F'!"};
    const char* const toS1[] = {"'\\G\\S1'!", "BI2!", "(\"\\G\\S\"&\"1\")!"};
    for (const char* shape : {"=", "={1;1}*"})
        for (const char* reader : toS2)
            for (const char* array : toS1) {
                SCOPED_TRACE(std::string(shape) + " " + reader + " " + array);
                FunctionBook book;
                book.AddFolder("G");
                CWorksheet& s1 = book.AddSheet("S1", 2);
                book.AddFolder("F");
                CWorksheet& s2 = book.AddSheet("S2", 2);
                book.Text(s1, "BI1", "\\F\\S2");
                book.Text(s2, "BI2", "\\G\\S1");
                book.Number(s2, "Z1", 0);
                book.Number(s2, "D9", 1);
                book.Formula(s1, "H20", std::string(shape) + "SUM(" + reader + "E26)+0*RAND()");
                book.Formula(s2, "E25",
                             std::string("={1;1}*(D9+0*RAND())+IF($Z$1,") + array + "H20,0)");
                ASSERT_TRUE(book.Recalc());
                for (double d : {2.0, 3.0, 4.0, 5.0}) {
                    book.Number(s2, "D9", d);
                    const int draws = Draws(book, [&] { ASSERT_TRUE(book.Recalc()); });
                    const std::string v = std::to_string(int(d));
                    EXPECT_EQ((Strings{book.Shown(s1, "H20"), book.Shown(s2, "E26")}),
                              (Strings{v, v}));
                    EXPECT_EQ(draws, 2) << d;
                }
            }
}

// Two random arrays whose texts name each other's elements only in branches not taken seem to
// make a loop, so each is evaluated once to learn what it reads: that evaluation draws nothing.
// Each array draws one number per recalculation, in walk order.
TEST(SpreadCounters, ArraysEvaluatedToLearnTheirReadsDrawNothing) {
    BindRandomMatrixFunctions();
    ASSERT_TRUE(BindNumericMethodBuiltins());
    FunctionBook book;
    book.Number("Z1", 0);
    book.Number("F1", 1);
    book.Formula("B1", "=RAND()*{1;1}+IF($Z$1,D6,0)");
    book.Formula("D5", "=RAND()*{1;1}+IF($Z$1,B2,0)");
    book.Formula("H1", "={1;1}*F1");
    ASSERT_TRUE(book.Recalc());
    for (int pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        book.Number("F1", 2 + pass);
        ResetRandomPairs();
        const Strings stream = {book.Eval("=RAND()"), book.Eval("=RAND()"), book.Eval("=RAND()")};
        ResetRandomPairs();
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((Strings{book.Shown("B1"), book.Shown("B2"), book.Shown("D5"), book.Shown("D6"),
                           book.Eval("=RAND()")}),
                  (Strings{stream[0], stream[0], stream[1], stream[1], stream[2]}));
    }
}

// A search whose function cell draws a number in each trial, in what only looks like a loop with
// an array: evaluated once to learn what it reads, its trials draw nothing, so the recalculation
// draws what it draws without the branch not taken.
TEST(SpreadCounters, ASearchEvaluatedToLearnItsReadsDrawsNothingInItsTrials) {
    BindRandomMatrixFunctions();
    ASSERT_TRUE(BindNumericMethodBuiltins());
    const auto draws = [](const char* term) {
        FunctionBook book;
        book.Number("Z1", 0);
        book.Number("F1", 1);
        book.Number("C1", 0);
        book.Formula("B1", "=C1-3+0*RAND()");
        book.Formula("A1", std::string("=ROOT(B1,C1,-1000,1000,1e-9)") + term);
        book.Formula("E5", "={1;1}*(0*A1+F1)");
        EXPECT_TRUE(book.Recalc());
        std::vector<int> counts;
        for (int pass = 0; pass < 3; ++pass) {
            book.Number("F1", 2 + pass);
            counts.push_back(Draws(book, [&] { ASSERT_TRUE(book.Recalc()); }));
            EXPECT_EQ((Strings{book.Shown("A1"), book.Shown("E6")}),
                      (Strings{"3", std::to_string(2 + pass)}));
        }
        return counts;
    };
    const std::vector<int> plain = draws("");
    EXPECT_GT(plain[0], 2);
    EXPECT_EQ(draws("+IF($Z$1,E6,0)"), plain);
}

} // namespace vl::test

namespace vl::test {

// Sums over a chain of arrays laid bottom-up, each growing once the one below has: the chain
// settles over as many rounds as it has arrays, and a sum that draws a random number, a single
// cell or an array, is calculated once, after the whole chain.
TEST(SpreadCounters, ASumOverAChainOfGrowingArraysIsCalculatedOnce) {
    BindRandomMatrixFunctions();
    ASSERT_TRUE(BindNumericMethodBuiltins());
    ASSERT_TRUE(BindStatisticsBuiltins());
    constexpr int kArrays = 6;
    for (const char* shape : {"=", "={1;1}*"}) {
        SCOPED_TRACE(shape);
        FunctionBook book;
        book.Number("D1", 0);
        for (int k = 0; k < kArrays; ++k) {
            const std::string test =
                k == kArrays - 1 ? "$D$1>0" : "COUNT(A" + std::to_string(4 * k + 7) + ")>0";
            book.Formula("A" + std::to_string(4 * k + 1), "=IF(" + test + ",{1;2;3},{1;2})");
        }
        book.Formula("B1",
                     std::string(shape) + "SUM(A1:A" + std::to_string(4 * kArrays) + ")+0*RAND()");
        ASSERT_TRUE(book.Recalc());
        for (double d : {1.0, 0.0, 1.0}) {
            book.Number("D1", d);
            const int draws = Draws(book, [&] { ASSERT_TRUE(book.Recalc()); });
            EXPECT_EQ(book.Shown("B1"), std::to_string((d > 0 ? 6 : 3) * kArrays)) << d;
            EXPECT_EQ(draws, 1) << d;
        }
    }
}

} // namespace vl::test
