#include "files/bodycharts.h"

#include "files/bodycheck.h"
#include "model/chartrecords.h"
#include "model/container.h"
#include "model/viewtransform.h"
#include "model/worksheet.h"

namespace vl {

namespace {

const CChart* ChartAt(const CContainer& container, int slot) {
    const ContainerSlot& s = container.slots[slot];
    return s.kind == kObjectChart ? s.chart.get() : nullptr;
}

void WriteChart(CBodyOut& out, const CChart& chart) {
    uint8_t settings[kChartSettingsRecordSize];
    WriteChartSettingsRecord(settings, chart.settings);
    out.Bytes(settings, sizeof settings);
    uint8_t matrix[kViewMatrixRecordSize];
    WriteViewMatrixRecord(matrix, chart.viewMatrix);
    out.Bytes(matrix, sizeof matrix);
    uint8_t series[kSeriesSettingsRecordSize];
    for (int i = 0; i < chart.settings.seriesCount; ++i) {
        WriteSeriesSettingsRecord(series, chart.series[i].settings);
        out.Bytes(series, sizeof series);
    }
}

// Files without a stored matrix keep only the rotations: X, then Y, then Z.
void RebuildViewMatrix(CChart& chart) {
    const ChartSettings& s = chart.settings;
    ApplyChartTransform(chart.viewMatrix, kRotateX, ChartDegreesToRadians(s.rotationX));
    ApplyChartTransform(chart.viewMatrix, kRotateY, ChartDegreesToRadians(s.rotationY));
    ApplyChartTransform(chart.viewMatrix, kRotateZ, ChartDegreesToRadians(s.rotationZ));
}

ReadResult ReadChart(CBodyIn& in, CChart& chart, uint8_t version) {
    uint8_t settings[kChartSettingsRecordSize];
    if (!in.Bytes(settings, sizeof settings)) return ReadResult::kShort;
    ReadChartSettingsRecord(settings, chart.settings);
    if (chart.settings.seriesCount > kChartSeries) return ReadResult::kInvalid;
    if (version >= 3) {
        uint8_t matrix[kViewMatrixRecordSize];
        if (!in.Bytes(matrix, sizeof matrix)) return ReadResult::kShort;
        ReadViewMatrixRecord(matrix, chart.viewMatrix);
    } else {
        RebuildViewMatrix(chart);
    }
    uint8_t series[kSeriesSettingsRecordSize];
    for (int i = 0; i < chart.settings.seriesCount; ++i) {
        if (!in.Bytes(series, sizeof series)) return ReadResult::kShort;
        ReadSeriesSettingsRecord(series, chart.series[i].settings);
        if (!CheckSeries(chart.series[i].settings)) return ReadResult::kInvalid;
    }
    return ReadResult::kOk;
}

} // namespace

bool ContainerIsWritable(const CContainer& container) {
    for (int i = 0; i < container.settings.objectCount; ++i) {
        const CChart* chart = ChartAt(container, i);
        if (!chart || chart->settings.seriesCount > kChartSeries) return false;
    }
    return true;
}

void WriteContainer(CBodyOut& out, const CContainer& container) {
    uint8_t record[kContainerSettingsRecordSize];
    WriteContainerSettingsRecord(record, container.settings);
    out.Bytes(record, sizeof record);
    for (int i = 0; i < container.settings.objectCount; ++i)
        WriteChart(out, *ChartAt(container, i));
}

ReadResult ReadContainer(CBodyIn& in, CWorksheet& sheet, uint8_t version, uint16_t& runningId) {
    auto owned = NewBlockObject<CContainer>();
    if (!owned) return ReadResult::kNoMemory;
    CContainer& container = *owned;
    InitContainerDefaults(container, nullptr, nullptr);
    LinkContainer(sheet, std::move(owned));
    uint8_t record[kContainerSettingsRecordSize];
    if (!in.Bytes(record, sizeof record)) return ReadResult::kShort;
    ReadContainerSettingsRecord(record, container.settings);
    // Objects are taken one by one, so the count says only what has been read.
    const uint8_t objects = container.settings.objectCount;
    container.settings.objectCount = 0;
    if (version < 3) container.settings.id = ++runningId;
    if (!CheckCellRef(container.settings.anchor)) return ReadResult::kInvalid;
    for (int i = 0; i < objects; ++i) {
        auto chart = NewBlockObject<CChart>(uint8_t(0));
        if (!chart) return ReadResult::kNoMemory;
        ContainerSlot& slot = container.slots[i];
        slot.kind = kObjectChart;
        slot.chart = std::move(chart);
        container.settings.objectCount = uint8_t(i + 1);
        const ReadResult r = ReadChart(in, *slot.chart, version);
        if (r != ReadResult::kOk) return r;
    }
    return ReadResult::kOk;
}

} // namespace vl
