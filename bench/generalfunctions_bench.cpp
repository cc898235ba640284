// Full recalculation of 100,000 formula cells that each call one function of a general
// family on the cell beside it: rounding, integers, dates, working days, annuities, cash
// flows, depreciation, base conversion, complex numbers and the error function.
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

// Column A holds the argument (a number or a text), column B the
// formula in the stored R1C1 form.
template <class Argument>
void Recalculate(benchmark::State& state, std::string_view formula, Argument argument) {
    Book book;
    CellCursor cursor;
    for (uint32_t r = 0; r < kCells; ++r) {
        CellBuffer b;
        argument(b, r);
        book.cells.PutCell(b.data(), cursor);
        MakeFormulaCell(b, 1, r, FormulaHead{}, formula);
        book.cells.PutCell(b.data(), cursor);
    }
    for (auto _ : state) benchmark::DoNotOptimize(RecalculateWorkbook(*book.workbook, *book.ctx));
    state.SetItemsProcessed(state.iterations() * kCells);
}

auto Number(double scale, double offset) {
    return [=](CellBuffer& b, uint32_t r) { MakeNumberCell(b, 0, r, r * scale + offset); };
}

auto Text(const char* text) {
    return [=](CellBuffer& b, uint32_t r) { MakeTextCell(b, 0, r, text); };
}

void BM_Round(benchmark::State& s) {
    Recalculate(s, "=ROUND(RC[-1]*1.37,2)", Number(0.01, 0));
}
void BM_Mod(benchmark::State& s) {
    Recalculate(s, "=MOD(RC[-1],7)", Number(1, 0));
}
void BM_Year(benchmark::State& s) {
    Recalculate(s, "=YEAR(RC[-1])", Text("2005-03-04"));
}
void BM_NetworkDaysOverAMonth(benchmark::State& s) {
    Recalculate(s, "=NETWORKDAYS(RC[-1],\"2005-01-31\",)", Text("2005-01-01"));
}
void BM_Pmt(benchmark::State& s) {
    Recalculate(s, "=PMT(0.005,RC[-1],10000,,)", Number(0, 360));
}
void BM_IrrOfSixFlows(benchmark::State& s) {
    Recalculate(s, "=IRR(-70000,12000,15000,18000,21000,RC[-1],)", Number(0.01, 26000));
}
void BM_Sln(benchmark::State& s) {
    Recalculate(s, "=SLN(30000,7500,RC[-1])", Number(0, 10));
}
void BM_Dec2Hex(benchmark::State& s) {
    Recalculate(s, "=DEC2HEX(RC[-1],)", Number(1, 0));
}
void BM_ImProduct(benchmark::State& s) {
    Recalculate(s, "=IMPRODUCT(\"3+4i\",RC[-1])", Text("5-3i"));
}
void BM_Erf(benchmark::State& s) {
    Recalculate(s, "=ERF(RC[-1],)", Number(0.00002, 0));
}

BENCHMARK(BM_Round)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mod)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Year)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NetworkDaysOverAMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pmt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrrOfSixFlows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sln)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Dec2Hex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImProduct)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Erf)->Unit(benchmark::kMillisecond);

} // namespace
