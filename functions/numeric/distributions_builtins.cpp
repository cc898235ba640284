// The distribution built-ins: scalar functions applied element by element over ranges
// and arrays, and PROB over two areas.
#include "functions/numeric/distcdf.h"
#include "functions/numeric/distinverse.h"
#include "functions/numeric/distributions.h"
#include "functions/numeric/statargs.h"
#include "functions/numeric/statbuiltins.h"

#include <cfloat>
#include <cmath>

namespace vl {

namespace {

// One argument: a whole number (rounded half away from zero) or a number, and its bounds.
struct Arg {
    bool integer;
    double minimum, maximum;
};

constexpr Arg kAny{false, -DBL_MAX, DBL_MAX};
constexpr Arg kNonNegative{false, 0, DBL_MAX};
constexpr Arg kFraction{false, 0, 1};
// A probability whose inverse is finite: inside (0, 1), or [0, 1) where 0 has the lower
// end of a distribution on x >= 0.
constexpr double kBelowOne = 0.99999999999999989; // 1 - 2^-53
constexpr Arg kInsideUnit{false, 4.9406564584124654e-324, kBelowOne};
constexpr Arg kUnitFromZero{false, 0, kBelowOne};
constexpr Arg kCount{true, 1, INT32_MAX};
constexpr Arg kFlag{true, 0, 1};
constexpr Arg kWhole{true, 0, INT32_MAX};

// The generic frame: count, element-wise application, arguments read from the last to
// the first with their bounds, the highest error, then the computation.
// `unchecked` results keep subnormal values.
template <std::size_t N, class Compute>
void Scalar(CEvalContext& ctx, const Arg (&args)[N], Compute compute, bool unchecked = false) {
    if (!CheckArgumentCount(ctx, N, N)) return;
    if (ApplyOverArrays(ctx)) return;
    double v[N] = {};
    FormulaError error = 0;
    for (std::size_t i = N; i-- > 0;) {
        FormulaToken& slot = Argument(ctx, uint16_t(i));
        if (args[i].integer) {
            int32_t n = 0;
            error = JoinError(
                error, GetIntArg(ctx, slot, n, int32_t(args[i].minimum), int32_t(args[i].maximum)));
            v[i] = n;
        } else {
            error =
                JoinError(error, GetNumberArg(ctx, slot, v[i], args[i].minimum, args[i].maximum));
        }
    }
    StatResult r = error ? StatError(error) : compute(v);
    if (unchecked) return ReturnUncheckedNumber(ctx, r.value, r.error);
    ReturnNumber(ctx, r.value, r.error);
}

int32_t I(double v) {
    return int32_t(v);
}

} // namespace

void HypGeomDistBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kWhole, kWhole, kWhole, kWhole};
    Scalar(ctx, args,
           [](const double* v) { return HypGeomDist(I(v[0]), I(v[1]), I(v[2]), I(v[3])); });
}

void NormDistBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kAny, kAny, kNonNegative, kFlag};
    Scalar(ctx, args, [](const double* v) { return NormDist(v[0], v[1], v[2], I(v[3])); });
}

void NormInvBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kInsideUnit, kAny, kNonNegative};
    Scalar(ctx, args, [](const double* v) { return Checked(NormalInv(v[0], v[1], v[2])); });
}

void NormSDistBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kAny};
    Scalar(ctx, args, [](const double* v) { return Checked(NormalCdf(v[0], 0, 1)); });
}

void NormSInvBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kInsideUnit};
    Scalar(ctx, args, [](const double* v) { return Checked(NormalInv(v[0], 0, 1)); });
}

void PermutBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kWhole, kWhole};
    Scalar(ctx, args, [](const double* v) { return Permut(I(v[0]), I(v[1])); });
}

void PoissonBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kNonNegative, kNonNegative, kFlag};
    Scalar(
        ctx, args, [](const double* v) { return Poisson(v[0], v[1], I(v[2])); }, true);
}

void StandardizeBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kAny, kAny, kNonNegative};
    Scalar(ctx, args, [](const double* v) { return Standardize(v[0], v[1], v[2]); });
}

void TDistBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kAny, kCount};
    Scalar(ctx, args, [](const double* v) { return Checked(TCdf(v[0], I(v[1]))); });
}

void TInvBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kInsideUnit, kCount};
    Scalar(ctx, args, [](const double* v) { return Checked(TInv(v[0], I(v[1]))); });
}

void WeibullBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kNonNegative, kAny, kAny, kFlag};
    Scalar(ctx, args, [](const double* v) { return Weibull(v[0], v[1], v[2], I(v[3])); });
}

// No successes (s = 0) is the first count of the support, as it is for POISSON; no trials
// is a distribution too, all of it at s = 0.
void BinomDistBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kWhole, kWhole, kFraction, kFlag};
    Scalar(ctx, args, [](const double* v) { return BinomDist(I(v[0]), I(v[1]), v[2], I(v[3])); });
}

void ChiDistBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kAny, kCount};
    Scalar(ctx, args, [](const double* v) { return Checked(ChiSquareCdf(v[0], I(v[1]))); });
}

void ChiInvBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kUnitFromZero, kCount};
    Scalar(ctx, args, [](const double* v) { return Checked(ChiSquareInv(v[0], I(v[1]))); });
}

void ConfidenceBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kInsideUnit, kNonNegative, kCount};
    Scalar(ctx, args, [](const double* v) { return Confidence(v[0], v[1], I(v[2])); });
}

void CritBinomBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kWhole, kFraction, kFraction};
    Scalar(ctx, args, [](const double* v) { return CritBinom(I(v[0]), v[1], v[2]); });
}

void ExponDistBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kNonNegative, kAny, kFlag};
    Scalar(ctx, args, [](const double* v) { return ExponDist(v[0], v[1], I(v[2])); });
}

// The first degrees of freedom are the numerator's, as in FDISTP.
void FDistBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kNonNegative, kCount, kCount};
    Scalar(ctx, args, [](const double* v) { return Checked(FCdf(v[0], I(v[1]), I(v[2]))); });
}

void FDistPBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kNonNegative, kCount, kCount};
    Scalar(ctx, args, [](const double* v) { return Checked(FDensity(v[0], I(v[1]), I(v[2]))); });
}

void FInvBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kUnitFromZero, kCount, kCount};
    Scalar(ctx, args, [](const double* v) { return Checked(FInv(v[0], I(v[1]), I(v[2]))); });
}

void FisherBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {Arg{false, -1, 1}};
    Scalar(ctx, args, [](const double* v) { return Fisher(v[0]); });
}

void FisherInvBuiltin(CEvalContext& ctx) {
    static constexpr Arg args[] = {kAny};
    Scalar(ctx, args, [](const double* v) { return FisherInv(v[0]); });
}

namespace {

// The pairs of PROB: pairs with a text that is no number and conversion failures that agree
// are passed over, others are #N/A!.
StatResult SumProbabilities(CEvalContext& ctx, AreaWalk& xs, AreaWalk& ps, double lower,
                            double upper) {
    double sum = 0;
    for (;;) {
        ListValue x, p;
        bool moreX = NextAreaValue(ctx, xs, x);
        bool moreP = NextAreaValue(ctx, ps, p);
        if (moreX != moreP) return StatError(kErrNA);
        if (!moreX) return {sum, 0};
        if (x.leftOut || p.leftOut) continue;
        if (x.error != p.error) return StatError(kErrNA);
        if (x.error || !(lower <= x.number && x.number <= upper)) continue;
        sum += p.number;
        if (IsOutOfRange(sum)) return StatError(kErrNum);
    }
}

} // namespace

void ProbBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 4, 4)) return;
    if (ApplyOverParameters(ctx, {2, 3})) return;
    double lower = 0, upper = NAN;
    FormulaError error = GetListNumber(ctx, Argument(ctx, 3), upper);
    error = JoinError(error, GetListNumber(ctx, Argument(ctx, 2), lower));
    if (std::isnan(upper)) upper = lower;
    AreaWalk ps(ctx), xs(ctx);
    error = JoinError(error, ps.Take(Argument(ctx, 1)));
    error = JoinError(error, xs.Take(Argument(ctx, 0)));
    StatResult r = error ? StatError(error) : SumProbabilities(ctx, xs, ps, lower, upper);
    ReturnNumber(ctx, r.value, r.error);
}

} // namespace vl
