#include "model/selectionstyles.h"

#include "model/cellstyle.h"

#include <bitset>
#include <cstring>
#include <vector>

namespace vl {

namespace {

// Equal values: a flag still 0 becomes 1 (for on/off attributes only when the value is
// on); different values: 2, which stays.
void Mark(StyleMixFlags& mixed, int flag, bool equal, bool on = true) {
    if (!equal)
        mixed[flag] = 2;
    else if (mixed[flag] == 0 && on)
        mixed[flag] = 1;
}

bool SameColor(uint8_t givenA, COLORREF a, uint8_t givenB, COLORREF b) {
    return (givenA != 0) == (givenB != 0) && (!givenA || a == b);
}

void MergeNumberFormat(const StandardFormat& a, const StandardFormat& b, StyleMixFlags& mixed) {
    constexpr uint8_t kCustom = 10;
    if (a.kind != b.kind) {
        if (a.kind <= kCustom) mixed[kMixNumberKind + a.kind] = 2;
        if (b.kind <= kCustom) mixed[kMixNumberKind + b.kind] = 2;
        return;
    }
    if (a.kind > kCustom) return;
    const bool equal = a.kind != kCustom || std::strcmp(a.code, b.code) == 0;
    Mark(mixed, kMixNumberKind + a.kind, equal);
}

void MergeFonts(const FontRecord& a, const FontRecord& b, StyleMixFlags& mixed) {
    Mark(mixed, kMixFaceName, std::strcmp(a.faceName, b.faceName) == 0);
    Mark(mixed, kMixSize, a.size == b.size);
    Mark(mixed, kMixCharSet, a.charSet == b.charSet);
    Mark(mixed, kMixWeight, a.weight == b.weight, a.weight != 0);
    Mark(mixed, kMixItalic, a.italic == b.italic, a.italic != 0);
    Mark(mixed, kMixUnderline, a.underline == b.underline, a.underline != 0);
    Mark(mixed, kMixStrikeout, a.strikeout == b.strikeout, a.strikeout != 0);
}

// Alignment `value` has the flag first + (index of value in `values`), none for others.
int AlignmentFlag(uint8_t value, int first, const uint8_t (&values)[3]) {
    for (int i = 0; i < 3; ++i)
        if (values[i] == value) return first + i;
    return -1;
}

void MergeAlignment(uint8_t a, uint8_t indentA, uint8_t b, uint8_t indentB, int first,
                    const uint8_t (&values)[3], StyleMixFlags& mixed) {
    const int flagA = AlignmentFlag(a, first, values);
    const int flagB = AlignmentFlag(b, first, values);
    if (a == b && indentA == indentB) {
        if (flagA >= 0 && mixed[flagA] == 0) mixed[flagA] = 1;
        return;
    }
    if (flagA >= 0) mixed[flagA] = 2;
    if (flagB >= 0) mixed[flagB] = 2;
}

} // namespace

void MergeSelectionStyles(const StyleTables& tables, const StyleRecord& merged,
                          const StyleRecord& other, StyleMixFlags& mixed) {
    const StyleRecord& a = merged;
    const StyleRecord& b = other;
    MergeNumberFormat(a.numberFormat, b.numberFormat, mixed);
    MergeFonts(GetFontRecord(tables, a.fontRef.fontIndex),
               GetFontRecord(tables, b.fontRef.fontIndex), mixed);
    Mark(mixed, kMixFontColor,
         SameColor(a.fontRef.colorGiven, a.fontRef.color, b.fontRef.colorGiven, b.fontRef.color),
         a.fontRef.colorGiven != 0);
    Mark(mixed, kMixList,
         a.dropDownList == b.dropDownList && a.autoAppend == b.autoAppend &&
             a.autoComplete == b.autoComplete,
         a.dropDownList != 0);
    static const uint8_t kHorizontal[3] = {1, 2, 3};
    static const uint8_t kVertical[3] = {4, 5, 7};
    MergeAlignment(a.horizontalAlignment, a.horizontalIndent, b.horizontalAlignment,
                   b.horizontalIndent, kMixHorizontal, kHorizontal, mixed);
    MergeAlignment(a.verticalAlignment, a.verticalIndent, b.verticalAlignment, b.verticalIndent,
                   kMixVertical, kVertical, mixed);
    Mark(mixed, kMixWrap, a.wrapText == b.wrapText, a.wrapText != 0);
    Mark(mixed, kMixFit, a.fitToCell == b.fitToCell, a.fitToCell != 0);
    Mark(mixed, kMixBorderLine, a.borderLine.style == b.borderLine.style, a.borderLine.style != 0);
    Mark(mixed, kMixBorderColor,
         SameColor(a.borderLine.colorGiven, a.borderLine.color, b.borderLine.colorGiven,
                   b.borderLine.color),
         a.borderLine.colorGiven != 0);
    Mark(mixed, kMixBorderSides, a.borderSides == b.borderSides, a.borderSides != 0);
    Mark(mixed, kMixPattern, a.fill.pattern == b.fill.pattern, a.fill.pattern != 0);
    Mark(mixed, kMixPatternColor,
         SameColor(a.fill.patternColorGiven, a.fill.patternColor, b.fill.patternColorGiven,
                   b.fill.patternColor),
         a.fill.patternColorGiven != 0);
    Mark(mixed, kMixBackgroundColor,
         SameColor(a.fill.backgroundColorGiven, a.fill.backgroundColor, b.fill.backgroundColorGiven,
                   b.fill.backgroundColor),
         a.fill.backgroundColorGiven != 0);
    Mark(mixed, kMixProtected, a.isProtected == b.isProtected, a.isProtected != 0);
    Mark(mixed, kMixHidden, a.formulaHidden == b.formulaHidden, a.formulaHidden != 0);
}

namespace {

// Merges each style index once: merging a style again changes no flag.
class CStyleMerger {
public:
    CStyleMerger(const StyleTables& tables, SelectionStyle& out) : tables_(tables), out_(out) {}

