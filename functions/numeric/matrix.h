#pragma once
// The dense matrix that the matrix, least-squares, regression and optimisation routines
// exchange: row-major doubles addressed from 1, in zero-filled blocks of whole 8,192-byte
// units so that a later shape that needs no more elements reuses the block.
//
// The dense routines below allocate nothing and check nothing: the caller sizes every
// matrix. A vector is a matrix read consecutively from its first element (element i at
// data[i - 1]). Counts are signed; a count below 1 does nothing. Targets of products and
// sums must not alias an operand.

#include "platform/core/alloc.h"

#include <cstdint>
#include <memory>

namespace vl {

struct MatrixBlockDeleter {
    void operator()(double* block) const { FreeBlock(block); }
};

struct Matrix {
    std::unique_ptr<double[], MatrixBlockDeleter> data;
    uint32_t cols = 0; // also the distance between two rows
    uint32_t rows = 0;
    uint8_t flag = 0;
};

constexpr std::size_t kMatrixBlockUnit = 8192;

// Bytes of the block that holds this many elements.
std::size_t MatrixBlockBytes(std::size_t elements);

void FreeMatrix(Matrix& m);
void ZeroMatrix(Matrix& m);

// Element (row, col), both from 1; no bounds check.
inline double* MatrixAt(Matrix& m, uint32_t row, uint32_t col) {
    return m.data.get() + std::size_t(row - 1) * m.cols + (col - 1);
}
inline double MatrixAt(const Matrix& m, uint32_t row, uint32_t col) {
    return m.data[std::size_t(row - 1) * m.cols + (col - 1)];
}

// The element itself, for reading and writing alike.
inline double& MatrixElement(Matrix& m, int32_t row, int32_t col) {
    return m.data[std::size_t(row - 1) * m.cols + std::size_t(col - 1)];
}
inline double MatrixElement(const Matrix& m, int32_t row, int32_t col) {
    return m.data[std::size_t(row - 1) * m.cols + std::size_t(col - 1)];
}

// Keeps the block, values untouched, when the new shape needs no more elements and the
// flag is the same; otherwise allocates a new zeroed block. False when that fails.
bool MatrixResize(Matrix& m, uint32_t rows, uint32_t cols, uint8_t flag);

// Element i (from 1) of a vector.
inline double& VectorAt(Matrix& v, int32_t i) {
    return v.data[std::size_t(i - 1)];
}
inline double VectorAt(const Matrix& v, int32_t i) {
    return v.data[std::size_t(i - 1)];
}

// ---- Copies and products ---------------------------------------------------------------

void MatrixIdentity(Matrix& M, int32_t n);
// B(j, i) = A(i, j) for the r x c matrix A.
void MatrixTransposeCopy(const Matrix& A, Matrix& B, int32_t r, int32_t c);
void MatrixGetColumn(const Matrix& A, Matrix& v, int32_t n, int32_t col);
void MatrixSetColumn(Matrix& A, const Matrix& v, int32_t n, int32_t col);
void VectorCopy(const Matrix& src, Matrix& dst, int32_t n);
void VectorScale(const Matrix& src, Matrix& dst, double s, int32_t n);
// Sum over i of A(i, colA) B(i, colB).
void ColumnDotProduct(const Matrix& A, int32_t colA, const Matrix& B, int32_t colB, double& out,
                      int32_t n);
// Sum over i of A(i, col) v(i).
void VectorColumnDot(const Matrix& v, const Matrix& A, int32_t col, double& out, int32_t n);
// C = A B with A r x k, B k x c.
void MatrixMultiply(const Matrix& A, const Matrix& B, Matrix& C, int32_t r, int32_t k, int32_t c);
// C = A B^T with A r x k, B c x k.
void MatrixMultiplyTransposeB(const Matrix& A, const Matrix& B, Matrix& C, int32_t r, int32_t k,
                              int32_t c);
// C = B + A over r x c.
void MatrixAdd(const Matrix& A, const Matrix& B, Matrix& C, int32_t r, int32_t c);
// Dst(i, j) = Src(top + i - 1, left + j - 1).
void MatrixCopyBlock(const Matrix& Src, Matrix& Dst, int32_t rows, int32_t cols, int32_t top,
                     int32_t left);
// Each position i of 1..n whose mask is exactly 1.0 receives the next element of src,
// until m elements have been placed; the others keep their values.
void VectorScatterByMask(Matrix& dst, const Matrix& src, int32_t n, int32_t m, const Matrix& mask);

// ---- Triangles and factorisations ------------------------------------------------------

// Overwrites the n x m matrix B with the solution of L X = B (L lower triangular).
void ForwardSubstitute(const Matrix& L, Matrix& B, int32_t n, int32_t m);
// Overwrites B with the solution of U X = B (U upper triangular).
void BackSubstitute(const Matrix& U, Matrix& B, int32_t n, int32_t m);
// U (n x n) upper triangular with U^T U = A, from the upper triangle of A. The square root
// is taken of the magnitude, so an indefinite A still factors; a zero pivot leaves
// infinities or NaNs for the callers' checks.
void CholeskyFactor(const Matrix& A, Matrix& U, int32_t n);
// Factors A into U, then overwrites A with its symmetric inverse.
void CholeskyInvert(Matrix& A, Matrix& U, int32_t n);
// Gaussian elimination with partial pivoting on A (n x n) carrying the nb right-hand
// columns of B, then back substitution into B. With `scale` (n doubles) candidates are
// compared relative to their row's largest magnitude, never below 1.0; `perm` (n row
// numbers) records the row order. A zero pivot, the last one included, sets ok to 0 and
// leaves A and B as far as they were transformed. Afterwards A holds U on and above the
// diagonal and the multipliers below it.
void GaussSolve(Matrix& A, Matrix& B, Matrix* scale, uint32_t* perm, int32_t n, int32_t nb,
                uint8_t& ok);
// 1 for an even row order from GaussSolve, -1 for an odd one: the determinant's sign.
double PermutationSign(const uint32_t* perm, int32_t n);

} // namespace vl
