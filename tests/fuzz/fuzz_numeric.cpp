// Random small matrices and problems for the numeric back-ends, drawn from a palette with
// zeros, ties, huge and tiny values so that singular, degenerate and cycling cases come
// up: no crash, no hang.
#include "functions/numeric/integerlp.h"
#include "functions/numeric/matrix.h"
#include "functions/numeric/polyreg.h"
#include "functions/numeric/quadprog.h"
#include "functions/numeric/random.h"
#include "functions/numeric/simplex.h"
#include "functions/numeric/svd.h"
#include "harness.h"

namespace {

const double kValues[] = {0, 0, 1, -1, 2, 0.5, -0.5, 3, 1e-9, -1e-9, 1e10, 1e300, -1e300, 7, 1, 0};

struct Reader : vl::fuzz::ByteReader {
    double Value() { return Pick(kValues); }
};

vl::Matrix Filled(Reader& in, int32_t rows, int32_t cols, int32_t spareRows = 0,
                  int32_t spareCols = 0) {
    vl::Matrix m;
    if (!vl::MatrixResize(m, uint32_t(rows + spareRows), uint32_t(cols + spareCols), 0)) return m;
    vl::ZeroMatrix(m);
    for (int32_t i = 1; i <= rows; ++i)
        for (int32_t j = 1; j <= cols; ++j) vl::MatrixElement(m, i, j) = in.Value();
    return m;
}

// Constraint types -1, 0 or 1 (and now and then 2 or -3, read by their signs).
vl::Matrix Types(Reader& in, int32_t rows, int32_t spare) {
    vl::Matrix s = Filled(in, 0, 1, rows + spare);
    const double kTypes[] = {1, 0, -1, 1, -1, 2, -3, 1};
    for (int32_t i = 1; i <= rows; ++i) vl::VectorAt(s, i) = kTypes[in.Byte() % 8];
    return s;
}

void Dense(Reader& in) {
    int32_t n = in.Count(5), nb = in.Count(3);
    vl::Matrix A = Filled(in, n, n), B = Filled(in, n, nb), scale = Filled(in, n, 1),
               U = Filled(in, n, n);
    std::vector<uint32_t> perm(std::size_t(n), 0);
    uint8_t ok = 0;
    vl::GaussSolve(A, B, in.Byte() & 1 ? &scale : nullptr, perm.data(), n, nb, ok);
    vl::Matrix C = Filled(in, n, n);
    vl::CholeskyInvert(C, U, n);
}

void LeastSquares(Reader& in) {
    int32_t n = in.Count(4), m = n + in.Byte() % 4, nb = in.Count(2);
    vl::Matrix A = Filled(in, m, n), B = Filled(in, m, nb), X = Filled(in, n, nb);
    std::vector<double> R(std::size_t(nb) + 1, 0.0);
    int32_t rank = 0;
    uint8_t converged = 0;
    vl::SolveLeastSquares(A, B, X, R.data(), m, n, nb, rank, converged, in.Value());
    vl::Matrix A2 = Filled(in, m, n), Pinv = Filled(in, n, m), U = Filled(in, m, m),
               S = Filled(in, m, n), V = Filled(in, n, n);
    vl::SvdDecomposeMatrix(A2, Pinv, U, S, V, m, n, rank, converged, 0);
    if (n < 2) return;
    int32_t l = 1 + in.Byte() % (n - 1);
    vl::Matrix A3 = Filled(in, m, n), b = Filled(in, m, 1), E = Filled(in, l, n),
               d = Filled(in, l, 1), x = Filled(in, n, 1);
    vl::SolveConstrainedLS(A3, b, E, d, x, R.data(), m, n, l, converged, 0);
}

void Programs(Reader& in) {
    int32_t m = in.Count(4), n = in.Count(4);
    int32_t vector = in.Byte() % 4;
    vl::Matrix T = Filled(in, m, n, 0, 2 * m), s = Types(in, m, 0), b = Filled(in, m, 1),
               c = Filled(in, n, 1, 2 * m), x = Filled(in, 0, 1, n);
    vl::SolveLinearProgram(T, s, b, c, x, vector, m, n, 0, 0);

    int32_t rows = m + 2 * n, cols = n + 2 * rows;
    vector = in.Byte() % 3;
    vl::Matrix T2 = Filled(in, m, n, rows - m, cols - n), s2 = Types(in, m, rows - m),
               b2 = Filled(in, m, 1, rows - m), c2 = Filled(in, n, 1, cols - n),
               mask = Filled(in, n, 1), x2 = Filled(in, 0, 1, n);
    vl::SolveIntegerLP(T2, s2, b2, c2, mask, x2, vector, m, n, 0, 0, in.Byte() & 1);

    vector = in.Byte() % 3;
    vl::Matrix A = Filled(in, m, n, m), s3 = Types(in, m, m), b3 = Filled(in, m, 1, m),
               p = Filled(in, n, 1), C = Filled(in, n, n), x3 = Filled(in, 0, 1, n);
    vl::SolveQuadraticProgram(A, s3, b3, p, C, x3, vector, m, n, 0);
}

void Regression(Reader& in) {
    int32_t N = in.Count(6), r = in.Count(N);
    vl::Matrix t = Filled(in, N, 1), y = Filled(in, N, 1), sy = Filled(in, N, 1),
               x = Filled(in, r, 1), B = Filled(in, r, r), F = Filled(in, N, r),
               chi2 = Filled(in, r, 1);
    vl::PolyRegFit(t, y, sy, N, r, x, B, F, chi2);
    double value = 0, halfwidth = 0;
    vl::PolyPointsQuantile(x, B, in.Value(), in.Value(), in.Byte() / 255.0, r, N - r, value,
                           halfwidth);
    int32_t k = in.Count(2), n = 2 * k + 1 + in.Byte() % 4, l = in.Byte() % (2 * k + 1);
    vl::Matrix series = Filled(in, n, 1), trend = Filled(in, n + 2 * k, 1),
               eta = Filled(in, n + 2 * k, 1);
    vl::TimeSeriesAnalysis(series, n, k, l, in.Byte() / 255.0, trend, eta);
}

void Random(Reader& in) {
    vl::Matrix v = Filled(in, 8, 1);
    vl::FillRandomByDistribution(v, 8, in.Byte() & 1, int32_t(in.Byte()) - 128, in.Byte() & 1,
                                 int32_t(in.Byte()) << 20, in.Byte() % 7, in.Value(), in.Value());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    void (*const kBackEnds[])(Reader&) = {Dense, LeastSquares, Programs, Regression, Random};
    Reader in{{data, size}};
    in.Pick(kBackEnds)(in);
    return 0;
}
