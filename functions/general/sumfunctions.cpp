#include "functions/general/sumfunctions.h"

#include "formula/compensatedsum.h"
#include "formula/growarray.h"
#include "formula/operands.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

enum class Fold { kSum, kSumSquares, kProduct };

// A running total that only its result tests, so that one passing below the normal range
// (or, for a product, beyond it) and coming back is not lost. Sums add with Neumaier's
// compensation: terms that cancel leave the small ones' sum exact. A total below 2^-49 of the
// smallest term for each term (two terms: 2^-48, where "-" takes them as equal) is the binary
// leftover of decimals that cancel (0.1 + 0.2 - 0.3) and is 0; a true small term keeps its
// value (1E308 - 1E308 + 1E-300), and so do whole numbers (1E16 + 1 - 1E16). A product keeps
// its power of 2 apart once a partial product leaves the normal range.
struct Total {
    double value = 0;
    double compensation = 0;    // the low-order part that the sum's additions dropped
    double smallest = HUGE_VAL; // the smallest magnitude of a term that is not 0
    uint64_t terms = 0;
    int64_t exponent = 0; // the product's power of 2

    void Add(double x) {
        AddCompensated(value, compensation, x);
        const double a = std::fabs(x);
        smallest = std::min(smallest, a == 0 ? HUGE_VAL : a);
        ++terms;
    }
    void Multiply(double x) {
        const double p = value * x;
        // A zero factor takes the longer way to the same 0.
        if (std::isnormal(p)) {
            value = p;
            return;
        }
        int e1 = 0, e2 = 0;
        value = std::frexp(value, &e1) * std::frexp(x, &e2);
        exponent += e1 + e2;
    }
    double Sum() const {
        const double sum = value + compensation;
        return std::fabs(sum) < smallest * double(terms) * 0x1p-49 ? 0 : sum;
    }
    // A power of 2 past ±1100 is out of range whatever the mantissa in [1/2, 1).
    double Product() const {
        int e = 0;
        const double mantissa = std::frexp(value, &e);
        return std::ldexp(mantissa, int(std::clamp<int64_t>(exponent + e, -1100, 1100)));
    }
};

// Adds (or multiplies) one value while no error has been met.
void Accumulate(Fold fold, double x, Total& total, FormulaError error) {
    if (error) return;
    if (fold == Fold::kProduct)
        total.Multiply(x);
    else
        total.Add(fold == Fold::kSumSquares ? x * x : x);
}

// SUM skips the cells of a range whose value is no number; SUMSQ and PRODUCT skip texts that
// are no number (a column's header) and take errors, and keep walking after one so that a
// later cell's larger code wins.
void FoldRange(CEvalContext& ctx, FormulaToken& slot, Fold fold, Total& total,
               FormulaError& error) {
    CRangeWalk walk(ctx);
    error = MergeError(error, walk.Take(slot));
    FormulaToken value;
    // A local total stays in registers across the walk's calls.
    Total running = total;
    while (walk.NextValue(value)) {
        double x = 0;
        // Most cells hold a plain number, which needs no conversion.
        if (value.type == kTokenNumber && value.error == 0 && std::isfinite(value.number)) {
            Accumulate(fold, value.number, running, error);
            continue;
        }
        const bool text = value.type == kTokenText && value.error == 0;
        FormulaError cellError = GetListNumber(ctx, value, x);
        if (cellError && (fold == Fold::kSum || text)) continue;
        error = MergeError(error, cellError);
        Accumulate(fold, x, running, error);
    }
    total = running;
}

template <Fold F> void FoldArguments(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    Total total;
    if (F == Fold::kProduct) total.value = 1;
    FormulaError error = 0;
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        if (slot.type & kAreaOrArray) {
            FoldRange(ctx, slot, F, total, error);
        } else {
            double x = 0;
            const bool named = slot.type == kTokenReference;
            error = MergeError(error, GetListNumber(ctx, slot, x));
            // An empty cell named directly is no factor (an omitted argument stays 0).
            if (F == Fold::kProduct && named && slot.type == kTokenEmpty && !slot.error) continue;
            Accumulate(F, x, total, error);
        }
    }
    const double result = F == Fold::kProduct ? total.Product() : total.Sum();
    // A total out of range where an error stopped it still merges #NUM!.
    if (!IsAcceptableResult(result)) error = MergeError(error, kErrNum);
    ReturnNumber(ctx, result, error);
}

// Each argument's cells multiplied together, the products added.
// Cells of two rectangles paired by their place from the top-left corners; a cell without
// a partner meets 0.
uint64_t LinearOffset(const CRangeWalk& walk) {
    return uint64_t(walk.RowOffset()) * kMaxColumns + walk.ColumnOffset();
}

// The products of the arguments' cells at the same place, summed; every argument is a range
// or an array of one shape. A place where an argument gives no number (an empty cell, a text,
// an error) adds nothing.
void SumProduct(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    struct Term {
        uint64_t place;
        double product;
    };
    CGrowArray<Term> terms;
    FormulaError error = 0;
    uint32_t rows = 0;
    uint16_t columns = 0;
    const uint16_t count = ArgumentCount(ctx);
    // The first range taken sets the shape: a failed argument has none to compare.
    bool shaped = false;
    for (uint16_t i = count; i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        MakeOneCellArea(slot);
        if (!(slot.type & kAreaOrArray)) {
            // An argument that failed (a reversed range's #REF!) keeps its own error.
            error = MergeError(error, slot.error ? slot.error : kErrValue);
            ReleaseOperand(ctx, slot);
            continue;
        }
        CRangeWalk walk(ctx);
        error = MergeError(error, walk.Take(slot));
        const bool first = !shaped;
        shaped = true;
        if (first) {
            rows = walk.Rows();
            columns = walk.Columns();
        } else if (walk.Rows() != rows || walk.Columns() != columns) {
            error = MergeError(error, kErrValue);
        }
        if (error) continue;
        // The walk visits places in increasing order, as the terms are kept.
        std::size_t kept = 0, next = 0;
        FormulaToken value;
        while (walk.NextValue(value)) {
            double x = 0;
            if (GetNumberArg(ctx, value, x)) continue;
            const uint64_t place = LinearOffset(walk);
            if (first) {
                if (!terms.Push({place, x})) error = MergeError(error, kErrMemory);
                continue;
            }
            while (next < terms.Size() && terms[next].place < place) ++next;
            if (next < terms.Size() && terms[next].place == place)
                terms[kept++] = {place, terms[next++].product * x};
        }
        if (!first) terms.Truncate(kept);
    }
    double total = 0;
    for (std::size_t k = 0; !error && k < terms.Size(); ++k) {
        total += terms[k].product;
        if (!IsAcceptableResult(terms[k].product)) error = MergeError(error, kErrNum);
    }
    if (!error && !IsAcceptableResult(total)) error = kErrNum;
    ReturnNumber(ctx, total, error);
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
