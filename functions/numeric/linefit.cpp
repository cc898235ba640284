#include "functions/numeric/linefit.h"

#include "functions/numeric/matrix.h"
#include "functions/numeric/svd.h"

#include <algorithm>

namespace vl {

LineFit FitLine(const double* x, const double* y, std::size_t n, bool constant) {
    LineFit fit;
    Matrix a, b, solution;
    // The solver keeps V (2 x 2) inside A, so A needs at least two rows.
    auto rows = uint32_t(std::max<std::size_t>(n, 2));
    if (n > UINT32_MAX / 2 || !MatrixResize(a, rows, 2, 0) || !MatrixResize(b, rows, 1, 0) ||
        !MatrixResize(solution, 2, 1, 0)) {
        fit.error = kErrMemory;
        return fit;
    }
    for (std::size_t i = 0; i < n; ++i) {
        auto r = uint32_t(i + 1);
        *MatrixAt(a, r, 1) = constant ? 1 : 0;
        *MatrixAt(a, r, 2) = x[i];
        *MatrixAt(b, r, 1) = y[i];
    }
    double rest[2] = {};
    int32_t rank = 0;
    uint8_t converged = 0;
    if (!SolveLeastSquares(a, b, solution, rest, int32_t(n), 2, 1, rank, converged, 0)) {
        fit.error = kErrMemory;
        return fit;
    }
    if (!converged) fit.error = kErrNum;
    fit.intercept = *MatrixAt(solution, 1, 1);
    fit.slope = *MatrixAt(solution, 2, 1);
    return fit;
}

} // namespace vl
