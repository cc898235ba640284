#include "functions/numeric/polyreg.h"

#include "functions/numeric/distinverse.h"

#include <cmath>
#include <limits>

namespace vl {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Infinite at the ends: a limit of probability 1 does not exist, and is no finite number.
double NormalQuantile(double q) {
    if (q >= 1) return kInfinity;
    if (q <= 0) return -kInfinity;
    return NormalInv(q, 0, 1);
}

// Sums over the points of g_i times the product of the given columns of F (0: t_i).
double WeightedSum(const Matrix& g, const Matrix& t, const Matrix& F, int32_t N, int32_t a,
                   int32_t b, int32_t c) {
    double sum = 0;
    for (int32_t i = 1; i <= N; ++i) {
        double term = VectorAt(g, i);
        for (int32_t col : {a, b, c}) term *= col == 0 ? VectorAt(t, i) : MatrixElement(F, i, col);
        sum += term;
    }
    return sum;
}

// Row j of B from the two rows above it (three-term recurrence).
void NextPolynomial(const Matrix& g, const Matrix& t, Matrix& B, Matrix& F, int32_t N, int32_t j) {
    double alpha = WeightedSum(g, t, F, N, 0, j - 1, j - 1);
    double beta = WeightedSum(g, t, F, N, 0, j - 1, j - 2);
    double gamma2 = 0;
    for (int32_t i = 1; i <= N; ++i) {
        double v = (VectorAt(t, i) - alpha) * MatrixElement(F, i, j - 1) -
                   beta * MatrixElement(F, i, j - 2);
        gamma2 += VectorAt(g, i) * v * v;
    }
    double c = 1 / std::sqrt(gamma2);
    MatrixElement(B, j, 1) =
        (-alpha * MatrixElement(B, j - 1, 1) - beta * MatrixElement(B, j - 2, 1)) * c;
    for (int32_t k = 2; k <= j - 2; ++k)
        MatrixElement(B, j, k) =
            (MatrixElement(B, j - 1, k - 1) - alpha * MatrixElement(B, j - 1, k) -
             beta * MatrixElement(B, j - 2, k)) *
            c;
    MatrixElement(B, j, j - 1) =
        (MatrixElement(B, j - 1, j - 2) - alpha * MatrixElement(B, j - 1, j - 1)) * c;
    MatrixElement(B, j, j) = MatrixElement(B, j - 1, j - 1) * c;
    for (int32_t i = 1; i <= N; ++i) {
        double value = MatrixElement(B, j, 1), power = 1;
        for (int32_t k = 2; k <= j; ++k) {
            power *= VectorAt(t, i);
            value += MatrixElement(B, j, k) * power;
        }
        MatrixElement(F, i, j) = value;
    }
}

// The window's polynomial (X, offsets from its centre) continued to offsets tau.
// T is work space of l + 1 elements.
void Extend(const Matrix& X, const Matrix& Q, Matrix& T, int32_t l, int32_t tau, double M,
            double quantile, double& trend, double& eta) {
    double power = 1;
    trend = 0;
    for (int32_t c = 1; c <= l + 1; ++c) {
        VectorAt(T, c) = power;
        trend += power * VectorAt(X, c);
        power *= tau;
    }
    double tqt = 0;
    for (int32_t a = 1; a <= l + 1; ++a)
        for (int32_t b = 1; b <= l + 1; ++b)
            tqt += VectorAt(T, a) * MatrixElement(Q, a, b) * VectorAt(T, b);
    eta = std::sqrt(std::fabs(tqt * M)) * quantile;
}

} // namespace

bool PolyRegFit(const Matrix& t, const Matrix& y, const Matrix& sy, int32_t N, int32_t r, Matrix& x,
                Matrix& B, Matrix& F, Matrix& chi2) {
    Matrix g;
    if (!MatrixResize(g, 1, uint32_t(N), 0)) return false;
    double s0 = 0, s1 = 0;
    for (int32_t i = 1; i <= N; ++i) {
        VectorAt(g, i) = 1 / (VectorAt(sy, i) * VectorAt(sy, i));
        s0 += VectorAt(g, i);
        s1 += VectorAt(g, i) * VectorAt(t, i);
    }
    MatrixElement(B, 1, 1) = 1 / std::sqrt(s0);
    for (int32_t i = 1; i <= N; ++i) MatrixElement(F, i, 1) = MatrixElement(B, 1, 1);
    if (r > 1) {
        double mean = s1 / s0, D = 0;
        for (int32_t i = 1; i <= N; ++i)
            D += VectorAt(g, i) * (VectorAt(t, i) - mean) * (VectorAt(t, i) - mean);
        MatrixElement(B, 2, 2) = 1 / std::sqrt(D);
        MatrixElement(B, 2, 1) = -mean * MatrixElement(B, 2, 2);
        for (int32_t i = 1; i <= N; ++i)
            MatrixElement(F, i, 2) =
                MatrixElement(B, 2, 2) * VectorAt(t, i) + MatrixElement(B, 2, 1);
    }
    for (int32_t j = 3; j <= r; ++j) NextPolynomial(g, t, B, F, N, j);
    for (int32_t j = 1; j <= r; ++j) {
        double sum = 0;
        for (int32_t i = 1; i <= N; ++i)
            sum += MatrixElement(F, i, j) * VectorAt(g, i) * VectorAt(y, i);
        VectorAt(x, j) = sum;
        double residual = 0;
        for (int32_t i = 1; i <= N; ++i) {
            double fit = 0;
            for (int32_t l = 1; l <= j; ++l) fit += VectorAt(x, l) * MatrixElement(F, i, l);
            residual += VectorAt(g, i) * (VectorAt(y, i) - fit) * (VectorAt(y, i) - fit);
        }
        VectorAt(chi2, j) = residual;
    }
    return true;
}

