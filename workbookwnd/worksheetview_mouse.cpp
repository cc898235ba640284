#include "formula/edit/containercommands.h"
#include "formula/edit/sizecommands.h"
#include "model/container.h"
#include "model/workbook.h"
#include "render/metrics.h"
#include "resources/commandids.h"
#include "ui/messages.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/mousewheelwnd.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

namespace vl {

namespace {

constexpr int kDragTickMs = 100;
constexpr int kRestMs = 400;
constexpr int32_t kMaxDragWidth = 4096;
constexpr int kNotch = 120;

// The wheel's turn not yet worth a whole notch, shared by every view.
int g_wheelRest = 0;

} // namespace

void CWorksheetView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint(), event->modifiers());
    else if (event->button() == Qt::MiddleButton)
        OnMButtonDown(event->globalPosition().toPoint());
}

void CWorksheetView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) OnLButtonUp();
}

void CWorksheetView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) OnLButtonDblClk(event->position().toPoint());
}

void CWorksheetView::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(event->position().toPoint(), event->buttons());
}

void CWorksheetView::wheelEvent(QWheelEvent* event) {
    OnMouseWheel(event->angleDelta().y(), event->modifiers());
    event->accept();
}

void CWorksheetView::contextMenuEvent(QContextMenuEvent* event) {
    CWorksheet* sheet = Sheet();
    if (event->reason() != QContextMenuEvent::Keyboard || !sheet)
        return owner_->ShowContextMenu(event->globalPos());
    // From the keyboard (Shift+F10, the Menu key) the menu opens at the active cell, where the
    // user is working, not wherever the pointer was left: at the cell's middle, inside the
    // view when the cell is scrolled out of it.
    const int32_t left = ColumnLeft(sel_.c1), top = RowTop(sel_.r1);
    QPoint at(left + GetColumnWidth(*sheet, sel_.c1, zoom_[0]) / 2,
              top + GetRowHeight(*sheet, sel_.r1, zoom_[1]) / 2);
    const QRect inside = viewport()->rect().adjusted(0, 0, -1, -1);
    at.setX(std::clamp(at.x(), inside.left(), inside.right()));
    at.setY(std::clamp(at.y(), inside.top(), inside.bottom()));
    owner_->ShowContextMenu(viewport()->mapToGlobal(at));
}

void CWorksheetView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    // A drag ends when the view loses the mouse to another window.
    if (drag_.kind != Drag::kNone && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        OnLButtonUp();
}

void CWorksheetView::hideEvent(QHideEvent* event) {
    QAbstractScrollArea::hideEvent(event);
    if (drag_.kind != Drag::kNone) OnLButtonUp();
}

void CWorksheetView::OnLButtonDown(QPoint point, Qt::KeyboardModifiers modifiers) {
    setFocus();
    EndCellEdit(kEditStay);
    uint16_t column = 0;
    uint32_t row = 0;
    int32_t from = 0, to = 0;
    if (ClickContainer(point)) {
        owner_->UpdateStatus();
        return;
    }
    if (HitTestSelectionFrame(point))
        StartSelectionMove(point);
    else if (HitTestCell(point, column, row))
        ClickCell(column, row, modifiers & Qt::ShiftModifier);
    else if (HitTestColumnHeading(point, column))
        SelectWholeColumn(column);
    else if (HitTestRowHeading(point, row))
        SelectWholeRow(row);
    else if (HitTestColumnBorder(point, column, from, to))
        StartResize(false, column, from, point.x());
    else if (HitTestRowBorder(point, row, from, to))
        StartResize(true, row, from, point.y());
    owner_->UpdateStatus();
}

void CWorksheetView::ClickCell(uint16_t column, uint32_t row, bool shift) {
    ForgetCurrentContainer();
    // With Shift the selection spans from the active cell to the clicked one. Either way the
    // drag that may follow, and Shift+arrow keys after it, extend from the first selected cell.
    const uint16_t fromColumn = shift ? sel_.c1 : column;
    const uint32_t fromRow = shift ? sel_.r1 : row;
    sel_ = {std::min(fromColumn, column), std::min(fromRow, row), std::max(fromColumn, column),
            std::max(fromRow, row)};
    anchorColumn_ = sel_.c1;
    anchorRow_ = sel_.r1;
    UpdateScrollBars(false, false);
    SetScrollPos(false, column);
    SetScrollPos(true, row);
    RepaintHighlight();
    SyncSplitPane();
    extending_ = true;
    drag_ = DragState{};
    drag_.kind = Drag::kSelect;
}

