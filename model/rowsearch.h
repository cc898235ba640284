#pragma once
// The row search of the navigation menu: from a start row down (or up) the columns of a
// selection to the next row that is non-empty, empty, identical to or different from the
// start row. It walks the cell store in order once, keeping one pointer per column to the
// start row's cells.

#include <cstdint>

namespace vl {

class CCellStore;

enum class RowSearch : uint8_t { kNonEmpty, kEmpty, kIdentical, kDifferent };

// The first qualifying row after `startRow` (or before it, with `backward`), over columns
// `firstColumn` to `lastColumn`; -1 when there is none.
int64_t FindQualifyingRow(const CCellStore& store, uint16_t firstColumn, uint16_t lastColumn,
                          uint32_t startRow, RowSearch kind, bool backward);

} // namespace vl
