#include "functions/numeric/distinverse.h"

#include "functions/numeric/distcdf.h"
#include "functions/numeric/mathpolicy.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <cfloat>
#include <cmath>

namespace vl {

namespace {

constexpr double kSqrt2 = 1.41421356237309504880;

} // namespace

double NormalInvTarget(double x, double p, int32_t, int32_t) {
    return p - NormalCdf(x, 0, 1);
}

double ChiSquareInvTarget(double x, double p, int32_t k, int32_t) {
    return p - ChiSquareCdf(x, k);
}

double FInvTarget(double x, double p, int32_t m, int32_t n) {
    return p - FCdf(x, m, n);
}

double TInvTarget(double x, double p, int32_t nu, int32_t) {
    return p - TCdf(x, nu);
}

double NormalInv(double p, double mean, double deviation) {
    if (p >= 1) return kInverseSentinel;
    if (p <= 0) return -kInverseSentinel;
    double z = -kSqrt2 * boost::math::erfc_inv(2 * p, MathPolicy());
    return z * deviation + mean;
}

double NormalUpperInv(double q) {
    return kSqrt2 * boost::math::erfc_inv(2 * q, MathPolicy());
}

double ChiSquareInv(double p, int32_t k) {
    if (p >= 1) return kInverseSentinel;
    if (p <= 0) return 0;
    return 2 * boost::math::gamma_p_inv(k / 2.0, p, MathPolicy());
}

namespace {

// Newton's method on ln P(F < x) against ln x, where a small lower tail is nearly a straight
// line. The start for a tail the library's inverse does not reach: P ≈ (m x/n)^(m/2) /
// ((m/2) B(m/2, n/2)) near 0.
double FLowerTailInv(double p, int32_t m, int32_t n, double x) {
    const double a = m / 2.0, b = n / 2.0;
    double u = x > 0 && std::isfinite(x)
                   ? std::log(x)
                   : std::log(double(n) / m) +
                         (std::log(p) + std::log(a) + boost::math::lgamma(a, MathPolicy()) +
                          boost::math::lgamma(b, MathPolicy()) -
                          boost::math::lgamma(a + b, MathPolicy())) /
                             a;
    for (int i = 0; i < 100; ++i) {
        const double at = std::exp(u), c = FCdf(at, m, n), d = FDensity(at, m, n);
        if (!(c > 0) || !(d > 0)) break;
        const double step = (std::log(c) - std::log(p)) / (at * d / c);
        u -= step;
        if (std::fabs(step) < 1e-15 * std::fmax(1.0, std::fabs(u))) break;
    }
    return std::exp(u);
}

} // namespace

double FInv(double p, int32_t m, int32_t n) {
    if (p >= 1) return kInverseSentinel;
    if (p <= 0) return 0;
    double x =
        boost::math::quantile(boost::math::fisher_f_distribution<double, MathPolicy>(m, n), p);
    // Far in the lower tail the library's root search gives up and leaves a wrong value.
    if (p < 0.5 && !(x > 0 && std::isfinite(x) && std::fabs(FCdf(x, m, n) / p - 1) < 1e-12))
        x = FLowerTailInv(p, m, n, std::fabs(FCdf(x, m, n) / p - 1) < 0.5 ? x : NAN);
    return x;
}

double TInv(double p, int32_t nu) {
    if (p >= 1) return DBL_MAX;
    if (p <= 0) return -DBL_MAX;
    // Near the centre from q = |p − 1/2|, exact there: P(|T| < t) = 2q =
    // I_y(1/2, ν/2) with y = t²/(ν + t²), so t keeps its digits however small it is.
    const double q = p - 0.5;
    if (std::fabs(q) < 0.25) {
        double rest = 0;
        double y = boost::math::ibeta_inv(0.5, nu / 2.0, 2 * std::fabs(q), &rest, MathPolicy());
        double t = std::sqrt(nu * (y / rest));
        return q < 0 ? -t : t;
    }
    return boost::math::quantile(boost::math::students_t_distribution<double, MathPolicy>(nu), p);
}

} // namespace vl
