#pragma once
// Rearranging the rows of a rectangle: row r1 + i of the rectangle takes the cells and style
// runs that row gather[i] holds, inside the rectangle's columns. Cells outside the columns,
// and the parts of runs outside them, stay where they are.

#include "model/cellrange.h"

#include <cstdint>
#include <vector>

namespace vl {

class CWorkbook;
class CWorksheet;

// `gather` holds one row of r1..r2 for each row of the rectangle, each once. Array elements
// that the move carries out of their array's area are dropped. False with the
// workbook's error at 8 (nothing moved) when memory runs out, 12 when `gather` is no such
// permutation.
bool PermuteRangeRows(CWorkbook& workbook, CWorksheet& ws, const CellRange& rect,
                      const uint32_t* gather);

// The permutation that undoes `gather`: row gather[i] goes back to row r1 + i. Empty when
// `gather` is no permutation of r1..r2.
std::vector<uint32_t> InvertRowPermutation(const CellRange& rect, const uint32_t* gather);

} // namespace vl
