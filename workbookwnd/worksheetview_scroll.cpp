#include "model/workbook.h"
#include "render/metrics.h"
#include "render/scroll.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QScrollBar>
#include <QTimer>

namespace vl {

namespace {

// The offset between the thumb and the first visible column (row) while a thumb drag
// goes on, shared by every view; -1 when no drag is under way.
int64_t g_thumbOffset[2] = {-1, -1};

bool IsCursorCode(bool rows, int code) {
    if (code >= SB_LINEUP && code <= SB_PAGEDOWN) return true;
    return rows ? code == SB_TOP || code == SB_BOTTOM
                : code == SB_FIRSTCOLUMN || code == SB_LASTCOLUMN;
}

bool MovesBack(int code) {
    return code == SB_LINEUP || code == SB_PAGEUP || code == SB_TOP || code == SB_FIRSTCOLUMN;
}

} // namespace

void CWorksheetView::ConnectScrollBars() {
    for (bool rows : {false, true}) {
        QScrollBar* bar = rows ? verticalScrollBar() : horizontalScrollBar();
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, rows](int action) {
            if (!updatingScroll_) OnScrollAction(rows ? Qt::Vertical : Qt::Horizontal, action);
        });
        connect(bar, &QAbstractSlider::sliderMoved, this, [this, rows](int position) {
            if (updatingScroll_) return;
            rows ? OnVScroll(SB_THUMBTRACK, position) : OnHScroll(SB_THUMBTRACK, position);
        });
        connect(bar, &QAbstractSlider::sliderReleased, this,
                [this, rows] { rows ? OnVScroll(SB_THUMBPOSITION) : OnHScroll(SB_THUMBPOSITION); });
    }
}

void CWorksheetView::OnScrollAction(Qt::Orientation orientation, int action) {
    const bool rows = orientation == Qt::Vertical;
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = SB_LINEUP;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = SB_LINEDOWN;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = SB_PAGEUP;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = SB_PAGEDOWN;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = rows ? SB_TOP : SB_FIRSTCOLUMN;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = rows ? SB_BOTTOM : SB_LASTCOLUMN;
        break;
    default:
        // Thumb drags arrive by sliderMoved.
        return;
    }
    rows ? OnVScroll(code) : OnHScroll(code);
}

void CWorksheetView::OnHScroll(int code, int track) {
    MoveCursor(false, code, track);
}

void CWorksheetView::OnVScroll(int code, int track) {
    MoveCursor(true, code, track);
}

void CWorksheetView::MoveCursor(bool rows, int code, int track) {
    if (!Sheet()) return;
    EndCellEdit(kEditStay);
    Layout();
    const bool single = sel_.c1 == sel_.c2 && sel_.r1 == sel_.r2;
    if (!extending_ && IsCursorCode(rows, code) && !single) {
        sel_.c2 = sel_.c1;
        sel_.r2 = sel_.r1;
        anchorColumn_ = sel_.c1;
        anchorRow_ = sel_.r1;
        RepaintHighlight();
        SyncSplitPane();
    }
    CWorksheetView* sibling = Sibling();
    const bool shared = rows ? owner_->SplitVertically() : owner_->SplitHorizontally();
    if (sibling && shared && !mirroring_) {
        sibling->mirroring_ = true;
        sibling->MoveCursor(rows, code, track);
        sibling->mirroring_ = false;
    }
    if (code == SB_THUMBTRACK) return ThumbTrack(rows, track);
    if (code == SB_THUMBPOSITION || code == SB_ENDSCROLL) {
        g_thumbOffset[rows] = -1;
        return;
    }
    const uint32_t oldFirst = rows ? firstRow_ : firstColumn_;
    const int32_t oldHeading = headingWidth_;
    uint32_t moving = rows ? sel_.r1 : sel_.c1;
    if (extending_) {
        if (rows)
            moving = sel_.r1 == anchorRow_ ? sel_.r2 : sel_.r1;
        else
            moving = sel_.c1 == anchorColumn_ ? sel_.c2 : sel_.c1;
    }
    const int32_t scrolled = Step(rows, code, moving);
    if (scrolled < 0) return;
    StoreMove(rows, moving);
    AfterMove(rows, code, scrolled, oldFirst, oldHeading);
}

