#include "functions/general/annuityfunctions.h"

#include "functions/general/argreader.h"
#include "functions/general/regulafalsi.h"
#include "functions/numeric/mathpolicy.h"

#include <algorithm>
#include <boost/math/special_functions/log1p.hpp>
#include <cfloat>
#include <cmath>

namespace vl {

namespace {

// A rate above -1: at -1 and below, 1 + r leaves nothing to compound.
const double kLowestRate = std::nextafter(-1.0, 0.0);

// Money paid out is negative. t is 1 for payments at the beginning of each period.
// The closed forms divide by the rate; at a rate of 0 each takes its limit, the plain sums.
// They are written over the discount v = (1 + r)^-n rather than the growth (1 + r)^n, so that
// long terms, where the growth overflows, give their finite values.

// (1 + r)^n and (1 + r)^n - 1 through log1p and expm1 for a rate below 1/2: 1 + r alone
// would drop a small rate's digits, and the difference of P and 1 would cancel what was
// left. A larger rate keeps the plain power, exact where 1 + r is (RATE's search ends on
// an exact zero there).
struct Growth {
    double p, pm1;
};
Growth GrowthOf(double r, double n) {
    if (std::fabs(r) >= 0.5) {
        double p = std::pow(1 + r, n);
        return {p, p - 1};
    }
    double exponent = n * std::log1p(r);
    return {std::exp(exponent), std::expm1(exponent)};
}

// The discount v = (1 + r)^-n and 1 - v, the same way round.
struct Discount {
    double v, onem;
};
Discount DiscountOf(double r, double n) {
    if (std::fabs(r) >= 0.5) {
        double v = std::pow(1 + r, -n);
        return {v, 1 - v};
    }
    double exponent = -n * std::log1p(r);
    return {std::exp(exponent), -std::expm1(exponent)};
}

void Pv(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pmt = 0, fv = 0;
    int32_t n = 0, t = 0;
    CArgReader args(ctx);
    args.Int(4, t, 0, 1)
        .Number(3, fv)
        .Number(2, pmt)
        .Int(1, n, 0, INT32_MAX)
        .Number(0, r, kLowestRate);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnNumber(ctx, -(pmt * n + fv));
    Discount d = DiscountOf(r, n);
    ReturnNumber(ctx, -(pmt * (1 + r * t) * d.onem / r + fv * d.v));
}

void Fv(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pmt = 0, pv = 0;
    int32_t n = 0, t = 0;
    CArgReader args(ctx);
    args.Int(4, t, 0, 1)
        .Number(3, pv)
        .Number(2, pmt)
        .Int(1, n, 0, INT32_MAX)
        .Number(0, r, kLowestRate);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnNumber(ctx, -(pv + pmt * n));
    Growth g = GrowthOf(r, n);
    ReturnNumber(ctx, -(pv * g.p + pmt * (1 + r * t) * g.pm1 / r));
}

void Pmt(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pv = 0, fv = 0;
    int32_t n = 0, t = 0;
    CArgReader args(ctx);
    args.Int(4, t, 0, 1)
        .Number(3, fv)
        .Number(2, pv)
        .Int(1, n, 0, INT32_MAX)
        .Number(0, r, kLowestRate);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnNumber(ctx, -(pv + fv) / n);
    Discount d = DiscountOf(r, n);
    ReturnNumber(ctx, -(pv + fv * d.v) / ((1 + r * t) / r * d.onem));
}

void NPer(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pmt = 0, pv = 0, fv = 0;
    int32_t t = 0;
    CArgReader args(ctx);
    args.Int(4, t, 0, 1).Number(3, fv).Number(2, pv).Number(1, pmt).Number(0, r, kLowestRate);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnNumber(ctx, -(pv + fv) / pmt);
    double x = pmt * (1 + r * t) / r;
    // (x - fv) / (x + pv) is 1 + (-fv - pv) / (x + pv), near 1 for a small rate; far from 1
    // the quotient itself keeps the digits that 1 + q would drop (1E-300 is not -1 + 1E-300).
    double q = (-fv - pv) / (x + pv);
    double growth = std::fabs(q) < 0.5 ? std::log1p(q) : std::log((x - fv) / (x + pv));
    ReturnNumber(ctx, growth / std::log1p(r));
}

// The interest part of payment k when d is paid off in n equal payments at the end of each
// period: r times the balance d (P - Q) / (P - 1), Q = (1 + r)^(k - 1), written over
// the discounts (1 - Q/P) / (1 - 1/P) so that nothing cancels or overflows. `onem` is 1 - 1/P.
double InterestOf(double r, int64_t k, int32_t n, double d, double onem) {
    double l = std::log1p(r);
    // Below a rate of 0 the discounts grow past the doubles; P and Q are below 1 instead.
    if (r < 0) return r * d * (std::exp(double(k - 1) * l) - std::exp(n * l)) / -std::expm1(n * l);
    return r * d * -std::expm1(-double(n - k + 1) * l) / onem;
}

// The principal part of payment k: d r Q / (P - 1) = d r (Q/P) / (1 - 1/P).
double PrincipalOf(double r, int64_t k, int32_t n, double d, double onem) {
    double l = std::log1p(r);
    if (r < 0) return d * r * std::exp(double(k - 1) * l) / std::expm1(n * l);
    return d * r * std::exp(-double(n - k + 1) * l) / onem;
}

// (Q - 1) / (P - 1) = (Q/P - 1/P) / (1 - 1/P): what a future value fv adds to the balance
// before payment k, in units of -fv. The difference of the two discounts would cancel
// while Q is near 1, so there it goes through expm1.
double SinkingShareOf(double r, int64_t k, int32_t n, double onem) {
    double l = std::log1p(r);
    double early = double(k - 1) * l;
    if (r < 0) return std::expm1(early) / std::expm1(n * l);
    if (std::fabs(early) < 1) return std::exp(-n * l) * std::expm1(early) / onem;
    return (std::exp(-double(n - k + 1) * l) - std::exp(-n * l)) / onem;
}

// Interest of payment k at the end of its period on a loan pv that leaves fv to be paid
// with the last payment, the payment being PMT's: the balance is pv's own plus what the
// payments towards fv have put by.
double EndInterestOf(double r, int64_t k, int32_t n, double pv, double fv, double onem) {
    return -InterestOf(r, k, n, pv, onem) + r * fv * SinkingShareOf(r, k, n, onem);
}

void IPmt(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pv = 0, fv = 0;
    int32_t period = 0, n = 0;
    CArgReader args(ctx);
    args.Number(4, fv).Number(3, pv).Int(2, n, 0, INT32_MAX).Int(1, period, 0, INT32_MAX);
    args.Number(0, r, kLowestRate);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnNumber(ctx, 0);
    ReturnNumber(ctx, EndInterestOf(r, period, n, pv, fv, DiscountOf(r, n).onem));
}

// The principal part is PMT's payment less the interest. Paid at the beginning of each
// period, every payment is the end-of-period one discounted by one period, and the first
// one is all principal.
void PPmt(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 6)) return;
    double r = 0, pv = 0, fv = 0;
    int32_t period = 0, n = 0, t = 0;
    CArgReader args(ctx);
    args.Int(5, t, 0, 1).Number(4, fv).Number(3, pv).Int(2, n, 0, INT32_MAX);
    args.Int(1, period, 0, INT32_MAX).Number(0, r, kLowestRate);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnNumber(ctx, -(pv + fv) / n);
    Discount d = DiscountOf(r, n);
    if (t == 1 && period == 1) return ReturnNumber(ctx, -(pv + fv * d.v) * r / ((1 + r) * d.onem));
    double principal = -PrincipalOf(r, period, n, pv + fv, d.onem);
    ReturnNumber(ctx, t == 1 ? principal / (1 + r) : principal);
}

