// The models of the reasons for accepted differences.
#include "tests/functions/bindall/peermodels.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <set>

namespace vl::test {

namespace {

// Splits on the separator at depth 0, outside quotes, braces and brackets.
std::vector<std::string> SplitTopLevel(const std::string& text, const std::string& separators) {
    std::vector<std::string> out(1);
    int depth = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted) {
            if (c == '(' || c == '{') ++depth;
            if (c == ')' || c == '}') --depth;
            if (depth == 0 && separators.find(c) != std::string::npos) {
                out.emplace_back();
                continue;
            }
        }
        out.back() += c;
    }
    return out;
}

int ColumnNumber(const std::string& letters) {
    int n = 0;
    for (char c : letters) n = n * 26 + (c - 'A' + 1);
    return n - 1;
}

const std::regex& ReferencePattern() {
    static const std::regex pattern(R"(^\$?([A-Z]{1,2})\$?(\d+)(?::\$?([A-Z]{1,2})\$?(\d+))?$)");
    return pattern;
}

Answer Blank() {
    return Answer{'b', 0, ""};
}

struct Area {
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
};

// A reference or range as written ("B12:B1" keeps its corners as written).
bool ReadArea(const std::string& text, Area& area) {
    std::smatch m;
    if (!std::regex_match(text, m, ReferencePattern())) return false;
    area.c1 = ColumnNumber(m[1]);
    area.r1 = std::atoi(m[2].str().c_str()) - 1;
    area.c2 = m[3].matched ? ColumnNumber(m[3]) : area.c1;
    area.r2 = m[4].matched ? std::atoi(m[4].str().c_str()) - 1 : area.r1;
    return true;
}

void ReadCells(TestBook& book, const Area& a, std::vector<Answer>& values) {
    for (int r = std::min(a.r1, a.r2); r <= std::max(a.r1, a.r2); ++r)
        for (int c = std::min(a.c1, a.c2); c <= std::max(a.c1, a.c2); ++c) {
            const uint8_t* cell = FindCell(book.Sheet().cells, uint32_t(r), uint16_t(c));
            values.push_back(cell ? FromRecord(cell) : Blank());
        }
}

Argument ReadArgument(TestBook& book, const std::string& written) {
    Argument a;
    a.text = written;
    // "(A1:A6_A4:B12)" is the area it encloses.
    std::string text = written;
    while (text.size() > 2 && text.front() == '(' && text.back() == ')' &&
           text.find_first_of("()", 1) == text.size() - 1)
        text = text.substr(1, text.size() - 2);
    Area area, other;
    std::size_t cut = text.find('_');
    if (text.empty()) {
        a.values.push_back(Blank());
    } else if (ReadArea(text, area)) {
        a.reversed = area.c2 < area.c1 || area.r2 < area.r1;
        a.rows = std::size_t(std::abs(area.r2 - area.r1) + 1);
        a.columns = std::size_t(std::abs(area.c2 - area.c1) + 1);
        ReadCells(book, area, a.values);
    } else if (cut != std::string::npos && ReadArea(text.substr(0, cut), area) &&
               ReadArea(text.substr(cut + 1), other)) {
        // An intersection: the cells both areas hold, as the corners span them.
        Area both{std::max(std::min(area.c1, area.c2), std::min(other.c1, other.c2)),
                  std::max(std::min(area.r1, area.r2), std::min(other.r1, other.r2)),
                  std::min(std::max(area.c1, area.c2), std::max(other.c1, other.c2)),
                  std::min(std::max(area.r1, area.r2), std::max(other.r1, other.r2))};
        if (both.c1 <= both.c2 && both.r1 <= both.r2) ReadCells(book, both, a.values);
    } else if (text.front() == '{' && text.back() == '}') {
        for (const std::string& e : SplitTopLevel(text.substr(1, text.size() - 2), ",;"))
            a.values.push_back(Evaluate(book, "=" + e, 19, 0));
        a.rows = SplitTopLevel(text.substr(1, text.size() - 2), ";").size();
        a.columns = a.values.size() / a.rows;
    } else {
        a.values.push_back(Evaluate(book, "=" + text, 19, 0));
    }
    return a;
}

// A text the engine reads as a number: digits with blanks around them at most.
bool NumericText(const std::string& text) {
    const char* begin = text.c_str();
    while (*begin == ' ') ++begin;
    if (!*begin) return false;
    char* end = nullptr;
    std::strtod(begin, &end);
    if (end == begin) return false;
    while (*end == ' ') ++end;
    return *end == 0;
}

bool TextNoNumber(const Answer& a) {
    return a.kind == 't' && !NumericText(a.text);
}

bool IsoMoment(const Answer& a) {
    static const std::regex moment(
        R"(^\s*(\d{4}-(0\d|1[0-2])-[0-3]\d(\s+([01]?\d|2[0-3]):[0-5]\d(:[0-5]\d(\.\d+)?)?)?|([01]?\d|2[0-3]):[0-5]\d(:[0-5]\d(\.\d+)?)?)\s*$)");
    return a.kind == 't' && std::regex_search(a.text, moment);
}

template <class Pred> bool AnyValue(const ModelCase& m, Pred pred) {
    for (const Argument& a : m.args)
        for (const Answer& v : a.values)
            if (pred(v)) return true;
    return false;
}

bool IsError(const Answer& a, const char* error) {
    return a.kind == 'e' && a.text == error;
}

std::string Expect(bool holds, const ModelCase& m, const std::string& rule) {
    return holds ? std::string() : "our " + Describe(m.ours) + " is not what " + rule + " gives";
}

// A number, truth value or text other than an ISO date or time where a date is asked:
// #VALUE!.
std::string DatesAreText(const ModelCase& m) {
    bool notDate = AnyValue(m, [](const Answer& v) {
        return v.kind == 'n' || v.kind == 'b' || (v.kind == 't' && !IsoMoment(v));
    });
    return Expect(notDate && IsError(m.ours, "#VALUE!"), m, "a value that is no ISO date");
}

