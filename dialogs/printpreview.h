#pragma once
// The preview: one physical sheet at a time, recorded into a picture at the printer's
// resolution and drawn scaled to the window, with paging and zoom.

#include "print/pagination.h"
#include "print/printerservice.h"

#include <QImage>
#include <QPicture>
#include <QWidget>
#include <memory>

namespace vl {

class CCellDisplay;

class CPrintPreview : public QWidget {
public:
    // Paginates the worksheet for the printer; null with the workbook's error when it fails,
    // the page list then empty.
    static std::unique_ptr<CPrintPreview> Open(CWorkbook& workbook, CCellDisplay& display,
                                               CWorksheet& sheet, const DeviceMode& mode,
                                               QWidget* parent = nullptr);
    ~CPrintPreview() override;

    int SheetCount() const { return sheets_; }
    int CurrentSheet() const { return current_; }
    // Sheets outside 0 to SheetCount() - 1 change nothing.
    void ShowSheet(int sheet);
    void Next() { ShowSheet(current_ + 1); }
    void Previous() { ShowSheet(current_ - 1); }
    // Zoom In doubles the scale up to 8; Zoom Out returns to the whole sheet, 1.0.
    void ZoomIn();
    void ZoomOut();
    double Zoom() const { return zoom_; }
    // The sheet as drawn, in printer pixels.
    QPicture RecordSheet(int sheet) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
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
    int scroll_ = 0;
    QPicture picture_;
    QImage reduced_; // the picture as drawn, reduced for the window
    int reducedBy_ = 0;
    int reducedSheet_ = -1;
};

} // namespace vl
