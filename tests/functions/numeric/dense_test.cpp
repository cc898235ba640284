// The dense routines of the matrix record: products, copies, triangles, Cholesky and
// Gaussian elimination.
#include "functions/numeric/matrix.h"
#include "functions/numeric/simplex.h"
#include "matrixbuild.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl::test {

namespace {

void ExpectMatrix(const Matrix& m, std::initializer_list<std::initializer_list<double>> rows,
                  double tolerance = 1e-12) {
    int32_t i = 1;
    for (const auto& row : rows) {
        int32_t j = 1;
        for (double v : row) {
            EXPECT_NEAR(MatrixElement(m, i, j), v, tolerance) << "(" << i << ", " << j << ")";
            ++j;
        }
        ++i;
    }
}

} // namespace

TEST(DenseRoutines, ProductsSumsAndCopies) {
    Matrix A = MatrixOf({{1, 2, 3}, {4, 5, 6}});
    Matrix B = MatrixOf({{1, 0}, {0, 1}, {2, -1}});
    Matrix C = MatrixOf({{0, 0}, {0, 0}});
    MatrixMultiply(A, B, C, 2, 3, 2);
    ExpectMatrix(C, {{7, -1}, {16, -1}});
    Matrix Bt = MatrixOf({{1, 0, 2}, {0, 1, -1}});
    Matrix D = MatrixOf({{9, 9}, {9, 9}});
    MatrixMultiplyTransposeB(A, Bt, D, 2, 3, 2);
    ExpectMatrix(D, {{7, -1}, {16, -1}});
    Matrix T = MatrixOf({{0, 0}, {0, 0}, {0, 0}});
    MatrixTransposeCopy(A, T, 2, 3);
    ExpectMatrix(T, {{1, 4}, {2, 5}, {3, 6}});
    Matrix S = MatrixOf({{0, 0}, {0, 0}});
    MatrixAdd(C, D, S, 2, 2);
    ExpectMatrix(S, {{14, -2}, {32, -2}});
    Matrix block = MatrixOf({{0, 0}});
    MatrixCopyBlock(A, block, 1, 2, 2, 2);
    ExpectMatrix(block, {{5, 6}});
    double dot = 7;
    ColumnDotProduct(A, 3, B, 1, dot, 2);
    EXPECT_EQ(dot, 3.0);
    Matrix v = VectorOf({2, 3});
    VectorColumnDot(v, A, 2, dot, 2);
    EXPECT_EQ(dot, 19.0);
    Matrix I = MatrixOf({{5, 5}, {5, 5}});
    MatrixIdentity(I, 2);
    ExpectMatrix(I, {{1, 0}, {0, 1}});
}

TEST(DenseRoutines, CountsBelowOneChangeNothing) {
    Matrix A = MatrixOf({{3, 4}, {5, 6}});
    Matrix B = MatrixOf({{7, 8}, {9, 10}});
    Matrix v = VectorOf({1, 2});
    MatrixIdentity(A, 0);
    ForwardSubstitute(A, B, 0, 2);
    BackSubstitute(A, B, 2, 0);
    CholeskyInvert(A, B, 0);
    MatrixMultiply(A, A, B, 0, 2, 2);
    VectorScale(v, v, 5, -1);
    ExpectMatrix(A, {{3, 4}, {5, 6}});
    ExpectMatrix(B, {{7, 8}, {9, 10}});
    EXPECT_EQ(Elements(v, 2), (std::vector<double>{1, 2}));
    uint8_t ok = 0;
    GaussSolve(A, B, nullptr, nullptr, 0, 2, ok);
    EXPECT_EQ(ok, 1);
    ExpectMatrix(B, {{7, 8}, {9, 10}});
}

TEST(DenseRoutines, ScatterStopsAfterTheElementsPlaced) {
    Matrix dst = VectorOf({-1, -2, -3, -4});
    Matrix src = VectorOf({7, 8, 9});
    Matrix mask = VectorOf({1, 0, 1, 1});
    VectorScatterByMask(dst, src, 4, 2, mask);
    EXPECT_EQ(Elements(dst, 4), (std::vector<double>{7, -2, 8, -4}));
    Matrix near = VectorOf({0.999999, 2, 1});
    Matrix d2 = VectorOf({0, 0, 0});
    VectorScatterByMask(d2, src, 3, 3, near);
    EXPECT_EQ(Elements(d2, 3), (std::vector<double>{0, 0, 7}));
}

