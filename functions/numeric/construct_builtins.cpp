// MTXMLT (and MMULT), MTXT, MTXDIAG, MTXRAND, MTXRAND2 and MTXSERIES: matrices built
// rather than decomposed.
#include "functions/numeric/matrixargs.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/random.h"
#include "values/isodate.h"

#include <memory>
#include <string>
#include <vector>

namespace vl {

namespace {

constexpr int32_t kMaxSeriesLength = 2097152;

// The product of the arguments from the left; the first error from the left wins and
// nothing after it is multiplied.
FormulaError MultiplyChain(CEvalContext& ctx, std::vector<std::unique_ptr<CMatrixArg>>& args,
                           const std::vector<FormulaError>& errors, Matrix& P) {
    if (errors[0]) return errors[0];
    FormulaError error = args[0]->Read(ctx, P);
    for (std::size_t i = 1; i < args.size() && !error; ++i) {
        error = errors[i];
        if (!error && args[i]->Rows() != P.cols) error = kErrValue;
        Matrix B, W;
        if (!error) error = args[i]->Read(ctx, B);
        if (!error) error = SizeMatrix(W, P.rows, B.cols);
        if (error) break;
        MatrixMultiply(P, B, W, int32_t(P.rows), int32_t(P.cols), int32_t(B.cols));
        P = std::move(W);
    }
    return error;
}

// Seeds of the random functions: given ones replace the kept seeds.
struct Seeds {
    uint8_t has1 = 0, has2 = 0;
    int32_t seed1 = 0, seed2 = 0;

    FormulaError Read(CEvalContext& ctx, FormulaToken& slot1, FormulaToken& slot2) {
        has2 = !IsOmitted(slot2);
        FormulaError error = OptionalInt(ctx, slot2, seed2, INT32_MIN, INT32_MAX);
        has1 = !IsOmitted(slot1);
        return MergeError(error, OptionalInt(ctx, slot1, seed1, INT32_MIN, INT32_MAX));
    }
};

FormulaError ReadSeriesLength(CEvalContext& ctx, FormulaToken& slot, int32_t& n) {
    n = 0;
    FormulaError error = GetIntArg(ctx, slot, n, 1, kMaxSeriesLength);
    return error ? error : n < 1 ? kErrNum : 0;
}

// A series value: a number, a text, or nothing given.
enum class SeriesKind { kNone, kNumber, kText };

SeriesKind ReadSeriesValue(CEvalContext& ctx, FormulaToken& slot, double& number, std::string& text,
                           FormulaError& error) {
    ResolveReferenceValue(ctx, slot);
    // An error value sets no kind: its code alone decides, with no mix of kinds beside it.
    if (slot.type == kTokenNumber && !slot.error) {
        error = MergeError(error, GetNumberArg(ctx, slot, number));
        return SeriesKind::kNumber;
    }
    if (slot.type == kTokenText) {
        error = MergeError(error, GetStringArg(ctx, slot, text));
        slot.type = kTokenEmpty; // its string is taken
        return SeriesKind::kText;
    }
    error = MergeError(error, slot.error);
    return SeriesKind::kNone;
}

void ReturnTextSeries(CEvalContext& ctx, std::string text, const std::string& step, int32_t n) {
    CArrayBuilder builder(ctx);
    for (int32_t i = 0; i < n; ++i) {
        uint8_t error = 0;
        if (i > 0 && !AddDurationText(text, step, text)) error = kErrValue;
        CellBuffer cell;
        if (!MakeTextCell(cell, 0, uint32_t(i), text)) return FailCall(ctx, kErrMemory);
        cell.bytes[0] = uint8_t(cell.bytes[0] | error);
        if (!builder.PutRecord(cell.bytes)) return FailCall(ctx, kErrMemory);
    }
    ReleaseArguments(ctx);
    ReturnArray(ctx, builder.Detach(), 1, uint32_t(n));
}

void MultiplyArguments(CEvalContext& ctx) {
    uint16_t count = ArgumentCount(ctx);
    std::vector<std::unique_ptr<CMatrixArg>> args(count);
    std::vector<FormulaError> errors(count, 0);
    for (uint16_t i = count; i-- > 0;) {
        args[i] = std::make_unique<CMatrixArg>(ctx);
        errors[i] = args[i]->Take(Argument(ctx, i));
    }
    Matrix P;
    FormulaError error = MultiplyChain(ctx, args, errors, P);
    if (error) return FailCall(ctx, error);
    ReturnMatrix(ctx, P, P.rows, P.cols, true);
}

} // namespace

void MtxMltBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    GuardStatMemory(ctx, [&] { MultiplyArguments(ctx); });
}

void MtxTBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1)) return;
    CMatrixArg a(ctx);
    FormulaError error = a.Take(Argument(ctx, 0));
    if (error) return FailCall(ctx, error);
    uint32_t m = a.Rows(), n = a.Columns();
    // The rows become columns: too many is known before anything is sized.
    if (m > kMaxResultColumns) return FailCall(ctx, kErrRef);
    Matrix A, T;
    error = a.Read(ctx, A);
    error = MergeError(error, SizeMatrix(T, n, m));
    if (error) return FailCall(ctx, error);
    MatrixTransposeCopy(A, T, int32_t(m), int32_t(n));
    ReturnMatrix(ctx, T, n, m, true);
}

void MtxDiagBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    FormulaToken& xSlot = Argument(ctx, 1);
    CMatrixArg x(ctx);
    double value = 0;
    bool isArea = xSlot.type & kAreaOrArray;
    FormulaError error = isArea ? x.Take(xSlot) : GetNumberArg(ctx, xSlot, value);
    int32_t n = 0;
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 0), n, 1, INT32_MAX));
    if (!error && n < 1) error = kErrNum;
    if (error) return FailCall(ctx, error);
    if (uint32_t(n) > kMaxResultColumns) return FailCall(ctx, kErrRef);
    Matrix A, D;
    error = isArea ? x.Read(ctx, A) : 0;
    error = MergeError(error, SizeMatrix(D, uint32_t(n), uint32_t(n)));
    if (error) return FailCall(ctx, error);
    std::size_t given = isArea ? std::size_t(A.rows) * A.cols : 0;
    for (int32_t i = 1; i <= n; ++i)
        MatrixElement(D, i, i) = !isArea                   ? value
                                 : std::size_t(i) <= given ? A.data[std::size_t(i - 1)]
                                                           : 0.0;
    ReturnMatrix(ctx, D, uint32_t(n), uint32_t(n), true);
}

void MtxRandBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3)) return;
    Seeds seeds;
    FormulaError error = seeds.Read(ctx, Argument(ctx, 1), Argument(ctx, 2));
    int32_t n = 0;
    error = MergeError(error, ReadSeriesLength(ctx, Argument(ctx, 0), n));
    Matrix v;
    if (!error) error = SizeMatrix(v, uint32_t(n), 1);
    if (error) return FailCall(ctx, error);
    // An evaluation that only learns what a formula reads takes none of the series.
    if (!ctx.readOnly) FillUniformRandom(v, n, seeds.has1, seeds.seed1, seeds.has2, seeds.seed2);
    ReturnMatrix(ctx, v, uint32_t(n), 1);
}

namespace {

// What no distribution of MTXRAND2 can have: a negative deviation (normal) or mean
// (exponential, Poisson), a probability outside 0..1 (Bernoulli, geometric). #NUM!, as for
// an argument outside its bounds.
FormulaError DistributionParameterError(int32_t type, double v1, double v2) {
    switch (type) {
    case 1:
        return v2 < 0 ? kErrNum : 0;
    case 2:
    case 3:
        return v1 < 0 ? kErrNum : 0;
    case 4:
    case 5:
        return v1 < 0 || v1 > 1 ? kErrNum : 0;
    default:
        return 0;
    }
}

} // namespace

void MtxRand2Builtin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 6, 6)) return;
    double v1 = 0, v2 = 0;
    int32_t type = 0;
    FormulaError error = OptionalNumber(ctx, Argument(ctx, 5), v2);
    error = MergeError(error, OptionalNumber(ctx, Argument(ctx, 4), v1));
    error = MergeError(error, OptionalInt(ctx, Argument(ctx, 3), type, 0, 5));
    error = MergeError(error, DistributionParameterError(type, v1, v2));
    Seeds seeds;
    error = MergeError(error, seeds.Read(ctx, Argument(ctx, 1), Argument(ctx, 2)));
    int32_t n = 0;
    error = MergeError(error, ReadSeriesLength(ctx, Argument(ctx, 0), n));
    Matrix v;
    if (!error) error = SizeMatrix(v, uint32_t(n), 1);
    if (error) return FailCall(ctx, error);
    if (!ctx.readOnly)
        FillRandomByDistribution(v, n, seeds.has1, seeds.seed1, seeds.has2, seeds.seed2, type, v1,
                                 v2);
    ReturnMatrix(ctx, v, uint32_t(n), 1);
}

void MtxSeriesBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3)) return;
    double step = 1, start = 1;
    std::string stepText = "P1D", startText;
    FormulaError error = 0;
    SeriesKind stepKind = ReadSeriesValue(ctx, Argument(ctx, 2), step, stepText, error);
    SeriesKind startKind = ReadSeriesValue(ctx, Argument(ctx, 1), start, startText, error);
    if ((startKind == SeriesKind::kNumber && stepKind == SeriesKind::kText) ||
        (startKind == SeriesKind::kText && stepKind == SeriesKind::kNumber))
        error = MergeError(error, kErrValue);
    int32_t n = 0;
    error = MergeError(error, ReadSeriesLength(ctx, Argument(ctx, 0), n));
    if (error) return FailCall(ctx, error);
    if (startKind == SeriesKind::kText) return ReturnTextSeries(ctx, startText, stepText, n);
    Matrix v;
    if ((error = SizeMatrix(v, uint32_t(n), 1)) != 0) return FailCall(ctx, error);
    for (int32_t i = 0; i < n; ++i) VectorAt(v, i + 1) = i * step + start;
    ReturnMatrix(ctx, v, uint32_t(n), 1);
}

} // namespace vl
