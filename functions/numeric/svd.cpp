#include "functions/numeric/svd.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

constexpr double kMinRatio = 1e-15;
constexpr double kLargeShift = 1e10;
constexpr int32_t kStepsPerColumn = 10;

// A work vector read from 1 (element 0 unused).
struct WorkVector {
    Matrix m;
    bool Allocate(int32_t n) { return MatrixResize(m, 1, uint32_t(std::max(n, 0)) + 1, 0); }
    double& operator()(int32_t i) { return m.data[i]; }
    double* Base() { return m.data.get(); }
};

double& At(Matrix& a, int32_t r, int32_t c) {
    return *MatrixAt(a, uint32_t(r), uint32_t(c));
}

void CopyColumn(Matrix& a, int32_t col, int32_t rows, double* v) {
    for (int32_t i = 1; i <= rows; ++i) v[i] = At(a, i, col);
}
void SetColumn(Matrix& a, int32_t col, int32_t rows, const double* v) {
    for (int32_t i = 1; i <= rows; ++i) At(a, i, col) = v[i];
}
void CopyRow(Matrix& a, int32_t row, int32_t cols, double* v) {
    for (int32_t j = 1; j <= cols; ++j) v[j] = At(a, row, j);
}
void SetRow(Matrix& a, int32_t row, int32_t cols, const double* v) {
    for (int32_t j = 1; j <= cols; ++j) At(a, row, j) = v[j];
}

// Columns i and k of V (rows 1..n): (V(r, i), V(r, k)) := (c V(r, i) + s V(r, k),
// c V(r, k) − s V(r, i)).
void RotateColumns(Matrix& V, int32_t n, int32_t i, int32_t k, double c, double s) {
    for (int32_t r = 1; r <= n; ++r) {
        double vi = At(V, r, i), vk = At(V, r, k);
        At(V, r, i) = c * vi + s * vk;
        At(V, r, k) = c * vk - s * vi;
    }
}

// Rows i and k of B (columns 1..nb), the same way.
void RotateRows(Matrix& B, int32_t nb, int32_t i, int32_t k, double c, double s) {
    for (int32_t j = 1; j <= nb; ++j) {
        double bi = At(B, i, j), bk = At(B, k, j);
        At(B, i, j) = c * bi + s * bk;
        At(B, k, j) = c * bk - s * bi;
    }
}

bool Negligible(double dnorm, double v) {
    return (dnorm + v) - dnorm == 0;
}

// S(k) is negligible: rotate E(k) away against the diagonal above it.
void ChaseSuperDiagonal(Matrix& V, double* S, double* E, int32_t n, int32_t k) {
    double t = E[k];
    E[k] = 0;
    for (int32_t i = k - 1; i >= 1; --i) {
        double c = 0, s = 0;
        ComputeGivensRotation(S[i], t, c, s);
        if (i > 1) {
            t = -s * E[i];
            E[i] = c * E[i];
        }
        RotateColumns(V, n, k, i, c, -s);
    }
}

// S(l − 1) is negligible: E(l) is rotated away along rows l..k of the block.
void CancelSuperDiagonal(Matrix& B, double* S, double* E, int32_t nb, int32_t l, int32_t k) {
    double t = E[l];
    E[l] = 0;
    for (int32_t i = l; i <= k; ++i) {
        double c = 0, s = 0;
        ComputeGivensRotation(S[i], t, c, s);
        if (i < k) {
            t = -s * E[i + 1];
            E[i + 1] = c * E[i + 1];
        }
        RotateRows(B, nb, i, l - 1, c, s);
    }
}

void SvdQrStep(Matrix& V, Matrix& B, double* S, double* E, int32_t n, int32_t nb, int32_t l,
               int32_t k) {
    double x = S[l], y = S[k - 1], z = S[k], g = E[k - 1], h = E[k];
    double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2 * h * y);
    g = std::fabs(f) <= kLargeShift ? std::sqrt(f * f + 1) : std::fabs(f);
    f = ((x - z) * (x + z) + h * (y / (f + std::copysign(g, f)) - h)) / x;
    double carried = 0;
    for (int32_t i = l; i <= k - 1; ++i) {
        double c = 0, s = 0;
        if (i == l)
            ComputeGivensCosSin(f, E[l + 1], c, s);
        else
            ComputeGivensRotation(E[i], carried, c, s);
        double si = S[i], ei = E[i + 1];
        S[i] = c * si + s * ei;
        E[i + 1] = c * ei - s * si;
        carried = s * S[i + 1];
        S[i + 1] = c * S[i + 1];
        RotateColumns(V, n, i, i + 1, c, s);
        ComputeGivensRotation(S[i], carried, c, s);
        double e = E[i + 1], s1 = S[i + 1];
        E[i + 1] = c * e + s * s1;
        S[i + 1] = c * s1 - s * e;
        if (i < k - 1) {
            carried = s * E[i + 2];
            E[i + 2] = c * E[i + 2];
        }
        RotateRows(B, nb, i, i + 1, c, s);
    }
}

