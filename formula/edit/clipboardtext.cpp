#include "formula/edit/clipboardtext.h"

#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "formula/edit/editcommands.h"
#include "model/rangeops.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"
#include "platform/core/errorcode.h"

#include <algorithm>

namespace vl {

std::string WritePrivateClipboardData(int32_t index, uint64_t processId) {
    std::string out(kPrivateBlockSize, '\0');
    const std::string digits = std::to_string(uint32_t(index) & 0xFFFF);
    std::copy(digits.begin(), digits.end(), out.begin());
    out += std::to_string(processId);
    return out;
}

bool ReadPrivateClipboardData(std::string_view data, PrivateClipboardData& out) {
    if (data.size() < kPrivateBlockSize) return false;
    size_t digits = 0;
    uint32_t index = 0;
    while (digits < kPrivateBlockSize - 1 && IsAsciiDigit(data[digits])) {
        index = index * 10 + uint32_t(data[digits] - '0');
        ++digits;
    }
    if (digits == 0 || index > 0xFFFF) return false;
    for (size_t i = digits; i < kPrivateBlockSize; ++i)
        if (data[i] != '\0') return false;
    const std::string_view process = data.substr(kPrivateBlockSize);
    // Twenty digits hold every 64-bit id.
    if (process.size() > 20) return false;
    uint64_t id = 0;
    for (char c : process) {
        if (!IsAsciiDigit(c)) return false;
        const uint64_t next = id * 10 + uint64_t(c - '0');
        if (next / 10 != id) return false;
        id = next;
    }
    out.index = uint16_t(index);
    out.hasProcess = !process.empty();
    out.processId = id;
    return true;
}

namespace {

void AppendField(std::string_view text, std::string& out) {
    if (text.find_first_of("\t\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// The field that starts at `i`: a field opening with a double quote that closes runs to the
// closing one, its doubled quotes read as one and its tabs and line breaks kept, and goes on
// to the next separator; any other field runs to the next tab or line break. `end` is left
// at that separator (the text's size at the end).
std::string_view ReadField(std::string_view text, size_t i, size_t& end, std::string& value) {
    if (i < text.size() && text[i] == '"') {
        value.clear();
        size_t at = i + 1;
        for (; at < text.size(); ++at) {
            if (text[at] != '"') {
                value += text[at];
            } else if (at + 1 < text.size() && text[at + 1] == '"') {
                value += '"';
                ++at;
            } else {
                break;
            }
        }
        if (at < text.size()) {
            end = std::min(text.find_first_of("\t\r\n", at + 1), text.size());
            value.append(text.substr(at + 1, end - at - 1));
            return value;
        }
        // No closing quote: the quote is the field's own character.
    }
    end = std::min(text.find_first_of("\t\r\n", i), text.size());
    return text.substr(i, end - i);
}

} // namespace

void WriteRangeText(const CCellStore& cells, const CellRange& range, std::string& out) {
    out.clear();
    if (RangeEmpty(range)) return;
    const StandardFormat plain{};
    uint32_t row = range.r1;
    uint16_t column = range.c1; // the field written next
    bool rowEnded = false;
    // Writes the separators up to the field at (c, r).
    auto advance = [&](uint16_t c, uint32_t r) {
        while (row < r) {
            if (!rowEnded) out.append(range.c2 - column, '\t');
            out += "\r\n";
            ++row;
            column = range.c1;
            rowEnded = false;
        }
        if (!rowEnded) out.append(c - column, '\t');
        column = c;
    };
    CellCursor cursor{kAdvance, cells.FirstPage(), 0};
    std::string text;
    while (const uint8_t* r = GetNextCellInRange(cursor, range)) {
        advance(cell::Column(r), cell::Row(r));
        if (rowEnded) continue;
        if (!FormatCellValue(r, plain, text)) {
            rowEnded = true;
            continue;
        }
        AppendField(text, out);
    }
    advance(range.c2, range.r2);
}

ParsedText ParseClipboardText(CEvalContext& ctx, std::string_view text, uint16_t column,
                              uint32_t row, CCellStore& scratch) {
    ParsedText parsed;
    uint32_t dc = 0; // offsets from the origin
    uint64_t dr = 0;
    CellCursor cursor;
    uint32_t lastRow = 0;
    uint16_t lastColumn = 0;
    bool cursorValid = false;
    size_t i = 0;
    std::string quoted;
    while (i <= text.size()) {
        size_t end = 0;
        std::string_view field = ReadField(text, i, end, quoted);
        field = field.substr(0, std::min(field.size(), kPastedFieldLimit));
        const uint64_t c = uint64_t(column) + dc, r = uint64_t(row) + dr;
        if (!field.empty() && c <= kLastColumn && r <= kLastRow) {
            StandardFormat format{};
            CellBuffer record;
            const CellInput made =
                ParseCellInput(ctx, field, format, uint32_t(r), uint16_t(c), record);
            parsed.refused = parsed.refused || made == CellInput::kFormulaRefused;
            if (made == CellInput::kStored) {
                // A wrapped column goes back in the row: the hint must not lie past it.
                if (!cursorValid || cell::Before(uint32_t(r), uint16_t(c), lastRow, lastColumn))
                    cursor = CellCursor{};
                if (!scratch.PutCell(record.bytes, cursor)) {
                    parsed.failed = true;
                    return parsed;
                }
                cursorValid = true;
                lastRow = uint32_t(r);
                lastColumn = uint16_t(c);
                parsed.any = true;
                parsed.lastColumn = std::max(parsed.lastColumn, uint16_t(dc));
                parsed.lastRow = std::max(parsed.lastRow, uint32_t(dr));
            }
        }
        if (end >= text.size()) break;
        if (text[end] == '\t') {
            dc = (dc + 1) % (kLastColumn + 1);
            i = end + 1;
            continue;
        }
        // CR, CR LF and a lone LF end the row.
        i = end + 1;
        if (text[end] == '\r' && i < text.size() && text[i] == '\n') ++i;
        dc = 0;
        ++dr;
    }
    return parsed;
}

CellRange PasteTarget(const CellRange& selection, uint32_t columns, uint32_t rows) {
    CellRange target = selection;
    if (selection.c1 == selection.c2 && selection.r1 == selection.r2) {
        target.c2 = uint16_t(std::min<uint32_t>(kLastColumn, selection.c1 + columns));
        target.r2 = uint32_t(std::min<uint64_t>(kLastRow, uint64_t(selection.r1) + rows));
    }
    return target;
}

CommandResult PasteTextCommand(CWorkbook& workbook, CEvalContext& ctx,
                               const GridSelection& selection, std::string_view text,
                               CellRange* pasted) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return CommandResult::kNothing;
    CCellStore scratch;
    const ParsedText parsed =
        ParseClipboardText(ctx, text, selection.range.c1, selection.range.r1, scratch);
    const CellRange target = PasteTarget(selection.range, parsed.lastColumn, parsed.lastRow);
    if (pasted) *pasted = target;
    if (!workbook.RecordUndoRange(target, selection.cursorColumn, selection.cursorRow, true,
                                  false)) {
        workbook.error = kErrorWorksheetMemory;
        return CommandResult::kFailed;
    }
    // Clears the target and writes the parsed cells that fall inside it.
    const bool ok = CopyBlock(ws->cells, target, target.c1, target.r1, scratch);
    // Nothing changed: the entry would undo nothing.
    if (!ok) DiscardLastUndo(workbook.undo, true);
    if (!ok || parsed.failed) workbook.error = kErrorWorksheetMemory;
    // The rest is pasted; the user learns why a cell stayed empty.
    else if (parsed.refused)
        return workbook.error = kErrorFormulaTooLong, FinishCommand(workbook, false);
    return FinishCommand(workbook, ok && !parsed.failed);
}

} // namespace vl
