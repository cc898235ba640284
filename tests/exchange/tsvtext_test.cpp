// The peer lists' field form: each escape both ways, the limits of \xNN and of a split's
// parts, and every stored list read and written again to its own bytes, as the comparisons
// read and write them.
#include "tests/common/tsvtext.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace vl {
namespace {

using tsvtext::Controls;

TEST(TsvText, EachEscapeBothWays) {
    const struct {
        std::string text, kept, hex;
    } cases[] = {
        {"plain", "plain", "plain"},
        {"", "", ""},
        {"a\\b", "a\\\\b", "a\\\\b"},
        {"a\tb\nc\rd", "a\\tb\\nc\\rd", "a\\tb\\nc\\rd"},
        {std::string("\x01\x1f", 2), std::string("\x01\x1f", 2), "\\x01\\x1F"},
        {std::string(1, '\0'), std::string(1, '\0'), "\\x00"},
        {" \x7f\xe9", " \x7f\xe9", " \x7f\xe9"}, // 32 and above stay as they are
        {"\\x41", "\\\\x41", "\\\\x41"},         // a backslash before x is no byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kept);
        EXPECT_EQ(tsvtext::Escape(c.text), c.kept);
        EXPECT_EQ(tsvtext::Escape(c.text, Controls::Hex), c.hex);
        EXPECT_EQ(tsvtext::Unescape(c.kept), c.text);
        EXPECT_EQ(tsvtext::Unescape(c.hex), c.text);
    }
}

TEST(TsvText, UnescapeReadsOnlyWhatItKnows) {
    const struct {
        std::string escaped, text;
    } cases[] = {
        {"\\x4a", "J"},     // lower case hex
        {"\\x4A", "J"},     // two digits at the end: the last accepted
        {"\\x4A1", "J1"},   // two digits, no more
        {"\\x4", "x4"},     // one digit at the end: the first refused
        {"\\x4g", "x4g"},   // not hex
        {"\\x+1", "x+1"},   // no sign
        {"\\q", "q"},       // any other escaped character stands for itself
        {"end\\", "end\\"}, // a lone backslash at the end is kept
        {"\\\\t", "\\t"},
    };
    for (const auto& c : cases) EXPECT_EQ(tsvtext::Unescape(c.escaped), c.text) << c.escaped;
}

TEST(TsvText, SplitKeepsTheRestInTheLastPart) {
    using Fields = std::vector<std::string>;
    const struct {
        std::string line;
        std::size_t parts;
        Fields fields;
    } cases[] = {
        {"", std::string::npos, {""}},
        {"a", std::string::npos, {"a"}},
        {"a\tb\t", std::string::npos, {"a", "b", ""}},
        {"\t\t", std::string::npos, {"", "", ""}},
        {"a\tb\tc", 3, {"a", "b", "c"}},
        {"a\tb\tc", 2, {"a", "b\tc"}},
        {"a\tb\tc", 1, {"a\tb\tc"}},
        {"a\tb\tc", 4, {"a", "b", "c"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tsvtext::Split(c.line, '\t', c.parts), c.fields) << c.line << " " << c.parts;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << path;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Every escaped field of every stored list read and written again gives the list's bytes:
// the escapes above keep what the generators and our writers stored. The formula cases
// escape only the peer's answer (the sixth field); their formulas stand as written.
TEST(TsvText, StoredListsReadAndWriteToTheirOwnBytes) {
    const struct {
        const char* file;
        Controls controls;
        std::size_t escapedFrom;
    } lists[] = {
        {"functions/formula-peer.tsv", Controls::Kept, 5},
        {"functions/peer-accepted-answers.tsv", Controls::Kept, 1}, // formulas as written
        {"functions/formula-gnumeric.tsv", Controls::Kept, 2},
        {"functions/peer-open-faults.tsv", Controls::Kept, 2},
        {"exchange/text_peer.txt", Controls::Hex, 0},
        {"exchange/text_peer_listed.txt", Controls::Hex, 0},
        {"excelxml/generated-peer.tsv", Controls::Kept, 0},
        {"excelxml/generated-listed.tsv", Controls::Kept, 0},
        {"excelxml/generated-cell-formats.tsv", Controls::Kept, 0},
    };
    int escaped = 0;
    for (const auto& list : lists) {
        const std::string bytes = Bytes(std::string(VORLANE_TEST_DATA) + "/" + list.file);
        ASSERT_FALSE(bytes.empty()) << list.file;
        std::string again;
        bool firstLine = true;
        for (const std::string& line : tsvtext::Split(bytes, '\n')) {
            if (!firstLine) again += '\n';
            firstLine = false;
            std::size_t index = 0;
            for (const std::string& field : tsvtext::Split(line, '\t')) {
                if (index > 0) again += '\t';
                if (index++ < list.escapedFrom) {
                    again += field;
                    continue;
                }
                const std::string text = tsvtext::Unescape(field);
                escaped += text != field;
                again += tsvtext::Escape(text, list.controls);
            }
        }
        std::size_t at = 0;
        while (at < bytes.size() && at < again.size() && bytes[at] == again[at]) ++at;
        EXPECT_EQ(again.size(), bytes.size()) << list.file;
        EXPECT_EQ(at, bytes.size()) << list.file << " differs at byte " << at;
    }
    EXPECT_GT(escaped, 0); // the lists do hold escapes
}

} // namespace
} // namespace vl
