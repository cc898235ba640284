#include "model/undosnapshot.h"
#include "model/workbook.h"

#include <string>

namespace vl {

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

bool CWorkbook::RecordUndoCell(CWorksheet& ws, uint16_t column, uint32_t row,
                               uint16_t firstVisibleColumn, uint32_t firstVisibleRow) {
    if (!SnapshotCellToUndo(*this, ws, column, row, undo, undo.current)) return false;
    NotePlace(undo.entries[undo.current], kOpCells, {column, row, column, row}, firstVisibleColumn,
              firstVisibleRow);
    return true;
}

bool CWorkbook::RecordUndoCells(const CellRange& sel, uint16_t col, uint32_t row) {
    if (!ActiveOrFail()) return MakeUndoRoom(), false;
    if (!SnapshotCellsToUndo(*this, *tree.active, sel, undo, undo.current)) return false;
    NotePlace(undo.entries[undo.current], kOpCells, sel, col, row);
    return true;
}

bool CWorkbook::RecordUndoRange(const CellRange& sel, uint16_t col, uint32_t row, bool cells,
                                bool formats) {
    if (!ActiveOrFail()) return MakeUndoRoom(), false;
    RangeDescriptor range;
    MakeRangeDescriptor(sel, &range);
    if (!SnapshotRangeToUndo(*this, *tree.active, range, undo, undo.current, cells, formats))
        return false;
    NotePlace(undo.entries[undo.current], kOpRange, sel, col, row);
    return true;
}

bool RecordRangeUndo(CWorkbook& workbook, CWorksheet& ws, const CellRange& range) {
    RangeDescriptor descriptor;
    MakeRangeDescriptor(range, &descriptor);
    UndoHistory& undo = workbook.undo;
    if (!SnapshotRangeToUndo(workbook, ws, descriptor, undo, undo.current, true, false))
        return false;
    UndoEntry& e = undo.entries[undo.current];
    e.operation = kOpRange;
    e.activePosition = GetTreeItemIndex(workbook.tree.active, workbook.tree.first);
    e.cursorColumn = range.c1;
    e.cursorRow = range.r1;
    e.selection = range;
    return true;
}

bool CWorkbook::RecordUndoColumnWidths(const CellRange& sel, uint16_t col, uint32_t row,
                                       uint16_t first, uint16_t last) {
    if (!ActiveOrFail()) return MakeUndoRoom(), false;
    if (!SnapshotColumnsToUndo(*this, *tree.active, undo, undo.current)) return false;
    UndoEntry& e = undo.entries[undo.current];
    MakeRangeDescriptor({first, 0, last, kLastRow}, &e.blockDescriptor);
    NotePlace(e, kOpColumnWidths, sel, col, row);
    return true;
}

bool CWorkbook::RecordUndoRowHeights(const CellRange& sel, uint16_t col, uint32_t row,
                                     uint32_t first, uint32_t last) {
    if (!ActiveOrFail()) return MakeUndoRoom(), false;
    if (!SnapshotRowHeightsToUndo(*this, *tree.active, undo, undo.current)) return false;
    UndoEntry& e = undo.entries[undo.current];
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
    if (!ActiveOrFail()) return MakeUndoRoom(), false;
    RangeDescriptor columns;
    MakeRangeDescriptor({first, 0, last, kLastRow}, &columns);
    if (!SnapshotRangeToUndo(*this, *tree.active, columns, undo, undo.current, true, true))
        return false;
    UndoEntry& e = undo.entries[undo.current];
    e.secondRange = columns;
    NotePlace(e, kOpColumns, sel, col, row);
    return true;
}

bool CWorkbook::RecordUndoRowsCopy(const CellRange& sel, uint16_t col, uint32_t row, uint32_t first,
                                   uint32_t last) {
    if (!ActiveOrFail()) return MakeUndoRoom(), false;
    RangeDescriptor rows;
    MakeRangeDescriptor({0, first, kLastColumn, last}, &rows);
    if (!SnapshotRangeToUndo(*this, *tree.active, rows, undo, undo.current, true, true))
        return false;
    UndoEntry& e = undo.entries[undo.current];
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
    const int32_t position = item ? GetTreeItemIndex(item, tree.first) : -1;
    const int32_t slot = MakeUndoRoom();
    if (position < 0) {
        error = kErrorPathNotFound;
        return false;
    }
    if (!DetachTreeItem(tree, item, error)) return false;
    UndoEntry& e = undo.entries[slot];
    e.kind = kUndoTreeChain;
    e.treePosition = position;
    e.treeChain.reset(item);
    NotePlace(e, kOpTree, sel, col, row);
    return true;
}

bool CWorkbook::RecordUndoRename(const CellRange& sel, uint16_t col, uint32_t row,
                                 const CTreeItem* item) {
    if (!item) return MakeUndoRoom(), error = kErrorPathNotFound, false;
    if (!SnapshotItemNameToUndo(*this, *item, undo, undo.current)) return false;
    NotePlace(undo.entries[undo.current], kOpRename, sel, col, row);
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
    if (!SnapshotContainer(*this, tree.active, container, undo, undo.current)) return false;
    NotePlace(undo.entries[undo.current], kOpContainerChanged, sel, col, row);
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

void CWorkbook::RecordUndoListRemoval(const CellRange& sel, uint16_t col, uint32_t row,
                                      uint16_t list, DropDownListRecord removed, bool joined) {
    std::unique_ptr<KeptDropDownList> kept(new (std::nothrow) KeptDropDownList);
    if (kept) {
        kept->list = list;
        kept->record = std::move(removed);
        for (uint16_t i = 0; i < styles.styleCount && i < kMaxStyles; ++i) {
            const StyleRecord& s = styles.styles[i];
            const uint16_t n = s.dropDownList;
            if (n == 0 || (n <= kDropDownLists && DropDownListInUse(dropDownLists[n - 1])))
                continue;
            kept->styles.push_back({i, n, s.sort, s.autoAppend, s.autoComplete});
        }
    }
    ForgetRemovedDropDownLists(styles, dropDownLists);
    if (!kept) return;
    undo.joinNext = joined;
    UndoEntry& e = undo.entries[MakeUndoRoom()];
    e.kind = kUndoDropDownList;
    e.keptList = std::move(kept);
    NotePlace(e, kOpDropDownList, sel, col, row);
}

} // namespace vl
