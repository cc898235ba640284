#include "files/xmltext.h"

#include "files/xmlconvert.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

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

// A numeric reference at raw[i] ("&#..."): the Unicode character it names in `cp` and its
// length in `length`. Any number of digits, up to the last code point.
ErrorCode ScanNumericReference(std::string_view raw, std::size_t i, char32_t& cp,
                               std::size_t& length) {
    std::size_t k = i + 2;
    const bool hex = k < raw.size() && raw[k] == 'x';
    if (hex) ++k;
    const std::size_t first = k;
    char32_t value = 0;
    for (; k < raw.size(); ++k) {
        int digit = hex ? HexDigit(raw[k]) : (IsAsciiDigit(raw[k]) ? raw[k] - '0' : -1);
        if (digit < 0) break;
        value = value * (hex ? 16 : 10) + char32_t(digit);
        if (value > kLastCodePoint) return kErrorXmlData;
    }
    if (k == first || k >= raw.size() || raw[k] != ';') return kErrorXmlData;
    // No version of XML has these characters, not even as references: a zero would end the
    // text early wherever it is passed on.
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value == 0xFFFE || value == 0xFFFF)
        return kErrorXmlData;
    cp = value;
    length = k + 1 - i;
    return kErrorNone;
}

// A reference at raw[i] (an "&"): its byte and length; length 0 when none starts here. A
// character the code page has not is '?' with `outside` set.
ErrorCode ScanReference(std::string_view raw, std::size_t i, char& byte, std::size_t& length,
                        bool& outside) {
    length = 0;
    outside = false;
    std::string_view rest = raw.substr(i);
    if (rest.size() > 1 && rest[1] == '#') {
        char32_t cp = 0;
        if (ErrorCode e = ScanNumericReference(raw, i, cp, length)) return e;
        // Below 128 the code page and Unicode agree, the control characters included.
        byte = cp < 0x80 ? char(cp) : CodePointToCp1252(cp);
        outside = byte == '?' && cp != '?';
        return kErrorNone;
    }
    for (const NamedReference& r : kNamedReferences) {
        if (rest.substr(0, r.text.size()) == r.text) {
            byte = r.byte;
            length = r.text.size();
            break;
        }
    }
    return kErrorNone;
}

bool IsContinuation(std::string_view raw, std::size_t at, unsigned low = 0x80,
                    unsigned high = 0xBF) {
    if (at >= raw.size()) return false;
    const auto b = static_cast<unsigned char>(raw[at]);
    return b >= low && b <= high;
}

// The length of the well-formed UTF-8 sequence at raw[i], 0 when none starts there.
std::size_t SequenceLength(std::string_view raw, std::size_t i) {
    const auto lead = static_cast<unsigned char>(raw[i]);
    if (lead >= 0xC2 && lead <= 0xDF) return IsContinuation(raw, i + 1) ? 2 : 0;
    // The second byte's range rules out overlong forms, surrogates and code points past
    // U+10FFFF.
    unsigned low = 0x80, high = 0xBF;
    std::size_t length = 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (!IsContinuation(raw, i + 1, low, high)) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (!IsContinuation(raw, i + k)) return 0;
    return length;
}

// A UTF-8 sequence at raw[i]: its code-page byte and length. A byte that starts no
// well-formed sequence is one "?", and decoding goes on with the byte after it.
void ScanUtf8(std::string_view raw, std::size_t i, char& byte, std::size_t& length) {
    length = SequenceLength(raw, i);
    if (length == 0) {
        length = 1;
        byte = '?';
        return;
    }
    const auto lead = static_cast<unsigned char>(raw[i]);
    char32_t cp = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < length; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(raw[i + k]) & 0x3F);
    byte = CodePointToCp1252(cp);
}

} // namespace

ErrorCode DecodeXmlText(std::string_view raw, bool utf8, std::size_t maximum, std::string& out,
                        uint32_t* lost) {
    const std::size_t limit = out.size() + maximum;
    std::size_t i = 0;
    while (i < raw.size()) {
        char byte = raw[i];
        std::size_t length = 1;
        if (byte == '\0') return kErrorXmlData; // no XML document holds one
        if (byte == '&') {
            bool outside = false;
            if (ErrorCode e = ScanReference(raw, i, byte, length, outside)) return e;
            if (length == 0) length = 1; // copied as it stands
            if (lost && outside) ++*lost;
        } else if (utf8 && static_cast<unsigned char>(byte) >= 0x80) {
            ScanUtf8(raw, i, byte, length);
            if (lost && byte == '?') ++*lost;
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
        if (b <= 31) {
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

namespace {

// UTF-8 of any code point, those past U+FFFF that UTF-16 documents hold included.
void AppendUtf8Of(std::string& out, char32_t cp) {
    if (cp < 0x10000) {
        AppendUtf8(out, cp);
        return;
    }
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
}

} // namespace

std::size_t AppendUtf16AsUtf8(std::string_view bytes, bool bigEndian, bool last, std::string& out) {
    constexpr char32_t kReplacement = 0xFFFD;
    const auto unit = [&](std::size_t at) {
        const auto a = static_cast<unsigned char>(bytes[at]);
        const auto b = static_cast<unsigned char>(bytes[at + 1]);
        return char32_t(bigEndian ? a << 8 | b : b << 8 | a);
    };
    std::size_t i = 0;
    while (i + 1 < bytes.size()) {
        const char32_t u = unit(i);
        if (u < 0xD800 || u > 0xDFFF) {
            AppendUtf8Of(out, u);
            i += 2;
            continue;
        }
        if (u <= 0xDBFF && i + 3 >= bytes.size() && !last) return i; // its pair comes later
        const char32_t low = u <= 0xDBFF && i + 3 < bytes.size() ? unit(i + 2) : 0;
        if (low >= 0xDC00 && low <= 0xDFFF) {
            AppendUtf8Of(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
            i += 4;
        } else {
            AppendUtf8(out, kReplacement);
            i += 2;
        }
    }
    if (i < bytes.size() && last) {
        AppendUtf8(out, kReplacement);
        ++i;
    }
    return i;
}

std::string AnsiToUtf8(std::string_view text) {
    return Cp1252ToUtf8(text);
}

std::string Utf8ToAnsi(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char byte = text[i];
        std::size_t length = 1;
        if (static_cast<unsigned char>(byte) >= 0x80) {
            ScanUtf8(text, i, byte, length);
        }
        out += byte;
        i += length;
    }
    return out;
}

} // namespace vl
