// ROOT, MINMC and MINSIMPLEX over worksheet cells: trial values are written into the
// variable cells, the objective cell's formula is evaluated again, and the cells get their
// numbers back. Every family is bound: the objectives call SIN and the like.
#include "functions/bindall/bindall.h"
#include "tests/functions/numeric/numericbook.h"

#include <cmath>

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
        // Only E1 is free: E2 keeps its value.
        {"=MINSIMPLEX(D1, E1:E2, {1; 0}, , , , 1)", {3, 0}, 1e-7},
        // Without free variables the objective is evaluated once.
        {"=MINSIMPLEX(D1, E1:E2, {0; 2}, , , , 2)", {12}, 0},
        {"=MINSIMPLEX(D1, E1:E2, , , , , 3)", {1}, 0},
        {"=MINSIMPLEX(D1, E1:E2, , , , , 1)", {0, 0}, 0},
        // E3 is free but D1 does not read it: the objective is flat along it.
        {"=MINSIMPLEX(D1, E1:E3, {1; 1; 1}, , , , 2)", {2}, 1e-12},
        {"=INDEX(MINSIMPLEX(D1, E1:E3, {1; 1; 1}, , , , 1), 2)", {-1}, 1e-7},
        {"=MINSIMPLEX(D1, E3:E3, {1}, , , , 1)", {7}, 0},
        {"=MINSIMPLEX(D1, E3:E3, {1}, , , , 3)", {1}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Near(book.Numbers(c.formula), c.numbers, c.tolerance)) << c.formula;
        EXPECT_EQ(Variables(), "1.5 0 0 0 0") << c.formula;
        EXPECT_EQ(book.Shown("E3"), "7") << c.formula;
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

// Roots far from 1 end on a bracket a few ulps wide, not on a width of 1e-15 that their
// spacing never reaches; values whose products underflow are compared by their signs.
TEST_F(SolverBuiltins, RootsOfEverySizeToTheirLastDigits) {
    book.Formula("L1", "=L2*L2-2E12");
    book.Formula("L3", "=L4^3-1500");
    book.Formula("L5", "=EXP(L6)-1E10");
    book.Formula("L7", "=(L8-1)*1E-170");
    book.Formula("L9", "=L10-1E-10");
    for (const char* cell : {"L2", "L4", "L6", "L8", "L10"}) book.Number(cell, 0);
    struct Case {
        const char* formula;
        double root;
    } cases[] = {
        {"=ROOT(L1, L2, 1E6, 2E6, )", 1414213.562373095},
        {"=ROOT(L3, L4, 1, 100, )", 11.447142425533318},
        {"=ROOT(L5, L6, 1, 100, )", 23.025850929940457},
        {"=ROOT(L7, L8, 0, 3, )", 1},
        {"=ROOT(L9, L10, -1, 1, )", 1e-10},
        // The optional tolerance left out reads as empty.
        {"=ROOT(L3, L4, 1, 100)", 11.447142425533318},
    };
    for (const Case& c : cases) {
        std::vector<double> got = book.Numbers(c.formula);
        ASSERT_EQ(got.size(), 1u) << c.formula;
        EXPECT_NEAR(got[0], c.root, 4 * 2.3e-16 * std::fabs(c.root)) << c.formula;
    }
    EXPECT_EQ(book.Shown("L2") + book.Shown("L4") + book.Shown("L8"), "000");
}

// The simplex ends only once its vertices, not just their values, have come together: two
// vertices astride the minimum with equal values are not the answer.
TEST_F(SolverBuiltins, SimplexEndsAtTheMinimumNotAstrideIt) {
    book.Formula("M1", "=(M2-3)^2+9");
    book.Number("M2", 1);
    std::vector<double> got = book.Numbers("=MINSIMPLEX(M1, M2:M2, {1}, , , , 1)");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_NEAR(got[0], 3, 1e-7);
    got = book.Numbers("=MINSIMPLEX(D1, E1:E2, {1; 1}, , , , 1)");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_NEAR(got[0], 3, 1e-7);
    EXPECT_NEAR(got[1], -1, 1e-7);
    EXPECT_EQ(book.Shown("M2"), "1");
}

// The box's ends may be as far apart as the doubles allow: to − from is never formed.
TEST_F(SolverBuiltins, MonteCarloOverTheWholeRange) {
    book.Formula("N1", "=ABS(N2/1E+308)");
    book.Number("N2", 0);
    ResetRandomPairs();
    std::vector<double> best = book.Numbers("=MINMC(N1, N2:N2, {1}, -1E+308, 1E+308, 20)");
    ASSERT_EQ(best.size(), 1u);
    EXPECT_TRUE(std::isfinite(best[0]) && std::fabs(best[0]) <= 1e308);
    EXPECT_EQ(book.Shown("N2"), "0");
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
