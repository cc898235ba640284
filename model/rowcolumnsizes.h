#pragma once
// Custom row heights and column widths set by the Format commands: an entry keeps bit 0 as
// the custom flag and bits 1 to 12 as the size in pixels at 100 percent; bits 13 to 15
// belong to others and are kept.

#include "model/formatstore.h"

#include <cstdint>

namespace vl {

constexpr uint16_t kLargestCustomSize = 4095;

// Rows first to last get the custom height; rows past the end of the row list extend it
// with automatic (zero) entries. False when the list cannot grow: the rows it holds are set.
bool SetCustomRowHeights(CFormatStore& store, uint32_t first, uint32_t last, uint16_t height);
// Clears the custom flag of the rows the list holds (rows past its end are automatic).
void ClearCustomRowHeights(CFormatStore& store, uint32_t first, uint32_t last);
void SetCustomColumnWidths(CFormatStore& store, uint16_t first, uint16_t last, uint16_t width);
// Whether Auto Row Height shows ticked for rows first to last: the rows from the first down
// to the first one past the list are scanned, and it is ticked when none has a custom height.
bool AutoRowHeightTicked(CFormatStore& store, uint32_t first, uint32_t last);

} // namespace vl
