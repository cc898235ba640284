// Recalculation of 100,000 formula cells that each call one function of the text, lookup,
// reference, logical and information families, and one SORT of 100,000 rows. Items are
// function calls, so items per second are calls per second.
#include "bench/benchbook.h"
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "functions/bindall/bindall.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

using namespace vl;

constexpr uint32_t kCells = 100000;

using benchbook::Book;

void Recalculate(benchmark::State& state, Book& book, int64_t calls) {
    for (auto _ : state) benchmark::DoNotOptimize(RecalculateWorkbook(*book.workbook, *book.ctx));
    state.SetItemsProcessed(state.iterations() * calls);
}

// Column A holds the operand of row r, column B the formula; columns D and E a table of
// 100 rows in the first rows.
template <class Operand> void Run(benchmark::State& state, const char* formula, Operand operand) {
    Book book;
    for (uint32_t r = 0; r < kCells; ++r) {
        operand(book, r);
        book.Formula(1, r, formula);
        if (r < 100) {
            book.Number(3, r, r);
            book.Text(4, r, "row " + std::to_string(r));
        }
    }
    Recalculate(state, book, kCells);
}

void NumberOperand(Book& book, uint32_t r) {
    book.Number(0, r, r % 100);
}

void BM_Mid(benchmark::State& state) {
    Run(state, "=MID(RC[-1],3,4)",
        [](Book& book, uint32_t r) { book.Text(0, r, "text " + std::to_string(r)); });
}
BENCHMARK(BM_Mid)->Unit(benchmark::kMillisecond);

void BM_VlookupOver100Rows(benchmark::State& state) {
    Run(state, "=VLOOKUP(RC[-1],R1C4:R100C5,2,0)", NumberOperand);
}
BENCHMARK(BM_VlookupOver100Rows)->Unit(benchmark::kMillisecond);

void BM_Index(benchmark::State& state) {
    Run(state, "=INDEX(R1C4:R100C5,RC[-1],2)",
        [](Book& book, uint32_t r) { book.Number(0, r, r % 100 + 1); });
}
BENCHMARK(BM_Index)->Unit(benchmark::kMillisecond);

void BM_IfAnd(benchmark::State& state) {
    Run(state, "=IF(AND(RC[-1]>10,RC[-1]<50),1,2)", NumberOperand);
}
BENCHMARK(BM_IfAnd)->Unit(benchmark::kMillisecond);

void BM_IsNumber(benchmark::State& state) {
    Run(state, "=ISNUMBER(RC[-1])", NumberOperand);
}
BENCHMARK(BM_IsNumber)->Unit(benchmark::kMillisecond);

// One SORT of 100,000 rows of numbers in a scrambled order.
void BM_Sort100000Rows(benchmark::State& state) {
    Book book;
    for (uint32_t r = 0; r < kCells; ++r) book.Number(0, r, double((r * 7919u) % kCells));
    book.Formula(1, 0, "=ROWS(SORT(R1C1:R100000C1,1,1))");
    Recalculate(state, book, 1);
}
BENCHMARK(BM_Sort100000Rows)->Unit(benchmark::kMillisecond);

} // namespace
