#include "functions/numeric/specialfunc.h"

#include "functions/numeric/mathpolicy.h"

#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>

namespace vl {

double LogGamma(double x) {
    if (x <= 0 && x == std::floor(x)) return HUGE_VAL;
    return boost::math::lgamma(x, MathPolicy());
}

double IncompleteGammaP(double a, double x) {
    if (x <= 0) return 0;
    return boost::math::gamma_p(a, x, MathPolicy());
}

double IncompleteGammaQ(double a, double x) {
    if (x <= 0) return 1;
    return boost::math::gamma_q(a, x, MathPolicy());
}

double IncompleteBeta(double a, double b, double x) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    return boost::math::ibeta(a, b, x, MathPolicy());
}

double IncompleteBetaC(double a, double b, double x) {
    if (x <= 0) return 1;
    if (x >= 1) return 0;
    return boost::math::ibetac(a, b, x, MathPolicy());
}

double Erf(double x) {
    return boost::math::erf(x, MathPolicy());
}

double Erfc(double x) {
    return boost::math::erfc(x, MathPolicy());
}

} // namespace vl
