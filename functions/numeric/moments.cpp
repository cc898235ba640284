#include "functions/numeric/moments.h"

#include "formula/compensatedsum.h"
#include "formula/formulanumber.h"

#include <cmath>

namespace vl {

namespace {

// Running sums that may legitimately pass through tiny values: only infinities and NaN
// mark them as failed.
bool Overflowed(double sum) {
    return !std::isfinite(sum);
}

} // namespace

namespace {

constexpr double kTinyDeviation = 0x1p-500;
constexpr double kHugeDeviation = 0x1p500;
constexpr double kTinyScale = 0x1p600;
constexpr int kScaleExponent = 1200;

// x·2^-1200, in two steps: 2^-1200 itself is below the double range.
double Unscale(double x) {
    return x / kTinyScale / kTinyScale;
}

} // namespace

void ShiftedSums::Add(double x) {
    if (error) return;
    if (n == 0) shift = x;
    double d = x - shift;
    ++n;
    sx += d;
    if (std::fabs(d) >= kHugeDeviation) {
        const double scaled = d / kTinyScale;
        sxxHuge += scaled * scaled;
    } else if (std::fabs(d) >= kTinyDeviation) {
        sxx += d * d;
    } else {
        const double scaled = d * kTinyScale;
        sxxTiny += scaled * scaled;
    }
    // The sum of the values is tested as it runs, and its failure joins the values' errors.
    if (Overflowed(sx)) {
        overflowed = true;
        error = kErrNum;
    }
}

double ShiftedSums::Spread() const {
    int exponent = 0;
    const double spread = ScaledSpread(exponent);
    return std::ldexp(spread, exponent);
}

double ShiftedSums::ScaledSpread(int& exponent) const {
    double spread = 0;
    if (sxxHuge > 0) {
        exponent = kScaleExponent;
        const double s = sx / kTinyScale;
        spread = double(n) * (sxxHuge + Unscale(sxx)) - s * s;
    } else if (sxx == 0 && sxxTiny > 0) {
        exponent = -kScaleExponent;
        const double s = sx * kTinyScale;
        spread = double(n) * sxxTiny - s * s;
    } else {
        exponent = 0;
        spread = double(n) * (sxx + Unscale(sxxTiny)) - sx * sx;
    }
    return spread < 0 ? 0 : spread;
}

namespace {

// The variance in the units of ScaledSpread, or the error that stands for it.
FormulaError ScaledVariance(const ShiftedSums& sums, bool sample, double& variance, int& exponent) {
    if (sums.error) return sums.error;
    uint64_t n = sums.n;
    if (n == 0 || (sample && n == 1)) return kErrDivZero;
    uint64_t divisor = sample ? n * (n - 1) : n * n;
    variance = sums.ScaledSpread(exponent) / double(divisor);
    return 0;
}

StatResult Finite(double value) {
    if (IsOutOfRange(value)) return StatError(kErrNum);
    return {value, 0};
}

} // namespace

StatResult Variance(const ShiftedSums& sums, bool sample) {
    double variance = 0;
    int exponent = 0;
    if (FormulaError error = ScaledVariance(sums, sample, variance, exponent))
        return StatError(error);
    return Finite(std::ldexp(variance, exponent));
}

// The root of the scaled variance: a variance below the normal range has a root well inside
// it.
StatResult StandardDeviation(const ShiftedSums& sums, bool sample) {
    double variance = 0;
    int exponent = 0;
    if (FormulaError error = ScaledVariance(sums, sample, variance, exponent))
        return StatError(error);
    return Finite(std::ldexp(std::sqrt(variance), exponent / 2));
}

void ProductSums::Add(double x) {
    if (error) return;
    ++n;
    if (!(x > 0) || IsOutOfRange(x)) {
        error = kErrNum;
        return;
    }
    int e = 0;
    product = std::frexp(product * x, &e);
    exponent += e;
}

// (m 2^E)^(1/n) = m^(1/n) 2^(E mod n / n) 2^(E div n): each factor to its rounding.
StatResult GeometricMean(const ProductSums& sums) {
    if (sums.error) return StatError(sums.error);
    if (sums.n == 0) return StatError(kErrNA);
    const int64_t n = sums.n;
    int64_t whole = sums.exponent / n, rest = sums.exponent % n;
    if (rest < 0) {
        rest += n;
        --whole;
    }
    double root = std::pow(sums.product, 1.0 / double(n)) * std::exp2(double(rest) / double(n));
    if (whole > 4096 || whole < -4096) return StatError(kErrNum);
    double mean = std::ldexp(root, int(whole));
    if (IsOutOfRange(mean)) return StatError(kErrNum);
    return {mean, 0};
}

StatResult StandardMoment(const double* values, uint32_t count, int power) {
    if (count < uint32_t(power == 3 ? 3 : 4)) return StatError(kErrDivZero);
    const double n = count, shift = values[0];
    double sum = 0;
    for (uint32_t i = 0; i < count; ++i) sum += values[i] - shift;
    double mean = sum / n, rest = 0;
    for (uint32_t i = 0; i < count; ++i) rest += (values[i] - shift) - mean;
    rest /= n;
    double scale = 0;
    for (uint32_t i = 0; i < count; ++i)
        scale = std::fmax(scale, std::fabs((values[i] - shift) - mean - rest));
    if (!(scale > 0) || !std::isfinite(scale)) return StatError(scale > 0 ? kErrNum : kErrDivZero);
    double m2 = 0, mp = 0;
    for (uint32_t i = 0; i < count; ++i) {
        double u = ((values[i] - shift) - mean - rest) / scale;
        m2 += u * u;
        mp += power == 3 ? u * u * u : u * u * u * u;
    }
    // With u scaled, s² = m2 / (n − 1) in the same units.
    double s2 = m2 / (n - 1);
    double value = power == 3 ? n / ((n - 1) * (n - 2)) * mp / (s2 * std::sqrt(s2))
                              : (n + 1) * n / ((n - 3) * (n - 2) * (n - 1)) * mp / (s2 * s2) -
                                    (n - 1) * (n - 1) * 3 / ((n - 3) * (n - 2));
    if (IsOutOfRange(value)) return StatError(kErrNum);
    return {value, 0};
}

void ReciprocalSums::Add(double x) {
    if (error) return;
    if (x == 0) {
        error = kErrNum;
        return;
    }
    AddCompensated(sum, compensation, 1 / static_cast<long double>(x));
    ++n;
}

// Reciprocals that cancel exactly leave nothing to divide by.
StatResult HarmonicMean(const ReciprocalSums& sums) {
    if (sums.error) return StatError(sums.error);
    if (sums.n == 0) return StatError(kErrNA);
    const long double total = sums.sum + sums.compensation;
    if (total == 0) return StatError(kErrDivZero);
    return Finite(double(sums.n / total));
}

void PlainSum::Add(double x) {
    if (error) return;
    AddCompensated(sum, compensation, x);
    ++n;
    if (IsOutOfRange(sum)) error = kErrNum;
}

StatResult Mean(const PlainSum& sums) {
    if (sums.error) return StatError(sums.error);
    if (sums.n == 0) return StatError(kErrNA);
    return {(sums.sum + sums.compensation) / sums.n, 0};
}

void DeviationSum::Add(double x) {
    if (error) return;
    double d = (x - mean) - rest;
    sum += squared ? d * d : std::fabs(d);
    if (IsOutOfRange(sum)) error = kErrNum;
}

} // namespace vl
