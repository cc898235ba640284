#include "platform/core/cp1252.h"
#include "platform/gui/devicecontext.h"

#include <QString>

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
    size.cx = text.empty() ? 0 : metrics.horizontalAdvance(ToQString(text));
    size.cy = metrics.ascent() + metrics.descent();
    return true;
}

bool CDeviceContext::TextOut(int32_t x, int32_t y, std::string_view text) {
    if (!painter_) return false;
    if (text.empty()) return true;
    const QString string = ToQString(text);
    const QFontMetrics& metrics = state_.font.Metrics();
    const int width = metrics.horizontalAdvance(string);
    const int ascent = metrics.ascent();
    const uint32_t align = state_.textAlign;
    // Offsets of the text's left edge and baseline from the reference point.
    int dx = 0;
    if ((align & TA_CENTER) == TA_CENTER)
        dx = -width / 2;
    else if ((align & TA_CENTER) == TA_RIGHT)
        dx = -width;
    const int dy = (align & TA_BASELINE) == TA_BASELINE ? 0 : ascent;

    painter_->save();
    painter_->translate(x, y);
    if (state_.font.Log().escapement != 0) painter_->rotate(-state_.font.Log().escapement / 10.0);
    if (state_.bkMode == OPAQUE)
        painter_->fillRect(QRect(dx, dy - ascent, width, ascent + metrics.descent()),
                           ToQColor(state_.bkColor));
    painter_->setFont(state_.font.Font());
    painter_->setPen(ToQColor(state_.textColor));
    painter_->drawText(QPoint(dx, dy), string);
    painter_->restore();
    return true;
}

} // namespace vl
