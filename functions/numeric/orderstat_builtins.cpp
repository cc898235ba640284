// MAX, MIN, MEDIAN, MODE and the ranked selections over a data argument.
#include "functions/numeric/orderstat.h"
#include "functions/numeric/statargs.h"
#include "functions/numeric/statbuiltins.h"

namespace vl {

namespace {

constexpr uint32_t kMaxListValues = 2097152;

void Extremes(CEvalContext& ctx, bool largest, RangeTexts texts = RangeTexts::LeftOut) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    Extreme extreme(largest);
    FormulaError kept = 0;
    GatherValueList(
        ctx,
        [&](const ListValue& v) {
            if (!v.error)
                extreme.Add(v.number);
            else
                kept = MergeError(kept, v.error);
        },
        texts);
    if (kept) return ReturnError(ctx, kept);
    StatResult r = ExtremeResult(extreme);
    ReturnNumber(ctx, r.value, r.error);
}

// The numbers of a value list; its largest error, or #VALUE! beyond the limit.
FormulaError GatherNumbers(CEvalContext& ctx, std::vector<double>& values) {
    FormulaError error = 0;
    GatherValueList(ctx, [&](const ListValue& v) {
        if (v.error) error = MergeError(error, v.error);
        if (error) return;
        if (values.size() == kMaxListValues)
            error = kErrValue;
        else
            values.push_back(v.number);
    });
    return error;
}

void SortedListStatistic(CEvalContext& ctx, StatResult (*statistic)(std::vector<double>&)) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    GuardStatMemory(ctx, [&] {
        std::vector<double> values;
        FormulaError error = GatherNumbers(ctx, values);
        StatResult r = error ? StatError(error) : statistic(values);
        ReturnNumber(ctx, r.value, r.error);
    });
}

void ReturnResult(CEvalContext& ctx, StatResult r) {
    ReturnNumber(ctx, r.value, r.error);
}

// The common frame of the ranked functions: the parameters (read by `readParameters`
// from the last to the first) and the data argument at `dataIndex`, their errors joined,
// then the items sorted in the direction the parameters choose.
template <class ReadParameters, class Compute>
void RankedFunction(CEvalContext& ctx, uint16_t count, uint16_t dataIndex,
                    std::initializer_list<uint16_t> elementwise, ReadParameters readParameters,
                    Compute compute) {
    if (!CheckArgumentCount(ctx, count, count)) return;
    if (elementwise.size() && ApplyOverParameters(ctx, elementwise)) return;
    GuardStatMemory(ctx, [&] {
        AreaWalk area(ctx);
        FormulaError error = 0;
        bool ascending = true;
        for (uint16_t i = count; i-- > 0;) {
            if (i == dataIndex)
                error = JoinError(error, area.Take(Argument(ctx, i)));
            else
                error = JoinError(error, readParameters(i, ascending));
        }
        if (error) {
            ReturnError(ctx, error);
            return;
        }
        std::vector<DataItem> items;
        error = GatherDataItems(ctx, area, items);
        if (error) {
            ReturnError(ctx, error);
            return;
        }
        SortDataItems(items, ascending);
        compute(items);
    });
}

void LargeSmall(CEvalContext& ctx, bool large) {
    int32_t k = 0;
    RankedFunction(
        ctx, 2, 0, {1},
        [&](uint16_t, bool& ascending) {
            ascending = !large;
            return GetIntArg(ctx, Argument(ctx, 1), k, 1, INT32_MAX);
        },
        [&](const std::vector<DataItem>& items) {
            PickedItem picked = LargeSmall(items, k);
            if (picked.isText)
                ReturnText(ctx, picked.text);
            else
                ReturnResult(ctx, picked.number);
        });
}

} // namespace

void MaxBuiltin(CEvalContext& ctx) {
    Extremes(ctx, true);
}
void MinBuiltin(CEvalContext& ctx) {
    Extremes(ctx, false);
}
void MaxABuiltin(CEvalContext& ctx) {
    Extremes(ctx, true, RangeTexts::Zero);
}
void MinABuiltin(CEvalContext& ctx) {
    Extremes(ctx, false, RangeTexts::Zero);
}
void MedianBuiltin(CEvalContext& ctx) {
    SortedListStatistic(ctx, Median);
}
void ModeBuiltin(CEvalContext& ctx) {
    SortedListStatistic(ctx, Mode);
}
void LargeBuiltin(CEvalContext& ctx) {
    LargeSmall(ctx, true);
}
void SmallBuiltin(CEvalContext& ctx) {
    LargeSmall(ctx, false);
}

// A range or array of fractions gives the percentile of each.
void PercentileBuiltin(CEvalContext& ctx) {
    double k = 0;
    RankedFunction(
        ctx, 2, 0, {1},
        [&](uint16_t, bool&) { return GetListNumber(ctx, Argument(ctx, 1), k, 0, 1); },
        [&](const std::vector<DataItem>& items) { ReturnResult(ctx, Percentile(items, k)); });
}

void QuartileBuiltin(CEvalContext& ctx) {
    int32_t quartile = 0;
    RankedFunction(
        ctx, 2, 0, {1},
        [&](uint16_t, bool&) { return GetIntArg(ctx, Argument(ctx, 1), quartile, 0, 4); },
        [&](const std::vector<DataItem>& items) {
            ReturnResult(ctx, Percentile(items, QuartileFraction(quartile)));
        });
}

void PercentRankBuiltin(CEvalContext& ctx) {
    double x = 0;
    int32_t significance = 3;
    RankedFunction(
        ctx, 3, 0, {1, 2},
        [&](uint16_t i, bool&) {
            if (i == 2) return GetIntArg(ctx, Argument(ctx, 2), significance, 1, 14);
            return GetListNumber(ctx, Argument(ctx, 1), x);
        },
        [&](const std::vector<DataItem>& items) {
            ReturnResult(ctx, PercentRank(items, x, significance));
        });
}

void RankBuiltin(CEvalContext& ctx) {
    double x = 0;
    int32_t order = 0;
    RankedFunction(
        ctx, 3, 1, {0, 2},
        [&](uint16_t i, bool& ascending) {
            if (i == 0) return GetListNumber(ctx, Argument(ctx, 0), x);
            FormulaError e = GetIntArg(ctx, Argument(ctx, 2), order, 0, 1);
            ascending = order == 1;
            return e;
        },
        [&](const std::vector<DataItem>& items) { ReturnResult(ctx, Rank(items, x, order == 1)); });
}

void TrimMeanBuiltin(CEvalContext& ctx) {
    double percent = 0;
    RankedFunction(
        ctx, 2, 0, {1},
        [&](uint16_t, bool&) { return GetListNumber(ctx, Argument(ctx, 1), percent, 0, 1); },
        [&](const std::vector<DataItem>& items) { ReturnResult(ctx, TrimMean(items, percent)); });
}

} // namespace vl
