#pragma once
// The evaluator value of an automation variant, for the values that automation clients and
// automation servers hand to the program.

#include "formula/token.h"
#include "platform/com/variant.h"

namespace vl {

class CEvalContext;

// Converts the variant into `value`: a number (VT_UI1 a number carrying the error of that
// number, 1 to 12), a text pushed on the string pool (at most 1,023 bytes in the program's
// code page), empty, or an array of one or two dimensions built in the scratch store and
// held on the temporary-array stack. Types it does not read give empty; a text that does not
// fit gives #VALUE!, an array beyond the grid #REF!, memory running out #MEMORY!.
void VariantToValue(CEvalContext& ctx, const CVariant& variant, FormulaToken& value);

} // namespace vl
