#include "charts/draw/containerpainter.h"
#include "core/settings.h"
#include "model/container.h"
#include "model/workbook.h"
#include "render/highlight.h"
#include "render/metrics.h"
#include "render/paintsheet.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace vl {

namespace {

QRect ToQRect(const DcRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

bool SameRange(const CellRange& a, const CellRange& b) {
    return a.c1 == b.c1 && a.r1 == b.r1 && a.c2 == b.c2 && a.r2 == b.r2;
}

// True when the next render paints the whole image. (QRegion::contains(QRect) only says
// whether the two overlap.)
bool Covers(const QRegion& dirty, const QRect& rect) {
    return (QRegion(rect) - dirty).isEmpty();
}

} // namespace

void CWorksheetView::EnsureBuffer() {
    const QSize size = viewport()->size();
    if (buffer_.size() == size || size.isEmpty()) return;
    buffer_ = QImage(size, QImage::Format_RGB32);
    buffer_.fill(Qt::white);
    dirty_ = QRegion(buffer_.rect());
}

void CWorksheetView::InvalidateAll() {
    dirty_ = QRegion(QRect(QPoint(0, 0), viewport()->size()));
    viewport()->update();
}

void CWorksheetView::InvalidateRect(const DcRect& rect) {
    const QRect r = ToQRect(rect).intersected(QRect(QPoint(0, 0), viewport()->size()));
    if (r.isEmpty()) return;
    dirty_ += r;
    viewport()->update(r);
}

void CWorksheetView::InvalidateRowBand(const CellRange& area, const SheetLayout& layout) {
    const uint32_t first = std::max(area.r1, firstRow_), last = std::min(area.r2, layout.lastRow);
    if (first > last) return;
    const DcRect box = GetRangeRect({firstColumn_, first, firstColumn_, last});
    InvalidateRect({0, box.top, viewport()->width(), box.bottom});
}

void CWorksheetView::InvalidateValueCells(bool formulasOnly) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return;
    const SheetLayout layout = Layout();
    // Arrays that spread, grew, shrank or went since: their old and new areas, whole rows
    // wide, since texts beside them may now flow over the cells they left or stop at them.
    const bool whole = owner_->EvalContext()->spreads.TakeShown([&](const SpreadChange& c) {
        if (c.cells == &sheet->cells) InvalidateRowBand(c.area, layout);
    });
    if (!whole) InvalidateAll();
    if (layout.pins.row) {
        InvalidateRect({0, layout.bandHeight + 1, viewport()->width() - 1,
                        layout.bandHeight + layout.pinnedHeight});
    }
    // The records of the visible rows in storage order, each of a visible column.
    CellCursor cursor;
    const uint8_t* r = FindCellFromCursor(sheet->cells, firstRow_, 0, cursor);
    if (!r) r = NextCellRecord(cursor);
    while (r && cell::Row(r) <= layout.lastRow) {
        const uint16_t column = cell::Column(r);
        if (column >= firstColumn_ && column <= layout.lastColumn &&
            (!formulasOnly || cell::IsFormula(r))) {
            DcRect box = GetRangeRect({column, cell::Row(r), column, cell::Row(r)});
            InvalidateRect(box);
        }
        cursor.offset = uint16_t(cursor.offset + cell::Length(r));
        r = NextCellRecord(cursor);
    }
    for (const CContainer* c = sheet->firstContainer; c; c = c->next)
        RedrawContainer(c->settings.id, true);
}

void CWorksheetView::RepaintHighlight() {
    CWorksheet* sheet = Sheet();
    if (!sheet || buffer_.isNull() || Covers(dirty_, buffer_.rect()) ||
        (highlightDrawn_ && SameRange(highlighted_, sel_))) {
        highlighted_ = sel_;
        highlightDrawn_ = sheet && !buffer_.isNull();
        return;
    }
    auto dc = CDeviceContext::ForImage(buffer_);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    Layout();
    HighlightSelection(canvas, highlightDrawn_ ? &highlighted_ : nullptr);
    canvas.RestoreObjects();
    highlighted_ = sel_;
    highlightDrawn_ = true;
    viewport()->update();
}

void CWorksheetView::HighlightSelection(CCanvas& canvas, const CellRange* previous) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return;
    // The inverted highlight stops at every container, so that a chart over the selection
    // stays as drawn. Each pass leaves them out alike, so a pass over an earlier one still
    // takes back exactly what that one inverted.
    CCanvas clipped;
    clipped.AttachSavedDC(canvas);
    const DcRect cells = CellsOrigin();
    for (const CContainer* c = sheet->firstContainer; c; c = c->next) {
        DcRect rect;
        if (!ContainerRect(*c, rect)) continue;
        clipped.ExcludeClip({std::max(rect.left, cells.left), std::max(rect.top, cells.top),
                             rect.right, rect.bottom});
    }
    PaintSelectionHighlight(Book(), clipped, ClientArea(), *sheet, firstRow_, firstColumn_,
                            previous, sel_, zoom_);
    clipped.DetachSavedDC();
}

