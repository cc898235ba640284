#pragma once
// Charts to draw in tests and benchmarks: series collected from values or texts as the data
// update stores them, fonts that every machine has, and a container that holds the chart.

#include "charts/scales.h"
#include "charts/seriesdata.h"
#include "model/cellrecord.h"
#include "model/cellstore.h"
#include "model/container.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace vl::charttest {

inline FontRecord SansFont(uint8_t size) {
    FontRecord f;
    std::strncpy(f.faceName, "DejaVu Sans", kFaceNameSize - 1);
    f.size = size;
    return f;
}

// Collects the cells (numbers, texts, or empty for NaN and "") into series n.
inline bool CollectCells(CChart& chart, uint16_t n, const std::vector<double>& numbers,
                         const std::vector<std::string>& texts) {
    CCellStore store;
    const size_t rows = std::max(numbers.size(), texts.size());
    for (uint32_t row = 0; row < rows; ++row) {
        CellBuffer b;
        if (row < texts.size() && !texts[row].empty())
            MakeTextCell(b, 0, row, texts[row]);
        else if (row < numbers.size() && !std::isnan(numbers[row]))
            MakeNumberCell(b, 0, row, numbers[row]);
        else
            continue;
        CellCursor cursor;
        if (!store.PutCell(b.data(), cursor)) return false;
    }
    ResetSeriesData(chart, n);
    return CollectSeriesPoints(chart, n, store.FirstPage(), rows ? uint32_t(rows) : 1, 1);
}

// A chart of the type with readable fonts everywhere.
inline std::unique_ptr<CChart> NewDrawnChart(uint8_t type) {
    auto chart = NewBlockObject<CChart>(type);
    InitChartSettings(*chart);
    for (ColoredFont& f : chart->settings.titleFont) f.font = SansFont(10);
    chart->settings.legendFont.font = SansFont(8);
    return chart;
}

// Series n with its defaults, the role, kind and name, and the values collected.
inline CChartSeries& PutSeries(CChart& chart, uint16_t n, const char* name,
                               const std::vector<double>& values, uint8_t kind, uint8_t role = 1) {
    InitSeries(chart, n);
    CChartSeries& s = chart.series[n];
    s.settings.role = role;
    s.settings.kind = kind;
    std::strncpy(s.settings.name, name, kChartTextSize - 1);
    s.settings.font.font = SansFont(7);
    s.settings.axisFont.font = SansFont(7);
    if (chart.settings.seriesCount <= n) chart.settings.seriesCount = uint8_t(n + 1);
    CollectCells(chart, n, values, {});
    return s;
}

// A categories series of texts with a category axis (ticks, labels, one period a label).
inline CChartSeries& PutCategories(CChart& chart, uint16_t n,
                                   const std::vector<std::string>& texts) {
    InitSeries(chart, n);
    CChartSeries& s = chart.series[n];
    s.settings.role = 3;
    std::strncpy(s.settings.name, "Categories", kChartTextSize - 1);
    s.settings.axisFont.font = SansFont(7);
    s.settings.axisType = 1;
    s.settings.periods = uint16_t(texts.size());
    if (chart.settings.seriesCount <= n) chart.settings.seriesCount = uint8_t(n + 1);
    CollectCells(chart, n, {}, texts);
    return s;
}

inline void SetText(char* field, const char* text) {
    std::strncpy(field, text, kChartTextSize - 1);
}

// A container of one column and row holding the chart.
inline std::unique_ptr<CContainer> ContainerOf(std::unique_ptr<CChart> chart) {
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    c->settings.id = 1;
    c->settings.columns = c->settings.rows = 1;
    c->slots[0].kind = kObjectChart;
    c->slots[0].chart = std::move(chart);
    c->settings.objectCount = 1;
    return c;
}

} // namespace vl::charttest
