#include "dialogs/printsetup.h"

#include "print/printsystemcall.h"
#include "ui/messages.h"
#include "ui/uiservices.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace vl {

DeviceMode ModeOfPrinter(const QPrinter& printer, const IPrinterService& printers) {
    const std::vector<PrinterEntry> listed = ListPrinters(printers);
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    const std::string name = toFile ? kPdfPrinterName : printer.printerName().toStdString();
    PrinterEntry entry = PdfPrinter();
    for (const PrinterEntry& p : listed)
        if (p.name == name) entry = p;
    if (!toFile && entry.builtInPdf) { // a printer the list did not have
        entry.name = name;
        entry.builtInPdf = false;
        entry.comment.clear();
    }
    DeviceMode mode = DefaultDeviceMode(entry, "");
    const QPageSize size = printer.pageLayout().pageSize();
    for (const PaperInfo& paper : entry.papers)
        if (paper.size.isEquivalentTo(size)) mode.paper = paper;
    mode.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    return mode;
}

bool RunPrintSetup(QWidget* parent, const IPrinterService& printers, DeviceMode& mode) {
    // The dialog asks the print system on this thread: only one that answers now is asked.
    if (!AskPrintSystem([] { QPrinterInfo::defaultPrinterName(); })) {
        ShowErrorMessage(kErrorNoPrinter);
        return false;
    }
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (UiServices().RunDialog(dialog) != QDialog::Accepted) return false;
    mode = ModeOfPrinter(printer, printers);
    return true;
}

} // namespace vl
