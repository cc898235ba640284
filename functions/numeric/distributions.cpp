#include "functions/numeric/distributions.h"

#include "formula/formulanumber.h"
#include "functions/numeric/distcdf.h"
#include "functions/numeric/distinverse.h"
#include "functions/numeric/mathpolicy.h"
#include "functions/numeric/specialfunc.h"

#include <algorithm>
#include <boost/math/distributions/binomial.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>

namespace vl {

namespace {

// The product of the integers from .. to. The loop stops as soon as the product can no
// longer change its fate (0, or an infinity that stays one or meets a 0 later), so huge
// counts cost no more than a few hundred steps.
double Product(double from, double to) {
    double p = 1;
    for (double i = from; i <= to; ++i) {
        p *= i;
        if (p == 0) return 0;
        if (std::isinf(p)) return i < 0 && to >= 0 ? NAN : p;
    }
    return p;
}

using Binomial = boost::math::binomial_distribution<double, MathPolicy>;

// P(X = i) of the binomial: 0 outside 0..trials, never a product that overflows.
double BinomialMass(int32_t i, int32_t trials, double p) {
    if (i < 0 || i > trials) return 0;
    if (trials == 0) return 1;
    return boost::math::pdf(Binomial(trials, p), i);
}

// P(X <= s) of the binomial; 1 from s = trials on.
double BinomialCdf(int32_t s, int32_t trials, double p) {
    if (s < 0) return 0;
    if (s >= trials) return 1;
    return boost::math::cdf(Binomial(trials, p), s);
}

// P(X > s) of the binomial; 0 from s = trials on. Near 1 the lower tail rounds to 1 long
// before the last count, the upper tail keeps its digits.
double BinomialUpper(int32_t s, int32_t trials, double p) {
    if (s < 0) return 1;
    if (s >= trials) return 0;
    return boost::math::cdf(boost::math::complement(Binomial(trials, p), s));
}

} // namespace

StatResult Checked(double value) {
    if (IsOutOfRange(value)) return StatError(kErrNum);
    return {value == 0 ? 0 : value, 0}; // no negative zero
}

StatResult HypGeomDist(int32_t s, int32_t n, int32_t S, int32_t N) {
    // C(N, n) = 0 (a sample or a count larger than the population) has no distribution.
    if (n > N || S > N) return StatError(kErrNum);
    // Outside the support the mass is 0: one of the other coefficients is.
    if (s > S || s > n || n - s > N - S) return {0, 0};
    if (n == N) return {s == S ? 1.0 : 0.0, 0};
    if (n == 0) return {s == 0 ? 1.0 : 0.0, 0};
    // C(S, s) C(N − S, n − s) / C(N, n) as a quotient of binomial masses at any one p (they
    // cancel); at p = n/N each mass is near its mode, so none underflows while the result
    // does not, and each is exact to rounding.
    const double p = double(n) / N;
    return Checked(BinomialMass(s, S, p) * BinomialMass(n - s, N - S, p) / BinomialMass(n, N, p));
}

// The density through the standard score in extended precision: the square of a huge
// deviation, or of its difference from the mean, overflows where the score does not.
StatResult NormDist(double x, double mean, double deviation, int32_t cumulative) {
    if (cumulative) return Checked(NormalCdf(x, mean, deviation));
    constexpr long double kInvSqrtTwoPi = 0.398942280401432677939946059934381868L;
    long double z = (static_cast<long double>(x) - mean) / deviation;
    return Checked(double(std::exp(-z * z / 2) * kInvSqrtTwoPi / deviation));
}

StatResult Permut(int32_t n, int32_t k) {
    if (k > n) return StatError(kErrNum);
    double product = Product(double(n) - k + 1, n);
    if (!std::isfinite(product)) return StatError(kErrNum);
    return {product, 0};
}

namespace {

// POISSON's results pass no finite test: only NaN and infinities are #NUM!, so that a
// probability below the normal range is still shown.
StatResult Unchecked(double value) {
    if (!std::isfinite(value)) return StatError(kErrNum);
    return {value == 0 ? 0 : value, 0};
}

} // namespace

// x = 0 is the probability of no event, e^−mean; a mean of 0 has no distribution. A
// fractional x counts its whole events: POISSON(2.9, 1.5, 0) is P(X = 2).
StatResult Poisson(double x, double mean, int32_t cumulative) {
    if (mean == 0) return StatError(kErrNum);
    double last = std::floor(x);
    // P(X <= last) = Q(last + 1, mean), the regularised upper incomplete gamma.
    if (cumulative) return Unchecked(IncompleteGammaQ(last + 1, mean));
    // mean^last e^−mean / last! as the gamma derivative, which never overflows.
    return Unchecked(boost::math::gamma_p_derivative(last + 1, mean, MathPolicy()));
}

StatResult Standardize(double x, double mean, double deviation) {
    return Checked((x - mean) / deviation);
}

StatResult Weibull(double x, double alpha, double beta, int32_t cumulative) {
    if (alpha <= 0 || beta <= 0) return StatError(kErrNum);
    double power = std::pow(x / beta, alpha);
    // 1 - e^-power through expm1, which keeps a small power's digits.
    if (cumulative) return Checked(-std::expm1(-power));
    double e = std::exp(-power);
    return Checked(alpha / std::pow(beta, alpha) * std::pow(x, alpha - 1) * e);
}

StatResult BinomDist(int32_t s, int32_t trials, double p, int32_t cumulative) {
    if (!cumulative) return Checked(BinomialMass(s, trials, p));
    return Checked(BinomialCdf(s, trials, p));
}

StatResult CritBinom(int32_t trials, double p, double alpha) {
    // Above one half, alpha is met where the upper tail falls to 1 - alpha (exact there):
    // CRITBINOM(100, 0.3, 1) is 100, not the 70 where the lower tail rounds to 1.
    auto reaches = [&](int32_t k) {
        if (alpha > 0.5) return BinomialUpper(k, trials, p) <= 1 - alpha;
        return alpha <= BinomialCdf(k, trials, p);
    };
    if (reaches(0)) return {0, 0};
    if (!reaches(trials)) return {double(trials), 0};
    // The answer is the smallest k that reaches alpha, in (lo, hi]. The quantile lands on it
    // or next to it, so it and its neighbour are tried first; where the quantile is off (or
    // not found) bisection ends in at most 31 steps, never a walk over billions of trials.
    int32_t lo = 0, hi = trials;
    double guess = boost::math::quantile(Binomial(trials, p), alpha);
    if (std::isfinite(guess)) {
        // 64 bits: the neighbour past the largest count must not wrap.
        auto k = int64_t(std::clamp(guess, 0.0, double(trials)));
        for (int64_t probe : {k, k - 1, k + 1}) {
            if (probe <= lo || probe >= hi) continue;
            if (reaches(int32_t(probe)))
                hi = int32_t(probe);
            else
                lo = int32_t(probe);
        }
    }
    while (hi - lo > 1) {
        int32_t mid = lo + (hi - lo) / 2;
        if (reaches(mid))
            hi = mid;
        else
            lo = mid;
    }
    return {double(hi), 0};
}

StatResult ExponDist(double x, double lambda, int32_t cumulative) {
    long double exponent = -static_cast<long double>(lambda) * x;
    // 1 - e through expm1: near x = 0 the difference would cancel.
    if (cumulative) return Checked(double(-std::expm1(exponent)));
    return Checked(double(lambda * std::exp(exponent)));
}

StatResult Confidence(double alpha, double deviation, int32_t size) {
    // The upper quantile of alpha/2 itself: 1 − alpha/2 rounds to 1 for a tiny alpha.
    double z = alpha > 0 ? NormalUpperInv(alpha * 0.5) : NormalInv(1, 0, 1);
    return Checked(z * deviation / std::sqrt(double(size)));
}

StatResult Fisher(double x) {
    // The library's form: the quotient's logarithm cancels near 0. At +-1 it is infinite.
    return Checked(std::atanh(x));
}

// tanh itself: (e - 1) / (e + 1) cancels near 0, and e^(2y) overflows long after the
// quotient has become ±1.
StatResult FisherInv(double y) {
    return Checked(std::tanh(y));
}

} // namespace vl
