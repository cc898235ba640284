#include "dialogs/chart/containeredit.h"

#include "platform/core/errorcode.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

namespace vl {

namespace {

enum : int { kMixedViews3D = 155, kMissingXSeries = 152, kMissingErrorBars = 153 };

bool SameName(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(uint8_t(*a)) != std::tolower(uint8_t(*b))) return false;
    return *a == *b;
}

bool HasSeries(const CChart& chart, uint8_t role, const char* name) {
    for (int i = 0; i < chart.settings.seriesCount; ++i) {
        const SeriesSettings& s = chart.series[i].settings;
        if (s.role == role && SameName(s.name, name)) return true;
    }
    return false;
}

bool MixedViews(const CChart& chart) {
    const SeriesSettings* first = nullptr;
    for (int i = 0; i < chart.settings.seriesCount; ++i) {
        const SeriesSettings& s = chart.series[i].settings;
        if (s.role != 1) continue;
        if (!first)
            first = &s;
        else if (s.kind != first->kind || s.stacked != first->stacked ||
                 s.relative != first->relative)
            return true;
    }
    return false;
}

bool MissesXSeries(const CChart& chart) {
    for (int i = 0; i < chart.settings.seriesCount; ++i) {
        const SeriesSettings& s = chart.series[i].settings;
        if (s.role == 1 && (!s.relatedX[0] || !HasSeries(chart, 2, s.relatedX))) return true;
    }
    return false;
}

bool MissesErrorBars(const CChart& chart, bool xSeriesToo) {
    for (int i = 0; i < chart.settings.seriesCount; ++i) {
        const SeriesSettings& s = chart.series[i].settings;
        const bool checked = s.role == 1 || (xSeriesToo && s.role == 2);
        if (checked && s.relatedSigma[0] && !HasSeries(chart, 4, s.relatedSigma)) return true;
    }
    return false;
}

} // namespace

std::string ChartObjectLabel(const CContainer& c, int slot) {
    if (slot < 0 || slot >= kMaxContainerObjects || !c.slots[slot].chart) return {};
    const uint8_t type = c.slots[slot].chart->settings.type;
    const char* name = type == kChart3D ? "3D Chart" : type == kChartXY ? "XY Chart" : "2D Chart";
    return std::string(name) + ' ' + std::to_string(slot + 1) + '.';
}

const char* SeriesTypeLabel(uint8_t chartType, int position) {
    static const char* const kPlain[] = {"Data", "Categories", "Error bars"};
    static const char* const kXY[] = {"Y-series", "X-series", "Error bars"};
    if (position < 0 || position > 2) return "";
    return chartType == kChartXY ? kXY[position] : kPlain[position];
}

uint8_t RoleOfPosition(uint8_t chartType, int position) {
    if (position == 1) return chartType == kChartXY ? 2 : 3;
    return position == 2 ? 4 : 1;
}

int PositionOfRole(uint8_t role) {
    switch (role) {
    case 1:
        return 0;
    case 2:
    case 3:
        return 1;
    case 4:
        return 2;
    default:
        return -1;
    }
}

int AddChartObject(CContainer& c, uint8_t chartType) {
    ContainerSettings& s = c.settings;
    if (s.objectCount >= kMaxContainerObjects) return kErrorTooManyObjects;
    auto chart = NewBlockObject<CChart>(chartType);
    if (!chart) return kErrorContainerMemory;
    if (s.objectCount >= s.columns * s.rows) {
        if (s.rows < s.columns)
            ++s.rows;
        else
            ++s.columns;
    }
    ContainerSlot& slot = c.slots[s.objectCount];
    slot.kind = kObjectChart;
    slot.chart = std::move(chart);
    ++s.objectCount;
    return 0;
}

int RemoveChartObject(CContainer& c, int slot) {
    const int count = c.settings.objectCount;
    if (slot < 0 || slot >= count) return slot;
    c.slots[slot].chart.reset();
    for (int i = slot; i + 1 < count; ++i) {
        c.slots[i].kind = c.slots[i + 1].kind;
        c.slots[i].id = c.slots[i + 1].id;
        c.slots[i].chart = std::move(c.slots[i + 1].chart);
    }
    c.slots[count - 1] = ContainerSlot{};
    --c.settings.objectCount;
    return c.settings.objectCount - 1;
}

