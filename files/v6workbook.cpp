#include "files/v6workbook.h"

#include "model/workbook.h"

namespace vl {

// The older form has no reader yet: its files are refused as of an unknown form.
bool LoadV6Workbook(CWorkbook& workbook) {
    workbook.error = kErrorFileFormat;
    return false;
}

} // namespace vl
