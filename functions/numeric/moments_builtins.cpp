// The variance family, SKEW, KURT, GEOMEAN and HARMEAN: value lists whose errors are
// kept, the highest code winning.
#include "functions/numeric/moments.h"
#include "functions/numeric/statargs.h"
#include "functions/numeric/statbuiltins.h"

#include <cmath>

namespace vl {

namespace {

template <class Sums> void Accumulate(CEvalContext& ctx, Sums& sums) {
    GatherValueList(ctx, [&](const ListValue& v) {
        if (v.error)
            sums.AddError(v.error);
        else
            sums.Add(v.number);
    });
}

void VarianceCore(CEvalContext& ctx, bool sample, bool root) {
    if (!CheckArgumentCount(ctx, 1, kStackSlots)) return;
    ShiftedSums sums;
    Accumulate(ctx, sums);
    StatResult r = root ? StandardDeviation(sums, sample) : Variance(sums, sample);
    ReturnNumber(ctx, r.value, r.error);
}

// Both passes see the same values: the first keeps them for the second.
void HigherMoment(CEvalContext& ctx, int power) {
    if (!CheckArgumentCount(ctx, 1, kStackSlots)) return;
    GuardStatMemory(ctx, [&] {
        ShiftedSums sums;
        std::vector<double> values;
        GatherValueList(ctx, [&](const ListValue& v) {
            if (v.error) {
                sums.AddError(v.error);
                return;
            }
            sums.Add(v.number);
            if (!sums.error) values.push_back(v.number);
        });
        MomentBasis basis = MomentBasisOf(sums, power == 3 ? 3 : 4);
        if (basis.error) {
            ReturnError(ctx, basis.error);
            return;
        }
        PowerSum powers{basis.mean, power};
        for (double x : values) powers.Add(x);
        StatResult r = power == 3 ? Skewness(sums.n, basis.deviation, powers)
                                  : Kurtosis(sums.n, basis.deviation, powers);
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
void SkewBuiltin(CEvalContext& ctx) {
    HigherMoment(ctx, 3);
}
void KurtBuiltin(CEvalContext& ctx) {
    HigherMoment(ctx, 4);
}

void GeoMeanBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kStackSlots)) return;
    ProductSums sums;
    Accumulate(ctx, sums);
    StatResult r = GeometricMean(sums);
    ReturnNumber(ctx, r.value, r.error);
}

void HarMeanBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kStackSlots)) return;
    ReciprocalSums sums;
    Accumulate(ctx, sums);
    StatResult r = HarmonicMean(sums);
    ReturnNumber(ctx, r.value, r.error);
}

} // namespace vl
