#pragma once
// What a built-in function sees of the evaluator: the operand readers that turn a
// value-stack slot into the value it needs, the calling convention (arguments, result,
// errors), element-wise application over ranges and arrays, and the walk over the cells
// of a range or array argument.
//
// A call entry lies on top of the value stack; its arguments are the slots from its
// firstArgument up to the slot below it. Texts live on the string pool and arrays on the
// scratch store's array stack in argument order, so a function reads its arguments from
// the last to the first: each reader consumes the newest text or array it meets.
//
// A scalar function of n arguments: CheckArgumentCount(ctx, n, n); return when
// ApplyOverArrays(ctx) ran it element by element; read the arguments from the last to the
// first (Get*Arg), merge their errors with MergeError, then end with Return*. Return*
// release nothing: a function that stops before reading every argument calls
// ReleaseArguments first. Implementations are bound to their rows of the function table
// with BindBuiltinFunction (formula/functable.h).

#include "formula/evalcontext.h"
#include "formula/formulanumber.h" // IsOutOfRange
#include "formula/functable.h"
#include "formula/token.h"
#include "model/cellstore.h"
#include "values/isodate.h"

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

// ---- Operand access ------------------------------------------------------------------

// Fills the slot from a cell record (null: empty) with its error starting at 0; reading a
// formula cell not yet calculated records it as the pending precedent, and adds it to the
// context's pending cells, when `slot.cells` is set.
void CellToOperand(CEvalContext& ctx, FormulaToken& slot, const uint8_t* record);
// Records a formula cell of `cells` read before it was calculated in this pass as the
// pending precedent and adds it to the context's pending cells.
void NotePending(CEvalContext& ctx, CCellStore* cells, const uint8_t* record);
// Replaces a reference slot by its cell's value (text pushed on the pool); a slot with an error
// becomes empty.
void ResolveReferenceValue(CEvalContext& ctx, FormulaToken& slot);
// A number within [minimum, maximum] into `out` (numeric text converts); returns the slot's error,
// leaving `out` alone for an empty value.
FormulaError GetNumberArg(CEvalContext& ctx, FormulaToken& slot, double& out,
                          double minimum = -DBL_MAX, double maximum = DBL_MAX);
// As GetNumberArg for a value among a list's values or a statistical parameter: a text of
// blanks only ("" too) is no number (#NUM!), where the general conversion reads it as 0.
FormulaError GetListNumber(CEvalContext& ctx, FormulaToken& slot, double& out,
                           double minimum = -DBL_MAX, double maximum = DBL_MAX);
// As GetNumberArg, rounded half away from zero to a 32-bit integer within [minimum, maximum].
FormulaError GetIntArg(CEvalContext& ctx, FormulaToken& slot, int32_t& out, int32_t minimum,
                       int32_t maximum);
// As GetIntArg with a 64-bit integer and bounds.
FormulaError GetInt64Arg(CEvalContext& ctx, FormulaToken& slot, int64_t& out, int64_t minimum,
                         int64_t maximum);
