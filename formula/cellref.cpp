#include "formula/cellref.h"

#include "formula/evalcontext.h"
#include "formula/textscan.h"
#include "platform/core/cp1252.h"

#include <charconv>

namespace vl {

namespace {

constexpr uint64_t kDigitCap = 1000000000000ull; // far beyond any position, never wraps

// Reads a run of digits of any length; values past kDigitCap stay at the cap.
uint64_t ReadDigits(std::string_view t, std::size_t& i) {
    uint64_t value = 0;
    while (IsAsciiDigit(At(t, i))) {
        value = value * 10 + uint64_t(t[i] - '0');
        if (value > kDigitCap) value = kDigitCap;
        ++i;
    }
    return value;
}

// A reference must not run on into a number, a word or a call.
bool EndsReference(char next) {
    return !IsAsciiDigit(next) && !IsCharAlpha1252(next) && next != '(';
}

void AppendDecimal(std::string& out, uint64_t value) {
    char buf[24];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, result.ptr);
}

// One part of an R1C1 reference: the letter, then "[n]", "[-n]", digits or nothing.
struct RcPart {
    bool present = false;
    bool relative = false;
    bool backward = false;
    bool outOfRange = false;
    uint32_t position = 0;
};

// False when the text after the letter makes it no reference (a bracket left open).
bool ScanRcPart(std::string_view t, std::size_t& i, char letter, uint32_t limit, uint32_t base,
                RcPart& part) {
    if (AsciiUpper(At(t, i)) != letter) return true;
    ++i;
    part.present = true;
    if (At(t, i) == '[') {
        ++i;
        part.backward = At(t, i) == '-';
        if (part.backward) ++i;
        if (!IsAsciiDigit(At(t, i))) return false;
        uint64_t n = ReadDigits(t, i);
        if (At(t, i) != ']') return false;
        ++i;
        uint64_t position = part.backward ? uint64_t(base) - n : uint64_t(base) + n;
        part.relative = !part.backward;
        part.outOfRange = part.backward ? n > base : position >= limit;
        part.position = part.outOfRange ? limit : uint32_t(position);
    } else if (IsAsciiDigit(At(t, i))) {
        uint64_t n = ReadDigits(t, i);
        part.outOfRange = n == 0 || n > limit;
        part.position = part.outOfRange ? limit : uint32_t(n - 1);
    } else {
        part.relative = true;
        part.position = base;
    }
    return true;
}

uint8_t RowFlags(const RcPart& p) {
    if (!p.present) return 0;
    return uint8_t(kRefRow | (p.relative ? kRefRowRelative : 0) |
                   (p.backward ? kRefRowBackward : 0) | (p.outOfRange ? kRefOutOfRange : 0));
}

uint8_t ColumnFlags(const RcPart& p) {
    if (!p.present) return 0;
    return uint8_t(kRefColumn | (p.relative ? kRefColumnRelative : 0) |
                   (p.backward ? kRefColumnBackward : 0) | (p.outOfRange ? kRefOutOfRange : 0));
}

// Writes one R1C1 part and returns the direction bits that match the offset written.
uint8_t AppendRcPart(std::string& out, char letter, bool relative, uint32_t position, uint32_t base,
                     uint8_t forward, uint8_t backward) {
    out += letter;
    if (!relative) {
        AppendDecimal(out, uint64_t(position) + 1);
        return 0;
    }
    if (position == base) return forward;
    if (position < base) {
        out += "[-";
        AppendDecimal(out, base - position);
        out += ']';
        return backward;
    }
    out += '[';
    AppendDecimal(out, position - base);
    out += ']';
    return forward;
}

} // namespace

void AppendColumnLetters(std::string& out, uint16_t column) {
    char letters[4];
    int n = 0;
    for (uint32_t v = uint32_t(column) + 1; v > 0 && n < 4; v = (v - 1) / 26)
        letters[n++] = char('A' + (v - 1) % 26);
    while (n > 0) out += letters[--n];
}