void ReflectColumns(Matrix& a, const double* u, double up, double b, int32_t rows, int32_t p,
                    int32_t first, int32_t last, double* work) {
    for (int32_t k = first; k <= last; ++k) {
        CopyColumn(a, k, rows, work);
        ApplyHouseholderReflection(u, up, b, work, rows, p, p + 1);
        SetColumn(a, k, rows, work);
    }
}

} // namespace

void ComputeGivensCosSin(double a, double b, double& c, double& s) {
    if (std::fabs(a) > std::fabs(b)) {
        double t = b / a;
        double r = std::sqrt(t * t + 1);
        c = a < 0 ? -1 / r : 1 / r;
        s = t * c;
    } else if (b == 0) {
        c = 1;
        s = 0;
    } else {
        double t = a / b;
        double r = std::sqrt(t * t + 1);
        s = b < 0 ? -1 / r : 1 / r;
        c = t * s;
    }
}

void ComputeGivensRotation(double& a, double& b, double& c, double& s) {
    ComputeGivensCosSin(a, b, c, s);
    if (std::fabs(a) > std::fabs(b)) {
        double t = b / a;
        a = std::sqrt(t * t + 1) * std::fabs(a);
        b = 0;
    } else if (b != 0) {
        double t = a / b;
        a = std::sqrt(t * t + 1) * std::fabs(b);
        b = 0;
    }
}

void BuildHouseholderReflection(const double* u, double& up, double& b, int32_t m, int32_t p,
                                int32_t l1) {
    double cl = std::fabs(u[p]);
    for (int32_t i = l1; i <= m; ++i) cl = std::max(cl, std::fabs(u[i]));
    if (!(cl > 0)) {
        up = 0;
        b = 0;
        return;
    }
    double sm = (u[p] / cl) * (u[p] / cl);
    for (int32_t i = l1; i <= m; ++i) sm += (u[i] / cl) * (u[i] / cl);
    cl *= std::sqrt(sm);
    if (u[p] > 0) cl = -cl;
    up = u[p] - cl;
    b = 1 / (up * cl);
}

void ApplyHouseholderReflection(const double* u, double up, double b, double* c, int32_t m,
                                int32_t p, int32_t l1) {
    if (b == 0) return;
    double sm = c[p] * up;
    for (int32_t i = l1; i <= m; ++i) sm += c[i] * u[i];
    sm *= b;
    c[p] += sm * up;
    for (int32_t i = l1; i <= m; ++i) c[i] += sm * u[i];
}

bool SvdKernel(Matrix& A, Matrix& B, double* S, double* E, int32_t m, int32_t n, int32_t nb) {
    int32_t size = std::max(m, n);
    WorkVector line, work, ups, bs;
    if (!line.Allocate(size) || !work.Allocate(size) || !ups.Allocate(size) || !bs.Allocate(size))
        return false;
    double* u = line.Base();
    double* w = work.Base();
    for (int32_t j = 1; j <= n; ++j) {
        if (j <= m && !(j == n && m <= n)) {
            CopyColumn(A, j, m, u);
            double up = 0, b = 0;
            BuildHouseholderReflection(u, up, b, m, j, j + 1);
            ReflectColumns(A, u, up, b, m, j, j, n, w);
            ReflectColumns(B, u, up, b, m, j, 1, nb, w);
        }
        if (j < n - 1) {
            CopyRow(A, j, n, u);
            BuildHouseholderReflection(u, ups(j), bs(j), n, j + 1, j + 2);
            for (int32_t r = j; r <= m; ++r) {
                CopyRow(A, r, n, w);
                ApplyHouseholderReflection(u, ups(j), bs(j), w, n, j + 1, j + 2);
                SetRow(A, r, n, w);
            }
            for (int32_t c = j + 2; c <= n; ++c) At(A, j, c) = u[c];
        }
    }
    for (int32_t j = 1; j <= n; ++j) S[j] = At(A, j, j);
    E[1] = 0;
    for (int32_t j = 2; j <= n; ++j) E[j] = At(A, j - 1, j);
    for (int32_t i = n; i >= 1; --i) {
        if (i <= n - 1) CopyRow(A, i, n, u);
        for (int32_t c = 1; c <= n; ++c) At(A, i, c) = 0;
        At(A, i, i) = 1;
        if (i < n - 1) ReflectColumns(A, u, ups(i), bs(i), n, i + 1, i, n, w);
    }
    return true;
}