// A text that is no number where a number is asked: #NUM!; a numeric text is its number.
std::string TypeRule(const ModelCase& m) {
    static const std::regex literal(R"re("((?:[^"]|"")*)")re");
    bool literalNoNumber = false;
    for (std::sregex_iterator it(m.formula.begin(), m.formula.end(), literal), end; it != end; ++it)
        literalNoNumber = literalNoNumber || TextNoNumber(Answer{'t', 0, (*it)[1].str()});
    if (m.ours.kind == 'e')
        return Expect(IsError(m.ours, "#NUM!") && (literalNoNumber || AnyValue(m, TextNoNumber)), m,
                      "a text that is no number");
    // A numeric text is its number, the empty text 0.
    bool readable = AnyValue(m, [](const Answer& v) { return v.kind == 't'; });
    bool unreadable = AnyValue(m, [](const Answer& v) {
        return TextNoNumber(v) && v.text.find_first_not_of(' ') != std::string::npos;
    });
    return Expect(readable && !unreadable, m, "a text read as its number");
}

// A reversed range is #REF!, an empty intersection #NULL!: our answer is one of the errors
// the formula's ranges give.
std::string ErrorRule(TestBook& book, const ModelCase& m) {
    static const std::regex range(R"(\$?([A-Z]{1,2})\$?(\d+):\$?([A-Z]{1,2})\$?(\d+))");
    static const std::regex intersection(
        R"(\$?[A-Z]{1,2}\$?\d+(?::\$?[A-Z]{1,2}\$?\d+)?_\$?[A-Z]{1,2}\$?\d+(?::\$?[A-Z]{1,2}\$?\d+)?)");
    bool reversed = false, emptyIntersection = false;
    for (std::sregex_iterator it(m.formula.begin(), m.formula.end(), range), end; it != end; ++it)
        if (ColumnNumber((*it)[3]) < ColumnNumber((*it)[1]) ||
            std::atoi((*it)[4].str().c_str()) < std::atoi((*it)[2].str().c_str()))
            reversed = true;
    for (std::sregex_iterator it(m.formula.begin(), m.formula.end(), intersection), end; it != end;
         ++it)
        if (IsError(Evaluate(book, "=" + it->str(), 19, 0), "#NULL!")) emptyIntersection = true;
    bool holds =
        (reversed && IsError(m.ours, "#REF!")) || (emptyIntersection && IsError(m.ours, "#NULL!"));
    static const std::set<std::string> areaMeasures = {"ROWS", "COLUMNS", "ROW", "COLUMN"};
    if (!holds && areaMeasures.count(m.name)) holds = IsError(m.ours, "#VALUE!");
    if (!holds && (reversed || emptyIntersection)) {
        // A function that leaves a range's errors out reads these as a range of no values:
        // the call with an empty range in their place gives our answer.
        // COUNTBLANK finds no blank in it: a filled cell stands for it there.
        const std::string none = m.name == "COUNTBLANK" ? "A1:A1" : "Z100:Z101";
        std::string call;
        for (const Argument& a : m.args) {
            bool empty = a.reversed || IsError(Evaluate(book, "=" + a.text, 19, 0), "#NULL!");
            call += (call.empty() ? "" : ",") + (empty ? none : a.text);
        }
        if (!m.name.empty())
            holds = Agree(m.ours, Evaluate(book, "=" + m.name + "(" + call + ")", 19, 0));
    }
    return Expect(holds, m, "a reversed range or an empty intersection");
}

// The moment statistics: a text that is no number anywhere among the values is #NUM!.
std::string MomentText(const ModelCase& m) {
    return Expect(IsError(m.ours, "#NUM!") && AnyValue(m, TextNoNumber), m,
                  "a text that is no number among the values");
}

std::string JoinCall(const std::string& name, const std::vector<std::string>& args) {
    std::string call = "=" + name + "(";
    for (std::size_t i = 0; i < args.size(); ++i) call += (i ? "," : "") + args[i];
    return call + ")";
}

// Whole-number arguments are rounded half away from zero here and cut toward zero by the
// peer; an empty one takes the function's default here and is 0 there. Our answer is ours at
// the rounded arguments, the peer's ours at the cut ones, for some of the arguments that are
// no whole number or empty.
std::string WholeNumbers(TestBook& book, const ModelCase& m) {
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < m.args.size(); ++i) {
        const Argument& a = m.args[i];
        bool fraction = a.values.size() == 1 && a.values[0].kind == 'n' &&
                        a.values[0].number != std::trunc(a.values[0].number);
        if (fraction || a.text.empty()) candidates.push_back(i);
    }
    if (m.name.empty() || candidates.empty() || candidates.size() > 6)
        return Expect(false, m, "whole numbers rounded half away from zero");
    for (unsigned subset = 1; subset < (1u << candidates.size()); ++subset) {
        std::vector<std::string> ours, peers;
        for (const Argument& a : m.args) ours.push_back(a.text), peers.push_back(a.text);
        for (std::size_t k = 0; k < candidates.size(); ++k) {
            if (!(subset & (1u << k))) continue;
            std::size_t i = candidates[k];
            if (m.args[i].text.empty()) {
                ours[i] = "\x01";
                peers[i] = "0";
            } else {
                ours[i] = "ROUND(" + m.args[i].text + ",0)";
                peers[i] = "TRUNC(" + m.args[i].text + ")";
            }
        }
        // An empty argument left out: only trailing ones can be.
        while (!ours.empty() && ours.back() == "\x01") ours.pop_back();
        if (std::find(ours.begin(), ours.end(), "\x01") != ours.end()) continue;
        Answer cut = Evaluate(book, JoinCall(m.name, peers), 19, 0);
        bool peerMet = Agree(cut, m.peer) || (cut.kind == 't' && m.peer.kind == 'n' &&
                                              SameMoment(cut.text, m.peer.number));
        if (Agree(m.ours, Evaluate(book, JoinCall(m.name, ours), 19, 0)) && peerMet) return {};
    }
    return Expect(false, m, "whole numbers rounded half away from zero");
}

// MODE of values that each occur once is the smallest of them.
std::string ModeOfSingles(const ModelCase& m) {
    double smallest = HUGE_VAL;
    bool any = false;
    for (const Argument& a : m.args)
        for (const Answer& v : a.values)
            if (v.kind == 'n' || (v.kind == 't' && NumericText(v.text))) {
                smallest = std::min(smallest, v.kind == 'n' ? v.number : std::atof(v.text.c_str()));
                any = true;
            }
    return Expect(any && m.ours.kind == 'n' && m.ours.number == smallest, m,
                  "the smallest of values that occur once");
}

// SIN, COS and TAN of any finite angle are the library's.
std::string LargeAngles(const ModelCase& m) {
    if (m.args.size() != 1 || m.args[0].values.size() != 1 || m.args[0].values[0].kind != 'n')
        return Expect(false, m, "the angle's sine, cosine or tangent");
    double x = m.args[0].values[0].number;
    double want = m.name == "SIN" ? std::sin(x) : m.name == "COS" ? std::cos(x) : std::tan(x);
    return Expect(Agree(m.ours, Answer{'n', want, ""}), m, "the angle's sine, cosine or tangent");
}

// A date or time function's answer is an ISO text, the peer's serial number to the second;
// where it is given no date it is #VALUE!.
std::string TypedDates(const ModelCase& m) {
    if (m.ours.kind == 't' && m.peer.kind == 'n' && SameMoment(m.ours.text, m.peer.number))
        return {};
    return DatesAreText(m);
}

// ERRORTYPE: the number of the error its argument gives, 1 for #DIV/0! to 12 for #SYNTAX!,
// 0 for no error.
std::string ErrorNumbering(TestBook& book, const ModelCase& m) {
    static const char* const kinds[] = {"#DIV/0!", "#NAME?", "#NULL!",  "#N/A!",
                                        "#NUM!",   "#REF!",  "#VALUE!", "#MEMORY!",
                                        "#FILL!",  "#CIRC!", "#IMPL!",  "#SYNTAX!"};
    if (m.name != "ERRORTYPE" || m.args.size() != 1) return Expect(false, m, "the error's number");
    Answer given = Evaluate(book, "=" + m.args[0].text, 19, 0);
    double number = 0;
    for (int k = 0; k < 12; ++k)
        if (IsError(given, kinds[k])) number = k + 1;
    return Expect(Agree(m.ours, Answer{'n', number, ""}), m, "the error's number");
}

// Two areas paired value by value must be of one shape: #VALUE! when they are not.
std::string UnequalAreas(const ModelCase& m) {
    bool unequal = m.args.size() >= 2 &&
                   (m.args[0].rows != m.args[1].rows || m.args[0].columns != m.args[1].columns);
    return Expect(unequal && IsError(m.ours, "#VALUE!"), m, "areas of different shapes");
}

// A sample of fewer than two numbers has no spread: the t statistic is #N/A!, the z statistic
// #DIV/0!.
std::string SmallSamples(const ModelCase& m) {
    std::size_t samples = m.name == "ZTEST2" || m.name == "ZTEST" ? 1 : 2;
    bool small = false;
    for (std::size_t i = 0; i < samples && i < m.args.size(); ++i) {
        int numbers = 0;
        for (const Answer& v : m.args[i].values) numbers += v.kind == 'n';
        small = small || numbers < 2;
    }
    const char* error = samples == 1 ? "#DIV/0!" : "#N/A!";
    return Expect(small && IsError(m.ours, error), m, "a sample of fewer than two numbers");
}

double RoundHalfAway(double x) {
    return x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5);
}

int BaseOf(const std::string& prefix) {
    return prefix == "BIN" ? 2 : prefix == "OCT" ? 8 : prefix == "HEX" ? 16 : 10;
}

// A text of up to 10 digits in the base; 10 digits whose first is the base's upper half
// are a negative number in two's complement.
bool ReadDigits(const std::string& text, int base, long long& value) {
    if (text.size() > 10) return false;
    value = 0;
    for (char c : text) {
        int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : std::isalpha(static_cast<unsigned char>(c))
                    ? std::toupper(static_cast<unsigned char>(c)) - 'A' + 10
                    : 99;
        if (d >= base) return false;
        value = value * base + d;
    }
    long long span = 1;
    for (int i = 0; i < 10; ++i) span *= base;
    if (text.size() == 10 && value >= span / 2) value -= span;
    return true;
}

std::string WriteDigits(long long value, int base, int places) {
    long long span = 1;
    for (int i = 0; i < 10; ++i) span *= base;
    unsigned long long u =
        value < 0 ? (unsigned long long)(value + span) : (unsigned long long)value;
    std::string out;
    do {
        out.insert(out.begin(), "0123456789ABCDEF"[u % unsigned(base)]);
        u /= unsigned(base);
    } while (u);
    // A negative number always has all 10 digits; a short places never cuts.
    std::size_t width = value < 0 ? 10 : std::size_t(std::max(places, 0));
    if (out.size() < width) out.insert(0, width - out.size(), '0');
    return out;
}

// The base conversions write 10 digits when places is empty or left out, pad to places and
// never cut, round decimals half away from zero.
std::string BaseDigits(const ModelCase& m) {
    if (m.name.size() != 7 || m.args.empty() || m.args.size() > 2)
        return Expect(false, m, "the conversion");
    const int from = BaseOf(m.name.substr(0, 3)), to = BaseOf(m.name.substr(4, 3));
    const Answer& input = m.args[0].values.front();
    long long value = 0;
    bool readable = false;
    if (from == 10 && (input.kind == 'n' || (input.kind == 't' && NumericText(input.text)))) {
        double x = input.kind == 'n' ? input.number : std::atof(input.text.c_str());
        value = (long long)RoundHalfAway(x);
        readable = std::fabs(x) < 1e12;
    } else if (from != 10 && input.kind == 't') {
        readable = ReadDigits(input.text, from, value);
    } else if (from != 10 && input.kind == 'n' && input.number >= 0 && input.number < 1e10 &&
               input.number == std::trunc(input.number)) {
        readable = ReadDigits(std::to_string((long long)input.number), from, value);
    }
    int places = 10;
    if (m.args.size() == 2 && m.args[1].values.front().kind == 'n')
        places = int(RoundHalfAway(m.args[1].values.front().number));
    else if (m.args.size() == 2 && m.args[1].values.front().kind != 'b')
        readable = false;
    long long span = 1;
    for (int i = 0; i < 10; ++i) span *= to;
    const bool fits = value >= -span / 2 && value < span / 2 && places <= 10;
    if (!readable || !fits) return Expect(m.ours.kind == 'e', m, "the conversion");
    return Expect(m.ours.kind == 't' && m.ours.text == WriteDigits(value, to, places), m,
                  "the conversion, 10 digits for an empty places");
}

// How a cell meets the value sought: -1 below, 0 equal, 1 above, 2 not comparable. A number
// meets numbers and numeric texts; a text meets texts without case and numbers as their text.
int Meet(const Answer& cell, const Answer& sought) {
    if (sought.kind == 'n') {
        double x = 0;
        if (cell.kind == 'n')
            x = cell.number;
        else if (cell.kind == 't' && NumericText(cell.text))
            x = std::atof(cell.text.c_str());
        else
            return 2;
        return x < sought.number ? -1 : x > sought.number ? 1 : 0;
    }
    if (sought.kind != 't' || cell.kind == 'b' || cell.kind == 'e') return 2;
    std::string a = cell.kind == 't' ? cell.text : Describe(Answer{'n', cell.number, ""});
    std::string b = sought.text;
    for (char& c : a) c = char(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : b) c = char(std::toupper(static_cast<unsigned char>(c)));
    return a < b ? -1 : a > b ? 1 : 0;
}

// The walk over every cell: type 0 the first equal, 1 the first of the largest not above,
// -1 the first of the smallest not below; -1 when none.
int Walk(const std::vector<Answer>& cells, const Answer& sought, int type) {
    int found = -1;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        int meet = Meet(cells[i], sought);
        if (meet == 2 || (type == 0 && meet != 0) || (type == 1 && meet > 0) ||
            (type == -1 && meet < 0))
            continue;
        if (found < 0 || (type == 1 && Meet(cells[i], cells[std::size_t(found)]) > 0) ||
            (type == -1 && Meet(cells[i], cells[std::size_t(found)]) < 0))
            found = int(i);
        if (type == 0) break;
    }
    return found;
}

