#pragma once
// The size commands of the Format menu on the selection's rows or columns: a custom size
// given in a dialog, and the first half of an automatic size, whose measuring the window
// does; and the two halves of a drag on a heading border. Each records the sizes for undo
// before it changes them.

#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"

#include <cstdint>

namespace vl {

class CWorkbook;

// Column Width or Row Height: the selected columns (rows) take the custom `size` in pixels
// at 100 percent. kFailed with error 8 and `recorded` cleared, nothing changed, when the
// record cannot be made; kFailed with error 8 and `recorded` set, the entry kept, when the
// row list cannot grow far enough (the rows it holds are set).
CommandResult SetSizesCommand(CWorkbook& workbook, const GridSelection& selection, bool columns,
                              uint16_t size, bool* recorded = nullptr);

// Automatic Column Width or Row Height: records the sizes, and for rows clears their custom
// flag, so that the window's measuring sets them. kFailed as above, nothing changed.
CommandResult AutoSizeCommand(CWorkbook& workbook, const GridSelection& selection, bool columns);

// The start of a drag on the border of column (row) `line`: its size goes into a new entry
// with `selection`, whose cursor is the first visible cell, before the drag changes it.
// kNothing for a line past the sheet; kFailed with the workbook's error, no entry left,
// when the record cannot be made.
CommandResult RecordLineSizeCommand(CWorkbook& workbook, const GridSelection& selection,
                                    bool columns, uint32_t line);

// The size a drag on that border applies, once the pointer rests and at its end: `size`
// pixels at 100 percent (at most 4095) with the custom flag, the entry's other bits kept; a
// row past the end of the row list extends it. kNothing when the line has that custom size
// already or lies past the sheet; kFailed with error 8, nothing changed, when the row list
// cannot grow.
CommandResult SetLineSizeCommand(CWorkbook& workbook, bool columns, uint32_t line, uint16_t size);

} // namespace vl
