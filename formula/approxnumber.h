#pragma once
// Numbers as the user reads them: a decimal typed or computed lies a few units of the last
// binary place off its value, so comparisons take numbers equal to about 15 significant
// digits as equal, and the cutting functions (rounding, INT, multiples) take a value that
// close to a whole or half number as that number before they cut.

#include <cmath>

namespace vl {

// True when a and b are equal or differ by less than 2^-48 of each (about 15 significant
// digits); 0 equals only 0, and two different whole numbers below 2^53 are never equal.
// Inline, as searches ask it of every cell: most pairs are equal or far apart.
inline bool ApproxEqual(double a, double b) {
    if (a == b) return true;
    const double d = std::fabs(a - b);
    constexpr double kRelative = 0x1p-48;
    if (!(d < std::fabs(a) * kRelative && d < std::fabs(b) * kRelative)) return false;
    // A whole number that a double holds exactly with room to spare: one apart is a real
    // difference.
    auto exactWhole = [](double x) { return std::fabs(x) < 0x1p53 - 1 && x == std::trunc(x); };
    return !(exactWhole(d) && exactWhole(a) && exactWhole(b));
}

// a + b, but 0 when the two cancel to about 15 significant digits (0.1 + 0.2 - 0.3 is 0,
// not the binary leftover 5.55E-17).
inline double ApproxAdd(double a, double b) {
    if (((a < 0 && b > 0) || (a > 0 && b < 0)) && ApproxEqual(a, -b)) return 0;
    return a + b;
}

// a - b, 0 when the two are equal to about 15 significant digits.
inline double ApproxSub(double a, double b) {
    if (((a < 0 && b < 0) || (a > 0 && b > 0)) && ApproxEqual(a, b)) return 0;
    return a - b;
}

// -1, 0 or 1 as a is below, approximately equal to or above b.
inline int CompareApprox(double a, double b) {
    if (ApproxEqual(a, b)) return 0;
    return a < b ? -1 : 1;
}

// The value with the representation error of a decimal taken off before it is cut: a value
// within 2^-50 of its magnitude of a multiple of one half becomes that multiple. Magnitudes
// from 2^44 on keep too few fraction digits to tell an error from a value and stay.
double CutReady(double value);

} // namespace vl
