#include "formula/edit/findreplace.h"

#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "formula/edit/undoexec.h"
#include "model/cellmerge.h"
#include "model/cellstyle.h"
#include "model/memoryguard.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"

#include <algorithm>
#include <vector>

namespace vl {

namespace {

// A pattern read once: ordinary characters (upper-cased when case does not matter), '?'
// and '*'.
class CPattern {
public:
    CPattern(std::string_view pattern, bool matchCase) : matchCase_(matchCase) {
        for (size_t i = 0; i < pattern.size(); ++i) {
            char c = pattern[i];
            if (c == '~' && i + 1 < pattern.size() &&
                (pattern[i + 1] == '*' || pattern[i + 1] == '?' || pattern[i + 1] == '~')) {
                tokens_.push_back({kLiteral, Fold(pattern[++i])});
                continue;
            }
            tokens_.push_back({c == '*' ? kStar : c == '?' ? kAny : kLiteral, Fold(c)});
        }
    }

    bool Empty() const { return tokens_.empty(); }
    // The pattern's characters, an escaped one counting once.
    size_t Size() const { return tokens_.size(); }

    // Where the first match starts, or -1; `length` takes the characters it matched, a '*'
    // at the end taking the rest of the text.
    int32_t Find(std::string_view text, bool wholeCell, size_t* length = nullptr) const {
        if (tokens_.empty()) return -1;
        size_t end = 0;
        int32_t found = -1;
        if (wholeCell) {
            if (MatchFrom(text, 0, true, end)) found = 0;
        } else {
            const bool literalFirst = tokens_[0].kind == kLiteral;
            for (size_t s = 0; s <= text.size() && found < 0; ++s) {
                if (literalFirst && (s == text.size() || Fold(text[s]) != tokens_[0].c)) continue;
                if (MatchFrom(text, s, false, end)) found = int32_t(s);
            }
        }
        if (found >= 0 && length)
            *length = (tokens_.back().kind == kStar ? text.size() : end) - size_t(found);
        return found;
    }

private:
    enum Kind : uint8_t { kLiteral, kAny, kStar };
    struct Token {
        Kind kind;
        char c;
    };

    char Fold(char c) const { return matchCase_ ? c : CharUpper1252(c); }

    // The pattern against the text from position s: to the end of the text with whole cell,
    // else any length, ending at `end`. A '*' takes as few characters as it can, and one
    // more at each retry.
    bool MatchFrom(std::string_view text, size_t s, bool whole, size_t& end) const {
        const size_t n = tokens_.size();
        size_t i = s, j = 0, starJ = SIZE_MAX, starI = 0;
        for (;;) {
            if (j == n) {
                end = i;
                if (!whole || i == text.size()) return true;
            } else if (tokens_[j].kind == kStar) {
                starJ = j++;
                starI = i;
                continue;
            } else if (i < text.size() &&
                       (tokens_[j].kind == kAny || Fold(text[i]) == tokens_[j].c)) {
                ++i;
                ++j;
                continue;
            }
            if (starJ == SIZE_MAX || starI >= text.size()) return false;
            j = starJ + 1;
            i = ++starI;
        }
    }

