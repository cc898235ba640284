// References of MTXDIAG and MTXSERIES (matrices built from scalars) and of SORT and UNIQUE
// (the rows in the order of values every sort of the program follows, written here from its
// rule).
#include "tests/functions/bindall/peermodelsupport.h"
#include "tests/functions/bindall/peerreferences.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>

namespace vl::test::reference {

using namespace peermodel;

namespace {

Answer NumberElement(long double value) {
    double d = double(value);
    if (!std::isfinite(d) || (d != 0 && std::fabs(d) < DBL_MIN)) return Answer{'e', 0, "#NUM!"};
    return Answer{'n', d, ""};
}

Grid Diagonal(const ModelCase& m) {
    const Argument& x = m.args[1];
    int error = 0;
    std::vector<double> given;
    bool area = IsAreaText(x.text, Getter::kMatrix);
    double value = 0;
    if (area) {
        if (x.reversed) error = 6; // a range written from its far corner is #REF! itself
        for (const Answer& v : x.values) {
            double number = 0;
            given.push_back(ReadNumber(v, number) ? number : 0);
        }
    } else {
        Scalar s = ReadScalar(x, Getter::kMatrix);
        error = s.error;
        value = s.Default() ? 0 : s.x;
    }
    double n = 0;
    error = std::max(error, Take(ReadWhole(m.args[0], 1, 2147483647.0, Getter::kMatrix), n));
    if (!error && n < 1) error = 5;
    if (error) return ScalarGrid(ErrorOfCode(error));
    if (n > 2046) return ErrorGrid("#REF!");
    Grid g;
    g.rows = g.columns = std::size_t(n);
    for (std::size_t i = 0; i < g.rows; ++i)
        for (std::size_t j = 0; j < g.columns && g.cells.size() < kWholeElements; ++j) {
            double element = i != j ? 0 : !area ? value : i < given.size() ? given[i] : 0;
            g.cells.push_back(NumberElement(element));
        }
    return g;
}

// A series argument: a number, a text or nothing (omitted, blank, or an error kept).
enum class Kind { kNone, kNumber, kText };

Kind SeriesValue(const Argument& a, double& number, std::string& text, int& error) {
    // An area is neither: it keeps the defaults as an omitted argument does.
    if (a.text.empty() || IsAreaText(a.text, Getter::kMatrix) || a.values.size() != 1)
        return Kind::kNone;
    const Answer& v = a.values[0];
    if (v.kind == 'n') {
        number = v.number;
        return Kind::kNumber;
    }
    if (v.kind == 't') {
        text = v.text;
        return Kind::kText;
    }
    if (v.kind == 'e') error = std::max(error, ErrorCode(v) ? ErrorCode(v) : 7);
    return Kind::kNone;
}

Grid Series(const ModelCase& m) {
    double step = 1, start = 1;
    std::string stepText = "P1D", startText;
    int error = 0;
    Kind stepKind = SeriesValue(m.args[2], step, stepText, error);
    Kind startKind = SeriesValue(m.args[1], start, startText, error);
    if ((startKind == Kind::kNumber && stepKind == Kind::kText) ||
        (startKind == Kind::kText && stepKind == Kind::kNumber))
        error = std::max(error, 7);
    double n = 0;
    error = std::max(error, Take(ReadWhole(m.args[0], 1, 2097152, Getter::kMatrix), n));
    if (!error && n < 1) error = 5;
    if (error) return ScalarGrid(ErrorOfCode(error));
    Grid g;
    g.rows = std::size_t(n);
    std::string text = startText;
    for (std::size_t i = 0; i < g.rows && i < kWholeElements; ++i) {
        if (startKind != Kind::kText) {
            g.cells.push_back(NumberElement((long double)i * step + start));
            g.scale = std::max(g.scale, std::fabs(double(i) * step));
            continue;
        }
        std::string next;
        if (i == 0 || AddIsoDuration(text, stepText, next)) {
            if (i > 0) text = next;
            g.cells.push_back(Answer{'t', 0, text});
        } else {
            g.cells.push_back(Answer{'e', 0, "#VALUE!"});
        }
    }
    return g;
}

// ---- The worksheet sort's order ---------------------------------------------------------

int CompareNoCase(const std::string& a, const std::string& b) {
    for (std::size_t i = 0;; ++i) {
        if (i == a.size() || i == b.size()) return i == a.size() ? (i == b.size() ? 0 : -1) : 1;
        int x = std::toupper(static_cast<unsigned char>(a[i])),
            y = std::toupper(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
}

// A text that spells a number: blanks, a sign, digits with a point, an exponent, blanks.
bool SpellsNumber(const std::string& text) {
    static const std::regex number(R"(^ *[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)? *$)");
    return std::regex_match(text, number);
}

struct Key {
    std::size_t column;
    bool ascending;
};

struct Table {
    std::size_t rows = 0, columns = 0;
    std::vector<Answer> cells; // 'b' for a cell without a record
    const Answer& At(std::size_t row, std::size_t column) const {
        static const Answer blank{'b', 0, ""};
        return column < columns ? cells[row * columns + column] : blank;
    }
};

// The program's order of values: errors by code, then numbers together with the texts that
// spell one (by value, a number before such a text, those texts by their letters), then the
// other texts without regard to case, empty cells last. Descending reverses each class and
// puts the errors after the texts; numbers stay first and empty cells last.
int CompareValues(const Answer& a, const Answer& b, bool ascending) {
    auto kind = [](const Answer& v) {
        return v.kind == 'e'                                              ? 0
               : v.kind == 'n' || (v.kind == 't' && SpellsNumber(v.text)) ? 1
               : v.kind == 't'                                            ? 2
                                                                          : 3;
    };
    static const int ascendingRank[] = {0, 1, 2, 3}, descendingRank[] = {2, 0, 1, 3};
    const int* rank = ascending ? ascendingRank : descendingRank;
    const int ka = kind(a), kb = kind(b);
    if (ka != kb) return rank[ka] < rank[kb] ? -1 : 1;
    int c = 0;
    if (ka == 0) {
        c = ErrorCode(a) == ErrorCode(b) ? 0 : ErrorCode(a) < ErrorCode(b) ? -1 : 1;
    } else if (ka == 1) {
        double x = a.kind == 'n' ? a.number : std::strtod(a.text.c_str(), nullptr);
        double y = b.kind == 'n' ? b.number : std::strtod(b.text.c_str(), nullptr);
        c = x != y             ? (x < y ? -1 : 1)
            : a.kind != b.kind ? (a.kind == 'n' ? -1 : 1)
            : a.kind == 't'    ? CompareNoCase(a.text, b.text)
                               : 0;
    } else if (ka == 2) {
        c = CompareNoCase(a.text, b.text);
    }
    return ascending ? c : -c;
}

// The rows in sorted order; rows whose keys tie keep their places' order.
std::vector<std::size_t> SortedOrder(const Table& t, const std::vector<Key>& keys) {
    std::vector<std::size_t> order(t.rows);
    for (std::size_t r = 0; r < t.rows; ++r) order[r] = r;
    if (keys.size() > 100) return order;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        for (const Key& k : keys)
            if (int c = CompareValues(t.At(a, k.column), t.At(b, k.column), k.ascending))
                return c < 0;
        return false;
    });
    return order;
}

bool ReadTable(const Argument& a, Table& t) {
    std::string text = a.text;
    Area area;
    while (text.size() > 2 && text.front() == '(' && text.back() == ')')
        text = text.substr(1, text.size() - 2);
    if (!IsAreaText(a.text, Getter::kMatrix) && !ReadArea(text, area)) return false;
    ShapeOf(a, t.rows, t.columns);
    t.cells = a.values;
    return !a.reversed && t.rows * t.columns == t.cells.size() && t.rows > 0;
}

Grid Sort(const ModelCase& m) {
    if (m.args.size() % 2 == 0) return ErrorGrid("#VALUE!");
    int error = 0;
    std::vector<Key> keys;
    for (std::size_t k = 1; k + 1 < m.args.size(); k += 2) {
        double order = 1, column = 0;
        error = std::max(error, Take(ReadWhole(m.args[k + 1], 0, 1, Getter::kMatrix), order));
        int e = Take(ReadWhole(m.args[k], 1, 2047, Getter::kMatrix), column);
        error = std::max(error, e == 0 && column == 0 ? 5 : e); // a column left empty names none
        keys.push_back({std::size_t(std::max(column, 1.0)) - 1, order == 1});
    }
    Table t;
    if (!ReadTable(m.args[0], t)) error = std::max(error, m.args[0].reversed ? 6 : 7);
    if (error) return ScalarGrid(ErrorOfCode(error));
    Grid g;
    g.rows = t.rows;
    for (std::size_t row : SortedOrder(t, keys))
        g.cells.push_back(Answer{'n', double(row) + 1, ""});
    return g;
}

// Numbers equal to 15 significant digits: apart by less than 2^-48 of each, but never two
// whole numbers a double holds exactly that differ by a whole number.
bool FifteenDigitsEqual(double a, double b) {
    if (a == b) return true;
    const double d = std::fabs(a - b);
    if (!(d < std::fabs(a) * 0x1p-48 && d < std::fabs(b) * 0x1p-48)) return false;
    auto whole = [](double x) { return std::fabs(x) < 0x1p53 - 1 && x == std::trunc(x); };
    return !(whole(d) && whole(a) && whole(b));
}

// Two values of one group: texts equal but for case, numbers equal to 15 digits, errors of
// one kind; a text never equals a number.
bool SameValue(const Answer& a, const Answer& b) {
    if (a.kind != b.kind) return false;
    if (a.kind == 't') return CompareNoCase(a.text, b.text) == 0;
    if (a.kind == 'n') return FifteenDigitsEqual(a.number, b.number);
    return a.text == b.text;
}

Grid Unique(const ModelCase& m) {
    double type = 1;
    int error = Take(ReadWhole(m.args[1], 0, 2, Getter::kMatrix), type);
    Table t;
    if (!ReadTable(m.args[0], t)) error = std::max(error, m.args[0].reversed ? 6 : 7);
    if (!error && t.columns != 1) error = 7;
    if (error) return ScalarGrid(ErrorOfCode(error));
    Grid g;
    g.rows = 0;
    g.columns = type == 2 ? 2 : 1;
    const std::vector<std::size_t> order = SortedOrder(t, {{0, true}});
    for (std::size_t k = 0; k < order.size();) {
        const Answer& head = t.At(order[k], 0);
        std::size_t end = k + 1;
        if (head.kind == 'b') {
            k = end; // empty cells take no part
            continue;
        }
        while (end < order.size() &&
               (t.At(order[end], 0).kind == 'b' || SameValue(head, t.At(order[end], 0))))
            ++end;
        std::size_t size = 0;
        for (std::size_t i = k; i < end; ++i) size += t.At(order[i], 0).kind != 'b';
        g.cells.push_back(type == 0 ? Answer{'n', double(order[k]) + 1, ""} : head);
        if (type == 2) g.cells.push_back(Answer{'n', double(size), ""});
        ++g.rows;
        k = end;
    }
    // A vector with no value gives an array of no rows, which no cell can show: #REF!.
    return g.rows ? g : ErrorGrid("#REF!");
}

} // namespace

void AddListReferences(std::map<std::string, Reference>& references) {
    references["mtxDiag"] = Worked("mtxDiag", "MTXDIAG", Diagonal);
    references["mtxSeries"] = Worked("mtxSeries", "MTXSERIES", Series);
    references["sort"] = Worked("sort", "SORT", Sort);
    references["unique"] = Worked("unique", "UNIQUE", Unique);
}

} // namespace vl::test::reference
