// ROOT, MINSIMPLEX and MINMC against searches of their own over the function cell's formula,
// evaluated here with the variables written into its text: a bisection for the root, a
// pattern search for the minimum, and for MINMC's random points the region a best point
// lies in but with a chance below 1e-12.
#include "tests/functions/bindall/peermodelsupport.h"
#include "tests/functions/bindall/peerreferences.h"

#include <cfloat>
#include <cmath>
#include <regex>

namespace vl::test::reference {

namespace {

using peermodel::ErrorCode;
using peermodel::Number;

// The formula cells of the data block, by name.
const std::map<std::string, std::string>& Formulas() {
    static const std::map<std::string, std::string> formulas = [] {
        std::map<std::string, std::string> all;
        for (const DataCell& cell : ReadPeerFile().data)
            if (cell.kind == "f") all[cell.cell] = cell.content;
        return all;
    }();
    return formulas;
}

bool IsCellName(const std::string& text) {
    return std::regex_match(text, std::regex(R"([A-Z]{1,2}[1-9]\d*)"));
}

// The objective: the function cell's formula with the variables' values written in.
struct Objective {
    std::string formula;
    std::vector<std::string> names;
    std::vector<double> start; // the variables' numbers before the search
    mutable std::vector<std::regex> patterns;

    Real operator()(TestBook& book, const std::vector<double>& x, bool& ok) const {
        // The names' patterns, made once: the grids evaluate thousands of points.
        while (patterns.size() < names.size())
            patterns.emplace_back("\\b" + names[patterns.size()] + "\\b");
        std::string text = formula;
        for (std::size_t i = 0; i < names.size(); ++i)
            text = std::regex_replace(text, patterns[i], "(" + Number(x[i]) + ")");
        Answer a = Evaluate(book, text, 19, 0);
        ok = a.kind == 'n' && std::isfinite(a.number);
        return ok ? a.number : 0;
    }
};

// A variable cell holds a number, constant or computed; a function cell is a formula cell
// whose value is a number.
bool Numeric(const Answer& a) {
    return a.kind == 'n';
}

// The function argument: one cell holding a numeric formula, else #REF!.
int ReadFunction(const Argument& a, Objective& f) {
    if (!IsCellName(a.text)) return 6;
    auto at = Formulas().find(a.text);
    if (at == Formulas().end() || !Numeric(a.values.front())) return 6;
    f.formula = at->second;
    return 0;
}

// ROOT's variable: one cell (a reference, not a range) holding a number.
int ReadVariableCell(const Argument& a, Objective& f) {
    if (!IsCellName(a.text) || !Numeric(a.values.front())) return 6;
    f.names.push_back(a.text);
    f.start.push_back(a.values.front().number);
    return 0;
}

// The minimisers' variables: a range of one column and at most 1,023 cells, each a number.
int ReadVariableRange(const Argument& a, Objective& f) {
    peermodel::Area area;
    if (a.text.find(':') == std::string::npos || !peermodel::ReadArea(a.text, area)) return 6;
    if (area.c1 != area.c2 || std::abs(area.r2 - area.r1) >= 1023) return 6;
    for (int r = std::min(area.r1, area.r2); r <= std::max(area.r1, area.r2); ++r) {
        const Answer& v = a.values[std::size_t(r - std::min(area.r1, area.r2))];
        if (!Numeric(v)) return 6;
        std::string column = a.text.substr(0, a.text.find_first_of("0123456789"));
        f.names.push_back(column + std::to_string(r + 1));
        f.start.push_back(v.number);
    }
    return 0;
}

// ROOT: f(x0) and f(x1) of opposite signs bracket a root, found here by bisection; ours must
// lie within epsilon of it.
Judgement JudgeRoot(TestBook& book, const Call& call, const Answer& ours) {
    const auto& args = call.m.args;
    Scalar epsilon = ReadScalar(args[4]), x1 = ReadScalar(args[3]), x0 = ReadScalar(args[2]);
    int error = std::max({epsilon.error, x1.error, x0.error});
    if (!epsilon.error && epsilon.x < 0) error = std::max(error, 5);
    if (!error && !(x0.x < x1.x)) error = 5;
    Objective f;
    error = std::max(error, ReadVariableCell(args[1], f));
    error = std::max(error, ReadFunction(args[0], f));
    if (error) return ExpectError(ours, error, "the arguments' largest error");
    bool ok0 = false, ok1 = false;
    Real f0 = f(book, {x0.x}, ok0), f1 = f(book, {x1.x}, ok1);
    if (!ok0 || !ok1 || f0 * f1 >= 0) return ExpectError(ours, 7, "no sign change");
    Real low = x0.x, high = x1.x;
    for (int i = 0; i < 200; ++i) {
        Real mid = low + (high - low) / 2;
        bool ok = false;
        Real fm = f(book, {double(mid)}, ok);
        if (!ok) return {"the reference meets a failed evaluation inside the bracket"};
        if (fm == 0) low = high = mid;
        (fm * f0 > 0 ? low : high) = mid;
    }
    Real root = (low + high) / 2;
    Real tolerance = std::max<Real>(epsilon.x > 0 ? epsilon.x : 1e-15, 0) +
                     8 * DBL_EPSILON * std::fabs(root) + 1e-300L;
    if (ours.kind == 'n' && std::fabs(ours.number - root) <= tolerance) return {};
    // Near the root the sum may cancel to an exact 0 over a few last bits: a zero there is
    // a root too.
    bool ok = false;
    if (ours.kind == 'n' && std::fabs(ours.number - root) <= 64 * tolerance &&
        f(book, {ours.number}, ok) == 0 && ok)
        return {};
    return {Says(ours, "the root " + Number(double(root)))};
}

// The usage column and the variables the two minimisers share, after their own arguments.
struct Search {
    int error = 0;
    Objective f;
    std::vector<bool> free;
};

Search ReadSearch(const std::vector<Argument>& args, int error) {
    Search s;
    Range usage = ReadRange(args[2]);
    s.error =
        std::max({error, usage.error, ReadVariableRange(args[1], s.f), ReadFunction(args[0], s.f)});
    if (s.error) return s;
    const std::size_t n = s.f.names.size();
    s.free.assign(n, false);
    if (!usage.given) return s;
    if (usage.columns != 1 || usage.rows != n) {
        s.error = 7;
        return s;
    }
    for (std::size_t i = 0; i < n; ++i) s.free[i] = usage.v[i] == 1;
    return s;
}

// A pattern search: steps grow while they gain and halve when none does. Unbounded when the
// point runs past 1e12.
bool PatternMinimum(TestBook& book, const Search& s, std::vector<double>& x, Real& best) {
    x = s.f.start;
    bool ok = false;
    best = s.f(book, x, ok);
    if (!ok) return false;
    for (double step = 1; step > 1e-12;) {
        bool gained = false;
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (!s.free[i]) continue;
            for (double sign : {1.0, -1.0}) {
                std::vector<double> y = x;
                y[i] += sign * step;
                Real v = s.f(book, y, ok);
                if (ok && v < best) {
                    x = y;
                    best = v;
                    gained = true;
                    break;
                }
            }
        }
        for (double v : x)
            if (std::fabs(v) > 1e12) return false;
        step = gained ? step * 2 : step / 2;
    }
    return true;
}

Judgement JudgeMinSimplex(TestBook& book, const Call& call, const Answer& ours) {
    const auto& args = call.m.args;
    Scalar result = ReadWhole(args[6], 1, 3), steps = ReadWhole(args[5], 0, 2147483647.0);
    Scalar epsilon = ReadScalar(args[4]), start = ReadScalar(args[3]);
    int error = std::max({result.error, steps.error, epsilon.error, start.error});
    if (!epsilon.error && epsilon.x < 0) error = std::max(error, 5);
    if (!start.error && start.x < 0) error = std::max(error, 5);
    Search s = ReadSearch(args, error);
    if (s.error) return ExpectError(ours, s.error, "the arguments' largest error");
    const int kind = result.omitted || result.blank ? 1 : int(result.x);
    const double limit = steps.x < 1 ? 2000 : steps.x;
    std::vector<double> x;
    Real best = 0;
    bool anyFree = false;
    for (bool free : s.free) anyFree = anyFree || free;
    if (!PatternMinimum(book, s, x, best)) return ExpectError(ours, 5, "no lowest point");
    // Where every first vertex has the starting value the search converges at its first
    // test: one step, the point unchanged.
    bool flat = true;
    for (std::size_t k = 0; k < s.free.size(); ++k) {
        if (!s.free[k]) continue;
        std::vector<double> y = s.f.start;
        y[k] += start.x > 0 ? start.x : 1e-5;
        bool ok = false, okStart = false;
        flat = flat && s.f(book, y, ok) == s.f(book, s.f.start, okStart) && ok && okStart;
    }
    if (flat) {
        x = s.f.start;
        anyFree = false;
    }
    // How many steps the simplex takes is its own: one held to a few steps may stop before
    // it converges, which it reports as #NUM!.
    if (anyFree && limit < 100 && ErrorCode(ours) == 5) return {};
    const Real eps = epsilon.x > 0 ? epsilon.x : 1e-25L;
    const Real level = std::max<Real>(1e-12L, 10 * eps) * std::max<Real>(1, std::fabs(best));
    if (kind == 3) {
        if (call.row != 1 || call.column != 1) return ExpectError(ours, 6, "INDEX past a number");
        if (ours.kind == 'n' && ours.number >= 1 && ours.number <= limit &&
            ours.number == std::floor(ours.number) && (anyFree || ours.number == 1))
            return {};
        return {Says(ours, "a count of steps within the limit")};
    }
    if (kind == 2) {
        if (call.row != 1 || call.column != 1) return ExpectError(ours, 6, "INDEX past a number");
        if (Near(ours, best, level)) return {};
        return {Says(ours, "the least value " + Number(double(best)))};
    }
    if (call.column != 1 || call.row < 1 || call.row > x.size())
        return ExpectError(ours, 6, "INDEX past the vector");
    const std::size_t i = call.row - 1;
    // Near a smooth minimum the value rises with the square of the distance.
    const Real distance = std::sqrt(level) * 10 + 1e-6L;
    if (!s.free[i] ? ours.kind == 'n' && ours.number == s.f.start[i] : Near(ours, x[i], distance))
        return {};
    return {Says(ours, "the lowest point's " + Number(x[i]))};
}

Judgement& WithinBox(Judgement& j, const Answer& ours, double from, double to) {
    if (ours.kind != 'n' || ours.number < from || ours.number > to)
        j.fault = Says(ours, "a point within [" + Number(from) + ", " + Number(to) + "]");
    return j;
}

// MINMC draws n points: the best one lies where f is below the level that a share d of the
// box falls under, with (1 - d)^n = 1e-12; its coordinates lie in that region's projection,
// found on a grid over the free variables (at most two).
Judgement JudgeMinMc(TestBook& book, const Call& call, const Answer& ours) {
    const auto& args = call.m.args;
    Scalar points = ReadWhole(args[5], 1, 2147483647.0), to = ReadScalar(args[4]),
           from = ReadScalar(args[3]);
    int error = std::max({points.error, to.error, from.error});
    if (!points.error && (points.omitted || points.blank)) error = std::max(error, 5);
    if (!error && !(to.x > from.x)) error = 5;
    Search s = ReadSearch(args, error);
    if (s.error) return ExpectError(ours, s.error, "the arguments' largest error");
    if (call.column != 1 || call.row < 1 || call.row > s.f.names.size())
        return ExpectError(ours, 6, "INDEX past the vector");
    const std::size_t i = call.row - 1;
    if (!s.free[i]) {
        if (ours.kind == 'n' && ours.number == s.f.start[i]) return {};
        return {Says(ours, "the fixed " + Number(s.f.start[i]))};
    }
    Judgement j;
    j.drawn = true;
    const double width = to.x - from.x;
    if (!std::isfinite(width)) {
        // Every point drawn lies at infinity: its evaluation fails.
        std::vector<double> far = s.f.start;
        for (std::size_t k = 0; k < far.size(); ++k)
            if (s.free[k]) far[k] = INFINITY;
        bool ok = false;
        s.f(book, far, ok);
        j.drawn = false;
        if (!ok) return ExpectError(ours, 7, "a failed evaluation");
    }
    std::vector<std::size_t> free;
    for (std::size_t k = 0; k < s.free.size(); ++k)
        if (s.free[k]) free.push_back(k);
    if (free.size() > 2 || !std::isfinite(width)) return WithinBox(j, ours, from.x, to.x);
    const int grid = free.size() == 1 ? 2000 : 120;
    const Real share = 1 - std::pow(Real(1e-12L), 1 / Real(points.x));
    std::vector<std::pair<Real, double>> values; // f, the coordinate i
    Real failed = 0;
    std::vector<double> y = s.f.start;
    for (int a = 0; a < grid; ++a)
        for (int b = 0; b < (free.size() == 2 ? grid : 1); ++b) {
            y[free[0]] = from.x + width * (a + 0.5) / grid;
            if (free.size() == 2) y[free[1]] = from.x + width * (b + 0.5) / grid;
            bool ok = false;
            Real v = s.f(book, y, ok);
            if (ok) values.push_back({v, y[i]});
            failed += ok ? 0 : 1;
        }
    // Where evaluations fail on a share of the box, a draw meets one but with a small chance.
    const Real cells = Real(grid) * (free.size() == 2 ? grid : 1);
    if (failed > 0 && std::pow(1 - failed / cells, Real(points.x)) < 1e-12L) {
        j.drawn = false;
        return ExpectError(ours, 7, "a failed evaluation");
    }
    if (failed > 0 && ErrorCode(ours) == 7) return j;
    if (!WithinBox(j, ours, from.x, to.x).fault.empty()) return j;
    std::sort(values.begin(), values.end());
    std::size_t within = std::min(values.size(), std::size_t(std::ceil(share * values.size())) + 1);
    double low = to.x, high = from.x;
    for (std::size_t k = 0; k < within; ++k) {
        low = std::min(low, values[k].second);
        high = std::max(high, values[k].second);
    }
    const double cell = width / grid;
    if (ours.number < low - cell || ours.number > high + cell)
        j.fault = Says(ours, "a best point within [" + Number(low - cell) + ", " +
                                 Number(high + cell) + "]");
    return j;
}

} // namespace

void AddSearchReferences(std::map<std::string, Reference>& references) {
    references["root"] = Counted("root", "ROOT", JudgeRoot);
    references["minSimplex"] = Counted("minSimplex", "MINSIMPLEX", JudgeMinSimplex);
    references["minMC"] = Counted("minMC", "MINMC", JudgeMinMc);
}

} // namespace vl::test::reference
