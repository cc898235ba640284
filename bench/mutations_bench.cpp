// Thousands of small files changed at one random byte each, read by the version-6 and the
// binary-body readers; each file that loads is saved as XML and as binary and read back. The
// counters show how many files loaded and how many did not come back whole: for the records
// check every record through the binary form and the records the XML form carries through
// it, for the XML check the XML text (faults must stay 0 where they are checked in the
// tests).

#include "tests/files/mutations.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace vl {

namespace {

void Run(benchmark::State& state, bool v6, mutations::Keep keep) {
    const std::string folder = (std::filesystem::temp_directory_path() /
                                ("vorlane-mutations-bench-" + std::to_string(::getpid())))
                                   .string();
    std::filesystem::create_directories(folder);
    const mutations::Bytes seed = v6 ? mutations::SmallV6File() : mutations::SmallBody();
    mutations::Outcome total;
    uint32_t round = 0;
    for (auto _ : state) {
        const mutations::Outcome r =
            mutations::MutateAndReload(seed, v6, 1000 + round++, int(state.range(0)), folder, keep);
        total.tried += r.tried;
        total.loaded += r.loaded;
        total.faults += r.faults;
        if (total.first.empty()) total.first = r.first;
    }
    if (!total.first.empty()) std::fprintf(stderr, "first faults:%s\n", total.first.c_str());
    std::filesystem::remove_all(folder);
    state.counters["tried"] = total.tried;
    state.counters["loaded"] = total.loaded;
    state.counters["faults"] = total.faults;
}

void BM_MutatedVersion6Records(benchmark::State& state) {
    Run(state, true, mutations::Keep::kRecords);
}
BENCHMARK(BM_MutatedVersion6Records)->Arg(5000)->Iterations(1)->Unit(benchmark::kSecond);

void BM_MutatedBodiesXmlText(benchmark::State& state) {
    Run(state, false, mutations::Keep::kXmlText);
}
BENCHMARK(BM_MutatedBodiesXmlText)->Arg(5000)->Iterations(1)->Unit(benchmark::kSecond);

void BM_MutatedBodiesRecords(benchmark::State& state) {
    Run(state, false, mutations::Keep::kRecords);
}
BENCHMARK(BM_MutatedBodiesRecords)->Arg(5000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

} // namespace vl
