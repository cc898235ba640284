#include "files/xmlwriter.h"

#include "files/xmltext.h"
#include "platform/core/filestream.h"
#include "values/inttext.h"

namespace vl {

void XmlAttributeText::Begin(std::string_view name) {
    if (!text_.empty()) text_ += ' ';
    text_ += name;
    text_ += "=\"";
}

XmlAttributeText& XmlAttributeText::Text(std::string_view name, std::string_view value) {
    Begin(name);
    AppendXmlEscaped(text_, value, utf8_);
    text_ += '"';
    return *this;
}

XmlAttributeText& XmlAttributeText::Raw(std::string_view name, std::string_view value) {
    Begin(name);
    text_ += value;
    text_ += '"';
    return *this;
}

XmlAttributeText& XmlAttributeText::Int(std::string_view name, int64_t value) {
    Begin(name);
    AppendInt(text_, value);
    text_ += '"';
    return *this;
}

XmlAttributeText& XmlAttributeText::Bool(std::string_view name, bool value) {
    return Raw(name, value ? "1" : "0");
}

std::string XmlColorText(uint32_t color, bool upperCase) {
    const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text = "#";
    for (int shift : {0, 8, 16}) {
        const uint32_t byte = (color >> shift) & 0xFF;
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

XmlAttributeText& XmlAttributeText::Color(std::string_view name, uint32_t color, bool upperCase) {
    return Raw(name, XmlColorText(color, upperCase));
}

CXmlWriter::CXmlWriter(CFileStream* stream) : stream_(stream) {
    block_.reserve(kBlock + 4096);
}

CXmlWriter::~CXmlWriter() {
    // Only a stream is served here: growing the memory text may throw.
    if (stream_) Flush();
}

void CXmlWriter::WriteTag(std::string_view name, std::string_view attributes, uint8_t kind,
                          int tabs, int lineEnds) {
    block_.append(std::size_t(tabs > 0 ? tabs : 0), '\t');
    if (kind & kXmlStartTag) {
        block_ += '<';
        block_ += name;
        if (!attributes.empty()) {
            block_ += ' ';
            block_ += attributes;
        }
        block_ += (kind & kXmlEndTag) ? "/>" : ">";
    } else if (kind & kXmlEndTag) {
        block_ += "</";
        block_ += name;
        block_ += '>';
    }
    WriteLineEnds(lineEnds);
}

void CXmlWriter::EncodeText(std::string_view text) {
    // Long texts go out in pieces so the block stays near its size.
    while (!text.empty()) {
        const std::string_view piece = text.substr(0, kBlock);
        AppendXmlEscaped(block_, piece, utf8_);
        text.remove_prefix(piece.size());
        Spill();
    }
}

void CXmlWriter::WriteRaw(std::string_view bytes) {
    block_ += bytes;
    Spill();
}

void CXmlWriter::WriteLineEnds(int count) {
    for (int i = 0; i < count; ++i) block_ += "\r\n";
    Spill();
}

void CXmlWriter::WriteElement(std::string_view name, std::string_view text, int tabs,
                              int lineEnds) {
    WriteTag(name, {}, kXmlStartTag, tabs, 0);
    EncodeText(text);
    WriteTag(name, {}, kXmlEndTag, 0, lineEnds);
}

void CXmlWriter::WriteElementBytes(std::string_view name, std::string_view text, int tabs,
                                   int lineEnds) {
    WriteTag(name, {}, kXmlStartTag, tabs, 0);
    EncodeBytes(text);
    WriteTag(name, {}, kXmlEndTag, 0, lineEnds);
}

void CXmlWriter::EncodeBytes(std::string_view text) {
    AppendXmlEscaped(block_, text, false);
    Spill();
}

bool CXmlWriter::Flush() {
    if (block_.empty()) return true;
    bool ok = true;
    if (stream_)
        ok = stream_->Write(block_.data(), int32_t(block_.size()));
    else
        memory_ += block_;
    block_.clear();
    return ok;
}

} // namespace vl
