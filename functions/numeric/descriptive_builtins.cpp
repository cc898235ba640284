// AVERAGE, AVEDEV, DEVSQ, COUNT, COUNTA, COVAR, CORREL, FORECAST and FREQUENCY.
#include "functions/numeric/correlation.h"
#include "functions/numeric/frequency.h"
#include "functions/numeric/linefit.h"
#include "functions/numeric/moments.h"
#include "functions/numeric/statargs.h"
#include "functions/numeric/statbuiltins.h"

#include <cmath>

namespace vl {

namespace {

// AVERAGE and AVEDEV pass over an empty or error entry given directly (a reversed range, an
// empty intersection); DEVSQ takes its error but counts only values that are not empty.
enum class EmptyRule { SkipEntry, SkipValue };

bool Skipped(const ListValue& v, EmptyRule rule) {
    if (v.FromArea()) return false;
    // A worksheet that is not there (#NAME?) is a fault in the formula, never passed over.
    if (rule == EmptyRule::SkipEntry)
        return v.argumentType == kTokenEmpty && v.error != kErrName;
    return false;
}

// The first pass: the mean, and the counted values for a second pass when asked for.
PlainSum GatherMean(CEvalContext& ctx, EmptyRule rule, std::vector<double>* kept,
                    RangeTexts texts = RangeTexts::LeftOut) {
    PlainSum sums;
    GatherValueList(
        ctx,
        [&](const ListValue& v) {
            if (Skipped(v, rule)) return;
            if (v.error) {
                sums.AddError(v.error);
                return;
            }
            if (rule == EmptyRule::SkipValue && !v.FromArea() && v.type == kTokenEmpty) return;
            sums.Add(v.number);
            if (kept && !sums.error) kept->push_back(v.number);
        },
        texts);
    return sums;
}

void Average(CEvalContext& ctx, RangeTexts texts) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    StatResult r = Mean(GatherMean(ctx, EmptyRule::SkipEntry, nullptr, texts));
    ReturnNumber(ctx, r.value, r.error);
}

void Deviations(CEvalContext& ctx, EmptyRule rule, bool squared) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    GuardStatMemory(ctx, [&] {
        std::vector<double> values;
        PlainSum sums = GatherMean(ctx, rule, &values);
        StatResult mean = Mean(sums);
        if (mean.error) {
            ReturnError(ctx, mean.error);
            return;
        }
        DeviationSum deviations{mean.value, squared};
        double rest = 0;
        for (double x : values) rest += x - mean.value;
        if (!values.empty() && std::isfinite(rest)) deviations.rest = rest / double(values.size());
        for (double x : values) deviations.Add(x);
        double value = squared ? deviations.sum : deviations.sum / sums.n;
        ReturnNumber(ctx, value, deviations.error);
    });
}

} // namespace

void AverageBuiltin(CEvalContext& ctx) {
    Average(ctx, RangeTexts::LeftOut);
}
void AverageABuiltin(CEvalContext& ctx) {
    Average(ctx, RangeTexts::Zero);
}

void AveDevBuiltin(CEvalContext& ctx) {
    Deviations(ctx, EmptyRule::SkipEntry, false);
}
void DevSqBuiltin(CEvalContext& ctx) {
    Deviations(ctx, EmptyRule::SkipValue, true);
}

void CountBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    double count = 0;
    GatherValueList(ctx, [&](const ListValue& v) {
        if (v.type == kTokenNumber && !v.error && !IsLostRange(v)) ++count;
    });
    ReturnNumber(ctx, count);
}

// Every stored cell of an area counts, and every entry given directly that is not empty,
// unread.
void CountABuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    double count = 0;
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        if (slot.type & kAreaOrArray) {
            AreaWalk area(ctx);
            if (area.Take(slot) == 0)
                while (area.Next()) ++count;
            continue;
        }
        if (slot.type != kTokenEmpty) ++count;
        ReleaseOperand(ctx, slot);
    }
    ReturnNumber(ctx, count);
}

namespace {

// COVAR and CORREL over the pairs of two equally shaped areas.
void PairedPositions(CEvalContext& ctx,
                     StatResult (*statistic)(const double*, const double*, std::size_t)) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    GuardStatMemory(ctx, [&] {
        std::vector<double> x, y;
        bool sameShape = true;
        FormulaError error = ReadPairs(ctx, 0, 1, x, y, sameShape);
        if (!error && !sameShape) error = kErrNA;
        StatResult r = error ? StatError(error) : statistic(x.data(), y.data(), x.size());
        ReturnNumber(ctx, r.value, r.error);
    });
}

} // namespace

void CovarBuiltin(CEvalContext& ctx) {
    PairedPositions(ctx, Covariance);
}
void CorrelBuiltin(CEvalContext& ctx) {
    PairedPositions(ctx, Correlation);
}

void ForecastBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3)) return;
    GuardStatMemory(ctx, [&] {
        std::vector<double> y, xs;
        bool sameShape = true;
        FormulaError error = ReadPairs(ctx, 1, 2, y, xs, sameShape);
        double x = 0;
        error = JoinError(error, GetListNumber(ctx, Argument(ctx, 0), x));
        if (!error && !sameShape) error = kErrValue;
        if (error) {
            ReturnError(ctx, error);
            return;
        }
        LineFit fit = FitLine(xs.data(), y.data(), y.size(), true);
        ReturnNumber(ctx, LineValue(fit, x), fit.error);
    });
}

namespace {

// The numbers of an area's cells; a text that is no number is passed over, another cell
// that does not convert is left out and its error joins `error`.
void GatherAreaNumbers(CEvalContext& ctx, AreaWalk& area, std::vector<double>& values,
                       FormulaError& error) {
    ListValue v;
    while (NextAreaValue(ctx, area, v)) {
        if (v.leftOut) continue;
        if (v.error)
            error = JoinError(error, v.error);
        else
            values.push_back(v.number);
    }
}

} // namespace

void FrequencyBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    GuardStatMemory(ctx, [&] {
        AreaWalk binArea(ctx), dataArea(ctx);
        FormulaError error = binArea.Take(Argument(ctx, 1));
        error = JoinError(error, dataArea.Take(Argument(ctx, 0)));
        std::vector<double> bins, data;
        if (!error) {
            GatherAreaNumbers(ctx, binArea, bins, error);
            GatherAreaNumbers(ctx, dataArea, data, error);
        }
        if (error) {
            ReturnError(ctx, error);
            return;
        }
        std::vector<uint32_t> counts = CountFrequencies(bins, data);
        std::vector<double> column(counts.begin(), counts.end());
        ReturnColumn(ctx, column.data(), uint32_t(column.size()));
    });
}

} // namespace vl
