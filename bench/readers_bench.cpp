// Inserting a row at the top of a worksheet of 100,000 numbers read by 100,000 formulas,
// and undoing it: with the readers on the worksheet itself (their cells move with what they
// read, their texts stay), and on four other worksheets (their cells stay, every text is
// rewritten and kept for undo). Goal: the second within twice the time of the first. A third
// case puts the readers on the worksheet itself with absolute references, so that every
// text is rewritten there too: the same work as the second without other worksheets.

#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"
#include "formula/workbookcontext.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

namespace {

using namespace vl;

constexpr uint32_t kReaders = 100000;
constexpr int kOtherSheets = 4;

void Put(CWorksheet& ws, CellBuffer& b, CellCursor& cursor) {
    if (!ws.cells.PutCell(b.bytes, cursor)) std::abort();
}

std::unique_ptr<CWorkbook> MakeBook(int64_t kind) {
    const bool elsewhere = kind == 1;
    auto book = CreateWorkbook();
    if (!book || !NewWorkbook(*book)) std::abort();
    AttachEvalContext(*book);
    book->SetUndoLevel(8);
    book->updateMode = 3; // manual: the timing holds the edit, not a recalculation
    CWorksheet& data = *book->tree.active;
    data.SetName("Data");
    CWorksheet* readers[kOtherSheets];
    for (int i = 0; i < kOtherSheets; ++i)
        readers[i] = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Reader", 1));
    CellCursor cursors[kOtherSheets + 1] = {};
    for (CellCursor& c : cursors) c.flags = kAdvance;
    CellBuffer b;
    for (uint32_t r = 0; r < kReaders; ++r) {
        MakeNumberCell(b, 0, r, double(r));
        Put(data, b, cursors[0]);
        // The number beside the formula's cell, on Data.
        const std::string absolute = "=R" + std::to_string(r + 1) + "C1*2";
        MakeFormulaCell(b, 1, r, FormulaHead{},
                        kind == 2   ? absolute.c_str()
                        : elsewhere ? "=\\Data!RC[-1]*2"
                                    : "=RC[-1]*2");
        const int sheet = int(r % kOtherSheets);
        if (elsewhere)
            Put(*readers[sheet], b, cursors[1 + sheet]);
        else
            Put(data, b, cursors[0]);
    }
    book->tree.active = &data;
    return book;
}

void InsertRowUnderReaders(benchmark::State& state) {
    auto book = MakeBook(state.range(0));
    const GridSelection top{{0, 0, kLastColumn, 0}, 0, 0};
    UndoPlace place;
    for (auto _ : state) {
        if (InsertRowsCommand(*book, top) != CommandResult::kDone ||
            UndoCommand(*book, &place) != CommandResult::kDone)
            state.SkipWithError("a command failed");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kReaders);
}
// 0: the readers on the edited worksheet; 1: on four other worksheets; 2: on the edited
// worksheet with absolute references.
BENCHMARK(InsertRowUnderReaders)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
