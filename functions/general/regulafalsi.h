#pragma once
// The Illinois regula falsi that RATE, IRR and XIRR share, with the bound that keeps every
// search finite.

#include <algorithm>
#include <cmath>

namespace vl {

// Converging searches end far sooner: the step shrinks superlinearly, and a stalled end
// point has its value halved until it gives way, at most some two thousand times.
constexpr int kMaxFalsiSteps = 10000;

// From a bracket [a, b] whose values fa and fb differ in sign: each step replaces b by the
// secant point c; when c lies on b's side, the value kept at a is halved. Ends when
// |c - a| is within 1e-14 and a few ulps of c, f(c) is exactly 0 or f(c) and the value at a
// no longer differ in sign (compared by sign: their product may underflow).
// `root` is the last c; false when the search has not ended within kMaxFalsiSteps.
template <class F> bool RegulaFalsi(F f, double a, double b, double fa, double fb, double& root) {
    for (int step = 0; step < kMaxFalsiSteps; ++step) {
        double c = b - (b - a) * fb / (fb - fa);
        double fc = f(c);
        if (std::signbit(fc) != std::signbit(fb) && fc != 0 && fb != 0) {
            a = b;
            fa = fb;
        } else {
            fa /= 2;
        }
        b = c;
        fb = fc;
        root = c;
        const bool close = std::fabs(c - a) <= std::min(1e-14, 4e-16 * std::fabs(c));
        if (close || c == a || fc == 0 || std::isnan(fc) || std::signbit(fc) == std::signbit(fa))
            return true;
    }
    return false;
}

} // namespace vl
