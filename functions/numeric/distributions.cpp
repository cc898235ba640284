#include "functions/numeric/distributions.h"

#include "formula/formulanumber.h"
#include "functions/numeric/distcdf.h"
#include "functions/numeric/distinverse.h"

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

// C(a, b) as the product a − b + 1 … a over 2 … b.
double Binomial(double a, double b) {
    return Product(a - b + 1, a) / Product(2, b);
}

double Factorial(double n) {
    return Product(2, n);
}

double BinomialTerm(int32_t i, int32_t trials, double p) {
    return Binomial(trials, i) * std::pow(p, i) * std::pow(1 - p, trials - i);
}

} // namespace

StatResult Checked(double value) {
    if (IsOutOfRange(value)) return StatError(kErrNum);
    return {value == 0 ? 0 : value, 0}; // no negative zero
}

StatResult HypGeomDist(int32_t s, int32_t n, int32_t S, int32_t N) {
    double value = Binomial(S, s) * Binomial(double(N) - S, double(n) - s) / Binomial(N, n);
    return Checked(value);
}

StatResult NormDist(double x, double mean, double deviation, int32_t cumulative) {
    if (cumulative) return Checked(NormalCdf(x, mean, deviation));
    double d = x - mean;
    return Checked(std::exp(-d * d / (2 * deviation * deviation)) /
                   (std::sqrt(6.28318530717958) * deviation));
}

StatResult Permut(int32_t n, int32_t k) {
    if (k > n) return {0, 0};
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

StatResult Poisson(double x, double mean, int32_t cumulative) {
    if (x == 0 || mean == 0) return StatError(kErrNum);
    double e = std::exp(-mean);
    double last = std::floor(x);
    if (!cumulative) return Unchecked(std::pow(mean, x) * e / Factorial(last));
    double sum = 0;
    double i = 0;
    for (; i <= last && std::isfinite(Factorial(i)); ++i)
        sum += std::pow(mean, i) * e / Factorial(i);
    // Past 170! every term is 0, or NaN once the power overflows too; the power grows
    // or shrinks steadily, so its last value tells which.
    if (i <= last && std::isinf(std::pow(mean, last))) return StatError(kErrNum);
    return Unchecked(sum);
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
    if (!cumulative) return Checked(BinomialTerm(s, trials, p));
    double sum = 0;
    for (int32_t i = 0; i <= s && !std::isnan(sum); ++i) sum += BinomialTerm(i, trials, p);
    return Checked(sum);
}

StatResult CritBinom(int32_t trials, double p, double alpha) {
    double sum = 0;
    // A NaN sum never reaches alpha: the answer is #NUM! without walking on.
    for (int32_t k = 0; k <= trials && !std::isnan(sum); ++k) {
        sum += BinomialTerm(k, trials, p);
        if (alpha <= sum) return {double(k), 0};
    }
    return StatError(kErrNum);
}

StatResult ExponDist(double x, double lambda, int32_t cumulative) {
    long double exponent = -static_cast<long double>(lambda) * x;
    // 1 - e through expm1: near x = 0 the difference would cancel.
    if (cumulative) return Checked(double(-std::expm1(exponent)));
    return Checked(double(lambda * std::exp(exponent)));
}

StatResult Confidence(double alpha, double deviation, int32_t size) {
    double z = NormalInv(1 - alpha * 0.5, 0, 1);
    return Checked(z * deviation / std::sqrt(double(size)));
}

StatResult Fisher(double x) {
    // The library's form: the quotient's logarithm cancels near 0. At +-1 it is infinite.
    return Checked(std::atanh(x));
}

StatResult FisherInv(double y) {
    long double e = std::exp(2 * static_cast<long double>(y));
    if (std::isinf(e)) return StatError(kErrNum);
    // tanh itself: (e - 1) / (e + 1) cancels near 0.
    return Checked(double(std::tanh(static_cast<long double>(y))));
}

} // namespace vl