double Rounded(const Argument& a, double otherwise) {
    const Answer& v = a.values.front();
    if (a.text.empty() || v.kind == 'b') return otherwise;
    return v.kind == 'n' ? RoundHalfAway(v.number) : NAN;
}

// MATCH, LOOKUP, VLOOKUP and HLOOKUP walk every cell; an empty match type is 1, one outside
// -1..1 #NUM!; three-argument LOOKUP is exact and takes its answer at the same place from
// the result range's corner; a column or row past the area is #REF!.
std::string LookupSearch(TestBook& book, const ModelCase& m) {
    if (m.args.size() < 2) return Expect(false, m, "the walk");
    const Answer& sought = m.args[0].values.front();
    const Argument& area = m.args[1];
    if (sought.kind == 'e') return Expect(m.ours.kind == 'e', m, "the walk");
    Answer want{'e', 0, "#N/A!"};
    if (m.name == "MATCH") {
        double type = m.args.size() > 2 ? Rounded(m.args[2], 1) : 1;
        if (std::isnan(type) || type < -1 || type > 1)
            return Expect(m.ours.kind == 'e', m, "the walk");
        int at = Walk(area.values, sought, int(type));
        if (at >= 0) want = Answer{'n', double(at + 1), ""};
    } else if (m.name == "LOOKUP") {
        int at = Walk(area.values, sought, m.args.size() > 2 ? 0 : 1);
        if (at >= 0 && m.args.size() == 2) want = area.values[std::size_t(at)];
        // An empty result argument answers 0 where the value is found.
        if (at >= 0 && m.args.size() > 2 && m.args[2].text.empty()) want = Answer{'n', 0, ""};
        if (at >= 0 && m.args.size() > 2 && !m.args[2].text.empty()) {
            Area result;
            if (!ReadArea(m.args[2].text, result)) return Expect(m.ours.kind == 'e', m, "the walk");
            bool column = std::min(result.c1, result.c2) == std::max(result.c1, result.c2);
            int r = std::min(result.r1, result.r2) + (column ? at : 0);
            int c = std::min(result.c1, result.c2) + (column ? 0 : at);
            const uint8_t* cell = FindCell(book.Sheet().cells, uint32_t(r), uint16_t(c));
            want = cell ? FromRecord(cell) : Answer{'n', 0, ""};
        }
    } else {
        bool vertical = m.name == "VLOOKUP";
        double index = m.args.size() > 2 ? Rounded(m.args[2], NAN) : NAN;
        double flag = m.args.size() > 3 ? Rounded(m.args[3], 1) : 1;
        std::size_t span = vertical ? area.columns : area.rows;
        if (std::isnan(index) || std::isnan(flag) || flag < 0 || flag > 1 || index < 1)
            return Expect(m.ours.kind == 'e', m, "the walk");
        if (index > double(span))
            return Expect(IsError(m.ours, "#REF!"), m, "a column past the area");
        std::vector<Answer> keys;
        std::size_t length = vertical ? area.rows : area.columns;
        for (std::size_t k = 0; k < length; ++k)
            keys.push_back(area.values[vertical ? k * area.columns : k]);
        int at = Walk(keys, sought, flag == 0 ? 0 : 1);
        if (at >= 0) {
            std::size_t i = std::size_t(index) - 1, k = std::size_t(at);
            want = area.values[vertical ? k * area.columns + i : i * area.columns + k];
        }
    }
    if (want.kind == 'b') want = Answer{'n', 0, ""};
    return Expect(Agree(m.ours, want), m, "the walk over every cell");
}

// The call with some arguments written otherwise, evaluated here.
Answer Substituted(TestBook& book, const ModelCase& m, const std::vector<std::string>& texts) {
    return Evaluate(book, JoinCall(m.name, texts), 19, 0);
}

std::vector<std::string> Texts(const ModelCase& m) {
    std::vector<std::string> out;
    for (const Argument& a : m.args) out.push_back(a.text);
    return out;
}

// An empty text, or one of blanks only, is 0 where a number is asked.
std::string EmptyText(TestBook& book, const ModelCase& m) {
    std::string name;
    std::vector<std::string> ignored;
    if (!SplitCall(m.formula, name, ignored)) {
        // Operators: each "" and each call that gives the empty text written as 0.
        std::string formula = m.formula;
        for (std::size_t at = 0; (at = formula.find("\"\"", at)) != std::string::npos;)
            formula.replace(at, 2, "0");
        for (const Argument& a : m.args) {
            const Answer& v = a.values.front();
            std::size_t at = formula.find(a.text);
            if (a.values.size() == 1 && v.kind == 't' && v.text.empty() && !a.text.empty() &&
                at != std::string::npos && a.text.find('(') != std::string::npos)
                formula.replace(at, a.text.size(), "0");
        }
        return Expect(formula != m.formula && Agree(m.ours, Evaluate(book, formula, 19, 0)), m,
                      "the empty text read as 0");
    }
    std::vector<std::string> texts = Texts(m);
    bool any = false;
    for (std::size_t i = 0; i < m.args.size(); ++i) {
        const Answer& v = m.args[i].values.front();
        if (m.args[i].values.size() == 1 && v.kind == 't' &&
            v.text.find_first_not_of(' ') == std::string::npos)
            texts[i] = "0", any = true;
    }
    return Expect(any && !m.name.empty() && Agree(m.ours, Substituted(book, m, texts)), m,
                  "the empty text read as 0");
}

// An area as an array constant of its values, each written by `write`.
std::string AsArray(const Argument& a, const std::function<std::string(const Answer&)>& write) {
    std::string out = "{";
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        if (i) out += i % a.columns ? "," : ";";
        out += write(a.values[i]);
    }
    return out + "}";
}

