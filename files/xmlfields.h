#pragma once
// Small pieces the element readers and writers of worksheets, containers and charts share:
// texts into fixed fields, numbers given as element text, optional attributes, and number
// texts that read back as the very value written.

#include "files/xmlnames.h"
#include "files/xmlreader.h"
#include "files/xmlwriter.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

// The longest element text a number may be written with.
constexpr std::size_t kXmlNumberTextLimit = 1024;

// An element's text, kept as it stands, into a field of `size` bytes; more than size - 1
// decoded characters is 59. `flags` as for ReadElementText (kXmlOptional, kXmlAttributes).
bool ReadXmlTextField(CXmlReader& reader, std::string_view name, char* field, std::size_t size,
                      uint8_t flags = 0);
// An element whose text is an unsigned decimal number: digits only once the outer
// whitespace is dropped, a running value past `cap`, another character or a value outside
// [min, max] is 59.
bool ReadXmlElementUnsigned(CXmlReader& reader, std::string_view name, uint64_t cap, uint64_t min,
                            uint64_t max, uint64_t& out);
bool ReadXmlElementU8(CXmlReader& reader, std::string_view name, uint8_t min, uint8_t max,
                      uint8_t& out);
bool ReadXmlElementU16(CXmlReader& reader, std::string_view name, uint16_t min, uint16_t max,
                       uint16_t& out);

// Optional attributes of the tag just read: absent leaves `out` as it is.
bool ReadXmlBoolIf(CXmlReader& reader, std::string_view name, uint8_t& out);
bool ReadXmlDoubleIf(CXmlReader& reader, std::string_view name, double& out);
// A keyword of `table` (its index into `out`); another word is 57.
bool ReadXmlKeywordIf(CXmlReader& reader, std::string_view name, XmlNames table, uint8_t& out);

// "Scale" of the view and page settings: one or more digits followed by "%" and nothing
// else, the value in [min, max]; anything else, or a running value past 65,534, is 59.
bool GetPercentAttribute(CXmlReader& reader, uint16_t& out, uint16_t min, uint16_t max);

// The shortest text of at most 15 significant digits when it reads back as the same
// double, else 17 digits.
std::string XmlNumberText(double value);
// The shortest text of 6 to 9 significant digits that reads back as the same float.
std::string XmlFloatText(float value);

// Writes one element on one line: start tag with its attributes, the text, end tag.
void WriteXmlTextElement(CXmlWriter& writer, std::string_view name, std::string_view attributes,
                         std::string_view text, int level);
// Writes one element whose text is a number.
void WriteXmlNumberElement(CXmlWriter& writer, std::string_view name, int64_t value, int level);

} // namespace vl
