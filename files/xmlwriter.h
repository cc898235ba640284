#pragma once
// The XML writer: tags with their indentation and line ends, and element text escaped and
// converted to UTF-8 while it is written, so a text of any length goes out whole. Output is
// gathered in a block of its own and handed to the file stream (or kept in memory) a block
// at a time; stream failures stay in the stream's status for the caller to collect.

#include "files/xmlreader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

class CFileStream;

// Kinds of WriteTag.
enum : uint8_t {
    kXmlNoTag = 0,
    kXmlStartTag = 2,
    kXmlEndTag = 4,
    kXmlEmptyTag = 6,
};

// "#rrggbb" in lower case or "#RRGGBB" in upper case, red first.
std::string XmlColorText(uint32_t color, bool upperCase);

// Builds the attribute text of one tag: each pair as Name="value", separated by blanks.
class XmlAttributeText {
public:
    explicit XmlAttributeText(bool utf8 = true) : utf8_(utf8) {}
    // A text value, escaped and converted.
    XmlAttributeText& Text(std::string_view name, std::string_view value);
    // A value written as it stands (numbers, words of the value tables).
    XmlAttributeText& Raw(std::string_view name, std::string_view value);
    XmlAttributeText& Int(std::string_view name, int64_t value);
    XmlAttributeText& Bool(std::string_view name, bool value);
    // "#rrggbb" in lower case or "#RRGGBB" in upper case, red first.
    XmlAttributeText& Color(std::string_view name, uint32_t color, bool upperCase);
    const std::string& str() const { return text_; }
    bool empty() const { return text_.empty(); }

private:
    void Begin(std::string_view name);
    std::string text_;
    bool utf8_;
};

class CXmlWriter {
public:
    // Writes to the stream, or into memory (see Memory()) without one.
    explicit CXmlWriter(CFileStream* stream = nullptr);
    ~CXmlWriter();
    CXmlWriter(const CXmlWriter&) = delete;
    CXmlWriter& operator=(const CXmlWriter&) = delete;

    // `tabs` TAB characters, the tag of the kind (with the attribute text after a blank
    // when it is not empty), then `lineEnds` CR LF pairs.
    void WriteTag(std::string_view name, std::string_view attributes, uint8_t kind, int tabs,
                  int lineEnds);
    // Text escaped for an element (and converted to UTF-8 in a UTF-8 document), written
    // as it is encoded: no work buffer bounds its length.
    void EncodeText(std::string_view text);
    void WriteRaw(std::string_view bytes);
    void WriteLineEnds(int count);
    // An element with text on one line: start tag, text, end tag, then `lineEnds`.
    void WriteElement(std::string_view name, std::string_view text, int tabs, int lineEnds);
    // The same for a text that is the system's bytes (a path, UTF-8 here): escaped, its bytes
    // written as they are.
    void WriteElementBytes(std::string_view name, std::string_view text, int tabs, int lineEnds);
    void EncodeBytes(std::string_view text);

    // Hands what is gathered to the stream; false when the stream refused it.
    bool Flush();
    bool Utf8() const { return utf8_; }
    const std::string& Memory() const { return memory_; }

private:
    void Spill() {
        if (block_.size() >= kBlock) Flush();
    }
    static constexpr std::size_t kBlock = 65536;
    CFileStream* stream_;
    std::string block_;
    std::string memory_;
    bool utf8_ = true;
};

} // namespace vl
