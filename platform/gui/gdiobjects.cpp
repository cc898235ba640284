#include "platform/core/cp1252.h"
#include "platform/gui/gdi.h"

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <vector>

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

bool operator==(const LogFont& a, const LogFont& b) {
    return a.height == b.height && a.escapement == b.escapement && a.weight == b.weight &&
           a.italic == b.italic && a.underline == b.underline && a.strikeOut == b.strikeOut &&
           a.charSet == b.charSet && a.pitchAndFamily == b.pitchAndFamily &&
           a.faceName == b.faceName;
}

int DcFont::Advance(uint8_t c) const {
    int16_t& advance = data_->advances[c];
    if (advance < 0)
        advance = int16_t(data_->metrics.horizontalAdvance(QChar(char16_t(Cp1252ToCodePoint(c)))));
    return advance;
}

const QRawFont& DcFont::Raw() const {
    // The glyphs are drawn from their outlines as designed: hinted for one-bit drawing, round
    // glyphs grow to their whole advance (a "0" of 13 pixels touched the next one). The
    // advances stay the hinted whole pixels that measuring adds up, and place every glyph.
    if (!data_->raw.isValid()) {
        QFont drawn = data_->font;
        drawn.setHintingPreference(QFont::PreferNoHinting);
        data_->raw = QRawFont::fromFont(drawn);
    }
    return data_->raw;
}

DcFont DcFont::Create(const LogFont& log) {
    // Painting switches between a few fonts cell by cell; the ones made last are kept, so
    // that switching back costs no new Qt font. Fonts are made on the user-interface
    // thread only.
    static std::vector<DcFont> recent;
    constexpr size_t kKept = 32;
    for (size_t i = 0; i < recent.size(); ++i) {
        if (recent[i].Log() == log) {
            DcFont found = recent[i];
            recent.erase(recent.begin() + ptrdiff_t(i));
            recent.push_back(found);
            return found;
        }
    }
    DcFont made = Make(log);
    if (recent.size() >= kKept) recent.erase(recent.begin());
    recent.push_back(made);
    return made;
}

DcFont DcFont::Make(const LogFont& log) {
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
    // Whole-pixel advances, so that a line is as wide as its characters added up.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleHint(HintOf(log.pitchAndFamily), QFont::NoAntialias);
    DcFont out;
    auto data = std::make_shared<Data>(Data{log, font, QFontMetrics(font), {}, QRawFont()});
    std::fill(std::begin(data->advances), std::end(data->advances), int16_t(-1));
    out.data_ = std::move(data);
    return out;
}

} // namespace vl
