#include "functions/numeric/specialfunc.h"

#include <cfloat>
#include <cmath>

namespace vl {

namespace {

constexpr double kGammaCoefficients[6] = {76.18009173,  -86.50532033,  24.01409822,
                                          -1.231739516, 0.00120858003, -5.36382e-06};
// Used as written: the quoted results carry these roundings of √(2π) and π.
constexpr double kSqrtTwoPi = 2.506628275;
constexpr double kPi = 3.141592654;

constexpr int kMaxTerms = 100;
constexpr double kGammaTolerance = 1e-6;
constexpr double kBetaTolerance = 1e-8;
constexpr double kBetaTiny = 1e-8;
constexpr double kExponentLimit = 500;

// ln Γ(z + 1) for z >= 0.
double LogGammaShifted(double z) {
    double s = 1;
    for (int i = 0; i < 6; ++i) s += kGammaCoefficients[i] / (z + i + 1);
    double t = z + 5.5;
    return std::log(kSqrtTwoPi * s) + (z + 0.5) * std::log(t) - t;
}

double GammaSeries(double a, double x, double logGammaA) {
    double term = 1 / a;
    double sum = term;
    for (int i = 1; i <= kMaxTerms; ++i) {
        term = term * x / (a + i);
        sum += term;
        if (term < kGammaTolerance) break;
    }
    double e = a * std::log(x) - x - logGammaA;
    return std::fabs(e) < kExponentLimit ? sum * std::exp(e) : 0;
}

// The upper tail by the continued fraction, carried without rescaling.
double GammaFraction(double a, double x, double logGammaA) {
    double a0 = 1, a1 = x, b0 = 0, b1 = 1;
    double value = 1;
    for (int n = 1; n <= kMaxTerms; ++n) {
        double d = n - a;
        b0 = b1 + d * b0;
        a0 = a1 + d * a0;
        b1 = x * b0 + n * b1;
        a1 = x * a0 + n * a1;
        if (a1 == 0) continue;
        double next = b1 / a1;
        bool done = std::fabs(value - next) / value < kGammaTolerance;
        value = next;
        if (done) break;
    }
    double e = a * std::log(x) - x - logGammaA;
    return std::fabs(e) < kExponentLimit ? 1 - value * std::exp(e) : 1;
}

double BetaFraction(double a, double b, double x) {
    double qab = a + b, qap = a + 1, qam = a - 1;
    double am = 1, bm = 1, az = 1;
    double bz = 1 - qab * x / qap;
    double h = 1 / bz;
    for (int m = 1; m <= kMaxTerms; ++m) {
        double d = m * (b - m) * x / ((qam + 2 * m) * (a + 2 * m));
        double ap = az + d * am;
        double bp = bz + d * bm;
        double d2 = -(a + m) * (qab + m) * x / ((a + 2 * m) * (qap + 2 * m));
        double app = ap + d2 * az;
        double bpp = bp + d2 * bz;
        if (bpp == 0) continue;
        am = ap / bpp;
        bm = bp / bpp;
        az = app / bpp;
        bz = 1;
        if (std::fabs(h - az) / h < kBetaTolerance) return h;
        h = az;
    }
    return h;
}

} // namespace

double LogGamma(double x) {
    if (x >= 1) return LogGammaShifted(x - 1);
    double z = 1 - x;
    double w = kPi * z;
    return std::log(w) - LogGammaShifted(z) - std::log(std::sin(w));
}

double IncompleteGammaP(double a, double x) {
    if (x <= 0) return 0;
    double g = LogGamma(a);
    return x <= a + 1 ? GammaSeries(a, x, g) : GammaFraction(a, x, g);
}

double IncompleteBeta(double a, double b, double x) {
    bool swapped = !(x < (a + 1) / (a + b + 1));
    double A = swapped ? b : a;
    double B = swapped ? a : b;
    double X = swapped ? 1 - x : x;
    // Only X = 0 gives 0: a cut-off at small X left the t distribution flat (and jumping)
    // around 0.
    double value = 0;
    if (X > 0) {
        double h = BetaFraction(A, B, X);
        double beta =
            B < kBetaTiny ? DBL_MAX : std::exp(LogGamma(A) + LogGamma(B) - LogGamma(A + B));
        value = std::pow(X, A) * std::pow(1 - X, B) / (A * beta) * h;
    }
    return swapped ? 1 - value : value;
}

} // namespace vl