int32_t CWorksheetView::Step(bool rows, int code, uint32_t& moving) {
    CWorkbook& book = Book();
    CWorksheet& sheet = *Sheet();
    const DcRect view = ClientArea();
    if (rows) {
        uint32_t active = moving;
        int32_t pixels = 0;
        switch (code) {
        case SB_LINEUP:
            pixels = ScrollRowsLineUp(book, measure_, view, sheet, firstRow_, firstColumn_, active,
                                      zoom_);
            break;
        case SB_LINEDOWN:
            pixels = ScrollRowsLineDown(book, measure_, view, sheet, firstRow_, firstColumn_,
                                        active, zoom_);
            break;
        case SB_PAGEUP:
            ScrollRowsPageUp(book, measure_, view, sheet, firstRow_, firstColumn_, active, zoom_);
            break;
        case SB_PAGEDOWN:
            ScrollRowsPageDown(book, measure_, view, sheet, firstRow_, firstColumn_, active, zoom_);
            break;
        case SB_TOP:
            ScrollRowsToTop(book, measure_, view, sheet, firstRow_, firstColumn_, active, zoom_);
            break;
        case SB_BOTTOM:
            ScrollRowsToBottom(book, measure_, view, sheet, firstRow_, firstColumn_, active, zoom_);
            break;
        default:
            return -1;
        }
        moving = active;
        return pixels;
    }
    uint16_t active = uint16_t(moving);
    int32_t pixels = 0;
    switch (code) {
    case SB_LINELEFT:
        pixels = ScrollColumnsLineLeft(book, measure_, view, sheet, firstRow_, firstColumn_, active,
                                       zoom_);
        break;
    case SB_LINERIGHT:
        pixels = ScrollColumnsLineRight(book, measure_, view, sheet, firstRow_, firstColumn_,
                                        active, zoom_);
        break;
    case SB_PAGELEFT:
        ScrollColumnsPageLeft(book, measure_, view, sheet, firstRow_, firstColumn_, active, zoom_);
        break;
    case SB_PAGERIGHT:
        ScrollColumnsPageRight(book, measure_, view, sheet, firstRow_, firstColumn_, active, zoom_);
        break;
    case SB_FIRSTCOLUMN:
        ScrollColumnsToStart(book, measure_, view, sheet, firstRow_, firstColumn_, active, zoom_);
        break;
    case SB_LASTCOLUMN:
        ScrollColumnsToEnd(book, measure_, view, sheet, firstRow_, firstColumn_, active, zoom_);
        break;
    default:
        return -1;
    }
    moving = active;
    return pixels;
}

void CWorksheetView::StartExtending() {
    extending_ = true;
    const bool corner = (anchorColumn_ == sel_.c1 || anchorColumn_ == sel_.c2) &&
                        (anchorRow_ == sel_.r1 || anchorRow_ == sel_.r2);
    if (corner) return;
    anchorColumn_ = sel_.c1;
    anchorRow_ = sel_.r1;
}

void CWorksheetView::StoreMove(bool rows, uint32_t moving) {
    if (rows) {
        if (!extending_) {
            sel_.r1 = sel_.r2 = moving;
            anchorColumn_ = sel_.c1;
            anchorRow_ = moving;
        } else {
            // The anchor stays one corner; the moving edge may pass it.
            sel_.r1 = std::min(anchorRow_, moving);
            sel_.r2 = std::max(anchorRow_, moving);
        }
        return;
    }
    const uint16_t column = uint16_t(moving);
    if (!extending_) {
        sel_.c1 = sel_.c2 = column;
        anchorColumn_ = column;
        anchorRow_ = sel_.r1;
    } else {
        sel_.c1 = std::min(anchorColumn_, column);
        sel_.c2 = std::max(anchorColumn_, column);
    }
}

void CWorksheetView::AfterMove(bool rows, int code, int32_t scrolled, uint32_t oldFirst,
                               int32_t oldHeading) {
    const uint32_t newFirst = rows ? firstRow_ : firstColumn_;
    const bool line = code == SB_LINEUP || code == SB_LINEDOWN;
    const CWorksheet& sheet = *Sheet();
    const bool pixelsMay = sheet.flags[0] == 1 && sheet.flags[1] <= 1;
    if (newFirst != oldFirst) {
        if (line && scrolled > 0 && pixelsMay)
            ScrollPixels(rows, MovesBack(code) ? scrolled : -scrolled);
        else
            InvalidateAll();
    }
    RepaintHighlight();
    if (rows && Layout().headingWidth != oldHeading) InvalidateAll();
    owner_->UpdateStatus();
    const uint32_t last = rows ? sel_.r2 : sel_.c2;
    QScrollBar* bar = rows ? verticalScrollBar() : horizontalScrollBar();
    if (uint32_t(bar->maximum()) < last) SetScrollMax(rows, last);
    const bool fromFirst = MovesBack(code);
    SetScrollPos(rows, fromFirst ? (rows ? sel_.r1 : sel_.c1) : last);
}

