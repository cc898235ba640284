#pragma once
// Formulas carried by a transposition: a reference that reads a cell at a distance both down
// and across is turned about the diagonal with its formula, so that a formula still reads the
// cell its neighbour moved to.

#include "formula/edit/formulatexts.h"
#include "formula/evalcontext.h"

#include <string>
#include <string_view>

namespace vl {

class CCellStore;

// The internal formula text of the cell at (column, row) with every reference whose row and
// column are both distances (R[a]C[b], a bare R or C for 0) reading R[b]C[a]. References with
// an index part, whole rows and whole columns stay as written; the length never changes.
std::string TransposeRelativeReferences(CEvalContext& ctx, std::string_view text, uint16_t column,
                                        uint32_t row);

// Whether turning `source` onto `turned` would take part of a spread array's area: an area
// reaching into the source without lying in it, or partly into the turned range.
bool TurnCutsArray(const CCellStore& store, const CellRange& source, const CellRange& turned);

// Turns the references of every formula in the rectangle of the store, which a
// transposition has just filled; false when memory ran out (no formula then changed).
bool TransposeFormulasIn(CEvalContext& ctx, CCellStore& store, const CellRange& rect);

} // namespace vl
