// The reader on a file stream lets go of what it skips: whitespace, comments and text between
// tags far longer than its block, and text longer than any element keeps.

#include "files/xmlreader.h"
#include "platform/core/filestream.h"
#include "tests/platform/core/tempfiles.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

namespace {

constexpr size_t kLong = size_t(3) << 20; // past the 1 MiB of text the reader keeps

struct FileReader {
    explicit FileReader(const std::string& text) {
        const std::string path = dir.Path("doc.xml");
        tempfiles::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
        EXPECT_TRUE(stream.Open(path.c_str(), "rb", true, kFileBufferSize));
        r.Reset(&stream);
    }
    tempfiles::TempFolder dir;
    CFileStream stream;
    CXmlReader r;
};

} // namespace

// Skipped runs of every kind, each longer than the reader keeps, before the tag it finds; the
// line count goes on through them.
TEST(XmlReaderBounds, LongSkippedRunsBeforeATag) {
    const std::string lines = std::string(kLong, '\n');
    const struct {
        std::string before;
        uint32_t line;
    } cases[] = {
        {std::string(kLong, ' '), 1},
        {"<!--" + std::string(kLong, 'c') + "-->", 1},
        {std::string(kLong, 'j'), 1},
        {lines, uint32_t(kLong) + 1},
    };
    for (const auto& c : cases) {
        FileReader t("<a>" + c.before + "<b/></a>");
        ASSERT_TRUE(t.r.ReadNextTag("a", kXmlStart));
        EXPECT_TRUE(t.r.ReadNextTag("b", kXmlStart | kXmlEnd)) << c.before.substr(0, 5);
        EXPECT_EQ(t.r.Line(), c.line);
        EXPECT_TRUE(t.r.ReadNextTag("a", kXmlEnd));
    }
}

// An optional tag not found goes back to the text before it: text of a length an element may
// keep is read whole after it, a longer one fails as too long instead of reading cut.
TEST(XmlReaderBounds, TextBeforeAnOptionalTagIsKeptOrRefused) {
    const size_t kept = size_t(1) << 20;
    for (const size_t length : {kept, kept + 1, kLong}) {
        FileReader t("<a>" + std::string(length, 'x') + "</a>");
        ASSERT_TRUE(t.r.ReadNextTag("a", kXmlStart));
        EXPECT_FALSE(t.r.ReadNextTag("b", kXmlStart | kXmlOptional));
        EXPECT_TRUE(t.r.Ok());
        const bool whole = t.r.ReadContent(kLong, true);
        EXPECT_EQ(whole, length <= kept) << length;
        if (whole) {
            EXPECT_EQ(t.r.Text().size(), length);
        } else {
            EXPECT_EQ(t.r.Error(), kErrorXmlData) << length;
        }
    }
}

} // namespace vl