TEST(DenseRoutines, CholeskyFactorOfAHilbertLikeMatrix) {
    Matrix A = MatrixOf({{1, 0.5, 0.3333333}, {0.5, 0.3333333, 0.25}, {0.33333333, 0.25, 0.2}});
    Matrix U = MatrixOf({{9, 9, 9}, {9, 9, 9}, {9, 9, 9}});
    CholeskyFactor(A, U, 3);
    EXPECT_NEAR(MatrixElement(U, 1, 1), 1, 1e-14);
    EXPECT_NEAR(MatrixElement(U, 1, 2), 0.5, 1e-14);
    EXPECT_NEAR(MatrixElement(U, 1, 3), 0.3333333, 1e-14);
    EXPECT_NEAR(MatrixElement(U, 2, 2), 0.28867507685978, 1e-13);
    EXPECT_NEAR(MatrixElement(U, 3, 3), 0.07453530110679, 1e-13);
    EXPECT_EQ(MatrixElement(U, 2, 1), 0.0);
    EXPECT_EQ(MatrixElement(U, 3, 2), 0.0);
}

TEST(DenseRoutines, CholeskyInverseIsSymmetricAndInverts) {
    Matrix A = MatrixOf({{4, 2, 0.6}, {2, 5, 1}, {0.6, 1, 3}});
    Matrix copy = MatrixOf({{4, 2, 0.6}, {2, 5, 1}, {0.6, 1, 3}});
    Matrix U = MatrixOf({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    CholeskyInvert(A, U, 3);
    Matrix P = MatrixOf({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    MatrixMultiply(copy, A, P, 3, 3, 3);
    ExpectMatrix(P, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, 1e-14);
    for (int32_t i = 1; i <= 3; ++i)
        for (int32_t j = 1; j <= 3; ++j) EXPECT_EQ(MatrixElement(A, i, j), MatrixElement(A, j, i));
}

// The solutions, scaled and unscaled, are checked through MTXGAUSS.
TEST(DenseRoutines, GaussSolvePivotsOnTheLargestScaledCandidate) {
    Matrix A = MatrixOf({{2, -1, 3}, {1, 3, 1}, {4, 1, 1}});
    Matrix B = MatrixOf({{6}, {8}, {2}});
    Matrix scale = VectorOf({0, 0, 0});
    uint32_t perm[3] = {};
    uint8_t ok = 0;
    GaussSolve(A, B, &scale, perm, 3, 1, ok);
    ASSERT_EQ(ok, 1);
    EXPECT_EQ(perm[0], 3u);
}

TEST(DenseRoutines, GaussSolveScalesNeverBelowOne) {
    // Row 2 is small in every entry: its scale is 1.0, not 0.5, so its candidate 0.5 only
    // ties row 1's 0.6 / 1.2 and row 1 stays the pivot.
    Matrix A = MatrixOf({{0.6, 1.2}, {0.5, 0.1}});
    Matrix B = MatrixOf({{1}, {1}});
    Matrix scale = VectorOf({0, 0});
    uint32_t perm[2] = {};
    uint8_t ok = 0;
    GaussSolve(A, B, &scale, perm, 2, 1, ok);
    EXPECT_EQ(Elements(scale, 2), (std::vector<double>{1.2, 1.0}));
    EXPECT_EQ(perm[0], 1u);
}

TEST(DenseRoutines, GaussSolveReportsEveryZeroPivotTheLastIncluded) {
    struct Case {
        const char* name;
        Matrix A;
    } cases[] = {
        {"zero column", MatrixOf({{0, 1, 2}, {0, 3, 4}, {0, 5, 6}})},
        {"zero last pivot", MatrixOf({{1, 2}, {2, 4}})},
        {"one zero element", MatrixOf({{0}})},
    };
    for (Case& c : cases) {
        int32_t n = int32_t(c.A.rows);
        Matrix B;
        ASSERT_TRUE(MatrixResize(B, uint32_t(n), 1, 0));
        for (int32_t i = 1; i <= n; ++i) VectorAt(B, i) = i;
        uint8_t ok = 1;
        GaussSolve(c.A, B, nullptr, nullptr, n, 1, ok);
        EXPECT_EQ(ok, 0) << c.name;
        for (int32_t i = 1; i <= n; ++i) EXPECT_TRUE(std::isfinite(VectorAt(B, i))) << c.name;
    }
}

TEST(LinearProgram, BigMStaysBelowHalfTheLargestDouble) {
    Matrix T = MatrixOf({{1e-320, 2}, {0.5, 1e308}});
    Matrix b = VectorOf({1, 1});
    Matrix c = VectorOf({3, 1e306});
    // 10 / 0.5 = 20 and 10 x 2 = 20; 10 x 1e308 and 200 x 1e306 are too large, 1e-320 is zero.
    EXPECT_EQ(LpEstimateBigM(T, b, c, 2, 2, 1e-8), 3 * 20 * 10.0);
}

} // namespace vl::test
