#include "formula/edit/containercommands.h"

#include "core/errorcode.h"
#include "model/container.h"
#include "model/workbook.h"

namespace vl {

CommandResult DeleteContainerCommand(CWorkbook& workbook, const GridSelection& selection,
                                     uint16_t id) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    CContainer* container = id ? FindContainer(*ws, id) : nullptr;
    if (!container) return CommandResult::kNothing;
    workbook.RecordUndoContainerKept(selection.range, selection.cursorColumn, selection.cursorRow,
                                     UnlinkContainer(*ws, container));
    return FinishCommand(workbook, true);
}

} // namespace vl