void PolyPointsQuantile(const Matrix& x, const Matrix& B, double t, double s2, double p, int32_t r,
                        int32_t dof, double& value, double& halfwidth) {
    double q = (p + 1) / 2;
    double factor = 1, quantile = 0;
    if (s2 <= 0) {
        quantile = NormalQuantile(q);
    } else {
        factor = std::sqrt(s2 / dof);
        quantile = q >= 1 ? kInfinity : TInv(q, dof);
    }
    value = 0;
    double squares = 0;
    for (int32_t i = 1; i <= r; ++i) {
        double f = 0, power = 1;
        for (int32_t j = 1; j <= i; ++j) {
            f += MatrixElement(B, i, j) * power;
            power *= t;
        }
        value += VectorAt(x, i) * f;
        squares += f * f;
    }
    halfwidth = std::sqrt(squares) * quantile * factor;
}

bool TimeSeriesAnalysis(const Matrix& y, int32_t n, int32_t k, int32_t l, double p, Matrix& trend,
                        Matrix& eta) {
    const int32_t m = 2 * k + 1, terms = l + 1, d = 2 * k - l;
    Matrix A, Q, U, C, Y, X, R, T;
    if (!MatrixResize(A, uint32_t(m), uint32_t(terms), 0) ||
        !MatrixResize(Q, uint32_t(terms), uint32_t(terms), 0) ||
        !MatrixResize(U, uint32_t(terms), uint32_t(terms), 0) ||
        !MatrixResize(C, uint32_t(terms), uint32_t(m), 0) || !MatrixResize(Y, uint32_t(m), 1, 0) ||
        !MatrixResize(X, uint32_t(terms), 1, 0) || !MatrixResize(R, uint32_t(m), 1, 0) ||
        !MatrixResize(T, uint32_t(terms), 1, 0))
        return false;
    for (int32_t i = 1; i <= m; ++i) {
        MatrixElement(A, i, 1) = -1;
        for (int32_t c = 2; c <= terms; ++c)
            MatrixElement(A, i, c) = (i - 1 - k) * MatrixElement(A, i, c - 1);
    }
    for (int32_t a = 1; a <= terms; ++a)
        for (int32_t b = 1; b <= terms; ++b)
            ColumnDotProduct(A, a, A, b, MatrixElement(Q, a, b), m);
    CholeskyInvert(Q, U, terms);
    MatrixMultiplyTransposeB(Q, A, C, terms, terms, m);
    for (int32_t a = 1; a <= terms; ++a)
        for (int32_t b = 1; b <= m; ++b) MatrixElement(C, a, b) = -MatrixElement(C, a, b);
    // No degree of freedom left: the limits are not defined.
    const double quantile = d <= 0             ? std::numeric_limits<double>::quiet_NaN()
                            : (p + 1) / 2 >= 1 ? kInfinity
                            : (p + 1) / 2 <= 0 ? -kInfinity
                                               : TInv((p + 1) / 2, d);
    for (int32_t i = m; i <= n; ++i) {
        for (int32_t w = 1; w <= m; ++w) VectorAt(Y, w) = VectorAt(y, i - 2 * k + w - 1);
        MatrixMultiply(C, Y, X, terms, m, 1);
        VectorAt(trend, i) = VectorAt(X, 1);
        MatrixMultiply(A, X, R, m, terms, 1);
        double squares = 0;
        for (int32_t w = 1; w <= m; ++w) {
            double residual = VectorAt(R, w) + VectorAt(Y, w);
            squares += residual * residual;
        }
        double M = squares / d;
        VectorAt(eta, i) = std::sqrt(M) * std::sqrt(std::fabs(MatrixElement(Q, 1, 1))) * quantile;
        if (i == m)
            for (int32_t tau = -1; tau >= -2 * k; --tau)
                Extend(X, Q, T, l, tau, M, quantile, VectorAt(trend, i + tau),
                       VectorAt(eta, i + tau));
        if (i == n)
            for (int32_t tau = 1; tau <= 2 * k; ++tau)
                Extend(X, Q, T, l, tau, M, quantile, VectorAt(trend, i + tau),
                       VectorAt(eta, i + tau));
    }
    return true;
}

} // namespace vl
