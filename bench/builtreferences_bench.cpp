// Recalculations after arrays changed, in workbooks whose formulas find what they read only
// while they run (INDIRECT, a folder, a worksheet named in a cell), each beside its plain
// counterpart in the same process, so that their ratio can be read:
// - BuiltReaders: n INDIRECT formulas beside m arrays that change in every recalculation,
//   against the same workbook whose arrays keep their values (and n = 65,000 against 66,000);
// - FolderReaders / CellNamedReaders: 10,000 readers of another worksheet through a folder or
//   a worksheet name held in a cell, beside 800 changing arrays on that worksheet, against
//   the same readers naming the worksheet in their text (TextNamedReaders);
// - ElementReaders: 100,000 formulas reading an array element beside 5,000 INDIRECT
//   formulas (or none), the array changing against steady;
// - UpwardChain: a 16,000-formula chain whose last reads an array element, beside 60,000
//   INDIRECT formulas (or none), the array changing against steady.
#include "bench/benchbook.h"
#include "formula/recalc.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace vl;
using benchbook::Book;
using benchbook::Number;
using benchbook::Right;
using benchbook::Row;

// Column A: n formulas, each reading the number beside it through INDIRECT; column D: m
// arrays of two rows, calculated again in every recalculation while C1 changes.
void BuiltReaders(benchmark::State& state, bool changing) {
    const uint32_t n = uint32_t(state.range(0));
    const uint32_t m = uint32_t(state.range(1));
    Book book;
    book.Formula(0, 0, "=INDIRECT(\"B1\",1)");
    book.Number(1, 0, 0);
    book.Number(2, 0, 1);
    // Each array adds 1 and 2 to the second element of the next one down, the last to C1.
    const auto array = [m](uint32_t r) { return r + 2 < 2 * m ? "=R[3]C+{1;2}" : "=R1C3+{1;2}"; };
    book.Formula(3, 0, array(0));
    for (uint32_t r = 1; r < n || r < 2 * m; ++r) {
        if (r < n) {
            book.Formula(0, r, "=INDIRECT(\"B" + Row(r) + "\",1)");
            book.Number(1, r, r);
        }
        if (r % 2 == 0 && r < 2 * m) book.Formula(3, r, array(r));
    }
    RecalculateWorkbook(*book.workbook, *book.ctx);
    double x = 1;
    for (auto _ : state) {
        state.PauseTiming();
        if (changing) {
            CellCursor edit;
            CellBuffer b;
            MakeNumberCell(b, 2, 0, ++x);
            book.cells.PutCell(b.data(), edit);
        }
        state.ResumeTiming();
        RecalculateWorkbook(*book.workbook, *book.ctx);
        if (!Right(state, book.cells, 1, 3, x + 2 * m) ||
            !Right(state, book.cells, n - 1, 0, n - 1))
            break;
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_BuiltReadersBesideChangingArrays(benchmark::State& state) {
    BuiltReaders(state, true);
}
BENCHMARK(BM_BuiltReadersBesideChangingArrays)
    ->Args({65000, 100})
    ->Args({66000, 100})
    ->Args({66000, 800})
    ->Args({200000, 800})
    ->Unit(benchmark::kMillisecond);

void BM_BuiltReadersBesideSteadyArrays(benchmark::State& state) {
    BuiltReaders(state, false);
}
BENCHMARK(BM_BuiltReadersBesideSteadyArrays)
    ->Args({65000, 100})
    ->Args({66000, 100})
    ->Args({66000, 800})
    ->Args({200000, 800})
    ->Unit(benchmark::kMillisecond);

// How the readers on S1 name the worksheet S2, the only one in the folder F.
enum class Through { Text, Folder, Cell };

// S1: 10,000 readers, each a number of S2's column A; B1 holds S2's path. S2: 800 arrays of
// two rows in column C, each adding 1 and 2 to the second element of the next one down, the
// last to E1, which changes before every recalculation: every array is calculated again.
void OtherSheetReaders(benchmark::State& state, Through through) {
    Book book; // its worksheet Sheet1 stays empty
    CWorkbook& wb = *book.workbook;
    CWorksheet& s1 = *AsWorksheet(wb.AppendTreeItem(TREE_TYPE_WORKSHEET, "S1", 1));
    wb.AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
    CWorksheet& s2 = *AsWorksheet(wb.AppendTreeItem(TREE_TYPE_WORKSHEET, "S2", 2));
    constexpr uint32_t kReaders = 10000, kArrays = 800;
    const char* qualifier = through == Through::Text     ? "'\\F\\S2'!"
                            : through == Through::Folder ? "'\\F'!"
                                                         : "R1C2!";
    CellCursor c1, c2;
    CellBuffer b;
    for (uint32_t r = 0; r < kReaders; ++r) {
        MakeFormulaCell(b, 0, r, FormulaHead{},
                        "=SUM(" + std::string(qualifier) + "R" + Row(r) + "C1)");
        s1.cells.PutCell(b.data(), c1);
        if (r == 0) {
            MakeTextCell(b, 1, 0, "\\F\\S2");
            s1.cells.PutCell(b.data(), c1);
        }
    }
    for (uint32_t r = 0; r < kReaders || r < 2 * kArrays; ++r) {
        MakeNumberCell(b, 0, r, r);
        s2.cells.PutCell(b.data(), c2);
        if (r % 2 == 0 && r < 2 * kArrays) {
            MakeFormulaCell(b, 2, r, FormulaHead{},
                            r + 2 < 2 * kArrays ? "=R[3]C+{1;2}" : "=R1C5+{1;2}");
            s2.cells.PutCell(b.data(), c2);
        }
        if (r == 0) {
            MakeNumberCell(b, 4, 0, 1);
            s2.cells.PutCell(b.data(), c2);
        }
    }
    RecalculateWorkbook(wb, *book.ctx);
    double x = 1;
    for (auto _ : state) {
        state.PauseTiming();
        CellCursor edit;
        MakeNumberCell(b, 4, 0, ++x);
        s2.cells.PutCell(b.data(), edit);
        state.ResumeTiming();
        RecalculateWorkbook(wb, *book.ctx);
        if (!Right(state, s2.cells, 1, 2, x + 2 * kArrays) ||
            !Right(state, s1.cells, kReaders - 1, 0, kReaders - 1))
            break;
    }
    state.SetItemsProcessed(state.iterations() * kReaders);
}

void BM_FolderReadersBesideChangingArrays(benchmark::State& state) {
    OtherSheetReaders(state, Through::Folder);
}
BENCHMARK(BM_FolderReadersBesideChangingArrays)->Unit(benchmark::kMillisecond);

void BM_CellNamedReadersBesideChangingArrays(benchmark::State& state) {
    OtherSheetReaders(state, Through::Cell);
}
BENCHMARK(BM_CellNamedReadersBesideChangingArrays)->Unit(benchmark::kMillisecond);

void BM_TextNamedReadersBesideChangingArrays(benchmark::State& state) {
    OtherSheetReaders(state, Through::Text);
}
BENCHMARK(BM_TextNamedReadersBesideChangingArrays)->Unit(benchmark::kMillisecond);

// Column A: 100,000 formulas reading C2, the second element of C1's array, which follows
// E1; column G: `builders` INDIRECT formulas reading the number beside them.
void ElementReaders(benchmark::State& state, bool changing) {
    const uint32_t builders = uint32_t(state.range(0));
    constexpr uint32_t kReaders = 100000;
    Book book;
    for (uint32_t r = 0; r < kReaders; ++r) {
        book.Formula(0, r, "=R2C3+1");
        if (r == 0) {
            book.Formula(2, 0, "={1;2}*R1C5");
            book.Number(4, 0, 1);
        }
        if (r < builders) {
            book.Formula(6, r, "=INDIRECT(\"I" + Row(r) + "\",1)");
            book.Number(8, r, r);
        }
    }
    RecalculateWorkbook(*book.workbook, *book.ctx);
    double x = 1;
    for (auto _ : state) {
        state.PauseTiming();
        if (changing) {
            CellCursor edit;
            CellBuffer b;
            MakeNumberCell(b, 4, 0, ++x);
            book.cells.PutCell(b.data(), edit);
        }
        state.ResumeTiming();
        RecalculateWorkbook(*book.workbook, *book.ctx);
        if (!Right(state, book.cells, kReaders - 1, 0, 2 * x + 1)) break;
    }
    state.SetItemsProcessed(state.iterations() * kReaders);
}

void BM_ElementReadersOfAChangingArray(benchmark::State& state) {
    ElementReaders(state, true);
}
BENCHMARK(BM_ElementReadersOfAChangingArray)->Arg(0)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_ElementReadersOfASteadyArray(benchmark::State& state) {
    ElementReaders(state, false);
}
BENCHMARK(BM_ElementReadersOfASteadyArray)->Arg(0)->Arg(5000)->Unit(benchmark::kMillisecond);

// A1:A(n), each the one below plus 1, the last C2 of the array C1:C3 = E1:E3 * 2, E2
// changing; column G: `builders` INDIRECT formulas.
void UpwardChain(benchmark::State& state, bool changing) {
    const uint32_t builders = uint32_t(state.range(0));
    constexpr uint32_t kChain = 16000;
    Book book;
    for (uint32_t r = 0; r < kChain || r < builders; ++r) {
        if (r < kChain) book.Formula(0, r, r + 1 < kChain ? "=R[1]C+1" : "=R2C3");
        if (r == 0) book.Formula(2, 0, "=R1C5:R3C5*2");
        if (r < 3) book.Number(4, r, 1);
        if (r < builders) {
            book.Formula(6, r, "=INDIRECT(\"I" + Row(r) + "\",1)");
            book.Number(8, r, r);
        }
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
        if (!Right(state, book.cells, 0, 0, 2 * x + kChain - 1)) break;
    }
    state.SetItemsProcessed(state.iterations() * kChain);
}

void BM_UpwardChainOverAChangingElement(benchmark::State& state) {
    UpwardChain(state, true);
}
BENCHMARK(BM_UpwardChainOverAChangingElement)->Arg(0)->Arg(60000)->Unit(benchmark::kMillisecond);

void BM_UpwardChainOverASteadyElement(benchmark::State& state) {
    UpwardChain(state, false);
}
BENCHMARK(BM_UpwardChainOverASteadyElement)->Arg(0)->Arg(60000)->Unit(benchmark::kMillisecond);

} // namespace
