// The peer table of the text, lookup, reference, array, logical and information
// functions: values worked out by hand from the functions' rules, or fixed by an identity
// the results must satisfy.
#include "functiontestutil.h"

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
};

std::vector<PeerRow> ReadPeerRows() {
    std::vector<PeerRow> rows;
    std::ifstream in(std::string(VORLANE_TEST_DATA) + "/functions/textlookup_peer.tsv");
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        PeerRow row;
        row.line = number;
        std::getline(fields, row.family, '\t');
        std::getline(fields, row.formula, '\t');
        std::getline(fields, row.expected, '\t');
        std::getline(fields, row.how, '\t');
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST(TextLookupPeerTable, CoversTheSixFamilies) {
    std::vector<PeerRow> rows = ReadPeerRows();
    EXPECT_GE(rows.size(), 150u);
    std::set<std::string> families;
    for (const PeerRow& row : rows) {
        families.insert(row.family);
        EXPECT_TRUE(row.how == "hand" || row.how == "identity") << "line " << row.line;
    }
    EXPECT_EQ(families, (std::set<std::string>{"array", "information", "logical", "lookup",
                                               "reference", "text"}));
}

TEST(TextLookupPeerTable, FormulasGiveTheWorkedValues) {
    test::FunctionBook book;
    for (const PeerRow& row : ReadPeerRows())
        EXPECT_EQ(book.Eval(row.formula, "J20"), row.expected)
            << "line " << row.line << ": " << row.formula;
}

} // namespace vl
