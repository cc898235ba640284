#pragma once
// The small records of fonts, lines, fills and backgrounds that styles, worksheets, charts and
// containers share. The binary workbook form stores them byte for byte, so each has a fixed
// size and explicit little-endian Read/Write functions; the in-memory structs are plain values.

#include "core/fontrecord.h"
#include "platform/core/screen.h"
#include "values/standardformat.h"

#include <cstdint>

namespace vl {

enum LINE_TYPES : uint8_t {
    FORMAT_LINE_NULL = 0,
    FORMAT_LINE_SOLID = 1,
    FORMAT_LINE_DOT = 2,
    FORMAT_LINE_DASH = 3,
    FORMAT_LINE_DASH_DOT = 4,
    FORMAT_LINE_DASH_DOTDOT = 5,
    FORMAT_LINE_SOLID_1 = 6,
    FORMAT_LINE_SOLID_2 = 7,
    FORMAT_LINE_SOLID_3 = 8,
    FORMAT_LINE_DOUBLE = 9,
};

enum PATTERN_TYPES : uint8_t {
    FORMAT_PAT_NONE = 0,
    FORMAT_PAT_SOLID = 1,
    FORMAT_PAT_GRAY125 = 2,
    FORMAT_PAT_GRAY75 = 3,
    FORMAT_PAT_GRAY50 = 4,
    FORMAT_PAT_GRAY25 = 5,
    FORMAT_PAT_GRAY0625 = 6,
    FORMAT_PAT_HSTRIPE = 7,
    FORMAT_PAT_VSTRIPE = 8,
    FORMAT_PAT_RDSTRIPE = 9,
    FORMAT_PAT_DSTRIPE = 10,
    FORMAT_PAT_DCROSS = 11,
    FORMAT_PAT_THICK_DCROSS = 12,
    FORMAT_PAT_THIN_HSTRIPE = 13,
    FORMAT_PAT_THIN_VSTRIPE = 14,
    FORMAT_PAT_THIN_RDSTRIPE = 15,
    FORMAT_PAT_THIN_DSTRIPE = 16,
    FORMAT_PAT_THIN_HCROSS = 17,
    FORMAT_PAT_THIN_DCROSS = 18,
    FORMAT_PAT_GRAD_VERT = 19,
    FORMAT_PAT_GRAD_HORZ = 20,
    FORMAT_PAT_SYM_GRAD_VERT = 21,
    FORMAT_PAT_SYM_GRAD_HORZ = 22,
};

struct BorderLine {
    uint8_t style = FORMAT_LINE_NULL;
    uint8_t colorGiven = 0;
    COLORREF color = 0;
};

struct InteriorFill {
    uint8_t pattern = FORMAT_PAT_NONE;
    uint8_t patternColorGiven = 0;
    COLORREF patternColor = 0;
    uint8_t backgroundColorGiven = 0;
    COLORREF backgroundColor = 0;
};

struct FontRef {
    uint8_t fontIndex = 0;
    uint8_t colorGiven = 0;
    COLORREF color = 0;
};

struct ColoredFont {
    FontRecord font;
    uint8_t colorGiven = 0;
    COLORREF color = 0;
};

constexpr int kImagePathSize = 256;

enum BackgroundKind : uint8_t {
    kBackgroundPattern = 1,
    kBackgroundImage = 2,
    kBackgroundFractal = 3,
};

struct BackgroundRecord {
    uint8_t kind = kBackgroundPattern;
    InteriorFill pattern;
    char imagePath[kImagePathSize] = {};
    uint8_t imageView = 0; // 0 default, 1 fit to window size, 2 wallpaper
    double zr = 0, zi = 0;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    COLORREF fractalColors[16] = {};
};

// Sizes of the stored forms.
constexpr uint32_t kFontRecordSize = 135;
constexpr uint32_t kBorderLineSize = 8;
constexpr uint32_t kInteriorFillSize = 16;
constexpr uint32_t kFontRefSize = 8;
constexpr uint32_t kColoredFontSize = 140;
constexpr uint32_t kBackgroundRecordSize = 392;

// Write functions fill exactly the record's size, reserved bytes zero; Read functions take
// exactly that many bytes. A text field read without a NUL is cut at the field's end.
void WriteFontRecord(uint8_t* p, const FontRecord& r);
void ReadFontRecord(const uint8_t* p, FontRecord& r);
void WriteBorderLine(uint8_t* p, const BorderLine& r);
void ReadBorderLine(const uint8_t* p, BorderLine& r);
void WriteInteriorFill(uint8_t* p, const InteriorFill& r);
void ReadInteriorFill(const uint8_t* p, InteriorFill& r);
void WriteFontRef(uint8_t* p, const FontRef& r);
void ReadFontRef(const uint8_t* p, FontRef& r);
void WriteColoredFont(uint8_t* p, const ColoredFont& r);
void ReadColoredFont(const uint8_t* p, ColoredFont& r);
void WriteBackgroundRecord(uint8_t* p, const BackgroundRecord& r);
void ReadBackgroundRecord(const uint8_t* p, BackgroundRecord& r);

// A fixed text field: `size` bytes, the text NUL-terminated inside it.
void WriteTextField(uint8_t* p, const char* text, uint32_t size);
void ReadTextField(const uint8_t* p, char* text, uint32_t size);
// Copies a text into a field of `size` bytes, cut to size - 1 characters.
void CopyTextField(char* field, const char* text, uint32_t size);

bool FontRecordEquals(const FontRecord& record, const FontRecord& candidate);

// The default font: face "Arial" (or the face the settings profile names), 10 points, every
// other byte 0.
const FontRecord& DefaultFontRecord();
void SetDefaultFont(FontRecord& out);
void SetDefaultFontFace(const char* face);

} // namespace vl
