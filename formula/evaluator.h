#pragma once
// Evaluation of one formula text: the tokens run through the shunting-yard, which hands
// every operator and function call to the token executor as soon as it is due.

#include "formula/evalcontext.h"

#include <cstdint>
#include <string_view>

namespace vl {

// Evaluates the internal-form formula text (first character "=" or "+") as the formula of
// the cell at (column, row). True when it leaves exactly one value, in value slot 1;
// otherwise the status is #SYNTAX! (also for a text that is no formula).
bool EvaluateFormula(CEvalContext& ctx, std::string_view text, uint16_t column, uint32_t row);

// Turns the value in slot 1 into a formula's result: a range becomes the array of its
// values and a reference its cell's value. The kind: kTokenNumber (also for an empty value),
// kTokenText, kTokenArray, or 0 for anything else.
uint16_t FinishFormulaResult(CEvalContext& ctx);

// Evaluates a formula text that no cell holds, as if it stood in the cell at (column, row),
// and turns a range result into an array and a reference into its cell's value. The kind
// of the result in value slot 1: kTokenNumber (also for an empty value), kTokenText or
// kTokenArray; 0 for a text that is no formula (the context untouched) or is malformed.
uint16_t EvaluateFormulaText(CEvalContext& ctx, std::string_view text, uint16_t column,
                             uint32_t row);

} // namespace vl
