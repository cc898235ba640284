#include "functions/general/cashflowfunctions.h"

#include "formula/approxnumber.h"
#include "functions/general/argreader.h"
#include "functions/general/regulafalsi.h"
#include "functions/numeric/valuereader.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vl {

namespace {

// Discounting of dated flows: 365 days of 86,400 seconds make a year.
constexpr double kSecondsPerYear = 31536000;

// The values of NPV's and IRR's value arguments in argument order, each counting as one
// period: the numbers the value reader takes (an omitted scalar as 0).
struct Flows {
    std::vector<double> values;
};

// Reads arguments first to last - 1, the last first; returns their error, which a value
// inside a range or array passes on too.
FormulaError ReadFlows(CEvalContext& ctx, uint16_t first, uint16_t last, Flows& flows) {
    return ReadNumbersInOrder(ctx, first, last, flows.values);
}

// (1 + rate)^periods; below a rate of 1/2 through log1p, which keeps a small rate's digits
// that 1 + rate would drop.
double Compound(double rate, double periods) {
    return std::fabs(rate) < 0.5 ? std::exp(periods * std::log1p(rate))
                                 : std::pow(1 + rate, periods);
}

// The flows discounted by whole periods, the first by one; #NUM! when the sum is not
// finite or is below the normal range, which a partial sum may pass through and leave.
// `asRead`: terms that cancel to 15 digits leave 0, as in SUM, not their rounding's rest
// (IRR's search needs the rest's sign).
double NpvOfFlows(double rate, const Flows& flows, FormulaError& error, bool asRead = false) {
    // Below a rate of 1/2 the discount goes through log1p, which keeps a small rate's digits
    // that 1 + rate would drop.
    const bool small = std::fabs(rate) < 0.5;
    const double growth = std::log1p(rate);
    double sum = 0;
    for (std::size_t k = 0; k < flows.values.size(); ++k) {
        double periods = double(k + 1);
        const double term =
            flows.values[k] / (small ? std::exp(periods * growth) : std::pow(1 + rate, periods));
        sum = asRead ? ApproxAdd(sum, term) : sum + term;
    }
    error = IsAcceptableResult(sum) ? 0 : kErrNum;
    return sum;
}

// One end of the rate search's bracket; `stuck` once a rate beyond it gave no finite value.
struct BracketEnd {
    double rate, value;
    bool stuck = false;
};

// The next rate below `rate`: a step down, or half the way to -1 where the step would
// reach it.
double StepDown(double rate, double step) {
    return rate - step > -1 + step ? rate - step : (rate - 1) / 2;
}

// Moves the end to `rate` when the flows have a finite value there; otherwise it stays.
template <class F> void Widen(F value, BracketEnd& end, double rate) {
    if (end.stuck) return;
    double v = rate > -1 ? value(rate) : NAN;
    if (!IsAcceptableResult(v)) {
        end.stuck = true;
        return;
    }
    end.rate = rate;
    end.value = v;
}

// Whether the value changed its sign (or met 0) from one rate to the next.
bool Crosses(const BracketEnd& from, const BracketEnd& to) {
    return to.rate != from.rate &&
           (to.value == 0 || std::signbit(to.value) != std::signbit(from.value));
}

// The root between two rates whose values differ in sign, one of them possibly 0. Flows
// that add up to exactly 0 have the rate 0 itself: near it 1 + rate rounds to 1, and the
// search would end on a rate of rounding noise.
template <class F>
bool Solve(F value, const BracketEnd& low, const BracketEnd& high, double& rate) {
    if (low.value == 0 || high.value == 0) {
        rate = low.value == 0 ? low.rate : high.rate;
        return true;
    }
    if (low.rate < 0 && high.rate > 0 && value(0) == 0) {
        rate = 0;
        return true;
    }
    return RegulaFalsi(value, low.rate, high.rate, low.value, high.value, rate);
}

// The rate search of IRR and XIRR: a bracket grown both ways from around the guess over
// rates above -1 (a loss-making project has a negative rate), then the regula falsi over
// the last step that crossed 0, the one nearer the guess when both did. An end near -1 whose
// flows' value overflows stays where it was while the other goes on. False when no rate is
// found; `error` is the flows' own error when they carry one.
template <class F>
bool FindReturnRate(F npv, FormulaError flowsError, double guess, double& rate,
                    FormulaError& error) {
    error = flowsError;
    if (error || !(guess > -1)) return false;
    auto value = [&](double x) {
        FormulaError e = 0;
        double v = npv(x, e);
        return e ? NAN : v;
    };
    double step = 1e-4;
    BracketEnd a{StepDown(guess, step), 0}, b{guess + step, 0};
    a.value = value(a.rate);
    b.value = value(b.rate);
    if (!IsAcceptableResult(a.value) || !IsAcceptableResult(b.value)) return false;
    if (a.value == 0 || Crosses(a, b)) return Solve(value, a, b, rate);
    for (;;) {
        const BracketEnd lastA = a, lastB = b;
        Widen(value, a, StepDown(a.rate, step));
        Widen(value, b, b.rate + step);
        const bool down = Crosses(lastA, a), up = Crosses(lastB, b);
        if (up && (!down || b.rate - guess <= guess - a.rate)) return Solve(value, lastB, b, rate);
        if (down) return Solve(value, a, lastA, rate);
        if ((a.stuck && b.stuck) || std::fabs(a.rate) + std::fabs(b.rate) > 100) return false;
        step = step * 2 < 0.02 ? step * 2 : 0.02;
    }
}

void Npv(CEvalContext& ctx) {
    if (!BeginPartlyScalarCall(ctx, 2, kMaxArguments, 1)) return;
    Flows flows;
    double rate = 0;
    FormulaError error = ReadFlows(ctx, 1, ArgumentCount(ctx), flows);
    CArgReader args(ctx);
    args.Merge(error);
    // A negative rate discounts into growth; at -1 the discount is a division by 0 (#NUM!).
    args.Number(0, rate);
    if (args.error) return ReturnError(ctx, args.error);
    double sum = NpvOfFlows(rate, flows, error, true);
    ReturnNumber(ctx, sum, error);
}

// A range given where one value is asked for stands for its cell in the formula's own row
// (and column), as the peers read it; false for one the formula's row or column does not
// cross, which is left empty. Run once a row instead, a whole column would take a million
// runs.
bool NarrowToOwnCell(const CEvalContext& ctx, FormulaToken& slot) {
    if (slot.type != kTokenArea || slot.error) return true;
    uint32_t row = slot.firstRow;
    uint16_t column = slot.firstColumn;
    const bool rowInside = ctx.baseRow >= slot.firstRow && ctx.baseRow <= slot.lastRow;
    const bool columnInside =
        ctx.baseColumn >= slot.firstColumn && ctx.baseColumn <= slot.lastColumn;
    if ((slot.firstRow != slot.lastRow && !rowInside) ||
        (slot.firstColumn != slot.lastColumn && !columnInside)) {
        ClearOperand(slot).type = kTokenEmpty;
        return false;
    }
    if (slot.firstRow != slot.lastRow) row = ctx.baseRow;
    if (slot.firstColumn != slot.lastColumn) column = ctx.baseColumn;
    slot.type = kTokenReference;
    slot.row = row;
    slot.column = column;
    slot.refFlags = slot.firstFlags;
    return true;
}

// The last of two or more arguments is the guess, never a flow; a single argument is the
// flows with the guess omitted. The guess is one value: only an array runs element by
// element.
void Irr(CEvalContext& ctx) {
    const uint16_t count = ArgumentCount(ctx);
    const uint16_t flowCount = count > 1 ? uint16_t(count - 1) : count;
    const bool guessMet =
        count < 2 || count > kMaxArguments || NarrowToOwnCell(ctx, Argument(ctx, flowCount));
    const bool guessArray =
        count > 1 && count <= kMaxArguments && Argument(ctx, flowCount).type == kTokenArray;
    const uint64_t guessBit = guessArray ? uint64_t(1) << (count - 1) : 0;
    if (!BeginPartlyScalarCall(ctx, 1, kMaxArguments, guessBit)) return;
    double guess = 0;
    CArgReader args(ctx);
    if (count > 1) args.Number(flowCount, guess);
    Flows flows;
    args.Merge(ReadFlows(ctx, 0, flowCount, flows));
    if (args.error) return ReturnError(ctx, args.error);
    // The flows' own errors come before a guess range the formula's row misses.
    if (!guessMet) return ReturnError(ctx, kErrValue);
    // Flows that are all 0 are worth 0 at every rate: no one rate is theirs.
    if (std::all_of(flows.values.begin(), flows.values.end(), [](double v) { return v == 0; }))
        return ReturnError(ctx, kErrNum);
    auto npv = [&](double x, FormulaError& e) { return NpvOfFlows(x, flows, e); };
    double rate = 0;
    FormulaError error = 0;
    if (!FindReturnRate(npv, 0, guess, rate, error))
        return ReturnError(ctx, error ? error : kErrNum);
    ReturnNumber(ctx, rate);
}

// A range or array argument; anything else is #VALUE!.
FormulaError TakeArea(CEvalContext& ctx, CRangeWalk& walk, FormulaToken& slot) {
    if (!(slot.type & kAreaOrArray)) {
        // An error given for the range (a reversed one's #REF!) is passed on as it is.
        FormulaError error = slot.error ? slot.error : kErrValue;
        ReleaseOperand(ctx, slot);
        return error;
    }
    return walk.Take(slot);
}

void Mirr(CEvalContext& ctx) {
    if (!BeginPartlyScalarCall(ctx, 2, 2, 0b10)) return;
    double r = 0;
    CArgReader args(ctx);
    args.Number(1, r);
    std::vector<double> values;
    FormulaToken& flows = args.Take(0);
    if (flows.type & kAreaOrArray) {
        args.Merge(ReadNumbersInOrder(ctx, 0, 1, values));
    } else {
        CRangeWalk none(ctx);
        args.Merge(TakeArea(ctx, none, flows));
    }
    if (args.error) return ReturnError(ctx, args.error);
    const double n = values.empty() ? 0 : double(values.size() - 1);
    double future = 0, present = 0;
    for (std::size_t k = 0; k < values.size(); ++k) {
        double v = values[k];
        if (v >= 0)
            future += v * Compound(r, n - double(k));
        else
            present += v / Compound(r, double(k));
    }
    if (!IsAcceptableResult(future) || !IsAcceptableResult(present))
        return ReturnError(ctx, kErrNum);
    if (n == 0) return ReturnError(ctx, kErrDivZero);
    // At -1 a whole loss per period leaves nothing to discount by.
    if (r == -1) return ReturnError(ctx, kErrNum);
    ReturnNumber(ctx, std::pow(future, 1 / n) / std::pow(-present, 1 / n) - 1);
}

// Flows paired with the seconds of their dates, up to where the pairing failed.
struct DatedFlows {
    std::vector<double> flows;
    std::vector<int64_t> seconds;
    FormulaError error = 0; // set where the pairing stopped
};

// Walks both rectangles together: each flow must stand where its date stands.
void PairFlows(CEvalContext& ctx, CRangeWalk& flowWalk, CRangeWalk& dateWalk, DatedFlows& out) {
    if (flowWalk.Rows() != dateWalk.Rows() || flowWalk.Columns() != dateWalk.Columns()) {
        out.error = kErrValue;
        return;
    }
    for (;;) {
        const uint8_t* flowCell = flowWalk.Next();
        const uint8_t* dateCell = dateWalk.Next();
        if (!flowCell || !dateCell) return;
        if (flowWalk.RowOffset() != dateWalk.RowOffset() ||
            flowWalk.ColumnOffset() != dateWalk.ColumnOffset()) {
            out.error = kErrValue;
            return;
        }
        FormulaToken value;
        double flow = 0;
        IsoDateTime date;
        flowWalk.ReadValue(flowCell, value);
        FormulaError error = GetNumberArg(ctx, value, flow);
        dateWalk.ReadValue(dateCell, value);
        error = MergeError(error, ReadDateTimeArg(ctx, value, date));
        if (error) {
            out.error = error;
            return;
        }
        out.flows.push_back(flow);
        out.seconds.push_back(DateTimeToSeconds(date));
    }
}

// Each flow discounted by the years (of 365 days) from the first date to its own; the sum
// tested as NPV's.
double XnpvOfFlows(double rate, const DatedFlows& d, FormulaError& error) {
    double sum = 0;
    for (std::size_t k = 0; k < d.flows.size(); ++k) {
        double years = double(d.seconds[k] - d.seconds[0]) / kSecondsPerYear;
        sum += d.flows[k] / Compound(rate, years);
    }
    error = IsAcceptableResult(sum) ? d.error : kErrNum;
    return sum;
}

// Reads the flows and dates arguments (dates first, as theirs is the newer array).
FormulaError ReadDatedFlows(CEvalContext& ctx, CArgReader& args, uint16_t flowsArg,
                            DatedFlows& out) {
    CRangeWalk flowWalk(ctx), dateWalk(ctx);
    args.Merge(TakeArea(ctx, dateWalk, args.Take(uint16_t(flowsArg + 1))));
    args.Merge(TakeArea(ctx, flowWalk, args.Take(flowsArg)));
    if (args.error) return args.error;
    PairFlows(ctx, flowWalk, dateWalk, out);
    return 0;
}

void Xnpv(CEvalContext& ctx) {
    if (!BeginPartlyScalarCall(ctx, 3, 3, 1)) return;
    DatedFlows flows;
    CArgReader args(ctx);
    ReadDatedFlows(ctx, args, 1, flows);
    double rate = 0;
    args.Number(0, rate);
    if (args.error) return ReturnError(ctx, args.error);
    // At -1 a whole loss per year leaves nothing to discount by, even for flows all on day 0.
    if (rate == -1) return ReturnError(ctx, kErrNum);
    FormulaError error = 0;
    double sum = XnpvOfFlows(rate, flows, error);
    ReturnNumber(ctx, sum, error);
}

void Xirr(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3)) return;
    double guess = 0;
    CArgReader args(ctx);
    args.Number(2, guess);
    DatedFlows flows;
    if (ReadDatedFlows(ctx, args, 0, flows)) return ReturnError(ctx, args.error);
    auto npv = [&](double x, FormulaError& e) { return XnpvOfFlows(x, flows, e); };
    double rate = 0;
    FormulaError error = 0;
    if (!FindReturnRate(npv, flows.error, guess, rate, error))
        return ReturnError(ctx, error ? error : kErrNum);
    ReturnNumber(ctx, rate);
}

} // namespace

void BindCashFlowFunctions() {
    BindBuiltinFunction("NPV", &Npv);
    BindBuiltinFunction("IRR", &Irr);
    BindBuiltinFunction("MIRR", &Mirr);
    BindBuiltinFunction("XNPV", &Xnpv);
    BindBuiltinFunction("XIRR", &Xirr);
}

} // namespace vl
