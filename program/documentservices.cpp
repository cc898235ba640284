#include "program/documentservices.h"

#include "charts/draw/imageexport.h"
#include "formula/celltext.h"
#include "formula/workbookcontext.h"
#include "model/workbook.h"
#include "print/printjob.h"
#include "render/canvas.h"
#include "render/metrics.h"

#include <algorithm>
#include <filesystem>

namespace vl {

namespace {

// The printer the page setup names, or the default one when it names none; a name the
// service does not know prints nowhere.
ErrorCode ChoosePrinter(const IPrinterService& printers, const PageSetupRecord& setup,
                        DeviceMode& mode) {
    if (setup.printerName[0]) {
        const std::vector<PrinterEntry> known = ListPrinters(printers);
        if (std::none_of(known.begin(), known.end(),
                         [&](const PrinterEntry& p) { return p.name == setup.printerName; }))
            return kErrorNoPrinter;
    }
    return SelectPrinter(printers, setup, mode);
}

} // namespace

void CScreenDocumentServices::AutoFitRows(CWorkbook& workbook, CWorksheet& sheet, uint32_t first,
                                          uint32_t last) {
    if (!workbook.evalContext && !AttachEvalContext(workbook)) return;
    CCellDisplay display(*workbook.evalContext, workbook.showFormulas != 0);
    CCanvas canvas;
    canvas.AttachWindow(nullptr);
    AutoFitRowHeights(workbook, display, canvas, sheet, first, last);
}

bool CScreenDocumentServices::SaveRangeAsImage(CWorkbook& workbook, const char* sheetPath,
                                               const CellRange& range, const char* file,
                                               double gamma) {
    return RenderRangeToBitmap(workbook, sheetPath, range, file, kImageFormatPng, gamma,
                               {100, 100});
}

bool CScreenDocumentServices::SaveContainerAsImage(CWorkbook& workbook, const char* sheetPath,
                                                   uint16_t containerId, const char* file,
                                                   double gamma) {
    return RenderContainerToBitmap(workbook, sheetPath, containerId, file, kImageFormatPng, gamma,
                                   {100, 100});
}

bool CScreenDocumentServices::PrintWorksheet(CWorkbook& workbook, CEvalContext& ctx,
                                             CWorksheet& sheet, const char* documentPath) {
    DeviceMode mode;
    if (const ErrorCode error = ChoosePrinter(printers_, sheet.pageSetup, mode)) {
        workbook.error = error;
        return false;
    }
    std::string output;
    if (mode.printer.builtInPdf) {
        const std::string stem = std::filesystem::path(documentPath).stem().string();
        output = FreePdfPath(printers_.DocumentsFolder(), stem);
    }
    CCellDisplay display(ctx, workbook.showFormulas != 0);
    // Each axis of the scale from its own resolution, as a job without a dialog has it.
    const PrintOutcome outcome =
        PrintWorksheets(workbook, display, {&sheet}, mode, output, documentPath, false, &printers_);
    workbook.error = outcome.error;
    return outcome.error == kErrorNone;
}

} // namespace vl
