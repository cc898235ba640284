#pragma once
// Neumaier's step of a compensated sum, shared by the totals that keep what their
// additions round away.

#include <cmath>

namespace vl {

// Adds x to `sum` and what the rounding of that addition dropped to `dropped`: sum and
// dropped together hold the terms' total to twice the precision, so terms that cancel leave
// the small ones' sum exact.
template <class Real> inline void AddCompensated(Real& sum, Real& dropped, Real x) {
    const Real t = sum + x;
    dropped += std::fabs(sum) >= std::fabs(x) ? (sum - t) + x : (x - t) + sum;
    sum = t;
}

} // namespace vl
