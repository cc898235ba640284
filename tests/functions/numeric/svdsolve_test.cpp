// The decomposition behind MTXSVD and least squares under equality constraints.
#include "functions/numeric/svd.h"
#include "matrixbuild.h"
#include "platform/core/alloc.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace vl::test {

TEST(SvdSolve, LeastSquaresOfTheHelpExample) {
    Matrix A = MatrixOf({{1, 2}, {2, 3}, {7, 1}});
    Matrix B = MatrixOf({{1}, {2}, {3}});
    Matrix X = MatrixOf({{0}, {0}});
    double R[2] = {0, 0};
    int32_t rank = 0;
    uint8_t converged = 0;
    ASSERT_TRUE(SolveLeastSquares(A, B, X, R, 3, 2, 1, rank, converged, 0));
    EXPECT_EQ(converged, 1);
    EXPECT_EQ(rank, 2);
    EXPECT_NEAR(VectorAt(X, 1), 0.37476459510358, 1e-14);
    EXPECT_NEAR(VectorAt(X, 2), 0.38418079096045, 1e-14);
    EXPECT_NEAR(R[1], 8496.0 / 281961.0, 1e-15);
}

TEST(SvdSolve, DecompositionOfTheHelpExample) {
    Matrix A = MatrixOf({{1, 2}, {2, 3}, {7, 1}});
    Matrix Pinv = MatrixOf({{0, 0, 0}, {0, 0, 0}});
    Matrix U = MatrixOf({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    Matrix S = MatrixOf({{9, 9}, {9, 9}, {9, 9}});
    Matrix V = MatrixOf({{0, 0}, {0, 0}});
    int32_t rank = 0;
    uint8_t converged = 0;
    ASSERT_TRUE(SvdDecomposeMatrix(A, Pinv, U, S, V, 3, 2, rank, converged, 0));
    EXPECT_EQ(rank, 2);
    EXPECT_NEAR(MatrixElement(S, 1, 1), 7.68114574786861, 1e-13);
    EXPECT_NEAR(MatrixElement(S, 2, 2), 3, 1e-13);
    for (auto [i, j] : {std::pair{1, 2}, {2, 1}, {3, 1}, {3, 2}})
        EXPECT_EQ(MatrixElement(S, i, j), 0);
    // The pseudo-inverse times A is the identity for a matrix of full column rank.
    Matrix A0 = MatrixOf({{1, 2}, {2, 3}, {7, 1}});
    Matrix P = MatrixOf({{0, 0}, {0, 0}});
    MatrixMultiply(Pinv, A0, P, 2, 3, 2);
    EXPECT_NEAR(MatrixElement(P, 1, 1), 1, 1e-14);
    EXPECT_NEAR(MatrixElement(P, 1, 2), 0, 1e-14);
    EXPECT_NEAR(MatrixElement(P, 2, 2), 1, 1e-14);
}

TEST(SvdSolve, FactorsRebuildARandomMatrix) {
    const int32_t m = 50, n = 30;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-10, 10);
    Matrix A, A0, Pinv, U, S, V;
    ASSERT_TRUE(MatrixResize(A, m, n, 0) && MatrixResize(A0, m, n, 0) &&
                MatrixResize(Pinv, n, m, 0) && MatrixResize(U, m, m, 0) &&
                MatrixResize(S, m, n, 0) && MatrixResize(V, n, n, 0));
    for (int32_t i = 1; i <= m; ++i)
        for (int32_t j = 1; j <= n; ++j)
            MatrixElement(A, i, j) = MatrixElement(A0, i, j) = value(random);
    int32_t rank = 0;
    uint8_t converged = 0;
    ASSERT_TRUE(SvdDecomposeMatrix(A, Pinv, U, S, V, m, n, rank, converged, 0));
    EXPECT_EQ(converged, 1);
    EXPECT_EQ(rank, n);
    Matrix US, USVt;
    ASSERT_TRUE(MatrixResize(US, m, n, 0) && MatrixResize(USVt, m, n, 0));
    MatrixMultiply(U, S, US, m, m, n);
    MatrixMultiplyTransposeB(US, V, USVt, m, n, n);
    double worst = 0;
    for (int32_t i = 1; i <= m; ++i)
        for (int32_t j = 1; j <= n; ++j)
            worst = std::max(worst, std::fabs(MatrixElement(USVt, i, j) - MatrixElement(A0, i, j)));
    EXPECT_LT(worst, 1e-12);
    for (int32_t i = 1; i < n; ++i)
        EXPECT_GE(MatrixElement(S, i, i), MatrixElement(S, i + 1, i + 1));
}

TEST(SvdSolve, ZeroMatrixHasRankZeroAndZeroSolution) {
    Matrix A = MatrixOf({{0, 0}, {0, 0}, {0, 0}});
    Matrix B = MatrixOf({{1}, {2}, {3}});
    Matrix X = MatrixOf({{9}, {9}});
    double R[2] = {0, 0};
    int32_t rank = -1;
    uint8_t converged = 0;
    ASSERT_TRUE(SolveLeastSquares(A, B, X, R, 3, 2, 1, rank, converged, 0));
    EXPECT_EQ(rank, 0);
    EXPECT_EQ(VectorAt(X, 1), 0.0);
    EXPECT_EQ(VectorAt(X, 2), 0.0);
    EXPECT_NEAR(R[1], 14, 1e-12);
}

TEST(SvdSolve, RatioCutsSmallSingularValuesByMagnitude) {
    // Singular values 2 and 1e-3 (and 1e-3 / 2 below 1e-3).
    struct Case {
        double ratio;
        int32_t rank;
    } cases[] = {{0, 2}, {-1e-4, 2}, {1e-3, 1}, {-1e-3, 1}, {0.6, 1}, {1.0, 0}};
    for (const Case& c : cases) {
        Matrix A = MatrixOf({{2, 0}, {0, 1e-3}, {0, 0}});
        Matrix B = MatrixOf({{1}, {1}, {1}});
        Matrix X = MatrixOf({{0}, {0}});
        double R[2] = {0, 0};
        int32_t rank = -1;
        uint8_t converged = 0;
        ASSERT_TRUE(SolveLeastSquares(A, B, X, R, 3, 2, 1, rank, converged, c.ratio));
        EXPECT_EQ(rank, c.rank) << c.ratio;
    }
}

TEST(SvdSolve, ConstrainedLeastSquaresMeetsTheConstraint) {
    Matrix A = MatrixOf({{1, 2}, {2, 3}, {7, 1}});
    Matrix b = MatrixOf({{1}, {2}, {3}});
    Matrix E = MatrixOf({{1, 3}});
    Matrix d = VectorOf({2});
    Matrix x = VectorOf({0, 0});
    double R[2] = {0, 0};
    uint8_t converged = 0;
    ASSERT_TRUE(SolveConstrainedLS(A, b, E, d, x, R, 3, 2, 1, converged, 0));
    EXPECT_EQ(converged, 1);
    EXPECT_NEAR(VectorAt(x, 1), 139.0 / 410, 1e-14);
    EXPECT_NEAR(VectorAt(x, 2), 227.0 / 410, 1e-14);
    EXPECT_NEAR(VectorAt(x, 1) + 3 * VectorAt(x, 2), 2, 1e-14);
    EXPECT_NEAR(R[1], 131.0 / 410, 1e-14);
}

TEST(SvdSolve, MemoryFailureEndsEveryEntryWithFalse) {
    bool finished = false;
    for (long successes = 0; successes < 20 && !finished; ++successes) {
        Matrix A = MatrixOf({{1, 2}, {2, 3}, {7, 1}});
        Matrix b = MatrixOf({{1}, {2}, {3}});
        Matrix E = MatrixOf({{1, 3}});
        Matrix d = VectorOf({2});
        Matrix x = VectorOf({0, 0});
        double R[2] = {0, 0};
        uint8_t converged = 0;
        long live = LiveBlockCount();
        SetAllocFailAfter(successes);
        bool done = SolveConstrainedLS(A, b, E, d, x, R, 3, 2, 1, converged, 0);
        SetAllocFailAfter(-1);
        EXPECT_EQ(LiveBlockCount(), live) << successes;
        if (done) {
            EXPECT_NEAR(VectorAt(x, 1), 139.0 / 410, 1e-14) << successes;
        }
        finished = done;
    }
    EXPECT_TRUE(finished);
}

} // namespace vl::test
