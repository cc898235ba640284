#include "functions/general/roundingfunctions.h"

#include "formula/approxnumber.h"
#include "functions/general/argreader.h"

#include <cmath>
#include <cstdint>

namespace vl {

namespace {

enum class Digits { kRound, kUp, kDown };

// Powers of ten, exact from the table up to 10^14; beyond it as near as pow gives them,
// infinite past the doubles.
double PowerOfTen(int32_t n) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};
    return n <= 14 ? kPowers[n] : std::pow(10.0, double(n));
}

// Subtracting from 0 keeps a zero result positive.
double Signed(double x, double magnitude) {
    return x < 0 ? 0.0 - magnitude : magnitude;
}

// Only the fraction gets the half added, so large integer parts stay exact.
double ToDigits(double x, int32_t digits, Digits mode) {
    const bool tens = digits < 0;
    const double s = PowerOfTen(tens ? (digits < -400 ? 400 : -digits) : digits);
    double y = tens ? std::fabs(x) / s : std::fabs(x) * s;
    // A magnitude so large that scaling overflows, or a place past the last digit a double
    // holds, has no digits to round there.
    if (!tens && (!std::isfinite(y) || y >= 0x1p52)) return x;
    y = CutReady(y);
    double i = 0;
    double f = std::modf(y, &i);
    double r = mode == Digits::kRound ? i + std::floor(f + 0.5)
               : mode == Digits::kUp  ? i + std::ceil(f)
                                      : i;
    // Nothing left of a number rounded at a place past the doubles' tens is 0.
    if (tens && r == 0) return Signed(x, 0.0);
    return Signed(x, tens ? r * s : r / s);
}

template <Digits Mode> void RoundToDigits(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double x = 0;
    int32_t digits = 0;
    CArgReader args(ctx);
    // Digits within 16 bits, as the peers take them.
    args.Int(1, digits, INT16_MIN, INT16_MAX).Number(0, x);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, ToDigits(x, digits, Mode));
}

void MRound(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double x = 0, m = 1;
    CArgReader args(ctx);
    args.Number(1, m).Number(0, x);
    if (args.error) return ReturnError(ctx, args.error);
    if (m == 0) return ReturnError(ctx, kErrDivZero);
    if ((x < 0 && m > 0) || (x > 0 && m < 0)) return ReturnError(ctx, kErrNum);
    // The count of multiples with a decimal's representation error taken off, as INT takes
    // it, so that a tie (4.85 to 0.1) goes away from zero.
    double r = std::round(CutReady(x / m)) * m;
    ReturnNumber(ctx, r + 0.0);
}

template <bool Up> void ToMultiple(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double x = 0, m = 1;
    CArgReader args(ctx);
    args.Number(1, m, 0).Number(0, x);
    if (args.error) return ReturnError(ctx, args.error);
    if (m == 0) return ReturnError(ctx, kErrDivZero);
    double q = CutReady(std::fabs(x) / m);
    double r = (Up ? std::ceil(q) : std::floor(q)) * m;
    if (!IsAcceptableResult(r)) return ReturnError(ctx, kErrNum);
    ReturnNumber(ctx, Signed(x, r));
}

using Compute1 = double (*)(double);

template <Compute1 F> void Unary(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 1)) return;
    double x = 0;
    CArgReader args(ctx);
    args.Number(0, x);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, F(x));
}

double Even(double x) {
    x = CutReady(x);
    if (std::fmod(x, 2) == 0) return x;
    double h = x * 0.5;
    return x >= 0 ? 2 * std::ceil(h) : 2 * std::floor(h);
}

// The nearest odd integer away from zero (or x itself when odd): 2.5 gives 3, 3.5 gives 5.
double Odd(double x) {
    x = CutReady(x);
    double a = std::fabs(x);
    if (std::fabs(std::fmod(a, 2)) == 1) return x;
    double odd = 2 * std::ceil((a - 1) * 0.5) + 1;
    return Signed(x, odd);
}

double Int(double x) {
    return std::floor(CutReady(x));
}

} // namespace

void BindRoundingFunctions() {
    BindBuiltinFunction("ROUND", &RoundToDigits<Digits::kRound>);
    BindBuiltinFunction("ROUNDUP", &RoundToDigits<Digits::kUp>);
    BindBuiltinFunction("ROUNDDOWN", &RoundToDigits<Digits::kDown>);
    BindBuiltinFunction("TRUNC", &RoundToDigits<Digits::kDown>);
    BindBuiltinFunction("MROUND", &MRound);
    BindBuiltinFunction("CEILING", &ToMultiple<true>);
    BindBuiltinFunction("FLOOR", &ToMultiple<false>);
    BindBuiltinFunction("EVEN", &Unary<Even>);
    BindBuiltinFunction("ODD", &Unary<Odd>);
    BindBuiltinFunction("INT", &Unary<Int>);
}

} // namespace vl
