// LPROG, LPROGINT, LPROGBIN and QPROG against solvers of their own: the vertices of the
// feasible region enumerated (the optimum of a linear program lies on one), the whole points
// of integer programs enumerated, and every active set of a quadratic program tried. Our
// vector must be feasible and reach the reference's optimum.
#include "tests/functions/bindall/peermodelsupport.h"
#include "tests/functions/bindall/peerreferences.h"
#include "tests/functions/bindall/peerreferences_linear.h"

#include <cmath>
#include <functional>
#include <optional>

namespace vl::test::reference {

namespace {

using linear::SolveSquare;
using peermodel::ErrorCode;

// One constraint a x (type) b: 1 for <=, 0 for =, -1 for >=.
struct Constraint {
    std::vector<Real> a;
    int type = 1;
    Real b = 0;
};

enum class Kind { kLinear, kInteger, kBinary, kQuadratic };

struct Program {
    std::size_t n = 0;
    std::vector<Constraint> rows; // the constraints, then x >= 0
    std::vector<Real> c;          // objective (p for the quadratic kind)
    std::vector<std::vector<Real>> C;
    std::vector<bool> whole; // integer variables
};

Real Slack(const Constraint& k, const std::vector<Real>& x, Real& scale) {
    Real s = 0;
    scale = std::fabs(k.b) + 1;
    for (std::size_t j = 0; j < x.size(); ++j) {
        s += k.a[j] * x[j];
        scale += std::fabs(k.a[j] * x[j]);
    }
    return s - k.b;
}

bool Feasible(const Program& p, const std::vector<Real>& x, Real tolerance) {
    for (const Constraint& k : p.rows) {
        Real scale = 0, d = Slack(k, x, scale);
        if ((k.type >= 0 && d > tolerance * scale) || (k.type <= 0 && d < -tolerance * scale))
            return false;
    }
    for (Real v : x)
        if (v < -tolerance * (1 + std::fabs(v))) return false;
    return true;
}

// Every constraint including the bounds x >= 0, as equalities to choose from.
std::vector<Constraint> Faces(const Program& p) {
    std::vector<Constraint> faces = p.rows;
    for (std::size_t j = 0; j < p.n; ++j) {
        Constraint k;
        k.a.assign(p.n, 0);
        k.a[j] = 1;
        k.type = -1;
        faces.push_back(k);
    }
    return faces;
}

// Calls `visit` with every choice of `size` faces; false when there are too many to try.
bool Choices(std::size_t total, std::size_t size,
             const std::function<void(const std::vector<std::size_t>&)>& visit) {
    Real count = 1;
    for (std::size_t i = 0; i < size; ++i) count = count * Real(total - i) / Real(i + 1);
    if (size > total || count > 400000) return size <= total ? false : true;
    std::vector<std::size_t> pick(size);
    for (std::size_t i = 0; i < size; ++i) pick[i] = i;
    while (true) {
        visit(pick);
        std::size_t i = size;
        while (i > 0 && pick[i - 1] == total - size + i - 1) --i;
        if (i == 0) return true;
        ++pick[i - 1];
        for (std::size_t k = i; k < size; ++k) pick[k] = pick[k - 1] + 1;
    }
}

// The feasible vertices; nullopt when there are too many choices to try.
std::optional<std::vector<std::vector<Real>>> Vertices(const Program& p) {
    std::vector<Constraint> faces = Faces(p);
    std::vector<std::vector<Real>> found;
    bool done = Choices(faces.size(), p.n, [&](const std::vector<std::size_t>& pick) {
        std::vector<std::vector<Real>> m;
        std::vector<Real> rhs, x;
        for (std::size_t i : pick) {
            m.push_back(faces[i].a);
            rhs.push_back(faces[i].b);
        }
        if (SolveSquare(m, rhs, x) && Feasible(p, x, 1e-12L)) found.push_back(x);
    });
    if (!done) return std::nullopt;
    return found;
}

Real Dot(const std::vector<Real>& a, const std::vector<Real>& b) {
    Real s = 0;
    for (std::size_t j = 0; j < a.size(); ++j) s += a[j] * b[j];
    return s;
}

// The recession cone cut by sum d = 1: an improving direction means no bounded optimum.
bool Unbounded(const Program& p) {
    Program cone = p;
    for (Constraint& k : cone.rows) k.b = 0;
    Constraint norm;
    norm.a.assign(p.n, 1);
    norm.type = 0;
    norm.b = 1;
    cone.rows.push_back(norm);
    auto vertices = Vertices(cone);
    Real scale = 0;
    for (Real v : p.c) scale = std::max(scale, std::fabs(v));
    if (!vertices) return false;
    for (const auto& d : *vertices)
        if (Dot(p.c, d) > 1e-12L * scale) return true;
    return false;
}

struct Optimum {
    int error = 0; // 3 infeasible, 7 unbounded
    bool tooLarge = false;
    Real value = 0;
    std::vector<std::vector<Real>> points;
};

void Keep(Optimum& o, const std::vector<Real>& x, Real value) {
    Real tolerance = 1e-12L * std::max<Real>(1, std::fabs(value));
    if (o.points.empty() || value > o.value + tolerance) {
        o.points.assign(1, x);
        o.value = value;
    } else if (std::fabs(value - o.value) <= tolerance) {
        // A vertex that several choices of faces reach counts once.
        for (const auto& y : o.points) {
            Real apart = 0;
            for (std::size_t j = 0; j < x.size(); ++j)
                apart = std::max(apart, std::fabs(x[j] - y[j]) / (1 + std::fabs(y[j])));
            if (apart <= 1e-12L) return;
        }
        o.points.push_back(x);
    }
}

Optimum LinearOptimum(const Program& p) {
    Optimum o;
    auto vertices = Vertices(p);
    if (!vertices) {
        o.tooLarge = true;
        return o;
    }
    if (vertices->empty()) {
        o.error = 3;
        return o;
    }
    if (Unbounded(p)) {
        o.error = 7;
        return o;
    }
    for (const auto& x : *vertices) Keep(o, x, Dot(p.c, x));
    return o;
}

// Every whole value of the integer variables within the relaxation's bounds, the rest solved
// as a linear program.
Optimum WholeOptimum(const Program& p) {
    Optimum relaxed = LinearOptimum(p);
    if (relaxed.error || relaxed.tooLarge) return relaxed;
    std::vector<long long> top(p.n, 0);
    Real count = 1;
    for (std::size_t j = 0; j < p.n; ++j) {
        if (!p.whole[j]) continue;
        Program up = p;
        up.c.assign(p.n, 0);
        up.c[j] = 1;
        Optimum bound = LinearOptimum(up);
        if (bound.error || bound.tooLarge) return bound;
        top[j] = (long long)std::floor(bound.value + 1e-9L);
        count *= Real(top[j] + 1);
    }
    Optimum o;
    if (count > 20000) {
        o.tooLarge = true;
        return o;
    }
    std::vector<long long> at(p.n, 0);
    while (true) {
        Program fixed = p;
        for (std::size_t j = 0; j < p.n; ++j) {
            if (!p.whole[j]) continue;
            Constraint k;
            k.a.assign(p.n, 0);
            k.a[j] = 1;
            k.type = 0;
            k.b = Real(at[j]);
            fixed.rows.push_back(k);
        }
        Optimum part = LinearOptimum(fixed);
        if (part.tooLarge) return part;
        for (const auto& x : part.points) Keep(o, x, part.value);
        std::size_t j = 0;
        while (j < p.n && (!p.whole[j] || at[j] == top[j])) {
            at[j] = 0;
            ++j;
        }
        if (j == p.n) break;
        ++at[j];
    }
    if (o.points.empty()) o.error = 3;
    return o;
}

Real QuadraticValue(const Program& p, const std::vector<Real>& x) {
    Real v = Dot(p.c, x);
    for (std::size_t i = 0; i < p.n; ++i)
        for (std::size_t j = 0; j < p.n; ++j) v -= x[i] * p.C[i][j] * x[j];
    return v;
}

// C + C' positive definite by Cholesky: the objective is then strictly concave.
bool Concave(const Program& p) {
    std::vector<std::vector<Real>> h(p.n, std::vector<Real>(p.n));
    for (std::size_t i = 0; i < p.n; ++i)
        for (std::size_t j = 0; j < p.n; ++j) h[i][j] = p.C[i][j] + p.C[j][i];
    for (std::size_t j = 0; j < p.n; ++j) {
        Real d = h[j][j];
        for (std::size_t k = 0; k < j; ++k) d -= h[j][k] * h[j][k];
        if (d <= 0) return false;
        h[j][j] = std::sqrt(d);
        for (std::size_t i = j + 1; i < p.n; ++i) {
            Real s = h[i][j];
            for (std::size_t k = 0; k < j; ++k) s -= h[i][k] * h[j][k];
            h[i][j] = s / h[j][j];
        }
    }
    return true;
}

// Each set of active faces: the stationary point on them, kept when feasible.
Optimum QuadraticOptimum(const Program& p) {
    Optimum o;
    auto vertices = Vertices(p);
    if (!vertices || !Concave(p)) {
        o.tooLarge = true;
        return o;
    }
    if (vertices->empty()) {
        o.error = 3;
        return o;
    }
    std::vector<Constraint> faces = Faces(p);
    for (std::size_t size = 0; size <= p.n; ++size) {
        bool done = Choices(faces.size(), size, [&](const std::vector<std::size_t>& pick) {
            std::size_t dim = p.n + size;
            std::vector<std::vector<Real>> m(dim, std::vector<Real>(dim, 0));
            std::vector<Real> rhs(dim, 0), z;
            for (std::size_t i = 0; i < p.n; ++i) {
                for (std::size_t j = 0; j < p.n; ++j) m[i][j] = p.C[i][j] + p.C[j][i];
                rhs[i] = p.c[i];
            }
            for (std::size_t k = 0; k < size; ++k) {
                for (std::size_t j = 0; j < p.n; ++j) {
                    m[p.n + k][j] = faces[pick[k]].a[j];
                    m[j][p.n + k] = faces[pick[k]].a[j];
                }
                rhs[p.n + k] = faces[pick[k]].b;
            }
            if (!SolveSquare(m, rhs, z)) return;
            std::vector<Real> x(z.begin(), z.begin() + std::ptrdiff_t(p.n));
            if (Feasible(p, x, 1e-12L)) Keep(o, x, QuadraticValue(p, x));
        });
        if (!done) o.tooLarge = true;
    }
    return o;
}

// The arguments read as the built-in reads them: the scalars from the last, then the ranges;
// the largest error; the shapes.
struct Reading {
    int error = 0;
    Program p;
    long long vector = 0;
};

Reading ReadProgram(const ModelCase& m, Kind kind) {
    Reading r;
    const bool quadratic = kind == Kind::kQuadratic;
    const bool integer = kind == Kind::kInteger || kind == Kind::kBinary;
    const std::size_t count = integer ? 8 : 7;
    std::size_t i = count;
    if (!quadratic) r.error = std::max(r.error, ReadScalar(m.args[--i]).error);
    Scalar big = quadratic ? Scalar{} : ReadScalar(m.args[i]);
    Scalar epsilon = ReadScalar(m.args[--i]);
    r.error = std::max(r.error, epsilon.error);
    if (!big.error && big.x < 0) r.error = std::max(r.error, 5);
    if (!epsilon.error && epsilon.x < 0) r.error = std::max(r.error, 5);
    Scalar vector = ReadWhole(m.args[--i], 0, 2147483647.0);
    r.error = std::max(r.error, vector.error);
    r.vector = (long long)vector.x;
    Range mask = integer ? ReadRange(m.args[--i]) : Range{};
    Range C = quadratic ? ReadRange(m.args[--i]) : Range{};
    Range c = ReadRange(m.args[--i]), b = ReadRange(m.args[--i]), s = ReadRange(m.args[--i]),
          A = ReadRange(m.args[--i]);
    for (const Range* range : {&mask, &C, &c, &b, &s, &A})
        r.error = std::max(r.error, range->error);
    if (r.error) return r;
    const std::size_t rows = A.rows, n = A.columns;
    bool shapes = s.rows == rows && s.columns == 1 && b.rows == rows && b.columns == 1 &&
                  c.rows == n && c.columns == 1;
    if (quadratic) shapes = shapes && C.rows == n && C.columns == n;
    if (integer && mask.given) shapes = shapes && mask.rows == n && mask.columns == 1;
    if (!shapes) {
        r.error = 7;
        return r;
    }
    // The relations are codes: a text among them is refused.
    if (s.texts) {
        r.error = 7;
        return r;
    }
    Program& p = r.p;
    p.n = n;
    for (std::size_t k = 0; k < rows; ++k) {
        Constraint row;
        for (std::size_t j = 0; j < n; ++j) row.a.push_back(A.At(k, j));
        row.type = s.v[k] == 1 ? 1 : s.v[k] == -1 ? -1 : s.v[k] == 0 ? 0 : 2;
        row.b = b.v[k];
        if (row.type == 2) {
            // Any other code is no relation the solver knows: not judged here.
            r.error = -2;
            return r;
        }
        p.rows.push_back(row);
    }
    p.c = c.v;
    if (quadratic) {
        p.C.assign(n, std::vector<Real>(n));
        for (std::size_t a = 0; a < n; ++a)
            for (std::size_t k = 0; k < n; ++k) p.C[a][k] = C.At(a, k);
    }
    p.whole.assign(n, false);
    for (std::size_t j = 0; integer && mask.given && j < n; ++j) p.whole[j] = mask.v[j] == 1;
    if (kind == Kind::kBinary)
        for (std::size_t j = 0; j < n; ++j) {
            if (!p.whole[j]) continue;
            Constraint one;
            one.a.assign(n, 0);
            one.a[j] = 1;
            one.b = 1;
            p.rows.push_back(one);
        }
    return r;
}

// Our vector, element by element.
bool OurVector(TestBook& book, const Call& call, std::size_t n, std::vector<Real>& x,
               Answer& failure) {
    x.clear();
    for (std::size_t j = 1; j <= n; ++j) {
        Answer a = OurElement(book, call, j, 1);
        if (a.kind != 'n') {
            failure = a;
            return false;
        }
        x.push_back(a.number);
    }
    return true;
}

Judgement JudgeProgram(TestBook& book, const Call& call, const Answer& ours, Kind kind) {
    Reading r = ReadProgram(call.m, kind);
    if (r.error == -2) return {"a relation code other than 1, 0 and -1 is not judged"};
    if (r.error) return ExpectError(ours, r.error, "the arguments' largest error");
    const Program& p = r.p;
    Optimum o = kind == Kind::kQuadratic                          ? QuadraticOptimum(p)
                : kind == Kind::kInteger || kind == Kind::kBinary ? WholeOptimum(p)
                                                                  : LinearOptimum(p);
    if (o.tooLarge)
        return {"the program is beyond the reference (too many vertices, or C not definite)"};
    if (o.error)
        return ExpectError(ours, o.error, o.error == 3 ? "no feasible point" : "unbounded");
    if (r.vector == 0) {
        // The count of optimum vectors: at least one, and more where the optimum is not alone.
        bool whole = ours.kind == 'n' && ours.number == std::floor(ours.number);
        bool enough = ours.kind == 'n' && ours.number >= (o.points.size() > 1 ? 2 : 1);
        if (call.row != 1 || call.column != 1) {
            // INDEX past a number: what INDEX gives for any number there.
            Answer past = Evaluate(book,
                                   "=INDEX(1," + std::to_string(call.row) + "," +
                                       std::to_string(call.column) + ")",
                                   19, 0);
            if (ours.kind == past.kind && ours.text == past.text) return {};
            return {Says(ours, Describe(past) + " (INDEX past a number)")};
        }
        if (whole && enough) return {};
        return {Says(ours, "a count of at least " + std::to_string(o.points.size() > 1 ? 2 : 1))};
    }
    if (call.column != 1 || call.row < 1 || call.row > p.n)
        return ExpectError(ours, 6, "INDEX past the vector");
    std::vector<Real> x;
    Answer failure;
    if (!OurVector(book, call, p.n, x, failure)) {
        // A vector past the optimum vectors found does not exist.
        if (r.vector >= 2 && ErrorCode(failure) == 3 && ErrorCode(ours) == 3) return {};
        return {Says(failure, "an optimum vector")};
    }
    if (!Near(ours, x[call.row - 1], 0)) return {Says(ours, "the element of our own vector")};
    if (!Feasible(p, x, 1e-9L)) return {Says(ours, "a feasible vector (ours is not)")};
    for (std::size_t j = 0; j < p.n; ++j)
        if (p.whole[j] && std::fabs(x[j] - std::round(x[j])) > 1e-9L)
            return {Says(ours, "a whole number at " + std::to_string(j + 1))};
    Real value = kind == Kind::kQuadratic ? QuadraticValue(p, x) : Dot(p.c, x);
    if (std::fabs(value - o.value) > 1e-9L * std::max<Real>(1, std::fabs(o.value)))
        return {Says(ours, "the optimum " + peermodel::Number(double(o.value)) +
                               " (our vector reaches " + peermodel::Number(double(value)) + ")")};
    // A single optimum is met element by element.
    if (o.points.size() == 1 && !Near(ours, o.points[0][call.row - 1], 1e-9L))
        return {Says(ours, peermodel::Number(double(o.points[0][call.row - 1])))};
    return {};
}

} // namespace

void AddSolverReferences(std::map<std::string, Reference>& references) {
    auto add = [&](const char* function, const char* name, Kind kind) {
        references[function] =
            Counted(function, name, [kind](TestBook& book, const Call& call, const Answer& ours) {
                return JudgeProgram(book, call, ours, kind);
            });
    };
    add("LProg", "LPROG", Kind::kLinear);
    add("LProgInt", "LPROGINT", Kind::kInteger);
    add("LProgBin", "LPROGBIN", Kind::kBinary);
    add("QProg", "QPROG", Kind::kQuadratic);
}

} // namespace vl::test::reference
