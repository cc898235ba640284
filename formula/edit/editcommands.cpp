#include "formula/edit/editcommands.h"

#include "formula/edit/convert.h"
#include "formula/edit/formulaadjust.h"
#include "formula/edit/otherbooks.h"
#include "formula/edit/referenceplan.h"
#include "formula/edit/rowsort.h"
#include "formula/edit/storedplaces.h"
#include "formula/edit/undocases.h"
#include "model/memoryguard.h"
#include "model/rowcolumnedit.h"
#include "model/rowpermute.h"
#include "model/workbook.h"
#include "model/worksheetpaste.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

std::string_view BoxText(std::string_view text) {
    return text.substr(0, std::min(text.size(), kSearchTextSize - 1));
}

} // namespace

void RememberSearchText(std::vector<std::string>& list, std::string_view text) {
    text = BoxText(text);
    if (text.empty() || std::find(list.begin(), list.end(), text) != list.end()) return;
    list.insert(list.begin(), std::string(text));
}

bool FindCommand(CWorkbook& workbook, GridSelection& selection, std::string_view findText,
                 const SearchOptions& options) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, false;
    CellRange range = selection.range;
    if (range.c1 == range.c2 && range.r1 == range.r2) range = {0, range.r1, kLastColumn, kLastRow};
    uint16_t column = selection.range.c1;
    uint32_t row = selection.range.r1;
    if (column >= kLastColumn) {
        if (row >= kLastRow) return false;
        column = 0;
        ++row;
    } else {
        ++column;
    }
    if (!FindNextCell(workbook, *ws, range, column, row, BoxText(findText), options)) return false;
    selection.range = {column, row, column, row};
    selection.cursorColumn = column;
    selection.cursorRow = row;
    return true;
}

CommandResult ReplaceCommand(CWorkbook& workbook, const GridSelection& selection,
                             std::string_view findText, std::string_view replacement,
                             const SearchOptions& options, bool wholeWorksheet,
                             ReplaceCounts* counts) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    // The undo entry keeps what the replacement may change: the whole worksheet for Replace
    // All, so that its undo puts every cell back.
    const CellRange range =
        wholeWorksheet ? CellRange{0, 0, kLastColumn, kLastRow} : selection.range;
    if (!workbook.RecordUndoRange(range, selection.cursorColumn, selection.cursorRow, true, false))
        return CommandResult::kFailed;
    workbook.undo.entries[workbook.undo.current].selection = selection.range;
    if (!ReplaceInRange(workbook, *ws, options, BoxText(findText), BoxText(replacement), range,
                        counts)) {
        workbook.DiscardLastUndo(true);
        return CommandResult::kFailed;
    }
    return FinishCommand(workbook, true);
}

CommandResult SortSelection(CWorkbook& workbook, const GridSelection& selection, uint32_t keyCount,
                            const uint16_t* keyColumns, const uint8_t* ascending) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    uint16_t lastColumn = 0;
    uint32_t lastRow = 0;
    if (!ws->cells.GetUsedRange(nullptr, &lastColumn, nullptr, &lastRow) || keyCount > kMaxSortKeys)
        return CommandResult::kNothing;
    const CellRange& s = selection.range;
    // A selection wholly past the used cells has nothing to sort (clamped, it would sort
    // cells outside it).
    if (s.c1 > lastColumn || s.r1 > lastRow) return CommandResult::kNothing;
    const CellRange rect{s.c1, s.r1, std::min(s.c2, lastColumn), std::min(s.r2, lastRow)};
    if (rect.r1 >= rect.r2 || rect.c1 > rect.c2) return CommandResult::kNothing;
    CEvalContext* ctx = EditContext(workbook);
    const uint32_t count = rect.r2 - rect.r1 + 1;
    BlockPtr block(static_cast<uint8_t*>(AllocBlock(count * sizeof(uint32_t))));
    if (!ctx || !block) return workbook.error = kErrorWorksheetMemory, CommandResult::kFailed;
    auto* perm = reinterpret_cast<uint32_t*>(block.get());
    SortRows(*ctx, ws->cells, rect.r1, rect.r2, keyCount, keyColumns, ascending, perm);
    if (!PermuteRangeRows(workbook, *ws, rect, perm)) return CommandResult::kFailed;
    // The entry keeps the permutation: carried out, it sends every row back.
    workbook.RecordUndoSort(rect, selection.cursorColumn, selection.cursorRow, std::move(block));
    workbook.undo.entries[workbook.undo.current].selection = selection.range;
    return FinishCommand(workbook, true);
}

CommandResult ConvertContentsCommand(CWorkbook& workbook, const GridSelection& selection,
                                     uint16_t command) {
    const int mode = ConvertModeOfCommand(command);
    CWorksheet* ws = workbook.tree.active;
    if (mode < 0) return CommandResult::kNothing;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    if (!workbook.RecordUndoRange(selection.range, selection.cursorColumn, selection.cursorRow,
                                  true, false))
        return CommandResult::kFailed;
    if (!ConvertContents(workbook, *ws, selection.range, uint8_t(mode))) {
        workbook.DiscardLastUndo(true);
        return CommandResult::kFailed;
    }
    return FinishCommand(workbook, true);
}

