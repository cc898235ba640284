#include "functions/general/wildcard.h"

#include "platform/core/cp1252.h"

#include <vector>

namespace vl {

namespace {

inline char At(std::string_view s, std::size_t i) {
    return i < s.size() ? s[i] : '\0';
}

bool IsEscapable(char c) {
    return c == '*' || c == '?' || c == '~';
}

bool SameLetter(char a, char b) {
    return CharUpper1252(a) == CharUpper1252(b);
}

// One attempt level: the pattern tried at every start offset in turn, until a literal
// character fits or the text runs out. A '*' with more pattern behind it hands the rest
// of the pattern on to the next level at the text position reached.
struct Level {
    std::string_view pattern;
    std::string_view text;
};

enum class Outcome { kNoMatch, kMatch, kStar };

Outcome Attempt(Level& level, std::size_t& start) {
    std::string_view pattern = level.pattern;
    std::string_view text = level.text;
    std::size_t p = 0, t = 0, s = 0;
    bool matched = false;
    for (;;) {
        if (At(text, t) == '\0' && At(pattern, p) != '*') return Outcome::kNoMatch;
        char c = At(pattern, p);
        if (c == '*') {
            if (At(pattern, p + 1) != '\0') {
                start = s;
                level = {pattern.substr(p + 1), text.substr(t)};
                return Outcome::kStar;
            }
            ++p;
            t = text.size();
            matched = true;
        } else if (c == '?') {
            ++p;
            ++t;
            matched = true;
        } else {
            if (c == '~' && IsEscapable(At(pattern, p + 1))) ++p;
            if (SameLetter(At(text, t), At(pattern, p))) {
                ++p;
                ++t;
                matched = true;
            } else {
                t = ++s;
                p = 0;
                matched = false;
            }
        }
        if (At(pattern, p) == '\0') {
            start = s;
            return matched ? Outcome::kMatch : Outcome::kNoMatch;
        }
    }
}

// The offset of the outermost attempt that leads to a match, -1 when none. Each '*' opens
// one more level, so the work is bounded by the stars times the pattern and text lengths.
int32_t Search(std::string_view pattern, std::string_view text) {
    if (pattern.empty()) return -1;
    Level level{pattern, text};
    bool outermost = true;
    int32_t result = -1;
    for (;;) {
        std::size_t start = 0;
        Outcome outcome = Attempt(level, start);
        if (outermost) result = int32_t(start);
        outermost = false;
        if (outcome == Outcome::kNoMatch) return -1;
        if (outcome == Outcome::kMatch) return result;
    }
}

struct Element {
    enum Kind : uint8_t { kLiteral, kAny, kStar } kind;
    char letter;
};

std::vector<Element> Elements(std::string_view pattern) {
    std::vector<Element> out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '*') {
            out.push_back({Element::kStar, 0});
        } else if (c == '?') {
            out.push_back({Element::kAny, 0});
        } else {
            if (c == '~' && IsEscapable(At(pattern, i + 1))) c = pattern[++i];
            out.push_back({Element::kLiteral, CharUpper1252(c)});
        }
    }
    return out;
}

// Whether the pattern matches the whole text from its first character. On a mismatch the
// last '*' takes one more character, which keeps the work at pattern times text length.
bool MatchAnchored(std::string_view pattern, std::string_view text) {
    if (pattern.empty()) return false;
    std::vector<Element> e = Elements(pattern);
    std::size_t i = 0, j = 0;
    std::size_t starJ = e.size(), starI = 0;
    while (i < text.size()) {
        if (j < e.size() &&
            (e[j].kind == Element::kAny ||
             (e[j].kind == Element::kLiteral && e[j].letter == CharUpper1252(text[i])))) {
            ++i;
            ++j;
        } else if (j < e.size() && e[j].kind == Element::kStar) {
            starJ = j++;
            starI = i;
        } else if (starJ < e.size()) {
            j = starJ + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    while (j < e.size() && e[j].kind == Element::kStar) ++j;
    return j == e.size();
}

} // namespace

int32_t MatchWildcard(std::string_view pattern, std::string_view text, uint8_t* full) {
    int32_t result = Search(pattern, text);
    if (full) *full = result >= 0 && MatchAnchored(pattern, text.substr(std::size_t(result)));
    return result;
}

bool MatchesWholeText(std::string_view pattern, std::string_view text) {
    return MatchAnchored(pattern, text);
}

} // namespace vl
