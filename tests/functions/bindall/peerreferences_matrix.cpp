// References of the solving and decomposing matrix functions (MTXFWSUBST, MTXBKSUBST,
// MTXCHL, MTXGAUSS, MTXSVD, MTXLSW, MTXLSC): the arguments read as the functions read them,
// their errors ranked, then the linear algebra of peerreferences_linear.cpp. Where a result
// is not unique (a singular vector's sign) both signs stand.
#include "tests/functions/bindall/peermodelsupport.h"
#include "tests/functions/bindall/peerreferences.h"
#include "tests/functions/bindall/peerreferences_linear.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <set>
#include <string>

namespace vl::test::reference {

using namespace peermodel;
using namespace linear;

namespace {

Answer Element(Real value) {
    double d = double(value);
    if (!std::isfinite(d) || (d != 0 && std::fabs(d) < DBL_MIN)) return Answer{'e', 0, "#NUM!"};
    return Answer{'n', d, ""};
}

Grid FromMatrix(const Mat& m) {
    Grid g;
    g.rows = m.rows;
    g.columns = m.cols;
    for (Real x : m.v) {
        g.cells.push_back(Element(x));
        if (std::isfinite(double(x))) g.scale = std::max(g.scale, std::fabs(double(x)));
    }
    return g;
}

// An area or array read as a matrix: numbers and numeric texts at their places, every other
// cell 0. False for a value that is no area.
bool ReadMatrix(const Argument& a, Mat& m) {
    Area area;
    std::string text = a.text;
    while (text.size() > 2 && text.front() == '(' && text.back() == ')')
        text = text.substr(1, text.size() - 2);
    if (!IsAreaText(a.text, Getter::kMatrix) && !ReadArea(text, area)) return false;
    std::size_t rows = 0, columns = 0;
    ShapeOf(a, rows, columns);
    if (rows * columns != a.values.size() || rows == 0) return false;
    m = Mat(rows, columns);
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        double x = 0;
        if (ReadNumber(a.values[i], x)) m.v[i] = x;
    }
    return true;
}

// The errors of the scalar arguments and the areas, the largest first; the areas' shapes.
struct Reading {
    const ModelCase& m;
    int error = 0;
    std::vector<Mat> areas;

