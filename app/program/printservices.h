#pragma once
// The frame's printing over the print library: the preview of the active worksheet, and
// print jobs to the selected printer or the PDF printer, whose file the user names.

#include "app/printservices.h"
#include "print/printerservice.h"

namespace vl {

class CWorksheet;

// Kinds 1 and 3 resolve to the sheet's selected cells, stored as kind 1; kind 2 keeps its
// container.
void ResolvePrintSelection(CWorksheet& sheet);

class CProgramPrintServices : public IPrintServices {
public:
    explicit CProgramPrintServices(const IPrinterService& printers) : printers_(printers) {}
    std::unique_ptr<IPrintPreviewPane> OpenPreview(QWidget* parent, IWorkbookWnd& window,
                                                   int& error) override;
    int Print(QWidget* parent, IWorkbookWnd& window, bool all) override;

private:
    const IPrinterService& printers_;
};

} // namespace vl
