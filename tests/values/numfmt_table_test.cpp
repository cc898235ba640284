// The rendering table: values through format codes as the peer shows them, or as a rule
// given in the row says (tools/make-rendering-table.py makes it).

#include "platform/core/number.h"
#include "values/formatdouble.h"
#include "values/numfmt_date.h"
#include "values/numfmt_number.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace vl {

namespace {

struct Row {
    int line = 0;
    std::string value, code, separators, expected, source;
};

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

std::vector<Row> ReadTable() {
    std::ifstream in(VORLANE_TEST_DATA "/numfmt/rendering.tsv");
    std::vector<Row> rows;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = Fields(line);
        if (f.size() < 5) {
            ADD_FAILURE() << "line " << n << " has " << f.size() << " fields";
            continue;
        }
        rows.push_back({n, f[0], f[1], f[2], f[3], f[4]});
    }
    return rows;
}

SeparatorSet SetNamed(const std::string& name) {
    SeparatorSet set = InternalSeparators();
    if (name == "de") {
        set.decimal = ',';
        set.thousands = '.';
    }
    return set;
}

// What a user sees: the text, and a blank for each character drawn as a blank (a "?"
// without a digit, "_x"), as the peer writes them.
std::string Shown(const RenderedList& list) {
    std::string text;
    for (uint16_t k = 0; k < list.count; ++k) {
        const RenderedItem& item = list.items[k];
        if (item.kind == kRenderedBlank)
            text += ' ';
        else if (item.kind & (kFmtLiteral | kFmtThousands | kFmtDecimal | kFmtExponent | kFmtSlash |
                              kFmtTimeSep | kFmtDateSep))
            text += char(item.ch);
    }
    return text;
}

// As the cell display shows it: a number through its code, else plainly; a date or
// time text through its code, else unchanged.
std::string Render(const Row& row) {
    SeparatorSet set = SetNamed(row.separators);
    RenderedList list;
    double value = 0;
    if (ParseNumber(row.value, value)) {
        if (FormatNumberValue(list, value, row.code, &set)) return Shown(list);
        return FormatGeneralNumber(value, &set);
    }
    if (FormatDateTimeValue(list, row.value, row.code, &set)) return Shown(list);
    return row.value;
}

} // namespace

TEST(RenderingTable, EveryRowShowsItsExpectedText) {
    std::vector<Row> rows = ReadTable();
    ASSERT_GE(rows.size(), 400u);
    int departures = 0;
    for (const Row& row : rows) {
        departures += row.source == "rule";
        EXPECT_EQ(Render(row), row.expected)
            << "line " << row.line << ": " << row.value << " through " << row.code << " ("
            << row.separators << ", " << row.source << ")";
    }
    // Most rows are the peer's own text.
    EXPECT_LT(departures * 5, int(rows.size()));
}

} // namespace vl
