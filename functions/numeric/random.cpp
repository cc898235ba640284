#include "functions/numeric/random.h"

#include <cmath>

namespace vl {

namespace {

RandomPair gPairA;
RandomPair gPairB;

constexpr double kUnit = 4.656613057391769e-10;
constexpr double kTwoPi = 6.2831853; // the factor of the original, not the full 2 pi
// A Poisson variate stops drawing here even when its product never falls below e^-mean.
constexpr int32_t kMaxPoissonDraws = 1000000;

void Seed(RandomPair& pair, uint8_t hasSeed1, int32_t seed1, uint8_t hasSeed2, int32_t seed2) {
    if (hasSeed1) pair.s1 = seed1;
    if (hasSeed2) pair.s2 = seed2;
}

double Poisson(RandomPair& pair, double mean) {
    double limit = std::exp(-mean);
    double p = 1;
    int32_t draws = 0;
    // An underflow to 0 also ends the product: a mean beyond e^-745 has no limit above it.
    while (draws < kMaxPoissonDraws) {
        p *= NextUniform(pair);
        ++draws;
        if (p < limit || p == 0) break;
    }
    return double(draws - 1);
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
