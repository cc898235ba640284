// The XML workbook form with charts: saving and loading 100 worksheets of 10 containers,
// each holding a chart of 16 series, in memory. Throughput is the document's size per second.

#include "files/xmlworkbook.h"
#include "model/container.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace vl {

namespace {

constexpr int kSheets = 100;
constexpr int kContainersPerSheet = 10;

// Sigma, X and value series of every kind the chart's type has, with their texts filled.
void FillChart(CChart& chart, int number) {
    const uint8_t type = chart.settings.type;
    const uint8_t firstKind = type == kChart3D ? 7 : 1;
    const uint8_t kinds = type == kChart3D ? 5 : type == kChartXY ? 1 : 6;
    for (uint16_t i = 0; i < kChartSeries; ++i) {
        InitSeries(chart, i);
        SeriesSettings& s = chart.series[i].settings;
        s.role = i == 0 ? 4 : i == 1 ? (type == kChartXY ? 2 : 3) : 1;
        if (s.role == 1 && type != kChartXY) s.kind = uint8_t(firstKind + i % kinds);
        const std::string name = "Series " + std::to_string(number) + "." + std::to_string(i);
        CopyTextField(s.name, name.c_str(), kChartTextSize);
        CopyTextField(s.relatedX, "Series X", kChartTextSize);
        CopyTextField(s.dataArray, "'Sheet 1'!R2C1:R250C1", kDataArraySize);
        CopyTextField(s.axisTitle, "Values in thousands", kChartTextSize);
        s.rangeFlags = kFromValueGiven | kToValueGiven;
        s.fromValue = -12.5;
        s.toValue = 1250.75;
        s.userGridCount = 2;
        s.userGridValues[0] = 100;
        s.userGridValues[1] = 0.333;
    }
    chart.settings.seriesCount = kChartSeries;
    chart.settings.legendCode = 5;
    CopyTextField(chart.settings.titleText[0], "Quarterly results", kChartTextSize);
}

CWorkbook& Book() {
    static std::unique_ptr<CWorkbook> book = [] {
        auto b = CreateWorkbook();
        for (int w = 0; w < kSheets; ++w) {
            const std::string name = "Sheet " + std::to_string(w + 1);
            auto* ws =
                static_cast<CWorksheet*>(b->AppendTreeItem(TREE_TYPE_WORKSHEET, name.c_str(), 1));
            for (int k = 0; k < kContainersPerSheet; ++k) {
                auto c = NewBlockObject<CContainer>();
                InitContainerDefaults(*c, nullptr, nullptr);
                c->settings.id = uint16_t(w * kContainersPerSheet + k + 1);
                c->slots[0].kind = kObjectChart;
                c->slots[0].chart = NewBlockObject<CChart>(uint8_t(1 + k % 3));
                FillChart(*c->slots[0].chart, k);
                c->settings.objectCount = 1;
                LinkContainer(*ws, std::move(c));
            }
        }
        b->tree.active = AsWorksheet(b->tree.first);
        return b;
    }();
    return *book;
}

const std::string& Document() {
    static const std::string doc = [] {
        CXmlWriter writer;
        if (!WriteXmlWorkbook(Book(), writer)) std::abort();
        return writer.Memory();
    }();
    return doc;
}

void BM_XmlChartsSave(benchmark::State& state) {
    CWorkbook& book = Book();
    for (auto _ : state) {
        CXmlWriter writer;
        if (!WriteXmlWorkbook(book, writer)) std::abort();
        benchmark::DoNotOptimize(writer.Memory().data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Document().size()));
    state.counters["document_bytes"] = double(Document().size());
}

void BM_XmlChartsLoad(benchmark::State& state) {
    const std::string& doc = Document();
    for (auto _ : state) {
        auto book = CreateWorkbook();
        CXmlReader reader;
        reader.ResetMemory(doc);
        if (!ReadXmlWorkbook(*book, reader)) std::abort();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(doc.size()));
    state.counters["document_bytes"] = double(doc.size());
}

BENCHMARK(BM_XmlChartsSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlChartsLoad)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl
