#pragma once
// The frame's printing over the print library and the print sheet: the preview of the
// active worksheet, Page Setup, and print jobs to the chosen printer or a PDF file, whose
// path the user names.

#include "app/printservices.h"
#include "print/printerservice.h"

#include <optional>
#include <string>

namespace vl {

class CWorksheet;
struct CellRange;

// The file that the header and footer codes name and examine, in preview and print alike:
// the document's path as the file system names it, empty for a workbook never saved.
std::string HeaderFilePath(const IWorkbookWnd& window);

// Kinds 1, 2 and 3 resolve to the selected container as kind 2, else to the selected cells
// (the stored view selection without `selection`) as kind 1.
void ResolvePrintSelection(CWorksheet& sheet, const CellRange* selection = nullptr,
                           uint16_t container = 0);

class CFramePrintServices : public IPrintServices {
public:
    explicit CFramePrintServices(const IPrinterService& printers);
    std::unique_ptr<IPrintPreviewPane> OpenPreview(QWidget* parent, IWorkbookWnd& window) override;
    ErrorCode Print(QWidget* parent, IWorkbookWnd& window, bool all) override;
    ErrorCode PageSetup(QWidget* parent, IWorkbookWnd& window) override;

    // Lengths in inches in the sheet; from the system locale at start.
    bool inches;

private:
    struct SheetAnswer {
        bool stored = false;
        bool print = false;
        bool toFile = false;
    };
    // The printer the sheet stored last while the system lists it with paper (forgotten once
    // it does not), else the page settings' one; kErrorNone with the mode filled, or the
    // code of the failure.
    ErrorCode ChoosePrinter(const PageSetupRecord& setup, DeviceMode& mode);
    // Shows the sheet and stores what it hands back; the printer chosen comes back in `mode`.
    SheetAnswer RunSheet(QWidget* parent, IWorkbookWnd& window, CWorksheet& sheet,
                         bool pageSetupMode, DeviceMode& mode);
    void ResolveFromWindow(IWorkbookWnd& window, CWorksheet& sheet) const;

    const IPrinterService& printers_;
    std::optional<DeviceMode> printer_;
};

} // namespace vl