void CWorksheetView::SelectWholeColumn(uint16_t column) {
    ForgetCurrentContainer();
    sel_ = {column, 0, column, kLastRow};
    anchorColumn_ = column;
    anchorRow_ = 0;
    RepaintHighlight();
}

void CWorksheetView::SelectWholeRow(uint32_t row) {
    ForgetCurrentContainer();
    sel_ = {0, row, kLastColumn, row};
    anchorColumn_ = 0;
    anchorRow_ = row;
    RepaintHighlight();
}

void CWorksheetView::OnLButtonUp() {
    const Drag kind = drag_.kind;
    if (kind == Drag::kMoveSelection) return EndSelectionMove();
    if (kind == Drag::kContainer) {
        EndContainerDrag();
        owner_->UpdateStatus();
        return;
    }
    if (kind == Drag::kColumnResize || kind == Drag::kRowResize) {
        const bool changed = ApplyResize();
        EndDrag();
        InvalidateAll();
        if (changed) {
            SyncSplitPane();
            owner_->SetModified(true);
        }
        owner_->UpdateStatus();
        return;
    }
    EndDrag();
    if (extending_) extending_ = false;
    if (owner_->RefPickState() == kRefPickPicking) owner_->HandleCommand(ID_REFERENCE);
}

void CWorksheetView::OnLButtonDblClk(QPoint) {
    CContainer* c = FindContainerById(currentContainer_);
    if (!c) {
        owner_->OnReferenceCommand(nullptr);
        return;
    }
    CWorkbook& book = Book();
    // A failed undo entry is reported; the window opens all the same.
    bool unrecorded = false;
    OpenContainerCommand(book, {sel_, sel_.c1, sel_.r1}, c->settings.id, &unrecorded);
    if (unrecorded) ShowErrorMessage(book.error);
    owner_->UpdateStatus();
    owner_->OpenContainerProperties(*c);
}

void CWorksheetView::OnMouseMove(QPoint point, Qt::MouseButtons buttons) {
    if (drag_.kind != Drag::kNone && !(buttons & Qt::LeftButton)) {
        // The release went elsewhere: the drag is over.
        OnLButtonUp();
        return;
    }
    if (drag_.kind == Drag::kSelect && extending_) return DragSelectTo(point);
    if (drag_.kind == Drag::kColumnResize || drag_.kind == Drag::kRowResize)
        return MoveResizeLine(point);
    if (drag_.kind == Drag::kMoveSelection) return MoveSelectionTarget(point);
    if (drag_.kind == Drag::kContainer) return DragContainerTo(point);
    uint16_t column = 0;
    uint32_t row = 0;
    int32_t from = 0, to = 0;
    if (SetContainerCursor(point))
        return;
    else if (HitTestColumnBorder(point, column, from, to))
        viewport()->setCursor(Qt::SizeHorCursor);
    else if (HitTestRowBorder(point, row, from, to))
        viewport()->setCursor(Qt::SizeVerCursor);
    else if (HitTestSelectionFrame(point))
        viewport()->setCursor(Qt::SizeAllCursor);
    else
        viewport()->unsetCursor();
}

bool CWorksheetView::HitTestSelectionFrame(QPoint point) {
    const SheetLayout layout = Layout();
    if (point.x() < layout.headingWidth || point.y() < layout.bandHeight) return false;
    const DcRect r = GetRangeRect(sel_);
    const int32_t x = point.x(), y = point.y();
    if (x < r.left || x > r.right || y < r.top || y > r.bottom) return false;
    // One or two rows: the top band alone, so that the cells stay easy to click.
    if (sel_.r2 - sel_.r1 < 2) return y < r.top + 4;
    constexpr int32_t kBand = 8;
    return x < r.left + kBand || x > r.right - kBand || y < r.top + kBand || y > r.bottom - kBand;
}

