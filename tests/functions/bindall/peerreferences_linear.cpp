// Dense linear algebra in long double for the references.
#include "tests/functions/bindall/peerreferences_linear.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vl::test::reference::linear {

Mat Multiply(const Mat& a, const Mat& b) {
    Mat out(a.rows, b.cols);
    for (std::size_t i = 0; i < a.rows; ++i)
        for (std::size_t j = 0; j < b.cols; ++j) {
            Real sum = 0;
            for (std::size_t k = 0; k < a.cols; ++k) sum += a(i, k) * b(k, j);
            out(i, j) = sum;
        }
    return out;
}

Mat Transpose(const Mat& a) {
    Mat out(a.cols, a.rows);
    for (std::size_t i = 0; i < a.rows; ++i)
        for (std::size_t j = 0; j < a.cols; ++j) out(j, i) = a(i, j);
    return out;
}

Mat Identity(std::size_t n) {
    Mat out(n, n);
    for (std::size_t i = 0; i < n; ++i) out(i, i) = 1;
    return out;
}

Mat ForwardSolve(const Mat& L, const Mat& B) {
    Mat x = B;
    for (std::size_t j = 0; j < B.cols; ++j)
        for (std::size_t i = 0; i < L.rows; ++i) {
            Real sum = B(i, j);
            for (std::size_t k = 0; k < i; ++k) sum -= L(i, k) * x(k, j);
            x(i, j) = sum / L(i, i);
        }
    return x;
}

Mat BackSolve(const Mat& U, const Mat& B) {
    Mat x = B;
    for (std::size_t j = 0; j < B.cols; ++j)
        for (std::size_t i = U.rows; i-- > 0;) {
            Real sum = B(i, j);
            for (std::size_t k = i + 1; k < U.rows; ++k) sum -= U(i, k) * x(k, j);
            x(i, j) = sum / U(i, i);
        }
    return x;
}

Mat AbsCholesky(const Mat& A) {
    const std::size_t n = A.rows;
    Mat U(n, n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i; j < n; ++j) {
            Real d = A(i, j);
            for (std::size_t k = 0; k < i; ++k) d -= U(k, i) * U(k, j);
            U(i, j) = i == j ? std::sqrt(std::fabs(d)) : d / U(i, i);
        }
    return U;
}

Elimination Eliminate(const Mat& A, bool scaling, Real tolerance) {
    const std::size_t n = A.rows;
    Real largest = 0;
    for (Real v : A.v) largest = std::max(largest, std::fabs(v));
    Elimination e;
    e.lu = A;
    e.order.resize(n);
    std::iota(e.order.begin(), e.order.end(), 0);
    std::vector<Real> scale(n, 1);
    if (scaling)
        for (std::size_t i = 0; i < n; ++i) {
            scale[i] = 0;
            for (std::size_t j = 0; j < n; ++j) scale[i] = std::max(scale[i], std::fabs(A(i, j)));
        }
    Mat& m = e.lu;
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t p = k;
        for (std::size_t i = k + 1; i < n; ++i)
            if (std::fabs(m(i, k)) / scale[i] > std::fabs(m(p, k)) / scale[p]) p = i;
        if (p != k) {
            for (std::size_t j = 0; j < n; ++j) std::swap(m(k, j), m(p, j));
            std::swap(scale[k], scale[p]);
            std::swap(e.order[k], e.order[p]);
            e.sign = -e.sign;
        }
        if (m(k, k) == 0 ||
            (tolerance > 0 && (std::fabs(m(k, k)) <= tolerance * largest || largest == 0))) {
            e.singular = true;
            return e;
        }
        for (std::size_t i = k + 1; i < n; ++i) {
            Real f = m(i, k) / m(k, k);
            m(i, k) = f;
            for (std::size_t j = k + 1; j < n; ++j) m(i, j) -= f * m(k, j);
        }
    }
    return e;
}

