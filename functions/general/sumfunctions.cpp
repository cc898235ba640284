#include "functions/general/sumfunctions.h"

#include "formula/compensatedsum.h"
#include "formula/growarray.h"
#include "formula/operands.h"
#include "functions/numeric/valuereader.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

// Folds the values of a range or array argument that take part. A local total stays in
// registers across the walk's calls.
template <Fold F>
void FoldArea(CEvalContext& ctx, FormulaToken& slot, Total& total, FormulaError& error) {
    AreaWalk area(ctx);
    error = MergeError(error, area.Take(slot));
    Total running = total;
    ListValue v;
    while (NextAreaValue(ctx, area, v)) {
        if (v.fate == ValueFate::Number)
            Accumulate(F, v.number, running, error);
        else if (v.fate == ValueFate::Error)
            error = MergeError(error, v.error);
    }
    total = running;
}

// Folds every value of the arguments that takes part; after an error the walk goes on
// without adding, so that a later value's larger code wins.
template <Fold F> void FoldArguments(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    Total total;
    if (F == Fold::kProduct) total.value = 1;
    FormulaError error = 0;
    for (uint16_t i = ArgumentCount(ctx); i-- > 0;) {
        FormulaToken& slot = Argument(ctx, i);
        if (slot.type & kAreaOrArray) {
            FoldArea<F>(ctx, slot, total, error);
            continue;
        }
        ReadArgumentValues(ctx, i, [&](const ListValue& v) {
            if (v.fate == ValueFate::Error)
                error = MergeError(error, v.error);
            else
                Accumulate(F, v.number, total, error);
        });
    }
    const double result = F == Fold::kProduct ? total.Product() : total.Sum();
    // A total out of range where an error stopped it still merges #NUM!.
    if (!IsAcceptableResult(result)) error = MergeError(error, kErrNum);
    ReturnNumber(ctx, result, error);
}

// The products of the arguments' cells at the same place, summed; every argument is a range
// or an array of one shape. A place where an argument gives no number (an empty cell, a text)
// adds nothing; an error is the result.
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
        AreaWalk area(ctx);
        const CRangeWalk& walk = area.walk;
        error = MergeError(error, area.Take(slot));
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
        ListValue value;
        while (!error && NextAreaValue(ctx, area, value)) {
            if (value.fate == ValueFate::Error) error = MergeError(error, value.error);
            if (value.fate != ValueFate::Number) continue;
            const double x = value.number;
            const uint64_t place = LinearPlace(walk);
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

// Over the pairs of two areas of one shape: a pair with a value that is no number on
// either side adds nothing; areas of two shapes are #VALUE!.
template <double (*Term)(double, double)> void SumOfPairs(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    std::vector<double> xs, ys;
    bool sameShape = true;
    FormulaError error = ReadPairs(ctx, 0, 1, xs, ys, sameShape);
    if (!error && !sameShape) error = kErrValue;
    double total = 0;
    for (std::size_t k = 0; !error && k < xs.size(); ++k) {
        total += Term(xs[k], ys[k]);
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
