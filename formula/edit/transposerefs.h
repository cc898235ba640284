#pragma once
// What a transposition may not turn: part of a spread array.

#include "formula/edit/formulatexts.h"
#include "formula/evalcontext.h"

#include <string>
#include <string_view>

namespace vl {

class CCellStore;

// Whether turning `source` onto `turned` would take part of a spread array's area: an area
// reaching into the source without lying in it, or partly into the turned range.
bool TurnCutsArray(const CCellStore& store, const CellRange& source, const CellRange& turned);

} // namespace vl
