#pragma once
// The store of one typed value, without the typing: the window parses what was typed and
// measures the row; the command records, clears and writes the cell.

#include "formula/edit/undoexec.h"
#include "model/cellrecord.h"
#include "values/standardformat.h"

#include <cstdint>
#include <string_view>

namespace vl {

class CEvalContext;
class CWorkbook;
struct GridSelection;

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

// `text` as typed input into every cell of the selection of the active worksheet, as one
// edit: one undo entry (cells, and formats with `autoFormatting`) holds them all, so that
// one Undo gives the whole selection back. Each cell takes the number format its text
// brings, as typing takes it. kFailed with error 8 when the entry or a cell cannot be made
// (the cells written stay, Undo gives them back).
CommandResult StoreTextInRangeCommand(CWorkbook& workbook, CEvalContext& ctx,
                                      const GridSelection& selection, std::string_view text,
                                      bool autoFormatting);

} // namespace vl
