#include "print/printjob.h"

#include "files/savetarget.h"
#include "print/pagepaint.h"
#include "print/printsystemcall.h"
#include "render/canvas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPicture>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <tuple>

namespace vl {

namespace {

bool HasNothingToPrint(const CWorksheet& sheet) {
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    return !NextCellRecord(cursor) && !sheet.firstContainer;
}

// Lengths of a file's margins may be anything: no number counts as 0, and the rest stays
// far inside 32 bits.
int32_t Truncated(double value) {
    if (!std::isfinite(value)) return 0;
    return int32_t(std::clamp(std::trunc(value), -1e7, 1e7));
}

} // namespace

void SetUpPrinter(QPrinter& printer, const DeviceMode& mode, const std::string& outputPath) {
    if (!mode.printer.builtInPdf) printer.setPrinterName(QString::fromStdString(mode.printer.name));
    if (mode.printer.builtInPdf || !outputPath.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(outputPath));
    }
    printer.setResolution(mode.printer.dpi);
    printer.setPageSize(mode.paper.size);
    printer.setPageOrientation(mode.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setDocName(kPrintJobTitle);
    printer.setCopyCount(1); // the page list repeats the pages itself
    if (mode.printer.builtInPdf) {
        printer.setFullPage(true);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
}

bool JobLayout(const DeviceMode& mode, QPageLayout& layout, int& dpi) {
    if (mode.printer.builtInPdf) {
        layout = QPageLayout(mode.paper.size,
                             mode.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(0, 0, 0, 0));
        dpi = mode.printer.dpi;
        return true;
    }
    // The system printer's paper, orientation and unprintable edge, as its driver has them.
    const auto asked = AskPrintSystemFor<std::pair<QPageLayout, int>>([mode] {
        QPrinter device(QPrinter::HighResolution);
        SetUpPrinter(device, mode, std::string());
        return std::pair(device.pageLayout(), device.resolution());
    });
    if (!asked) return false;
    std::tie(layout, dpi) = *asked;
    return true;
}

DeviceCaps CapsOf(const QPageLayout& layout, int dpi) {
    const QRect paper = layout.fullRectPixels(dpi);
    const QRect page = layout.paintRectPixels(dpi);
    const QRectF paperMm = layout.fullRect(QPageLayout::Millimeter);
    DeviceCaps caps;
    caps.physicalWidth = paper.width();
    caps.physicalHeight = paper.height();
    caps.physicalOffsetX = page.left() - paper.left();
    caps.physicalOffsetY = page.top() - paper.top();
    caps.horzRes = page.width();
    caps.vertRes = page.height();
    caps.logPixelsX = caps.logPixelsY = dpi;
    caps.horzSize = std::max(1, int32_t(std::lround(paperMm.width())));
    caps.vertSize = std::max(1, int32_t(std::lround(paperMm.height())));
    return caps;
}

DeviceCaps CapsOf(const QPrinter& printer) {
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QRectF paperMm = printer.paperRect(QPrinter::Millimeter);
    DeviceCaps caps;
    caps.physicalWidth = int32_t(std::lround(paper.width()));
    caps.physicalHeight = int32_t(std::lround(paper.height()));
    caps.physicalOffsetX = int32_t(std::lround(page.left() - paper.left()));
    caps.physicalOffsetY = int32_t(std::lround(page.top() - paper.top()));
    caps.horzRes = int32_t(std::lround(page.width()));
    caps.vertRes = int32_t(std::lround(page.height()));
    caps.logPixelsX = caps.logPixelsY = printer.resolution();
    caps.horzSize = std::max(1, int32_t(std::lround(paperMm.width())));
    caps.vertSize = std::max(1, int32_t(std::lround(paperMm.height())));
    return caps;
}

PrintMetrics ComputePrintMetrics(const DeviceCaps& caps, const PageSetupRecord& setup,
                                 int screenDpiX, int screenDpiY, bool sameResolution,
                                 ZoomPair& scale) {
    const int32_t percent = setup.scale ? setup.scale : 100;
    const int32_t across = caps.logPixelsX * 100 / std::max(1, screenDpiX);
    const int32_t down = sameResolution ? across : caps.logPixelsY * 100 / std::max(1, screenDpiY);
    scale[0] = uint16_t(std::clamp<int64_t>(int64_t(across) * percent / 100, 0, 65535));
    scale[1] = uint16_t(std::clamp<int64_t>(int64_t(down) * percent / 100, 0, 65535));
    const double horzSize = std::max(1, caps.horzSize), vertSize = std::max(1, caps.vertSize);
    auto h = [&](double mm) { return Truncated(caps.physicalWidth * mm / horzSize); };
    auto v = [&](double mm) { return Truncated(caps.physicalHeight * mm / vertSize); };
    PrintMetrics m;
    m.pageRight = caps.physicalWidth - caps.physicalOffsetX;
    m.pageBottom = caps.physicalHeight - caps.physicalOffsetY;
    m.marginLeft = h(setup.marginLeft) - caps.physicalOffsetX;
    m.marginTop = v(setup.marginTop) - caps.physicalOffsetY;
    m.marginRight = h(setup.marginRight);
    m.marginBottom = v(setup.marginBottom);
    m.headerY = v(setup.headerDistance) - caps.physicalOffsetY + m.pageTop;
    m.footerY = m.pageBottom - v(setup.footerDistance);
    return m;
}

uint32_t SheetCount(const CWorkbook& workbook, const PageSetupRecord& setup) {
    uint64_t printed = 0;
    const uint32_t count = PageListCount(workbook);
    for (uint32_t i = 0; i < count; ++i) {
        PageRecord page;
        if (GetPageRecord(workbook, i, page) && page.print) ++printed;
    }
    const auto [rows, columns] = PagesPerSheet(setup);
    const uint64_t perSheet = uint64_t(rows) * uint64_t(columns);
    return uint32_t((printed + perSheet - 1) / perSheet);
}

std::string SafeFileStem(const std::string& name) {
    std::string stem;
    for (const char c : name) {
        const bool refused =
            static_cast<unsigned char>(c) < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr;
        stem += refused ? '_' : c;
    }
    // Blanks and dots at either end are lost or hidden on some file systems.
    const std::size_t first = stem.find_first_not_of(" .");
    if (first == std::string::npos) return "Vorlane Document";
    const std::size_t last = stem.find_last_not_of(" .");
    return stem.substr(first, last - first + 1);
}

std::string FreePdfPath(const std::string& folder, const std::string& workbookName) {
    const std::string stem = SafeFileStem(workbookName);
    for (int n = 1;; ++n) {
        const std::string name = n == 1 ? stem : stem + " (" + std::to_string(n) + ")";
        const std::filesystem::path path = std::filesystem::path(folder) / (name + ".pdf");
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) return path.string();
    }
}

ErrorCode CheckPagination(CWorkbook& workbook, const std::vector<CWorksheet*>& sheets,
                          const DeviceMode& mode, bool sameResolution, IPrintProgress* progress,
                          CCellDisplay* display) {
    QPageLayout layout;
    int dpi = 0;
    if (!JobLayout(mode, layout, dpi)) return kErrorNoPrinter;
    const DeviceCaps caps = CapsOf(layout, dpi);
    // Measuring needs no drawing: a picture at the printer's resolution stands in for it.
    QPicture measure;
    auto dc = CDeviceContext::ForDevice(measure);
    CCanvas canvas;
    canvas.AttachDC(dc.get());
    canvas.SetPrintFlags(true, false);
    ErrorCode error = kErrorNone;
    for (CWorksheet* sheet : sheets) {
        if (sheets.size() > 1 && HasNothingToPrint(*sheet)) continue;
        ZoomPair scale{};
        const PrintMetrics metrics = ComputePrintMetrics(caps, sheet->pageSetup, kScreenDpi,
                                                         kScreenDpi, sameResolution, scale);
        workbook.error = kErrorNone;
        const bool made =
            PaginateSheet(workbook, canvas, *sheet, metrics, scale, progress, display);
        FreePageList(workbook);
        if (!made) {
            error = workbook.error;
            break;
        }
    }
    canvas.Release();
    return error;
}

PrintOutcome PrintWorksheets(CWorkbook& workbook, CCellDisplay& display,
                             const std::vector<CWorksheet*>& sheets, const DeviceMode& mode,
                             const std::string& outputPath, const char* filePath,
                             bool sameResolution, const IPrinterService* spooler,
                             IPrintProgress* progress) {
    PrintOutcome outcome;
    const bool toFile = mode.printer.builtInPdf || !outputPath.empty();
    // Made as a PDF first, a system printer's job is handed over where the print system
    // answers whether it takes it: a refusal is told, not lost.
    if (!toFile && !spooler) return {kErrorNoPrinter, 0};
    QPageLayout layout;
    int dpi = 0;
    if (!JobLayout(mode, layout, dpi)) return {kErrorNoPrinter, 0};
    // Made aside in every case: a file printed to is then saved like any other file, so that
    // one a document or program holds is not replaced.
    QTemporaryFile spoolFile(QDir::tempPath() + QStringLiteral("/vorlane-job-XXXXXX.pdf"));
    if (!spoolFile.open()) return {kStreamOpenWrite, 0};
    spoolFile.close();
    const std::string partial = spoolFile.fileName().toStdString();
    {
        QPdfWriter writer(QString::fromStdString(partial));
        writer.setResolution(dpi);
        writer.setPageLayout(layout);
        writer.setTitle(kPrintJobTitle);
        auto dc = CDeviceContext::ForDevice(writer);
        if (!dc->CanDraw()) outcome.error = kErrorNoPrinter;
        CCanvas canvas;
        canvas.AttachDC(dc.get());
        canvas.SetPrintFlags(true, false);
        const DeviceCaps caps = CapsOf(layout, dpi);
        for (CWorksheet* sheet : sheets) {
            if (outcome.error || (progress && progress->Stopped())) break;
            if (sheets.size() > 1 && HasNothingToPrint(*sheet)) continue;
            ZoomPair scale{};
            const PrintMetrics metrics = ComputePrintMetrics(caps, sheet->pageSetup, kScreenDpi,
                                                             kScreenDpi, sameResolution, scale);
            workbook.error = kErrorNone;
            if (!PaginateSheet(workbook, canvas, *sheet, metrics, scale, progress, &display)) {
                outcome.error = workbook.error;
                FreePageList(workbook);
                break;
            }
            const uint32_t count = SheetCount(workbook, sheet->pageSetup);
            for (uint32_t n = 0; n < count; ++n) {
                if (progress && !progress->Step(PrintStage::kPrinting, n, n, count)) break;
                if (outcome.sheets++ > 0) writer.newPage();
                const int level = dc->SaveDC();
                PaintPrintPage(workbook, display, canvas, n, *sheet, metrics, scale, filePath);
                dc->RestoreDC(level);
            }
            FreePageList(workbook);
        }
        outcome.stopped = progress && progress->Stopped();
        if (!outcome.error && !outcome.stopped && outcome.sheets == 0)
            outcome.error = kErrorNoPages;
        canvas.Release();
    }
    if (progress) progress->Finished();
    // What was made so far goes with the temporary file.
    if (outcome.stopped) return {kErrorNone, 0, true};
    if (!toFile && !outcome.error) outcome.error = spooler->SubmitJob(mode, partial);
    if (!toFile) return outcome;
    if (outcome.error) return outcome;
    outcome.error = WriteSaveTarget(
        outputPath.c_str(), [&partial](CFileStream& file) { return CopyInto(partial, file); });
    return outcome;
}

} // namespace vl
