#include "model/container.h"

#include "model/worksheet.h"
#include "platform/core/bytes.h"

#include <cstring>

namespace vl {

namespace {

void InitContainerBackground(BackgroundRecord& b) {
    b = BackgroundRecord{};
    b.kind = kBackgroundPattern;
    b.pattern.pattern = FORMAT_PAT_SOLID;
    b.pattern.patternColor = b.pattern.backgroundColor = GetSystemColor(kColorWindow);
    b.zr = 0.11;
    b.zi = 0.66;
    b.minX = b.minY = -1.1;
    b.maxX = b.maxY = 1.1;
    for (int i = 0; i < 16; ++i) b.fractalColors[i] = ChartPaletteColor(i);
}

} // namespace

CContainer::~CContainer() {
    ClearContainerItems(*this);
}

void InitContainerDefaults(CContainer& c, const CellRef* anchor, const ContainerFrame* frame) {
    ContainerSettings& s = c.settings;
    s = ContainerSettings{};
    s.columns = s.rows = 1;
    s.vertSpacing = s.horzSpacing = 4;
    s.opacity = 100;
    if (anchor)
        s.anchor = *anchor;
    else
        s.anchor.flags = kRefRow | kRefColumn;
    const ContainerFrame placement = frame ? *frame : ContainerFrame{10, 10, 360, 260};
    s.left = placement.left;
    s.top = placement.top;
    s.right = placement.right;
    s.bottom = placement.bottom;
    s.titleFont[0].color = s.titleFont[1].color = GetSystemColor(kColorWindowText);
    InitContainerBackground(s.background);
    s.border = {FORMAT_LINE_SOLID, 0, GetSystemColor(kColorWindowText)};
    c.selected = -1;
    c.prev = c.next = nullptr;
    c.fractalCache.reset();
    c.status = 0;
}

void LinkContainer(CWorksheet& ws, std::unique_ptr<CContainer> c) {
    CContainer* last = ws.firstContainer;
    while (last && last->next) last = last->next;
    c->prev = last;
    c->next = nullptr;
    (last ? last->next : ws.firstContainer) = c.release();
}

std::unique_ptr<CContainer> UnlinkContainer(CWorksheet& ws, CContainer* c) {
    (c->prev ? c->prev->next : ws.firstContainer) = c->next;
    if (c->next) c->next->prev = c->prev;
    c->prev = c->next = nullptr;
    return std::unique_ptr<CContainer>(c);
}

CContainer* FindContainer(const CWorksheet& ws, uint16_t id) {
    for (CContainer* c = ws.firstContainer; c; c = c->next)
        if (c->settings.id == id) return c;
    return nullptr;
}

void FreeContainerFractalCache(CContainer& c) {
    if (c.settings.background.kind == kBackgroundFractal) c.fractalCache.reset();
}

void ClearContainerItems(CContainer& c) {
    for (ContainerSlot& slot : c.slots) {
        slot.chart.reset();
        slot.kind = 0;
    }
    c.settings.objectCount = 0;
    c.selected = -1;
    FreeContainerFractalCache(c);
}

void CopyChart(const CChart& source, CChart& dest) {
    ClearChart(dest);
    InitChartSettings(dest);
    dest.flags = dest.error = 0;
    dest.light[0] = dest.light[1] = 0;
    dest.light[2] = 1.0f;
    dest.canvas = nullptr;
    std::memset(dest.margins, 0, sizeof dest.margins);
    dest.settings = source.settings;
    std::memcpy(dest.viewMatrix, source.viewMatrix, sizeof dest.viewMatrix);
    for (int i = 0; i < source.settings.seriesCount && i < kChartSeries; ++i)
        if (source.series[i].settings.role != 0)
            dest.series[i].settings = source.series[i].settings;
    dest.gap = source.gap;
    dest.zoomX = source.zoomX;
    dest.zoomY = source.zoomY;
}

bool CopyContainerTo(const CContainer& source, CContainer& dest) {
    ClearContainerItems(dest);
    dest.settings = source.settings;
    if (source.settings.objectCount == 0) dest.selected = source.selected;
    for (int i = 0; i < kMaxContainerObjects; ++i) {
        const ContainerSlot& from = source.slots[i];
        ContainerSlot& to = dest.slots[i];
        to.kind = from.kind;
        to.id = from.id;
        if (from.kind != kObjectChart || !from.chart) continue;
        to.chart = NewBlockObject<CChart>(from.chart->settings.type);
        if (!to.chart) {
            ClearContainerItems(dest);
            return false;
        }
        CopyChart(*from.chart, *to.chart);
    }
    return true;
}

std::unique_ptr<CContainer> CloneContainer(CContainer& source) {
    auto copy = NewBlockObject<CContainer>();
    if (!copy) {
        source.status = kContainerCopyFailed;
        return nullptr;
    }
    InitContainerDefaults(*copy, nullptr, nullptr);
    if (!CopyContainerTo(source, *copy)) {
        source.status = kContainerCopyFailed;
        return nullptr;
    }
    copy->selected = source.selected;
    return copy;
}

void WriteContainerSettingsRecord(uint8_t* p, const ContainerSettings& s) {
    std::memset(p, 0, kContainerSettingsRecordSize);
    StoreU16(p, s.id);
    p[2] = s.columns;
    p[3] = s.rows;
    p[4] = s.vertSpacing;
    p[5] = s.horzSpacing;
    p[6] = s.opacity;
    WriteCellRef(p + 8, s.anchor);
    StoreI32(p + 20, s.left);
    StoreI32(p + 24, s.top);
    StoreI32(p + 28, s.right);
    StoreI32(p + 32, s.bottom);
    for (int t = 0; t < 2; ++t) {
        WriteColoredFont(p + 36 + 268 * t, s.titleFont[t]);
        WriteTextField(p + 176 + 268 * t, s.titleText[t], kChartTextSize);
    }
    WriteBackgroundRecord(p + 576, s.background);
    WriteBorderLine(p + 968, s.border);
    p[976] = s.objectCount;
}

void ReadContainerSettingsRecord(const uint8_t* p, ContainerSettings& s) {
    s.id = LoadU16(p);
    s.columns = p[2];
    s.rows = p[3];
    s.vertSpacing = p[4];
    s.horzSpacing = p[5];
    s.opacity = p[6];
    ReadCellRef(p + 8, s.anchor);
    s.left = LoadI32(p + 20);
    s.top = LoadI32(p + 24);
    s.right = LoadI32(p + 28);
    s.bottom = LoadI32(p + 32);
    for (int t = 0; t < 2; ++t) {
        ReadColoredFont(p + 36 + 268 * t, s.titleFont[t]);
        ReadTextField(p + 176 + 268 * t, s.titleText[t], kChartTextSize);
    }
    ReadBackgroundRecord(p + 576, s.background);
    ReadBorderLine(p + 968, s.border);
    s.objectCount = p[976];
}

} // namespace vl
