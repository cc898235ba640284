// What the references share: reading a call's arguments as the number and range readers take
// them, our result's elements, and the quantiles and linear systems, in long double.
#include "tests/functions/bindall/peerreferences.h"

#include "functions/general/catalogue.h"
#include "tests/functions/bindall/peermodelsupport.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vl::test {

namespace reference {

using namespace peermodel;

Call ReadCall(TestBook& book, const std::string& formula, const std::string& name) {
    Call call;
    std::string outer;
    std::vector<std::string> args;
    if (!SplitCall(formula, outer, args)) return call;
    if (outer == name) {
        call.text = formula.substr(1);
    } else if (outer == "INDEX" && !args.empty() && args[0].rfind(name + "(", 0) == 0) {
        call.text = args[0];
        call.row = args.size() > 1 ? std::size_t(std::atoi(args[1].c_str())) : 1;
        call.column =
            args.size() > 2 && !args[2].empty() ? std::size_t(std::atoi(args[2].c_str())) : 1;
    } else {
        return call;
    }
    call.m = ReadModelCase(book, "=" + call.text, Answer{}, Answer{});
    call.read = call.m.name == name;
    return call;
}

namespace {

bool IsArea(const std::string& text) {
    return text.find(':') != std::string::npos || text.find('_') != std::string::npos ||
           text.front() == '{';
}

bool IsCell(const std::string& text) {
    Area area;
    return text.find(':') == std::string::npos && ReadArea(text, area);
}

} // namespace

Scalar ReadScalar(const Argument& a) {
    Scalar s;
    if (a.text.empty()) {
        s.omitted = true;
        return s;
    }
    if (a.reversed) {
        // A range written from its far corner is #REF!.
        s.error = 6;
        return s;
    }
    if (IsArea(a.text) && !IsCell(a.text)) {
        // An empty intersection keeps its own error.
        s.error = a.values.empty() && a.text.find('_') != std::string::npos ? 3 : 7;
        return s;
    }
    const Answer& v = a.values.front();
    if (v.kind == 'e') {
        s.error = ErrorCode(v) ? ErrorCode(v) : 7;
    } else if (v.kind == 'b') {
        s.blank = true;
    } else if (v.kind == 'n') {
        s.x = v.number;
    } else if (NumericText(v.text)) {
        s.x = std::strtod(v.text.c_str(), nullptr);
        if (!std::isfinite(s.x)) s.error = 5;
    } else {
        s.error = 5;
    }
    return s;
}

Scalar ReadWhole(const Argument& a, double low, double high) {
    Scalar s = ReadScalar(a);
    if (s.error || s.omitted || s.blank) return s;
    if (!(s.x <= 2147483647.0 && s.x >= -2147483647.0)) {
        s.error = 5;
        return s;
    }
    s.x = std::min(RoundHalfAway(s.x), 2147483647.0);
    if (s.x < low || s.x > high) s.error = 5;
    return s;
}

Range ReadRange(const Argument& a) {
    Range r;
    if (a.text.empty()) {
        r.given = false;
        return r;
    }
    const bool cell = IsCell(a.text);
    if (!cell && !IsArea(a.text)) {
        // A value where a range is asked: its own error, else #VALUE!.
        const Answer& v = a.values.front();
        r.error = v.kind == 'e' && ErrorCode(v) ? ErrorCode(v) : 7;
        return r;
    }
    if (a.values.empty() || a.reversed) {
        r.error = a.reversed ? 6 : 3;
        return r;
    }
    r.rows = a.rows;
    r.columns = a.columns;
    if (a.text.find('_') != std::string::npos) {
        // An intersection of columns: its cells stand in one column.
        r.rows = a.values.size();
        r.columns = 1;
    }
    for (const Answer& v : a.values) {
        double x = 0;
        if (v.kind == 'n')
            x = v.number;
        else if (v.kind == 't' && NumericText(v.text))
            x = std::strtod(v.text.c_str(), nullptr);
        else if (v.kind == 't')
            r.texts = true;
        r.v.push_back(std::isfinite(x) ? x : 0);
    }
    return r;
}

Answer Error(int code) {
    return ErrorOfCode(code);
}

bool Near(const Answer& ours, Real want, Real tolerance) {
    if (ours.kind != 'n' || !std::isfinite(double(want))) return false;
    Real scale = std::max<Real>(1, std::fabs(want));
    return std::fabs(Real(ours.number) - want) <= tolerance * scale;
}

std::string Says(const Answer& ours, const std::string& what) {
    return "ours is " + Describe(ours) + ", the reference " + what;
}

Judgement ExpectCount(Call& call, const std::string& function, const Answer& ours) {
    std::size_t total = 0, required = 0;
    for (const FunctionInfo& row : FunctionCatalogue()) {
        if (row.name != function) continue;
        total = (row.code >> 8) & 0xFF;
        const char* name = row.argumentNames;
        for (std::size_t k = 0; k < total; ++k, name += std::strlen(name) + 1)
            required += name[0] == '[' ? 0 : 1;
        break;
    }
    // Optional arguments left off the end stand as omitted ones.
    if (call.m.args.size() >= required && call.m.args.size() <= total) {
        while (call.m.args.size() < total) call.m.args.push_back(Argument{"", {Blank()}});
        return {"-"};
    }
    if (ours.kind == 'e' && ours.text == "#SYNTAX!") return {};
    return {Says(ours, "#SYNTAX! (a call with " + std::to_string(required) + " to " +
                           std::to_string(total) + " arguments)")};
}

Judgement ExpectError(const Answer& ours, int code, const std::string& rule) {
    if (ours.kind == 'e' && ErrorCode(ours) == code) return {};
    return {Says(ours, Describe(Error(code)) + " (" + rule + ")")};
}

Answer OurElement(TestBook& book, const Call& call, std::size_t row, std::size_t column) {
    return Evaluate(book,
                    "=INDEX(" + call.text + "," + std::to_string(row) + "," +
                        std::to_string(column) + ")",
                    19, 0);
}

namespace {

// Bisection on an increasing function from the bracket [low, high].
template <class F> Real Bisect(F cdf, Real target, Real low, Real high) {
    while (cdf(high) < target) high *= 2;
    for (int i = 0; i < 200; ++i) {
        Real mid = (low + high) / 2;
        (cdf(mid) < target ? low : high) = mid;
    }
    return (low + high) / 2;
}

// The regularised incomplete beta function by its continued fraction.
Real BetaFraction(Real a, Real b, Real x) {
    const Real tiny = 1e-300L;
    Real c = 1, d = 1 - (a + b) * x / (a + 1);
    d = 1 / (std::fabs(d) < tiny ? tiny : d);
    Real h = d;
    for (int m = 1; m < 10000; ++m) {
        Real aa = m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m));
        d = 1 + aa * d;
        c = 1 + aa / c;
        d = 1 / (std::fabs(d) < tiny ? tiny : d);
        c = std::fabs(c) < tiny ? tiny : c;
        h *= d * c;
        aa = -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 2 * m + 1));
        d = 1 + aa * d;
        c = 1 + aa / c;
        d = 1 / (std::fabs(d) < tiny ? tiny : d);
        c = std::fabs(c) < tiny ? tiny : c;
        Real step = d * c;
        h *= step;
        if (std::fabs(step - 1) < 1e-19L) break;
    }
    return h;
}

