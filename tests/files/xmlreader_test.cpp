#include "../platform/core/tempfiles.h"
#include "files/xmlreader.h"
#include "platform/core/filestream.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <zlib.h>

namespace vl {
namespace {

struct Reader {
    explicit Reader(const std::string& text) : doc(text) { r.ResetMemory(doc); }
    std::string doc;
    CXmlReader r;
};

// Each row: a document, the flags of reading "a" (or the name given; "" takes any), whether
// it is found and the error left.
TEST(XmlReader, TagKindsFlagsAndLimits) {
    struct Case {
        std::string doc;
        uint8_t flags;
        bool found;
        ErrorCode error;
        std::string expected = "a";
    };
    std::string fifty = "<a";
    for (int i = 0; i < 50; ++i) fifty += " k" + std::to_string(i) + "='v'";
    const std::string name(kXmlNameLimit, 'n'), value(kXmlValueLimit, 'v');
    const uint8_t kept = kXmlAttributes | kXmlStart;
    const Case cases[] = {
        {"<a/>", kXmlStart | kXmlEnd, true, 0},
        {"<a>", kXmlStart | kXmlEnd, false, kErrorXmlElement},
        {"<a>", kXmlStart, true, 0},
        {"<a/>", kXmlStart, true, 0},
        {"</a>", kXmlStart, false, kErrorXmlElement},
        {"</a>", kXmlEnd, true, 0},
        {"<a/>", kXmlEnd, false, kErrorXmlElement},
        {"<b>", kXmlStart, false, kErrorXmlElement},
        {"<b>", kXmlStart | kXmlOptional, false, 0},
        {"", kXmlOptional, false, 0},
        {"", 0, false, kErrorXmlElement},
        {"<a", kXmlStart, false, kErrorXmlElement},
        {"< / a >", kXmlEnd, true, 0},
        {"<x:a y:k='v'/>", kXmlStart | kXmlEnd, true, 0},
        {"<a k=v/>", kXmlStart, false, kErrorXmlAttribute},
        {"<a k='v/>", kXmlStart, false, kErrorXmlAttribute},
        {"<a k 'v'/>", kXmlStart, false, kErrorXmlElement},
        {"<!-- c --> text <a>", kXmlStart, true, 0},
        {"<!-- never ends <a>", kXmlStart, false, kErrorXmlElement},
        // Fifty attributes are read, not one more, kept or not: a tag is held whole until
        // it is read.
        {fifty + "/>", kept, true, 0},
        {fifty + "/>", kXmlStart, true, 0},
        {fifty + " k50='v'/>", kept, false, kErrorXmlAttribute},
        {fifty + " k50='v'/>", kXmlStart, false, kErrorXmlAttribute},
        {"<a k='" + value + "'/>", kept, true, 0},
        {"<a k='" + value + "v'/>", kept, false, kErrorXmlAttribute},
        {"<" + name + "/>", kXmlStart, true, 0, name},
        {"<" + name + "n/>", kXmlStart, false, kErrorXmlElement, ""},
    };
    for (const Case& c : cases) {
        Reader t(c.doc);
        SCOPED_TRACE(c.doc.substr(0, 80));
        EXPECT_EQ(t.r.ReadNextTag(c.expected, c.flags), c.found);
        EXPECT_EQ(t.r.Error(), c.error);
        EXPECT_TRUE((c.flags & kXmlAttributes) || t.r.AttributeCount() == 0);
    }
}

// Whitespace and comments before the tag are gone once read; the tag and what follows stay.
TEST(XmlReader, OptionalAndPeekLeaveTheSourceAndLineWhereTheyWere) {
    Reader t("\r\n\r\n<!-- x\r\n -->\r\n<b k=\"1\"/>\r\n<c/>");
    EXPECT_FALSE(t.r.ReadNextTag("a", kXmlStart | kXmlOptional));
    EXPECT_TRUE(t.r.Ok());
    EXPECT_EQ(t.r.Line(), 5u);
    EXPECT_EQ(t.r.Position(), 18u);
    EXPECT_TRUE(t.r.ReadNextTag("b", kXmlAttributes | kXmlStart | kXmlPeek));
    EXPECT_EQ(t.r.Line(), 5u);
    EXPECT_EQ(t.r.Position(), 18u);
    EXPECT_TRUE(t.r.ReadNextTag("b", kXmlAttributes | kXmlStart | kXmlEnd));
    EXPECT_EQ(t.r.Line(), 5u);
    ASSERT_TRUE(t.r.FindAttribute("k"));
    EXPECT_EQ(t.r.Value(), "1");
    EXPECT_TRUE(t.r.ReadNextTag("c", kXmlStart | kXmlEnd));
    EXPECT_EQ(t.r.Line(), 6u);
}

TEST(XmlReader, AttributeTableKeepsTheFirstOfAName) {
    Reader t("<a Style='A' x:Style='B' Other=\"&amp;\"/>");
    ASSERT_TRUE(t.r.ReadNextTag("a", kXmlAttributes | kXmlStart));
    ASSERT_TRUE(t.r.FindAttribute("Style"));
    EXPECT_EQ(t.r.Value(), "A");
    ASSERT_TRUE(t.r.FindAttribute("Other"));
    EXPECT_EQ(t.r.Value(), "&amp;"); // values stay raw until a reader decodes them
    EXPECT_FALSE(t.r.FindAttribute("style"));
    EXPECT_EQ(t.r.Value(), "");
}

struct TextCase {
    const char* doc;
    bool verbatim;
    const char* text;
    uint32_t line;
};

TEST(XmlReader, ElementTextCollapsedOrVerbatim) {
    const TextCase cases[] = {
        {"<a>  one   two  </a>", false, "one two", 1},
        {"<a>  a \r\n  b  </a>", false, "a b", 2},
        {"<a>a<!-- c -->b</a>", false, "ab", 1},
        {"<a>a <!-- c --> b</a>", false, "a b", 1},
        {"<a>a<!-- c --> b</a>", false, "ab", 1},
        {"<a>&amp;&lt;</a>", false, "&<", 1},
        {"<a/>", false, "", 1},
        {"<a></a>", false, "", 1},
        {"<a>  one   two  </a>", true, "  one   two  ", 1},
        {"<a> a<!-- c --> b </a>", true, " a b ", 1},
        {"<a> \r\n</a>", true, " \r\n", 2},
    };
    for (const TextCase& c : cases) {
        Reader t(c.doc);
        ASSERT_TRUE(t.r.ReadElementText("a", 100, 0, c.verbatim)) << c.doc;
        EXPECT_EQ(t.r.Text(), c.text) << c.doc;
        EXPECT_EQ(t.r.Line(), c.line) << c.doc;
    }
}

TEST(XmlReader, ElementTextLimitsAndStructure) {
    // A text of any length reads whole when its limit allows it.
    const std::string big(9000, 'x');
    const std::tuple<std::string, std::size_t, ErrorCode> cases[] = {
        {"<a>&amp;&lt;</a>", 2, 0},
        {"<a>&amp;&lt;x</a>", 2, kErrorXmlData},
        {"<a>x</b>", 10, kErrorXmlElement},
        {"<a>x<!-- never ends", 10, kErrorXmlElement}};
    for (const auto& [doc, limit, error] : cases) {
        Reader t(doc);
        EXPECT_EQ(t.r.ReadElementText("a", limit, 0), error == 0) << doc;
        EXPECT_EQ(t.r.Error(), error) << doc;
    }
    Reader longText("<a>" + big + "</a>");
    ASSERT_TRUE(longText.r.ReadElementText("a", 9000, 0, true));
    EXPECT_EQ(longText.r.Text(), big);
    Reader absent("\r\n<b/>");
    EXPECT_FALSE(absent.r.ReadElementText("a", 10, kXmlOptional));
    EXPECT_TRUE(absent.r.Ok());
    EXPECT_EQ(absent.r.Position(), 2u); // after the line break, at the tag
}

TEST(XmlReader, FirstErrorSticksWithItsLine) {
    Reader t("<a>\r\n<b k='x'/>\r\n<c/>");
    ASSERT_TRUE(t.r.ReadNextTag("a", kXmlStart));
    ASSERT_TRUE(t.r.ReadNextTag("b", kXmlAttributes | kXmlStart));
    ASSERT_TRUE(t.r.FindAttribute("k"));
    uint8_t v = 0;
    EXPECT_FALSE(t.r.GetU8Attribute(v, 0, 10));
    EXPECT_EQ(t.r.Error(), kErrorXmlData);
    EXPECT_EQ(t.r.ErrorLine(), 2u);
    EXPECT_FALSE(t.r.ReadNextTag("c", kXmlStart));
    EXPECT_FALSE(t.r.Fail(kErrorXmlMissing));
    EXPECT_EQ(t.r.Error(), kErrorXmlData);
    EXPECT_EQ(t.r.ErrorLine(), 2u);
}

TEST(XmlReader, DeclarationAndItsAttributes) {
    Reader t("  \r\n<?xml version=\"1.0\" encoding='ISO-8859-2' ?><r/>");
    ASSERT_TRUE(t.r.ReadDeclaration());
    ASSERT_TRUE(t.r.FindAttribute("encoding"));
    EXPECT_EQ(t.r.Value(), "ISO-8859-2");
    for (const char* bad : {"<r/>", "<?xmx version='1'?>", "<?xml version='1'>",
                            "<?xml version 1?>", "<?xml a='1' b=2?>"}) {
        Reader b(bad);
        EXPECT_FALSE(b.r.ReadDeclaration()) << bad;
        EXPECT_NE(b.r.Error(), 0) << bad;
    }
}

// A document much larger than the reader's block, so that tags, texts and the places an
// optional read goes back to straddle the block boundaries.
std::string LargeDocument(int elements) {
    std::string doc = "<root>\r\n";
    for (int i = 0; i < elements; ++i)
        doc += "<!-- item " + std::to_string(i) + " --><e n=\"" + std::to_string(i) + "\">" +
               std::string(size_t(i % 97), 'x') + "</e>\r\n";
    return doc + "</root>\r\n";
}

void ReadLargeDocument(CXmlReader& r, int elements) {
    ASSERT_TRUE(r.ReadNextTag("root", kXmlStart));
    for (int i = 0; i < elements; ++i) {
        // Each element is first missed as another name, then read.
        ASSERT_FALSE(r.ReadNextTag("other", kXmlStart | kXmlOptional));
        ASSERT_TRUE(r.ReadNextTag("e", kXmlAttributes | kXmlStart | kXmlOptional)) << i;
        ASSERT_TRUE(r.FindAttribute("n"));
        ASSERT_EQ(r.Value(), std::to_string(i));
        ASSERT_EQ(r.Line(), uint32_t(i + 2));
        ASSERT_TRUE(r.ReadContent(200));
        ASSERT_EQ(r.Text(), std::string(size_t(i % 97), 'x'));
        ASSERT_TRUE(r.ReadNextTag("e", kXmlEnd));
    }
    ASSERT_TRUE(r.ReadNextTag("root", kXmlEnd));
}

TEST(XmlReader, ReadsPlainAndGzipStreamsAcrossBlocks) {
    tempfiles::TempFolder folder;
    const int elements = 12000;
    const std::string doc = LargeDocument(elements);
    const std::string plain = folder.Path("plain.xml"), packed = folder.Path("packed.xml.gz");
    tempfiles::WriteBytes(plain, std::vector<uint8_t>(doc.begin(), doc.end()));
    gzFile gz = gzopen(packed.c_str(), "wb");
    ASSERT_NE(gz, nullptr);
    gzwrite(gz, doc.data(), unsigned(doc.size()));
    gzclose(gz);
    for (const std::string& path : {plain, packed}) {
        CFileStream stream;
        ASSERT_TRUE(stream.Open(path.c_str(), "rb", true, kFileBufferSize));
        CXmlReader r;
        r.Reset(&stream);
        ReadLargeDocument(r, elements);
        EXPECT_TRUE(r.Ok()) << int(r.Error());
        EXPECT_EQ(stream.GetError(), 0);
    }
}

TEST(XmlReader, BoundedLookupAndTheOtherConverters) {
    Reader t("<a v='abcd' d='-1.5e3' s='- 32768' b='bad' x='12' c='#0000ff'/>");
    ASSERT_TRUE(t.r.ReadNextTag("a", kXmlAttributes | kXmlStart));
    EXPECT_TRUE(t.r.FindAttributeBounded("v", 4));
    EXPECT_FALSE(t.r.FindAttributeBounded("missing", 4));
    EXPECT_TRUE(t.r.Ok());
    double d = 0;
    ASSERT_TRUE(t.r.FindAttribute("d"));
    EXPECT_TRUE(t.r.GetDoubleAttribute(d, -1500, 0));
    EXPECT_EQ(d, -1500);
    int16_t s = 0;
    ASSERT_TRUE(t.r.FindAttribute("s"));
    EXPECT_TRUE(t.r.GetI16Attribute(s, INT16_MIN, INT16_MAX));
    EXPECT_EQ(s, INT16_MIN);
    COLORREF c = 0;
    ASSERT_TRUE(t.r.FindAttribute("c"));
    EXPECT_TRUE(t.r.GetColorAttribute(c));
    EXPECT_EQ(c, Rgb(0, 0, 255));
    uint32_t u = 0;
    ASSERT_TRUE(t.r.FindAttribute("x"));
    EXPECT_FALSE(t.r.GetU32Attribute(u, 13, 20));
    EXPECT_EQ(t.r.Error(), kErrorXmlData);

    Reader over("<a v='abcde'/>");
    ASSERT_TRUE(over.r.ReadNextTag("a", kXmlAttributes | kXmlStart));
    EXPECT_FALSE(over.r.FindAttributeBounded("v", 4));
    EXPECT_EQ(over.r.Error(), kErrorXmlAttribute);
    Reader flag("<a b='bad'/>");
    ASSERT_TRUE(flag.r.ReadNextTag("a", kXmlAttributes | kXmlStart));
    ASSERT_TRUE(flag.r.FindAttribute("b"));
    bool b = false;
    EXPECT_FALSE(flag.r.GetBoolAttribute(b));
    EXPECT_EQ(flag.r.Error(), kErrorXmlAttribute);
}

} // namespace
} // namespace vl