std::string Number(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

// The regression and pairing functions take every position of their areas, an empty, text
// or error cell as 0 (paired positions); the paired sums take an absent cell as 0 and refuse
// a text that is no number (paired arrays).
std::string PairedCells(TestBook& book, const ModelCase& m, bool refuseText) {
    if (refuseText && AnyValue(m, [](const Answer& v) { return TextNoNumber(v) || v.kind == 'e'; }))
        return Expect(m.ours.kind == 'e', m, "a text that is no number in a paired area");
    std::vector<std::string> texts = Texts(m);
    for (std::size_t i = 0; i < m.args.size(); ++i) {
        if (m.args[i].values.size() <= 1 && m.args[i].text.find(':') == std::string::npos) continue;
        if (m.name == "SERIESSUM") {
            // SERIESSUM skips absent cells: the coefficients are the present ones in order.
            Argument present = m.args[i];
            present.values.clear();
            for (const Answer& v : m.args[i].values)
                if (v.kind != 'b') present.values.push_back(v);
            present.columns = 1;
            texts[i] = AsArray(present, [](const Answer& v) { return Number(v.number); });
            continue;
        }
        texts[i] = AsArray(m.args[i], [](const Answer& v) {
            return v.kind == 'n'                          ? Number(v.number)
                   : v.kind == 't' && NumericText(v.text) ? Number(std::atof(v.text.c_str()))
                                                          : std::string("0");
        });
    }
    return Expect(!m.name.empty() && Agree(m.ours, Substituted(book, m, texts)), m,
                  "the areas with their absent, text and error cells as 0");
}

// A cumulative flag is a whole number rounded half away from zero that must be 0 or 1.
std::string TruthFlags(TestBook& book, const ModelCase& m) {
    if (m.args.empty()) return Expect(false, m, "the flag");
    const Argument& flag = m.args.back();
    const Answer& v = flag.values.front();
    if (v.kind != 'n') return Expect(m.ours.kind == 'e', m, "a flag that is no number");
    double rounded = RoundHalfAway(v.number);
    if (rounded != 0 && rounded != 1)
        return Expect(IsError(m.ours, "#NUM!"), m, "a flag past 0 and 1");
    std::vector<std::string> texts = Texts(m);
    texts.back() = rounded ? "1" : "0";
    return Expect(Agree(m.ours, Substituted(book, m, texts)), m, "the flag rounded");
}

// DOLLARFR writes the numerator in as many digits as the denominator has; DOLLARDE reads
// that many back; the denominator is a whole number rounded half away from zero.
bool ReadNumber(const Answer& v, double& x) {
    if (v.kind == 'n')
        x = v.number;
    else if (v.kind == 't' && NumericText(v.text))
        x = std::atof(v.text.c_str());
    else
        return false;
    return true;
}

std::string FractionDigits(const ModelCase& m) {
    double x = 0, d = 0;
    if (m.args.size() != 2 || !ReadNumber(m.args[0].values.front(), x) ||
        !ReadNumber(m.args[1].values.front(), d))
        return Expect(m.ours.kind == 'e', m, "the fraction");
    d = RoundHalfAway(d);
    if (d < 1) return Expect(m.ours.kind == 'e', m, "a denominator below 1");
    double scale = std::pow(10.0, std::floor(std::log10(d)) + 1);
    double whole = std::trunc(std::fabs(x)), fraction = std::fabs(x) - whole;
    double value = m.name == "DOLLARFR" ? whole + std::floor(fraction * d + 0.5) / scale
                                        : whole + fraction * scale / d;
    return Expect(Agree(m.ours, Answer{'n', x < 0 ? -value : value, ""}), m,
                  "the fraction's digits");
}

// A text past the 8,173 characters a cell holds is #VALUE!: the peer's answer longer, or a
// REPT in the formula making one.
std::string TextLength(TestBook& book, const ModelCase& m) {
    const std::size_t limit = 8173;
    bool long_ = (m.peer.kind == 't' && m.peer.text.size() > limit) ||
                 (m.name == "LEN" && m.peer.kind == 'n' && m.peer.number > double(limit));
    static const std::regex rept(R"re(REPT\(("(?:[^"]|"")*"|[A-Z]+\d+),(\d+)\))re");
    for (std::sregex_iterator it(m.formula.begin(), m.formula.end(), rept), end; it != end; ++it) {
        Answer length = Evaluate(book, "=LEN(" + (*it)[1].str() + ")", 19, 0);
        if (length.kind == 'n' && length.number * std::atof((*it)[2].str().c_str()) > double(limit))
            long_ = true;
    }
    return Expect(long_ && IsError(m.ours, "#VALUE!"), m, "a text past 8,173 characters");
}

// Of several failing arguments the error of the largest code wins (the codes number the
// kinds from #DIV/0! to #SYNTAX!).
std::string LargestError(const ModelCase& m) {
    static const std::vector<std::string> kinds = {"#DIV/0!", "#NAME?", "#NULL!", "#N/A!",
                                                   "#NUM!",   "#REF!",  "#VALUE!"};
    auto code = [&](const Answer& a) {
        auto at = std::find(kinds.begin(), kinds.end(), a.text);
        return a.kind == 'e' && at != kinds.end() ? int(at - kinds.begin()) + 1 : 0;
    };
    // Between operators a text that is no number fails as #NUM!.
    std::string name;
    std::vector<std::string> ignored;
    const bool operators = !SplitCall(m.formula, name, ignored);
    int given = 0;
    for (const Argument& a : m.args)
        for (const Answer& v : a.values)
            given = std::max(given, operators && TextNoNumber(v) ? 5 : code(v));
    return Expect(given > 0 && code(m.ours) >= given, m, "the largest error code");
}

// CEILING, FLOOR and MROUND work on the magnitude: a negative number goes away from zero
// with CEILING and toward it with FLOOR; a multiple of 0 is #DIV/0!, a negative one (MROUND:
// one of the other sign) #NUM!; an empty cell named as the multiple is 1.
std::string Multiples(const ModelCase& m) {
    double x = 0, step = 1;
    if (m.args.size() != 2 || !ReadNumber(m.args[0].values.front(), x) ||
        (m.args[1].values.front().kind != 'b' && !ReadNumber(m.args[1].values.front(), step)))
        return Expect(m.ours.kind == 'e', m, "the multiple");
    if (step == 0) return Expect(IsError(m.ours, "#DIV/0!"), m, "a multiple of 0");
    bool mround = m.name == "MROUND";
    if ((!mround && step < 0) || (mround && x != 0 && (x < 0) != (step < 0)))
        return Expect(IsError(m.ours, "#NUM!"), m, "a multiple of the wrong sign");
    double units = std::fabs(x) / std::fabs(step);
    double whole = m.name == "CEILING" ? std::ceil(units)
                   : m.name == "FLOOR" ? std::floor(units)
                                       : RoundHalfAway(units);
    double value = (x < 0 ? -1 : 1) * whole * std::fabs(step);
    if (!std::isfinite(value) || !std::isfinite(units))
        return Expect(IsError(m.ours, "#NUM!"), m, "a multiple past the doubles");
    return Expect(Agree(m.ours, Answer{'n', value, ""}), m, "the multiple on the magnitude");
}

// The first call of `name` in the formula, as written, or empty.
std::string CallText(const std::string& formula, const std::string& name) {
    std::size_t at = formula.find(name + "(");
    while (at != std::string::npos && at > 0 &&
           std::isalnum(static_cast<unsigned char>(formula[at - 1])))
        at = formula.find(name + "(", at + 1);
    if (at == std::string::npos) return {};
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = at + name.size(); i < formula.size(); ++i) {
        char c = formula[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (depth == 0) return formula.substr(at, i + 1 - at);
    }
    return {};
}

// An argument written as an area (or an intersection of areas, in parentheses or not).
bool IsReference(const std::string& written) {
    std::string text = written;
    while (text.size() > 2 && text.front() == '(' && text.back() == ')')
        text = text.substr(1, text.size() - 2);
    Area a;
    std::size_t cut = text.find('_');
    return ReadArea(text, a) || (cut != std::string::npos && ReadArea(text.substr(0, cut), a) &&
                                 ReadArea(text.substr(cut + 1), a));
}

// ROW, COLUMN, ROWS and COLUMNS take an array (an area in arithmetic too) as an area whose
// first row and column are 1; AREAS counts the references among its arguments; INDEX past
// the area is #REF!; ADDRESS writes a worksheet's name before "!", quoted with '"'.
std::string ReferenceFunctions(TestBook& book, const ModelCase& m) {
    static const char* const names[] = {"ROWS",  "COLUMNS", "ROW",    "COLUMN",
                                        "AREAS", "INDEX",   "ADDRESS"};
    for (const char* name : names) {
        std::string call = CallText(m.formula, name);
        std::string ignored;
        std::vector<std::string> args;
        if (call.empty() || !SplitCall("=" + call, ignored, args) || args.empty()) continue;
        std::string value;
        const std::string n = name;
        if (n == "AREAS") {
            int count = 0;
            for (const std::string& a : args) count += IsReference(a);
            value = std::to_string(count);
        } else if (n == "INDEX") {
            Argument area = ReadArgument(book, args[0]);
            double r = 1, c = 1;
            if (args.size() > 1) ReadNumber(Evaluate(book, "=" + args[1], 19, 0), r);
            if (args.size() > 2) ReadNumber(Evaluate(book, "=" + args[2], 19, 0), c);
            r = RoundHalfAway(r), c = RoundHalfAway(c);
            bool past = r > double(area.rows) || c > double(area.columns);
            return Expect(past && IsError(m.ours, "#REF!"), m, "an index past the area");
        } else if (n == "ADDRESS") {
            if (m.peer.kind != 't') return Expect(false, m, "the address");
            std::string want = m.peer.text;
            std::size_t dot = want.rfind('.');
            if (dot != std::string::npos) {
                std::string sheet = want.substr(0, dot);
                if (sheet.size() > 1 && sheet.front() == '\'' && sheet.back() == '\'')
                    sheet = "\"" + sheet.substr(1, sheet.size() - 2) + "\"";
                want = sheet + "!" + want.substr(dot + 1);
            }
            // A relative R1C1 column counts from the formula's column (T, the 20th) here, from
            // the first column there.
            std::smatch relative;
            static const std::regex column(R"(C\[(-?\d+)\])");
            if (std::regex_search(want, relative, column))
                want = relative.prefix().str() + "C[" +
                       std::to_string(std::atoi(relative[1].str().c_str()) - 20) + "]" +
                       relative.suffix().str();
            return Expect(m.ours.kind == 't' && m.ours.text == want, m, "the address with \"!\"");
        } else {
            // The argument's shape: an area in arithmetic keeps the area's.
            static const std::regex area(R"(\$?[A-Z]{1,2}\$?\d+(?::\$?[A-Z]{1,2}\$?\d+)?)");
            std::smatch found;
            Argument shape = std::regex_search(args[0], found, area) && !IsReference(args[0])
                                 ? ReadArgument(book, found.str())
                                 : ReadArgument(book, args[0]);
            if (IsReference(args[0])) continue;
            value = n == "ROWS"      ? std::to_string(shape.rows)
                    : n == "COLUMNS" ? std::to_string(shape.columns)
                                     : "1";
        }
        std::string formula = m.formula;
        formula.replace(formula.find(call), call.size(), value);
        return Expect(Agree(m.ours, Evaluate(book, formula, 19, 0)), m, "the reference function");
    }
    return Expect(false, m, "a reference function");
}

// MOD is the exact floating remainder with the dividend's sign; a divisor of 0 is #DIV/0!.
std::string RemainderSign(const ModelCase& m) {
    double x = 0, y = 0;
    if (m.args.size() != 2 || !ReadNumber(m.args[0].values.front(), x) ||
        !ReadNumber(m.args[1].values.front(), y))
        return Expect(m.ours.kind == 'e', m, "the remainder");
    if (y == 0) return Expect(IsError(m.ours, "#DIV/0!"), m, "a divisor of 0");
    return Expect(Agree(m.ours, Answer{'n', std::fmod(x, y) + 0.0, ""}), m, "the exact remainder");
}

// A truth value is a whole number rounded half away from zero; a negative one, one past
// 2,147,483,647 or a text that is no number is #NUM!, the largest error code winning.
std::string TruthRule(TestBook& book, const ModelCase& m) {
    static const std::vector<std::string> kinds = {"#DIV/0!", "#NAME?", "#NULL!", "#N/A!",
                                                   "#NUM!",   "#REF!",  "#VALUE!"};
    const bool condition = m.name == "IF";
    std::size_t read = condition ? 1 : m.args.size();
    int worst = 0;
    bool all = true, any = false, seen = false;
    for (std::size_t i = 0; i < read && i < m.args.size(); ++i)
        for (const Answer& v : m.args[i].values) {
            double x = 0;
            if (v.kind == 'b') continue;
            if (v.kind == 'e') {
                auto at = std::find(kinds.begin(), kinds.end(), v.text);
                worst = std::max(worst, at == kinds.end() ? 5 : int(at - kinds.begin()) + 1);
                continue;
            }
            // The empty text (or one of blanks) is 0.
            bool empty = v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos;
            if (!empty && !ReadNumber(v, x)) {
                worst = std::max(worst, 5);
                continue;
            }
            double r = RoundHalfAway(x);
            if (r < 0 || r > 2147483647.0) {
                worst = std::max(worst, 5);
                continue;
            }
            seen = true;
            all = all && r != 0;
            any = any || r != 0;
        }
    if (worst)
        return Expect(IsError(m.ours, kinds[std::size_t(worst - 1)].c_str()), m,
                      "the largest error");
    Answer want{'n', 0, ""};
    // AND and OR of no value at all (an empty cell) are #N/A!.
    if ((m.name == "AND" || m.name == "OR") && !seen)
        want = Answer{'e', 0, "#N/A!"};
    else if (m.name == "AND")
        want.number = seen && all;
    else if (m.name == "OR")
        want.number = any;
    else if (m.name == "NOT")
        want.number = !any;
    else if (condition) {
        std::size_t branch = any ? 1 : 2;
        want = branch < m.args.size() && !m.args[branch].text.empty()
                   ? Evaluate(book, "=" + m.args[branch].text, 19, 0)
                   : Answer{'n', 0, ""};
    } else {
        return Expect(false, m, "a truth function");
    }
    return Expect(Agree(m.ours, want), m, "truth values rounded half away from zero");
}

// DATE and TIME take each field within its bounds (years 1-50000 as written, months 1-12,
// days 1-31 and within the month, hours 0-23, minutes and seconds 0-59), whole numbers
// rounded half away from zero; beyond them #NUM!.
std::string DateFields(const ModelCase& m) {
    double f[3] = {0, 0, 0};
    if (m.args.size() != 3) return Expect(m.ours.kind == 'e', m, "the fields");
    for (int i = 0; i < 3; ++i) {
        if (!ReadNumber(m.args[std::size_t(i)].values.front(), f[i]))
            return Expect(m.ours.kind == 'e', m, "a field that is no number");
        f[i] = RoundHalfAway(f[i]);
    }
    char text[32];
    if (m.name == "DATE") {
        static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        int y = int(std::fmax(std::fmin(f[0], 1e6), -1e6)),
            mo = int(std::fmax(std::fmin(f[1], 99), -99));
        bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        bool valid = f[0] >= 1 && f[0] <= 50000 && f[1] >= 1 && f[1] <= 12 && f[2] >= 1 &&
                     f[2] <= days[std::max(mo, 1) - 1] + (mo == 2 && leap);
        if (!valid) return Expect(IsError(m.ours, "#NUM!"), m, "a field past its bounds");
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, mo, int(f[2]));
    } else {
        bool valid = f[0] >= 0 && f[0] <= 23 && f[1] >= 0 && f[1] <= 59 && f[2] >= 0 && f[2] <= 59;
        if (!valid) return Expect(IsError(m.ours, "#NUM!"), m, "a field past its bounds");
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(f[0]), int(f[1]), int(f[2]));
    }
    return Expect(m.ours.kind == 't' && m.ours.text == text, m, "the fields as written");
}

