#pragma once
// The style index of a cell: its format run's, else its column's.

#include "model/formatstore.h"
#include "model/styles.h"

#include <cstdint>

namespace vl {

// The style index of a column from the column table.
inline uint16_t ColumnStyleIndex(const CFormatStore& formats, uint16_t column) {
    return column < kMaxColumns ? formats.columns[column].style & kStyleIndexMask : 0;
}

// The style index of the cell at (row, column). The cursor starts on the first run page (or
// empty) and moves forward, so the cells asked about must come in row-then-column order.
uint16_t StyleIndexAt(const CFormatStore& formats, uint32_t row, uint16_t column, CellCursor& runs);

} // namespace vl
