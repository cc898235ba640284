// Files changed one byte at a time, read by the binary and version-6 readers: whatever loads
// must save as XML and as binary and read back, every record through the binary form and the
// records the XML form carries through it. The default steps over the file;
// VORLANE_SWEEP_STRIDE=1 tries every byte.

#include "files/binarybody.h"
#include "filestestutil.h"
#include "reloadcheck.h"
#include "tests/common/shards.h"
#include "v6fixtures.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace vl {

using namespace filestest;
using v6test::V6DataPath;

namespace {

struct SweepResult {
    int loaded = 0;
    int faults = 0;
    std::string first; // where the first few faults were, for the message
};

// Bytes `stride` apart, or as many as VORLANE_SWEEP_STRIDE says (1 for every byte).
size_t Step(size_t stride) {
    const char* chosen = std::getenv("VORLANE_SWEEP_STRIDE");
    const long n = chosen ? std::atol(chosen) : 0;
    return n > 0 ? size_t(n) : stride;
}

// Shards of each sweep, run side by side; each takes every tenth offset swept.
constexpr int kShards = 10;

// Tries each byte of this shard's offsets at 0x00, 0xFF and one above its value; `load`
// reads the file at the path. The first shard also tries the unchanged seed.
template <class Load>
SweepResult Sweep(const Bytes& seed, const TempFolder& dir, size_t stride, int shard, Load load) {
    SweepResult result;
    const std::string input = dir.Path("input"), saved = dir.Path("saved.vlb");
    auto attempt = [&](const Bytes& bytes, const std::string& label) {
        WriteBytes(input, bytes);
        auto book = CreateWorkbook();
        if (!load(*book, input)) return;
        ++result.loaded;
        const std::string fault = reloadcheck::ReloadFault(*book, saved);
        if (!fault.empty() && ++result.faults <= 400) result.first += "\n " + label + ": " + fault;
    };
    if (shard == 0) attempt(seed, "the seed");
    long swept = 0;
    for (size_t at = 0; at < seed.size(); at += Step(stride)) {
        if (!shards::Takes(shard, kShards, swept++)) continue;
        for (const uint8_t value : {uint8_t(0), uint8_t(0xFF), uint8_t(seed[at] + 1)}) {
            if (value == seed[at]) continue;
            Bytes bytes = seed;
            bytes[at] = value;
            attempt(bytes, "byte " + std::to_string(at) + " = " + std::to_string(value));
        }
    }
    return result;
}

class MutatedReload : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(MutatedReload, Version6FilesThatLoadReadBack) {
    TempFolder dir;
    const Bytes seed = ReadBytes(V6DataPath("book.vlb"));
    const SweepResult r =
        Sweep(seed, dir, 29, GetParam(), [](CWorkbook& book, const std::string& path) {
            return OpenDocumentFile(book, path.c_str()) && OpenWorkbookFile(book, nullptr);
        });
    EXPECT_GT(r.loaded, 0);
    EXPECT_EQ(r.faults, 0) << r.first;
}

TEST_P(MutatedReload, BinaryBodiesThatLoadReadBack) {
    TempFolder dir;
    auto rich = MakeRichWorkbook();
    const Bytes seed = BodyOf(*rich);
    const SweepResult r =
        Sweep(seed, dir, 251, GetParam(), [](CWorkbook& book, const std::string& path) {
            return book.stream.Open(path.c_str(), "r+b", false, kFileBufferSize) &&
                   ReadBinaryWorkbookBody(book, book.stream, 3, nullptr);
        });
    EXPECT_GT(r.loaded, 0);
    EXPECT_EQ(r.faults, 0) << r.first;
}

VORLANE_SHARDS(MutatedReload, kShards);

} // namespace vl
