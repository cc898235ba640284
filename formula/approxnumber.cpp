#include "formula/approxnumber.h"

#include <cmath>

namespace vl {

namespace {

// A whole number that a double holds exactly with room to spare: one apart is a real difference.
bool IsExactWholeNumber(double x) {
    return std::fabs(x) < 0x1p53 - 1 && x == std::trunc(x);
}

} // namespace

bool ApproxEqual(double a, double b) {
    if (a == b) return true;
    const double d = std::fabs(a - b);
    if (IsExactWholeNumber(d) && IsExactWholeNumber(a) && IsExactWholeNumber(b)) return false;
    constexpr double kRelative = 0x1p-48;
    return d < std::fabs(a) * kRelative && d < std::fabs(b) * kRelative;
}

double CutReady(double value) {
    const double a = std::fabs(value);
    if (!(a < 0x1p44)) return value;
    const double half = std::round(value * 2) * 0.5;
    return std::fabs(value - half) <= a * 0x1p-50 ? half : value;
}

} // namespace vl
