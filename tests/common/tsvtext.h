// The fields of the peer comparisons' tab-separated lists. A field keeps its backslash, tab
// and line ends as \\, \t, \n and \r, so that one line holds one entry; the text comparison's
// lists write the other control characters as \xNN too, where the formula and Excel 2003 XML
// lists keep them as they are (their stored files hold them so).
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace vl::tsvtext {

enum class Controls { Kept, Hex };

inline std::string Escape(const std::string& text, Controls controls = Controls::Kept) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (controls == Controls::Hex && static_cast<unsigned char>(c) < 32) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
            out += hex;
        } else
            out += c;
    }
    return out;
}

// Reads either form: \xNN with two hex digits is that byte; any other escaped character
// stands for itself, and a lone backslash at the end is kept.
inline std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        unsigned byte = 0;
        if (c == 't')
            out += '\t';
        else if (c == 'n')
            out += '\n';
        else if (c == 'r')
            out += '\r';
        else if (c == 'x' && i + 2 < text.size() &&
                 std::from_chars(&text[i + 1], &text[i + 3], byte, 16).ptr == &text[i + 3]) {
            out += char(byte);
            i += 2;
        } else
            out += c;
    }
    return out;
}

// The fields of a line split at `by`, at most `parts` of them (the last keeps the rest of the
// line, separators and all). An empty line is one empty field.
inline std::vector<std::string> Split(const std::string& line, char by,
                                      std::size_t parts = std::string::npos) {
    std::vector<std::string> out;
    std::size_t from = 0;
    while (out.size() + 1 < parts) {
        const std::size_t at = line.find(by, from);
        if (at == std::string::npos) break;
        out.push_back(line.substr(from, at - from));
        from = at + 1;
    }
    out.push_back(line.substr(from));
    return out;
}

} // namespace vl::tsvtext
