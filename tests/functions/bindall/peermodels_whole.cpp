// Whole-number arguments worked out where the peer takes the fraction itself or refuses it:
// the annuities over whole periods and timings, the depreciations over whole lives and
// periods, the binomial law, factorials, combinations, REPT's count and the F and t laws'
// whole degrees of freedom.
#include "tests/functions/bindall/peermodelsupport.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numeric>

namespace vl::test::peermodel {

namespace {

// Argument i as a number (an empty cell or blanks 0), `otherwise` when it is not given;
// NAN when it is no number.
double Arg(const ModelCase& m, std::size_t i, double otherwise = 0) {
    if (i >= m.args.size() || m.args[i].text.empty()) return otherwise;
    const Answer& v = m.args[i].values.front();
    double x = 0;
    if (v.kind == 'b' || (v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos))
        return 0;
    return m.args[i].values.size() == 1 && ReadNumber(v, x) ? x : NAN;
}

double Whole(const ModelCase& m, std::size_t i, double otherwise = 0) {
    return RoundHalfAway(Arg(m, i, otherwise));
}

bool Is(const ModelCase& m, long double want) {
    return Agree(m.ours, Answer{'n', double(want), ""});
}

// FV, PV, PMT and NPER with the periods and the timing whole; a rate of 0 is the plain sum.
bool Annuity(const ModelCase& m) {
    const long double r = Arg(m, 0), t = Whole(m, 4);
    if (t != 0 && t != 1) return false;
    const long double k = 1 + r * t;
    if (m.name == "NPER") {
        const long double pmt = Arg(m, 1), pv = Arg(m, 2), fv = Arg(m, 3);
        const long double x = pmt * k / r;
        return r != 0 && Is(m, std::log((x - fv) / (x + pv)) / std::log1p(r));
    }
    const long double n = Whole(m, 1), a = Arg(m, 2), b = Arg(m, 3);
    // (1 + r)^n - 1 without the cancellation of a small rate.
    const long double gm1 = std::expm1(n * std::log1p(r)), g = 1 + gm1;
    if (m.name == "FV") return Is(m, r == 0 ? -(b + a * n) : -(b * g + a * k * gm1 / r));
    if (m.name == "PV") return Is(m, r == 0 ? -(b + a * n) : -(a * k * gm1 / r + b) / g);
    if (m.name == "PMT") return Is(m, r == 0 ? -(a + b) / n : -(g * a + b) / (k / r * gm1));
    return false;
}

// RATE's answer is a rate above 0 at which the whole periods' annuity balances.
bool Rate(const ModelCase& m) {
    const long double n = Whole(m, 0), pmt = Arg(m, 1), pv = Arg(m, 2), fv = Arg(m, 3),
                      t = Whole(m, 4);
    if (m.ours.kind != 'n' || m.ours.number <= 0) return false;
    const long double x = m.ours.number, g = std::pow(1 + x, n);
    const long double f = g * pv + pmt * (1 + x * t) * (g - 1) / x + fv;
    const long double scale = std::fabs(g * pv) + std::fabs(pmt * (1 + x * t) * (g - 1) / x);
    return std::fabs(f) <= 1e-12L * scale;
}

// DB over whole lives, periods and months; DDB keeps the book value at or above the salvage.
bool Depreciation(const ModelCase& m) {
    const long double cost = Arg(m, 0), salvage = Arg(m, 1), life = Whole(m, 2),
                      period = Whole(m, 3);
    if (m.name == "DDB") {
        const long double rate = Arg(m, 4, 2) / life;
        const long double book = cost * std::pow(1 - rate, period - 1);
        const long double excess = std::fmax(book - salvage, 0.0L);
        return Is(m, period < life ? std::fmin(book * rate, excess) : excess);
    }
    const long double month = Whole(m, 4, 12);
    const long double rate = 1 - std::pow(salvage / cost, 1 / life);
    long double total = 0, d = 0;
    for (long double k = 1; k <= period; ++k) {
        d = k == 1          ? cost * rate * month / 12
            : k == life + 1 ? (cost - total) * rate * (12 - month) / 12
                            : (cost - total) * rate;
        total += d;
    }
    return Is(m, d);
}

long double LogChoose(long double n, long double k) {
    return std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1);
}

bool Binomial(const ModelCase& m) {
    const long double x = Whole(m, 0), n = Whole(m, 1), p = Arg(m, 2);
    if (Whole(m, 3) != 1) return false;
    long double sum = 0;
    for (long double k = 0; k <= std::min(x, n); ++k)
        sum += std::exp(LogChoose(n, k) + k * std::log(p) + (n - k) * std::log1p(-p));
    return Is(m, sum);
}

// The regularised incomplete beta function by its continued fraction.
long double BetaFraction(long double a, long double b, long double x) {
    const long double tiny = 1e-300L;
    long double c = 1, d = 1 - (a + b) * x / (a + 1);
    d = 1 / (std::fabs(d) < tiny ? tiny : d);
    long double h = d;
    for (int i = 1; i < 10000; ++i) {
        for (int odd = 0; odd < 2; ++odd) {
            const long double e = odd ? -(a + i) * (a + b + i) * x / ((a + 2 * i) * (a + 2 * i + 1))
                                      : i * (b - i) * x / ((a + 2 * i - 1) * (a + 2 * i));
            d = 1 + e * d;
            d = 1 / (std::fabs(d) < tiny ? tiny : d);
            c = 1 + e / c;
            if (std::fabs(c) < tiny) c = tiny;
            h *= c * d;
            if (odd && std::fabs(c * d - 1) < 1e-19L) return h;
        }
    }
    return h;
}

long double IncompleteBeta(long double a, long double b, long double x) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    const long double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                       a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1) / (a + b + 2)) return front * BetaFraction(a, b, x) / a;
    return 1 - front * BetaFraction(b, a, 1 - x) / b;
}