// A number compared with a text is #VALUE!: the comparison converts neither. The sides of
// the formula's comparison (inside IF's condition too) are read here.
std::string TextAgainstNumber(TestBook& book, const ModelCase& m) {
    std::string expression = m.formula.substr(1);
    std::string name;
    std::vector<std::string> args;
    if (SplitCall(m.formula, name, args) && name == "IF" && !args.empty()) expression = args[0];
    static const std::regex comparison(R"re(^(.*?)(<=|>=|<>|=|<|>)(.*)$)re");
    std::smatch parts;
    if (!std::regex_match(expression, parts, comparison)) return Expect(false, m, "a comparison");
    Answer left = Evaluate(book, "=" + parts[1].str(), 19, 0);
    Answer right = Evaluate(book, "=" + parts[3].str(), 19, 0);
    bool mixed = (left.kind == 'n' && right.kind == 't') || (left.kind == 't' && right.kind == 'n');
    return Expect(mixed && IsError(m.ours, "#VALUE!"), m, "a number compared with a text");
}

// SUM, MAX and MIN (and MAXA, MINA) read numbers and numeric texts; they leave errors, other
// texts and empty cells out of areas and arrays, MAX and MIN errors and other texts out of
// every argument; a text that is no number given alone to SUM is #NUM!, an error given
// alone to it that error. With no value MAX and MIN are 0.
bool HasReversedRange(const std::string& text) {
    static const std::regex range(R"(([A-Z]+)(\d+):([A-Z]+)(\d+))");
    for (std::sregex_iterator it(text.begin(), text.end(), range), end; it != end; ++it)
        if (ColumnNumber((*it)[3]) < ColumnNumber((*it)[1]) ||
            std::atoi((*it)[4].str().c_str()) < std::atoi((*it)[2].str().c_str()))
            return true;
    return false;
}

Answer AggregateOf(TestBook& book, const ModelCase& m) {
    const bool sum = m.name == "SUM";
    double total = 0, best = 0;
    bool any = false;
    for (const Argument& a : m.args) {
        if (!sum && a.text.find('_') != std::string::npos) {
            // MAX and MIN read an intersection with a reversed side as its other side.
            std::string text = a.text;
            while (text.size() > 2 && text.front() == '(' && text.back() == ')')
                text = text.substr(1, text.size() - 2);
            std::size_t cut = text.find('_');
            Area left, right;
            if (ReadArea(text.substr(0, cut), left) && ReadArea(text.substr(cut + 1), right) &&
                ((left.c2 < left.c1 || left.r2 < left.r1) !=
                 (right.c2 < right.c1 || right.r2 < right.r1))) {
                bool leftReversed = left.c2 < left.c1 || left.r2 < left.r1;
                for (const Answer& v :
                     ReadArgument(book, leftReversed ? text.substr(cut + 1) : text.substr(0, cut))
                         .values) {
                    double x = 0;
                    if (v.kind == 'b' || v.kind == 'e' || !ReadNumber(v, x)) continue;
                    best = !any                          ? x
                           : m.name.rfind("MAX", 0) == 0 ? std::max(best, x)
                                                         : std::min(best, x);
                    any = true;
                }
                continue;
            }
        }
        // SUM keeps the #REF! of a range written from its far corner; MAX and MIN leave it out.
        if (HasReversedRange(a.text)) {
            if (sum) return Answer{'e', 0, "#REF!"};
            continue;
        }
        {
            const bool area = a.values.size() > 1 || (!a.text.empty() && a.text.front() == '{') ||
                              (a.values.empty());
            if (!area) {
                const Answer& v = a.values.front();
                double x = 0;
                if (sum && v.kind == 'e') return v;
                if (sum && TextNoNumber(v)) return Answer{'e', 0, "#NUM!"};
                // An empty cell or argument named alone is 0.
                if (v.kind == 'b')
                    x = 0;
                else if (!ReadNumber(v, x))
                    continue;
                total += x;
                best = !any                          ? x
                       : m.name.rfind("MAX", 0) == 0 ? std::max(best, x)
                                                     : std::min(best, x);
                any = true;
                continue;
            }
            for (const Answer& v : a.values) {
                double x = 0;
                if (v.kind == 'b' || v.kind == 'e' || !ReadNumber(v, x)) continue;
                total += x;
                best = !any                          ? x
                       : m.name.rfind("MAX", 0) == 0 ? std::max(best, x)
                                                     : std::min(best, x);
                any = true;
            }
        }
    }
    return Answer{'n', sum ? total : best, ""};
}

