#include "model/worksheet.h"

#include "model/container.h"

namespace vl {

CTreeItem::CTreeItem(const char* name, uint16_t level, uint8_t type, uint8_t expanded)
    : itemType(type), level(ClampTreeLevel(level)), expanded(expanded) {
    SetName(name);
}

void CTreeItem::SetName(const char* text) {
    CopyTextField(name, text ? text : "", kTreeNameSize);
}

CWorksheet::CWorksheet(const char* name, uint16_t level)
    : CTreeItem(name, level, TREE_TYPE_WORKSHEET, 0) {
    // The format store starts empty: no runs, default columns, no row heights.
    InitViewSettings();
    InitPageSetup();
    cellStore = &cells;
}

CWorksheet::~CWorksheet() {
    while (firstContainer) {
        CContainer* c = firstContainer;
        firstContainer = c->next;
        delete c;
    }
    // The column table goes with the worksheet: only what the stores hold is freed.
    formats.runs.FreeAll();
    formats.rowHeights.FreeAll();
    cells.FreeAll();
}

void FreeTreeItemList(CTreeItem* first) {
    while (first) {
        CTreeItem* next = first->next;
        delete first;
        first = next;
    }
}

} // namespace vl
