// Element text: collecting the character data up to the next tag and decoding it.

#include "files/xmlreader.h"
#include "files/xmltext.h"

namespace vl {

namespace {

bool IsXmlSpace(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Every decoded byte takes at most six bytes of the file ("&quot;", "&#x41;"), so a text
// whose decoded form fits `maximum` never needs more.
std::size_t RawLimit(std::size_t maximum) {
    return 6 * maximum + 6;
}

} // namespace

bool CXmlReader::CollectText(std::size_t rawLimit, bool verbatim) {
    raw_.clear();
    if (textCut_) return Fail(kErrorXmlData);
    if (!verbatim) SkipWhitespace();
    bool blank = false;
    for (int c = Peek(); c >= 0; c = Peek()) {
        if (c == '<') {
            if (!LooksAt("<!--")) break;
            if (!SkipComments(!verbatim)) return false;
            continue;
        }
        Advance();
        if (!verbatim && IsXmlSpace(c)) {
            blank = true;
            continue;
        }
        if (blank) {
            raw_ += ' ';
            blank = false;
        }
        raw_ += char(c);
        if (raw_.size() > rawLimit) return Fail(kErrorXmlData);
    }
    return true;
}

bool CXmlReader::ReadContent(std::size_t maximum, bool verbatim) {
    if (error_) return false;
    text_.clear();
    if (!CollectText(RawLimit(maximum), verbatim)) return false;
    const uint32_t before = lost_;
    return Check(DecodeXmlText(raw_, Utf8(), maximum, text_, &lost_)) && CheckLost(before);
}

bool CXmlReader::ReadElementBytes(std::string_view name, std::size_t maximum, uint8_t flags) {
    if (!ReadNextTag(name, uint8_t(flags | kXmlStart))) return false;
    text_.clear();
    if (isEnd_) return true;
    if (error_ || !CollectText(RawLimit(maximum), true)) return false;
    return Check(DecodeXmlText(raw_, false, maximum, text_)) && ReadNextTag(name, kXmlEnd);
}

bool CXmlReader::ReadElementText(std::string_view name, std::size_t maximum, uint8_t flags,
                                 bool verbatim) {
    if (!ReadNextTag(name, uint8_t(flags | kXmlStart))) return false;
    text_.clear();
    if (isEnd_) return true;
    return ReadContent(maximum, verbatim) && ReadNextTag(name, kXmlEnd);
}

} // namespace vl
