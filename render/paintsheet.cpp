#include "render/paintsheet.h"

#include "formula/celltext.h"
#include "platform/core/bytes.h"
#include "render/background.h"
#include "render/canvas.h"
#include "render/headings.h"
#include "render/metrics.h"
#include "render/sheetpainter.h"

#include <algorithm>
#include <cstring>

namespace vl {

void WriteCellBorderRecord(uint8_t* p, const CellBorderRecord& r) {
    std::memset(p, 0, kCellBorderRecordSize);
    p[0] = r.edges;
    WriteBorderLine(p + 1, r.line);
    StoreU32(p + 12, uint32_t(r.box.left));
    StoreU32(p + 16, uint32_t(r.box.top));
    StoreU32(p + 20, uint32_t(r.box.right));
    StoreU32(p + 24, uint32_t(r.box.bottom));
}

void ReadCellBorderRecord(const uint8_t* p, CellBorderRecord& r) {
    r.edges = p[0];
    ReadBorderLine(p + 1, r.line);
    r.box = {int32_t(LoadU32(p + 12)), int32_t(LoadU32(p + 16)), int32_t(LoadU32(p + 20)),
             int32_t(LoadU32(p + 24))};
}

void DrawBorderRecords(CCanvas& canvas, const CPagedList& list, uint16_t size) {
    for (const Page* page = list.FirstPage(); page; page = page->next) {
        for (uint32_t at = 0; at + kCellBorderRecordSize <= page->used;
             at += kCellBorderRecordSize) {
            CellBorderRecord r;
            ReadCellBorderRecord(page->payload + at, r);
            if (!canvas.SetBorderPen(r.line, size)) continue;
            const DcRect& b = r.box;
            // Each line reaches its far end: the last pixel is one further on.
            const struct {
                uint8_t bit;
                DcPoint from, to;
            } lines[6] = {
                {kBorderLeft, {b.left, b.top}, {b.left, b.bottom + 1}},
                {kBorderTop, {b.left, b.top}, {b.right + 1, b.top}},
                {kBorderRight, {b.right, b.top}, {b.right, b.bottom + 1}},
                {kBorderBottom, {b.left, b.bottom}, {b.right + 1, b.bottom}},
                {kBorderDiagonalLeft, {b.left, b.top}, {b.right + 1, b.bottom + 1}},
                {kBorderDiagonalRight, {b.right, b.top}, {b.left - 1, b.bottom + 1}},
            };
            for (const auto& line : lines) {
                if (!(r.edges & line.bit)) continue;
                const DcPoint points[2] = {line.from, line.to};
                canvas.DrawPolyline(points, 2);
            }
        }
    }
}

void DrawCornerMark(const CWorkbook& workbook, CCanvas& canvas, const DcRect& box, COLORREF color,
                    uint8_t corner, ZoomPair zoom) {
    if (workbook.hideCellMarkers || corner > 3) return;
    const int32_t across = 8 * int32_t(zoom[0]) / 100;
    const int32_t down = 8 * int32_t(zoom[1]) / 100;
    const bool right = corner == 1 || corner == 2;
    const bool bottom = corner >= 2;
    const DcPoint tip{right ? box.right : box.left, bottom ? box.bottom : box.top};
    const DcPoint points[4] = {tip,
                               {tip.x + (right ? -across : across), tip.y},
                               {tip.x, tip.y + (bottom ? -down : down)},
                               tip};
    canvas.SelectFillPattern(FORMAT_PAT_SOLID, color, color);
    canvas.SetPen(FORMAT_LINE_SOLID, color, 100);
    canvas.DrawPolygon(points, 4);
}

void PaintSheet(CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas, const DcRect& area,
                CWorksheet& sheet, uint32_t firstRow, uint16_t firstColumn, ZoomPair zoom,
                SheetContainersPainter containers) {
    display.SetShowFormulas(workbook.showFormulas != 0);
    CSheetPainter painter(workbook, display, canvas, area, sheet, firstRow, firstColumn, zoom,
                          containers);
    painter.Paint();
}

CSheetPainter::CSheetPainter(CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas,
                             const DcRect& area, CWorksheet& sheet, uint32_t firstRow,
                             uint16_t firstColumn, ZoomPair zoom, SheetContainersPainter containers,
                             const PagePaint* page)
    : workbook_(workbook), display_(display), canvas_(canvas), area_(area), sheet_(sheet),
      firstRow_(firstRow), firstColumn_(firstColumn), zoom_(zoom), containers_(containers),
      page_(page), scan_(sheet) {}

COLORREF CSheetPainter::GridColor() const {
    const ViewSettingsRecord& view = sheet_.view;
    if (view.gridColorGiven) return view.gridColor;
    return GetSystemColor(page_ ? kColorWindowText : kColorButtonFace);
}

// A page's rows and columns are fixed by pagination; the caller drew its headings.
void CSheetPainter::PaintPageRows() {
    layout_.pins = GetPinnedPanes(sheet_);
    layout_.pinnedHeight =
        layout_.pins.row ? GetRowHeight(sheet_, layout_.pins.pinnedRow, zoom_[1]) + 1 : 0;
    layout_.pinnedWidth =
        layout_.pins.column ? GetColumnWidth(sheet_, layout_.pins.pinnedColumn, zoom_[0]) + 1 : 0;
    layout_.bandHeight = page_->bandHeight;
    layout_.headingWidth = page_->headingWidth;
    layout_.lastRow = page_->lastRow;
    layout_.lastColumn = page_->lastColumn;
    cellsLeft_ = area_.left + layout_.headingWidth + 1;
    scrolledLeft_ = cellsLeft_ + layout_.pinnedWidth;
    canvas_.SetBkMode(1);
    int32_t y = area_.top + layout_.bandHeight + 1;
    bool firstSeen = true;
    auto paintRow = [&](uint32_t row) {
        PaintRow(row, y, firstSeen);
        y += rowHeight_ + 1;
        firstSeen = false;
    };
    if (layout_.pins.row) paintRow(layout_.pins.pinnedRow);
    for (uint32_t row = firstRow_; row <= layout_.lastRow; ++row)
        if (!RowLeftOut(row)) paintRow(row);
    const uint16_t size = std::min(zoom_[0], zoom_[1]);
    DrawBorderRecords(canvas_, borders_, size);
    DrawContainers();
}

void CSheetPainter::Paint() {
    if (page_) {
        PaintPageRows();
        return;
    }
    const ViewSettingsRecord& view = sheet_.view;
    const COLORREF grid = view.gridColorGiven ? view.gridColor : GetSystemColor(kColorButtonFace);
    const COLORREF frame =
        view.headingsColorGiven ? view.headingsColor : GetSystemColor(kColorButtonShadow);
    layout_ = ComputeSheetLayout(canvas_, area_, sheet_, firstRow_, firstColumn_, zoom_);
    const int32_t band = layout_.bandHeight;
    const int32_t heading = layout_.headingWidth;
    cellsLeft_ = area_.left + heading + 1;
    scrolledLeft_ = cellsLeft_ + layout_.pinnedWidth;

    PaintSheetBackground(
        workbook_, canvas_, sheet_,
        {area_.left + heading, area_.top + band, area_.right + 1, area_.bottom + 1});
    canvas_.SelectFont(DefaultFontRecord(), 0, 100);
    canvas_.SetPen(FORMAT_LINE_SOLID, frame, 100);
    canvas_.SelectFillPattern(FORMAT_PAT_SOLID, grid, grid);
    canvas_.SetTextAlign(kAlignCenter, kAlignMiddle);
    canvas_.SetBkMode(1);
    PaintSheetHeadings(workbook_, canvas_, area_, sheet_, firstColumn_, firstRow_,
                       layout_.lastColumn, layout_.lastRow, heading, band, zoom_);

    int32_t y = area_.top + band + 1;
    bool firstSeen = true;
    auto paintRow = [&](uint32_t row) {
        PaintRow(row, y, firstSeen);
        y += rowHeight_ + 1;
        firstSeen = false;
    };
    if (layout_.pins.row) paintRow(layout_.pins.pinnedRow);
    for (uint32_t row = firstRow_; row <= layout_.lastRow; ++row) paintRow(row);
    DrawBorderRecords(canvas_, borders_, 100);
    DrawContainers();
}

void CSheetPainter::DrawContainers() {
    if (!containers_) return;
    const int32_t top = area_.top + layout_.bandHeight + 1;
    CCanvas clipped;
    clipped.AttachSavedDC(canvas_);
    // Containers never cover the headings or the pinned row and column.
    clipped.IntersectClip(
        {scrolledLeft_, top + layout_.pinnedHeight, area_.right + 1, area_.bottom + 1});
    containers_(workbook_, clipped, {cellsLeft_, top, area_.right, area_.bottom}, sheet_,
                firstColumn_, firstRow_, zoom_);
    clipped.DetachSavedDC();
}

void CSheetPainter::PaintRow(uint32_t row, int32_t y, bool firstSeen) {
    std::fill(std::begin(flags_), std::end(flags_), 0xFF);
    pinnedFlags_ = 0xFF;
    firstRowSeen_ = firstSeen;
    rowHeight_ = GetRowHeight(sheet_, row, zoom_[1]);
    scan_.Load(row);
    int32_t x = cellsLeft_;
    auto paintCell = [&](uint16_t column, bool pinned) {
        CellPlace place{column, x, GetColumnWidth(sheet_, column, zoom_[0]), pinned, {}};
        place.box = {x + 1, y + 1, x + place.width, y + rowHeight_};
        const StyleRecord& style = GetStyleRecord(workbook_.styles, scan_.StyleIndex(column));
        if (const uint8_t* cell = scan_.Cell(column))
            PaintCell(place, cell, style);
        else if ((Flags(place) & kNotFlowedInto) && Visible(place.box))
            PaintEmptyCell(place, style);
        if (style.borderLine.style != FORMAT_LINE_NULL) AddBorder(style, place.box);
        x += place.width + 1;
    };
    if (page_ && !layout_.pins.column) {
        // The nearest text left of the page may flow onto it.
        int32_t left = x;
        for (int32_t c = int32_t(firstColumn_) - 1; c >= 0; --c) {
            if (ColumnLeftOut(uint32_t(c))) continue;
            left -= GetColumnWidth(sheet_, uint16_t(c), zoom_[0]) + 1;
            if (!scan_.Cell(uint16_t(c))) continue;
            x = left;
            paintCell(uint16_t(c), false);
            x = cellsLeft_;
            break;
        }
    }
    if (layout_.pins.column) paintCell(layout_.pins.pinnedColumn, true);
    for (uint32_t column = firstColumn_; column <= layout_.lastColumn; ++column)
        if (!ColumnLeftOut(column)) paintCell(uint16_t(column), false);
    if (sheet_.view.showGrid) DrawGridlines(y);
}

bool CSheetPainter::Visible(const DcRect& box) const {
    return box.left < area_.right && box.right > cellsLeft_;
}

void CSheetPainter::AddBorder(const StyleRecord& style, const DcRect& box) {
    CellBorderRecord record{style.borderSides,
                            style.borderLine,
                            {box.left - 1, box.top - 1, box.right + 1, box.bottom + 1}};
    uint8_t bytes[kCellBorderRecordSize];
    WriteCellBorderRecord(bytes, record);
    // A border that cannot be kept is not drawn; painting goes on.
    borders_.AppendItem28(bytes);
}

void CSheetPainter::DrawGridlines(int32_t y) {
    const COLORREF grid = GridColor();
    canvas_.SelectFillPattern(FORMAT_PAT_SOLID, grid, grid);
    int32_t x = cellsLeft_;
    auto lines = [&](uint16_t column, uint8_t flags) {
        const int32_t w = GetColumnWidth(sheet_, column, zoom_[0]);
        const int32_t below = y + rowHeight_ + 1;
        if (flags & kLineBelow)
            canvas_.FillRect({x + 1, below, x + w + ((flags & kLineCorner) ? 1 : 0), below});
        if (flags & kLineRight) canvas_.FillRect({x + w + 1, y + 1, x + w + 1, below});
        x += w + 1;
    };
    if (layout_.pins.column) lines(layout_.pins.pinnedColumn, pinnedFlags_);
    for (uint32_t column = firstColumn_; column <= layout_.lastColumn; ++column)
        if (!ColumnLeftOut(column)) lines(uint16_t(column), flags_[column]);
}

} // namespace vl
