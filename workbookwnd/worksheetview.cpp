#include "workbookwnd/worksheetview.h"

#include "model/workbook.h"
#include "render/metrics.h"
#include "ui/messages.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/mousewheelwnd.h"
#include "workbookwnd/workbookwnd.h"

#include <QScrollBar>

namespace vl {

CWorksheetView::CWorksheetView(CWorkbookWnd* owner, QWidget* parent)
    : QAbstractScrollArea(parent), owner_(owner), dragTimer_(MakeWorkbookTimer()) {
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    measure_.AttachWindow(nullptr);
}

CWorksheetView::~CWorksheetView() {
    if (dragTimer_) dragTimer_->Disarm();
}

bool CWorksheetView::OnCreate() {
    editor_ = new (std::nothrow) CCellEditor(this);
    list_ = editor_ ? new (std::nothrow) CDropDownList(this) : nullptr;
    if (!editor_ || !list_) {
        ShowErrorMessage(kErrorWorksheetMemory);
        return false;
    }
    ResetScrollBars();
    ConnectScrollBars();
    return true;
}

CWorkbook& CWorksheetView::Book() const {
    return owner_->Book();
}

CWorksheet* CWorksheetView::Sheet() const {
    return owner_->Book().tree.active;
}

void CWorksheetView::SetSelection(const CellRange& range) {
    sel_ = range;
    if (sel_.c1 > sel_.c2) std::swap(sel_.c1, sel_.c2);
    if (sel_.r1 > sel_.r2) std::swap(sel_.r1, sel_.r2);
    sel_.c2 = std::min(sel_.c2, kLastColumn);
    sel_.r2 = std::min(sel_.r2, kLastRow);
    anchorColumn_ = sel_.c1;
    anchorRow_ = sel_.r1;
}

void CWorksheetView::SetScrollPosition(uint32_t firstRow, uint16_t firstColumn) {
    firstRow_ = std::min(firstRow, kLastRow);
    firstColumn_ = std::min(firstColumn, kLastColumn);
    InvalidateAll();
}

void CWorksheetView::LoadViewPosition() {
    const CWorksheet* sheet = Sheet();
    if (!sheet) return;
    const ViewSettingsRecord& view = sheet->view;
    SetScrollPosition(view.topLeft.row, view.topLeft.column);
    SetSelection({view.selection[0].column, view.selection[0].row, view.selection[1].column,
                  view.selection[1].row});
    UpdateScrollBars(true, false);
    SetScrollBars(true, true, true, true);
    InvalidateAll();
}

void CWorksheetView::StoreViewPosition() const {
    CWorksheet* sheet = Sheet();
    if (!sheet) return;
    ViewSettingsRecord& view = sheet->view;
    view.topLeft.row = firstRow_;
    view.topLeft.column = firstColumn_;
    view.selection[0].column = sel_.c1;
    view.selection[0].row = sel_.r1;
    view.selection[1].column = sel_.c2;
    view.selection[1].row = sel_.r2;
}

DcRect CWorksheetView::ClientArea() const {
    return {0, 0, viewport()->width() - 1, viewport()->height() - 1};
}

SheetLayout CWorksheetView::Layout() {
    CWorksheet* sheet = Sheet();
    if (!sheet) return {};
    const uint16_t zoom = sheet->view.scale ? sheet->view.scale : 100;
    zoom_ = {zoom, zoom};
    return ComputeSheetLayout(measure_, ClientArea(), *sheet, firstRow_, firstColumn_, zoom_);
}

CWorksheetView* CWorksheetView::Sibling() const {
    return owner_->SiblingOf(this);
}

int32_t CWorksheetView::ColumnLeft(uint16_t column) {
    const SheetLayout layout = Layout();
    const int32_t width = viewport()->width();
    int32_t x = layout.headingWidth + 1 + layout.pinnedWidth;
    const CWorksheet& sheet = *Sheet();
    if (column < firstColumn_) {
        for (int32_t c = int32_t(firstColumn_) - 1; c >= column; --c) {
            x -= GetColumnWidth(sheet, uint16_t(c), zoom_[0]) + 1;
            if (layout.headingWidth - x > width) break;
        }
        return x;
    }
    for (uint32_t c = firstColumn_; c < column; ++c) {
        x += GetColumnWidth(sheet, uint16_t(c), zoom_[0]) + 1;
        if (x > width) break;
    }
    return x;
}

int32_t CWorksheetView::RowTop(uint32_t row) {
    const SheetLayout layout = Layout();
    const int32_t height = viewport()->height();
    int32_t y = layout.bandHeight + 1 + layout.pinnedHeight;
    CWorksheet& sheet = *Sheet();
    if (row < firstRow_) {
        for (int64_t r = int64_t(firstRow_) - 1; r >= row; --r) {
            y -= GetRowHeight(sheet, uint32_t(r), zoom_[1]) + 1;
            if (layout.bandHeight - y > height) break;
        }
        return y;
    }
    for (uint32_t r = firstRow_; r < row; ++r) {
        y += GetRowHeight(sheet, r, zoom_[1]) + 1;
        if (y > height) break;
    }
    return y;
}

DcRect CWorksheetView::GetRangeRect(const CellRange& range) {
    if (!Sheet()) return {};
    const int32_t width = viewport()->width(), height = viewport()->height();
    DcRect rect;
    rect.left = ColumnLeft(range.c1);
    rect.top = RowTop(range.r1);
    const CWorksheet& sheet = *Sheet();
    rect.right = rect.left;
    for (uint32_t c = range.c1; c <= range.c2 && rect.right <= 2 * width; ++c)
        rect.right += GetColumnWidth(sheet, uint16_t(c), zoom_[0]) + 1;
    rect.bottom = rect.top;
    for (uint32_t r = range.r1; r <= range.r2 && rect.bottom <= 2 * height; ++r)
        rect.bottom += GetRowHeight(*Sheet(), r, zoom_[1]) + 1;
    return rect;
}

bool CWorksheetView::HitTestCell(QPoint point, uint16_t& column, uint32_t& row) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return false;
    const SheetLayout layout = Layout();
    const int32_t x0 = layout.headingWidth + 1 + layout.pinnedWidth;
    const int32_t y0 = layout.bandHeight + 1 + layout.pinnedHeight;
    // The pinned row and column, the headings and the gridlines before the cells hit none.
    if (point.x() <= x0 || point.y() <= y0) return false;
    bool found = false;
    int32_t x = x0;
    for (uint32_t c = firstColumn_; c <= kLastColumn && x < viewport()->width(); ++c) {
        const int32_t next = x + GetColumnWidth(*sheet, uint16_t(c), zoom_[0]) + 1;
        if (point.x() <= next) {
            column = uint16_t(c);
            found = true;
            break;
        }
        x = next;
    }
    if (!found) return false;
    int32_t y = y0;
    for (uint32_t r = firstRow_; r <= kLastRow && y < viewport()->height(); ++r) {
        const int32_t next = y + GetRowHeight(*sheet, r, zoom_[1]) + 1;
        if (point.y() <= next) {
            row = r;
            return true;
        }
        y = next;
    }
    return false;
}

