#pragma once
// Argument helpers shared by the text, lookup, reference, logical and information
// families: the text reader that keeps texts within the working length of the text
// functions, the error result of a function that returns text, and a result that is one
// of the arguments as it stands. ApplyOverParameters (functions/numeric/statargs.h)
// applies a call element by element over chosen arguments.

#include "formula/operands.h"
#include "functions/numeric/statargs.h"

#include <cstdint>
#include <string>

namespace vl {

// The longest text that the text and lookup functions take as an argument: any a cell holds.
constexpr std::size_t kMaxTextArgument = kMaxTextValue;

// GetStringArg, with #VALUE! for a text longer than kMaxTextArgument.
FormulaError GetTextArg(CEvalContext& ctx, FormulaToken& slot, std::string& out);

// Ends the call with an error as a text function gives it: an empty value carrying it.
void ReturnTextError(CEvalContext& ctx, FormulaError error);

// Ends the call with `value` moved whole into the result slot: a reference or range stays
// one, a text must already be the newest string of the pool and an array the newest chain.
void ReturnValue(CEvalContext& ctx, const FormulaToken& value);

} // namespace vl
