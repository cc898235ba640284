#include "render/scroll.h"

#include "render/metrics.h"

#include <algorithm>

namespace vl {

namespace {

// The usable spans from a scroll position and the last rows and columns they hold.
class CVisibleArea {
public:
    CVisibleArea(CCanvas& canvas, const DcRect& view, CWorksheet& sheet, uint32_t firstRow,
                 uint16_t firstColumn, ZoomPair zoom, bool fullRows = false)
        : sheet_(sheet), zoom_(zoom),
          layout_(ComputeSheetLayout(canvas, view, sheet, firstRow, firstColumn, zoom, fullRows)) {}

    uint32_t LastFullRow(uint32_t first) const {
        return RowAtOffset(sheet_, layout_.rowsHeight, first, zoom_[1], true);
    }
    uint32_t LastReachedRow(uint32_t first) const {
        return RowAtOffset(sheet_, layout_.rowsHeight, first, zoom_[1], false);
    }
    uint16_t LastFullColumn(uint16_t first) const {
        return ColumnAtOffset(sheet_, layout_.columnsWidth, first, zoom_[0], true);
    }
    uint16_t LastReachedColumn(uint16_t first) const {
        return ColumnAtOffset(sheet_, layout_.columnsWidth, first, zoom_[0], false);
    }
    int32_t RowSize(uint32_t row) const { return GetRowHeight(sheet_, row, zoom_[1]) + 1; }
    int32_t ColumnSize(uint16_t column) const {
        return GetColumnWidth(sheet_, column, zoom_[0]) + 1;
    }

private:
    CWorksheet& sheet_;
    ZoomPair zoom_;
    SheetLayout layout_;
};

// One axis of the steps: rows or columns, with their own last index and sizes.
template <class Index> struct Axis {
    const CVisibleArea& area;
    bool rows;
    Index last;

    Index LastFull(Index first) const {
        return rows ? Index(area.LastFullRow(first)) : Index(area.LastFullColumn(uint16_t(first)));
    }
    Index LastReached(Index first) const {
        return rows ? Index(area.LastReachedRow(first))
                    : Index(area.LastReachedColumn(uint16_t(first)));
    }
    int32_t Size(Index i) const { return rows ? area.RowSize(i) : area.ColumnSize(uint16_t(i)); }
};

template <class Index> int32_t LineBack(const Axis<Index>& axis, Index& first, Index& active) {
    if (active > 0) --active;
    int32_t scrolled = 0;
    while (first > active) {
        --first;
        scrolled += axis.Size(first);
    }
    return scrolled;
}

template <class Index> int32_t LineForward(const Axis<Index>& axis, Index& first, Index& active) {
    if (active < axis.last) ++active;
    int32_t scrolled = 0;
    while (active > axis.LastFull(first) && first < axis.last) {
        scrolled += axis.Size(first);
        ++first;
    }
    return scrolled;
}

template <class Index>
void PullActiveIntoView(const Axis<Index>& axis, Index first, Index& active) {
    const Index full = axis.LastFull(first);
    if (active > full) active = full;
}

template <class Index> void PageForward(const Axis<Index>& axis, Index& first, Index& active) {
    const Index reached = axis.LastReached(first);
    if (reached == axis.last) {
        active = axis.last;
        return;
    }
    const Index start = first;
    while (first < reached && axis.LastFull(first) < axis.last) {
        ++first;
        if (active < axis.last) ++active;
    }
    // A first row taller than the window reaches nothing beyond itself: the page is that
    // one row, or the keys would stop on it for good.
    if (first == start) {
        ++first;
        if (active < axis.last) ++active;
    }
    PullActiveIntoView(axis, first, active);
    if (active < first) active = first; // the new first row shows only in part
}

template <class Index> void PageBack(const Axis<Index>& axis, Index& first, Index& active) {
    if (first == 0) {
        active = 0;
        return;
    }
    const Index start = first;
    while (first > 0) {
        --first;
        if (active > 0) --active;
        if (axis.LastReached(first) <= start) break;
    }
    PullActiveIntoView(axis, first, active);
}

// The first index that shows `target` fully with as much as fits before it, then moved
// back by half a window so that the target sits in the middle.
template <class Index> Index Centred(const Axis<Index>& axis, Index target) {
    Index first = target;
    while (first > 0 && axis.LastFull(Index(first - 1)) >= target) --first;
    const Index half = Index((axis.LastFull(first) - first) / 2);
    return target >= half ? Index(target - half) : Index(0);
}

uint16_t LastUsedColumn(const CWorksheet& sheet) {
    uint16_t last = 0;
    sheet.cells.GetUsedRange(nullptr, &last, nullptr, nullptr);
    return last;
}

uint32_t LastUsedRow(const CWorksheet& sheet) {
    uint32_t last = 0;
    sheet.cells.GetUsedRange(nullptr, nullptr, nullptr, &last);
    return last;
}

} // namespace

int32_t ScrollColumnsLineLeft(const CWorkbook&, CCanvas& canvas, const DcRect& view,
                              CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                              uint16_t& activeColumn, ZoomPair zoom) {
    const CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom);
    const Axis<uint16_t> axis{area, false, kLastColumn};
    return LineBack(axis, firstColumn, activeColumn);
}

