#pragma once
// Cell styles and the workbook's style and font tables. Style 0 and font 0 always exist and
// are the defaults of everything without a style of its own.

#include "model/dropdownlist.h"
#include "model/stylerecords.h"

#include <cstdint>

namespace vl {

constexpr uint16_t kMaxStyles = 512;
constexpr uint16_t kMaxFonts = 128;
constexpr uint32_t kStyleRecordSize = 1152;
// Column-table style words keep the style index in their low 12 bits.
constexpr uint16_t kStyleIndexMask = 0x0FFF;

// Bordered sides.
enum : uint8_t {
    kBorderTop = 1,
    kBorderBottom = 2,
    kBorderLeft = 4,
    kBorderRight = 8,
    kBorderDiagonalLeft = 16,
    kBorderDiagonalRight = 32,
};

struct StyleRecord {
    StandardFormat numberFormat;
    FontRef fontRef;
    InteriorFill fill;
    uint8_t borderSides = 0;
    BorderLine borderLine;           // the one line of every bordered side
    uint8_t verticalAlignment = 0;   // 0 none, 4 top, 5 centre, 7 bottom
    uint8_t horizontalAlignment = 0; // 0 none, 1 left, 2 centre, 3 right
    uint8_t horizontalIndent = 4;
    uint8_t verticalIndent = 2;
    uint8_t wrapText = 0;
    uint8_t fitToCell = 0;
    int8_t rotation = 0;       // degrees, -90 to 90
    uint16_t dropDownList = 0; // 0 none, else 1 to 100
    uint8_t sort = 0;
    uint8_t autoAppend = 0;
    uint8_t autoComplete = 0;
    uint8_t formulaHidden = 0;
    uint8_t isProtected = 0;
};

void WriteStyleRecord(uint8_t* p, const StyleRecord& r);
void ReadStyleRecord(const uint8_t* p, StyleRecord& r);

// True when two styles show a cell alike: the number format by the fields its kind uses,
// colours only where they are given, the border line only where a side is bordered. Font
// indexes are compared as they stand, so a caller comparing across tables maps them first.
bool CompareStyleRecords(const StyleRecord& a, const StyleRecord& b);

struct StyleTables {
    uint16_t styleCount = 1;
    uint8_t fontCount = 1;
    FontRecord fonts[kMaxFonts];
    StyleRecord styles[kMaxStyles];
};

// A read-only view of a style table, also over the few styles an undo entry keeps.
struct StyleView {
    const StyleRecord* styles;
    uint16_t styleCount;
    const FontRecord* fonts;
    uint8_t fontCount;
};
inline StyleView ViewOf(const StyleTables& t) {
    return {t.styles, t.styleCount, t.fonts, t.fontCount};
}

void InitStyleTables(StyleTables& tables);
const StyleRecord& GetStyleRecord(const StyleTables& tables, uint16_t index);
const FontRecord& GetFontRecord(const StyleTables& tables, uint16_t index);
// The font's index in the table, appending it when no font equals it; false (index 0) when
// the table already holds 128 fonts.
bool FindOrAddFont(StyleTables& tables, const FontRecord& candidate, uint8_t* index);

// Maps style `index` of `source` into `target`: its font found or appended, then an equal
// style found or appended; an index past the source's table stays as it is. False when that
// would need a 129th font or a 513th style.
bool ImportStyle(StyleTables& target, const StyleView& source, uint16_t index, uint16_t* out);

// Styles naming a drop-down list that is no longer in use lose it, so that the next new list
// in its slot does not take their cells over. The number of styles changed.
uint32_t ForgetRemovedDropDownLists(StyleTables& tables, const DropDownListRecord* lists);

} // namespace vl
