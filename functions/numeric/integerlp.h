#pragma once
// Integer linear programming: the problem of SolveLinearProgram where the variables whose
// mask entry is exactly 1.0 must be whole numbers (or 0 and 1 with `binary`). A best-first
// branch and bound over the LP relaxation: each node is a set of bounds on the variables,
// solved by rebuilding the relaxation with one extra row per bound. The optimum vectors
// are counted and the k-th one returned, alternative optima of equal value included.

#include "functions/numeric/matrix.h"

#include <cstdint>

namespace vl {

// Nodes one search may solve before it gives up with kLpStepLimit. Choosing the next node
// walks every open one, so the work grows with the square of this: 5,000 keeps the slowest
// small program to about a second.
constexpr int64_t kMaxIlpNodes = 5000;

// T needs m + 2n rows and n + 2(m + 2n) columns, s and b m + 2n elements, c n + 2(m + 2n);
// the bound rows go below the m constraints. Result codes as SolveLinearProgram's.
int SolveIntegerLP(Matrix& T, Matrix& s, Matrix& b, Matrix& c, const Matrix& isInteger, Matrix& x,
                   int32_t& vector, int32_t m, int32_t n, double epsilon, double M, bool binary);

} // namespace vl
