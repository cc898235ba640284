#include "render/canvas.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

int32_t Along(double factor, double length) {
    return int32_t(factor * length);
}

bool IsBreakCharacter(const RenderedItem& item) {
    return (item.kind & kFmtLiteral) &&
           (item.ch == ' ' || item.ch == '-' || item.ch == '.' || item.ch == ',');
}

// Inserts a literal line break at `at`, the later items moving up by one.
void InsertLineBreak(RenderedList& list, uint16_t at) {
    std::copy_backward(list.items + at, list.items + list.count, list.items + list.count + 1);
    list.items[at] = RenderedItem{kFmtLiteral, 0, '\n'};
    ++list.count;
    list.kinds |= kFmtLiteral;
    ++list.literalCount;
}

// Head items 0..last, "..." and the tail from `tail` on; the overflow flag tells a cut copy.
void BuildEllipsis(const RenderedList& source, int last, int tail, RenderedList& out) {
    out.Clear();
    out.hasColor = source.hasColor;
    out.color = source.color;
    auto copy = [&](int k) {
        return out.Add(source.items[k].kind, char(source.items[k].ch), source.items[k].attribute);
    };
    for (int k = 0; k <= last; ++k)
        if (!copy(k)) return;
    for (int k = 0; k < 3; ++k)
        if (!out.Add(kFmtLiteral, '.')) return;
    for (int k = tail; k < source.count; ++k)
        if (!copy(k)) return;
}

} // namespace

bool CCanvas::WrapText(RenderedList& list, int32_t width) {
    uint16_t start = 0;
    uint16_t i = 0;
    while (i < list.count) {
        int32_t w = 0, h = 0;
        if (!MeasureTextRun(list, w, h, start, uint16_t(i - start + 1))) return false;
        if (w <= width || i == start) {
            ++i;
            continue;
        }
        uint16_t at = i;
        for (uint16_t k = uint16_t(i - 1); k > start; --k) {
            if (IsBreakCharacter(list.items[k])) {
                at = uint16_t(k + 1);
                break;
            }
        }
        if (list.count >= kMaxRenderedCells) {
            list.overflow = 1;
            return false;
        }
        InsertLineBreak(list, at);
        start = uint16_t(at + 1);
        ++i;
    }
    return true;
}

bool CCanvas::EllipsizeText(RenderedList& list, int32_t width) {
    const int n = list.count;
    if (n < 2) return true;
    int last = n / 2; // the head keeps items 0..last
    int tail = n / 2; // the tail keeps items tail..n-1
    bool moveHead = true;
    RenderedList candidate;
    for (;;) {
        if (moveHead)
            last = std::max(last - 1, 0);
        else
            tail = std::min(tail + 1, n);
        moveHead = !moveHead;
        BuildEllipsis(list, last, tail, candidate);
        int32_t w = 0, h = 0;
        if (!MeasureTextRun(candidate, w, h, 0, kMaxRenderedCells)) return false;
        if (w <= width || (last == 0 && tail >= n)) break;
    }
    list = candidate;
    return true;
}

// The largest count of copies of `c` (at most 1,024) measuring narrower than `spare`,
// left in `run`. The count starts from the width of one copy and is then checked.
bool CCanvas::CountFillCopies(uint8_t c, int32_t spare, char* run, size_t& copies) {
    std::fill(run, run + kMaxRectText + 1, char(c));
    int32_t w = 0, h = 0;
    copies = 0;
    if (spare <= 0) return true;
    if (!MeasureText(std::string_view(run, 1), w, h)) return false;
    copies = w > 0 ? std::min<size_t>(size_t((spare - 1) / w), kMaxRectText) : kMaxRectText;
    while (copies > 0) {
        if (!MeasureText(std::string_view(run, copies), w, h)) return false;
        if (w < spare) break;
        --copies;
    }
    while (copies < kMaxRectText) {
        if (!MeasureText(std::string_view(run, copies + 1), w, h)) return false;
        if (w >= spare) break;
        ++copies;
    }
    return true;
}

bool CCanvas::PlaceRun(int32_t& x, int32_t& y, std::string_view text, int32_t width, double angle) {
    const double sine = std::sin(angle);
    const double cosine = std::cos(angle);
    auto advance = [&](double length) {
        x += Along(cosine, length);
        y -= Along(sine, length);
    };
    bool ok = true;
    if (align_.horizontal == kAlignRight) {
        advance(width);
        ok = DrawTextLines(x, y, text, angle);
    } else if (align_.horizontal == kAlignCenter) {
        advance(width * 0.5);
        ok = DrawTextLines(x, y, text, angle);
        advance(width * 0.5);
    } else {
        ok = DrawTextLines(x, y, text, angle);
        advance(width);
    }
    return ok;
}

bool CCanvas::DrawRotatedText(int32_t x, int32_t y, const RenderedList& list, int32_t width,
                              double angle) {
    if (!dc_) return false;
    int32_t w = 0, h = 0;
    if (!MeasureTextRun(list, w, h, 0, kMaxRenderedCells)) return false;
    const int32_t wide = std::max(w, width);
    int32_t fills = 0;
    for (uint16_t k = 0; k < list.count; ++k)
        if (list.items[k].kind & kFillCells) ++fills;
    const int32_t spare = fills ? (wide - w) / fills : 0;
    const int32_t drawn = fills ? wide : w;
    const double sine = std::sin(angle);
    const double cosine = std::cos(angle);
    if (align_.horizontal == kAlignRight) {
        x -= Along(cosine, drawn - 1);
        y += Along(sine, drawn);
    } else if (align_.horizontal == kAlignCenter) {
        x += Along(cosine, (drawn - 1) * -0.5);
        y += Along(sine, drawn * 0.5);
    }
    COLORREF previous = 0;
    if (list.hasColor) {
        previous = dc_->GetTextColor();
        SetTextColor(list.color);
    }
    bool ok = true;
    char run[kMaxRenderedCells];
    uint16_t k = 0;
    while (ok && k < list.count) {
        size_t length = 0;
        while (k < list.count && (list.items[k].kind & kDrawnCells))
            run[length++] = char(list.items[k++].ch);
        if (length) {
            const std::string_view text(run, length);
            int32_t rw = 0, rh = 0;
            ok = MeasureText(text, rw, rh) && PlaceRun(x, y, text, rw, angle);
        }
        if (!ok || k >= list.count) break;
        const RenderedItem& item = list.items[k++];
        const std::string_view one(reinterpret_cast<const char*>(&item.ch), 1);
        if (item.kind & kFillCells) {
            size_t copies = 0;
            if (!CountFillCopies(item.ch, spare, run, copies)) return false;
            if (copies) ok = PlaceRun(x, y, std::string_view(run, copies), spare, angle);
        } else if (item.kind & kWidthOnlyCells) {
            int32_t cw = 0, ch = 0;
            if (!MeasureText(one, cw, ch)) return false;
            x += Along(cosine, cw);
            y -= Along(sine, cw);
        }
    }
    if (list.hasColor) dc_->SetTextColor(previous);
    return ok;
}

} // namespace vl