void CWorksheetView::StartSelectionMove(QPoint point) {
    currentContainer_ = 0;
    drag_ = DragState{};
    drag_.kind = Drag::kMoveSelection;
    drag_.pointer = point;
    drag_.target = sel_;
    viewport()->setCursor(Qt::SizeAllCursor);
    viewport()->update();
}

void CWorksheetView::MoveSelectionTarget(QPoint point) {
    if (!Sheet()) return;
    CellRange& t = drag_.target;
    const DcRect rect = GetRangeRect(t);
    // The cells' own sizes: the step needs one more pixel than the column or row holds.
    auto width = [this](uint16_t c) { return GetColumnWidth(*Sheet(), c, zoom_[0]); };
    auto height = [this](uint32_t row) { return GetRowHeight(*Sheet(), row, zoom_[1]); };
    const int32_t dx = point.x() - drag_.pointer.x(), dy = point.y() - drag_.pointer.y();
    bool shifted = false;
    // At most one column and one row per move, the pointer's place becoming the reference.
    if ((dx > width(t.c1) + 1 || point.x() > rect.right) && t.c2 + 1 <= kLastColumn) {
        ++t.c1, ++t.c2, shifted = true;
    } else if ((-dx > (t.c1 ? width(uint16_t(t.c1 - 1)) : 0) + 1 || point.x() < rect.left) &&
               t.c1 >= 1) {
        --t.c1, --t.c2, shifted = true;
    }
    if ((dy > height(t.r1) + 1 || point.y() > rect.bottom) && t.r2 + 1 <= kLastRow) {
        ++t.r1, ++t.r2, shifted = true;
    } else if ((-dy > (t.r1 ? height(t.r1 - 1) : 0) + 1 || point.y() < rect.top) && t.r1 >= 1) {
        --t.r1, --t.r2, shifted = true;
    }
    if (shifted) drag_.pointer = point;
    viewport()->update();
}

void CWorksheetView::EndSelectionMove() {
    const CellRange source = sel_, target = drag_.target;
    drag_ = DragState{};
    viewport()->unsetCursor();
    viewport()->update();
    if (source.c1 == target.c1 && source.r1 == target.r1 && source.c2 == target.c2 &&
        source.r2 == target.r2)
        return;
    owner_->MoveRangeByDrag(source, target);
    InvalidateAll();
}

void CWorksheetView::DragSelectTo(QPoint point) {
    drag_.pointer = point;
    uint16_t column = 0;
    uint32_t row = 0;
    if (HitTestCell(point, column, row)) {
        drag_.stepX = drag_.stepY = 0;
        const CellRange next{std::min(anchorColumn_, column), std::min(anchorRow_, row),
                             std::max(anchorColumn_, column), std::max(anchorRow_, row)};
        if (next.c1 == sel_.c1 && next.c2 == sel_.c2 && next.r1 == sel_.r1 && next.r2 == sel_.r2)
            return;
        sel_ = next;
        RepaintHighlight();
        owner_->UpdateStatus();
        return;
    }
    const SheetLayout layout = Layout();
    drag_.stepX = point.x() < layout.headingWidth ? -1 : point.x() >= viewport()->width() ? 1 : 0;
    drag_.stepY = point.y() < layout.bandHeight ? -1 : point.y() >= viewport()->height() ? 1 : 0;
    if ((drag_.stepX || drag_.stepY) && !drag_.ticking) ArmDragTimer();
}

void CWorksheetView::OnSelectTick() {
    drag_.ticking = false;
    if (drag_.kind != Drag::kSelect || (!drag_.stepX && !drag_.stepY)) return;
    const CellRange before = sel_;
    const uint32_t firstRow = firstRow_;
    const uint16_t firstColumn = firstColumn_;
    if (drag_.stepX) OnHScroll(drag_.stepX < 0 ? SB_LINELEFT : SB_LINERIGHT);
    if (drag_.stepY) OnVScroll(drag_.stepY < 0 ? SB_LINEUP : SB_LINEDOWN);
    const bool moved = before.c1 != sel_.c1 || before.c2 != sel_.c2 || before.r1 != sel_.r1 ||
                       before.r2 != sel_.r2 || firstRow != firstRow_ || firstColumn != firstColumn_;
    // At the sheet's edge nothing moves any more, and the ticks stop.
    if (moved) ArmDragTimer();
}

