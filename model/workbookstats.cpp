#include "model/workbookstats.h"

#include "model/container.h"
#include "model/workbook.h"

namespace vl {

namespace {

constexpr CellRange kWholeSheet{0, 0, uint16_t(kMaxColumns - 1), kMaxRows - 1};

void AddCells(StatisticsCounts& counts, const CWorksheet& sheet, const CellRange& range) {
    uint32_t kinds[6];
    sheet.cells.CountCellKinds(kinds, range);
    for (int i = 0; i < 6; ++i) counts.cells[i] += kinds[i];
}

void AddContainers(StatisticsCounts& counts, const CWorksheet& sheet) {
    for (const CContainer* c = sheet.firstContainer; c; c = c->next) ++counts.containers;
}

void AddItem(StatisticsCounts& counts, const CTreeItem* item) {
    if (item->IsFolder()) {
        ++counts.folders;
        return;
    }
    const CWorksheet* sheet = AsWorksheet(item);
    if (!sheet) return;
    ++counts.worksheets;
    AddCells(counts, *sheet, kWholeSheet);
    AddContainers(counts, *sheet);
}

// The folder holding `sheet`: the nearest item before it that is a folder one level up or
// more; null at the top of the tree.
const CTreeItem* HoldingFolder(const CTreeItem* sheet) {
    for (const CTreeItem* item = sheet->prev; item; item = item->prev)
        if (item->IsFolder() && item->level < sheet->level) return item;
    return nullptr;
}

} // namespace

uint64_t StatisticsCounts::TotalCells() const {
    uint64_t total = 0;
    for (const uint32_t n : cells) total += n;
    return total;
}

StatisticsCounts CountStatistics(const CWorkbook& book, uint32_t scope,
                                 const CellRange& selection) {
    StatisticsCounts counts;
    const CWorksheet* active = book.tree.active;
    if (scope == kScopeWorkbook || (scope == kScopeFolder && active)) {
        const CTreeItem* folder = scope == kScopeFolder ? HoldingFolder(active) : nullptr;
        const uint16_t bound = folder ? folder->level : 0;
        for (const CTreeItem* item = folder ? folder->next : book.tree.first;
             item && item->level > bound; item = item->next)
            AddItem(counts, item);
        return counts;
    }
    if (!active) return counts;
    counts.worksheets = 1;
    AddCells(counts, *active, scope == kScopeRange ? selection : kWholeSheet);
    AddContainers(counts, *active);
    return counts;
}

} // namespace vl
