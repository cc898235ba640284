// POLYREG, POLYPOINTS and TIMESERIES: orthogonal-polynomial fits and the moving local
// polynomial of a series, with confidence limits.
#include "functions/numeric/matrixargs.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/polyreg.h"

namespace vl {

namespace {

// Rows of a two-column result: a value and its confidence limit.
void ReturnPairs(CEvalContext& ctx, const Matrix& values, const Matrix& limits, uint32_t rows) {
    Matrix out;
    FormulaError error = SizeMatrix(out, rows, 2);
    if (error) return FailCall(ctx, error);
    for (uint32_t i = 1; i <= rows; ++i) {
        MatrixElement(out, int32_t(i), 1) = VectorAt(values, int32_t(i));
        MatrixElement(out, int32_t(i), 2) = VectorAt(limits, int32_t(i));
    }
    ReturnMatrix(ctx, out, rows, 2);
}

} // namespace

void PolyRegBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 5, 5)) return;
    int32_t type = 1, r = 1;
    FormulaError error = OptionalInt(ctx, Argument(ctx, 4), type, 1, 3);
    error = MergeError(error, OptionalInt(ctx, Argument(ctx, 3), r, 1, INT32_MAX));
    CMatrixArg t(ctx), y(ctx), sy(ctx);
    error = MergeError(error, sy.Take(Argument(ctx, 2)));
    error = MergeError(error, y.Take(Argument(ctx, 1)));
    error = MergeError(error, t.Take(Argument(ctx, 0)));
    if (error) return FailCall(ctx, error);
    uint32_t N = t.Rows();
    if (N < uint32_t(r) || t.Columns() != 1 || y.Columns() != 1 || sy.Columns() != 1 ||
        y.Rows() != N || sy.Rows() != N)
        return FailCall(ctx, kErrValue);
    Matrix T, Y, SY, x, B, F, chi2;
    error = t.Read(ctx, T);
    error = MergeError(error, y.Read(ctx, Y));
    error = MergeError(error, sy.Read(ctx, SY));
    error = MergeError(error, SizeMatrix(x, uint32_t(r), 1));
    error = MergeError(error, SizeMatrix(B, uint32_t(r), uint32_t(r)));
    error = MergeError(error, SizeMatrix(F, N, uint32_t(r)));
    error = MergeError(error, SizeMatrix(chi2, uint32_t(r), 1));
    if (error) return FailCall(ctx, error);
    if (!PolyRegFit(T, Y, SY, int32_t(N), r, x, B, F, chi2)) return FailCall(ctx, kErrMemory);
    if (type == 2) return ReturnMatrix(ctx, B, uint32_t(r), uint32_t(r), true);
    ReturnMatrix(ctx, type == 1 ? x : chi2, uint32_t(r), 1, true);
}

void PolyPointsBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 7, 7)) return;
    double p = 0;
    int32_t r = 0, n = 0;
    FormulaError error = RequiredNumber(ctx, Argument(ctx, 6), p, 1e-15, 1);
    CMatrixArg x(ctx), B(ctx), chi2(ctx), t(ctx);
    error = MergeError(error, t.Take(Argument(ctx, 5)));
    error = MergeError(error, RequiredInt(ctx, Argument(ctx, 4), r, 1, INT32_MAX));
    error = MergeError(error, RequiredInt(ctx, Argument(ctx, 3), n, 1, INT32_MAX));
    error = MergeError(error, chi2.Take(Argument(ctx, 2)));
    error = MergeError(error, B.Take(Argument(ctx, 1)));
    error = MergeError(error, x.Take(Argument(ctx, 0)));
    if (error) return FailCall(ctx, error);
    uint32_t R = x.Rows();
    if (x.Columns() != 1 || chi2.Columns() != 1 || t.Columns() != 1 || B.Rows() != R ||
        B.Columns() != R || chi2.Rows() != R || uint32_t(r) > R || uint32_t(n) < R)
        return FailCall(ctx, kErrValue);
    Matrix X, BM, C, T, values, limits;
    uint32_t points = t.Rows();
    error = x.Read(ctx, X);
    error = MergeError(error, B.Read(ctx, BM));
    error = MergeError(error, chi2.Read(ctx, C));
    error = MergeError(error, t.Read(ctx, T));
    error = MergeError(error, SizeMatrix(values, points, 1));
    error = MergeError(error, SizeMatrix(limits, points, 1));
    if (error) return FailCall(ctx, error);
    for (uint32_t i = 1; i <= points; ++i)
        PolyPointsQuantile(X, BM, VectorAt(T, int32_t(i)), -VectorAt(C, r), p, r, n - r,
                           VectorAt(values, int32_t(i)), VectorAt(limits, int32_t(i)));
    ReturnPairs(ctx, values, limits, points);
}

void TimeSeriesBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 4, 4)) return;
    double p = 0;
    int32_t k = 0, l = 0;
    FormulaError error = RequiredNumber(ctx, Argument(ctx, 3), p, 1e-15, 1);
    error = MergeError(error, RequiredInt(ctx, Argument(ctx, 2), k, 1, INT32_MAX));
    error = MergeError(error, RequiredInt(ctx, Argument(ctx, 1), l, 1, INT32_MAX));
    CMatrixArg y(ctx);
    error = MergeError(error, y.Take(Argument(ctx, 0)));
    if (error) return FailCall(ctx, error);
    const int64_t window = 2 * int64_t(k) + 1;
    const uint32_t N = y.Rows();
    if (y.Columns() != 1 || l >= window || N < window) return FailCall(ctx, kErrValue);
    const uint32_t rows = N + 2 * uint32_t(k);
    Matrix Y, trend, eta;
    error = y.Read(ctx, Y);
    error = MergeError(error, SizeMatrix(trend, rows, 1));
    error = MergeError(error, SizeMatrix(eta, rows, 1));
    if (error) return FailCall(ctx, error);
    if (!TimeSeriesAnalysis(Y, int32_t(N), k, l, p, trend, eta)) return FailCall(ctx, kErrMemory);
    ReturnPairs(ctx, trend, eta, rows);
}

} // namespace vl