namespace {

// Walks the heading cells of one axis: the pinned one first, then the scrolled ones, each
// as (index, left or top gridline, the gridline after it).
template <class SizeOf, class Visit>
bool WalkHeadings(bool pinned, uint32_t pinnedIndex, uint32_t first, uint32_t last, int32_t start,
                  int32_t end, SizeOf size, Visit visit) {
    int32_t at = start;
    if (pinned) {
        const int32_t next = at + size(pinnedIndex) + 1;
        if (visit(pinnedIndex, at, next)) return true;
        at = next;
    }
    for (uint32_t i = first; i <= last && at < end; ++i) {
        const int32_t next = at + size(i) + 1;
        if (visit(i, at, next)) return true;
        at = next;
    }
    return false;
}

constexpr int32_t kBorderMargin = 3;

} // namespace

bool CWorksheetView::HitTestColumnHeading(QPoint point, uint16_t& column) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return false;
    const SheetLayout layout = Layout();
    if (point.y() < 0 || point.y() > layout.bandHeight || point.x() <= layout.headingWidth)
        return false;
    return WalkHeadings(
        layout.pins.column, layout.pins.pinnedColumn, firstColumn_, kLastColumn,
        layout.headingWidth + 1, viewport()->width(),
        [&](uint32_t c) { return GetColumnWidth(*sheet, uint16_t(c), zoom_[0]); },
        [&](uint32_t c, int32_t left, int32_t right) {
            if (point.x() - left > kBorderMargin && right - point.x() > kBorderMargin) {
                column = uint16_t(c);
                return true;
            }
            return false;
        });
}

