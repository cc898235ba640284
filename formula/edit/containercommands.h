#pragma once
// The edits of containers that record undo without the window: removing one, moving it,
// opening and storing what its properties window edited.

#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"

#include <cstdint>

namespace vl {

class CContainer;
class CWorkbook;
class CWorksheet;

// Delete on a selected container: the container `id` of the active worksheet goes into the
// undo entry, which puts it back. kNothing when the worksheet has no container `id`.
CommandResult DeleteContainerCommand(CWorkbook& workbook, const GridSelection& selection,
                                     uint16_t id);

// The container `id` on whichever worksheet holds it (`sheet` gets that worksheet), or null.
CContainer* FindBookContainer(CWorkbook& workbook, uint16_t id, CWorksheet** sheet = nullptr);

// Insert Container or a chart type: a new container anchored at the selection's first cell
// with the default frame, under the smallest free id, at the end of the list, holding a new
// chart of `chartType` (0: none); `added` gets it. kFailed with error 8 (the container), 22
// (no id free) or 4 (the chart), nothing changed.
CommandResult InsertContainerCommand(CWorkbook& workbook, const GridSelection& selection,
                                     uint8_t chartType, CContainer** added = nullptr);

// The end of a drag that moves or sizes container `id` of the active worksheet: its frame's
// sides move by the given amounts (at 100 percent) after the record of what it held; the
// window anchors it to the cells afterwards. kNothing when the worksheet has no container
// `id`. A record that cannot be made does not stop the move: `unrecorded` is then set.
struct FrameShift {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
CommandResult MoveContainerCommand(CWorkbook& workbook, const GridSelection& selection, uint16_t id,
                                   const FrameShift& shift, bool* unrecorded = nullptr);

// A double click on container `id` of the active worksheet, before its properties window
// opens on it: the record of what it holds, then its first object selected when it has
// objects and none is. kNothing when the worksheet has no container `id`. A record that
// cannot be made does not stop it: `unrecorded` is then set, with the workbook's error.
CommandResult OpenContainerCommand(CWorkbook& workbook, const GridSelection& selection, uint16_t id,
                                   bool* unrecorded = nullptr);

// Apply of the properties window: `target` takes a whole copy of `edited` (its settings,
// objects and selected object), keeping its place in the list, after the record of what it
// held. kFailed with error 4, nothing changed, when the copy cannot be made. A record that
// cannot be made does not stop the edit: `unrecorded` is then set, with the workbook's
// error saying why.
CommandResult EditContainerCommand(CWorkbook& workbook, const GridSelection& selection,
                                   CContainer& target, const CContainer& edited,
                                   bool* unrecorded = nullptr);

} // namespace vl
