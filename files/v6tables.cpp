// The tables of the version-6 form: the document's styles and fonts, and each worksheet's
// column widths, row heights and column styles (its format runs: v6runs.cpp).

#include "files/v6records.h"
#include "model/workbook.h"

namespace vl {

namespace {

constexpr uint16_t kV6DefaultWidth = 80;
constexpr uint16_t kV6DefaultHeight = 17;
// Width and height words keep bits 13-15 and take 12 bits of size above the fixed bit.
constexpr uint16_t kKeptBits = 0xE000;
constexpr uint16_t kStyleWordKept = 0xF000;

bool ReadStyles(CWorkbook& book, CV6Input& in) {
    StyleTables& t = book.styles;
    const uint16_t count = in.U16();
    if (!in.Holds(count, kV6StyleRecordSize)) return V6Invalid(book);
    // The first record stands for style 0, which every workbook has already.
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* record = in.Bytes(kV6StyleRecordSize);
        if (i == 0 || t.styleCount >= kMaxStyles) continue;
        ConvertV6StyleRecord(book, record, t.styles[t.styleCount]);
        ++t.styleCount;
    }
    return true;
}

bool ReadFonts(CWorkbook& book, CV6Input& in) {
    StyleTables& t = book.styles;
    const uint16_t count = in.U16();
    if (!in.Holds(count, kLogFontSize)) return V6Invalid(book);
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* font = in.Bytes(kLogFontSize);
        if (i == 0 || t.fontCount >= kMaxFonts) continue;
        LogFontToFontRecord(t.fonts[t.fontCount], font);
        ++t.fontCount;
    }
    return true;
}

// Pairs of a count and a value, read until they cover `total` places; `apply` is given the
// first place and the number of places (those of the sheet only) that take the value.
template <class Count, class Apply>
bool ReadPairs(CWorkbook& book, CV6Input& in, uint64_t total, uint64_t places, Apply apply) {
    for (uint64_t at = 0; at < total;) {
        uint64_t n = 0;
        if constexpr (sizeof(Count) == 2)
            n = in.U16();
        else
            n = in.U32();
        const uint16_t value = in.U16();
        if (!in.Ok()) return V6Invalid(book);
        if (at < places) apply(at, (at + n < places ? at + n : places) - at, value);
        at += n;
    }
    return true;
}

bool ReadColumnWidths(CWorkbook& book, CV6Input& in, CFormatStore& formats) {
    return ReadPairs<uint16_t>(book, in, kV6TableColumns, kMaxColumns,
                               [&](uint64_t first, uint64_t n, uint16_t w) {
                                   if (w == kV6DefaultWidth) return;
                                   for (uint64_t c = first; c < first + n; ++c) {
                                       uint16_t& word = formats.columns[c].width;
                                       word = uint16_t((word & kKeptBits) | ((w & 0x0FFF) << 1));
                                   }
                               });
}

bool ReadRowHeights(CWorkbook& book, CV6Input& in, CFormatStore& formats, uint32_t rows) {
    return ReadPairs<uint32_t>(book, in, rows, kMaxRows,
                               [&](uint64_t first, uint64_t n, uint16_t h) {
                                   if (h == kV6DefaultHeight) return;
                                   // A row whose list page cannot be had keeps no height; the load
                                   // goes on.
                                   for (uint64_t r = first; r < first + n; ++r)
                                       SetFormatStoreRowEntry(formats, uint32_t(r), h, false);
                               });
}

bool ReadColumnStyles(CWorkbook& book, CV6Input& in, CFormatStore& formats) {
    const uint16_t styles = book.styles.styleCount;
    return ReadPairs<uint16_t>(book, in, kV6TableColumns, kMaxColumns,
                               [&](uint64_t first, uint64_t n, uint16_t s) {
                                   const uint16_t style = s < styles ? s : 0;
                                   for (uint64_t c = first; c < first + n; ++c) {
                                       uint16_t& word = formats.columns[c].style;
                                       word = uint16_t((word & kStyleWordKept) | style);
                                   }
                               });
}

bool ReadSheetTables(CWorkbook& book, CV6Input& in, CWorksheet& sheet) {
    ResetMissingStyleFonts(book);
    const uint32_t rows = in.U32();
    if (!in.Ok()) return V6Invalid(book);
    return ReadColumnWidths(book, in, sheet.formats) &&
           ReadRowHeights(book, in, sheet.formats, rows) &&
           ReadColumnStyles(book, in, sheet.formats) && ReadV6FormatRuns(book, in, sheet);
}

} // namespace

bool ReadV6DocumentTables(CWorkbook& book, CV6Input& in, CWorksheet* sheet) {
    if (sheet) return ReadSheetTables(book, in, *sheet);
    if (!ReadStyles(book, in) || !ReadFonts(book, in)) return false;
    // Styles were converted before the fonts were known.
    ResetMissingStyleFonts(book);
    return true;
}

} // namespace vl
