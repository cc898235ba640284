// ROOT, MINMC and MINSIMPLEX: searches that write trial values into worksheet cells and
// re-evaluate one formula cell, giving every variable cell its number back afterwards.
#include "formula/spreadreach.h"
#include "functions/numeric/matrixargs.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/userfunction.h"

#include <memory>
#include <new>
#include <vector>

namespace vl {

namespace {

constexpr uint32_t kMaxVariables = 1023;

// Set while a search runs: a solver reached from one of its trial evaluations (a function
// cell that calls a solver, its own cell above all) would recurse without end.
bool gSearching = false;

// The search's own evaluator over the caller's workbook, and the variables' numbers as
// they were before the call.
class CSearch {
public:
    explicit CSearch(CEvalContext& caller) : caller_(caller) {}
    ~CSearch() {
        for (std::size_t i = 0; i < saved_.size(); ++i) variables[i].Set(saved_[i]);
        if (own_) gSearching = false;
    }
    CSearch(const CSearch&) = delete;
    CSearch& operator=(const CSearch&) = delete;

    // False when memory runs out.
    bool Start(CCellStore* cells) {
        try {
            own_ = std::make_unique<CEvalContext>();
            saved_.reserve(variables.size());
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (const VariableCell& v : variables) saved_.push_back(v.Get());
        own_->worksheetList = caller_.worksheetList;
        own_->currentCells = cells;
        own_->readsFor = &caller_;
        own_->readOnly = caller_.readOnly;
        function.ctx = own_.get();
        function.caller = &caller_;
        gSearching = true;
        return true;
    }
    // The variables' values as a column.
    FormulaError Values(Matrix& out) const {
        FormulaError error = SizeMatrix(out, variables.size(), 1);
        for (std::size_t i = 0; !error && i < variables.size(); ++i)
            VectorAt(out, int32_t(i + 1)) = variables[i].Get();
        return error;
    }
    FormulaError Failure(FormulaError otherwise) const {
        return function.failure == kErrCirc ? kErrCirc : otherwise;
    }

    UserFunction function;
    std::vector<VariableCell> variables;

private:
    CEvalContext& caller_;
    std::unique_ptr<CEvalContext> own_;
    std::vector<double> saved_;
};

// The cell's value through the caller's context, so that a formula cell not calculated yet
// is reported to the recalculation; true for a number without error.
bool IsNumericCell(CEvalContext& ctx, CCellStore* cells, const uint8_t* record) {
    FormulaToken value;
    value.cells = cells;
    CellToOperand(ctx, value, record);
    bool numeric = value.type == kTokenNumber && value.error == 0;
    ReleaseOperand(ctx, value);
    return numeric;
}

// A constant number cell or a formula cell with a number: where its number is stored.
bool VariableOf(CEvalContext& ctx, CCellStore* cells, uint8_t* record, VariableCell& v) {
    if (!record || !IsNumericCell(ctx, cells, record)) return false;
    v.number = record + (cell::IsNumber(record) ? 7 : 25);
    return true;
}

FormulaError ReadFunctionCell(CEvalContext& ctx, FormulaToken& slot, CSearch& search,
                              CCellStore*& cells) {
    if (slot.type != kTokenReference || slot.error || !slot.cells)
        return MergeError(slot.error, kErrRef);
    NoteRead(ctx, slot.cells, {slot.column, slot.row, slot.column, slot.row});
    const uint8_t* record = FindCell(*slot.cells, slot.row, slot.column);
    if (!record || !cell::IsFormula(record) || !IsNumericCell(ctx, slot.cells, record))
        return kErrRef;
    search.function.text = std::string(cell::Formula(record));
    search.function.row = slot.row;
    search.function.column = slot.column;
    cells = slot.cells;
    return 0;
}

FormulaError ReadVariableCell(CEvalContext& ctx, FormulaToken& slot, CSearch& search) {
    if (slot.type != kTokenReference || slot.error || !slot.cells)
        return MergeError(slot.error, kErrRef);
    VariableCell v;
    NoteRead(ctx, slot.cells, {slot.column, slot.row, slot.column, slot.row});
    if (!VariableOf(ctx, slot.cells, FindCell(*slot.cells, slot.row, slot.column), v))
        return kErrRef;
    search.variables.push_back(v);
    return 0;
}

// A one-column range of at most 1,023 cells, every one a variable cell.
FormulaError ReadVariableRange(CEvalContext& ctx, FormulaToken& slot, CSearch& search) {
    if (slot.type != kTokenArea || slot.error || !slot.cells) {
        FormulaError error = MergeError(slot.error, kErrRef);
        ReleaseOperand(ctx, slot);
        return error;
    }
    if (slot.firstColumn != slot.lastColumn || slot.lastRow - slot.firstRow >= kMaxVariables)
        return kErrRef;
    NoteRead(ctx, slot.cells, {slot.firstColumn, slot.firstRow, slot.lastColumn, slot.lastRow});
    for (uint32_t row = slot.firstRow; row <= slot.lastRow; ++row) {
        VariableCell v;
        if (!VariableOf(ctx, slot.cells, FindCell(*slot.cells, row, slot.firstColumn), v))
            return kErrRef;
        search.variables.push_back(v);
    }
    return 0;
}

// The usage vector: one column of as many rows as there are variables; omitted, every
// variable stays fixed.
// The leading arguments both minimisers share, read after their own (whose error comes in
// `error`): the formula cell, the variable range and the optional usage column, which
// becomes the mask of the variables the search may change (all of them when omitted).
FormulaError ReadSearchArguments(CEvalContext& ctx, FormulaError error, CSearch& search,
                                 CCellStore*& cells, Matrix& mask) {
    CMatrixArg usage(ctx);
    FormulaToken& usageSlot = Argument(ctx, 2);
    const bool given = !IsOmitted(usageSlot);
    error = MergeError(error, given ? usage.Take(usageSlot) : usageSlot.error);
    error = MergeError(error, ReadVariableRange(ctx, Argument(ctx, 1), search));
    error = MergeError(error, ReadFunctionCell(ctx, Argument(ctx, 0), search, cells));
    if (error) return error;
    const std::size_t n = search.variables.size();
    if (!given) return SizeMatrix(mask, n, 1);
    if (usage.Columns() != 1 || usage.Rows() != n) return kErrValue;
    return usage.Read(ctx, mask);
}

// Ends the call with the variables' values (before they are given back) or an error.
void ReturnVariables(CEvalContext& ctx, const CSearch& search) {
    Matrix values;
    FormulaError error = search.Values(values);
    if (error) return FailCall(ctx, error);
    ReturnMatrix(ctx, values, uint32_t(values.rows), 1);
}

} // namespace

void RootBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 5, 5)) return;
    if (gSearching) return FailCall(ctx, kErrCirc);
    double epsilon = 0, x0 = 0, x1 = 0;
    FormulaError error = OptionalNumber(ctx, Argument(ctx, 4), epsilon, 0, DBL_MAX);
    error = MergeError(error, GetNumberArg(ctx, Argument(ctx, 3), x1));
    error = MergeError(error, GetNumberArg(ctx, Argument(ctx, 2), x0));
    if (!error && !(x0 < x1)) error = kErrNum;
    CSearch search(ctx);
    CCellStore* cells = nullptr;
    error = MergeError(error, ReadVariableCell(ctx, Argument(ctx, 1), search));
    error = MergeError(error, ReadFunctionCell(ctx, Argument(ctx, 0), search, cells));
    if (error) return FailCall(ctx, error);
    if (!search.Start(cells)) return FailCall(ctx, kErrMemory);
    uint8_t ok = 0;
    FindRoot1D(search.function, search.variables[0], x0, x1, epsilon, ok);
    if (!ok) return FailCall(ctx, search.Failure(kErrValue));
    double root = search.variables[0].Get();
    ReleaseArguments(ctx);
    ReturnNumber(ctx, root);
}

void MinMcBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 6, 6)) return;
    if (gSearching) return FailCall(ctx, kErrCirc);
    int32_t points = 0;
    double from = 0, to = 0;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 5), points, 1, INT32_MAX);
    if (!error && points < 1) error = kErrNum;
    error = MergeError(error, GetNumberArg(ctx, Argument(ctx, 4), to));
    error = MergeError(error, GetNumberArg(ctx, Argument(ctx, 3), from));
    if (!error && !(to > from)) error = kErrNum;
    CSearch search(ctx);
    CCellStore* cells = nullptr;
    Matrix mask;
    error = ReadSearchArguments(ctx, error, search, cells, mask);
    if (error) return FailCall(ctx, error);
    if (!search.Start(cells)) return FailCall(ctx, kErrMemory);
    uint8_t ok = 0;
    int32_t n = int32_t(search.variables.size());
    if (!MinimiseMonteCarlo(search.function, n, search.variables.data(), mask, from, to, points,
                            ok))
        return FailCall(ctx, kErrMemory);
    if (!ok) return FailCall(ctx, search.Failure(kErrValue));
    ReturnVariables(ctx, search);
}

void MinSimplexBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 7, 7)) return;
    if (gSearching) return FailCall(ctx, kErrCirc);
    int32_t result = 1, maxSteps = 0;
    double start = 0, epsilon = 0;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 6), result, 1, 3);
    error = MergeError(error, OptionalInt(ctx, Argument(ctx, 5), maxSteps, 0, INT32_MAX));
    error = MergeError(error, OptionalNumber(ctx, Argument(ctx, 4), epsilon, 0, DBL_MAX));
    error = MergeError(error, OptionalNumber(ctx, Argument(ctx, 3), start, 0, DBL_MAX));
    CSearch search(ctx);
    CCellStore* cells = nullptr;
    Matrix mask;
    error = ReadSearchArguments(ctx, error, search, cells, mask);
    if (error) return FailCall(ctx, error);
    if (!search.Start(cells)) return FailCall(ctx, kErrMemory);
    uint8_t ok = 0;
    int32_t n = int32_t(search.variables.size());
    if (!MinimiseDownhillSimplex(search.function, n, search.variables.data(), mask, start, epsilon,
                                 maxSteps, ok))
        return FailCall(ctx, kErrMemory);
    if (!ok) return FailCall(ctx, search.Failure(kErrNum));
    if (result == 1) return ReturnVariables(ctx, search);
    ReleaseArguments(ctx);
    ReturnNumber(ctx, result == 2 ? start : double(maxSteps));
}

} // namespace vl
