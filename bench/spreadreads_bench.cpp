// Recalculations after arrays changed, each beside its control, so that their ratio can be read:
// - OwnAreaReaders: 10,000 readers of S2!A1:A2 through the folder F, through a worksheet name
//   worked out by an expression, or naming S2 in their text (the control), on a worksheet S1
//   whose own A1:A2 hold an array that changes last of a reverse chain of 100 or 800 arrays;
// - RandomFormulas: 300,000 formulas drawing a random number each, beside one array whose
//   second element changes before every recalculation or that keeps its values (the control);
//   PlainFormulas, the same without the random number, tell what the random numbers themselves
//   cost;
// - Searches: ten Monte-Carlo searches whose function cells read a cell built from the trial
//   value, beside an array that changes, over 100,000 and 1,000,000 trials; "peak_MiB" is the
//   process's peak resident memory, which tells the case's own only when it runs alone
//   (--benchmark_filter=Searches.*/100000$).
#include "bench/benchbook.h"
#include "formula/recalc.h"

#include <benchmark/benchmark.h>
#include <string>
#include <sys/resource.h>

namespace {

using namespace vl;
using benchbook::Book;
using benchbook::Number;
using benchbook::Right;
using benchbook::Row;

void Put(CCellStore& cells, CellCursor& cursor, const CellBuffer& b) {
    cells.PutCell(b.data(), cursor);
}

enum class Through { Text, Folder, Worked };

// S1: column C the readers; G the chain of arrays, each adding 1 and 2 to the second element
// of the next one down, the last to E1, which changes before every recalculation; A1 an array
// over the top of the chain. S2, alone in F: the numbers its readers add.
void OwnAreaReaders(benchmark::State& state, Through through) {
    const uint32_t arrays = uint32_t(state.range(0));
    constexpr uint32_t kReaders = 10000;
    Book book; // its worksheet Sheet1 stays empty
    CWorkbook& wb = *book.workbook;
    CWorksheet& s1 = *AsWorksheet(wb.AppendTreeItem(TREE_TYPE_WORKSHEET, "S1", 1));
    wb.AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
    CWorksheet& s2 = *AsWorksheet(wb.AppendTreeItem(TREE_TYPE_WORKSHEET, "S2", 2));
    const std::string qualifier = through == Through::Text     ? "'\\F\\S2'!"
                                  : through == Through::Folder ? "'\\F'!"
                                                               : "(\"\\F\\S\"&\"2\")!";
    CellCursor c1, c2;
    CellBuffer b;
    for (uint32_t r = 0; r < kReaders || r < 2 * arrays; ++r) {
        if (r == 0) {
            MakeFormulaCell(b, 0, 0, FormulaHead{}, "=R2C7+{1;2}");
            Put(s1.cells, c1, b);
        }
        if (r < kReaders) {
            MakeFormulaCell(b, 2, r, FormulaHead{}, "=SUM(" + qualifier + "R1C1:R2C1)+" + Row(r));
            Put(s1.cells, c1, b);
        }
        if (r == 0) {
            MakeNumberCell(b, 4, 0, 1);
            Put(s1.cells, c1, b);
        }
        if (r % 2 == 0 && r < 2 * arrays) {
            MakeFormulaCell(b, 6, r, FormulaHead{},
                            r + 2 < 2 * arrays ? "=R[3]C+{1;2}" : "=R1C5+{1;2}");
            Put(s1.cells, c1, b);
        }
    }
    for (uint32_t r = 0; r < 2; ++r) {
        MakeNumberCell(b, 0, r, 1);
        Put(s2.cells, c2, b);
    }
    RecalculateWorkbook(wb, *book.ctx);
    double x = 1;
    for (auto _ : state) {
        state.PauseTiming();
        CellCursor edit;
        MakeNumberCell(b, 4, 0, ++x);
        s1.cells.PutCell(b.data(), edit);
        state.ResumeTiming();
        RecalculateWorkbook(wb, *book.ctx);
        if (!Right(state, s1.cells, 1, 0, x + 2 * arrays + 2) ||
            !Right(state, s1.cells, kReaders - 1, 2, kReaders + 2))
            break;
    }
    state.SetItemsProcessed(state.iterations() * kReaders);
}

void BM_FolderReadersBesideTheirOwnChangingArea(benchmark::State& state) {
    OwnAreaReaders(state, Through::Folder);
}
BENCHMARK(BM_FolderReadersBesideTheirOwnChangingArea)
    ->Arg(100)
    ->Arg(800)
    ->Unit(benchmark::kMillisecond);

void BM_WorkedOutNameReadersBesideTheirOwnChangingArea(benchmark::State& state) {
    OwnAreaReaders(state, Through::Worked);
}
BENCHMARK(BM_WorkedOutNameReadersBesideTheirOwnChangingArea)
    ->Arg(100)
    ->Arg(800)
    ->Unit(benchmark::kMillisecond);

void BM_TextNamedReadersBesideTheirOwnChangingArea(benchmark::State& state) {
    OwnAreaReaders(state, Through::Text);
}
BENCHMARK(BM_TextNamedReadersBesideTheirOwnChangingArea)
    ->Arg(100)
    ->Arg(800)
    ->Unit(benchmark::kMillisecond);

// Column B: n formulas, each the number beside it times a random number (or `formula`); D1:D2
// an array over E1:E2, whose E2 changes before every recalculation or not: the array's second
// element changes, not its anchor alone.
void RandomFormulas(benchmark::State& state, bool changing,
                    const char* formula = "=RC[-1]*RAND()") {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    for (uint32_t r = 0; r < n; ++r) {
        book.Number(0, r, r % 7);
        book.Formula(1, r, formula);
        if (r == 0) book.Formula(3, 0, "=R1C5:R2C5*2");
        if (r < 2) book.Number(4, r, 1);
    }
    RecalculateWorkbook(*book.workbook, *book.ctx);
    double x = 1;
    for (auto _ : state) {
        state.PauseTiming();
        if (changing) {
            CellCursor edit;
            CellBuffer b;
            MakeNumberCell(b, 4, 1, ++x);
            book.cells.PutCell(b.data(), edit);
        }
        state.ResumeTiming();
        RecalculateWorkbook(*book.workbook, *book.ctx);
        if (!Right(state, book.cells, 1, 3, 2 * x)) break;
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_RandomFormulasBesideAChangingArray(benchmark::State& state) {
    RandomFormulas(state, true);
}
BENCHMARK(BM_RandomFormulasBesideAChangingArray)
    ->Arg(300000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

void BM_RandomFormulasBesideASteadyArray(benchmark::State& state) {
    RandomFormulas(state, false);
}
BENCHMARK(BM_RandomFormulasBesideASteadyArray)
    ->Arg(300000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

void BM_PlainFormulasBesideAChangingArray(benchmark::State& state) {
    RandomFormulas(state, true, "=RC[-1]*2");
}
BENCHMARK(BM_PlainFormulasBesideAChangingArray)->Arg(300000)->Unit(benchmark::kMillisecond);

void BM_PlainFormulasBesideASteadyArray(benchmark::State& state) {
    RandomFormulas(state, false, "=RC[-1]*2");
}
BENCHMARK(BM_PlainFormulasBesideASteadyArray)->Arg(300000)->Unit(benchmark::kMillisecond);

// Rows 1-10: A a search over n trials between 1 and 30,000, B its function cell reading the
// cell of column Z the trial value names, C its variable, D its usage; F1:F3 an array over H1,
// which changes before every recalculation.
void BM_SearchesBesideAChangingArray(benchmark::State& state) {
    const std::string trials = std::to_string(state.range(0));
    Book book;
    for (uint32_t r = 0; r < 10; ++r) {
        book.Formula(0, r, "=MINMC(RC2,RC3:RC3,RC4:RC4,1,30000," + trials + ")");
        book.Formula(1, r, "=INDIRECT(\"Z\"&INT(RC3),1)+RC3");
        book.Number(2, r, 5);
        book.Number(3, r, 1);
        if (r == 0) book.Formula(5, 0, "={1;1;1}*R1C8");
        if (r == 0) book.Number(7, 0, 1);
    }
    RecalculateWorkbook(*book.workbook, *book.ctx);
    double x = 1;
    for (auto _ : state) {
        state.PauseTiming();
        CellCursor edit;
        CellBuffer b;
        MakeNumberCell(b, 7, 0, ++x);
        book.cells.PutCell(b.data(), edit);
        state.ResumeTiming();
        RecalculateWorkbook(*book.workbook, *book.ctx);
        if (!Right(state, book.cells, 2, 5, x)) break;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_SearchesBesideAChangingArray)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

} // namespace
