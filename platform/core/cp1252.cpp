#include "platform/core/cp1252.h"

#include <array>

namespace vl {

namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the page equals Latin-1.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    std::array<bool, 256> alpha{};
};

CaseTables MakeCaseTables() {
    CaseTables t;
    for (int i = 0; i < 256; ++i) t.upper[i] = t.lower[i] = static_cast<unsigned char>(i);
    auto pair = [&t](int up, int low) {
        t.upper[low] = static_cast<unsigned char>(up);
        t.lower[up] = static_cast<unsigned char>(low);
        t.alpha[up] = t.alpha[low] = true;
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) pair(c, c + 32);
    pair(0x8A, 0x9A); // S caron
    pair(0x8C, 0x9C); // OE
    pair(0x8E, 0x9E); // Z caron
    pair(0x9F, 0xFF); // Y diaeresis
    // Letters without a partner in the code page.
    for (int c : {0x83, 0xAA, 0xB5, 0xBA, 0xDF}) t.alpha[c] = true;
    return t;
}

const CaseTables& Tables() {
    static const CaseTables tables = MakeCaseTables();
    return tables;
}

// Decodes one UTF-8 sequence at text[i]; advances i. Returns U+FFFD for a malformed one.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
    unsigned char c = static_cast<unsigned char>(text[i++]);
    if (c < 0x80) return c;
    int extra;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return 0xFFFD;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    static constexpr char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
    return cp;
}

} // namespace

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

char32_t Cp1252ToCodePoint(unsigned char c) {
    if (c >= 0x80 && c <= 0x9F) return kHigh[c - 0x80];
    return c;
}

char CodePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) out += CodePointToCp1252(DecodeUtf8(text, i));
    return out;
}

char CharUpper1252(char c) {
    return static_cast<char>(Tables().upper[static_cast<unsigned char>(c)]);
}
char CharLower1252(char c) {
    return static_cast<char>(Tables().lower[static_cast<unsigned char>(c)]);
}
bool IsCharAlpha1252(char c) {
    return Tables().alpha[static_cast<unsigned char>(c)];
}

void UpperInPlace1252(std::string& text) {
    for (char& c : text) c = CharUpper1252(c);
}

} // namespace vl
