// Clipboard data from arbitrary bytes: the private block reader, and pasted text parsed into
// cells and written back as text.

#include "formula/edit/clipboardtext.h"
#include "formula/edit/undoexec.h"
#include "harness.h"
#include "model/workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace vl;
    fuzz::ExactCopy copy(data, size);
    const std::string_view text = copy.View();
    PrivateClipboardData block;
    if (ReadPrivateClipboardData(text, block)) {
        fuzz::Require(text.size() >= kPrivateBlockSize);
        fuzz::Require(WritePrivateClipboardData(block.index, block.processId).size() >=
                      kPrivateBlockSize);
    }
    static std::unique_ptr<CWorkbook> book = CreateWorkbook();
    static CEvalContext* ctx = EditContext(*book);
    if (!ctx) return 0;
    // The origin near the sheet's far corner now and then, to reach the edges.
    const bool edge = size > 0 && (data[0] & 1);
    const uint16_t column = edge ? kLastColumn - 2 : 0;
    const uint32_t row = edge ? kLastRow - 2 : 0;
    CCellStore scratch;
    const ParsedText parsed = ParseClipboardText(*ctx, text, column, row, scratch);
    CellCursor cursor{kAdvance, scratch.FirstPage(), 0};
    uint32_t count = 0;
    while (const uint8_t* r = NextCellRecord(cursor)) {
        fuzz::Require(cell::Column(r) <= kLastColumn && cell::Row(r) <= kLastRow);
        fuzz::Require(cell::Row(r) - row <= parsed.lastRow);
        ++count;
    }
    fuzz::Require(parsed.any == (count > 0));
    if (parsed.any) {
        std::string out;
        WriteRangeText(scratch,
                       PasteTarget({column, row, column, row}, parsed.lastColumn, parsed.lastRow),
                       out);
    }
    return 0;
}
