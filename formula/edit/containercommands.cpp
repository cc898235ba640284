#include "formula/edit/containercommands.h"

#include "model/blockobject.h"
#include "model/chart.h"
#include "model/container.h"
#include "model/containerpaste.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/errorcode.h"

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

CommandResult InsertContainerCommand(CWorkbook& workbook, const GridSelection& selection,
                                     uint8_t chartType, CContainer** added) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    auto container = NewBlockObject<CContainer>();
    if (!container) return workbook.error = kErrorWorksheetMemory, CommandResult::kFailed;
    const CellRef anchor{selection.range.c1, selection.range.r1, 0};
    InitContainerDefaults(*container, &anchor, nullptr);
    container->settings.id = CContainerIds(workbook).Take();
    if (!container->settings.id)
        return workbook.error = kErrorTooManyContainers, CommandResult::kFailed;
    if (chartType) {
        auto chart = NewBlockObject<CChart>(chartType);
        if (!chart) return workbook.error = kErrorContainerMemory, CommandResult::kFailed;
        container->slots[0].kind = 1;
        container->slots[0].chart = std::move(chart);
        container->settings.objectCount = 1;
        container->selected = 0;
    }
    CContainer* linked = container.get();
    LinkContainer(*ws, std::move(container));
    workbook.RecordUndoContainer(selection.range, selection.cursorColumn, selection.cursorRow,
                                 *linked);
    if (added) *added = linked;
    return CommandResult::kDone;
}

namespace {

// Records what the container holds before a change; a failed record gives its slot back
// and is reported through `unrecorded`.
void RecordContainer(CWorkbook& workbook, const GridSelection& selection, CContainer& container,
                     bool* unrecorded) {
    if (workbook.RecordUndoContainerOp(selection.range, selection.cursorColumn, selection.cursorRow,
                                       container))
        return;
    const ErrorCode error = workbook.error;
    workbook.DiscardLastUndo(true);
    workbook.error = error;
    if (unrecorded) *unrecorded = true;
}

} // namespace

CommandResult MoveContainerCommand(CWorkbook& workbook, const GridSelection& selection, uint16_t id,
                                   const FrameShift& shift, bool* unrecorded) {
    if (unrecorded) *unrecorded = false;
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    CContainer* c = id ? FindContainer(*ws, id) : nullptr;
    if (!c) return CommandResult::kNothing;
    RecordContainer(workbook, selection, *c, unrecorded);
    ContainerSettings& s = c->settings;
    s.left += shift.left;
    s.top += shift.top;
    s.right += shift.right;
    s.bottom += shift.bottom;
    return CommandResult::kDone;
}

CommandResult OpenContainerCommand(CWorkbook& workbook, const GridSelection& selection, uint16_t id,
                                   bool* unrecorded) {
    if (unrecorded) *unrecorded = false;
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    CContainer* c = id ? FindContainer(*ws, id) : nullptr;
    if (!c) return CommandResult::kNothing;
    RecordContainer(workbook, selection, *c, unrecorded);
    if (c->settings.objectCount && c->selected < 0) c->selected = 0;
    return CommandResult::kDone;
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
    RecordContainer(workbook, selection, target, unrecorded);
    SwapContents(target, *copy);
    return CommandResult::kDone;
}

} // namespace vl
