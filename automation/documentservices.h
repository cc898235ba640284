#pragma once
// What the automation objects need of code above the engine: measuring cell text for
// automatic row heights. The program installs the real services at start-up in every mode;
// tests install doubles. Without any, rows keep the heights they were read with.

#include <cstdint>

namespace vl {

class CWorkbook;
class CWorksheet;

class IDocumentServices {
public:
    virtual ~IDocumentServices() = default;
    // Recomputes the automatic heights of the rows first..last of a worksheet.
    virtual void AutoFitRows(CWorkbook& workbook, CWorksheet& sheet, uint32_t first,
                             uint32_t last) = 0;
};

IDocumentServices* GetDocumentServices();
// The caller keeps the services alive while objects may use them; null removes them.
void SetDocumentServices(IDocumentServices* services);

} // namespace vl
