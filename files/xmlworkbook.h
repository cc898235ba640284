#pragma once
// The native XML workbook document as a whole: the declaration, the root "Workbook", the
// last modification, the window panes, the worksheet tree, and the fixed order in which the
// element readers and writers run. Loading builds the tree and the cells with their cached
// results; it never recalculates.

#include "files/xmlreader.h"
#include "files/xmlwriter.h"
#include "model/workbook.h"

#include <cstdint>

namespace vl {

// Reads the document from the workbook's stream, which the caller has opened, into a
// workbook whose tree is empty. On failure the workbook's error holds the code (the
// stream's own status wins over an XML code) and its XML error line the line it arose at;
// what was read stays in the workbook for the caller to discard.
bool ReadXmlWorkbook(CWorkbook& workbook);
// The same from a reader already set on its source.
bool ReadXmlWorkbook(CWorkbook& workbook, CXmlReader& reader);

// Writes the document to the workbook's stream, which the caller has opened for writing
// and flushes afterwards; false with the stream's status in the workbook's error.
bool WriteXmlWorkbook(CWorkbook& workbook);
// The same through a writer (in memory when it has no stream).
bool WriteXmlWorkbook(CWorkbook& workbook, CXmlWriter& writer);

} // namespace vl
