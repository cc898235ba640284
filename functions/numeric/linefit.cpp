#include "functions/numeric/linefit.h"

#include "formula/compensatedsum.h"
#include "functions/numeric/matrix.h"
#include "functions/numeric/svd.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

// A power of two near the largest magnitude of v - shift, so that dividing by it is exact.
double PowerOfTwoScale(const double* v, std::size_t n, double shift = 0) {
    double largest = 0;
    for (std::size_t i = 0; i < n; ++i) largest = std::max(largest, std::fabs(v[i] - shift));
    if (largest == 0 || !std::isfinite(largest)) return 1;
    int exponent = 0;
    std::frexp(largest, &exponent);
    return std::ldexp(1.0, exponent);
}

struct Solved {
    double constant = 0, slope = 0;
    FormulaError error = 0;
};

// Least squares of y - my against [c, x - mx] (c = 1 or 0) with both columns scaled to
// magnitudes near 1, so that squares inside the decomposition neither overflow nor
// underflow.
Solved SolveCentred(const double* x, const double* y, std::size_t n, double mx, double my,
                    bool constant, bool scaled) {
    Solved s;
    Matrix a, b, solution;
    // The solver keeps V (2 x 2) inside A, so A needs at least two rows.
    auto rows = uint32_t(std::max<std::size_t>(n, 2));
    if (n > UINT32_MAX / 2 || !MatrixResize(a, rows, 2, 0) || !MatrixResize(b, rows, 1, 0) ||
        !MatrixResize(solution, 2, 1, 0)) {
        s.error = kErrMemory;
        return s;
    }
    const double sx = scaled ? PowerOfTwoScale(x, n, mx) : 1;
    const double sy = scaled ? PowerOfTwoScale(y, n, my) : 1;
    for (std::size_t i = 0; i < n; ++i) {
        auto r = uint32_t(i + 1);
        *MatrixAt(a, r, 1) = constant ? 1 : 0;
        *MatrixAt(a, r, 2) = (x[i] - mx) / sx;
        *MatrixAt(b, r, 1) = (y[i] - my) / sy;
    }
    double rest[2] = {};
    int32_t rank = 0;
    uint8_t converged = 0;
    if (!SolveLeastSquares(a, b, solution, rest, int32_t(n), 2, 1, rank, converged, 0)) {
        s.error = kErrMemory;
        return s;
    }
    if (!converged) s.error = kErrNum;
    s.constant = *MatrixAt(solution, 1, 1) * sy;
    s.slope = *MatrixAt(solution, 2, 1) / sx * sy;
    return s;
}

// (v - centre) / scale as the rounded difference and the part its rounding lost.
struct Difference {
    double high = 0, low = 0;
};
Difference Subtract(double v, double centre, double scale) {
    const double d = v - centre;
    const double part = d - v;
    const double lost = (v - (d - part)) + (-centre - part);
    return {d / scale, lost / scale};
}

// The same least squares by the normal equations of the centred, scaled columns, their sums
// formed in twice the precision: two columns that are orthogonal but for the centring's last
// bits need no decomposition, and points on a line give its coefficients exactly. False when
// the x column has no spread.
bool SolveDirect(const double* x, const double* y, std::size_t n, double mx, double my,
                 bool constant, Solved& s) {
    const double sx = PowerOfTwoScale(x, n, mx);
    const double sy = PowerOfTwoScale(y, n, my);
    ProductSum sumX, sumY, sxx, sxy;
    for (std::size_t i = 0; i < n; ++i) {
        // Each deviation with what its subtraction rounded away: far from the mean a value's
        // last bit is larger than the line's digits.
        const Difference dx = Subtract(x[i], mx, sx), dy = Subtract(y[i], my, sy);
        sumX.Add(dx.high, 1);
        sumX.Add(dx.low, 1);
        sumY.Add(dy.high, 1);
        sumY.Add(dy.low, 1);
        sxx.Add(dx.high, dx.high);
        sxx.Add(2 * dx.high, dx.low);
        sxy.Add(dx.high, dy.high);
        sxy.Add(dx.high, dy.low);
        sxy.Add(dx.low, dy.high);
    }
    const double count = double(n);
    const double mdx = constant ? sumX.Value() / count : 0;
    const double mdy = constant ? sumY.Value() / count : 0;
    const double spread = sxx.Value() - count * mdx * mdx;
    const double cross = sxy.Value() - count * mdx * mdy;
    if (!(spread > 0) || !std::isfinite(spread) || !std::isfinite(cross)) return false;
    const double slope = cross / spread;
    s.constant = (mdy - slope * mdx) * sy;
    s.slope = slope / sx * sy;
    return true;
}

} // namespace

void ProductSum::Add(double a, double b) {
    const double p = a * b;
    double dropped = 0;
    AddCompensated(sum, dropped, p);
    // The product's own rounding and the addition's, as one term of the compensation.
    compensation += std::fma(a, b, -p) + dropped;
}

double AccurateMean(const double* v, std::size_t n) {
    const double scale = PowerOfTwoScale(v, n);
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += v[i] / scale;
    double mean = sum / double(n);
    double correction = 0;
    for (std::size_t i = 0; i < n; ++i) correction += v[i] / scale - mean;
    return (mean + correction / double(n)) * scale;
}

LineFit FitLine(const double* x, const double* y, std::size_t n, bool constant) {
    LineFit fit;
    double meanY = 0;
    if (constant && n > 0) {
        fit.meanX = AccurateMean(x, n);
        meanY = AccurateMean(y, n);
    }
    // All x equal: the solve as it stands gives the shortest (b, a) among the lines through
    // the points' mean, which callers know; centring would turn it into the flat line.
    bool flat = constant && std::all_of(x, x + n, [&](double v) { return v == x[0]; });
    if (flat) fit.meanX = meanY = 0;
    Solved s;
    if (flat || !SolveDirect(x, y, n, fit.meanX, meanY, constant, s))
        s = SolveCentred(x, y, n, fit.meanX, meanY, constant, !flat);
    fit.error = s.error;
    if (s.error == kErrMemory) return fit;
    fit.slope = s.slope;
    if (constant) {
        fit.atMeanX = meanY + s.constant;
        fit.intercept = fit.atMeanX - s.slope * fit.meanX;
    }
    return fit;
}

double LineValue(const LineFit& fit, double x) {
    return fit.atMeanX + fit.slope * (x - fit.meanX);
}

} // namespace vl
