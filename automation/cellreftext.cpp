#include "automation/cellreftext.h"

#include "core/settings.h"
#include "formula/cellref.h"
#include "formula/token.h"
#include "model/cellrecord.h"
#include "platform/core/cp1252.h"

#include <algorithm>

namespace vl {

namespace {

constexpr uint8_t kUnusableBits =
    kRefRowRelative | kRefRowBackward | kRefColumnRelative | kRefColumnBackward | kRefOutOfRange;

char At(std::string_view text, size_t i) {
    return i < text.size() ? text[i] : '\0';
}

// One A1 corner from position i; flags 0 when it is none. A corner needs letters and a row
// number from 1, so "$$1", "$A$" and "$A$0" name no cell.
uint8_t ParseA1Corner(std::string_view text, size_t& i, CellRef& ref) {
    uint8_t flags = 0;
    const bool columnAbsolute = At(text, i) == '$';
    if (columnAbsolute) ++i;
    uint32_t column = 0;
    const size_t letters = i;
    for (; IsAsciiAlpha(At(text, i)); ++i) {
        if (column <= kMaxColumns) column = column * 26 + uint32_t(AsciiUpper(text[i]) - 64);
        if (column > kMaxColumns) flags |= kRefOutOfRange;
    }
    if (i == letters) return 0;
    const bool rowAbsolute = At(text, i) == '$';
    if (rowAbsolute) ++i;
    uint64_t row = 0;
    const size_t digits = i;
    for (; IsAsciiDigit(At(text, i)); ++i) {
        if (row <= kMaxRows) row = row * 10 + uint32_t(text[i] - '0');
        if (row > kMaxRows) flags |= kRefOutOfRange;
    }
    if (i == digits || row == 0) return 0;
    const char next = At(text, i);
    if (IsAsciiAlnum(next) || next == '(') return 0;
    ref.column = (flags & kRefOutOfRange) ? kColumnOutOfRange : uint16_t(column - 1);
    ref.row = (flags & kRefOutOfRange) ? kRowOutOfRange : uint32_t(row - 1);
    flags |= kRefColumn | (columnAbsolute ? 0 : kRefColumnRelative);
    flags |= kRefRow | (rowAbsolute ? 0 : kRefRowRelative);
    ref.flags = flags;
    return flags;
}

uint8_t ParseCorner(std::string_view text, size_t& i, bool addressingA1, CellRef& ref) {
    if (addressingA1) return ParseA1Corner(text, i, ref);
    size_t end = 0;
    const uint8_t flags = ParseR1C1Ref(text.substr(i), 0, 0, ref, end);
    i += end;
    return flags;
}

bool Usable(const CellRef& a, const CellRef& b) {
    return a.flags && b.flags && !((a.flags | b.flags) & kUnusableBits) &&
           (a.flags & kRefCell) == (b.flags & kRefCell);
}

} // namespace

bool ParseCellRefBstr(const CBstr& text, bool addressingA1, ParsedCellRef& out) {
    out = ParsedCellRef{};
    std::string ansi;
    if (!text.ToAnsi(kReferenceBuffer, ansi)) return false;
    size_t i = 0;
    if (!ParseCorner(ansi, i, addressingA1, out.first)) return false;
    out.last = out.first;
    if (At(ansi, i) == ':') {
        ++i;
        if (!ParseCorner(ansi, i, addressingA1, out.last)) return false;
    }
    return i == ansi.size() && Usable(out.first, out.last);
}

bool ParseCellRefBstr(const CBstr& text, ParsedCellRef& out) {
    return ParseCellRefBstr(text, Profile().addressingA1 != 0, out);
}

CellRange RangeOfRef(const ParsedCellRef& ref) {
    CellRange r;
    if (ref.first.flags & kRefColumn) {
        r.c1 = std::min(ref.first.column, ref.last.column);
        r.c2 = std::max(ref.first.column, ref.last.column);
    } else {
        r.c1 = 0;
        r.c2 = kLastColumn;
    }
    if (ref.first.flags & kRefRow) {
        r.r1 = std::min(ref.first.row, ref.last.row);
        r.r2 = std::max(ref.first.row, ref.last.row);
    } else {
        r.r1 = 0;
        r.r2 = kLastRow;
    }
    return r;
}

} // namespace vl
