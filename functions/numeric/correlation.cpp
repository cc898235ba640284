#include "functions/numeric/correlation.h"

#include "formula/formulanumber.h"
#include "functions/numeric/linefit.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

StatResult Finite(double value) {
    if (IsOutOfRange(value)) return StatError(kErrNum);
    return {value, 0};
}

// The centre of n values as a double near the mean plus what that double misses, so that
// deviations keep their digits at a large offset: (v - shift) - rest.
struct Centre {
    double shift = 0, rest = 0;
    double Deviation(double v) const { return (v - shift) - rest; }
};

Centre CentreOf(const double* v, std::size_t n) {
    Centre c;
    c.shift = AccurateMean(v, n);
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += v[i] - c.shift;
    if (std::isfinite(sum)) c.rest = sum / double(n);
    return c;
}

} // namespace

void PairSums::Add(double xValue, double yValue) {
    x.push_back(xValue);
    y.push_back(yValue);
    ++n;
}

namespace {

// Σdx², Σdy² and Σdx·dy of the centred deviations divided by their largest magnitudes' powers
// of two
// (kept in scaleX and scaleY; 1 for a constant sample).
struct ScaledSums {
    double scaleX = 1, scaleY = 1, sxx = 0, syy = 0, sxy = 0;
};

// A power of two near the largest deviation: dividing by it keeps every digit, so that
// products that cancel in the sums cancel exactly.
double LargestDeviation(const double* v, std::size_t n, const Centre& c) {
    double largest = 0;
    for (std::size_t i = 0; i < n; ++i) largest = std::fmax(largest, std::fabs(c.Deviation(v[i])));
    if (!(largest > 0) || !std::isfinite(largest)) return 1;
    int exponent = 0;
    std::frexp(largest, &exponent);
    return std::ldexp(1.0, exponent);
}

ScaledSums ScaledSumsOf(const double* x, const double* y, std::size_t n) {
    Centre cx = CentreOf(x, n), cy = CentreOf(y, n);
    ScaledSums s;
    s.scaleX = LargestDeviation(x, n, cx);
    s.scaleY = LargestDeviation(y, n, cy);
    ProductSum sxx, syy, sxy;
    for (std::size_t i = 0; i < n; ++i) {
        double dx = cx.Deviation(x[i]) / s.scaleX, dy = cy.Deviation(y[i]) / s.scaleY;
        sxx.Add(dx, dx);
        syy.Add(dy, dy);
        sxy.Add(dx, dy);
    }
    s.sxx = sxx.Value();
    s.syy = syy.Value();
    s.sxy = sxy.Value();
    return s;
}

// The correlation coefficient: one root of the product (the scaled sums lie between 1/4 and
// n, so it neither overflows nor underflows), so that a sample against itself is exactly 1;
// the last bits of rounding never take it past ±1. A constant sample stays NaN.
double Coefficient(const ScaledSums& s) {
    const double r = s.sxy / std::sqrt(s.sxx * s.syy);
    return std::isnan(r) ? r : std::clamp(r, -1.0, 1.0);
}

} // namespace

StatResult Pearson(const PairSums& sums) {
    if (sums.n == 0) return StatError(kErrNA);
    return Finite(Coefficient(ScaledSumsOf(sums.x.data(), sums.y.data(), sums.n)));
}

StatResult RSquared(const PairSums& sums) {
    StatResult r = Pearson(sums);
    if (r.error) return r;
    double square = r.value * r.value;
    if (IsOutOfRange(square)) return StatError(kErrValue);
    return {square, 0};
}

StatResult Steyx(const PairSums& sums) {
    if (sums.n < 2) return StatError(kErrNA);
    const std::size_t n = sums.n;
    const double* x = sums.x.data();
    const double* y = sums.y.data();
    ScaledSums s = ScaledSumsOf(x, y, n);
    // The residuals about the fitted line summed one by one: Syy − Sxy²/Sxx cancels for a
    // close fit. A constant x gives NaN, which must stay one.
    const double slope = s.sxy / s.sxx;
    Centre cx = CentreOf(x, n), cy = CentreOf(y, n);
    double residual = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double e = cy.Deviation(y[i]) / s.scaleY - slope * (cx.Deviation(x[i]) / s.scaleX);
        residual += e * e;
    }
    return Finite(s.scaleY * std::sqrt(residual / double(n - 2)));
}

StatResult Covariance(const double* x, const double* y, std::size_t n) {
    Centre cx = CentreOf(x, n), cy = CentreOf(y, n);
    ProductSum sum;
    for (std::size_t i = 0; i < n; ++i) sum.Add(cx.Deviation(x[i]), cy.Deviation(y[i]));
    return Finite(sum.Value() / double(n));
}

StatResult Correlation(const double* x, const double* y, std::size_t n) {
    return Finite(Coefficient(ScaledSumsOf(x, y, n)));
}

} // namespace vl
