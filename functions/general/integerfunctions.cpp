#include "functions/general/integerfunctions.h"

#include "formula/approxnumber.h"
#include "functions/general/argreader.h"
#include "functions/numeric/mathpolicy.h"

#include <boost/math/special_functions/binomial.hpp>
#include <boost/math/special_functions/factorials.hpp>
#include <cmath>
#include <cstdlib>

namespace vl {

namespace {

// The largest n whose factorial (Step 1) or double factorial (Step 2) is finite.
template <int Step> constexpr int32_t kMaxFactorial = Step == 1 ? 170 : 300;

// n! by its product; n!! to rounding from the library (a product of 150 factors would
// gather an ulp at each).
template <int Step> double FactorialBy(int32_t n) {
    if constexpr (Step == 2)
        return boost::math::double_factorial<double>(unsigned(n), MathPolicy());
    double r = 1;
    for (; n > 1; n -= Step) r *= n;
    return r;
}

template <int Step> void Factorial(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 1)) return;
    int32_t n = 0;
    CArgReader args(ctx);
    args.Int(0, n, 0, kMaxFactorial<Step>);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, FactorialBy<Step>(n));
}

// C(n, k) to rounding, never through a product that overflows: infinite only when the
// value itself leaves the double range.
double Binomial(uint32_t n, uint32_t k) {
    return boost::math::binomial_coefficient<double>(n, k, MathPolicy());
}

// Combinations of k from n, with repetition when `Repeat`. Counts go past 170: only the
// value's own size limits them.
template <bool Repeat> void Combinations(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    int32_t n = 0, k = 0;
    CArgReader args(ctx);
    args.Int(1, k, 0, INT32_MAX).Int(0, n, 0, INT32_MAX);
    // Looked at before the arguments' own errors.
    if (k > n) return ReturnError(ctx, kErrNum);
    if (args.error) return ReturnError(ctx, args.error);
    // Choosing nothing is the one empty choice, from any n.
    if (k == 0) return ReturnNumber(ctx, 1);
    const uint32_t top = Repeat ? uint32_t(n) + uint32_t(k) - 1 : uint32_t(n);
    ReturnNumber(ctx, Binomial(top, uint32_t(k)));
}

// Every value of the argument list, the last argument first and ranges and arrays cell
// by cell, read as an integer within [minimum, maximum]. `take` sees each value while no
// error has been met; it may set one. Returns the largest error met.
template <class Take>
FormulaError WalkIntegers(CEvalContext& ctx, int64_t minimum, int64_t maximum, Take take) {
    FormulaError error = 0;
    auto read = [&](FormulaToken& slot) {
        int64_t v = 0;
        FormulaError e = GetInt64Arg(ctx, slot, v, minimum, maximum);
        bool wasValue = slot.type == kTokenNumber;
        error = MergeError(error, e);
        if (!error && wasValue) error = take(v);
    };
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        if (!(slot.type & kAreaOrArray)) {
            read(slot);
            continue;
        }
        CRangeWalk walk(ctx);
        error = MergeError(error, walk.Take(slot));
        FormulaToken value;
        while (!error && walk.NextValue(value)) read(value);
    }
    return error;
}

// (Σv)! / Π v! as the product of C(s + v, v) over the running sum s: each factor is exact
// to rounding, and the product leaves the double range only where the value does. A sum
// past 2^32 can only come with a value beyond it.
void Multinomial(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    uint64_t sum = 0;
    double product = 1;
    FormulaError error = WalkIntegers(ctx, 0, INT32_MAX, [&](int64_t v) -> FormulaError {
        sum += uint64_t(v);
        if (sum > UINT32_MAX) return kErrNum;
        product *= Binomial(uint32_t(sum), uint32_t(v));
        return IsAcceptableResult(product) ? 0 : kErrNum;
    });
    if (error) return ReturnError(ctx, error);
    ReturnNumber(ctx, product);
}

template <class Int> Int Euclid(Int a, Int b) {
    while (b != 0) {
        Int r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// Whole numbers as far as 64 bits hold them: every whole double below 2^63.
constexpr int64_t kLargestWhole = INT64_MAX;

void Gcd(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    int64_t g = 0;
    FormulaError error = WalkIntegers(ctx, -kLargestWhole, kLargestWhole, [&](int64_t v) {
        g = g == 0 ? v : Euclid(v, g);
        return FormulaError(0);
    });
    if (error) return ReturnError(ctx, error);
    if (g == 0) return ReturnError(ctx, kErrNum);
    // The remainder keeps the dividend's sign; a divisor is never negative.
    ReturnNumber(ctx, double(g < 0 ? -g : g));
}

// Through the divisor in 128 bits, which hold the multiple of any two values; a multiple
// beyond them is #NUM!. 0 is the only multiple of 0, so a zero beside other values makes
// the result 0; zeros alone have none (#NUM!).
void Lcm(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    using Wide = unsigned __int128;
    Wide l = 0;
    bool zero = false, nonzero = false;
    FormulaError error = WalkIntegers(ctx, -kLargestWhole, kLargestWhole, [&](int64_t v) {
        if (v < 0) return kErrNum;
        zero = zero || v == 0;
        nonzero = nonzero || v != 0;
        if (zero) return FormulaError(0); // the result is 0 whatever follows
        if (l == 0) {
            l = Wide(v);
            return FormulaError(0);
        }
        Wide product = 0;
        if (__builtin_mul_overflow(l / Euclid(l, Wide(v)), Wide(v), &product)) return kErrNum;
        l = product;
        return FormulaError(0);
    });
    if (error) return ReturnError(ctx, error);
    if (!nonzero) return ReturnError(ctx, kErrNum);
    ReturnNumber(ctx, zero ? 0.0 : double(l));
}

template <bool Remainder> void Divide(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double x = 0, y = 0;
    CArgReader args(ctx);
    args.Number(1, y).Number(0, x);
    if (args.error) return ReturnError(ctx, args.error);
    if (y == 0) return ReturnError(ctx, kErrDivZero);
    // A quotient a decimal's representation error keeps just off a whole number is that
    // number (0.3 / 0.1 is 3), as INT takes it. From 2^44 on a quotient holds too few
    // fraction digits to tell, and the remainder is the exact one.
    const double quotient = CutReady(x / y);
    double whole = 0;
    const bool exact = std::modf(quotient, &whole) == 0 && std::fabs(quotient) < 0x1p44;
    // Adding 0 turns a negative zero (-4 mod 2, -1 quotient 3) into 0.
    if (!Remainder) return ReturnNumber(ctx, whole + 0.0);
    if (exact) return ReturnNumber(ctx, 0);
    // The exact remainder, moved to the divisor's side of 0.
    double r = std::fmod(x, y);
    if (r != 0 && (r < 0) != (y < 0)) r += y;
    ReturnNumber(ctx, r + 0.0);
}

} // namespace

void BindIntegerFunctions() {
    BindBuiltinFunction("FACT", &Factorial<1>);
    BindBuiltinFunction("FACTDOUBLE", &Factorial<2>);
    BindBuiltinFunction("COMBIN", &Combinations<false>);
    BindBuiltinFunction("COMBIN2", &Combinations<true>);
    BindBuiltinFunction("MULTINOMIAL", &Multinomial);
    BindBuiltinFunction("GCD", &Gcd);
    BindBuiltinFunction("LCM", &Lcm);
    BindBuiltinFunction("QUOTIENT", &Divide<false>);
    BindBuiltinFunction("MOD", &Divide<true>);
}

} // namespace vl
