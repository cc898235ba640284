#pragma once
// A container of 2D charts for tests and benchmarks, each chart with one value series over
// a range.

#include "model/container.h"

#include <cstring>
#include <memory>

namespace vl::charttest {

// `charts` charts whose series 0 is a value series over `range` (none when null).
inline std::unique_ptr<CContainer> ChartContainer(int charts, const char* range = nullptr) {
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    c->settings.id = 1; // files refuse a container without an id
    for (int k = 0; k < charts; ++k) {
        c->slots[k].kind = kObjectChart;
        c->slots[k].chart = NewBlockObject<CChart>(kChart2D);
        if (!range) continue;
        CChart& chart = *c->slots[k].chart;
        chart.settings.seriesCount = 1;
        chart.series[0].settings.role = 1;
        std::strncpy(chart.series[0].settings.dataArray, range, kDataArraySize - 1);
    }
    c->settings.objectCount = uint8_t(charts);
    return c;
}

} // namespace vl::charttest
