#pragma once
// The scalar distribution built-ins as plain computations over their already-read
// arguments: each applies its own domain tests and gives a number or an error. The
// argument bounds are checked by the caller's readers.

#include "functions/numeric/statresult.h"

#include <cstdint>

namespace vl {

StatResult HypGeomDist(int32_t sampleS, int32_t sampleSize, int32_t populationS,
                       int32_t populationSize);
StatResult NormDist(double x, double mean, double deviation, int32_t cumulative);
// The product n − k + 1 … n; 0 for k > n; #NUM! when it leaves the double range.
StatResult Permut(int32_t n, int32_t k);
// Without a finite test: a subnormal probability is a result, NaN and infinities #NUM!.
StatResult Poisson(double x, double mean, int32_t cumulative);
StatResult Standardize(double x, double mean, double deviation);
StatResult Weibull(double x, double alpha, double beta, int32_t cumulative);

StatResult BinomDist(int32_t s, int32_t trials, double p, int32_t cumulative);
StatResult CritBinom(int32_t trials, double p, double alpha);
StatResult ExponDist(double x, double lambda, int32_t cumulative);
StatResult Confidence(double alpha, double deviation, int32_t size);
StatResult Fisher(double x);
StatResult FisherInv(double y);

// Every result passes the finite test: NaN, infinities and subnormal values are #NUM!.
StatResult Checked(double value);

} // namespace vl
