#include "print/pagination.h"

#include "core/integerlist.h"
#include "formula/celltext.h"
#include "model/cellstyle.h"
#include "model/container.h"
#include "platform/core/bytes.h"
#include "render/canvas.h"
#include "render/metrics.h"
#include "render/rowscan.h"
#include "render/textflow.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace vl {

namespace {

void WritePageRecord(uint8_t* p, const PageRecord& r) {
    std::memset(p, 0, kPageRecordSize);
    StoreU16(p, r.objectId);
    StoreU32(p + 2, r.firstRow);
    StoreU32(p + 6, r.firstColumn);
    StoreU32(p + 10, r.lastRow);
    StoreU16(p + 14, r.lastColumn);
    StoreU32(p + 16, r.width);
    StoreU32(p + 20, r.height);
    p[24] = r.continued;
    p[25] = r.print;
}

void ReadPageRecord(const uint8_t* p, PageRecord& r) {
    r.objectId = LoadU16(p);
    r.firstRow = LoadU32(p + 2);
    r.firstColumn = LoadU32(p + 6);
    r.lastRow = LoadU32(p + 10);
    r.lastColumn = LoadU16(p + 14);
    r.width = LoadU32(p + 16);
    r.height = LoadU32(p + 20);
    r.continued = p[24];
    r.print = p[25];
}

bool AppendPage(CWorkbook& workbook, const PageRecord& r) {
    uint8_t bytes[kPageRecordSize];
    WritePageRecord(bytes, r);
    return workbook.printPages.AppendItem(bytes, kPageRecordSize);
}

void PutPageRecord(CWorkbook& workbook, uint32_t index, const PageRecord& r) {
    if (void* p = workbook.printPages.GetItem(index, kPageRecordSize))
        WritePageRecord(static_cast<uint8_t*>(p), r);
}

// What one pagination reads again and again.
struct PageContext {
    CWorkbook& workbook;
    CCanvas& canvas;
    CWorksheet& sheet;
    CExclusions rows, columns;
    PinnedPanes pins;
    DcRect printable;
    ZoomPair scale;
    IPrintProgress* progress;
    CCellDisplay* display;
};

// The last column the cell's text reaches, measured as painting measures it: its own column
// when the text fits, flows only leftward or meets a neighbour that holds a record.
uint16_t FlowEnd(PageContext& ctx, CRowScan& scan, const uint8_t* cell) {
    const uint16_t column = cell::Column(cell);
    const uint32_t row = cell::Row(cell);
    CellCursor runs;
    const StyleRecord& style =
        GetStyleRecord(ctx.workbook.styles, StyleIndexAt(ctx.sheet.formats, row, column, runs));
    // Paper aligns by the value: a right-aligned text reaches no further right.
    const uint32_t align = TextAlignment(style, cell, false);
    if (align == kAlignRight) return column;
    RenderedList text;
    const bool shown = ctx.display ? ctx.display->GetCellDisplayText(cell, style.numberFormat, text)
                                   : GetValueDisplayText(cell, style.numberFormat, text);
    if (!shown) return column;
    const int32_t columnWidth = GetColumnWidth(ctx.sheet, column, ctx.scale[0]);
    const int32_t rowHeight = GetRowHeight(ctx.sheet, row, ctx.scale[1]);
    const int32_t indent = int32_t(style.horizontalIndent) + PrintedTextGap(ctx.scale[0]);
    int32_t width = 0, height = 0;
    FitCellText(ctx.canvas, GetFontRecord(ctx.workbook.styles, style.fontRef.fontIndex), style,
                columnWidth - 2 * indent, rowHeight, ctx.scale[1], text, width, height);
    TextRow flow;
    flow.occupied = [&scan](uint16_t c) { return scan.Cell(c) != nullptr; };
    flow.width = [&ctx](uint16_t c) { return GetColumnWidth(ctx.sheet, c, ctx.scale[0]); };
    flow.leftBound = ctx.pins.column ? ctx.pins.pinnedColumn : 0;
    flow.rightBound = kLastPrintColumn;
    const DcRect box{1, 1, columnWidth, rowHeight};
    return FlowCellText(box, column, indent, width, align, false, flow).last;
}

// Step 7: text of the page's rows that flows out of its cells.
void FlowText(PageContext& ctx, PageRecord& page, uint16_t lastFitting, uint16_t areaLastColumn,
              bool ranged) {
    CRowScan scan(ctx.sheet);
    auto measureRow = [&](uint32_t row) {
        scan.Load(row);
        uint16_t from = uint16_t(page.firstColumn);
        // The nearest record to the left, found among the row's records: a page far to the
        // right would otherwise look at every column left of it on every row.
        if (!ctx.pins.column)
            for (const uint8_t* left = scan.CellBefore(from); left;
                 left = scan.CellBefore(cell::Column(left)))
                if (!ctx.columns.Contains(cell::Column(left))) {
                    from = cell::Column(left);
                    break;
                }
        const uint32_t to = std::min<uint32_t>(lastFitting, areaLastColumn);
        for (const uint8_t* cell = scan.CellFrom(from); cell && cell::Column(cell) <= to;
             cell = scan.CellFrom(cell::Column(cell) + 1u)) {
            if (ctx.columns.Contains(cell::Column(cell))) continue;
            // A range's edge cuts the flowing text as the page's own edge does: nothing
            // past it is printed, so nothing past it asks for another page.
            const uint16_t end = ranged ? std::min(FlowEnd(ctx, scan, cell), areaLastColumn)
                                        : FlowEnd(ctx, scan, cell);
            if (end < page.firstColumn) continue;
            if (end > lastFitting) page.continued = 1;
            if (!ranged)
                page.lastColumn = std::max<uint16_t>(page.lastColumn, std::min(end, lastFitting));
        }
    };
    if (ctx.pins.row) measureRow(ctx.pins.pinnedRow);
    for (uint32_t row = ctx.rows.NextIncluded(page.firstRow); row <= page.lastRow;
         row = ctx.rows.NextIncluded(row + 1))
        measureRow(row);
}

void FindPageBreak(PageContext& ctx, PageRecord& page, uint32_t areaLastRow,
                   uint16_t areaLastColumn, bool ranged) {
    const DcRect& r = ctx.printable;
    CWorksheet& sheet = ctx.sheet;
    const PageSetupRecord& setup = sheet.pageSetup;
    // The content size counts the frame line above and left of the cells: a page that
    // paginates at a scale then fits its cell at that scale.
    int64_t height = int64_t(r.bottom) - r.top;
    if (ctx.pins.row) height -= GetRowHeight(sheet, ctx.pins.pinnedRow, ctx.scale[1]) + 1;
    int64_t width = int64_t(r.right) - r.left;
    if (ctx.pins.column) width -= GetColumnWidth(sheet, ctx.pins.pinnedColumn, ctx.scale[0]) + 1;
    const int64_t band = setup.columnHeadings ? GetHeadingRowHeight(ctx.canvas, ctx.scale[1]) : 0;
    const int64_t availableHeight = std::max<int64_t>(0, height - band);

    uint32_t lastRow = page.firstRow;
    int64_t sum = 0;
    for (uint32_t row = ctx.rows.NextIncluded(page.firstRow); row <= kLastPrintRow;
         row = ctx.rows.NextIncluded(row + 1)) {
        sum += GetRowHeight(sheet, row, ctx.scale[1]) + 1;
        if (sum > availableHeight) break;
        lastRow = row;
    }
    // Excluded lines up to the area's end belong to the last page: nothing follows them.
    if (ctx.rows.NextIncluded(lastRow + 1) > areaLastRow) lastRow = std::max(lastRow, areaLastRow);

    // The heading is as wide as the largest number it shows: row r is numbered r + 1.
    const int64_t headingWidth =
        setup.rowHeadings ? GetNumberWidth(ctx.canvas, lastRow + 1, ctx.scale[0]) : 0;
    const int64_t availableWidth = std::max<int64_t>(0, width - headingWidth);
    uint16_t lastColumn = uint16_t(page.firstColumn);
    sum = 0;
    for (uint32_t c = ctx.columns.NextIncluded(page.firstColumn); c <= kLastPrintColumn;
         c = ctx.columns.NextIncluded(c + 1)) {
        sum += GetColumnWidth(sheet, uint16_t(c), ctx.scale[0]) + 1;
        if (sum > availableWidth) break;
        lastColumn = uint16_t(c);
    }
    if (ctx.columns.NextIncluded(lastColumn + 1u) > areaLastColumn)
        lastColumn = std::max(lastColumn, areaLastColumn);

    page.lastRow = std::min(lastRow, areaLastRow);
    page.lastColumn = std::min(lastColumn, areaLastColumn);
    page.continued = 0;
    page.print = 1;
    FlowText(ctx, page, lastColumn, areaLastColumn, ranged);
    GetPageContentSize(ctx.canvas, sheet, ctx.rows, ctx.columns, page, ctx.scale);
}

// False with error 130 when the area makes more pages than one printout may have.
bool BuildPageBreaks(PageContext& ctx, const RangeDescriptor* range) {
    ctx.workbook.printPages.Clear(true);
    uint32_t firstRow = 0, lastRow = 0;
    uint16_t firstColumn = 0, lastColumn = 0;
    if (range) {
        firstRow = std::min(range->r1, kLastPrintRow);
        lastRow = std::min(range->r2, kLastPrintRow);
        firstColumn = std::min(range->c1, kLastPrintColumn);
        lastColumn = std::min(range->c2, kLastPrintColumn);
    } else {
        GetPrintedArea(ctx.workbook, ctx.sheet, lastRow, lastColumn, ctx.scale);
    }
    PageRecord page;
    page.firstRow = firstRow;
    page.firstColumn = firstColumn;
    for (uint32_t made = 0; page.firstRow <= lastRow; ++made) {
        if (made == kMaxPrintPages) {
            ctx.workbook.printPages.Clear(true);
            return Fail(ctx.workbook, kErrorTooManyPages);
        }
        if (ctx.progress && !ctx.progress->Step(PrintStage::kPaginating, made,
                                                page.firstRow - firstRow, lastRow - firstRow + 1)) {
            ctx.workbook.printPages.Clear(true);
            ctx.workbook.error = kErrorNone; // the user ended it: nothing to tell
            return false;
        }
        PageRecord record;
        record.firstRow = page.firstRow;
        record.firstColumn = page.firstColumn;
        FindPageBreak(ctx, record, lastRow, lastColumn, range != nullptr);
        AppendPage(ctx.workbook, record); // a page that cannot be kept is left out
        // Every page moves on: to the columns right of it within the band, else to the next
        // band; a page that ends left of where it began ends its band.
        if (record.lastColumn + 1u < kMaxColumns - 1 && record.lastColumn >= record.firstColumn &&
            (record.continued || record.lastColumn < lastColumn)) {
            page.firstColumn = record.lastColumn + 1u;
        } else {
            if (record.lastRow >= lastRow) break;
            page.firstRow = record.lastRow + 1;
            page.firstColumn = firstColumn;
        }
    }
    return true;
}

// Lowers the scale until the page fits one cell of the sheet grid; error 18 when it cannot.
bool ShrinkIntoCell(PageContext& ctx, PageRecord& page) {
    const auto [rows, columns] = PagesPerSheet(ctx.sheet.pageSetup);
    const bool many = rows > 1 || columns > 1;
    const int32_t gapX = many ? std::max(4, ctx.scale[0] * 4 / 100) : 0;
    const int32_t gapY = many ? std::max(2, ctx.scale[1] * 2 / 100) : 0;
    const int64_t cellWidth =
        (int64_t(ctx.printable.right) - ctx.printable.left + 1) / columns - 2 * gapX;
    const int64_t cellHeight =
        (int64_t(ctx.printable.bottom) - ctx.printable.top + 1) / rows - 2 * gapY;
    for (;;) {
        GetPageContentSize(ctx.canvas, ctx.sheet, ctx.rows, ctx.columns, page, ctx.scale);
        if (page.width <= cellWidth && page.height <= cellHeight) return true;
        if (cellWidth <= 0 || cellHeight <= 0) return Fail(ctx.workbook, kErrorZoomTooSmall);
        const int64_t factor =
            std::min(cellWidth * 100 / page.width, cellHeight * 100 / page.height);
        for (uint16_t& s : ctx.scale) s = uint16_t(s * factor / 100);
        if (ctx.scale[0] == 0 || ctx.scale[1] == 0) return Fail(ctx.workbook, kErrorZoomTooSmall);
    }
}

bool SelectPages(PageContext& ctx) {
    const uint32_t count = PageListCount(ctx.workbook);
    std::vector<std::pair<uint32_t, uint32_t>> wanted;
    ParseNumberRanges(ctx.sheet.pageSetup.pages, &wanted, 1, kMaxPageNumber);
    bool any = false;
    for (uint32_t i = 0; i < count; ++i) {
        PageRecord page;
        GetPageRecord(ctx.workbook, i, page);
        page.print = 0;
        for (const auto& [low, high] : wanted)
            if (i + 1 >= low && i + 1 <= high) page.print = 1;
        any = any || page.print;
        PutPageRecord(ctx.workbook, i, page);
    }
    return any || Fail(ctx.workbook, kErrorInvalidPageList);
}

bool FitToSheet(PageContext& ctx) {
    const uint32_t count = PageListCount(ctx.workbook);
    PageRecord first;
    GetPageRecord(ctx.workbook, 0, first);
    for (uint32_t i = 1; i < count; ++i) {
        PageRecord page;
        GetPageRecord(ctx.workbook, i, page);
        first.lastRow = std::max(first.lastRow, page.lastRow);
        first.lastColumn = std::max(first.lastColumn, page.lastColumn);
        page.print = 0;
        PutPageRecord(ctx.workbook, i, page);
    }
    first.print = 1;
    // The fitted page fills the printable area: one page to a sheet.
    ctx.sheet.pageSetup.pagesPerSheetRows = 1;
    ctx.sheet.pageSetup.pagesPerSheetColumns = 1;
    if (!ShrinkIntoCell(ctx, first)) return false;
    PutPageRecord(ctx.workbook, 0, first);
    return true;
}

bool ApplyCopies(CWorkbook& workbook, const PageSetupRecord& setup) {
    if (setup.copies < 2) return true;
    std::vector<PageRecord> printed;
    const uint32_t count = PageListCount(workbook);
    for (uint32_t i = 0; i < count; ++i) {
        PageRecord page;
        GetPageRecord(workbook, i, page);
        if (page.print) printed.push_back(page);
    }
    workbook.printPages.Clear(true);
    const uint32_t copies = setup.copies;
    const uint64_t total = uint64_t(printed.size()) * copies;
    if (total > kMaxCopiedPages) {
        workbook.printPages.Clear(true);
        return Fail(workbook, kErrorTooManyPages);
    }
    for (uint64_t n = 0; n < total; ++n) {
        const size_t at = setup.collate ? n / copies : n % printed.size();
        if (!AppendPage(workbook, printed[at])) {
            workbook.printPages.Clear(true);
            return Fail(workbook, kErrorWorksheetMemory);
        }
    }
    return true;
}

} // namespace

