#include "functions/general/sumfunctions.h"

#include "formula/operands.h"

#include <cmath>

namespace vl {

namespace {

enum class Fold { kSum, kSumSquares, kProduct };

// Adds (or multiplies) one value; a total that is no longer finite is #NUM! and takes
// nothing more.
void Accumulate(Fold fold, double x, double& total, FormulaError& error) {
    if (error) return;
    if (fold == Fold::kProduct)
        total *= x;
    else
        total += fold == Fold::kSumSquares ? x * x : x;
    if (!IsAcceptableResult(total)) error = kErrNum;
}

// SUM skips the cells of a range whose value is no number; SUMSQ and PRODUCT take their
// errors, and keep walking after one so that a later cell's larger code wins.
void FoldRange(CEvalContext& ctx, FormulaToken& slot, Fold fold, double& total,
               FormulaError& error) {
    CRangeWalk walk(ctx);
    error = MergeError(error, walk.Take(slot));
    FormulaToken value;
    while (walk.NextValue(value)) {
        double x = 0;
        FormulaError cellError = GetNumberArg(ctx, value, x);
        if (fold == Fold::kSum && cellError) continue;
        error = MergeError(error, cellError);
        Accumulate(fold, x, total, error);
    }
}

template <Fold F> void FoldArguments(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kStackSlots)) return;
    double total = F == Fold::kProduct ? 1 : 0;
    FormulaError error = 0;
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        if (slot.type & kAreaOrArray) {
            FoldRange(ctx, slot, F, total, error);
        } else {
            double x = 0;
            error = MergeError(error, GetNumberArg(ctx, slot, x));
            Accumulate(F, x, total, error);
        }
    }
    ReturnNumber(ctx, total, error);
}

// Each argument's cells multiplied together, the products added.
void SumProduct(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kStackSlots)) return;
    double total = 0;
    FormulaError error = 0;
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        if (!(slot.type & kAreaOrArray)) {
            error = MergeError(error, MergeError(slot.error, kErrValue));
            ReleaseOperand(ctx, slot);
            continue;
        }
        CRangeWalk walk(ctx);
        error = MergeError(error, walk.Take(slot));
        double product = 1;
        FormulaToken value;
        while (walk.NextValue(value)) {
            double x = 0;
            if (GetNumberArg(ctx, value, x)) continue;
            product *= x;
            if (!IsAcceptableResult(product)) error = MergeError(error, kErrNum);
        }
        total += product;
        if (!IsAcceptableResult(product)) error = MergeError(error, kErrNum);
    }
    ReturnNumber(ctx, total, error);
}

// Cells of two rectangles paired by their place from the top-left corners; a cell without
// a partner meets 0.
uint64_t LinearOffset(const CRangeWalk& walk) {
    return uint64_t(walk.RowOffset()) * kMaxColumns + walk.ColumnOffset();
}

template <double (*Term)(double, double)> void SumOfPairs(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    CRangeWalk ys(ctx), xs(ctx);
    FormulaError error = ys.Take(Argument(ctx, 1));
    error = MergeError(error, xs.Take(Argument(ctx, 0)));
    double total = 0;
    const uint8_t* x = error ? nullptr : xs.Next();
    const uint8_t* y = error ? nullptr : ys.Next();
    // After an error the walk goes on without adding, so that the largest code wins.
    while (x || y) {
        uint64_t ox = x ? LinearOffset(xs) : UINT64_MAX;
        uint64_t oy = y ? LinearOffset(ys) : UINT64_MAX;
        double a = 0, b = 0;
        FormulaToken value;
        if (ox <= oy) {
            xs.ReadValue(x, value);
            error = MergeError(error, GetNumberArg(ctx, value, a));
            x = xs.Next();
        }
        if (oy <= ox) {
            ys.ReadValue(y, value);
            error = MergeError(error, GetNumberArg(ctx, value, b));
            y = ys.Next();
        }
        if (error) continue;
        total += Term(a, b);
        if (!IsAcceptableResult(total)) error = kErrNum;
    }
    ReturnNumber(ctx, total, error);
}

double SquaresMinus(double x, double y) {
    return x * x - y * y;
}
double SquaresPlus(double x, double y) {
    return x * x + y * y;
}
double DifferenceSquared(double x, double y) {
    return (x - y) * (x - y);
}

// a(0) x^n + a(1) x^(n+m) + ... over the stored cells of a.
void SeriesSum(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 4, 4)) return;
    const uint16_t first = FirstArgument(ctx);
    uint8_t flags[4] = {};
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        flags[i] = (Argument(ctx, uint16_t(i)).type & kAreaOrArray) ? 1 : 0;
        any = any || flags[i];
    }
    if (any) {
        ApplyElementwise(ctx, flags, first);
        ctx.valueCount = first;
        return;
    }
    CRangeWalk coefficients(ctx);
    FormulaError error = coefficients.Take(Argument(ctx, 3));
    int32_t n = 0, m = 0;
    double x = 0;
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 2), m, INT32_MIN, INT32_MAX));
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 1), n, INT32_MIN, INT32_MAX));
    error = MergeError(error, GetNumberArg(ctx, Argument(ctx, 0), x));
    double total = 0;
    FormulaToken value;
    for (int64_t i = 0; error == 0 && coefficients.NextValue(value); ++i) {
        double a = 0;
        error = GetNumberArg(ctx, value, a);
        if (error) break;
        // The exponent is formed in 32-bit arithmetic, wrapping as such.
        int32_t exponent = int32_t(uint32_t(int64_t(n) + i * int64_t(m)));
        total += std::pow(x, double(exponent)) * a;
        if (!IsAcceptableResult(total)) error = kErrNum;
    }
    ReturnNumber(ctx, total, error);
}

} // namespace

void BindSumFunctions() {
    BindBuiltinFunction("SUM", &FoldArguments<Fold::kSum>);
    BindBuiltinFunction("SUMSQ", &FoldArguments<Fold::kSumSquares>);
    BindBuiltinFunction("PRODUCT", &FoldArguments<Fold::kProduct>);
    BindBuiltinFunction("SUMPRODUCT", &SumProduct);
    BindBuiltinFunction("SUMX2MY2", &SumOfPairs<SquaresMinus>);
    BindBuiltinFunction("SUMX2PY2", &SumOfPairs<SquaresPlus>);
    BindBuiltinFunction("SUMXMY2", &SumOfPairs<DifferenceSquared>);
    BindBuiltinFunction("SERIESSUM", &SeriesSum);
}

} // namespace vl
