#pragma once
// The native XML form, read and written over the workbook's stream.

namespace vl {

class CWorkbook;

// Reads an XML-form file (plain or gzip) from the workbook's stream into the workbook.
bool ReadXmlWorkbook(CWorkbook& workbook);
// Writes the workbook in the XML form into its stream.
bool WriteXmlWorkbook(CWorkbook& workbook);

} // namespace vl
