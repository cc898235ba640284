#pragma once
// The least-squares line y = a·x + b through points given position by position, solved
// through the singular value decomposition so that degenerate data (all x equal) still
// give a finite line. With a constant term the points are centred on their means first:
// x values with a large offset (time stamps, identifiers) would otherwise swamp the
// constant column and lose the slope's digits.

#include "functions/numeric/statresult.h"

#include <cstddef>

namespace vl {

struct LineFit {
    double intercept = 0;   // b
    double slope = 0;       // a
    double meanX = 0;       // the centre of the fit (0 through the origin)
    double atMeanX = 0;     // the line's value at meanX
    FormulaError error = 0; // #MEMORY! without storage, #NUM! when the solver did not converge
};

// With `constant` false the line goes through the origin (the intercept comes out 0).
LineFit FitLine(const double* x, const double* y, std::size_t n, bool constant);

// The line's value at x, taken from the centre so that a large offset does not cancel.
double LineValue(const LineFit& fit, double x);

// A sum of products with the rounding of each product and of each addition kept apart, so
// that the sum comes out as if formed in twice the precision: terms that cancel leave the
// small rest its digits.
struct ProductSum {
    double sum = 0;
    double compensation = 0;
    void Add(double a, double b);
    double Value() const { return sum + compensation; }
};

// The mean of n values (n > 0), corrected by a second pass and summed at a power-of-two
// scale, so that values near the double range's end do not overflow the sum.
double AccurateMean(const double* v, std::size_t n);

} // namespace vl