// SUM, MAX and MIN (and MAXA, MINA) read numbers and numeric texts; they leave errors, other
// texts and empty cells out of areas and arrays, MAX and MIN errors and other texts out of
// every argument; a text that is no number or an error given alone to SUM is the result, and
// SUM keeps a reversed range's #REF!. An empty cell named alone is 0; with no value MAX and
// MIN are 0. Between operators the call's answer stands in the formula.
std::string AggregateReading(TestBook& book, const ModelCase& m) {
    std::string name;
    std::vector<std::string> args;
    if (SplitCall(m.formula, name, args))
        return Expect(Agree(m.ours, AggregateOf(book, m)), m,
                      "the numbers read, errors and texts left out");
    for (const char* function : {"SUM", "MAX", "MIN"}) {
        std::string call = CallText(m.formula, function);
        if (call.empty()) continue;
        Answer value = AggregateOf(book, ReadModelCase(book, "=" + call, m.ours, m.peer));
        std::string formula = m.formula;
        formula.replace(formula.find(call), call.size(),
                        value.kind == 'n' ? Number(value.number) : value.text);
        return Expect(Agree(m.ours, Evaluate(book, formula, 19, 0)), m, "the call's numbers read");
    }
    return Expect(false, m, "an aggregate");
}

int ErrorCode(const Answer& a) {
    static const std::vector<std::string> kinds = {"#DIV/0!", "#NAME?", "#NULL!", "#N/A!",
                                                   "#NUM!",   "#REF!",  "#VALUE!"};
    auto at = std::find(kinds.begin(), kinds.end(), a.text);
    return a.kind == 'e' && at != kinds.end() ? int(at - kinds.begin()) + 1 : 0;
}

Answer ErrorOfCode(int code) {
    static const char* const kinds[] = {"#DIV/0!", "#NAME?", "#NULL!", "#N/A!",
                                        "#NUM!",   "#REF!",  "#VALUE!"};
    return Answer{'e', 0, kinds[code - 1]};
}

// The data arguments read as the statistics read them: numbers and numeric texts (an empty
// cell or argument named alone is 0, one in an area left out), other texts #NUM! (MEDIAN,
// MODE and SUMPRODUCT leave them and errors out), the largest error code winning; a reversed
// range is left out; then the call on an array of the numbers read gives our answer.
std::string CleanedCall(TestBook& book, const ModelCase& m, const std::vector<std::size_t>& data) {
    const bool leaveOut = m.name == "MEDIAN" || m.name == "MODE" || m.name == "SUMPRODUCT";
    const bool skipOmitted = m.name == "AVERAGE" || m.name == "AVERAGEA" || m.name == "AVEDEV";
    int worst = 0;
    std::vector<double> numbers;
    for (std::size_t i : data) {
        if (i >= m.args.size()) continue;
        const Argument& a = m.args[i];
        if (a.text.empty()) {
            if (!skipOmitted) numbers.push_back(0);
            continue;
        }
        // A range written from its far corner is left out.
        if (HasReversedRange(a.text)) continue;
        const bool area = a.values.size() > 1 || a.text.find_first_of(":{_") != std::string::npos;
        for (const Answer& v : a.values) {
            double x = 0;
            if (v.kind == 'b') {
                if (!area) numbers.push_back(0);
            } else if (v.kind == 'e') {
                if (!leaveOut) worst = std::max(worst, ErrorCode(v) ? ErrorCode(v) : 5);
            } else if (ReadNumber(v, x)) {
                numbers.push_back(x);
            } else if (!leaveOut) {
                worst = std::max(worst, 5);
            }
        }
    }
    if (worst) return Expect(Agree(m.ours, ErrorOfCode(worst)), m, "the largest error code");
    std::string array = "Z100:Z101";
    if (!numbers.empty()) {
        array = "{";
        for (std::size_t k = 0; k < numbers.size(); ++k)
            array += (k ? "," : "") + Number(numbers[k]);
        array += "}";
    }
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < m.args.size(); ++i) {
        if (i == data.front())
            texts.push_back(array);
        else if (std::find(data.begin(), data.end(), i) == data.end())
            texts.push_back(m.args[i].text);
    }
    return Expect(Agree(m.ours, Evaluate(book, JoinCall(m.name, texts), 19, 0)), m,
                  "the call on the numbers read");
}

std::string ListReading(TestBook& book, const ModelCase& m) {
    std::vector<std::size_t> all;
    for (std::size_t i = 0; i < m.args.size(); ++i) all.push_back(i);
    if (all.empty()) return Expect(false, m, "a list");
    return CleanedCall(book, m, all);
}

// The information functions read a number, a numeric text or the empty text (0), round it
// half away from zero, and pass an error on; a text that is no number is #NUM! where a
// number is asked.
std::string InformationRule(const ModelCase& m) {
    if (m.args.size() != 1 || m.args[0].values.size() != 1) return Expect(false, m, "one value");
    const Answer& v = m.args[0].values.front();
    if (v.kind == 'e') return Expect(Agree(m.ours, v), m, "the error passed on");
    double x = 0;
    bool number = ReadNumber(v, x) || v.kind == 'b' ||
                  (v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos);
    const std::string& n = m.name;
    Answer want{'n', 0, ""};
    if (n == "ISBLANK")
        want.number = v.kind == 'b' || (v.kind == 't' && v.text.empty());
    else if (n == "TYPE")
        want.number = v.kind == 'b' ? 0 : v.kind == 'n' ? 1 : 2;
    else if (n == "ISNUMBER")
        want.number = number;
    else if (n == "ISTEXT")
        want.number = v.kind == 't';
    else if (n == "ISNONTEXT")
        want.number = v.kind != 't';
    else if (!number)
        want = Answer{'e', 0, "#NUM!"};
    else if (n == "N")
        want.number = x;
    else if (n == "ISLOGICAL")
        want.number = RoundHalfAway(x) == 0 || RoundHalfAway(x) == 1;
    else if (n == "ISEVEN")
        want.number = std::fmod(RoundHalfAway(x), 2) == 0;
    else if (n == "ISODD")
        want.number = std::fmod(RoundHalfAway(x), 2) != 0;
    else
        return Expect(false, m, "an information function");
    return Expect(Agree(m.ours, want), m, "the value read as a rounded number");
}

// COUNT counts numbers, numeric texts and errors, an empty cell named alone too; COUNTA every
// argument given and every stored cell of an area.
std::string CountReading(const ModelCase& m) {
    double count = 0;
    for (const Argument& a : m.args) {
        // An intersection of one cell is that cell named alone.
        const bool area =
            a.values.size() > 1 || a.text.find('{') != std::string::npos ||
            (a.text.find(':') != std::string::npos && a.text.find('_') == std::string::npos);
        if (HasReversedRange(a.text)) continue;
        for (const Answer& v : a.values) {
            double x = 0;
            if (m.name == "COUNTA")
                count += area ? v.kind != 'b' : !a.text.empty();
            else if (area)
                count += v.kind == 'e' || ReadNumber(v, x);
            else
                count += !a.text.empty() && v.kind != 'b' && !TextNoNumber(v);
        }
    }
    return Expect(Agree(m.ours, Answer{'n', count, ""}), m, "the values counted");
}

// PEARSON, RSQ, STEYX and PROB pair the stored cells of their two areas: unequal counts, or a
// pair whose errors differ, are #N/A!; PROB takes the pairs as they are, the others the
// numbers each area holds, which must be as many.
std::string PairWalk(TestBook& book, const ModelCase& m) {
    if (m.args.size() < 2) return Expect(false, m, "two areas");
    std::vector<Answer> x, y, xs0, ys0;
    for (const Answer& v : m.args[0].values)
        if (v.kind != 'b') xs0.push_back(v);
    for (const Answer& v : m.args[1].values)
        if (v.kind != 'b') ys0.push_back(v);
    if (xs0.size() != ys0.size()) return Expect(IsError(m.ours, "#N/A!"), m, "unequal counts");
    // A pair with a text is left out; a pair whose errors differ is #N/A!.
    for (std::size_t i = 0; i < xs0.size(); ++i) {
        if ((xs0[i].kind == 'e' || ys0[i].kind == 'e') &&
            !(xs0[i].kind == 'e' && ys0[i].kind == 'e' && xs0[i].text == ys0[i].text))
            return Expect(IsError(m.ours, "#N/A!"), m, "a pair whose errors differ");
        double a = 0;
        // PROB pairs the stored cells; the others pair the numbers each area holds.
        if (m.name == "PROB" || ReadNumber(xs0[i], a)) x.push_back(xs0[i]);
        if (m.name == "PROB" || ReadNumber(ys0[i], a)) y.push_back(ys0[i]);
    }
    if (x.size() != y.size())
        return Expect(IsError(m.ours, "#N/A!"), m, "unequal counts of numbers");
    auto numbers = [](const std::vector<Answer>& values, std::string& array) {
        array = "{";
        for (std::size_t i = 0; i < values.size(); ++i) {
            double v = 0;
            if (!ReadNumber(values[i], v)) return false;
            array += (i ? "," : "") + Number(v);
        }
        array += "}";
        return !values.empty();
    };
    std::string xs, ys;
    if (!numbers(x, xs) || !numbers(y, ys))
        return Expect(m.ours.kind == 'e', m, "a pair that is no number");
    std::vector<std::string> texts = Texts(m);
    texts[0] = xs;
    texts[1] = ys;
    return Expect(Agree(m.ours, Substituted(book, m, texts)), m, "the stored cells paired");
}

