#pragma once
// The document services of the automation objects over the drawing code: row heights
// measured with a screen canvas, as the window measures them, image export as PNG at 100 %,
// and print jobs without a dialog on the printers of a printer service.

#include "automation/documentservices.h"

namespace vl {

class IPrinterService;

class CScreenDocumentServices : public IDocumentServices {
public:
    explicit CScreenDocumentServices(const IPrinterService& printers) : printers_(printers) {}
    void AutoFitRows(CWorkbook& workbook, CWorksheet& sheet, uint32_t first,
                     uint32_t last) override;
    bool SaveRangeAsImage(CWorkbook& workbook, const char* sheetPath, const CellRange& range,
                          const char* file, double gamma) override;
    bool SaveContainerAsImage(CWorkbook& workbook, const char* sheetPath, uint16_t containerId,
                              const char* file, double gamma) override;
    // The built-in PDF printer writes a new file named after the workbook into the
    // service's documents folder.
    bool PrintWorksheet(CWorkbook& workbook, CEvalContext& ctx, CWorksheet& sheet,
                        const char* documentPath) override;

private:
    const IPrinterService& printers_;
};

} // namespace vl
