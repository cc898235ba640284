// The models of COUNTIF's and SUMIF's criteria and of numbers written as text in the general
// form.
#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vl::test::peermodel {

namespace {

int Upper(char c) {
    return std::toupper(static_cast<unsigned char>(c));
}

// The whole text against a pattern: * any run, ? one character, ~ takes the next literally;
// case does not count.
bool Wildcard(const std::string& pattern, std::size_t p, const std::string& text, std::size_t t) {
    if (p == pattern.size()) return t == text.size();
    if (pattern[p] == '*') {
        for (std::size_t k = t; k <= text.size(); ++k)
            if (Wildcard(pattern, p + 1, text, k)) return true;
        return false;
    }
    if (t == text.size()) return false;
    if (pattern[p] == '?') return Wildcard(pattern, p + 1, text, t + 1);
    if (pattern[p] == '~' && p + 1 < pattern.size()) ++p;
    return Upper(pattern[p]) == Upper(text[t]) && Wildcard(pattern, p + 1, text, t + 1);
}

int TextOrder(const std::string& a, const std::string& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return Upper(a[i]) < Upper(b[i]) ? -1 : 1;
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// Equal to 15 significant digits, as every comparison of numbers.
int NumberOrder(double a, double b) {
    if (a == b || std::fabs(a - b) < std::ldexp(std::min(std::fabs(a), std::fabs(b)), -48))
        return 0;
    return a < b ? -1 : 1;
}

struct Criteria {
    std::string op, text;
    bool isNumber = false;
    double number = 0;
    int error = 0;
};

// "10%" is 0.1.
bool Percentage(const std::string& text, double& number) {
    if (text.size() < 2 || text.back() != '%') return false;
    const std::string body = text.substr(0, text.size() - 1);
    if (!NumericText(body)) return false;
    number = std::atof(body.c_str()) / 100;
    return true;
}

// A number is met as itself; a text's leading >=, >, <=, <>, < or = is its comparison, and
// what follows a number only when it is one as a whole (a percentage too).
Criteria ReadCriteria(const Answer& v) {
    Criteria c;
    if (v.kind == 'e') {
        c.error = ErrorCode(v) ? ErrorCode(v) : 5;
    } else if (v.kind == 'n') {
        c.isNumber = true;
        c.number = v.number;
    } else if (v.kind == 't') {
        c.text = v.text;
        for (const char* op : {">=", ">", "<=", "<>", "<", "="})
            if (c.text.rfind(op, 0) == 0) {
                c.op = op;
                c.text.erase(0, c.op.size());
                break;
            }
        c.isNumber = NumericText(c.text);
        if (c.isNumber)
            c.number = std::atof(c.text.c_str());
        else
            c.isNumber = Percentage(c.text, c.number);
    }
    return c;
}

bool Holds(const std::string& op, int order) {
    if (op == ">=") return order >= 0;
    if (op == ">") return order > 0;
    if (op == "<=") return order <= 0;
    if (op == "<") return order < 0;
    if (op == "<>") return order != 0;
    return order == 0;
}

// A number cell meets a number operand by value and an operand that is no number only as
// "<>"; a text cell meets an ordering of texts as text and never one of numbers, "<>" alone
// always, "=" alone never, otherwise the pattern.
bool Meets(const Answer& cell, const Criteria& c) {
    if (cell.kind == 'n')
        return c.isNumber ? Holds(c.op, NumberOrder(cell.number, c.number)) : c.op == "<>";
    if (cell.kind != 't') return false;
    if (c.op == "<>") return c.text.empty() || !Wildcard(c.text, 0, cell.text, 0);
    if (!c.op.empty() && c.op != "=")
        return !c.isNumber && Holds(c.op, TextOrder(cell.text, c.text));
    if (c.op == "=" && c.text.empty()) return false;
    return Wildcard(c.text, 0, cell.text, 0);
}

// An empty cell meets "" and "=" alone, and "<>" with an operand.
bool BlankMeets(const Criteria& c) {
    if (c.error) return false;
    if (c.op == "<>") return !c.text.empty();
    return (c.op.empty() || c.op == "=") && c.text.empty() && !c.isNumber;
}

Answer CountIf(const ModelCase& m) {
    const Criteria c = ReadCriteria(m.args[1].values.front());
    double count = 0, stored = 0;
    for (const Answer& cell : m.args[0].values) {
        if (cell.kind == 'b') continue;
        ++stored;
        if (cell.kind == 'e' || c.error)
            count += ErrorCode(cell) == c.error;
        else
            count += Meets(cell, c);
    }
    if (BlankMeets(c)) count += double(m.args[0].values.size()) - stored;
    return Answer{'n', count, ""};
}

// A cell read as a number to add: a text that spells none is an error, blanks 0.
bool AddedNumber(const Answer& v, double& x) {
    x = 0;
    if (v.kind == 'b' || (v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos))
        return true;
    return v.kind != 'e' && ReadNumber(v, x);
}

// The sum cell paired with each search cell sits at the same place from its area's corner;
// one outside the sum area or empty counts as 0.
Answer SumIf(const ModelCase& m) {
    const Criteria c = ReadCriteria(m.args[1].values.front());
    const Argument& search = m.args[0];
    const bool own = m.args[2].text.empty();
    const Argument& sums = own ? search : m.args[2];
    int worst = c.error;
    for (const Argument* a : {&search, &sums})
        if (a->values.size() == 1 && a->values.front().kind == 'e' && !IsReference(a->text))
            worst = std::max(worst, ErrorCode(a->values.front()));
    if (worst) return ErrorOfCode(worst);
    double total = 0;
    for (std::size_t k = 0; k < search.values.size(); ++k) {
        const Answer& cell = search.values[k];
        const std::size_t r = k / search.columns, col = k % search.columns;
        Answer paired = Blank();
        if (r < sums.rows && col < sums.columns) paired = sums.values[r * sums.columns + col];
        double x = 0;
        const bool meets = cell.kind == 'b' ? BlankMeets(c) : Meets(cell, c);
        if (cell.kind == 'e' || !AddedNumber(paired, x) || !meets) continue;
        total += x;
        if (!std::isfinite(total)) return ErrorOfCode(5);
    }
    return Answer{'n', total, ""};
}

std::string CriteriaRule(const ModelCase& m) {
    if (m.name == "COUNTIF" && m.args.size() == 2) {
        const Answer want = CountIf(m);
        return Expect(Agree(m.ours, want), m, "the criteria met cell by cell, " + Describe(want) + ",");
    }
    if (m.name == "SUMIF" && m.args.size() == 3) {
        const Answer want = SumIf(m);
        return Expect(Agree(m.ours, want), m, "the criteria met cell by cell, " + Describe(want) + ",");
    }
    return Expect(false, m, "COUNTIF or SUMIF");
}

// 15 significant digits; written out while the whole part has at most 15 digits and the
// digits with a fraction's leading zeros are at most 15 (or the text is no longer than the
// exponent form), else d.ddE+dd.
std::string GeneralForm(double x) {
    if (x == 0) return "0";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", x);
    std::string text = buffer;
    const std::size_t e = text.find('e');
    const int exponent = std::atoi(text.c_str() + e + 1);
    const bool negative = x < 0;
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (text[i] != '.') digits += text[i];
    digits.erase(digits.find_last_not_of('0') + 1);
    const std::string sign = negative ? "-" : "";
    std::string scientific = sign + digits.substr(0, 1) +
                             (digits.size() > 1 ? "." + digits.substr(1) : "") +
                             (exponent < 0 ? "E-" : "E+") + (std::abs(exponent) < 10 ? "0" : "") +
                             std::to_string(std::abs(exponent));
    if (exponent > 14) return scientific;
    std::string plain;
    const int count = int(digits.size());
    if (exponent < 0)
        plain = "0." + std::string(std::size_t(-exponent - 1), '0') + digits;
    else if (count <= exponent + 1)
        plain = digits + std::string(std::size_t(exponent + 1 - count), '0');
    else
        plain = digits.substr(0, std::size_t(exponent + 1)) + "." +
                digits.substr(std::size_t(exponent + 1));
    const std::size_t width = plain.size() - (plain.find('.') != std::string::npos ? 1 : 0);
    return width <= 15 || plain.size() <= scientific.size() - sign.size() ? sign + plain
                                                                          : scientific;
}

bool TextFunction(const std::string& name) {
    for (const char* f : {"LEN", "CLEAN", "TRIM", "LOWER", "UPPER", "PROPER", "CONCATENATE"})
        if (name == f) return true;
    return false;
}

std::string Rewritten(TestBook& book, const std::string& expression);

// An operand whose value is a number becomes the text of its general form.
std::string AsText(TestBook& book, const std::string& operand) {
    // An empty cell joins as the empty text.
    if (IsReference(operand)) {
        Argument cell = ReadArgument(book, operand);
        if (cell.values.size() != 1 || cell.values.front().kind != 'n') return operand;
        return "\"" + GeneralForm(cell.values.front().number) + "\"";
    }
    std::string text = Rewritten(book, operand);
    Answer v = Evaluate(book, "=" + text, 19, 0);
    return v.kind == 'n' ? "\"" + GeneralForm(v.number) + "\"" : text;
}

// The expression with every number that becomes text (joined with & or given to a text
// function) written out as the general form's text.
std::string Rewritten(TestBook& book, const std::string& expression) {
    std::vector<std::string> parts = SplitTopLevel(expression, "&");
    if (parts.size() > 1) {
        std::string out;
        for (std::size_t i = 0; i < parts.size(); ++i)
            out += (i ? "&" : "") + AsText(book, parts[i]);
        return out;
    }
    std::string name;
    std::vector<std::string> args;
    if (SplitCall("=" + expression, name, args) && TextFunction(name)) {
        for (std::string& a : args) a = AsText(book, a);
        return JoinCall(name, args).substr(1);
    }
    // A text function's call inside other arithmetic.
    std::string out = expression;
    for (const char* f : {"LEN", "CLEAN", "TRIM", "LOWER", "UPPER", "PROPER", "CONCATENATE"}) {
        std::string call = CallText(out, f);
        if (!call.empty() && call != out)
            out.replace(out.find(call), call.size(), Rewritten(book, call));
    }
    return out;
}

std::string GeneralFormModel(TestBook& book, const ModelCase& m) {
    const std::string text = Rewritten(book, m.formula.substr(1));
    if (text == m.formula.substr(1)) return Expect(false, m, "a number written as text");
    return Expect(Agree(m.ours, Evaluate(book, "=" + text, 19, 0)), m,
                  "the numbers written in the general form");
}

} // namespace

void AddCriteriaModels(std::map<std::string, Model>& models) {
    models.insert({
        {"criteria rule", [](TestBook&, const ModelCase& m) { return CriteriaRule(m); }},
        {"general form", GeneralFormModel},
    });
}

} // namespace vl::test::peermodel
