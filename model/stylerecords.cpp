#include "model/stylerecords.h"

#include "platform/core/bytes.h"

#include <cstring>

namespace vl {

void WriteTextField(uint8_t* p, const char* text, uint32_t size) {
    std::memset(p, 0, size);
    uint32_t n = 0;
    while (n + 1 < size && text[n]) ++n;
    std::memcpy(p, text, n);
}

void ReadTextField(const uint8_t* p, char* text, uint32_t size) {
    std::memcpy(text, p, size);
    text[size - 1] = 0;
}

void CopyTextField(char* field, const char* text, uint32_t size) {
    uint32_t n = 0;
    while (n + 1 < size && text[n]) ++n;
    std::memcpy(field, text, n);
    std::memset(field + n, 0, size - n);
}

void WriteFontRecord(uint8_t* p, const FontRecord& r) {
    WriteTextField(p, r.faceName, kFaceNameSize);
    p[128] = r.family;
    p[129] = r.size;
    p[130] = r.weight;
    p[131] = r.italic;
    p[132] = r.underline;
    p[133] = r.strikeout;
    p[134] = r.charSet;
}

void ReadFontRecord(const uint8_t* p, FontRecord& r) {
    ReadTextField(p, r.faceName, kFaceNameSize);
    r.family = p[128];
    r.size = p[129];
    r.weight = p[130];
    r.italic = p[131];
    r.underline = p[132];
    r.strikeout = p[133];
    r.charSet = p[134];
}

// Line and font reference share one shape: a code byte, a flag, two reserved bytes, a colour.
static void WriteCodeFlagColor(uint8_t* p, uint8_t code, uint8_t flag, COLORREF color) {
    p[0] = code;
    p[1] = flag;
    p[2] = p[3] = 0;
    StoreU32(p + 4, color);
}

void WriteBorderLine(uint8_t* p, const BorderLine& r) {
    WriteCodeFlagColor(p, r.style, r.colorGiven, r.color);
}

void ReadBorderLine(const uint8_t* p, BorderLine& r) {
    r.style = p[0];
    r.colorGiven = p[1];
    r.color = LoadU32(p + 4);
}

void WriteFontRef(uint8_t* p, const FontRef& r) {
    WriteCodeFlagColor(p, r.fontIndex, r.colorGiven, r.color);
}

void ReadFontRef(const uint8_t* p, FontRef& r) {
    r.fontIndex = p[0];
    r.colorGiven = p[1];
    r.color = LoadU32(p + 4);
}

void WriteInteriorFill(uint8_t* p, const InteriorFill& r) {
    WriteCodeFlagColor(p, r.pattern, r.patternColorGiven, r.patternColor);
    p[8] = r.backgroundColorGiven;
    p[9] = p[10] = p[11] = 0;
    StoreU32(p + 12, r.backgroundColor);
}

void ReadInteriorFill(const uint8_t* p, InteriorFill& r) {
    r.pattern = p[0];
    r.patternColorGiven = p[1];
    r.patternColor = LoadU32(p + 4);
    r.backgroundColorGiven = p[8];
    r.backgroundColor = LoadU32(p + 12);
}

void WriteColoredFont(uint8_t* p, const ColoredFont& r) {
    WriteFontRecord(p, r.font);
    p[135] = r.colorGiven;
    StoreU32(p + 136, r.color);
}

void ReadColoredFont(const uint8_t* p, ColoredFont& r) {
    ReadFontRecord(p, r.font);
    r.colorGiven = p[135];
    r.color = LoadU32(p + 136);
}

void WriteBackgroundRecord(uint8_t* p, const BackgroundRecord& r) {
    std::memset(p, 0, kBackgroundRecordSize);
    p[0] = r.kind;
    WriteInteriorFill(p + 4, r.pattern);
    WriteTextField(p + 20, r.imagePath, kImagePathSize);
    p[276] = r.imageView;
    const double values[6] = {r.zr, r.zi, r.minX, r.maxX, r.minY, r.maxY};
    for (int i = 0; i < 6; ++i) StoreF64(p + 280 + 8 * i, values[i]);
    for (int i = 0; i < 16; ++i) StoreU32(p + 328 + 4 * i, r.fractalColors[i]);
}

void ReadBackgroundRecord(const uint8_t* p, BackgroundRecord& r) {
    r.kind = p[0];
    ReadInteriorFill(p + 4, r.pattern);
    ReadTextField(p + 20, r.imagePath, kImagePathSize);
    r.imageView = p[276];
    double* values[6] = {&r.zr, &r.zi, &r.minX, &r.maxX, &r.minY, &r.maxY};
    for (int i = 0; i < 6; ++i) *values[i] = LoadF64(p + 280 + 8 * i);
    for (int i = 0; i < 16; ++i) r.fractalColors[i] = LoadU32(p + 328 + 4 * i);
}

bool FontRecordEquals(const FontRecord& record, const FontRecord& candidate) {
    return std::strncmp(record.faceName, candidate.faceName, kFaceNameSize) == 0 &&
           record.family == candidate.family && record.size == candidate.size &&
           record.weight == candidate.weight && record.italic == candidate.italic &&
           record.underline == candidate.underline && record.strikeout == candidate.strikeout &&
           record.charSet == candidate.charSet;
}

namespace {

FontRecord& DefaultFontStore() {
    static FontRecord font = [] {
        FontRecord f;
        CopyTextField(f.faceName, "Arial", kFaceNameSize);
        f.size = 10;
        return f;
    }();
    return font;
}

} // namespace

const FontRecord& DefaultFontRecord() {
    return DefaultFontStore();
}

void SetDefaultFont(FontRecord& out) {
    out = DefaultFontStore();
}

void SetDefaultFontFace(const char* face) {
    CopyTextField(DefaultFontStore().faceName, face && face[0] ? face : "Arial", kFaceNameSize);
}

} // namespace vl
