#include "functions/general/besselfunctions.h"

#include "formula/approxnumber.h"
#include "functions/general/argreader.h"
#include "functions/general/largeorderbessel.h"
#include "functions/numeric/specialfunc.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

// From this order on the library's walk through every order costs a millisecond and more
// (seconds near 2^31), while the uniform expansion is already exact to rounding.
constexpr int kLargeOrder = 100000;

// -ln of half the smallest subnormal double: a value below e^-746 rounds to 0.
constexpr double kZeroLogMagnitude = 746;

template <double (*F)(int, double)> void Bessel(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double x = 0;
    int32_t n = 0;
    CArgReader args(ctx);
    args.Int(1, n, 0, INT32_MAX).Number(0, x);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, F(n, x));
}

// Below the order, |J_n(x)| <= (z e^s / (1 + s))^n with z = |x| / n and s = sqrt(1 - z^2)
// (Kapteyn's inequality): where that rounds to 0 the value does too, and is answered at once
// instead of by the library's walk through every order.
double BesselJ(int n, double x) {
    const double ax = std::fabs(x);
    if (n > 1 && ax != 0 && ax < n) {
        const double z = ax / n;
        const double s = std::sqrt((1 - z) * (1 + z));
        if (n * (std::log(z) + s - std::log1p(s)) < -kZeroLogMagnitude) return 0;
    }
    return n >= kLargeOrder ? LargeOrderBesselJ(n, x) : jn(n, x);
}

double BesselY(int n, double x) {
    return n >= kLargeOrder ? LargeOrderBesselY(n, x) : yn(n, x);
}

// 2/√π ∫ e^(−t²) dt from a to b by 10-point Gauss–Legendre: on a short interval that is
// exact to rounding, where the difference of two error functions would cancel.
double ShortErrorIntegral(double a, double b) {
    static constexpr double kNodes[5] = {0.1488743389816312, 0.4333953941292472, 0.6794095682990244,
                                         0.8650633666889845, 0.9739065285171717};
    static constexpr double kWeights[5] = {0.2955242247147529, 0.2692667193099963,
                                           0.2190863625159820, 0.1494513491505806,
                                           0.0666713443086881};
    const double mid = (a + b) / 2, half = (b - a) / 2;
    double sum = 0;
    for (int i = 0; i < 5; ++i) {
        const double u = half * kNodes[i];
        sum += kWeights[i] * (std::exp(-(mid + u) * (mid + u)) + std::exp(-(mid - u) * (mid - u)));
    }
    return sum * half * 1.1283791670955126; // 2/√π
}

// erf(b) − erf(a) without losing the difference: a short interval by quadrature, one side
// of 0 by the complements, whose tails keep their digits.
double ErrorIntegral(double a, double b) {
    const double width = std::fabs(b - a);
    if (width <= 0.25 / (1 + std::max(std::fabs(a), std::fabs(b)))) return ShortErrorIntegral(a, b);
    if (a > 0 && b > 0) return vl::Erfc(a) - vl::Erfc(b);
    if (a < 0 && b < 0) return vl::Erfc(-b) - vl::Erfc(-a);
    return ErrorFunction(b) - ErrorFunction(a);
}

// The integral from 0 to x, or from x to the second argument when that is given.
void Erf(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double from = 0, to = 0;
    CArgReader args(ctx);
    args.Number(1, to);
    const bool fromZero = args.WasEmpty(1);
    args.Number(0, from);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, fromZero ? ErrorFunction(from) : ErrorIntegral(from, to));
}

void Erfc(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 1)) return;
    double x = 0;
    CArgReader args(ctx);
    args.Number(0, x);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, vl::Erfc(x));
}

// DELTA compares exactly; GETSTEP takes a value equal to the step to 15 significant digits
// as reaching it, as the comparison operators do.
template <bool AtLeast> void Compare(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double x = 0, y = 0;
    CArgReader args(ctx);
    args.Number(1, y).Number(0, x);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, (AtLeast ? CompareApprox(x, y) >= 0 : x == y) ? 1 : 0);
}

} // namespace

double ErrorFunction(double x) {
    return Erf(x);
}

void BindBesselFunctions() {
    BindBuiltinFunction("BESSELJ", &Bessel<BesselJ>);
    BindBuiltinFunction("BESSELY", &Bessel<BesselY>);
    BindBuiltinFunction("ERF", &Erf);
    BindBuiltinFunction("ERFC", &Erfc);
    BindBuiltinFunction("DELTA", &Compare<false>);
    BindBuiltinFunction("GETSTEP", &Compare<true>);
}

} // namespace vl
