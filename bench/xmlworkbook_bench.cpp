// The XML workbook form: saving and loading a worksheet of 1,000,000 number cells and
// 100,000 formulas, in memory (the reader and writer alone) and through plain and
// compressed files. Throughput is the document's uncompressed size per second.

#include "files/xmlworkbook.h"
#include "platform/core/filestream.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace vl {

namespace {

constexpr uint32_t kRows = 10000;
constexpr uint16_t kNumberColumns = 100;
constexpr uint16_t kFormulaColumns = 10;

void Put(CCellStore& store, const CellBuffer& b, CellCursor& cursor) {
    if (!store.PutCell(b.bytes, cursor)) std::abort();
}

CWorkbook& Book() {
    static std::unique_ptr<CWorkbook> book = [] {
        auto b = CreateWorkbook();
        auto* ws = static_cast<CWorksheet*>(b->AppendTreeItem(TREE_TYPE_WORKSHEET, "Data", 1));
        CellCursor cursor{kAdvance, nullptr, 0};
        CellBuffer cell;
        FormulaHead head;
        head.arrayWidth = 1;
        for (uint32_t row = 0; row < kRows; ++row) {
            for (uint16_t c = 0; c < kNumberColumns; ++c) {
                MakeNumberCell(cell, c, row, row * 0.25 + c / 7.0);
                Put(ws->cells, cell, cursor);
            }
            for (uint16_t c = 0; c < kFormulaColumns; ++c) {
                head.cachedNumber = row * 3.5 + c;
                MakeFormulaCell(cell, uint16_t(kNumberColumns + c), row, head,
                                "SUM(RC[-100]:RC[-91])*2+R1C1");
                Put(ws->cells, cell, cursor);
            }
        }
        return b;
    }();
    return *book;
}

const std::string& Document() {
    static const std::string doc = [] {
        CXmlWriter writer;
        if (!WriteXmlWorkbook(Book(), writer)) std::abort();
        return writer.Memory();
    }();
    return doc;
}

std::string TempPath(const char* name) {
    return std::string(P_tmpdir) + "/vorlane_bench_" + std::to_string(getpid()) + name;
}

void BM_XmlSaveToMemory(benchmark::State& state) {
    CWorkbook& book = Book();
    for (auto _ : state) {
        CXmlWriter writer;
        if (!WriteXmlWorkbook(book, writer)) std::abort();
        benchmark::DoNotOptimize(writer.Memory().data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Document().size()));
}

void BM_XmlLoadFromMemory(benchmark::State& state) {
    const std::string& doc = Document();
    for (auto _ : state) {
        auto book = CreateWorkbook();
        CXmlReader reader;
        reader.ResetMemory(doc);
        if (!ReadXmlWorkbook(*book, reader)) std::abort();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(doc.size()));
    state.counters["document_bytes"] = double(doc.size());
}

void BM_XmlSaveToFile(benchmark::State& state) {
    const bool gzip = state.range(0) != 0;
    const std::string path = TempPath(gzip ? "save.vln.gz" : "save.vln");
    CWorkbook& book = Book();
    for (auto _ : state) {
        if (!book.stream.Open(path.c_str(), "w+b", gzip, kFileBufferSize)) std::abort();
        if (!WriteXmlWorkbook(book) || !book.stream.Flush() || !book.stream.Close()) std::abort();
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Document().size()));
}

void BM_XmlLoadFromFile(benchmark::State& state) {
    const bool gzip = state.range(0) != 0;
    const std::string path = TempPath(gzip ? "load.vln.gz" : "load.vln");
    {
        CWorkbook& book = Book();
        if (!book.stream.Open(path.c_str(), "w+b", gzip, kFileBufferSize)) std::abort();
        if (!WriteXmlWorkbook(book) || !book.stream.Flush() || !book.stream.Close()) std::abort();
    }
    for (auto _ : state) {
        auto book = CreateWorkbook();
        if (!book->stream.Open(path.c_str(), "rb", true, kFileBufferSize)) std::abort();
        if (!ReadXmlWorkbook(*book)) std::abort();
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Document().size()));
}

BENCHMARK(BM_XmlSaveToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlLoadFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlSaveToFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlLoadFromFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl
