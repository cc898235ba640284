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
    sxx += d * d;
    if (Overflowed(sx) || Overflowed(sxx)) {
        overflowed = true;
        error = kErrNum;
    }
}

double ShiftedSums::Spread() const {
    double spread = double(n) * sxx - sx * sx;
    return spread < 0 ? 0 : spread;
}

StatResult Variance(const ShiftedSums& sums, bool sample) {
    if (sums.error) return StatError(sums.error);
    uint64_t n = sums.n;
    if (n == 0 || (sample && n == 1)) return StatError(kErrDivZero);
    uint64_t divisor = sample ? n * (n - 1) : n * n;
    double variance = sums.Spread() / double(divisor);
    if (IsOutOfRange(variance)) return StatError(kErrNum);
    return {variance, 0};
}

StatResult StandardDeviation(const ShiftedSums& sums, bool sample) {
    StatResult r = Variance(sums, sample);
    if (!r.error) r.value = std::sqrt(r.value);
    return r;
}

void PowerSum::Add(double x) {
    if (error) return;
    double d = x - mean;
    double term = d * d * d;
    if (power == 4) term *= d;
    sum += term;
    if (IsOutOfRange(sum)) error = kErrNum;
}

MomentBasis MomentBasisOf(const ShiftedSums& sums, uint32_t minimumCount) {
    MomentBasis basis;
    if (sums.error) {
        basis.error = sums.error;
        return basis;
    }
    if (sums.n < minimumCount) {
        basis.error = kErrDivZero;
        return basis;
    }
    basis.mean = sums.Mean();
    StatResult sd = StandardDeviation(sums, true);
    if (sd.error || sd.value == 0) {
        basis.error = sd.error ? sd.error : kErrDivZero;
        return basis;
    }
    basis.deviation = sd.value;
    return basis;
}

StatResult Skewness(uint32_t count, double s, const PowerSum& cubes) {
    if (cubes.error) return StatError(cubes.error);
    double n = count;
    double skew = n / ((n - 1) * (n - 2)) * cubes.sum / (s * s * s);
    if (IsOutOfRange(skew)) return StatError(kErrNum);
    return {skew, 0};
}

StatResult Kurtosis(uint32_t count, double s, const PowerSum& fourths) {
    if (fourths.error) return StatError(fourths.error);
    double n = count;
    double s4 = s * s * s * s;
    double kurt = (n + 1) * n / ((n - 3) * (n - 2) * (n - 1)) * fourths.sum / s4 -
                  (n - 1) * (n - 1) * 3 / ((n - 3) * (n - 2));
    if (IsOutOfRange(kurt)) return StatError(kErrNum);
    return {kurt, 0};
}

void ProductSums::Add(double x) {
    if (error) return;
    product = x * product;
    ++n;
    if (IsOutOfRange(product) || !(x > 0)) error = kErrNum;
}

StatResult GeometricMean(const ProductSums& sums) {
    if (sums.error) return StatError(sums.error);
    if (sums.n == 0) return StatError(kErrNA);
    return {std::pow(sums.product, 1.0 / sums.n), 0};
}

void ReciprocalSums::Add(double x) {
    if (error) return;
    if (x == 0) {
        error = kErrNum;
        return;
    }
    sum += 1 / x;
    ++n;
    if (IsOutOfRange(sum)) error = kErrNum;
}

// Reciprocals that cancel exactly leave nothing to divide by.
StatResult HarmonicMean(const ReciprocalSums& sums) {
    if (sums.error) return StatError(sums.error);
    if (sums.n == 0) return StatError(kErrNA);
    if (sums.sum == 0) return StatError(kErrDivZero);
    return {1 / (sums.sum / sums.n), 0};
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
