// The containers on the grid: found by id, hit by the mouse and made current (framed),
// dragged by an edge, a corner or as a whole, and repainted one by one.

#include "charts/draw/containerpainter.h"
#include "formula/edit/containercommands.h"
#include "formula/recalc.h"
#include "model/container.h"
#include "model/workbook.h"
#include "render/containerplace.h"
#include "render/metrics.h"
#include "ui/messages.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

namespace vl {

namespace {

constexpr int32_t kZoneBand = 8;
constexpr int32_t kMinContainerSide = 16;

// Zones of a container's rectangle: bit 0 left, 1 top, 2 right, 3 bottom; 0 is inside.
enum : uint8_t { kZoneLeft = 1, kZoneTop = 2, kZoneRight = 4, kZoneBottom = 8 };

uint8_t ZoneOf(const DcRect& r, QPoint p) {
    uint8_t zone = 0;
    if (p.x() < r.left + kZoneBand)
        zone |= kZoneLeft;
    else if (p.x() > r.right - kZoneBand)
        zone |= kZoneRight;
    if (p.y() < r.top + kZoneBand)
        zone |= kZoneTop;
    else if (p.y() > r.bottom - kZoneBand)
        zone |= kZoneBottom;
    return zone;
}

Qt::CursorShape ZoneCursor(uint8_t zone) {
    switch (zone) {
    case kZoneLeft | kZoneTop:
    case kZoneRight | kZoneBottom:
        return Qt::SizeFDiagCursor;
    case kZoneRight | kZoneTop:
    case kZoneLeft | kZoneBottom:
        return Qt::SizeBDiagCursor;
    case kZoneTop:
    case kZoneBottom:
        return Qt::SizeVerCursor;
    case kZoneLeft:
    case kZoneRight:
        return Qt::SizeHorCursor;
    default:
        return Qt::SizeAllCursor;
    }
}

bool Contains(const DcRect& r, QPoint p) {
    return p.x() >= r.left && p.x() <= r.right && p.y() >= r.top && p.y() <= r.bottom;
}

int32_t Scale(int32_t pixels, uint16_t zoom) {
    return int32_t(int64_t(pixels) * 100 / (zoom ? zoom : 100));
}

} // namespace

CContainer* CWorksheetView::FindContainerById(uint16_t id) const {
    CWorksheet* sheet = Sheet();
    return sheet && id ? FindContainer(*sheet, id) : nullptr;
}

DcRect CWorksheetView::CellsOrigin() {
    const SheetLayout layout = Layout();
    const DcRect area = ClientArea();
    return {area.left + layout.headingWidth + 1, area.top + layout.bandHeight + 1, area.right,
            area.bottom};
}

bool CWorksheetView::ContainerRect(const CContainer& c, DcRect& rect) {
    CWorksheet* sheet = Sheet();
    return sheet && GetObjectRect(*sheet, CellsOrigin(), firstRow_, firstColumn_, c, rect, zoom_);
}

void CWorksheetView::RedrawContainer(uint16_t id, bool invalidate) {
    const CContainer* c = FindContainerById(id);
    DcRect rect;
    if (!c || !ContainerRect(*c, rect)) return;
    InvalidateRect({rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1});
    // The view paints from its back buffer: drawing at once is painting what is invalid.
    if (!invalidate) Render();
}

void CWorksheetView::FrameCurrentContainer(CCanvas& canvas) {
    const CContainer* c = FindContainerById(currentContainer_);
    DcRect rect;
    if (!c || !ContainerRect(*c, rect)) return;
    const SheetLayout layout = Layout();
    const DcRect origin = CellsOrigin();
    CCanvas clipped;
    clipped.AttachSavedDC(canvas);
    clipped.IntersectClip({origin.left + layout.pinnedWidth, origin.top + layout.pinnedHeight,
                           origin.right + 1, origin.bottom + 1});
    DrawFrameBox(clipped, rect);
    clipped.DetachSavedDC();
}

void CWorksheetView::ForgetCurrentContainer() {
    if (!currentContainer_) return;
    RedrawContainer(currentContainer_, true);
    currentContainer_ = 0;
}

bool CWorksheetView::ClickContainer(QPoint point) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return false;
    const SheetLayout layout = Layout();
    if (point.x() <= layout.headingWidth + layout.pinnedWidth ||
        point.y() <= layout.bandHeight + layout.pinnedHeight)
        return false;
    // The last one in the list lies on top.
    CContainer* hit = nullptr;
    DcRect rect;
    for (CContainer* c = sheet->firstContainer; c; c = c->next) {
        DcRect r;
        if (ContainerRect(*c, r) && Contains(r, point)) {
            hit = c;
            rect = r;
        }
    }
    if (!hit) return false;
    if (hit->next) LinkContainer(*sheet, UnlinkContainer(*sheet, hit));
    const uint16_t id = hit->settings.id;
    if (id != currentContainer_) {
        ForgetCurrentContainer();
        currentContainer_ = id;
    }
    RedrawContainer(id, true);
    drag_ = DragState{};
    drag_.kind = Drag::kContainer;
    drag_.container = id;
    drag_.zone = ZoneOf(rect, point);
    drag_.start = drag_.rect = rect;
    drag_.pointer = point;
    viewport()->setCursor(ZoneCursor(drag_.zone));
    SyncSplitPane();
    return true;
}