namespace {

// One insertion or removal of whole rows or columns, with its undo entry. The formulas'
// new texts are planned first, so that a refusal or a lack of memory changes nothing.
CommandResult RowsOrColumns(CWorkbook& workbook, const GridSelection& selection, bool rows,
                            bool insert) {
    CWorksheet* ws = workbook.tree.active;
    CEvalContext* ctx = EditContext(workbook);
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    if (!ctx) return CommandResult::kFailed;
    const CellRange& s = selection.range;
    RangeDescriptor span;
    MakeRangeDescriptor(
        rows ? CellRange{0, s.r1, kLastColumn, s.r2} : CellRange{s.c1, 0, s.c2, kLastRow}, &span);
    const uint8_t mode = rows ? (insert ? kAdjustRowsInserted : kAdjustRowsRemoved)
                              : (insert ? kAdjustColumnsInserted : kAdjustColumnsRemoved);
    const ErrorCode full = rows ? kErrorNoEmptyRows : kErrorNoEmptyColumns;
    const bool fit =
        !insert || (rows ? RowsInsertFit(ws->cells, s.r1, s.r2 - s.r1 + 1)
                         : ColumnsInsertFit(ws->cells, s.c1, uint16_t(s.c2 - s.c1 + 1)));
    if (!fit) return workbook.error = full, CommandResult::kFailed;
    // One plan over every worksheet: the edited one's formulas move with its cells, the
    // others' keep reaching the cells they named there.
    std::vector<FormulaText> texts, lost;
    FormulaPlan others;
    const bool planned = GuardWorksheetMemory(workbook, [&] {
        if (PlanFormulasAfterEdit(*ctx, ws->cells, mode, span, texts, insert ? nullptr : &lost) &&
            PlanOtherWorksheets(*ctx, workbook, *ws, mode, span, others)) {
            PlanStoredPlacesAfterEdit(workbook, *ws, mode, span, others);
            return true;
        }
        return workbook.error = full, false;
    });
    if (!planned) return CommandResult::kFailed;
    if (!TextsFitFields(workbook, *ctx, *ws, texts) || !PlanFitsFields(workbook, *ctx, others))
        return CommandResult::kFailed;
    std::vector<OtherBookPlan> otherBooks;
    const auto rewrite = [&](CEvalContext& c, std::string_view text, uint16_t column, uint32_t row,
                             const CWorksheet& own, std::string& out) {
        return AdjustFormulaText(c, text, column, row, mode, span, out, nullptr, &own.cells,
                                 &ws->cells);
    };
    if (!GuardWorksheetMemory(
            workbook, [&] { return PlanOtherWorkbooks(workbook, rewrite, full, otherBooks); }))
        return CommandResult::kFailed;
    // Packed now, so that keeping them after the edit cannot fail.
    uint32_t lostSize = 0;
    BlockPtr lostBlock;
    if (!lost.empty() && !(lostBlock = PackFormulaTexts(lost, lostSize)))
        return Fail(workbook, kErrorWorksheetMemory), CommandResult::kFailed;
    const uint16_t cc = selection.cursorColumn;
    const uint32_t cr = selection.cursorRow;
    if (insert && rows) workbook.RecordUndoInsertRows(s, cc, cr, s.r1, s.r2);
    if (insert && !rows) workbook.RecordUndoInsertColumns(s, cc, cr, s.c1, s.c2);
    if (!insert && !(rows ? workbook.RecordUndoRowsCopy(s, cc, cr, s.r1, s.r2)
                          : workbook.RecordUndoColumnsCopy(s, cc, cr, s.c1, s.c2)))
        return CommandResult::kFailed;
    UndoEntry& entry = workbook.undo.entries[workbook.undo.current];
    PreparedExchange ex;
    if (!PrepareKeep(workbook, std::move(others), ex) || !CommitExchange(workbook, entry, ex)) {
        workbook.DiscardLastUndo(true);
        return CommandResult::kFailed;
    }
    const bool done = rows ? (insert ? InsertWorksheetRows(*ws, s.r1, s.r2, workbook.error)
                                     : RemoveWorksheetRows(*ws, s.r1, s.r2, workbook.error))
                           : (insert ? InsertWorksheetColumns(*ws, s.c1, s.c2, workbook.error)
                                     : RemoveWorksheetColumns(*ws, s.c1, s.c2, workbook.error));
    if (!done) {
        RevertExchange(entry, ex);
        workbook.DiscardLastUndo(true);
        return CommandResult::kFailed;
    }
    undocase::KeepLostBlock(entry, std::move(lostBlock), lostSize);
    // Only memory can fail from here; the edit then stays, with its undo entry.
    if (!ApplyOtherWorkbooks(otherBooks, &entry) || !ReplaceFormulaTexts(ws->cells, texts)) {
        workbook.error = kErrorWorksheetMemory;
        return FinishCommand(workbook, false);
    }
    return FinishCommand(workbook, true);
}

} // namespace

CommandResult InsertRowsCommand(CWorkbook& workbook, const GridSelection& selection) {
    return RowsOrColumns(workbook, selection, true, true);
}

CommandResult RemoveRowsCommand(CWorkbook& workbook, const GridSelection& selection) {
    return RowsOrColumns(workbook, selection, true, false);
}

CommandResult InsertColumnsCommand(CWorkbook& workbook, const GridSelection& selection) {
    return RowsOrColumns(workbook, selection, false, true);
}

CommandResult RemoveColumnsCommand(CWorkbook& workbook, const GridSelection& selection) {
    return RowsOrColumns(workbook, selection, false, false);
}

CTreeItem* PasteWorksheetCommand(CWorkbook& workbook, const GridSelection& selection,
                                 CTreeItem* target, UndoHistory& history, int32_t index) {
    CTreeItem* first = CopyWorksheetUnique(workbook, target, history, index);
    if (!first) return nullptr;
    workbook.RecordUndoTreeChange(selection.range, selection.cursorColumn, selection.cursorRow,
                                  GetTreeItemIndex(first, workbook.tree.first));
    FinishCommand(workbook, true);
    return first;
}

} // namespace vl
