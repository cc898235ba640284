#include "platform/core/cp1252.h"
#include "platform/gui/devicecontext.h"

#include <QGlyphRun>
#include <QString>
#include <QTransform>

namespace vl {

namespace {

// Windows-1252 bytes as the characters they stand for; never through a Latin-1 reading.
QString ToQString(std::string_view text) {
    QString out(qsizetype(text.size()), Qt::Uninitialized);
    QChar* p = out.data();
    for (char c : text) *p++ = QChar(char16_t(Cp1252ToCodePoint(uint8_t(c))));
    return out;
}

} // namespace

bool CDeviceContext::GetTextExtent(std::string_view text, DcSize& size) {
    const QFontMetrics& metrics = state_.font.Metrics();
    size.cx = 0;
    for (char c : text) size.cx += state_.font.Advance(uint8_t(c));
    size.cy = metrics.ascent() + metrics.descent();
    return true;
}

bool CDeviceContext::TextOut(int32_t x, int32_t y, std::string_view text) {
    if (!painter_) return false;
    if (text.empty()) return true;
    const QFontMetrics& metrics = state_.font.Metrics();
    DcSize extent;
    GetTextExtent(text, extent);
    const int width = extent.cx;
    const int ascent = metrics.ascent();
    const uint32_t align = state_.textAlign;
    // Offsets of the text's left edge and baseline from the reference point.
    int dx = 0;
    if ((align & TA_CENTER) == TA_CENTER)
        dx = -width / 2;
    else if ((align & TA_CENTER) == TA_RIGHT)
        dx = -width;
    const int dy = (align & TA_BASELINE) == TA_BASELINE ? 0 : ascent;

    // The transform alone changes; saving the painter's whole state would copy its font.
    QTransform transform = QTransform::fromTranslate(x, y);
    if (state_.font.Log().escapement != 0) transform.rotate(-state_.font.Log().escapement / 10.0);
    painter_->setTransform(transform);
    if (state_.bkMode == OPAQUE)
        painter_->fillRect(QRect(dx, dy - ascent, width, ascent + metrics.descent()),
                           ToQColor(state_.bkColor));
    painter_->setPen(ToQColor(state_.textColor));
    penApplied_ = false;
    painter_->drawGlyphRun(QPointF(dx, dy), GlyphRun(text));
    painter_->resetTransform();
    return true;
}

// The characters' glyphs one after another at their advances, as measured.
QGlyphRun CDeviceContext::GlyphRun(std::string_view text) const {
    const DcFont& font = state_.font;
    const QRawFont& raw = font.Raw();
    QList<quint32> glyphs = raw.glyphIndexesForString(ToQString(text));
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    int x = 0;
    for (qsizetype i = 0; i < glyphs.size() && i < qsizetype(text.size()); ++i) {
        positions.append(QPointF(x, 0));
        x += font.Advance(uint8_t(text[size_t(i)]));
    }
    glyphs.resize(positions.size());
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    run.setUnderline(font.Log().underline != 0);
    run.setStrikeOut(font.Log().strikeOut != 0);
    return run;
}

} // namespace vl
