// Text and xBase throughput. A CSV of 10,000,000 short fields (about 100 MB) is imported and
// exported; beside them the cell store's append and FormatCellValue alone on the same cells,
// the measures the goals are set against: an import within twice the append time per field,
// an export at least half the rate of formatting alone. A FoxPro table of 1,000,000 records
// with a memo each is written and read, for the goal of 200,000 memo fields a second.

#include "exchange/foreignfile.h"
#include "exchange/memofile.h"
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace vl {

namespace {

constexpr uint32_t kRows = 1000000;
constexpr uint16_t kColumns = 10;
constexpr uint32_t kMemoRecords = 1000000;

std::string Folder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vlbench.XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        std::atexit([] {});
        return pattern;
    }();
    return folder;
}

struct Cleanup {
    ~Cleanup() {
        std::error_code ec;
        std::filesystem::remove_all(Folder(), ec);
    }
} g_cleanup;

// Ten short numbers a line: "123456,1.5,..." of about ten bytes a field.
const std::string& CsvPath() {
    static const std::string path = [] {
        const std::string p = Folder() + "/big.csv";
        std::ofstream out(p, std::ios::binary);
        std::string line;
        for (uint32_t row = 0; row < kRows; ++row) {
            line.clear();
            for (uint16_t c = 0; c < kColumns; ++c) {
                if (c) line += ',';
                line += std::to_string(row % 9973 + c);
                line += ".25";
            }
            line += "\r\n";
            out << line;
        }
        return p;
    }();
    return path;
}

std::unique_ptr<CWorkbook> ImportCsv() {
    auto book = CreateWorkbook();
    if (!book->stream.Open(CsvPath().c_str(), "rb", false, kFileBufferSize)) std::abort();
    CEvalContext ctx;
    if (!ImportTextFile(*book, ctx)) std::abort();
    book->stream.Close();
    return book;
}

CWorkbook& Imported() {
    static std::unique_ptr<CWorkbook> book = ImportCsv();
    return *book;
}

void BM_ImportCsv(benchmark::State& state) {
    const auto bytes = std::filesystem::file_size(CsvPath());
    for (auto _ : state) benchmark::DoNotOptimize(ImportCsv());
    state.SetItemsProcessed(int64_t(state.iterations()) * kRows * kColumns);
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond)->Iterations(2);

// The cells of the CSV put in order: the floor of any import.
void BM_AppendCells(benchmark::State& state) {
    for (auto _ : state) {
        auto sheet = NewBlockObject<CWorksheet>("s", 1);
        CellCursor cursor{kAdvance, nullptr, 0};
        CellBuffer cell;
        for (uint32_t row = 0; row < kRows; ++row)
            for (uint16_t c = 0; c < kColumns; ++c) {
                MakeNumberCell(cell, c, row, row % 9973 + c + 0.25);
                if (!sheet->cells.PutCell(cell.bytes, cursor)) std::abort();
            }
        benchmark::DoNotOptimize(sheet);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kRows * kColumns);
}
BENCHMARK(BM_AppendCells)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ExportCsv(benchmark::State& state) {
    CWorkbook& book = Imported();
    CWorksheet& sheet = *book.tree.active;
    const std::string out = Folder() + "/out.csv";
    for (auto _ : state) {
        if (!SaveAside(book, out.c_str(), [&](CWorkbook& b) { return ExportTextFile(b, sheet); }))
            std::abort();
        book.stream.Close();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kRows * kColumns);
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(2);

// FormatCellValue alone over the same cells: the ceiling of any export.
void BM_FormatCells(benchmark::State& state) {
    CWorksheet& sheet = *Imported().tree.active;
    std::string text;
    const StandardFormat general;
    for (auto _ : state) {
        uint64_t length = 0;
        CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
        while (const uint8_t* r = NextCellRecord(cursor)) {
            FormatCellValue(r, general, text);
            length += text.size();
        }
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kRows * kColumns);
}
BENCHMARK(BM_FormatCells)->Unit(benchmark::kMillisecond)->Iterations(2);

CWorkbook& MemoBook() {
    static std::unique_ptr<CWorkbook> book = [] {
        auto b = CreateWorkbook();
        NewWorkbook(*b);
        CWorksheet& sheet = *b->tree.active;
        CellCursor cursor{kAdvance, nullptr, 0};
        CellBuffer cell;
        std::string text(260, 'm');
        for (uint32_t row = 1; row <= kMemoRecords; ++row) {
            text.replace(0, 10, std::to_string(1000000000 + row));
            MakeTextCell(cell, 0, row, text);
            if (!sheet.cells.PutCell(cell.bytes, cursor)) std::abort();
        }
        XBaseSaveOptions& o = b->xbase;
        o.format = kXBaseFoxPro;
        if (!AllocateDescriptors(o, 1)) std::abort();
        o.fieldDescriptors[0] = 'M';
        o.fieldDescriptors[11] = 'M';
        o.fieldDescriptors[16] = 10;
        FillXBaseHeader(o, 1, 11, 0, true);
        return b;
    }();
    return *book;
}

const std::string& MemoTable() {
    static const std::string path = Folder() + "/memo.dbf";
    return path;
}

void BM_ExportMemos(benchmark::State& state) {
    CWorkbook& book = MemoBook();
    CWorksheet& sheet = *book.tree.active;
    for (auto _ : state) {
        if (!SaveXBaseFile(book, sheet, MemoTable(), [](CWorkbook&) { return true; })) std::abort();
        book.stream.Close();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kMemoRecords);
}
BENCHMARK(BM_ExportMemos)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ImportMemos(benchmark::State& state) {
    if (!std::filesystem::exists(MemoTable())) {
        CWorkbook& book = MemoBook();
        SaveXBaseFile(book, *book.tree.active, MemoTable(), [](CWorkbook&) { return true; });
        book.stream.Close();
    }
    for (auto _ : state) {
        auto book = CreateWorkbook();
        if (!book->stream.Open(MemoTable().c_str(), "rb", false, kFileBufferSize)) std::abort();
        book->xbase.format = kXBaseFoxPro;
        if (!ImportXBase(*book)) std::abort();
        benchmark::DoNotOptimize(book);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kMemoRecords);
}
BENCHMARK(BM_ImportMemos)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

} // namespace vl
