#include "functions/general/depreciationfunctions.h"

#include "functions/general/argreader.h"
#include "platform/core/number.h"
#include "values/inttext.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace vl {

namespace {

// Depreciation of one period at a fixed rate on the declining balance; the first period
// counts `month` months, period life + 1 (only when month is not 12) the rest of them.
// The book value after period k >= 1 is first·kept^(k − 1), in closed form: subtracting
// the running total from the cost would cancel once most of it is written off. `kept` is
// 1 − rate, given on its own for the same reason.
double FixedDeclining(double cost, double rate, double kept, int64_t life, int64_t period,
                      int32_t month) {
    if (period == 1) return cost * rate * month / 12;
    double first = cost * (kept + rate * (12 - month) / 12);
    if (period <= life) return first * std::pow(kept, double(period - 2)) * rate;
    return first * std::pow(kept, double(life - 1)) * rate * (12 - month) / 12;
}

void Db(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double cost = 0, salvage = 0;
    int32_t life = 0, period = 0, month = 12;
    CArgReader args(ctx);
    args.Int(4, month, 1, 12).Int(3, period, 1, INT32_MAX).Int(2, life, 1, INT32_MAX);
    args.Number(1, salvage).Number(0, cost);
    if (args.error) return ReturnError(ctx, args.error);
    const int64_t lastPeriod = month == 12 ? life : int64_t(life) + 1;
    if (period > lastPeriod) return ReturnError(ctx, kErrValue);
    // The rate is not rounded. 1 − (salvage/cost)^(1/life) through expm1: for a salvage
    // near the cost the difference of the two would cancel.
    const double ratio = salvage / cost;
    // Near 1 the logarithm of the ratio as log1p of (salvage − cost)/cost, whose difference
    // is exact there.
    const bool near = ratio > 0.5 && ratio < 2;
    const double power =
        ratio > 0 ? (near ? std::log1p((salvage - cost) / cost) : std::log(ratio)) / life : 0;
    const double kept = ratio > 0 ? std::exp(power) : std::pow(ratio, 1.0 / life);
    const double rate = ratio > 0 ? -std::expm1(power) : 1 - kept;
    ReturnNumber(ctx, FixedDeclining(cost, rate, kept, life, period, month));
}

// The declining balance, never taking the book value below the salvage value: a period
// whose depreciation would pass it takes only the excess, later periods nothing; the last
// period takes the book value down to it.
void Ddb(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double cost = 0, salvage = 0, factor = 2;
    int32_t life = 0, period = 0;
    CArgReader args(ctx);
    args.Number(4, factor, 0).Int(3, period, 1, INT32_MAX).Int(2, life, 1, INT32_MAX);
    args.Number(1, salvage).Number(0, cost);
    if (args.error) return ReturnError(ctx, args.error);
    if (period > life) return ReturnError(ctx, kErrValue);
    double rate = factor / life;
    double book = cost * std::pow(1 - rate, double(period) - 1);
    double excess = std::fmax(book - salvage, 0);
    ReturnNumber(ctx, period < life ? std::fmin(book * rate, excess) : excess);
}

void Sln(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 3)) return;
    double cost = 0, salvage = 0;
    int32_t life = 0;
    CArgReader args(ctx);
    args.Int(2, life, 1, INT32_MAX).Number(1, salvage).Number(0, cost);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, (cost - salvage) / life);
}

// The sum of the years' digits in 64 bits: a life of 100,000 already passes 32.
void Syd(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 4)) return;
    double cost = 0, salvage = 0;
    int32_t life = 0, period = 0;
    CArgReader args(ctx);
    args.Int(3, period, 1, INT32_MAX).Int(2, life, 1, INT32_MAX);
    args.Number(1, salvage).Number(0, cost);
    if (args.error) return ReturnError(ctx, args.error);
    const int64_t digits = int64_t(life) * (int64_t(life) + 1) / 2;
    const int64_t remaining = int64_t(life) - period + 1;
    ReturnNumber(ctx, (cost - salvage) * double(remaining) / double(digits));
}

int32_t DecimalDigits(int32_t n) {
    int32_t w = 1;
    for (; n >= 10; n /= 10) ++w;
    return w;
}

double Signed(double x, double magnitude) {
    return x < 0 ? 0.0 - magnitude : magnitude;
}

