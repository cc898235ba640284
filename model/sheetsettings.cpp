#include "model/sheetsettings.h"

#include "platform/core/bytes.h"

#include <algorithm>
#include <cstring>

namespace vl {

uint16_t StoredFirstPageNumber(const PageSetupRecord& page) {
    // A number the readers refuse would make the whole file unreadable.
    return std::clamp<uint16_t>(page.firstPageNumber, 1, kMaxFirstPageNumber);
}

uint8_t PageHorizontalAlignment(uint8_t alignment) {
    const uint8_t group = alignment & (kPageAlignLeft | kPageAlignCenter | kPageAlignRight);
    return group ? uint8_t(group & -group) : kPageAlignLeft;
}

uint8_t PageVerticalAlignment(uint8_t alignment) {
    const uint8_t group = alignment & (kPageAlignTop | kPageAlignMiddle | kPageAlignBottom);
    return group ? uint8_t(group & -group) : kPageAlignTop;
}

void InitViewSettings(ViewSettingsRecord& view) {
    view = ViewSettingsRecord{};
    BackgroundRecord& b = view.background;
    b.kind = kBackgroundPattern;
    b.pattern.pattern = FORMAT_PAT_SOLID;
    b.pattern.patternColor = b.pattern.backgroundColor = GetSystemColor(kColorWindow);
    b.imageView = 2;
    b.zr = 0.1;
    b.zi = 0.043;
    b.minX = b.minY = -1.1;
    b.maxX = b.maxY = 1.1;
    GetDefaultPalette16(b.fractalColors);
    view.showGrid = 1;
    view.gridColor = view.headingsColor = GetSystemColor(kColorButtonFace);
    view.scale = 100;
    // The flags of the top-left cell and the selection stay 0: the readers set them, and the
    // view uses only the column and row.
}

void InitPageSetup(PageSetupRecord& page) {
    page = PageSetupRecord{};
    page.scale = 100;
    page.firstPageNumber = 1;
    page.copies = 1;
    page.headerDistance = 12.7;
    page.footerDistance = 20.32;
    CopyTextField(page.headerText, "&c Document: &f", kPageTextSize);
    CopyTextField(page.footerText, "&c &p", kPageTextSize);
    page.headerFont.colorGiven = 1;
    page.headerFont.color = GetSystemColor(kColorWindowText);
    page.onFirstPage = 1;
    page.marginLeft = page.marginRight = 12.7;
    page.marginTop = 20.32;
    page.marginBottom = 27.939;
    page.pagesPerSheetRows = page.pagesPerSheetColumns = 1;
    page.rowHeadings = page.columnHeadings = 1;
}

void WriteViewSettingsRecord(uint8_t* p, const ViewSettingsRecord& r) {
    std::memset(p, 0, kViewSettingsRecordSize);
    WriteBackgroundRecord(p + 8, r.background);
    p[400] = r.showGrid;
    p[401] = r.gridColorGiven;
    StoreU32(p + 404, r.gridColor);
    p[408] = r.headingsColorGiven;
    StoreU32(p + 412, r.headingsColor);
    WriteCellRef(p + 416, r.topLeft);
    WriteCellRef(p + 428, r.selection[0]);
    WriteCellRef(p + 440, r.selection[1]);
    WriteCellRef(p + 452, r.freezed);
    StoreU16(p + 464, r.scale);
}

void ReadViewSettingsRecord(const uint8_t* p, ViewSettingsRecord& r) {
    ReadBackgroundRecord(p + 8, r.background);
    r.showGrid = p[400];
    r.gridColorGiven = p[401];
    r.gridColor = LoadU32(p + 404);
    r.headingsColorGiven = p[408];
    r.headingsColor = LoadU32(p + 412);
    ReadCellRef(p + 416, r.topLeft);
    ReadCellRef(p + 428, r.selection[0]);
    ReadCellRef(p + 440, r.selection[1]);
    ReadCellRef(p + 452, r.freezed);
    r.scale = LoadU16(p + 464);
}

void WritePageSetupRecord(uint8_t* p, const PageSetupRecord& r) {
    std::memset(p, 0, kPageSetupRecordSize);
    WriteTextField(p + 1, r.printerName, kPageTextSize);
    WriteTextField(p + 129, r.paperName, kPageTextSize);
    p[257] = r.landscape;
    p[260] = r.printRangeKind;
    WriteRangeDescriptor(p + 264, r.printRange);
    StoreU16(p + 288, r.printedContainer);
    p[290] = r.fitToSheetSize;
    StoreU16(p + 292, r.scale);
    StoreU16(p + 294, StoredFirstPageNumber(r));
    WriteTextField(p + 296, r.pages, kPageTextSize);
    WriteTextField(p + 424, r.excludedRows, kPageTextSize);
    WriteTextField(p + 552, r.excludedColumns, kPageTextSize);
    StoreU16(p + 680, r.copies);
    p[682] = r.collate;
    p[683] = r.backToFront;
    StoreF64(p + 688, r.headerDistance);
    StoreF64(p + 696, r.footerDistance);
    WriteTextField(p + 704, r.headerText, kPageTextSize);
    WriteTextField(p + 832, r.footerText, kPageTextSize);
    WriteColoredFont(p + 960, r.headerFont);
    p[1100] = r.onFirstPage;
    StoreF64(p + 1104, r.marginLeft);
    StoreF64(p + 1112, r.marginRight);
    StoreF64(p + 1120, r.marginTop);
    StoreF64(p + 1128, r.marginBottom);
    p[1136] = r.pagesPerSheetRows;
    p[1137] = r.pagesPerSheetColumns;
    p[1138] = r.alignment;
    p[1144] = r.rowHeadings;
    p[1145] = r.columnHeadings;
}

void ReadPageSetupRecord(const uint8_t* p, PageSetupRecord& r) {
    ReadTextField(p + 1, r.printerName, kPageTextSize);
    ReadTextField(p + 129, r.paperName, kPageTextSize);
    r.landscape = p[257];
    r.printRangeKind = p[260];
    ReadRangeDescriptor(p + 264, r.printRange);
    r.printedContainer = LoadU16(p + 288);
    r.fitToSheetSize = p[290];
    r.scale = LoadU16(p + 292);
    r.firstPageNumber = LoadU16(p + 294);
    ReadTextField(p + 296, r.pages, kPageTextSize);
    ReadTextField(p + 424, r.excludedRows, kPageTextSize);
    ReadTextField(p + 552, r.excludedColumns, kPageTextSize);
    r.copies = LoadU16(p + 680);
    r.collate = p[682];
    r.backToFront = p[683];
    r.headerDistance = LoadF64(p + 688);
    r.footerDistance = LoadF64(p + 696);
    ReadTextField(p + 704, r.headerText, kPageTextSize);
    ReadTextField(p + 832, r.footerText, kPageTextSize);
    ReadColoredFont(p + 960, r.headerFont);
    r.onFirstPage = p[1100];
    r.marginLeft = LoadF64(p + 1104);
    r.marginRight = LoadF64(p + 1112);
    r.marginTop = LoadF64(p + 1120);
    r.marginBottom = LoadF64(p + 1128);
    r.pagesPerSheetRows = p[1136];
    r.pagesPerSheetColumns = p[1137];
    r.alignment = p[1138];
    r.rowHeadings = p[1144];
    r.columnHeadings = p[1145];
}

} // namespace vl
