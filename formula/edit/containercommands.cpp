#include "formula/edit/containercommands.h"

#include "core/errorcode.h"
#include "model/blockobject.h"
#include "model/container.h"
#include "model/workbook.h"
#include "model/worksheettree.h"

#include <utility>

namespace vl {

namespace {

// Hands the copy's contents to the container, which keeps its place in the list.
void SwapContents(CContainer& target, CContainer& copy) {
    std::swap(target.settings, copy.settings);
    for (int i = 0; i < kMaxContainerObjects; ++i) {
        std::swap(target.slots[i].kind, copy.slots[i].kind);
        std::swap(target.slots[i].id, copy.slots[i].id);
        std::swap(target.slots[i].chart, copy.slots[i].chart);
    }
    std::swap(target.selected, copy.selected);
    FreeContainerFractalCache(target);
}

} // namespace

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

CContainer* FindBookContainer(CWorkbook& workbook, uint16_t id, CWorksheet** sheet) {
    for (CTreeItem* item = workbook.tree.first; item; item = item->next) {
        CWorksheet* ws = AsWorksheet(item);
        CContainer* found = ws ? FindContainer(*ws, id) : nullptr;
        if (!found) continue;
        if (sheet) *sheet = ws;
        return found;
    }
    return nullptr;
}

CommandResult EditContainerCommand(CWorkbook& workbook, const GridSelection& selection,
                                   CContainer& target, const CContainer& edited, bool* unrecorded) {
    if (unrecorded) *unrecorded = false;
    // The copy is made whole before it replaces anything: running out of memory on the way
    // leaves the container as it was.
    auto copy = NewBlockObject<CContainer>();
    if (!copy || !CopyContainerTo(edited, *copy))
        return workbook.error = kErrorContainerMemory, CommandResult::kFailed;
    copy->selected = edited.selected;
    if (!workbook.RecordUndoContainerOp(selection.range, selection.cursorColumn,
                                        selection.cursorRow, target)) {
        const ErrorCode error = workbook.error;
        workbook.DiscardLastUndo(true);
        workbook.error = error;
        if (unrecorded) *unrecorded = true;
    }
    SwapContents(target, *copy);
    return CommandResult::kDone;
}

} // namespace vl
