// The xBase table reader with its memo file from arbitrary bytes: the first byte chooses the
// format (dBase III+, dBase IV, FoxPro, Clipper) and the character set, the next two how many
// of the following bytes are the table; the rest is the memo file. A table that reads must
// write out again in the same format and read back.

#include "exchange/foreignfile.h"
#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "harness.h"
#include "model/workbook.h"

namespace {

using namespace vl;
using namespace vl::fuzz;

std::string g_table, g_out;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!TempFolder().empty()) {
        g_table = TempFolder() + "/input.dbf";
        g_out = TempFolder() + "/output.dbf";
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (g_table.empty()) return 0;
    ByteReader in{data, size};
    const uint8_t choice = in.Byte();
    const uint8_t format = uint8_t(3 + choice % 4);
    std::size_t tableSize = in.Byte();
    tableSize |= std::size_t(in.Byte()) << 8;
    tableSize = std::min(tableSize, size - in.pos);
    WriteFile(g_table, data + in.pos, tableSize);
    const std::size_t memoAt = in.pos + tableSize;
    WriteFile(MemoFilePath(g_table, format), data + memoAt, size - memoAt);
    auto book = CreateWorkbook();
    if (!book || !book->stream.Open(g_table.c_str(), "rb", false, 4096)) return 0;
    book->xbase.format = format;
    book->xbase.encoding = (choice & 0x10) ? 3 : 2;
    const bool read = ImportXBase(*book);
    book->stream.Close();
    if (!read) {
        Require(book->error != kErrorNone);
        return 0;
    }
    CWorksheet* sheet = book->tree.active;
    Require(sheet != nullptr);
    // A field list of the worksheet may be too long for a table; anything else must save.
    const bool saved = SaveXBaseFile(*book, *sheet, g_out, [&](CWorkbook& b) {
        return BuildXBaseFieldList(b, *sheet, b.xbase, format);
    });
    book->stream.Close();
    Require(saved || book->error == kErrorTooManyFields);
    if (!saved) return 0;
    auto again = CreateWorkbook();
    if (!again->stream.Open(g_out.c_str(), "rb", false, 4096)) return 0;
    again->xbase.format = format;
    again->xbase.encoding = book->xbase.encoding;
    Require(ImportXBase(*again));
    return 0;
}
