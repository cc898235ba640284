#pragma once
// Saving a workbook as an Excel 2003 XML file through the one save road of the native forms,
// and the document properties the window stamps on it first.

#include "model/workbook.h"
#include "platform/core/screen.h"

#include <cstdint>

namespace vl {

// The last author becomes `user`, and the author too when `fresh` or when it is empty; the
// last-saved time becomes `now` (seconds since 1970, local time) as ISO 8601 text with "Z",
// and the creation time too when `fresh` or empty; an empty version becomes "10.2625".
void PrepareExcelXmlProperties(DocumentProperties& properties, const char* user, int64_t now,
                               bool fresh);

// Writes the workbook to `path`; afterwards the file is the workbook's document and its
// family Excel 2003 XML. False with the workbook's error, the target as it was.
bool SaveExcelXmlFile(CWorkbook& workbook, const char* path, int logPixelsY = kScreenDpi);

} // namespace vl
