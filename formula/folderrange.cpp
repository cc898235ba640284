#include "formula/folderrange.h"

#include "formula/operands.h"
#include "formula/spreadreach.h"
#include "model/worksheettree.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (CharUpper1252(a[i]) != CharUpper1252(b[i])) return false;
    return true;
}

struct Rectangle {
    uint16_t firstColumn, lastColumn;
    uint32_t firstRow, lastRow;
};

Rectangle RectangleOf(const FormulaToken& entry) {
    if (entry.type == kTokenReference) return {entry.column, entry.column, entry.row, entry.row};
    return {entry.firstColumn, entry.lastColumn, entry.firstRow, entry.lastRow};
}

// Copies the cells of the rectangle in `cells` into the builder, `rowBase` rows down;
// #REF! when a row would leave the grid, #MEMORY! when a cell cannot be stored.
FormulaError CopyRectangle(CEvalContext& ctx, CArrayBuilder& builder, CCellStore& cells,
                           const Rectangle& rect, uint64_t rowBase) {
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = cells.StartPageForRow(rect.firstRow);
    if (!cursor.page) return 0;
    while (const uint8_t* r = NextCellInRectangle(cursor, rect.firstColumn, rect.firstRow,
                                                  rect.lastColumn, rect.lastRow)) {
        uint64_t row = rowBase + (cell::Row(r) - rect.firstRow);
        if (row > kLastRow) return kErrRef;
        FormulaToken value;
        value.cells = &cells;
        CellToOperand(ctx, value, r);
        if (!builder.Put(uint16_t(cell::Column(r) - rect.firstColumn), uint32_t(row), value))
            return kErrMemory;
    }
    return 0;
}

} // namespace

void GetFolderPath(const CEvalContext& ctx, const CCellStore* cells, std::string& out) {
    out.clear();
    if (!cells) return;
    for (const CTreeItem* item = ctx.worksheetList; item; item = item->next) {
        if (item->IsWorksheet() && item->cellStore == cells) {
            BuildTreeItemPath(item, out, true);
            return;
        }
    }
}

CTreeItem* FindNodeByPath(const CEvalContext& ctx, std::string_view path, CTreeItem* start) {
    if (path.size() >= kMaxTreePath) return nullptr;
    std::string itemPath;
    for (CTreeItem* item = start ? start : ctx.worksheetList; item; item = item->next) {
        if (!BuildTreeItemPath(item, itemPath, false) || itemPath.size() >= kMaxTreePath) continue;
        if (EqualNoCase(itemPath, path)) return item;
    }
    return nullptr;
}

void GatherFolderRange(CEvalContext& ctx, FormulaToken& entry, const CTreeItem& folder) {
    Rectangle rect = RectangleOf(entry);
    const uint16_t columns = uint16_t(rect.lastColumn - rect.firstColumn + 1);
    const uint32_t rows = rect.lastRow - rect.firstRow + 1;
    CArrayBuilder builder(ctx);
    uint64_t items = 0;
    for (CTreeItem* item = folder.next; item && item->level > folder.level && entry.error == 0;
         item = item->next, ++items) {
        CWorksheet* sheet = AsWorksheet(item);
        if (!sheet) continue;
        // What a folder holds is known only now.
        NoteBuiltArea(ctx, &sheet->cells,
                      {rect.firstColumn, rect.firstRow, rect.lastColumn, rect.lastRow});
        entry.error = CopyRectangle(ctx, builder, sheet->cells, rect, items * rows);
    }
    // An array of no rows cannot be described, nor one taller than the grid.
    if (items == 0 || items * rows > kMaxRows) {
        entry.error = MergeError(entry.error, kErrRef);
        entry.type = kTokenEmpty;
        entry.number = 0;
        entry.cells = nullptr;
        return;
    }
    PushArrayValue(ctx, entry, builder.Detach(), columns, uint32_t(items * rows));
}

void FetchRangeValues(CEvalContext& ctx, FormulaToken& entry) {
    Rectangle rect = RectangleOf(entry);
    CArrayBuilder builder(ctx);
    if (entry.cells) {
        NoteRead(ctx, entry.cells,
                 {rect.firstColumn, rect.firstRow, rect.lastColumn, rect.lastRow});
        FormulaError error = CopyRectangle(ctx, builder, *entry.cells, rect, 0);
        entry.error = MergeError(entry.error, error);
    }
    PushArrayValue(ctx, entry, builder.Detach(), uint16_t(rect.lastColumn - rect.firstColumn + 1),
                   rect.lastRow - rect.firstRow + 1);
}

} // namespace vl
