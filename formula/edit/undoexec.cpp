#include "formula/edit/undoexec.h"

#include "formula/edit/otherbooks.h"
#include "formula/edit/referenceplan.h"
#include "formula/edit/undocases.h"
#include "formula/recalc.h"
#include "formula/workbookcontext.h"
#include "model/undosnapshot.h"
#include "model/workbook.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace undocase {

namespace {

// A restore that fails leaves the spare slot's snapshot unused.
bool Restored(UndoHistory& history, bool restored) {
    if (!restored) FreeUndoEntry(history, kSpare);
    return restored;
}

} // namespace

void TakeSpare(UndoHistory& history, int32_t index, bool descriptor) {
    UndoEntry& e = history.entries[index];
    UndoEntry& spare = history.entries[kSpare];
    // Only the payload goes: the entry's operation and place stay.
    UndoEntry payload;
    payload.kind = spare.kind;
    payload.holds = spare.holds;
    payload.bufferOwnership = spare.bufferOwnership;
    payload.cellBuffer = std::move(spare.cellBuffer);
    payload.cellBufferSize = spare.cellBufferSize;
    payload.object = std::move(spare.object);
    payload.keptStyles = std::move(spare.keptStyles);
    payload.blockDescriptor = descriptor ? spare.blockDescriptor : e.blockDescriptor;
    FreeUndoEntry(history, kSpare);
    // Free the old payload by its kind (a buffer the entry does not own stays its owner's).
    if (e.kind == kUndoCells && e.bufferOwnership != 1 && e.bufferOwnership != 4)
        (void)e.cellBuffer.release();
    e.kind = payload.kind;
    e.holds = payload.holds;
    e.bufferOwnership = payload.bufferOwnership;
    e.cellBuffer = std::move(payload.cellBuffer);
    e.cellBufferSize = payload.cellBufferSize;
    e.object = std::move(payload.object);
    e.keptStyles = std::move(payload.keptStyles);
    e.blockDescriptor = payload.blockDescriptor;
}

bool Cells(CWorkbook& workbook, CWorksheet& ws, int32_t index) {
    UndoHistory& history = workbook.undo;
    const UndoEntry& e = history.entries[index];
    if (e.kind != kUndoCells || !(e.holds & kHoldsKeptCells) || !e.cellBuffer ||
        e.cellBufferSize < kKeptCellsHead)
        return Fail(workbook, kErrorInvalidCacheIndex);
    const uint8_t* head = e.cellBuffer.get();
    const CellRange kept{LoadU16(head), LoadU32(head + 2), LoadU16(head + 6), LoadU32(head + 8)};
    int32_t spare = kSpare;
    if (!SnapshotCellsToUndo(workbook, ws, kept, history, spare)) return false;
    if (!Restored(history, RestoreCellFromUndo(workbook, ws, kept.c1, kept.r1, history, index)))
        return false;
    TakeSpare(history, index, false);
    return true;
}

bool Range(CWorkbook& workbook, CWorksheet& ws, int32_t index) {
    UndoHistory& history = workbook.undo;
    UndoEntry& e = history.entries[index];
    if (e.kind < kUndoRangeCells || e.kind > kUndoRangeBoth || !e.Scratch() ||
        !(e.holds & (kHoldsCells | kHoldsFormats)))
        return Fail(workbook, kErrorInvalidCacheIndex);
    // Formulas outside the range that a move rewrote (none for other entries) go with it.
    PreparedExchange ex;
    if (!PrepareExchange(workbook, e, ex) || !CommitExchange(workbook, e, ex)) return false;
    int32_t spare = kSpare;
    if (!SnapshotRangeToUndo(workbook, ws, e.blockDescriptor, history, spare,
                             (e.holds & kHoldsCells) != 0, (e.holds & kHoldsFormats) != 0) ||
        !Restored(history, RestoreRangeFromUndo(workbook, ws, history, index, true, true))) {
        RevertExchange(history.entries[index], ex);
        return false;
    }
    TakeSpare(history, index, true);
    return ExchangeOtherWorkbooks(history.entries[index]) || Fail(workbook, kErrorWorksheetMemory);
}

bool ColumnWidths(CWorkbook& workbook, CWorksheet& ws, int32_t index) {
    UndoHistory& history = workbook.undo;
    if (!(history.entries[index].holds & kHoldsColumns))
        return Fail(workbook, kErrorInvalidCacheIndex);
    int32_t spare = kSpare;
    if (!SnapshotColumnsToUndo(workbook, ws, history, spare)) return false;
    if (!Restored(history, RestoreRangeFromUndo(workbook, ws, history, index, true, true)))
        return false;
    TakeSpare(history, index, false);
    return true;
}

