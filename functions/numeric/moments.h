#pragma once
// Moments of a list of values: variance and standard deviation in one pass, skewness
// and kurtosis in two, the geometric and harmonic means, and the mean-based sums of the
// descriptive functions (mean, mean absolute deviation, sum of squared deviations).
// Values arrive one by one; an error joins the running error (highest code) and stops
// the counting, though later values are still offered.

#include "functions/numeric/statresult.h"

#include <cstdint>

namespace vl {

// Count and sums of the deviations from the first value and of their squares. Summing
// deviations keeps the digits that sums of the raw values lose on data with a large mean.
// Deviations below 2^-500 have their squares summed apart, scaled by 2^1200, and those of
// 2^500 and above scaled by 2^-1200, where those squares are still normal, finite numbers.
struct ShiftedSums {
    uint32_t n = 0;
    double shift = 0;
    double sx = 0;
    double sxx = 0;
    double sxxTiny = 0;
    double sxxHuge = 0;
    FormulaError error = 0;
    // The errors of the values alone, and whether a sum stopped being finite: some tests
    // answer an overflow otherwise than #NUM!.
    FormulaError valueError = 0;
    bool overflowed = false;

    // Counts x unless an error is set; a sum of the values that stops being finite is #NUM!
    // and marks the sums overflowed.
    void Add(double x);
    void AddError(FormulaError e) {
        error = JoinError(error, e);
        valueError = JoinError(valueError, e);
    }
    double Mean() const { return shift + sx / n; }
    // n·Sxx − Sx², never below 0 (rounding can make it so for equal values); not finite
    // when a deviation's square is not.
    double Spread() const;
    // The spread as s·2^exponent, where `exponent` is 1200 when a deviation reaches 2^500,
    // -1200 when every deviation is below 2^-500, else 0: s, its variance and root then stay
    // finite and normal.
    double ScaledSpread(int& exponent) const;
};

// The sample (n − 1) or population (n) variance: #DIV/0! below two, respectively one,
// value; the error of the sums when they carry one.
StatResult Variance(const ShiftedSums& sums, bool sample);
// The square root of Variance.
StatResult StandardDeviation(const ShiftedSums& sums, bool sample);

// SKEW (power 3) and KURT (power 4) of a whole list: the deviations from the mean taken
// from the shift by the first value, the mean's own rounding corrected, and scaled by the
// largest so that no power overflows or underflows. #DIV/0! below 3 (4) values or
// without spread.
StatResult StandardMoment(const double* values, uint32_t n, int power);

// GEOMEAN: running product of values above 0, as a mantissa in [1/2, 1) and a power of 2
// kept apart, so that no product of ordinary values overflows or underflows.
struct ProductSums {
    uint32_t n = 0;
    double product = 1;
    int64_t exponent = 0;
    FormulaError error = 0;
    void Add(double x);
    void AddError(FormulaError e) { error = JoinError(error, e); }
};
StatResult GeometricMean(const ProductSums& sums);

// HARMEAN: running sum of reciprocals of values other than 0, in extended range (the
// reciprocal of a value near the largest double is below the normal range) and compensated,
// so that large reciprocals that cancel leave the others' sum.
struct ReciprocalSums {
    uint32_t n = 0;
    long double sum = 0;
    long double compensation = 0;
    FormulaError error = 0;
    void Add(double x);
    void AddError(FormulaError e) { error = JoinError(error, e); }
};
StatResult HarmonicMean(const ReciprocalSums& sums);

// AVERAGE: running sum with Neumaier's compensation, so that values that cancel leave the
// small ones' sum exact; #N/A! without values.
struct PlainSum {
    uint32_t n = 0;
    double sum = 0;
    double compensation = 0; // what the additions to `sum` dropped
    FormulaError error = 0;
    void Add(double x);
    void AddError(FormulaError e) { error = JoinError(error, e); }
};
StatResult Mean(const PlainSum& sums);

// AVEDEV and DEVSQ: the second pass over the same values, given the mean.
struct DeviationSum {
    double mean = 0;
    bool squared = false;
    // What the mean as a double misses: at a large offset the mean's last bit is larger
    // than the spread's digits, so deviations are taken from mean and then from rest.
    double rest = 0;
    double sum = 0;
    FormulaError error = 0;
    void Add(double x);
};

} // namespace vl
