// Recalculations after an array changed the cells it spreads over, each beside its control:
// a chain of formulas running upward whose last reads an element of an array that changes
// before every recalculation (control: the array keeps its values); a chain of arrays each
// reading an element of the next one down (control: of the one above); one array of random
// numbers among a thousand other arrays and ten thousand formulas (control: without it); ten
// thousand sums over a chain of arrays that grow and shrink, each reading the one below (control:
// the one above), which should cost about the same.
// The cost after a change should stay within a small multiple of its control.
#include "bench/benchbook.h"
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace vl;
using benchbook::Book;
using benchbook::Number;
using benchbook::Right;
using benchbook::Row;

void PutNumber(CCellStore& cells, CellCursor& cursor, uint16_t column, uint32_t row, double x) {
    CellBuffer b;
    MakeNumberCell(b, column, row, x);
    cells.PutCell(b.data(), cursor);
}

void PutFormula(CCellStore& cells, CellCursor& cursor, uint16_t column, uint32_t row,
                std::string_view formula) {
    CellBuffer b;
    MakeFormulaCell(b, column, row, FormulaHead{}, formula);
    cells.PutCell(b.data(), cursor);
}

// A1:A(n), each the one below plus 1, the last C2 of the array C1:C3 = E1:E3 * 2.
void UpwardChainOverAnArray(benchmark::State& state, bool changing) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    CellCursor cursor;
    for (uint32_t r = 0; r < n; ++r) {
        PutFormula(book.cells, cursor, 0, r, r + 1 < n ? "=R[1]C+1" : "=R2C3");
        if (r == 0) PutFormula(book.cells, cursor, 2, 0, "=R1C5:R3C5*2");
        if (r < 3) PutNumber(book.cells, cursor, 4, r, 1);
    }
    RecalculateWorkbook(*book.workbook, *book.ctx);
    double x = 1;
    for (auto _ : state) {
        state.PauseTiming();
        if (changing) {
            CellCursor edit;
            PutNumber(book.cells, edit, 4, 1, ++x);
        }
        state.ResumeTiming();
        RecalculateWorkbook(*book.workbook, *book.ctx);
        if (!Right(state, book.cells, 0, 0, 2 * x + n - 1)) break;
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_UpwardChainOverAChangingArray(benchmark::State& state) {
    UpwardChainOverAnArray(state, true);
}
BENCHMARK(BM_UpwardChainOverAChangingArray)->Arg(16000)->Unit(benchmark::kMillisecond);

void BM_UpwardChainOverASteadyArray(benchmark::State& state) {
    UpwardChainOverAnArray(state, false);
}
BENCHMARK(BM_UpwardChainOverASteadyArray)->Arg(16000)->Unit(benchmark::kMillisecond);

// n arrays of two rows in column B, each its neighbour's second element plus D1:D2 (both 1);
// the last one down (or up) reads E1, which changes before every recalculation.
void ChainOfArrays(benchmark::State& state, bool readsNext) {
    const uint32_t n = uint32_t(state.range(0));
    Book book;
    CellCursor cursor;
    for (uint32_t k = 0; k < n; ++k) {
        const uint32_t row = 2 * k;
        const bool last = readsNext ? k + 1 == n : k == 0;
        // Put in storage order, as the cursor expects.
        PutFormula(book.cells, cursor, 1, row,
                   last        ? "=R1C5+R1C4:R2C4"
                   : readsNext ? "=R[3]C+R1C4:R2C4"
                               : "=R[-1]C+R1C4:R2C4");
        if (row == 0) {
            PutNumber(book.cells, cursor, 3, 0, 1);
            PutNumber(book.cells, cursor, 4, 0, 0);
            PutNumber(book.cells, cursor, 3, 1, 1);
        }
    }
    RecalculateWorkbook(*book.workbook, *book.ctx);
    double x = 0;
    const uint32_t end = readsNext ? 0 : 2 * n - 2; // the array that reads every other one
    for (auto _ : state) {
        state.PauseTiming();
        CellCursor edit;
        PutNumber(book.cells, edit, 4, 0, ++x);
        state.ResumeTiming();
        RecalculateWorkbook(*book.workbook, *book.ctx);
        if (!Right(state, book.cells, end, 1, x + n)) break;
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_ArraysEachReadingTheNext(benchmark::State& state) {
    ChainOfArrays(state, true);
}
BENCHMARK(BM_ArraysEachReadingTheNext)->Arg(800)->Unit(benchmark::kMillisecond);

void BM_ArraysEachReadingThePrevious(benchmark::State& state) {
    ChainOfArrays(state, false);
}
BENCHMARK(BM_ArraysEachReadingThePrevious)->Arg(800)->Unit(benchmark::kMillisecond);

// n arrays in column A, four rows apart, each growing from two rows to three once the one below
// (or above) has three, the last one down (or the first) once D1 is 1; column B: 10,000 sums
// over the whole chain. D1 turns 1 and 0 by turns, so that every array grows or shrinks.
void ReadersOfAChainOfGrowingArrays(benchmark::State& state, bool readsBelow) {
    const uint32_t n = uint32_t(state.range(0));
    constexpr uint32_t kReaders = 10000;
    Book book;
    CellCursor cursor;
    const std::string sum = "=SUM(R1C1:R" + Row(4 * n) + "C1)";
    for (uint32_t r = 0; r < kReaders; ++r) {
        if (r % 4 == 0 && r < 4 * n) {
            const uint32_t k = r / 4;
            const bool first = readsBelow ? k + 1 == n : k == 0;
            const std::string test = first        ? "R1C4>0"
                                     : readsBelow ? "COUNT(R[6]C)>0"
                                                  : "COUNT(R[-2]C)>0";
            PutFormula(book.cells, cursor, 0, r, "=IF(" + test + ",{1;2;3},{1;2})");
        }
        PutFormula(book.cells, cursor, 1, r, sum);
        if (r == 0) PutNumber(book.cells, cursor, 3, 0, 0);
    }
    RecalculateWorkbook(*book.workbook, *book.ctx);
    double d = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CellCursor edit;
        d = 1 - d;
        PutNumber(book.cells, edit, 3, 0, d);
        state.ResumeTiming();
        RecalculateWorkbook(*book.workbook, *book.ctx);
        if (!Right(state, book.cells, kReaders - 1, 1, (d > 0 ? 6.0 : 3.0) * n)) break;
    }
    state.SetItemsProcessed(state.iterations() * kReaders);
}

void BM_ReadersOfGrowingArraysEachReadingTheOneBelow(benchmark::State& state) {
    ReadersOfAChainOfGrowingArrays(state, true);
}
BENCHMARK(BM_ReadersOfGrowingArraysEachReadingTheOneBelow)
    ->Arg(20)
    ->Arg(40)
    ->Unit(benchmark::kMillisecond);

void BM_ReadersOfGrowingArraysEachReadingTheOneAbove(benchmark::State& state) {
    ReadersOfAChainOfGrowingArrays(state, false);
}
BENCHMARK(BM_ReadersOfGrowingArraysEachReadingTheOneAbove)
    ->Arg(20)
    ->Arg(40)
    ->Unit(benchmark::kMillisecond);

// B1:B2 random numbers times A1:A2 plus D20: the box around its references holds its own
// cells. Column F: 1,000 arrays of two rows over column E; column H: 10,000 formulas.
void RandomArrayAmongOthers(benchmark::State& state, bool withRandom) {
    Book book;
    CellCursor cursor;
    for (uint32_t r = 0; r < 10000; ++r) {
        if (r < 2) PutNumber(book.cells, cursor, 0, r, 1);
        if (r == 0 && withRandom) PutFormula(book.cells, cursor, 1, 0, "=R1C1:R2C1*RAND()+R20C4");
        if (r < 2000) PutNumber(book.cells, cursor, 4, r, r);
        if (r < 2000 && r % 2 == 0) PutFormula(book.cells, cursor, 5, r, "=RC[-1]:R[1]C[-1]*2");
        PutNumber(book.cells, cursor, 6, r, r);
        PutFormula(book.cells, cursor, 7, r, "=RC[-1]+1");
    }
    RecalculateWorkbook(*book.workbook, *book.ctx);
    for (auto _ : state) {
        RecalculateWorkbook(*book.workbook, *book.ctx);
        if (!Right(state, book.cells, 1999, 5, 2 * 1999) ||
            !Right(state, book.cells, 9999, 7, 10000))
            break;
    }
    state.SetItemsProcessed(state.iterations() * 11000);
}

void BM_ARandomArrayAmongOthers(benchmark::State& state) {
    RandomArrayAmongOthers(state, true);
}
BENCHMARK(BM_ARandomArrayAmongOthers)->Unit(benchmark::kMillisecond);

void BM_ArraysWithoutRandomOnes(benchmark::State& state) {
    RandomArrayAmongOthers(state, false);
}
BENCHMARK(BM_ArraysWithoutRandomOnes)->Unit(benchmark::kMillisecond);

} // namespace
