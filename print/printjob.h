#pragma once
// The print job: a printer's capabilities and the metrics they give, then worksheets
// paginated and painted one physical sheet after another into a QPrinter.

#include "print/pagination.h"
#include "print/printerservice.h"

#include <QPrinter>
#include <string>
#include <vector>

namespace vl {

class CCellDisplay;

// The device capabilities printing reads, at the printer's resolution.
struct DeviceCaps {
    int32_t physicalWidth = 0, physicalHeight = 0;    // the paper
    int32_t physicalOffsetX = 0, physicalOffsetY = 0; // its unprintable edge
    int32_t horzRes = 0, vertRes = 0;                 // the printable area
    int32_t logPixelsX = 0, logPixelsY = 0;
    int32_t horzSize = 0, vertSize = 0; // the paper in millimetres
};

// Sets the printer up for the mode: resolution, paper, orientation, one copy, and for the
// PDF printer no border and the output file.
void SetUpPrinter(QPrinter& printer, const DeviceMode& mode, const std::string& outputPath);
DeviceCaps CapsOf(const QPrinter& printer);
// The paper, orientation, unprintable edge and resolution of a job on the mode's printer: the
// PDF printer's paper without a border, a system printer's as the print system tells within
// its bounded wait; false when it does not answer.
bool JobLayout(const DeviceMode& mode, QPageLayout& layout, int& dpi);
DeviceCaps CapsOf(const QPageLayout& layout, int dpi);

// `sameResolution` takes the vertical scale from the horizontal resolutions as well.
PrintMetrics ComputePrintMetrics(const DeviceCaps& caps, const PageSetupRecord& setup,
                                 int screenDpiX, int screenDpiY, bool sameResolution,
                                 ZoomPair& scale);

// Physical sheets the page list fills: printed pages over pages per sheet, rounded up.
uint32_t SheetCount(const CWorkbook& workbook, const PageSetupRecord& setup);

// `name` as a file name every file system takes: the characters \ / : * ? " < > | and
// control characters become "_", blanks and dots at either end go; "Vorlane Document" when
// nothing is left.
std::string SafeFileStem(const std::string& name);

// The path the PDF printer writes into a folder: the workbook's name made safe by
// SafeFileStem, with " (2)" and on when the name is taken.
std::string FreePdfPath(const std::string& folder, const std::string& workbookName);

struct PrintOutcome {
    ErrorCode error = kErrorNone;
    uint32_t sheets = 0;
    bool stopped = false; // the user ended it: no error, nothing written or handed over
};

// Paginates each worksheet as PrintWorksheets does and keeps nothing: the error the printout
// would end with before its first page (130 past the page limit), so that a refusal comes
// before the user is asked where to put it. kErrorNone as well when `progress` stopped it.
// `display` as PaginateSheet takes it.
ErrorCode CheckPagination(CWorkbook& workbook, const std::vector<CWorksheet*>& sheets,
                          const DeviceMode& mode, bool sameResolution = true,
                          IPrintProgress* progress = nullptr, CCellDisplay* display = nullptr);

// Paginates and prints each worksheet in turn into one job, skipping those with nothing to
// print; a PDF is written to a temporary name and moved over the path only when whole.
// `filePath` as PaintPrintPage takes it; `sameResolution` as for ComputePrintMetrics. A system
// printer's job is made as a PDF laid out for that printer and handed to the `spooler`
// (kErrorJobRefused when refused); without a spooler, or when the print system does not tell the
// layout, kErrorNoPrinter. `progress` hears of each page made and each sheet painted, and may
// stop the job.
PrintOutcome PrintWorksheets(CWorkbook& workbook, CCellDisplay& display,
                             const std::vector<CWorksheet*>& sheets, const DeviceMode& mode,
                             const std::string& outputPath, const char* filePath,
                             bool sameResolution = true, const IPrinterService* spooler = nullptr,
                             IPrintProgress* progress = nullptr);

} // namespace vl
