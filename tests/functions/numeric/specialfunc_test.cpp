#include "functions/numeric/distcdf.h"
#include "functions/numeric/distinverse.h"
#include "functions/numeric/specialfunc.h"

#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>

namespace vl {

// The quoted values are checked through the statistics built-ins.
TEST(SpecialFunctions, ExactValuesAtTheCentreAndTheOrigin) {
    EXPECT_EQ(IncompleteGammaP(0.5, 0), 0.0);
    EXPECT_EQ(IncompleteGammaP(3, 0), 0.0);
    EXPECT_EQ(NormalCdf(40, 40, 1.5), 0.5);
    EXPECT_EQ(TCdf(0, 1), 0.5);
    EXPECT_EQ(TCdf(0, 60), 0.5);
    EXPECT_EQ(FDensity(0, 6, 4), 0.0);
    EXPECT_EQ(FDensity(-1, 6, 4), 0.0);
    EXPECT_NEAR(TInv(0.5, 10), 0, 1e-6);
    EXPECT_NEAR(LogGamma(0.5), 0.5 * std::log(std::acos(-1.0)), 1e-10); // the reflection
}

TEST(DistributionInverses, AnswerProbabilitiesOutsideTheOpenIntervalWithSentinels) {
    struct Case {
        double value, expected;
    } cases[] = {
        {NormalInv(1, 3, 2), 1e10},     {NormalInv(1.5, 3, 2), 1e10}, {NormalInv(0, 3, 2), -1e10},
        {NormalInv(-0.2, 0, 1), -1e10}, {ChiSquareInv(1, 5), 1e10},   {ChiSquareInv(0, 5), 0},
        {FInv(1, 6, 4), 1e10},          {FInv(0, 6, 4), 0},           {FInv(-1, 6, 4), 0},
        {TInv(1, 60), DBL_MAX},         {TInv(0, 60), -DBL_MAX},      {TInv(2, 60), DBL_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(c.value, c.expected);
}

TEST(SpecialFunctions, NormalAgreesWithTheComplementaryErrorFunction) {
    for (double z = -8; z <= 8; z += 0.01)
        ASSERT_NEAR(NormalCdf(z, 0, 1), 0.5 * std::erfc(-z / std::sqrt(2.0)), 1e-15) << z;
}

TEST(SpecialFunctions, ChiSquareAgreesWithTheClosedFormOfEvenDegrees) {
    for (int k = 2; k <= 30; k += 2) {
        for (double x = 0.05; x <= 80; x += 0.05) {
            double term = 1, sum = 0;
            for (int i = 0; i < k / 2; ++i) {
                sum += term;
                term *= x / 2 / (i + 1);
            }
            ASSERT_NEAR(ChiSquareCdf(x, k), 1 - std::exp(-x / 2) * sum, 1e-14) << k << " " << x;
            ASSERT_NEAR(ChiSquareUpper(x, k), std::exp(-x / 2) * sum,
                        1e-14 * std::exp(-x / 2) * sum)
                << k << " " << x;
        }
    }
}

TEST(SpecialFunctions, TAndFAgreeWithTheirClosedForms) {
    const double pi = std::acos(-1.0);
    for (double x = -50; x <= 50; x += 0.01) {
        ASSERT_NEAR(TCdf(x, 1), 0.5 + std::atan(x) / pi, 1e-14) << x;
        ASSERT_NEAR(TCdf(x, 2), 0.5 + x / (2 * std::sqrt(2 + x * x)), 1e-14) << x;
    }
    for (double x = 0; x <= 100; x += 0.01) {
        ASSERT_NEAR(FCdf(x, 2, 2), x / (1 + x), 1e-14) << x;
        ASSERT_NEAR(FUpper(x, 2, 2), 1 / (1 + x), 1e-14 / (1 + x)) << x;
    }
}

// Simpson's rule over (0, ∞) mapped onto (0, 1) by x = t / (1 − t).
double IntegrateFDensity(int m, int n) {
    const int steps = 200000;
    const double h = 1.0 / steps;
    auto f = [&](double t) {
        if (t >= 1) return 0.0;
        double x = t / (1 - t);
        return FDensity(x, m, n) / ((1 - t) * (1 - t));
    };
    double sum = f(0) + f(1);
    for (int i = 1; i < steps; ++i) sum += f(i * h) * (i % 2 ? 4 : 2);
    return sum * h / 3;
}

TEST(SpecialFunctions, FDensityIntegratesToOne) {
    EXPECT_NEAR(IntegrateFDensity(6, 4), 1, 1e-8);
    EXPECT_NEAR(IntegrateFDensity(10, 7), 1, 1e-8);
    EXPECT_NEAR(IntegrateFDensity(3, 12), 1, 1e-8);
}

TEST(DistributionInverses, InvertTheirDistributionFunctions) {
    for (double p = 0.001; p <= 0.999; p += 0.001) {
        ASSERT_NEAR(NormalCdf(NormalInv(p, 0, 1), 0, 1), p, 1e-14) << p;
        for (int k : {1, 2, 5, 10, 30, 100}) {
            ASSERT_NEAR(ChiSquareCdf(ChiSquareInv(p, k), k), p, 1e-14) << p << " " << k;
            ASSERT_NEAR(TCdf(TInv(p, k), k), p, 1e-14) << p << " " << k;
        }
        for (int m : {1, 4, 25})
            for (int n : {1, 6, 28})
                ASSERT_NEAR(FCdf(FInv(p, m, n), m, n), p, 1e-14) << p << " " << m << " " << n;
    }
}

// An incomplete gamma that gave 0 for every x below 1e-6 left the normal flat at 0.5
// for |z| below 0.0014.
TEST(SpecialFunctions, NormalIsNotFlatNearTheMean) {
    EXPECT_NEAR(NormalCdf(0.001, 0, 1) - 0.5, 0.000398942, 1e-9);
    EXPECT_NEAR(NormalCdf(-0.0001, 0, 1) - 0.5, -0.0000398942, 1e-10);
    EXPECT_GT(IncompleteGammaP(0.5, 1e-9), 0);
    EXPECT_NEAR(NormalInv(0.5002, 0, 1), 0.000501326, 2e-8);
}

// An incomplete beta that gave 0 below X = 1e-8 left the t distribution flat around 0
// and jumping by 3e-4 at |x| = 7.7e-4 for 60 degrees.
TEST(SpecialFunctions, TIsNotFlatNearZero) {
    const double pi = std::acos(-1.0);
    for (double x : {1e-6, 5e-5, 1e-4, 7e-4, 8e-4}) {
        EXPECT_NEAR(TCdf(x, 1), 0.5 + std::atan(x) / pi, 1e-10) << x;
        EXPECT_NEAR(TCdf(-x, 2), 0.5 - x / (2 * std::sqrt(2 + x * x)), 1e-10) << x;
    }
    EXPECT_NEAR(TCdf(0.0005, 60) - 0.5, 0.0005 * 0.3972835, 1e-10);
    EXPECT_GT(IncompleteBeta(0.5, 3, 1e-10), 0);
    EXPECT_NEAR(TCdf(TInv(0.5001, 60), 60), 0.5001, 1e-6);
}

// A search that let the lower end of an F interval go below 0 ended there.
TEST(DistributionInverses, FAndChiSquareStayAtOrAboveZero) {
    double x = FInv(0.01148, 25, 28);
    EXPECT_GE(x, 0);
    EXPECT_NEAR(FCdf(x, 25, 28), 0.01148, 1e-6);
    EXPECT_GT(x, 0.1);
    uint32_t state = 12345;
    auto next = [&] { return (state = state * 1664525u + 1013904223u) >> 8; };
    for (int i = 0; i < 3000; ++i) {
        double p = 0.001 + 0.998 * (next() % 100000) / 100000.0;
        int m = 1 + int(next() % 60), n = 1 + int(next() % 60);
        double f = FInv(p, m, n);
        ASSERT_GE(f, 0) << p << " " << m << " " << n;
        ASSERT_NEAR(FCdf(f, m, n), p, 1e-6) << p << " " << m << " " << n;
        double c = ChiSquareInv(p, m);
        ASSERT_GE(c, 0) << p << " " << m;
        ASSERT_NEAR(ChiSquareCdf(c, m), p, 1e-6) << p << " " << m;
    }
}

} // namespace vl
