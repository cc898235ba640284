#pragma once
// The store of one typed value, without the typing: the window parses what was typed and
// measures the row; the command records, clears and writes the cell.

#include "formula/edit/undoexec.h"
#include "model/cellrecord.h"
#include "values/standardformat.h"

#include <cstdint>

namespace vl {

class CWorkbook;

// Writes `record` (null: the cell is emptied) at (column, row) of the active worksheet,
// anchored arrays in the cell going with its old content. With `autoFormatting` and a
// `format` other than the cell's, the cell's number format becomes `format` and the record
// keeps its old format too, so that undo puts both back. `firstColumn` and `firstRow` are
// the view's first visible cell, noted as the cursor.
// kFailed with error 8 and `stored` cleared when the record or the cell could not be made;
// kFailed with `stored` set when the value was written but the style table had no room for
// its format (the cell keeps its old style).
CommandResult StoreCellCommand(CWorkbook& workbook, uint16_t column, uint32_t row,
                               const CellBuffer* record, const StandardFormat& format,
                               bool autoFormatting, uint16_t firstColumn, uint32_t firstRow,
                               bool* stored = nullptr);

} // namespace vl
