#include "functions/general/annuityfunctions.h"

#include "functions/general/argreader.h"
#include "functions/general/regulafalsi.h"

#include <cmath>

namespace vl {

namespace {

// Money paid out is negative. t is 1 for payments at the beginning of each period.
// Every closed form divides by the rate, so a rate of 0 is #NUM!.

void Pv(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pmt = 0, fv = 0;
    int32_t n = 0, t = 0;
    CArgReader args(ctx);
    args.Int(4, t, 0, 1).Number(3, fv).Number(2, pmt).Int(1, n, 0, INT32_MAX).Number(0, r, 0);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnError(ctx, kErrNum);
    double p = std::pow(1 + r, n);
    ReturnNumber(ctx, -(pmt * (1 + r * t) * (p - 1) / r + fv) / p);
}

void Fv(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pmt = 0, pv = 0;
    int32_t n = 0, t = 0;
    CArgReader args(ctx);
    args.Int(4, t, 0, 1).Number(3, pv).Number(2, pmt).Int(1, n, 0, INT32_MAX).Number(0, r, 0);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnError(ctx, kErrNum);
    double p = std::pow(1 + r, n);
    ReturnNumber(ctx, -(pv + (p - 1) * (pv + pmt * (1 + r * t) / r)));
}

void Pmt(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pv = 0, fv = 0;
    int32_t n = 0, t = 0;
    CArgReader args(ctx);
    args.Int(4, t, 0, 1).Number(3, fv).Number(2, pv).Int(1, n, 0, INT32_MAX).Number(0, r, 0);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnError(ctx, kErrNum);
    double p = std::pow(1 + r, n);
    ReturnNumber(ctx, -(p * pv + fv) / ((1 + r * t) / r * (p - 1)));
}

void NPer(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pmt = 0, pv = 0, fv = 0;
    int32_t t = 0;
    CArgReader args(ctx);
    args.Int(4, t, 0, 1).Number(3, fv).Number(2, pv).Number(1, pmt).Number(0, r, 0);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnError(ctx, kErrNum);
    double x = pmt * (1 + r * t) / r;
    ReturnNumber(ctx, std::log((x - fv) / (x + pv)) / std::log(1 + r));
}

// The interest part of payment `period` when pv - fv is paid off in n equal payments at
// the end of each period; `payment` receives the payment's size.
double InterestPart(double r, int32_t period, int32_t n, double pv, double fv, double& payment) {
    double d = pv - fv;
    double p = std::pow(1 + r, n);
    payment = d * r * p / (p - 1);
    double q = std::pow(1 + r, double(period) - 1);
    double balance = d * q - payment * (q - 1) / r;
    return -r * balance;
}

void IPmt(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pv = 0, fv = 0, payment = 0;
    int32_t period = 0, n = 0;
    CArgReader args(ctx);
    args.Number(4, fv).Number(3, pv).Int(2, n, 0, INT32_MAX).Int(1, period, 0, INT32_MAX);
    args.Number(0, r, 0);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnError(ctx, kErrNum);
    ReturnNumber(ctx, InterestPart(r, period, n, pv, fv, payment));
}

// The timing is checked but the split stays the end-of-period one, as in IPMT.
void PPmt(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 6)) return;
    double r = 0, pv = 0, fv = 0, payment = 0;
    int32_t period = 0, n = 0, t = 0;
    CArgReader args(ctx);
    args.Int(5, t, 0, 1).Number(4, fv).Number(3, pv).Int(2, n, 0, INT32_MAX);
    args.Int(1, period, 0, INT32_MAX).Number(0, r, 0);
    if (args.error) return ReturnError(ctx, args.error);
    if (r == 0) return ReturnError(ctx, kErrNum);
    double interest = InterestPart(r, period, n, pv, fv, payment);
    ReturnNumber(ctx, -interest - payment);
}

// Period by period up to this many; beyond it the geometric sums in closed form, so that
// billions of periods cost no more than a few.
constexpr int64_t kMaxSummedPeriods = 10000;

// The interest (or principal) parts of payments first to last of a loan of pv paid off in
// n end-of-period payments of `payment`, as a positive sum.
template <bool Principal>
double SumOfParts(double r, int32_t n, double pv, double payment, int32_t first, int32_t last) {
    const double q = 1 + r;
    const double count = double(int64_t(last) - first + 1);
    if (count > kMaxSummedPeriods) {
        // The principal parts grow by q each period from pv r / (q^n - 1); expm1 and log1p
        // keep the geometric sum accurate for small rates.
        double growth = std::log1p(r);
        double principal = pv * std::pow(q, double(first) - 1) * std::expm1(count * growth) /
                           std::expm1(n * growth);
        return Principal ? principal : count * payment - principal;
    }
    double sum = 0;
    for (int64_t k = first; k <= last; ++k) {
        double qk = std::pow(q, double(k) - 1);
        double interest = r * (pv * qk - payment * (qk - 1) / r);
        sum += Principal ? payment - interest : interest;
    }
    return sum;
}

template <bool Principal> void Cumulative(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 5)) return;
    double r = 0, pv = 0;
    int32_t n = 0, first = 0, last = 0;
    CArgReader args(ctx);
    args.Int(4, last, 1, INT32_MAX).Int(3, first, 1, INT32_MAX).Number(2, pv, 0);
    args.Int(1, n, 0, INT32_MAX).Number(0, r, 0);
    if (args.error) return ReturnError(ctx, args.error);
    if (first > n || last > n) return ReturnError(ctx, kErrValue);
    if (first > last) return ReturnNumber(ctx, 0);
    double p = std::pow(1 + r, n);
    // Multiplied in the same order as IPMT's payment, so that both agree to the last digit.
    double payment = pv * r * p / (p - 1);
    ReturnNumber(ctx, -SumOfParts<Principal>(r, n, pv, payment, first, last));
}

// The widening moves the upper end 0.02 a step: rates up to 2000 per period are found.
constexpr int kMaxWidenings = 100000;

// Future value of the annuity at rate x, which RATE brings to 0.
struct RateGap {
    int32_t n;
    double pmt, pv, fv;
    int32_t t;
    double operator()(double x) const {
        double p = std::pow(1 + x, n);
        return p * pv + pmt * (1 + x * t) * (p - 1) / x + fv;
    }
};

void Rate(CEvalContext& ctx) {
    if (!BeginScalarCall(ctx, 6)) return;
    RateGap f{0, 0, 0, 0, 0};
    double guess = 0;
    CArgReader args(ctx);
    args.Number(5, guess, 0).Int(4, f.t, 0, 1).Number(3, f.fv).Number(2, f.pv);
    args.Number(1, f.pmt).Int(0, f.n, 0, INT32_MAX);
    if (args.error) return ReturnError(ctx, args.error);
    if (std::fabs(f.n * f.pmt + f.pv + f.fv) <= 1e-14) return ReturnNumber(ctx, 0);
    double a = guess == 0 ? 1e-14 : guess, b = a;
    for (int i = 0; i < kMaxWidenings; ++i) {
        double fa = f(a), fb = f(b);
        if (!IsAcceptableResult(fa) || !IsAcceptableResult(fb)) break;
        if (fa * fb < 0) {
            double root = 0;
            if (!RegulaFalsi(f, a, b, fa, fb, root)) break;
            return ReturnNumber(ctx, root);
        }
        a = a - 0.02 > 1e-14 ? a - 0.02 : 1e-14;
        b += 0.02;
    }
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