uint8_t ParseA1Ref(std::string_view text, CellRef& ref, std::size_t& end) {
    ref = CellRef{};
    end = 0;
    std::size_t i = 0;
    uint8_t flags = 0;
    bool firstAbsolute = At(text, i) == '$';
    if (firstAbsolute) ++i;

    uint32_t column = 0;
    bool letters = false;
    while (IsAsciiAlpha(At(text, i))) {
        column = column * 26 + uint32_t(AsciiUpper(text[i]) - 'A' + 1);
        ++i;
        letters = true;
        if (column > kColumnOutOfRange) {
            flags |= kRefOutOfRange;
            break;
        }
    }
    bool rowAbsolute = firstAbsolute;
    if (letters) {
        end = i;
        ref.column = (flags & kRefOutOfRange) ? kColumnOutOfRange : uint16_t(column - 1);
        flags |= kRefColumn | (firstAbsolute ? 0 : kRefColumnRelative);
        // The "$" belongs to the row even when no digits follow: "A$B" is no reference.
        rowAbsolute = At(text, i) == '$';
        if (rowAbsolute) ++i;
    }
    if (IsAsciiDigit(At(text, i))) {
        // The digit that carries the row past the last row ends the scan: one more digit
        // after it makes the text no reference at all.
        uint64_t row = 0;
        while (IsAsciiDigit(At(text, i)) && row <= kRowOutOfRange)
            row = row * 10 + uint64_t(text[i++] - '0');
        end = i;
        // Row 0 is no row: out of range, never the row before the first.
        bool outside = row == 0 || row > kRowOutOfRange;
        ref.row = outside ? kRowOutOfRange : uint32_t(row - 1);
        flags |= kRefRow | (rowAbsolute ? 0 : kRefRowRelative) | (outside ? kRefOutOfRange : 0);
    }
    if (!(flags & kRefCell) || !EndsReference(At(text, i))) return 0;
    ref.flags = flags;
    return flags;
}

uint8_t ParseR1C1Ref(std::string_view text, uint16_t baseColumn, uint32_t baseRow, CellRef& ref,
                     std::size_t& end) {
    ref = CellRef{};
    end = 0;
    std::size_t i = 0;
    RcPart row, column;
    bool rowFirst = AsciiUpper(At(text, 0)) == 'R';
    if (rowFirst) {
        if (!ScanRcPart(text, i, 'R', kRowOutOfRange, baseRow, row)) return 0;
        if (!ScanRcPart(text, i, 'C', kColumnOutOfRange, baseColumn, column)) return 0;
    } else {
        if (!ScanRcPart(text, i, 'C', kColumnOutOfRange, baseColumn, column)) return 0;
        if (!ScanRcPart(text, i, 'R', kRowOutOfRange, baseRow, row)) return 0;
    }
    uint8_t flags = RowFlags(row) | ColumnFlags(column);
    if (flags == 0 || !EndsReference(At(text, i))) return 0;
    ref.row = row.present ? row.position : 0;
    ref.column = column.present ? uint16_t(column.position) : 0;
    ref.flags = flags;
    end = i;
    return flags;
}

uint8_t ParseR1C1Ref(const CEvalContext& ctx, std::string_view text, CellRef& ref,
                     std::size_t& end) {
    return ParseR1C1Ref(text, ctx.baseColumn, ctx.baseRow, ref, end);
}

uint8_t RefToA1Text(std::string& out, const CellRef& ref) {
    if (ref.flags & kRefColumn) {
        if (!(ref.flags & (kRefColumnRelative | kRefColumnBackward))) out += '$';
        if (ref.column < kColumnOutOfRange)
            AppendColumnLetters(out, ref.column);
        else
            out += '?';
    }
    if (ref.flags & kRefRow) {
        if (!(ref.flags & (kRefRowRelative | kRefRowBackward))) out += '$';
        if (ref.row < kRowOutOfRange)
            AppendDecimal(out, uint64_t(ref.row) + 1);
        else
            out += '?';
    }
    return ref.flags;
}

std::string RefToA1Text(const CellRef& ref) {
    std::string out;
    RefToA1Text(out, ref);
    return out;
}

void FormatReference(std::string& out, CellRef& ref, uint16_t baseColumn, uint32_t baseRow) {
    if (ref.flags & kRefRow) {
        bool relative = ref.flags & (kRefRowRelative | kRefRowBackward);
        uint8_t direction =
            AppendRcPart(out, 'R', relative, ref.row, baseRow, kRefRowRelative, kRefRowBackward);
        if (relative)
            ref.flags = uint8_t((ref.flags & ~(kRefRowRelative | kRefRowBackward)) | direction);
    }
    if (ref.flags & kRefColumn) {
        bool relative = ref.flags & (kRefColumnRelative | kRefColumnBackward);
        uint8_t direction = AppendRcPart(out, 'C', relative, ref.column, baseColumn,
                                         kRefColumnRelative, kRefColumnBackward);
        if (relative)
            ref.flags =
                uint8_t((ref.flags & ~(kRefColumnRelative | kRefColumnBackward)) | direction);
    }
}

void FormatReference(const CEvalContext& ctx, std::string& out, CellRef& ref) {
    FormatReference(out, ref, ctx.baseColumn, ctx.baseRow);
}

} // namespace vl
