// RTD and UDF without a bus: 100,000 UDF cells recalculated over an in-process client (goal:
// at least 500,000 calls a second), and the conversion of a 1,000 x 1,000 reply (goal: at
// least 10 million elements a second).
#include "formula/evalcontext.h"
#include "formula/operands.h"
#include "formula/recalc.h"
#include "functions/bindall/bindall.h"
#include "functions/general/automationclient.h"
#include "functions/general/variantvalue.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace vl;

// A server in the process whose "Add" sums its two numbers.
class CAddingClient : public IAutomationClient {
public:
    HRESULT CreateObject(std::string_view progId, uint32_t, uint64_t& object) override {
        if (progId != "Bench.Server") return REGDB_E_CLASSNOTREG;
        object = ++live;
        return S_OK;
    }
    HRESULT GetProperty(uint64_t, std::string_view, CVariant&) override { return E_FAIL; }
    HRESULT CallMethod(uint64_t, std::string_view name, std::span<const CVariant> arguments,
                       CVariant& out) override {
        if (name != "Add" || arguments.size() != 2) return E_FAIL;
        ++calls;
        out = CVariant::R8(arguments[0].real + arguments[1].real);
        return S_OK;
    }
    void Release(uint64_t) override { --live; }

    uint64_t live = 0;
    uint64_t calls = 0;
};

void BM_UdfCellsOverInProcessClient(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    BindAllFunctions();
    CAddingClient client;
    SetAutomationClient(&client);
    std::unique_ptr<CWorkbook> workbook = CreateWorkbook();
    CCellStore& cells =
        AsWorksheet(workbook->AppendTreeItem(TREE_TYPE_WORKSHEET, "Sheet1", 1))->cells;
    auto ctx = std::make_unique<CEvalContext>();
    CellCursor cursor;
    for (uint32_t r = 0; r < n; ++r) {
        CellBuffer b;
        MakeNumberCell(b, 0, r, r);
        cells.PutCell(b.data(), cursor);
        MakeFormulaCell(b, 1, r, FormulaHead{}, "=UDF(\"Bench.Server\",,\"Add\",RC[-1],1)");
        cells.PutCell(b.data(), cursor);
    }
    for (auto _ : state) benchmark::DoNotOptimize(RecalculateWorkbook(*workbook, *ctx));
    const uint8_t* last = FindCell(cells, n - 1, 1);
    if (client.calls != n * uint64_t(state.iterations()) || client.live != 0 || !last ||
        cell::CachedNumber(last) != double(n))
        state.SkipWithError("the cells did not all call the server");
    state.SetItemsProcessed(state.iterations() * n);
    SetAutomationClient(nullptr);
}
BENCHMARK(BM_UdfCellsOverInProcessClient)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_VariantToValueOfATable(benchmark::State& state) {
    const uint32_t n = uint32_t(state.range(0));
    auto table = CSafeArray::Create({{1, n}, {1, n}});
    for (uint32_t i = 0; i < n; ++i) {
        for (uint32_t j = 0; j < n; ++j) {
            const int32_t index[2] = {int32_t(i + 1), int32_t(j + 1)};
            table->PutElement(index, (i + j) % 3 ? CVariant::R8(i * 0.5 + j)
                                                 : CVariant::Integer(VT_I4, int64_t(j)));
        }
    }
    const CVariant reply = CVariant::Array(table);
    auto ctx = std::make_unique<CEvalContext>();
    for (auto _ : state) {
        FormulaToken value;
        VariantToValue(*ctx, reply, value);
        if (value.type != kTokenArray) state.SkipWithError("no array");
        ReleaseOperand(*ctx, value);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(n) * n);
}
BENCHMARK(BM_VariantToValueOfATable)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
