// FTEST, TTEST, TTEST2, ZTEST, ZTEST2, CHITEST and CHITEST2.
#include "functions/numeric/hyptests.h"
#include "functions/numeric/statargs.h"
#include "functions/numeric/statbuiltins.h"

#include <cmath>

namespace vl {

namespace {

// The values of one sample: texts that are no number are passed over; cells that do not
// give a number join their error to the sums (FTEST, ZTEST) or are passed over (TTEST).
void GatherSample(CEvalContext& ctx, AreaWalk& area, ShiftedSums& sums, bool keepErrors) {
    ListValue v;
    while (NextAreaValue(ctx, area, v)) {
        if (v.leftOut) continue;
        if (!v.error)
            sums.Add(v.number);
        else if (keepErrors)
            sums.AddError(v.error);
    }
}

// Two samples at arguments 0 and 1; their argument errors win over everything.
FormulaError GatherTwoSamples(CEvalContext& ctx, ShiftedSums& first, ShiftedSums& second,
                              bool keepErrors, FormulaError error) {
    AreaWalk b(ctx), a(ctx);
    error = JoinError(error, b.Take(Argument(ctx, 1)));
    error = JoinError(error, a.Take(Argument(ctx, 0)));
    if (error) return error;
    GatherSample(ctx, a, first, keepErrors);
    GatherSample(ctx, b, second, keepErrors);
    return 0;
}

void TwoSampleTest(CEvalContext& ctx, uint16_t count, bool keepErrors,
                   StatResult (*test)(const ShiftedSums&, const ShiftedSums&, int32_t)) {
    if (!CheckArgumentCount(ctx, count, count)) return;
    int32_t tails = 2;
    FormulaError error = count == 3 ? GetIntArg(ctx, Argument(ctx, 2), tails, 1, 2) : 0;
    ShiftedSums first, second;
    error = GatherTwoSamples(ctx, first, second, keepErrors, error);
    StatResult r = error ? StatError(error) : test(first, second, tails);
    ReturnNumber(ctx, r.value, r.error);
}

StatResult FTestOf(const ShiftedSums& a, const ShiftedSums& b, int32_t) {
    return FTest(a, b);
}
StatResult TStatisticOf(const ShiftedSums& a, const ShiftedSums& b, int32_t) {
    return TStatistic(a, b);
}

void ZTestFunction(CEvalContext& ctx, bool probability) {
    if (!CheckArgumentCount(ctx, 3, 3)) return;
    if (ApplyOverParameters(ctx, {1, 2})) return;
    double deviation = NAN, x = 0;
    FormulaError error = GetListNumber(ctx, Argument(ctx, 2), deviation);
    error = JoinError(error, GetListNumber(ctx, Argument(ctx, 1), x));
    AreaWalk area(ctx);
    error = JoinError(error, area.Take(Argument(ctx, 0)));
    ShiftedSums sample;
    if (!error) GatherSample(ctx, area, sample, true);
    const double* sigma = std::isnan(deviation) ? nullptr : &deviation;
    StatResult r = error         ? StatError(error)
                   : probability ? ZTest(sample, x, sigma)
                                 : ZStatistic(sample, x, sigma);
    ReturnNumber(ctx, r.value, r.error);
}

void ChiSquare(CEvalContext& ctx, bool probability) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    Matrix observed, expected;
    bool sameShape = true;
    FormulaError error = ReadPairedAreas(ctx, 0, 1, observed, expected, sameShape);
    if (!error && !sameShape) error = kErrValue;
    StatResult r;
    if (error)
        r = StatError(error);
    else if (probability)
        r = ChiTest(observed.data.get(), expected.data.get(), observed.rows, observed.cols);
    else
        r = ChiSquareStatistic(observed.data.get(), expected.data.get(),
                               std::size_t(observed.rows) * observed.cols);
    ReturnNumber(ctx, r.value, r.error);
}

} // namespace

void FTestBuiltin(CEvalContext& ctx) {
    TwoSampleTest(ctx, 2, true, FTestOf);
}
void TTestBuiltin(CEvalContext& ctx) {
    TwoSampleTest(ctx, 3, false, TTest);
}
void TTest2Builtin(CEvalContext& ctx) {
    TwoSampleTest(ctx, 2, false, TStatisticOf);
}
void ZTestBuiltin(CEvalContext& ctx) {
    ZTestFunction(ctx, true);
}
void ZTest2Builtin(CEvalContext& ctx) {
    ZTestFunction(ctx, false);
}
void ChiTestBuiltin(CEvalContext& ctx) {
    ChiSquare(ctx, true);
}
void ChiTest2Builtin(CEvalContext& ctx) {
    ChiSquare(ctx, false);
}

} // namespace vl
