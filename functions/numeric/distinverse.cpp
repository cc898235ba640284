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

double FInv(double p, int32_t m, int32_t n) {
    if (p >= 1) return kInverseSentinel;
    if (p <= 0) return 0;
    return boost::math::quantile(boost::math::fisher_f_distribution<double, MathPolicy>(m, n), p);
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
