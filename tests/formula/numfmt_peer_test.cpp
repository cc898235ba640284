// The generated comparison: typed values under user codes, as the grid shows them (typed
// text read into a cell, the cell shown through its code), against what the peer shows
// for the same typing and code (tests/data/numfmt/generated.tsv, made by
// tools/make-format-comparison.py). A difference passes only when it is listed with its
// reason in generated-differences.tsv or, not yet mended, in generated-pending.tsv.
//
// VORLANE_FORMAT_DIFFERENCES=<file> writes every difference found, for the tool's
// --classify step.

#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "platform/core/cp1252.h"
#include "separatortestutil.h"
#include "tests/core/fixedclock.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace vl {

namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

// The rows of a table with at least `columns` fields, comment lines left out.
std::vector<std::vector<std::string>> ReadRows(const std::string& name, std::size_t columns) {
    std::ifstream in(std::string(VORLANE_TEST_DATA "/numfmt/") + name);
    EXPECT_TRUE(in.good()) << name;
    std::vector<std::vector<std::string>> rows;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = Fields(line);
        if (f.size() < columns) {
            ADD_FAILURE() << name << " line " << n << " has " << f.size() << " fields";
            continue;
        }
        rows.push_back(std::move(f));
    }
    return rows;
}

// What a user sees, blanks as wide as a character written as blanks (as the peer writes
// them), fills left out (the peer's text holds none).
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
    return Cp1252ToUtf8(text);
}

bool IsDurationText(const std::string& text) {
    std::size_t at = text[0] == '-' ? 1 : 0;
    return text.size() > at + 1 && text[at] == 'P' &&
           text.find_first_not_of("0123456789PTYMDHS.-") == std::string::npos;
}

class FormatPeerTest : public formulatest::SettingsTest {
protected:
    void SetUp() override { clock_ = std::make_unique<testclock::CFixedClock>(2006, 6, 15); }
    void TearDown() override {
        SettingsTest::TearDown();
        clock_.reset();
    }

    // The typed value in a cell, then the cell shown through `code`. A duration is stored
    // as the files store it (no typed form reads as one).
    std::string Displayed(const std::string& typed, const std::string& code) {
        StandardFormat format;
        CellBuffer record;
        const std::string value = Utf8ToCp1252(typed);
        if (IsDurationText(value))
            MakeTextCell(record, 0, 0, value);
        else
            EXPECT_EQ(ParseCellInput(ctx_, value, format, 0, 0, record), CellInput::kStored)
                << typed;
        StandardFormat user;
        user.kind = STD_STYLE_USER_DEFINED;
        const std::string own = Utf8ToCp1252(code);
        std::strncpy(user.code, own.c_str(), kMaxFormatCode);
        RenderedList list;
        EXPECT_TRUE(display_.GetCellDisplayText(record.data(), user, list));
        return Shown(list);
    }

    std::unique_ptr<testclock::CFixedClock> clock_;
    CEvalContext ctx_;
    CCellDisplay display_{ctx_, false};
};

struct Listed {
    std::string ours, peer, reason;
    bool seen = false;
};

using ListedMap = std::map<std::pair<std::string, std::string>, Listed>;

// value, code, our text, the peer's text, reason.
ListedMap ReadListed(const std::string& name) {
    ListedMap listed;
    for (auto& f : ReadRows(name, 5))
        if (!listed.insert({{f[0], f[1]}, {f[2], f[3], f[4]}}).second)
            ADD_FAILURE() << name << " lists " << f[0] << " under " << f[1] << " twice";
    return listed;
}

} // namespace

TEST_F(FormatPeerTest, EveryDifferenceFromThePeerIsListedWithItsReason) {
    const auto rows = ReadRows("generated.tsv", 3);
    ASSERT_GE(rows.size(), 5000u);
    ListedMap listed = ReadListed("generated-differences.tsv");
    ListedMap pending = ReadListed("generated-pending.tsv");
    const char* dump = std::getenv("VORLANE_FORMAT_DIFFERENCES");
    std::ofstream out;
    if (dump) out.open(dump);
    int agreed = 0, unlisted = 0;
    std::map<std::string, int> byReason;
    int pendingCount = 0;
    for (const auto& row : rows) {
        const std::string ours = Displayed(row[0], row[1]);
        const std::string& peer = row[2];
        if (ours == peer) {
            ++agreed;
            continue;
        }
        if (dump) out << row[0] << '\t' << row[1] << '\t' << ours << '\t' << peer << '\n';
        for (ListedMap* list : {&listed, &pending}) {
            auto it = list->find({row[0], row[1]});
            if (it == list->end()) continue;
            it->second.seen = true;
            if (it->second.ours == ours && it->second.peer == peer) {
                if (list == &listed)
                    ++byReason[it->second.reason];
                else
                    ++pendingCount;
                goto next;
            }
        }
        ++unlisted;
        if (!dump)
            ADD_FAILURE() << row[0] << " under " << row[1] << " shows \"" << ours
                          << "\"; the peer shows \"" << peer << "\"";
    next:;
    }
    // A listed row that agrees now, or shows another text, is mended or broken: the list
    // must say so.
    for (ListedMap* list : {&listed, &pending})
        for (const auto& [key, entry] : *list)
            if (!entry.seen && !dump)
                ADD_FAILURE() << key.first << " under " << key.second
                              << " is listed but agrees with the peer now";
    std::cout << rows.size() << " pairs, " << agreed << " agree with the peer, "
              << rows.size() - agreed - unlisted - pendingCount << " listed differences, "
              << pendingCount << " pending, " << unlisted << " unlisted\n";
    for (const auto& [reason, count] : byReason)
        std::cout << "  " << count << "  " << reason << '\n';
}

} // namespace vl
