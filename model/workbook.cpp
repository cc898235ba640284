#include "model/workbook.h"

#include "model/treeappend.h"

#include <string>

namespace vl {

CWorkbook::CWorkbook() {
    InitStyleTable();
    InitTextFileSettings();
    InitDocumentProperties();
    InitUndoHistory();
    for (DropDownListRecord& list : dropDownLists) InitDropDownList(list);
}

CWorkbook::~CWorkbook() {
    FreeTreeItemList(tree.first);
    tree = TreeHead{};
    for (DropDownListRecord& list : dropDownLists) FreeDropDownList(list);
    FreeUndoHistoryEntries();
    ReleaseXBaseSaveOptions(xbase);
    inspectedCells.FreeAll();
    printPages.FreeAll();
    imagePages.FreeAll();
    images.clear();
    evalContext.reset();
}

void CWorkbook::InitUndoHistory() {
    for (UndoEntry& e : undo.entries) e = UndoEntry{};
    undo.current = -1;
    undo.maximum = 0;
}

void CWorkbook::ClearContent() {
    FreeTreeItemList(tree.first);
    tree = TreeHead{};
    for (DropDownListRecord& list : dropDownLists) {
        FreeDropDownList(list);
        InitDropDownList(list);
    }
    inspectedCells.FreeAll();
    FreeUndoHistoryEntries();
    InitUndoHistory();
    InitStyleTable();
    images.clear();
    imagePages.FreeAll();
}

CTreeItem* CWorkbook::AppendTreeItem(uint8_t type, const char* name, uint16_t level) {
    CTreeItem* last = tree.first;
    while (last && last->next) last = last->next;
    return AppendTreeItemAfter(*this, last, type, name, level);
}

CTreeItem* AppendTreeItemAfter(CWorkbook& workbook, CTreeItem* last, uint8_t type, const char* name,
                               uint16_t level) {
    TreeHead& tree = workbook.tree;
    std::string fallback;
    if (!name) {
        fallback = type == TREE_TYPE_FOLDER ? "Folder" : "Worksheet";
        fallback +=
            std::to_string((type == TREE_TYPE_FOLDER ? tree.folderCount : tree.worksheetCount) + 1);
        name = fallback.c_str();
    }
    std::unique_ptr<CTreeItem> item;
    if (type == TREE_TYPE_FOLDER)
        item = NewBlockObject<CTreeItem>(name, level, TREE_TYPE_FOLDER, 0);
    else
        item = NewBlockObject<CWorksheet>(name, level);
    if (!item) {
        workbook.error = kErrorWorksheetMemory;
        return nullptr;
    }
    // A new item can stand at most one level below the folder before it.
    long limit = last ? long(last->level) + (last->IsFolder() ? 1 : 0) : 1;
    item->level = ClampTreeLevel(item->level > limit ? limit : item->level);
    item->prev = last;
    (last ? last->next : tree.first) = item.get();
    if (item->IsWorksheet()) {
        ++tree.worksheetCount;
        if (!tree.active) tree.active = static_cast<CWorksheet*>(item.get());
    } else {
        ++tree.folderCount;
    }
    return item.release();
}

std::unique_ptr<CWorkbook> CreateWorkbook() {
    return NewBlockObject<CWorkbook>();
}

CWorksheet* ReplaceTreeWithWorksheet(CWorkbook& workbook, const char* name) {
    // The new worksheet first, so that a failure leaves the old tree whole.
    auto sheet = NewBlockObject<CWorksheet>(name, 1);
    if (!sheet) {
        workbook.error = kErrorWorksheetMemory;
        return nullptr;
    }
    TreeHead& tree = workbook.tree;
    FreeTreeItemList(tree.first);
    tree = TreeHead{};
    InsertTreeItem(tree, sheet.get(), nullptr);
    workbook.currentItem = sheet.get();
    workbook.currentCells = &sheet->cells;
    tree.active = sheet.get();
    return sheet.release();
}

bool NewWorkbook(CWorkbook& workbook) {
    return ReplaceTreeWithWorksheet(workbook, "Worksheet1") != nullptr;
}

} // namespace vl
