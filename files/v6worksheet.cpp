// The body of a version-6 worksheet item, part by part.

#include "files/v6records.h"
#include "model/worksheet.h"

namespace vl {

namespace {

// Two 16-byte blocks and two u32 that nothing reads.
constexpr size_t kV6UnusedSheetBytes = 40;

} // namespace

bool ReadV6Worksheet(CWorkbook& book, CV6Input& body, CWorksheet& sheet, CEvalContext& ctx) {
    if (body.AtEnd()) return true;
    if (!ReadV6Objects(book, body, sheet)) return false;
    if (body.U32() != 0 || !body.Ok()) return V6Invalid(book);
    if (!ReadV6PageSetup(book, body, sheet)) return false;
    body.Skip(kV6UnusedSheetBytes);
    if (!body.Ok()) return V6Invalid(book);
    return ReadV6DocumentTables(book, body, &sheet) && ReadV6Cells(book, body, sheet, ctx);
}

} // namespace vl
