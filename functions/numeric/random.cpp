#include "functions/numeric/random.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vl {

namespace {

RandomPair gPairA;
RandomPair gPairB;

constexpr double kUnit = 4.656613057391769e-10;
constexpr double kTwoPi = 6.2831853; // the factor of the original, not the full 2 pi
// A Poisson variate stops drawing here even when its product never falls below e^-mean.
constexpr int32_t kMaxPoissonDraws = 1000000;

// The product method up to here, where e^-mean is still a normal number (up to about 708);
// above, a draw whose time does not grow with the mean.
constexpr double kLargestProductMean = 700;
// Beyond this the rejection test loses its precision to the size of its terms, and the
// normal law is closer to the Poisson law than a double can tell.
constexpr double kLargestRejectionMean = 1e12;
// Rejections of a large-mean draw before it takes the normal law instead (each is refused
// with a probability below 0.2).
constexpr int kMaxRejections = 100;

void Seed(RandomPair& pair, uint8_t hasSeed1, int32_t seed1, uint8_t hasSeed2, int32_t seed2) {
    if (hasSeed1) pair.s1 = seed1;
    if (hasSeed2) pair.s2 = seed2;
}

// The product of uniforms falls below e^-mean after a Poisson number of factors, exactly
// while e^-mean is a normal number.
double ProductPoisson(RandomPair& pair, double mean) {
    double limit = std::exp(-mean);
    double p = 1;
    int32_t draws = 0;
    // An underflow to 0 also ends the product.
    while (draws < kMaxPoissonDraws) {
        p *= NextUniform(pair);
        ++draws;
        if (p < limit || p == 0) break;
    }
    return double(draws - 1);
}

// A normal variate rounded to the nearest count, never below 0.
double NormalPoisson(RandomPair& pair, double mean) {
    const double u1 = NextUniform(pair), u2 = NextUniform(pair);
    const double z = std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
    return std::max(0.0, std::floor(mean + std::sqrt(mean) * z + 0.5));
}

// Transformed rejection with squeeze (PTRS), sound for means of 10 and more: about 1.2 pairs
// of uniforms a variate, whatever the mean.
double RejectionPoisson(RandomPair& pair, double mean) {
    const double root = std::sqrt(mean), logMean = std::log(mean);
    const double b = 0.931 + 2.53 * root;
    const double a = -0.059 + 0.02483 * b;
    const double inverseAlpha = 1.1239 + 1.1328 / (b - 3.4);
    const double squeeze = 0.9277 - 3.6224 / (b - 2);
    for (int tries = 0; tries < kMaxRejections; ++tries) {
        const double u = NextUniform(pair) - 0.5;
        const double v = NextUniform(pair);
        const double us = 0.5 - std::fabs(u);
        const double k = std::floor((2 * a / us + b) * u + mean + 0.43);
        if (us >= 0.07 && v <= squeeze) return k;
        if (k < 0 || (us < 0.013 && v > us)) continue;
        if (std::log(v * inverseAlpha / (a / (us * us) + b)) <=
            -mean + k * logMean - std::lgamma(k + 1))
            return k;
    }
    return NormalPoisson(pair, mean);
}

double Poisson(RandomPair& pair, double mean) {
    if (!(mean > kLargestProductMean)) return ProductPoisson(pair, mean);
    if (mean > kLargestRejectionMean) return NormalPoisson(pair, mean);
    return RejectionPoisson(pair, mean);
}

double Geometric(double u, double probability) {
    if (probability == 1.0) return 1.0;
    if (probability == 0.0) return HUGE_VAL;
    return std::floor(std::log(u) / std::log(1 - probability) + 1.0);
}

} // namespace

double NextUniform(RandomPair& pair) {
    // Schrage's forms of 40014 s1 mod 2147483563 and of the second stream's step: the
    // same values as the 32-bit wrapping products, without overflow.
    int32_t k = pair.s1 / 53668;
    pair.s1 = 40014 * (pair.s1 - k * 53668) - 12211 * k;
    if (pair.s1 < 0) pair.s1 += 2147483563;
    k = pair.s2 / 52774;
    pair.s2 = 40692 * (pair.s2 - k * 52774) - 2791 * k;
    if (pair.s2 < 0) pair.s2 += 2147483399;
    int32_t z = pair.s1 - pair.s2;
    if (z < 1) z += 2147483562;
    return z * kUnit;
}

void FillUniformRandom(Matrix& vector, int32_t n, uint8_t hasSeed1, int32_t seed1, uint8_t hasSeed2,
                       int32_t seed2) {
    Seed(gPairA, hasSeed1, seed1, hasSeed2, seed2);
    for (int32_t i = 1; i <= n; ++i) VectorAt(vector, i) = NextUniform(gPairA);
}

void FillRandomByDistribution(Matrix& vector, int32_t n, uint8_t hasSeed1, int32_t seed1,
                              uint8_t hasSeed2, int32_t seed2, int32_t type, double v1, double v2) {
    Seed(gPairB, hasSeed1, seed1, hasSeed2, seed2);
    for (int32_t i = 1; i <= n; ++i) {
        double u = NextUniform(gPairB);
        double& element = VectorAt(vector, i);
        switch (type) {
        case 0:
            element = u;
            break;
        case 1:
            element =
                v1 + std::sqrt(-2 * v2 * v2 * std::log(u)) * std::cos(kTwoPi * NextUniform(gPairB));
            break;
        case 2:
            element = -v1 * std::log(u);
            break;
        case 3:
            element = Poisson(gPairB, v1);
            break;
        case 4:
            element = u <= v1 ? 1 : 0;
            break;
        case 5:
            element = Geometric(u, v1);
            break;
        default:
            break;
        }
    }
}

void ResetRandomPairs() {
    gPairA = RandomPair{};
    gPairB = RandomPair{};
}

} // namespace vl
