#include "functions/numeric/rootsearch.h"

namespace vl {

namespace {

constexpr int kMaxWidenings = 1000;
constexpr int kMaxBisections = 2000;

} // namespace

void BracketRoot(double& x1, double& x2, RootTarget target, double p, int32_t a, int32_t b,
                 double floor) {
    if (x1 == x2) x2 = x1 + 1;
    double f1 = target(x1, p, a, b);
    double f2 = target(x2, p, a, b);
    // Once the lower end has stood at the floor with the sign unchanged, the root lies
    // above: going down again would only swing back and forth.
    bool floorSeen = x1 <= floor;
    for (int i = 0; i < kMaxWidenings && f1 * f2 > 0; ++i) {
        if (floorSeen || std::fabs(f2) < std::fabs(f1)) {
            double upper = x2 + 2 * (x2 - x1);
            x1 = x2;
            f1 = f2;
            x2 = upper;
            f2 = target(x2, p, a, b);
        } else {
            double lower = x1 + 2 * (x1 - x2);
            if (lower <= floor) {
                lower = floor;
                floorSeen = true;
            }
            x2 = x1;
            f2 = f1;
            x1 = lower;
            f1 = target(x1, p, a, b);
        }
    }
}

void FindRootInInterval(double& x1, double& x2, double& root, RootTarget target, double p,
                        int32_t a, int32_t b, double tolerance) {
    root = x1;
    for (int i = 0; i < kMaxBisections; ++i) {
        double f1 = target(x1, p, a, b);
        double f2 = target(x2, p, a, b);
        if (f1 == 0) {
            root = x1;
            return;
        }
        if (f2 == 0) {
            root = x2;
            return;
        }
        double mid = (x1 + x2) / 2;
        if (std::fabs(x1 - x2) < tolerance) {
            root = mid;
            return;
        }
        if (target(mid, p, a, b) * f1 < 0)
            x2 = mid;
        else
            x1 = mid;
    }
}

} // namespace vl
