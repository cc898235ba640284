#include "functions/numeric/matrix.h"
#include "functions/numeric/svd.h"

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

struct Problem {
    Matrix A, B, X;
    std::vector<double> R;
    int32_t m, n, nb;
    Problem(int32_t rows, int32_t cols, int32_t rhs)
        : R(size_t(rhs) + 1), m(rows), n(cols), nb(rhs) {
        EXPECT_TRUE(MatrixResize(A, uint32_t(std::max(rows, cols)), uint32_t(cols), 0));
        EXPECT_TRUE(MatrixResize(B, uint32_t(std::max(rows, cols)), uint32_t(rhs), 0));
        EXPECT_TRUE(MatrixResize(X, uint32_t(cols), uint32_t(rhs), 0));
    }
    bool Solve(int32_t& rank, uint8_t& converged, double ratio = 0) {
        return SolveLeastSquares(A, B, X, R.data(), m, n, nb, rank, converged, ratio);
    }
};

TEST(SolveLeastSquares, GivesTheWorkedExample) {
    Problem p(3, 2, 1);
    const double a[] = {1, 2, 2, 3, 7, 1}, b[] = {1, 2, 3};
    for (int i = 0; i < 6; ++i) p.A.data[i] = a[i];
    for (int i = 0; i < 3; ++i) p.B.data[i] = b[i];
    int32_t rank = 0;
    uint8_t converged = 0;
    ASSERT_TRUE(p.Solve(rank, converged));
    EXPECT_EQ(converged, 1);
    EXPECT_EQ(rank, 2);
    EXPECT_NEAR(*MatrixAt(p.X, 1, 1), 199.0 / 531, 1e-14);
    EXPECT_NEAR(*MatrixAt(p.X, 2, 1), 204.0 / 531, 1e-14);
    double x1 = 199.0 / 531, x2 = 204.0 / 531, rest = 0;
    for (int i = 0; i < 3; ++i) rest += std::pow(a[2 * i] * x1 + a[2 * i + 1] * x2 - b[i], 2);
    EXPECT_NEAR(p.R[1], rest, 1e-13);
}

TEST(SolveLeastSquares, ZeroMatrixHasRankZeroAndAZeroSolution) {
    Problem p(4, 3, 2);
    for (int i = 0; i < 8; ++i) p.B.data[i] = i + 1;
    int32_t rank = -1;
    uint8_t converged = 0;
    ASSERT_TRUE(p.Solve(rank, converged));
    EXPECT_EQ(rank, 0);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(p.X.data[i], 0.0);
}

TEST(SolveLeastSquares, DropsADependentColumn) {
    Problem p(4, 2, 1); // a constant column twice: the minimum-norm answer splits it
    for (int i = 1; i <= 4; ++i) {
        *MatrixAt(p.A, i, 1) = 1;
        *MatrixAt(p.A, i, 2) = 1;
        *MatrixAt(p.B, i, 1) = 2 * i;
    }
    int32_t rank = 0;
    uint8_t converged = 0;
    ASSERT_TRUE(p.Solve(rank, converged, -0.5));
    EXPECT_EQ(rank, 1);
    EXPECT_NEAR(*MatrixAt(p.X, 1, 1), 2.5, 1e-12);
    EXPECT_NEAR(*MatrixAt(p.X, 2, 1), 2.5, 1e-12);
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

TEST(SolveLeastSquares, OneRowOfTwoColumns) {
    Problem p(1, 2, 1);
    *MatrixAt(p.A, 1, 1) = 1;
    *MatrixAt(p.A, 1, 2) = 3;
    *MatrixAt(p.B, 1, 1) = 10;
    int32_t rank = 0;
    uint8_t converged = 0;
    ASSERT_TRUE(p.Solve(rank, converged));
    EXPECT_EQ(rank, 1);
    EXPECT_NEAR(*MatrixAt(p.X, 1, 1), 1, 1e-12); // minimum norm: (1, 3)
    EXPECT_NEAR(*MatrixAt(p.X, 2, 1), 3, 1e-12);
}

TEST(SolveLeastSquares, FailsWithoutMemoryAndLeavesNothingAllocated) {
    for (long at = 0; at < 6; ++at) {
        Problem p(5, 2, 1);
        long live = LiveBlockCount();
        int32_t rank = 0;
        uint8_t converged = 0;
        SetAllocFailAfter(at);
        bool ok = p.Solve(rank, converged);
        SetAllocFailAfter(-1);
        EXPECT_FALSE(ok) << at;
        EXPECT_EQ(LiveBlockCount(), live) << at;
    }
}

} // namespace vl
