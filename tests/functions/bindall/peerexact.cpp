// What the references share: reading scalar and area arguments as the functions' getters do,
// and the rule by which our element meets the reference's.
#include "tests/functions/bindall/peerexact.h"

#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

namespace vl::test {

using namespace peermodel;

Grid ScalarGrid(const Answer& a) {
    Grid g;
    g.cells.push_back(a);
    return g;
}

Grid ErrorGrid(const char* error) {
    return ScalarGrid(Answer{'e', 0, error});
}

Answer TooFewArguments() {
    return Answer{'e', 0, "#SYNTAX!"};
}

namespace {

bool SameElement(const Answer& ours, const Answer& want, double scale) {
    // A singular vector of a repeated value: any element of a unit vector.
    if (want.kind == 'x') return ours.kind == 'n' && std::fabs(ours.number) <= 1 + 1e-13;
    if (ours.kind != want.kind) return false;
    if (ours.kind != 'n') return ours.text == want.text;
    double bound = 1e-13 * std::max({std::fabs(ours.number), std::fabs(want.number), scale});
    return ours.number == want.number || std::fabs(ours.number - want.number) <= bound;
}

} // namespace

bool MeetsReference(const Answer& ours, const Grid& reference, std::size_t index) {
    if (index >= reference.cells.size()) return false;
    if (SameElement(ours, reference.cells[index], reference.scale)) return true;
    if (index >= reference.alternatives.size()) return false;
    for (const Answer& a : reference.alternatives[index])
        if (SameElement(ours, a, reference.scale)) return true;
    return false;
}

bool IsAreaText(const std::string& text) {
    if (text.empty() || text.front() == '"') return false;
    return text.find_first_of(":{_") != std::string::npos;
}

void ShapeOf(const Argument& a, std::size_t& rows, std::size_t& columns) {
    rows = a.rows;
    columns = a.columns;
    std::string text = a.text;
    while (text.size() > 2 && text.front() == '(' && text.back() == ')')
        text = text.substr(1, text.size() - 2);
    std::size_t cut = text.find('_');
    Area one, two;
    if (cut == std::string::npos || !ReadArea(text.substr(0, cut), one) ||
        !ReadArea(text.substr(cut + 1), two))
        return;
    int c1 = std::max(std::min(one.c1, one.c2), std::min(two.c1, two.c2));
    int c2 = std::min(std::max(one.c1, one.c2), std::max(two.c1, two.c2));
    int r1 = std::max(std::min(one.r1, one.r2), std::min(two.r1, two.r2));
    int r2 = std::min(std::max(one.r1, one.r2), std::max(two.r1, two.r2));
    rows = r2 >= r1 ? std::size_t(r2 - r1 + 1) : 0;
    columns = c2 >= c1 ? std::size_t(c2 - c1 + 1) : 0;
}

// An omitted argument or a blank cell keeps the default; an error keeps its kind; a text is
// its number, the empty text 0, other text #NUM!; an area where one value is asked #VALUE!.
Scalar ReadScalarArgument(const Argument& a) {
    Scalar s;
    if (a.text.empty()) {
        s.omitted = true;
    } else if (IsAreaText(a.text)) {
        s.error = a.reversed ? 6 : 7; // a range written from its far corner is #REF! itself
    } else if (a.values.size() != 1) {
        s.error = 7;
    } else {
        const Answer& v = a.values[0];
        if (v.kind == 'b') {
            s.omitted = true;
        } else if (v.kind == 'e') {
            s.error = ErrorCode(v) ? ErrorCode(v) : 7;
        } else if (v.kind == 't') {
            if (NumericText(v.text))
                s.x = std::strtod(v.text.c_str(), nullptr);
            else if (v.text.find_first_not_of(' ') != std::string::npos)
                s.error = 5;
        } else {
            s.x = v.number;
        }
    }
    return s;
}

int WholeNumber(const Scalar& s, double low, double high, double& out) {
    if (s.error) return s.error;
    if (s.omitted) return 0;
    if (!(std::fabs(s.x) <= 2147483647.0)) return 5;
    out = RoundHalfAway(s.x);
    return out < low || out > high ? 5 : 0;
}

bool ReferenceOf(TestBook& book, const std::string& formula, Grid& reference) {
    std::string name;
    std::vector<std::string> texts;
    if (!SplitCall(formula, name, texts)) return false;
    // The arguments each function takes, the first `required` of them to be written: those
    // left out after them take their defaults; fewer or more are refused.
    static const std::map<std::string, std::pair<std::size_t, std::size_t>> counts = {
        {"MTXFWSUBST", {2, 2}}, {"MTXBKSUBST", {2, 2}}, {"MTXCHL", {2, 4}}, {"MTXGAUSS", {2, 5}},
        {"MTXSVD", {2, 4}},     {"MTXLSW", {3, 5}},     {"MTXLSC", {4, 6}}, {"MTXDIAG", {2, 2}},
        {"MTXSERIES", {2, 3}},  {"SORT", {3, 255}},     {"UNIQUE", {1, 2}}, {"DATEDIFF", {2, 2}},
        {"EDATE2", {2, 2}}};
    auto count = counts.find(name);
    if (count == counts.end()) return false;
    if (texts.size() < count->second.first || texts.size() > count->second.second) {
        reference = ScalarGrid(TooFewArguments());
        return true;
    }
    ModelCase call = ReadModelCase(book, formula, Answer{}, Answer{});
    while (call.args.size() < count->second.second && name != "SORT")
        call.args.push_back(Argument{"", {Blank()}});
    if (!MatrixReference(book, call, reference) && !ConstructionReference(book, call, reference) &&
        !OrderReference(book, call, reference) && !DateReference(book, call, reference))
        return false;
    // An empty result shows nothing in its cell: no answer of ours meets that.
    if (reference.cells.empty()) reference.cells.push_back(Answer{'e', 0, "<empty array>"});
    return true;
}

} // namespace vl::test
