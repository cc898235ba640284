#pragma once
// The operators of formula text over the value stack (the token executor's half that is
// not a function call).

#include "formula/evalcontext.h"

#include <cstdint>

namespace vl {

// Runs operator `code` (1-17) on top of the value stack: the operands below it are
// replaced by one result in the left (or only) operand's slot. Too few operands set the
// status to #SYNTAX! and leave the stack as it was.
void RunOperator(CEvalContext& ctx, uint16_t code);

// The reference operators, each with its operands and itself on top of the stack.
void Intersect(CEvalContext& ctx);
void MakeRange(CEvalContext& ctx);
void Qualify(CEvalContext& ctx);
// On a qualifier operator: the name it qualifies with is written in the formula's text, so
// what it reads is known from the text.
constexpr uint8_t kQualifierWritten = 1;

} // namespace vl
