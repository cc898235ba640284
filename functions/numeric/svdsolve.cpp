// The whole decomposition for the matrix functions, and least squares under equality
// constraints by the null-space method.
#include "functions/numeric/svd.h"

#include <algorithm>

namespace vl {

namespace {

// A zeroed work vector read from 1 (element 0 unused, as the SVD routines read them).
bool AllocateWork(Matrix& v, int32_t n) {
    return MatrixResize(v, 1, uint32_t(std::max(n, 0)) + 1, 0);
}

// Row i of E, columns first..n, into u(first..n).
void CopyRowTail(const Matrix& E, int32_t i, int32_t first, int32_t n, double* u) {
    for (int32_t j = first; j <= n; ++j) u[j] = MatrixElement(E, i, j);
}

// Applies the reflection (pivot p, span p+1..n) to rows first..last of M as row vectors.
void ReflectRows(Matrix& M, int32_t first, int32_t last, const double* u, double up, double b,
                 int32_t p, int32_t n, double* work) {
    for (int32_t r = first; r <= last; ++r) {
        for (int32_t j = 1; j <= n; ++j) work[j] = MatrixElement(M, r, j);
        ApplyHouseholderReflection(u, up, b, work, n, p, p + 1);
        for (int32_t j = 1; j <= n; ++j) MatrixElement(M, r, j) = work[j];
    }
}

// Eliminates the constraint rows; their reflections are kept in E and in ups and bs.
void ReduceConstraints(Matrix& A, Matrix& E, double* ups, double* bs, int32_t m, int32_t n,
                       int32_t l, double* u, double* work) {
    for (int32_t i = 1; i <= l; ++i) {
        CopyRowTail(E, i, 1, n, u);
        BuildHouseholderReflection(u, ups[i], bs[i], n, i, i + 1);
        ReflectRows(E, i, l, u, ups[i], bs[i], i, n, work);
        for (int32_t j = i + 1; j <= n; ++j) MatrixElement(E, i, j) = u[j];
        ReflectRows(A, 1, m, u, ups[i], bs[i], i, n, work);
    }
}

} // namespace

bool SvdDecomposeMatrix(Matrix& A, Matrix& Pinv, Matrix& U, Matrix& S, Matrix& V, int32_t m,
                        int32_t n, int32_t& rank, uint8_t& converged, double minMaxRatio) {
    Matrix W, values, super, rest;
    if (!MatrixResize(W, uint32_t(m), uint32_t(m), 0) || !AllocateWork(values, std::max(m, n)) ||
        !AllocateWork(super, std::max(m, n)) || !AllocateWork(rest, m))
        return false;
    MatrixIdentity(W, m);
    double* sv = values.data.get();
    if (!SvdKernel(A, W, sv, super.data.get(), m, n, m)) return false;
    converged = 1;
    SvdDiagonalise(A, W, sv, super.data.get(), m, n, m, converged);
    SortSingularValues(A, W, sv, n, m);
    MatrixCopyBlock(A, V, n, n, 1, 1);
    MatrixTransposeCopy(W, U, m, m);
    SvdRankCutoff(A, W, sv, Pinv, rest.data.get(), m, n, m, minMaxRatio, rank);
    for (int32_t i = 1; i <= m; ++i)
        for (int32_t j = 1; j <= n; ++j) MatrixElement(S, i, j) = i == j && i <= rank ? sv[i] : 0.0;
    return true;
}

bool SolveConstrainedLS(Matrix& A, Matrix& b, Matrix& E, const Matrix& d, Matrix& x, double* R,
                        int32_t m, int32_t n, int32_t l, uint8_t& converged, double minMaxRatio) {
    Matrix line, work, ups, bs, A2, z;
    int32_t k = n - l; // unknowns left once the constraints are eliminated
    if (k < 1 || !AllocateWork(line, n) || !AllocateWork(work, std::max(m, n)) ||
        !AllocateWork(ups, l) || !AllocateWork(bs, l) ||
        !MatrixResize(A2, uint32_t(std::max(m, k)), uint32_t(k), 0) ||
        !MatrixResize(z, uint32_t(k), 1, 0))
        return false;
    double* u = line.data.get();
    ReduceConstraints(A, E, ups.data.get(), bs.data.get(), m, n, l, u, work.data.get());
    for (int32_t i = 1; i <= l; ++i) {
        double s = VectorAt(d, i);
        for (int32_t j = 1; j < i; ++j) s -= MatrixElement(E, i, j) * VectorAt(x, j);
        VectorAt(x, i) = s / MatrixElement(E, i, i);
    }
    for (int32_t r = 1; r <= m; ++r)
        for (int32_t j = 1; j <= l; ++j)
            MatrixElement(b, r, 1) -= MatrixElement(A, r, j) * VectorAt(x, j);
    MatrixCopyBlock(A, A2, m, k, 1, l + 1);
    int32_t rank = 0;
    if (!SolveLeastSquares(A2, b, z, R, m, k, 1, rank, converged, minMaxRatio)) return false;
    if (!converged) return true;
    double* w = work.data.get();
    for (int32_t i = 1; i <= l; ++i) w[i] = VectorAt(x, i);
    for (int32_t i = 1; i <= k; ++i) w[l + i] = VectorAt(z, i);
    for (int32_t i = l; i >= 1; --i) {
        CopyRowTail(E, i, i + 1, n, u);
        ApplyHouseholderReflection(u, ups.data[i], bs.data[i], w, n, i, i + 1);
    }
    for (int32_t i = 1; i <= n; ++i) VectorAt(x, i) = w[i];
    return true;
}

} // namespace vl