// FDIST is the lower tail of F at whole degrees of freedom; TINV the lower-tail quantile of t.
bool Laws(const ModelCase& m) {
    if (m.name == "FDIST") {
        const long double x = Arg(m, 0), d1 = Whole(m, 1), d2 = Whole(m, 2);
        return Is(m, IncompleteBeta(d1 / 2, d2 / 2, d1 * x / (d1 * x + d2)));
    }
    const long double p = Arg(m, 0), df = Whole(m, 1), t = m.ours.number;
    if (m.ours.kind != 'n') return false;
    const long double tail = IncompleteBeta(df / 2, 0.5L, df / (df + t * t)) / 2;
    const long double lower = t < 0 ? tail : 1 - tail;
    return std::fabs(lower - p) <= 1e-9L * p;
}

// COMBIN2 chooses with repetition, k not above n; LCM of whole numbers; FACT(n) within a
// formula; REPT's count whole.
bool Counting(TestBook& book, const ModelCase& m) {
    if (m.name == "COMBIN2") {
        const double n = Whole(m, 0), k = Whole(m, 1);
        if (k > n || n < 1) return IsError(m.ours, "#NUM!");
        return Is(m, std::round(std::exp(LogChoose(n + k - 1, k))));
    }
    if (m.name == "LCM") {
        long long l = 1;
        for (std::size_t i = 0; i < m.args.size(); ++i) {
            const long long v = std::llabs((long long)Whole(m, i));
            l = v == 0 ? 0 : l == 0 ? 0 : std::lcm(l, v);
        }
        return Is(m, l);
    }
    if (m.name == "REPT") {
        const double n = Whole(m, 1);
        std::string text;
        for (double k = 0; k < n; ++k) text += m.args[0].values.front().text;
        return n >= 0 && Agree(m.ours, Answer{'t', 0, text});
    }
    if (m.name == "FACT") {
        const std::string call = CallText(m.formula, "FACT");
        const double n = Whole(m, 0);
        if (call.empty() || n < 0) return false;
        const double fact = std::round(std::exp(std::lgamma(n + 1)));
        return Agree(m.ours, WithCallAnswer(book, m.formula, call, Answer{'n', fact, ""}));
    }
    return false;
}

// DAY of a DATE and HOUR of a TIME read the field rounded half away from zero.
bool FieldRead(const ModelCase& m) {
    std::string inner;
    std::vector<std::string> fields;
    if (m.args.size() != 1 || !SplitCall("=" + m.args[0].text, inner, fields) || fields.size() != 3)
        return false;
    double f[3];
    for (int i = 0; i < 3; ++i) f[i] = RoundHalfAway(std::atof(fields[std::size_t(i)].c_str()));
    if (m.name == "DAY" && inner == "DATE" && f[2] >= 1 && f[2] <= 28) return Is(m, f[2]);
    if (m.name == "HOUR" && inner == "TIME" && f[1] == 0 && f[2] == 0 && f[0] >= 0 && f[0] < 24)
        return Is(m, f[0]);
    return false;
}

} // namespace

bool WholeArgumentsComputed(TestBook& book, const ModelCase& m) {
    const std::string& n = m.name;
    if (m.ours.kind == 'e' && n != "COMBIN2") return false;
    if (n == "FV" || n == "PV" || n == "PMT" || n == "NPER") return Annuity(m);
    if (n == "RATE") return Rate(m);
    if (n == "DB" || n == "DDB") return Depreciation(m);
    if (n == "BINOMDIST") return Binomial(m);
    if (n == "FDIST" || n == "TINV") return Laws(m);
    if (n == "DAY" || n == "HOUR") return FieldRead(m);
    return Counting(book, m);
}

} // namespace vl::test::peermodel
