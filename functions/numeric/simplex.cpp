#include "functions/numeric/simplex.h"

#include <cfloat>
#include <cmath>
#include <new>
#include <vector>

namespace vl {

namespace {

uint64_t gPivots = 0;

constexpr double kHalfLargest = 8.988465674311579e307;

// row[j] -= pivotRow[j] * factor over the whole row, which vectorises. Built for AVX-512 and
// AVX2 too, chosen at load time by what the processor has; the build contracts no multiply
// and subtract into one rounding, so every processor computes the same bits.
#if defined(__x86_64__)
__attribute__((target_clones("avx512f", "avx2", "default")))
#endif
void SubtractScaledRow(double* __restrict row, const double* __restrict pivotRow, double factor,
                       std::size_t width) {
    for (std::size_t j = 0; j < width; ++j) row[j] -= pivotRow[j] * factor;
}

// One pivot on (p, q). Only the columns where the pivot row is not zero change: the
// basic columns other than the leaving one are zero there. A sparse pivot row updates
// just those columns; a dense one updates whole rows, which is faster and gives the same
// values (a zero times a finite factor changes nothing). The eliminated column comes out
// 0 and the pivot 1, as the pivot step sets them.
void Pivot(int32_t p, int32_t q, Matrix& T, Matrix& b, Matrix& c, Matrix& basis, int32_t m,
           int32_t columns, std::vector<std::size_t>& nonzero) {
    ++gPivots;
    const std::size_t width = std::size_t(columns), at = std::size_t(q - 1);
    double* pivotRow = &MatrixElement(T, p, 1);
    const double pivot = pivotRow[at];
    nonzero.clear();
    for (std::size_t j = 0; j < width; ++j) {
        if (pivotRow[j] == 0.0) continue;
        pivotRow[j] /= pivot;
        nonzero.push_back(j);
    }
    pivotRow[at] = 1.0;
    const bool dense = 4 * nonzero.size() >= width;
    auto update = [&](double* row, double factor) {
        if (dense && std::isfinite(factor))
            SubtractScaledRow(row, pivotRow, factor, width);
        else
            for (std::size_t j : nonzero) row[j] -= pivotRow[j] * factor;
    };
    VectorAt(b, p) /= pivot;
    const double bp = VectorAt(b, p);
    for (int32_t i = 1; i <= m; ++i) {
        if (i == p) continue;
        double* row = &MatrixElement(T, i, 1);
        const double factor = row[at];
        if (factor != 0.0) {
            update(row, factor);
            VectorAt(b, i) -= factor * bp;
        }
        row[at] = 0.0;
    }
    double* cost = &VectorAt(c, 1);
    const double cq = cost[at];
    update(cost, cq);
    cost[at] = 0.0;
    VectorAt(basis, p) = q;
}

// d(j) = c(j) - sum over rows of c(basis(i)) T(i, j); the entering column (0: none) is
// the non-basic one with the largest d above epsilon, ties keeping the lower column.
int32_t Price(const Matrix& T, const Matrix& c, Matrix& d, const Matrix& basis, int32_t m,
              int32_t columns, double epsilon, std::vector<uint8_t>& isBasic) {
    isBasic.assign(std::size_t(columns) + 1, 0);
    for (int32_t i = 1; i <= m; ++i) {
        int32_t j = BasisColumn(basis, i);
        if (j >= 1 && j <= columns) isBasic[std::size_t(j)] = 1;
    }
    for (int32_t j = 1; j <= columns; ++j) VectorAt(d, j) = VectorAt(c, j);
    for (int32_t i = 1; i <= m; ++i) {
        int32_t bj = BasisColumn(basis, i);
        double cost = bj >= 1 ? VectorAt(c, bj) : 0.0;
        if (cost == 0.0) continue;
        for (int32_t j = 1; j <= columns; ++j) VectorAt(d, j) -= cost * MatrixElement(T, i, j);
    }
    int32_t q = 0;
    double largest = epsilon;
    for (int32_t j = 1; j <= columns; ++j) {
        if (isBasic[std::size_t(j)]) continue;
        if (VectorAt(d, j) > largest) {
            largest = VectorAt(d, j);
            q = j;
        }
    }
    return q;
}

double TypeSign(double type) {
    return type > 0 ? 1.0 : type < 0 ? -1.0 : 0.0;
}

} // namespace

uint64_t SimplexPivotCount() {
    return gPivots;
}

int32_t FindMinRatioRow(int32_t q, const Matrix& T, const Matrix& b, int32_t m, double epsilon) {
    int32_t p = 0;
    double best = DBL_MAX;
    for (int32_t i = 1; i <= m; ++i) {
        double t = MatrixElement(T, i, q);
        if (!(t > epsilon)) continue;
        double ratio = VectorAt(b, i) / t;
        if (ratio < best) {
            best = ratio;
            p = i;
        }
    }
    return p;
}

bool LpPivotInColumn(int32_t q, Matrix& T, Matrix& b, Matrix& c, Matrix& basis, int32_t m,
                     int32_t columns, double epsilon) {
    int32_t p = FindMinRatioRow(q, T, b, m, epsilon);
    if (p == 0) return false;
    thread_local std::vector<std::size_t> nonzero;
    Pivot(p, q, T, b, c, basis, m, columns, nonzero);
    return true;
}

void RunSimplexIterations(Matrix& T, Matrix& b, Matrix& c, Matrix& d, Matrix& basis, int32_t m,
                          int32_t columns, double epsilon, uint8_t& ok) {
    std::vector<uint8_t> isBasic;
    const int64_t limit = SimplexPivotLimit(m, columns);
    for (int64_t pivots = 0;; ++pivots) {
        int32_t q = Price(T, c, d, basis, m, columns, epsilon, isBasic);
        if (q == 0) {
            ok = 1;
            return;
        }
        if (pivots >= limit) {
            ok = 2;
            return;
        }
        if (!LpPivotInColumn(q, T, b, c, basis, m, columns, epsilon)) {
            ok = 0;
            return;
        }
    }
}

double LpEstimateBigM(const Matrix& T, const Matrix& b, const Matrix& c, int32_t m, int32_t n,
                      double epsilon) {
    (void)b;
    double M = 1.0;
    for (int32_t i = 1; i <= m; ++i) {
        for (int32_t j = 1; j <= n; ++j) {
            double a = std::fabs(MatrixElement(T, i, j));
            if (!(a > epsilon)) continue;
            double t = a < 1 ? 10 / a : 10 * a;
            if (t < kHalfLargest && t >= M) M = t;
        }
    }
    double value = M;
    for (int32_t j = 1; j <= n; ++j) {
        double t = std::fabs(VectorAt(c, j)) * M * 10;
        if (t < kHalfLargest && t >= value) value = t;
    }
    return value;
}

void NormaliseLpRows(Matrix& T, Matrix& s, Matrix& b, int32_t m, int32_t n) {
    for (int32_t i = 1; i <= m; ++i) {
        // A type is read by its sign: a type row of 2 or -3 is still <= or >=, and every
        // row gets a basic column below.
        VectorAt(s, i) = TypeSign(VectorAt(s, i));
        if (!(VectorAt(b, i) < 0)) continue;
        for (int32_t j = 1; j <= n; ++j) MatrixElement(T, i, j) = -MatrixElement(T, i, j);
        VectorAt(b, i) = -VectorAt(b, i);
        VectorAt(s, i) = -VectorAt(s, i);
    }
}

int32_t AddLpColumns(Matrix& T, const Matrix& s, Matrix& c, Matrix& basis, int32_t m, int32_t n,
                     double M, int32_t& ns) {
    int32_t col = n;
    for (int32_t i = 1; i <= m; ++i) {
        if (VectorAt(s, i) == 0) continue;
        MatrixElement(T, i, ++col) = VectorAt(s, i);
        if (VectorAt(s, i) == 1) VectorAt(basis, i) = col;
    }
    ns = col - n;
    for (int32_t i = 1; i <= m; ++i) {
        if (VectorAt(s, i) > 0) continue;
        MatrixElement(T, i, ++col) = 1.0;
        VectorAt(c, col) = -M;
        VectorAt(basis, i) = col;
    }
    return col;
}

namespace {

int SolvePrepared(Matrix& T, Matrix& s, Matrix& b, Matrix& c, Matrix& x, int32_t& vector, int32_t m,
                  int32_t n, double epsilon, double M) {
    Matrix basis, d;
    if (!MatrixResize(basis, 1, uint32_t(m), 0) || !MatrixResize(d, 1, uint32_t(n + 2 * m), 0))
        return kLpMemory;
    int32_t ns = 0;
    int32_t columns = AddLpColumns(T, s, c, basis, m, n, M, ns);
    uint8_t ok = 0;
    RunSimplexIterations(T, b, c, d, basis, m, columns, epsilon, ok);
    if (ok == 0) return kLpUnbounded;
    if (ok == 2) return kLpStepLimit;
    for (int32_t i = 1; i <= m; ++i)
        if (BasisColumn(basis, i) > n + ns && std::fabs(VectorAt(b, i)) > epsilon)
            return kLpInfeasible;
    std::vector<uint8_t> isBasic(std::size_t(columns) + 1, 0);
    for (int32_t i = 1; i <= m; ++i) isBasic[std::size_t(BasisColumn(basis, i))] = 1;
    int32_t zeroCost = 0;
    for (int32_t j = 1; j <= n + ns; ++j) {
        if (isBasic[std::size_t(j)] || std::fabs(VectorAt(d, j)) > epsilon) continue;
        ++zeroCost;
        if (vector > 1 && zeroCost == vector - 1) {
            LpPivotInColumn(j, T, b, c, basis, m, columns, epsilon);
            break;
        }
    }
    if (vector == 0) {
        vector = 1 + zeroCost;
        return kLpSolved;
    }
    if (zeroCost < vector - 1) return kLpInfeasible;
    for (int32_t i = 1; i <= m; ++i) {
        int32_t j = BasisColumn(basis, i);
        if (j >= 1 && j <= n) VectorAt(x, j) = VectorAt(b, i);
    }
    return kLpSolved;
}

} // namespace

int SolveLinearProgram(Matrix& T, Matrix& s, Matrix& b, Matrix& c, Matrix& x, int32_t& vector,
                       int32_t m, int32_t n, double epsilon, double M) {
    NormaliseLpRows(T, s, b, m, n);
    if (epsilon <= 0) epsilon = kLpDefaultEpsilon;
    if (M <= 0) M = LpEstimateBigM(T, b, c, m, n, epsilon);
    try {
        return SolvePrepared(T, s, b, c, x, vector, m, n, epsilon, M);
    } catch (const std::bad_alloc&) {
        return kLpMemory;
    }
}

} // namespace vl