bool MoveChartObject(CContainer& c, int& slot, bool later) {
    const int other = later ? slot + 1 : slot - 1;
    if (slot < 0 || other < 0 || other >= c.settings.objectCount) return false;
    std::swap(c.slots[slot].kind, c.slots[other].kind);
    std::swap(c.slots[slot].id, c.slots[other].id);
    std::swap(c.slots[slot].chart, c.slots[other].chart);
    slot = other;
    return true;
}

int AddChartSeries(CChart& chart) {
    const int index = chart.settings.seriesCount;
    if (index >= kChartSeries) return -1;
    ResetSeriesData(chart, uint16_t(index));
    InitSeries(chart, uint16_t(index));
    chart.settings.seriesCount = uint8_t(index + 1);
    return index;
}

int RemoveChartSeries(CChart& chart, int index) {
    const int count = chart.settings.seriesCount;
    if (index < 0 || index >= count) return index;
    ResetSeriesData(chart, uint16_t(index));
    for (int i = index; i + 1 < count; ++i) chart.series[i].settings = chart.series[i + 1].settings;
    ResetSeriesData(chart, uint16_t(count - 1));
    chart.series[count - 1].settings = SeriesSettings{};
    chart.settings.seriesCount = uint8_t(count - 1);
    chart.flags = 0;
    return index < count - 1 ? index : index - 1;
}

void CarrySeriesRename(CChart& chart, int index, const char* oldName) {
    const int count = chart.settings.seriesCount;
    if (index < 0 || index >= count || !oldName[0]) return;
    const char* name = chart.series[index].settings.name;
    if (SameName(name, oldName)) return;
    // Another series still of the old name still answers to it.
    for (int i = 0; i < count; ++i)
        if (i != index && SameName(chart.series[i].settings.name, oldName)) return;
    for (int i = 0; i < count; ++i) {
        SeriesSettings& s = chart.series[i].settings;
        for (char* link : {s.relatedX, s.relatedSigma}) {
            if (i == index || !SameName(link, oldName)) continue;
            std::memcpy(link, name, std::min(std::strlen(name) + 1, std::size_t(kChartTextSize)));
            link[kChartTextSize - 1] = 0;
        }
    }
}

int ContainerApplyProblem(const CContainer& c) {
    const int count = c.settings.objectCount;
    for (int i = 0; i < count; ++i) {
        const CChart* chart = c.slots[i].chart.get();
        if (chart && chart->settings.type == kChart3D && MixedViews(*chart)) return kMixedViews3D;
    }
    for (int i = 0; i < count; ++i) {
        const CChart* chart = c.slots[i].chart.get();
        if (chart && chart->settings.type == kChartXY && MissesXSeries(*chart))
            return kMissingXSeries;
    }
    for (int i = 0; i < count; ++i) {
        const CChart* chart = c.slots[i].chart.get();
        if (!chart || chart->settings.type == kChart3D) continue;
        if (MissesErrorBars(*chart, chart->settings.type == kChartXY)) return kMissingErrorBars;
    }
    return 0;
}

bool NameNeedsQuotes(std::string_view path) {
    for (size_t i = 0; i < path.size(); ++i) {
        const uint8_t ch = uint8_t(path[i]);
        const bool letter = std::isalpha(ch) != 0;
        // A name of the path may not start with a digit.
        const bool digitFits = i > 0 && path[i - 1] != '\\' && std::isdigit(ch);
        const bool fits = letter || digitFits || ch == '_' || ch == '\\';
        if (!fits) return true;
    }
    return false;
}

std::string QualifiedReference(std::string_view path, std::string_view reference) {
    std::string text;
    if (NameNeedsQuotes(path))
        text.append("\"").append(path).append("\"");
    else
        text.append(path);
    return text.append("!").append(reference);
}

} // namespace vl
