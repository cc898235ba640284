#pragma once
// Argument helpers shared by the text, lookup, reference, logical and information
// families: element-wise application over chosen arguments, the text reader that keeps
// texts within the working length of the text functions, and the error result of a
// function that returns text.

#include "formula/operands.h"

#include <cstdint>
#include <string>

namespace vl {

// The longest text that the text and lookup functions take as an argument.
constexpr std::size_t kMaxTextArgument = 1024;

// Runs the call once per element when an argument whose bit is set in `mask` (bit 0 the
// first argument) is a range or array; other arguments are passed whole to every element
// call. True when it did.
bool ApplyOverArraysOf(CEvalContext& ctx, uint32_t mask);

// GetStringArg, with #VALUE! for a text longer than kMaxTextArgument.
FormulaError GetTextArg(CEvalContext& ctx, FormulaToken& slot, std::string& out);

// Ends the call with an error as a text function gives it: an empty value carrying it.
void ReturnTextError(CEvalContext& ctx, FormulaError error);

// Ends the call with the text, or with the error as a text function gives it.
void ReturnTextResult(CEvalContext& ctx, std::string_view text, FormulaError error);

// Ends the call with `value` moved whole into the result slot: a reference or range stays
// one, a text must already be the newest string of the pool and an array the newest chain.
void ReturnValue(CEvalContext& ctx, const FormulaToken& value);

} // namespace vl
