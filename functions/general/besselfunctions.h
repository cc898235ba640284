#pragma once
// The Bessel functions of integer order BESSELJ and BESSELY, the error functions ERF and
// ERFC, and the comparisons DELTA and GETSTEP.

namespace vl {

void BindBesselFunctions();

// erf(x) through the regularised lower incomplete gamma function P(1/2, x^2).
double ErrorFunction(double x);

} // namespace vl
