#pragma once
// What the XML form carries of a worksheet's column table, row entries, style runs and cell
// records; the part of `KeepXmlCarried` that rewrites them.

#include "model/workbook.h"

namespace vl {

// Column entries without bits 13-15 of the width word and bits 12-15 of the other two; row
// entries as height and fixed bit, 0 for a row that is not fixed and of the measuring height,
// the list ending at its last such row; touching style runs of one style joined; each cell
// record as the XML form reads it back. False when memory for the new cell store ran out.
bool KeepXmlCarriedFormatsAndCells(CWorksheet& sheet);

} // namespace vl
