// The models of the text functions: positions in a text (FIND, MID, REPLACE, SUBSTITUTE), the
// code page's characters (CHAR, CODE, UPPER, LOWER) and numbers shown by DOLLAR and FIXED;
// and the reading of scalar arguments the number models share.
#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vl::test::peermodel {

namespace {

// The characters a cell holds.
constexpr std::size_t kCellCharacters = 8173;
constexpr double kLargestWhole = 2147483647.0;

std::u32string Decode(const std::string& utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t code = extra ? c & (0x3F >> extra) : c;
        for (int k = 1; k <= extra && i + std::size_t(k) < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + std::size_t(k)]) & 0x3F);
        out += code;
        i += std::size_t(extra) + 1;
    }
    return out;
}

std::string Encode(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

Answer TextAnswer(const std::u32string& text) {
    return Answer{'t', 0, Encode(text)};
}

std::string ExpectAnswer(const ModelCase& m, const Answer& want, const std::string& rule) {
    return Expect(Agree(m.ours, want), m, rule + " (" + Describe(want) + ")");
}

const Argument* At(const ModelCase& m, std::size_t i) {
    return i < m.args.size() ? &m.args[i] : nullptr;
}

// Code points of the code page's bytes 128 to 159; 0 where it assigns none (the byte is then
// the control character of its number).
const char32_t kHighBytes[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t FromByte(int byte) {
    if (byte < 128 || byte >= 160) return char32_t(byte);
    return kHighBytes[byte - 128] ? kHighBytes[byte - 128] : char32_t(byte);
}

int ToByte(char32_t c) {
    for (int k = 0; k < 32; ++k)
        if (kHighBytes[k] == c) return 128 + k;
    return int(c);
}

// The code page's letters with two cases: a-z, à-þ but ÷, and the pairs š, œ, ž, ÿ of the
// bytes 128-159 and 255; ß and µ have no capital.
char32_t Capital(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    if (c == 0x161 || c == 0x153 || c == 0x17E) return c - 1;
    return c == 0xFF ? char32_t(0x178) : c;
}

char32_t Small(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c == 0x160 || c == 0x152 || c == 0x17D) return c + 1;
    return c == 0x178 ? char32_t(0xFF) : c;
}

// FIND: the start (empty 1) must lie within the text; the needle found byte for byte, the
// empty text where the search starts.
Answer Find(TestBook& book, const ModelCase& m) {
    std::u32string needle, text;
    double start = 1;
    const int worst =
        std::max({WholeArgument(At(m, 2), start, -kLargestWhole, kLargestWhole),
                  TextArgument(book, At(m, 1), text), TextArgument(book, At(m, 0), needle)});
    if (worst) return ErrorOfCode(worst);
    if (start < 1 || start > double(text.size())) return ErrorOfCode(7);
    const std::size_t at = text.find(needle, std::size_t(start) - 1);
    return at == std::u32string::npos ? ErrorOfCode(7) : Answer{'n', double(at + 1), ""};
}

// MID: a start below 1 or a negative count is #VALUE!; a start past the end the empty text.
Answer Mid(TestBook& book, const ModelCase& m) {
    std::u32string text;
    double start = 1, count = 1;
    const int worst = std::max({WholeArgument(At(m, 2), count, -kLargestWhole, kLargestWhole),
                                WholeArgument(At(m, 1), start, -kLargestWhole, kLargestWhole),
                                TextArgument(book, At(m, 0), text)});
    if (worst) return ErrorOfCode(worst);
    if (start < 1 || count < 0) return ErrorOfCode(7);
    if (start > double(text.size())) return TextAnswer({});
    return TextAnswer(text.substr(std::size_t(start) - 1, std::size_t(count)));
}

// REPLACE: the start must be given and lie within the text, a count past the end takes the
// rest; a result past a cell's characters is #VALUE!.
Answer Replace(TestBook& book, const ModelCase& m) {
    std::u32string text, insert;
    double start = 0, count = 0;
    const int worst = std::max(
        {TextArgument(book, At(m, 3), insert), WholeArgument(At(m, 2), count, 0, kLargestWhole),
         WholeArgument(At(m, 1), start, 1, kLargestWhole), TextArgument(book, At(m, 0), text)});
    if (worst) return ErrorOfCode(worst);
    if (start == 0 || start > double(text.size())) return ErrorOfCode(7);
    const std::size_t kept = std::size_t(start) - 1;
    const std::size_t rest = std::size_t(std::min(start - 1 + count, double(text.size())));
    std::u32string out = text.substr(0, kept) + insert + text.substr(rest);
    return out.size() > kCellCharacters ? ErrorOfCode(7) : TextAnswer(out);
}

// SUBSTITUTE: the old text found as written, left to right; instance 0 (or empty) replaces
// every occurrence, the empty old text none.
Answer Substitute(TestBook& book, const ModelCase& m) {
    std::u32string text, old, insert;
    double which = 0;
    const int worst = std::max(
        {WholeArgument(At(m, 3), which, 0, kLargestWhole), TextArgument(book, At(m, 2), insert),
         TextArgument(book, At(m, 1), old), TextArgument(book, At(m, 0), text)});
    if (worst) return ErrorOfCode(worst);
    std::u32string out;
    std::size_t from = 0;
    double seen = 0;
    for (std::size_t at; !old.empty() && (at = text.find(old, from)) != std::u32string::npos;) {
        ++seen;
        out += text.substr(from, at - from) + (which == 0 || seen == which ? insert : old);
        from = at + old.size();
    }
    out += text.substr(from);
    return out.size() > kCellCharacters ? ErrorOfCode(7) : TextAnswer(out);
}

std::string TextPositions(TestBook& book, const ModelCase& m) {
    if (!SingleValues(m)) return Expect(false, m, "one value to each argument");
    if (m.name == "FIND") return ExpectAnswer(m, Find(book, m), "the needle's position");
    if (m.name == "MID") return ExpectAnswer(m, Mid(book, m), "the characters from the start");
    if (m.name == "REPLACE") return ExpectAnswer(m, Replace(book, m), "the characters replaced");
    if (m.name == "SUBSTITUTE")
        return ExpectAnswer(m, Substitute(book, m), "the occurrences replaced");
    return Expect(false, m, "FIND, MID, REPLACE or SUBSTITUTE");
}

// Texts are of the Windows-1252 code page: CHAR gives the character of its byte (0 none, a
// whole number rounded half away from zero, 0-255), CODE the byte of the first character,
// UPPER and LOWER change the page's letters only (ß kept).
std::string CodePage(TestBook& book, const ModelCase& m) {
    if (!SingleValues(m) || m.args.size() != 1) return Expect(false, m, "one value");
    std::u32string text;
    if (m.name == "CHAR") {
        double n = 0;
        if (int worst = WholeArgument(At(m, 0), n, 0, 255))
            return ExpectAnswer(m, ErrorOfCode(worst), "a code past the page");
        if (n > 0) text += FromByte(int(n));
        return ExpectAnswer(m, TextAnswer(text), "the code page's character");
    }
    if (int worst = TextArgument(book, At(m, 0), text))
        return ExpectAnswer(m, ErrorOfCode(worst), "the text's error");
    if (m.name == "CODE")
        return ExpectAnswer(m, Answer{'n', text.empty() ? 0.0 : double(ToByte(text[0])), ""},
                            "the first character's byte");
    if (m.name != "UPPER" && m.name != "LOWER") return Expect(false, m, "CHAR, CODE or a case");
    for (char32_t& c : text) c = m.name == "UPPER" ? Capital(c) : Small(c);
    return ExpectAnswer(m, TextAnswer(text), "the code page's cases");
}

// The decimal digits of x to 15 significant digits, rounded half away from zero to `places`
// decimals as written: the digits of the whole part and of the fraction.
void RoundAsWritten(double x, int places, std::string& whole, std::string& fraction) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(x));
    std::string digits = std::string(1, buffer[0]) + std::string(buffer + 2, 14);
    const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    // digits[k] stands for 10^(exponent - k); keep those down to 10^-places.
    const int keep = exponent + 1 + places;
    if (keep < 0) {
        digits = "0";
    } else {
        const bool up = keep < int(digits.size()) && digits[std::size_t(keep)] >= '5';
        digits.resize(std::size_t(keep), '0');
        digits.insert(0, "0");
        for (std::size_t k = digits.size(); up && k-- > 0;) {
            digits[k] = digits[k] == '9' ? '0' : char(digits[k] + 1);
            if (digits[k] != '0') break;
        }
    }
    // The digits stand for 10^(exponent + 1) down to 10^-places: a whole part of one digit
    // at least.
    if (digits.size() < std::size_t(places) + 1)
        digits.insert(0, std::size_t(places) + 1 - digits.size(), '0');
    whole = digits.substr(0, digits.size() - std::size_t(places));
    fraction = digits.substr(digits.size() - std::size_t(places));
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
}

