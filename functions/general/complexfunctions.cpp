#include "functions/general/complexfunctions.h"

#include "functions/general/argreader.h"
#include "values/numfmt_number.h"

#include <cmath>
#include <complex>

namespace vl {

namespace {

struct Complex {
    double re = 0, im = 0;
};

// The modulus without overflow in the squares; 0 for 0.
double Modulus(Complex z) {
    double x = std::fabs(z.re), y = std::fabs(z.im);
    if (x == 0 && y == 0) return 0;
    if (x >= y) return x * std::sqrt(1 + (z.im / z.re) * (z.im / z.re));
    return y * std::sqrt(1 + (z.re / z.im) * (z.re / z.im));
}

double Angle(Complex z) {
    return std::atan2(z.im, z.re);
}

// ln(m) and the angle scaled: 1 for the natural logarithm.
Complex ScaledLog(Complex z, double k) {
    return {k * std::log(Modulus(z)), k * Angle(z)};
}

Complex Power(Complex z, double n) {
    double m = std::pow(Modulus(z), n);
    double theta = n * Angle(z);
    return {m * std::cos(theta), m * std::sin(theta)};
}

// Reads the argument's text as a complex number; #VALUE! when it is none.
FormulaError ReadComplex(CEvalContext& ctx, FormulaToken& slot, Complex& z) {
    // A number is its own real part: through its text it would keep only 15 digits.
    ResolveReferenceValue(ctx, slot);
    if (slot.type == kTokenNumber && slot.error == 0) {
        z = {slot.number, 0};
        return 0;
    }
    std::string text;
    FormulaError error = GetStringArg(ctx, slot, text);
    if (error) return error;
    return ParseComplexText(ctx, text, z.re, z.im) ? 0 : kErrValue;
}

// Adding 0 turns a negative zero into 0, which prints without its sign.
void ReturnComplex(CEvalContext& ctx, Complex z) {
    if (!IsAcceptableResult(z.re) || !IsAcceptableResult(z.im))
        return ReturnErrorEntry(ctx, kErrNum);
    ReturnText(ctx, FormatComplex(z.re + 0.0, z.im + 0.0, "i"));
}

void MakeComplex(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 3)) return;
    std::string suffix = "i";
    double x = 0, y = 0;
    CArgReader args(ctx);
    args.Text(2, suffix).Number(1, y).Number(0, x);
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    // Only a suffix the complex functions read back makes a complex number.
    if (suffix.empty()) suffix = "i";
    if (suffix != "i" && suffix != "j") return ReturnErrorEntry(ctx, kErrValue);
    ReturnText(ctx, FormatComplex(x + 0.0, y + 0.0, suffix));
}

using ToNumber = double (*)(Complex);
using ToComplex = Complex (*)(Complex);

// IMABS and IMARGUMENT report a value that is not finite as #VALUE!.
template <ToNumber F> void ComplexToNumber(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 1)) return;
    Complex z;
    FormulaError error = ReadComplex(ctx, Argument(ctx, 0), z);
    if (error) return ReturnError(ctx, error);
    double value = F(z);
    if (!IsAcceptableResult(value)) return ReturnError(ctx, kErrValue);
    ReturnNumber(ctx, value);
}

template <ToComplex F> void ComplexToComplex(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 1)) return;
    Complex z;
    FormulaError error = ReadComplex(ctx, Argument(ctx, 0), z);
    if (error) return ReturnErrorEntry(ctx, error);
    ReturnComplex(ctx, F(z));
}

double Real(Complex z) {
    return z.re;
}
double Imaginary(Complex z) {
    return z.im;
}
Complex Conjugate(Complex z) {
    return {z.re, -z.im};
}
Complex Cos(Complex z) {
    return {std::cos(z.re) * std::cosh(z.im), -(std::sin(z.re) * std::sinh(z.im))};
}
Complex Sin(Complex z) {
    return {std::sin(z.re) * std::cosh(z.im), std::cos(z.re) * std::sinh(z.im)};
}
Complex Exp(Complex z) {
    double e = std::exp(z.re);
    return {e * std::cos(z.im), e * std::sin(z.im)};
}
Complex Ln(Complex z) {
    return ScaledLog(z, 1);
}
// The real part by the base's own logarithm, so that a power of the base is whole; the
// angle scaled by the full-precision logarithm of e in that base.
Complex Log10(Complex z) {
    constexpr double kLog10E = 0.434294481903251827651128918916605082;
    return {std::log10(Modulus(z)), kLog10E * Angle(z)};
}
Complex Log2(Complex z) {
    constexpr double kLog2E = 1.44269504088896340735992468100189214;
    return {std::log2(Modulus(z)), kLog2E * Angle(z)};
}
// The library's principal root: the half-angle form leaves cos(π/2) ≈ 6e-17 where the
// exact root of a negative real has no real part.
Complex Sqrt(Complex z) {
    std::complex<double> root = std::sqrt(std::complex<double>(z.re, z.im));
    return {root.real(), root.imag()};
}