    std::vector<Token> tokens_;
    bool matchCase_;
};

bool Replace(const CPattern& compiled, std::string_view replacement, std::string_view text,
             bool wholeCell, std::string& out) {
    out.clear();
    if (wholeCell) {
        if (compiled.Find(text, true) != 0) return false;
        out.assign(replacement);
        return out.size() <= kMaxCellText;
    }
    bool any = false;
    size_t p = 0;
    // Tried once at least: a pattern of stars matches an empty text too.
    do {
        size_t matched = 0;
        const int32_t m = compiled.Find(text.substr(p), false, &matched);
        if (m < 0) break;
        out.append(text.substr(p, size_t(m)));
        out.append(replacement);
        if (out.size() > kMaxCellText) return false;
        any = true;
        // The replacement takes the whole match, a '*' with all it took; an empty match
        // still moves on, so that the search ends.
        p = std::min(text.size(), p + size_t(m) + std::max<size_t>(1, matched));
    } while (p < text.size());
    out.append(text.substr(p));
    return any && out.size() <= kMaxCellText;
}

// What a search reads of a cell: a formula as the user edits it, any other cell as shown.
void SearchText(CEvalContext& ctx, const uint8_t* r, const StandardFormat& format,
                std::string& text) {
    if (cell::IsFormula(r))
        text = GetFormulaUserText(ctx, r);
    else
        FormatCellValue(r, format, text);
}

// A multi-cell array anchor goes with its whole area, as clearing it would take.
bool SpreadsArray(const uint8_t* r) {
    return cell::IsFormula(r) && (cell::ResultFlags(r) & kResultArray) &&
           (cell::ArrayWidth(r) > 1 || cell::ArrayHeight(r) > 1) && cell::Error(r) != 9;
}

bool ReplaceUnguarded(CWorkbook& workbook, CWorksheet& ws, CEvalContext& ctx,
                      const SearchOptions& options, std::string_view pattern,
                      std::string_view replacement, const CellRange& range, ReplaceCounts& counts) {
    const CPattern compiled(pattern, options.matchCase);
    if (compiled.Empty()) return true;
    std::vector<uint8_t> staging;
    std::vector<PlacedCell> cells;
    std::vector<CellRange> clear;
    std::string text, replaced;
    CellCursor cursor{kAdvance, ws.cells.StartPageForRow(range.r1), 0};
    CellCursor runs;
    CellBuffer b;
    uint32_t changed = 0;
    while (const uint8_t* r = GetNextCellInRange(cursor, range)) {
        // An element of a spread array is its formula's result, not a cell of its own.
        if (cell::Flags(r) & kCellArrayElement) continue;
        const uint16_t column = cell::Column(r);
        const uint32_t row = cell::Row(r);
        const uint16_t style = StyleIndexAt(ws.formats, row, column, runs);
        StandardFormat format = GetStyleRecord(workbook.styles, style).numberFormat;
        // The text the cell was typed as, so that a number keeps the digits its format
        // hides.
        text = GetCellEditText(ctx, r);
        if (compiled.Find(text, options.wholeCell) < 0) continue;
        CellInput made = CellInput::kTooLong;
        if (Replace(compiled, replacement, text, options.wholeCell, replaced))
            made = ParseCellInput(ctx, replaced, format, row, column, b);
        if (made == CellInput::kEmpty) b.size = 0; // nothing left: the cell goes, as typed
        if (made == CellInput::kTooLong || made == CellInput::kFormulaRefused) {
            if (counts.refused++ == 0)
                counts.firstRefusal =
                    made == CellInput::kFormulaRefused ? made : CellInput::kTooLong;
            continue;
        }
        if (SpreadsArray(r))
            clear.push_back(
                {column, row,
                 uint16_t(std::min<uint32_t>(column + cell::ArrayWidth(r) - 1, kLastColumn)),
                 std::min<uint32_t>(row + cell::ArrayHeight(r) - 1, kLastRow)});
        ++changed;
        if (b.size == 0) {
            clear.push_back({column, row, column, row});
            continue;
        }
        cells.push_back({nullptr, b.size, column, row});
        staging.insert(staging.end(), b.bytes, b.bytes + b.size);
    }
    if (changed == 0) return true;
    size_t offset = 0;
    for (PlacedCell& c : cells) c.record = staging.data() + offset, offset += c.size;
    uint32_t top = kLastRow, bottom = 0;
    if (!cells.empty()) top = cells.front().row, bottom = cells.back().row;
    for (const CellRange& c : clear) top = std::min(top, c.r1), bottom = std::max(bottom, c.r2);
    CListFeed feed(cells);
    if (!RebuildCells(ws.cells, top, bottom, clear, feed))
        return workbook.error = kErrorWorksheetMemory, false;
    counts.changed = changed;
    return true;
}

} // namespace

int32_t MatchPattern(std::string_view pattern, std::string_view text, bool matchCase,
                     bool wholeCell) {
    return CPattern(pattern, matchCase).Find(text, wholeCell);
}

bool ReplaceInText(std::string_view pattern, std::string_view replacement, std::string_view text,
                   const SearchOptions& options, std::string& out) {
    const CPattern compiled(pattern, options.matchCase);
    return !compiled.Empty() && Replace(compiled, replacement, text, options.wholeCell, out);
}

bool FindNextCell(CWorkbook& workbook, CWorksheet& ws, const CellRange& range, uint16_t& column,
                  uint32_t& row, std::string_view pattern, const SearchOptions& options) {
    CEvalContext* ctx = EditContext(workbook);
    if (!ctx || row > range.r2) return false;
    const CPattern compiled(pattern, options.matchCase);
    if (compiled.Empty()) return false;
    const uint32_t startRow = std::max(row, range.r1);
    const uint16_t startColumn = row < range.r1 ? 0 : column;
    const CellRange rest{range.c1, startRow, range.c2, range.r2};
    CellCursor cursor{kAdvance, ws.cells.StartPageForRow(startRow), 0};
    CellCursor runs;
    std::string text;
    while (const uint8_t* r = GetNextCellInRange(cursor, rest)) {
        if (cell::Row(r) == startRow && cell::Column(r) < startColumn) continue;
        const uint16_t style = StyleIndexAt(ws.formats, cell::Row(r), cell::Column(r), runs);
        SearchText(*ctx, r, GetStyleRecord(workbook.styles, style).numberFormat, text);
        if (compiled.Find(text, options.wholeCell) < 0) continue;
        column = cell::Column(r);
        row = cell::Row(r);
        return true;
    }
    return false;
}

bool ReplaceInRange(CWorkbook& workbook, CWorksheet& ws, const SearchOptions& options,
                    std::string_view pattern, std::string_view replacement, const CellRange& range,
                    ReplaceCounts* counts) {
    ReplaceCounts local;
    ReplaceCounts& c = counts ? *counts : local;
    c = ReplaceCounts{};
    CEvalContext* ctx = EditContext(workbook);
    if (!ctx) return false;
    return GuardWorksheetMemory(workbook, [&] {
        return ReplaceUnguarded(workbook, ws, *ctx, options, pattern, replacement, range, c);
    });
}

} // namespace vl
