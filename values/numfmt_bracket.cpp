// The small readers of format codes: bracketed conditions and colours, colour names,
// date and time keywords, and appending a token.

#include "platform/core/cp1252.h"
#include "platform/core/number.h"
#include "values/numfmt_compile.h"

namespace vl {

namespace {

struct NamedColor {
    const char* name;
    uint32_t value;
};

constexpr NamedColor kColors[16] = {
    {"black", 0x000000},  {"maroon", 0x000080},  {"green", 0x008000}, {"olive", 0x008080},
    {"navy", 0x800000},   {"purple", 0x800080},  {"teal", 0x808000},  {"gray", 0x808080},
    {"silver", 0xC0C0C0}, {"red", 0x0000FF},     {"lime", 0x00FF00},  {"yellow", 0x00FFFF},
    {"blue", 0xFF0000},   {"fuchsia", 0xFF00FF}, {"aqua", 0xFFFF00},  {"white", 0xFFFFFF},
};

int HexValue(char c) {
    if (IsAsciiDigit(c)) return c - '0';
    return AsciiLower(c) - 'a' + 10;
}

bool StartsWithNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (AsciiLower(text[k]) != word[k]) return false;
    return true;
}

bool ParseHexColor(std::string_view t, uint32_t& color) {
    if (t.size() < 7 || t[0] != '#') return false;
    for (std::size_t k = 1; k < 7; ++k)
        if (!IsAsciiXDigit(t[k])) return false;
    if (t.size() > 7 && IsAsciiXDigit(t[7])) return false;
    uint32_t r = HexValue(t[1]) * 16 + HexValue(t[2]);
    uint32_t g = HexValue(t[3]) * 16 + HexValue(t[4]);
    uint32_t b = HexValue(t[5]) * 16 + HexValue(t[6]);
    color = r | (g << 8) | (b << 16);
    return true;
}

void AppendHexByte(std::string& out, uint32_t v) {
    const char* digits = "0123456789ABCDEF";
    out += digits[(v >> 4) & 15];
    out += digits[v & 15];
}

struct Keyword {
    const char* text;
    uint32_t kind;
};

// Longest first within each letter.
constexpr Keyword kKeywords[] = {
    {"mmmmm", kFmtMonth}, {"mmmm", kFmtMonth}, {"mmm", kFmtMonth}, {"mm", kFmtMonth},
    {"m", kFmtMonth},     {"dddd", kFmtDay},   {"ddd", kFmtDay},   {"dd", kFmtDay},
    {"d", kFmtDay},       {"yyyy", kFmtYear},  {"yy", kFmtYear},   {"hh", kFmtHour},
    {"h", kFmtHour},      {"ss", kFmtSecond},  {"s", kFmtSecond},  {"AM/PM", kFmtAmPm},
    {"A/P", kFmtAmPm},
};

} // namespace

bool ParseColor(std::string_view text, uint32_t& color) {
    if (!text.empty() && text[0] == '#') return ParseHexColor(text, color);
    for (const NamedColor& c : kColors) {
        if (StartsWithNoCase(text, c.name)) {
            color = c.value;
            return true;
        }
    }
    return false;
}

std::string FormatColor(uint32_t color, bool namesAllowed) {
    if (namesAllowed) {
        for (const NamedColor& c : kColors)
            if (c.value == color) return c.name;
    }
    std::string out = "#";
    AppendHexByte(out, color & 0xFF);
    AppendHexByte(out, (color >> 8) & 0xFF);
    AppendHexByte(out, (color >> 16) & 0xFF);
    return out;
}

uint32_t ParseFormatBracket(std::string_view t, std::size_t& pos, BracketItem& item) {
    if (pos >= t.size()) return 0;
    char c = t[pos];
    if (c == '<' || c == '>' || c == '=') {
        char next = pos + 1 < t.size() ? t[pos + 1] : 0;
        uint32_t cmp;
        std::size_t width = 2;
        if (c == '<' && next == '=')
            cmp = kCmpLessEqual;
        else if (c == '>' && next == '=')
            cmp = kCmpGreaterEqual;
        else if (c == '<' && next == '>')
            cmp = kCmpNotEqual;
        else {
            cmp = c == '=' ? kCmpEqual : (c == '<' ? kCmpLess : kCmpGreater);
            width = 1;
        }
        pos += width;
        while (pos < t.size() && IsAsciiSpace(t[pos])) ++pos;
        double number = 0;
        NumberScan scan = ScanNumber(t.substr(pos), number);
        pos += scan.length;
        item = BracketItem{kFmtCondition, cmp, number};
        return kFmtCondition;
    }
    uint32_t color = 0;
    std::string_view rest = t.substr(pos);
    if (!ParseColor(rest, color)) return 0;
    if (c == '#') {
        pos += 7;
        item = BracketItem{kFmtColorHex, color, 0};
        return kFmtColorHex;
    }
    while (pos < t.size() && IsAsciiAlpha(t[pos])) ++pos;
    item = BracketItem{kFmtColorName, color, 0};
    return kFmtColorName;
}

uint32_t ScanDateTimeKeyword(std::string_view t, std::size_t& pos, uint8_t& letters) {
    std::string_view rest = t.substr(pos < t.size() ? pos : t.size());
    for (const Keyword& k : kKeywords) {
        std::string_view word = k.text;
        if (rest.substr(0, word.size()) == word) {
            pos += word.size();
            letters = uint8_t(word.size());
            return k.kind;
        }
    }
    letters = 0;
    return 0;
}

bool AddFormatToken(CompiledFormat& f, uint32_t kind, uint8_t section, uint8_t ch) {
    if (f.tokenCount >= kMaxFormatTokens || section >= kMaxFormatSections) {
        f.overflow = 1;
        return false;
    }
    f.tokens[f.tokenCount++] = FormatToken{kind, section, ch};
    FormatSection& s = f.sections[section];
    s.kinds |= kind;
    ++s.tokenCount;
    return true;
}

} // namespace vl
