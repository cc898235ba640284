// MTXCHL, MTXGAUSS, MTXFWSUBST and MTXBKSUBST: Cholesky, Gaussian elimination and the
// triangular solves on range and array arguments.
#include "functions/numeric/matrixargs.h"
#include "functions/numeric/numericbuiltins.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vl {

namespace {

// R = B - A X over n rows and l columns.
void Residual(const Matrix& A, const Matrix& X, const Matrix& B, Matrix& R, int32_t n, int32_t l) {
    MatrixMultiply(A, X, R, n, n, l);
    for (int32_t i = 1; i <= n; ++i)
        for (int32_t j = 1; j <= l; ++j)
            MatrixElement(R, i, j) = MatrixElement(B, i, j) - MatrixElement(R, i, j);
}

// X += D; false when nothing changed, so that further passes would change nothing either.
bool AddCorrection(Matrix& X, const Matrix& D, int32_t n, int32_t l) {
    bool changed = false;
    for (int32_t i = 1; i <= n; ++i) {
        for (int32_t j = 1; j <= l; ++j) {
            double before = MatrixElement(X, i, j);
            MatrixElement(X, i, j) += MatrixElement(D, i, j);
            changed = changed || MatrixElement(X, i, j) != before;
        }
    }
    return changed;
}

FormulaError Copy(const Matrix& from, Matrix& to) {
    FormulaError error = SizeMatrix(to, from.rows, from.cols);
    if (!error)
        for (std::size_t i = 0; i < std::size_t(from.rows) * from.cols; ++i)
            to.data[i] = from.data[i];
    return error;
}

// Iterative refinement of the solution X of A X = B: each pass solves for the residual
// and adds the correction. It ends when a pass leaves the residual no smaller than the one
// before, keeping the better solution, however many passes were asked: once the correction
// only moves the last bits back and forth, further passes would gain nothing.
class CRefinement {
public:
    FormulaError Begin(const Matrix& A, const Matrix& B, int32_t n, int32_t l) {
        n_ = n;
        l_ = l;
        FormulaError error = Copy(A, a_);
        error = MergeError(error, Copy(B, b_));
        error = MergeError(error, SizeMatrix(r_, uint32_t(n), uint32_t(l)));
        return error;
    }
    const Matrix& A() const { return a_; }
    // The residual of X in R; false when it is no smaller than the last one, X then set
    // back to the solution before the last correction.
    bool Residual(Matrix& X, Matrix& R) {
        vl::Residual(a_, X, b_, R, n_, l_);
        double size = 0;
        for (std::size_t i = 0; i < std::size_t(n_) * l_; ++i)
            size = std::max(size, std::fabs(R.data[i]));
        if (passes_++ > 0 && !(size < last_)) {
            for (std::size_t i = 0; i < std::size_t(n_) * l_; ++i) X.data[i] = r_.data[i];
            return false;
        }
        last_ = size;
        for (std::size_t i = 0; i < std::size_t(n_) * l_; ++i) r_.data[i] = X.data[i];
        return true;
    }

private:
    Matrix a_, b_, r_; // r_ keeps the solution before the last correction
    int32_t n_ = 0, l_ = 0;
    int32_t passes_ = 0;
    double last_ = 0;
};

// The square A of the call (argument 0) and, when used, B (argument 1) with n rows.
struct SquareSystem {
    Matrix A, B;
    int32_t n = 0, l = 0;
};

// Reads the scalars first (their readers are given), then B and A. #VALUE! when A is not
// square or a used B has another row count.
FormulaError ReadSquareSystem(CEvalContext& ctx, SquareSystem& s, bool usesB, FormulaError error) {
    CMatrixArg a(ctx), b(ctx);
    if (usesB)
        error = MergeError(error, b.Take(Argument(ctx, 1)));
    else
        b.Drop(Argument(ctx, 1));
    error = MergeError(error, a.Take(Argument(ctx, 0)));
    if (error) return error;
    if (a.Rows() != a.Columns() || (usesB && b.Rows() != a.Rows())) return kErrValue;
    s.n = int32_t(a.Rows());
    s.l = usesB ? int32_t(b.Columns()) : 0;
    error = usesB ? b.Read(ctx, s.B) : 0;
    return MergeError(error, a.Read(ctx, s.A));
}

void CholeskySolution(CEvalContext& ctx, SquareSystem& s, int32_t iterations) {
    Matrix U, L, R;
    int32_t n = s.n, l = s.l;
    CRefinement refinement;
    FormulaError error = refinement.Begin(s.A, s.B, n, l);
    error = MergeError(error, SizeMatrix(U, n, n));
    error = MergeError(error, SizeMatrix(L, n, n));
    error = MergeError(error, SizeMatrix(R, n, l));
    if (error) return FailCall(ctx, error);
    CholeskyFactor(s.A, U, n);
    MatrixTransposeCopy(U, L, n, n);
    ForwardSubstitute(L, s.B, n, l);
    BackSubstitute(U, s.B, n, l);
    for (int32_t pass = 1; pass < iterations; ++pass) {
        if (!refinement.Residual(s.B, R)) break;
        ForwardSubstitute(L, R, n, l);
        BackSubstitute(U, R, n, l);
        if (!AddCorrection(s.B, R, n, l)) break;
    }
    ReturnMatrix(ctx, s.B, uint32_t(n), uint32_t(l));
}

void CholeskyOther(CEvalContext& ctx, SquareSystem& s, int32_t result) {
    int32_t n = s.n;
    Matrix U, T;
    FormulaError error = SizeMatrix(U, n, n);
    if (!error && result == 3) error = SizeMatrix(T, n, n);
    if (error) return FailCall(ctx, error);
    if (result == 4) {
        CholeskyInvert(s.A, U, n);
        return ReturnMatrix(ctx, s.A, uint32_t(n), uint32_t(n));
    }
    CholeskyFactor(s.A, U, n);
    if (result == 2) return ReturnMatrix(ctx, U, uint32_t(n), uint32_t(n));
    if (result == 3) {
        MatrixTransposeCopy(U, T, n, n);
        return ReturnMatrix(ctx, T, uint32_t(n), uint32_t(n));
    }
    double determinant = 1;
    for (int32_t i = 1; i <= n; ++i) determinant *= MatrixElement(U, i, i) * MatrixElement(U, i, i);
    ReleaseArguments(ctx);
    ReturnNumber(ctx, determinant);
}

void GaussSolution(CEvalContext& ctx, SquareSystem& s, int32_t iterations, bool scaling) {
    int32_t n = s.n, l = s.l;
    Matrix scale, R;
    CRefinement refinement;
    FormulaError error = refinement.Begin(s.A, s.B, n, l);
    error = MergeError(error, SizeMatrix(scale, n, 1));
    error = MergeError(error, SizeMatrix(R, n, l));
    if (error) return FailCall(ctx, error);
    Matrix* scaled = scaling ? &scale : nullptr;
    uint8_t ok = 0;
    GaussSolve(s.A, s.B, scaled, nullptr, n, l, ok);
    if (!ok) return FailCall(ctx, kErrNull);
    for (int32_t pass = 1; pass < iterations; ++pass) {
        if (!refinement.Residual(s.B, R)) break;
        const Matrix& A0 = refinement.A();
        for (std::size_t i = 0; i < std::size_t(n) * n; ++i) s.A.data[i] = A0.data[i];
        GaussSolve(s.A, R, scaled, nullptr, n, l, ok);
        if (ok && !AddCorrection(s.B, R, n, l)) break;
    }
    ReturnMatrix(ctx, s.B, uint32_t(n), uint32_t(l));
}

// L, U, P, the inverse or the determinant from one elimination of A.
void GaussFactors(CEvalContext& ctx, SquareSystem& s, bool scaling, int32_t result) {
    int32_t n = s.n, nb = result == 5 ? n : 0;
    Matrix scale, out;
    FormulaError error = SizeMatrix(scale, n, 1);
    error = MergeError(error, SizeMatrix(out, n, n));
    if (result == 5) error = MergeError(error, SizeMatrix(s.B, n, n));
    if (error) return FailCall(ctx, error);
    if (result == 5) MatrixIdentity(s.B, n);
    std::vector<uint32_t> perm(std::size_t(n), 0);
    uint8_t ok = 0;
    GaussSolve(s.A, s.B, scaling ? &scale : nullptr, perm.data(), n, nb, ok);
    if (!ok) return FailCall(ctx, kErrNull);
    if (result == 5) return ReturnMatrix(ctx, s.B, uint32_t(n), uint32_t(n));
    if (result == 6) {
        double determinant = PermutationSign(perm.data(), n);
        for (int32_t i = 1; i <= n; ++i) determinant *= MatrixElement(s.A, i, i);
        ReleaseArguments(ctx);
        return ReturnNumber(ctx, determinant);
    }
    for (int32_t i = 1; i <= n; ++i) {
        for (int32_t j = 1; j <= n; ++j) {
            double& e = MatrixElement(out, i, j);
            if (result == 2)
                e = i > j ? MatrixElement(s.A, i, j) : i == j ? 1.0 : 0.0;
            else if (result == 3)
                e = i <= j ? MatrixElement(s.A, i, j) : 0.0;
            else
                e = perm[std::size_t(i - 1)] == uint32_t(j) ? 1.0 : 0.0;
        }
    }
    ReturnMatrix(ctx, out, uint32_t(n), uint32_t(n));
}

void Substitute(CEvalContext& ctx, bool forward) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    SquareSystem s;
    FormulaError error = ReadSquareSystem(ctx, s, true, 0);
    if (error) return FailCall(ctx, error);
    if (forward)
        ForwardSubstitute(s.A, s.B, s.n, s.l);
    else
        BackSubstitute(s.A, s.B, s.n, s.l);
    ReturnMatrix(ctx, s.B, uint32_t(s.n), uint32_t(s.l));
}

} // namespace

void MtxChlBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 4, 4)) return;
    int32_t iterations = 1, result = 1;
    FormulaError error = OptionalInt(ctx, Argument(ctx, 3), result, 1, 5);
    error = MergeError(error, OptionalInt(ctx, Argument(ctx, 2), iterations, 1, INT32_MAX));
    SquareSystem s;
    error = ReadSquareSystem(ctx, s, result == 1, error);
    if (error) return FailCall(ctx, error);
    if (result == 1) return CholeskySolution(ctx, s, iterations);
    CholeskyOther(ctx, s, result);
}

void MtxGaussBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 5, 5)) return;
    int32_t iterations = 1, scaling = 1, result = 1;
    FormulaError error = OptionalInt(ctx, Argument(ctx, 4), result, 1, 6);
    error = MergeError(error, OptionalInt(ctx, Argument(ctx, 3), scaling, 0, 1));
    error = MergeError(error, OptionalInt(ctx, Argument(ctx, 2), iterations, 1, INT32_MAX));
    SquareSystem s;
    error = ReadSquareSystem(ctx, s, result == 1, error);
    if (error) return FailCall(ctx, error);
    if (result == 1) return GaussSolution(ctx, s, iterations, scaling == 1);
    GaussFactors(ctx, s, scaling == 1, result);
}

void MtxFwSubstBuiltin(CEvalContext& ctx) {
    Substitute(ctx, true);
}

void MtxBkSubstBuiltin(CEvalContext& ctx) {
    Substitute(ctx, false);
}

} // namespace vl
