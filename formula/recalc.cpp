#include "formula/recalc.h"

#include "formula/recalc_chain.h"
#include "formula/recalc_spread.h"
#include "formula/spreadreach.h"
#include "model/container.h"
#include "model/workbook.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace vl {

namespace {

ChartRefresh gChartRefresh = nullptr;
// The fewest bytes a formula calling a volatile function takes in a page ("=NOW()").
constexpr std::size_t kSmallestVolatile = kFormulaHead + 6;
constexpr std::size_t kMostReserved = std::size_t(1) << 22;
// Numbers recalculations across all workbooks, so that two workbooks never share one.
std::atomic<uint32_t> gRecalculations{0};

} // namespace

void ResetFormulaCells(CCellStore& cells, std::vector<FormulaPlace>* deferred) {
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
        // Random numbers that may spread take their turn once, after the arrays they read:
        // the walk passes over them, unless a formula waits for one.
        if (deferred && MayCallVolatile(cell::Formula(r))) {
            r[14] |= kResultDeferred;
            deferred->push_back({&cells, cell::Row(r), cell::Column(r)});
        }
        uint32_t block = cell::Row(r) / kRowBlockRows;
        if (block != lastBlock) blocks.push_back(block);
        lastBlock = block;
    }
    CellCursor indexCursor;
    for (uint32_t block : blocks) cells.BuildRowBlockIndex(block, indexCursor);
    // Blocks without formulas are read by formulas too, of this worksheet or others.
    cells.IndexOnDemand(true);
}

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
    CRecalcChain chain(ctx);
    CellCursor walk;
    walk.flags = kAdvance;
    walk.page = cells.FirstPage();
    while (const uint8_t* r = NextCellRecord(walk)) {
        if (!cell::IsFormula(r) || (cell::ResultFlags(r) & (kResultCalculated | kResultDeferred)))
            continue;
        const uint32_t row = cell::Row(r);
        const uint16_t column = cell::Column(r);
        chain.Calculate(cells, row, column);
        // The walk goes on after the cell it started from, whatever the chain moved, so
        // that no formula cell it passed is left uncalculated. The row index, while it
        // stands, finds the cell without a scan from the start of its row.
        walk = CellCursor{};
        walk.flags = kAdvance;
        FindCellFromCursor(cells, row, column, walk);
        if (!walk.page) break;
    }
    return true;
}

namespace {

void RecalculatePass(CWorkbook& workbook, CEvalContext& ctx, CCellStore* cells,
                     std::vector<FormulaPlace>& deferred) {
    // Room for as many random formulas as the pages could hold, up to a bound: a list grown a
    // place at a time copies itself over and over, and room never written costs no memory.
    std::size_t most = 0;
    for (CTreeItem* item = workbook.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item))
            most += std::size_t(sheet->cells.PageCount()) * kPagePayload / kSmallestVolatile;
    deferred.reserve(std::min(most, kMostReserved));
    for (CTreeItem* item = workbook.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item)) ResetFormulaCells(sheet->cells, &deferred);
    for (CTreeItem* item = workbook.tree.first; item; item = item->next) {
        CWorksheet* sheet = AsWorksheet(item);
        if (sheet && (!cells || cells == &sheet->cells))
            RecalcSheet(ctx, sheet->cells, workbook.tree.first);
    }
    CRecalcChain chain(ctx);
    SettleSpreads(
        ctx, workbook, cells,
        [&chain](CCellStore& store, uint32_t row, uint16_t column) {
            chain.Calculate(store, row, column);
        },
        deferred);
}

} // namespace

bool RecalculateWorkbook(CWorkbook& workbook, CEvalContext& ctx, CCellStore* cells) {
    ctx.worksheetList = workbook.tree.first;
    ctx.currentCells = cells;
    ctx.recalculation = ++gRecalculations;
    ctx.lookups.BeginPass();
    ctx.qualifiers.Begin();
    ctx.spreads.Begin();
    std::vector<FormulaPlace> deferred;
    // Memory that runs out part way leaves the cells as the pass left them, every pass
    // closed, and error 8 for the caller to show; the next recalculation starts afresh.
    bool whole = true;
    try {
        RecalculatePass(workbook, ctx, cells, deferred);
    } catch (const std::bad_alloc&) {
        whole = false;
    }
    for (const FormulaPlace& p : deferred)
        if (uint8_t* r = FindCell(*p.cells, p.row, p.column))
            r[14] = uint8_t(r[14] & ~kResultDeferred);
    ctx.spreads.End();
    for (CTreeItem* item = workbook.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item)) sheet->cells.IndexOnDemand(false);
    ctx.qualifiers.End();
    ctx.lookups.EndPass();
    if (!whole) return Fail(workbook, kErrorWorksheetMemory);
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
