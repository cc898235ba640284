// The model of the argument bounds: each function's arguments within their bounds, #NUM!
// beyond them (the largest error code winning), and the answers at the bounds the peer
// refuses.
#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

namespace vl::test::peermodel {

namespace {

// The arguments as numbers (an empty one or an empty cell as 0, NAN for one that is no
// number) and the largest error code among them.
struct Numbers {
    std::vector<double> v;
    std::vector<bool> given;
    int worst = 0;
    double operator[](std::size_t i) const { return i < v.size() ? v[i] : 0; }
    bool has(std::size_t i) const { return i < given.size() && given[i]; }
};

Numbers Read(const ModelCase& m) {
    Numbers n;
    for (const Argument& a : m.args) {
        const Answer& v = a.values.front();
        double x = 0;
        if (v.kind == 'e')
            n.worst = std::max(n.worst, ErrorCode(v) ? ErrorCode(v) : 5);
        else if (v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos)
            x = 0;
        else if (v.kind != 'b' && !ReadNumber(v, x))
            n.worst = std::max(n.worst, 5), x = NAN;
        n.v.push_back(x);
        n.given.push_back(!a.text.empty());
    }
    return n;
}

bool Whole01(double x) {
    double r = RoundHalfAway(x);
    return r == 0 || r == 1;
}

// Whether an argument lies beyond the function's bounds.
bool Beyond(const std::string& name, const Numbers& a, const Answer& peer) {
    static const std::set<std::string> annuity = {"FV", "PV", "PMT", "NPER", "IPMT", "PPMT"};
    const std::size_t type = name == "IPMT" || name == "PPMT" ? 5 : 4;
    if (annuity.count(name)) {
        bool periods = (name == "PMT" || name == "PV" || name == "FV") && RoundHalfAway(a[1]) < 1;
        return a[0] <= -1 || (a.has(type) && !Whole01(a[type])) || periods ||
               ((name == "IPMT" || name == "PPMT") && (RoundHalfAway(a[2]) < 1));
    }
    if (name == "RATE")
        // RATE finds rates above 0 only.
        return RoundHalfAway(a[0]) < 1 || (a.has(4) && !Whole01(a[4])) ||
               (peer.kind == 'n' && peer.number <= 0) || peer.kind == 'e';
    if (name == "CUMIPMT" || name == "CUMPRINC")
        return a[0] <= -1 || RoundHalfAway(a[1]) < 1 || RoundHalfAway(a[3]) < 1 ||
               RoundHalfAway(a[4]) < 1 || (a.has(5) && !Whole01(a[5]));
    if (name == "PERMUT" || name == "COMBIN" || name == "COMBIN2") return RoundHalfAway(a[1]) < 0;
    if (name == "FIXED") return (a.has(2) && !Whole01(a[2])) || RoundHalfAway(a[1]) >= 15;
    if (name == "DOLLAR") return RoundHalfAway(a[1]) >= 15;
    if (name == "ROUND" || name == "ROUNDUP" || name == "ROUNDDOWN" || name == "TRUNC")
        return RoundHalfAway(a[1]) > 32767 || RoundHalfAway(a[1]) < -32768;
    if (name == "SLN") return a[2] <= 0 || a[2] > 2147483647.0;
    if (name == "GCD" || name == "LCM") {
        for (double x : a.v)
            if (RoundHalfAway(x) != 0) return false;
        return true;
    }
    if (name == "LOG") return a[1] <= 0 || a[1] == 1;
    if (name == "SYD")
        return RoundHalfAway(a[2]) < 1 || RoundHalfAway(a[3]) < 1 ||
               RoundHalfAway(a[3]) > RoundHalfAway(a[2]);
    if (name == "EXPONDIST") return a[0] < 0;
    if (name == "FACT" || name == "FACTDOUBLE")
        return RoundHalfAway(a[0]) < 0 || RoundHalfAway(a[0]) > 170;
    if (name == "MULTINOMIAL") {
        for (double x : a.v)
            if (RoundHalfAway(x) < 0) return true;
        return false;
    }
    if (name == "DB") return RoundHalfAway(a[3]) < 1;
    if (name == "ADDRESS") {
        // Row and column within the sheet, the reference type 1 to 4, the style a flag; an
        // empty type or style takes its default.
        const double row = RoundHalfAway(a[0]), column = RoundHalfAway(a[1]);
        const double type = a.has(2) ? RoundHalfAway(a[2]) : 1;
        return row < 1 || row > 2097152 || column < 1 || column > 2047 || type < 1 || type > 4 ||
               (a.has(3) && !Whole01(a[3]));
    }
    if (name == "DOLLARDE" || name == "DOLLARFR") return RoundHalfAway(a[1]) < 1;
    return false;
}

// The answers at the bounds the peer refuses: none at all, the law's end, the mean.
bool AtBound(const std::string& name, const Numbers& a, const Answer& ours) {
    auto is = [&](double want) { return Agree(ours, Answer{'n', want, ""}); };
    if (name == "PERMUT" || name == "COMBIN" || name == "COMBIN2") {
        // None chosen is one way; more than there are, none.
        const double n = RoundHalfAway(a[0]), k = RoundHalfAway(a[1]);
        return (k == 0 && is(1)) || (name != "COMBIN2" && k > n && is(0)) ||
               (name == "PERMUT" && k <= n &&
                is(std::round(std::exp(std::lgamma(n + 1) - std::lgamma(n - k + 1)))));
    }
    if (name == "FACT" || name == "FACTDOUBLE") return RoundHalfAway(a[0]) == 0 && is(1);
    if (name == "MULTINOMIAL") {
        // The whole numbers' multinomial, 0 among them.
        long double sum = 0, logs = 0;
        for (double x : a.v) {
            sum += RoundHalfAway(x);
            logs -= std::lgamma((long double)RoundHalfAway(x) + 1);
        }
        return is(double(std::round(std::exp(std::lgamma(sum + 1) + logs))));
    }
    if (name == "FV" || name == "PV" || name == "PMT" || name == "NPER") {
        // The annuity over whole periods, at any rate above -1.
        const long double r = a[0], t = a.has(4) ? RoundHalfAway(a[4]) : 0;
        if (r == 0) return false;
        const long double n = RoundHalfAway(a[1]), g = std::pow(1 + r, n), k = 1 + r * t;
        if (name == "FV") return is(double(-(a[3] * g + a[2] * k * (g - 1) / r)));
        if (name == "PV") return is(double(-(a[3] + a[2] * k * (g - 1) / r) / g));
        if (name == "PMT") return is(double(-(a[3] + a[2] * g) * r / (k * (g - 1))));
        // The log of the ratio of what is owed at the end to the start, taken near 1.
        return is(double(std::log1p(-(a[3] + a[2]) * r / (a[1] * k + a[2] * r)) / std::log1p(r)));
    }
    if (name == "BINOMDIST") {
        double k = RoundHalfAway(a[0]), n = RoundHalfAway(a[1]);
        return k > n && is(RoundHalfAway(a[3]) ? 1 : 0);
    }
    if (name == "HYPGEOMDIST") return is(0);
    if (name == "EXPONDIST") {
        // A rate of 0 or below is taken as it is.
        double rate = a[1], x = a[0];
        return rate <= 0 &&
               is(RoundHalfAway(a[2]) ? 1 - std::exp(-rate * x) : rate * std::exp(-rate * x));
    }
    if (name == "CONFIDENCE") return (a[0] == 1 || a[1] == 0) && is(0);
    if (name == "IPMT" || name == "PPMT") {
        // A period outside 1..nper follows the same balance. At the end of the periods (type
        // 0) the interest is on what is owed after per - 1 payments; at their start (type 1)
        // payment k pays the interest on what was owed after payment k - 1, none the first.
        long double r = a[0], per = RoundHalfAway(a[1]), n = RoundHalfAway(a[2]), pv = a[3],
                    fv = a[4];
        bool start = a.has(5) && RoundHalfAway(a[5]) != 0;
        if (n == 0) return false;
        // (1 + r)^k - 1 without the cancellation of a small rate.
        auto grown = [&](long double k) { return std::expm1(k * std::log1p(r)); };
        auto annuity = [&](long double k) { return r == 0 ? k : grown(k) / r; };
        long double payment = -(pv * (1 + grown(n)) + fv) / (annuity(n) * (start ? 1 + r : 1));
        long double interest = 0;
        if (!start)
            interest = -(pv * (1 + grown(per - 1)) + payment * annuity(per - 1)) * r;
        else if (per != 1)
            interest = -((pv + payment) * (1 + grown(per - 2)) + payment * annuity(per - 2)) * r;
        if (name == "IPMT") return is(double(interest));
        // The principal part in closed form, -r (pv + fv) (1 + r)^(per - 1) / ((1 + r)^n - 1):
        // payment less interest cancels where the balance has shrunk far below the payment.
        const long double part = r == 0 ? payment : -r * (pv + fv) / grown(n);
        if (!start) return is(double(part * std::pow(1 + r, per - 1)));
        return is(double(per == 1 ? payment : part * std::pow(1 + r, per - 2)));
    }
    if (name == "CHIDIST") return a[0] < 0 && is(0);
    if (name == "NORMDIST") return a[2] == 0 && is(a[0] >= a[1] ? 1 : 0);
    if (name == "NORMINV") return a[2] == 0 && is(a[1]);
    if (name == "CUMIPMT") return (a[0] == 0 || RoundHalfAway(a[3]) > RoundHalfAway(a[4])) && is(0);
    if (name == "CUMPRINC") {
        double n = RoundHalfAway(a[1]), s = RoundHalfAway(a[3]), e = RoundHalfAway(a[4]);
        return ((s > e || a[2] == 0) && is(0)) || (a[0] == 0 && is(-a[2] * (e - s + 1) / n));
    }
    if (name == "NOMINAL") return a[0] == 0 && is(0);
    if (name == "GCD") {
        // The greatest common divisor of the magnitudes.
        long long g = 0;
        for (double x : a.v) {
            long long v = std::llabs((long long)RoundHalfAway(x));
            while (v) {
                long long r = g % v;
                g = v;
                v = r;
            }
        }
        return is(double(g));
    }
    return false;
}

std::string ArgumentBounds(TestBook& book, const ModelCase& m) {
    (void)book;
    Numbers a = Read(m);
    if (m.ours.kind == 'e') {
        bool beyond = Beyond(m.name, a, m.peer);
        int code = std::max(a.worst, beyond ? 5 : 0);
        return Expect(code && Agree(m.ours, ErrorOfCode(code)), m, "an argument beyond its bounds");
    }
    return Expect(!a.worst && AtBound(m.name, a, m.ours), m, "the answer at the bound");
}

} // namespace

void AddBoundsModels(std::map<std::string, Model>& models) {
    models.insert({{"argument bounds", ArgumentBounds}});
}

} // namespace vl::test::peermodel
