#include "formula/edit/formatcommands.h"

#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "platform/core/errorcode.h"

#include <vector>

namespace vl {

namespace {

bool WholeColumns(const CellRange& range) {
    return range.r1 == 0 && range.r2 == kLastRow;
}

// The part of `sides` that lies on the edges of `strip` of `range`.
uint8_t StripSides(uint8_t sides, const CellRange& range, const CellRange& strip) {
    uint8_t out = sides & (kBorderDiagonalLeft | kBorderDiagonalRight);
    if (strip.r1 == range.r1) out |= sides & kBorderTop;
    if (strip.r2 == range.r2) out |= sides & kBorderBottom;
    if (strip.c1 == range.c1) out |= sides & kBorderLeft;
    if (strip.c2 == range.c2) out |= sides & kBorderRight;
    return out;
}

struct Band {
    uint32_t first, last;
};

// The first line, the lines between and the last line of first to last (fewer when they
// are one or two).
std::vector<Band> Bands(uint32_t first, uint32_t last) {
    if (first == last) return {{first, first}};
    if (last == first + 1) return {{first, first}, {last, last}};
    return {{first, first}, {first + 1, last - 1}, {last, last}};
}

} // namespace

bool ApplyFormatToRange(CWorkbook& workbook, CWorksheet& ws, const CellRange& range, uint8_t code,
                        const StyleRecord& style, const FontRecord& font) {
    bool ok = true;
    if (WholeColumns(range)) {
        for (uint32_t c = range.c1; ok && c <= range.c2; ++c)
            ok = ApplyStyleToColumn(workbook.styles, uint16_t(c), ws.formats, code, style, font);
    } else {
        ok = ApplyStyleToRange(workbook.styles, range.c1, range.c2, range.r1, range.r2, ws.formats,
                               code, style, font);
    }
    if (!ok)
        workbook.error =
            workbook.styles.styleCount >= kMaxStyles || workbook.styles.fontCount >= kMaxFonts
                ? kErrorTooManyStyles
                : kErrorWorksheetMemory;
    return ok;
}

bool ApplyOutlineBorders(CWorkbook& workbook, CWorksheet& ws, const CellRange& range,
                         const StyleRecord& style) {
    const bool whole = WholeColumns(range);
    const uint8_t outline = kBorderLeft | kBorderRight | (whole ? 0 : kBorderTop | kBorderBottom);
    for (const Band& rows : Bands(whole ? 0 : range.r1, whole ? 0 : range.r2))
        for (const Band& cols : Bands(range.c1, range.c2)) {
            const CellRange strip{uint16_t(cols.first), whole ? 0 : rows.first, uint16_t(cols.last),
                                  whole ? kLastRow : rows.last};
            StyleRecord part = style;
            part.borderSides = StripSides(outline, range, strip);
            if (!part.borderSides) continue;
            if (!ApplyFormatToRange(workbook, ws, strip, kAttrBorders, part, FontRecord{}))
                return false;
        }
    return true;
}

namespace {

// The course of both commands: the formats recorded, the change, the unused styles dropped.
template <class Change>
CommandResult FormatAround(CWorkbook& workbook, const GridSelection& selection, bool* recorded,
                           Change change) {
    if (recorded) *recorded = false;
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    const CellRange& sel = selection.range;
    if (!workbook.RecordUndoRange(sel, selection.cursorColumn, selection.cursorRow, false, true)) {
        workbook.DiscardLastUndo(true);
        workbook.error = kErrorWorksheetMemory;
        return CommandResult::kFailed;
    }
    if (recorded) *recorded = true;
    const bool ok = change(*ws, sel);
    const ErrorCode error = workbook.error;
    workbook.CompactStyleTables();
    workbook.error = error;
    return ok ? CommandResult::kDone : CommandResult::kFailed;
}

} // namespace

CommandResult FormatCommand(CWorkbook& workbook, const GridSelection& selection, uint8_t code,
                            const StyleRecord& style, const FontRecord& font, bool* recorded) {
    return FormatAround(workbook, selection, recorded, [&](CWorksheet& ws, const CellRange& r) {
        return ApplyFormatToRange(workbook, ws, r, code, style, font);
    });
}

CommandResult OutlineBordersCommand(CWorkbook& workbook, const GridSelection& selection,
                                    const StyleRecord& style, bool* recorded) {
    return FormatAround(workbook, selection, recorded, [&](CWorksheet& ws, const CellRange& r) {
        return ApplyOutlineBorders(workbook, ws, r, style);
    });
}

} // namespace vl
