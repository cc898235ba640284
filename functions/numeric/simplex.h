#pragma once
// Linear programming: maximise c^T x over x >= 0 under m constraints of the kinds <=, =
// and >= (types 1, 0, -1) by a dense simplex tableau with slack, surplus and artificial
// columns, the big-M method, the largest-reduced-cost entering rule and the minimum-ratio
// leaving rule. Alternative optima are counted and reached by pivoting one zero-cost
// column into the optimal basis. The pivot routines serve the integer and quadratic
// solvers too.
//
// Vectors are matrices read from their first element; basis(i), the column basic in row
// i, is stored as a double and read rounded.

#include "functions/numeric/matrix.h"

#include <cstdint>

namespace vl {

// Result codes of the linear, integer and quadratic solvers.
constexpr int kLpMemory = 0;
constexpr int kLpSolved = 1;
constexpr int kLpUnbounded = 2;
constexpr int kLpInfeasible = 3; // or the requested optimum vector does not exist
constexpr int kLpStepLimit = 4;  // the pivot or node limit was reached first

constexpr double kLpDefaultEpsilon = 1e-08;

// Pivots one simplex run may make before it gives up: well above what a problem of that
// size needs, so that only a cycling or runaway run meets it.
inline int64_t SimplexPivotLimit(int32_t rows, int32_t columns) {
    return 50 * (int64_t(rows) + columns);
}

// Pivots made by the process so far, for benchmarks and tests.
uint64_t SimplexPivotCount();

inline int32_t BasisColumn(const Matrix& basis, int32_t i) {
    return int32_t(VectorAt(basis, i) + 0.5);
}

// Maximises over T (m rows, room for n + 2m columns), s, b and c (room for n + 2m). vector
// 0 asks for the number of optimum vectors, stored back into it; k >= 1 for the k-th in x
// (n zeros on entry). epsilon <= 0 means 1e-08; M <= 0 lets LpEstimateBigM choose.
int SolveLinearProgram(Matrix& T, Matrix& s, Matrix& b, Matrix& c, Matrix& x, int32_t& vector,
                       int32_t m, int32_t n, double epsilon, double M);

// Pivots to optimality over the first `columns` columns. ok: 1 optimal, 0 unbounded, 2 the
// pivot limit was reached.
void RunSimplexIterations(Matrix& T, Matrix& b, Matrix& c, Matrix& d, Matrix& basis, int32_t m,
                          int32_t columns, double epsilon, uint8_t& ok);

// The ratio test on column q and one pivot; false when no row qualifies.
bool LpPivotInColumn(int32_t q, Matrix& T, Matrix& b, Matrix& c, Matrix& basis, int32_t m,
                     int32_t columns, double epsilon);

double LpEstimateBigM(const Matrix& T, const Matrix& b, const Matrix& c, int32_t m, int32_t n,
                      double epsilon);

// The row with the smallest b(i) / T(i, q) over T(i, q) > epsilon (ties keep the upper
// row); 0 when none.
int32_t FindMinRatioRow(int32_t q, const Matrix& T, const Matrix& b, int32_t m, double epsilon);

// Helpers shared with the integer solver.
// Rows with b(i) < 0 negated whole; every type taken by its sign.
void NormaliseLpRows(Matrix& T, Matrix& s, Matrix& b, int32_t m, int32_t n);
// Appends the slack and surplus columns (their count in ns) and the artificial ones with
// cost -M, sets the starting basis, and returns the number of columns in use.
int32_t AddLpColumns(Matrix& T, const Matrix& s, Matrix& c, Matrix& basis, int32_t m, int32_t n,
                     double M, int32_t& ns);

} // namespace vl
