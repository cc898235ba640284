#include "formula/formulanumber.h"
#include "functions/general/largeorderbessel.h"
#include "functiontestutil.h"

#include <cmath>
#include <numbers>

namespace vl::test {

namespace {

// BESSELJ or BESSELY (x, n) through a cell, or NaN when the cell shows an error.
double CellBessel(FunctionBook& book, const char* name, double x, int n) {
    const std::string formula =
        std::string("=") + name + "(" + FormatDouble(x) + "," + std::to_string(n) + ")";
    const uint16_t kind = EvaluateInJ20(book, formula);
    const FormulaToken& v = book.Ctx().values[1];
    return kind == kTokenNumber && v.error == 0 ? v.number : std::nan("");
}

struct Point {
    double factor; // x = factor n + shift n^(1/3)
    double shift;
};

// Below the turning point to far beyond it, the turning point's own width n^(1/3) included.
constexpr Point kPoints[] = {{0.5, 0}, {0.9, 0}, {0.99, 0}, {1, -5}, {1, -1}, {1, 0},
                             {1, 1},   {1, 5},   {1.1, 0},  {2, 0},  {10, 0}};

} // namespace

// The library's recurrences still run at these orders. Where the value oscillates, both sides
// round the phase, so they are compared against the modulus sqrt(J^2 + Y^2): the recurrence's
// own Wronskian drifts by up to 7e-11 at order 3e6, its values by a few 1e-12 of the modulus.
// Below the turning point the values are compared relatively; both are exact to about 1e-13.
TEST(LargeOrderBessel, AgreesWithTheLibraryRecurrence) {
    FunctionBook book;
    int compared = 0;
    for (int n : {100000, 1000000, 3000000}) {
        for (const Point& p : kPoints) {
            // The x the cell reads from the formula's text.
            double x = 0;
            ParseNumber(FormatDouble(p.factor * n + p.shift * std::cbrt(static_cast<double>(n))),
                        x);
            SCOPED_TRACE("n = " + std::to_string(n) + ", x = " + FormatDouble(x));
            const double j = jn(n, x), y = yn(n, x);
            const double cellJ = CellBessel(book, "BESSELJ", x, n);
            const double cellY = CellBessel(book, "BESSELY", x, n);
            if (j == 0 || !std::isnormal(y)) {
                // Exponentially small J, overflowing Y: 0 and #NUM! from both.
                EXPECT_EQ(cellJ, 0);
                EXPECT_TRUE(std::isnan(cellY));
                continue;
            }
            const double modulus = std::hypot(j, y);
            const double scaleJ = x < n ? std::fabs(j) : modulus;
            const double scaleY = x < n ? std::fabs(y) : modulus;
            EXPECT_NEAR(cellJ, j, 1e-11 * scaleJ);
            EXPECT_NEAR(cellY, y, 1e-11 * scaleY);
            ++compared;
        }
    }
    // All but 0.5 n and 0.9 n, and 0.99 n above order 10^5, where J rounds to 0.
    EXPECT_EQ(compared, 25);
}

// Beyond the library's reach the expansion is checked against identities that hold at every
// order: the Wronskian J_{n+1} Y_n - J_n Y_{n+1} = 2 / (pi x) and the recurrence
// J_{n-1} + J_{n+1} = 2n/x J_n. The phase near x = 10^10 is rounded in long double to about
// 1e-11, which bounds both.
TEST(LargeOrderBessel, ExtremeOrdersKeepTheWronskianAndTheRecurrence) {
    for (int n : {1000000007, 2147483646}) {
        const double c = std::cbrt(static_cast<double>(n));
        for (double x : {n - 40 * c, n - 2 * c, static_cast<double>(n), n + 0.5 * c, n + 3 * c,
                         1.1 * n, 2.0 * n, 10.0 * n, 1e300}) {
            SCOPED_TRACE("n = " + std::to_string(n) + ", x = " + FormatDouble(x));
            const double j0 = LargeOrderBesselJ(n - 1, x), j1 = LargeOrderBesselJ(n, x),
                         j2 = LargeOrderBesselJ(n + 1, x);
            const double y1 = LargeOrderBesselY(n, x), y2 = LargeOrderBesselY(n + 1, x);
            const double wronskian = 2 / (std::numbers::pi * x);
            EXPECT_NEAR((j2 * y1 - j1 * y2) / wronskian, 1, 1e-10);
            const double modulus = std::hypot(j1, y1);
            if (x < 1e20) {
                EXPECT_NEAR(j0 + j2, 2.0 * n / x * j1, 1e-9 * modulus);
            }
        }
    }
}

// At x = n the expansion's leading terms are closed: J_n(n) -> 2^(1/3) / (3^(2/3) G(2/3) n^(1/3))
// and Y_n(n) -> -sqrt(3) of that, with corrections of relative size n^(-4/3).
TEST(LargeOrderBessel, ValueAtTheTurningPoint) {
    for (int n : {100000000, 2147483647}) {
        const double lead = std::cbrt(2.0) / (std::cbrt(9.0) * std::tgamma(2.0 / 3) *
                                              std::cbrt(static_cast<double>(n)));
        EXPECT_NEAR(LargeOrderBesselJ(n, n), lead, 1e-11 * lead) << n;
        EXPECT_NEAR(LargeOrderBesselY(n, n), -std::sqrt(3.0) * lead, 1e-11 * lead) << n;
    }
}

// Well beyond the turning point the leading Debye term sqrt(2 / (pi w)) (cos, sin) of
// w - n acos(n/x) - pi/4, w = sqrt(x^2 - n^2), is off by about (1/8 + 5 n^2 / (24 w^2)) / w,
// below 1e-10 here; the long double phase is exact to about 1e-9.
TEST(LargeOrderBessel, FarBeyondTheTurningPointFollowsTheDebyeTerm) {
    FunctionBook book;
    const int n = 2147483647;
    for (double x : {3e9, 5e9, 1e10}) {
        SCOPED_TRACE(FormatDouble(x));
        const long double nl = n, xl = x, w = std::sqrt(xl * xl - nl * nl);
        const long double phase = w - nl * std::acos(nl / xl) - std::numbers::pi_v<long double> / 4;
        const double amplitude =
            static_cast<double>(std::sqrt(2 / (std::numbers::pi_v<long double> * w)));
        EXPECT_NEAR(CellBessel(book, "BESSELJ", x, n),
                    amplitude * static_cast<double>(std::cos(phase)), 1e-9 * amplitude);
        EXPECT_NEAR(CellBessel(book, "BESSELY", x, n),
                    amplitude * static_cast<double>(std::sin(phase)), 1e-9 * amplitude);
    }
}

TEST(LargeOrderBessel, SignsZerosAndErrorsInCells) {
    CheckPrinted({
        // J_n(-x) = (-1)^n J_n(x).
        // A tolerance of 0 would compare to the printed "0" within 0.5.
        {"=BESSELJ(-3E9,2147483647)+BESSELJ(3E9,2147483647)", "0", 1e-300},
        {"=BESSELJ(-3E9,2147483646)-BESSELJ(3E9,2147483646)", "0", 1e-300},
        {"=ABS(BESSELJ(-3E9,2147483647))>1E-7", "1"},
        {"=BESSELJ(0,2147483647)", "0"},
        {"=BESSELJ(0,100000)", "0"},
        {"=BESSELY(0,100000)", "#NUM!"},
        {"=BESSELY(-1E9,2147483647)", "#NUM!"},
        {"=BESSELY(-1,100000)", "#NUM!"},
        // Y overflows far below the turning point.
        {"=BESSELY(1E9,2147483647)", "#NUM!"},
        {"=BESSELY(90000,100000)", "#NUM!"},
    });
}

} // namespace vl::test
