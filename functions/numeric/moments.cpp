#include "functions/numeric/moments.h"

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

void ShiftedSums::Add(double x) {
    if (error) return;
    if (n == 0) shift = x;
    double d = x - shift;
    ++n;
    sx += d;
    sxx += static_cast<long double>(d) * d;
    // Squares past the double range overflow as they always did, though the extended sum
    // holds them: the tests of two samples answer such an overflow with their own error.
    if (Overflowed(sx) || Overflowed(double(sxx))) {
        overflowed = true;
        error = kErrNum;
    }
}

long double ShiftedSums::Spread() const {
    long double spread = n * sxx - static_cast<long double>(sx) * sx;
    return spread < 0 ? 0 : spread;
}

namespace {

// The variance before it is rounded to a double, or the error that stands for it.
FormulaError ExtendedVariance(const ShiftedSums& sums, bool sample, long double& variance) {
    if (sums.error) return sums.error;
    uint64_t n = sums.n;
    if (n == 0 || (sample && n == 1)) return kErrDivZero;
    uint64_t divisor = sample ? n * (n - 1) : n * n;
    variance = sums.Spread() / static_cast<long double>(divisor);
    return 0;
}

StatResult Finite(double value) {
    if (IsOutOfRange(value)) return StatError(kErrNum);
    return {value, 0};
}

} // namespace

StatResult Variance(const ShiftedSums& sums, bool sample) {
    long double variance = 0;
    if (FormulaError error = ExtendedVariance(sums, sample, variance)) return StatError(error);
    return Finite(double(variance));
}

// The root of the unrounded variance: a variance below the normal range has a root well
// inside it.
StatResult StandardDeviation(const ShiftedSums& sums, bool sample) {
    long double variance = 0;
    if (FormulaError error = ExtendedVariance(sums, sample, variance)) return StatError(error);
    return Finite(double(std::sqrt(variance)));
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
    sum += 1 / static_cast<long double>(x);
    ++n;
}

// Reciprocals that cancel exactly leave nothing to divide by.
StatResult HarmonicMean(const ReciprocalSums& sums) {
    if (sums.error) return StatError(sums.error);
    if (sums.n == 0) return StatError(kErrNA);
    if (sums.sum == 0) return StatError(kErrDivZero);
    return Finite(double(sums.n / sums.sum));
}

void PlainSum::Add(double x) {
    if (error) return;
    sum += x;
    ++n;
    if (IsOutOfRange(sum)) error = kErrNum;
}

StatResult Mean(const PlainSum& sums) {
    if (sums.error) return StatError(sums.error);
    if (sums.n == 0) return StatError(kErrNA);
    return {sums.sum / sums.n, 0};
}

void DeviationSum::Add(double x) {
    if (error) return;
    double d = (x - mean) - rest;
    sum += squared ? d * d : std::fabs(d);
    if (IsOutOfRange(sum)) error = kErrNum;
}

} // namespace vl