void CWorksheetView::DragContainerTo(QPoint point) {
    DcRect& r = drag_.rect;
    const uint8_t zone = drag_.zone;
    if (zone == 0) {
        const int32_t dx = point.x() - drag_.pointer.x(), dy = point.y() - drag_.pointer.y();
        r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    } else {
        // An edge stops 16 pixels short of the opposite one.
        if ((zone & kZoneLeft) && r.right - point.x() >= kMinContainerSide) r.left = point.x();
        if ((zone & kZoneRight) && point.x() - r.left >= kMinContainerSide) r.right = point.x();
        if ((zone & kZoneTop) && r.bottom - point.y() >= kMinContainerSide) r.top = point.y();
        if ((zone & kZoneBottom) && point.y() - r.top >= kMinContainerSide) r.bottom = point.y();
    }
    drag_.pointer = point;
    viewport()->update();
}

void CWorksheetView::EndContainerDrag() {
    const DcRect before = drag_.start, after = drag_.rect;
    const uint16_t id = drag_.container;
    EndDrag();
    viewport()->unsetCursor();
    CContainer* c = FindContainerById(id);
    CWorksheet* sheet = Sheet();
    if (!c || !sheet ||
        (before.left == after.left && before.top == after.top && before.right == after.right &&
         before.bottom == after.bottom))
        return;
    CWorkbook& book = Book();
    // The old place is repainted before the container leaves it.
    RedrawContainer(id, true);
    const FrameShift shift{
        Scale(after.left - before.left, zoom_[0]), Scale(after.top - before.top, zoom_[1]),
        Scale(after.right - before.right, zoom_[0]), Scale(after.bottom - before.bottom, zoom_[1])};
    bool unrecorded = false;
    MoveContainerCommand(book, {sel_, sel_.c1, sel_.r1}, id, shift, &unrecorded);
    if (unrecorded) ShowErrorMessage(book.error);
    AnchorContainer(*sheet, CellsOrigin(), firstRow_, firstColumn_, *c, after, zoom_);
    const bool resized = after.right - after.left != before.right - before.left ||
                         after.bottom - after.top != before.bottom - before.top;
    if (resized && !UpdateCharts(book, *sheet, *c)) ShowErrorMessage(book.error);
    RedrawContainer(id, true);
    UpdateScrollBars(true, true);
    owner_->SyncPlacement(*c);
    owner_->SetModified(true);
}

bool CWorksheetView::SetContainerCursor(QPoint point) {
    const CContainer* c = FindContainerById(currentContainer_);
    DcRect rect;
    if (!c || !ContainerRect(*c, rect) || !Contains(rect, point)) return false;
    viewport()->setCursor(ZoneCursor(ZoneOf(rect, point)));
    return true;
}

void CWorksheetView::GrowToContainers(uint16_t& lastColumn, uint32_t& lastRow) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return;
    for (const CContainer* c = sheet->firstContainer; c; c = c->next) {
        const ContainerSettings& s = c->settings;
        // The column and row its right and lower edges reach.
        int64_t need = int64_t(s.right) * zoom_[0] / 100;
        uint32_t column = s.anchor.column;
        for (int64_t x = 0; column < kLastColumn; ++column) {
            x += GetColumnWidth(*sheet, uint16_t(column), zoom_[0]) + 1;
            if (x > need) break;
        }
        need = int64_t(s.bottom) * zoom_[1] / 100;
        uint32_t row = s.anchor.row;
        for (int64_t y = 0; row < kLastRow; ++row) {
            y += GetRowHeight(*sheet, row, zoom_[1]) + 1;
            if (y > need) break;
        }
        lastColumn = std::max<uint16_t>(lastColumn, uint16_t(column));
        lastRow = std::max(lastRow, row);
    }
}

} // namespace vl
