// The Monte Carlo and downhill-simplex minimisers over worksheet cells.
#include "functions/numeric/random.h"
#include "functions/numeric/userfunction.h"

#include <cfloat>
#include <cmath>
#include <vector>

namespace vl {

namespace {

bool IsFree(const Matrix& mask, int32_t i) {
    return VectorAt(mask, i) == 1.0;
}

// from + (to − from)·u without forming to − from, which overflows for ends of opposite
// signs near the double range.
double Between(double from, double to, double u) {
    return from * (1 - u) + to * u;
}

// The simplex: nv + 1 vertices of the free variables, each a column, with their values.
class CSimplex {
public:
    CSimplex(UserFunction& f, int32_t n, const VariableCell* variables, const Matrix& mask)
        : f_(f), n_(n), variables_(variables), mask_(mask) {}

    bool Allocate();
    int32_t FreeCount() const { return nv_; }
    // Writes the point (free variables from it, fixed ones from their initial values) and
    // evaluates the objective there.
    bool Evaluate(const double* point, double& value);
    bool Build(double start);
    // Runs the steps; the count is left in `steps`. False when an evaluation failed.
    bool Run(double epsilon, int32_t maxSteps, int32_t& steps);
    void Finish(double& minimum);
    // The largest distance of a vertex from the lowest one, in any coordinate, against that
    // coordinate's size (or the first step, near 0): below sqrt(DBL_EPSILON) the values
    // cannot tell the points apart.
    bool Collapsed() const;
    // Values all equal over vertices still apart: false when the objective is lower at their
    // centroid (a simplex astride a minimum), true when it is flat across them.
    bool FlatAcross(bool& flat);

private:
    double& P(int32_t vertex, int32_t j) { return vertices_[std::size_t(vertex) * nv_ + j]; }
    double* Vertex(int32_t vertex) { return &vertices_[std::size_t(vertex) * nv_]; }
    void Rank();
    void Combine(double* out, const double* a, double wa, const double* b, double wb);
    void Replace(int32_t vertex, const double* point, double value);
    bool Step();

