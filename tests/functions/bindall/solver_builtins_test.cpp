// ROOT, MINMC and MINSIMPLEX over worksheet cells: trial values are written into the
// variable cells, the objective cell's formula is evaluated again, and the cells get their
// numbers back. Every family is bound: the objectives call SIN and the like.
#include "functions/bindall/bindall.h"
#include "tests/functions/numeric/numericbook.h"

namespace vl::test {

namespace {

class SolverBuiltins : public ::testing::Test {
protected:
    void SetUp() override {
        BindAllFunctions();
        book.Formula("B2", "=B3*B3+SIN(B3)-5");
        book.Number("B3", 1.5);
        book.Formula("D1", "=(E1-3)^2+(E2+1)^2+2");
        book.Number("E1", 0);
        book.Number("E2", 0);
        book.Number("E3", 7);
        // 1 / (x - 1.5) changes sign across its pole; the first trial lands on the pole.
        book.Formula("G1", "=1/(G2-1.5)");
        book.Number("G2", 0);
        book.Formula("K1", "=\"  \"&(K2-4)"); // a numeric text objective
        book.Number("K2", 0);
    }
    // Every variable cell, which the solvers must leave as they found them.
    std::string Variables() {
        return book.Shown("B3") + " " + book.Shown("E1") + " " + book.Shown("E2") + " " +
               book.Shown("G2") + " " + book.Shown("K2");
    }
    NumericBook book;
};

} // namespace

TEST_F(SolverBuiltins, ResultsLeaveTheVariablesAsTheyWere) {
    struct Case {
        const char* formula;
        std::vector<double> numbers;
        double tolerance;
    };
    const Case cases[] = {
        {"=ROOT(B2, B3, 0, 3, )", {2.02521163744482}, 1e-13},
        {"=ROOT(B2, B3, -3, 0, )", {-2.38467666014657}, 1e-13},
        {"=ROOT(K1, K2, 0, 10, )", {4}, 1e-12},

        {"=MINSIMPLEX(D1, E1:E2, {1; 1}, , , , 2)", {2}, 1e-6},
        {"=MINSIMPLEX(D1, E1:E2, {1; 1}, , , , 1)", {3, -1}, 1e-6},
        // Only E1 is free: E2 keeps its value. With one free variable the two vertices stall
        // astride the minimum, where their values are equal.
        {"=MINSIMPLEX(D1, E1:E2, {1; 0}, , , , 1)", {3, 0}, 1e-4},
        // Without free variables the objective is evaluated once.
        {"=MINSIMPLEX(D1, E1:E2, {0; 2}, , , , 2)", {12}, 0},
        {"=MINSIMPLEX(D1, E1:E2, , , , , 3)", {1}, 0},
        {"=MINSIMPLEX(D1, E1:E2, , , , , 1)", {0, 0}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Near(book.Numbers(c.formula), c.numbers, c.tolerance)) << c.formula;
        EXPECT_EQ(Variables(), "1.5 0 0 0 0") << c.formula;
    }
}

TEST_F(SolverBuiltins, FailuresLeaveTheVariablesAsTheyWere) {
    struct Case {
        const char* formula;
        const char* shown;
    } cases[] = {
        {"=ROOT(B2, B3, 1, 1, )", "#NUM!"},
        {"=ROOT(B2, B3, 3, 4, )", "#VALUE!"},  // no sign change
        {"=ROOT(K1, K2, 4, 10, )", "#VALUE!"}, // a root at an end brackets nothing
        {"=ROOT(K1, K2, 0, 4, )", "#VALUE!"},
        {"=ROOT(B2, B3:B4, 0, 3, )", "#REF!"}, // a range is no variable
        {"=ROOT(B3, B3, 0, 3, )", "#REF!"},    // a constant is no function cell
        {"=ROOT(B2, C9, 0, 3, )", "#REF!"},    // an empty cell is no variable
        {"=ROOT(B2, B3, 0, 3)", "#SYNTAX!"},
        {"=ROOT(B2, B3, 0, 3, -1)", "#NUM!"},
        {"=ROOT(B2, B3, 0, 1/0, )", "#DIV/0!"},
        {"=ROOT(G1, G2, 0, 3, )", "#VALUE!"}, // a trial fails
        // An interval as wide as the doubles allow makes the first trial infinite.
        {"=ROOT(B2, B3, -1E308, 1E308, )", "#VALUE!"},
        {"=MINSIMPLEX(D1, E1:E2, {1; 1}, , , 5, 3)", "#NUM!"}, // not converged in five steps
        {"=MINMC(D1, E1:E2, {0; 0}, -5, 5, 10)", "{0; 0}"},
        {"=MINMC(D1, E1:E2, {1; 1; 1}, -5, 5, 10)", "#VALUE!"},
        {"=MINMC(D1, E1:E2, {1; 1}, 5, 5, 10)", "#NUM!"},
        {"=MINMC(D1, E1:E2, {1; 1}, -5, 5, 0)", "#NUM!"},
        {"=MINMC(D1, E1:F2, {1; 1}, -5, 5, 10)", "#REF!"},
        {"=MINMC(D1, E1:E1024, , -5, 5, 10)", "#REF!"},
        {"=MINMC(D1, {1; 2}, {1; 1}, -5, 5, 10)", "#REF!"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(book.Eval(c.formula), c.shown) << c.formula;
        EXPECT_EQ(Variables(), "1.5 0 0 0 0") << c.formula;
    }
}

TEST_F(SolverBuiltins, RootThroughRecalculation) {
    book.Formula("A1", "=ROOT(B2, B3, 0, 3, )");
    book.Recalc();
    EXPECT_EQ(book.Shown("A1"), "2.02521163744482");
    EXPECT_EQ(book.Shown("B3"), "1.5");
    EXPECT_EQ(book.Shown("B2"), book.Eval("=B3*B3+SIN(B3)-5"));
}

TEST_F(SolverBuiltins, MonteCarloSamplesTheBox) {
    ResetRandomPairs();
    std::vector<double> best = book.Numbers("=MINMC(D1, E1:E2, {1; 1}, -5, 5, 2000)");
    ASSERT_EQ(best.size(), 2u);
    EXPECT_NEAR(best[0], 3, 0.5);
    EXPECT_NEAR(best[1], -1, 0.5);
    EXPECT_EQ(Variables(), "1.5 0 0 0 0");
}

TEST_F(SolverBuiltins, SolverReachedFromItsOwnTrialIsCircular) {
    // The function cell calls a solver over the same variable: its trial evaluations would
    // start the search again inside the search.
    book.Formula("H1", "=ROOT(H1, B3, 0, 3, )");
    EXPECT_EQ(book.Eval("=ROOT(H1, B3, 0, 3, )"), "#CIRC!");
    book.Formula("H2", "=MINSIMPLEX(H2, E1:E2, {1; 1}, , , , 2)+E1");
    EXPECT_EQ(book.Eval("=MINSIMPLEX(H2, E1:E2, {1; 1}, , , , 2)"), "#CIRC!");
    EXPECT_EQ(book.Shown("B3"), "1.5");
    book.Recalc();
    EXPECT_EQ(book.Shown("H1"), "#CIRC!");
    EXPECT_EQ(book.Shown("E1"), "0");
}

} // namespace vl::test