bool CWorksheetView::HitTestRowHeading(QPoint point, uint32_t& row) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return false;
    const SheetLayout layout = Layout();
    if (point.x() < 0 || point.x() > layout.headingWidth || point.y() <= layout.bandHeight)
        return false;
    return WalkHeadings(
        layout.pins.row, layout.pins.pinnedRow, firstRow_, kLastRow, layout.bandHeight + 1,
        viewport()->height(), [&](uint32_t r) { return GetRowHeight(*sheet, r, zoom_[1]); },
        [&](uint32_t r, int32_t top, int32_t bottom) {
            if (point.y() - top > kBorderMargin && bottom - point.y() > kBorderMargin) {
                row = r;
                return true;
            }
            return false;
        });
}

bool CWorksheetView::HitTestColumnBorder(QPoint point, uint16_t& column, int32_t& left,
                                         int32_t& right) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return false;
    const SheetLayout layout = Layout();
    if (point.y() < 0 || point.y() > layout.bandHeight) return false;
    return WalkHeadings(
        layout.pins.column, layout.pins.pinnedColumn, firstColumn_, kLastColumn,
        layout.headingWidth + 1, viewport()->width() + kBorderMargin + 1,
        [&](uint32_t c) { return GetColumnWidth(*sheet, uint16_t(c), zoom_[0]); },
        [&](uint32_t c, int32_t l, int32_t r) {
            if (std::abs(point.x() - r) > kBorderMargin) return false;
            column = uint16_t(c);
            left = l;
            right = r;
            return true;
        });
}

bool CWorksheetView::HitTestRowBorder(QPoint point, uint32_t& row, int32_t& top, int32_t& bottom) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return false;
    const SheetLayout layout = Layout();
    if (point.x() < 0 || point.x() > layout.headingWidth) return false;
    return WalkHeadings(
        layout.pins.row, layout.pins.pinnedRow, firstRow_, kLastRow, layout.bandHeight + 1,
        viewport()->height() + kBorderMargin + 1,
        [&](uint32_t r) { return GetRowHeight(*sheet, r, zoom_[1]); },
        [&](uint32_t r, int32_t t, int32_t b) {
            if (std::abs(point.y() - b) > kBorderMargin) return false;
            row = r;
            top = t;
            bottom = b;
            return true;
        });
}

void CWorksheetView::SyncSplitPane() {
    CWorksheetView* sibling = Sibling();
    if (!sibling) return;
    if (owner_->SplitHorizontally()) {
        sibling->firstColumn_ = firstColumn_;
        sibling->sel_.c1 = sibling->sel_.c2 = sel_.c1;
    } else {
        sibling->firstRow_ = firstRow_;
        sibling->sel_.r1 = sibling->sel_.r2 = sel_.r1;
    }
    sibling->currentContainer_ = currentContainer_;
    sibling->InvalidateAll();
}

CDeviceContext* CWorksheetView::GetDC() {
    EnsureBuffer();
    if (buffer_.isNull()) return nullptr;
    dc_ = CDeviceContext::ForImage(buffer_);
    return dc_.get();
}

void CWorksheetView::ReleaseDC(CDeviceContext* dc) {
    if (dc == dc_.get()) dc_.reset();
}

} // namespace vl
