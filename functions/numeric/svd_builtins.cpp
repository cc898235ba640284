// MTXSVD, MTXLSW and MTXLSC: least squares and the singular value decomposition.
#include "functions/numeric/matrixargs.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/svd.h"

#include <algorithm>

namespace vl {

namespace {

// Residual sums read from element 1 (element 0 unused, as the decomposition writes them).
struct RestVector {
    Matrix m;
    FormulaError Size(uint32_t n) { return SizeMatrix(m, uint64_t(n) + 1, 1); }
    double* Base() { return m.data.get(); }
};

void SvdSolution(CEvalContext& ctx, Matrix& A, Matrix& B, int32_t m, int32_t n, int32_t l,
                 double ratio, int32_t result) {
    Matrix X;
    RestVector rest;
    FormulaError error = SizeMatrix(X, n, l);
    error = MergeError(error, rest.Size(uint32_t(l)));
    if (error) return FailCall(ctx, error);
    int32_t rank = 0;
    uint8_t converged = 0;
    if (!SolveLeastSquares(A, B, X, rest.Base(), m, n, l, rank, converged, ratio))
        return FailCall(ctx, kErrMemory);
    if (!converged) return FailCall(ctx, kErrNum);
    if (result == 1) return ReturnMatrix(ctx, X, uint32_t(n), uint32_t(l));
    Matrix column;
    if ((error = SizeMatrix(column, l, 1)) != 0) return FailCall(ctx, error);
    for (int32_t j = 1; j <= l; ++j) VectorAt(column, j) = rest.Base()[j];
    ReturnMatrix(ctx, column, uint32_t(l), 1);
}

void SvdFactors(CEvalContext& ctx, Matrix& A, int32_t m, int32_t n, double ratio, int32_t result) {
    Matrix Pinv, U, S, V;
    FormulaError error = SizeMatrix(Pinv, n, m);
    error = MergeError(error, SizeMatrix(U, m, m));
    error = MergeError(error, SizeMatrix(S, m, n));
    error = MergeError(error, SizeMatrix(V, n, n));
    if (error) return FailCall(ctx, error);
    int32_t rank = 0;
    uint8_t converged = 0;
    if (!SvdDecomposeMatrix(A, Pinv, U, S, V, m, n, rank, converged, ratio))
        return FailCall(ctx, kErrMemory);
    if (!converged) return FailCall(ctx, kErrNum);
    switch (result) {
    case 2:
        ReleaseArguments(ctx);
        return ReturnNumber(ctx, rank);
    case 4:
        return ReturnMatrix(ctx, Pinv, uint32_t(n), uint32_t(m));
    case 5:
        return ReturnMatrix(ctx, U, uint32_t(m), uint32_t(m));
    case 6:
        return ReturnMatrix(ctx, S, uint32_t(m), uint32_t(n));
    default:
        return ReturnMatrix(ctx, V, uint32_t(n), uint32_t(n));
    }
}

// The vector x (n x 1) or the rest value, by `result`.
void ReturnSolution(CEvalContext& ctx, const Matrix& x, int32_t n, double rest, int32_t result) {
    if (result == 1) return ReturnMatrix(ctx, x, uint32_t(n), 1);
    ReleaseArguments(ctx);
    ReturnNumber(ctx, rest);
}

// `result` of MTXLSW and MTXLSC: any integer, only 1 and 2 answered.
FormulaError ReadSelector(CEvalContext& ctx, FormulaToken& slot, int32_t& result) {
    FormulaError error = OptionalInt(ctx, slot, result, INT32_MIN, INT32_MAX);
    return error ? error : result == 1 || result == 2 ? 0 : kErrNum;
}

} // namespace

void MtxSvdBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 4, 4)) return;
    int32_t result = 1;
    double ratio = 0;
    FormulaError error = OptionalInt(ctx, Argument(ctx, 3), result, 1, 7);
    error = MergeError(error, OptionalNumber(ctx, Argument(ctx, 2), ratio, 0, DBL_MAX));
    bool usesB = result == 1 || result == 3;
    CMatrixArg a(ctx), b(ctx);
    if (usesB)
        error = MergeError(error, b.Take(Argument(ctx, 1)));
    else
        b.Drop(Argument(ctx, 1));
    error = MergeError(error, a.Take(Argument(ctx, 0)));
    if (error) return FailCall(ctx, error);
    uint32_t m = a.Rows(), n = a.Columns();
    if (m < n || (usesB && b.Rows() != m)) return FailCall(ctx, kErrValue);
    Matrix A, B;
    error = a.Read(ctx, A);
    if (usesB) error = MergeError(error, b.Read(ctx, B));
    if (error) return FailCall(ctx, error);
    if (usesB)
        return SvdSolution(ctx, A, B, int32_t(m), int32_t(n), int32_t(b.Columns()), ratio, result);
    SvdFactors(ctx, A, int32_t(m), int32_t(n), ratio, result);
}

void MtxLswBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 5, 5)) return;
    int32_t result = 1;
    double ratio = 0;
    FormulaError error = ReadSelector(ctx, Argument(ctx, 4), result);
    error = MergeError(error, OptionalNumber(ctx, Argument(ctx, 3), ratio, 0, DBL_MAX));
    CMatrixArg a(ctx), b(ctx), g(ctx);
    error = MergeError(error, g.Take(Argument(ctx, 2)));
    error = MergeError(error, b.Take(Argument(ctx, 1)));
    error = MergeError(error, a.Take(Argument(ctx, 0)));
    if (error) return FailCall(ctx, error);
    uint32_t m = a.Rows(), n = a.Columns();
    if (m < n || b.Rows() != m || b.Columns() != 1 || g.Rows() != m || g.Columns() != m)
        return FailCall(ctx, kErrValue);
    Matrix A, B, G, U, UA, Ub, x;
    RestVector rest;
    error = a.Read(ctx, A);
    error = MergeError(error, b.Read(ctx, B));
    error = MergeError(error, g.Read(ctx, G));
    error = MergeError(error, SizeMatrix(U, m, m));
    error = MergeError(error, SizeMatrix(UA, m, n));
    error = MergeError(error, SizeMatrix(Ub, m, 1));
    error = MergeError(error, SizeMatrix(x, n, 1));
    error = MergeError(error, rest.Size(1));
    if (error) return FailCall(ctx, error);
    int32_t rows = int32_t(m), cols = int32_t(n);
    CholeskyFactor(G, U, rows);
    MatrixMultiply(U, A, UA, rows, rows, cols);
    MatrixMultiply(U, B, Ub, rows, rows, 1);
    int32_t rank = 0;
    uint8_t converged = 0;
    if (!SolveLeastSquares(UA, Ub, x, rest.Base(), rows, cols, 1, rank, converged, ratio))
        return FailCall(ctx, kErrMemory);
    if (!converged) return FailCall(ctx, kErrNum);
    ReturnSolution(ctx, x, cols, rest.Base()[1], result);
}

void MtxLscBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 6, 6)) return;
    int32_t result = 1;
    double ratio = 0;
    FormulaError error = ReadSelector(ctx, Argument(ctx, 5), result);
    error = MergeError(error, OptionalNumber(ctx, Argument(ctx, 4), ratio, 0, DBL_MAX));
    CMatrixArg a(ctx), b(ctx), e(ctx), d(ctx);
    error = MergeError(error, d.Take(Argument(ctx, 3)));
    error = MergeError(error, e.Take(Argument(ctx, 2)));
    error = MergeError(error, b.Take(Argument(ctx, 1)));
    error = MergeError(error, a.Take(Argument(ctx, 0)));
    if (error) return FailCall(ctx, error);
    uint32_t m = a.Rows(), n = a.Columns(), l = e.Rows();
    if (m < n || b.Rows() != m || b.Columns() != 1 || l >= n || e.Columns() != n || d.Rows() != l ||
        d.Columns() != 1)
        return FailCall(ctx, kErrValue);
    Matrix A, B, E, D, x;
    RestVector rest;
    error = a.Read(ctx, A);
    error = MergeError(error, b.Read(ctx, B));
    error = MergeError(error, e.Read(ctx, E));
    error = MergeError(error, d.Read(ctx, D));
    error = MergeError(error, SizeMatrix(x, n, 1));
    error = MergeError(error, rest.Size(1));
    if (error) return FailCall(ctx, error);
    uint8_t converged = 0;
    if (!SolveConstrainedLS(A, B, E, D, x, rest.Base(), int32_t(m), int32_t(n), int32_t(l),
                            converged, ratio))
        return FailCall(ctx, kErrMemory);
    if (!converged) return FailCall(ctx, kErrNum);
    ReturnSolution(ctx, x, int32_t(n), rest.Base()[1], result);
}

} // namespace vl
