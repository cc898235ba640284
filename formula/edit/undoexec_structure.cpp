#include "formula/edit/formulaadjust.h"
#include "formula/edit/otherbooks.h"
#include "formula/edit/referenceplan.h"
#include "formula/edit/undocases.h"
#include "formula/edit/undoexec.h"
#include "model/containerpaste.h"
#include "model/memoryguard.h"
#include "model/rowcolumnedit.h"
#include "model/rowpermute.h"
#include "model/undosnapshot.h"
#include "model/workbook.h"
#include "model/worksheetpaste.h"

#include <cstring>

namespace vl::undocase {

bool ContainerInserted(CWorkbook& workbook, CWorksheet& ws, int32_t index) {
    UndoEntry& e = workbook.undo.entries[index];
    if (e.container) {
        LinkContainer(ws, std::move(e.container));
        return true;
    }
    CContainer* c = FindContainer(ws, uint16_t(e.containerId));
    if (!c) return Fail(workbook, kErrorContainerNotFound);
    e.container = UnlinkContainer(ws, c);
    return true;
}

bool ContainerChanged(CWorkbook& workbook, CWorksheet& ws, int32_t index) {
    UndoEntry& e = workbook.undo.entries[index];
    if (!e.container) return Fail(workbook, kErrorInvalidCacheIndex);
    CContainer* c = FindContainer(ws, uint16_t(e.containerId));
    if (!c) return Fail(workbook, kErrorContainerNotFound);
    e.container = ReplaceContainer(ws, c, std::move(e.container));
    return true;
}

// The texts of formulas that follow a move are exchanged while both the copy and the
// original are in the tree, as when they were kept.
bool Tree(CWorkbook& workbook, int32_t index) {
    UndoEntry& e = workbook.undo.entries[index];
    if (e.treeChain) {
        CTreeItem* chain = e.treeChain.release();
        LinkTreeChainAt(workbook.tree, chain, e.treePosition);
        if (ExchangeFormulaPlan(workbook, e))
            return ExchangeOtherWorkbooks(e) || Fail(workbook, kErrorWorksheetMemory);
        const ErrorCode error = workbook.error;
        DetachTreeItem(workbook.tree, chain, workbook.error);
        e.treeChain.reset(chain);
        return Fail(workbook, error);
    }
    CTreeItem* item =
        e.treePosition < 0 ? nullptr : GetTreeItemAt(e.treePosition, workbook.tree.first);
    if (!item) return Fail(workbook, kErrorPathNotFound);
    PreparedExchange ex;
    if (!PrepareExchange(workbook, e, ex) || !CommitExchange(workbook, e, ex)) return false;
    if (!DetachTreeItem(workbook.tree, item, workbook.error)) {
        RevertExchange(e, ex);
        return false;
    }
    e.treeChain.reset(item);
    return ExchangeOtherWorkbooks(e) || Fail(workbook, kErrorWorksheetMemory);
}

// The entry's map sends the cells of each row of the range to the row it names; the entry
// then keeps the map that sends them back.
bool Sort(CWorkbook& workbook, CWorksheet& ws, int32_t index) {
    UndoEntry& e = workbook.undo.entries[index];
    const CellRange rect = e.blockDescriptor.Range();
    if (!e.memoryBlock || RangeEmpty(rect)) return Fail(workbook, kErrorInvalidCacheIndex);
    auto* map = reinterpret_cast<uint32_t*>(e.memoryBlock.get());
    return GuardWorksheetMemory(workbook, [&] {
        const std::vector<uint32_t> gather = InvertRowPermutation(rect, map);
        if (gather.empty()) return Fail(workbook, kErrorInvalidCacheIndex);
        if (!PermuteRangeRows(workbook, ws, rect, gather.data())) return false;
        std::memcpy(map, gather.data(), gather.size() * sizeof(uint32_t));
        return true;
    });
}

// The texts of formulas that reached into a removed span, kept in the entry's cell buffer.
bool KeepLostFormulas(UndoEntry& e, const std::vector<FormulaText>& lost) {
    uint32_t size = 0;
    BlockPtr block;
    if (!lost.empty() && !(block = PackFormulaTexts(lost, size))) return false;
    KeepLostBlock(e, std::move(block), size);
    return true;
}

void KeepLostBlock(UndoEntry& e, BlockPtr block, uint32_t size) {
    e.cellBuffer = std::move(block);
    e.cellBufferSize = e.cellBuffer ? size : 0;
    if (e.cellBuffer) e.bufferOwnership = 1;
}

namespace {

uint8_t Mode(bool rows, bool inserted) {
    if (rows) return inserted ? kAdjustRowsInserted : kAdjustRowsRemoved;
    return inserted ? kAdjustColumnsInserted : kAdjustColumnsRemoved;
}

// The formulas' new texts, planned before the edit; false with the workbook's error when
// a reference would be pushed off the sheet (24 or 23) or memory runs out.
bool Plan(CWorkbook& workbook, CEvalContext& ctx, CWorksheet& ws, const RangeDescriptor& span,
          bool rows, bool insert, std::vector<FormulaText>& texts, std::vector<FormulaText>* lost) {
    return GuardWorksheetMemory(workbook, [&] {
        if (PlanFormulasAfterEdit(ctx, ws.cells, Mode(rows, insert), span, texts, lost))
            return true;
        return Fail(workbook, rows ? kErrorNoEmptyRows : kErrorNoEmptyColumns);
    });
}

// The rows (columns) are there: they are kept in the entry, then removed.
bool RemoveAgain(CWorkbook& workbook, CWorksheet& ws, int32_t index, bool rows, CEvalContext& ctx) {
    UndoHistory& history = workbook.undo;
    const RangeDescriptor span = history.entries[index].secondRange;
    std::vector<FormulaText> texts, lost;
    if (!Plan(workbook, ctx, ws, span, rows, false, texts, &lost)) return false;
    // Other worksheets' formulas that name this one take their texts from the entry.
    PreparedExchange ex;
    if (!PrepareExchange(workbook, history.entries[index], ex)) return false;
    int32_t spare = kSpare;
    if (!SnapshotRangeToUndo(workbook, ws, span, history, spare, true, true)) return false;
    if (!CommitExchange(workbook, history.entries[index], ex)) {
        FreeUndoEntry(history, kSpare);
        return false;
    }
    const bool removed = rows ? RemoveWorksheetRows(ws, span.r1, span.r2, workbook.error)
                              : RemoveWorksheetColumns(ws, span.c1, span.c2, workbook.error);
    if (!removed) {
        RevertExchange(history.entries[index], ex);
        FreeUndoEntry(history, kSpare);
        return false;
    }
    TakeSpare(history, index, true);
    // Only memory can fail from here; the entry then still holds what was removed.
    if (!ReplaceFormulaTexts(ws.cells, texts) || !KeepLostFormulas(history.entries[index], lost))
        return Fail(workbook, kErrorWorksheetMemory);
    return true;
}

// Takes out again, in place, rows (columns) that were inserted but not yet filled.
void TakeOutEmpty(CWorksheet& ws, const RangeDescriptor& span, bool rows) {
    if (rows)
        TakeOutEmptyRows(ws, span.r1, span.r2);
    else
        TakeOutEmptyColumns(ws, span.c1, span.c2);
}

// The rows (columns) are kept in the entry: they are inserted and refilled from it.
bool InsertAgain(CWorkbook& workbook, CWorksheet& ws, int32_t index, bool rows, CEvalContext& ctx) {
    UndoHistory& history = workbook.undo;
    UndoEntry& e = history.entries[index];
    const RangeDescriptor span = e.secondRange;
    std::vector<FormulaText> texts;
    const bool fit = rows ? RowsInsertFit(ws.cells, span.r1, span.r2 - span.r1 + 1)
                          : ColumnsInsertFit(ws.cells, span.c1, uint16_t(span.c2 - span.c1 + 1));
    if (!fit) return Fail(workbook, rows ? kErrorNoEmptyRows : kErrorNoEmptyColumns);
    if (!Plan(workbook, ctx, ws, span, rows, true, texts, nullptr)) return false;
    // Formulas that reached into the span get back the texts they had before it went.
    if (e.cellBuffer && !GuardWorksheetMemory(workbook, [&] {
            return UnpackFormulaTexts(e.cellBuffer.get(), e.cellBufferSize, texts) ||
                   Fail(workbook, kErrorInvalidCacheIndex);
        }))
        return false;
    PreparedExchange ex;
    if (!PrepareExchange(workbook, e, ex) || !CommitExchange(workbook, e, ex)) return false;
    const bool inserted = rows ? InsertWorksheetRows(ws, span.r1, span.r2, workbook.error)
                               : InsertWorksheetColumns(ws, span.c1, span.c2, workbook.error);
    if (!inserted) return RevertExchange(e, ex), false;
    if (!RestoreRangeFromUndo(workbook, ws, history, index, true, true)) {
        TakeOutEmpty(ws, span, rows);
        RevertExchange(e, ex);
        return false;
    }
    if (!ReplaceFormulaTexts(ws.cells, texts)) {
        // The rows are filled by now: taking them out needs memory, which may be back.
        ErrorCode ignored = kErrorNone;
        if (rows)
            RemoveWorksheetRows(ws, span.r1, span.r2, ignored);
        else
            RemoveWorksheetColumns(ws, span.c1, span.c2, ignored);
        RevertExchange(e, ex);
        return Fail(workbook, kErrorWorksheetMemory);
    }
    e.object.reset();
    e.keptStyles.reset();
    e.cellBuffer.reset();
    e.cellBufferSize = 0;
    e.holds = 0;
    e.kind = kUndoRangeBoth;
    return true;
}

} // namespace

bool RowsOrColumns(CWorkbook& workbook, CWorksheet& ws, int32_t index, bool rows) {
    CEvalContext* ctx = EditContext(workbook);
    if (!ctx) return false;
    const bool insert = workbook.undo.entries[index].object != nullptr;
    const bool done = insert ? InsertAgain(workbook, ws, index, rows, *ctx)
                             : RemoveAgain(workbook, ws, index, rows, *ctx);
    // Formulas of other open workbooks take back (or again) the texts the edit gave them.
    if (done && !ExchangeOtherWorkbooks(workbook.undo.entries[index]))
        return Fail(workbook, kErrorWorksheetMemory);
    return done;
}

} // namespace vl::undocase
