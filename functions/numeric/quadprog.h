#pragma once
// Quadratic programming: maximise p^T x - x^T C x over x >= 0 under m linear constraints
// (types 1 <=, 0 =, -1 >=) for a positive definite C, by Wolfe's method: the Kuhn-Tucker
// conditions as one linear system with complementary pairs, solved by a phase-one simplex
// whose entering rule never lets both members of a pair be basic.

#include "functions/numeric/matrix.h"

#include <cstdint>

namespace vl {

// A, s and b need one spare row per equality constraint. Result codes as
// SolveLinearProgram's; vector 0 asks for the number of optimum vectors.
int SolveQuadraticProgram(Matrix& A, Matrix& s, Matrix& b, const Matrix& p, const Matrix& C,
                          Matrix& x, int32_t& vector, int32_t m, int32_t n, double epsilon);

// The restricted-entry simplex to optimality over the tableau W (rows x columns) of n
// variables and m constraints; `slackColumns` is the column of the last constraint slack.
// ok: 1 done, 0 unbounded, 2 the pivot limit was reached.
void QpInnerStep(Matrix& W, Matrix& rhs, Matrix& c, Matrix& d, Matrix& basis, int32_t rows,
                 int32_t columns, int32_t m, int32_t n, int32_t slackColumns, double epsilon,
                 uint8_t& ok);

} // namespace vl
