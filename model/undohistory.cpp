#include "app/core/settings.h"
#include "model/undosnapshot.h"
#include "model/workbook.h"

#include <string>
namespace vl {

namespace {

// The highest slot a recorder may write: the spare slot 200 belongs to the executor.
int32_t UsableMaximum(const UndoHistory& h) {
    return int32_t(h.maximum < kUndoSpareSlot - 1 ? h.maximum : kUndoSpareSlot - 1);
}

} // namespace

void CWorkbook::FreeUndoEntry(uint16_t index) {
    if (index >= kUndoSlots) return;
    UndoEntry& e = undo.entries[index];
    // A cell buffer the entry does not own is left to its owner.
    if (e.kind == kUndoCells && e.bufferOwnership != 1 && e.bufferOwnership != 4)
        (void)e.cellBuffer.release();
    e = UndoEntry{};
}

void CWorkbook::FreeUndoHistoryEntries() {
    for (uint16_t i = 0; i < kUndoSlots; ++i) FreeUndoEntry(i);
    undo.current = -1;
}

int32_t CWorkbook::MakeUndoRoom() {
    const int32_t maximum = UsableMaximum(undo);
    int32_t index = undo.current + 1;
    if (index < 0) index = 0;
    if (index > maximum) {
        // Full: the oldest entry goes and the others move down one slot.
        FreeUndoEntry(0);
        for (int32_t i = 1; i <= maximum; ++i) undo.entries[i - 1] = std::move(undo.entries[i]);
        FreeUndoEntry(uint16_t(maximum));
        index = maximum;
    }
    undo.current = index;
    for (int32_t i = index; i <= maximum; ++i) FreeUndoEntry(uint16_t(i));
    return index;
}

void CWorkbook::SetUndoLevel(uint32_t level) {
    // Out of range the maximum is 0, as for level 1; entries beyond it go as they would then.
    if (level < 1 || level > 200) level = 1;
    const int32_t maximum = int32_t(level) - 1;
    const int32_t drop = undo.current - maximum;
    if (drop > 0) {
        for (int32_t i = 0; i < drop; ++i) FreeUndoEntry(uint16_t(i));
        for (int32_t i = drop; i <= undo.current; ++i)
            undo.entries[i - drop] = std::move(undo.entries[i]);
        undo.current = maximum;
    }
    for (int32_t i = maximum + 1; i < kUndoSpareSlot; ++i) FreeUndoEntry(uint16_t(i));
    undo.maximum = uint32_t(maximum);
}

void CWorkbook::ApplyUndoLevelSetting() {
    SetUndoLevel(Profile().undoLevel);
}

void CWorkbook::NotePlace(UndoEntry& e, uint8_t operation, const CellRange& selection,
                          uint16_t cursorColumn, uint32_t cursorRow) {
    e.operation = operation;
    e.activePosition = GetTreeItemIndex(tree.active, tree.first);
    e.cursorColumn = cursorColumn;
    e.cursorRow = cursorRow;
    e.selection = selection;
    if (!e.worksheetPath[0] && tree.active) {
        std::string path;
        BuildTreeItemPath(tree.active, path, false);
        CopyTextField(e.worksheetPath, path.c_str(), kUndoPathSize);
    }
}

CWorksheet* CWorkbook::ActiveOrFail() {
    if (!tree.active) error = kErrorNoWorksheet;
    return tree.active;
}

bool CWorkbook::RecordUndoCells(const CellRange& sel, uint16_t col, uint32_t row) {
    const int32_t slot = MakeUndoRoom();
    if (!ActiveOrFail()) return false;
    if (!SnapshotCellsToUndo(*this, *tree.active, sel, slot)) return false;
    NotePlace(undo.entries[slot], kOpCells, sel, col, row);
    return true;
}

bool CWorkbook::RecordUndoRange(const CellRange& sel, uint16_t col, uint32_t row, bool cells,
                                bool formats) {
    const int32_t slot = MakeUndoRoom();
    if (!ActiveOrFail()) return false;
    RangeDescriptor range;
    MakeRangeDescriptor(sel, &range);
    if (!SnapshotRangeToUndo(*this, *tree.active, range, slot, cells, formats)) return false;
    NotePlace(undo.entries[slot], kOpRange, sel, col, row);
    return true;
}

bool CWorkbook::RecordUndoColumnWidths(const CellRange& sel, uint16_t col, uint32_t row,
                                       uint16_t first, uint16_t last) {
    const int32_t slot = MakeUndoRoom();
    if (!ActiveOrFail()) return false;
    if (!SnapshotColumnsToUndo(*this, *tree.active, slot)) return false;
    UndoEntry& e = undo.entries[slot];
    MakeRangeDescriptor({first, 0, last, kLastRow}, &e.blockDescriptor);
    NotePlace(e, kOpColumnWidths, sel, col, row);
    return true;
}

bool CWorkbook::RecordUndoRowHeights(const CellRange& sel, uint16_t col, uint32_t row,
                                     uint32_t first, uint32_t last) {
    const int32_t slot = MakeUndoRoom();
    if (!ActiveOrFail()) return false;
    if (!SnapshotRowHeightsToUndo(*this, *tree.active, slot)) return false;
    UndoEntry& e = undo.entries[slot];
    MakeRangeDescriptor({0, first, kLastColumn, last}, &e.blockDescriptor);
    NotePlace(e, kOpRowHeights, sel, col, row);
    return true;
}

void CWorkbook::RecordUndoInsertColumns(const CellRange& sel, uint16_t col, uint32_t row,
                                        uint16_t first, uint16_t last) {
    UndoEntry& e = undo.entries[MakeUndoRoom()];
    e.kind = kUndoRangeBoth;
    MakeRangeDescriptor({first, 0, last, kLastRow}, &e.secondRange);
    NotePlace(e, kOpColumns, sel, col, row);
}

void CWorkbook::RecordUndoInsertRows(const CellRange& sel, uint16_t col, uint32_t row,
                                     uint32_t first, uint32_t last) {
    UndoEntry& e = undo.entries[MakeUndoRoom()];
    e.kind = kUndoRangeBoth;
    MakeRangeDescriptor({0, first, kLastColumn, last}, &e.secondRange);
    NotePlace(e, kOpRows, sel, col, row);
}

bool CWorkbook::RecordUndoColumnsCopy(const CellRange& sel, uint16_t col, uint32_t row,
                                      uint16_t first, uint16_t last) {
    const int32_t slot = MakeUndoRoom();
    if (!ActiveOrFail()) return false;
    RangeDescriptor columns;
    MakeRangeDescriptor({first, 0, last, kLastRow}, &columns);
    if (!SnapshotRangeToUndo(*this, *tree.active, columns, slot, true, true)) return false;
    UndoEntry& e = undo.entries[slot];
    e.secondRange = columns;
    NotePlace(e, kOpColumns, sel, col, row);
    return true;
}

bool CWorkbook::RecordUndoRowsCopy(const CellRange& sel, uint16_t col, uint32_t row, uint32_t first,
                                   uint32_t last) {
    const int32_t slot = MakeUndoRoom();
    if (!ActiveOrFail()) return false;
    RangeDescriptor rows;
    MakeRangeDescriptor({0, first, kLastColumn, last}, &rows);
    if (!SnapshotRangeToUndo(*this, *tree.active, rows, slot, true, true)) return false;
    UndoEntry& e = undo.entries[slot];
    e.secondRange = rows;
    NotePlace(e, kOpRows, sel, col, row);
    return true;
}

void CWorkbook::RecordUndoTreeChange(const CellRange& sel, uint16_t col, uint32_t row,
                                     int32_t position) {
    UndoEntry& e = undo.entries[MakeUndoRoom()];
    e.kind = kUndoTreeChain;
    e.treePosition = position;
    NotePlace(e, kOpTree, sel, col, row);
}

bool CWorkbook::RecordUndoTreeMove(const CellRange& sel, uint16_t col, uint32_t row,
                                   CTreeItem* item) {
    const int32_t position = GetTreeItemIndex(item, tree.first);
    const int32_t slot = MakeUndoRoom();
    if (position < 0 || !DetachTreeItem(tree, item, error)) {
        if (position < 0) error = kErrorPathNotFound;
        return false;
    }
    UndoEntry& e = undo.entries[slot];
    e.kind = kUndoTreeChain;
    e.treePosition = position;
    e.treeChain.reset(item);
    NotePlace(e, kOpTree, sel, col, row);
    return true;
}

bool CWorkbook::RecordUndoRename(const CellRange& sel, uint16_t col, uint32_t row,
                                 const CTreeItem* item) {
    const int32_t slot = MakeUndoRoom();
    if (!SnapshotItemNameToUndo(*this, *item, undo, slot)) return false;
    NotePlace(undo.entries[slot], kOpRename, sel, col, row);
    return true;
}

void CWorkbook::RecordUndoContainer(const CellRange& sel, uint16_t col, uint32_t row,
                                    const CContainer& container) {
    UndoEntry& e = undo.entries[MakeUndoRoom()];
    e.kind = kUndoContainer;
    e.containerId = container.settings.id;
    e.treePosition = GetTreeItemIndex(tree.active, tree.first);
    NotePlace(e, kOpContainerInserted, sel, col, row);
}

void CWorkbook::RecordUndoContainerKept(const CellRange& sel, uint16_t col, uint32_t row,
                                        std::unique_ptr<CContainer> container) {
    UndoEntry& e = undo.entries[MakeUndoRoom()];
    e.kind = kUndoContainer;
    e.containerId = container ? container->settings.id : 0;
    e.container = std::move(container);
    e.treePosition = GetTreeItemIndex(tree.active, tree.first);
    NotePlace(e, kOpContainerInserted, sel, col, row);
}

bool CWorkbook::RecordUndoContainerOp(const CellRange& sel, uint16_t col, uint32_t row,
                                      CContainer& container) {
    const int32_t slot = MakeUndoRoom();
    if (!SnapshotContainer(*this, tree.active, container, undo, slot)) return false;
    NotePlace(undo.entries[slot], kOpContainerChanged, sel, col, row);
    return true;
}

void CWorkbook::RecordUndoSort(const CellRange& sel, uint16_t col, uint32_t row,
                               BlockPtr memoryBlock) {
    UndoEntry& e = undo.entries[MakeUndoRoom()];
    e.kind = kUndoMemoryBlock;
    MakeRangeDescriptor(sel, &e.blockDescriptor);
    e.memoryBlock = std::move(memoryBlock);
    NotePlace(e, kOpSort, sel, col, row);
}

} // namespace vl