// Smith's method, which keeps the intermediate products in range.
Complex Divide(Complex u, Complex v) {
    double a = u.re, b = u.im, c = v.re, d = v.im;
    if (std::fabs(d) <= std::fabs(c)) {
        double r = d / c, t = c + d * r;
        return {(a + b * r) / t, (b - a * r) / t};
    }
    double r = c / d, t = c * r + d;
    return {(a * r + b) / t, (b * r - a) / t};
}

Complex Multiply(Complex u, Complex v) {
    return {u.re * v.re - u.im * v.im, u.re * v.im + u.im * v.re};
}

// A whole power by repeated squaring: exact where the products are, so that (2+3i)^3 is
// -46+9i and not the polar form's 9.00000000000001i. A negative power is the reciprocal.
Complex WholePower(Complex z, int64_t n) {
    Complex result{1, 0}, square = z;
    for (uint64_t k = uint64_t(n < 0 ? -n : n); k != 0; k >>= 1) {
        if (k & 1) result = Multiply(result, square);
        if (k > 1) square = Multiply(square, square);
    }
    return n < 0 ? Divide({1, 0}, result) : result;
}

void ImPower(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double n = 0;
    Complex z;
    CArgReader args(ctx);
    args.Number(1, n);
    args.Merge(ReadComplex(ctx, args.Take(0), z));
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    // 0 has no negative powers.
    if (z.re == 0 && z.im == 0 && n < 0) return ReturnErrorEntry(ctx, kErrNum);
    // Any other real power in the polar form, which needs no whole exponent.
    if (n == std::trunc(n) && std::fabs(n) <= 0x1p31)
        return ReturnComplex(ctx, WholePower(z, int64_t(n)));
    ReturnComplex(ctx, Power(z, n));
}

Complex Subtract(Complex u, Complex v) {
    return {u.re - v.re, u.im - v.im};
}

template <Complex (*F)(Complex, Complex)> void ComplexPair(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    Complex u, v;
    CArgReader args(ctx);
    args.Merge(ReadComplex(ctx, args.Take(1), v));
    args.Merge(ReadComplex(ctx, args.Take(0), u));
    if (args.error) return ReturnErrorEntry(ctx, args.error);
    ReturnComplex(ctx, F(u, v));
}

// IMSUM and IMPRODUCT: every argument from the last to the first, ranges and arrays by
// their stored cells; each step's parts must stay finite.
template <bool Product> void Fold(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    Complex total{Product ? 1.0 : 0.0, 0};
    FormulaError error = 0;
    auto take = [&](FormulaToken& slot) {
        Complex z;
        error = MergeError(error, ReadComplex(ctx, slot, z));
        if (error) return;
        if (Product)
            total = {total.re * z.re - total.im * z.im, total.re * z.im + total.im * z.re};
        else
            total = {total.re + z.re, total.im + z.im};
        if (!IsAcceptableResult(total.re) || !IsAcceptableResult(total.im)) error = kErrNum;
    };
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        if (!(slot.type & kAreaOrArray)) {
            take(slot);
            continue;
        }
        CRangeWalk walk(ctx);
        error = MergeError(error, walk.Take(slot));
        FormulaToken value;
        while (!error && walk.NextValue(value)) take(value);
    }
    if (error) return ReturnErrorEntry(ctx, error);
    ReturnComplex(ctx, total);
}

} // namespace

void BindComplexFunctions() {
    BindBuiltinFunction("COMPLEX", &MakeComplex);
    BindBuiltinFunction("IMABS", &ComplexToNumber<Modulus>);
    BindBuiltinFunction("IMAGINARY", &ComplexToNumber<Imaginary>);
    BindBuiltinFunction("IMREAL", &ComplexToNumber<Real>);
    BindBuiltinFunction("IMARGUMENT", &ComplexToNumber<Angle>);
    BindBuiltinFunction("IMCONJUGATE", &ComplexToComplex<Conjugate>);
    BindBuiltinFunction("IMCOS", &ComplexToComplex<Cos>);
    BindBuiltinFunction("IMSIN", &ComplexToComplex<Sin>);
    BindBuiltinFunction("IMEXP", &ComplexToComplex<Exp>);
    BindBuiltinFunction("IMLN", &ComplexToComplex<Ln>);
    BindBuiltinFunction("IMLOG10", &ComplexToComplex<Log10>);
    BindBuiltinFunction("IMLOG2", &ComplexToComplex<Log2>);
    BindBuiltinFunction("IMSQRT", &ComplexToComplex<Sqrt>);
    BindBuiltinFunction("IMPOWER", &ImPower);
    BindBuiltinFunction("IMDIV", &ComplexPair<Divide>);
    BindBuiltinFunction("IMSUB", &ComplexPair<Subtract>);
    BindBuiltinFunction("IMSUM", &Fold<false>);
    BindBuiltinFunction("IMPRODUCT", &Fold<true>);
}

} // namespace vl
