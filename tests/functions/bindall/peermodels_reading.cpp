// The models of how arguments are read: dates, texts, errors, ranges, whole numbers and truth
// values, and the value-list statistics' reading.
#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <set>

namespace vl::test::peermodel {

namespace {

// A number, truth value or text other than an ISO date or time where a date is asked:
// #VALUE!.
std::string DatesAreText(const ModelCase& m) {
    bool notDate = AnyValue(m, [](const Answer& v) {
        return v.kind == 'n' || v.kind == 'b' || (v.kind == 't' && !IsoMoment(v));
    });
    return Expect(notDate && IsError(m.ours, "#VALUE!"), m, "a value that is no ISO date");
}

// The call with its texts read as numbers: a numeric text given alone is its number, the
// empty text (or one of blanks) 0, and an area holding texts the column of its numbers, the
// texts that are no number and its empty cells left out.
Answer TextsRead(TestBook& book, const ModelCase& m) {
    std::vector<std::string> texts = Texts(m);
    for (std::size_t i = 0; i < m.args.size(); ++i) {
        const Argument& a = m.args[i];
        double x = 0;
        if (a.values.size() == 1 && a.text.find_first_of(":{_") == std::string::npos) {
            const Answer& v = a.values.front();
            if (v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos)
                texts[i] = "0";
            else if (v.kind == 't' && ReadNumber(v, x))
                texts[i] = Number(x);
            continue;
        }
        if (std::none_of(a.values.begin(), a.values.end(),
                         [](const Answer& v) { return v.kind == 't'; }))
            continue;
        std::string column;
        for (const Answer& v : a.values)
            if (v.kind != 'b' && ReadNumber(v, x))
                column += (column.empty() ? "{" : ";") + Number(x);
        texts[i] = column.empty() ? "Z100:Z101" : column + "}";
    }
    return Substituted(book, m, texts);
}

// A text that is no number where a number is asked: #NUM!; a numeric text is its number, the
// empty text 0, and areas leave other texts out: our answer is the call on those numbers.
std::string TypeRule(TestBook& book, const ModelCase& m) {
    static const std::regex literal(R"re("((?:[^"]|"")*)")re");
    bool literalNoNumber = false;
    for (std::sregex_iterator it(m.formula.begin(), m.formula.end(), literal), end; it != end; ++it)
        literalNoNumber = literalNoNumber || TextNoNumber(Answer{'t', 0, (*it)[1].str()});
    if (m.ours.kind == 'e')
        return Expect(IsError(m.ours, "#NUM!") && (literalNoNumber || AnyValue(m, TextNoNumber)), m,
                      "a text that is no number");
    bool readable = AnyValue(m, [](const Answer& v) {
        return v.kind == 't' &&
               (!TextNoNumber(v) || v.text.find_first_not_of(' ') == std::string::npos);
    });
    bool unreadable = false;
    for (const Argument& a : m.args)
        if (a.values.size() == 1 && a.text.find_first_of(":{_") == std::string::npos)
            unreadable =
                unreadable || (TextNoNumber(a.values[0]) &&
                               a.values[0].text.find_first_not_of(' ') != std::string::npos);
    return Expect(readable && !unreadable && !m.name.empty() && Agree(m.ours, TextsRead(book, m)),
                  m, "the call on the texts read as numbers");
}

// A text that spells a number, written or in a cell named alone, is that number: our answer is
// the call's with each such text replaced by its number.
std::string NumericTextRead(TestBook& book, const ModelCase& m) {
    std::string name;
    std::vector<std::string> texts;
    if (!SplitCall(m.formula, name, texts) || texts.size() != m.args.size())
        return Expect(false, m, "a call");
    bool replaced = false;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Argument& a = m.args[i];
        double x = 0;
        const bool single =
            a.values.size() == 1 && a.text.find_first_of(":{_") == std::string::npos;
        if (single && a.values[0].kind == 't' && ReadNumber(a.values[0], x)) {
            texts[i] = Number(x);
            replaced = true;
        }
    }
    if (!replaced) return Expect(false, m, "a numeric text");
    return Expect(Agree(m.ours, Evaluate(book, JoinCall(name, texts), 19, 0)), m,
                  "the call on the texts' numbers");
}

bool Reversed(const Area& a) {
    return a.c2 < a.c1 || a.r2 < a.r1;
}

// The error a range written as an argument or operand gives: one written from its far corner
// #REF!, an intersection that is empty or has such a range #NULL!; 0 for a sound one.
int RangeFault(const std::string& written) {
    // An operand's parentheses, or those of the call around it, are no part of it.
    std::string text = written;
    while (!text.empty() && text.front() == '(') text.erase(0, 1);
    while (!text.empty() && text.back() == ')') text.pop_back();
    Area a, b;
    const std::size_t cut = text.find('_');
    if (cut == std::string::npos) return ReadArea(text, a) && Reversed(a) ? 6 : 0;
    if (!ReadArea(text.substr(0, cut), a) || !ReadArea(text.substr(cut + 1), b)) return 0;
    const bool meet = std::max(a.c1, b.c1) <= std::min(a.c2, b.c2) &&
                      std::max(a.r1, b.r1) <= std::min(a.r2, b.r2);
    return Reversed(a) || Reversed(b) || !meet ? 3 : 0;
}

// The functions that leave a failed range out as a range of no values; the others pass its
// error on, the largest code winning, and ROWS and COLUMNS refuse it (#VALUE!).
const std::set<std::string>& LeaveFailedRangesOut() {
    static const std::set<std::string> names = {"COUNT",   "COUNTA",   "COUNTBLANK", "AVEDEV",
                                                "AVERAGE", "AVERAGEA", "MEDIAN",     "MODE"};
    return names;
}

// SUMPRODUCT's sound areas must be of one shape (#VALUE!, the larger code beside a failed
// range's error); a failed range has no shape.
bool UnequalShapes(TestBook& book, const std::vector<std::string>& args) {
    std::size_t rows = 0, columns = 0;
    bool shaped = false;
    for (const std::string& text : args) {
        if (RangeFault(text)) continue;
        Argument a = ReadArgument(book, text);
        if (shaped && (a.rows != rows || a.columns != columns)) return true;
        rows = a.rows, columns = a.columns, shaped = true;
    }
    return false;
}

// A reversed range is #REF!, an empty intersection #NULL!: our answer is that error (the
// largest of several), #VALUE! for the area measures, or, for a function that leaves failed
// ranges out, the call with an empty range in their place.
std::string ErrorRule(TestBook& book, const ModelCase& m) {
    std::string name;
    std::vector<std::string> args;
    const bool call = SplitCall(m.formula, name, args);
    if (!call) {
        // Operands: the ranges written in the formula.
        static const std::regex range(
            R"(\(?\$?[A-Z]{1,2}\$?\d+(?::\$?[A-Z]{1,2}\$?\d+)?(?:_\$?[A-Z]{1,2}\$?\d+(?::\$?[A-Z]{1,2}\$?\d+)?)?\)?)");
        args.clear();
        for (std::sregex_iterator it(m.formula.begin(), m.formula.end(), range), end; it != end;
             ++it)
            args.push_back(it->str());
    }
    int fault = 0;
    for (const std::string& a : args) fault = std::max(fault, RangeFault(a));
    if (fault == 0) return Expect(false, m, "a reversed range or an empty intersection");
    if (call && name == "SUMPRODUCT" && UnequalShapes(book, args)) fault = 7;
    Answer want = ErrorOfCode(fault);
    if (call && (name == "ROWS" || name == "COLUMNS")) {
        want = Answer{'e', 0, "#VALUE!"};
    } else if (call && LeaveFailedRangesOut().count(name)) {
        // COUNTBLANK finds no blank in it: a filled cell stands for it there.
        const std::string none = name == "COUNTBLANK" ? "A1:A1" : "Z100:Z101";
        std::vector<std::string> texts;
        for (const std::string& a : args) texts.push_back(RangeFault(a) ? none : a);
        want = Evaluate(book, JoinCall(name, texts), 19, 0);
    }
    return Expect(Agree(m.ours, want), m, "a reversed range or an empty intersection");
}

// The moment statistics: a text that is no number anywhere among the values is #NUM!.
std::string MomentText(const ModelCase& m) {
    return Expect(IsError(m.ours, "#NUM!") && AnyValue(m, TextNoNumber), m,
                  "a text that is no number among the values");
}

// Whole-number arguments are rounded half away from zero here and cut toward zero by the
// peer; an empty one takes the function's default here and is 0 there. Our answer is ours at
// the rounded arguments, the peer's ours at the cut ones, for some of the arguments that are
// no whole number or empty.
// Whole-number arguments the peer takes as given, for functions of a closed form: SYD's
// (cost - salvage)(life - period + 1)·2 / (life (life + 1)), SLN's (cost - salvage) / life and
// SERIESSUM's sum of a(i)·x^(n + i·m) over the coefficients' stored cells. Ours is the form at
// those arguments rounded half away from zero, the peer's at them as given.
bool FractionTakenByPeer(const ModelCase& m) {
    if (m.ours.kind != 'n' || m.peer.kind != 'n') return false;
    const bool series = m.name == "SERIESSUM";
    const std::size_t count = m.name == "SYD" || series ? 4 : m.name == "SLN" ? 3 : 0;
    if (count == 0 || m.args.size() != count) return false;
    double x[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < (series ? 3 : count); ++i)
        if (!ReadNumber(m.args[i].values.front(), x[i])) return false;
    std::vector<double> coefficients;
    if (series)
        for (const Answer& v : m.args[3].values) {
            double a = 0;
            if (v.kind == 'b') continue;
            if (!ReadNumber(v, a)) return false;
            coefficients.push_back(a);
        }
    auto form = [&](bool rounded) {
        auto at = [&](int i) { return rounded ? RoundHalfAway(x[i]) : x[i]; };
        if (m.name == "SLN") return (x[0] - x[1]) / at(2);
        if (m.name == "SYD") return (x[0] - x[1]) * (at(2) - at(3) + 1) * 2 / (at(2) * (at(2) + 1));
        double sum = 0;
        for (std::size_t i = 0; i < coefficients.size(); ++i)
            sum += coefficients[i] * std::pow(x[0], at(1) + double(i) * at(2));
        return sum;
    };
    return Agree(m.ours, Answer{'n', form(true), ""}) &&
           Agree(m.peer, Answer{'n', form(false), ""});
}

std::string WholeNumbers(TestBook& book, const ModelCase& m) {
    if (FractionTakenByPeer(m) || WholeArgumentsComputed(book, m)) return {};
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < m.args.size(); ++i) {
        const Argument& a = m.args[i];
        // A number, or a text that is one (read as that number), with a fraction.
        double x = 0;
        bool fraction = a.values.size() == 1 && a.values[0].kind != 'b' &&
                        ReadNumber(a.values[0], x) && x != std::trunc(x);
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
        // The subset is rounded as the engine rounds it: rounding it first changes nothing.
        Answer rounded = Evaluate(book, JoinCall(m.name, ours), 19, 0);
        if (Agree(m.ours, rounded) && Agree(Evaluate(book, m.formula, 19, 0), rounded) && peerMet)
            return {};
    }
    return Expect(false, m, "whole numbers rounded half away from zero");
}

// NOW and TODAY: the peer's serial was taken when its answers were cached, so their cases ask
// what the clock leaves alone (the answer is a text, of the length of an ISO date or moment);
// the answer itself is judged here against the clock's serial taken at the same run: NOW's
// time of day, TODAY's date.
std::string ClockDates(TestBook& book, const ModelCase& m, const std::smatch& call) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const double seconds = double(now) + double(local.tm_gmtoff) + 25569.0 * 86400;
    const Answer answer = Evaluate(book, "=" + call[2].str() + "()", 19, 0);
    bool met = false;
    for (int k = -2; k <= 2; ++k) {
        const double serial = (seconds + k) / 86400;
        const double moment = call[2] == "TODAY" ? std::floor(serial) : serial - std::floor(serial);
        met = met || (answer.kind == 't' && SameMoment(answer.text, moment));
    }
    if (!met) return Expect(false, m, "the clock's moment as an ISO text");
    const double expected = call[1] == "ISTEXT" ? 1 : double(answer.text.size());
    return Expect(Agree(m.ours, Answer{'n', expected, ""}), m, "the ISO text of the clock");
}

// A date or time function's answer is an ISO text, the peer's serial number to the second;
// where it is given no date it is #VALUE!.
std::string TypedDates(TestBook& book, const ModelCase& m) {
    static const std::regex clock(R"(^=(ISTEXT|LEN)\((NOW|TODAY)\(\)\)$)");
    std::smatch call;
    if (std::regex_match(m.formula, call, clock)) return ClockDates(book, m, call);
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

// Of several failing arguments the error of the largest code wins (the codes number the
// kinds from #DIV/0! to #SYNTAX!): the largest of the errors given and of the one the call
// itself gives with a sound value (1 or 0.5) in place of each argument that gives an error.
std::string LargestError(TestBook& book, const ModelCase& m) {
    // Between operators a text that is no number fails as #NUM!.
    std::string name;
    std::vector<std::string> ignored;
    const bool operators = !SplitCall(m.formula, name, ignored);
    int given = 0;
    for (const Argument& a : m.args)
        for (const Answer& v : a.values)
            given = std::max(given, operators && TextNoNumber(v) ? 5 : ErrorCode(v));
    if (given == 0) return Expect(false, m, "the largest error code");
    int own = 0;
    // The call's own error does not hang on the value standing in: the least of two.
    for (const char* sound : {"1", "0.5"}) {
        if (operators) break;
        std::vector<std::string> texts = Texts(m);
        for (std::size_t i = 0; i < m.args.size(); ++i) {
            const Argument& a = m.args[i];
            if (a.values.size() == 1 && a.values.front().kind == 'e')
                texts[i] = sound;
            else if (std::any_of(a.values.begin(), a.values.end(),
                                 [](const Answer& v) { return v.kind == 'e'; }))
                texts[i] = AsArray(a, [sound](const Answer& v) {
                    return v.kind == 'e'   ? std::string(sound)
                           : v.kind == 't' ? "\"" + v.text + "\""
                                           : Number(v.number);
                });
        }
        const int code = ErrorCode(Substituted(book, m, texts));
        own = *sound == '1' ? code : std::min(own, code);
    }
    return Expect(ErrorCode(m.ours) == std::max(given, own), m, "the largest error code");
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

Answer AggregateOf(TestBook& book, const ModelCase& m) {
    const bool sum = m.name == "SUM";
    double total = 0, best = 0;
    bool any = false;
    for (const Argument& a : m.args) {
        // An empty intersection, or one with a reversed side, is #NULL!, which all keep.
        if (a.text.find('_') != std::string::npos &&
            IsError(Evaluate(book, "=" + a.text, 19, 0), "#NULL!"))
            return Answer{'e', 0, "#NULL!"};
        // The #REF! of a range written from its far corner is kept.
        if (HasReversedRange(a.text)) return Answer{'e', 0, "#REF!"};
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
            const bool aForm = m.name == "MAXA" || m.name == "MINA";
            for (const Answer& v : a.values) {
                double x = 0;
                // The A forms count an area's text that is no number as 0.
                if (aForm && v.kind == 't' && !NumericText(v.text))
                    x = 0;
                else if (v.kind == 'b' || v.kind == 'e' || !ReadNumber(v, x))
                    continue;
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
// every argument; a text that is no number or an error given alone to SUM is the result; all
// keep a reversed range's #REF! and an empty intersection's #NULL!. An empty cell named alone is 0;
// with no value MAX and MIN are 0. Between operators the call's answer stands in the formula.
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

// The data arguments read as the statistics read them: numbers and numeric texts (an empty
// cell or argument named alone is 0, one in an area left out), other texts #NUM! (MEDIAN,
// MODE and SUMPRODUCT leave them and errors out), the largest error code winning; a reversed
// range is left out, and AVERAGE and AVEDEV pass over an omitted argument (a place that names
// nothing is its #NAME?); then the call on an array of the numbers read gives our answer.
std::string CleanedCall(TestBook& book, const ModelCase& m, const std::vector<std::size_t>& data) {
    const bool leaveOut = m.name == "MEDIAN" || m.name == "MODE" || m.name == "SUMPRODUCT";
    const bool skipOmitted = m.name == "AVERAGE" || m.name == "AVERAGEA" || m.name == "AVEDEV";
    const bool aForm = m.name == "STDEVA" || m.name == "STDEVPA" || m.name == "VARA" ||
                       m.name == "VARPA" || m.name == "MAXA" || m.name == "MINA";
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
        ReadSample(a, leaveOut, numbers, worst);
        // The A forms count an area's text that is no number as 0.
        const bool area = a.values.size() > 1 || a.text.find_first_of(":{_") != std::string::npos;
        if (area && aForm)
            for (const Answer& v : a.values)
                if (v.kind == 't' &&
                    (TextNoNumber(v) || v.text.find_first_not_of(' ') == std::string::npos))
                    numbers.push_back(0);
    }
    // SUMSQ's squares past the doubles are #NUM! too.
    long double squares = 0;
    for (double x : numbers) squares += (long double)x * x;
    if (m.name == "SUMSQ" && squares > 1.7976931348623157e308L) worst = std::max(worst, 5);
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

// COUNT counts numbers and numeric texts, an empty cell named alone too, never errors; COUNTA every
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
                count += area ? v.kind != 'b' : !a.text.empty() && !a.unnamed;
            else if (area)
                count += v.kind != 'e' && ReadNumber(v, x);
            else
                count += !a.text.empty() && v.kind != 'b' && v.kind != 'e' && !TextNoNumber(v);
        }
    }
    return Expect(Agree(m.ours, Answer{'n', count, ""}), m, "the values counted");
}

// TTEST2 passes over a sample's cells that give no number (errors, texts that are no
// number, empty cells): our answer is the call on arrays of the numbers read.
std::string SampleCellsSkipped(TestBook& book, const ModelCase& m) {
    // TTEST's tails and type stay as written.
    const bool tTest = m.name == "TTEST" && m.args.size() >= 2;
    // ZTEST's and ZTEST2's one sample likewise, the value and deviation as written.
    const bool zTest = (m.name == "ZTEST" || m.name == "ZTEST2") && !m.args.empty();
    if ((m.name != "TTEST2" || m.args.size() != 2) && !tTest && !zTest)
        return Expect(false, m, "two samples");
    const std::size_t count = zTest ? 1 : 2;
    std::vector<std::string> samples;
    for (const Argument& a : m.args) {
        if (samples.size() >= count) {
            samples.push_back(a.text);
            continue;
        }
        std::vector<double> numbers;
        int worst = 0;
        ReadSample(a, true, numbers, worst);
        std::string array;
        for (double x : numbers) array += (array.empty() ? "{" : ",") + Number(x);
        samples.push_back(array.empty() ? "Z100:Z101" : array + "}");
    }
    return Expect(Agree(m.ours, Evaluate(book, JoinCall(m.name, samples), 19, 0)), m,
                  "the call on the samples' numbers");
}

} // namespace

void AddReadingModels(std::map<std::string, Model>& models) {
    models.insert({
        {"dates are text", [](TestBook&, const ModelCase& m) { return DatesAreText(m); }},
        {"type rule", TypeRule},
        // A numeric text given where a number is asked is the type rule's own case.
        {"numeric text", NumericTextRead},
        {"error rule", ErrorRule},
        {"moment text", [](TestBook&, const ModelCase& m) { return MomentText(m); }},
        {"whole numbers", WholeNumbers},
        {"error numbering", ErrorNumbering},
        {"information rule", [](TestBook&, const ModelCase& m) { return InformationRule(m); }},
        {"count reading", [](TestBook&, const ModelCase& m) { return CountReading(m); }},
        {"list reading", ListReading},
        {"text against number", TextAgainstNumber},
        {"aggregate reading", AggregateReading},
        {"truth rule", TruthRule},
        {"largest error", LargestError},
        {"empty text", EmptyText},
        {"typed dates kept as text", TypedDates},
        {"count rounding", WholeNumbers},
        {"sample cells skipped", SampleCellsSkipped},
    });
}

} // namespace vl::test::peermodel
