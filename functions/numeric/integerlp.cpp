#include "functions/numeric/integerlp.h"

#include "functions/numeric/simplex.h"

#include <cfloat>
#include <cmath>
#include <new>
#include <vector>

namespace vl {

namespace {

constexpr uint32_t kLowerApplies = 1;
constexpr uint32_t kUpperApplies = 2;

// One variable's bounds in one node; every record of a node carries the node's objective
// bound and its alternative column (0: none).
struct BoundRecord {
    double lower = 0;
    double upper = 0;
    double objective = 0;
    uint32_t alternative = 0;
    uint32_t flags = 0;
};

// The open nodes, one row of n records each, rows counted from 1.
class CNodeTable {
public:
    explicit CNodeTable(int32_t n) : n_(std::size_t(n)) {}
    BoundRecord& IlpRecordAtA(int32_t row, int32_t column) {
        return records_[std::size_t(row - 1) * n_ + std::size_t(column - 1)];
    }
    // Makes sure the row exists, copies the source row into it (zeroes it for source 0)
    // and sets its objective.
    void IlpAppendRecord(int32_t row, int32_t source, double objective) {
        if (records_.size() < std::size_t(row) * n_) records_.resize(std::size_t(row) * n_);
        for (int32_t j = 1; j <= int32_t(n_); ++j) {
            BoundRecord& r = IlpRecordAtA(row, j);
            r = source ? IlpRecordAtA(source, j) : BoundRecord{};
            r.objective = objective;
        }
    }
    // Moves every later row up by one.
    void IlpRemoveRecord(int32_t row) {
        auto first = records_.begin() + std::ptrdiff_t(std::size_t(row - 1) * n_);
        records_.erase(first, first + std::ptrdiff_t(n_));
    }
    double Objective(int32_t row) { return IlpRecordAtA(row, 1).objective; }
    uint32_t Alternative(int32_t row) { return IlpRecordAtA(row, 1).alternative; }

private:
    std::size_t n_;
    std::vector<BoundRecord> records_;
};

class CBranchAndBound {
public:
    CBranchAndBound(Matrix& T, Matrix& s, Matrix& b, Matrix& c, const Matrix& isInteger, Matrix& x,
                    int32_t m, int32_t n, double epsilon, double M)
        : T_(T), s_(s), b_(b), c_(c), int_(isInteger), x_(x), m_(m), n_(n), eps_(epsilon), M_(M),
          nodes_(n) {}

    bool Prepare(bool binary);
    int Search(int32_t& vector);

private:
    bool IsInteger(int32_t j) const { return VectorAt(int_, j) == 1.0; }
    void Restore();
    int32_t Select(int32_t open);
    int32_t AddBoundRows(int32_t node);
    bool Infeasible(int32_t rows, int32_t ns);
    double Objective(int32_t rows);
    int32_t FractionalRow(int32_t rows);
    void Branch(int32_t node, int32_t open, int32_t row, double z);
    void TakeVector(int32_t rows);
    void AddAlternatives(int32_t node, int32_t& open, int32_t rows, int32_t ns, double z);

