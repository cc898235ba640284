#include "functions/numeric/matrix.h"
#include "functions/numeric/svd.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace vl {

TEST(Matrix, BlocksAreWholeUnitsOf8192Bytes) {
    struct Case {
        std::size_t elements, bytes;
    } cases[] = {{0, 0}, {1, 8192}, {12, 8192}, {1024, 8192}, {1025, 16384}, {33 * 32, 16384}};
    for (const Case& c : cases) EXPECT_EQ(MatrixBlockBytes(c.elements), c.bytes) << c.elements;
}

TEST(Matrix, AddressesRowMajorFromOne) {
    Matrix m;
    ASSERT_TRUE(MatrixResize(m, 3, 4, 0));
    EXPECT_EQ(MatrixAt(m, 1, 1), m.data.get());
    EXPECT_EQ(MatrixAt(m, 2, 1), m.data.get() + 4);
    EXPECT_EQ(MatrixAt(m, 3, 4), m.data.get() + 11);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(m.data[i], 0.0);
}

TEST(Matrix, ResizeKeepsTheBlockWhenNoMoreElementsAreNeeded) {
    Matrix m;
    ASSERT_TRUE(MatrixResize(m, 4, 4, 0));
    for (int i = 0; i < 16; ++i) m.data[i] = i + 1;
    double* block = m.data.get();
    ASSERT_TRUE(MatrixResize(m, 2, 8, 0));
    EXPECT_EQ(m.data.get(), block);
    EXPECT_EQ(m.rows, 2u);
    EXPECT_EQ(m.cols, 8u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.data[i], i + 1);
    ASSERT_TRUE(MatrixResize(m, 5, 4, 0)); // more elements: a new zeroed block
    EXPECT_EQ(m.rows, 5u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(m.data[i], 0.0);
    m.data[0] = 7;
    ASSERT_TRUE(MatrixResize(m, 1, 1, 1)); // another flag: always a new block
    EXPECT_EQ(m.data[0], 0.0);
    EXPECT_EQ(m.flag, 0);
}

TEST(Matrix, FreeAndZeroWithoutStorageDoNothing) {
    Matrix m;
    FreeMatrix(m);
    ZeroMatrix(m);
    EXPECT_EQ(m.data, nullptr);
    ASSERT_TRUE(MatrixResize(m, 2, 2, 0));
    *MatrixAt(m, 2, 2) = 5;
    ZeroMatrix(m);
    EXPECT_EQ(*MatrixAt(m, 2, 2), 0.0);
    FreeMatrix(m);
    EXPECT_EQ(m.data, nullptr);
    EXPECT_EQ(m.rows + m.cols, 0u);
}

TEST(Matrix, ResizeThatCannotAllocateFails) {
    Matrix m;
    long live = LiveBlockCount();
    SetAllocFailAfter(0);
    EXPECT_FALSE(MatrixResize(m, 2, 2, 0));
    SetAllocFailAfter(-1);
    EXPECT_EQ(m.data, nullptr);
    EXPECT_EQ(LiveBlockCount(), live);
}

// A least-squares problem of m rows, n columns and nb right-hand sides, given row by row,
// with the room the solver works in.
struct Problem {
    Matrix A, B, X;
    std::vector<double> R;
    int32_t m, n, nb;
    Problem(int32_t rows, int32_t cols, int32_t rhs, const std::vector<double>& a = {},
            const std::vector<double>& b = {})
        : R(size_t(rhs) + 1), m(rows), n(cols), nb(rhs) {
        uint32_t room = uint32_t(std::max(rows, cols));
        EXPECT_TRUE(MatrixResize(A, room, uint32_t(cols), 0) &&
                    MatrixResize(B, room, uint32_t(rhs), 0) &&
                    MatrixResize(X, uint32_t(cols), uint32_t(rhs), 0));
        std::copy(a.begin(), a.end(), A.data.get());
        std::copy(b.begin(), b.end(), B.data.get());
    }
    bool Solve(int32_t& rank, uint8_t& converged, double ratio = 0) {
        return SolveLeastSquares(A, B, X, R.data(), m, n, nb, rank, converged, ratio);
    }
};

TEST(SolveLeastSquares, RankSolutionAndResidual) {
    const std::vector<double> worked = {199.0 / 531, 204.0 / 531}, ones(8, 1.0);
    struct Case {
        const char* name;
        int32_t m, n, nb;
        std::vector<double> a, b;
        double ratio;
        int32_t rank;
        std::vector<double> x; // row by row; empty: not checked
        double r1;             // the first residual sum; NaN: not checked
        double tolerance;
    } cases[] = {
        {"worked", 3, 2, 1, {1, 2, 2, 3, 7, 1}, {1, 2, 3}, 0, 2, worked, 8496.0 / 281961, 1e-15},
        {"zero matrix", 3, 2, 1, {0, 0, 0, 0, 0, 0}, {1, 2, 3}, 0, 0, {0, 0}, 14, 0},
        {"zero, 2 sides", 4, 3, 2, {}, {1, 2, 3, 4, 5, 6, 7, 8}, 0, 0, {0, 0, 0, 0, 0, 0}, NAN, 0},
        // A constant column twice: the minimum-norm answer splits it.
        {"dependent", 4, 2, 1, ones, {2, 4, 6, 8}, -0.5, 1, {2.5, 2.5}, NAN, 1e-12},
        {"one row, minimum norm", 1, 2, 1, {1, 3}, {10}, 0, 1, {1, 3}, NAN, 1e-12},
        // Singular values 2 and 1e-3 (and 1e-3 / 2 below 1e-3): the ratio cuts by magnitude.
        {"ratio 0", 3, 2, 1, {2, 0, 0, 1e-3, 0, 0}, {1, 1, 1}, 0, 2, {}, NAN, 0},
        {"ratio -1e-4", 3, 2, 1, {2, 0, 0, 1e-3, 0, 0}, {1, 1, 1}, -1e-4, 2, {}, NAN, 0},
        {"ratio 1e-3", 3, 2, 1, {2, 0, 0, 1e-3, 0, 0}, {1, 1, 1}, 1e-3, 1, {}, NAN, 0},
        {"ratio -1e-3", 3, 2, 1, {2, 0, 0, 1e-3, 0, 0}, {1, 1, 1}, -1e-3, 1, {}, NAN, 0},
        {"ratio 0.6", 3, 2, 1, {2, 0, 0, 1e-3, 0, 0}, {1, 1, 1}, 0.6, 1, {}, NAN, 0},
        // Only values below the ratio's share of the largest count as 0: at 1 the largest stays.
        {"ratio 1", 3, 2, 1, {2, 0, 0, 1e-3, 0, 0}, {1, 1, 1}, 1.0, 1, {}, NAN, 0},
        {"ratio past 1", 3, 2, 1, {2, 0, 0, 1e-3, 0, 0}, {1, 1, 1}, 1.0000001, 0, {}, NAN, 0},
        {"ratio 0.5e-3", 3, 2, 1, {2, 0, 0, 1e-3, 0, 0}, {1, 1, 1}, 0.5e-3, 2, {}, NAN, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Problem p(c.m, c.n, c.nb, c.a, c.b);
        int32_t rank = -1;
        uint8_t converged = 0;
        ASSERT_TRUE(p.Solve(rank, converged, c.ratio));
        EXPECT_EQ(converged, 1);
        EXPECT_EQ(rank, c.rank);
        for (std::size_t i = 0; i < c.x.size(); ++i)
            EXPECT_NEAR(p.X.data[i], c.x[i], c.tolerance) << i;
        if (!std::isnan(c.r1)) {
            EXPECT_NEAR(p.R[1], c.r1, c.tolerance);
        }
    }
}

// Random well-conditioned problems against the normal equations solved by Cramer's rule.
TEST(SolveLeastSquares, AgreesWithTheNormalEquationsOfRandomLines) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> u(-10, 10);
    for (int trial = 0; trial < 200; ++trial) {
        int32_t m = 2 + trial % 30;
        Problem p(m, 2, 1);
        double sx = 0, sxx = 0, sy = 0, sxy = 0;
        for (int i = 1; i <= m; ++i) {
            double x = u(random), y = u(random);
            *MatrixAt(p.A, i, 1) = 1;
            *MatrixAt(p.A, i, 2) = x;
            *MatrixAt(p.B, i, 1) = y;
            sx += x, sxx += x * x, sy += y, sxy += x * y;
        }
        double det = m * sxx - sx * sx;
        int32_t rank = 0;
        uint8_t converged = 0;
        ASSERT_TRUE(p.Solve(rank, converged));
        ASSERT_EQ(converged, 1);
        EXPECT_NEAR(*MatrixAt(p.X, 2, 1), (m * sxy - sx * sy) / det, 1e-9) << trial;
        EXPECT_NEAR(*MatrixAt(p.X, 1, 1), (sxx * sy - sx * sxy) / det, 1e-9) << trial;
    }
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

} // namespace vl
