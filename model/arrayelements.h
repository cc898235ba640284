#pragma once
// Elements of array formulas belong to the array whose area holds them. Edits that move
// cells (row and column insertion and removal, sorts) can carry an element away from its
// area or its anchor away from it; such strays are dropped, and the next recalculation
// spreads each array over its area again.

#include "model/cellstore.h"

namespace vl {

// Removes every array element that no spread array's area holds. Cannot fail: without
// memory for its lists it leaves the store as it is.
void DropStrayArrayElements(CCellStore& store);

// Removes the array elements inside `area`; other records stay. Cannot fail, as above.
void ClearArrayElements(CCellStore& store, const CellRange& area, bool freePages);

} // namespace vl
