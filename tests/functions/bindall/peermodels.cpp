// The models of the reasons for accepted differences: reading a case's arguments and values,
// and the table of every reason's model.
#include "tests/functions/bindall/peermodels.h"

#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>

namespace vl::test {

namespace peermodel {

namespace {

const std::regex& ReferencePattern() {
    static const std::regex pattern(R"(^\$?([A-Z]{1,2})\$?(\d+)(?::\$?([A-Z]{1,2})\$?(\d+))?$)");
    return pattern;
}

} // namespace

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

Answer Blank() {
    return Answer{'b', 0, ""};
}

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
    } else if (ReadPlacedArgument(book, text, a)) {
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

bool IsError(const Answer& a, const char* error) {
    return a.kind == 'e' && a.text == error;
}

std::string Expect(bool holds, const ModelCase& m, const std::string& rule) {
    return holds ? std::string() : "our " + Describe(m.ours) + " is not what " + rule + " gives";
}

std::string JoinCall(const std::string& name, const std::vector<std::string>& args) {
    std::string call = "=" + name + "(";
    for (std::size_t i = 0; i < args.size(); ++i) call += (i ? "," : "") + args[i];
    return call + ")";
}

double RoundHalfAway(double x) {
    return x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5);
}

Answer Substituted(TestBook& book, const ModelCase& m, const std::vector<std::string>& texts) {
    return Evaluate(book, JoinCall(m.name, texts), 19, 0);
}

std::vector<std::string> Texts(const ModelCase& m) {
    std::vector<std::string> out;
    for (const Argument& a : m.args) out.push_back(a.text);
    return out;
}

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

bool ReadNumber(const Answer& v, double& x) {
    if (v.kind == 'n')
        x = v.number;
    else if (v.kind == 't' && NumericText(v.text))
        x = std::atof(v.text.c_str());
    else
        return false;
    return true;
}

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

bool IsReference(const std::string& written) {
    std::string text = written;
    while (text.size() > 2 && text.front() == '(' && text.back() == ')')
        text = text.substr(1, text.size() - 2);
    Area a;
    std::size_t cut = text.find('_');
    return ReadArea(text, a) || (cut != std::string::npos && ReadArea(text.substr(0, cut), a) &&
                                 ReadArea(text.substr(cut + 1), a));
}

bool HasReversedRange(const std::string& text) {
    static const std::regex range(R"(([A-Z]+)(\d+):([A-Z]+)(\d+))");
    for (std::sregex_iterator it(text.begin(), text.end(), range), end; it != end; ++it)
        if (ColumnNumber((*it)[3]) < ColumnNumber((*it)[1]) ||
            std::atoi((*it)[4].str().c_str()) < std::atoi((*it)[2].str().c_str()))
            return true;
    return false;
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

bool ReadSample(const Argument& a, bool leaveOut, std::vector<double>& out, int& worst) {
    const bool area = a.values.size() > 1 || a.text.find_first_of(":{_") != std::string::npos;
    for (const Answer& v : a.values) {
        double x = 0;
        if (v.kind == 'b') {
            if (!area) out.push_back(0);
        } else if (v.kind == 'e') {
            if (!leaveOut) worst = std::max(worst, ErrorCode(v) ? ErrorCode(v) : 5);
        } else if (ReadNumber(v, x)) {
            out.push_back(x);
        } else if (!leaveOut && !area) {
            // A text that is no number counts only given alone: areas leave texts out.
            worst = std::max(worst, 5);
        }
    }
    return worst == 0;
}

int ReadScalar(const Answer& v, double& x, double low, double high) {
    if (v.kind == 'b') return 0;
    if (v.kind == 'e') return ErrorCode(v) ? ErrorCode(v) : 5;
    double read = 0;
    if (!ReadNumber(v, read)) return 5;
    x = read;
    return read >= low && read <= high ? 0 : 5;
}

int ReadWhole(const Answer& v, double& x, double low, double high) {
    if (v.kind == 'b') return 0;
    double read = x;
    if (int code = ReadScalar(v, read)) return code;
    x = RoundHalfAway(read);
    return x >= low && x <= high ? 0 : 5;
}

bool OutsideDoubles(double x) {
    return !(std::fabs(x) <= DBL_MAX) || (x != 0 && std::fabs(x) < DBL_MIN);
}

} // namespace peermodel

using namespace peermodel;

const std::map<std::string, Model>& Models() {
    static const std::map<std::string, Model> models = [] {
        std::map<std::string, Model> all;
        AddReadingModels(all);
        AddAreaModels(all);
        AddNumberModels(all);
        AddBoundsModels(all);
        AddRankedModels(all);
        AddCriteriaModels(all);
        AddCallModels(all);
        AddPlaceModels(all);
        AddTextModels(all);
        AddSampleModels(all);
        return all;
    }();
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
