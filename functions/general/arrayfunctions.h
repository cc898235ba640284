#pragma once
// Array results built from a range or array: SORT (the sorted order of the rows), UNIQUE
// (the distinct values of a column) and TRANSPOSE.

namespace vl {

void BindArrayFunctions();

} // namespace vl
