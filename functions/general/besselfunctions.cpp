#include "functions/general/besselfunctions.h"

#include "functions/general/argreader.h"
#include "functions/general/largeorderbessel.h"
#include "functions/numeric/specialfunc.h"

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

// The integral from 0 to x, or from x to the second argument when that is given.
void Erf(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double from = 0, to = 0;
    CArgReader args(ctx);
    args.Number(1, to);
    const bool fromZero = args.WasEmpty(1);
    args.Number(0, from);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, fromZero ? ErrorFunction(from) : ErrorFunction(to) - ErrorFunction(from));
}

void Erfc(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 1)) return;
    double x = 0;
    CArgReader args(ctx);
    args.Number(0, x);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, 1 - ErrorFunction(x));
}

// Exact comparisons, without tolerance.
template <bool AtLeast> void Compare(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double x = 0, y = 0;
    CArgReader args(ctx);
    args.Number(1, y).Number(0, x);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, (AtLeast ? x >= y : x == y) ? 1 : 0);
}

} // namespace

double ErrorFunction(double x) {
    if (x == 0) return 0;
    double p = IncompleteGammaP(0.5, x * x);
    return x < 0 ? -p : p;
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
