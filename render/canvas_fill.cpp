#include "render/canvas.h"

#include <algorithm>

namespace vl {

namespace {

// Eight rows a tile, leftmost pixel in the high bit; a set bit shows the background colour.
const uint8_t kTiles[17][8] = {
    {0x11, 0x44, 0x11, 0x44, 0x11, 0x44, 0x11, 0x44}, // 2 gray 12.5 %
    {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}, // 3 gray 75 %
    {0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD}, // 4 gray 50 %
    {0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF}, // 5 gray 25 %
    {0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF}, // 6 gray 6.25 %
    {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF}, // 7 horizontal stripe
    {0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33}, // 8 vertical stripe
    {0x33, 0x99, 0xCC, 0x66, 0x33, 0x99, 0xCC, 0x66}, // 9 reverse diagonal stripe
    {0x33, 0x66, 0xCC, 0x99, 0x33, 0x66, 0xCC, 0x99}, // 10 diagonal stripe
    {0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC}, // 11 diagonal crosshatch
    {0x00, 0x33, 0x00, 0xCC, 0x00, 0x33, 0x00, 0xCC}, // 12 thick diagonal crosshatch
    {0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF}, // 13 thin horizontal stripe
    {0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77}, // 14 thin vertical stripe
    {0x77, 0xBB, 0xDD, 0xEE, 0x77, 0xBB, 0xDD, 0xEE}, // 15 thin reverse diagonal stripe
    {0x77, 0xEE, 0xDD, 0xBB, 0x77, 0xEE, 0xDD, 0xBB}, // 16 thin diagonal stripe
    {0x00, 0x77, 0x77, 0x77, 0x00, 0x77, 0x77, 0x77}, // 17 thin horizontal crosshatch
    {0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55, 0xEE}, // 18 thin diagonal crosshatch
};

bool IsGradient(uint8_t code) {
    return code >= FORMAT_PAT_GRAD_VERT && code <= FORMAT_PAT_SYM_GRAD_HORZ;
}

// The tile at s x s pixels a tile pixel.
std::shared_ptr<const QImage> MakePatternImage(const uint8_t* tile, COLORREF pattern,
                                               COLORREF background, int s) {
    auto image = std::make_shared<QImage>(8 * s, 8 * s, QImage::Format_RGB32);
    if (image->isNull()) return nullptr;
    const QRgb fore = ToQColor(pattern).rgb();
    const QRgb back = ToQColor(background).rgb();
    for (int y = 0; y < 8 * s; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image->scanLine(y));
        for (int x = 0; x < 8 * s; ++x) line[x] = (tile[y / s] & (0x80 >> (x / s))) ? back : fore;
    }
    return image;
}

} // namespace

const uint8_t* FillPatternTile(uint8_t code) {
    if (code < FORMAT_PAT_GRAY125 || code > FORMAT_PAT_THIN_DCROSS) return nullptr;
    return kTiles[code - FORMAT_PAT_GRAY125];
}

int CCanvas::PatternScale() const {
    if (!print_ || preview_ || !dc_) return 1;
    const int across = dc_->LogPixelsX() / pixelsX_;
    const int down = dc_->LogPixelsY() / pixelsY_;
    return std::max({1, across, down});
}

bool CCanvas::SelectFillPattern(uint8_t code, COLORREF patternColor, COLORREF backgroundColor) {
    if (!dc_) return false;
    if (brush_.created) dc_->SelectBrush(brush_.initial);
    brush_.created = false;
    if (!brush_.saved) {
        brush_.initial = dc_->CurrentBrush();
        brush_.saved = true;
    }
    DcBrush brush;
    if (code == FORMAT_PAT_NONE) {
        brush.kind = DcBrush::kNull;
    } else if (code == FORMAT_PAT_SOLID || IsGradient(code)) {
        brush = {DcBrush::kSolid, patternColor, nullptr};
    } else if (const uint8_t* tile = FillPatternTile(code)) {
        brush = {DcBrush::kPattern, patternColor,
                 MakePatternImage(tile, patternColor, backgroundColor, PatternScale())};
        // A brush whose bitmap cannot be had paints in the pattern colour.
        if (!brush.pattern) brush.kind = DcBrush::kSolid;
    } else {
        return false;
    }
    SelectBrush(brush);
    patternCode_ = code;
    patternColor_ = patternColor;
    backgroundColor_ = backgroundColor;
    return true;
}

bool CCanvas::SelectFill(const InteriorFill& fill) {
    const COLORREF window = GetSystemColor(kColorWindow);
    return SelectFillPattern(fill.pattern, fill.patternColorGiven ? fill.patternColor : window,
                             fill.backgroundColorGiven ? fill.backgroundColor : window);
}

// The gradient of the current pattern over the rectangle; `extra` is 1 when the far
// vertices lie one past right and bottom, 0 when on them.
bool CCanvas::FillGradient(const DcRect& r, int32_t extra) {
    const int32_t right = r.right + extra;
    const int32_t bottom = r.bottom + extra;
    const COLORREF a = patternColor_;
    const COLORREF b = backgroundColor_;
    switch (patternCode_) {
    case FORMAT_PAT_GRAD_VERT:
        return dc_->GradientFillRect(r.left, r.top, right, bottom, a, b, true);
    case FORMAT_PAT_GRAD_HORZ:
        return dc_->GradientFillRect(r.left, r.top, right, bottom, a, b, false);
    case FORMAT_PAT_SYM_GRAD_VERT: {
        const int32_t middle = (r.top + r.bottom) / 2;
        dc_->GradientFillRect(r.left, r.top, right, middle, a, b, true);
        return dc_->GradientFillRect(r.left, middle, right, bottom, b, a, true);
    }
    default: {
        const int32_t middle = (r.left + r.right) / 2;
        dc_->GradientFillRect(r.left, r.top, middle, bottom, a, b, false);
        return dc_->GradientFillRect(middle, r.top, right, bottom, b, a, false);
    }
    }
}

bool CCanvas::FillRect(const DcRect& rect, uint32_t rop) {
    if (!dc_) return false;
    if (brush_.created && IsGradient(patternCode_)) return FillGradient(rect, 1);
    return dc_->PatBlt(rect.left, rect.top, rect.right - rect.left + 1, rect.bottom - rect.top + 1,
                       rop ? rop : PATCOPY);
}

bool CCanvas::FillRectWithPattern(const DcRect& rect) {
    if (!dc_) return false;
    bool ok = brush_.created && IsGradient(patternCode_)
                  ? FillGradient(rect, 0)
                  : dc_->PatBlt(rect.left, rect.top, rect.right - rect.left + 1,
                                rect.bottom - rect.top + 1, PATCOPY);
    const DcPoint frame[6] = {{rect.left, rect.top},    {rect.left, rect.top},
                              {rect.right, rect.top},   {rect.right, rect.bottom},
                              {rect.left, rect.bottom}, {rect.left, rect.top}};
    dc_->MoveTo(frame[0].x, frame[0].y);
    for (int i = 1; i < 6; ++i) ok = dc_->LineTo(frame[i].x, frame[i].y) && ok;
    return ok;
}

} // namespace vl
