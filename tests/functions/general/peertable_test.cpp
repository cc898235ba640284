// The peer tables: formulas of every general family with values worked out by hand from
// the functions' rules, closed forms, calendars and tables, or fixed by an identity the
// results must meet.
#include "functiontestutil.h"

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vl::test {

namespace {

struct PeerRow {
    int line = 0;
    std::string family, formula, expected, how;
    double tolerance = -1; // negative: the shown text must be the same
};

// general_peer.tsv gives a tolerance before the "how" column, textlookup_peer.tsv none.
std::vector<PeerRow> ReadPeerTable(const char* name, bool tolerances) {
    std::vector<PeerRow> rows;
    std::ifstream in(std::string(VORLANE_TEST_DATA) + "/functions/" + name);
    EXPECT_TRUE(in.is_open()) << name;
    std::string line, tolerance;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        PeerRow row;
        row.line = number;
        std::getline(fields, row.family, '\t');
        std::getline(fields, row.formula, '\t');
        std::getline(fields, row.expected, '\t');
        if (tolerances) std::getline(fields, tolerance, '\t');
        std::getline(fields, row.how, '\t');
        EXPECT_TRUE(!tolerances || ParseNumber(tolerance, row.tolerance)) << "line " << number;
        EXPECT_TRUE(row.how == "hand" || row.how == "identity") << name << " line " << number;
        rows.push_back(row);
    }
    EXPECT_GE(rows.size(), 150u) << name;
    return rows;
}

::testing::AssertionResult Within(double actual, const std::string& expected, double tolerance) {
    double e = 0;
    ParseNumber(expected, e);
    if (std::fabs(actual - e) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " is not within "
                                         << tolerance << " of " << expected;
}

void CheckPeerRow(FunctionBook& book, const PeerRow& row) {
    SCOPED_TRACE("line " + std::to_string(row.line) + ": " + row.formula);
    if (row.tolerance < 0) {
        EXPECT_EQ(book.Eval(row.formula, "J20"), row.expected);
        return;
    }
    uint16_t kind = EvaluateInJ20(book, row.formula);
    const FormulaToken& v = book.Ctx().values[1];
    if (kind == kTokenNumber && v.error == 0 && IsPlainNumber(row.expected)) {
        EXPECT_TRUE(Within(v.number, row.expected, row.tolerance));
        return;
    }
    std::string shown = book.Eval(row.formula, "J20");
    std::string re, im, shownRe, shownIm;
    if (SplitComplex(row.expected, re, im) && SplitComplex(shown, shownRe, shownIm)) {
        double a = 0, b = 0;
        ParseNumber(shownRe, a);
        ParseNumber(shownIm, b);
        EXPECT_TRUE(Within(a, re, row.tolerance)) << shown;
        EXPECT_TRUE(Within(b, im, row.tolerance)) << shown;
    } else {
        EXPECT_EQ(shown, row.expected);
    }
}

} // namespace

TEST(PeerTable, FormulasOfEveryFamilyGiveTheWorkedValues) {
    const std::pair<const char*, std::set<std::string>> tables[] = {
        {"general_peer.tsv",
         {"annuity", "base", "bessel", "cashflow", "complex", "date", "depreciation", "integer",
          "rounding", "workday"}},
        {"textlookup_peer.tsv", {"array", "information", "logical", "lookup", "reference", "text"}},
    };
    FunctionBook book;
    for (const auto& [name, families] : tables) {
        std::set<std::string> seen;
        for (const PeerRow& row : ReadPeerTable(name, name[0] == 'g')) {
            seen.insert(row.family);
            CheckPeerRow(book, row);
        }
        EXPECT_EQ(seen, families) << name;
    }
}

} // namespace vl::test
