// The formula comparison's cases and answers: the peer's cached answers read from
// formula-peer.tsv, ours evaluated in a workbook holding the same data block, and the rules by
// which two answers agree.
#include "tests/functions/bindall/peercases.h"

#include "platform/core/cp1252.h"
#include "tests/common/tsvtext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace vl::test {

std::string DataPath(const char* name) {
    return std::string(VORLANE_TEST_DATA) + "/functions/" + name;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) out.push_back(field);
    if (!line.empty() && line.back() == '\t') out.emplace_back();
    return out;
}

std::string Describe(const Answer& a) {
    std::ostringstream out;
    out.precision(17);
    if (a.kind == 'n')
        out << a.number;
    else if (a.kind == 't')
        out << '"' << (a.text.size() > 60 ? a.text.substr(0, 60) + "..." : a.text) << '"' << " ("
            << a.text.size() << " characters)";
    else
        out << a.text;
    std::string text = out.str();
    for (char& c : text)
        if (c == '\n' || c == '\t' || c == '\r') c = ' ';
    return text;
}

PeerFile ReadPeerFile() {
    PeerFile file;
    std::ifstream in(DataPath("formula-peer.tsv"));
    EXPECT_TRUE(in.is_open());
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = Fields(line);
        if (f[0] == "data") {
            EXPECT_EQ(f.size(), 5u) << "line " << number;
            if (f.size() >= 4) file.data.push_back({f[1], f[2], f[3]});
            continue;
        }
        EXPECT_EQ(f.size(), 6u) << "line " << number;
        if (f.size() != 6) continue;
        PeerCase c;
        c.line = number;
        c.kind = f[0];
        c.function = f[1];
        c.formula = f[2];
        c.peer.kind = f[4].empty() ? '?' : f[4][0];
        if (c.peer.kind == 'n')
            c.peer.number = std::strtod(f[5].c_str(), nullptr);
        else
            c.peer.text = tsvtext::Unescape(f[5]);
        file.cases.push_back(c);
    }
    return file;
}

// The peer's own error numbers stand for these kinds: a search that does not converge is
// #NUM!, an argument of the wrong type (a value where a reference is asked) #VALUE!, a
// circular reference #CIRC!. Its "invalid argument" (502) is what others call #NUM!, #VALUE!
// or #N/A as the function has it: any of the three.
bool SameError(const std::string& ours, const std::string& peer) {
    if (peer == "Err:502") return ours == "#NUM!" || ours == "#VALUE!" || ours == "#N/A!";
    if (peer == "Err:523") return ours == "#NUM!";
    if (peer == "Err:504") return ours == "#VALUE!";
    if (peer == "Err:522") return ours == "#CIRC!";
    if (peer == "#N/A") return ours == "#N/A!";
    return ours == peer;
}

namespace {

bool CloseNumbers(double a, double b, double scale) {
    return a == b || std::fabs(a - b) <= 1e-13 * scale;
}

} // namespace

// A complex number's text, "3 + 4i" as ours writes it or "3+4i" as the peer does, a part
// alone ("-2i", "5") too.
bool ParseComplex(std::string text, double& re, double& im) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    char* end = nullptr;
    re = std::strtod(text.c_str(), &end);
    im = 0;
    if (!text.empty() && *end == 0) return true;
    if (text.empty() || (text.back() != 'i' && text.back() != 'j')) return false;
    text.pop_back();
    std::size_t split = std::string::npos;
    for (std::size_t i = 1; i < text.size(); ++i)
        if ((text[i] == '+' || text[i] == '-') && text[i - 1] != 'e' && text[i - 1] != 'E')
            split = i;
    std::string real = split == std::string::npos ? "" : text.substr(0, split);
    std::string imaginary = split == std::string::npos ? text : text.substr(split);
    if (imaginary.empty() || imaginary == "+" || imaginary == "-") imaginary += "1";
    re = 0;
    if (!real.empty()) {
        re = std::strtod(real.c_str(), &end);
        if (*end) return false;
    }
    im = std::strtod(imaginary.c_str(), &end);
    return *end == 0;
}