// The fraction's digits are a numerator with as many digits as the denominator has
// ("1.1" in 32nds is 10/32); further digits are its fraction. The digits are those of the
// shortest text that reads back as x, so that 0.1 gives exactly 10 and every digit typed
// counts.
double DollarDecimal(double x, int32_t denominator) {
    double whole = 0;
    std::modf(std::fabs(x), &whole);
    char buffer[400];
    auto written =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x), std::chars_format::fixed);
    std::string text(buffer, written.ec == std::errc() ? written.ptr : buffer);
    const std::size_t dot = text.find('.');
    std::string digits = "0" + (dot == std::string::npos ? std::string() : text.substr(dot + 1));
    const std::size_t point = std::size_t(1 + DecimalDigits(denominator));
    if (digits.size() <= point) digits.append(point + 1 - digits.size(), '0');
    digits.insert(point, ".");
    double numerator = 0;
    ParseNumber(digits, numerator);
    return Signed(x, numerator / denominator + whole);
}

// The inverse: the fraction in units of 1/denominator written as that many digits.
double DollarFraction(double x, int32_t denominator) {
    double whole = std::trunc(std::fabs(x));
    int64_t numerator = int64_t((std::fabs(x) - whole) * denominator + 0.5);
    std::string text = IntText(int64_t(whole));
    text += '.';
    AppendInt(text, numerator, DecimalDigits(denominator));
    double value = 0;
    ParseNumber(text, value);
    return Signed(x, value);
}

template <double (*Convert)(double, int32_t)> void Dollar(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double x = 0;
    int32_t denominator = 1;
    CArgReader args(ctx);
    args.Int(1, denominator, 1, INT32_MAX).Number(0, x, -2147483648.0, 2147483647.0);
    if (args.error) return ReturnError(ctx, args.error);
    ReturnNumber(ctx, Convert(x, denominator));
}

// No compounding at all (nper 0) has no effective or nominal rate.
template <bool Effective> void RateConversion(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 2)) return;
    double rate = 0;
    int32_t n = 0;
    CArgReader args(ctx);
    args.Int(1, n, 0, INT32_MAX).Number(0, rate, 0);
    if (args.error) return ReturnError(ctx, args.error);
    if (n == 0) return ReturnError(ctx, kErrNum);
    // (1 + i)^n - 1 through log1p and expm1: a small rate would cancel to nothing.
    ReturnNumber(ctx, Effective ? std::expm1(n * std::log1p(rate / n))
                                : std::expm1(std::log1p(rate) / n) * n);
}

// The rates of one argument: a scalar (empty is 0) or the stored cells of a range or array.
FormulaError ReadRates(CEvalContext& ctx, FormulaToken& slot, std::vector<double>& rates) {
    if (!(slot.type & kAreaOrArray)) {
        double v = 0;
        FormulaError error = GetNumberArg(ctx, slot, v);
        rates.push_back(v);
        return error;
    }
    CRangeWalk walk(ctx);
    FormulaError error = walk.Take(slot);
    FormulaToken value;
    while (walk.NextValue(value)) {
        double v = 0;
        FormulaError e = GetNumberArg(ctx, value, v);
        error = MergeError(error, e);
        if (!e) rates.push_back(v);
    }
    return error;
}

void FvSchedule(CEvalContext& ctx) {
    if (!BeginPartlyScalarCall(ctx, 2, kMaxArguments, 1)) return;
    const uint16_t count = ArgumentCount(ctx);
    std::vector<std::vector<double>> rates(count);
    FormulaError error = 0;
    for (uint16_t i = count; i-- > 1;)
        error = MergeError(error, ReadRates(ctx, Argument(ctx, i), rates[i]));
    double fv = 0;
    CArgReader args(ctx);
    args.Merge(error);
    args.Number(0, fv);
    if (args.error) return ReturnError(ctx, args.error);
    for (const std::vector<double>& list : rates) {
        for (double v : list) {
            fv *= 1 + v;
            if (!IsAcceptableResult(fv)) return ReturnError(ctx, kErrNum);
        }
    }
    ReturnNumber(ctx, fv);
}

} // namespace

void BindDepreciationFunctions() {
    BindBuiltinFunction("DB", &Db);
    BindBuiltinFunction("DDB", &Ddb);
    BindBuiltinFunction("SLN", &Sln);
    BindBuiltinFunction("SYD", &Syd);
    BindBuiltinFunction("DOLLARDE", &Dollar<DollarDecimal>);
    BindBuiltinFunction("DOLLARFR", &Dollar<DollarFraction>);
    BindBuiltinFunction("EFFECT", &RateConversion<true>);
    BindBuiltinFunction("NOMINAL", &RateConversion<false>);
    BindBuiltinFunction("FVSCHEDULE", &FvSchedule);
}

} // namespace vl
