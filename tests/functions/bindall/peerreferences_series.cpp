// POLYREG, POLYPOINTS and TIMESERIES recomputed from their definitions in long double (the
// orthonormal polynomials by Gram-Schmidt over the weights, each local fit by its normal
// equations), and RTD and UDF by the rule for a server the list does not name.
#include "tests/functions/bindall/peermodelsupport.h"
#include "tests/functions/bindall/peerreferences.h"
#include "tests/functions/bindall/peerreferences_linear.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vl::test::reference {

namespace {

using linear::SolveSquare;
using peermodel::ErrorCode;
using peermodel::Number;

// A result of rows x columns; a value that is not finite is #NUM!.
struct Table {
    std::size_t rows = 0, columns = 0;
    std::vector<Real> v;
};

Judgement JudgeElement(const Call& call, const Answer& ours, const Table& t, Real tolerance) {
    if (call.row < 1 || call.row > t.rows || call.column < 1 || call.column > t.columns)
        return ExpectError(ours, 6, "INDEX past the result");
    Real want = t.v[(call.row - 1) * t.columns + call.column - 1];
    if (!std::isfinite(double(want))) return ExpectError(ours, 5, "a value that is not finite");
    if (Near(ours, want, tolerance)) return {};
    return {Says(ours, Number(double(want)))};
}

int Worst(std::initializer_list<int> errors) {
    int worst = 0;
    for (int e : errors) worst = std::max(worst, e);
    return worst;
}

// A required whole number or probability: omitted is #NUM!.
Scalar Required(const Argument& a, double low, double high, bool whole) {
    Scalar s = whole ? ReadWhole(a, low, high) : ReadScalar(a);
    if (s.omitted) s.error = std::max(s.error, 5);
    if (!whole && !s.error && !s.blank && !(s.x >= low && s.x <= high)) s.error = 5;
    return s;
}

// The orthonormal polynomials f_1..f_r over the points with weights 1/sy^2, as the rows of
// a lower triangular B, each with a positive leading coefficient.
std::vector<std::vector<Real>> Orthonormal(const std::vector<Real>& t, const std::vector<Real>& g,
                                           std::size_t r) {
    std::vector<std::vector<Real>> B;
    auto at = [&](const std::vector<Real>& coef, Real x) {
        Real v = 0;
        for (std::size_t k = coef.size(); k-- > 0;) v = v * x + coef[k];
        return v;
    };
    for (std::size_t j = 0; j < r; ++j) {
        std::vector<Real> p(j + 1, 0);
        p[j] = 1;
        for (int twice = 0; twice < 2; ++twice)
            for (const auto& q : B) {
                Real dot = 0;
                for (std::size_t i = 0; i < t.size(); ++i) dot += g[i] * at(p, t[i]) * at(q, t[i]);
                for (std::size_t k = 0; k < q.size(); ++k) p[k] -= dot * q[k];
            }
        Real norm = 0;
        for (std::size_t i = 0; i < t.size(); ++i) norm += g[i] * at(p, t[i]) * at(p, t[i]);
        for (Real& v : p) v /= std::sqrt(norm);
        B.push_back(p);
    }
    return B;
}

Real Horner(const std::vector<Real>& coef, Real x) {
    Real v = 0;
    for (std::size_t k = coef.size(); k-- > 0;) v = v * x + coef[k];
    return v;
}

Judgement JudgePolyReg(TestBook&, const Call& call, const Answer& ours) {
    const auto& a = call.m.args;
    Scalar type = ReadWhole(a[4], 1, 3), r = ReadWhole(a[3], 1, 2147483647.0);
    Range sy = ReadRange(a[2]), y = ReadRange(a[1]), t = ReadRange(a[0]);
    int error = Worst({type.error, r.error, sy.error, y.error, t.error});
    if (error) return ExpectError(ours, error, "the arguments' largest error");
    const std::size_t n = t.rows, terms = r.omitted || r.blank ? 1 : std::size_t(r.x);
    if (n < terms || t.columns != 1 || y.columns != 1 || sy.columns != 1 || y.rows != n ||
        sy.rows != n)
        return ExpectError(ours, 7, "the shapes");
    std::vector<Real> g;
    for (Real s : sy.v) g.push_back(1 / (s * s));
    auto B = Orthonormal(t.v, g, terms);
    std::vector<Real> x, chi2;
    std::vector<Real> fit(n, 0);
    for (std::size_t j = 0; j < terms; ++j) {
        Real xj = 0;
        for (std::size_t i = 0; i < n; ++i) xj += Horner(B[j], t.v[i]) * g[i] * y.v[i];
        x.push_back(xj);
        Real c = 0;
        for (std::size_t i = 0; i < n; ++i) {
            fit[i] += xj * Horner(B[j], t.v[i]);
            c += g[i] * (y.v[i] - fit[i]) * (y.v[i] - fit[i]);
        }
        chi2.push_back(c);
    }
    const int kind = type.omitted || type.blank ? 1 : int(type.x);
    Table out;
    out.rows = terms;
    out.columns = kind == 2 ? terms : 1;
    if (kind == 1) out.v = x;
    if (kind == 3) out.v = chi2;
    if (kind == 2)
        for (std::size_t j = 0; j < terms; ++j)
            for (std::size_t k = 0; k < terms; ++k) out.v.push_back(k <= j ? B[j][k] : 0);
    // chi2 of a fit through every point is a difference of nearly equal sums.
    Real scale = 0;
    for (std::size_t i = 0; i < n; ++i) scale += g[i] * y.v[i] * y.v[i];
    Judgement j = JudgeElement(call, ours, out, 1e-9L);
    if (!j.fault.empty() && kind == 3 && ours.kind == 'n' && call.column == 1 &&
        call.row <= out.rows &&
        std::fabs(Real(ours.number) - out.v[call.row - 1]) <= 1e-12L * std::max<Real>(1, scale))
        return {};
    return j;
}

Judgement JudgePolyPoints(TestBook&, const Call& call, const Answer& ours) {
    const auto& a = call.m.args;
    Scalar p = Required(a[6], 1e-15, 1, false);
    Range t = ReadRange(a[5]);
    Scalar r = Required(a[4], 1, 2147483647.0, true), n = Required(a[3], 1, 2147483647.0, true);
    Range chi2 = ReadRange(a[2]), B = ReadRange(a[1]), x = ReadRange(a[0]);
    int error = Worst({p.error, t.error, r.error, n.error, chi2.error, B.error, x.error});
    if (error) return ExpectError(ours, error, "the arguments' largest error");
    const std::size_t R = x.rows, terms = std::size_t(r.x);
    if (x.columns != 1 || chi2.columns != 1 || t.columns != 1 || B.rows != R || B.columns != R ||
        chi2.rows != R || terms > R || n.x < Real(R))
        return ExpectError(ours, 7, "the shapes");
    const Real s2 = -chi2.v[terms - 1], q = (Real(p.x) + 1) / 2;
    const Real dof = Real(n.x) - Real(terms);
    const Real factor = s2 <= 0 ? 1 : std::sqrt(s2 / dof);
    const Real quantile = s2 <= 0 ? NormalQuantile(q) : StudentQuantile(q, dof);
    Table out;
    out.rows = t.rows;
    out.columns = 2;
    for (Real point : t.v) {
        Real value = 0, squares = 0;
        for (std::size_t i = 0; i < terms; ++i) {
            std::vector<Real> row(B.v.begin() + std::ptrdiff_t(i * R),
                                  B.v.begin() + std::ptrdiff_t(i * R + i + 1));
            Real f = Horner(row, point);
            value += x.v[i] * f;
            squares += f * f;
        }
        Real width = std::sqrt(squares) * quantile * factor;
        out.v.push_back(value);
        out.v.push_back(std::fabs(width) > DBL_MAX ? INFINITY : width);
    }
    // The quantile is found to 1e-8 (normal) or 1e-6 (t) only.
    return JudgeElement(call, ours, out, call.column == 2 ? (s2 <= 0 ? 1e-7L : 1e-5L) : 1e-9L);
}

Judgement JudgeTimeSeries(TestBook&, const Call& call, const Answer& ours) {
    const auto& a = call.m.args;
    Scalar p = Required(a[3], 1e-15, 1, false), k = Required(a[2], 1, 2147483647.0, true),
           l = Required(a[1], 1, 2147483647.0, true);
    Range y = ReadRange(a[0]);
    int error = Worst({p.error, k.error, l.error, y.error});
    if (error) return ExpectError(ours, error, "the arguments' largest error");
    const long long K = (long long)k.x, L = (long long)l.x, N = (long long)y.rows;
    if (y.columns != 1 || L >= 2 * K + 1 || N < 2 * K + 1)
        return ExpectError(ours, 7, "the shapes");
    // V: the window's offsets -K..K to the powers 0..L; Q = (V'V)^-1.
    const std::size_t terms = std::size_t(L + 1);
    std::vector<std::vector<Real>> normal(terms, std::vector<Real>(terms, 0)), Q(terms);
    for (std::size_t a1 = 0; a1 < terms; ++a1)
        for (std::size_t b1 = 0; b1 < terms; ++b1)
            for (long long tau = -K; tau <= K; ++tau)
                normal[a1][b1] += std::pow(Real(tau), Real(a1 + b1));
    for (std::size_t c = 0; c < terms; ++c) {
        std::vector<Real> unit(terms, 0);
        unit[c] = 1;
        std::vector<Real> column;
        if (!SolveSquare(normal, unit, column))
            return {"the window's normal equations are singular"};
        for (std::size_t r = 0; r < terms; ++r) Q[r].push_back(column[r]);
    }
    const Real d = Real(2 * K - L);
    const Real quantile = StudentQuantile((Real(p.x) + 1) / 2, d);
    // The fit of the window centred on point `centre` (1-based), its value and half-width at
    // offset tau.
    auto at = [&](long long centre, long long tau, Real& value, Real& width) {
        std::vector<Real> rhs(terms, 0), beta;
        for (long long o = -K; o <= K; ++o)
            for (std::size_t e = 0; e < terms; ++e)
                rhs[e] += std::pow(Real(o), Real(e)) * y.v[std::size_t(centre - 1 + o)];
        SolveSquare(normal, rhs, beta);
        Real squares = 0;
        for (long long o = -K; o <= K; ++o) {
            Real fit = 0;
            for (std::size_t e = 0; e < terms; ++e) fit += beta[e] * std::pow(Real(o), Real(e));
            Real r = y.v[std::size_t(centre - 1 + o)] - fit;
            squares += r * r;
        }
        Real M = squares / d, tQt = 0;
        value = 0;
        for (std::size_t e = 0; e < terms; ++e) {
            value += beta[e] * std::pow(Real(tau), Real(e));
            for (std::size_t f = 0; f < terms; ++f)
                tQt += std::pow(Real(tau), Real(e)) * Q[e][f] * std::pow(Real(tau), Real(f));
        }
        width = std::sqrt(std::fabs(tQt * M)) * quantile;
        if (!(d > 0)) width = NAN;
    };
    Table out;
    out.rows = std::size_t(N + 2 * K);
    out.columns = 2;
    for (long long position = 1; position <= N + 2 * K; ++position) {
        Real value = 0, width = 0;
        if (position <= 2 * K)
            at(K + 1, position - (2 * K + 1), value, width);
        else if (position > N)
            at(N - K, position - N, value, width);
        else
            at(position - K, 0, value, width);
        out.v.push_back(value);
        out.v.push_back(std::fabs(width) > DBL_MAX ? INFINITY : width);
    }
    return JudgeElement(call, ours, out, call.column == 2 ? 1e-5L : 1e-9L);
}

// servers.conf as the program reads it: the first field of each line names a ProgID.
bool Listed(const std::string& progId) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string path =
        config && *config ? std::string(config) : std::string(home ? home : "") + "/.config";
    std::ifstream list(path + "/Vorlane/servers.conf");
    std::string line;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        std::string first;
        if (fields >> first && first[0] != '#' && first == progId) return true;
    }
    return false;
}

