#include "formula/recalc.h"

#include "formula/evaluator.h"
#include "model/container.h"
#include "model/workbook.h"
#include "platform/core/bytes.h"

#include <cstring>
#include <vector>

namespace vl {

namespace {

ChartRefresh gChartRefresh = nullptr;

uint32_t ItemIndexOfStore(const CEvalContext& ctx, const CCellStore* cells) {
    uint32_t index = 0;
    for (const CTreeItem* item = ctx.worksheetList; item; item = item->next, ++index)
        if (item->IsWorksheet() && item->cellStore == cells) return index;
    return 0;
}

// Step 1 of a pass: every formula cell uncalculated with no visits, and a direct row index
// for every block that holds formulas, so that precedents are found by a block lookup.
void ResetFormulaCells(CCellStore& cells) {
    cells.ClearRowIndex(false);
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = cells.FirstPage();
    uint32_t lastBlock = kRowBlocks;
    std::vector<uint32_t> blocks;
    while (uint8_t* r = NextCellRecord(cursor)) {
        if (!cell::IsFormula(r)) continue;
        r[13] = 0;
        r[14] = uint8_t(r[14] & ~(kResultCalculated | kResultWaiting));
        uint32_t block = cell::Row(r) / kRowBlockRows;
        if (block != lastBlock) blocks.push_back(block);
        lastBlock = block;
    }
    CellCursor indexCursor;
    for (uint32_t block : blocks) cells.BuildRowBlockIndex(block, indexCursor);
}

// A cell at the end of a walk of precedents, its own record made fit to be read again.
struct CellPlace {
    CCellStore* cells;
    uint32_t row;
    uint16_t column;
};

// The formula text kept aside while the record may move or be rebuilt.
class CFormulaBuffer {
public:
    std::string_view Keep(const uint8_t* record) {
        std::string_view text = cell::Formula(record);
        std::memcpy(buffer_, text.data(), text.size());
        return {buffer_, text.size()};
    }

private:
    char buffer_[kPagePayload];
};

enum class Entry { kEvaluate, kCircular, kMissing };

// Enters a precedent: records who waits for it and counts the entry; a cell entered twice
// while it waits is circular and finished with #CIRC!.
Entry EnterPrecedent(CEvalContext& ctx, const CellPlace& waiting, const CellPlace& precedent) {
    uint8_t* r = FindCell(*precedent.cells, precedent.row, precedent.column);
    if (!r || !cell::IsFormula(r)) return Entry::kMissing;
    StoreU16(r + 15, waiting.column);
    StoreU32(r + 17, waiting.row);
    StoreU32(r + 21, ItemIndexOfStore(ctx, waiting.cells));
    r[14] |= kResultWaiting;
    r[13] = uint8_t(r[13] < 255 ? r[13] + 1 : 255);
    if (r[13] <= 1) return Entry::kEvaluate;
    r[14] |= kResultCalculated;
    cell::SetError(r, kErrCirc >> 4);
    return Entry::kCircular;
}

// The cell that waits for a finished one, when it still needs calculating.
bool NextWaitingCell(CEvalContext& ctx, CellPlace& place) {
    uint8_t* r = FindCell(*place.cells, place.row, place.column);
    if (!r || !cell::IsFormula(r) || !(r[14] & kResultWaiting)) return false;
    r[14] = uint8_t(r[14] & ~kResultWaiting);
    place = {GetWorksheetByIndex(ctx, cell::WaitingWorksheet(r)), cell::WaitingRow(r),
             cell::WaitingColumn(r)};
    const uint8_t* w = FindCell(*place.cells, place.row, place.column);
    return w && cell::IsFormula(w) && !(cell::ResultFlags(w) & kResultCalculated);
}

// Calculates one cell and, first, every uncalculated precedent it reads, following the
// waiting cells back until the chain is done.
void CalculateChain(CEvalContext& ctx, CFormulaBuffer& formula, CellPlace place) {
    for (;;) {
        ctx.currentCells = place.cells;
        ClearOperand(ctx.pendingPrecedent);
        const uint8_t* r = FindCell(*place.cells, place.row, place.column);
        if (!r) return;
        std::string_view text = formula.Keep(r);
        uint16_t kind =
            EvaluateFormula(ctx, text, place.column, place.row) ? FinishFormulaResult(ctx) : 0;
        Entry entry = Entry::kMissing;
        if (ctx.pendingPrecedent.refFlags && ctx.pendingPrecedent.cells) {
            CellPlace precedent{ctx.pendingPrecedent.cells, ctx.pendingPrecedent.row,
                                ctx.pendingPrecedent.column};
            ClearOperand(ctx.pendingPrecedent);
            entry = EnterPrecedent(ctx, place, precedent);
            if (entry != Entry::kMissing) place = precedent;
            if (entry == Entry::kEvaluate) continue;
        }
        if (entry == Entry::kMissing) {
            WriteFormulaResult(ctx, *place.cells, place.row, place.column, text, kind);
            uint8_t* w = FindCell(*place.cells, place.row, place.column);
            if (w && w[13] > 0) --w[13];
        }
        if (!NextWaitingCell(ctx, place)) return;
    }
}

} // namespace

void SetChartRefresh(ChartRefresh refresh) {
    gChartRefresh = refresh;
}

bool UpdateCharts(CWorkbook& workbook, CTreeItem& item, CContainer& container) {
    return gChartRefresh ? gChartRefresh(workbook, item, container) : true;
}

CCellStore* GetWorksheetByIndex(const CEvalContext& ctx, uint32_t n) {
    CTreeItem* item = ctx.worksheetList;
    for (uint32_t i = 0; item && i < n; ++i) item = item->next;
    return item && item->IsWorksheet() ? item->cellStore : ctx.currentCells;
}

bool RecalcSheet(CEvalContext& ctx, CCellStore& cells, CTreeItem* list) {
    ctx.worksheetList = list;
    CFormulaBuffer formula;
    CellCursor walk;
    walk.flags = kAdvance;
    walk.page = cells.FirstPage();
    while (const uint8_t* r = NextCellRecord(walk)) {
        if (!cell::IsFormula(r) || (cell::ResultFlags(r) & kResultCalculated)) continue;
        const uint32_t row = cell::Row(r);
        const uint16_t column = cell::Column(r);
        CalculateChain(ctx, formula, {&cells, row, column});
        // The walk goes on after the cell it started from, whatever the chain moved, so
        // that no formula cell it passed is left uncalculated.
        walk = CellCursor{};
        walk.flags = kAdvance;
        if (const RowIndexEntry* entry = cells.RowEntry(row); entry && entry->page)
            walk.page = entry->page, walk.offset = entry->offset;
        FindCellFromCursor(cells, row, column, walk);
        if (!walk.page) break;
    }
    return true;
}

bool RecalculateWorkbook(CWorkbook& workbook, CEvalContext& ctx, CCellStore* cells) {
    ctx.worksheetList = workbook.tree.first;
    ctx.currentCells = cells;
    ++ctx.recalculation;
    for (CTreeItem* item = workbook.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item)) ResetFormulaCells(sheet->cells);
    for (CTreeItem* item = workbook.tree.first; item; item = item->next) {
        CWorksheet* sheet = AsWorksheet(item);
        if (sheet && (!cells || cells == &sheet->cells))
            RecalcSheet(ctx, sheet->cells, workbook.tree.first);
    }
    for (CTreeItem* item = workbook.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item)) sheet->cells.ClearRowIndex(false);
    return UpdateWorkbookCharts(workbook);
}

bool UpdateWorkbookCharts(CWorkbook& workbook) {
    bool refreshed = true;
    for (CTreeItem* item = workbook.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item))
            for (CContainer* c = sheet->firstContainer; c; c = c->next)
                if (!UpdateCharts(workbook, *item, *c)) refreshed = false;
    return refreshed;
}

} // namespace vl
