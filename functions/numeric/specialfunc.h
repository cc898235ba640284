#pragma once
// The special functions under every probability function: the logarithm of the gamma
// function, the regularised incomplete gamma and beta functions and their complements, to
// full double precision (Boost.Math). Arguments outside a function's domain are not
// checked; what they compute, non-finite values included, is passed back.

namespace vl {

// ln Γ(x); infinite at the poles.
double LogGamma(double x);

// The regularised lower incomplete gamma P(a, x); 0 for x <= 0.
double IncompleteGammaP(double a, double x);
// Its complement Q(a, x) = 1 − P(a, x), computed directly so that a small upper tail keeps
// its digits; 1 for x <= 0.
double IncompleteGammaQ(double a, double x);

// The regularised incomplete beta I_x(a, b), and its complement 1 − I_x(a, b).
double IncompleteBeta(double a, double b, double x);
double IncompleteBetaC(double a, double b, double x);

// erf and erfc; erfc is computed directly, not as 1 − erf.
double Erf(double x);
double Erfc(double x);

} // namespace vl
