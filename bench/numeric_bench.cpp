// Numeric methods through the function table over worksheet ranges: MTXSVD of a 200 x 200
// system and LPROG of a dense 200 x 200 problem (<= rows, b > 0), with the simplex pivots
// counted.
#include "formula/operands.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/simplex.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace vl {

namespace {

constexpr uint16_t kSize = 200;

// Columns 0..199 hold the matrix, column 200 the right-hand side, 201 the types and 202
// the costs.
std::unique_ptr<CCellStore> Problem(bool positive) {
    auto store = std::make_unique<CCellStore>();
    CellCursor cursor{kAdvance, nullptr, 0};
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return double((seed >> 8) % 1000) / 100.0; // 0 .. 9.99
    };
    for (uint32_t row = 0; row < kSize; ++row) {
        for (uint16_t col = 0; col < kSize + 3; ++col) {
            double value = col < kSize        ? (positive ? next() + 0.01 : next() - 5)
                           : col == kSize     ? 100 + next()
                           : col == kSize + 1 ? 1
                                              : 1 + next();
            CellBuffer b;
            MakeNumberCell(b, col, row, value);
            if (!store->PutCell(b.bytes, cursor)) std::abort();
        }
    }
    return store;
}

uint16_t Row(const char* name) {
    uint16_t index = 0;
    std::size_t end = 0;
    if (!FindBuiltinFunction(std::string(name) + "(", index, end)) std::abort();
    return index;
}

void Area(FormulaToken& slot, CCellStore* cells, uint16_t firstColumn, uint16_t lastColumn) {
    ClearOperand(slot);
    slot.type = kTokenArea;
    slot.firstColumn = firstColumn;
    slot.lastColumn = lastColumn;
    slot.lastRow = kSize - 1;
    slot.cells = cells;
}

void Number(FormulaToken& slot, double value) {
    ClearOperand(slot);
    slot.type = kTokenNumber;
    slot.number = value;
}

void Empty(FormulaToken& slot) {
    ClearOperand(slot);
    slot.type = kTokenEmpty;
}

void Call(CEvalContext& ctx, uint16_t function, uint16_t count) {
    FormulaToken& call = ClearOperand(ctx.values[count + 1]);
    call.type = kTokenFunction;
    call.functionIndex = function;
    call.firstArgument = 1;
    ctx.valueCount = uint16_t(count + 1);
    if (!EvalToken(ctx) || ctx.values[1].error) std::abort();
    ctx.valueCount = 0;
    ctx.scratch.ReleaseArrays();
}

void BM_MtxSvd200(benchmark::State& state) {
    BindNumericMethodBuiltins();
    auto store = Problem(false);
    auto ctx = std::make_unique<CEvalContext>();
    uint16_t function = Row("MTXSVD");
    for (auto _ : state) {
        Area(ctx->values[1], store.get(), 0, kSize - 1);
        Area(ctx->values[2], store.get(), kSize, kSize);
        Empty(ctx->values[3]);
        Number(ctx->values[4], 1);
        Call(*ctx, function, 4);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MtxSvd200)->Unit(benchmark::kMillisecond);

void BM_LProgDense200(benchmark::State& state) {
    BindNumericMethodBuiltins();
    auto store = Problem(true);
    auto ctx = std::make_unique<CEvalContext>();
    uint16_t function = Row("LPROG");
    uint64_t pivots = SimplexPivotCount();
    for (auto _ : state) {
        Area(ctx->values[1], store.get(), 0, kSize - 1);
        Area(ctx->values[2], store.get(), kSize + 1, kSize + 1);
        Area(ctx->values[3], store.get(), kSize, kSize);
        Area(ctx->values[4], store.get(), kSize + 2, kSize + 2);
        Number(ctx->values[5], 1);
        Empty(ctx->values[6]);
        Empty(ctx->values[7]);
        Call(*ctx, function, 7);
    }
    pivots = SimplexPivotCount() - pivots;
    state.SetItemsProcessed(state.iterations());
    state.counters["pivots/solve"] = double(pivots) / double(state.iterations());
    state.counters["pivots/s"] = benchmark::Counter(double(pivots), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LProgDense200)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl
