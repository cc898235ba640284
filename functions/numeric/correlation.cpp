#include "functions/numeric/correlation.h"

#include "formula/formulanumber.h"
#include "functions/numeric/linefit.h"

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

void PairSums::Add(double x, double y) {
    if (n == 0) {
        shiftX = x;
        shiftY = y;
    }
    double dx = x - shiftX, dy = y - shiftY;
    ++n;
    sx += dx;
    sy += dy;
    sxy += dx * dy;
    sxx += dx * dx;
    syy += dy * dy;
}

double PairSums::SpreadX() const {
    return double(n) * sxx - sx * sx;
}
double PairSums::SpreadY() const {
    return double(n) * syy - sy * sy;
}
double PairSums::CoSpread() const {
    return double(n) * sxy - sx * sy;
}

StatResult Pearson(const PairSums& sums) {
    if (sums.n == 0) return StatError(kErrNA);
    // Square roots taken apart: their product would overflow before the quotient does.
    return Finite(sums.CoSpread() /
                  (std::sqrt(std::fabs(sums.SpreadX())) * std::sqrt(std::fabs(sums.SpreadY()))));
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
    uint64_t n = sums.n;
    double co = sums.CoSpread();
    // Rounding can take a perfect fit's residual just below 0; a constant x or sums beyond
    // the double range give NaN, which must stay one.
    double residual = sums.SpreadY() - co * co / sums.SpreadX();
    if (residual < 0) residual = 0;
    return Finite(std::sqrt(residual / double(n * (n - 2))));
}

StatResult Covariance(const double* x, const double* y, std::size_t n) {
    Centre cx = CentreOf(x, n), cy = CentreOf(y, n);
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += cx.Deviation(x[i]) * cy.Deviation(y[i]);
    return Finite(sum / double(n));
}

StatResult Correlation(const double* x, const double* y, std::size_t n) {
    Centre cx = CentreOf(x, n), cy = CentreOf(y, n);
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double dx = cx.Deviation(x[i]), dy = cy.Deviation(y[i]);
        sxy += dx * dy;
        sxx += dx * dx;
        syy += dy * dy;
    }
    return Finite(sxy / (std::sqrt(sxx) * std::sqrt(syy)));
}

} // namespace vl