    void Merge(uint16_t index) {
        if (index >= tables_.styleCount) index = 0;
        if (seen_[index]) return;
        seen_[index] = true;
        const StyleRecord& style = GetStyleRecord(tables_, index);
        if (!any_) {
            any_ = true;
            out_.style = style;
            out_.font = GetFontRecord(tables_, style.fontRef.fontIndex);
        }
        MergeSelectionStyles(tables_, out_.style, style, out_.mixed);
    }
    bool Any() const { return any_; }

private:
    const StyleTables& tables_;
    SelectionStyle& out_;
    std::bitset<kMaxStyles> seen_;
    bool any_ = false;
};

} // namespace

SelectionStyle CompareSelectionStyles(const StyleTables& tables, uint16_t c1, uint16_t c2,
                                      uint32_t r1, uint32_t r2, const CFormatStore& store) {
    SelectionStyle out;
    CStyleMerger merger(tables, out);
    std::vector<uint8_t> covered(std::size_t(c2) + 1, 0);
    auto cover = [&covered, c1](uint32_t from, uint32_t to) {
        for (uint32_t c = std::max<uint32_t>(from, c1); c <= to && c < covered.size(); ++c)
            covered[c] = 1;
    };
    bool all = false;
    uint32_t row = r1, column = c1; // the next position expected
    CellCursor cursor = FormatRunsFromRow(store, r1);
    cursor.flags = kAdvance;
    while (const uint8_t* p = FormatRunCursorNext(cursor)) {
        const FormatRun run = LoadFormatRun(p);
        if (run.row > r2 || (run.row == r2 && run.firstColumn > c2)) break;
        if (run.row < r1 || run.lastColumn < c1 || run.firstColumn > c2) continue;
        merger.Merge(run.style);
        if (run.row > row) {
            // The uncovered positions before the run, position by position: the rest of the
            // row expected, whole rows only when some are skipped, and the run row's start.
            if (column == c1 || run.row > row + 1)
                all = true;
            else
                cover(column, c2);
            if (run.firstColumn > c1) cover(c1, run.firstColumn - 1u);
        } else if (run.row == row && run.firstColumn > column) {
            cover(column, run.firstColumn - 1u);
        }
        if (run.lastColumn < c2) {
            row = run.row;
            column = run.lastColumn + 1u;
        } else {
            row = run.row + 1;
            column = c1;
        }
    }
    if (row < r2)
        all = true;
    else if (row == r2 && column <= c2)
        cover(column, c2);
    for (uint32_t c = c1; c <= c2; ++c)
        if (all || covered[c]) merger.Merge(ColumnStyleIndex(store, uint16_t(c)));
    if (!merger.Any()) merger.Merge(0);
    return out;
}

} // namespace vl
