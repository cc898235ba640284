#pragma once
// How the matrix, regression and optimisation built-ins take their arguments and give
// their results: range and array arguments read into zero-filled matrices (their numbers
// at their positions, other cells 0; an error cell is the result), optional
// scalars that keep their defaults when omitted, and array results element by element.

#include "formula/operands.h"
#include "functions/numeric/matrix.h"
#include "functions/numeric/statargs.h"

#include <cstdint>

namespace vl {

// Largest array result of the matrix functions that check the size.
constexpr uint32_t kMaxResultRows = 2097151;
constexpr uint32_t kMaxResultColumns = 2046;

// A range or array argument: taken from its slot (an array's pages then belong to it),
// read later into a matrix of its shape.
class CMatrixArg {
public:
    explicit CMatrixArg(CEvalContext& ctx) : area_(ctx) {}

    // The argument's error; a value that is neither range nor array is #VALUE!.
    FormulaError Take(FormulaToken& slot);
    bool Taken() const { return taken_; }
    uint32_t Rows() const { return taken_ ? area_.walk.Rows() : 0; }
    uint32_t Columns() const { return taken_ ? area_.walk.Columns() : 0; }
    // A zero-filled Rows() x Columns() matrix with the argument's numbers; #MEMORY! when
    // it cannot be had; with `codesOnly`, #VALUE! for a text that is no number.
    FormulaError Read(CEvalContext& ctx, Matrix& m, bool codesOnly = false);
    // Takes an argument the call will not use: its error is forgotten and an array's
    // pages go back at once.
    void Drop(FormulaToken& slot);

private:
    AreaWalk area_;
    bool taken_ = false;
};

inline bool IsOmitted(const FormulaToken& slot) {
    return slot.type == kTokenEmpty;
}

// Scalars that keep their default when the argument is omitted (its error still counts).
FormulaError OptionalInt(CEvalContext& ctx, FormulaToken& slot, int32_t& out, int32_t minimum,
                         int32_t maximum);
FormulaError OptionalNumber(CEvalContext& ctx, FormulaToken& slot, double& out,
                            double minimum = -DBL_MAX, double maximum = DBL_MAX);
// Scalars that must be given: an omitted one is #NUM!.
FormulaError RequiredInt(CEvalContext& ctx, FormulaToken& slot, int32_t& out, int32_t minimum,
                         int32_t maximum);
FormulaError RequiredNumber(CEvalContext& ctx, FormulaToken& slot, double& out, double minimum,
                            double maximum);

// A zero-filled rows x columns matrix; #MEMORY! when it cannot be had or is beyond what
// an area may hold.
FormulaError SizeMatrix(Matrix& m, uint64_t rows, uint64_t columns);

// Ends the call with the first rows x columns elements of m as an array; elements that
// fail the finite test carry #NUM!. With `limits` a result beyond kMaxResultRows or
// kMaxResultColumns is #REF!. #MEMORY! when a cell cannot be stored.
void ReturnMatrix(CEvalContext& ctx, const Matrix& m, uint32_t rows, uint32_t columns,
                  bool limits = false);

// Ends the call with an error entry after dropping whatever arguments are left.
void FailCall(CEvalContext& ctx, FormulaError error);

} // namespace vl
