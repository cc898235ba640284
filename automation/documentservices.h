#pragma once
// What the automation objects ask of the drawing side: image export (and, as they come,
// printing and row auto-fit). The program installs the real services at start-up; engine
// tests install a double. Without any, the requests fail with E_FAIL.

#include "model/cellrange.h"
#include "model/workbook.h"

#include <cstdint>

namespace vl {

class IDocumentServices {
public:
    virtual ~IDocumentServices() = default;
    // A cell range, or a container, of the worksheet at `sheetPath` written as a PNG image
    // with the gamma at 100 %; false with the error code in the workbook.
    virtual bool SaveRangeAsImage(CWorkbook& workbook, const char* sheetPath,
                                  const CellRange& range, const char* file, double gamma) = 0;
    virtual bool SaveContainerAsImage(CWorkbook& workbook, const char* sheetPath,
                                      uint16_t containerId, const char* file, double gamma) = 0;
};

// The services in use (not owned), or null.
void SetDocumentServices(IDocumentServices* services);
IDocumentServices* DocumentServices();

} // namespace vl
