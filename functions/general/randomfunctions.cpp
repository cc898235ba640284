#include "functions/general/randomfunctions.h"

#include "formula/operands.h"
#include "functions/numeric/matrixargs.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/random.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vl {

namespace {

// One number of the shared series; false when its block cannot be had. An evaluation that
// only learns what a formula reads takes none of the series.
bool DrawUniform(const CEvalContext& ctx, double& u) {
    if (ctx.readOnly) {
        u = 0.5;
        return true;
    }
    Matrix block;
    if (!MatrixResize(block, 1, 1, 0)) return false;
    FillUniformRandom(block, 1, 0, 0, 0, 0);
    u = VectorAt(block, 1);
    return true;
}

void Rand(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 0, 0)) return;
    double u = 0;
    if (!DrawUniform(ctx, u)) return ReturnError(ctx, kErrMemory);
    ReturnNumber(ctx, u);
}

void RandBetween(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2) || ApplyOverArrays(ctx)) return;
    double x1 = 0, x2 = 0;
    FormulaError error = GetNumberArg(ctx, Argument(ctx, 1), x2);
    error = MergeError(error, GetNumberArg(ctx, Argument(ctx, 0), x1));
    if (error) return ReturnError(ctx, error);
    double u = 0;
    if (!DrawUniform(ctx, u)) return ReturnError(ctx, kErrMemory);
    // A whole number from the bottom to the top, each bound rounded away from zero to a
    // whole number; a bottom above the top has none.
    auto away = [](double x) { return x < 0 ? std::floor(x) : std::ceil(x); };
    const double lo = away(x1), hi = away(x2);
    if (lo > hi) return ReturnError(ctx, kErrNum);
    ReturnNumber(ctx, std::min(hi, lo + std::floor((hi - lo + 1) * u)));
}

// The square argument factored in place; singular tells of a zero pivot. B carries nb
// columns.
FormulaError Factor(CEvalContext& ctx, Matrix& A, Matrix& B, std::vector<uint32_t>& perm,
                    bool identity, int32_t& n, bool& singular) {
    CMatrixArg arg(ctx);
    FormulaError error = arg.Take(Argument(ctx, 0));
    if (error) return error;
    if (arg.Rows() != arg.Columns()) return kErrValue;
    n = int32_t(arg.Columns());
    error = arg.Read(ctx, A);
    if (identity) error = MergeError(error, SizeMatrix(B, uint32_t(n), uint32_t(n)));
    if (error) return error;
    if (identity) MatrixIdentity(B, n);
    perm.assign(std::size_t(n), 0);
    uint8_t ok = 0;
    GaussSolve(A, B, nullptr, perm.data(), n, identity ? n : 0, ok);
    singular = !ok;
    return 0;
}

void MDeterm(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1)) return;
    Matrix A, B;
    std::vector<uint32_t> perm;
    int32_t n = 0;
    bool singular = false;
    FormulaError error = Factor(ctx, A, B, perm, false, n, singular);
    if (error) return FailCall(ctx, error);
    // A zero pivot leaves a column without a pivot: the determinant is exactly 0.
    double determinant = singular ? 0 : PermutationSign(perm.data(), n);
    for (int32_t i = 1; i <= n && !singular; ++i) determinant *= MatrixElement(A, i, i);
    ReleaseArguments(ctx);
    ReturnNumber(ctx, determinant);
}

void MInverse(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1)) return;
    Matrix A, B;
    std::vector<uint32_t> perm;
    int32_t n = 0;
    bool singular = false;
    FormulaError error = Factor(ctx, A, B, perm, true, n, singular);
    if (error) return FailCall(ctx, error);
    if (singular) return FailCall(ctx, kErrNull);
    ReturnMatrix(ctx, B, uint32_t(n), uint32_t(n));
}

// The permutation of the elimination lives in a standard container.
template <BuiltinImpl F> void Guarded(CEvalContext& ctx) {
    GuardStatMemory(ctx, [&] { F(ctx); });
}

} // namespace

bool BindRandomMatrixFunctions() {
    bool all = BindBuiltinFunction("RAND", Rand);
    all = BindBuiltinFunction("RANDBETWEEN", RandBetween) && all;
    all = BindBuiltinFunction("MDETERM", Guarded<MDeterm>) && all;
    all = BindBuiltinFunction("MINVERSE", Guarded<MInverse>) && all;
    return BindBuiltinFunction("MMULT", MtxMltBuiltin) && all;
}

} // namespace vl
