#pragma once
// The special functions under every probability function: the logarithm of the gamma
// function and the regularised incomplete gamma and beta functions. Their series, term
// limits and tolerances are fixed, because the quoted results of the distribution
// built-ins come out only with exactly these. Arguments outside a function's domain are
// not checked; what they compute, non-finite values included, is passed back.

namespace vl {

// ln Γ(x), by a six-term series; below 1 through the reflection formula.
double LogGamma(double x);

// The regularised lower incomplete gamma P(a, x): a series up to x = a + 1, a continued
// fraction above. 0 for x <= 0.
double IncompleteGammaP(double a, double x);

// The regularised incomplete beta I_x(a, b) by a continued fraction.
double IncompleteBeta(double a, double b, double x);

} // namespace vl