// Period by period up to this many; beyond it the geometric sums in closed form, so that
// billions of periods cost no more than a few.
constexpr int64_t kMaxSummedPeriods = 10000;

// The interest (or principal) parts of payments first to last of a loan of pv paid off in
// n end-of-period payments, as a positive sum.
template <bool Principal>
double SumOfParts(double r, int32_t n, double pv, int32_t first, int32_t last) {
    const double count = double(int64_t(last) - first + 1);
    if (r == 0) return Principal ? pv * count / n : 0;
    const double growth = std::log1p(r);
    const double onem = -std::expm1(-n * growth);
    // The principal parts grow by 1 + r each period from pv r / ((1 + r)^n - 1); their sum
    // is pv (1 + r)^(last - n) (1 - (1 + r)^-count) / (1 - (1 + r)^-n), nothing overflowing.
    double principal =
        pv * std::exp((double(last) - n) * growth) * -std::expm1(-count * growth) / onem;
    if (Principal) return principal;
    if (count > kMaxSummedPeriods) {
        double payment = pv * r / onem;
        return count * payment - principal;
    }
    double sum = 0;
    for (int64_t k = first; k <= last; ++k) sum += InterestOf(r, k, n, pv, onem);
    return sum;
}

// The parts of payments at the beginning of each period: each is the end-of-period one
// discounted by one period, and the first payment is all principal.
template <bool Principal>
double SumOfEarlyParts(double r, int32_t n, double pv, int32_t first, int32_t last) {
    double sum = 0;
    if (Principal && first == 1) sum += r == 0 ? pv / n : pv * r / -std::expm1(-n * std::log1p(r));
    if (last >= 2) sum += SumOfParts<Principal>(r, n, pv, std::max(first, 2), last);
    return sum / (1 + r);
}

