// LPROG, LPROGINT, LPROGBIN and QPROG: linear, integer and quadratic programming over
// range and array arguments.
#include "functions/numeric/integerlp.h"
#include "functions/numeric/matrixargs.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/quadprog.h"
#include "functions/numeric/simplex.h"

namespace vl {

namespace {

enum class ProgramKind { kLinear, kInteger, kBinary, kQuadratic };

// The problem as the arguments give it, read into matrices with the room the solver needs.
struct ProgramData {
    Matrix A, s, b, c, C, mask, x;
    int32_t m = 0, n = 0, vector = 0;
    double epsilon = kLpDefaultEpsilon, big = 0;
};

FormulaError SolverError(int code) {
    switch (code) {
    case kLpMemory:
        return kErrMemory;
    case kLpUnbounded:
        return kErrValue;
    case kLpInfeasible:
        return kErrNull;
    case kLpStepLimit:
        return kErrNum;
    default:
        return 0;
    }
}

// A matrix of the argument's shape copied into a zeroed block of rows x columns.
FormulaError ReadInto(CEvalContext& ctx, CMatrixArg& arg, Matrix& m, uint64_t rows,
                      uint64_t columns, bool codesOnly = false) {
    Matrix read;
    FormulaError error = arg.Read(ctx, read, codesOnly);
    if (!error) error = SizeMatrix(m, rows, columns);
    if (error) return error;
    for (int32_t i = 1; i <= int32_t(read.rows); ++i)
        for (int32_t j = 1; j <= int32_t(read.cols); ++j)
            MatrixElement(m, i, j) = MatrixElement(read, i, j);
    return 0;
}

// Matrices sized for the solver: the tableau rows and columns it works in.
FormulaError ReadProgram(CEvalContext& ctx, ProgramKind kind, CMatrixArg& a, CMatrixArg& s,
                         CMatrixArg& b, CMatrixArg& c, CMatrixArg* C, CMatrixArg* mask,
                         ProgramData& p) {
    uint64_t m = uint64_t(p.m), n = uint64_t(p.n);
    bool integer = kind == ProgramKind::kInteger || kind == ProgramKind::kBinary;
    uint64_t rows = kind == ProgramKind::kQuadratic ? 2 * m : integer ? m + 2 * n : m;
    uint64_t columns = kind == ProgramKind::kQuadratic ? n : n + 2 * rows;
    FormulaError error = ReadInto(ctx, a, p.A, rows, columns);
    // The relations are the codes 1 (<=), 0 (=) and -1 (>=): a relation written as a text
    // such as "<=" is refused rather than read as 0, which would be "=".
    error = MergeError(error, ReadInto(ctx, s, p.s, rows, 1, true));
    error = MergeError(error, ReadInto(ctx, b, p.b, rows, 1));
    error =
        MergeError(error, ReadInto(ctx, c, p.c, kind == ProgramKind::kQuadratic ? n : columns, 1));
    if (C) error = MergeError(error, ReadInto(ctx, *C, p.C, n, n));
    if (mask && mask->Taken())
        error = MergeError(error, ReadInto(ctx, *mask, p.mask, n, 1));
    else if (integer)
        error = MergeError(error, SizeMatrix(p.mask, n, 1));
    return MergeError(error, SizeMatrix(p.x, n, 1));
}

int Solve(ProgramKind kind, ProgramData& p) {
    switch (kind) {
    case ProgramKind::kLinear:
        return SolveLinearProgram(p.A, p.s, p.b, p.c, p.x, p.vector, p.m, p.n, p.epsilon, p.big);
    case ProgramKind::kQuadratic:
        return SolveQuadraticProgram(p.A, p.s, p.b, p.c, p.C, p.x, p.vector, p.m, p.n, p.epsilon);
    default:
        return SolveIntegerLP(p.A, p.s, p.b, p.c, p.mask, p.x, p.vector, p.m, p.n, p.epsilon, p.big,
                              kind == ProgramKind::kBinary);
    }
}

// Arguments: A, s, b, then c (linear) or p and C (quadratic), the mask (integer), vector,
// epsilon and, but for the quadratic kind, the big coefficient.
void RunProgram(CEvalContext& ctx, ProgramKind kind) {
    const bool quadratic = kind == ProgramKind::kQuadratic;
    const bool integer = kind == ProgramKind::kInteger || kind == ProgramKind::kBinary;
    const uint16_t count = integer ? 8 : 7;
    if (!CheckArgumentCount(ctx, count, count)) return;
    ProgramData p;
    uint16_t i = count;
    FormulaError error = 0;
    if (!quadratic) error = OptionalNumber(ctx, Argument(ctx, --i), p.big, 0, DBL_MAX);
    error = MergeError(error, OptionalNumber(ctx, Argument(ctx, --i), p.epsilon, 0, DBL_MAX));
    if (p.epsilon == 0) p.epsilon = kLpDefaultEpsilon;
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, --i), p.vector, 0, INT32_MAX));
    CMatrixArg a(ctx), s(ctx), b(ctx), c(ctx), C(ctx), mask(ctx);
    if (integer) {
        // An omitted mask leaves every variable continuous.
        FormulaToken& slot = Argument(ctx, --i);
        error = MergeError(error, IsOmitted(slot) ? slot.error : mask.Take(slot));
    }
    if (quadratic) error = MergeError(error, C.Take(Argument(ctx, --i)));
    error = MergeError(error, c.Take(Argument(ctx, --i)));
    error = MergeError(error, b.Take(Argument(ctx, --i)));
    error = MergeError(error, s.Take(Argument(ctx, --i)));
    error = MergeError(error, a.Take(Argument(ctx, --i)));
    if (error) return FailCall(ctx, error);
    p.m = int32_t(a.Rows());
    p.n = int32_t(a.Columns());
    uint32_t m = a.Rows(), n = a.Columns();
    if (s.Rows() != m || s.Columns() != 1 || b.Rows() != m || b.Columns() != 1 || c.Rows() != n ||
        c.Columns() != 1 || (quadratic && (C.Rows() != n || C.Columns() != n)) ||
        (mask.Taken() && (mask.Rows() != n || mask.Columns() != 1)))
        return FailCall(ctx, kErrValue);
    error =
        ReadProgram(ctx, kind, a, s, b, c, quadratic ? &C : nullptr, integer ? &mask : nullptr, p);
    if (error) return FailCall(ctx, error);
    const bool count0 = p.vector == 0;
    if ((error = SolverError(Solve(kind, p))) != 0) return FailCall(ctx, error);
    if (count0) {
        ReleaseArguments(ctx);
        return ReturnNumber(ctx, p.vector);
    }
    ReturnMatrix(ctx, p.x, n, 1);
}

} // namespace

void LProgBuiltin(CEvalContext& ctx) {
    RunProgram(ctx, ProgramKind::kLinear);
}

void LProgIntBuiltin(CEvalContext& ctx) {
    RunProgram(ctx, ProgramKind::kInteger);
}

void LProgBinBuiltin(CEvalContext& ctx) {
    RunProgram(ctx, ProgramKind::kBinary);
}

void QProgBuiltin(CEvalContext& ctx) {
    RunProgram(ctx, ProgramKind::kQuadratic);
}

} // namespace vl