// The text a number becomes inside a formula ("&" and text arguments): the general form with a
// capital exponent mark, 1E+22 and -1E-300, as users write and read such numbers.
std::string NumberAsText(double value);
// The value as text into `out` (a number in the general form, an error value as its text); the slot
// keeps type 256 without a string.
FormulaError GetStringArg(CEvalContext& ctx, FormulaToken& slot, std::string& out);
// A text read whole as an ISO 8601 date-time; a number is #VALUE!, an empty value leaves `out`
// alone.
FormulaError GetDateTimeArg(CEvalContext& ctx, FormulaToken& slot, IsoDateTime& out);
// The first page of a range's store, or of an array's chain, which the caller then owns (see
// CRangeWalk); a single cell is a one-cell range; anything else is #VALUE!.
FormulaError GetRangeArg(CEvalContext& ctx, FormulaToken& slot, Page*& firstPage);
// A single cell reference made the range of that one cell; any other slot stays.
void MakeOneCellArea(FormulaToken& slot);
// Pops the text or array a slot owns and makes it empty, keeping its error.
void ReleaseOperand(CEvalContext& ctx, FormulaToken& slot);
// The number a whole text holds as the number conversion reads it: blanks around it, an
// optional "-", the user decimal separator, a finite value; false for any other text.
bool TextAsNumber(std::string_view text, double& value);
// Turns a text slot into a number slot (blanks around, an optional "-"); text that is no number is
// empty with #NUM!.
void TextToNumberOperand(CEvalContext& ctx, FormulaToken& slot);
// A number at the start of `text`: internal form as stored formulas write it, user form with the
// user decimal separator, an optional "-" and blanks after it; no digits gives 0 with `end` 0.
bool ScanNumber(std::string_view text, double& number, std::size_t& end, bool internalForm);
// "3+4i", "-i", "2.5" (suffix "i" or "j"): false unless the whole text is read and both parts are
// finite; `imaginary` is written only when the text has one.
bool ParseComplexText(CEvalContext& ctx, std::string_view text, double& real, double& imaginary);

// ---- Calling convention --------------------------------------------------------------

// Slot of the first argument of the call on top of the value stack (the call's own slot without
// arguments).
uint16_t FirstArgument(const CEvalContext& ctx);
// Number of arguments of the call on top of the value stack.
uint16_t ArgumentCount(const CEvalContext& ctx);
// The i-th argument (from 0) of the call on top of the value stack.
FormulaToken& Argument(CEvalContext& ctx, uint16_t i);
// False, with the status #SYNTAX! and the stack untouched, unless the call has minimum to maximum
// arguments.
bool CheckArgumentCount(CEvalContext& ctx, uint16_t minimum, uint16_t maximum);
// When one of the call's arguments is a range or array, runs the call once per element, the
// empty cells included, and ends it with the array of results; true when it did.
bool ApplyOverArrays(CEvalContext& ctx);
// Drops the call's arguments and their texts and arrays, leaving only the call entry's slot free
// for a result.
void ReleaseArguments(CEvalContext& ctx);
// Ends the call with a number (NaN, infinities and subnormal values become #NUM!) in the first
// argument's slot.
void ReturnNumber(CEvalContext& ctx, double value, FormulaError error = 0);
// ReturnNumber for the few results that pass no finite test: only NaN and infinities become
// #NUM!, a subnormal value stays.
void ReturnUncheckedNumber(CEvalContext& ctx, double value, FormulaError error = 0);
// Ends the call with a text pushed on the pool (#VALUE! when it is full). A text function
// that fails ends with ReturnErrorEntry.
void ReturnText(CEvalContext& ctx, std::string_view text);
// Ends the call with an error value: a number entry that carries the error, as functions
// that give numbers fail.
void ReturnError(CEvalContext& ctx, FormulaError error);
// Ends the call with an error entry (type kTokenEmpty with the error), as functions that give
// texts or arrays fail: COUNT, COUNTA and AVERAGE read the two kinds differently.
void ReturnErrorEntry(CEvalContext& ctx, FormulaError error);
// Ends the call with the array whose cells are the chain (from position 0, 0); a full array stack
// frees the chain and gives #MEMORY!.
void ReturnArray(CEvalContext& ctx, Page* chain, uint16_t columns, uint32_t rows,
                 FormulaError error = 0);
// Makes the slot an array of the chain; a full array stack frees the chain and makes the slot empty
// with #MEMORY! (#REF! for an array without rows or columns).
bool PushArrayValue(CEvalContext& ctx, FormulaToken& slot, Page* chain, uint16_t columns,
                    uint32_t rows);
// The larger of two error codes, as every operator and function merges them.
inline FormulaError MergeError(FormulaError a, FormulaError b) {
    return a > b ? a : b;
}
// False for NaN, infinities and subnormal values.
bool IsAcceptableResult(double value);

