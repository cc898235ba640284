#pragma once
// Delete on the grid: the cells of the selection, or with `formats` their formats only
// (the cells keep their contents). Records the undo entry first; kFailed with error 8 and
// nothing changed when it cannot be made.

#include "formula/edit/editcommands.h"

namespace vl {

CommandResult DeleteRangeCommand(CWorkbook& workbook, const GridSelection& selection, bool formats);

} // namespace vl