bool Agree(const Answer& ours, const Answer& peer, bool complex) {
    if (ours.kind != peer.kind) return false;
    if (ours.kind == 'e') return SameError(ours.text, peer.text);
    if (ours.kind == 't') {
        if (ours.text == peer.text) return true;
        double a = 0, b = 0, c = 0, d = 0;
        if (!complex || !ParseComplex(ours.text, a, b) || !ParseComplex(peer.text, c, d))
            return false;
        double scale = std::max(std::hypot(a, b), std::hypot(c, d));
        return CloseNumbers(a, c, scale) && CloseNumbers(b, d, scale);
    }
    double scale = std::max(std::fabs(ours.number), std::fabs(peer.number));
    return CloseNumbers(ours.number, peer.number, scale);
}

// Our dates and times are texts ("2021-03-04", "12:30:15", both with a blank between);
// the peer's are serial numbers counted from 1899-12-30. True when they are the same moment
// to the second.
bool SameMoment(const std::string& text, double serial) {
    int y = 0, m = 0, d = 0, hh = 0, mm = 0, ss = 0;
    double days = 0;
    std::size_t at = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d", &y, &m, &d) == 3 && text.size() >= 10 &&
        text[4] == '-') {
        // Days from the civil date (proleptic Gregorian), then from 1899-12-30.
        int yy = m <= 2 ? y - 1 : y;
        int era = (yy >= 0 ? yy : yy - 399) / 400;
        int yoe = yy - era * 400;
        int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        days = double(era) * 146097 + doe - 719468 + 25569;
        at = 10;
        while (at < text.size() && text[at] == ' ') ++at;
    }
    if (at < text.size()) {
        if (std::sscanf(text.c_str() + at, "%d:%d:%d", &hh, &mm, &ss) < 2) return false;
        days += (hh * 3600.0 + mm * 60.0 + ss) / 86400;
    } else if (at == 0) {
        return false;
    }
    return std::fabs(days - serial) <= 0.5 / 86400;
}

// A cell's value as the grid holds it.
Answer FromRecord(const uint8_t* r) {
    Answer a;
    if (!r) return a; // an empty cell reads as 0
    if (uint8_t error = uint8_t(r[0] & 0xF0)) {
        a.kind = 'e';
        a.text = std::string(GetFormulaErrorText(error));
    } else if (cell::IsText(r)) {
        a.kind = 't';
        a.text = std::string(cell::Text(r));
    } else if (cell::IsNumber(r)) {
        a.number = cell::Number(r);
    } else if (cell::ResultFlags(r) & kResultText) {
        a.kind = 't';
        a.text = std::string(cell::CachedText(r));
    } else {
        a.number = cell::CachedNumber(r);
    }
    return a;
}

// The formula evaluated as it would stand in the cell (column, row): an array shows its first
// element there, as it does in the peer's cell.
Answer Evaluate(TestBook& book, const std::string& formula, uint16_t column, uint32_t row) {
    CEvalContext& ctx = book.Ctx();
    // The cases are UTF-8; the engine reads and writes the code page.
    std::string stored = book.Internal(Utf8ToCp1252(formula), Place{column, row});
    ctx.worksheetList = book.Book().tree.first;
    ctx.currentCells = &book.Sheet().cells;
    uint16_t kind = EvaluateFormulaText(ctx, stored, column, row);
    const FormulaToken& v = ctx.values[1];
    Answer a;
    if (kind == 0) {
        a.kind = 'e';
        a.text = ctx.status ? std::string(GetFormulaErrorText(ctx.status)) : "<none>";
    } else if (v.error) {
        a.kind = 'e';
        a.text = std::string(GetFormulaErrorText(v.error));
        if (kind == kTokenText) ctx.stringPool.PopTempString();
    } else if (kind == kTokenText) {
        a.kind = 't';
        a.text = std::string(ctx.stringPool.PopTempString());
    } else if (kind == kTokenArray) {
        Page* chain =
            ctx.scratch.arrayCount ? ctx.scratch.arrays[ctx.scratch.arrayCount - 1] : nullptr;
        CellCursor cursor;
        cursor.flags = kAdvance;
        cursor.page = chain;
        const uint8_t* first = chain ? NextCellRecord(cursor) : nullptr;
        if (first && cell::Row(first) == 0 && cell::Column(first) == 0) a = FromRecord(first);
        ctx.scratch.ReleaseArrays();
    } else {
        a.number = v.type == kTokenNumber ? v.number : 0;
    }
    ctx.stringPool.ResetStringStack();
    if (a.kind == 't') a.text = Cp1252ToUtf8(a.text);
    return a;
}

