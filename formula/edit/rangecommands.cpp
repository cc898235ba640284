#include "formula/edit/rangecommands.h"

#include "formula/edit/clipboardtext.h"
#include "formula/edit/moveadjust.h"
#include "formula/edit/otherbooks.h"
#include "formula/edit/transposerefs.h"
#include "formula/edit/undoexec.h"
#include "model/containerpaste.h"
#include "model/memoryguard.h"
#include "model/rangedescriptor.h"
#include "model/rangeops.h"
#include "model/undosnapshot.h"
#include "model/workbook.h"
#include "platform/core/editerrors.h"
#include "platform/core/errorcode.h"

namespace vl {

namespace {

// A failed record leaves its claimed slot behind, empty: it goes, with the `count` - 1
// records made before it, so that the history ends as it was.
CommandResult FailRecords(CWorkbook& workbook, int count) {
    for (int i = 0; i < count; ++i) workbook.DiscardLastUndo(true);
    workbook.error = kErrorWorksheetMemory;
    return CommandResult::kFailed;
}

// The rewrites of the formulas that read a block turned about its first cell, planned
// before anything changes; false with error 122 when one reads a range the turn scatters.
bool PlanTurn(CWorkbook& workbook, CWorksheet& sheet, const CellRange& source,
              std::vector<FormulaText>& turned, FormulaPlan& readers,
              std::vector<OtherBookPlan>& otherBooks) {
    CEvalContext* ctx = EditContext(workbook);
    if (!ctx) return false;
    const BlockMove move{source, 0, 0, true};
    bool whole = true;
    if (!GuardWorksheetMemory(workbook, [&] {
            whole = PlanBlockMove(*ctx, workbook, sheet, move, turned, readers);
            return true;
        }))
        return false;
    if (!whole) return Fail(workbook, kErrorRangeScattered);
    const auto rewrite = [&](CEvalContext& c, std::string_view text, uint16_t column, uint32_t row,
                             const CWorksheet& own, std::string& out) {
        AdjustFormulaTextForMove(c, text, column, row, move, false, &own.cells, &sheet.cells, out);
        return true;
    };
    return TextsFitFields(workbook, *ctx, sheet, turned) &&
           PlanFitsFields(workbook, *ctx, readers) && GuardWorksheetMemory(workbook, [&] {
               return PlanOtherWorkbooks(workbook, rewrite, kErrorWorksheetMemory, otherBooks);
           });
}

} // namespace

CommandResult TransposeCommand(CWorkbook& workbook, const GridSelection& selection,
                               CellRange* transposed, bool* offSheet) {
    if (offSheet) *offSheet = false;
    CWorksheet* sheet = workbook.tree.active;
    if (!sheet) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    const CellRange& s = selection.range;
    const uint64_t c2 = uint64_t(s.c1) + (s.r2 - s.r1);
    const uint64_t r2 = uint64_t(s.r1) + (s.c2 - s.c1);
    if (c2 > kLastColumn || r2 > kLastRow) {
        if (offSheet) *offSheet = true;
        return CommandResult::kNothing;
    }
    const CellRange result{s.c1, s.r1, uint16_t(c2), uint32_t(r2)};
    if (transposed) *transposed = result;
    if (TurnCutsArray(sheet->cells, s, result))
        return workbook.error = kErrorArrayCut, CommandResult::kFailed;
    // The formulas elsewhere follow the cells they read; a range the turn would scatter
    // refuses the edit.
    std::vector<FormulaText> turned;
    FormulaPlan readers;
    std::vector<OtherBookPlan> otherBooks;
    if (!PlanTurn(workbook, *sheet, s, turned, readers, otherBooks)) return CommandResult::kFailed;
    const uint16_t column = selection.cursorColumn;
    const uint32_t row = selection.cursorRow;
    if (!workbook.RecordUndoRange(s, column, row, true, true)) return FailRecords(workbook, 1);
    // One edit: the source's entry and the result's are undone and redone together.
    workbook.undo.joinNext = true;
    const bool kept = workbook.RecordUndoRange(result, column, row, true, true);
    workbook.undo.joinNext = false;
    if (!kept) return FailRecords(workbook, 2);
    UndoEntry& entry = workbook.undo.entries[workbook.undo.current];
    PreparedExchange ex;
    if (!PrepareKeep(workbook, std::move(readers), ex) || !CommitExchange(workbook, entry, ex))
        return FailRecords(workbook, 2);
    if (!TransposeRange(workbook, *sheet, s)) {
        // The cells stayed where they were: so do their readers, and the edit keeps no entry.
        const ErrorCode error = workbook.error;
        RevertExchange(entry, ex);
        FailRecords(workbook, 2);
        workbook.error = error;
        return CommandResult::kFailed;
    }
    if (!ApplyOtherWorkbooks(otherBooks, &entry)) {
        workbook.error = kErrorWorksheetMemory;
        return FinishCommand(workbook, false);
    }
    // The formulas turned with their cells read the block's cells where those went.
    if (!ReplaceFormulaTexts(sheet->cells, turned)) {
        workbook.error = kErrorWorksheetMemory;
        return FinishCommand(workbook, false);
    }
    return FinishCommand(workbook, true);
}

CommandResult PasteEntryCommand(CWorkbook& workbook, const GridSelection& selection,
                                UndoHistory& history, int32_t index, bool formats,
                                PastedEntry* pasted) {
    CWorksheet* sheet = workbook.tree.active;
    if (!sheet) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    if (index < 0 || index >= kUndoSpareSlot)
        return workbook.error = kErrorInvalidCacheIndex, CommandResult::kFailed;
    const UndoEntry& e = history.entries[index];
    const CellRange& sel = selection.range;
    const uint16_t column = selection.cursorColumn;
    const uint32_t row = selection.cursorRow;
    PastedEntry out{{sel.c1, sel.r1, sel.c1, sel.r1}, nullptr};
    bool ok = true;
    switch (e.kind) {
    case kUndoCells:
        if (!workbook.RecordUndoCell(*sheet, sel.c1, sel.r1, column, row))
            return FailRecords(workbook, 1);
        ok = RestoreCellFromUndo(workbook, *sheet, sel.c1, sel.r1, history, index);
        break;
    case kUndoRangeCells:
    case kUndoRangeFormats:
    case kUndoRangeBoth: {
        const CellRange kept = e.blockDescriptor.Range();
        out.range = PasteTarget(sel, kept.c2 - kept.c1, kept.r2 - kept.r1);
        if (!workbook.RecordUndoRange(out.range, column, row, true, true))
            return FailRecords(workbook, 1);
        ok = PasteRangeFromEntry(workbook, *sheet, out.range, history, index, true, formats);
        break;
    }
    case kUndoContainer:
        if (!RestoreContainerFromUndo(workbook, *sheet, CellRef{sel.c1, sel.r1, 0}, history, index))
            return CommandResult::kFailed;
        out.container = sheet->firstContainer;
        while (out.container && out.container->next) out.container = out.container->next;
        if (out.container) workbook.RecordUndoContainer(sel, column, row, *out.container);
        break;
    default:
        return workbook.error = kErrorInvalidCacheIndex, CommandResult::kFailed;
    }
    if (pasted) *pasted = out;
    return FinishCommand(workbook, ok);
}

namespace {

// The rewrites a move makes, planned before anything changes: `inside` goes into the moved
// formulas after the paste, `outside` is exchanged through the drop's undo entry.
bool PlanMove(CWorkbook& workbook, CWorksheet& sheet, const CellRange& source,
              const CellRange& drop, std::vector<FormulaText>& inside, FormulaPlan& outside,
              std::vector<OtherBookPlan>& otherBooks) {
    CEvalContext* ctx = EditContext(workbook);
    if (!ctx) return false;
    const BlockMove move{source, int32_t(drop.c1) - source.c1, int64_t(drop.r1) - source.r1};
    if (!GuardWorksheetMemory(workbook, [&] {
            PlanBlockMove(*ctx, workbook, sheet, move, inside, outside);
            return true;
        }))
        return false;
    const auto rewrite = [&](CEvalContext& c, std::string_view text, uint16_t column, uint32_t row,
                             const CWorksheet& own, std::string& out) {
        AdjustFormulaTextForMove(c, text, column, row, move, false, &own.cells, &sheet.cells, out);
        return true;
    };
    return TextsFitFields(workbook, *ctx, sheet, inside) &&
           PlanFitsFields(workbook, *ctx, outside) && GuardWorksheetMemory(workbook, [&] {
               return PlanOtherWorkbooks(workbook, rewrite, kErrorWorksheetMemory, otherBooks);
           });
}

} // namespace

CommandResult MoveRangeCommand(CWorkbook& workbook, const GridSelection& selection,
                               const CellRange& source, const CellRange& drop, bool copy) {
    CWorksheet* sheet = workbook.tree.active;
    if (!sheet) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    // No array's area is split: a move takes a whole one or none of it, and the drop covers
    // a whole one or none of it (a copy leaves its source as it is).
    if (TurnCutsArray(sheet->cells, copy ? drop : source, drop))
        return workbook.error = kErrorArrayCut, CommandResult::kFailed;
    // A move takes every reference to the moved cells with it, wherever it stands.
    std::vector<FormulaText> inside;
    FormulaPlan outside;
    std::vector<OtherBookPlan> otherBooks;
    if (!copy && !PlanMove(workbook, *sheet, source, drop, inside, outside, otherBooks))
        return CommandResult::kFailed;
    // The block travels through the spare slot, which only an undo in progress uses.
    UndoHistory& history = workbook.undo;
    int32_t spare = kUndoSpareSlot;
    RangeDescriptor range;
    MakeRangeDescriptor(source, &range);
    if (!SnapshotRangeToUndo(workbook, *sheet, range, history, spare, true, true))
        return CommandResult::kFailed;
    const uint16_t column = selection.cursorColumn;
    const uint32_t row = selection.cursorRow;
    const bool sourceKept = copy || workbook.RecordUndoRange(source, column, row, true, true);
    // A move is one edit: its two entries are undone and redone together.
    history.joinNext = sourceKept && !copy;
    const bool dropKept = sourceKept && workbook.RecordUndoRange(drop, column, row, true, true);
    history.joinNext = false;
    PreparedExchange ex;
    if (!dropKept || !PrepareKeep(workbook, std::move(outside), ex) ||
        !CommitExchange(workbook, history.entries[history.current], ex)) {
        FreeUndoEntry(history, kUndoSpareSlot);
        return FailRecords(workbook, !sourceKept || copy ? 1 : 2);
    }
    bool ok = copy || ClearRange(workbook, *sheet, source);
    ok = ok && PasteRangeFromEntry(workbook, *sheet, drop, history, kUndoSpareSlot, true, true);
    FreeUndoEntry(history, kUndoSpareSlot);
    if (ok && (!ApplyOtherWorkbooks(otherBooks, &history.entries[history.current]) ||
               !ReplaceFormulaTexts(sheet->cells, inside))) {
        workbook.error = kErrorWorksheetMemory;
        ok = false;
    }
    return FinishCommand(workbook, ok);
}

} // namespace vl
