#pragma once
// The least-squares line y = a·x + b through points given position by position, solved
// through the singular value decomposition so that degenerate data (all x equal) still
// give a finite line.

#include "functions/numeric/statresult.h"

#include <cstddef>

namespace vl {

struct LineFit {
    double intercept = 0;   // b
    double slope = 0;       // a
    FormulaError error = 0; // #MEMORY! without storage, #NUM! when the solver did not converge
};

// With `constant` false the line goes through the origin (the intercept comes out 0).
LineFit FitLine(const double* x, const double* y, std::size_t n, bool constant);

} // namespace vl
