#pragma once
// VLOOKUP, HLOOKUP, LOOKUP and MATCH: a value found in a range or array by exact (with
// wildcards), not-greater or not-smaller match, over unsorted data.

namespace vl {

void BindLookupFunctions();

} // namespace vl
