// The peer tables: formulas of every general family with values worked out by hand from
// the functions' rules, closed forms, calendars and tables, or fixed by an identity the
// results must meet.
#include "functiontestutil.h"

#include <algorithm>
#include <fstream>
#include <limits>
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

void CheckPeerRow(FunctionBook& book, const PeerRow& row) {
    SCOPED_TRACE("line " + std::to_string(row.line));
    if (row.tolerance < 0) {
        EXPECT_EQ(book.Eval(row.formula, "J20"), row.expected) << row.formula;
        return;
    }
    // A tolerance of 0 asks for the exact number, which the smallest positive one keeps.
    double tolerance = std::max(row.tolerance, std::numeric_limits<double>::denorm_min());
    CheckPrinted(book, PrintedCase{row.formula.c_str(), row.expected.c_str(), tolerance});
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
