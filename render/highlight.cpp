#include "render/highlight.h"

#include "render/canvas.h"
#include "render/metrics.h"

namespace vl {

namespace {

bool InRows(const CellRange& r, uint32_t row) {
    return row >= r.r1 && row <= r.r2;
}

bool InColumns(const CellRange& r, uint32_t column) {
    return column >= r.c1 && column <= r.c2;
}

// Where a cell lies against a range's outline: the edges it is on and whether it is the
// range's first cell. Two ranges that place a cell alike tint it alike.
uint8_t OutlinePlace(const CellRange& r, uint16_t column, uint32_t row) {
    return uint8_t((column == r.c1 ? 1 : 0) | (column == r.c2 ? 2 : 0) | (row == r.r1 ? 4 : 0) |
                   (row == r.r2 ? 8 : 0) | (column == r.c1 && row == r.r1 ? 16 : 0));
}

class CHighlighter {
public:
    CHighlighter(CCanvas& canvas, const DcRect& area, CWorksheet& sheet, uint32_t firstRow,
                 uint16_t firstColumn, ZoomPair zoom)
        : canvas_(canvas), area_(area), sheet_(sheet), firstRow_(firstRow),
          firstColumn_(firstColumn), zoom_(zoom) {
        layout_ = ComputeSheetLayout(canvas, area, sheet, firstRow, firstColumn, zoom);
        x0_ = area.left + layout_.headingWidth + 1 + layout_.pinnedWidth;
        y0_ = area.top + layout_.bandHeight + 1 + layout_.pinnedHeight;
    }

    void Pass(const CellRange& range, const CellRange* other);

private:
    void Invert(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t rop) {
        canvas_.FillRect({left, top, right, bottom}, rop);
    }
    void Headings(const CellRange& range, const CellRange* other);
    void Cell(const CellRange& range, const CellRange* other, uint16_t column, uint32_t row,
              int32_t x, int32_t y, int32_t w, int32_t h);

    CCanvas& canvas_;
    DcRect area_;
    CWorksheet& sheet_;
    uint32_t firstRow_;
    uint16_t firstColumn_;
    ZoomPair zoom_;
    SheetLayout layout_;
    int32_t x0_ = 0;
    int32_t y0_ = 0;
};

void CHighlighter::Headings(const CellRange& range, const CellRange* other) {
    canvas_.SelectFillPattern(FORMAT_PAT_SOLID, kHeadingHighlight, kHeadingHighlight);
    int32_t x = x0_;
    for (uint32_t c = firstColumn_; c <= layout_.lastColumn; ++c) {
        const int32_t w = GetColumnWidth(sheet_, uint16_t(c), zoom_[0]);
        if (InColumns(range, c) && !(other && InColumns(*other, c)))
            Invert(x + 1, area_.top + 1, x + w, area_.top + layout_.bandHeight, PATINVERT);
        x += w + 1;
    }
    int32_t y = y0_;
    for (uint32_t r = firstRow_; r <= layout_.lastRow; ++r) {
        const int32_t h = GetRowHeight(sheet_, r, zoom_[1]);
        if (InRows(range, r) && !(other && InRows(*other, r)))
            Invert(area_.left + 1, y + 1, area_.left + layout_.headingWidth, y + h, PATINVERT);
        y += h + 1;
    }
}

// The outline bands on the cell's sides, then its tint. The top and bottom bands take the
// corners; a band on the first visible row or column keeps only its pixel inside the cell.
void CHighlighter::Cell(const CellRange& range, const CellRange* other, uint16_t column,
                        uint32_t row, int32_t x, int32_t y, int32_t w, int32_t h) {
    const bool firstX = column == firstColumn_;
    const bool firstY = row == firstRow_;
    const bool left = column == range.c1, right = column == range.c2;
    const bool top = row == range.r1, bottom = row == range.r2;
    const int32_t spanLeft = left ? (firstX ? x + 1 : x - 1) : (firstX ? x + 1 : x);
    const int32_t spanRight = right ? x + w + 2 : x + w;
    const int32_t spanTop = top ? y + 2 : (firstY ? y + 1 : y);
    const int32_t spanBottom = bottom ? y + h - 1 : y + h;
    if (top) Invert(spanLeft, firstY ? y + 1 : y - 1, spanRight, y + 1, DSTINVERT);
    if (bottom) Invert(spanLeft, y + h, spanRight, y + h + 2, DSTINVERT);
    if (left) Invert(firstX ? x + 1 : x - 1, spanTop, x + 1, spanBottom, DSTINVERT);
    if (right) Invert(x + w, spanTop, x + w + 2, spanBottom, DSTINVERT);

    const uint8_t place = OutlinePlace(range, column, row);
    if (place & 16) return;
    if (other && RangeContains(*other, column, row) && OutlinePlace(*other, column, row) == place)
        return;
    Invert(left ? x + 3 : (firstX ? x + 1 : x), top ? y + 3 : (firstY ? y + 1 : y),
           right ? x + w - 2 : x + w, bottom ? y + h - 2 : y + h, PATINVERT);
}

void CHighlighter::Pass(const CellRange& range, const CellRange* other) {
    Headings(range, other);
    canvas_.SelectFillPattern(FORMAT_PAT_SOLID, kCellHighlight, kCellHighlight);
    int32_t y = y0_;
    for (uint32_t r = firstRow_; r <= layout_.lastRow; ++r) {
        const int32_t h = GetRowHeight(sheet_, r, zoom_[1]);
        if (InRows(range, r)) {
            int32_t x = x0_;
            for (uint32_t c = firstColumn_; c <= layout_.lastColumn; ++c) {
                const int32_t w = GetColumnWidth(sheet_, uint16_t(c), zoom_[0]);
                if (InColumns(range, c)) Cell(range, other, uint16_t(c), r, x, y, w, h);
                x += w + 1;
            }
        }
        y += h + 1;
    }
}

} // namespace

void PaintSelectionHighlight(const CWorkbook&, CCanvas& canvas, const DcRect& area,
                             CWorksheet& sheet, uint32_t firstRow, uint16_t firstColumn,
                             const CellRange* previous, const CellRange& range, ZoomPair zoom) {
    CHighlighter highlighter(canvas, area, sheet, firstRow, firstColumn, zoom);
    highlighter.Pass(range, previous);
    if (previous) highlighter.Pass(*previous, &range);
}

} // namespace vl
