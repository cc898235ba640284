#include "files/xmlfields.h"

#include "platform/core/number.h"
#include "values/formatdouble.h"
#include "values/inttext.h"

#include <cfloat>
#include <cstring>

namespace vl {

bool ReadXmlTextField(CXmlReader& r, std::string_view name, char* field, std::size_t size,
                      uint8_t flags) {
    if (!r.ReadElementText(name, size - 1, flags, true)) return false;
    std::memcpy(field, r.Text().c_str(), r.Text().size() + 1);
    return true;
}

bool ReadXmlElementUnsigned(CXmlReader& r, std::string_view name, uint64_t cap, uint64_t min,
                            uint64_t max, uint64_t& out) {
    return r.ReadElementText(name, kXmlNumberTextLimit, kXmlAttributes) &&
           r.Check(ParseXmlUnsigned(r.Text(), cap, min, max, out));
}

bool ReadXmlElementU8(CXmlReader& r, std::string_view name, uint8_t min, uint8_t max,
                      uint8_t& out) {
    uint64_t v = 0;
    if (!ReadXmlElementUnsigned(r, name, kXmlCapU8, min, max, v)) return false;
    out = uint8_t(v);
    return true;
}

bool ReadXmlElementU16(CXmlReader& r, std::string_view name, uint16_t min, uint16_t max,
                       uint16_t& out) {
    uint64_t v = 0;
    if (!ReadXmlElementUnsigned(r, name, kXmlCapU16, min, max, v)) return false;
    out = uint16_t(v);
    return true;
}

bool ReadXmlBoolIf(CXmlReader& r, std::string_view name, uint8_t& out) {
    return !r.FindAttribute(name) || r.GetBoolAttribute(out);
}

bool ReadXmlDoubleIf(CXmlReader& r, std::string_view name, double& out) {
    return !r.FindAttribute(name) || r.GetDoubleAttribute(out, -DBL_MAX, DBL_MAX);
}

bool ReadXmlKeywordIf(CXmlReader& r, std::string_view name, XmlNames table, uint8_t& out) {
    if (!r.FindAttribute(name)) return true;
    const int index = FindXmlName(table, r.Value());
    if (index < 0) return r.Fail(kErrorXmlAttribute);
    out = uint8_t(index);
    return true;
}

bool GetPercentAttribute(CXmlReader& r, uint16_t& out, uint16_t min, uint16_t max) {
    const std::string_view v = r.Value();
    if (v.size() < 2 || v.back() != '%') return r.Fail(kErrorXmlData);
    uint64_t value = 0;
    if (!r.Check(ParseXmlUnsigned(v.substr(0, v.size() - 1), kXmlCapU16, min, max, value)))
        return false;
    out = uint16_t(value);
    return true;
}

std::string XmlNumberText(double value) {
    std::string text = FormatDouble(value);
    double back = 0;
    if (!ParseNumber(text, back) || back != value) text = FormatNumberG(value, 17);
    return text;
}

std::string XmlFloatText(float value) {
    std::string text;
    for (int precision = 6; precision <= 9; ++precision) {
        text = FormatNumberG(value, precision);
        double back = 0;
        if (ParseNumber(text, back) && float(back) == value) break;
    }
    return text;
}

void WriteXmlTextElement(CXmlWriter& w, std::string_view name, std::string_view attributes,
                         std::string_view text, int level) {
    w.WriteTag(name, attributes, kXmlStartTag, level, 0);
    w.EncodeText(text);
    w.WriteTag(name, {}, kXmlEndTag, 0, 1);
}

void WriteXmlNumberElement(CXmlWriter& w, std::string_view name, int64_t value, int level) {
    w.WriteElement(name, IntText(value), level, 1);
}

} // namespace vl
