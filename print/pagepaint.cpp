#include "print/pagepaint.h"

#include "charts/draw/containerpainter.h"
#include "core/settings.h"
#include "formula/celltext.h"
#include "model/container.h"
#include "platform/core/cp1252.h"
#include "render/canvas.h"
#include "render/containerplace.h"
#include "render/headings.h"
#include "render/metrics.h"
#include "render/sheetpainter.h"
#include "values/inttext.h"

#include <algorithm>
#include <tuple>

namespace vl {

namespace {

struct SheetGrid {
    int32_t rows, columns;
    int32_t cellWidth, cellHeight;
    int32_t gapX, gapY;
    DcRect printable;
};

SheetGrid MakeGrid(const PageSetupRecord& setup, const PrintMetrics& m, ZoomPair scale) {
    SheetGrid g{};
    std::tie(g.rows, g.columns) = PagesPerSheet(setup);
    g.printable = {m.pageLeft + m.marginLeft, m.pageTop + m.marginTop, m.pageRight - m.marginRight,
                   m.pageBottom - m.marginBottom};
    const bool many = g.rows > 1 || g.columns > 1;
    g.gapX = many ? std::max(4, scale[0] * 4 / 100) : 0;
    g.gapY = many ? std::max(2, scale[1] * 2 / 100) : 0;
    g.cellWidth = (g.printable.right - g.printable.left + 1) / g.columns;
    g.cellHeight = (g.printable.bottom - g.printable.top + 1) / g.rows;
    return g;
}

} // namespace

DcRect PlacePage(const DcRect& cell, uint32_t w, uint32_t h, uint8_t alignment) {
    const int32_t width = int32_t(std::min<uint32_t>(w, INT32_MAX / 2));
    const int32_t height = int32_t(std::min<uint32_t>(h, INT32_MAX / 2));
    int32_t x0 = cell.left, y0 = cell.top;
    const uint8_t across = PageHorizontalAlignment(alignment);
    if (across == kPageAlignCenter)
        x0 = cell.left + (cell.right - width - cell.left + 1) / 2;
    else if (across == kPageAlignRight)
        x0 = cell.right - width + 1;
    const uint8_t down = PageVerticalAlignment(alignment);
    if (down == kPageAlignMiddle)
        y0 = cell.top + (cell.bottom - height - cell.top + 1) / 2;
    else if (down == kPageAlignBottom)
        y0 = cell.bottom - height + 1;
    return {x0, y0, x0 + width - 1, y0 + height - 1};
}

namespace {

// Containers over a page, placed with the sheet's excluded lines left out of the walk.
void PaintPageContainers(CWorkbook& workbook, CCanvas& canvas, const DcRect& origin,
                         CWorksheet& sheet, uint16_t firstColumn, uint32_t firstRow,
                         ZoomPair zoom) {
    const CExclusions rows(sheet.pageSetup.excludedRows, kLastPrintRow + 1);
    const CExclusions columns(sheet.pageSetup.excludedColumns, kLastPrintColumn + 1);
    ExcludedLines excluded{[&](uint16_t c) { return columns.Contains(c); },
                           [&](uint32_t r) { return rows.Contains(r); }};
    for (CContainer* c = sheet.firstContainer; c; c = c->next) {
        DcRect rect;
        if (GetObjectRect(sheet, origin, firstRow, firstColumn, *c, rect, zoom, excluded))
            PaintContainer(workbook, *c, canvas, rect, zoom[0], zoom[1]);
    }
}

void DrawBox(CCanvas& canvas, const DcRect& box, bool outline, std::string_view text) {
    if (outline) {
        const DcPoint frame[5] = {{box.left, box.top},
                                  {box.right, box.top},
                                  {box.right, box.bottom},
                                  {box.left, box.bottom},
                                  {box.left, box.top}};
        canvas.DrawPolyline(frame, 5);
    }
    CCanvas clipped;
    clipped.AttachSavedDC(canvas);
    clipped.IntersectClip({box.left + 1, box.top + 1, box.right, box.bottom});
    clipped.DrawTextInRect((box.left + box.right + 1) / 2, (box.top + box.bottom + 1) / 2, text, {},
                           box.right - box.left - 1, 0);
    clipped.DetachSavedDC();
}

void PaintPageHeadings(CCanvas& canvas, const DcRect& rect, CWorksheet& sheet, int32_t headingWidth,
                       int32_t band, const PageRecord& page, const CExclusions& rows,
                       const CExclusions& columns, ZoomPair scale) {
    const PageSetupRecord& setup = sheet.pageSetup;
    const ViewSettingsRecord& view = sheet.view;
    const bool grid = view.showGrid != 0;
    canvas.SelectFont(DefaultFontRecord(), 0, scale[1]);
    canvas.SetTextAlign(kAlignCenter, kAlignMiddle);
    canvas.SetBkMode(1);
    canvas.SetPen(grid ? (canvas.IsPrinting() ? 8 : FORMAT_LINE_SOLID) : FORMAT_LINE_NULL,
                  view.gridColorGiven ? view.gridColor : 0, 100);
    canvas.SetTextColor(view.headingsColorGiven ? view.headingsColor : 0);
    const int32_t left = rect.left + headingWidth + 1;
    const int32_t top = rect.top + band + 1;
    if (grid) {
        const DcPoint frame[5] = {{left, top},
                                  {rect.right + 1, top},
                                  {rect.right + 1, rect.bottom + 1},
                                  {left, rect.bottom + 1},
                                  {left, top}};
        canvas.DrawPolyline(frame, 5);
        if (setup.rowHeadings && setup.columnHeadings)
            DrawBox(canvas, {rect.left, rect.top, left, top}, true, {});
    }
    const PinnedPanes pins = GetPinnedPanes(sheet);
    const bool a1 = Profile().addressingA1 != 0;
    if (setup.columnHeadings) {
        int32_t x = left;
        auto column = [&](uint16_t c) {
            const int32_t w = GetColumnWidth(sheet, c, scale[0]);
            DrawBox(canvas, {x, rect.top, x + w + 1, top}, grid, ColumnHeadingText(c, a1));
            x += w + 1;
        };
        if (pins.column) column(pins.pinnedColumn);
        for (uint32_t c = columns.NextIncluded(page.firstColumn); c <= page.lastColumn;
             c = columns.NextIncluded(c + 1))
            column(uint16_t(c));
    }
    if (setup.rowHeadings) {
        int32_t y = top;
        auto row = [&](uint32_t r) {
            const int32_t h = GetRowHeight(sheet, r, scale[1]);
            DrawBox(canvas, {rect.left, y, left, y + h + 1}, grid, IntText(int64_t(r) + 1));
            y += h + 1;
        };
        if (pins.row) row(pins.pinnedRow);
        for (uint32_t r = rows.NextIncluded(page.firstRow); r <= page.lastRow;
             r = rows.NextIncluded(r + 1))
            row(r);
    }
}

void PaintHeaderFooter(CWorkbook& workbook, CCanvas& canvas, CWorksheet& sheet,
                       const SheetGrid& grid, const PrintMetrics& m, ZoomPair scale,
                       const char* filePath, const std::vector<uint32_t>& info) {
    const PageSetupRecord& setup = sheet.pageSetup;
    canvas.SelectFont(setup.headerFont.font, 0, scale[1]);
    canvas.SetTextColor(setup.headerFont.colorGiven ? setup.headerFont.color
                                                    : GetSystemColor(kColorWindowText));
    canvas.SetBkMode(1);
    const std::string path = DocumentPathText(workbook, sheet);
    // A workbook never saved has no file: its name codes and change stamps insert nothing.
    // The file is examined by its own path; only the printed name takes the code page.
    const char* file = filePath && *filePath ? filePath : nullptr;
    const std::string printedName = file ? Utf8ToCp1252(file) : std::string();
    HeaderFooterSources sources;
    sources.fileName = file ? printedName.c_str() : nullptr;
    sources.filePath = file;
    sources.extra = path.c_str();
    sources.pages = info.data();
    sources.pageWords = info.size();
    DcRect header{grid.printable.left, m.headerY, grid.printable.right, m.headerY};
    canvas.DrawHeaderFooter(header, setup.headerText, true, sources);
    canvas.DrawHeaderFooter(header, setup.headerText, false, sources);
    DcRect footer{grid.printable.left, 0, grid.printable.right, 0};
    canvas.DrawHeaderFooter(footer, setup.footerText, true, sources);
    footer.top = footer.top + m.footerY - footer.bottom - 1;
    footer.bottom = m.footerY;
    canvas.DrawHeaderFooter(footer, setup.footerText, false, sources);
}

} // namespace

std::string DocumentPathText(const CWorkbook& workbook, const CWorksheet& sheet) {
    std::string path = std::string("\\") + sheet.name;
    uint16_t level = sheet.level;
    // Walk back to each enclosing folder: the nearest item before at a lower level.
    const CTreeItem* item = &sheet;
    for (const CTreeItem* p = item->prev; p && level > 1; p = p->prev) {
        if (p->level >= level) continue;
        level = p->level;
        if (p->IsFolder()) path = std::string("\\") + p->name + path;
    }
    (void)workbook;
    if (path.size() > 255) path.resize(255);
    return path;
}

std::vector<uint32_t> PagesOnSheet(const CWorkbook& workbook, const PageSetupRecord& setup,
                                   uint32_t sheetNumber) {
    const auto [rows, columns] = PagesPerSheet(setup);
    const uint64_t perSheet = uint64_t(rows) * uint64_t(columns);
    const uint64_t first = perSheet * sheetNumber;
    std::vector<uint32_t> positions;
    uint64_t ordinal = 0;
    const uint32_t count = PageListCount(workbook);
    for (uint32_t i = 0; i < count && positions.size() < perSheet; ++i) {
        PageRecord page;
        if (!GetPageRecord(workbook, i, page) || !page.print) continue;
        if (ordinal++ >= first) positions.push_back(i + 1);
    }
    return positions;
}

void PaintPageBody(CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas, const DcRect& rect,
                   CWorksheet& sheet, const PageRecord& page, ZoomPair scale) {
    const PageSetupRecord& setup = sheet.pageSetup;
    const CExclusions rows = PageRows(sheet);
    const CExclusions columns = PageColumns(sheet);
    PagePaint paint;
    paint.lastRow = page.lastRow;
    paint.lastColumn = page.lastColumn;
    paint.bandHeight = setup.columnHeadings ? GetHeadingRowHeight(canvas, scale[1]) : 0;
    // Row r is numbered r + 1: row 99 needs the width of "100".
    paint.headingWidth = setup.rowHeadings ? GetNumberWidth(canvas, page.lastRow + 1, scale[0]) : 0;
    paint.rowExcluded = [&](uint32_t r) { return rows.Contains(r); };
    paint.columnExcluded = [&](uint16_t c) { return columns.Contains(c); };
    PaintPageHeadings(canvas, rect, sheet, paint.headingWidth, paint.bandHeight, page, rows,
                      columns, scale);
    display.SetShowFormulas(workbook.showFormulas != 0);
    CSheetPainter painter(workbook, display, canvas, rect, sheet, page.firstRow,
                          uint16_t(std::min<uint32_t>(page.firstColumn, kMaxColumns - 1)), scale,
                          PaintPageContainers, &paint);
    painter.Paint();
}

bool PaintPrintPage(CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas,
                    uint32_t sheetNumber, CWorksheet& sheet, const PrintMetrics& metrics,
                    ZoomPair scale, const char* filePath) {
    const PageSetupRecord& setup = sheet.pageSetup;
    const SheetGrid grid = MakeGrid(setup, metrics, scale);
    const std::vector<uint32_t> positions = PagesOnSheet(workbook, setup, sheetNumber);
    std::vector<uint32_t> info(kPageInfoWords, 0);
    info[0] = PageListCount(workbook);
    info[1] = sheetNumber + 1;
    for (size_t n = 0; n < positions.size() && n < 252; ++n) info[2 + n] = positions[n];
    for (size_t n = 0; n < positions.size(); ++n) {
        PageRecord page;
        if (!GetPageRecord(workbook, positions[n] - 1, page)) continue;
        const int32_t r = int32_t(n) / grid.columns, c = int32_t(n) % grid.columns;
        DcRect cell{grid.printable.left + c * grid.cellWidth,
                    grid.printable.top + r * grid.cellHeight, 0, 0};
        cell.right = cell.left + grid.cellWidth;
        cell.bottom = cell.top + grid.cellHeight;
        InflateRectBy(cell, -grid.gapX, -grid.gapY, -grid.gapX, -grid.gapY);
        const DcRect placed = PlacePage(cell, page.width, page.height, setup.alignment);
        if (setup.printRangeKind == kPrintContainer) {
            if (CContainer* container = FindContainer(sheet, page.objectId))
                PaintContainer(workbook, *container, canvas, placed, scale[0], scale[1]);
        } else {
            PaintPageBody(workbook, display, canvas, placed, sheet, page, scale);
        }
    }
    PaintHeaderFooter(workbook, canvas, sheet, grid, metrics, scale, filePath, info);
    return true;
}

} // namespace vl