void SvdDiagonalise(Matrix& V, Matrix& B, double* S, double* E, int32_t m, int32_t n, int32_t nb,
                    uint8_t& converged) {
    (void)m;
    converged = 1;
    double dnorm = 0;
    for (int32_t i = 1; i <= n; ++i) dnorm = std::max(dnorm, std::fabs(S[i]) + std::fabs(E[i]));
    int32_t steps = 0;
    for (int32_t k = n; k >= 1; --k) {
        for (;;) {
            if (k > 1 && Negligible(dnorm, S[k])) ChaseSuperDiagonal(V, S, E, n, k);
            int32_t l = k;
            bool cancel = false;
            for (; l > 1; --l) {
                if ((dnorm - E[l]) - dnorm == 0) break;
                if (Negligible(dnorm, S[l - 1])) {
                    cancel = true;
                    break;
                }
            }
            if (cancel) CancelSuperDiagonal(B, S, E, nb, l, k);
            if (l == k) break;
            SvdQrStep(V, B, S, E, n, nb, l, k);
            if (++steps > kStepsPerColumn * n) {
                converged = 0;
                break;
            }
        }
        if (S[k] < 0) {
            S[k] = -S[k];
            for (int32_t r = 1; r <= n; ++r) At(V, r, k) = -At(V, r, k);
        }
    }
}

void SortSingularValues(Matrix& V, Matrix& B, double* S, int32_t n, int32_t nb) {
    bool sorted = true;
    for (int32_t i = 1; i < n && sorted; ++i) sorted = S[i] >= S[i + 1];
    if (sorted) return;
    for (int32_t i = 1; i < n; ++i) {
        int32_t best = i;
        for (int32_t j = i + 1; j <= n; ++j)
            if (S[j] > S[best]) best = j;
        if (best == i) continue;
        std::swap(S[i], S[best]);
        for (int32_t r = 1; r <= n; ++r) std::swap(At(V, r, i), At(V, r, best));
        for (int32_t c = 1; c <= nb; ++c) std::swap(At(B, i, c), At(B, best, c));
    }
}

void SvdRankCutoff(Matrix& V, Matrix& B, const double* S, Matrix& X, double* R, int32_t m,
                   int32_t n, int32_t nb, double minMaxRatio, int32_t& rank) {
    double tau = std::max(std::fabs(minMaxRatio), kMinRatio);
    double smax = 0;
    for (int32_t i = 1; i <= n; ++i) smax = std::max(smax, S[i]);
    double threshold = tau * smax;
    rank = 0;
    // A value at the threshold itself stays: only those below it count as 0.
    while (rank < n && S[rank + 1] > 0 && S[rank + 1] >= threshold) ++rank;
    for (int32_t i = 1; i <= m; ++i) {
        for (int32_t j = 1; j <= nb; ++j) {
            double& b = At(B, i, j);
            if (i <= rank) {
                b /= S[i];
                continue;
            }
            R[j] = i == rank + 1 ? b * b : R[j] + b * b;
            if (i <= n) b = 0;
        }
    }
    for (int32_t i = 1; i <= n; ++i) {
        for (int32_t j = 1; j <= nb; ++j) {
            double sum = 0;
            for (int32_t l = 1; l <= n; ++l) sum += At(V, i, l) * At(B, l, j);
            At(X, i, j) = sum;
        }
    }
}

bool SolveLeastSquares(Matrix& A, Matrix& B, Matrix& X, double* R, int32_t m, int32_t n, int32_t nb,
                       int32_t& rank, uint8_t& converged, double minMaxRatio) {
    WorkVector s, e;
    if (!s.Allocate(std::max(m, n)) || !e.Allocate(std::max(m, n))) return false;
    if (!SvdKernel(A, B, s.Base(), e.Base(), m, n, nb)) return false;
    converged = 1;
    SvdDiagonalise(A, B, s.Base(), e.Base(), m, n, nb, converged);
    SortSingularValues(A, B, s.Base(), n, nb);
    SvdRankCutoff(A, B, s.Base(), X, R, m, n, nb, minMaxRatio, rank);
    return true;
}

} // namespace vl
