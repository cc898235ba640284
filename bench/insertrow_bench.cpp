// Inserting a row at the top of a long sheet (each row a number, a formula reading the row
// above and a format run; or a number and a format run alone), removing it, and undoing and
// redoing both. Goals: at least 20 million number cells and 2 million formula cells a
// second, and ten times the rows in at most 12 times the time. Then a row inserted and
// removed above the data of 100,000 readers on another worksheet, beside the readers on the
// data's own worksheet: goal within 15 times that control and under 100 ms.

#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"
#include "formula/workbookcontext.h"
#include "model/formatstore.h"
#include "model/workbook.h"
#include "model/worksheettree.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

using namespace vl;

std::unique_ptr<CWorkbook> MakeBook(uint32_t rows, bool formulas) {
    auto book = CreateWorkbook();
    if (!book || !NewWorkbook(*book)) std::abort();
    AttachEvalContext(*book);
    book->SetUndoLevel(8);
    book->updateMode = 3; // manual: the timing holds the moves, not a recalculation
    book->styles.styles[1] = book->styles.styles[0];
    book->styles.styles[1].formulaHidden = 1;
    book->styles.styleCount = 2;
    CWorksheet& sheet = *book->tree.active;
    CellCursor cells{kAdvance, nullptr, 0};
    CellCursor runs{kAdvance, nullptr, 0};
    CellBuffer b;
    for (uint32_t r = 0; r < rows; ++r) {
        MakeNumberCell(b, 0, r, double(r));
        if (!sheet.cells.PutCell(b.bytes, cells)) std::abort();
        if (formulas) {
            MakeFormulaCell(b, 1, r, FormulaHead{}, r ? "=R[-1]C[-1]+1" : "=1");
            if (!sheet.cells.PutCell(b.bytes, cells)) std::abort();
        }
        if (!PutFormatRun(sheet.formats, {0, 1, r, 1}, runs)) std::abort();
    }
    return book;
}

// Six moves of every row per pass: a row inserted at the top and removed, both undone and
// both redone.
void InsertRemoveRowAtTop(benchmark::State& state, bool formulas) {
    const uint32_t rows = uint32_t(state.range(0));
    auto book = MakeBook(rows, formulas);
    const GridSelection top{{0, 0, kLastColumn, 0}, 0, 0};
    UndoPlace place;
    for (auto _ : state) {
        if (InsertRowsCommand(*book, top) == CommandResult::kFailed ||
            RemoveRowsCommand(*book, top) == CommandResult::kFailed ||
            UndoCommand(*book, &place) == CommandResult::kFailed ||
            UndoCommand(*book, &place) == CommandResult::kFailed ||
            RedoCommand(*book, &place) == CommandResult::kFailed ||
            RedoCommand(*book, &place) == CommandResult::kFailed)
            state.SkipWithError("a command failed");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 6 * rows);
}

// Each row holds one number and one formula: the rate is that of number cells and of
// formula cells alike.
void BM_InsertRemoveRowAtTop(benchmark::State& state) {
    InsertRemoveRowAtTop(state, true);
}
BENCHMARK(BM_InsertRemoveRowAtTop)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Each row holds one number: the rate is that of number cells.
void BM_InsertRemoveRowAtTopNumbers(benchmark::State& state) {
    InsertRemoveRowAtTop(state, false);
}
BENCHMARK(BM_InsertRemoveRowAtTopNumbers)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A column of numbers on the active worksheet and a column of formulas reading them, on the
// same worksheet or on another one.
std::unique_ptr<CWorkbook> MakeReadersBook(uint32_t rows, bool otherSheet) {
    auto book = CreateWorkbook();
    if (!book || !NewWorkbook(*book)) std::abort();
    AttachEvalContext(*book);
    book->SetUndoLevel(8);
    book->updateMode = 3;
    CWorksheet& data = *book->tree.active;
    CWorksheet* readers =
        otherSheet ? AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Readers", 1)) : &data;
    if (!readers) std::abort();
    const std::string formula = otherSheet ? "=\\" + std::string(data.name) + "!RC*2" : "=RC[-1]*2";
    CellCursor cells{kAdvance, nullptr, 0}, reading{kAdvance, nullptr, 0};
    CellBuffer b;
    for (uint32_t r = 0; r < rows; ++r) {
        MakeNumberCell(b, 0, r, double(r));
        if (!data.cells.PutCell(b.bytes, cells)) std::abort();
        MakeFormulaCell(b, 1, r, FormulaHead{}, formula);
        if (!readers->cells.PutCell(b.bytes, otherSheet ? reading : cells)) std::abort();
    }
    book->tree.active = &data;
    return book;
}

// A row inserted at the top of the data and removed again.
void InsertRowUnderReaders(benchmark::State& state, bool otherSheet) {
    auto book = MakeReadersBook(uint32_t(state.range(0)), otherSheet);
    const GridSelection top{{0, 0, kLastColumn, 0}, 0, 0};
    for (auto _ : state) {
        if (InsertRowsCommand(*book, top) == CommandResult::kFailed ||
            RemoveRowsCommand(*book, top) == CommandResult::kFailed)
            state.SkipWithError("a command failed");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 2 * state.range(0));
}

void BM_InsertRowUnderReadersOnTheSameSheet(benchmark::State& state) {
    InsertRowUnderReaders(state, false);
}
BENCHMARK(BM_InsertRowUnderReadersOnTheSameSheet)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_InsertRowUnderReadersOnAnotherSheet(benchmark::State& state) {
    InsertRowUnderReaders(state, true);
}
BENCHMARK(BM_InsertRowUnderReadersOnAnotherSheet)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
