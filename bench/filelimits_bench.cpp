// Files that are small on disk and huge once read: gzip XML documents that inflate to 2 GiB
// of blanks or of one comment between two tags, and a version-6 file whose run blocks repeat
// one run list over 65,535 rows. Each load must fail or finish without holding what it
// skips: the counters show the peak resident memory of the process after the load (MiB),
// what the load ended with and how often the gzip layer went back to inflate the file again
// from its start (0: one pass). The blanks that stay 8 MiB inside the positions are the
// measure of one pass for the file one byte past them.

#include "files/workbookopen.h"
#include "model/workbook.h"
#include "tests/files/v6writer.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>
#include <zlib.h>

namespace vl {

namespace {

using namespace v6test;

constexpr uint64_t kInflated = uint64_t(1) << 31; // one byte past the last position
constexpr uint64_t kInside = kInflated - (uint64_t(8) << 20);
constexpr size_t kChunk = size_t(1) << 20;

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// "<Workbook>", then `size` bytes of `fill` (opened and closed by `open` and `close`), then
// the end tag, compressed; written once per run.
const std::string& InflatingFile(const std::string& name, const std::string& open, char fill,
                                 const std::string& close, uint64_t size = kInflated) {
    struct Made : std::vector<std::pair<std::string, std::string>> {
        ~Made() {
            for (const auto& entry : *this) std::remove(entry.second.c_str());
        }
    };
    static Made made;
    for (const auto& [n, path] : made)
        if (n == name) return path;
    const std::string path = TempPath("vorlane-bench-" + name + ".vln");
    gzFile gz = gzopen(path.c_str(), "wb9");
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Workbook>" + open;
    gzwrite(gz, head.data(), unsigned(head.size()));
    const std::vector<char> chunk(kChunk, fill);
    for (uint64_t done = 0; done < size; done += kChunk)
        gzwrite(gz, chunk.data(), unsigned(kChunk));
    const std::string tail = close + "</Workbook>";
    gzwrite(gz, tail.data(), unsigned(tail.size()));
    gzclose(gz);
    made.emplace_back(name, path);
    return made.back().second;
}

void LoadInflating(benchmark::State& state, const std::string& path) {
    uint8_t error = 0;
    int32_t rewinds = 0;
    for (auto _ : state) {
        auto book = CreateWorkbook();
        if (OpenDocumentFile(*book, path.c_str())) OpenWorkbookFile(*book, nullptr);
        error = book->error;
        rewinds = book->stream.GetRewinds();
    }
    state.counters["peak_MiB"] = PeakMiB();
    state.counters["error"] = error; // 21: the file reaches past 2 GiB
    state.counters["rewinds"] = rewinds;
    state.counters["file_MiB"] = double(std::filesystem::file_size(path)) / (1 << 20);
}

void BM_GzipBlanksBetweenTags(benchmark::State& state) {
    LoadInflating(state, InflatingFile("blanks", "", ' ', ""));
}
BENCHMARK(BM_GzipBlanksBetweenTags)->Iterations(1)->Unit(benchmark::kSecond);

void BM_GzipBlanksInsideThePositions(benchmark::State& state) {
    LoadInflating(state, InflatingFile("blanks-inside", "", ' ', "", kInside));
}
BENCHMARK(BM_GzipBlanksInsideThePositions)->Iterations(1)->Unit(benchmark::kSecond);

void BM_GzipCommentBetweenTags(benchmark::State& state) {
    LoadInflating(state, InflatingFile("comment", "<!--", 'c', "-->"));
}
BENCHMARK(BM_GzipCommentBetweenTags)->Iterations(1)->Unit(benchmark::kSecond);

// Runs of one style over the 65,535 rows a block covers, in blocks that follow each other
// down the sheet: every column its own run (runs that touch, merged into one), or every
// other column (1,024 runs apart, 6 KB a block: the run store would need 671 MB a block).
// The load must fail as out of memory (error 8) once the runs pass what the file's size
// allows, or finish: peak_MiB stays near the 64 MiB the runs may take.
void V6RunBlocks(benchmark::State& state, uint16_t step) {
    V6File f;
    f.styles.resize(2);
    V6Item item;
    item.name = "Runs";
    V6RunBlock block{65535, 0, {}};
    for (uint16_t c = 0; c < 2047; c = uint16_t(c + step)) block.runs.push_back({c, c, 1});
    const auto blocks = uint32_t(state.range(0));
    for (uint32_t b = 0; b < blocks; ++b) {
        block.firstRow = b * 65535;
        item.sheet.tables.blocks.push_back(block);
    }
    item.sheet.tables.runRows = blocks * 65535;
    f.items = {item};
    const Bytes bytes = WriteV6File(f).data;
    const std::string path = TempPath("vorlane-bench-runs.vlb");
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    uint8_t error = 0;
    for (auto _ : state) {
        auto book = CreateWorkbook();
        if (OpenDocumentFile(*book, path.c_str())) OpenWorkbookFile(*book, nullptr);
        error = book->error;
    }
    std::remove(path.c_str());
    state.counters["file_KiB"] = double(bytes.size()) / 1024;
    state.counters["peak_MiB"] = PeakMiB();
    state.counters["error"] = error;
}

void BM_V6RepeatedRunBlocks(benchmark::State& state) {
    V6RunBlocks(state, 1);
}
BENCHMARK(BM_V6RepeatedRunBlocks)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_V6RunsApartOverManyRows(benchmark::State& state) {
    V6RunBlocks(state, 2);
}
BENCHMARK(BM_V6RunsApartOverManyRows)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl
