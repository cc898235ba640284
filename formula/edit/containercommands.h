#pragma once
// The edits of containers that record undo without the window: removing one.

#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"

#include <cstdint>

namespace vl {

class CWorkbook;

// Delete on a selected container: the container `id` of the active worksheet goes into the
// undo entry, which puts it back. kNothing when the worksheet has no container `id`.
CommandResult DeleteContainerCommand(CWorkbook& workbook, const GridSelection& selection,
                                     uint16_t id);

} // namespace vl
