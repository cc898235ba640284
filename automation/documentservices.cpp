#include "automation/documentservices.h"

#include "model/workbook.h"

namespace vl {

namespace {

IDocumentServices*& Installed() {
    static IDocumentServices* services = nullptr;
    return services;
}

} // namespace

bool IDocumentServices::PrintWorksheet(CWorkbook& workbook, CEvalContext&, CWorksheet&,
                                       const char*) {
    workbook.error = kErrorNoPrinter;
    return false;
}

IDocumentServices* GetDocumentServices() {
    return Installed();
}

void SetDocumentServices(IDocumentServices* services) {
    Installed() = services;
}

} // namespace vl
