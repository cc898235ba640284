#pragma once
// Distribution functions on the special functions: P(X < x) of the normal, chi-square,
// F and Student t distributions, their upper tails P(X > x) computed directly (not as
// 1 − P(X < x), which loses a small tail), and the F density. Degrees of freedom are 32-bit
// integers; the callers check their domains.

#include <cstdint>

namespace vl {

double NormalCdf(double x, double mean, double deviation);
double NormalUpper(double x, double mean, double deviation);
double ChiSquareCdf(double x, int32_t k);
double ChiSquareUpper(double x, int32_t k);
// F with m numerator and n denominator degrees of freedom.
double FCdf(double x, int32_t m, int32_t n);
double FUpper(double x, int32_t m, int32_t n);
double FDensity(double x, int32_t m, int32_t n);
double TCdf(double x, int32_t nu);
double TUpper(double x, int32_t nu);

} // namespace vl