CExclusions::CExclusions(const char* text, uint32_t highest) {
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    if (ParseNumberRanges(text, &pairs, 1, highest) <= 0) return;
    for (const auto& [low, high] : pairs) ranges_.push_back({low - 1, high - 1});
    Merge();
}

void CExclusions::Add(uint32_t line) {
    ranges_.push_back({line, line});
    Merge();
}

void CExclusions::Merge() {
    std::sort(ranges_.begin(), ranges_.end());
    std::vector<std::pair<uint32_t, uint32_t>> merged;
    for (const auto& range : ranges_) {
        if (!merged.empty() && range.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    ranges_ = std::move(merged);
}

CExclusions PageRows(const CWorksheet& sheet) {
    CExclusions rows(sheet.pageSetup.excludedRows, kLastPrintRow + 1);
    const PinnedPanes pins = GetPinnedPanes(sheet);
    if (pins.row) rows.Add(pins.pinnedRow);
    return rows;
}

CExclusions PageColumns(const CWorksheet& sheet) {
    CExclusions columns(sheet.pageSetup.excludedColumns, kLastPrintColumn + 1);
    const PinnedPanes pins = GetPinnedPanes(sheet);
    if (pins.column) columns.Add(pins.pinnedColumn);
    return columns;
}

bool CExclusions::Contains(uint32_t line) const {
    auto it = std::upper_bound(ranges_.begin(), ranges_.end(),
                               std::pair<uint32_t, uint32_t>{line, UINT32_MAX});
    return it != ranges_.begin() && std::prev(it)->second >= line;
}

uint32_t CExclusions::NextIncluded(uint32_t line) const {
    auto it = std::upper_bound(ranges_.begin(), ranges_.end(),
                               std::pair<uint32_t, uint32_t>{line, UINT32_MAX});
    if (it != ranges_.begin() && std::prev(it)->second >= line) return std::prev(it)->second + 1;
    return line;
}

uint32_t PageListCount(const CWorkbook& workbook) {
    return workbook.printPages.ItemCount();
}

bool GetPageRecord(const CWorkbook& workbook, uint32_t index, PageRecord& record) {
    auto& list = const_cast<CPagedList&>(workbook.printPages);
    const void* p = list.GetItem(index, kPageRecordSize);
    if (!p) return false;
    ReadPageRecord(static_cast<const uint8_t*>(p), record);
    return true;
}

bool IsRowExcluded(const CWorksheet& sheet, uint32_t row) {
    return CExclusions(sheet.pageSetup.excludedRows, kLastPrintRow + 1).Contains(row);
}

bool IsColumnExcluded(const CWorksheet& sheet, uint16_t column) {
    return CExclusions(sheet.pageSetup.excludedColumns, kLastPrintColumn + 1).Contains(column);
}

std::pair<int32_t, int32_t> PagesPerSheet(const PageSetupRecord& setup) {
    return {std::clamp<int32_t>(setup.pagesPerSheetRows, 1, 10),
            std::clamp<int32_t>(setup.pagesPerSheetColumns, 1, 10)};
}

void GetPrintedArea(const CWorkbook& workbook, CWorksheet& sheet, uint32_t& lastRow,
                    uint16_t& lastColumn, ZoomPair scale) {
    lastRow = 0;
    lastColumn = 0;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        lastRow = std::max(lastRow, std::min(cell::Row(r), kLastPrintRow));
        lastColumn = std::max(lastColumn, std::min(cell::Column(r), kLastPrintColumn));
    }
    // Lines left out of the printout take no room on paper, as the printed container's
    // placement skips them.
    const CExclusions rows(sheet.pageSetup.excludedRows, kLastPrintRow + 1);
    const CExclusions columns(sheet.pageSetup.excludedColumns, kLastPrintColumn + 1);
    for (const CContainer* c = sheet.firstContainer; c; c = c->next) {
        const ContainerSettings& s = c->settings;
        // The walk runs from the anchor's corner to the container's far edge, its offset
        // inside the anchor cell included; the last line it visits counts, not the next one.
        const int64_t height = int64_t(s.bottom) * scale[1] / 100;
        int64_t sum = 0;
        uint32_t last = std::min(s.anchor.row, kLastPrintRow);
        for (uint32_t row = last; row <= kLastPrintRow && sum < height; ++row) {
            if (!rows.Contains(row)) sum += GetRowHeight(sheet, row, scale[1]) + 1;
            last = row;
        }
        lastRow = std::max(lastRow, last);
        const int64_t width = int64_t(s.right) * scale[0] / 100;
        sum = 0;
        uint32_t lastAcross = std::min<uint32_t>(s.anchor.column, kLastPrintColumn);
        for (uint32_t column = lastAcross; column <= kLastPrintColumn && sum < width; ++column) {
            if (!columns.Contains(column))
                sum += GetColumnWidth(sheet, uint16_t(column), scale[0]) + 1;
            lastAcross = column;
        }
        lastColumn = std::max<uint16_t>(lastColumn, uint16_t(lastAcross));
    }
    CellCursor runs{kAdvance, sheet.formats.runs.FirstPage(), 0};
    while (const uint8_t* p = FormatRunCursorNext(runs)) {
        const FormatRun run = LoadFormatRun(p);
        const StyleRecord& style = GetStyleRecord(workbook.styles, run.style);
        const bool bordered = style.borderLine.style != FORMAT_LINE_NULL && style.borderSides;
        if (style.fill.pattern == FORMAT_PAT_NONE && !bordered) continue;
        lastRow = std::max(lastRow, std::min(run.row, kLastPrintRow));
        lastColumn = std::max(lastColumn, std::min(run.lastColumn, kLastPrintColumn));
    }
}

void GetPageContentSize(CCanvas& canvas, CWorksheet& sheet, const CExclusions& rows,
                        const CExclusions& columns, PageRecord& page, ZoomPair scale) {
    const PageSetupRecord& setup = sheet.pageSetup;
    const PinnedPanes pins = GetPinnedPanes(sheet);
    int64_t height = (setup.columnHeadings ? GetHeadingRowHeight(canvas, scale[1]) : 0) + 1;
    if (pins.row) height += GetRowHeight(sheet, pins.pinnedRow, scale[1]) + 1;
    for (uint32_t row = rows.NextIncluded(page.firstRow); row <= page.lastRow;
         row = rows.NextIncluded(row + 1))
        height += GetRowHeight(sheet, row, scale[1]) + 1;
    int64_t width =
        (setup.rowHeadings ? GetNumberWidth(canvas, page.lastRow + 1, scale[0]) : 0) + 1;
    if (pins.column) width += GetColumnWidth(sheet, pins.pinnedColumn, scale[0]) + 1;
    for (uint32_t c = columns.NextIncluded(page.firstColumn); c <= page.lastColumn;
         c = columns.NextIncluded(c + 1))
        width += GetColumnWidth(sheet, uint16_t(c), scale[0]) + 1;
    page.width = uint32_t(std::min<int64_t>(width, UINT32_MAX));
    page.height = uint32_t(std::min<int64_t>(height, UINT32_MAX));
}

bool PaginateSheet(CWorkbook& workbook, CCanvas& canvas, CWorksheet& sheet,
                   const PrintMetrics& metrics, ZoomPair& scale, IPrintProgress* progress,
                   CCellDisplay* display) {
    FreePageList(workbook);
    const PageSetupRecord& setup = sheet.pageSetup;
    PageContext ctx{workbook,
                    canvas,
                    sheet,
                    PageRows(sheet),
                    PageColumns(sheet),
                    GetPinnedPanes(sheet),
                    {metrics.pageLeft + metrics.marginLeft, metrics.pageTop + metrics.marginTop,
                     metrics.pageRight - metrics.marginRight,
                     metrics.pageBottom - metrics.marginBottom},
                    scale,
                    progress,
                    display};
    // Paper shows formulas as the workbook does.
    if (display) display->SetShowFormulas(workbook.showFormulas != 0);
    if (setup.printRangeKind == kPrintContainer) {
        // Only a container of this worksheet prints: a page of another one would be empty.
        if (!FindContainer(sheet, setup.printedContainer))
            return Fail(workbook, kErrorContainerNotFound);
        PageRecord page;
        page.objectId = setup.printedContainer;
        page.width = uint32_t(std::max(0, ctx.printable.right - ctx.printable.left + 1));
        page.height = uint32_t(std::max(0, ctx.printable.bottom - ctx.printable.top + 1));
        page.print = 1;
        return AppendPage(workbook, page) || Fail(workbook, kErrorWorksheetMemory);
    }
    if (!BuildPageBreaks(ctx,
                         setup.printRangeKind == kPrintCellRange ? &setup.printRange : nullptr))
        return false;
    if (PageListCount(workbook) == 0) return Fail(workbook, kErrorNoPages);
    if (setup.printRangeKind == kPrintPageList) {
        if (!SelectPages(ctx)) return false;
    } else if (setup.fitToSheetSize) {
        if (!FitToSheet(ctx)) return false;
    }
    // The largest printed page sets the scale of all.
    const uint32_t count = PageListCount(workbook);
    for (uint32_t i = 0; i < count; ++i) {
        PageRecord page;
        GetPageRecord(workbook, i, page);
        if (page.print && !ShrinkIntoCell(ctx, page)) return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        PageRecord page;
        GetPageRecord(workbook, i, page);
        if (!page.print) continue;
        GetPageContentSize(canvas, sheet, ctx.rows, ctx.columns, page, ctx.scale);
        PutPageRecord(workbook, i, page);
    }
    scale = ctx.scale;
    return ApplyCopies(workbook, setup);
}

void FreePageList(CWorkbook& workbook) {
    workbook.printPages.Clear(true);
}

} // namespace vl
