// Fonts and styles of the version-6 form, converted into the current records.

#include "files/v6records.h"

#include "model/workbook.h"

#include <cstring>

namespace vl {

namespace {

// Style flags.
constexpr uint32_t kV6Currency = 1u << 0;
constexpr uint32_t kV6Thousands = 1u << 1;
constexpr uint32_t kV6Percentage = 1u << 2;
constexpr uint32_t kV6AlignLeft = 1u << 3;
constexpr uint32_t kV6AlignRight = 1u << 4;
constexpr uint32_t kV6AlignCenter = 1u << 5;
constexpr uint32_t kV6Protected = 1u << 6;
constexpr uint32_t kV6Borders = 1u << 7;
constexpr uint32_t kV6Fill = 1u << 9;
constexpr uint32_t kV6Wrap = 1u << 11;
constexpr uint32_t kV6Decimals = 1u << 13;
constexpr uint32_t kV6AlignTop = 1u << 14;
constexpr uint32_t kV6AlignBottom = 1u << 15;
constexpr uint32_t kV6List = 1u << 16;
constexpr uint32_t kV6Date = 1u << 18;

// The decimals the number formats of the other forms accept, so that a save reads back.
constexpr uint8_t kMaxDecimals = 14;
constexpr uint8_t kMaxFontSize = 254;

struct CodeMap {
    uint8_t from;
    uint8_t to;
};

constexpr CodeMap kCharSets[] = {
    {0, 1},    {2, 12},   {77, 8},   {128, 11}, {129, 7},  {134, 5},  {136, 3}, {161, 6},
    {162, 13}, {177, 14}, {178, 15}, {186, 2},  {204, 10}, {222, 16}, {238, 4}, {255, 9},
};
constexpr CodeMap kFamilies[] = {{16, 3}, {32, 1}, {48, 2}, {64, 4}, {80, 5}};

template <size_t N> uint8_t MapCode(const CodeMap (&table)[N], uint8_t from) {
    for (const CodeMap& m : table)
        if (m.from == from) return m.to;
    return 0;
}

uint8_t FontWeight(int32_t weight) {
    switch (weight) {
    case 100:
        return 1;
    case 700:
        return 2;
    case 900:
        return 3;
    default:
        return 0;
    }
}

void ConvertNumberFormat(uint32_t flags, uint8_t decimals, StandardFormat& f) {
    using namespace fmtparam;
    const bool given = (flags & kV6Decimals) != 0;
    if (decimals > kMaxDecimals) decimals = kMaxDecimals;
    if (flags & kV6Currency) {
        f.kind = STD_STYLE_CURRENCY;
        std::memset(f.params + kCurrencySymbol, 0, kCurrencyDecimals - kCurrencySymbol);
        CopyTextField(reinterpret_cast<char*>(f.params + kCurrencySymbol),
                      UserSeparators().currency, kCurrencyDecimals - kCurrencySymbol);
        f.params[kCurrencyDecimals] = given ? decimals : 2;
    } else if (flags & kV6Percentage) {
        f.kind = STD_STYLE_PERCENTAGE;
        if (given) {
            f.params[kFixedDecimals] = 1;
            f.params[kDecimals] = decimals;
        }
    } else if (flags & kV6Date) {
        f.kind = STD_STYLE_DATE;
    } else if (given) {
        f.kind = STD_STYLE_GENERAL;
        f.params[kFixedDecimals] = 1;
        f.params[kDecimals] = decimals;
        f.params[kThousands] = (flags & kV6Thousands) ? 1 : 0;
    } else {
        return;
    }
    BuildStandardFormatCode(f, &InternalSeparators());
}

void ConvertAlignment(uint32_t flags, StyleRecord& out) {
    if (flags & kV6AlignLeft)
        out.horizontalAlignment = 1;
    else if (flags & kV6AlignRight)
        out.horizontalAlignment = 3;
    else if (flags & kV6AlignCenter)
        out.horizontalAlignment = 2;
    if (flags & kV6AlignTop)
        out.verticalAlignment = 4;
    else if (flags & kV6AlignBottom)
        out.verticalAlignment = 7;
    if (flags & kV6Wrap) out.wrapText = 1;
    if (flags & kV6Protected) out.isProtected = 1;
}

void ConvertBorders(uint32_t borders, COLORREF color, StyleRecord& out) {
    uint8_t sides = 0;
    if (borders & 0x21) sides |= kBorderTop | kBorderBottom | kBorderLeft | kBorderRight;
    if (borders & 0x02) sides |= kBorderTop;
    if (borders & 0x04) sides |= kBorderBottom;
    if (borders & 0x08) sides |= kBorderLeft;
    if (borders & 0x10) sides |= kBorderRight;
    out.borderSides |= sides;
    out.borderLine.color = color;
    out.borderLine.colorGiven = 1;
    switch (int32_t(borders) >> 8) {
    case 0:
        out.borderLine.style = FORMAT_LINE_SOLID;
        break;
    case 1:
    case 7:
        out.borderLine.style = FORMAT_LINE_SOLID_2;
        break;
    case 2:
    case 3:
        out.borderLine.style = FORMAT_LINE_DOUBLE;
        break;
    case 4:
    case 8:
        out.borderLine.style = FORMAT_LINE_DOT;
        break;
    case 5:
        out.borderLine.style = FORMAT_LINE_DASH;
        break;
    case 6:
        out.borderLine.style = FORMAT_LINE_DASH_DOT;
        break;
    default:
        break;
    }
}

void ConvertFill(uint32_t fill, InteriorFill& out) {
    static constexpr uint8_t kPatterns[] = {FORMAT_PAT_HSTRIPE, FORMAT_PAT_VSTRIPE,
                                            FORMAT_PAT_DSTRIPE, FORMAT_PAT_RDSTRIPE,
                                            FORMAT_PAT_DCROSS,  FORMAT_PAT_DCROSS};
    const uint8_t high = uint8_t(fill >> 24);
    out.pattern = high >= 1 && high <= 6 ? kPatterns[high - 1] : uint8_t(FORMAT_PAT_SOLID);
    out.patternColor = out.backgroundColor = fill & 0x00FFFFFF;
    out.patternColorGiven = out.backgroundColorGiven = 1;
}

} // namespace

bool V6Fail(CWorkbook& book, ErrorCode code) {
    if (book.error == kErrorNone) book.error = code;
    return false;
}

void LogFontToFontRecord(FontRecord& out, const uint8_t* f) {
    out = FontRecord{};
    size_t n = 0;
    while (n < 32 && f[28 + n] != 0) ++n;
    std::memcpy(out.faceName, f + 28, n);
    const int64_t points = MulDiv(LoadI32(f), 72, kScreenDpi);
    const int64_t magnitude = points < 0 ? -points : points;
    out.size = uint8_t(magnitude > kMaxFontSize ? kMaxFontSize : magnitude);
    out.weight = FontWeight(LoadI32(f + 16));
    out.italic = f[20] != 0;
    out.underline = f[21] != 0;
    out.strikeout = f[22] != 0;
    out.charSet = MapCode(kCharSets, f[23]);
    out.family = MapCode(kFamilies, f[27]);
}

void ConvertV6StyleRecord(const CWorkbook& book, const uint8_t* r, StyleRecord& out) {
    out = book.styles.styles[0];
    const int16_t font = LoadI16(r + 4);
    out.fontRef.fontIndex = font >= 0 && font < int16_t(kMaxFonts) ? uint8_t(font) : 0;
    out.fontRef.color = LoadU32(r + 12);
    out.fontRef.colorGiven = 1;
    const uint32_t flags = LoadU32(r);
    ConvertNumberFormat(flags, r[32], out.numberFormat);
    ConvertAlignment(flags, out);
    if (flags & kV6Borders) ConvertBorders(LoadU32(r + 28), LoadU32(r + 16), out);
    if (flags & kV6Fill) ConvertFill(LoadU32(r + 8), out.fill);
    if (flags & kV6List) {
        const uint16_t list = LoadU16(r + 36);
        out.dropDownList = list <= kDropDownLists ? list : 0;
    }
}

void ResetMissingStyleFonts(CWorkbook& book) {
    StyleTables& t = book.styles;
    for (uint16_t i = 1; i < t.styleCount; ++i)
        if (t.styles[i].fontRef.fontIndex >= t.fontCount) t.styles[i].fontRef.fontIndex = 0;
}

} // namespace vl
