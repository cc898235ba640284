#pragma once
// Changes one formatting attribute of every cell position of a rectangle, whatever style
// each position has: the attribute goes into a copy of the position's style, the result is
// found in the style table or appended, and the rectangle's format runs are written again.

#include "model/formatstore.h"
#include "model/styles.h"

#include <cstdint>

namespace vl {

// False when memory runs out or the font (128) or style (512) table is full; the
// rectangle's runs are then as they were before the call.
bool ApplyStyleToRange(StyleTables& tables, uint16_t firstColumn, uint16_t lastColumn,
                       uint32_t firstRow, uint32_t lastRow, CFormatStore& store, uint8_t code,
                       const StyleRecord& sourceStyle, const FontRecord& sourceFont);

// Changes attribute `code` of a whole column: its column-table style and every format run
// in it. All or nothing: when the font or style table is full or memory runs out, the
// column's entry and runs stay as they were and the result is false.
bool ApplyStyleToColumn(StyleTables& tables, uint16_t column, CFormatStore& store, uint8_t code,
                        const StyleRecord& sourceStyle, const FontRecord& sourceFont);

// The style index of one cell: its format run's, else its column's.
uint16_t CellStyleIndex(const CFormatStore& store, uint32_t row, uint16_t column);

} // namespace vl