// The numbers an argument holds as the statistics read them; false where a text that is no
// number or an error makes the answer an error (`worst` its code).
bool SampleNumbers(const Argument& a, std::vector<double>& out, int& worst) {
    const bool area = a.values.size() > 1 || a.text.find_first_of(":{_") != std::string::npos;
    for (const Answer& v : a.values) {
        double x = 0;
        if (v.kind == 'b') {
            if (!area) out.push_back(0);
        } else if (v.kind == 'e') {
            worst = std::max(worst, ErrorCode(v) ? ErrorCode(v) : 5);
        } else if (ReadNumber(v, x)) {
            out.push_back(x);
        } else {
            worst = std::max(worst, 5);
        }
    }
    return worst == 0;
}

double SampleVariance(const std::vector<double>& x) {
    double mean = 0, sum = 0;
    for (double v : x) mean += v / double(x.size());
    for (double v : x) sum += (v - mean) * (v - mean);
    return sum / double(x.size() - 1);
}

// FTEST is the cumulative F probability (the lower tail, as FDIST gives it) of the larger
// sample variance over the smaller, the larger's degrees of freedom first.
std::string FCumulative(TestBook& book, const ModelCase& m) {
    if (m.args.size() != 2) return Expect(false, m, "two samples");
    std::vector<double> x, y;
    int worst = 0;
    SampleNumbers(m.args[0], x, worst);
    SampleNumbers(m.args[1], y, worst);
    if (HasReversedRange(m.formula)) return Expect(m.ours.kind == 'e', m, "a reversed range");
    if (worst) return Expect(Agree(m.ours, ErrorOfCode(worst)), m, "the largest error code");
    if (x.size() < 2 || y.size() < 2) return Expect(m.ours.kind == 'e', m, "a sample too small");
    double vx = SampleVariance(x), vy = SampleVariance(y);
    if (!(vx > 0) || !(vy > 0) || !std::isfinite(vx) || !std::isfinite(vy))
        return Expect(m.ours.kind == 'e', m, "a variance of 0 or past the doubles");
    bool first = vx >= vy;
    double f = first ? vx / vy : vy / vx;
    std::size_t n1 = first ? x.size() : y.size(), n2 = first ? y.size() : x.size();
    Answer want = Evaluate(book,
                           "=FDIST(" + Number(f) + "," + std::to_string(n1 - 1) + "," +
                               std::to_string(n2 - 1) + ")",
                           19, 0);
    return Expect(Agree(m.ours, want), m,
                  "the lower F tail of the larger variance over the smaller");
}

// REPLACE refuses a start or count past the end (#VALUE!); SUBSTITUTE's instance 0 (or
// empty) replaces every occurrence; FIND finds the empty text where it starts.
std::string TextPositions(TestBook& book, const ModelCase& m) {
    if (m.name == "REPLACE" && m.args.size() == 4) {
        const Answer& t = m.args[0].values.front();
        double start = 0;
        if (!ReadNumber(m.args[1].values.front(), start))
            return Expect(m.ours.kind == 'e', m, "a start");
        Answer length = Evaluate(book, "=LEN(" + m.args[0].text + ")", 19, 0);
        if (t.kind == 'e' || length.kind != 'n') return Expect(m.ours.kind == 'e', m, "a text");
        double count = 0;
        ReadNumber(m.args[2].values.front(), count);
        bool past = RoundHalfAway(start) > length.number + 1 ||
                    RoundHalfAway(start) - 1 + RoundHalfAway(count) > length.number;
        return Expect(past && IsError(m.ours, "#VALUE!"), m, "a start or count past the end");
    }
    if (m.name == "SUBSTITUTE" && m.args.size() == 4) {
        // An empty instance is 0; others are whole numbers rounded half away from zero.
        double instance = 0;
        if (!m.args[3].text.empty() && !ReadNumber(m.args[3].values.front(), instance))
            return Expect(m.ours.kind == 'e', m, "an instance");
        std::vector<std::string> texts = Texts(m);
        if (RoundHalfAway(instance) == 0)
            texts.pop_back();
        else
            texts.back() = Number(RoundHalfAway(instance));
        return Expect(Agree(m.ours, Substituted(book, m, texts)), m, "every occurrence replaced");
    }
    if (m.name == "FIND" && !m.args.empty() && m.args[0].values.front().kind == 't' &&
        m.args[0].values.front().text.empty()) {
        // The empty text is found where the search starts.
        double start = 1;
        if (m.args.size() > 2) ReadNumber(m.args[2].values.front(), start);
        return Expect(Agree(m.ours, Answer{'n', RoundHalfAway(start), ""}), m,
                      "the empty text found");
    }
    return Expect(false, m, "REPLACE, SUBSTITUTE or FIND");
}

// The formula with the call replaced by its model's answer, evaluated here.
Answer WithCallAnswer(TestBook& book, const std::string& formula, const std::string& call,
                      const Answer& answer) {
    std::string text = formula;
    std::string value = answer.kind == 'n'       ? Number(answer.number)
                        : answer.kind == 't'     ? "\"" + answer.text + "\""
                        : answer.text == "#N/A!" ? "NA()"
                                                 : answer.text;
    text.replace(text.find(call), call.size(), value);
    return Evaluate(book, text, 19, 0);
}

// MMULT and MTXMLT take one factor or more (one alone is itself); MINVERSE and MDETERM read
// empty cells as 0, and a singular matrix given to MINVERSE is #NULL!.
std::string MatrixRules(TestBook& book, const ModelCase& m) {
    for (const char* name : {"MMULT", "MTXMLT", "MINVERSE", "MDETERM"}) {
        std::string call = CallText(m.formula, name);
        std::string ignored;
        std::vector<std::string> args;
        if (call.empty() || !SplitCall("=" + call, ignored, args) || args.empty()) continue;
        Answer want;
        const std::string n = name;
        if (n == "MINVERSE" || n == "MDETERM") {
            // Empty cells are 0.
            Argument matrix = ReadArgument(book, args[0]);
            std::string array = matrix.values.size() > 1
                                    ? AsArray(matrix,
                                              [](const Answer& v) {
                                                  return v.kind == 'b'   ? std::string("0")
                                                         : v.kind == 'n' ? Number(v.number)
                                                                         : std::string("\"x\"");
                                              })
                                    : args[0];
            Answer det = Evaluate(book, "=MDETERM(" + array + ")", 19, 0);
            if (n == "MINVERSE" && det.kind == 'n' && det.number == 0)
                want = Answer{'e', 0, "#NULL!"};
            else
                want = Evaluate(book,
                                n == "MDETERM" ? "=MDETERM(" + array + ")"
                                               : "=INDEX(MINVERSE(" + array + "),1,1)",
                                19, 0);
        } else {
            std::string product = args[0];
            for (std::size_t i = 1; i < args.size(); ++i)
                product = "MMULT(" + product + "," + args[i] + ")";
            want = Evaluate(book, "=INDEX(" + product + ",1,1)", 19, 0);
        }
        return Expect(Agree(m.ours, WithCallAnswer(book, m.formula, call, want)), m,
                      "the product of the factors in order");
    }
    return Expect(false, m, "a matrix function");
}

