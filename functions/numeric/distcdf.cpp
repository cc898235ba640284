#include "functions/numeric/distcdf.h"

#include "functions/numeric/mathpolicy.h"
#include "functions/numeric/specialfunc.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
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

double FCdf(double x, int32_t m, int32_t n) {
    if (!(x > 0)) return 0;
    return boost::math::cdf(boost::math::fisher_f_distribution<double, MathPolicy>(m, n), x);
}

double FUpper(double x, int32_t m, int32_t n) {
    if (!(x > 0)) return 1;
    return boost::math::cdf(
        complement(boost::math::fisher_f_distribution<double, MathPolicy>(m, n), x));
}

double FDensity(double x, int32_t m, int32_t n) {
    if (x <= 0) return 0;
    return boost::math::pdf(boost::math::fisher_f_distribution<double, MathPolicy>(m, n), x);
}

double TCdf(double x, int32_t nu) {
    return boost::math::cdf(boost::math::students_t_distribution<double, MathPolicy>(nu), x);
}

double TUpper(double x, int32_t nu) {
    return TCdf(-x, nu);
}

} // namespace vl
