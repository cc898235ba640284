#pragma once
// The preview: one physical sheet at a time, recorded into a picture at the printer's
// resolution and drawn scaled to the window, with paging and zoom.

#include "print/pagination.h"
#include "print/printerservice.h"

#include <QImage>
#include <QPicture>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

namespace vl {

class CCellDisplay;

class CPrintPreview : public QWidget {
public:
    // Paginates the worksheet for the printer; null with the workbook's error when it fails,
    // the page list then empty. `filePath` is the file the header and footer name and examine,
    // as printing takes it (see PaintPrintPage).
    static std::unique_ptr<CPrintPreview> Open(CWorkbook& workbook, CCellDisplay& display,
                                               CWorksheet& sheet, const DeviceMode& mode,
                                               QWidget* parent = nullptr,
                                               const std::string& filePath = {},
                                               IPrintProgress* progress = nullptr);
    ~CPrintPreview() override;

    int SheetCount() const { return sheets_; }
    int CurrentSheet() const { return current_; }
    // Sheets outside 0 to SheetCount() - 1 change nothing.
    void ShowSheet(int sheet);
    void Next() { ShowSheet(current_ + 1); }
    void Previous() { ShowSheet(current_ - 1); }
    // Zoom In arms the zoom (mode 1): the next click doubles the scale there, a dragged
    // rectangle fills the window, up to 8; then `zoomChanged` runs. Zoom Out returns to the
    // whole sheet, 1.0, and disarms.
    void ZoomIn() { zoomMode_ = 1; }
    void ZoomOut();
    double Zoom() const { return zoom_; }
    int ZoomMode() const { return zoomMode_; }
    void SetZoomMode(int mode) { zoomMode_ = mode; }
    void SetZoomChanged(std::function<void()> notify) { zoomChanged_ = std::move(notify); }
    // Sets the scale, keeping the sheet point under `anchor` (window pixels) there.
    void ZoomAt(double zoom, QPointF anchor);
    // The scroll offset in window pixels, each side within 0 to ScrollLimit().
    QPoint Scroll() const { return scroll_; }
    QPoint ScrollLimit() const;
    void ScrollBy(QPoint delta);
    // The wheel's lines per notch, from the system (3 when it says nothing).
    static int WheelSteps(int delta, int lines);
    // The sheet as drawn, in printer pixels.
    QPicture RecordSheet(int sheet) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static constexpr int kMargin = 8;
    static constexpr int kLine = 20;
    // Window pixels per printer pixel at zoom 1.0: the whole sheet fits the window.
    double FitFactor() const;
    QSizeF ShownSize() const;
    QPointF Origin() const;

    CPrintPreview(CWorkbook& workbook, CCellDisplay& display, CWorksheet& sheet, QWidget* parent);

    CWorkbook& workbook_;
    CCellDisplay& display_;
    CWorksheet& sheet_;
    PrintMetrics metrics_;
    ZoomPair scale_{100, 100};
    QSize paper_;
    int dpi_ = 0;
    int sheets_ = 0;
    int current_ = 0;
    double zoom_ = 1.0;
    int zoomMode_ = 0;
    int wheelRest_ = 0;
    QPoint scroll_;
    QPoint pressAt_;
    std::function<void()> zoomChanged_;
    std::string filePath_;
    QPicture picture_;
    QImage reduced_; // the picture as drawn, reduced for the window
    int reducedBy_ = 0;
    int reducedSheet_ = -1;
};

} // namespace vl
