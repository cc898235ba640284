#include "platform/core/cp1252.h"
#include "platform/gui/gdi.h"

#include <QString>
#include <algorithm>
#include <cstdlib>

namespace vl {

namespace {

QString FaceToQString(const std::string& face) {
    QString out;
    out.reserve(int(face.size()));
    for (char c : face) out.append(QChar(char16_t(Cp1252ToCodePoint(uint8_t(c)))));
    return out;
}

bool EqualsNoCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return i == a.size() && !b[i];
}

QFont::StyleHint HintOf(uint8_t pitchAndFamily) {
    switch (pitchAndFamily & 0xF0) {
    case FF_ROMAN:
        return QFont::Serif;
    case FF_SWISS:
        return QFont::SansSerif;
    case FF_MODERN:
        return QFont::TypeWriter;
    case FF_SCRIPT:
        return QFont::Cursive;
    case FF_DECORATIVE:
        return QFont::Decorative;
    default:
        return QFont::AnyStyle;
    }
}

} // namespace

DcFont DcFont::Create(const LogFont& log) {
    // "Arial" is drawn with the font of the same metrics that the system carries.
    QFont font(EqualsNoCase(log.faceName, "Arial") ? QStringLiteral("Liberation Sans")
                                                   : FaceToQString(log.faceName));
    // A height that comes to 0 is the smallest font there is, not a default-sized one.
    font.setPixelSize(std::max(1, std::abs(log.height)));
    font.setWeight(QFont::Weight(std::clamp(log.weight, 1, 1000)));
    font.setItalic(log.italic != 0);
    font.setUnderline(log.underline != 0);
    font.setStrikeOut(log.strikeOut != 0);
    font.setKerning(false);
    font.setStyleHint(HintOf(log.pitchAndFamily), QFont::NoAntialias);
    DcFont out;
    out.data_ = std::make_shared<const Data>(Data{log, font, QFontMetrics(font)});
    return out;
}

} // namespace vl
