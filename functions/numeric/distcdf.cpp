#include "functions/numeric/distcdf.h"

#include "functions/numeric/mathpolicy.h"
#include "functions/numeric/specialfunc.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <cmath>

namespace vl {

namespace {

// erfc(−z/√2)/2 with z and its scaling in extended precision: the argument's rounding
// would otherwise cost z² ulps far in the tails.
double NormalLower(long double z) {
    constexpr long double kSqrtHalf = 0.707106781186547524400844362104849039L;
    return double(boost::math::erfc(-z * kSqrtHalf, MathPolicy()) / 2);
}

long double Standard(double x, double mean, double deviation) {
    return (static_cast<long double>(x) - mean) / deviation;
}

} // namespace

double NormalCdf(double x, double mean, double deviation) {
    return NormalLower(Standard(x, mean, deviation));
}

double NormalUpper(double x, double mean, double deviation) {
    return NormalLower(-Standard(x, mean, deviation));
}

double ChiSquareCdf(double x, int32_t k) {
    return IncompleteGammaP(k / 2.0, x / 2);
}

double ChiSquareUpper(double x, int32_t k) {
    return IncompleteGammaQ(k / 2.0, x / 2);
}

// Where the upper tail is the smaller one the lower is its complement: the library's own
// complement of a tiny upper tail comes back as exactly 1.
double FCdf(double x, int32_t m, int32_t n) {
    if (!(x > 0)) return 0;
    const double upper = FUpper(x, m, n);
    if (upper < 0.5) return 1 - upper;
    return boost::math::cdf(boost::math::fisher_f_distribution<double, MathPolicy>(m, n), x);
}

double FUpper(double x, int32_t m, int32_t n) {
    if (!(x > 0)) return 1;
    return boost::math::cdf(
        complement(boost::math::fisher_f_distribution<double, MathPolicy>(m, n), x));
}

// At x = 0 the density's own limit: infinite for m = 1, 1 for m = 2, 0 above.
double FDensity(double x, int32_t m, int32_t n) {
    if (x < 0) return 0;
    return boost::math::pdf(boost::math::fisher_f_distribution<double, MathPolicy>(m, n), x);
}

// Near 0 as 1/2 plus the central mass P(|T| < |x|)/2 = I_z(1/2, ν/2)/2 with
// z = x²/(ν + x²), which keeps its digits however small x is; farther out the tail as the
// complement of that, or (x² beyond ν/2) as I_w(ν/2, 1/2)/2 with w = ν/(ν + x²).
double TCdf(double x, int32_t nu) {
    if (std::isnan(x)) return x;
    const double v = nu, x2 = x * x;
    if (v > 2 * x2) {
        const double z = x2 / (v + x2);
        const double centre = IncompleteBeta(0.5, v / 2, z) / 2;
        if (centre <= 0.25) return x < 0 ? 0.5 - centre : 0.5 + centre;
        // A tail below 1/4 from its own complement, not as 1/2 minus the centre.
        const double tail = IncompleteBetaC(0.5, v / 2, z) / 2;
        return x < 0 ? tail : 1 - tail;
    }
    const double tail = IncompleteBeta(v / 2, 0.5, v / (v + x2)) / 2;
    return x < 0 ? tail : 1 - tail;
}

double TUpper(double x, int32_t nu) {
    return TCdf(-x, nu);
}

} // namespace vl
