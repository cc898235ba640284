#pragma once
// Saving a workbook in one of its native forms.

#include <cstdint>

namespace vl {

class CWorkbook;

// Saves the workbook under `path` in the form `kind` (1, 2 XML, 3, 4 binary; 2 and 4
// compressed), stamped with the user and the time of the save. The bytes go to a new file
// beside the target, which replaces the target only when all of them were written and are on
// the disk; that file then stays open and locked as the workbook's document. On failure the
// target and the document stream are as they were and the workbook's error says why.
bool SaveWorkbookFile(CWorkbook& workbook, const char* path, uint8_t kind);

} // namespace vl
