// The Excel 2003 XML form: exporting and importing a worksheet of 1,000,000 number and text
// cells in memory (throughput is the document's size per second), and 1,000 cells spread
// over the whole grid against the same cells in one block.

#include "exchange/excelxml.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace vl {

namespace {

constexpr uint32_t kRows = 100000;
constexpr uint16_t kColumns = 10;

void Put(CCellStore& store, const CellBuffer& b, CellCursor& cursor) {
    if (!store.PutCell(b.bytes, cursor)) std::abort();
}

std::unique_ptr<CWorkbook> NewBook(CWorksheet*& ws) {
    auto book = CreateWorkbook();
    ws = static_cast<CWorksheet*>(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Data", 1));
    book->tree.active = ws;
    return book;
}

CWorkbook& Million() {
    static std::unique_ptr<CWorkbook> book = [] {
        CWorksheet* ws = nullptr;
        auto b = NewBook(ws);
        CellCursor cursor{kAdvance, nullptr, 0};
        CellBuffer cell;
        for (uint32_t row = 0; row < kRows; ++row)
            for (uint16_t c = 0; c < kColumns; ++c) {
                if (c % 2)
                    MakeTextCell(cell, c, row, "text " + std::to_string(row));
                else
                    MakeNumberCell(cell, c, row, row * 0.25 + c / 7.0);
                Put(ws->cells, cell, cursor);
            }
        return b;
    }();
    return *book;
}

std::string Exported(CWorkbook& book) {
    CXmlWriter writer;
    if (!WriteExcelXml(book, writer)) std::abort();
    return writer.Memory();
}

void BM_ExportMillionCells(benchmark::State& state) {
    CWorkbook& book = Million();
    std::size_t bytes = 0;
    for (auto _ : state) bytes = Exported(book).size();
    state.SetBytesProcessed(int64_t(bytes) * state.iterations());
}
BENCHMARK(BM_ExportMillionCells)->Unit(benchmark::kMillisecond);

void BM_ImportMillionCells(benchmark::State& state) {
    const std::string document = Exported(Million());
    for (auto _ : state) {
        auto book = CreateWorkbook();
        CXmlReader reader;
        reader.ResetMemory(document);
        if (!ReadExcelXml(*book, reader, nullptr)) std::abort();
    }
    state.SetBytesProcessed(int64_t(document.size()) * state.iterations());
}
BENCHMARK(BM_ImportMillionCells)->Unit(benchmark::kMillisecond);

// 1,000 cells: arg 0 in one block of 10 x 100, arg 1 spread to the grid's far corners.
void BM_ExportThousandCells(benchmark::State& state) {
    CWorksheet* ws = nullptr;
    auto book = NewBook(ws);
    CellBuffer cell;
    for (uint32_t k = 0; k < 1000; ++k) {
        const bool spread = state.range(0) != 0;
        const uint32_t row = spread ? k * (kLastRow / 999) : k / 10;
        const uint16_t column = uint16_t(spread ? (k * 97) % kMaxColumns : k % 10);
        CellCursor cursor{};
        MakeNumberCell(cell, column, row, k);
        Put(ws->cells, cell, cursor);
    }
    for (auto _ : state) benchmark::DoNotOptimize(Exported(*book).size());
}
BENCHMARK(BM_ExportThousandCells)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace vl