void CWorksheetView::ThumbTrack(bool rows, int track) {
    const uint32_t limit = rows ? kLastRow : kLastColumn;
    if (track < 0 || uint32_t(track) > limit) return;
    int64_t& offset = g_thumbOffset[rows];
    const uint32_t first = rows ? firstRow_ : firstColumn_;
    if (offset < 0) offset = int64_t(track) - int64_t(first);
    const uint32_t next = track < offset ? 0 : uint32_t(std::min<int64_t>(track - offset, limit));
    SetScrollPos(rows, uint32_t(track));
    if (next == first) return;
    if (rows)
        firstRow_ = next;
    else
        firstColumn_ = uint16_t(next);
    InvalidateAll();
}

void CWorksheetView::SetScrollMax(bool rows, uint32_t value) {
    QScrollBar* bar = rows ? verticalScrollBar() : horizontalScrollBar();
    updatingScroll_ = true;
    bar->setRange(0, int(std::min<uint32_t>(value, rows ? kLastRow : kLastColumn)));
    bar->setPageStep(1);
    bar->setSingleStep(1);
    updatingScroll_ = false;
}

void CWorksheetView::SetScrollPos(bool rows, uint32_t value) {
    QScrollBar* bar = rows ? verticalScrollBar() : horizontalScrollBar();
    updatingScroll_ = true;
    bar->setValue(int(value));
    updatingScroll_ = false;
}

void CWorksheetView::SetScrollBars(bool vertical, bool horizontal, bool fromFirstRow,
                                   bool fromFirstColumn) {
    if (horizontal) SetScrollPos(false, fromFirstColumn ? sel_.c1 : sel_.c2);
    if (vertical) SetScrollPos(true, fromFirstRow ? sel_.r1 : sel_.r2);
}

void CWorksheetView::UpdateScrollBars(bool scan, bool keepPosition) {
    uint16_t lastColumn = 0;
    uint32_t lastRow = 0;
    if (scan && Sheet()) {
        Sheet()->cells.GetUsedRange(nullptr, &lastColumn, nullptr, &lastRow);
        GrowToContainers(lastColumn, lastRow);
    }
    lastColumn = std::max<uint16_t>({lastColumn, sel_.c2, 1});
    lastRow = std::max<uint32_t>({lastRow, sel_.r2, 1});
    for (bool rows : {false, true}) {
        QScrollBar* bar = rows ? verticalScrollBar() : horizontalScrollBar();
        const uint32_t extent = rows ? lastRow : lastColumn;
        if (uint32_t(bar->maximum()) >= extent) continue;
        const int position = bar->value();
        SetScrollMax(rows, extent);
        if (keepPosition) SetScrollPos(rows, uint32_t(position));
    }
}

void CWorksheetView::ResetScrollBars() {
    SetScrollMax(false, 1);
    SetScrollMax(true, 1);
}

void CWorksheetView::ScrollToCell(uint32_t row, uint16_t column) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return;
    Layout();
    ScrollCellIntoView(Book(), measure_, ClientArea(), *sheet, firstRow_, firstColumn_, row, column,
                       zoom_);
    UpdateScrollBars(false, false);
    SetScrollBars(true, true, true, true);
    InvalidateAll();
    owner_->UpdateStatus();
}

bool CWorksheetView::ActiveCellVisible(int extraTop) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return true;
    const SheetLayout layout = Layout();
    const int32_t width = viewport()->width() - layout.headingWidth - layout.pinnedWidth;
    const int32_t height =
        viewport()->height() - layout.bandHeight - extraTop - layout.pinnedHeight;
    const uint16_t lastColumn = ColumnAtOffset(*sheet, width, firstColumn_, zoom_[0], false);
    const uint32_t lastRow = RowAtOffset(*sheet, height, firstRow_, zoom_[1], false);
    return sel_.c1 >= firstColumn_ && sel_.c1 <= lastColumn && sel_.r1 >= firstRow_ &&
           sel_.r1 <= lastRow;
}

void CWorksheetView::BringActiveCellIntoView(int extraTop) {
    if (!ActiveCellVisible(extraTop)) ScrollToCell(sel_.r1, sel_.c1);
}

} // namespace vl