void CWorksheetView::RenderRegion(const QRect& rect) {
    CWorksheet* sheet = Sheet();
    if (!sheet) {
        QPainter(&buffer_).fillRect(rect, Qt::white);
        return;
    }
    if (highlightDrawn_ && !SameRange(highlighted_, sel_)) RepaintHighlight();
    CWorkbook& book = Book();
    const SettingsProfile& profile = Profile();
    book.hideCellMarkers = profile.hideCellMarkers;
    book.showFormulas = profile.showFormulas;
    owner_->Display().SetShowFormulas(profile.showFormulas != 0);
    const SheetLayout layout = Layout();
    headingWidth_ = layout.headingWidth;
    headingHeight_ = layout.bandHeight;
    // The painter draws nothing past the sheet's last column and row: what the kept image
    // held there (headings of the view before a jump to the end) is erased first.
    QPainter(&buffer_).fillRect(rect, Qt::white);
    auto dc = CDeviceContext::ForImage(buffer_);
    dc->IntersectClipRect(rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    const DcRect area = ClientArea();
    PaintSheet(book, owner_->Display(), canvas, area, *sheet, firstRow_, firstColumn_, zoom_,
               DrawSheetContainers);
    HighlightSelection(canvas, nullptr);
    FrameCurrentContainer(canvas);
    canvas.RestoreObjects();
    highlighted_ = sel_;
    highlightDrawn_ = true;
}

const QImage& CWorksheetView::Render() {
    EnsureBuffer();
    if (!buffer_.isNull() && !dirty_.isEmpty()) {
        const QRect rect = dirty_.boundingRect().intersected(buffer_.rect());
        dirty_ = QRegion();
        if (!rect.isEmpty()) RenderRegion(rect);
    }
    return buffer_;
}

void CWorksheetView::paintEvent(QPaintEvent* event) {
    Render();
    QPainter painter(viewport());
    painter.drawImage(event->rect(), buffer_, event->rect());
    if (drag_.kind == Drag::kColumnResize)
        painter.fillRect(QRect(drag_.line, 0, 1, viewport()->height()), Qt::black);
    else if (drag_.kind == Drag::kRowResize)
        painter.fillRect(QRect(0, drag_.line, viewport()->width(), 1), Qt::black);
    else if (drag_.kind == Drag::kContainer || drag_.kind == Drag::kMoveSelection) {
        DcRect r = drag_.rect;
        if (drag_.kind == Drag::kMoveSelection) {
            // The range's rectangle holds its right and bottom edges.
            r = GetRangeRect(drag_.target);
            ++r.right, ++r.bottom;
        }
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
    }
}

void CWorksheetView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    EnsureBuffer();
    InvalidateAll();
    if (EditorOpen()) LayoutEditor();
}

void CWorksheetView::scrollContentsBy(int, int) {
    // The scroll bars show the cursor; the view moves only through the scroll handlers.
}

void CWorksheetView::ScrollPixels(bool rows, int32_t pixels) {
    if (buffer_.isNull() || pixels == 0 || Covers(dirty_, buffer_.rect())) return InvalidateAll();
    const SheetLayout layout = Layout();
    const int width = buffer_.width(), height = buffer_.height();
    QRect moved, uncovered;
    if (rows) {
        const int top = layout.bandHeight + 1 + layout.pinnedHeight;
        if (std::abs(pixels) >= height - top) return InvalidateAll();
        const int count = height - top - std::abs(pixels);
        for (int i = 0; i < count; ++i) {
            const int to = pixels < 0 ? top + i : height - 1 - i;
            const int from = to - pixels;
            std::memcpy(buffer_.scanLine(to), buffer_.constScanLine(from),
                        size_t(buffer_.bytesPerLine()));
        }
        uncovered =
            pixels < 0 ? QRect(0, height + pixels, width, -pixels) : QRect(0, top, width, pixels);
    } else {
        const int left = layout.headingWidth + 1 + layout.pinnedWidth;
        if (std::abs(pixels) >= width - left) return InvalidateAll();
        const int count = width - left - std::abs(pixels);
        const int to = pixels < 0 ? left : left + pixels;
        const int from = to - pixels;
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(buffer_.scanLine(y));
            std::memmove(line + to, line + from, size_t(count) * sizeof(QRgb));
        }
        uncovered =
            pixels < 0 ? QRect(width + pixels, 0, -pixels, height) : QRect(left, 0, pixels, height);
    }
    dirty_ += uncovered;
    viewport()->update();
}

} // namespace vl
