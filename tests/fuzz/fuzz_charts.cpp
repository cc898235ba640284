// Chart settings and series records from arbitrary bytes, their points stored by the data
// update and their scales computed: nothing crashes or hangs, and a failure is one of the
// chart codes.

#include "charts/scales.h"
#include "harness.h"
#include "tests/charts/chartfrombytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vl;
    bool collected = false;
    auto chart = charttest::ChartFromBytes(data, size, collected);
    fuzz::Require(chart != nullptr);
    if (!collected) {
        fuzz::Require(chart->error == kErrorNone || chart->error == kErrorChartMemory);
        return 0;
    }
    const bool scaled = UpdateChartScales(*chart);
    fuzz::Require(scaled == ((chart->flags & kChartScalesValid) != 0));
    fuzz::Require(scaled ||
                  (chart->error >= kErrorChartMemory && chart->error <= kErrorChartGridlines));
    return 0;
}