Real IncompleteBeta(Real a, Real b, Real x) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    Real front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) +
                          b * std::log1p(-x));
    if (x < (a + 1) / (a + b + 2)) return front * BetaFraction(a, b, x) / a;
    return 1 - front * BetaFraction(b, a, 1 - x) / b;
}

} // namespace

Real NormalQuantile(Real q) {
    if (q >= 1) return DBL_MAX;
    if (q <= 0) return -DBL_MAX;
    auto cdf = [](Real z) { return std::erfc(-z / std::sqrt(Real(2))) / 2; };
    return Bisect(cdf, q, -40, 40);
}

Real StudentQuantile(Real q, Real d) {
    if (q >= 1) return DBL_MAX;
    if (q <= 0) return -DBL_MAX;
    auto cdf = [d](Real t) {
        Real tail = IncompleteBeta(d / 2, Real(0.5), d / (d + t * t)) / 2;
        return t >= 0 ? 1 - tail : tail;
    };
    return Bisect(cdf, q, -1e6L, 1e6L);
}

bool SolveSquare(std::vector<std::vector<Real>> m, std::vector<Real> rhs, std::vector<Real>& x) {
    const std::size_t n = rhs.size();
    Real scale = 0;
    for (const auto& row : m)
        for (Real v : row) scale = std::max(scale, std::fabs(v));
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(m[r][c]) > std::fabs(m[pivot][c])) pivot = r;
        if (std::fabs(m[pivot][c]) <= 1e-15L * scale || scale == 0) return false;
        std::swap(m[c], m[pivot]);
        std::swap(rhs[c], rhs[pivot]);
        for (std::size_t r = c + 1; r < n; ++r) {
            Real f = m[r][c] / m[c][c];
            for (std::size_t k = c; k < n; ++k) m[r][k] -= f * m[c][k];
            rhs[r] -= f * rhs[c];
        }
    }
    x.assign(n, 0);
    for (std::size_t c = n; c-- > 0;) {
        Real s = rhs[c];
        for (std::size_t k = c + 1; k < n; ++k) s -= m[c][k] * x[k];
        x[c] = s / m[c][c];
    }
    return true;
}

} // namespace reference

const std::map<std::string, Reference>& References() {
    static const std::map<std::string, Reference> references = [] {
        std::map<std::string, Reference> all;
        reference::AddSolverReferences(all);
        reference::AddSearchReferences(all);
        reference::AddSeriesReferences(all);
        return all;
    }();
    return references;
}

} // namespace vl::test