template <bool Principal> void Cumulative(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 6)) return;
    double r = 0, pv = 0;
    int32_t n = 0, first = 0, last = 0, t = 0;
    CArgReader args(ctx);
    args.Int(5, t, 0, 1).Int(4, last, 1, INT32_MAX).Int(3, first, 1, INT32_MAX).Number(2, pv, 0);
    args.Int(1, n, 0, INT32_MAX).Number(0, r, kLowestRate);
    if (args.error) return ReturnError(ctx, args.error);
    if (first > n || last > n) return ReturnError(ctx, kErrValue);
    if (first > last) return ReturnNumber(ctx, 0);
    if (t == 1) return ReturnNumber(ctx, -SumOfEarlyParts<Principal>(r, n, pv, first, last));
    ReturnNumber(ctx, -SumOfParts<Principal>(r, n, pv, first, last));
}

// The widening moves the upper end 0.02 a step: rates up to 2000 per period are found.
constexpr int kMaxWidenings = 100000;

// e^y − 1 − y without the cancellation of its two parts for a small y.
double ExpM1MinusX(double y) {
    if (std::fabs(y) >= 0.5) return std::expm1(y) - y;
    double term = y * y / 2, sum = 0;
    for (int k = 3; std::fabs(term) > 1e-17 * std::fabs(sum); ++k) {
        sum += term;
        term *= y / k;
    }
    return sum;
}

// Present value of the annuity at rate x, which RATE brings to 0: the future value
// divided by (1 + x)^n, which has the same roots and stays finite for long terms.
struct RateGap {
    int32_t n;
    double pmt, pv, fv;
    int32_t t;
    double operator()(double x) const {
        if (std::fabs(x) >= 0.5) {
            Discount d = DiscountOf(x, n);
            return pv + pmt * (1 + x * t) * d.onem / x + fv * d.v;
        }
        // Near a small root the terms cancel down to n·pmt + pv + fv: that sum is formed
        // once, rounded once, and the rest from the differences a(x) − n and v − 1, each
        // to its own rounding. a(x) = (1 − v)/x, v = e^y, y = −n ln(1 + x).
        const double y = -double(n) * std::log1p(x);
        const double annuityLess =
            (-ExpM1MinusX(y) + double(n) * boost::math::log1pmx(x, MathPolicy())) / x;
        const double base = std::fma(pmt, double(n), pv) + fv;
        const double annuity = double(n) + annuityLess;
        return base + pmt * annuityLess + pmt * x * t * annuity + fv * std::expm1(y);
    }
};

