#pragma once
// Typed text becomes a cell: an error value, a formula (stored in the internal form), a
// number or a date in the user's form, or text. The cell's number format may change to
// what the typed form implies (a percentage, a currency, a date style).

#include "formula/values/standardformat.h"
#include "model/cellrecord.h"

#include <cstdint>
#include <string_view>

namespace vl {

class CEvalContext;

// Builds the record of the cell at `row`, `column` from the typed `text`, read with the
// user separators. `format` comes in as the cell's format and may come back changed.
// Returns false only for an empty text (an empty text record is built) and for a text
// longer than a cell can hold (`out` is left empty).
bool ParseCellInput(CEvalContext& ctx, std::string_view text, StandardFormat& format, uint32_t row,
                    uint16_t column, CellBuffer& out);

} // namespace vl
