#include "functions/numeric/matrix.h"

#include <cstdint>
#include <cstring>

namespace vl {

std::size_t MatrixBlockBytes(std::size_t elements) {
    std::size_t bytes = elements * sizeof(double);
    return (bytes + kMatrixBlockUnit - 1) / kMatrixBlockUnit * kMatrixBlockUnit;
}

void FreeMatrix(Matrix& m) {
    if (!m.data) return;
    m.cols = m.rows = 0;
    m.flag = 0;
    m.data.reset();
}

void ZeroMatrix(Matrix& m) {
    if (m.data) std::memset(m.data.get(), 0, std::size_t(m.rows) * m.cols * sizeof(double));
}

bool MatrixResize(Matrix& m, uint32_t rows, uint32_t cols, uint8_t flag) {
    std::size_t elements = std::size_t(rows) * cols;
    if (m.data && elements <= std::size_t(m.rows) * m.cols && flag == m.flag) {
        m.rows = rows;
        m.cols = cols;
        return true;
    }
    FreeMatrix(m);
    if (cols != 0 && rows > SIZE_MAX / sizeof(double) / cols) return false;
    std::size_t bytes = MatrixBlockBytes(elements);
    if (bytes == 0) {
        m.rows = rows;
        m.cols = cols;
        return true;
    }
    auto* block = static_cast<double*>(AllocBlock(bytes));
    if (!block) return false;
    std::memset(block, 0, bytes);
    m.data.reset(block);
    m.rows = rows;
    m.cols = cols;
    return true;
}

void MatrixIdentity(Matrix& M, int32_t n) {
    for (int32_t i = 1; i <= n; ++i)
        for (int32_t j = 1; j <= n; ++j) MatrixElement(M, i, j) = i == j ? 1.0 : 0.0;
}

void MatrixTransposeCopy(const Matrix& A, Matrix& B, int32_t r, int32_t c) {
    for (int32_t i = 1; i <= r; ++i)
        for (int32_t j = 1; j <= c; ++j) MatrixElement(B, j, i) = MatrixElement(A, i, j);
}

void MatrixGetColumn(const Matrix& A, Matrix& v, int32_t n, int32_t col) {
    for (int32_t i = 1; i <= n; ++i) VectorAt(v, i) = MatrixElement(A, i, col);
}

void MatrixSetColumn(Matrix& A, const Matrix& v, int32_t n, int32_t col) {
    for (int32_t i = 1; i <= n; ++i) MatrixElement(A, i, col) = VectorAt(v, i);
}

void VectorCopy(const Matrix& src, Matrix& dst, int32_t n) {
    for (int32_t i = 1; i <= n; ++i) VectorAt(dst, i) = VectorAt(src, i);
}

void VectorScale(const Matrix& src, Matrix& dst, double s, int32_t n) {
    for (int32_t i = 1; i <= n; ++i) VectorAt(dst, i) = s * VectorAt(src, i);
}

void ColumnDotProduct(const Matrix& A, int32_t colA, const Matrix& B, int32_t colB, double& out,
                      int32_t n) {
    out = 0.0;
    for (int32_t i = 1; i <= n; ++i) out += MatrixElement(A, i, colA) * MatrixElement(B, i, colB);
}

void VectorColumnDot(const Matrix& v, const Matrix& A, int32_t col, double& out, int32_t n) {
    out = 0.0;
    for (int32_t i = 1; i <= n; ++i) out += MatrixElement(A, i, col) * VectorAt(v, i);
}

void MatrixMultiply(const Matrix& A, const Matrix& B, Matrix& C, int32_t r, int32_t k, int32_t c) {
    for (int32_t i = 1; i <= r; ++i) {
        for (int32_t j = 1; j <= c; ++j) {
            double& target = MatrixElement(C, i, j);
            target = 0.0;
            for (int32_t l = 1; l <= k; ++l)
                target += MatrixElement(A, i, l) * MatrixElement(B, l, j);
        }
    }
}

void MatrixMultiplyTransposeB(const Matrix& A, const Matrix& B, Matrix& C, int32_t r, int32_t k,
                              int32_t c) {
    for (int32_t i = 1; i <= r; ++i) {
        for (int32_t j = 1; j <= c; ++j) {
            double& target = MatrixElement(C, i, j);
            target = 0.0;
            for (int32_t l = 1; l <= k; ++l)
                target += MatrixElement(A, i, l) * MatrixElement(B, j, l);
        }
    }
}

void MatrixAdd(const Matrix& A, const Matrix& B, Matrix& C, int32_t r, int32_t c) {
    for (int32_t i = 1; i <= r; ++i)
        for (int32_t j = 1; j <= c; ++j)
            MatrixElement(C, i, j) = MatrixElement(B, i, j) + MatrixElement(A, i, j);
}

void MatrixCopyBlock(const Matrix& Src, Matrix& Dst, int32_t rows, int32_t cols, int32_t top,
                     int32_t left) {
    for (int32_t i = 1; i <= rows; ++i)
        for (int32_t j = 1; j <= cols; ++j)
            MatrixElement(Dst, i, j) = MatrixElement(Src, top + i - 1, left + j - 1);
}

void VectorScatterByMask(Matrix& dst, const Matrix& src, int32_t n, int32_t m, const Matrix& mask) {
    int32_t placed = 0;
    for (int32_t i = 1; i <= n && placed < m; ++i)
        if (VectorAt(mask, i) == 1.0) VectorAt(dst, i) = VectorAt(src, ++placed);
}

} // namespace vl
