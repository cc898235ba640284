#pragma once
// The forms copied cells take outside the program: the text other programs read (tab
// between fields, CR LF between rows) and the small private block that marks clipboard data
// as ours; and the reading back of such text into cells.

#include "formula/edit/undoexec.h"
#include "model/cellrange.h"
#include "model/cellstore.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

class CEvalContext;
class CWorkbook;
struct GridSelection;

// The bytes of the private block: "%d" of the copy's index (its low 16 bits), zero-filled.
constexpr size_t kPrivateBlockSize = 10;

// The private data: the block, then the id of the process that copied, in decimal.
std::string WritePrivateClipboardData(int32_t index, uint64_t processId);

struct PrivateClipboardData {
    uint16_t index = 0;
    bool hasProcess = false;
    uint64_t processId = 0;
};
// False for data that is not a well-formed block (digits, then zeros to 10 bytes) followed
// by nothing or by the decimal digits of a process id.
bool ReadPrivateClipboardData(std::string_view data, PrivateClipboardData& out);

// The text of a range: each cell's value in the plain form (no number format), a field
// with a tab, a line break or a double quote inside double quotes with its quotes doubled,
// tabs between fields and CR LF between rows, nothing after the last. A cell whose value cannot be
// written ends its row there.
void WriteRangeText(const CCellStore& cells, const CellRange& range, std::string& out);

// A pasted text field is kept whole up to the cell limit; a longer one keeps its first bytes.
constexpr size_t kPastedFieldLimit = 8173;

struct ParsedText {
    bool any = false;        // at least one cell was stored
    uint16_t lastColumn = 0; // the extent, as offsets from the origin
    uint32_t lastRow = 0;
    bool failed = false;  // a cell could not be stored; the parse ended there
    bool refused = false; // a formula past the formula limit was left out
};

// Reads tab- and line-separated text as typed input into `scratch`, with its first field at
// (column, row): a tab moves one column on (wrapping after the last), CR, CR LF or a lone LF
// end the row; empty fields and cells past the sheet's edges store nothing. A field in double
// quotes is read as WriteRangeText writes it: its doubled quotes as one, its tabs and line
// breaks kept; a quote that never closes is an ordinary character.
ParsedText ParseClipboardText(CEvalContext& ctx, std::string_view text, uint16_t column,
                              uint32_t row, CCellStore& scratch);

// The target of a paste: the selection, or from a single selected cell over `columns` by
// `rows` more, cut at the sheet's edges.
CellRange PasteTarget(const CellRange& selection, uint32_t columns, uint32_t rows);

// Pastes text at the active worksheet's selection: records the target (cells only), clears
// its cells and writes what was parsed inside it. kFailed with error 8 when the record or
// the cells could not be had (nothing changed then, or what was parsed before a failed
// store is pasted); with error 117 when a formula field would pass the formula limit (the
// rest is pasted, that cell left empty, as typing it would be refused).
CommandResult PasteTextCommand(CWorkbook& workbook, CEvalContext& ctx,
                               const GridSelection& selection, std::string_view text,
                               CellRange* pasted = nullptr);

} // namespace vl
