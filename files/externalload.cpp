#include "files/externalload.h"

#include "files/workbookopen.h"
#include "formula/externalref.h"

namespace vl {

bool LoadExternalWorkbook(CWorkbook& workbook, const char* path) {
    return OpenDocumentFile(workbook, path) && OpenWorkbookFile(workbook, nullptr);
}

void InstallExternalWorkbookLoader() {
    SetExternalWorkbookLoader(&LoadExternalWorkbook);
}

} // namespace vl
