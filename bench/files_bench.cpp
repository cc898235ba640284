// Binary workbook throughput: saving and loading a worksheet of 1,000,000 number cells and
// 100,000 formulas, plain, gzip-compressed, encrypted, and both. Bytes per second count
// the uncompressed body, so the forms compare by the work they do on the same workbook.

#include "files/binarybody.h"
#include "files/binaryform.h"
#include "files/bodyio.h"
#include "files/workbookopen.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace vl {

namespace {

constexpr uint32_t kRows = 100000;
constexpr uint16_t kNumberColumns = 10;

struct Form {
    uint8_t encryption;
    bool gzip;
};
constexpr Form kForms[] = {{0, false}, {0, true}, {4, false}, {4, true}};

class CCounter : public CBodySink {
public:
    void Put(const uint8_t*, uint32_t n) override { bytes += n; }
    uint64_t bytes = 0;
};

CWorkbook& Book() {
    static std::unique_ptr<CWorkbook> book = [] {
        auto b = CreateWorkbook();
        NewWorkbook(*b);
        CWorksheet& sheet = *b->tree.active;
        CellCursor cursor{kAdvance, nullptr, 0};
        CellBuffer cell;
        FormulaHead head;
        for (uint32_t row = 0; row < kRows; ++row) {
            for (uint16_t col = 0; col < kNumberColumns; ++col) {
                MakeNumberCell(cell, col, row, row * 0.25 + col);
                if (!sheet.cells.PutCell(cell.bytes, cursor)) std::abort();
            }
            head.cachedNumber = row * 2.5;
            MakeFormulaCell(cell, kNumberColumns, row, head, "SUM(RC[-10]:RC[-1])");
            if (!sheet.cells.PutCell(cell.bytes, cursor)) std::abort();
        }
        CopyTextField(b->password, "benchmark", kPasswordSize);
        return b;
    }();
    return *book;
}

uint64_t BodyBytes() {
    static const uint64_t bytes = [] {
        CCounter counter;
        ErrorCode error = 0;
        SerializeWorkbookBody(Book(), counter, kBodyFull, error);
        return counter.bytes;
    }();
    return bytes;
}

std::string PathOf(const Form& form) {
    return (std::filesystem::temp_directory_path() /
            ("vorlane_bench_" + std::to_string(form.encryption) + (form.gzip ? "z" : "") + ".vlb"))
        .string();
}

bool Save(const Form& form) {
    CWorkbook& book = Book();
    book.encryption = form.encryption;
    if (!book.stream.Open(PathOf(form).c_str(), "w+b", form.gzip, kFileBufferSize)) return false;
    const bool ok = SaveBinaryWorkbook(book) && book.stream.Flush();
    return book.stream.Close() && ok;
}

void Label(benchmark::State& state, const Form& form) {
    state.SetLabel(std::string(form.encryption ? "encrypted" : "plain") +
                   (form.gzip ? "+gzip" : ""));
    state.SetBytesProcessed(int64_t(state.iterations() * BodyBytes()));
    state.counters["file_MB"] = double(std::filesystem::file_size(PathOf(form))) / 1e6;
}

} // namespace

void BM_SaveBinaryWorkbook(benchmark::State& state) {
    const Form form = kForms[state.range(0)];
    for (auto _ : state)
        if (!Save(form)) state.SkipWithError("save failed");
    Label(state, form);
}
BENCHMARK(BM_SaveBinaryWorkbook)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadBinaryWorkbook(benchmark::State& state) {
    const Form form = kForms[state.range(0)];
    if (!Save(form)) state.SkipWithError("save failed");
    for (auto _ : state) {
        auto book = CreateWorkbook();
        if (!book->stream.Open(PathOf(form).c_str(), "rb", true, kFileBufferSize) ||
            !OpenWorkbookFile(*book, "benchmark"))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(book->tree.first);
    }
    Label(state, form);
    std::filesystem::remove(PathOf(form));
}
BENCHMARK(BM_LoadBinaryWorkbook)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace vl
