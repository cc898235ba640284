#include "formula/addresstext.h"

#include "formula/cellref.h"

#include <algorithm>

namespace vl {

namespace {

bool IsPlainChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '\\';
}

CellRef Corner(uint16_t column, uint32_t row, uint8_t parts, bool r1c1) {
    CellRef ref{column, row, parts};
    if (!r1c1) {
        if (parts & kRefColumn) ref.flags |= kRefColumnRelative;
        if (parts & kRefRow) ref.flags |= kRefRowRelative;
    }
    return ref;
}

void AppendCorner(std::string& out, const CellRef& corner, bool r1c1) {
    CellRef ref = corner;
    if (r1c1)
        FormatReference(out, ref, 0, 0);
    else
        RefToA1Text(out, ref);
}

using RefParser = uint8_t (*)(std::string_view, uint16_t, uint32_t, CellRef&, std::size_t&);

uint8_t ParseA1At(std::string_view text, uint16_t, uint32_t, CellRef& ref, std::size_t& end) {
    return ParseA1Ref(text, ref, end);
}

uint8_t ParseR1C1At(std::string_view text, uint16_t column, uint32_t row, CellRef& ref,
                    std::size_t& end) {
    return ParseR1C1Ref(text, column, row, ref, end);
}

bool ParseRange(RefParser parse, std::string_view text, uint16_t baseColumn, uint32_t baseRow,
                RangeDescriptor& out, std::size_t* end) {
    out = RangeDescriptor{};
    CellRef a, b;
    std::size_t n1 = 0, n2 = 0;
    const uint8_t f1 = parse(text, baseColumn, baseRow, a, n1);
    std::size_t used = n1;
    uint8_t f2 = f1;
    b = a;
    if (f1 && n1 < text.size() && text[n1] == ':') {
        f2 = parse(text.substr(n1 + 1), baseColumn, baseRow, b, n2);
        used = n1 + 1 + n2;
    }
    if (end) *end = used;
    const uint8_t kind1 = f1 & kRefCell, kind2 = f2 & kRefCell;
    if (!kind1 || !kind2 || kind1 != kind2 || ((f1 | f2) & kRefOutOfRange)) return false;
    out.c1 = std::min(a.column, b.column);
    out.c2 = std::max(a.column, b.column);
    out.r1 = std::min(a.row, b.row);
    out.r2 = std::max(a.row, b.row);
    if (kind1 == kRefColumn) {
        out.r1 = 0;
        out.r2 = kLastRow;
        out.kind = kRangeWholeColumns;
    } else if (kind1 == kRefRow) {
        out.c1 = 0;
        out.c2 = kLastColumn;
        out.kind = kRangeWholeRows;
    } else {
        out.kind = kRangePlain;
    }
    out.kind2 = out.kind;
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

} // namespace

bool IsUnquotedName(std::string_view location) {
    if (location.empty()) return false;
    const char first = location.front();
    if (!((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z') || first == '_' ||
          first == '\\'))
        return false;
    for (char c : location)
        if (!IsPlainChar(c)) return false;
    return true;
}

std::string FormatRangeText(const RangeDescriptor& range, bool r1c1) {
    uint8_t parts = kRefCell;
    if (range.kind == kRangeWholeColumns)
        parts = kRefColumn;
    else if (range.kind == kRangeWholeRows)
        parts = kRefRow;
    std::string out;
    AppendCorner(out, Corner(range.c1, range.r1, parts, r1c1), r1c1);
    if (parts != kRefCell || range.c1 != range.c2 || range.r1 != range.r2) {
        out += ':';
        AppendCorner(out, Corner(range.c2, range.r2, parts, r1c1), r1c1);
    }
    return out;
}

std::string QuotedLocation(std::string_view location) {
    std::string out = "\"";
    for (const char c : location) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string FormatCellAddress(std::string_view file, std::string_view location,
                              const RangeDescriptor& range, bool r1c1, std::size_t limit) {
    std::string text = FormatRangeText(range, r1c1);
    std::string where;
    if (!file.empty()) {
        where += '[';
        where += file;
        where += ']';
    }
    where += location;
    if (where.empty()) return text;
    // Room for quotes is kept either way, so that a rename that quotes the name still fits.
    const bool plain = IsUnquotedName(where);
    if (!plain) where = QuotedLocation(where);
    if (where.size() + (plain ? 2 : 0) + text.size() + 1 > limit) return text;
    return where + '!' + text;
}

namespace {

// The quoted part from `i`, a doubled quote read as one; false when no quote closes it.
bool ReadQuoted(std::string_view text, char quote, std::size_t& i, std::string& out) {
    for (; i < text.size(); ++i) {
        if (text[i] != quote) {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == quote) {
            out += quote;
            ++i;
            continue;
        }
        ++i;
        return true;
    }
    return false;
}

} // namespace

bool SplitAddressText(std::string_view text, AddressParts& out) {
    out = AddressParts{};
    std::size_t i = 0;
    char quote = 0;
    if (!text.empty() && (text[0] == '\'' || text[0] == '"')) quote = text[i++];
    if (quote) {
        std::string inside;
        if (!ReadQuoted(text, quote, i, inside) || i >= text.size() || text[i] != '!') return false;
        if (!inside.empty() && inside[0] == '[') {
            // The file's own "]" stand before a folder's "\" or the end only at its end.
            std::size_t close = std::string::npos;
            for (std::size_t k = inside.size(); k-- > 1;)
                if (inside[k] == ']' && (k + 1 == inside.size() || inside[k + 1] == '\\')) {
                    close = k;
                    break;
                }
            if (close == std::string::npos) close = inside.find(']', 1);
            if (close == std::string::npos) return false;
            out.file = inside.substr(1, close - 1);
            while (!out.file.empty() && out.file.back() == ' ') out.file.pop_back();
            inside.erase(0, close + 1);
        }
        out.location = std::move(inside);
        out.hasLocation = true;
        out.rest = text.substr(i + 1);
        return true;
    }
    if (i < text.size() && text[i] == '[') {
        const std::size_t close = text.find(']', i + 1);
        if (close == std::string_view::npos) return false;
        out.file.assign(text.substr(i + 1, close - i - 1));
        while (!out.file.empty() && out.file.back() == ' ') out.file.pop_back();
        i = close + 1;
    }
    const std::size_t bang = text.find('!', i);
    if (bang == std::string_view::npos) {
        out.rest = text.substr(i);
        return true;
    }
    out.location.assign(text.substr(i, bang - i));
    out.hasLocation = true;
    out.rest = text.substr(bang + 1);
    return true;
}

bool ParseAddressRange(std::string_view text, uint16_t baseColumn, uint32_t baseRow,
                       RangeDescriptor& out, std::size_t* end) {
    return ParseRange(ParseR1C1At, text, baseColumn, baseRow, out, end);
}

bool ParseA1AddressRange(std::string_view text, RangeDescriptor& out, std::size_t* end) {
    return ParseRange(ParseA1At, text, 0, 0, out, end);
}

bool ParseGoRange(std::string_view text, bool r1c1, uint16_t baseColumn, uint32_t baseRow,
                  RangeDescriptor& out) {
    text = Trim(text);
    std::size_t end = 0;
    const bool ok = r1c1 ? ParseAddressRange(text, baseColumn, baseRow, out, &end)
                         : ParseA1AddressRange(text, out, &end);
    if (!ok || end != text.size()) return false;
    // A single reference names a cell.
    if (text.find(':') == std::string_view::npos && out.kind != kRangePlain) return false;
    return true;
}

} // namespace vl