// GetStringArg: an error gives its code, an area or array #VALUE!; a number its text.
int TextOf(const Argument& a, std::string& text) {
    text.clear();
    if (a.text.empty()) return 0;
    Scalar s = ReadScalar(a);
    if (s.error == 7 || s.error == 3) return s.error;
    const Answer& v = a.values.front();
    if (v.kind == 'e') return ErrorCode(v) ? ErrorCode(v) : 7;
    if (v.kind == 't') text = v.text;
    if (v.kind == 'n') text = Number(v.number);
    return 0;
}

// The server arguments and the rule for a server: remote or unlisted, #REF!.
Judgement ServerRule(const Answer& ours, const std::vector<Argument>& a, int error) {
    std::string machine, progId;
    error = Worst({error, TextOf(a[1], machine), TextOf(a[0], progId)});
    if (error) return ExpectError(ours, error, "the arguments' largest error");
    if (Listed(progId)) return {"servers.conf lists " + progId + ": the reference has no server"};
    return ExpectError(ours, 6, "no server listed");
}

Judgement JudgeRtd(TestBook& book, const std::string& formula, const Answer& ours) {
    Call call = ReadCall(book, formula, "RTD");
    if (!call.read || call.m.args.size() < 3) return {"the reference reads no RTD call"};
    const auto& a = call.m.args;
    int error = 0;
    std::size_t characters = 0, names = 0;
    for (std::size_t i = a.size(); i-- > 2;) {
        auto take = [&](const std::string& text) {
            if (characters + text.size() > 1023) return 7;
            characters += text.size();
            names += text.empty() ? 0 : 1;
            return 0;
        };
        if (IsAreaText(a[i].text)) {
            // A range written from its far corner is #REF!.
            if (a[i].reversed) error = std::max(error, 6);
            for (const Answer& v : a[i].values) {
                if (a[i].reversed) break;
                if (v.kind == 'b') continue;
                if (v.kind == 'e') {
                    error = std::max(error, ErrorCode(v));
                    break;
                }
                int e = take(v.kind == 't' ? v.text : Number(v.number));
                if (e) {
                    error = std::max(error, e);
                    break;
                }
            }
            continue;
        }
        std::string text;
        int e = TextOf(a[i], text);
        error = std::max(error, e ? e : take(text));
    }
    if (!error) {
        std::string machine, progId;
        int server = Worst({TextOf(a[1], machine), TextOf(a[0], progId)});
        // No name at all asks for nothing.
        if (!server && names == 0) return ExpectError(ours, 7, "no property named");
    }
    return ServerRule(ours, a, error);
}

