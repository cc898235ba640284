#pragma once
// What the automation objects need of code above the engine: measuring cell text for
// automatic row heights, writing ranges and containers as images, and printing. The program
// installs the real services at start-up in every mode; tests install doubles. Without any,
// rows keep the heights they were read with, the image exports fail with E_FAIL and printing
// finds no printer.

#include "model/cellrange.h"

#include <cstdint>

namespace vl {

class CEvalContext;
class CWorkbook;
class CWorksheet;

class IDocumentServices {
public:
    virtual ~IDocumentServices() = default;
    // Recomputes the automatic heights of the rows first..last of a worksheet.
    virtual void AutoFitRows(CWorkbook& workbook, CWorksheet& sheet, uint32_t first,
                             uint32_t last) = 0;
    // A cell range, or a container, of the worksheet at `sheetPath` written as a PNG image
    // with the gamma at 100 %; false with the error code in the workbook.
    virtual bool SaveRangeAsImage(CWorkbook& workbook, const char* sheetPath,
                                  const CellRange& range, const char* file, double gamma) = 0;
    virtual bool SaveContainerAsImage(CWorkbook& workbook, const char* sheetPath,
                                      uint16_t containerId, const char* file, double gamma) = 0;
    // Prints the worksheet's print selection as one job on the printer its page setup names,
    // else the default one; `documentPath` names the workbook's file (empty when it has none).
    // False with the error code in the workbook: 20 when there is no such printer.
    virtual bool PrintWorksheet(CWorkbook& workbook, CEvalContext& ctx, CWorksheet& sheet,
                                const char* documentPath);
};

IDocumentServices* GetDocumentServices();
// The caller keeps the services alive while objects may use them; null removes them.
void SetDocumentServices(IDocumentServices* services);

} // namespace vl
