// The "Formatting" element: the column table, the row heights and the style runs of a
// worksheet.

#include "files/xmlelements.h"
#include "model/runoverlap.h"
#include "platform/core/bytes.h"
#include "values/inttext.h"

#include <algorithm>
#include <vector>

namespace vl {

namespace {

constexpr uint16_t kSizeMask = 0x0FFF;
constexpr uint8_t kEmptyElement = kXmlAttributes | kXmlStart | kXmlEnd | kXmlOptional;

uint16_t Width(const ColumnEntry& e) {
    return (e.width >> 1) & kSizeMask;
}

// "StyleID": 59 above 511, 57 for a style the table does not hold.
bool ReadStyleId(CXmlReader& r, const CWorkbook& workbook, uint16_t& style) {
    if (!r.GetU16Attribute(style, 0, kMaxStyles - 1)) return false;
    return style < workbook.styles.styleCount || r.Fail(kErrorXmlAttribute);
}

bool ReadColumn(CXmlReader& r, const CWorkbook& workbook, CWorksheet& ws) {
    if (!r.FindAttribute("rc")) return r.Fail(kErrorXmlMissing);
    uint16_t column = 0, last = 0;
    if (!ReadXmlColumnRange(r, column, last, false)) return false;
    ColumnEntry& e = ws.formats.columns[column];
    uint16_t width = 0, style = 0;
    bool fixed = false;
    if (r.FindAttribute("Width") && !r.GetU16Attribute(width, 0, kSizeMask)) return false;
    if (r.FindAttribute("Fixed") && !r.GetBoolAttribute(fixed)) return false;
    if (r.FindAttribute("StyleID") && !ReadStyleId(r, workbook, style)) return false;
    uint16_t autoHeight = e.autoRowHeight;
    if (r.FindAttribute("AutoRowHeight") && !r.GetU16Attribute(autoHeight, 0, kSizeMask))
        return false;
    e.width = uint16_t((width << 1) | (fixed ? 1 : 0));
    e.style = style;
    e.autoRowHeight = autoHeight;
    return true;
}

// Spans of a row that overlap, or stand out of column order, come from an older save that
// set a style over styled cells: they are laid apart, the span written first on top.
bool ReadSpans(CXmlReader& r, const CWorkbook& workbook, CWorksheet& ws, uint32_t row) {
    std::vector<FormatRun> runs;
    while (r.ReadNextTag("Span", kEmptyElement)) {
        if (!r.FindAttribute("rc")) return r.Fail(kErrorXmlMissing);
        uint16_t first = 0, last = 0;
        if (!ReadXmlColumnRange(r, first, last, true)) return false;
        if (first > last) return r.Fail(kErrorXmlAttribute);
        if (!r.FindAttribute("StyleID")) continue;
        uint16_t style = 0;
        if (!ReadStyleId(r, workbook, style)) return false;
        runs.push_back(FormatRun{first, last, row, style});
    }
    if (!r.Ok()) return false;
    SeparateRowRuns(runs);
    CellCursor cursor;
    for (const FormatRun& run : runs)
        if (!PutFormatRun(ws.formats, run, cursor)) return r.Fail(kErrorXmlMemory);
    return true;
}

bool ReadRowHeight(CXmlReader& r, CWorksheet& ws, uint32_t row) {
    if (!r.FindAttribute("Height")) return true;
    uint16_t height = 0;
    if (!r.GetU16Attribute(height, 0, kSizeMask)) return false;
    if (row < ws.formats.rowHeights.ItemCount()) return r.Fail(kErrorXmlElement);
    bool fixed = false;
    if (r.FindAttribute("Fixed") && !r.GetBoolAttribute(fixed)) return false;
    return SetFormatStoreRowEntry(ws.formats, row, height, fixed) || r.Fail(kErrorXmlMemory);
}

bool ReadRows(CXmlReader& r, const CWorkbook& workbook, CWorksheet& ws) {
    bool previous = false;
    uint32_t previousRow = 0;
    while (r.ReadNextTag("Row", kXmlAttributes | kXmlStart | kXmlOptional)) {
        if (!r.FindAttribute("rc")) return r.Fail(kErrorXmlMissing);
        uint32_t row = 0;
        if (!ReadXmlRowPosition(r, row)) return false;
        if (previous && row <= previousRow) return r.Fail(kErrorXmlAttribute);
        previous = true;
        previousRow = row;
        if (!ReadRowHeight(r, ws, row)) return false;
        if (r.IsEnd()) continue;
        if (!ReadSpans(r, workbook, ws, row) || !r.ReadNextTag("Row", kXmlEnd)) return false;
    }
    return r.Ok();
}

void WriteColumns(CXmlWriter& w, const CWorksheet& ws) {
    for (uint16_t c = 0; c < kMaxColumns; ++c) {
        const ColumnEntry& e = ws.formats.columns[c];
        const bool fixed = e.width & 1;
        const uint16_t width = Width(e), style = e.style & kSizeMask;
        const uint16_t autoHeight = e.autoRowHeight & kSizeMask;
        const bool customAuto = autoHeight != 0 && autoHeight != GetDefaultRowHeight();
        // A column with only its automatic row height is written too, so that it survives.
        if (!style && !fixed && (width == 0 || width == GetDefaultColumnWidth()) && !customAuto)
            continue;
        XmlAttributeText a;
        a.Raw("rc", "c" + IntText(c + 1));
        if (fixed)
            a.Int("Width", width).Raw("Fixed", "1");
        else if (width)
            a.Int("Width", width);
        if (style) a.Int("StyleID", style);
        if (customAuto) a.Int("AutoRowHeight", autoHeight);
        w.WriteTag("Column", a.str(), kXmlEmptyTag, 2, 1);
    }
}

// Writes the runs of `row` from the cursor on; `run` is left at the first run after it.
// Touching runs of one style are written as one, as reading them back would join them.
void WriteSpans(CXmlWriter& w, CellCursor& cursor, const uint8_t*& run, uint32_t row) {
    while (run && LoadFormatRun(run).row == row) {
        FormatRun f = LoadFormatRun(run);
        for (run = FormatRunCursorNext(cursor); run; run = FormatRunCursorNext(cursor)) {
            const FormatRun next = LoadFormatRun(run);
            if (next.row != row || next.style != f.style || next.firstColumn != f.lastColumn + 1)
                break;
            f.lastColumn = next.lastColumn;
        }
        if (f.firstColumn >= kMaxColumns) continue;
        XmlAttributeText a;
        a.Raw("rc", "c" + IntText(f.firstColumn + 1) + ":c" + IntText(f.lastColumn + 1));
        a.Int("StyleID", f.style);
        w.WriteTag("Span", a.str(), kXmlEmptyTag, 0, 0);
    }
}

// Walks the row-height list in order; 0 past its end.
class RowHeightWalk {
public:
    explicit RowHeightWalk(const CPagedList& list) : page_(list.FirstPage()) {}
    uint16_t Next() {
        while (page_ && offset_ + 2 > page_->used) {
            page_ = page_->next;
            offset_ = 0;
        }
        if (!page_) return 0;
        const uint16_t entry = LoadU16(page_->payload + offset_);
        offset_ += 2;
        return entry;
    }

private:
    const Page* page_;
    uint32_t offset_ = 0;
};

void WriteRows(CXmlWriter& w, const CWorksheet& ws) {
    const uint16_t reference = XmlReferenceRowHeight(ws.formats);
    const uint32_t count = ws.formats.rowHeights.ItemCount();
    RowHeightWalk heights(ws.formats.rowHeights);
    CellCursor cursor{kAdvance, ws.formats.runs.FirstPage(), 0};
    const uint8_t* run = FormatRunCursorNext(cursor);
    for (uint32_t row = 0; row < count || run; ++row) {
        const uint16_t entry = row < count ? heights.Next() : 0;
        if (row >= count) row = LoadFormatRun(run).row;
        const bool hasRuns = run && LoadFormatRun(run).row == row;
        const uint16_t height = (entry >> 1) & kSizeMask;
        const bool fixed = entry & 1;
        const bool custom = height != 0 && height != reference;
        if (!fixed && !custom && !hasRuns) continue;
        XmlAttributeText a;
        a.Raw("rc", "r" + IntText(int64_t(row) + 1));
        if (fixed || custom) a.Int("Height", height);
        if (fixed) a.Raw("Fixed", "1");
        w.WriteTag("Row", a.str(), kXmlStartTag, 2, 0);
        WriteSpans(w, cursor, run, row);
        w.WriteTag("Row", {}, kXmlEndTag, 0, 1);
    }
}

} // namespace

// The tallest automatic row height of the columns.
uint16_t XmlReferenceRowHeight(const CFormatStore& formats) {
    uint16_t tallest = 0;
    for (const ColumnEntry& e : formats.columns)
        tallest = std::max<uint16_t>(tallest, e.autoRowHeight & kSizeMask);
    return tallest ? tallest : GetDefaultRowHeight();
}

bool ReadXmlFormatting(CXmlReader& r, const CWorkbook& workbook, CWorksheet& worksheet) {
    if (!r.ReadNextTag("Formatting", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    while (r.ReadNextTag("Column", kEmptyElement))
        if (!ReadColumn(r, workbook, worksheet)) return false;
    return r.Ok() && ReadRows(r, workbook, worksheet) && r.ReadNextTag("Formatting", kXmlEnd);
}

void WriteXmlFormatting(CXmlWriter& w, const CWorksheet& worksheet) {
    w.WriteTag("Formatting", {}, kXmlStartTag, 1, 1);
    WriteColumns(w, worksheet);
    WriteRows(w, worksheet);
    w.WriteTag("Formatting", {}, kXmlEndTag, 1, 2);
}

} // namespace vl