Judgement JudgeUdf(TestBook& book, const std::string& formula, const Answer& ours) {
    Call call = ReadCall(book, formula, "UDF");
    if (!call.read || call.m.args.size() < 3) return {"the reference reads no UDF call"};
    const auto& a = call.m.args;
    int error = 0;
    for (std::size_t i = a.size(); i-- > 3;) {
        if (IsAreaText(a[i].text)) {
            for (const Answer& v : a[i].values)
                if (v.kind == 'e') error = std::max(error, ErrorCode(v));
            if (a[i].reversed) error = std::max(error, 6);
            continue;
        }
        Scalar s = ReadScalar(a[i]);
        const Answer& v = a[i].values.front();
        if (v.kind == 'e')
            error = std::max(error, ErrorCode(v));
        else if (s.error == 3 || s.error == 7)
            error = std::max(error, s.error);
    }
    std::string method;
    return ServerRule(ours, a, Worst({error, TextOf(a[2], method)}));
}

} // namespace

void AddSeriesReferences(std::map<std::string, Reference>& references) {
    references["polyReg"] = Counted("polyReg", "POLYREG", JudgePolyReg);
    references["polyPoints"] = Counted("polyPoints", "POLYPOINTS", JudgePolyPoints);
    references["timeSeries"] = Counted("timeSeries", "TIMESERIES", JudgeTimeSeries);
    references["rtd"] = Reference{JudgeRtd, {}, true};
    references["udf"] = Reference{JudgeUdf, {}, true};
}

} // namespace vl::test::reference