namespace {

// The worksheet of a data cell's path ("Other", "\\Box\\Inner"), made with its folders the first
// time a path is met, after the items already there; the active worksheet for none.
CWorksheet& DataSheet(TestBook& book, std::map<std::string, CWorksheet*>& made,
                      const std::string& path) {
    if (path.empty()) return book.Sheet();
    if (CWorksheet* known = made[path]) return *known;
    std::string prefix;
    uint16_t level = 1;
    std::istringstream parts(path[0] == '\\' ? path.substr(1) : path);
    std::vector<std::string> names;
    for (std::string name; std::getline(parts, name, '\\');) names.push_back(name);
    for (std::size_t i = 0; i + 1 < names.size(); ++i, ++level) {
        prefix += "\\" + names[i];
        if (!made.count(prefix)) {
            book.AddFolder(names[i].c_str(), level);
            made[prefix] = nullptr;
        }
    }
    return *(made[path] = &book.AddSheet(names.back().c_str(), level));
}

} // namespace

void PutData(TestBook& book, const std::vector<DataCell>& data) {
    book.Sheet();
    std::map<std::string, CWorksheet*> made;
    for (const DataCell& d : data) {
        const std::size_t mark = d.cell.rfind('!');
        const std::string path = mark == std::string::npos ? "" : d.cell.substr(0, mark);
        const std::string cell = d.cell.substr(mark == std::string::npos ? 0 : mark + 1);
        CWorksheet& sheet = DataSheet(book, made, path);
        if (d.kind == "n")
            book.Number(sheet, cell, std::strtod(d.content.c_str(), nullptr));
        else if (d.kind == "t")
            book.Text(sheet, cell, Utf8ToCp1252(d.content));
        else
            book.Formula(sheet, cell, Utf8ToCp1252(d.content));
    }
}

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

// The recalculation cases: each a row of a worksheet of their own, calculated, its input
// edited, then calculated once more; the answers of the rows' first cells.
std::vector<Answer> EvaluateRecalculations(const std::vector<const PeerCase*>& cases) {
    TestBook book;
    book.Sheet();
    std::vector<double> after;
    for (std::size_t k = 0; k < cases.size(); ++k) {
        std::vector<std::string> parts;
        std::istringstream in(cases[k]->formula);
        for (std::string part; std::getline(in, part, '|');) parts.push_back(part);
        EXPECT_EQ(parts.size(), 6u) << cases[k]->formula;
        parts.resize(6, "0");
        const std::string r = std::to_string(k + 1);
        for (int c = 0; c < 4; ++c)
            book.Formula(std::string(1, char('A' + c)) + r, "=" + Replace(parts[c], "{r}", r));
        book.Number("E" + r, std::strtod(parts[4].c_str(), nullptr));
        after.push_back(std::strtod(parts[5].c_str(), nullptr));
    }
    EXPECT_TRUE(book.Recalc());
    for (std::size_t k = 0; k < cases.size(); ++k)
        book.Number("E" + std::to_string(k + 1), after[k]);
    EXPECT_TRUE(book.Recalc());
    std::vector<Answer> answers;
    for (std::size_t k = 0; k < cases.size(); ++k)
        answers.push_back(FromRecord(FindCell(book.Sheet().cells, uint32_t(k), 0)));
    return answers;
}

} // namespace vl::test
