#pragma once
// Opening a native workbook file: the document is opened into the workbook's own stream with
// the gzip layer on, its form is told from its first 11 bytes, and the reader of that form
// builds the workbook. An empty file becomes a new workbook.

#include <cstdint>

namespace vl {

class CWorkbook;

enum WorkbookFileKind : uint8_t {
    kFileXml = 1,
    kFileXmlCompressed = 2,
    kFileBinary = 3,
    kFileBinaryCompressed = 4,
    kFileVersion6 = 5,
    kFileEmpty = 6,
};

// Opens the document for reading with the right to save into it, or read-only when that is
// refused. A file held elsewhere leaves status 43 for the caller's wait-and-retry; a missing
// file leaves 34 and is not tried again. False with the status as the workbook's error.
bool OpenDocumentFile(CWorkbook& workbook, const char* path);

// The form and the encryption code of the file in the workbook's stream; false with error 21
// for content of no known form, or with the stream's status.
bool DetectWorkbookFormat(CWorkbook& workbook, uint8_t& kind, uint8_t& encryption);
// Reads the file in the workbook's stream with the reader of its form; `password` is what the
// user typed, or null when none was asked for. An XML document that fails leaves the line it
// failed at in `errorLine`, when given.
bool OpenWorkbookFile(CWorkbook& workbook, const char* password, uint32_t* errorLine = nullptr);

} // namespace vl
