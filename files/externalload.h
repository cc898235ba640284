#pragma once
// The loader through which formulas read workbook files that no window holds open.

namespace vl {

class CWorkbook;

// Opens the file exclusively into the workbook's stream (with the right to save, else
// read-only) and reads it without a password; false when it cannot be opened or read.
bool LoadExternalWorkbook(CWorkbook& workbook, const char* path);
// Makes formula references to other workbook files read them with LoadExternalWorkbook.
void InstallExternalWorkbookLoader();

} // namespace vl
