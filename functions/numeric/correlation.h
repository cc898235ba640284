#pragma once
// Correlation of paired values (PEARSON, RSQ, STEYX) and of equally shaped areas taken
// position by position (COVAR, CORREL), with the counts and sums they share.

#include "functions/numeric/statresult.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vl {

// The paired values themselves: the statistics take their deviations from the centres in
// a second pass, scaled by the largest, so that neither a large mean nor huge or tiny
// magnitudes cost digits (Add may throw std::bad_alloc).
struct PairSums {
    uint32_t n = 0;
    std::vector<double> x, y;

    void Add(double xValue, double yValue);
};

// r; #N/A! without pairs, #NUM! when it is not finite (a constant sample).
StatResult Pearson(const PairSums& sums);
// r squared; a square that fails the finite test is #VALUE!.
StatResult RSquared(const PairSums& sums);
// Standard error of the y estimate; #N/A! below two pairs, #NUM! when not finite.
StatResult Steyx(const PairSums& sums);

// COVAR and CORREL of n positions each (empty positions already 0).
StatResult Covariance(const double* x, const double* y, std::size_t n);
StatResult Correlation(const double* x, const double* y, std::size_t n);

} // namespace vl
