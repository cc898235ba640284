#pragma once
// The stored forms of a chart: its settings record (the chart's bytes 4 to 735), its view
// matrix record and one record per used series. Reserved bytes are written as zero.

#include "model/chart.h"

#include <cstdint>

namespace vl {

constexpr uint32_t kChartSettingsRecordSize = 732;
constexpr uint32_t kViewMatrixRecordSize = 64;
constexpr uint32_t kSeriesSettingsRecordSize = 3528;

void WriteChartSettingsRecord(uint8_t* p, const ChartSettings& s);
void ReadChartSettingsRecord(const uint8_t* p, ChartSettings& s);
void WriteViewMatrixRecord(uint8_t* p, const float matrix[16]);
void ReadViewMatrixRecord(const uint8_t* p, float matrix[16]);
void WriteSeriesSettingsRecord(uint8_t* p, const SeriesSettings& s);
void ReadSeriesSettingsRecord(const uint8_t* p, SeriesSettings& s);

} // namespace vl
