#include "files/xmlworkbook.h"

#include "model/workbook.h"

namespace vl {

// The XML form has no reader or writer yet: its files are refused as of an unknown form.
bool ReadXmlWorkbook(CWorkbook& workbook) {
    workbook.error = kErrorFileFormat;
    return false;
}

bool WriteXmlWorkbook(CWorkbook& workbook) {
    workbook.error = kErrorFileFormat;
    return false;
}

} // namespace vl
