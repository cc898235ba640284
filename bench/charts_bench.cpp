// Chart data throughput: the refresh of a chart of 16 series over 10,000 and 100,000 cells
// each, evaluation included (goal: 5 million points a second, the per-point cost flat from
// the one size to the other), and the scale computation alone (goal: 50 million points a
// second).

#include "charts/scales.h"
#include "charts/seriesdata.h"
#include "formula/workbookcontext.h"
#include "model/container.h"
#include "model/workbook.h"
#include "model/worksheet.h"
#include "tests/charts/chartcontainer.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace vl {

namespace {

struct ChartBook {
    std::unique_ptr<CWorkbook> book = CreateWorkbook();
    CTreeItem* item = nullptr;
    CContainer* container = nullptr;

    explicit ChartBook(uint32_t rows) {
        item = book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Data", 1);
        CWorksheet& sheet = *AsWorksheet(item);
        for (uint32_t row = 0; row < rows; ++row)
            for (uint16_t column = 0; column < kChartSeries; ++column) {
                CellBuffer b;
                MakeNumberCell(b, column, row, double((row * 7 + column * 13) % 1000) - 300);
                CellCursor cursor;
                if (!sheet.cells.PutCell(b.data(), cursor)) std::abort();
            }
        auto c = charttest::ChartContainer(1);
        CChart& chart = *c->slots[0].chart;
        chart.settings.seriesCount = kChartSeries;
        for (int k = 0; k < kChartSeries; ++k) {
            chart.series[k].settings.role = 1;
            const std::string range = "R1C" + std::to_string(k + 1) + ":R" + std::to_string(rows) +
                                      "C" + std::to_string(k + 1);
            range.copy(chart.series[k].settings.dataArray, range.size());
        }
        container = c.get();
        LinkContainer(sheet, std::move(c));
        if (!AttachEvalContext(*book)) std::abort();
    }
    CChart& Chart() { return *container->slots[0].chart; }
};

void BM_RefreshCharts(benchmark::State& state) {
    const uint32_t rows = uint32_t(state.range(0));
    ChartBook book(rows);
    for (auto _ : state)
        if (!RefreshContainerCharts(*book.book, *book.item, *book.container)) std::abort();
    state.SetItemsProcessed(int64_t(state.iterations()) * rows * kChartSeries);
}
BENCHMARK(BM_RefreshCharts)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_UpdateChartScales(benchmark::State& state) {
    const uint32_t rows = uint32_t(state.range(0));
    ChartBook book(rows);
    if (!RefreshContainerCharts(*book.book, *book.item, *book.container)) std::abort();
    CChart& chart = book.Chart();
    for (auto _ : state) {
        for (CChartSeries& s : chart.series) s.scaled = 0;
        if (!UpdateChartScales(chart)) std::abort();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * rows * kChartSeries);
}
BENCHMARK(BM_UpdateChartScales)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl
