#include "tests/exchange/textpeermodels.h"

#include "exchange/textfile.h"
#include "model/cellrecord.h"
#include "values/dateinput.h"

#include <algorithm>
#include <cfloat>
#include <cstdlib>
#include <functional>
#include <vector>

namespace vl::textpeer {

namespace {

using Model = std::function<bool(const Answer&, const Answer&, const CaseFacts&)>;

struct Reason {
    const char* name;
    Model holds;
};

double Number(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

bool Is(const Answer& a, char kind) {
    return a.kind == kind;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
        text.replace(at, from.size(), to), at += to.size();
    return text;
}

bool HoldsControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 32; });
}

bool OutsideCodePage(const std::string& utf8) {
    std::string ansi;
    return !FieldToAnsiExact(utf8, 1, ansi);
}

// A text of ours without its trailing blanks.
std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

const std::vector<Reason>& Reasons() {
    static const std::vector<Reason> reasons = {
        // Texts with a character Windows-1252 lacks are left out and counted, never stored
        // with '?'; the peer keeps them.
        {"refused-code-page",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             return Is(o, 'b') && Is(p, 't') && OutsideCodePage(p.value);
         }},
        // Outside quotes a control character is a blank, as the form defines it.
        {"control-blank",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             if (!Is(o, 't') || !Is(p, 't') || !HoldsControl(p.value)) return false;
             std::string blanked = p.value;
             for (char& c : blanked)
                 if (static_cast<unsigned char>(c) < 32) c = ' ';
             return blanked == o.value;
         }},
        // A line break inside quotes is kept as written (CR LF, CR); the peer makes it LF.
        {"line-break-as-written",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             return Is(o, 't') && Is(p, 't') && o.value.find('\r') != std::string::npos &&
                    Replace(Replace(o.value, "\r\n", "\n"), "\r", "\n") == p.value;
         }},
        // A field beginning with a blank is a text, as the form defines numbers.
        {"leading-blank",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             return Is(o, 't') && Is(p, 'n') && !o.value.empty() && o.value[0] == ' ';
         }},
        // The peer reads a number below the smallest normal one as 0.
        {"peer-subnormal",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             const double ours = Number(o.value);
             return Is(o, 'n') && Is(p, 'n') && Number(p.value) == 0 && ours != 0 &&
                    std::abs(ours) < DBL_MIN;
         }},
        // A field beginning with '=' goes through typed input, which refuses what is no
        // formula ("=" alone, an unclosed quote); the peer keeps such a field as its text.
        {"equals-text",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             return Is(o, 'e') && Is(p, 't') && !p.value.empty() && p.value[0] == '=';
         }},
        // A formula the peer cannot read (its parse errors): ours is what typed input made
        // of the field.
        {"peer-formula-error",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             return (Is(o, 'e') || Is(o, 't')) && Is(p, 'e') &&
                    (p.value == "#NAME?" || p.value.rfind("Err:", 0) == 0);
         }},
        // Fields past the last column are left out and counted; the peer's grid is wider.
        {"past-last-column",
         [](const Answer& o, const Answer& p, const CaseFacts& f) {
             return Is(o, 'b') && !Is(p, 'b') && f.column >= kMaxColumns;
         }},
        // A field longer than a cell holds is cut at its length and counted.
        {"cut-at-cell-length",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             return Is(o, 't') && Is(p, 't') && o.value.size() == kMaxCellText &&
                    p.value.size() > o.value.size() && p.value.rfind(o.value, 0) == 0;
         }},
        // The peer reads a minus sign after the digits as the number's sign.
        {"peer-trailing-minus",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             const std::string t = Trimmed(o.value);
             return Is(o, 't') && Is(p, 'n') && t.size() > 1 && t.back() == '-' &&
                    -Number(t.substr(0, t.size() - 1)) == Number(p.value);
         }},
        // A one-digit year is that year to typed input, which gives a century only to a year
        // of two digits (00-29 this one, 30-99 the last); the peer reads one digit as two.
        {"short-year",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             if (!Is(o, 'd') || !Is(p, 'd') || o.value.size() != 10 || p.value.size() != 10)
                 return false;
             const int ours = std::atoi(o.value.substr(0, 4).c_str());
             const int peer = std::atoi(p.value.substr(0, 4).c_str());
             return ours < 10 && peer == TwoDigitYear(ours) &&
                    o.value.substr(4) == p.value.substr(4);
         }},
        // The peer reads hours followed by a colon alone as a time.
        {"peer-hours-colon",
         [](const Answer& o, const Answer& p, const CaseFacts&) {
             const std::string t = Trimmed(o.value);
             return Is(o, 't') && Is(p, 'n') && t.size() > 1 && t.back() == ':' &&
                    Number(t.substr(0, t.size() - 1)) / 24 == Number(p.value);
         }},
        // A field is quoted only when its quote comes first: blanks before it are text; the
        // peer drops them.
        {"blank-before-quote",
         [](const Answer& o, const Answer& p, const CaseFacts& f) {
             return Is(o, 't') && Is(p, 't') && o.value.size() > 1 && o.value[0] == ' ' &&
                    uint8_t(o.value[1]) == f.settings.quotingSymbol &&
                    o.value.substr(o.value.size() - p.value.size()) == p.value &&
                    Trimmed(std::string(o.value.begin(), o.value.end() - p.value.size()))
                            .find_first_not_of(' ') == std::string::npos;
         }},
        // A quoted field that runs past a line break and holds a stray quote before its
        // closing one is one field here; the peer ends it at the line and reads the next
        // line's fields apart.
        {"quoted-across-lines",
         [](const Answer& o, const Answer& p, const CaseFacts& f) {
             const char quote = char(f.settings.quotingSymbol);
             const auto joined = [&](const Answer& a) {
                 return Is(a, 't') && a.value.find_first_of("\r\n") != std::string::npos &&
                        a.value.find(quote) != std::string::npos;
             };
             if (joined(o)) return Is(p, 't') && !p.value.empty() && p.value[0] == quote;
             if (!Is(o, 'b') || !f.ours) return false;
             return std::any_of(f.ours->begin(), f.ours->end(),
                                [&](const auto& cell) { return joined(cell.second); });
         }},
    };
    return reasons;
}

} // namespace

bool SameAnswer(const Answer& ours, const Answer& peer) {
    if (ours.kind != peer.kind) return false;
    if (ours.kind == 'n') return Number(ours.value) == Number(peer.value);
    return ours.value == peer.value;
}

std::string ReasonFor(const Answer& ours, const Answer& peer, const CaseFacts& facts) {
    for (const Reason& r : Reasons())
        if (r.holds(ours, peer, facts)) return r.name;
    return {};
}

bool ReasonHolds(const std::string& reason, const Answer& ours, const Answer& peer,
                 const CaseFacts& facts) {
    for (const Reason& r : Reasons())
        if (reason == r.name) return r.holds(ours, peer, facts);
    return false;
}

} // namespace vl::textpeer
