// The linear, integer and quadratic programming solvers on problems whose optima are
// known by hand.
#include "functions/numeric/integerlp.h"
#include "functions/numeric/quadprog.h"
#include "functions/numeric/simplex.h"
#include "matrixbuild.h"

#include <gtest/gtest.h>

namespace vl::test {

namespace {

struct Problem {
    std::vector<std::vector<double>> A;
    std::vector<double> s, b, c;
};

struct Answer {
    int code = -1;
    int32_t vector = 0;
    std::vector<double> x;
};

void Fill(Matrix& m, const std::vector<std::vector<double>>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = 0; j < rows[i].size(); ++j)
            MatrixElement(m, int32_t(i + 1), int32_t(j + 1)) = rows[i][j];
}

Matrix Vector(const std::vector<double>& values, std::size_t size) {
    Matrix v;
    EXPECT_TRUE(MatrixResize(v, uint32_t(std::max(size, values.size())), 1, 0));
    for (std::size_t i = 0; i < values.size(); ++i) VectorAt(v, int32_t(i + 1)) = values[i];
    return v;
}

// Linear (integer when `integer` is given) with the tableau sized as the solvers need.
Answer SolveLinear(const Problem& p, int32_t vector, const std::vector<double>* integer = nullptr,
                   bool binary = false) {
    int32_t m = int32_t(p.A.size()), n = int32_t(p.A[0].size());
    int32_t rows = integer ? m + 2 * n : m;
    int32_t columns = n + 2 * rows;
    Matrix T, x = Vector({}, std::size_t(n));
    EXPECT_TRUE(MatrixResize(T, uint32_t(rows), uint32_t(columns), 0));
    Fill(T, p.A);
    Matrix s = Vector(p.s, std::size_t(rows)), b = Vector(p.b, std::size_t(rows));
    Matrix c = Vector(p.c, std::size_t(columns));
    Answer a;
    a.vector = vector;
    if (integer) {
        Matrix mask = Vector(*integer, std::size_t(n));
        a.code = SolveIntegerLP(T, s, b, c, mask, x, a.vector, m, n, 0, 0, binary);
    } else {
        a.code = SolveLinearProgram(T, s, b, c, x, a.vector, m, n, 0, 0);
    }
    a.x = Elements(x, n);
    return a;
}

Answer SolveQuadratic(const Problem& p, const std::vector<std::vector<double>>& C, int32_t vector) {
    int32_t m = int32_t(p.A.size()), n = int32_t(p.A[0].size());
    Matrix A, Cm, x = Vector({}, std::size_t(n));
    EXPECT_TRUE(MatrixResize(A, uint32_t(2 * m), uint32_t(n), 0));
    EXPECT_TRUE(MatrixResize(Cm, uint32_t(n), uint32_t(n), 0));
    Fill(A, p.A);
    Fill(Cm, C);
    Matrix s = Vector(p.s, std::size_t(2 * m)), b = Vector(p.b, std::size_t(2 * m));
    Matrix pv = Vector(p.c, std::size_t(n));
    Answer a;
    a.vector = vector;
    a.code = SolveQuadraticProgram(A, s, b, pv, Cm, x, a.vector, m, n, 0);
    a.x = Elements(x, n);
    return a;
}

void ExpectX(const Answer& a, const std::vector<double>& x, const char* name) {
    ASSERT_EQ(a.code, kLpSolved) << name;
    ASSERT_EQ(a.x.size(), x.size()) << name;
    for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(a.x[i], x[i], 1e-9) << name << " " << i;
}

const Problem kExample{{{2, 1, 1}, {1, 1, 3}}, {1, 0}, {5, 10}, {4, 2, 2}};
const Problem kIntegerExample{{{2.5, 1.5, 1}, {1, 1.5, 3}}, {1, 0}, {15, 10}, {1, 1, 2}};

} // namespace

TEST(LinearProgram, OptimaAndAlternatives) {
    ExpectX(SolveLinear(kExample, 1), {1, 0, 3}, "vector 1");
    ExpectX(SolveLinear(kExample, 2), {0, 2.5, 2.5}, "vector 2");
    Answer count = SolveLinear(kExample, 0);
    EXPECT_EQ(count.code, kLpSolved);
    EXPECT_EQ(count.vector, 2);
    EXPECT_EQ(SolveLinear(kExample, 3).code, kLpInfeasible);
    Problem unique{{{1, 0}, {0, 2}, {3, 2}}, {1, 1, 1}, {4, 12, 18}, {3, 5}};
    ExpectX(SolveLinear(unique, 1), {2, 6}, "max 3x + 5y");
    EXPECT_EQ(SolveLinear(unique, 0).vector, 1);
    EXPECT_EQ(SolveLinear(unique, 2).code, kLpInfeasible);
}

TEST(LinearProgram, FailuresByKind) {
    struct Case {
        const char* name;
        Problem p;
        int code;
    } cases[] = {
        {"unbounded", {{{-1, 1}}, {1}, {1}, {1, 0}}, kLpUnbounded},
        {"contradictory rows", {{{1, 1}, {1, 1}}, {1, -1}, {1, 3}, {1, 1}}, kLpInfeasible},
        {"cycles under the largest-cost rule",
         {{{0.5, -5.5, -2.5, 9}, {0.5, -1.5, -0.5, 1}, {1, 0, 0, 0}},
          {1, 1, 1},
          {0, 0, 1},
          {10, -57, -9, -24}},
         kLpStepLimit},
    };
    for (const Case& c : cases) EXPECT_EQ(SolveLinear(c.p, 1).code, c.code) << c.name;
}

