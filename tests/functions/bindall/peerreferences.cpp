// What the references share: the registry, the call each judges, the rule by which our answer
// meets a reference, and the quantiles, in long double.
#include "tests/functions/bindall/peerreferences.h"

#include "functions/general/catalogue.h"
#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vl::test {

namespace {

bool SameElement(const Answer& ours, const Answer& want, double scale) {
    // A singular vector of a repeated value: any element of a unit vector.
    if (want.kind == 'x') return ours.kind == 'n' && std::fabs(ours.number) <= 1 + 1e-13;
    if (ours.kind != want.kind) return false;
    if (ours.kind != 'n') return ours.text == want.text;
    double bound = 1e-13 * std::max({std::fabs(ours.number), std::fabs(want.number), scale});
    return ours.number == want.number || std::fabs(ours.number - want.number) <= bound;
}

} // namespace

bool MeetsReference(const Answer& ours, const Grid& reference, std::size_t index) {
    if (index >= reference.cells.size()) return false;
    if (SameElement(ours, reference.cells[index], reference.scale)) return true;
    if (index >= reference.alternatives.size()) return false;
    for (const Answer& a : reference.alternatives[index])
        if (SameElement(ours, a, reference.scale)) return true;
    return false;
}

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

bool CountFits(Call& call, const std::string& function) {
    std::size_t total = 0, required = 0;
    bool list = false;
    for (const FunctionInfo& row : FunctionCatalogue()) {
        if (row.name != function) continue;
        total = (row.code >> 8) & 0xFF;
        list = (row.code >> 16) & 1;
        const char* name = row.argumentNames;
        for (std::size_t k = 0; k < total; ++k, name += std::strlen(name) + 1)
            required += name[0] == '[' ? 0 : 1;
        break;
    }
    if (call.m.args.size() < required || call.m.args.size() > (list ? 255 : total)) return false;
    while (!list && call.m.args.size() < total) call.m.args.push_back(Argument{"", {Blank()}});
    return true;
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

Reference Counted(const std::string& function, const std::string& name, CallJudge judge) {
    Reference r;
    r.judge = [function, name, judge](TestBook& book, const std::string& formula,
                                      const Answer& ours) -> Judgement {
        Call call = ReadCall(book, formula, name);
        if (!call.read) return {"the reference reads no call of " + name};
        if (CountFits(call, function)) return judge(book, call, ours);
        if (ours.kind == 'e' && ours.text == "#SYNTAX!") return {};
        return {Says(ours,
                     "#SYNTAX! (a call with a count of arguments " + function + " does not take)")};
    };
    return r;
}

Grid ScalarGrid(const Answer& a) {
    Grid g;
    g.cells.push_back(a);
    return g;
}

Grid ErrorGrid(const char* error) {
    return ScalarGrid(Answer{'e', 0, error});
}

Reference Worked(const std::string& function, const std::string& name, Build build) {
    Reference r;
    r.withEquivalents = false;
    r.whole = [function, name, build](TestBook& book, const std::string& formula, Grid& g) {
        Call call = ReadCall(book, formula, name);
        // Only the direct call: its first element is what the case shows.
        if (!call.read || call.text.size() + 1 != formula.size()) return false;
        g = CountFits(call, function) ? build(call.m) : ErrorGrid("#SYNTAX!");
        // An empty result shows nothing in its cell: no answer of ours meets that.
        if (g.cells.empty()) g.cells.push_back(Answer{'e', 0, "<empty array>"});
        return true;
    };
    r.judge = [whole = r.whole](TestBook& book, const std::string& formula,
                                const Answer& ours) -> Judgement {
        Grid g;
        if (!whole(book, formula, g)) return {"", false, false};
        if (MeetsReference(ours, g, 0)) return {};
        return {Says(ours, Describe(g.cells.front()))};
    };
    return r;
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

} // namespace reference

const std::map<std::string, Reference>& References() {
    static const std::map<std::string, Reference> references = [] {
        std::map<std::string, Reference> all;
        reference::AddSolverReferences(all);
        reference::AddSearchReferences(all);
        reference::AddSeriesReferences(all);
        reference::AddMatrixReferences(all);
        reference::AddListReferences(all);
        reference::AddDateReferences(all);
        return all;
    }();
    return references;
}

} // namespace vl::test
