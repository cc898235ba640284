#pragma once
// Typed text becomes a cell: an error value, a formula (stored in the internal form), a
// number or a date in the user's form, or text. The cell's number format may change to
// what the typed form implies (a percentage, a currency, a date style).

#include "model/cellrecord.h"
#include "values/standardformat.h"

#include <cstdint>
#include <string_view>

namespace vl {

class CEvalContext;

enum class CellInput : uint8_t {
    kStored,         // `out` holds the record of the cell
    kEmpty,          // an empty text: `out` holds an empty text record
    kTooLong,        // more text than a cell holds: `out` is left empty
    kFormulaRefused, // a formula with no stored form of at most kMaxFormulaText characters:
                     // `out` is left empty and the cell must stay as it was
};

// Builds the record of the cell at `row`, `column` from the typed `text`, read with the
// user separators. `format` comes in as the cell's format and may come back changed.
CellInput ParseCellInput(CEvalContext& ctx, std::string_view text, StandardFormat& format,
                         uint32_t row, uint16_t column, CellBuffer& out);

// What the user is told when typed text is refused; null for kStored and kEmpty.
const char* CellInputMessage(CellInput result);

} // namespace vl
