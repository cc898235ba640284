#pragma once
// Containers: windows anchored on a worksheet that hold charts. A worksheet keeps its
// containers in a doubly linked list and owns them; a container owns its charts.

#include "model/blockobject.h"
#include "model/chart.h"
#include "model/rangedescriptor.h"
#include "model/stylerecords.h"
#include "platform/core/packeddib.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vl {

class CWorksheet;

constexpr int kMaxContainerObjects = 255;
constexpr uint8_t kObjectChart = 1;
// Status after a copy that ran out of memory.
constexpr uint8_t kContainerCopyFailed = 4;

// The stored part of a container, copied as one block by the copy operations.
struct ContainerSettings {
    uint16_t id = 0;
    uint8_t columns = 0, rows = 0;
    uint8_t vertSpacing = 0, horzSpacing = 0;
    uint8_t opacity = 0;
    CellRef anchor;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    ColoredFont titleFont[2];
    char titleText[2][kChartTextSize] = {};
    BackgroundRecord background;
    BorderLine border;
    uint8_t objectCount = 0;
};

struct ContainerSlot {
    uint8_t kind = 0;
    std::unique_ptr<CChart> chart; // kind 1
    uint16_t id = 0;
};

// The drawn fractal background, cached by the painter: a 24-bit top-down packed bitmap.
struct FractalBitmap {
    PackedDib dib;
};

class CContainer : public BlockAllocated {
public:
    CContainer() = default;
    ~CContainer();
    CContainer(const CContainer&) = delete;
    CContainer& operator=(const CContainer&) = delete;

    ContainerSettings settings;
    std::unique_ptr<FractalBitmap> fractalCache;
    int32_t selected = -1;
    ContainerSlot slots[kMaxContainerObjects];
    CContainer* prev = nullptr; // the worksheet's list
    CContainer* next = nullptr;
    uint8_t status = 0;
};

struct ContainerFrame {
    int32_t left, top, right, bottom;
};

// Defaults of a new container; without an anchor its flags are 9, without a frame the
// placement is 10, 10, 360, 260.
void InitContainerDefaults(CContainer& c, const CellRef* anchor, const ContainerFrame* frame);
// Appends the container at the end of the worksheet's list, which takes it over.
void LinkContainer(CWorksheet& ws, std::unique_ptr<CContainer> c);
// Takes a container out of the worksheet's list and hands it back.
std::unique_ptr<CContainer> UnlinkContainer(CWorksheet& ws, CContainer* c);
CContainer* FindContainer(const CWorksheet& ws, uint16_t id);
void ClearContainerItems(CContainer& c);
void FreeContainerFractalCache(CContainer& c);
// Copies the chart's stored settings and its used series' settings, not their data.
void CopyChart(const CChart& source, CChart& dest);
bool CopyContainerTo(const CContainer& source, CContainer& dest);
// A copy, or null with the source's status set to 4.
std::unique_ptr<CContainer> CloneContainer(CContainer& source);

constexpr uint32_t kContainerSettingsRecordSize = 984;
void WriteContainerSettingsRecord(uint8_t* p, const ContainerSettings& s);
void ReadContainerSettingsRecord(const uint8_t* p, ContainerSettings& s);

} // namespace vl