bool RowHeights(CWorkbook& workbook, CWorksheet& ws, int32_t index) {
    UndoHistory& history = workbook.undo;
    if (!(history.entries[index].holds & kHoldsRowHeights))
        return Fail(workbook, kErrorInvalidCacheIndex);
    int32_t spare = kSpare;
    if (!SnapshotRowHeightsToUndo(workbook, ws, history, spare)) return false;
    if (!Restored(history, RestoreRangeFromUndo(workbook, ws, history, index, true, true)))
        return false;
    TakeSpare(history, index, false);
    return true;
}

bool Rename(CWorkbook& workbook, CTreeItem* item, int32_t index) {
    UndoEntry& e = workbook.undo.entries[index];
    if (e.kind != kUndoCells || !(e.holds & kHoldsName) || !e.cellBuffer ||
        e.cellBufferSize < kTreeNameSize)
        return Fail(workbook, kErrorInvalidCacheIndex);
    if (!item) return Fail(workbook, kErrorPathNotFound);
    // Formulas that name the item by its path go with the name.
    if (!ExchangeFormulaPlan(workbook, e)) return false;
    char kept[kTreeNameSize];
    std::memcpy(kept, e.cellBuffer.get(), kTreeNameSize);
    kept[kTreeNameSize - 1] = 0;
    std::memcpy(e.cellBuffer.get(), item->name, kTreeNameSize);
    item->SetName(kept);
    return ExchangeOtherWorkbooks(e) || Fail(workbook, kErrorWorksheetMemory);
}

bool DropDownList(CWorkbook& workbook, int32_t index) {
    UndoEntry& e = workbook.undo.entries[index];
    KeptDropDownList* kept = e.keptList.get();
    if (e.kind != kUndoDropDownList || !kept || kept->list < 1 || kept->list > kDropDownLists)
        return Fail(workbook, kErrorInvalidCacheIndex);
    std::swap(workbook.dropDownLists[kept->list - 1], kept->record);
    StyleTables& tables = workbook.styles;
    for (KeptDropDownList::StyleLink& link : kept->styles) {
        if (link.style >= tables.styleCount) continue;
        StyleRecord& s = tables.styles[link.style];
        std::swap(s.dropDownList, link.dropDownList);
        std::swap(s.sort, link.sort);
        std::swap(s.autoAppend, link.autoAppend);
        std::swap(s.autoComplete, link.autoComplete);
    }
    return true;
}

} // namespace undocase

namespace {

CWorksheet* SheetAt(CWorkbook& workbook, int32_t position) {
    return position < 0 ? nullptr : AsWorksheet(GetTreeItemAt(position, workbook.tree.first));
}

// The worksheet a case acts on: where its snapshot was taken, or else the active worksheet
// of the time of recording.
CWorksheet* CaseSheet(CWorkbook& workbook, const UndoEntry& e) {
    switch (e.operation) {
    case kOpCells:
    case kOpRange:
    case kOpColumnWidths:
    case kOpRowHeights:
    case kOpContainerInserted:
    case kOpContainerChanged:
        return SheetAt(workbook, e.treePosition);
    default:
        return SheetAt(workbook, e.activePosition);
    }
}

bool Carry(CWorkbook& workbook, int32_t index) {
    UndoEntry& e = workbook.undo.entries[index];
    if (e.operation == kOpTree) return undocase::Tree(workbook, index);
    if (e.operation == kOpDropDownList) return undocase::DropDownList(workbook, index);
    if (e.operation == kOpRename)
        return undocase::Rename(workbook, GetTreeItemAt(e.treePosition, workbook.tree.first),
                                index);
    CWorksheet* ws = CaseSheet(workbook, e);
    if (!ws) return workbook.error = kErrorPathNotFound, false;
    switch (e.operation) {
    case kOpCells:
        return undocase::Cells(workbook, *ws, index);
    case kOpRange:
        return undocase::Range(workbook, *ws, index);
    case kOpColumnWidths:
        return undocase::ColumnWidths(workbook, *ws, index);
    case kOpRowHeights:
        return undocase::RowHeights(workbook, *ws, index);
    case kOpContainerInserted:
        return undocase::ContainerInserted(workbook, *ws, index);
    case kOpContainerChanged:
        return undocase::ContainerChanged(workbook, *ws, index);
    case kOpSort:
        return undocase::Sort(workbook, *ws, index);
    case kOpRows:
    case kOpColumns:
        return undocase::RowsOrColumns(workbook, *ws, index, e.operation == kOpRows);
    default:
        return true;
    }
}

void FillPlace(CWorkbook& workbook, const UndoEntry& e, UndoPlace* place) {
    if (!place) return;
    place->operation = e.operation;
    place->worksheet = workbook.tree.active;
    place->cursorColumn = e.cursorColumn;
    place->cursorRow = e.cursorRow;
    place->selection = e.selection;
}

} // namespace

