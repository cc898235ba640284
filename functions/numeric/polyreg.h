#pragma once
// Polynomial regression in a family of orthonormal polynomials, the value and confidence
// half-width of such a fit at a new point, and the moving local polynomial of a time
// series with its confidence half-widths and extensions beyond both ends.

#include "functions/numeric/matrix.h"

#include <cstdint>

namespace vl {

// Weighted least squares of y(t) with errors sy (N each) by the polynomials f_1..f_r,
// f_j(t) = sum over k <= j of B(j, k) t^(k-1), orthonormal under the weights 1 / sy^2:
// x (r) the coefficients, B (r x r), F (N x r) the basis at the points, chi2 (r) the
// weighted squared residual of each degree. False when memory runs out.
bool PolyRegFit(const Matrix& t, const Matrix& y, const Matrix& sy, int32_t N, int32_t r, Matrix& x,
                Matrix& B, Matrix& F, Matrix& chi2);

// The fitted value at t of the first r terms and the half-width of its confidence
// interval for probability p: from the normal quantile when s2 <= 0, else from Student's
// t with dof degrees of freedom scaled by sqrt(s2 / dof).
void PolyPointsQuantile(const Matrix& x, const Matrix& B, double t, double s2, double p, int32_t r,
                        int32_t dof, double& value, double& halfwidth);

// Smooths y (n values) by a polynomial of degree l over windows of 2k + 1 points: trend
// and eta get n + 2k values each (the first and last 2k extend the end windows' lines).
// With l = 2k no degree of freedom is left and every eta is NaN. False when memory runs
// out.
bool TimeSeriesAnalysis(const Matrix& y, int32_t n, int32_t k, int32_t l, double p, Matrix& trend,
                        Matrix& eta);

} // namespace vl