    UserFunction& f_;
    int32_t n_;
    const VariableCell* variables_;
    const Matrix& mask_;
    int32_t nv_ = 0;
    std::vector<double> initial_, vertices_, values_, centroid_, xh_, xl_, xr_, trial_;
    int32_t ilo_ = 0, ihi_ = 0, inhi_ = 0;
    double start_ = 0;
};

bool CSimplex::Allocate() {
    try {
        initial_.resize(std::size_t(n_));
        for (int32_t i = 1; i <= n_; ++i) {
            initial_[std::size_t(i - 1)] = variables_[i - 1].Get();
            if (IsFree(mask_, i)) ++nv_;
        }
        vertices_.assign(std::size_t(nv_ + 1) * std::size_t(nv_), 0.0);
        values_.assign(std::size_t(nv_ + 1), 0.0);
        for (auto* v : {&centroid_, &xh_, &xl_, &xr_, &trial_}) v->assign(std::size_t(nv_), 0.0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool CSimplex::Evaluate(const double* point, double& value) {
    for (int32_t i = 1, j = 0; i <= n_; ++i)
        variables_[i - 1].Set(IsFree(mask_, i) ? point[j++] : initial_[std::size_t(i - 1)]);
    return EvaluateUserFunction(f_, value);
}

bool CSimplex::Build(double start) {
    start_ = start;
    for (int32_t i = 1, j = 0; i <= n_; ++i)
        if (IsFree(mask_, i)) P(0, j++) = initial_[std::size_t(i - 1)];
    if (!Evaluate(Vertex(0), values_[0])) return false;
    for (int32_t j = 0; j < nv_; ++j) {
        for (int32_t k = 0; k < nv_; ++k) P(j + 1, k) = P(0, k) + (k == j ? start : 0.0);
        if (!Evaluate(Vertex(j + 1), values_[std::size_t(j + 1)])) return false;
    }
    return true;
}

// The lowest, highest and next-highest vertices; ties keep the lower index.
void CSimplex::Rank() {
    const std::vector<double>& y = values_;
    if (y[0] <= y[1]) {
        ihi_ = 1;
        inhi_ = 0;
    } else {
        ihi_ = 0;
        inhi_ = 1;
    }
    ilo_ = 0;
    for (int32_t i = 0; i <= nv_; ++i) {
        if (y[i] < y[ilo_]) ilo_ = i;
        if (y[i] > y[ihi_]) {
            inhi_ = ihi_;
            ihi_ = i;
        } else if (y[i] > y[inhi_] && i != ihi_) {
            inhi_ = i;
        }
    }
}

void CSimplex::Combine(double* out, const double* a, double wa, const double* b, double wb) {
    for (int32_t k = 0; k < nv_; ++k) out[k] = wa * a[k] + wb * b[k];
}

void CSimplex::Replace(int32_t vertex, const double* point, double value) {
    for (int32_t k = 0; k < nv_; ++k) P(vertex, k) = point[k];
    values_[std::size_t(vertex)] = value;
}

bool CSimplex::Step() {
    double* c = centroid_.data();
    for (int32_t k = 0; k < nv_; ++k) {
        double sum = 0;
        for (int32_t i = 0; i <= nv_; ++i)
            if (i != ihi_) sum += P(i, k);
        c[k] = sum * (1.0 / nv_);
    }
    for (int32_t k = 0; k < nv_; ++k) {
        xh_[k] = P(ihi_, k);
        xl_[k] = P(ilo_, k);
    }
    double fr = 0, ft = 0;
    Combine(xr_.data(), c, 2.0, xh_.data(), -1.0);
    if (!Evaluate(xr_.data(), fr)) return false;
    std::vector<double>& y = values_;
    if (fr <= y[ilo_]) {
        Combine(trial_.data(), xr_.data(), 2.0, c, -1.0);
        if (!Evaluate(trial_.data(), ft)) return false;
        if (ft < y[ilo_])
            Replace(ihi_, trial_.data(), ft);
        else
            Replace(ihi_, xr_.data(), fr);
        return true;
    }
    if (fr < y[inhi_]) {
        Replace(ihi_, xr_.data(), fr);
        return true;
    }
    if (fr < y[ihi_]) Replace(ihi_, xr_.data(), fr);
    Combine(trial_.data(), xh_.data(), 0.5, c, 0.5);
    if (!Evaluate(trial_.data(), ft)) return false;
    if (ft < y[ihi_]) {
        Replace(ihi_, trial_.data(), ft);
        return true;
    }
    for (int32_t i = 0; i <= nv_; ++i) {
        if (i == ilo_) continue;
        Combine(Vertex(i), Vertex(i), 0.5, xl_.data(), 0.5);
        if (!Evaluate(Vertex(i), y[std::size_t(i)])) return false;
    }
    return true;
}

bool CSimplex::Collapsed() const {
    constexpr double kPointTolerance = 1.4901161193847656e-08; // sqrt(DBL_EPSILON)
    for (int32_t i = 0; i <= nv_; ++i)
        for (int32_t k = 0; k < nv_; ++k) {
            const double lo = vertices_[std::size_t(ilo_) * nv_ + k];
            const double x = vertices_[std::size_t(i) * nv_ + k];
            if (std::fabs(x - lo) > kPointTolerance * std::fmax(std::fabs(lo), start_))
                return false;
        }
    return true;
}

bool CSimplex::FlatAcross(bool& flat) {
    for (int32_t k = 0; k < nv_; ++k) {
        double sum = 0;
        for (int32_t i = 0; i <= nv_; ++i) sum += P(i, k);
        trial_[std::size_t(k)] = sum / (nv_ + 1);
    }
    double value = 0;
    if (!Evaluate(trial_.data(), value)) return false;
    flat = !(value < values_[std::size_t(ilo_)]);
    return true;
}

// Converged when the values agree and the vertices do: equal values alone may come from a
// simplex straddling the minimum, whose lowest vertex is still far from it. Vertices apart
// whose values are all one converge when the centroid is no lower: the objective is flat
// there (it does not read a variable, or has a level valley), and reflections would never
// bring them together.
bool CSimplex::Run(double epsilon, int32_t maxSteps, int32_t& steps) {
    steps = 1;
    for (;;) {
        Rank();
        double spread = std::fabs(values_[ihi_] - values_[ilo_]);
        if (spread < epsilon * std::fabs(values_[ilo_]) + 1e-30) {
            if (Collapsed()) return true;
            bool flat = false;
            if (spread == 0 && !FlatAcross(flat)) return false;
            if (flat) return true;
        }
        if (!Step()) return false;
        if (++steps > maxSteps) return true;
    }
}

void CSimplex::Finish(double& minimum) {
    minimum = values_[std::size_t(ilo_)];
    for (int32_t i = 1, j = 0; i <= n_; ++i)
        variables_[i - 1].Set(IsFree(mask_, i) ? P(ilo_, j++) : initial_[std::size_t(i - 1)]);
}

} // namespace

bool MinimiseMonteCarlo(UserFunction& f, int32_t n, const VariableCell* variables,
                        const Matrix& mask, double from, double to, int32_t points, uint8_t& ok) {
    Matrix draws, best;
    if (!MatrixResize(draws, 1, uint32_t(n), 0) || !MatrixResize(best, 1, uint32_t(n), 0))
        return false;
    double lowest = DBL_MAX;
    ok = 1;
    for (int32_t k = 0; k < points; ++k) {
        FillUniformRandom(draws, n, 0, 0, 0, 0);
        for (int32_t i = 1; i <= n; ++i)
            if (IsFree(mask, i)) variables[i - 1].Set(Between(from, to, VectorAt(draws, i)));
        double value = 0;
        if (!EvaluateUserFunction(f, value)) {
            ok = 0;
            return true;
        }
        if (value < lowest) {
            lowest = value;
            for (int32_t i = 1; i <= n; ++i)
                if (IsFree(mask, i)) VectorAt(best, i) = variables[i - 1].Get();
        }
    }
    for (int32_t i = 1; i <= n; ++i)
        if (IsFree(mask, i)) variables[i - 1].Set(VectorAt(best, i));
    return true;
}

bool MinimiseDownhillSimplex(UserFunction& f, int32_t n, const VariableCell* variables,
                             const Matrix& mask, double& start, double epsilon, int32_t& maxSteps,
                             uint8_t& ok) {
    if (epsilon <= 0) epsilon = 1e-25;
    if (maxSteps < 1) maxSteps = 2000;
    if (start <= 0) start = 1e-05;
    CSimplex simplex(f, n, variables, mask);
    if (!simplex.Allocate()) return false;
    ok = 0;
    if (simplex.FreeCount() == 0) {
        // Nothing to move: the one point is the answer, found at the first test.
        double value = 0;
        if (!simplex.Evaluate(nullptr, value)) return true;
        start = value;
        maxSteps = 1;
        ok = 1;
        return true;
    }
    if (!simplex.Build(start)) return true;
    int32_t steps = 0;
    if (!simplex.Run(epsilon, maxSteps, steps)) return true;
    simplex.Finish(start);
    ok = steps <= maxSteps ? 1 : 0;
    maxSteps = steps;
    return true;
}

} // namespace vl
