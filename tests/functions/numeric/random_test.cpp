// The process-wide random generator and its two pairs of seeds.
#include "functions/numeric/random.h"
#include "matrixbuild.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl::test {

namespace {

std::vector<double> Uniform(int32_t n, bool seeded = false, int32_t s1 = 0, int32_t s2 = 0,
                            bool seed2 = true) {
    Matrix v;
    EXPECT_TRUE(MatrixResize(v, uint32_t(std::max(n, 1)), 1, 0));
    FillUniformRandom(v, n, seeded, s1, seeded && seed2, s2);
    return Elements(v, n);
}

std::vector<double> ByDistribution(int32_t n, int32_t type, double v1, double v2) {
    Matrix v;
    EXPECT_TRUE(MatrixResize(v, uint32_t(n), 1, 0));
    FillRandomByDistribution(v, n, false, 0, false, 0, type, v1, v2);
    return Elements(v, n);
}

} // namespace

// The first number of a process, the seeded series and the two pairs are checked through
// RAND, MTXRAND and MTXRAND2.
TEST(RandomGenerator, SeedAloneKeepsTheOtherStream) {
    ResetRandomPairs();
    std::vector<double> a = Uniform(3, true, 10000, 0, false); // s2 still 654321
    ResetRandomPairs();
    std::vector<double> b = Uniform(3, true, 10000, 654321);
    EXPECT_EQ(a, b);
    // A seed given with n = 0 is still kept.
    Uniform(0, true, 10000, 25000);
    std::vector<double> kept = Uniform(4);
    EXPECT_EQ(kept, Uniform(4, true, 10000, 25000));
}

TEST(RandomGenerator, ZeroFirstSeedKeepsItsStreamAtZero) {
    RandomPair pair{0, 25000};
    for (int i = 0; i < 5; ++i) {
        double u = NextUniform(pair);
        EXPECT_EQ(pair.s1, 0);
        EXPECT_GT(u, 0.0);
        EXPECT_LT(u, 1.0);
    }
}

TEST(RandomGenerator, StepsAtTheExtremesStayInRange) {
    // Seeds at the ends of the 32-bit range take the Schrage forms without overflow.
    for (int32_t s : {INT32_MIN, INT32_MIN + 1, -1, 1, INT32_MAX, INT32_MAX - 1}) {
        RandomPair pair{s, s};
        for (int i = 0; i < 3; ++i) {
            double u = NextUniform(pair);
            EXPECT_GT(u, 0.0) << s;
            EXPECT_LT(u, 1.0) << s;
            EXPECT_GE(pair.s1, 0) << s;
            EXPECT_GE(pair.s2, 0) << s;
        }
    }
}

TEST(RandomGenerator, DistributionsAtTheirSpecialParameters) {
    struct Case {
        const char* name;
        int32_t type;
        double v1, v2;
        double each; // every element; NaN: not checked
    } cases[] = {
        {"Poisson mean 0", 3, 0, 0, 0},         {"geometric p = 1", 5, 1, 0, 1},
        {"geometric p = 0", 5, 0, 0, HUGE_VAL}, {"Bernoulli p = 1", 4, 1, 0, 1},
        {"Bernoulli p = 0", 4, 0, 0, 0},        {"exponential mean 0", 2, 0, 0, 0},
        {"normal deviation 0", 1, 3, 0, 3},
    };
    for (const Case& c : cases)
        for (double v : ByDistribution(6, c.type, c.v1, c.v2)) EXPECT_EQ(v, c.each) << c.name;
}

TEST(RandomGenerator, UnknownTypeLeavesElementsButAdvances) {
    ResetRandomPairs();
    Matrix v = VectorOf({5, 6});
    FillRandomByDistribution(v, 2, 0, 0, 0, 0, 9, 0, 0);
    EXPECT_EQ(Elements(v, 2), (std::vector<double>{5, 6}));
    Matrix w = VectorOf({0});
    FillRandomByDistribution(w, 1, 0, 0, 0, 0, 0, 0, 0);
    RandomPair fresh;
    NextUniform(fresh);
    NextUniform(fresh);
    EXPECT_EQ(VectorAt(w, 1), NextUniform(fresh));
}

TEST(RandomGenerator, PoissonEndsForAnyMean) {
    for (double mean : {1e6, double(NAN), -5.0})
        for (double v : ByDistribution(3, 3, mean, 0)) EXPECT_TRUE(std::isfinite(v)) << mean;
    std::vector<double> small = ByDistribution(2000, 3, 4, 0);
    double sum = 0;
    for (double v : small) sum += v;
    EXPECT_NEAR(sum / 2000, 4, 0.2);
}

// Sample means and variances of large-mean draws within five standard errors of the mean
// (the variance's error for a Poisson law: sqrt((2 mean^2 + mean) / (n - 1))).
TEST(RandomGenerator, PoissonSamplesHaveTheirMeanAndVariance) {
    constexpr int32_t n = 20000;
    for (const double mean : {10.0, 700.0, 745.0, 1000.0, 5000.0, 1e10, 1e13}) {
        Matrix v;
        ASSERT_TRUE(MatrixResize(v, n, 1, 0));
        FillRandomByDistribution(v, n, true, 2024, true, 77, 3, mean, 0);
        double sum = 0;
        for (int32_t i = 1; i <= n; ++i) sum += VectorAt(v, i);
        const double average = sum / n;
        double squares = 0;
        for (int32_t i = 1; i <= n; ++i) {
            const double x = VectorAt(v, i);
            EXPECT_EQ(x, std::floor(x)) << mean;
            EXPECT_GE(x, 0) << mean;
            squares += (x - average) * (x - average);
        }
        const double variance = squares / (n - 1);
        EXPECT_NEAR(average, mean, 5 * std::sqrt(mean / n)) << mean;
        EXPECT_NEAR(variance, mean, 5 * std::sqrt((2 * mean * mean + mean) / (n - 1))) << mean;
    }
}

// Small means keep the product method's variates: a count of uniforms whose product first
// falls below e^-mean, each variate after the one uniform every element draws.
TEST(RandomGenerator, SmallPoissonMeansKeepTheProductSequence) {
    for (const double mean : {0.5, 10.0, 699.0}) {
        Matrix v;
        ASSERT_TRUE(MatrixResize(v, 50, 1, 0));
        FillRandomByDistribution(v, 50, true, 5, true, 9, 3, mean, 0);
        RandomPair pair{5, 9};
        for (int32_t i = 1; i <= 50; ++i) {
            NextUniform(pair);
            double p = NextUniform(pair), count = 0;
            for (; p >= std::exp(-mean); p *= NextUniform(pair)) ++count;
            ASSERT_EQ(VectorAt(v, i), count) << mean << " element " << i;
        }
    }
}

} // namespace vl::test