TEST(LinearProgram, NegativeRightHandSideFlipsTheRow) {
    // -x - y <= -2 is x + y >= 2; minimising x + 2y (maximising its negative) gives (2, 0).
    Problem flipped{{{-1, -1}}, {1}, {-2}, {-1, -2}};
    Problem direct{{{1, 1}}, {-1}, {2}, {-1, -2}};
    ExpectX(SolveLinear(flipped, 1), {2, 0}, "flipped");
    ExpectX(SolveLinear(direct, 1), {2, 0}, "direct");
    // A type of 2 or -3 counts by its sign.
    Problem scaled{{{1, 1}}, {-3}, {2}, {-1, -2}};
    ExpectX(SolveLinear(scaled, 1), {2, 0}, "type -3");
}

TEST(LinearProgram, BigMStaysBelowHalfTheLargestDouble) {
    Matrix T = MatrixOf({{1e-320, 2}, {0.5, 1e308}});
    Matrix b = VectorOf({1, 1});
    Matrix c = VectorOf({3, 1e306});
    // 10 / 0.5 = 20 and 10 x 2 = 20; 10 x 1e308 and 200 x 1e306 are too large, 1e-320 is zero.
    EXPECT_EQ(LpEstimateBigM(T, b, c, 2, 2, 1e-8), 3 * 20 * 10.0);
}

TEST(IntegerProgram, BranchAndBoundOptima) {
    std::vector<double> ints{1, 0, 1};
    ExpectX(SolveLinear(kIntegerExample, 1, &ints), {4, 0, 2}, "LPROGINT vector 1");
    ExpectX(SolveLinear(kIntegerExample, 2, &ints), {4, 2, 1}, "LPROGINT vector 2");
    ExpectX(SolveLinear(kIntegerExample, 1, &ints, true), {1, 4, 1}, "LPROGBIN");
    Problem knapsack{{{1, 1}, {5, 9}}, {1, 1}, {6, 45}, {5, 8}};
    std::vector<double> both{1, 1};
    ExpectX(SolveLinear(knapsack, 1, &both), {0, 5}, "max 5x + 8y");
    EXPECT_EQ(SolveLinear(knapsack, 0, &both).vector, 1);
}

TEST(IntegerProgram, FailuresByKind) {
    std::vector<double> ints{1, 1};
    // 2x + 2y = 3 has no whole solution.
    Problem odd{{{2, 2}}, {0}, {3}, {1, 1}};
    EXPECT_EQ(SolveLinear(odd, 1, &ints).code, kLpInfeasible);
    Problem unbounded{{{-1, 1}}, {1}, {1}, {1, 0}};
    EXPECT_EQ(SolveLinear(unbounded, 1, &ints).code, kLpUnbounded);
}

TEST(IntegerProgram, NodeLimitEndsAnExponentialSearch) {
    // max x1 with 2 x1 + ... + 2 x25 = 25 over 0/1 variables has no solution, and branch
    // and bound only learns that after exponentially many nodes.
    Problem odd{{std::vector<double>(25, 2.0)}, {0}, {25}, std::vector<double>(25, 0.0)};
    odd.c[0] = 1;
    std::vector<double> binary(25, 1.0);
    EXPECT_EQ(SolveLinear(odd, 1, &binary, true).code, kLpStepLimit);
}

TEST(QuadraticProgram, WolfeOptima) {
    Problem example{{{1, 2}, {1, 1}}, {1, 1}, {10, 9}, {10, 25}};
    ExpectX(SolveQuadratic(example, {{10, 2}, {2, 1}}, 1), {0, 5}, "QPROG example");
    Problem classic{{{1, 2}}, {1}, {30}, {15, 30}};
    ExpectX(SolveQuadratic(classic, {{2, -2}, {-2, 4}}, 1), {12, 9}, "15x + 30y + 4xy");
    // An equality is the pair of a <= and a >= row.
    Problem equality{{{1, 2}}, {0}, {20}, {15, 30}};
    Problem pair{{{1, 2}, {1, 2}}, {1, -1}, {20, 20}, {15, 30}};
    Answer e = SolveQuadratic(equality, {{2, -2}, {-2, 4}}, 1);
    Answer q = SolveQuadratic(pair, {{2, -2}, {-2, 4}}, 1);
    ASSERT_EQ(e.code, kLpSolved);
    ExpectX(q, e.x, "equality as a pair");
    EXPECT_NEAR(e.x[0] + 2 * e.x[1], 20, 1e-9);
    // Nothing to gain: the origin.
    Problem nothing{{{1, 1}}, {1}, {5}, {-1, 0}};
    ExpectX(SolveQuadratic(nothing, {{1, 0}, {0, 1}}, 1), {0, 0}, "p <= 0");
    Problem infeasible{{{1, 1}, {1, 1}}, {1, -1}, {1, 3}, {1, 1}};
    EXPECT_EQ(SolveQuadratic(infeasible, {{1, 0}, {0, 1}}, 1).code, kLpInfeasible);
    EXPECT_EQ(SolveQuadratic(classic, {{2, -2}, {-2, 4}}, 0).vector, 1);
}

} // namespace vl::test
