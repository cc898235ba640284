#pragma once
// The size commands of the Format menu on the selection's rows or columns: a custom size
// given in a dialog, and the first half of an automatic size, whose measuring the window
// does. Each records the sizes for undo first.

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

} // namespace vl
