#pragma once
// What the frame asks of printing: a preview to show in place of the workbook windows, and
// print jobs of the active worksheet or of all of them. The program installs the one
// implementation at start-up; without it the printing commands do nothing.

#include "app/workbookwndapi.h"

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
    virtual void ZoomIn() = 0;
    virtual void ZoomOut() = 0;
};

class IPrintServices {
public:
    virtual ~IPrintServices() = default;
    // Null with an error code (shown by the caller) when the worksheet cannot be previewed.
    virtual std::unique_ptr<IPrintPreviewPane> OpenPreview(QWidget* parent, IWorkbookWnd& window,
                                                           int& error) = 0;
    // Prints the active worksheet, or every worksheet; 0 or the error code.
    virtual int Print(QWidget* parent, IWorkbookWnd& window, bool all) = 0;
};

void SetPrintServices(IPrintServices* services);
IPrintServices* GetPrintServices();

} // namespace vl