// DOLLAR and FIXED: places (empty 2) of -14 to 14, rounded half away from zero; negative
// places round to tens with halves towards positive infinity first; the number shown to 15
// significant digits as written, with thousands separators for DOLLAR and for FIXED's third
// argument 0 (left out or empty 0); a sign only for a number that does not show as 0.
Answer Shown(const ModelCase& m) {
    const bool dollar = m.name == "DOLLAR";
    double x = 0, places = 2, plain = 0;
    int worst = dollar ? 0 : WholeArgument(At(m, 2), plain, 0, 1);
    worst = std::max(worst, WholeArgument(At(m, 1), places, -14, 14));
    if (At(m, 0) && At(m, 0)->values.front().kind != 'b')
        worst = std::max(worst, ScalarNumber(*At(m, 0), x));
    if (worst) return ErrorOfCode(worst);
    if (places < 0) {
        const double scale = std::pow(10.0, -places), y = x / scale, whole = std::trunc(y);
        x = (std::floor(y - whole + 0.5) + whole) * scale;
        if (x != 0 && !(std::isfinite(x) && std::fabs(x) >= 2.2250738585072014e-308))
            return ErrorOfCode(5);
        places = 0;
    }
    std::string whole, fraction;
    RoundAsWritten(x, int(places), whole, fraction);
    if (dollar || plain == 0)
        for (std::size_t k = whole.size(); k > 3; k -= 3) whole.insert(k - 3, ",");
    const bool shown = (whole + fraction).find_first_not_of("0,") != std::string::npos;
    std::string text = (x < 0 && shown ? "-" : "") + std::string(dollar ? "$" : "") + whole +
                       (fraction.empty() ? "" : "." + fraction);
    return Answer{'t', 0, text};
}

