#pragma once
// Correlation of paired values (PEARSON, RSQ, STEYX) and of equally shaped areas taken
// position by position (COVAR, CORREL), with the counts and sums they share.

#include "functions/numeric/statresult.h"

#include <cstddef>
#include <cstdint>

namespace vl {

// Sums of paired values, each taken as its deviation from the first pair so that data
// with a large mean keep their digits; the correlation formulas do not change under a
// shift of either variable.
struct PairSums {
    uint32_t n = 0;
    double shiftX = 0, shiftY = 0;
    double sx = 0, sy = 0, sxy = 0, sxx = 0, syy = 0;

    void Add(double x, double y);
    // n·Σx² − (Σx)², n·Σy² − (Σy)² and n·Σxy − Σx·Σy.
    double SpreadX() const;
    double SpreadY() const;
    double CoSpread() const;
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
