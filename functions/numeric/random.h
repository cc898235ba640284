#pragma once
// The one random generator of the process: a combined multiplicative congruential
// generator of two streams. Two copies of its state live for the whole process, never
// saved: pair A serves RAND, RANDBETWEEN, MTXRAND and the Monte Carlo minimiser, pair B
// serves MTXRAND2. Both start at (123456, 654321); a caller may reseed either stream.

#include "functions/numeric/matrix.h"

#include <cstdint>

namespace vl {

struct RandomPair {
    int32_t s1 = 123456;
    int32_t s2 = 654321;
};

// One uniform number in (0, 1) from the pair, which it advances.
double NextUniform(RandomPair& pair);

// Writes n uniform numbers from pair A into the vector. A given seed replaces its kept
// value first (and is kept even when n is below 1).
void FillUniformRandom(Matrix& vector, int32_t n, uint8_t hasSeed1, int32_t seed1, uint8_t hasSeed2,
                       int32_t seed2);

// Writes n variates from pair B: type 0 uniform, 1 normal (mean v1, deviation v2),
// 2 exponential (mean v1), 3 Poisson (mean v1), 4 Bernoulli (probability v1), 5 geometric
// (probability v1); another type leaves the element alone but still draws one number.
void FillRandomByDistribution(Matrix& vector, int32_t n, uint8_t hasSeed1, int32_t seed1,
                              uint8_t hasSeed2, int32_t seed2, int32_t type, double v1, double v2);

// Both pairs back at their start-up seeds, as in a fresh process; for tests.
void ResetRandomPairs();

} // namespace vl
