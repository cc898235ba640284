#pragma once
// Finding cells whose text matches a pattern with the wildcards '*' (any run of characters)
// and '?' (any one character), '~' making the next of '*', '?' or '~' an ordinary character,
// and replacing the matches. A formula is searched in the form the user edits it, any other
// cell in the text it shows.

#include "formula/cellinput.h"
#include "model/cellrange.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

class CEvalContext;
class CWorkbook;
class CWorksheet;

struct SearchOptions {
    bool matchCase = false;
    bool wholeCell = false;
};

// The position in `text` where the first match starts, or -1; an empty pattern matches
// nothing. With whole cell the match must start at 0 and take the whole text.
int32_t MatchPattern(std::string_view pattern, std::string_view text, bool matchCase,
                     bool wholeCell);

// The text with every match replaced, left to right: a match is replaced whole (an inner
// '*' taking as little as it can, a '*' at the end the rest of the text) and the search goes
// on behind it; with whole cell a match replaces the whole text. False when nothing matched, or
// when the new text would pass what a cell holds (the cell then keeps its text).
bool ReplaceInText(std::string_view pattern, std::string_view replacement, std::string_view text,
                   const SearchOptions& options, std::string& out);

// The next cell of the range, in storage order from (column, row) on (that cell included),
// whose text matches; its place comes back in (column, row).
bool FindNextCell(CWorkbook& workbook, CWorksheet& ws, const CellRange& range, uint16_t& column,
                  uint32_t& row, std::string_view pattern, const SearchOptions& options);

struct ReplaceCounts {
    uint32_t changed = 0; // cells entered anew
    uint32_t refused = 0; // cells left as they were: too long, or refused as typed input
    CellInput firstRefusal = CellInput::kStored; // why the first of them was refused
};

// Replaces in every matching cell of the range, in the text the cell was typed as (a number
// in full whatever its format shows), and enters the new text as typed input; a text left
// empty empties the cell. The elements of a spread array are left alone: its formula is
// replaced in at its anchor. All cells change at once: false with the workbook's error at 8 (and no
// cell changed) when memory runs out.
bool ReplaceInRange(CWorkbook& workbook, CWorksheet& ws, const SearchOptions& options,
                    std::string_view pattern, std::string_view replacement, const CellRange& range,
                    ReplaceCounts* counts = nullptr);

} // namespace vl
