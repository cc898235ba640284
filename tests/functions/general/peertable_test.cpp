// The peer table: formulas of every general family with values worked out by hand from
// the closed forms, calendars and tables, or fixed by an identity the results must meet.
#include "printedcheck.h"

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vl {

namespace {

struct PeerRow {
    int line = 0;
    std::string family, formula, expected, how;
    double tolerance = 0;
};

std::vector<PeerRow> ReadPeerTable() {
    std::vector<PeerRow> rows;
    std::ifstream in(std::string(VORLANE_TEST_DATA) + "/functions/general_peer.tsv");
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        PeerRow row;
        row.line = number;
        std::string tolerance;
        std::getline(fields, row.family, '\t');
        std::getline(fields, row.formula, '\t');
        std::getline(fields, row.expected, '\t');
        std::getline(fields, tolerance, '\t');
        std::getline(fields, row.how, '\t');
        EXPECT_TRUE(ParseNumber(tolerance, row.tolerance)) << "line " << number;
        rows.push_back(row);
    }
    return rows;
}

::testing::AssertionResult Within(double actual, const std::string& expected, double tolerance) {
    double e = 0;
    ParseNumber(expected, e);
    if (std::fabs(actual - e) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " is not within "
                                         << tolerance << " of " << expected;
}

} // namespace

TEST(PeerTable, CoversEveryFamilyWithWorkedValues) {
    std::vector<PeerRow> rows = ReadPeerTable();
    EXPECT_GE(rows.size(), 150u);
    std::set<std::string> families;
    for (const PeerRow& row : rows) {
        families.insert(row.family);
        EXPECT_TRUE(row.how == "hand" || row.how == "identity") << "line " << row.line;
    }
    EXPECT_EQ(families,
              (std::set<std::string>{"annuity", "base", "bessel", "cashflow", "complex", "date",
                                     "depreciation", "integer", "rounding", "workday"}));
}

TEST(PeerTable, FormulasGiveTheWorkedValues) {
    test::FunctionBook book;
    for (const PeerRow& row : ReadPeerTable()) {
        SCOPED_TRACE("line " + std::to_string(row.line) + ": " + row.formula);
        uint16_t kind = test::EvaluateInJ20(book, row.formula);
        const FormulaToken& v = book.Ctx().values[1];
        if (kind == kTokenNumber && v.error == 0 && test::IsPlainNumber(row.expected)) {
            EXPECT_TRUE(Within(v.number, row.expected, row.tolerance));
            continue;
        }
        std::string shown = book.Eval(row.formula, "J20");
        std::string re, im, shownRe, shownIm;
        if (test::SplitComplex(row.expected, re, im) &&
            test::SplitComplex(shown, shownRe, shownIm)) {
            double a = 0, b = 0;
            ParseNumber(shownRe, a);
            ParseNumber(shownIm, b);
            EXPECT_TRUE(Within(a, re, row.tolerance)) << shown;
            EXPECT_TRUE(Within(b, im, row.tolerance)) << shown;
        } else {
            EXPECT_EQ(shown, row.expected);
        }
    }
}

} // namespace vl
