#include "formula/approxnumber.h"

#include <cmath>

namespace vl {

double CutReady(double value) {
    const double a = std::fabs(value);
    if (!(a < 0x1p44)) return value;
    const double half = std::round(value * 2) * 0.5;
    return std::fabs(value - half) <= a * 0x1p-50 ? half : value;
}

} // namespace vl
