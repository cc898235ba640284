#pragma once
// The printers the program offers: those the system lists, and the built-in "PDF" printer,
// which writes files and is the default when the system lists none.

#include "model/sheetsettings.h"
#include "platform/core/errorcode.h"
#include "print/printqueues.h"

#include <QPageSize>
#include <memory>
#include <string>
#include <vector>

namespace vl {

constexpr const char* kPdfPrinterName = "PDF";
constexpr int kPdfPrinterDpi = 600;
constexpr int kAutomaticBin = 7;
constexpr const char* kPrintJobTitle = "Vorlane Document";
// How long a finished job's hand-over to the print system may take.
constexpr int kPrintJobWaitMs = 30000;

struct PaperInfo {
    std::string name;
    int windowsId = 0;
    QPageSize size;
};

struct PrinterEntry {
    std::string name;
    std::string location;
    std::string comment;
    bool isDefault = false;
    bool builtInPdf = false;
    int dpi = kPdfPrinterDpi;
    std::vector<PaperInfo> papers;
    std::vector<int> bins{kAutomaticBin};
    double minMargins[4] = {}; // left, top, right, bottom, millimetres
};

// What the printer selection settles on: our own stand-in for the system's device mode.
struct DeviceMode {
    PrinterEntry printer;
    PaperInfo paper;
    bool landscape = false;
    int bin = kAutomaticBin;
};

class IPrinterService {
public:
    virtual ~IPrinterService() = default;
    // The system's printers, without the built-in one.
    virtual std::vector<PrinterEntry> SystemPrinters() const = 0;
    // Where the PDF printer writes when nobody is asked for a path.
    virtual std::string DocumentsFolder() const = 0;
    // The unprintable border of the mode's paper in its orientation, in millimetres (left,
    // top, right, bottom); false when the printer cannot tell. By default the printer's
    // minimum margins, turned for landscape.
    virtual bool MinimumMargins(const DeviceMode& mode, double margins[4]) const;
    // The jobs waiting in the named system printer's queue; -1 when the system cannot tell.
    virtual int QueuedJobs(const std::string& printer) const;
    // Hands a finished PDF to the mode's system printer as one job: kErrorNone, or
    // kErrorJobRefused when the print system does not take it (or there is none).
    virtual ErrorCode SubmitJob(const DeviceMode& mode, const std::string& pdfPath) const;
};

// The printers by QPrinterInfo, their queues' jobs from `queues`; the documents folder of
// the user.
std::unique_ptr<IPrinterService>
CreateSystemPrinterService(std::unique_ptr<IPrintQueues> queues = CreateSystemPrintQueues());

PrinterEntry PdfPrinter();
// The mode a printer starts with: its paper of that name, else A4 for the PDF printer and its
// first paper otherwise; portrait, the automatic bin.
DeviceMode DefaultDeviceMode(const PrinterEntry& printer, const char* paperName);
// The system's printers and the PDF printer last; it is the default when none is.
std::vector<PrinterEntry> ListPrinters(const IPrinterService& service);
// The jobs queued for a printer: none for the PDF printer, which writes at once; -1 unknown.
int PrintJobs(const IPrinterService& service, const PrinterEntry& printer);

// The page setup's printer (or the default one) with its paper by name, else A4 for the PDF
// printer and the printer's first paper otherwise. kErrorNoPrinter, with `mode` left as it
// was, when there is no such printer or it offers no paper.
ErrorCode SelectPrinter(const IPrinterService& service, const PageSetupRecord& setup,
                        DeviceMode& mode);

} // namespace vl
