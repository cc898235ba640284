#include "files/xmlwriter.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {
namespace {

std::string Written(void (*write)(CXmlWriter&)) {
    CXmlWriter w;
    write(w);
    w.Flush();
    return w.Memory();
}

TEST(XmlWriter, TagKindsIndentationAndLineEnds) {
    EXPECT_EQ(Written([](CXmlWriter& w) { w.WriteTag("A", "k=\"1\"", kXmlEmptyTag, 2, 1); }),
              "\t\t<A k=\"1\"/>\r\n");
    EXPECT_EQ(Written([](CXmlWriter& w) { w.WriteTag("A", "", kXmlStartTag, 0, 2); }),
              "<A>\r\n\r\n");
    EXPECT_EQ(Written([](CXmlWriter& w) { w.WriteTag("A", "", kXmlEndTag, 1, 0); }), "\t</A>");
    EXPECT_EQ(Written([](CXmlWriter& w) { w.WriteTag("A", "", kXmlNoTag, 3, 1); }), "\t\t\t\r\n");
}

TEST(XmlWriter, ElementTextIsEscapedAndConverted) {
    // The escapes themselves are the text tests'.
    EXPECT_EQ(Written([](CXmlWriter& w) { w.WriteElement("T", "a\tb\xe9", 1, 1); }),
              "\t<T>a&#09;b\xc3\xa9</T>\r\n");
    EXPECT_EQ(Written([](CXmlWriter& w) { w.WriteElement("T", "", 0, 0); }), "<T></T>");
}

TEST(XmlWriter, LongTextsGoOutWhole) {
    const std::string text(300000, '"');
    CXmlWriter w;
    w.EncodeText(text);
    w.Flush();
    ASSERT_EQ(w.Memory().size(), text.size() * 6);
    EXPECT_EQ(w.Memory().substr(0, 12), "&quot;&quot;");
}

TEST(XmlWriter, AttributeText) {
    XmlAttributeText a;
    a.Text("Name", "a&b\"c\t").Int("Level", -3).Bool("On", true).Bool("Off", false);
    a.Color("Lower", 0x0080FF00, false).Color("Upper", 0x0080FF00, true).Raw("Raw", "x<y");
    EXPECT_EQ(a.str(), "Name=\"a&amp;b&quot;c&#09;\" Level=\"-3\" On=\"1\" Off=\"0\" "
                       "Lower=\"#00ff80\" Upper=\"#00FF80\" Raw=\"x<y\"");
}

} // namespace
} // namespace vl
