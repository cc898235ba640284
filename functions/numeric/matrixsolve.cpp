// Triangular solves, the Cholesky factor and inverse, and Gaussian elimination.
#include "functions/numeric/matrix.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace vl {

namespace {

void SwapRows(Matrix& M, int32_t a, int32_t b, int32_t cols) {
    for (int32_t j = 1; j <= cols; ++j) std::swap(MatrixElement(M, a, j), MatrixElement(M, b, j));
}

// The value a row offers as the pivot of column k.
double PivotCandidate(const Matrix& A, const Matrix* scale, int32_t i, int32_t k) {
    double value = MatrixElement(A, i, k);
    return scale ? value / VectorAt(*scale, i) : value;
}

// No scale is below 1: a row whose entries are all small competes for the pivot with its
// values as they are, not blown up to the size of the others.
void SetRowScales(const Matrix& A, Matrix& scale, int32_t n) {
    for (int32_t i = 1; i <= n; ++i) {
        double largest = 1.0;
        for (int32_t j = 1; j <= n; ++j)
            largest = std::max(largest, std::fabs(MatrixElement(A, i, j)));
        VectorAt(scale, i) = largest;
    }
}

// Row k loses its multiple of every row below it in column k.
void EliminateBelow(Matrix& A, Matrix& B, int32_t k, int32_t n, int32_t nb) {
    for (int32_t i = k + 1; i <= n; ++i) {
        double f = MatrixElement(A, i, k) / MatrixElement(A, k, k);
        MatrixElement(A, i, k) = f;
        for (int32_t j = k + 1; j <= n; ++j) MatrixElement(A, i, j) -= f * MatrixElement(A, k, j);
        for (int32_t j = 1; j <= nb; ++j) MatrixElement(B, i, j) -= f * MatrixElement(B, k, j);
    }
}

} // namespace

void ForwardSubstitute(const Matrix& L, Matrix& B, int32_t n, int32_t m) {
    for (int32_t i = 1; i <= n; ++i) {
        for (int32_t j = 1; j <= m; ++j) {
            double s = 0;
            for (int32_t k = 1; k <= i - 1; ++k)
                s += MatrixElement(L, i, k) * MatrixElement(B, k, j);
            MatrixElement(B, i, j) = (MatrixElement(B, i, j) - s) / MatrixElement(L, i, i);
        }
    }
}

void BackSubstitute(const Matrix& U, Matrix& B, int32_t n, int32_t m) {
    for (int32_t i = n; i >= 1; --i) {
        for (int32_t j = 1; j <= m; ++j) {
            double s = 0;
            for (int32_t k = i + 1; k <= n; ++k)
                s += MatrixElement(U, i, k) * MatrixElement(B, k, j);
            MatrixElement(B, i, j) = (MatrixElement(B, i, j) - s) / MatrixElement(U, i, i);
        }
    }
}

void CholeskyFactor(const Matrix& A, Matrix& U, int32_t n) {
    for (int32_t i = 1; i <= n; ++i)
        for (int32_t j = 1; j <= n; ++j) MatrixElement(U, i, j) = 0.0;
    for (int32_t j = 1; j <= n; ++j) {
        for (int32_t i = j; i <= n; ++i) {
            double t = MatrixElement(A, j, i);
            for (int32_t k = 1; k <= j - 1; ++k)
                t -= MatrixElement(U, k, j) * MatrixElement(U, k, i);
            MatrixElement(U, j, i) = i == j ? std::sqrt(std::fabs(t)) : t / MatrixElement(U, j, j);
        }
    }
}

void CholeskyInvert(Matrix& A, Matrix& U, int32_t n) {
    if (n < 1) return;
    CholeskyFactor(A, U, n);
    for (int32_t j = 1; j <= n; ++j) {
        // U^T y = e_j, with y(j..n) kept in row n of A.
        MatrixElement(A, n, j) = 1.0 / MatrixElement(U, j, j);
        for (int32_t i = j + 1; i <= n; ++i) {
            double s = 0;
            for (int32_t k = j; k <= i - 1; ++k)
                s += MatrixElement(U, k, i) * MatrixElement(A, n, k);
            MatrixElement(A, n, i) = -s / MatrixElement(U, i, i);
        }
        // U x = y, x(i) into A(j, i).
        for (int32_t i = n; i >= j; --i) {
            double s = MatrixElement(A, n, i);
            for (int32_t k = i + 1; k <= n; ++k)
                s -= MatrixElement(U, i, k) * MatrixElement(A, j, k);
            MatrixElement(A, j, i) = s / MatrixElement(U, i, i);
        }
    }
    for (int32_t j = 1; j <= n; ++j)
        for (int32_t i = j + 1; i <= n; ++i) MatrixElement(A, i, j) = MatrixElement(A, j, i);
}

void GaussSolve(Matrix& A, Matrix& B, Matrix* scale, uint32_t* perm, int32_t n, int32_t nb,
                uint8_t& ok) {
    ok = 1;
    if (n < 1) return;
    if (scale) SetRowScales(A, *scale, n);
    if (perm)
        for (int32_t i = 1; i <= n; ++i) perm[i - 1] = uint32_t(i);
    for (int32_t k = 1; k <= n - 1; ++k) {
        int32_t p = k;
        double best = PivotCandidate(A, scale, k, k);
        for (int32_t i = k + 1; i <= n; ++i) {
            double candidate = PivotCandidate(A, scale, i, k);
            if (std::fabs(candidate) > std::fabs(best)) {
                p = i;
                best = candidate;
            }
        }
        if (best == 0.0) {
            ok = 0;
            return;
        }
        if (p != k) {
            SwapRows(A, k, p, n);
            SwapRows(B, k, p, nb);
            if (scale) std::swap(VectorAt(*scale, k), VectorAt(*scale, p));
            if (perm) std::swap(perm[k - 1], perm[p - 1]);
        }
        EliminateBelow(A, B, k, n, nb);
    }
    // A zero last pivot would turn the back substitution into infinities.
    if (MatrixElement(A, n, n) == 0.0) {
        ok = 0;
        return;
    }
    BackSubstitute(A, B, n, nb);
}

double PermutationSign(const uint32_t* perm, int32_t n) {
    std::vector<bool> seen(std::size_t(std::max(n, 0)), false);
    double sign = 1;
    for (int32_t i = 0; i < n; ++i) {
        if (seen[std::size_t(i)]) continue;
        int32_t length = 0;
        for (int32_t j = i; !seen[std::size_t(j)]; j = int32_t(perm[j]) - 1) {
            seen[std::size_t(j)] = true;
            ++length;
        }
        if (length % 2 == 0) sign = -sign;
    }
    return sign;
}

} // namespace vl
