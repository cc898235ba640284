#include "functions/general/mathfunctions.h"

#include "formula/operands.h"

#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>

namespace vl {

namespace {

// As stored: the 15-digit value, not the double nearest to pi.
const double kPi = std::bit_cast<double>(uint64_t(0x400921FB54442D11));
constexpr double kDegreesPerRadian = 57.29577951308239;
constexpr double kRadiansPerDegree = 0.017453292519943278;

using Compute1 = double (*)(double x, FormulaError& error);
using Compute2 = double (*)(double x, double y, FormulaError& error);

// Bounds are whole numbers (template arguments of type double are not portable yet).
constexpr int kNoBound = INT_MIN;
constexpr double Bound(int bound, double none) {
    return bound == kNoBound ? none : double(bound);
}

// A scalar function of one number: its bounds, then its computation and own tests.
template <Compute1 F, int Lo = kNoBound, int Hi = kNoBound> void Unary(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1) || ApplyOverArrays(ctx)) return;
    double x = 0;
    FormulaError error =
        GetNumberArg(ctx, Argument(ctx, 0), x, Bound(Lo, -DBL_MAX), Bound(Hi, DBL_MAX));
    if (error) return ReturnError(ctx, error);
    double value = F(x, error);
    ReturnNumber(ctx, value, error);
}

// A scalar function of two numbers; the second is read first, as its text is the newer.
template <Compute2 F, int DefaultY = 0> void Binary(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2) || ApplyOverArrays(ctx)) return;
    double x = 0, y = DefaultY;
    FormulaError error = GetNumberArg(ctx, Argument(ctx, 1), y);
    error = MergeError(error, GetNumberArg(ctx, Argument(ctx, 0), x));
    if (error) return ReturnError(ctx, error);
    double value = F(x, y, error);
    ReturnNumber(ctx, value, error);
}

double NumError(FormulaError& error) {
    error = kErrNum;
    return 0;
}

double Abs(double x, FormulaError&) {
    return std::fabs(x);
}
double Acos(double x, FormulaError&) {
    return std::acos(x);
}
// The library's forms: x * x overflows past 1e154 and x + sqrt(...) cancels for x < 0.
double Acosh(double x, FormulaError&) {
    return std::acosh(x);
}
double Asin(double x, FormulaError&) {
    return std::asin(x);
}
double Asinh(double x, FormulaError&) {
    return std::asinh(x);
}
double Atan(double x, FormulaError&) {
    return std::atan(x);
}
double Atanh(double x, FormulaError& e) {
    // At -1 and below the result is infinite or NaN, which the finite test refuses.
    return x >= 1 ? NumError(e) : std::atanh(x);
}
double Cos(double x, FormulaError&) {
    return std::cos(x);
}
double Cosh(double x, FormulaError&) {
    return std::cosh(x);
}
double Degrees(double x, FormulaError&) {
    return x * kDegreesPerRadian;
}
double Exp(double x, FormulaError&) {
    return std::exp(x);
}
double Ln(double x, FormulaError& e) {
    return x > 0 ? std::log(x) : NumError(e);
}
double Log10(double x, FormulaError& e) {
    return x > 0 ? std::log10(x) : NumError(e);
}
double Radians(double x, FormulaError&) {
    return x * kRadiansPerDegree;
}
double Sign(double x, FormulaError&) {
    return x > 0 ? 1 : (x < 0 ? -1 : 0);
}
double Sin(double x, FormulaError&) {
    return std::sin(x);
}
double Sinh(double x, FormulaError&) {
    return std::sinh(x);
}
double Sqrt(double x, FormulaError&) {
    return std::sqrt(x);
}
double SqrtPi(double x, FormulaError&) {
    double product = x * kPi;
    // Past the double range the roots are taken apart.
    return std::isfinite(product) ? std::sqrt(product) : std::sqrt(x) * std::sqrt(kPi);
}
double Tan(double x, FormulaError&) {
    return std::tan(x);
}
double Tanh(double x, FormulaError&) {
    return std::tanh(x);
}

// The ordinate first: the angle whose tangent is x / y.
double Atan2(double x, double y, FormulaError&) {
    return std::atan2(x, y);
}
// Any positive base but 1: below 1 the logarithm changes sign.
double Log(double x, double base, FormulaError& e) {
    return x > 0 && base > 0 && base != 1 ? std::log(x) / std::log(base) : NumError(e);
}
double Power(double x, double y, FormulaError&) {
    return std::pow(x, y);
}

void Pi(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 0, 0)) return;
    ReturnNumber(ctx, kPi);
}

} // namespace

void BindMathFunctions() {
    BindBuiltinFunction("ABS", &Unary<Abs>);
    BindBuiltinFunction("ACOS", &Unary<Acos, -1, 1>);
    BindBuiltinFunction("ACOSH", &Unary<Acosh, 1>);
    BindBuiltinFunction("ASIN", &Unary<Asin, -1, 1>);
    BindBuiltinFunction("ASINH", &Unary<Asinh>);
    BindBuiltinFunction("ATAN", &Unary<Atan>);
    BindBuiltinFunction("ATANH", &Unary<Atanh>);
    BindBuiltinFunction("COS", &Unary<Cos>);
    BindBuiltinFunction("COSH", &Unary<Cosh>);
    BindBuiltinFunction("DEGREES", &Unary<Degrees>);
    BindBuiltinFunction("EXP", &Unary<Exp>);
    BindBuiltinFunction("LN", &Unary<Ln>);
    BindBuiltinFunction("LOG10", &Unary<Log10>);
    BindBuiltinFunction("RADIANS", &Unary<Radians>);
    BindBuiltinFunction("SIGN", &Unary<Sign>);
    BindBuiltinFunction("SIN", &Unary<Sin>);
    BindBuiltinFunction("SINH", &Unary<Sinh>);
    BindBuiltinFunction("SQRT", &Unary<Sqrt, 0>);
    BindBuiltinFunction("SQRTPI", &Unary<SqrtPi, 0>);
    BindBuiltinFunction("TAN", &Unary<Tan>);
    BindBuiltinFunction("TANH", &Unary<Tanh>);
    BindBuiltinFunction("ATAN2", &Binary<Atan2>);
    BindBuiltinFunction("LOG", &Binary<Log, 10>);
    BindBuiltinFunction("POWER", &Binary<Power>);
    BindBuiltinFunction("PI", &Pi);
}

} // namespace vl
