// The variance family, SKEW, KURT, GEOMEAN and HARMEAN: value lists whose errors are
// kept, the highest code winning.
#include "functions/numeric/moments.h"
#include "functions/numeric/statargs.h"
#include "functions/numeric/statbuiltins.h"

#include <cmath>

namespace vl {

namespace {

template <class Sums>
void Accumulate(CEvalContext& ctx, Sums& sums, RangeTexts texts = RangeTexts::LeftOut) {
    GatherValueList(
        ctx,
        [&](const ListValue& v) {
            if (v.error)
                sums.AddError(v.error);
            else
                sums.Add(v.number);
        },
        texts);
}

void VarianceCore(CEvalContext& ctx, bool sample, bool root,
                  RangeTexts texts = RangeTexts::LeftOut) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    ShiftedSums sums;
    Accumulate(ctx, sums, texts);
    StatResult r = root ? StandardDeviation(sums, sample) : Variance(sums, sample);
    ReturnNumber(ctx, r.value, r.error);
}

// Both passes see the same values: the first keeps them for the second.
void HigherMoment(CEvalContext& ctx, int power) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    GuardStatMemory(ctx, [&] {
        FormulaError error = 0;
        std::vector<double> values;
        GatherValueList(ctx, [&](const ListValue& v) {
            if (v.error) {
                error = JoinError(error, v.error);
                return;
            }
            if (!error) values.push_back(v.number);
        });
        if (error) {
            ReturnError(ctx, error);
            return;
        }
        StatResult r = StandardMoment(values.data(), uint32_t(values.size()), power);
        ReturnNumber(ctx, r.value, r.error);
    });
}

} // namespace

void VarBuiltin(CEvalContext& ctx) {
    VarianceCore(ctx, true, false);
}
void VarPBuiltin(CEvalContext& ctx) {
    VarianceCore(ctx, false, false);
}
void StDevBuiltin(CEvalContext& ctx) {
    VarianceCore(ctx, true, true);
}
void StDevPBuiltin(CEvalContext& ctx) {
    VarianceCore(ctx, false, true);
}
void VarABuiltin(CEvalContext& ctx) {
    VarianceCore(ctx, true, false, RangeTexts::Zero);
}
void VarPABuiltin(CEvalContext& ctx) {
    VarianceCore(ctx, false, false, RangeTexts::Zero);
}
void StDevABuiltin(CEvalContext& ctx) {
    VarianceCore(ctx, true, true, RangeTexts::Zero);
}
void StDevPABuiltin(CEvalContext& ctx) {
    VarianceCore(ctx, false, true, RangeTexts::Zero);
}
void SkewBuiltin(CEvalContext& ctx) {
    HigherMoment(ctx, 3);
}
void KurtBuiltin(CEvalContext& ctx) {
    HigherMoment(ctx, 4);
}

void GeoMeanBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    ProductSums sums;
    Accumulate(ctx, sums);
    StatResult r = GeometricMean(sums);
    ReturnNumber(ctx, r.value, r.error);
}

void HarMeanBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    ReciprocalSums sums;
    Accumulate(ctx, sums);
    StatResult r = HarmonicMean(sums);
    ReturnNumber(ctx, r.value, r.error);
}

} // namespace vl
