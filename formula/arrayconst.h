#pragma once
// Array constants of formula text, "{1, 2; 3, 4}": read into cells of a scratch store at
// 0-based positions (element j of row i at column j, row i) and written back from them.

#include "core/settings.h"
#include "formula/token.h"
#include "model/cellstore.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

class CEvalContext;

// `text` begins with "{". Elements are separated by the set's list separator, rows by
// its array row separator. On success `end` is past the "}" (or at the end of the text
// after a separator) and the last column and row are the largest indexes used; a cell
// the store refuses sets `error` to #MEMORY! and parsing goes on. A malformed constant
// sets the context's status to #SYNTAX! and returns false.
bool ParseArrayConstant(CEvalContext& ctx, std::string_view text, std::size_t& end,
                        CCellStore& store, uint16_t& lastColumn, uint32_t& lastRow,
                        FormulaError& error, const SeparatorSet& set, bool internalForm);

// Appends the constant for the rectangle (0, 0) to (last column, last row) of the cells
// on `chain` (records in row-then-column order). False, appending nothing, when the
// constant would reach kMaxFormulaText characters. `exact` writes each number with the digits that
// read back as it (a formula's text); otherwise with 15 significant digits at most.
bool FormatArrayConstant(std::string& out, Page* chain, uint16_t lastColumn, uint32_t lastRow,
                         const SeparatorSet& set, bool exact = false);
bool FormatArrayConstant(std::string& out, const CCellStore& store, uint16_t lastColumn,
                         uint32_t lastRow, const SeparatorSet& set);

// A text between double quotes, or between single quotes when it holds a double quote.
void AppendQuotedText(std::string& out, std::string_view text);

} // namespace vl
