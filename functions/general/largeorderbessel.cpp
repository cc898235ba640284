#include "functions/general/largeorderbessel.h"

#include <array>
#include <cmath>
#include <exception>
#include <limits>
#include <numbers>

namespace vl {

namespace {

using std::numbers::pi;
constexpr double kSqrtPi = 1.7724538509055160273;
constexpr double kSqrt3 = 1.7320508075688772935;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Ai, Ai', Bi and Bi'. Above 0 the first two carry a factor e^xi and the last two e^-xi,
// with xi = 2/3 t^(3/2), so that neither over- nor underflows before the caller's scaling.
struct Airy {
    double ai, dai, bi, dbi;
};

// Beyond this |t| the asymptotic series reach double precision; within it the Bessel
// functions of orders 1/3 and 2/3 are accurate.
constexpr double kAiryAsymptotic = 12;

Airy AiryNearZero(double t) {
    constexpr double ai0 = 0.35502805388781723926, dai0 = -0.25881940379280679840;
    constexpr double bi0 = 0.61492662744600073515, dbi0 = 0.44828835735382635791;
    // Ai'' = t Ai: the next terms are below rounding for |t| < 1e-8.
    return {ai0 + dai0 * t, dai0 + 0.5 * t * t * ai0, bi0 + dbi0 * t, dbi0 + 0.5 * t * t * bi0};
}

Airy AiryByBessel(double t, double xi) {
    if (t > 0) {
        const double k1 = std::cyl_bessel_k(1.0 / 3, xi), k2 = std::cyl_bessel_k(2.0 / 3, xi);
        const double i1 = std::cyl_bessel_i(1.0 / 3, xi), i2 = std::cyl_bessel_i(2.0 / 3, xi);
        const double r = std::sqrt(t / 3), down = std::exp(-xi), up = std::exp(xi);
        const double sin60 = kSqrt3 / 2;
        return {r / pi * k1 * up, -t / (pi * kSqrt3) * k2 * up,
                r * (2 * i1 + 2 / pi * sin60 * k1) * down,
                t / kSqrt3 * (2 * i2 + 2 / pi * sin60 * k2) * down};
    }
    const double m = -t, r = std::sqrt(m);
    const double j1 = std::cyl_bessel_j(1.0 / 3, xi), y1 = std::cyl_neumann(1.0 / 3, xi);
    const double j2 = std::cyl_bessel_j(2.0 / 3, xi), y2 = std::cyl_neumann(2.0 / 3, xi);
    return {r * (j1 / 2 - y1 / (2 * kSqrt3)), m * (j2 / 2 + y2 / (2 * kSqrt3)),
            -r * (j1 / (2 * kSqrt3) + y1 / 2), m * (j2 / (2 * kSqrt3) - y2 / 2)};
}

// The terms u_k / xi^k and v_k / xi^k of the Airy asymptotic expansions, while they fall.
struct AiryTerms {
    std::array<double, 80> u{}, v{};
    int count = 0;
};

AiryTerms AsymptoticTerms(double xi) {
    AiryTerms a;
    double u = 1, power = 1, last = std::numeric_limits<double>::infinity();
    for (int k = 0; k < 80; ++k) {
        if (k > 0) {
            u *= (6.0 * k - 5) * (6.0 * k - 3) * (6.0 * k - 1) / ((2.0 * k - 1) * 216 * k);
            power /= xi;
        }
        const double v = k == 0 ? 1 : -(6.0 * k + 1) / (6.0 * k - 1) * u;
        const double size = (std::fabs(u) + std::fabs(v)) * power;
        if (size > last) break;
        a.u[k] = u * power;
        a.v[k] = v * power;
        a.count = k + 1;
        if (size < 1e-18) break;
        last = size;
    }
    return a;
}

Airy AiryAsymptotic(double t, long double xi, long double phase, int quarters) {
    const AiryTerms a = AsymptoticTerms(static_cast<double>(xi));
    const double q = std::sqrt(std::sqrt(std::fabs(t)));
    if (t > 0) {
        double um = 0, vm = 0, up = 0, vp = 0;
        for (int k = 0; k < a.count; ++k) {
            const double sign = k % 2 ? -1 : 1;
            um += sign * a.u[k], vm += sign * a.v[k], up += a.u[k], vp += a.v[k];
        }
        return {um / (2 * kSqrtPi * q), -q * vm / (2 * kSqrtPi), up / (kSqrtPi * q),
                q * vp / kSqrtPi};
    }
    double ue = 0, uo = 0, ve = 0, vo = 0;
    for (int k = 0; k < a.count; ++k) {
        const double sign = (k / 2) % 2 ? -1 : 1;
        (k % 2 ? uo : ue) += sign * a.u[k];
        (k % 2 ? vo : ve) += sign * a.v[k];
    }
    // cos and sin of xi - pi/4 without rounding a large xi first.
    double cx = 0, sx = 0;
    if (phase < 0) {
        cx = static_cast<double>(std::cos(xi)), sx = static_cast<double>(std::sin(xi));
    } else {
        // cos and sin of phase - quarters pi/2.
        const double cp = static_cast<double>(std::cos(phase));
        const double sp = static_cast<double>(std::sin(phase));
        const double turns[4][2] = {{cp, sp}, {sp, -cp}, {-cp, -sp}, {-sp, cp}};
        cx = turns[quarters][0], sx = turns[quarters][1];
    }
    const double c = (cx + sx) / std::numbers::sqrt2, s = (sx - cx) / std::numbers::sqrt2;
    return {(c * ue + s * uo) / (kSqrtPi * q), q * (s * ve - c * vo) / kSqrtPi,
            (-s * ue + c * uo) / (kSqrtPi * q), q * (c * ve + s * vo) / kSqrtPi};
}

Airy AiryFunctions(double t, long double xil, long double phase, int quarters) {
    const double xi = static_cast<double>(xil);
    if (std::fabs(t) < 1e-8) {
        Airy a = AiryNearZero(t);
        if (t > 0)
            a.ai *= std::exp(xi), a.dai *= std::exp(xi), a.bi *= std::exp(-xi),
                a.dbi *= std::exp(-xi);
        return a;
    }
    if (std::fabs(t) <= kAiryAsymptotic) return AiryByBessel(t, xi);
    return AiryAsymptotic(t, xil, phase, quarters);
}

// The point of the expansion: q = 1 - z^2 with z = x / n, zeta(z), the Airy exponent or
// phase xi = n 2/3 |zeta|^(3/2) and the factor (4 zeta / q)^(1/4).
struct Turning {
    double q, zeta;
    long double xi;
    double factor;
    long double phase = -1; // with xi = phase - quarters pi/2 where not negative
    int quarters = 0;
    bool far; // z so large that the higher coefficients vanish
};

// 2/3 |zeta|^(3/2) / |q|^(3/2) = sum of q^(k-1) / (2k + 1): atanh(s) - s for q = s^2 and
// w - atan(w) for q = -w^2, without their cancellation near the turning point.
long double TurningSeries(long double q) {
    long double sum = 0, power = 1;
    for (int k = 1; k < 200; ++k) {
        const long double term = power / (2 * k + 1);
        sum += term;
        if (std::fabs(term) < 1e-21L * std::fabs(sum)) break;
        power *= q;
    }
    return sum;
}

constexpr double kSeriesLimit = 0.25;

// In long double: the phase xi reaches 10^9 and more, and its rounding is what the
// oscillating values lose.
Turning TurningPoint(int n, double x) {
    Turning tp{};
    const long double nl = n, xl = x, z = xl / nl;
    long double phi = 0, q = 0;
    if (z > 1e100L) {
        tp.far = true;
        phi = z - std::numbers::pi_v<long double> / 2;
        q = -std::numeric_limits<long double>::infinity();
        tp.phase = xl;
    } else {
        q = (nl - xl) / nl * ((nl + xl) / nl);
        if (std::fabs(q) < kSeriesLimit) {
            const long double f = TurningSeries(q);
            phi = std::pow(std::fabs(q), 1.5L) * f;
            const long double r = std::cbrt(1.5L * f * 1.5L * f);
            tp.zeta = static_cast<double>(q * r);
            tp.factor = static_cast<double>(std::sqrt(std::sqrt(4 * r)));
        } else if (q > 0) {
            const long double s = std::sqrt(q);
            phi = std::log1p(s) - (std::log(xl) - std::log(nl)) - s;
        } else {
            const long double w = std::sqrt(-q);
            phi = w - std::atan(w);
            // Far out, n (w - atan w) = n (w + atan(1/w)) - n pi/2 with the quarter turns
            // kept apart: they stay exact where a large phase could no longer tell n from
            // n + 1.
            if (w > 4) tp.phase = nl * (w + std::atan(1 / w));
        }
    }
    tp.q = static_cast<double>(q);
    if (tp.far || std::fabs(q) >= kSeriesLimit) {
        const long double m = std::cbrt(1.5L * phi * 1.5L * phi);
        tp.zeta = static_cast<double>(q > 0 ? m : -m);
        const long double root = tp.far ? std::sqrt(z) : std::sqrt(std::sqrt(std::fabs(q)));
        tp.factor = static_cast<double>(std::sqrt(2.0L) * std::sqrt(std::sqrt(m)) / root);
    }
    tp.xi = nl * phi;
    tp.quarters = n % 4;
    return tp;
}

// The Debye polynomials U_1..U_3: coefficient of p^(m + 2i) in U_m.
constexpr std::array<std::array<long double, 4>, 4> kDebye = {{
    {1, 0, 0, 0},
    {3.0L / 24, -5.0L / 24, 0, 0},
    {81.0L / 1152, -462.0L / 1152, 385.0L / 1152, 0},
    {30375.0L / 414720, -369603.0L / 414720, 765765.0L / 414720, -425425.0L / 414720},
}};
// u_j and v_j of the Airy expansions, j = 0..3.
constexpr std::array<long double, 4> kU = {1, 5.0L / 72, 385.0L / 10368, 85085.0L / 2239488};
constexpr std::array<long double, 4> kV = {1, -7.0L / 72, -455.0L / 10368, -95095.0L / 2239488};

struct Coefficients {
    double b0 = 0, a1 = 0, b1 = 0;
};

// A_k and B_k from the Debye polynomials, with zeta = q r: every power of zeta and of
// p = q^(-1/2) pairs into an integer power of q, so the sums stay real on both sides of the
// turning point. They cancel as q^-5 near q = 0, which is why they run in long double and
// are interpolated there.
Coefficients ClosedCoefficients(long double q, long double r) {
    auto term = [&](int k, bool b) {
        long double sum = 0;
        for (int j = 0; j <= 2 * k + (b ? 1 : 0); ++j) {
            const int m = 2 * k - j + (b ? 1 : 0);
            const long double outer =
                std::pow(1.5L, j) * (b ? kU[j] : kV[j]) * std::pow(r, -1.5L * j - (b ? 0.5L : 0));
            for (int i = 0; i <= m; ++i)
                sum += outer * kDebye[m][i] * std::pow(q, -(j + k + i + (b ? 1 : 0)));
        }
        return static_cast<double>(b ? -sum : sum);
    };
    return {term(0, true), term(1, false), term(1, true)};
}

long double SeriesRatio(long double q) {
    const long double f = TurningSeries(q);
    return std::cbrt(1.5L * f * 1.5L * f);
}

constexpr double kInterpolationStep = 0.01;

// Lagrange interpolation through q = +-step, +-2 step, ... +-4 step where |q| is small.
Coefficients NearTurningCoefficients(double q) {
    Coefficients c;
    for (int j = -4; j <= 4; ++j) {
        if (j == 0) continue;
        const long double qj = j * kInterpolationStep;
        long double weight = 1;
        for (int i = -4; i <= 4; ++i)
            if (i != 0 && i != j)
                weight *= (q - i * kInterpolationStep) / (qj - i * kInterpolationStep);
        const Coefficients cj = ClosedCoefficients(qj, SeriesRatio(qj));
        c.b0 += static_cast<double>(weight * cj.b0);
        c.a1 += static_cast<double>(weight * cj.a1);
        c.b1 += static_cast<double>(weight * cj.b1);
    }
    return c;
}

Coefficients ExpansionCoefficients(const Turning& tp) {
    if (tp.far) return {};
    if (std::fabs(tp.q) < kInterpolationStep) return NearTurningCoefficients(tp.q);
    return ClosedCoefficients(tp.q, static_cast<long double>(tp.zeta) / tp.q);
}

// J_n(x) and Y_n(x) for x > 0; above 0 the Airy values are scaled, and the exponent is
// applied last so that a tiny or huge result is rounded once.
struct Pair {
    double j, y;
};

double Scaled(double value, double exponent) {
    if (value == 0) return 0;
    return std::copysign(std::exp(std::log(std::fabs(value)) + exponent), value);
}

Pair Expansion(int n, double x) {
    const Turning tp = TurningPoint(n, x);
    const double nd = n, n13 = std::cbrt(nd);
    const double t = n13 * n13 * tp.zeta;
    const Airy a = AiryFunctions(t, tp.xi, tp.phase, tp.quarters);
    const Coefficients c = ExpansionCoefficients(tp);
    const double inv2 = 1 / (nd * nd);
    const double first = (1 + c.a1 * inv2) / n13;
    const double g = (c.b0 + c.b1 * inv2) / (nd * n13 * n13);
    const double jv = tp.factor * (a.ai * first + a.dai * g);
    const double yv = -tp.factor * (a.bi * first + a.dbi * g);
    const double xi = static_cast<double>(tp.xi);
    if (t > 0) return {Scaled(jv, -xi), Scaled(yv, xi)};
    return {jv, yv};
}

template <bool First> double Evaluate(int n, double x) {
    try {
        if (First) {
            if (x == 0) return 0;
            const double v = Expansion(n, std::fabs(x)).j;
            return x < 0 && n % 2 ? -v : v;
        }
        if (x <= 0) return x == 0 ? -std::numeric_limits<double>::infinity() : kNaN;
        return Expansion(n, x).y;
    } catch (const std::exception&) {
        return kNaN;
    }
}

} // namespace

double LargeOrderBesselJ(int n, double x) {
    return Evaluate<true>(n, x);
}

double LargeOrderBesselY(int n, double x) {
    return Evaluate<false>(n, x);
}

} // namespace vl
