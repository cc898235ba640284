#pragma once
// Integers as text the way printf's "%0*d" and "%llu" write them, without printf: the
// program's number text never depends on the process locale.

#include <charconv>
#include <cstdint>
#include <string>

namespace vl {

// Appends `value` padded with zeros to at least `width` characters (the sign counts).
inline void AppendInt(std::string& out, int64_t value, int width = 0) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    int len = int(end - buf);
    bool negative = value < 0;
    if (negative) out += '-';
    for (int pad = width - len; pad > 0; --pad) out += '0';
    out.append(buf + (negative ? 1 : 0), end);
}

inline void AppendUnsigned(std::string& out, uint64_t value) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    out.append(buf, end);
}

inline std::string IntText(int64_t value, int width = 0) {
    std::string s;
    AppendInt(s, value, width);
    return s;
}

} // namespace vl
