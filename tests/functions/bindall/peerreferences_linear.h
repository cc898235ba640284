#pragma once
// Dense linear algebra in long double for the references (the matrix functions, the solvers'
// vertices, the series' normal equations): written here from the textbook steps, apart from
// the engine's double routines.

#include <cstddef>
#include <vector>

namespace vl::test::reference::linear {

using Real = long double;

struct Mat {
    std::size_t rows = 0, cols = 0;
    std::vector<Real> v;
    Mat() = default;
    Mat(std::size_t r, std::size_t c) : rows(r), cols(c), v(r * c, 0) {}
    Real& operator()(std::size_t i, std::size_t j) { return v[i * cols + j]; }
    Real operator()(std::size_t i, std::size_t j) const { return v[i * cols + j]; }
};

Mat Multiply(const Mat& a, const Mat& b);
Mat Transpose(const Mat& a);
Mat Identity(std::size_t n);

// x of L x = B from the first row down, of U x = B from the last row up; only the triangle
// is read, a zero on the diagonal gives infinities or NaNs.
Mat ForwardSolve(const Mat& L, const Mat& B);
Mat BackSolve(const Mat& U, const Mat& B);

// U with U^T U = A from A's upper triangle, the root of each diagonal difference's
// magnitude taken (so any A factors).
Mat AbsCholesky(const Mat& A);

// Elimination with partial pivoting (rows scaled by their largest magnitude when asked; the
// earlier row kept among equals), the factors left in place: multipliers below the diagonal.
// A pivot exactly 0 is singular, and with a tolerance one at most tolerance x A's largest
// magnitude (any pivot of a zero A).
struct Elimination {
    Mat lu;
    std::vector<std::size_t> order; // the rows of A in their new order
    int sign = 1;
    bool singular = false;
};
Elimination Eliminate(const Mat& A, bool scaling, Real tolerance = 0);
Mat SolveEliminated(const Elimination& e, const Mat& B);
// The square system m x = rhs by elimination, pivots within 1e-15 of the largest element
// singular; false then.
bool SolveSquare(const std::vector<std::vector<Real>>& m, const std::vector<Real>& rhs,
                 std::vector<Real>& x);

// The singular value decomposition by one-sided Jacobi rotations: A (m x n, m >= n) =
// U diag(s) V^T with U m x n, s descending.
struct Svd {
    Mat U, V;
    std::vector<Real> s;
};
Svd Decompose(const Mat& A);
// The least-squares solution of smallest norm, singular values below ratio x the largest
// (ratio at least 1e-15) taken as 0; `rank` counts the others.
Mat PseudoInverse(const Svd& d, Real ratio, int& rank);

} // namespace vl::test::reference::linear
