// The models of the functions over areas: lookups, references, range results, matrices, base
// conversions and the paired walks.
#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <set>

namespace vl::test::peermodel {

namespace {

// Two areas paired value by value must be of one shape: #VALUE! when they are not.
std::string UnequalAreas(const ModelCase& m) {
    bool unequal = m.args.size() >= 2 &&
                   (m.args[0].rows != m.args[1].rows || m.args[0].columns != m.args[1].columns);
    // Two areas multiplied position by position: (A1:A3)*(G1:G2).
    std::vector<std::string> factors =
        m.args.size() == 1 ? SplitTopLevel(m.args[0].text, "*") : std::vector<std::string>{};
    Area a, b;
    auto bare = [](std::string t) {
        return t.size() > 2 && t.front() == '(' && t.back() == ')' ? t.substr(1, t.size() - 2) : t;
    };
    if (factors.size() == 2 && ReadArea(bare(factors[0]), a) && ReadArea(bare(factors[1]), b))
        unequal = std::abs(a.r2 - a.r1) != std::abs(b.r2 - b.r1) ||
                  std::abs(a.c2 - a.c1) != std::abs(b.c2 - b.c1);
    return Expect(unequal && IsError(m.ours, "#VALUE!"), m, "areas of different shapes");
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

// The text a conversion from a base other than 10 reads: a text as it is, a number as it
// is written (only a whole number below 10^10 can be digits), an empty value as "".
int DigitsText(const Answer& v, std::string& text) {
    if (v.kind == 'e') return ErrorCode(v) ? ErrorCode(v) : 5;
    if (v.kind == 't') text = v.text;
    if (v.kind == 'n')
        text = v.number >= 0 && v.number < 1e10 && v.number == std::trunc(v.number)
                   ? std::to_string((long long)v.number)
                   : "-";
    return 0;
}

// The base conversions write 10 digits when places is empty or left out, pad to places and
// never cut, round decimals half away from zero. The largest error code of the arguments wins
// (places past 0 to 10, a decimal past the target's range or a text that is no number #NUM!);
// then digits the source base lacks, or a value the target cannot hold, are #VALUE!.
std::string BaseDigits(const ModelCase& m) {
    if (m.name.size() != 7 || m.args.empty() || m.args.size() > 2)
        return Expect(false, m, "the conversion");
    const int from = BaseOf(m.name.substr(0, 3)), to = BaseOf(m.name.substr(4, 3));
    const Answer& input = m.args[0].values.front();
    long long span = 1;
    for (int i = 0; i < 10; ++i) span *= to;
    double places = 10;
    int error =
        m.args.size() == 2 && to != 10 ? ReadWhole(m.args[1].values.front(), places, 0, 10) : 0;
    long long value = 0;
    bool readable = true;
    if (from == 10) {
        double x = 0;
        error = std::max(error, ReadWhole(input, x, double(-span / 2), double(span / 2 - 1)));
        value = (long long)x;
    } else {
        std::string text;
        error = std::max(error, DigitsText(input, text));
        readable =
            ReadDigits(text, from, value) && (to == 10 || (value >= -span / 2 && value < span / 2));
    }
    Answer want = error       ? ErrorOfCode(error)
                  : !readable ? Answer{'e', 0, "#VALUE!"}
                  : to == 10  ? Answer{'n', double(value), ""}
                              : Answer{'t', 0, WriteDigits(value, to, int(places))};
    return Expect(Agree(m.ours, want), m, "the conversion, 10 digits for an empty places");
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
        // Numbers equal to 15 significant digits meet, as = has them.
        char u[32], v[32];
        std::snprintf(u, sizeof u, "%.14e", x);
        std::snprintf(v, sizeof v, "%.14e", sought.number);
        if (std::strcmp(u, v) == 0) return 0;
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

// A number argument of a lookup, rounded half away from zero (`otherwise` when it is empty):
// 0, or the code of its error, #NUM! for a text that is no number.
int ReadRounded(const Argument& a, double otherwise, double& x) {
    const Answer& v = a.values.front();
    x = otherwise;
    if (a.text.empty() || v.kind == 'b') return 0;
    if (v.kind == 'e') return ErrorCode(v) ? ErrorCode(v) : 5;
    if (!ReadNumber(v, x)) return 5;
    x = RoundHalfAway(x);
    return 0;
}

// The value at the place `at` from the corner of three-argument LOOKUP's result: an area read
// on past its end in the direction it runs, an array's place past its end empty (0).
Answer ResultAt(TestBook& book, const Argument& result, int at) {
    Area area;
    if (!ReadArea(result.text, area)) {
        if (std::size_t(at) >= result.values.size()) return Answer{'n', 0, ""};
        return result.values[std::size_t(at)];
    }
    bool column = std::min(area.c1, area.c2) == std::max(area.c1, area.c2);
    int r = std::min(area.r1, area.r2) + (column ? at : 0);
    int c = std::min(area.c1, area.c2) + (column ? 0 : at);
    const uint8_t* cell = FindCell(book.Sheet().cells, uint32_t(r), uint16_t(c));
    return cell ? FromRecord(cell) : Answer{'n', 0, ""};
}

// MATCH, LOOKUP, VLOOKUP and HLOOKUP walk every cell; an empty match type is 1, one outside
// -1..1 #NUM!, as is a column or row number below 1 or past the grid's and a range flag outside
// 0..1; a text that is no number there is #NUM! and an error the largest code of those given;
// three-argument LOOKUP is exact and takes its answer at the same place from the result's
// corner; a column or row past the area is #REF!.
std::string LookupSearch(TestBook& book, const ModelCase& m) {
    if (m.args.size() < 2) return Expect(false, m, "the walk");
    const Answer& sought = m.args[0].values.front();
    const Argument& area = m.args[1];
    int worst = sought.kind == 'e' ? (ErrorCode(sought) ? ErrorCode(sought) : 5) : 0;
    Answer want{'e', 0, "#N/A!"};
    if (m.name == "MATCH") {
        double type = 1;
        if (m.args.size() > 2) worst = std::max(worst, ReadRounded(m.args[2], 1, type));
        if (type < -1 || type > 1) worst = std::max(worst, 5);
        if (worst) return Expect(Agree(m.ours, ErrorOfCode(worst)), m, "the largest error");
        int at = Walk(area.values, sought, int(type));
        if (at >= 0) want = Answer{'n', double(at + 1), ""};
    } else if (m.name == "LOOKUP") {
        if (worst) return Expect(Agree(m.ours, ErrorOfCode(worst)), m, "the error sought");
        int at = Walk(area.values, sought, m.args.size() > 2 ? 0 : 1);
        if (at >= 0 && m.args.size() == 2) want = area.values[std::size_t(at)];
        // An empty result argument answers 0 where the value is found.
        if (at >= 0 && m.args.size() > 2)
            want = m.args[2].text.empty() ? Answer{'n', 0, ""} : ResultAt(book, m.args[2], at);
    } else {
        if (m.args.size() < 3) return Expect(false, m, "a column or row number");
        bool vertical = m.name == "VLOOKUP";
        double index = 0, flag = 1;
        worst = std::max(worst, ReadRounded(m.args[2], 0, index));
        if (m.args.size() > 3) worst = std::max(worst, ReadRounded(m.args[3], 1, flag));
        // The column number runs to the grid's 2,047 columns, the row number to its rows.
        const double bound = vertical ? 2047 : 2097152;
        if (index < 1 || index > bound || flag < 0 || flag > 1) worst = std::max(worst, 5);
        if (worst) return Expect(Agree(m.ours, ErrorOfCode(worst)), m, "the largest error");
        std::size_t span = vertical ? area.columns : area.rows;
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

// The error a paired sum gives for its arrays' cells: the largest error code (SERIESSUM stops
// at its first faulty coefficient, where a text that is no number is #NUM!, the empty text
// 0); 0 when none fails.
int PairedFault(const ModelCase& m) {
    const bool series = m.name == "SERIESSUM";
    auto code = [series](const Answer& v) {
        if (v.kind == 'e') return ErrorCode(v) ? ErrorCode(v) : 5;
        if (!series) return 0;
        return TextNoNumber(v) && v.text.find_first_not_of(' ') != std::string::npos ? 5 : 0;
    };
    int worst = 0;
    for (std::size_t i = 0; i < m.args.size(); ++i) {
        const bool coefficients = m.name == "SERIESSUM" && i == 3;
        for (const Answer& v : m.args[i].values) {
            if (coefficients && worst == 0 && code(v)) {
                worst = code(v);
                break;
            }
            if (!coefficients) worst = std::max(worst, code(v));
        }
    }
    return worst;
}

// The regression and pairing functions take every position of their areas, an empty, text
// or error cell as 0 (paired positions); the paired sums take the pairs of numbers, an error
// the result (paired arrays).
std::string PairedCells(TestBook& book, const ModelCase& m, bool refuseText) {
    if (refuseText && m.name != "SERIESSUM" && m.args.size() == 2 &&
        (m.args[0].rows != m.args[1].rows || m.args[0].columns != m.args[1].columns))
        return Expect(IsError(m.ours, "#VALUE!"), m, "areas of two shapes");
    if (refuseText && PairedFault(m))
        return Expect(Agree(m.ours, ErrorOfCode(PairedFault(m))), m,
                      "a text that is no number in a paired area, the largest error code");
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
        // A paired sum leaves out a pair with a value that is no number on either side,
        // as it leaves out an array's texts.
        if (refuseText) {
            texts[i] = AsArray(m.args[i], [](const Answer& v) {
                return v.kind == 'n' ? Number(v.number) : std::string("\"\"");
            });
            continue;
        }
        texts[i] = AsArray(m.args[i], [](const Answer& v) {
            return v.kind == 'n'                          ? Number(v.number)
                   : v.kind == 't' && NumericText(v.text) ? Number(std::atof(v.text.c_str()))
                                                          : std::string("0");
        });
    }
    return Expect(!m.name.empty() && Agree(m.ours, Substituted(book, m, texts)), m,
                  refuseText ? "the pairs of numbers of the areas"
                             : "the areas with their absent, text and error cells as 0");
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

// A stored cell as the paired walks read it: a text that is no number (blanks only too) is
// left out, a numeric text is its number, an error keeps its code.
struct PairedValue {
    bool leftOut = false;
    int error = 0;
    double number = 0;
};

PairedValue ReadPaired(const Answer& v) {
    PairedValue p;
    if (v.kind == 'e')
        p.error = ErrorCode(v) ? ErrorCode(v) : 5;
    else
        p.leftOut = !ReadNumber(v, p.number);
    return p;
}

// PROB's limits: a text of blanks only is no number; the upper limit left out is the lower.
int ReadLimits(const ModelCase& m, double& lower, double& upper) {
    int error = 0;
    for (std::size_t i = 2; i < 4; ++i) {
        const Answer v = i < m.args.size() ? m.args[i].values.front() : Blank();
        double& limit = i == 2 ? lower : upper;
        if (v.kind == 't' && v.text.find_first_not_of(' ') == std::string::npos)
            error = std::max(error, 5);
        else if (v.kind == 'b' && i == 3)
            upper = lower;
        else
            error = std::max(error, ReadScalar(v, limit));
    }
    return error;
}

// The rows of an area argument's shape: a whole column spans the grid, though only its used
// rows are read.
std::size_t ShapeRows(TestBook& book, const Argument& a) {
    Area area;
    const bool whole = PlacedArea(book, a.text, area) && area.r1 == 0 && area.r2 == int(kLastRow);
    return whole ? std::size_t(kLastRow) + 1 : a.rows;
}

// PEARSON, RSQ, STEYX and PROB pair the stored cells of their two areas in rows then columns:
// areas that differ in both rows and columns, unequal counts, or a pair whose errors differ
// are #N/A!; pairs with a text that is no number, and pairs of one error, are passed over.
// PROB sums the probabilities whose value lies within its limits (#NUM! past the doubles);
// the others take the statistic of the pairs, #N/A! with none (STEYX: fewer than two).
std::string PairWalk(TestBook& book, const ModelCase& m) {
    const bool prob = m.name == "PROB";
    if (prob ? m.args.size() < 3 || m.args.size() > 4 : m.args.size() != 2)
        return Expect(false, m, "two areas");
    double lower = 0, upper = 0;
    for (std::size_t i = 2; i < m.args.size(); ++i)
        if (m.args[i].values.size() != 1) return Expect(false, m, "limits of one value");
    const int limitError = prob ? ReadLimits(m, lower, upper) : 0;
    if (limitError) return Expect(Agree(m.ours, ErrorOfCode(limitError)), m, "the limits' error");
    const Answer na{'e', 0, "#N/A!"};
    std::vector<Answer> xs0, ys0;
    for (const Answer& v : m.args[0].values)
        if (v.kind != 'b') xs0.push_back(v);
    for (const Answer& v : m.args[1].values)
        if (v.kind != 'b') ys0.push_back(v);
    if ((ShapeRows(book, m.args[0]) != ShapeRows(book, m.args[1]) &&
         m.args[0].columns != m.args[1].columns) ||
        xs0.size() != ys0.size())
        return Expect(Agree(m.ours, na), m, "unequal counts");
    std::vector<double> x, y;
    for (std::size_t i = 0; i < xs0.size(); ++i) {
        const PairedValue a = ReadPaired(xs0[i]), b = ReadPaired(ys0[i]);
        if (a.leftOut || b.leftOut) continue;
        if (a.error != b.error) return Expect(Agree(m.ours, na), m, "a pair whose errors differ");
        if (a.error) continue;
        x.push_back(a.number);
        y.push_back(b.number);
    }
    if (prob) {
        double sum = 0;
        bool past = false;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (lower <= x[i] && x[i] <= upper) past = OutsideDoubles(sum += y[i]) || past;
        const Answer want = past ? Answer{'e', 0, "#NUM!"} : Answer{'n', sum, ""};
        return Expect(Agree(m.ours, want), m, "the probabilities within the limits");
    }
    if (x.size() < (m.name == "STEYX" ? 2u : 1u))
        return Expect(Agree(m.ours, na), m, "too few pairs of numbers");
    auto array = [](const std::vector<double>& values) {
        std::string out = "{";
        for (std::size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + Number(values[i]);
        return out + "}";
    };
    return Expect(Agree(m.ours, Substituted(book, m, {array(x), array(y)})), m,
                  "the pairs of numbers");
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

// The value a range shows: its first cell, an empty one as 0.
Answer Shown(const CCellStore& cells, int row, int column) {
    const uint8_t* cell = FindCell(cells, uint32_t(row), uint16_t(column));
    return cell ? FromRecord(cell) : Answer{'n', 0, ""};
}

// The value of an argument written alone (a reference to an empty cell, or nothing, is empty).
Answer ValueOf(TestBook& book, const std::vector<std::string>& args, std::size_t i) {
    return i < args.size() ? ReadArgument(book, args[i]).values.front() : Blank();
}

// OFFSET's rows and columns lie within the sheet from 0, its width and then height from 1
// (empty: the source's), each a whole number (#NUM! past them, the largest error code winning); a
// source that is no reference is #VALUE!; a moved range past the sheet's edge #REF!. The
// moved range lies on the source's worksheet.
Answer OffsetCorner(TestBook& book, const std::vector<std::string>& args) {
    const double lastRow = 2097151, lastColumn = 2046;
    double rows = 0, columns = 0, height = 0, width = 0;
    int error = std::max({ReadWhole(ValueOf(book, args, 1), rows, 0, lastRow),
                          ReadWhole(ValueOf(book, args, 2), columns, 0, lastColumn),
                          ReadWhole(ValueOf(book, args, 3), width, 1, lastColumn + 1),
                          ReadWhole(ValueOf(book, args, 4), height, 1, lastRow + 1)});
    Area area;
    const CCellStore* cells = PlacedArea(book, args[0], area);
    if (!cells) error = 7;
    if (error) return ErrorOfCode(error);
    const int top = std::min(area.r1, area.r2), left = std::min(area.c1, area.c2);
    if (height == 0) height = std::abs(area.r2 - area.r1) + 1;
    if (width == 0) width = std::abs(area.c2 - area.c1) + 1;
    const double r1 = top + rows, c1 = left + columns;
    if (r1 + height - 1 > lastRow || c1 + width - 1 > lastColumn) return ErrorOfCode(6);
    return Shown(*cells, int(r1), int(c1));
}

// INDEX's row and column (0 or empty: all) are whole numbers within the sheet (#NUM!), past
// the area's #REF!; the result shows its first cell.
Answer IndexCorner(TestBook& book, const std::vector<std::string>& args) {
    const Argument area = ReadArgument(book, args[0]);
    double row = 0, column = 0;
    int error = std::max(ReadWhole(ValueOf(book, args, 1), row, 0, 2097152),
                         ReadWhole(ValueOf(book, args, 2), column, 0, 2047));
    if (error) return ErrorOfCode(error);
    if (row > double(area.rows) || column > double(area.columns)) return ErrorOfCode(6);
    const std::size_t at =
        std::size_t(std::max(row, 1.0) - 1) * area.columns + std::size_t(std::max(column, 1.0) - 1);
    const Answer v = area.values.at(at);
    return v.kind == 'b' ? Answer{'n', 0, ""} : v;
}

// IF's test is a number (any but 0 true); its error, or one the chosen branch gives that is no
// range's cell, is the result, the larger code winning; a branch written empty is the test's
// truth, 1 or 0.
Answer IfBranch(TestBook& book, const std::vector<std::string>& args) {
    double test = 0;
    const int testError = ReadScalar(ValueOf(book, args, 0), test);
    const bool yes = testError == 0 && test != 0;
    const std::size_t at = yes ? 1 : 2;
    if (at >= args.size() || args[at].empty())
        return testError ? ErrorOfCode(testError) : Answer{'n', yes ? 1.0 : 0.0, ""};
    const Argument branch = ReadArgument(book, args[at]);
    Answer shown = branch.values.empty() ? Answer{'e', 0, "#NULL!"} : branch.values.front();
    if (shown.kind == 'b') shown = Answer{'n', 0, ""};
    const int branchError = IsReference(args[at]) ? 0 : ErrorCode(shown);
    const int error = std::max(testError, branchError);
    return error ? ErrorOfCode(error) : shown;
}

// A function that gives a range shows the range's first cell (an empty one as 0): OFFSET's
// moved corner, IF's or CHOOSE's chosen range, INDEX's row, a turned range, an intersection's
// corner; an intersection written alone with a reversed range is #NULL!.
std::string RangeResults(TestBook& book, const ModelCase& m) {
    auto first = [](const Argument& a) {
        Answer v = a.values.empty() ? Answer{'e', 0, "#NULL!"} : a.values.front();
        return v.kind == 'b' ? Answer{'n', 0, ""} : v;
    };
    std::string name;
    std::vector<std::string> args;
    if (!SplitCall(m.formula, name, args) && HasReversedRange(m.formula) &&
        m.formula.find('_') != std::string::npos)
        // An intersection with a reversed range is #NULL!.
        return Expect(IsError(m.ours, "#NULL!"), m, "a reversed range in an intersection");
    if (!SplitCall(m.formula, name, args)) {
        // An intersection written alone: its corner.
        return Expect(Agree(m.ours, first(ReadArgument(book, m.formula.substr(1)))), m,
                      "the corner");
    }
    Answer want{'e', 0, "?"};
    if (name == "OFFSET" && args.size() >= 3 && args.size() <= 5) {
        want = OffsetCorner(book, args);
    } else if (name == "IF" && args.size() >= 2 && args.size() <= 3) {
        want = IfBranch(book, args);
    } else if (name == "CHOOSE" && args.size() >= 2) {
        double k = 0;
        int error = ReadWhole(ValueOf(book, args, 0), k, 1, double(args.size() - 1));
        // An empty index picks nothing.
        if (!error && k == 0) error = 5;
        want = error ? ErrorOfCode(error) : first(ReadArgument(book, args[std::size_t(k)]));
    } else if (name == "INDEX" && (args.size() == 2 || args.size() == 3)) {
        want = IndexCorner(book, args);
    } else if (name == "TRANSPOSE" && args.size() == 1) {
        // A turned range keeps its first cell first.
        want = first(ReadArgument(book, args[0]));
    }
    return Expect(Agree(m.ours, want), m, "the range's first cell");
}

// An intersection whose operand is no range (a reversed range, an expression) leaves both
// operands in place: the formula has them as two operands or two arguments.
std::string IntersectionOperands(TestBook& book, const ModelCase& m) {
    std::string formula = m.formula;
    std::size_t at = formula.find('_');
    if (at == std::string::npos) return Expect(false, m, "an intersection");
    formula[at] = ',';
    if (Agree(m.ours, Evaluate(book, formula, 19, 0))) return {};
    // In parentheses of their own the two operands leave the last in place.
    std::size_t open = m.formula.rfind('(', at), close = m.formula.find(')', at);
    if (open == std::string::npos || close == std::string::npos || open == 0 ||
        m.formula[open - 1] != '(')
        return Expect(false, m, "both operands in place");
    formula = m.formula.substr(0, open + 1) + m.formula.substr(at + 1);
    return Expect(Agree(m.ours, Evaluate(book, formula, 19, 0)), m, "the last operand in place");
}

} // namespace

void AddAreaModels(std::map<std::string, Model>& models) {
    models.insert({
        {"intersection operands", IntersectionOperands},
        {"matrix rules", MatrixRules},
        {"range results", RangeResults},
        {"pair walk", PairWalk},
        {"reference functions", ReferenceFunctions},
        {"paired positions",
         [](TestBook& book, const ModelCase& m) { return PairedCells(book, m, false); }},
        {"paired arrays",
         [](TestBook& book, const ModelCase& m) { return PairedCells(book, m, true); }},
        {"lookup search", LookupSearch},
        {"base digits", [](TestBook&, const ModelCase& m) { return BaseDigits(m); }},
        {"unequal areas", [](TestBook&, const ModelCase& m) { return UnequalAreas(m); }},
    });
}

} // namespace vl::test::peermodel