CommandResult FinishCommand(CWorkbook& workbook, bool done) {
    const ErrorCode error = workbook.error;
    // The edit stays, with its undo entry, when the recalculation after it runs out of
    // memory: the caller shows error 8.
    if (!RecalculateByUpdateMode(workbook) && workbook.error == kErrorWorksheetMemory)
        return CommandResult::kFailed;
    if (done) return CommandResult::kDone;
    workbook.error = error;
    return CommandResult::kFailed;
}

CEvalContext* EditContext(CWorkbook& workbook) {
    if (!workbook.evalContext && !AttachEvalContext(workbook)) return nullptr;
    // Qualifier names are looked up in the tree as it stands now.
    workbook.evalContext->worksheetList = workbook.tree.first;
    return workbook.evalContext.get();
}

bool ExecuteUndoRedo(CWorkbook& workbook, uint16_t index) {
    if (index >= kUndoSpareSlot) return workbook.error = kErrorInvalidCacheIndex, false;
    UndoEntry& e = workbook.undo.entries[index];
    if (e.kind == kUndoEmpty) return workbook.error = kErrorInvalidCacheIndex, false;
    if (e.operation < kOpCells || e.operation > kOpDropDownList) return true;
    // The view follows the worksheet that was active when the edit was recorded.
    if (CWorksheet* active = SheetAt(workbook, e.activePosition)) workbook.tree.active = active;
    return Carry(workbook, index);
}

bool RecalculateByUpdateMode(CWorkbook& workbook) {
    const uint8_t mode = workbook.updateMode ? workbook.updateMode : Profile().updateMode;
    if (mode != kUpdateWorkbook && mode != kUpdateWorksheet) return true;
    CEvalContext* ctx = EditContext(workbook);
    if (!ctx) return false;
    CCellStore* only = nullptr;
    if (mode == kUpdateWorksheet) {
        if (!workbook.tree.active) return true;
        only = &workbook.tree.active->cells;
    }
    return RecalculateWorkbook(workbook, *ctx, only);
}

CommandResult UndoCommand(CWorkbook& workbook, UndoPlace* place) {
    UndoHistory& history = workbook.undo;
    if (history.current < 0 || history.current >= kUndoSpareSlot) return CommandResult::kNothing;
    int32_t index = history.current;
    bool done = ExecuteUndoRedo(workbook, uint16_t(index));
    history.current = index - 1;
    // The entries of one edit go back together, the latest first.
    std::vector<CellRange> joined;
    while (done && history.entries[index].joined && index > 0) {
        joined.push_back(history.entries[index].selection);
        done = ExecuteUndoRedo(workbook, uint16_t(--index));
        if (done) history.current = index - 1;
    }
    FillPlace(workbook, history.entries[index], place);
    if (place) place->joined = std::move(joined);
    return FinishCommand(workbook, done);
}

CommandResult RedoCommand(CWorkbook& workbook, UndoPlace* place) {
    UndoHistory& history = workbook.undo;
    const int32_t index = history.current + 1;
    const int32_t last = int32_t(std::min<uint32_t>(history.maximum, kUndoSpareSlot - 1));
    if (index < 0 || index > last || history.entries[index].kind == kUndoEmpty)
        return CommandResult::kNothing;
    bool done = ExecuteUndoRedo(workbook, uint16_t(index));
    history.current = index;
    int32_t latest = index;
    std::vector<CellRange> joined;
    // An edit alone in a full table may pass the maximum with its joined entries.
    while (done && latest + 1 < kUndoSpareSlot && history.entries[latest + 1].joined &&
           history.entries[latest + 1].kind != kUndoEmpty) {
        done = ExecuteUndoRedo(workbook, uint16_t(++latest));
        joined.push_back(history.entries[latest].selection);
        if (done) history.current = latest;
    }
    FillPlace(workbook, history.entries[index], place);
    if (place) place->joined = std::move(joined);
    return FinishCommand(workbook, done);
}

} // namespace vl
