#include "functions/numeric/distinverse.h"

#include "functions/numeric/distcdf.h"
#include "functions/numeric/rootsearch.h"

#include <cfloat>

namespace vl {

namespace {

constexpr double kTolerance = 1e-8;
constexpr double kTTolerance = 1e-6;

double Search(double x1, double x2, RootTarget target, double p, int32_t a, int32_t b,
              double tolerance, double floor = -HUGE_VAL) {
    BracketRoot(x1, x2, target, p, a, b, floor);
    double root = 0;
    FindRootInInterval(x1, x2, root, target, p, a, b, tolerance);
    return root;
}

} // namespace

double NormalInvTarget(double x, double p, int32_t, int32_t) {
    return p - NormalCdf(x, 0, 1);
}

double ChiSquareInvTarget(double x, double p, int32_t k, int32_t) {
    return p - ChiSquareCdf(x, k);
}

double FInvTarget(double x, double p, int32_t m, int32_t n) {
    return p - FCdf(x, m, n);
}

double TInvTarget(double x, double p, int32_t nu, int32_t) {
    return p - TCdf(x, nu);
}

double NormalInv(double p, double mean, double deviation) {
    if (p >= 1) return kInverseSentinel;
    if (p <= 0) return -kInverseSentinel;
    return Search(0, 0.1, NormalInvTarget, p, 0, 0, kTolerance) * deviation + mean;
}

// Chi-square and F live on x >= 0; below 0 their cdfs are meaningless, so the search
// keeps its lower end at 0.
double ChiSquareInv(double p, int32_t k) {
    if (p >= 1) return kInverseSentinel;
    if (p <= 0) return 0;
    return Search(k / 2.0, k, ChiSquareInvTarget, p, k, 0, kTolerance, 0);
}

double FInv(double p, int32_t m, int32_t n) {
    if (p >= 1) return kInverseSentinel;
    if (p <= 0) return 0;
    return Search(0, p, FInvTarget, p, m, n, kTolerance, 0);
}

double TInv(double p, int32_t nu) {
    if (p >= 1) return DBL_MAX;
    if (p <= 0) return -DBL_MAX;
    return Search(0, p, TInvTarget, p, nu, 0, kTTolerance);
}

} // namespace vl
