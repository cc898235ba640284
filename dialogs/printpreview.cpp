#include "dialogs/printpreview.h"

#include "dialogs/previewimage.h"
#include "print/pagepaint.h"
#include "print/printjob.h"
#include "render/canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

namespace vl {

CPrintPreview::CPrintPreview(CWorkbook& workbook, CCellDisplay& display, CWorksheet& sheet,
                             QWidget* parent)
    : QWidget(parent), workbook_(workbook), display_(display), sheet_(sheet) {}

CPrintPreview::~CPrintPreview() {
    FreePageList(workbook_);
}

std::unique_ptr<CPrintPreview> CPrintPreview::Open(CWorkbook& workbook, CCellDisplay& display,
                                                   CWorksheet& sheet, const DeviceMode& mode,
                                                   QWidget* parent) {
    std::unique_ptr<CPrintPreview> preview(new CPrintPreview(workbook, display, sheet, parent));
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, mode, {});
    const DeviceCaps caps = CapsOf(printer);
    // Measuring needs no drawing: a picture at the printer's resolution stands in for it.
    QPicture measure;
    auto dc = CDeviceContext::ForDevice(measure);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    canvas.SetPrintFlags(true, true);
    preview->metrics_ =
        ComputePrintMetrics(caps, sheet.pageSetup, kScreenDpi, kScreenDpi, false, preview->scale_);
    workbook.error = kErrorNone;
    if (!PaginateSheet(workbook, canvas, sheet, preview->metrics_, preview->scale_)) {
        FreePageList(workbook);
        return nullptr;
    }
    preview->sheets_ =
        int(std::min<uint32_t>(vl::SheetCount(workbook, sheet.pageSetup), INT32_MAX));
    if (preview->sheets_ == 0) {
        workbook.error = 16;
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
        PaintPrintPage(workbook_, display_, canvas, uint32_t(sheet), sheet_, metrics_, scale_);
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

void CPrintPreview::ZoomIn() {
    zoom_ = std::min(zoom_ * 2, 8.0);
    update();
}

void CPrintPreview::ZoomOut() {
    zoom_ = 1.0;
    scroll_ = 0;
    update();
}

void CPrintPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().dark());
    if (paper_.isEmpty()) return;
    // The whole sheet fits the window at zoom 1.0.
    const double fit =
        std::min(double(width() - 16) / paper_.width(), double(height() - 16) / paper_.height());
    const double factor = std::max(fit, 0.01) * zoom_;
    const QSizeF shown(paper_.width() * factor, paper_.height() * factor);
    const QPointF origin(std::max(8.0, (width() - shown.width()) / 2), 8.0 - scroll_);
    painter.fillRect(QRectF(origin, shown), Qt::white);
    // Played back straight into a smaller scale the picture would lose its one-pixel
    // gridlines and borders, which the printed page shows.
    const int n = PreviewReduction(factor);
    if (n != reducedBy_ || current_ != reducedSheet_) {
        reduced_ = ReducedSheet(picture_, paper_, n);
        reducedBy_ = n;
        reducedSheet_ = current_;
    }
    painter.translate(origin);
    painter.scale(factor * n, factor * n);
    painter.drawImage(0, 0, reduced_);
}

void CPrintPreview::wheelEvent(QWheelEvent* event) {
    scroll_ = std::max(0, scroll_ - event->angleDelta().y() / 2);
    update();
    event->accept();
}

} // namespace vl
