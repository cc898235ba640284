#include "print/printerservice.h"

#include "print/printsystemcall.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <algorithm>
#include <optional>

namespace vl {

namespace {

PaperInfo PaperOf(const QPageSize& size) {
    return {size.key().toStdString(), size.windowsId(), size};
}

// The printers as the print system lists them; asked on the print system's thread.
std::vector<PrinterEntry> ListSystemPrinters() {
    std::vector<PrinterEntry> printers;
    const QString fallback = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        PrinterEntry e;
        e.name = info.printerName().toStdString();
        e.location = info.location().toStdString();
        e.comment = info.description().toStdString();
        e.isDefault = info.isDefault() || info.printerName() == fallback;
        e.builtInPdf = false;
        const QList<int> resolutions = info.supportedResolutions();
        e.dpi =
            resolutions.isEmpty() ? 300 : *std::max_element(resolutions.begin(), resolutions.end());
        for (const QPageSize& size : info.supportedPageSizes()) e.papers.push_back(PaperOf(size));
        QPageLayout layout = QPrinter(info).pageLayout();
        layout.setUnits(QPageLayout::Millimeter);
        const QMarginsF m = layout.minimumMargins();
        e.minMargins[0] = m.left();
        e.minMargins[1] = m.top();
        e.minMargins[2] = m.right();
        e.minMargins[3] = m.bottom();
        printers.push_back(std::move(e));
    }
    return printers;
}

// The printer itself, set to the paper and orientation, as its driver knows them.
std::optional<QMarginsF> PrinterMargins(const DeviceMode& mode) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(mode.printer.name));
    if (info.isNull()) return std::nullopt;
    QPrinter printer(info);
    printer.setPageSize(mode.paper.size);
    printer.setPageOrientation(mode.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    return layout.minimumMargins();
}

// Every question goes to the print system's thread: a system that does not answer lists no
// printer, measures no margin, counts no job and takes no job.
class CSystemPrinterService : public IPrinterService {
public:
    explicit CSystemPrinterService(std::shared_ptr<IPrintQueues> queues)
        : queues_(std::move(queues)) {}
    std::vector<PrinterEntry> SystemPrinters() const override {
        return AskPrintSystemFor<std::vector<PrinterEntry>>(ListSystemPrinters)
            .value_or(std::vector<PrinterEntry>());
    }
    // The documents folder, else the home folder when the user has none.
    std::string DocumentsFolder() const override {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!documents.isEmpty() && QDir(documents).exists()) return documents.toStdString();
        return QDir::homePath().toStdString();
    }
    bool MinimumMargins(const DeviceMode& mode, double margins[4]) const override {
        if (mode.printer.builtInPdf) return IPrinterService::MinimumMargins(mode, margins);
        const std::optional<std::optional<QMarginsF>> m =
            AskPrintSystemFor<std::optional<QMarginsF>>([mode] { return PrinterMargins(mode); });
        if (!m || !*m) return false;
        margins[0] = (*m)->left();
        margins[1] = (*m)->top();
        margins[2] = (*m)->right();
        margins[3] = (*m)->bottom();
        return true;
    }
    int QueuedJobs(const std::string& printer) const override {
        if (!queues_) return -1;
        return AskPrintSystemFor<int>(
                   [queues = queues_, printer] { return QueuedJobsOf(*queues, printer); })
            .value_or(-1);
    }
    ErrorCode SubmitJob(const DeviceMode& mode, const std::string& pdfPath) const override {
        if (!queues_) return kErrorJobRefused;
        const std::string paper = mode.paper.size.key().toStdString();
        auto job = std::make_shared<int>(0);
        const PrintWaitEnd end = AskPrintSystemShowingWait(
            [job, queues = queues_, name = mode.printer.name, pdfPath, paper,
             landscape = mode.landscape] {
                *job = queues->SubmitPdf(name, pdfPath, kPrintJobTitle, paper, landscape);
            },
            kPrintJobWaitMs, "Handing the print job to " + mode.printer.name + "...");
        // The user who ended the wait is told nothing more.
        if (end == PrintWaitEnd::kCancelled) return kErrorNone;
        return end == PrintWaitEnd::kAnswered && *job > 0 ? kErrorNone : kErrorJobRefused;
    }

private:
    // Shared with the questions, which may outlive the service.
    std::shared_ptr<IPrintQueues> queues_;
};

bool FindPaper(const PrinterEntry& printer, const char* name, PaperInfo& paper) {
    for (const PaperInfo& p : printer.papers)
        if (p.name == name) {
            paper = p;
            return true;
        }
    return false;
}

} // namespace

bool IPrinterService::MinimumMargins(const DeviceMode& mode, double margins[4]) const {
    const double* m = mode.printer.minMargins;
    // Turned a quarter: the portrait left edge becomes the landscape bottom, and so on.
    const double turned[4] = {m[1], m[2], m[3], m[0]};
    std::copy(mode.landscape ? turned : m, (mode.landscape ? turned : m) + 4, margins);
    return true;
}

std::unique_ptr<IPrinterService> CreateSystemPrinterService(std::unique_ptr<IPrintQueues> queues) {
    return std::make_unique<CSystemPrinterService>(std::move(queues));
}

PrinterEntry PdfPrinter() {
    PrinterEntry e;
    e.name = kPdfPrinterName;
    e.comment = "Writes PDF files";
    e.builtInPdf = true;
    e.dpi = kPdfPrinterDpi;
    for (QPageSize::PageSizeId id :
         {QPageSize::A4, QPageSize::A3, QPageSize::A5, QPageSize::Letter, QPageSize::Legal,
          QPageSize::Executive, QPageSize::Tabloid, QPageSize::B5})
        e.papers.push_back(PaperOf(QPageSize(id)));
    return e;
}

std::vector<PrinterEntry> ListPrinters(const IPrinterService& service) {
    std::vector<PrinterEntry> printers = service.SystemPrinters();
    PrinterEntry pdf = PdfPrinter();
    pdf.isDefault = std::none_of(printers.begin(), printers.end(),
                                 [](const PrinterEntry& p) { return p.isDefault; });
    printers.push_back(std::move(pdf));
    return printers;
}

ErrorCode SelectPrinter(const IPrinterService& service, const PageSetupRecord& setup,
                        DeviceMode& mode) {
    const std::vector<PrinterEntry> printers = ListPrinters(service);
    const PrinterEntry* chosen = nullptr;
    for (const PrinterEntry& p : printers)
        if (setup.printerName[0] && p.name == setup.printerName) chosen = &p;
    for (const PrinterEntry& p : printers)
        if (!chosen && p.isDefault) chosen = &p;
    if (!chosen || chosen->papers.empty()) return kErrorNoPrinter;
    mode = DefaultDeviceMode(*chosen, setup.paperName);
    mode.landscape = setup.landscape != 0;
    return kErrorNone;
}

DeviceMode DefaultDeviceMode(const PrinterEntry& printer, const char* paperName) {
    DeviceMode m;
    m.printer = printer;
    if (printer.papers.empty()) return m;
    if (!FindPaper(printer, paperName, m.paper)) {
        m.paper = printer.papers.front();
        if (printer.builtInPdf) FindPaper(printer, "A4", m.paper);
    }
    return m;
}

int IPrinterService::QueuedJobs(const std::string&) const {
    return -1;
}

ErrorCode IPrinterService::SubmitJob(const DeviceMode&, const std::string&) const {
    return kErrorJobRefused;
}

int PrintJobs(const IPrinterService& service, const PrinterEntry& printer) {
    return printer.builtInPdf ? 0 : service.QueuedJobs(printer.name);
}

} // namespace vl