// A function that gives a range shows the range's first cell (an empty one as 0): OFFSET's
// moved corner, IF's or CHOOSE's chosen range, INDEX's row, an intersection's corner; an
// intersection written alone with a reversed range is #SYNTAX!.
std::string RangeResults(TestBook& book, const ModelCase& m) {
    auto first = [](const Argument& a) {
        Answer v = a.values.empty() ? Answer{'e', 0, "#NULL!"} : a.values.front();
        return v.kind == 'b' ? Answer{'n', 0, ""} : v;
    };
    std::string name;
    std::vector<std::string> args;
    if (!SplitCall(m.formula, name, args) && HasReversedRange(m.formula) &&
        m.formula.find('_') != std::string::npos)
        // A reversed range in an intersection written alone is refused as written.
        return Expect(IsError(m.ours, "#SYNTAX!"), m, "a reversed range in an intersection");
    if (!SplitCall(m.formula, name, args)) {
        // An intersection written alone: its corner.
        return Expect(Agree(m.ours, first(ReadArgument(book, m.formula.substr(1)))), m,
                      "the corner");
    }
    Answer want{'e', 0, "?"};
    if (name == "OFFSET" && args.size() >= 3) {
        Area area;
        double r = 0, c = 0;
        if (!ReadArea(args[0], area) || !ReadNumber(Evaluate(book, "=" + args[1], 19, 0), r) ||
            !ReadNumber(Evaluate(book, "=" + args[2], 19, 0), c))
            return Expect(m.ours.kind == 'e', m, "an offset");
        int row = std::min(area.r1, area.r2) + int(RoundHalfAway(r));
        int column = std::min(area.c1, area.c2) + int(RoundHalfAway(c));
        const uint8_t* cell = row >= 0 && column >= 0
                                  ? FindCell(book.Sheet().cells, uint32_t(row), uint16_t(column))
                                  : nullptr;
        want = cell ? FromRecord(cell) : Answer{'n', 0, ""};
    } else if (name == "IF" && args.size() >= 2) {
        double c = 0;
        ReadNumber(Evaluate(book, "=" + args[0], 19, 0), c);
        std::size_t branch = RoundHalfAway(c) != 0 ? 1 : 2;
        want = branch < args.size() ? first(ReadArgument(book, args[branch])) : Answer{'n', 0, ""};
    } else if (name == "CHOOSE" && args.size() >= 2) {
        double k = 0;
        ReadNumber(Evaluate(book, "=" + args[0], 19, 0), k);
        std::size_t i = std::size_t(RoundHalfAway(k));
        want = i >= 1 && i < args.size() ? first(ReadArgument(book, args[i])) : Answer{'e', 0, "?"};
    } else if (name == "INDEX" && args.size() == 2) {
        Argument area = ReadArgument(book, args[0]);
        double r = 0;
        ReadNumber(Evaluate(book, "=" + args[1], 19, 0), r);
        std::size_t row = std::size_t(RoundHalfAway(r));
        want = row >= 1 && row <= area.rows ? area.values[(row - 1) * area.columns] : want;
        if (want.kind == 'b') want = Answer{'n', 0, ""};
    } else {
        want = first(ReadArgument(book, m.formula.substr(1)));
    }
    return Expect(Agree(m.ours, want), m, "the range's first cell");
}

// The inverse distributions give end values for a probability outside (0, 1): the normal
// ones -1E+10 and 1E+10, CHIINV and FINV 0 and 1E+10, TINV the largest doubles;
// CONFIDENCE takes the normal end.
std::string InverseEnds(TestBook& book, const ModelCase& m) {
    for (const char* name : {"NORMSINV", "NORMINV", "CHIINV", "FINV", "TINV", "CONFIDENCE"}) {
        std::string call = CallText(m.formula, name);
        std::string ignored;
        std::vector<std::string> args;
        if (call.empty() || !SplitCall("=" + call, ignored, args) || args.empty()) continue;
        double p = 0;
        if (!ReadNumber(Evaluate(book, "=" + args[0], 19, 0), p) || (p > 0 && p < 1))
            return Expect(false, m, "a probability outside (0, 1)");
        const std::string n = name;
        const bool low = p <= 0;
        double end = n == "TINV"                    ? (low ? -DBL_MAX : DBL_MAX)
                     : n == "CHIINV" || n == "FINV" ? (low ? 0 : 1e10)
                                                    : (low ? -1e10 : 1e10);
        if (n == "CONFIDENCE") {
            // The two-sided bound takes 1 - alpha / 2: alpha 0 is the upper end.
            double sd = 0, count = 0;
            if (args.size() != 3 || !ReadNumber(Evaluate(book, "=" + args[1], 19, 0), sd) ||
                !ReadNumber(Evaluate(book, "=" + args[2], 19, 0), count))
                return Expect(false, m, "CONFIDENCE's arguments");
            end = (low ? 1e10 : -1e10) * sd / std::sqrt(RoundHalfAway(count));
        }
        return Expect(Agree(m.ours, WithCallAnswer(book, m.formula, call, Answer{'n', end, ""})), m,
                      "the end value");
    }
    return Expect(false, m, "an inverse distribution");
}

} // namespace

const std::map<std::string, Model>& Models() {
    static const std::map<std::string, Model> models = {
        {"dates are text", [](TestBook&, const ModelCase& m) { return DatesAreText(m); }},
        {"type rule", [](TestBook&, const ModelCase& m) { return TypeRule(m); }},
        {"error rule", ErrorRule},
        {"moment text", [](TestBook&, const ModelCase& m) { return MomentText(m); }},
        {"whole numbers", WholeNumbers},
        {"error numbering", ErrorNumbering},
        {"inverse ends", InverseEnds},
        {"matrix rules", MatrixRules},
        {"range results", RangeResults},
        {"f cumulative", FCumulative},
        {"text positions", TextPositions},
        {"information rule", [](TestBook&, const ModelCase& m) { return InformationRule(m); }},
        {"count reading", [](TestBook&, const ModelCase& m) { return CountReading(m); }},
        {"pair walk", PairWalk},
        {"list reading", ListReading},
        {"text against number", TextAgainstNumber},
        {"aggregate reading", AggregateReading},
        {"remainder sign", [](TestBook&, const ModelCase& m) { return RemainderSign(m); }},
        {"truth rule", TruthRule},
        {"date fields", [](TestBook&, const ModelCase& m) { return DateFields(m); }},
        {"reference functions", ReferenceFunctions},
        {"largest error", [](TestBook&, const ModelCase& m) { return LargestError(m); }},
        {"multiples", [](TestBook&, const ModelCase& m) { return Multiples(m); }},
        {"empty text", EmptyText},
        {"paired positions",
         [](TestBook& book, const ModelCase& m) { return PairedCells(book, m, false); }},
        {"paired arrays",
         [](TestBook& book, const ModelCase& m) { return PairedCells(book, m, true); }},
        {"truth flags", TruthFlags},
        {"fraction digits", [](TestBook&, const ModelCase& m) { return FractionDigits(m); }},
        {"text length", TextLength},
        {"lookup search", LookupSearch},
        {"base digits", [](TestBook&, const ModelCase& m) { return BaseDigits(m); }},
        {"unequal areas", [](TestBook&, const ModelCase& m) { return UnequalAreas(m); }},
        {"small samples", [](TestBook&, const ModelCase& m) { return SmallSamples(m); }},
        {"mode of singles", [](TestBook&, const ModelCase& m) { return ModeOfSingles(m); }},
        {"large angles", [](TestBook&, const ModelCase& m) { return LargeAngles(m); }},
        {"typed dates kept as text", [](TestBook&, const ModelCase& m) { return TypedDates(m); }},
        {"count rounding", WholeNumbers},
    };
    return models;
}

bool SplitCall(const std::string& formula, std::string& name, std::vector<std::string>& args) {
    static const std::regex call(R"(^=([A-Z][A-Z0-9.]*)\((.*)\)$)");
    std::smatch m;
    if (!std::regex_match(formula, m, call)) return false;
    // "=F(a)+G(b)" is no single call: the parentheses must close at the end.
    std::string inner = m[2];
    int depth = 0;
    bool quoted = false;
    for (char c : inner) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (depth < 0) return false;
    }
    name = m[1];
    args = inner.empty() ? std::vector<std::string>{} : SplitTopLevel(inner, ",");
    return true;
}

ModelCase ReadModelCase(TestBook& book, const std::string& formula, const Answer& ours,
                        const Answer& peer) {
    ModelCase m;
    m.formula = formula;
    m.ours = ours;
    m.peer = peer;
    std::vector<std::string> args;
    if (SplitCall(formula, m.name, args)) {
        for (const std::string& text : args) m.args.push_back(ReadArgument(book, text));
        return m;
    }
    // Operators: the texts and references written as operands, each call's arguments, and
    // its result as an operand.
    static const std::regex operand(
        R"("(?:[^"]|"")*"|\$?[A-Z]{1,2}\$?\d+(?::\$?[A-Z]{1,2}\$?\d+)?(?![A-Z0-9(]))");
    for (std::sregex_iterator it(formula.begin(), formula.end(), operand), end; it != end; ++it)
        m.args.push_back(ReadArgument(book, it->str()));
    static const std::regex call(R"([A-Z][A-Z0-9.]*\()");
    for (std::sregex_iterator it(formula.begin(), formula.end(), call), end; it != end; ++it) {
        std::size_t open = std::size_t(it->position()) + it->length() - 1;
        int depth = 0;
        bool quoted = false;
        std::size_t close = open;
        for (; close < formula.size(); ++close) {
            char c = formula[close];
            if (c == '"') quoted = !quoted;
            if (quoted) continue;
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            if (depth == 0) break;
        }
        std::string text =
            formula.substr(std::size_t(it->position()), close + 1 - std::size_t(it->position()));
        std::string name;
        if (!SplitCall("=" + text, name, args)) continue;
        if (m.name.empty()) m.name = name;
        for (const std::string& arg : args) m.args.push_back(ReadArgument(book, arg));
        m.args.push_back(ReadArgument(book, text));
    }
    return m;
}

} // namespace vl::test
