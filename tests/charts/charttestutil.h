#pragma once
// Charts for the chart tests: series whose points are collected from numbers put in a
// scratch store as an evaluated array would hold them.

#include "charts/seriesdata.h"
#include "model/cellrecord.h"
#include "model/cellstore.h"
#include "model/chart.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vl::charttest {

// A value of a test column that stands for an empty cell.
inline const double kEmpty = std::nan("");

struct ChartFixture {
    std::unique_ptr<CChart> chart;

    explicit ChartFixture(uint8_t type = kChart2D) : chart(NewBlockObject<CChart>(type)) {}

    // Series n gets the role and kind and the values, one a row, collected as the data update
    // stores them.
    CChartSeries& Series(uint16_t n, const std::vector<double>& values, uint8_t role = 1,
                         uint8_t kind = 1) {
        CChartSeries& s = chart->series[n];
        s.settings.role = role;
        s.settings.kind = kind;
        if (chart->settings.seriesCount <= n) chart->settings.seriesCount = uint8_t(n + 1);
        Collect(n, values);
        return s;
    }
    void Collect(uint16_t n, const std::vector<double>& values) {
        CCellStore store;
        for (uint32_t row = 0; row < values.size(); ++row) {
            if (std::isnan(values[row])) continue;
            CellBuffer b;
            MakeNumberCell(b, 0, row, values[row]);
            CellCursor cursor;
            EXPECT_TRUE(store.PutCell(b.data(), cursor));
        }
        ResetSeriesData(*chart, n);
        const uint32_t rows = values.empty() ? 1 : uint32_t(values.size());
        EXPECT_TRUE(CollectSeriesPoints(*chart, n, store.FirstPage(), rows, 1));
    }
    ChartPoint Point(uint16_t n, uint32_t i) {
        ChartPoint p;
        std::memcpy(&p, chart->series[n].points.GetItem16(i), sizeof p);
        return p;
    }
};

} // namespace vl::charttest
