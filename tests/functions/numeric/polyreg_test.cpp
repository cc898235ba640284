// The polynomial regression and time-series back-ends.
#include "functions/numeric/polyreg.h"
#include "matrixbuild.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl::test {

namespace {

struct Fit {
    Matrix x, B, F, chi2;
};

Fit FitOf(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& sy,
          int32_t r) {
    int32_t N = int32_t(t.size());
    Matrix tm, ym, sym;
    EXPECT_TRUE(MatrixResize(tm, N, 1, 0) && MatrixResize(ym, N, 1, 0) &&
                MatrixResize(sym, N, 1, 0));
    for (int32_t i = 1; i <= N; ++i) {
        VectorAt(tm, i) = t[std::size_t(i - 1)];
        VectorAt(ym, i) = y[std::size_t(i - 1)];
        VectorAt(sym, i) = sy[std::size_t(i - 1)];
    }
    Fit f;
    EXPECT_TRUE(MatrixResize(f.x, r, 1, 0) && MatrixResize(f.B, r, r, 0) &&
                MatrixResize(f.F, N, r, 0) && MatrixResize(f.chi2, r, 1, 0));
    EXPECT_TRUE(PolyRegFit(tm, ym, sym, N, r, f.x, f.B, f.F, f.chi2));
    return f;
}

struct Series {
    std::vector<double> trend, eta;
};

Series SeriesOf(const std::vector<double>& y, int32_t k, int32_t l, double p) {
    int32_t n = int32_t(y.size());
    Matrix ym, trend, eta;
    EXPECT_TRUE(MatrixResize(ym, n, 1, 0) && MatrixResize(trend, n + 2 * k, 1, 0) &&
                MatrixResize(eta, n + 2 * k, 1, 0));
    for (int32_t i = 1; i <= n; ++i) VectorAt(ym, i) = y[std::size_t(i - 1)];
    EXPECT_TRUE(TimeSeriesAnalysis(ym, n, k, l, p, trend, eta));
    return {Elements(trend, n + 2 * k), Elements(eta, n + 2 * k)};
}

const std::vector<double> kSeries = {11, 8, 7, 2, 1, 3, 8, 4};

} // namespace

TEST(PolyReg, StraightLineLeavesHigherCoefficientsAtZero) {
    Fit f = FitOf({1, 2, 3, 4, 5}, {1.1, 1.2, 1.3, 1.4, 1.5}, {0.2, 0.2, 0.2, 0.2, 0.23}, 4);
    EXPECT_NEAR(VectorAt(f.x, 1), 14.0638, 5e-5);
    EXPECT_NEAR(VectorAt(f.x, 2), 1.4979, 5e-5);
    EXPECT_NEAR(VectorAt(f.x, 3), 0, 1e-9);
    EXPECT_NEAR(VectorAt(f.x, 4), 0, 1e-9);
    // The basis is orthonormal under the weights.
    double cross = 0, norm = 0;
    const double sy[] = {0.2, 0.2, 0.2, 0.2, 0.23};
    for (int32_t i = 1; i <= 5; ++i) {
        double g = 1 / (sy[i - 1] * sy[i - 1]);
        cross += g * MatrixElement(f.F, i, 2) * MatrixElement(f.F, i, 3);
        norm += g * MatrixElement(f.F, i, 3) * MatrixElement(f.F, i, 3);
    }
    EXPECT_NEAR(cross, 0, 1e-9);
    EXPECT_NEAR(norm, 1, 1e-9);
}

TEST(PolyReg, OneTermIsTheWeightedMean) {
    Fit f = FitOf({1, 2, 3}, {2, 4, 9}, {1, 1, 2}, 1);
    double g = 1 + 1 + 0.25;
    EXPECT_NEAR(MatrixElement(f.B, 1, 1), 1 / std::sqrt(g), 1e-15);
    double mean = (2 + 4 + 9 * 0.25) / g;
    EXPECT_NEAR(VectorAt(f.x, 1) * MatrixElement(f.B, 1, 1), mean, 1e-14);
}

TEST(PolyReg, PointsWithConfidenceLimits) {
    Fit f = FitOf({1, 2, 3, 4, 5, 6, 7}, {3.1, 1.2, 1.3, 2.4, 3.5, 6.5, 7.5},
                  {0.2, 1.8, 0.2, 0.2, 1.9, 2.8, 3.8}, 7);
    struct Case {
        double t, value, halfwidth;
    } cases[] = {{1.5, 1.901, 1.176}, {2.5, 1.112, 0.681}, {3.5, 1.754, 0.320}};
    for (const Case& c : cases) {
        double value = 0, halfwidth = 0;
        PolyPointsQuantile(f.x, f.B, c.t, -VectorAt(f.chi2, 5), 0.85, 5, 7 - 5, value, halfwidth);
        EXPECT_NEAR(value, c.value, 5e-4) << c.t;
        EXPECT_NEAR(halfwidth, c.halfwidth, 5e-4) << c.t;
    }
}

TEST(TimeSeries, TrendAndLimitsOfTheExample) {
    Series s = SeriesOf(kSeries, 3, 2, 0.8);
    ASSERT_EQ(s.trend.size(), 14u);
    const double first[][2] = {{35.071, 10.531}, {25.929, 7.155}, {18.286, 4.447}, {12.143, 2.491},
                               {7.5, 1.525},     {4.357, 1.525},  {2.714, 1.648}};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_NEAR(s.trend[i], first[i][0], 5e-4) << i;
        EXPECT_NEAR(s.eta[i], first[i][1], 5e-4) << i;
    }
    EXPECT_NEAR(s.trend[13], 18.405, 5e-4);
    EXPECT_NEAR(s.eta[13], 15.109, 5e-4);
}

TEST(TimeSeries, CubicOverFivePoints) {
    Series s = SeriesOf(kSeries, 2, 3, 0.8);
    ASSERT_EQ(s.trend.size(), 12u);
    EXPECT_NEAR(s.trend[0], 7.8, 5e-4);
    EXPECT_NEAR(s.eta[0], 71.397, 5e-4);
    EXPECT_NEAR(s.trend[10], -11.4, 5e-4);
    EXPECT_NEAR(s.trend[11], -45.4, 5e-4);
}

TEST(TimeSeries, OneWindowFillsEveryPosition) {
    Series s = SeriesOf({1, 4, 9, 16, 25}, 2, 2, 0.9);
    ASSERT_EQ(s.trend.size(), 9u);
    // An exact parabola: the trend continues it on both sides, with zero limits.
    for (int32_t i = 0; i < 9; ++i) {
        double point = i - 1; // position 1 stands for point 1 - k
        EXPECT_NEAR(s.trend[std::size_t(i)], point * point, 1e-9) << i;
        EXPECT_NEAR(s.eta[std::size_t(i)], 0, 1e-6) << i;
    }
}

TEST(TimeSeries, NoDegreeOfFreedomLeavesTheTrendWithoutLimits) {
    Series s = SeriesOf(kSeries, 1, 2, 0.8);
    for (std::size_t i = 0; i < s.trend.size(); ++i) {
        EXPECT_TRUE(std::isfinite(s.trend[i])) << i;
        EXPECT_TRUE(std::isnan(s.eta[i])) << i;
    }
    EXPECT_NEAR(s.trend[3], 7, 1e-9); // the parabola through three points passes them
}

} // namespace vl::test
