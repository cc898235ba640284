#pragma once
// Hypothesis tests over samples gathered independently: the F test of two variances,
// the pooled two-sample t test, the one-sample z test and the chi-square test of
// observed against expected counts.

#include "functions/numeric/moments.h"
#include "functions/numeric/statresult.h"

#include <cstddef>
#include <cstdint>

namespace vl {

// FTEST: P(F < larger variance / smaller); #DIV/0! below two values in a sample or for a
// variance that is 0 or not finite.
StatResult FTest(const ShiftedSums& first, const ShiftedSums& second);

// The pooled statistic t; #N/A! below two values in a sample.
StatResult TStatistic(const ShiftedSums& first, const ShiftedSums& second);
// TTEST: the one- or two-tailed probability of |t| with n1 + n2 − 2 degrees.
StatResult TTest(const ShiftedSums& first, const ShiftedSums& second, int32_t tails);

// z = (mean − x) / (σ / √n), σ the sample's own deviation when `deviation` is null;
// #DIV/0! below two values.
StatResult ZStatistic(const ShiftedSums& sample, double x, const double* deviation);
// ZTEST: 1 − Φ(z).
StatResult ZTest(const ShiftedSums& sample, double x, const double* deviation);

// CHITEST2: Σ (observed − expected)² / expected over n positions.
StatResult ChiSquareStatistic(const double* observed, const double* expected, std::size_t n);
// CHITEST: P(X < chi2) with (rows − 1)(columns − 1) degrees.
StatResult ChiTest(const double* observed, const double* expected, uint32_t rows, uint32_t columns);

} // namespace vl