    explicit Reading(const ModelCase& call) : m(call) {}
    double Whole(std::size_t k, double fallback, double low, double high) {
        double out = fallback;
        error = std::max(error, Take(ReadWhole(m.args[k], low, high, Getter::kMatrix), out));
        return out;
    }
    double Number(std::size_t k, double fallback, double low, double high) {
        Scalar s = ReadScalar(m.args[k], Getter::kMatrix);
        error = std::max(error, s.error);
        if (s.error || s.Default()) return fallback;
        if (!(s.x >= low && s.x <= high)) error = std::max(error, 5);
        return s.x;
    }
    // The areas at the positions given, unread ones left empty.
    void Areas(std::initializer_list<std::size_t> used) {
        areas.assign(m.args.size(), Mat());
        for (std::size_t k : used) {
            // A value that is no area: its own error, or #VALUE!.
            const Argument& a = m.args[k];
            int own = a.values.size() == 1 && a.values[0].kind == 'e' ? ErrorCode(a.values[0]) : 0;
            if (a.reversed) own = 6; // a range written from its far corner is #REF! itself
            if (a.reversed || !ReadMatrix(a, areas[k])) error = std::max(error, own ? own : 7);
        }
    }
};

Grid Substitution(Reading& c, bool forward) {
    c.Areas({0, 1});
    if (c.error) return ScalarGrid(ErrorOfCode(c.error));
    const Mat &T = c.areas[0], &B = c.areas[1];
    if (T.rows != T.cols || B.rows != T.rows) return ErrorGrid("#VALUE!");
    return FromMatrix(forward ? ForwardSolve(T, B) : BackSolve(T, B));
}

// The solution refined as often as asked: each pass solves the factored system for the
// residual; a pass that no longer moves x (or leaves the numbers) ends the refinement, and so
// does a residual no smaller than the last one, x then the one before the last correction.
template <class Solve> Mat Refined(const Mat& A, const Mat& B, Mat x, double passes, Solve solve) {
    double last = 0;
    Mat before = x;
    for (double pass = 1; pass < passes && pass < 1000; ++pass) {
        Mat r = Multiply(A, x);
        double size = 0;
        for (std::size_t i = 0; i < r.v.size(); ++i) {
            r.v[i] = B.v[i] - r.v[i];
            size = std::max(size, std::fabs(double(r.v[i])));
        }
        if (pass > 1 && !(size < last)) return before;
        last = size;
        before = x;
        Mat d = solve(r);
        bool moved = false;
        for (std::size_t i = 0; i < x.v.size(); ++i) {
            Real before = x.v[i];
            x.v[i] += d.v[i];
            moved = moved || (x.v[i] != before && std::isfinite(double(x.v[i])));
        }
        if (!moved) break;
    }
    return x;
}

// A square system's opening: the result asked (at `at`, 1 to `results`) and the refinement
// passes read, A (and B where result 1 solves for it) read and their shapes checked; false
// with the grid of the error.
bool OpenSquare(Reading& c, std::size_t at, double results, double& result, double& iterations,
                Grid& refused) {
    result = c.Whole(at, 1, 1, results);
    iterations = c.Whole(2, 1, 1, 2147483647.0);
    c.Areas(result == 1 ? std::initializer_list<std::size_t>{0, 1}
                        : std::initializer_list<std::size_t>{0});
    if (c.error) {
        refused = ScalarGrid(ErrorOfCode(c.error));
        return false;
    }
    const Mat &A = c.areas[0], &B = c.areas[1];
    if (A.rows == A.cols && (result != 1 || B.rows == A.rows)) return true;
    refused = ErrorGrid("#VALUE!");
    return false;
}

Grid Cholesky(Reading& c) {
    double result = 1, iterations = 1;
    Grid refused;
    if (!OpenSquare(c, 3, 5, result, iterations, refused)) return refused;
    const Mat &A = c.areas[0], &B = c.areas[1];
    Mat U = AbsCholesky(A), L = Transpose(U);
    auto solve = [&](const Mat& b) { return BackSolve(U, ForwardSolve(L, b)); };
    if (result == 1) return FromMatrix(Refined(A, B, solve(B), iterations, solve));
    if (result == 2) return FromMatrix(U);
    if (result == 3) return FromMatrix(L);
    if (result == 4) return FromMatrix(solve(Identity(A.rows)));
    Real determinant = 1;
    for (std::size_t i = 0; i < A.rows; ++i) determinant *= U(i, i) * U(i, i);
    return ScalarGrid(Element(determinant));
}

Grid Gauss(Reading& c) {
    double scaling = c.Whole(3, 1, 0, 1), result = 1, iterations = 1;
    Grid refused;
    if (!OpenSquare(c, 4, 6, result, iterations, refused)) return refused;
    const Mat &A = c.areas[0], &B = c.areas[1];
    Elimination e = Eliminate(A, scaling == 1);
    if (e.singular) return ErrorGrid("#NULL!");
    const std::size_t n = A.rows;
    auto solve = [&](const Mat& b) { return SolveEliminated(e, b); };
    if (result == 1) return FromMatrix(Refined(A, B, solve(B), iterations, solve));
    if (result == 5) return FromMatrix(solve(Identity(n)));
    if (result == 6) {
        Real determinant = e.sign;
        for (std::size_t i = 0; i < n; ++i) determinant *= e.lu(i, i);
        return ScalarGrid(Element(determinant));
    }
    Mat out(n, n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            out(i, j) = result == 2   ? (i > j    ? e.lu(i, j)
                                         : i == j ? 1
                                                  : 0)
                        : result == 3 ? (i <= j ? e.lu(i, j) : 0)
                                      : (e.order[i] == j ? 1 : 0);
    return FromMatrix(out);
}

// x = A+ B column by column, and each column's rest (A x - b)^T (A x - b).
struct LeastSquares {
    Mat x, rest;
    int rank = 0;
};

LeastSquares SolveLeast(const Mat& A, const Mat& B, Real ratio) {
    LeastSquares ls;
    Mat pinv = PseudoInverse(Decompose(A), ratio, ls.rank);
    ls.x = Multiply(pinv, B);
    Mat fit = Multiply(A, ls.x);
    ls.rest = Mat(B.cols, 1);
    for (std::size_t j = 0; j < B.cols; ++j)
        for (std::size_t i = 0; i < B.rows; ++i)
            ls.rest(j, 0) += (fit(i, j) - B(i, j)) * (fit(i, j) - B(i, j));
    return ls;
}

// A singular vector is one up to its sign: both stand at each place of U and V.
Grid BothSigns(const Mat& m) {
    Grid g = FromMatrix(m);
    for (std::size_t i = 0; i < m.v.size(); ++i) g.alternatives.push_back({Element(-m.v[i])});
    return g;
}

// U of m x m: the left singular vectors of the nonzero singular values, then any completion;
// only those of distinct nonzero values are pinned (up to their signs).
Grid LeftVectors(const Svd& d, std::size_t m) {
    Mat U(m, m);
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t k = 0; k < d.U.cols; ++k) U(i, k) = d.U(i, k);
    Grid g = BothSigns(U);
    for (std::size_t k = 0; k < m; ++k) {
        bool pinned = k < d.s.size() && d.s[k] > 0 &&
                      (k == 0 || d.s[k - 1] - d.s[k] > 1e-12L * d.s[0]) &&
                      (k + 1 >= d.s.size() || d.s[k] - d.s[k + 1] > 1e-12L * d.s[0]);
        if (!pinned)
            for (std::size_t i = 0; i < m; ++i) g.cells[i * m + k] = Answer{'x', 0, "any"};
    }
    return g;
}

Grid SingularValues(Reading& c) {
    double result = c.Whole(3, 1, 1, 7);
    Real ratio = c.Number(2, 0, 0, DBL_MAX);
    const bool usesB = result == 1 || result == 3;
    c.Areas(usesB ? std::initializer_list<std::size_t>{0, 1}
                  : std::initializer_list<std::size_t>{0});
    if (c.error) return ScalarGrid(ErrorOfCode(c.error));
    const Mat &A = c.areas[0], &B = c.areas[1];
    if (A.rows < A.cols || (usesB && B.rows != A.rows)) return ErrorGrid("#VALUE!");
    if (usesB) {
        LeastSquares ls = SolveLeast(A, B, ratio);
        return FromMatrix(result == 1 ? ls.x : ls.rest);
    }
    Svd d = Decompose(A);
    int rank = 0;
    Mat pinv = PseudoInverse(d, ratio, rank);
    if (result == 2) return ScalarGrid(Answer{'n', double(rank), ""});
    if (result == 4) return FromMatrix(pinv);
    if (result == 5) return LeftVectors(d, A.rows);
    if (result == 6) {
        Mat S(A.rows, A.cols);
        // The values cut off count as 0 here too.
        for (std::size_t k = 0; k < std::size_t(rank); ++k) S(k, k) = d.s[k];
        return FromMatrix(S);
    }
    Grid V = BothSigns(d.V);
    Grid pinned = LeftVectors(Svd{d.V, d.V, d.s}, A.cols);
    for (std::size_t i = 0; i < V.cells.size(); ++i)
        if (pinned.cells[i].kind == 'x') V.cells[i] = pinned.cells[i];
    return V;
}

// Weighted least squares: G's factor U (U^T U = G, the diagonal's magnitudes rooted) turns
// the problem into U A x ~ U b.
Grid Weighted(Reading& c) {
    double result = c.Whole(4, 1, -2147483647.0, 2147483647.0);
    if (result != 1 && result != 2) c.error = std::max(c.error, 5);
    Real ratio = c.Number(3, 0, 0, DBL_MAX);
    c.Areas({0, 1, 2});
    if (c.error) return ScalarGrid(ErrorOfCode(c.error));
    const Mat &A = c.areas[0], &b = c.areas[1], &G = c.areas[2];
    const std::size_t m = A.rows;
    if (m < A.cols || b.rows != m || b.cols != 1 || G.rows != m || G.cols != m)
        return ErrorGrid("#VALUE!");
    Mat U = AbsCholesky(G), UA = Multiply(U, A);
    // A zero in G's factor leaves numbers no decomposition converges on.
    for (Real x : UA.v)
        if (!std::isfinite(double(x))) return ErrorGrid("#NUM!");
    LeastSquares ls = SolveLeast(UA, Multiply(U, b), ratio);
    return result == 1 ? FromMatrix(ls.x) : ScalarGrid(Element(ls.rest(0, 0)));
}

// Least squares under E x = d: x = E+ d plus the null space of E (the right singular vectors
// past E's rank) times the least-squares solution for what remains.
Grid Constrained(Reading& c) {
    double result = c.Whole(5, 1, -2147483647.0, 2147483647.0);
    if (result != 1 && result != 2) c.error = std::max(c.error, 5);
    Real ratio = c.Number(4, 0, 0, DBL_MAX);
    c.Areas({0, 1, 2, 3});
    if (c.error) return ScalarGrid(ErrorOfCode(c.error));
    const Mat &A = c.areas[0], &b = c.areas[1], &E = c.areas[2], &d = c.areas[3];
    const std::size_t m = A.rows, n = A.cols, l = E.rows;
    if (m < n || b.rows != m || b.cols != 1 || l >= n || E.cols != n || d.rows != l || d.cols != 1)
        return ErrorGrid("#VALUE!");
    // E^T = Ue S Ve^T (n x l, n > l): E+ = ((E^T)+)^T gives the x0 of least norm, and the
    // projector away from Ue's columns onto E's null space. The ratio cuts A's values only.
    Svd e = Decompose(Transpose(E));
    int rank = 0;
    Mat x0 = Multiply(Transpose(PseudoInverse(e, 0, rank)), d);
    // Constraint rows that depend on each other (a zero one too) leave a zero pivot in the
    // triangle the constraints are eliminated by: its infinities are no finite result.
    if (std::size_t(rank) < l) {
        Mat nowhere(result == 1 ? n : 1, 1);
        for (Real& x : nowhere.v) x = NAN;
        return FromMatrix(nowhere);
    }
    Mat Z = Identity(n);
    for (std::size_t k = 0; k < l; ++k)
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j) Z(i, j) -= e.U(i, k) * e.U(j, k);
    Mat rest = Multiply(A, x0);
    for (std::size_t i = 0; i < m; ++i) rest(i, 0) = b(i, 0) - rest(i, 0);
    LeastSquares ls = SolveLeast(Multiply(A, Z), rest, ratio);
    Mat x = Multiply(Z, ls.x);
    for (std::size_t i = 0; i < n; ++i) x(i, 0) += x0(i, 0);
    if (result == 1) return FromMatrix(x);
    Mat fit = Multiply(A, x);
    Real sum = 0;
    for (std::size_t i = 0; i < m; ++i) sum += (fit(i, 0) - b(i, 0)) * (fit(i, 0) - b(i, 0));
    return ScalarGrid(Element(sum));
}

template <Grid (*F)(Reading&)> Grid Read(const ModelCase& m) {
    Reading c(m);
    return F(c);
}

Grid Forward(Reading& c) {
    return Substitution(c, true);
}

Grid Back(Reading& c) {
    return Substitution(c, false);
}

} // namespace

void AddMatrixReferences(std::map<std::string, Reference>& references) {
    references["mtxFwSubst"] = Worked("mtxFwSubst", "MTXFWSUBST", Read<Forward>);
    references["mtxBkSubst"] = Worked("mtxBkSubst", "MTXBKSUBST", Read<Back>);
    references["mtxChl"] = Worked("mtxChl", "MTXCHL", Read<Cholesky>);
    references["mtxGauss"] = Worked("mtxGauss", "MTXGAUSS", Read<Gauss>);
    references["mtxSVD"] = Worked("mtxSVD", "MTXSVD", Read<SingularValues>);
    references["mtxLSW"] = Worked("mtxLSW", "MTXLSW", Read<Weighted>);
    references["mtxLSC"] = Worked("mtxLSC", "MTXLSC", Read<Constrained>);
}

} // namespace vl::test::reference
