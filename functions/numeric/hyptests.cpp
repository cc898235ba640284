#include "functions/numeric/hyptests.h"

#include "formula/formulanumber.h"
#include "functions/numeric/distcdf.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

StatResult Finite(double value) {
    if (IsOutOfRange(value)) return StatError(kErrNum);
    return {value, 0};
}

double SampleVariance(const ShiftedSums& s) {
    uint64_t n = s.n;
    return s.Spread() / double(n * (n - 1));
}

// The sample variance as v·2^exponent, which stays finite where the variance does not.
double ScaledSampleVariance(const ShiftedSums& s, int& exponent) {
    uint64_t n = s.n;
    return s.ScaledSpread(exponent) / double(n * (n - 1));
}

} // namespace

StatResult FTest(const ShiftedSums& first, const ShiftedSums& second) {
    // A variance beyond the double range is #NUM!, as any result past it is; a sample too
    // small to vary or without variance is #DIV/0!.
    FormulaError error = JoinError(first.valueError, second.valueError);
    if (error) return StatError(error);
    if (first.overflowed || second.overflowed) return StatError(kErrNum);
    if (first.n < 2 || second.n < 2) return StatError(kErrDivZero);
    double v1 = SampleVariance(first), v2 = SampleVariance(second);
    if (!std::isfinite(v1) || !std::isfinite(v2)) return StatError(kErrNum);
    if (v1 == 0 || v2 == 0) return StatError(kErrDivZero);
    bool firstLarger = v1 >= v2;
    double f = firstLarger ? v1 / v2 : v2 / v1;
    int32_t dBig = int32_t((firstLarger ? first.n : second.n) - 1);
    int32_t dSmall = int32_t((firstLarger ? second.n : first.n) - 1);
    return Finite(FCdf(f, dBig, dSmall));
}

StatResult TStatistic(const ShiftedSums& first, const ShiftedSums& second) {
    FormulaError error = JoinError(first.error, second.error);
    if (error) return StatError(error);
    if (first.n < 2 || second.n < 2) return StatError(kErrNA);
    double n1 = first.n, n2 = second.n;
    int e1 = 0, e2 = 0;
    const double v1 = ScaledSampleVariance(first, e1), v2 = ScaledSampleVariance(second, e2);
    const int e = std::max(e1, e2);
    double pooled = ((n1 - 1) * std::ldexp(v1, e1 - e) + (n2 - 1) * std::ldexp(v2, e2 - e)) /
                    (n1 + n2 - 2) * (n1 + n2) / (n1 * n2);
    // The shifts' difference first: at a large offset each mean alone rounds away the
    // digits of the difference.
    double difference = (first.shift - second.shift) + (first.sx / n1 - second.sx / n2);
    return Finite(difference / std::ldexp(std::sqrt(pooled), e / 2));
}

StatResult TTest(const ShiftedSums& first, const ShiftedSums& second, int32_t tails) {
    StatResult t = TStatistic(first, second);
    if (t.error) return t;
    int32_t degrees = int32_t(first.n + second.n - 2);
    double tail = TUpper(std::fabs(t.value), degrees);
    return Finite(tails == 2 ? 2 * tail : tail);
}

StatResult ZStatistic(const ShiftedSums& sample, double x, const double* deviation) {
    // A deviation of 0 divides by zero whatever the data hold: its #NUM! meets their error
    // and the larger code wins.
    FormulaError error = sample.error;
    if (deviation && *deviation == 0) error = JoinError(error, kErrNum);
    if (error) return StatError(error);
    if (sample.n < 2) return StatError(kErrDivZero);
    double sigma = 0;
    if (deviation) {
        sigma = *deviation;
    } else {
        int e = 0;
        const double variance = ScaledSampleVariance(sample, e);
        sigma = std::ldexp(std::sqrt(variance), e / 2);
    }
    double difference = (sample.shift - x) + sample.sx / double(sample.n);
    return Finite(difference / (sigma / std::sqrt(double(sample.n))));
}

StatResult ZTest(const ShiftedSums& sample, double x, const double* deviation) {
    StatResult z = ZStatistic(sample, x, deviation);
    if (z.error) return z;
    return Finite(NormalUpper(z.value, 0, 1));
}

StatResult ChiSquareStatistic(const double* observed, const double* expected, std::size_t n) {
    double chi2 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double d = observed[i] - expected[i];
        chi2 += d * d / expected[i];
    }
    return Finite(chi2);
}

StatResult ChiTest(const double* observed, const double* expected, uint32_t rows,
                   uint32_t columns) {
    StatResult chi2 = ChiSquareStatistic(observed, expected, std::size_t(rows) * columns);
    if (chi2.error) return chi2;
    // A single row or column is one list of n categories: n − 1 degrees, not the table's
    // (rows − 1)(columns − 1), which would be 0.
    int64_t degrees = rows == 1 || columns == 1 ? int64_t(rows) * columns - 1
                                                : int64_t(rows - 1) * int64_t(columns - 1);
    return Finite(ChiSquareCdf(chi2.value, int32_t(degrees)));
}

} // namespace vl
