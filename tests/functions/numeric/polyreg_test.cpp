// The polynomial regression back-end.
#include "functions/numeric/polyreg.h"
#include "matrixbuild.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl::test {

namespace {

struct Fit {
    Matrix x, B, F, chi2;
};

Fit FitOf(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& sy,
          int32_t r) {
    int32_t N = int32_t(t.size());
    Matrix tm, ym, sym;
    EXPECT_TRUE(MatrixResize(tm, N, 1, 0) && MatrixResize(ym, N, 1, 0) &&
                MatrixResize(sym, N, 1, 0));
    for (int32_t i = 1; i <= N; ++i) {
        VectorAt(tm, i) = t[std::size_t(i - 1)];
        VectorAt(ym, i) = y[std::size_t(i - 1)];
        VectorAt(sym, i) = sy[std::size_t(i - 1)];
    }
    Fit f;
    EXPECT_TRUE(MatrixResize(f.x, r, 1, 0) && MatrixResize(f.B, r, r, 0) &&
                MatrixResize(f.F, N, r, 0) && MatrixResize(f.chi2, r, 1, 0));
    EXPECT_TRUE(PolyRegFit(tm, ym, sym, N, r, f.x, f.B, f.F, f.chi2));
    return f;
}

} // namespace

TEST(PolyReg, BasisIsOrthonormalUnderTheWeights) {
    Fit f = FitOf({1, 2, 3, 4, 5}, {1.1, 1.2, 1.3, 1.4, 1.5}, {0.2, 0.2, 0.2, 0.2, 0.23}, 4);
    // The coefficients are checked through POLYREG; the basis is orthonormal under the weights.
    double cross = 0, norm = 0;
    const double sy[] = {0.2, 0.2, 0.2, 0.2, 0.23};
    for (int32_t i = 1; i <= 5; ++i) {
        double g = 1 / (sy[i - 1] * sy[i - 1]);
        cross += g * MatrixElement(f.F, i, 2) * MatrixElement(f.F, i, 3);
        norm += g * MatrixElement(f.F, i, 3) * MatrixElement(f.F, i, 3);
    }
    EXPECT_NEAR(cross, 0, 1e-9);
    EXPECT_NEAR(norm, 1, 1e-9);
}

TEST(PolyReg, OneTermIsTheWeightedMean) {
    Fit f = FitOf({1, 2, 3}, {2, 4, 9}, {1, 1, 2}, 1);
    double g = 1 + 1 + 0.25;
    EXPECT_NEAR(MatrixElement(f.B, 1, 1), 1 / std::sqrt(g), 1e-15);
    double mean = (2 + 4 + 9 * 0.25) / g;
    EXPECT_NEAR(VectorAt(f.x, 1) * MatrixElement(f.B, 1, 1), mean, 1e-14);
}

} // namespace vl::test
