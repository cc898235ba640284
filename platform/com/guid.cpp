#include "platform/com/guid.h"

#include "platform/core/cp1252.h"

namespace vl {

namespace {

// Positions of the dashes in the text without braces.
bool IsDashAt(size_t i) {
    return i == 8 || i == 13 || i == 18 || i == 23;
}

int HexValue(char c) {
    if (IsAsciiDigit(c)) return c - '0';
    const char u = AsciiUpper(c);
    return u >= 'A' && u <= 'F' ? u - 'A' + 10 : -1;
}

} // namespace

bool ParseGuid(std::string_view text, Guid& out) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36) return false;
    Guid g;
    size_t byte = 0;
    for (size_t i = 0; i < text.size();) {
        if (IsDashAt(i)) {
            if (text[i++] != '-') return false;
            continue;
        }
        const int high = HexValue(text[i]), low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) return false;
        g.bytes[byte++] = uint8_t(high * 16 + low);
        i += 2;
    }
    out = g;
    return true;
}

std::string GuidToText(const Guid& guid) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out = "{";
    for (size_t i = 0; i < guid.bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
        out += kDigits[guid.bytes[i] >> 4];
        out += kDigits[guid.bytes[i] & 15];
    }
    out += '}';
    return out;
}

Guid GuidOf(std::string_view text) {
    Guid g;
    ParseGuid(text, g);
    return g;
}

} // namespace vl
