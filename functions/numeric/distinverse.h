#pragma once
// Inverses of the distribution functions, to full precision (Boost.Math's quantiles).
// Probabilities outside (0, 1) give sentinel values instead of errors; the callers decide
// what to show. The root-search targets stay for the callers that search themselves.

#include <cstdint>

namespace vl {

constexpr double kInverseSentinel = 1e10;

// Root-search targets: p − cdf(x) with the degrees of freedom in a and b.
double NormalInvTarget(double x, double p, int32_t, int32_t);
inline double NormalQuantileTarget(double x, double p, int32_t a, int32_t b) {
    return NormalInvTarget(x, p, a, b);
}
double ChiSquareInvTarget(double x, double p, int32_t k, int32_t);
double FInvTarget(double x, double p, int32_t m, int32_t n);
double TInvTarget(double x, double p, int32_t nu, int32_t);

// ±1e10 for p outside (0, 1), returned without the mean and deviation applied.
double NormalInv(double p, double mean, double deviation);
// 1e10 for p >= 1, 0 for p <= 0; never below 0.
double ChiSquareInv(double p, int32_t k);
double FInv(double p, int32_t m, int32_t n);
// ±DBL_MAX for p outside (0, 1).
double TInv(double p, int32_t nu);
// The standard normal's upper quantile: the z with P(Z > z) = q, for q in (0, 1); a small
// q keeps its digits here, where 1 − q would not.
double NormalUpperInv(double q);

} // namespace vl
