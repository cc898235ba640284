#include "render/canvas.h"
#include "values/numfmt_date.h"

#include <cmath>

namespace vl {

namespace {

// A product of a trigonometric value and a length, truncated toward zero.
int32_t Along(double factor, double length) {
    return int32_t(factor * length);
}

// The next line of a text from `pos`: its characters, and past its break. `pairs` joins
// LF CR into one break as well as CR LF.
std::string_view NextLine(std::string_view text, size_t& pos, bool& broke, bool pairs) {
    const size_t start = pos;
    while (pos < text.size() && text[pos] != '\r' && text[pos] != '\n') ++pos;
    std::string_view line = text.substr(start, pos - start);
    broke = pos < text.size();
    if (broke) {
        const char first = text[pos++];
        if (pos < text.size() &&
            ((first == '\r' && text[pos] == '\n') || (pairs && first == '\n' && text[pos] == '\r')))
            ++pos;
    }
    return line;
}

} // namespace

bool CCanvas::MeasureText(std::string_view text, int32_t& width, int32_t& height) {
    width = height = 0;
    if (!dc_) return false;
    int32_t emptyLines = 0;
    size_t pos = 0;
    bool broke = true;
    while (broke) {
        std::string_view line = NextLine(text, pos, broke, false);
        if (line.empty()) {
            ++emptyLines;
            continue;
        }
        DcSize size;
        if (!dc_->GetTextExtent(line, size)) return false;
        width = std::max(width, size.cx);
        height += size.cy;
    }
    if (emptyLines) {
        DcSize size;
        if (!dc_->GetTextExtent("X", size)) return false;
        height += emptyLines * size.cy;
    }
    return true;
}

bool CCanvas::MeasureTextRun(const RenderedList& list, int32_t& width, int32_t& height,
                             uint16_t first, uint16_t count) {
    char text[kMaxRenderedCells];
    size_t length = 0;
    const uint16_t end = first < list.count
                             ? uint16_t(first + std::min<uint32_t>(count, list.count - first))
                             : first;
    for (uint16_t k = first; k < end; ++k)
        if (list.items[k].kind & kMeasuredCells) text[length++] = char(list.items[k].ch);
    return MeasureText(std::string_view(text, length), width, height);
}

bool CCanvas::DrawTextLines(int32_t x, int32_t y, std::string_view text, double angle) {
    if (!dc_) return false;
    const double sine = std::sin(angle);
    const double cosine = std::cos(angle);
    if (align_.vertical == kAlignMiddle || align_.vertical == kAlignBottom) {
        int32_t w = 0, h = 0;
        if (!MeasureText(text, w, h)) return false;
        if (align_.vertical == kAlignMiddle) {
            x += Along(sine, h * -0.5);
            y += Along(cosine, h * -0.5);
        } else {
            x -= Along(sine, h);
            y -= Along(cosine, h);
        }
    }
    size_t pos = 0;
    bool broke = true;
    while (broke && pos <= text.size()) {
        std::string_view line = NextLine(text, pos, broke, true);
        if (!line.empty() && !dc_->TextOut(x, y, line)) return false;
        if (!broke) break;
        DcSize size;
        if (!dc_->GetTextExtent(line.empty() ? std::string_view("X") : line, size)) return false;
        x += Along(sine, size.cy);
        y += Along(cosine, size.cy);
    }
    return true;
}

bool CCanvas::DrawTextInRect(int32_t x, int32_t y, std::string_view text,
                             std::string_view formatCode, int32_t width, double angle) {
    if (!formatCode.empty() && text.size() <= kMaxRectText) {
        RenderedList list;
        if (FormatDateTimeValue(list, text, formatCode, &UserSeparators()))
            return DrawRotatedText(x, y, list, width, angle);
    }
    // Plain text goes through a buffer of 1,024 characters.
    return DrawTextLines(x, y, text.substr(0, kMaxRectText), angle);
}

} // namespace vl