    Matrix& T_;
    Matrix& s_;
    Matrix& b_;
    Matrix& c_;
    const Matrix& int_;
    Matrix& x_;
    int32_t m_, n_;
    double eps_, M_;
    CNodeTable nodes_;
    Matrix savedT_, savedB_, savedC_, d_, basis_;
};

bool CBranchAndBound::Prepare(bool binary) {
    if (!MatrixResize(savedT_, uint32_t(m_), uint32_t(n_), 0) ||
        !MatrixResize(savedB_, 1, uint32_t(m_), 0) || !MatrixResize(savedC_, 1, uint32_t(n_), 0) ||
        !MatrixResize(d_, 1, uint32_t(5 * n_ + 2 * m_), 0) ||
        !MatrixResize(basis_, 1, uint32_t(m_ + 2 * n_), 0))
        return false;
    MatrixCopyBlock(T_, savedT_, m_, n_, 1, 1);
    VectorCopy(b_, savedB_, m_);
    VectorCopy(c_, savedC_, n_);
    nodes_.IlpAppendRecord(1, 0, -DBL_MAX);
    if (binary) {
        for (int32_t j = 1; j <= n_; ++j) {
            if (!IsInteger(j)) continue;
            BoundRecord& r = nodes_.IlpRecordAtA(1, j);
            r.upper = (r.flags & kUpperApplies) ? std::min(r.upper, 1.0) : 1.0;
            r.flags |= kUpperApplies;
        }
    }
    return true;
}

void CBranchAndBound::Restore() {
    ZeroMatrix(T_);
    MatrixCopyBlock(savedT_, T_, m_, n_, 1, 1);
    VectorCopy(savedB_, b_, m_);
    for (uint32_t j = 1; j <= c_.rows * c_.cols; ++j) VectorAt(c_, int32_t(j)) = 0.0;
    VectorCopy(savedC_, c_, n_);
}

// The open node with the largest bound; ties keep the node made last.
int32_t CBranchAndBound::Select(int32_t open) {
    int32_t chosen = open;
    for (int32_t row = open - 1; row >= 1; --row)
        if (nodes_.Objective(row) > nodes_.Objective(chosen)) chosen = row;
    return chosen;
}

int32_t CBranchAndBound::AddBoundRows(int32_t node) {
    int32_t rows = m_;
    auto addRow = [&](int32_t j, double bound, double type) {
        ++rows;
        MatrixElement(T_, rows, j) = 1.0;
        VectorAt(b_, rows) = bound;
        VectorAt(s_, rows) = type;
    };
    for (int32_t j = 1; j <= n_; ++j) {
        const BoundRecord& r = nodes_.IlpRecordAtA(node, j);
        if (r.flags & kUpperApplies) addRow(j, r.upper, 1);
        if (r.flags & kLowerApplies) addRow(j, r.lower, -1);
    }
    return rows;
}

bool CBranchAndBound::Infeasible(int32_t rows, int32_t ns) {
    for (int32_t i = 1; i <= rows; ++i)
        if (BasisColumn(basis_, i) > n_ + ns && std::fabs(VectorAt(b_, i)) > eps_) return true;
    return false;
}

double CBranchAndBound::Objective(int32_t rows) {
    double z = 0;
    for (int32_t i = 1; i <= rows; ++i) {
        int32_t j = BasisColumn(basis_, i);
        if (j >= 1 && j <= n_) z += VectorAt(savedC_, j) * VectorAt(b_, i);
    }
    return z;
}

int32_t CBranchAndBound::FractionalRow(int32_t rows) {
    for (int32_t i = 1; i <= rows; ++i) {
        int32_t j = BasisColumn(basis_, i);
        if (j < 1 || j > n_ || !IsInteger(j)) continue;
        double v = VectorAt(b_, i);
        if (std::fabs(v - std::floor(v + 0.5)) > eps_) return i;
    }
    return 0;
}

void CBranchAndBound::Branch(int32_t node, int32_t open, int32_t row, double z) {
    int32_t j = BasisColumn(basis_, row);
    double v = VectorAt(b_, row);
    nodes_.IlpAppendRecord(open + 1, node, z);
    nodes_.IlpAppendRecord(open + 2, node, z);
    BoundRecord& up = nodes_.IlpRecordAtA(open + 1, j);
    up.lower = (up.flags & kLowerApplies) ? std::max(up.lower, std::ceil(v)) : std::ceil(v);
    up.flags |= kLowerApplies;
    BoundRecord& down = nodes_.IlpRecordAtA(open + 2, j);
    down.upper = (down.flags & kUpperApplies) ? std::min(down.upper, std::floor(v)) : std::floor(v);
    down.flags |= kUpperApplies;
}

void CBranchAndBound::TakeVector(int32_t rows) {
    for (int32_t j = 1; j <= n_; ++j) VectorAt(x_, j) = 0.0;
    for (int32_t i = 1; i <= rows; ++i) {
        int32_t j = BasisColumn(basis_, i);
        if (j >= 1 && j <= n_) VectorAt(x_, j) = VectorAt(b_, i);
    }
}

void CBranchAndBound::AddAlternatives(int32_t node, int32_t& open, int32_t rows, int32_t ns,
                                      double z) {
    std::vector<uint8_t> isBasic(std::size_t(n_ + ns) + 1, 0);
    for (int32_t i = 1; i <= rows; ++i) {
        int32_t j = BasisColumn(basis_, i);
        if (j >= 1 && j <= n_ + ns) isBasic[std::size_t(j)] = 1;
    }
    for (int32_t j = 1; j <= n_ + ns; ++j) {
        if (isBasic[std::size_t(j)] || std::fabs(VectorAt(d_, j)) > eps_) continue;
        nodes_.IlpAppendRecord(++open, node, z);
        for (int32_t k = 1; k <= n_; ++k) nodes_.IlpRecordAtA(open, k).alternative = uint32_t(j);
    }
}

int CBranchAndBound::Search(int32_t& vector) {
    const int32_t wanted = vector;
    double best = -DBL_MAX;
    int32_t count = 0;
    int result = 0;
    int32_t open = 1;
    for (int64_t solved = 0; open > 0; ++solved) {
        if (solved >= kMaxIlpNodes) return kLpStepLimit;
        Restore();
        int32_t node = Select(open);
        if (nodes_.Objective(node) + eps_ < best) break;
        int32_t rows = AddBoundRows(node);
        int32_t ns = 0;
        int32_t columns = AddLpColumns(T_, s_, c_, basis_, rows, n_, M_, ns);
        uint8_t ok = 0;
        RunSimplexIterations(T_, b_, c_, d_, basis_, rows, columns, eps_, ok);
        if (ok == 0) return kLpUnbounded;
        if (ok == 2) return kLpStepLimit;
        uint32_t alternative = nodes_.Alternative(node);
        if (alternative &&
            !LpPivotInColumn(int32_t(alternative), T_, b_, c_, basis_, rows, columns, eps_))
            break;
        double z = Objective(rows);
        if (Infeasible(rows, ns)) {
            if (result == 0) result = kLpInfeasible;
        } else if (!(z < best && std::fabs(z - best) > eps_)) {
            if (int32_t row = FractionalRow(rows)) {
                Branch(node, open, row, z);
                open += 2;
            } else {
                if (std::fabs(z - best) > eps_) {
                    count = 1;
                    // A better optimum makes any vector taken before it stale.
                    if (result == kLpSolved) result = 0;
                } else {
                    ++count;
                }
                best = z;
                if (count == wanted) {
                    result = kLpSolved;
                    TakeVector(rows);
                }
                if (!alternative) AddAlternatives(node, open, rows, ns, z);
            }
        }
        nodes_.IlpRemoveRecord(node);
        --open;
    }
    if (wanted == 0) {
        vector = count;
        if (count >= 1) result = kLpSolved;
    }
    return result == 0 ? kLpInfeasible : result;
}

} // namespace

int SolveIntegerLP(Matrix& T, Matrix& s, Matrix& b, Matrix& c, const Matrix& isInteger, Matrix& x,
                   int32_t& vector, int32_t m, int32_t n, double epsilon, double M, bool binary) {
    NormaliseLpRows(T, s, b, m, n);
    if (epsilon <= 0) epsilon = kLpDefaultEpsilon;
    if (M <= 0) M = LpEstimateBigM(T, b, c, m, n, epsilon);
    try {
        CBranchAndBound search(T, s, b, c, isInteger, x, m, n, epsilon, M);
        if (!search.Prepare(binary)) return kLpMemory;
        return search.Search(vector);
    } catch (const std::bad_alloc&) {
        return kLpMemory;
    }
}

} // namespace vl
