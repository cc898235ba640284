#include "dialogs/printpreview.h"

#include "dialogs/previewimage.h"
#include "print/pagepaint.h"
#include "print/printjob.h"
#include "render/canvas.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vl {

CPrintPreview::CPrintPreview(CWorkbook& workbook, CCellDisplay& display, CWorksheet& sheet,
                             QWidget* parent)
    : QWidget(parent), workbook_(workbook), display_(display), sheet_(sheet) {}

CPrintPreview::~CPrintPreview() {
    FreePageList(workbook_);
}

std::unique_ptr<CPrintPreview> CPrintPreview::Open(CWorkbook& workbook, CCellDisplay& display,
                                                   CWorksheet& sheet, const DeviceMode& mode,
                                                   QWidget* parent, const std::string& filePath,
                                                   IPrintProgress* progress) {
    std::unique_ptr<CPrintPreview> preview(new CPrintPreview(workbook, display, sheet, parent));
    preview->filePath_ = filePath;
    QPageLayout layout;
    int dpi = 0;
    if (!JobLayout(mode, layout, dpi)) {
        workbook.error = kErrorNoPrinter; // the print system did not answer
        return nullptr;
    }
    const DeviceCaps caps = CapsOf(layout, dpi);
    // Measuring needs no drawing: a picture at the printer's resolution stands in for it.
    QPicture measure;
    auto dc = CDeviceContext::ForDevice(measure);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    canvas.SetPrintFlags(true, true);
    preview->metrics_ =
        ComputePrintMetrics(caps, sheet.pageSetup, kScreenDpi, kScreenDpi, false, preview->scale_);
    workbook.error = kErrorNone;
    if (!PaginateSheet(workbook, canvas, sheet, preview->metrics_, preview->scale_, progress,
                       &display)) {
        FreePageList(workbook);
        return nullptr;
    }
    preview->sheets_ =
        int(std::min<uint32_t>(vl::SheetCount(workbook, sheet.pageSetup), INT32_MAX));
    if (preview->sheets_ == 0) {
        workbook.error = kErrorNoPages;
        FreePageList(workbook);
        return nullptr;
    }
    preview->paper_ = {caps.physicalWidth, caps.physicalHeight};
    preview->dpi_ = caps.logPixelsX;
    preview->picture_ = preview->RecordSheet(0);
    return preview;
}

QPicture CPrintPreview::RecordSheet(int sheet) const {
    QPicture picture;
    {
        auto dc = CDeviceContext::ForDevice(picture);
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        canvas.SetPrintFlags(true, true);
        const int level = dc->SaveDC();
        PaintPrintPage(workbook_, display_, canvas, uint32_t(sheet), sheet_, metrics_, scale_,
                       filePath_.c_str());
        dc->RestoreDC(level);
        canvas.Release();
    }
    return picture;
}

void CPrintPreview::ShowSheet(int sheet) {
    if (sheet < 0 || sheet >= sheets_ || sheet == current_) return;
    current_ = sheet;
    picture_ = RecordSheet(sheet);
    update();
}

void CPrintPreview::ZoomOut() {
    const QPointF centre(width() / 2.0, height() / 2.0);
    ZoomAt(1.0, centre);
    zoomMode_ = 0;
}

double CPrintPreview::FitFactor() const {
    if (paper_.isEmpty()) return 0.01;
    const double fit = std::min(double(width() - 2 * kMargin) / paper_.width(),
                                double(height() - 2 * kMargin) / paper_.height());
    return std::max(fit, 0.01);
}

QSizeF CPrintPreview::ShownSize() const {
    const double factor = FitFactor() * zoom_;
    return {paper_.width() * factor, paper_.height() * factor};
}

QPointF CPrintPreview::Origin() const {
    const QSizeF shown = ShownSize();
    return {std::max(double(kMargin), (width() - shown.width()) / 2) - scroll_.x(),
            double(kMargin) - scroll_.y()};
}

QPoint CPrintPreview::ScrollLimit() const {
    const QSizeF shown = ShownSize();
    const int x = int(std::ceil(shown.width() + 2 * kMargin - width()));
    const int y = int(std::ceil(shown.height() + 2 * kMargin - height()));
    return {std::max(0, x), std::max(0, y)};
}

void CPrintPreview::ScrollBy(QPoint delta) {
    const QPoint limit = ScrollLimit();
    const QPoint next(std::clamp(scroll_.x() + delta.x(), 0, limit.x()),
                      std::clamp(scroll_.y() + delta.y(), 0, limit.y()));
    if (next == scroll_) return;
    scroll_ = next;
    update();
}

void CPrintPreview::ZoomAt(double zoom, QPointF anchor) {
    const double before = FitFactor() * zoom_;
    const QPointF point = (anchor - Origin()) / before; // in printer pixels
    zoom_ = std::clamp(zoom, 1.0, 8.0);
    scroll_ = {};
    const QPointF base = Origin();
    const QPointF wanted = base + point * FitFactor() * zoom_ - anchor;
    ScrollBy(wanted.toPoint());
    update();
}

int CPrintPreview::WheelSteps(int delta, int lines) {
    if (lines <= 0) lines = 3;
    return (std::abs(delta) * lines + 119) / 120;
}

void CPrintPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().dark());
    if (paper_.isEmpty()) return;
    const double factor = FitFactor() * zoom_;
    const QPointF origin = Origin();
    painter.fillRect(QRectF(origin, ShownSize()), Qt::white);
    // Played back straight into a smaller scale the picture would lose its one-pixel
    // gridlines and borders, which the printed page shows.
    // Reduced for the screen's pixels, which a high-density screen has more of than the
    // window has units.
    const int n = PreviewReduction(factor * devicePixelRatioF());
    if (n != reducedBy_ || current_ != reducedSheet_) {
        reduced_ = ReducedSheet(picture_, paper_, n);
        reducedBy_ = n;
        reducedSheet_ = current_;
    }
    painter.translate(origin);
    // Blocks of printer pixels seldom fit the window's pixels exactly: resampled smoothly,
    // letters keep their shapes instead of doubling a column here and there.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(factor * n, factor * n);
    painter.drawImage(0, 0, reduced_);
}

void CPrintPreview::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    const int steps = WheelSteps(delta, QApplication::wheelScrollLines());
    ScrollBy({0, (delta > 0 ? -1 : 1) * steps * kLine});
}

void CPrintPreview::mousePressEvent(QMouseEvent* event) {
    pressAt_ = event->position().toPoint();
    event->accept();
}

void CPrintPreview::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (zoomMode_ != 1 || event->button() != Qt::LeftButton) return;
    const QRect dragged = QRect(pressAt_, event->position().toPoint()).normalized();
    if (dragged.width() > 4 && dragged.height() > 4) {
        // The dragged rectangle fills the window, its centre at the window's.
        const double grow = std::min(double(width() - 2 * kMargin) / dragged.width(),
                                     double(height() - 2 * kMargin) / dragged.height());
        const QPointF centre = QRectF(dragged).center();
        ZoomAt(zoom_ * grow, centre);
        ScrollBy((centre - QPointF(width() / 2.0, height() / 2.0)).toPoint());
    } else {
        ZoomAt(zoom_ * 2, event->position());
    }
    if (zoomChanged_) zoomChanged_();
}

} // namespace vl
