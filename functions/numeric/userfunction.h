#pragma once
// Searches over the values of worksheet cells: the objective is the formula text of a
// cell, evaluated in an evaluator of the search's own as if it stood in that cell, while
// the search writes trial values straight into the variable cells' stored numbers.
// Every search ends: the root search after a fixed number of steps, the minimisers after
// their sample count or step limit.

#include "formula/evalcontext.h"
#include "functions/numeric/matrix.h"
#include "platform/core/bytes.h"

#include <cstdint>
#include <string>

namespace vl {

// The objective of a search.
struct UserFunction {
    CEvalContext* ctx = nullptr; // the search's own evaluator
    std::string text;            // internal-form formula text of the objective cell
    uint32_t row = 0;
    uint16_t column = 0;
    // Learns of a formula cell that a trial read before it was calculated, so that the
    // recalculation calculates it first and comes back.
    CEvalContext* caller = nullptr;
    FormulaError failure = 0; // the error of the last trial that gave no number
};

// The stored number of one variable: eight bytes inside a cell record (or any double).
struct VariableCell {
    uint8_t* number = nullptr;
    double Get() const { return LoadF64(number); }
    void Set(double value) const { StoreF64(number, value); }
};

// True, with the value, when the objective evaluates to a finite number without error, or
// to a text that reads whole as such a number.
bool EvaluateUserFunction(UserFunction& f, double& value);

// Steps after which the root search gives up.
constexpr int32_t kMaxRootSteps = 10000;

// The Illinois form of false position between x0 and x1; leaves the last trial in the
// variable and ok 1 when it found a root. The search ends when the bracket is within
// epsilon, or (epsilon <= 0, and whatever epsilon is) within a few ulps of the root, or a
// value is exactly 0. Signs are compared, never multiplied: the product of two tiny values
// underflows.
void FindRoot1D(UserFunction& f, VariableCell variable, double x0, double x1, double epsilon,
                uint8_t& ok);

// Samples the box [from, to] of the variables whose mask entry is exactly 1.0 at `points`
// random points of generator pair A and leaves the best one in them. ok 0 when an
// evaluation failed. False only when memory runs out.
bool MinimiseMonteCarlo(UserFunction& f, int32_t n, const VariableCell* variables,
                        const Matrix& mask, double from, double to, int32_t points, uint8_t& ok);

// Nelder-Mead over the free variables from their values, the first simplex edges `start`
// long; leaves the minimum point in the variables, its value in `start` and the steps
// taken in `maxSteps`. ok 0 when the steps ran out or an evaluation failed. Without a free
// variable the objective is evaluated once. False only when memory runs out.
bool MinimiseDownhillSimplex(UserFunction& f, int32_t n, const VariableCell* variables,
                             const Matrix& mask, double& start, double epsilon, int32_t& maxSteps,
                             uint8_t& ok);

} // namespace vl