// Widens [a, b] from `start` by 0.02 a step, each end kept within [lowest, highest], until
// it brackets a root, then runs the regula falsi. The lower end stops where its value
// overflows. False when no root is bracketed or the search does not end.
bool SearchRate(const RateGap& f, double start, double lowest, double highest, double& root) {
    double a = std::clamp(start, lowest, highest), b = a;
    double fa = f(a), fb = fa;
    for (int i = 0; i < kMaxWidenings; ++i) {
        if (!IsAcceptableResult(fa) || !IsAcceptableResult(fb)) return false;
        if (fa != 0 && fb != 0 && std::signbit(fa) != std::signbit(fb))
            return RegulaFalsi(f, a, b, fa, fb, root);
        const double wider = std::max(a - 0.02, lowest), higher = std::min(b + 0.02, highest);
        if (wider == a && higher == b) return false;
        if (wider != a) {
            const double value = f(wider);
            if (IsAcceptableResult(value))
                a = wider, fa = value;
            else
                lowest = a;
        }
        if (higher != b) b = higher, fb = f(b);
    }
    return false;
}

void Rate(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 6)) return;
    RateGap f{0, 0, 0, 0, 0};
    double guess = 0;
    CArgReader args(ctx);
    args.Number(5, guess, kLowestRate).Int(4, f.t, 0, 1).Number(3, f.fv).Number(2, f.pv);
    args.Number(1, f.pmt).Int(0, f.n, 0, INT32_MAX);
    if (args.error) return ReturnError(ctx, args.error);
    // Payments that repay the loan exactly mean a rate of 0; "exactly" is relative to the
    // amounts, whose sum keeps a rounding of their size.
    const double paid = f.n * f.pmt;
    const double scale = std::fabs(paid) + std::fabs(f.pv) + std::fabs(f.fv);
    if (std::fabs(paid + f.pv + f.fv) <= 1e-14 * std::max(scale, 1.0)) return ReturnNumber(ctx, 0);
    // Over one period the balance pv (1 + x) + pmt (1 + x t) + fv is linear in x: its one
    // root, however far it lies, or none above -1.
    if (f.n == 1) {
        const double root = -(f.pv + f.pmt + f.fv) / (f.pv + f.pmt * f.t);
        if (root > -1 && IsAcceptableResult(root)) return ReturnNumber(ctx, root);
        return ReturnError(ctx, kErrNum);
    }
    // The side of the guess first (positive when it is 0); then the other side, towards -1
    // for the negative rates that payments worth less than the loan lead to.
    double root = 0;
    auto positive = [&] { return SearchRate(f, std::max(guess, 1e-14), 1e-14, DBL_MAX, root); };
    auto negative = [&] {
        return SearchRate(f, std::min(guess, -1e-14), kLowestRate, -1e-14, root);
    };
    if (guess < 0 ? negative() || positive() : positive() || negative())
        return ReturnNumber(ctx, root);
    ReturnError(ctx, kErrNum);
}

} // namespace

void BindAnnuityFunctions() {
    BindBuiltinFunction("PV", &Pv);
    BindBuiltinFunction("FV", &Fv);
    BindBuiltinFunction("PMT", &Pmt);
    BindBuiltinFunction("NPER", &NPer);
    BindBuiltinFunction("IPMT", &IPmt);
    BindBuiltinFunction("PPMT", &PPmt);
    BindBuiltinFunction("CUMIPMT", &Cumulative<false>);
    BindBuiltinFunction("CUMPRINC", &Cumulative<true>);
    BindBuiltinFunction("RATE", &Rate);
}

} // namespace vl
