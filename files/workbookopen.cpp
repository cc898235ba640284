#include "files/workbookopen.h"

#include "files/binaryform.h"
#include "files/v6workbook.h"
#include "files/xmlworkbook.h"
#include "model/workbook.h"

#include <cstring>

namespace vl {

namespace {

constexpr char kV6Signature[] = "Vorlane6000";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool OpenDocumentFile(CWorkbook& workbook, const char* path) {
    CFileStream& s = workbook.stream;
    // Opened for writing, the file is ours alone for a moment; kept open, it is only shared,
    // so that other documents can still read it.
    // save target: opened to hold the document, nothing is written here.
    if (s.Open(path, "r+b", true, kFileBufferSize)) {
        s.HoldLock(true);
        return true;
    }
    // A file that is there but may not be written, or that another document holds, is
    // opened read-only instead; a writer's hold refuses that too ("in use").
    const bool inUse = s.GetError() == kStreamInUse;
    if ((inUse || (s.GetError() == kStreamOpenRead && CFileStream::FileExists(path))) &&
        s.Open(path, "rb", true, kFileBufferSize)) {
        workbook.readOnly = 1;
        return true;
    }
    workbook.error = s.GetError();
    return false;
}

bool DetectWorkbookFormat(CWorkbook& workbook, uint8_t& kind, uint8_t& encryption) {
    CFileStream& s = workbook.stream;
    char head[kBinaryHeaderSize] = {};
    kind = 0;
    encryption = 0;
    const int32_t count = s.ReadAt(head, kBinaryHeaderSize, kSeekStart, 0);
    bool known = true;
    if (count == 0) {
        kind = kFileEmpty;
    } else if (std::memcmp(head, kV6Signature, kBinaryHeaderSize) == 0) {
        kind = kFileVersion6;
    } else if (std::memcmp(head, "<?xml", 5) == 0 ||
               std::memcmp(head, "\xEF\xBB\xBF<?xml", 8) == 0) {
        kind = s.IsCompressed() ? kFileXmlCompressed : kFileXml;
    } else {
        known = head[0] >= '1' && head[0] <= '3';
        for (int i = 1; i < kBinaryHeaderSize; ++i) known = known && IsDigit(head[i]);
        kind = s.IsCompressed() ? kFileBinaryCompressed : kFileBinary;
        encryption = EncryptionCodeOf(head[1], head[2] == '1');
    }
    if (s.GetError() != kErrorNone) {
        workbook.error = s.GetError();
        return false;
    }
    if (!known) {
        kind = encryption = 0;
        workbook.error = kErrorFileFormat;
        return false;
    }
    return true;
}

bool OpenWorkbookFile(CWorkbook& workbook, const char* password, uint32_t* errorLine) {
    uint8_t kind = 0, encryption = 0;
    if (!DetectWorkbookFormat(workbook, kind, encryption)) return false;
    bool ok = false;
    switch (kind) {
    case kFileXml:
    case kFileXmlCompressed:
        ok = ReadXmlWorkbook(workbook);
        if (!ok && errorLine) *errorLine = workbook.xmlErrorLine;
        break;
    case kFileBinary:
    case kFileBinaryCompressed:
        ok = LoadBinaryWorkbook(workbook, password);
        break;
    case kFileVersion6:
        ok = LoadV6Workbook(workbook);
        break;
    case kFileEmpty:
        // An empty file is what a save cut short or a full disk leaves: opened as an empty
        // workbook, a later save would put nothing over what the file held.
        workbook.error = kErrorFileFormat;
        return false;
    default:
        return false;
    }
    if (ok) {
        workbook.fileFamily = 0;
        workbook.fileKind = kind <= kFileBinaryCompressed ? kind : 0;
    }
    return ok;
}

} // namespace vl