std::string FifteenDigits(const ModelCase& m) {
    if (!SingleValues(m) || (m.name != "DOLLAR" && m.name != "FIXED"))
        return Expect(false, m, "DOLLAR or FIXED of one value");
    return ExpectAnswer(m, Shown(m), "15 digits rounded as written");
}

} // namespace

bool SingleValues(const ModelCase& m) {
    for (const Argument& a : m.args)
        if (a.values.size() != 1) return false;
    return true;
}

int ScalarNumber(const Argument& a, double& x) {
    x = 0;
    const Answer& v = a.values.front();
    if (v.kind == 'e') return ErrorCode(v) ? ErrorCode(v) : 5;
    if (v.kind == 'b' || (v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos))
        return 0;
    return ReadNumber(v, x) ? 0 : 5;
}

int WholeArgument(const Argument* a, double& n, double low, double high) {
    if (!a || a->values.front().kind == 'b') return 0;
    double x = 0;
    if (int code = ScalarNumber(*a, x)) return code;
    if (!(std::fabs(x) <= kLargestWhole)) return 5;
    n = std::min(RoundHalfAway(x), kLargestWhole);
    return n < low || n > high ? 5 : 0;
}

int TextArgument(TestBook& book, const Argument* a, std::u32string& out) {
    out.clear();
    if (!a) return 0;
    const Answer& v = a->values.front();
    if (v.kind == 'e') return ErrorCode(v) ? ErrorCode(v) : 5;
    if (v.kind == 'b') return 0;
    std::string text = v.text;
    if (v.kind == 'n') {
        const Answer written = Evaluate(book, "=CONCATENATE(" + Number(v.number) + ")", 19, 0);
        if (written.kind != 't') return ErrorCode(written);
        text = written.text;
    }
    out = Decode(text);
    return out.size() > kCellCharacters ? 7 : 0;
}

void AddTextModels(std::map<std::string, Model>& models) {
    models.insert({
        {"text positions", TextPositions},
        {"code page", CodePage},
        {"fifteen digits", [](TestBook&, const ModelCase& m) { return FifteenDigits(m); }},
    });
}

} // namespace vl::test::peermodel
