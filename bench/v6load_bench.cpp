// Loading an older signed (version-6) workbook: 1,000,000 number cells, 100,000 formulas in
// the user's A1 form and 10,000 format-run blocks, built by the tests' writer. The file is
// loaded whole through the open dispatcher; bytes per second count the file, items the
// cells. The smaller sizes show whether the cost grows with the cells alone.

#include "files/workbookopen.h"
#include "model/workbook.h"
#include "tests/files/v6writer.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace vl {

namespace {

using namespace v6test;

constexpr uint16_t kNumberColumns = 10;
constexpr uint32_t kRowsPerBlock = 10;

// A row holds ten numbers and one formula; a block of ten rows holds three runs.
V6File BuildFile(uint32_t rows) {
    V6File f;
    f.styles.resize(4);
    V6Item item;
    item.name = "Data";
    V6Sheet& s = item.sheet;
    s.cells.reserve(size_t(rows) * (kNumberColumns + 1));
    for (uint32_t row = 0; row < rows; ++row) {
        for (uint16_t col = 0; col < kNumberColumns; ++col)
            s.cells.push_back({col, row, 2, {}, row * 0.25 + col});
        const std::string r = std::to_string(row + 1);
        s.cells.push_back({kNumberColumns, row, 4, "SUM(A" + r + ":J" + r + ")", row * 2.5});
    }
    s.tables.runRows = rows;
    for (uint32_t first = 0; first < rows; first += kRowsPerBlock)
        s.tables.blocks.push_back(
            {uint16_t(kRowsPerBlock), first, {{0, 2, 1}, {3, 5, 2}, {6, 10, 3}}});
    f.items = {item};
    return f;
}

// The files written for the run, removed when it ends.
struct Files {
    std::map<uint32_t, std::pair<std::string, uint64_t>> byRows;
    ~Files() {
        for (auto& [rows, file] : byRows) std::remove(file.first.c_str());
    }
};

// The file of `rows` rows, written once into the temporary folder.
const std::string& FileOf(uint32_t rows, uint64_t& bytes) {
    static Files written;
    auto& files = written.byRows;
    auto& entry = files[rows];
    if (entry.first.empty()) {
        const Bytes data = WriteV6File(BuildFile(rows)).data;
        entry.first = (std::filesystem::temp_directory_path() /
                       ("vorlane-v6-bench-" + std::to_string(rows) + ".vlb"))
                          .string();
        FILE* f = std::fopen(entry.first.c_str(), "wb");
        if (!f || std::fwrite(data.data(), 1, data.size(), f) != data.size()) std::abort();
        std::fclose(f);
        entry.second = data.size();
    }
    bytes = entry.second;
    return entry.first;
}

void BM_LoadV6Workbook(benchmark::State& state) {
    const uint32_t rows = uint32_t(state.range(0));
    uint64_t bytes = 0;
    const std::string& path = FileOf(rows, bytes);
    Profile().addressingA1 = 1;
    for (auto _ : state) {
        auto book = CreateWorkbook();
        if (!OpenDocumentFile(*book, path.c_str()) || !OpenWorkbookFile(*book, nullptr)) {
            state.SkipWithError("the file did not load");
            break;
        }
        benchmark::DoNotOptimize(book->tree.active);
    }
    const int64_t cells = int64_t(rows) * (kNumberColumns + 1);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    state.SetItemsProcessed(int64_t(state.iterations()) * cells);
    state.SetComplexityN(cells);
}

BENCHMARK(BM_LoadV6Workbook)
    ->Arg(25000)
    ->Arg(50000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

} // namespace vl