// ---- Evaluation ----------------------------------------------------------------------

// Runs the operator or call on top of the value stack; false when the status is set.
bool EvalToken(CEvalContext& ctx);
// Evaluates the operator or call on top once per element of the arguments from `first` flagged 1 in
// `flags` (one byte per argument); the result array or error lands in slot `first`. False when the
// shapes differ. Every position is evaluated, those where no flagged argument holds a cell too.
bool ApplyElementwise(CEvalContext& ctx, const uint8_t* flags, uint16_t first);

// ---- Walking range and array arguments -----------------------------------------------

// The stored cells of a range or array argument in row-then-column order; absent cells are
// never visited. An array's pages go back to the scratch store when the walk ends.
class CRangeWalk {
public:
    explicit CRangeWalk(CEvalContext& ctx) : ctx_(ctx) {}
    ~CRangeWalk() { Release(); }
    CRangeWalk(const CRangeWalk&) = delete;
    CRangeWalk& operator=(const CRangeWalk&) = delete;

    // Reads the argument with GetRangeArg and takes its rectangle; returns its error.
    FormulaError Take(FormulaToken& slot);
    // The next stored cell inside the rectangle, null at the end. A formula cell of a
    // worksheet not yet calculated in this pass is noted as pending, as reading its value
    // would: a caller that reads the record itself still waits for its result.
    const uint8_t* Next();
    // The next cell's value as an operand (text pushed on the pool); false at the end.
    bool NextValue(FormulaToken& value);
    // The value of a cell this walk returned, as an operand (text pushed on the pool).
    void ReadValue(const uint8_t* record, FormulaToken& value);
    // Offsets of the cell last returned from the rectangle's top-left corner.
    uint16_t ColumnOffset() const { return column_; }
    uint32_t RowOffset() const { return row_; }
    uint16_t Columns() const { return uint16_t(lastColumn_ - firstColumn_ + 1); }
    uint32_t Rows() const { return lastRow_ - firstRow_ + 1; }
    // Returns an array's pages to the scratch store now.
    void Release();

private:
    CEvalContext& ctx_;
    CCellStore* cells_ = nullptr; // the worksheet store of a range, null for an array
    Page* owned_ = nullptr;       // the chain of an array argument
    CellCursor cursor_;
    uint16_t firstColumn_ = 0, lastColumn_ = 0;
    uint32_t firstRow_ = 0, lastRow_ = 0;
    uint16_t column_ = 0;
    uint32_t row_ = 0;
    bool done_ = true;
};

// Builds a temporary array cell by cell; its pages come from and go back to the scratch
// store's free list, so building allocates only when that list is empty.
class CArrayBuilder {
public:
    explicit CArrayBuilder(CEvalContext& ctx) : ctx_(ctx) {}
    ~CArrayBuilder();
    CArrayBuilder(const CArrayBuilder&) = delete;
    CArrayBuilder& operator=(const CArrayBuilder&) = delete;

    // Stores the value (a text popped from the pool, anything else as a number carrying its error)
    // at the position; false when memory runs out.
    bool Put(uint16_t column, uint32_t row, FormulaToken& value);
    // Stores a number or text cell record built by the caller; false when memory runs out.
    bool PutRecord(const uint8_t* record);
    // Hands over the chain built so far (null when empty) and starts afresh.
    Page* Detach();

private:
    bool Reserve();

    CEvalContext& ctx_;
    CCellStore store_;
    CellCursor cursor_;
    uint32_t lastRow_ = 0;
    uint16_t lastColumn_ = 0;
    bool any_ = false;
};

// The next stored record of a chain inside the rectangle; the one place that calls the store's
// range iteration.
const uint8_t* NextCellInRectangle(CellCursor& cursor, uint16_t firstColumn, uint32_t firstRow,
                                   uint16_t lastColumn, uint32_t lastRow);

} // namespace vl