int32_t ScrollColumnsLineRight(const CWorkbook&, CCanvas& canvas, const DcRect& view,
                               CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                               uint16_t& activeColumn, ZoomPair zoom) {
    const CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom);
    const Axis<uint16_t> axis{area, false, kLastColumn};
    return LineForward(axis, firstColumn, activeColumn);
}

void ScrollColumnsPageLeft(const CWorkbook&, CCanvas& canvas, const DcRect& view, CWorksheet& sheet,
                           uint32_t& firstRow, uint16_t& firstColumn, uint16_t& activeColumn,
                           ZoomPair zoom) {
    const CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom);
    const Axis<uint16_t> axis{area, false, kLastColumn};
    PageBack(axis, firstColumn, activeColumn);
}

void ScrollColumnsPageRight(const CWorkbook&, CCanvas& canvas, const DcRect& view,
                            CWorksheet& sheet, uint32_t& firstRow, uint16_t& firstColumn,
                            uint16_t& activeColumn, ZoomPair zoom) {
    const CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom);
    const Axis<uint16_t> axis{area, false, kLastColumn};
    PageForward(axis, firstColumn, activeColumn);
}

void ScrollColumnsToStart(const CWorkbook&, CCanvas&, const DcRect&, CWorksheet&, uint32_t&,
                          uint16_t& firstColumn, uint16_t& activeColumn, ZoomPair) {
    firstColumn = activeColumn = 0;
}

void ScrollColumnsToEnd(const CWorkbook&, CCanvas& canvas, const DcRect& view, CWorksheet& sheet,
                        uint32_t& firstRow, uint16_t& firstColumn, uint16_t& activeColumn,
                        ZoomPair zoom) {
    const CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom);
    const uint16_t last = LastUsedColumn(sheet);
    uint16_t first = 0;
    for (int32_t candidate = last; candidate >= 0; --candidate) {
        if (area.LastFullColumn(uint16_t(candidate)) <= last) {
            first = uint16_t(candidate == last ? last : candidate + 1);
            break;
        }
    }
    firstColumn = first;
    activeColumn = last;
}

int32_t ScrollRowsLineUp(const CWorkbook&, CCanvas& canvas, const DcRect& view, CWorksheet& sheet,
                         uint32_t& firstRow, uint16_t& firstColumn, uint32_t& activeRow,
                         ZoomPair zoom) {
    const CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom);
    const Axis<uint32_t> axis{area, true, kLastRow};
    return LineBack(axis, firstRow, activeRow);
}

int32_t ScrollRowsLineDown(const CWorkbook&, CCanvas& canvas, const DcRect& view, CWorksheet& sheet,
                           uint32_t& firstRow, uint16_t& firstColumn, uint32_t& activeRow,
                           ZoomPair zoom) {
    const CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom);
    const Axis<uint32_t> axis{area, true, kLastRow};
    return LineForward(axis, firstRow, activeRow);
}

void ScrollRowsPageUp(const CWorkbook&, CCanvas& canvas, const DcRect& view, CWorksheet& sheet,
                      uint32_t& firstRow, uint16_t& firstColumn, uint32_t& activeRow,
                      ZoomPair zoom) {
    const CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom);
    const Axis<uint32_t> axis{area, true, kLastRow};
    PageBack(axis, firstRow, activeRow);
}

void ScrollRowsPageDown(const CWorkbook&, CCanvas& canvas, const DcRect& view, CWorksheet& sheet,
                        uint32_t& firstRow, uint16_t& firstColumn, uint32_t& activeRow,
                        ZoomPair zoom) {
    const CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom);
    const Axis<uint32_t> axis{area, true, kLastRow};
    PageForward(axis, firstRow, activeRow);
}

void ScrollRowsToTop(const CWorkbook&, CCanvas&, const DcRect&, CWorksheet&, uint32_t& firstRow,
                     uint16_t&, uint32_t& activeRow, ZoomPair) {
    firstRow = activeRow = 0;
}

void ScrollRowsToBottom(const CWorkbook&, CCanvas& canvas, const DcRect& view, CWorksheet& sheet,
                        uint32_t& firstRow, uint16_t& firstColumn, uint32_t& activeRow,
                        ZoomPair zoom) {
    const CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom);
    const uint32_t last = LastUsedRow(sheet);
    uint32_t first = 0;
    for (int64_t candidate = last; candidate >= 0; --candidate) {
        if (area.LastFullRow(uint32_t(candidate)) < last) {
            first = uint32_t(candidate + 1);
            break;
        }
    }
    firstRow = first;
    activeRow = last;
}

void ScrollCellIntoView(const CWorkbook&, CCanvas& canvas, const DcRect& view, CWorksheet& sheet,
                        uint32_t& firstRow, uint16_t& firstColumn, uint32_t row, uint16_t column,
                        ZoomPair zoom) {
    {
        CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom, true);
        if (row >= firstRow && row <= area.LastFullRow(firstRow) && column >= firstColumn &&
            column <= area.LastFullColumn(firstColumn))
            return;
    }
    {
        CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom, true);
        firstRow = Centred(Axis<uint32_t>{area, true, kLastRow}, row);
    }
    CVisibleArea area(canvas, view, sheet, firstRow, firstColumn, zoom, true);
    firstColumn = Centred(Axis<uint16_t>{area, false, kLastColumn}, column);
}

} // namespace vl
