#include "functions/numeric/distcdf.h"

#include "functions/numeric/specialfunc.h"

#include <cmath>

namespace vl {

double NormalCdf(double x, double mean, double deviation) {
    double z = (x - mean) / deviation;
    double sign = z < 0 ? -1 : 1;
    return (1 + sign * IncompleteGammaP(0.5, z * z / 2)) / 2;
}

double ChiSquareCdf(double x, int32_t k) {
    return IncompleteGammaP(k / 2.0, x / 2);
}

double FCdf(double x, int32_t m, int32_t n) {
    double dm = m, dn = n;
    return 1 - IncompleteBeta(dn / 2, dm / 2, dn / (dn + dm * x));
}

double FDensity(double x, int32_t m, int32_t n) {
    if (x <= 0) return 0;
    double dm = m, dn = n;
    double half = (dm + dn) / 2;
    return std::exp(LogGamma(half) - LogGamma(dm / 2) - LogGamma(dn / 2) +
                    dm / 2 * std::log(dm / dn) + (dm / 2 - 1) * std::log(x) -
                    half * std::log(1 + dm * x / dn));
}

double TCdf(double x, int32_t nu) {
    double v = nu;
    double tail = IncompleteBeta(v / 2, 0.5, v / (v + x * x)) / 2;
    return x < 0 ? tail : 1 - tail;
}

} // namespace vl