void CWorksheetView::ArmDragTimer() {
    drag_.ticking = true;
    dragTimer_->Arm(kDragTickMs, [this] {
        if (drag_.kind == Drag::kSelect)
            OnSelectTick();
        else
            OnResizeTick();
    });
}

void CWorksheetView::StartResize(bool rows, uint32_t index, int32_t origin, int32_t start) {
    CWorkbook& book = Book();
    // A failed undo entry is reported; the resize goes on.
    if (RecordLineSizeCommand(book, {sel_, firstColumn_, firstRow_}, !rows, index) ==
        CommandResult::kFailed)
        ShowErrorMessage(book.error);
    drag_ = DragState{};
    drag_.kind = rows ? Drag::kRowResize : Drag::kColumnResize;
    drag_.index = index;
    drag_.origin = origin;
    drag_.line = start;
    viewport()->setCursor(rows ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    ArmDragTimer();
    viewport()->update();
}

void CWorksheetView::MoveResizeLine(QPoint point) {
    const int32_t at = drag_.kind == Drag::kRowResize ? point.y() : point.x();
    drag_.line = std::clamp(at, drag_.origin + 1, drag_.origin + kMaxDragWidth);
    drag_.restMs = 0;
    viewport()->update();
}

void CWorksheetView::OnResizeTick() {
    drag_.ticking = false;
    if (drag_.kind != Drag::kColumnResize && drag_.kind != Drag::kRowResize) return;
    drag_.restMs += kDragTickMs;
    // Once the pointer has rested, the size is applied and shown while the drag goes on.
    if (drag_.restMs == kRestMs && ApplyResize()) {
        InvalidateAll();
        owner_->SetModified(true);
    }
    ArmDragTimer();
}

bool CWorksheetView::ApplyResize() {
    if (!Sheet()) return false;
    const bool rows = drag_.kind == Drag::kRowResize;
    const int32_t pixels = drag_.line - drag_.origin - 1;
    const uint16_t zoom = zoom_[rows ? 1 : 0] ? zoom_[rows ? 1 : 0] : 100;
    const uint16_t stored = uint16_t(std::min<int32_t>(pixels * 100 / zoom, kMaxMetric));
    CWorkbook& book = Book();
    const CommandResult result = SetLineSizeCommand(book, !rows, drag_.index, stored);
    if (result == CommandResult::kFailed) ShowErrorMessage(book.error);
    return result == CommandResult::kDone;
}

void CWorksheetView::EndDrag() {
    dragTimer_->Disarm();
    if (drag_.kind == Drag::kColumnResize || drag_.kind == Drag::kRowResize)
        viewport()->unsetCursor();
    drag_ = DragState{};
    viewport()->update();
}

void CWorksheetView::OnMouseWheel(int delta, Qt::KeyboardModifiers modifiers) {
    if (!isVisible() || delta == 0) return;
    if ((delta > 0) != (g_wheelRest > 0) && g_wheelRest != 0)
        g_wheelRest = delta;
    else
        g_wheelRest += delta;
    if (!(modifiers & Qt::ControlModifier)) {
        for (int n = std::abs(g_wheelRest) / kNotch; n > 0; --n)
            OnVScroll(g_wheelRest > 0 ? SB_LINEUP : SB_LINEDOWN);
    }
    if (std::abs(g_wheelRest) >= kNotch) g_wheelRest = 0;
}

void CWorksheetView::OnMButtonDown(QPoint globalPoint) {
    viewport()->update();
    middleClick_ = globalPoint;
    wheelWnd_ = std::make_unique<CMouseWheelWnd>(this);
    wheelWnd_->Create(globalPoint);
}

} // namespace vl
