#include "render/containerplace.h"

#include "render/canvas.h"
#include "render/metrics.h"

namespace vl {

namespace {

int32_t Scaled(int32_t v, uint16_t zoom) {
    return int32_t(int64_t(v) * zoom / 100);
}

// One direction of the walk: columns across or rows down.
struct Axis {
    std::function<int32_t(uint32_t)> size; // zoomed, without the gridline
    std::function<bool(uint32_t)> excluded;
    uint32_t first, anchor;
    int32_t start, end; // the gridline of the first line, the area's edge
    int32_t pinned;     // the pinned line's size + 1, or 0
    int32_t zLow, zHigh;
};

bool Skip(const Axis& a, uint32_t line) {
    return a.excluded && a.excluded(line);
}

bool Place(const Axis& a, int32_t& low, int32_t& high) {
    const int64_t w = int64_t(a.zHigh) - a.zLow + 1;
    if (a.anchor < a.first) {
        int64_t d = -int64_t(a.zLow);
        for (uint32_t line = a.anchor; line < a.first; ++line) {
            if (Skip(a, line)) continue;
            d += a.size(line) + 1;
            if (d > w) return false;
        }
        low = int32_t(a.start - d + a.pinned);
    } else {
        int64_t x = int64_t(a.start) + a.pinned;
        for (uint32_t line = a.first; line < a.anchor; ++line) {
            if (Skip(a, line)) continue;
            x += a.size(line) + 1;
            if (x + a.zLow > a.end) return false;
        }
        low = int32_t(x + a.zLow);
    }
    high = int32_t(low + w - 1);
    return true;
}

Axis Across(const CWorksheet& sheet, const DcRect& origin, uint16_t firstColumn,
            const CContainer& c, ZoomPair zoom, const PinnedPanes& pins,
            const ExcludedLines& excluded) {
    Axis a;
    a.size = [&sheet, zoom](uint32_t col) { return GetColumnWidth(sheet, uint16_t(col), zoom[0]); };
    if (excluded.column)
        a.excluded = [&excluded](uint32_t col) { return excluded.column(uint16_t(col)); };
    a.first = firstColumn;
    a.anchor = c.settings.anchor.column;
    a.start = origin.left;
    a.end = origin.right;
    a.pinned = pins.column ? GetColumnWidth(sheet, pins.pinnedColumn, zoom[0]) + 1 : 0;
    a.zLow = Scaled(c.settings.left, zoom[0]);
    a.zHigh = Scaled(c.settings.right, zoom[0]);
    return a;
}

Axis Down(CWorksheet& sheet, const DcRect& origin, uint32_t firstRow, const CContainer& c,
          ZoomPair zoom, const PinnedPanes& pins, const ExcludedLines& excluded) {
    Axis a;
    a.size = [&sheet, zoom](uint32_t row) { return GetRowHeight(sheet, row, zoom[1]); };
    if (excluded.row) a.excluded = excluded.row;
    a.first = firstRow;
    a.anchor = c.settings.anchor.row;
    a.start = origin.top;
    a.end = origin.bottom;
    a.pinned = pins.row ? GetRowHeight(sheet, pins.pinnedRow, zoom[1]) + 1 : 0;
    a.zLow = Scaled(c.settings.top, zoom[1]);
    a.zHigh = Scaled(c.settings.bottom, zoom[1]);
    return a;
}

// The anchor line of a rectangle edge and the edge's offset from it at 100 %.
void Anchor(const Axis& a, int32_t edge, uint32_t lastLine, uint16_t zoom, uint32_t& anchor,
            int32_t& offset) {
    uint32_t line = a.first;
    int64_t pos = a.start;
    if (edge < a.start) {
        while (pos > edge && line > 0) pos -= a.size(--line) + 1;
    } else {
        pos += a.pinned;
        while (line < lastLine && pos + a.size(line) + 1 < edge) pos += a.size(line++) + 1;
    }
    anchor = line;
    offset = zoom ? int32_t((edge - pos) * 100 / zoom) : 0;
}

} // namespace

bool GetObjectRect(CWorksheet& sheet, const DcRect& origin, uint32_t firstRow, uint16_t firstColumn,
                   const CContainer& c, DcRect& rect, ZoomPair zoom,
                   const ExcludedLines& excluded) {
    const PinnedPanes pins = GetPinnedPanes(sheet);
    DcRect r;
    if (!Place(Across(sheet, origin, firstColumn, c, zoom, pins, excluded), r.left, r.right))
        return false;
    if (!Place(Down(sheet, origin, firstRow, c, zoom, pins, excluded), r.top, r.bottom))
        return false;
    rect = r;
    return true;
}

void AnchorContainer(CWorksheet& sheet, const DcRect& origin, uint32_t firstRow,
                     uint16_t firstColumn, CContainer& c, const DcRect& rect, ZoomPair zoom) {
    const PinnedPanes pins = GetPinnedPanes(sheet);
    ContainerSettings& s = c.settings;
    const int32_t width = s.right - s.left, height = s.bottom - s.top;
    uint32_t column = 0;
    Anchor(Across(sheet, origin, firstColumn, c, zoom, pins, {}), rect.left, kMaxColumns - 1,
           zoom[0], column, s.left);
    Anchor(Down(sheet, origin, firstRow, c, zoom, pins, {}), rect.top, kMaxRows - 1, zoom[1],
           s.anchor.row, s.top);
    s.anchor.column = uint16_t(column);
    s.right = s.left + width;
    s.bottom = s.top + height;
}

void FrameBoxHandles(const DcRect& r, DcRect h[8]) {
    const int32_t x1 = r.left, y1 = r.top, x2 = r.right, y2 = r.bottom;
    const int32_t mx1 = (x1 + x2 - 5) / 2, mx2 = (x1 + x2 + 5) / 2;
    const int32_t my1 = (y1 + y2 - 5) / 2, my2 = (y1 + y2 + 5) / 2;
    h[0] = {x1, y1, x1 + 5, y1 + 5};
    h[1] = {mx1, y1, mx2, y1 + 5};
    h[2] = {x2 - 5, y1, x2, y1 + 5};
    h[3] = {x2 - 5, my1, x2, my2};
    h[4] = {x2 - 5, y2 - 5, x2, y2};
    h[5] = {mx1, y2 - 5, mx2, y2};
    h[6] = {x1, y2 - 5, x1 + 5, y2};
    h[7] = {x1, my1, x1 + 5, my2};
}

void DrawFrameBox(CCanvas& canvas, const DcRect& r) {
    canvas.SetPen(FORMAT_LINE_SOLID, GetSystemColor(kColorHighlight), 100);
    const DcPoint outline[5] = {{r.left, r.top},
                                {r.right, r.top},
                                {r.right, r.bottom},
                                {r.left, r.bottom},
                                {r.left, r.top}};
    canvas.DrawPolyline(outline, 5);
    const COLORREF window = GetSystemColor(kColorWindow);
    canvas.SelectFillPattern(FORMAT_PAT_SOLID, window, window);
    DcRect handles[8];
    FrameBoxHandles(r, handles);
    for (const DcRect& h : handles) canvas.FillRectWithPattern(h);
}

} // namespace vl
