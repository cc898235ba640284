// The code pages of text files.
#include "exchange/textfile.h"
#include "platform/core/cp1252.h"
#include "platform/core/cp850.h"

namespace vl {

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Decodes the sequence at text[i] into `cp`; false when it ends the decoding.
bool DecodeOne(std::string_view text, std::size_t& i, char32_t& cp) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    if (lead < 0x80) {
        cp = lead;
    } else if (lead >= 194 && lead <= 223) {
        extra = 1;
        cp = lead & 0x1F;
    } else if (lead >= 224 && lead <= 239) {
        extra = 2;
        cp = lead & 0x0F;
    } else if (lead >= 240 && lead <= 244) {
        // A character beyond the 16-bit range has no place in the code page.
        if (i + 3 >= text.size()) return false;
        for (std::size_t k = 1; k <= 3; ++k)
            if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) return false;
        cp = '?';
        i += 4;
        return true;
    } else {
        return false;
    }
    if (i + extra >= text.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    i += extra + 1;
    return true;
}

} // namespace

std::string FieldToAnsi(std::string_view field, uint8_t encoding) {
    if (encoding == 3) return OemToAnsi(field);
    if (encoding != 1) return std::string(field);
    std::string out;
    out.reserve(field.size());
    std::size_t i = 0;
    char32_t cp = 0;
    while (i < field.size() && DecodeOne(field, i, cp)) out += CodePointToCp1252(cp);
    return out;
}

bool FieldToAnsiExact(std::string_view field, uint8_t encoding, std::string& out) {
    out.clear();
    if (encoding == 3) {
        for (const char c : field) {
            const char ansi = OemToAnsiChar(static_cast<unsigned char>(c));
            if (ansi == '?' && c != '?') return false;
            out += ansi;
        }
        return true;
    }
    if (encoding != 1) {
        out.assign(field);
        return true;
    }
    std::size_t i = 0;
    char32_t cp = 0;
    while (i < field.size()) {
        const std::size_t at = i;
        if (!DecodeOne(field, i, cp)) return false;
        const char byte = CodePointToCp1252(cp);
        // A four-byte sequence decodes to '?' itself: no character beyond 16 bits fits.
        if (byte == '?' && (cp != '?' || i - at != 1)) return false;
        out += byte;
    }
    return true;
}

std::string AnsiToFileText(std::string_view text, uint8_t encoding) {
    if (encoding == 3) return AnsiToOem(text);
    if (encoding == 1) return Cp1252ToUtf8(text);
    return std::string(text);
}

} // namespace vl