Mat SolveEliminated(const Elimination& e, const Mat& B) {
    const std::size_t n = e.lu.rows;
    Mat y(n, B.cols);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < B.cols; ++j) y(i, j) = B(e.order[i], j);
    for (std::size_t j = 0; j < B.cols; ++j)
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t k = 0; k < i; ++k) y(i, j) -= e.lu(i, k) * y(k, j);
    return BackSolve(e.lu, y);
}

bool SolveSquare(const std::vector<std::vector<Real>>& m, const std::vector<Real>& rhs,
                 std::vector<Real>& x) {
    const std::size_t n = rhs.size();
    Mat A(n, n), B(n, 1);
    for (std::size_t i = 0; i < n; ++i) {
        B(i, 0) = rhs[i];
        for (std::size_t j = 0; j < n; ++j) A(i, j) = m[i][j];
    }
    Elimination e = Eliminate(A, false, 1e-15L);
    if (e.singular) return false;
    x = SolveEliminated(e, B).v;
    return true;
}

Svd Decompose(const Mat& A) {
    const std::size_t m = A.rows, n = A.cols;
    Mat U = A, V = Identity(n);
    for (int sweep = 0; sweep < 200; ++sweep) {
        bool rotated = false;
        for (std::size_t p = 0; p + 1 < n; ++p)
            for (std::size_t q = p + 1; q < n; ++q) {
                Real alpha = 0, beta = 0, gamma = 0;
                for (std::size_t i = 0; i < m; ++i) {
                    alpha += U(i, p) * U(i, p);
                    beta += U(i, q) * U(i, q);
                    gamma += U(i, p) * U(i, q);
                }
                if (gamma == 0 || std::fabs(gamma) <= 1e-19L * std::sqrt(alpha * beta)) continue;
                rotated = true;
                Real zeta = (beta - alpha) / (2 * gamma);
                Real t = (zeta >= 0 ? 1 : -1) / (std::fabs(zeta) + std::sqrt(1 + zeta * zeta));
                Real c = 1 / std::sqrt(1 + t * t), s = c * t;
                for (std::size_t i = 0; i < m; ++i) {
                    Real up = U(i, p), uq = U(i, q);
                    U(i, p) = c * up - s * uq;
                    U(i, q) = s * up + c * uq;
                }
                for (std::size_t i = 0; i < n; ++i) {
                    Real vp = V(i, p), vq = V(i, q);
                    V(i, p) = c * vp - s * vq;
                    V(i, q) = s * vp + c * vq;
                }
            }
        if (!rotated) break;
    }
    std::vector<Real> s(n);
    for (std::size_t j = 0; j < n; ++j) {
        Real norm = 0;
        for (std::size_t i = 0; i < m; ++i) norm += U(i, j) * U(i, j);
        s[j] = std::sqrt(norm);
        if (s[j] > 0)
            for (std::size_t i = 0; i < m; ++i) U(i, j) /= s[j];
    }
    std::vector<std::size_t> by(n);
    std::iota(by.begin(), by.end(), 0);
    std::stable_sort(by.begin(), by.end(),
                     [&](std::size_t a, std::size_t b) { return s[a] > s[b]; });
    Svd d{Mat(m, n), Mat(n, n), std::vector<Real>(n)};
    for (std::size_t k = 0; k < n; ++k) {
        d.s[k] = s[by[k]];
        for (std::size_t i = 0; i < m; ++i) d.U(i, k) = U(i, by[k]);
        for (std::size_t i = 0; i < n; ++i) d.V(i, k) = V(i, by[k]);
    }
    return d;
}

Mat PseudoInverse(const Svd& d, Real ratio, int& rank) {
    const std::size_t m = d.U.rows, n = d.V.rows;
    Real cut = std::max(ratio, Real(1e-15)) * (d.s.empty() ? 0 : d.s[0]);
    Mat out(n, m);
    rank = 0;
    for (std::size_t k = 0; k < n; ++k) {
        if (!(d.s[k] > 0) || d.s[k] < cut) continue;
        ++rank;
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < m; ++j) out(i, j) += d.V(i, k) * d.U(j, k) / d.s[k];
    }
    return out;
}

} // namespace vl::test::reference::linear
