#pragma once
// The small vocabulary of a device context as the drawing code uses it: rectangles and
// points in device pixels, logical fonts, pens, brushes and bitmaps as values, and the
// codes of raster operations, text alignment and background modes.

#include "platform/core/muldiv.h"
#include "platform/core/screen.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QRawFont>
#include <cstdint>
#include <memory>
#include <string>

namespace vl {

// Left, top, right, bottom; whether right and bottom are inside depends on the caller.
struct DcRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct DcPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct DcSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

// Raster operations of PatBlt.
constexpr uint32_t PATCOPY = 0x00F00021;
constexpr uint32_t PATINVERT = 0x005A0049;
constexpr uint32_t DSTINVERT = 0x00550009;

// Text alignment: horizontal in bits 1-2, vertical reference in bits 3-4.
constexpr uint32_t TA_LEFT = 0;
constexpr uint32_t TA_RIGHT = 2;
constexpr uint32_t TA_CENTER = 6;
constexpr uint32_t TA_TOP = 0;
constexpr uint32_t TA_BASELINE = 24;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Pen styles.
constexpr uint32_t PS_SOLID = 0;
constexpr uint32_t PS_DASH = 1;
constexpr uint32_t PS_DOT = 2;
constexpr uint32_t PS_DASHDOT = 3;
constexpr uint32_t PS_DASHDOTDOT = 4;
constexpr uint32_t PS_NULL = 5;

// Font weights, families and character sets as logical fonts carry them.
constexpr int32_t FW_THIN = 100;
constexpr int32_t FW_NORMAL = 400;
constexpr int32_t FW_BOLD = 700;
constexpr int32_t FW_HEAVY = 900;
constexpr uint8_t FF_DONTCARE = 0x00;
constexpr uint8_t FF_ROMAN = 0x10;
constexpr uint8_t FF_SWISS = 0x20;
constexpr uint8_t FF_MODERN = 0x30;
constexpr uint8_t FF_SCRIPT = 0x40;
constexpr uint8_t FF_DECORATIVE = 0x50;
constexpr uint8_t DEFAULT_CHARSET = 1;

struct LogFont {
    int32_t height = 0;     // negative: the character height in pixels
    int32_t escapement = 0; // tenths of a degree, counter-clockwise
    int32_t weight = FW_NORMAL;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = DEFAULT_CHARSET;
    uint8_t pitchAndFamily = FF_DONTCARE;
    std::string faceName; // Windows-1252, any length
};

// A created font: the logical font with the Qt font and metrics made from it once.
class DcFont {
public:
    DcFont() = default;
    static DcFont Create(const LogFont& log);

    explicit operator bool() const { return data_ != nullptr; }
    // Copies of one created font share their identity.
    const void* Id() const { return data_.get(); }
    const LogFont& Log() const { return data_->log; }
    const QFont& Font() const { return data_->font; }
    const QFontMetrics& Metrics() const { return data_->metrics; }
    // The advance of one Windows-1252 character; a line's width is the sum of its
    // characters' advances, as the font is drawn without kerning.
    int Advance(uint8_t c) const;
    // The font's glyphs as they are, without shaping, ligatures or kerning.
    const QRawFont& Raw() const;

private:
    static DcFont Make(const LogFont& log);

    struct Data {
        LogFont log;
        QFont font;
        QFontMetrics metrics;
        mutable int16_t advances[256]; // -1 until asked for
        mutable QRawFont raw;          // made when first drawn
    };
    std::shared_ptr<const Data> data_;
};

bool operator==(const LogFont& a, const LogFont& b);

struct DcPen {
    uint32_t style = PS_SOLID;
    int32_t width = 0; // 0 and 1: one-pixel cosmetic lines
    COLORREF color = 0;
};

struct DcBrush {
    enum Kind : uint8_t { kNull, kSolid, kPattern };
    Kind kind = kSolid;
    COLORREF color = 0;
    std::shared_ptr<const QImage> pattern; // the tile of a pattern brush
};

// A bitmap selected into a memory context; shared like a handle.
using DcBitmap = std::shared_ptr<QImage>;

inline QColor ToQColor(COLORREF c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

} // namespace vl

namespace vl {} // namespace vl
