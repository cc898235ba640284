#pragma once
// Least squares through the singular value decomposition: Householder bidiagonalisation,
// implicit-shift QR sweeps with Givens rotations, a descending sort of the singular
// values and a rank cut-off relative to the largest. A rank-deficient design still gets
// an answer: the dependent directions are dropped. Vectors (u, c, S, E, R) are read from
// element 1; element 0 is unused.

#include "functions/numeric/matrix.h"

#include <cstdint>

namespace vl {

// The rotation that maps (a, b) to (r, 0); the second form also sets a = r, b = 0.
void ComputeGivensCosSin(double a, double b, double& c, double& s);
void ComputeGivensRotation(double& a, double& b, double& c, double& s);

// The reflection that zeroes u(l1..m) against the pivot u(p) (vectors from 1).
void BuildHouseholderReflection(const double* u, double& up, double& b, int32_t m, int32_t p,
                                int32_t l1);
void ApplyHouseholderReflection(const double* u, double up, double b, double* c, int32_t m,
                                int32_t p, int32_t l1);

// Bidiagonalises A (m x n; it needs max(m, n) rows of storage), transforming B (m x nb)
// alike; leaves the diagonal in S, the super-diagonal in E and V in A. False when a work
// vector cannot be had.
bool SvdKernel(Matrix& A, Matrix& B, double* S, double* E, int32_t m, int32_t n, int32_t nb);
void SvdDiagonalise(Matrix& V, Matrix& B, double* S, double* E, int32_t m, int32_t n, int32_t nb,
                    uint8_t& converged);
void SortSingularValues(Matrix& V, Matrix& B, double* S, int32_t n, int32_t nb);
void SvdRankCutoff(Matrix& V, Matrix& B, const double* S, Matrix& X, double* R, int32_t m,
                   int32_t n, int32_t nb, double minMaxRatio, int32_t& rank);

// Solves A X ~ B (A m x n, B m x nb) into X (n x nb) with the residual sums of squares of
// each column in R. Overwrites A and B. False only when memory runs out; a decomposition
// that does not converge sets converged to 0.
bool SolveLeastSquares(Matrix& A, Matrix& B, Matrix& X, double* R, int32_t m, int32_t n, int32_t nb,
                       int32_t& rank, uint8_t& converged, double minMaxRatio);

} // namespace vl
