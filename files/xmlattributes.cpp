// The attribute table of the last tag and the typed converters of its values.

#include "files/xmlreader.h"
#include "files/xmltext.h"

namespace vl {

void CXmlReader::ClearAttributes() {
    area_.clear();
    count_ = 0;
    current_ = {};
}

bool CXmlReader::AddAttribute(std::string_view prefix, std::string_view name,
                              std::string_view value) {
    const std::size_t size = prefix.size() + name.size() + value.size() + 3;
    // Room for every attribute at the usual limit, and one more at a raised one.
    const std::size_t area = kXmlAttributeArea + (valueLimit_ - kXmlValueLimit);
    if (count_ == kXmlAttributeCount || area_.size() + size >= area) return false;
    attributes_[count_++] = Attribute{uint32_t(area_.size()), uint16_t(prefix.size()),
                                      uint16_t(name.size()), uint16_t(value.size())};
    for (std::string_view part : {prefix, name, value}) {
        area_ += part;
        area_ += '\0';
    }
    return true;
}

bool CXmlReader::FindAttribute(std::string_view name) {
    const std::string_view area = area_;
    for (std::size_t i = 0; i < count_; ++i) {
        const Attribute& a = attributes_[i];
        const std::size_t nameAt = a.offset + a.prefixLength + 1;
        if (area.substr(nameAt, a.nameLength) == name) {
            current_ = area.substr(nameAt + a.nameLength + 1, a.valueLength);
            return true;
        }
    }
    current_ = {};
    return false;
}

bool CXmlReader::FindAttributeBounded(std::string_view name, std::size_t maximum) {
    if (!FindAttribute(name)) return false;
    return current_.size() <= maximum || Fail(kErrorXmlAttribute);
}

bool CXmlReader::DecodeValue(std::string& out, std::size_t maximum) {
    out.clear();
    const uint32_t before = lost_;
    if (!Check(DecodeXmlText(current_, Utf8(), valueLimit_, out, &lost_)) || !CheckLost(before))
        return false;
    return out.size() <= maximum || Fail(kErrorXmlAttribute);
}

bool CXmlReader::GetU8Attribute(uint8_t& out, uint8_t min, uint8_t max) {
    uint64_t v = 0;
    if (!Check(ParseXmlUnsigned(current_, kXmlCapU8, min, max, v))) return false;
    out = uint8_t(v);
    return true;
}

bool CXmlReader::GetU16Attribute(uint16_t& out, uint16_t min, uint16_t max) {
    uint64_t v = 0;
    if (!Check(ParseXmlUnsigned(current_, kXmlCapU16, min, max, v))) return false;
    out = uint16_t(v);
    return true;
}

bool CXmlReader::GetU32Attribute(uint32_t& out, uint32_t min, uint32_t max) {
    uint64_t v = 0;
    if (!Check(ParseXmlUnsigned(current_, kXmlCapU32, min, max, v))) return false;
    out = uint32_t(v);
    return true;
}

bool CXmlReader::GetI8Attribute(int8_t& out, int8_t min, int8_t max) {
    int64_t v = 0;
    if (!Check(ParseXmlSigned(current_, 128, min, max, v))) return false;
    out = int8_t(v);
    return true;
}

bool CXmlReader::GetI16Attribute(int16_t& out, int16_t min, int16_t max) {
    int64_t v = 0;
    if (!Check(ParseXmlSigned(current_, 32768, min, max, v))) return false;
    out = int16_t(v);
    return true;
}

bool CXmlReader::GetI32Attribute(int32_t& out, int32_t min, int32_t max) {
    int64_t v = 0;
    if (!Check(ParseXmlSigned(current_, 2147483648u, min, max, v))) return false;
    out = int32_t(v);
    return true;
}

bool CXmlReader::GetDoubleAttribute(double& out, double min, double max) {
    return Check(ParseXmlDouble(current_, min, max, out));
}

bool CXmlReader::GetBoolAttribute(bool& out) {
    return Check(ParseXmlBool(current_, out));
}

bool CXmlReader::GetBoolAttribute(uint8_t& out) {
    bool value = false;
    if (!GetBoolAttribute(value)) return false;
    out = value ? 1 : 0;
    return true;
}

bool CXmlReader::GetColorAttribute(COLORREF& out) {
    return Check(ParseXmlColor(current_, out));
}

} // namespace vl
