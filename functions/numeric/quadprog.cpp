#include "functions/numeric/quadprog.h"

#include "functions/numeric/simplex.h"

#include <cmath>
#include <new>
#include <vector>

namespace vl {

namespace {

// The pairs x_j with v_j and u_k with w_k, in both directions.
int32_t Complement(int32_t j, int32_t m, int32_t n) {
    if (j <= n) return n + m + j;
    if (j <= n + m) return 2 * n + m + (j - n);
    if (j <= 2 * n + m) return j - (n + m);
    return j - (n + m);
}

void Price(const Matrix& W, const Matrix& c, Matrix& d, const Matrix& basis, int32_t rows,
           int32_t columns) {
    for (int32_t j = 1; j <= columns; ++j) VectorAt(d, j) = VectorAt(c, j);
    for (int32_t i = 1; i <= rows; ++i) {
        double cost = VectorAt(c, BasisColumn(basis, i));
        if (cost == 0.0) continue;
        for (int32_t j = 1; j <= columns; ++j) VectorAt(d, j) -= cost * MatrixElement(W, i, j);
    }
}

// The row a column is basic in, 0 when it is not basic.
int32_t BasicRow(const Matrix& basis, int32_t rows, int32_t column) {
    for (int32_t i = 1; i <= rows; ++i)
        if (BasisColumn(basis, i) == column) return i;
    return 0;
}

// May column j enter? Only when its complement is not basic or leaves as j enters.
bool MayEnter(int32_t j, const Matrix& W, const Matrix& rhs, const Matrix& basis, int32_t rows,
              int32_t m, int32_t n, double epsilon) {
    int32_t complementRow = BasicRow(basis, rows, Complement(j, m, n));
    return complementRow == 0 || FindMinRatioRow(j, W, rhs, rows, epsilon) == complementRow;
}

bool ArtificialLeft(const Matrix& rhs, const Matrix& basis, int32_t rows, int32_t slackColumns,
                    double epsilon) {
    for (int32_t i = 1; i <= rows; ++i)
        if (BasisColumn(basis, i) > slackColumns && VectorAt(rhs, i) > epsilon) return true;
    return false;
}

// A zero-cost column whose complement is not basic, pivoted in to move the artificials.
bool PivotZeroCost(Matrix& W, Matrix& rhs, Matrix& c, const Matrix& d, Matrix& basis, int32_t rows,
                   int32_t columns, int32_t m, int32_t n, int32_t slackColumns, double epsilon) {
    for (int32_t j = 1; j <= slackColumns; ++j) {
        if (BasicRow(basis, rows, j) || std::fabs(VectorAt(d, j)) > epsilon) continue;
        if (BasicRow(basis, rows, Complement(j, m, n))) continue;
        if (LpPivotInColumn(j, W, rhs, c, basis, rows, columns, epsilon)) return true;
    }
    return false;
}

// Counts (or, with `pivotAt`, pivots in the pivotAt-th of) the zero-cost columns that
// could enter; they mark alternative optima.
int32_t WalkAlternatives(Matrix& W, Matrix& rhs, Matrix& c, const Matrix& d, Matrix& basis,
                         int32_t rows, int32_t columns, int32_t m, int32_t n, int32_t slackColumns,
                         double epsilon, int32_t pivotAt) {
    int32_t count = 0;
    for (int32_t j = 1; j <= slackColumns; ++j) {
        if (BasicRow(basis, rows, j) || std::fabs(VectorAt(d, j)) > epsilon) continue;
        if (!MayEnter(j, W, rhs, basis, rows, m, n, epsilon)) continue;
        if (++count == pivotAt) {
            LpPivotInColumn(j, W, rhs, c, basis, rows, columns, epsilon);
            break;
        }
    }
    return count;
}

// Equality rows become a <= row and a >= copy below the last row; then rows with a
// negative right-hand side are negated. Returns the new row count.
int32_t SplitAndNormalise(Matrix& A, Matrix& s, Matrix& b, int32_t m, int32_t n) {
    int32_t rows = m;
    for (int32_t i = 1; i <= m; ++i) {
        double type = VectorAt(s, i);
        VectorAt(s, i) = type > 0 ? 1.0 : type < 0 ? -1.0 : 0.0;
        if (VectorAt(s, i) != 0) continue;
        ++rows;
        for (int32_t j = 1; j <= n; ++j) MatrixElement(A, rows, j) = MatrixElement(A, i, j);
        VectorAt(b, rows) = VectorAt(b, i);
        VectorAt(s, rows) = -1;
        VectorAt(s, i) = 1;
    }
    for (int32_t i = 1; i <= rows; ++i) {
        if (!(VectorAt(b, i) < 0)) continue;
        for (int32_t j = 1; j <= n; ++j) MatrixElement(A, i, j) = -MatrixElement(A, i, j);
        VectorAt(b, i) = -VectorAt(b, i);
        VectorAt(s, i) = -VectorAt(s, i);
    }
    return rows;
}

struct QpTableau {
    Matrix W, rhs, c, d, basis;
    int32_t rows = 0, columns = 0, slackColumns = 0;
};

void AddArtificial(QpTableau& t, int32_t row) {
    ++t.columns;
    MatrixElement(t.W, row, t.columns) = 1.0;
    VectorAt(t.c, t.columns) = -1.0;
    VectorAt(t.basis, row) = t.columns;
}

// The Kuhn-Tucker system: stationarity rows, then constraint rows, with a starting basis.
void BuildTableau(QpTableau& t, const Matrix& A, const Matrix& s, const Matrix& b, const Matrix& p,
                  const Matrix& C, int32_t m, int32_t n) {
    t.rows = n + m;
    t.slackColumns = t.columns = 2 * (n + m);
    for (int32_t i = 1; i <= n; ++i) {
        for (int32_t j = 1; j <= n; ++j)
            MatrixElement(t.W, i, j) = i == j ? -2 * MatrixElement(C, i, i)
                                              : -(MatrixElement(C, j, i) + MatrixElement(C, i, j));
        for (int32_t k = 1; k <= m; ++k)
            MatrixElement(t.W, i, n + k) =
                VectorAt(s, k) > 0 ? -MatrixElement(A, k, i) : MatrixElement(A, k, i);
        MatrixElement(t.W, i, n + m + i) = 1.0;
        VectorAt(t.rhs, i) = -VectorAt(p, i);
    }
    for (int32_t k = 1; k <= m; ++k) {
        for (int32_t j = 1; j <= n; ++j) MatrixElement(t.W, n + k, j) = MatrixElement(A, k, j);
        MatrixElement(t.W, n + k, 2 * n + m + k) = VectorAt(s, k);
        VectorAt(t.rhs, n + k) = VectorAt(b, k);
    }
    for (int32_t i = 1; i <= n; ++i) {
        if (VectorAt(t.rhs, i) >= 0) {
            VectorAt(t.basis, i) = n + m + i;
            continue;
        }
        for (int32_t j = 1; j <= 2 * (n + m); ++j)
            MatrixElement(t.W, i, j) = -MatrixElement(t.W, i, j);
        VectorAt(t.rhs, i) = -VectorAt(t.rhs, i);
        AddArtificial(t, i);
    }
    for (int32_t k = 1; k <= m; ++k) {
        if (VectorAt(s, k) > 0)
            VectorAt(t.basis, n + k) = 2 * n + m + k;
        else
            AddArtificial(t, n + k);
    }
}

bool AllocateTableau(QpTableau& t, int32_t m, int32_t n) {
    uint32_t rows = uint32_t(n + m), columns = 3 * rows;
    return MatrixResize(t.W, rows, columns, 0) && MatrixResize(t.rhs, 1, rows, 0) &&
           MatrixResize(t.c, 1, columns, 0) && MatrixResize(t.d, 1, columns, 0) &&
           MatrixResize(t.basis, 1, rows, 0);
}

} // namespace

void QpInnerStep(Matrix& W, Matrix& rhs, Matrix& c, Matrix& d, Matrix& basis, int32_t rows,
                 int32_t columns, int32_t m, int32_t n, int32_t slackColumns, double epsilon,
                 uint8_t& ok) {
    const int64_t limit = SimplexPivotLimit(rows, columns);
    for (int64_t pivots = 0;; ++pivots) {
        Price(W, c, d, basis, rows, columns);
        int32_t q = 0;
        double largest = epsilon;
        for (int32_t j = 1; j <= slackColumns; ++j) {
            if (!(VectorAt(d, j) > largest)) continue;
            if (!MayEnter(j, W, rhs, basis, rows, m, n, epsilon)) continue;
            q = j;
            largest = VectorAt(d, j);
        }
        bool more = q != 0 || ArtificialLeft(rhs, basis, rows, slackColumns, epsilon);
        if (more && pivots >= limit) {
            ok = 2;
            return;
        }
        if (q != 0) {
            if (!LpPivotInColumn(q, W, rhs, c, basis, rows, columns, epsilon)) {
                ok = 0;
                return;
            }
            continue;
        }
        if (more && PivotZeroCost(W, rhs, c, d, basis, rows, columns, m, n, slackColumns, epsilon))
            continue;
        ok = 1;
        return;
    }
}

namespace {

int SolvePrepared(Matrix& A, Matrix& s, Matrix& b, const Matrix& p, const Matrix& C, Matrix& x,
                  int32_t& vector, int32_t m, int32_t n, double epsilon) {
    QpTableau t;
    if (!AllocateTableau(t, m, n)) return kLpMemory;
    BuildTableau(t, A, s, b, p, C, m, n);
    uint8_t ok = 0;
    QpInnerStep(t.W, t.rhs, t.c, t.d, t.basis, t.rows, t.columns, m, n, t.slackColumns, epsilon,
                ok);
    if (ok == 0) return kLpUnbounded;
    if (ok == 2) return kLpStepLimit;
    for (int32_t i = 1; i <= t.rows; ++i)
        if (BasisColumn(t.basis, i) > t.slackColumns && std::fabs(VectorAt(t.rhs, i)) > epsilon)
            return kLpInfeasible;
    int32_t pivotAt = vector > 1 ? vector - 1 : 0;
    int32_t count = WalkAlternatives(t.W, t.rhs, t.c, t.d, t.basis, t.rows, t.columns, m, n,
                                     t.slackColumns, epsilon, pivotAt);
    if (vector == 0) {
        vector = 1 + count;
        return kLpSolved;
    }
    if (count < pivotAt) return kLpInfeasible;
    for (int32_t i = 1; i <= t.rows; ++i) {
        int32_t j = BasisColumn(t.basis, i);
        if (j <= n) VectorAt(x, j) = VectorAt(t.rhs, i);
    }
    return kLpSolved;
}

} // namespace

int SolveQuadraticProgram(Matrix& A, Matrix& s, Matrix& b, const Matrix& p, const Matrix& C,
                          Matrix& x, int32_t& vector, int32_t m, int32_t n, double epsilon) {
    m = SplitAndNormalise(A, s, b, m, n);
    if (epsilon <= 0) epsilon = kLpDefaultEpsilon;
    try {
        return SolvePrepared(A, s, b, p, C, x, vector, m, n, epsilon);
    } catch (const std::bad_alloc&) {
        return kLpMemory;
    }
}

} // namespace vl
