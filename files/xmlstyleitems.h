#pragma once
// The small elements that styles, page headers, containers and charts share: a font, a
// font with its own colour, a reference into the font table, a border line, a fill, and a
// number format. Each reader works on the tag the caller has just read with its attributes
// (the number-format reader reads its own element); an absent attribute leaves its field as
// the caller set it unless a default is named. Each writer writes one element.

#include "files/xmlreader.h"
#include "files/xmlwriter.h"
#include "model/styles.h"

#include <string_view>

namespace vl {

bool ReadXmlFont(CXmlReader& reader, FontRecord& font);
bool ReadXmlColoredFont(CXmlReader& reader, ColoredFont& font);
// "FontID" must name a font the table already holds.
bool ReadXmlFontRef(CXmlReader& reader, const StyleTables& tables, FontRef& ref);
bool ReadXmlBorder(CXmlReader& reader, BorderLine& line);
bool ReadXmlInterior(CXmlReader& reader, InteriorFill& fill);
// An optional "NumberFormat" element at the reader's position; when it is absent nothing
// but whitespace and comments is consumed and the record is unchanged.
bool ReadXmlNumberFormat(CXmlReader& reader, StandardFormat& format);

// The colours a fill or a line read without them gets (their flags stay as they were): a
// loaded record is given these so that it reads back alike.
void SetUnwrittenFillColors(InteriorFill& fill);
void SetUnwrittenLineColor(BorderLine& line);

// The same readers under the names the element descriptions give them.
inline bool ReadXmlColorFont(CXmlReader& reader, ColoredFont& font) {
    return ReadXmlColoredFont(reader, font);
}
inline bool ReadXmlFillPattern(CXmlReader& reader, InteriorFill& fill) {
    return ReadXmlInterior(reader, fill);
}
inline bool ReadXmlBorderLine(CXmlReader& reader, BorderLine& line) {
    return ReadXmlBorder(reader, line);
}

// The attributes of a font (without "ID" or "Color").
void AppendXmlFontAttributes(XmlAttributeText& text, const FontRecord& font);
// "Font" of the font table, with its "ID".
void WriteXmlFont(CXmlWriter& writer, const FontRecord& font, int id, int level);
void WriteXmlColorFont(CXmlWriter& writer, const ColoredFont& font, int level);
void WriteXmlFillPattern(CXmlWriter& writer, const InteriorFill& fill, int level);
// An empty element of the given name carrying one line.
void WriteXmlBorderLine(CXmlWriter& writer, std::string_view name, const BorderLine& line,
                        int level);
void WriteXmlNumberFormat(CXmlWriter& writer, const StandardFormat& format, int level);

} // namespace vl
