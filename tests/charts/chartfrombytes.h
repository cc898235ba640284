#pragma once
// A chart made from arbitrary bytes for the fuzz target and the randomized layout test: the
// default settings and series records patched by the input and read back by the record
// readers, then for every series in use point values stored by CollectSeriesPoints.

#include "charts/seriesdata.h"
#include "model/cellrecord.h"
#include "model/cellstore.h"
#include "model/chartrecords.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace vl::charttest {

struct Bytes {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    uint8_t Byte() { return pos < size ? data[pos++] : 0; }
    uint16_t U16() { return uint16_t(Byte() | Byte() << 8); }
    bool More() const { return pos < size; }
};

// Values the input picks from, with raw doubles besides.
inline double PickValue(Bytes& in) {
    static const double kValues[] = {0,       1,        -1,       5,    97,   -3,    1e-310,
                                     1.7e308, -1.7e308, 1e-300,   0.5,  1000, -1000, 65535,
                                     3.25,    -0.0,     2.2e-308, 1e15, -7,   1e308};
    const uint8_t b = in.Byte();
    if (b < 240) return kValues[b % 20] * (1 + (b / 20));
    double raw = 0;
    for (int k = 0; k < 8; ++k) reinterpret_cast<uint8_t*>(&raw)[k] = in.Byte();
    return raw;
}

// The chart; the last-step result of the data update in `collected` (false when a series
// could not be stored).
inline std::unique_ptr<CChart> ChartFromBytes(const uint8_t* data, size_t size, bool& collected) {
    Bytes in{data, size};
    auto chart = NewBlockObject<CChart>(uint8_t(1 + in.Byte() % 3));
    std::vector<uint8_t> settings(kChartSettingsRecordSize);
    std::vector<uint8_t> series(kSeriesSettingsRecordSize * kChartSeries);
    chart->settings.seriesCount = uint8_t(1 + in.Byte() % 16);
    for (int i = 0; i < kChartSeries; ++i) {
        chart->series[i].settings.role = uint8_t(1 + in.Byte() % 4);
        WriteSeriesSettingsRecord(&series[size_t(i) * kSeriesSettingsRecordSize],
                                  chart->series[i].settings);
    }
    WriteChartSettingsRecord(settings.data(), chart->settings);
    // Patches: a record (0 the settings, 1 to 16 a series), an offset and a byte.
    for (int n = in.Byte(); n > 0 && in.More(); --n) {
        const uint8_t record = in.Byte() % 17;
        const uint16_t offset = in.U16();
        const uint8_t value = in.Byte();
        if (record == 0)
            settings[offset % kChartSettingsRecordSize] = value;
        else
            series[(record - 1) * kSeriesSettingsRecordSize + offset % kSeriesSettingsRecordSize] =
                value;
    }
    ReadChartSettingsRecord(settings.data(), chart->settings);
    for (int i = 0; i < kChartSeries; ++i)
        ReadSeriesSettingsRecord(&series[size_t(i) * kSeriesSettingsRecordSize],
                                 chart->series[i].settings);
    collected = true;
    const int used =
        chart->settings.seriesCount < kChartSeries ? chart->settings.seriesCount : kChartSeries;
    for (int i = 0; i < used && collected; ++i) {
        const uint32_t rows = 1 + in.Byte() % 40, columns = 1 + in.Byte() % 3;
        CCellStore store;
        for (uint32_t k = 0; k < rows * columns && in.More(); ++k) {
            CellBuffer b;
            const uint8_t kind = in.Byte();
            const uint16_t column = uint16_t(k % columns);
            const uint32_t row = k / columns;
            if (kind % 4 == 0) continue; // an empty cell
            if (kind % 4 == 1)
                MakeTextCell(b, column, row, "label text of the cell");
            else
                MakeNumberCell(b, column, row, PickValue(in));
            CellCursor cursor;
            store.PutCell(b.data(), cursor);
        }
        collected = CollectSeriesPoints(*chart, uint16_t(i), store.FirstPage(), rows, columns);
    }
    return chart;
}

} // namespace vl::charttest
