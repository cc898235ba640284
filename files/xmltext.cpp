#include "files/xmltext.h"

#include "files/xmlconvert.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

struct NamedReference {
    std::string_view text;
    char byte;
};

constexpr NamedReference kNamedReferences[] = {
    {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'},
};

int HexDigit(char c) {
    if (IsAsciiDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A numeric reference at raw[i] ("&#..."): its byte in `byte` and its length in `length`.
ErrorCode ScanNumericReference(std::string_view raw, std::size_t i, char& byte,
                               std::size_t& length) {
    std::size_t k = i + 2;
    const bool hex = k < raw.size() && raw[k] == 'x';
    if (hex) ++k;
    const std::size_t first = k;
    unsigned value = 0;
    for (; k < raw.size() && k - first < (hex ? 2u : 3u); ++k) {
        int digit = hex ? HexDigit(raw[k]) : (IsAsciiDigit(raw[k]) ? raw[k] - '0' : -1);
        if (digit < 0) break;
        value = value * (hex ? 16 : 10) + unsigned(digit);
    }
    if (k == first || k >= raw.size() || raw[k] != ';' || value > 255) return kErrorXmlData;
    byte = char(value);
    length = k + 1 - i;
    return kErrorNone;
}

// A reference at raw[i] (an "&"): its byte and length; length 0 when none starts here.
ErrorCode ScanReference(std::string_view raw, std::size_t i, char& byte, std::size_t& length) {
    length = 0;
    std::string_view rest = raw.substr(i);
    if (rest.size() > 1 && rest[1] == '#') return ScanNumericReference(raw, i, byte, length);
    for (const NamedReference& r : kNamedReferences) {
        if (rest.substr(0, r.text.size()) == r.text) {
            byte = r.byte;
            length = r.text.size();
            break;
        }
    }
    return kErrorNone;
}

// A UTF-8 sequence at raw[i]: its code-page byte and length; length 0 ends the text.
void ScanUtf8(std::string_view raw, std::size_t i, char& byte, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(raw[i]);
    length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : 0;
    if (length == 0 || i + length > raw.size()) {
        length = 0;
        return;
    }
    char32_t cp = lead & (length == 2 ? 0x1F : 0x0F);
    for (std::size_t k = 1; k < length; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(raw[i + k]) & 0x3F);
    byte = CodePointToCp1252(cp);
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

} // namespace

ErrorCode DecodeXmlText(std::string_view raw, bool utf8, std::size_t maximum, std::string& out) {
    const std::size_t limit = out.size() + maximum;
    std::size_t i = 0;
    while (i < raw.size()) {
        char byte = raw[i];
        std::size_t length = 1;
        if (byte == '&') {
            if (ErrorCode e = ScanReference(raw, i, byte, length)) return e;
            if (length == 0) length = 1; // copied as it stands
        } else if (utf8 && static_cast<unsigned char>(byte) >= 0x80) {
            ScanUtf8(raw, i, byte, length);
            if (length == 0) break;
        }
        if (out.size() >= limit) return kErrorXmlData;
        out += byte;
        i += length;
    }
    return kErrorNone;
}

void AppendXmlEscaped(std::string& out, std::string_view text, bool utf8) {
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "&quot;";
            continue;
        case '&':
            out += "&amp;";
            continue;
        case '\'':
            out += "&apos;";
            continue;
        case '<':
            out += "&lt;";
            continue;
        case '>':
            out += "&gt;";
            continue;
        default:
            break;
        }
        if (b >= 1 && b <= 31) {
            out += "&#";
            out += char('0' + b / 10);
            out += char('0' + b % 10);
            out += ';';
        } else if (utf8 && b >= 0x80) {
            AppendUtf8(out, Cp1252ToCodePoint(b));
        } else {
            out += c;
        }
    }
}

std::string AnsiToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToAnsi(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char byte = text[i];
        std::size_t length = 1;
        if (static_cast<unsigned char>(byte) >= 0x80) {
            ScanUtf8(text, i, byte, length);
            if (length == 0) break;
        }
        out += byte;
        i += length;
    }
    return out;
}

} // namespace vl
