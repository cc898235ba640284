#pragma once
// The reader of the binary workbook body. Every field is checked against the record it
// fills before it is kept; the first failure ends the read with its error.

#include "files/bodyio.h"
#include "platform/core/errorcode.h"

#include <cstdint>

namespace vl {

class CCellStore;
class CPagedList;
class CTreeItem;
class CWorkbook;
class CWorksheet;
struct CFormatStore;

class CBodyReader {
public:
    CBodyReader(CWorkbook& book, CFileStream& stream, uint8_t version, CryptoContext* ctx)
        : book_(book), in_(stream, ctx), version_(version) {}

    // False with Error() set: 21 for a body that breaks the form or ends too soon, 8 when
    // memory ran out.
    bool Read();
    ErrorCode Error() const { return error_; }

private:
    bool Fail(ErrorCode code) {
        if (error_ == kErrorNone) error_ = code;
        return false;
    }
    bool Invalid() { return Fail(kErrorFileFormat); }
    bool NoMemory() { return Fail(kErrorWorksheetMemory); }
    // A field that could not be read whole: the body ends too soon.
    bool Need(bool ok) { return ok || Invalid(); }

    bool ReadDocumentFields();
    bool ReadDropDownLists();
    bool ReadOldDropDownLists();
    bool ReadStyleTables();
    bool ReadInspectedCells();
    bool ReadItems();
    bool ReadItem();
    void LinkItem(CTreeItem* item, bool current);

    // Worksheet parts (bodysheet.cpp).
    bool ReadWorksheet(CWorksheet& sheet);
    bool ReadContainers(CWorksheet& sheet);
    bool ReadColumnTable(CFormatStore& formats);
    bool ReadOldColumnTable(CFormatStore& formats);
    bool ReadRowHeights(CFormatStore& formats);
    // `overlapping` (format runs only) is set when runs of a row overlap or stand out of
    // column order, which an older save could leave.
    bool ReadPages(CCellStore& store, bool runs, bool* overlapping = nullptr);
    bool ReadFormatRuns(CFormatStore& formats);
    bool ReadSheetSettings(CWorksheet& sheet);

    CWorkbook& book_;
    CBodyIn in_;
    uint8_t version_;
    uint16_t runningContainerId_ = 0;
    CTreeItem* tail_ = nullptr; // the last item linked, so that linking stays cheap
    ErrorCode error_ = kErrorNone;
};

} // namespace vl
