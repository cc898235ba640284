// The text-file reader from arbitrary bytes: the first bytes choose the settings (separator,
// quoting symbol, encoding, conversion, fixed widths), the rest is the file. Whatever it
// reads must write out again, and a delimited file written must read back to the same cells.

#include "exchange/foreignfile.h"
#include "exchange/textfile.h"
#include "harness.h"
#include "model/workbook.h"

namespace {

using namespace vl;
using namespace vl::fuzz;

std::string g_in, g_out;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!TempFolder().empty()) {
        g_in = TempFolder() + "/input.csv";
        g_out = TempFolder() + "/output.csv";
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (g_in.empty()) return 0;
    ByteReader in{data, size};
    auto book = CreateWorkbook();
    if (!book) return 0;
    TextFileSettings& s = book->textFile;
    s.separator = in.Byte();
    s.quotingSymbol = in.Byte();
    const uint8_t flags = in.Byte();
    s.encoding = uint8_t(1 + flags % 3);
    s.conversion = (flags >> 2) & 1;
    s.useFixedColWidths = (flags >> 3) & 1;
    for (int i = 0; i < 4; ++i) s.columnWidths[i] = in.Byte() % 8;
    WriteFile(g_in, data + in.pos, size - in.pos);
    if (!book->stream.Open(g_in.c_str(), "rb", false, 4096)) return 0;
    CEvalContext ctx;
    // A separator that is also the quoting symbol (delimited) is refused: no file it writes
    // reads back.
    if (!TextSeparatorUsable(s)) {
        Require(!ImportTextFile(*book, ctx));
        book->stream.Close();
        return 0;
    }
    Require(ImportTextFile(*book, ctx));
    book->stream.Close();
    CWorksheet* sheet = book->tree.active;
    Require(sheet != nullptr);
    Require(
        SaveAside(*book, g_out.c_str(), [&](CWorkbook& b) { return ExportTextFile(b, *sheet); }));
    book->stream.Close();
    return 0;
}
