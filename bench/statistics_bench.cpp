// Statistics throughput: STDEV and MEDIAN over a column of 1,000,000 number cells through
// the function table, and the NORMSINV and TINV searches per call.
#include "formula/operands.h"
#include "functions/numeric/statbuiltins.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace vl {

namespace {

constexpr uint32_t kCells = 1000000;

std::unique_ptr<CCellStore> Column() {
    auto store = std::make_unique<CCellStore>();
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < kCells; ++row) {
        CellBuffer b;
        MakeNumberCell(b, 0, row, double((row * 7919u) % 100003u) * 0.25);
        if (!store->PutCell(b.bytes, cursor)) std::abort();
    }
    return store;
}

uint16_t Row(const char* name) {
    uint16_t index = 0;
    std::size_t end = 0;
    if (!FindBuiltinFunction(std::string(name) + "(", index, end)) std::abort();
    return index;
}

// Calls the function on the given arguments, already in slots 1..count.
double Call(CEvalContext& ctx, uint16_t function, uint16_t count) {
    FormulaToken& call = ClearOperand(ctx.values[count + 1]);
    call.type = kTokenFunction;
    call.functionIndex = function;
    call.firstArgument = 1;
    ctx.valueCount = uint16_t(count + 1);
    if (!EvalToken(ctx) || ctx.values[1].error) std::abort();
    ctx.valueCount = 0;
    return ctx.values[1].number;
}

void OverColumn(benchmark::State& state, const char* name) {
    BindStatisticsBuiltins();
    auto store = Column();
    auto ctx = std::make_unique<CEvalContext>();
    uint16_t function = Row(name);
    for (auto _ : state) {
        FormulaToken& range = ClearOperand(ctx->values[1]);
        range.type = kTokenArea;
        range.lastRow = kCells - 1;
        range.cells = store.get();
        benchmark::DoNotOptimize(Call(*ctx, function, 1));
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}

void BM_StdevOverColumn(benchmark::State& state) {
    OverColumn(state, "STDEV");
}
BENCHMARK(BM_StdevOverColumn)->Unit(benchmark::kMillisecond);

void BM_MedianOverColumn(benchmark::State& state) {
    OverColumn(state, "MEDIAN");
}
BENCHMARK(BM_MedianOverColumn)->Unit(benchmark::kMillisecond);

void Inverse(benchmark::State& state, const char* name, bool withDegrees) {
    BindStatisticsBuiltins();
    auto ctx = std::make_unique<CEvalContext>();
    uint16_t function = Row(name);
    double p = 0.001;
    for (auto _ : state) {
        FormulaToken& probability = ClearOperand(ctx->values[1]);
        probability.type = kTokenNumber;
        probability.number = p;
        if (withDegrees) {
            FormulaToken& degrees = ClearOperand(ctx->values[2]);
            degrees.type = kTokenNumber;
            degrees.number = 1 + double(int(p * 1000) % 60);
        }
        benchmark::DoNotOptimize(Call(*ctx, function, withDegrees ? 2 : 1));
        p = p >= 0.998 ? 0.001 : p + 0.001;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_NormsInv(benchmark::State& state) {
    Inverse(state, "NORMSINV", false);
}
BENCHMARK(BM_NormsInv);

void BM_TInv(benchmark::State& state) {
    Inverse(state, "TINV", true);
}
BENCHMARK(BM_TInv);

} // namespace

} // namespace vl
