#pragma once
// Ordering the rows of a range by up to 100 key columns. SortRows moves no cell: it fills a
// permutation of the rows, which the caller applies. CompareRows decides the order of two
// rows from their key cells; the built-in functions that need ordered data use both on the
// evaluator's temporary arrays.

#include "formula/evalcontext.h"
#include "model/cellstore.h"

#include <cstdint>

namespace vl {

constexpr uint32_t kMaxSortKeys = 100;

// Negative when row A goes before row B, 0 when every key is equal, positive when A goes
// after B; each key compares as sortkey.h orders values. `a` and `b` hold one record (or null for a
// missing cell) per key; a non-zero `ascending` flag makes its key ascending. Allocates nothing.
int CompareRows(CEvalContext& ctx, const uint8_t* const* a, const uint8_t* const* b,
                uint32_t keyCount, const uint8_t* ascending);

// Fills `permutation` (r2 - r1 + 1 entries) so that entry i names the row whose cells go to
// row r1 + i. With more than 100 keys, or no rows, it stays the identity and the result is
// false. Rows whose keys are equal keep their order, in either direction.
bool SortRows(CEvalContext& ctx, CCellStore& store, uint32_t r1, uint32_t r2, uint32_t keyCount,
              const uint16_t* keyColumns, const uint8_t* ascending, uint32_t* permutation);

} // namespace vl
