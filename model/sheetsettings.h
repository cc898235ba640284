#pragma once
// A worksheet's view settings and page setup, with their defaults and stored forms.

#include "model/rangedescriptor.h"
#include "model/stylerecords.h"

#include <cstdint>

namespace vl {

struct ViewSettingsRecord {
    BackgroundRecord background;
    uint8_t showGrid = 0;
    uint8_t gridColorGiven = 0;
    COLORREF gridColor = 0;
    uint8_t headingsColorGiven = 0;
    COLORREF headingsColor = 0;
    CellRef topLeft;
    CellRef selection[2];
    CellRef freezed; // flags 1: rows frozen at its row, 8: columns frozen at its column
    uint16_t scale = 0;
};

constexpr int kPageTextSize = 128;

enum PrintRangeKind : uint8_t {
    kPrintAll = 0,
    kPrintCellRange = 1,
    kPrintContainer = 2,
    kPrintSelection = 3,
    kPrintPageList = 4,
};

struct PageSetupRecord {
    char printerName[kPageTextSize] = {};
    char paperName[kPageTextSize] = {};
    uint8_t landscape = 0;
    uint8_t printRangeKind = kPrintAll;
    RangeDescriptor printRange;
    uint16_t printedContainer = 0;
    uint8_t fitToSheetSize = 0;
    uint16_t scale = 0;
    uint16_t firstPageNumber = 0;
    char pages[kPageTextSize] = {};
    char excludedRows[kPageTextSize] = {};
    char excludedColumns[kPageTextSize] = {};
    uint16_t copies = 0;
    uint8_t collate = 0;
    uint8_t backToFront = 0;
    double headerDistance = 0, footerDistance = 0; // millimetres
    char headerText[kPageTextSize] = {};
    char footerText[kPageTextSize] = {};
    ColoredFont headerFont;
    uint8_t onFirstPage = 0;
    double marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;
    uint8_t pagesPerSheetRows = 0, pagesPerSheetColumns = 0;
    uint8_t alignment = 0;
    uint8_t rowHeadings = 0, columnHeadings = 0;
};

// Page alignment bits: 1 left, 2 centre, 4 right; 8 top, 16 centre, 32 bottom.
constexpr uint8_t kPageAlignLeft = 1, kPageAlignCenter = 2, kPageAlignRight = 4;
constexpr uint8_t kPageAlignTop = 8, kPageAlignMiddle = 16, kPageAlignBottom = 32;
// The bit of each group that counts: the lowest one set, else left or top.
uint8_t PageHorizontalAlignment(uint8_t alignment);
uint8_t PageVerticalAlignment(uint8_t alignment);

// The first page number the record keeps, 1 to this; what a file stores of it, within.
constexpr uint16_t kMaxFirstPageNumber = 65534;
uint16_t StoredFirstPageNumber(const PageSetupRecord& page);

void InitViewSettings(ViewSettingsRecord& view);
void InitPageSetup(PageSetupRecord& page);

constexpr uint32_t kViewSettingsRecordSize = 472;
constexpr uint32_t kPageSetupRecordSize = 1152;
void WriteViewSettingsRecord(uint8_t* p, const ViewSettingsRecord& r);
void ReadViewSettingsRecord(const uint8_t* p, ViewSettingsRecord& r);
void WritePageSetupRecord(uint8_t* p, const PageSetupRecord& r);
void ReadPageSetupRecord(const uint8_t* p, PageSetupRecord& r);

} // namespace vl
