#pragma once
// The one inverse machine of the distributions: widen an interval until a target
// changes sign, then bisect. Both stop after a fixed number of steps and report
// nothing; the caller takes what is left.

#include <cmath>
#include <cstdint>

namespace vl {

// p − cdf(x); a and b are passed through unchanged on every call of one search (the
// degrees of freedom the target reads).
using RootTarget = double (*)(double x, double p, int32_t a, int32_t b);

// Widens [x1, x2] to the newest segment three times as wide, up to 1000 times, while the
// target has one sign at both ends. The lower end never goes below `floor`: it stops
// there, and once it has stood there only the upper end moves.
void BracketRoot(double& x1, double& x2, RootTarget target, double p, int32_t a, int32_t b,
                 double floor = -HUGE_VAL);

// Bisection inside [x1, x2] until the interval is narrower than `tolerance`, at most
// 2000 steps; root is x1 when the steps run out.
void FindRootInInterval(double& x1, double& x2, double& root, RootTarget target, double p,
                        int32_t a, int32_t b, double tolerance);

} // namespace vl
