#pragma once
// What the frame asks of printing: a preview to show in place of the workbook windows, the
// page settings edited, and print jobs of the active worksheet or of all of them. The shell
// gives its frame the one implementation (app/frameprinting.h); tests give a double.

#include "app/workbookwndapi.h"
#include "platform/core/errorcode.h"

#include <functional>
#include <memory>

class QWidget;

namespace vl {

class IPrintPreviewPane {
public:
    virtual ~IPrintPreviewPane() = default;
    virtual QWidget* Widget() = 0;
    virtual int SheetCount() const = 0;
    virtual int CurrentSheet() const = 0;
    // Outside the sheets nothing changes.
    virtual void ShowSheet(int sheet) = 0;
    // Zoom In arms the zoom (mode 1): the next click or dragged rectangle zooms there, and
    // the zoom-changed notification follows. Zoom Out returns to the whole sheet.
    virtual void ZoomIn() = 0;
    virtual void ZoomOut() = 0;
    virtual int ZoomMode() const = 0;
    virtual void SetZoomMode(int mode) = 0;
    virtual double Zoom() const = 0;
    // Called after a click or rectangle changed the zoom.
    virtual void SetZoomChanged(std::function<void()> notify) = 0;
};

class IPrintServices {
public:
    virtual ~IPrintServices() = default;
    // Null when the worksheet cannot be previewed, with the code (shown by the caller) in the
    // workbook's error, or none when there was nothing to preview.
    virtual std::unique_ptr<IPrintPreviewPane> OpenPreview(QWidget* parent,
                                                           IWorkbookWnd& window) = 0;
    // Shows the print sheet over the active worksheet's page settings and prints the
    // worksheet, or every worksheet, unless it was cancelled; kErrorNone or the error.
    virtual ErrorCode Print(QWidget* parent, IWorkbookWnd& window, bool all) = 0;
    // Shows the page-setup sheet over the active worksheet's page settings;
    // kErrorNone or the error.
    virtual ErrorCode PageSetup(QWidget* parent, IWorkbookWnd& window) = 0;
};

} // namespace vl
