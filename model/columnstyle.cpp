#include "model/cellstyle.h"
#include "model/formatattribute.h"
#include "model/rangestyle.h"

#include <memory>
#include <new>

namespace vl {

namespace {

// Style `old` with the attribute applied: found in the table or appended. False when the
// font or style table is full.
bool AppliedStyle(StyleTables& tables, uint16_t old, uint8_t code, const StyleRecord& source,
                  const FontRecord& sourceFont, uint16_t& index) {
    StyleRecord style = GetStyleRecord(tables, old < tables.styleCount ? old : 0);
    FontRecord font = GetFontRecord(tables, style.fontRef.fontIndex);
    if (ApplyFormatAttribute(style, font, source, sourceFont, code)) {
        uint8_t fontIndex = 0;
        if (!FindOrAddFont(tables, font, &fontIndex)) return false;
        style.fontRef.fontIndex = fontIndex;
    }
    for (uint16_t i = 0; i < tables.styleCount; ++i)
        if (CompareStyleRecords(tables.styles[i], style)) {
            index = i;
            return true;
        }
    if (tables.styleCount >= kMaxStyles) return false;
    tables.styles[tables.styleCount] = style;
    index = tables.styleCount++;
    return true;
}

// Styles mapped once each, in the order runs meet them.
class CStyleMap {
public:
    CStyleMap(StyleTables& tables, uint8_t code, const StyleRecord& style, const FontRecord& font)
        : tables_(tables), code_(code), style_(style), font_(font) {
        for (int32_t& m : mapped_) m = -1;
    }
    bool Map(uint16_t old, uint16_t& index) {
        if (old >= kMaxStyles) old = 0;
        if (mapped_[old] >= 0) {
            index = uint16_t(mapped_[old]);
            return true;
        }
        if (!AppliedStyle(tables_, old, code_, style_, font_, index)) return false;
        mapped_[old] = index;
        return true;
    }

private:
    StyleTables& tables_;
    uint8_t code_;
    const StyleRecord& style_;
    const FontRecord& font_;
    int32_t mapped_[kMaxStyles];
};

// The runs of `column`, cut to it, into `kept` (in order).
bool TakeColumnRuns(const CFormatStore& store, uint16_t column, CFormatStore& kept) {
    CellCursor read;
    read.page = store.runs.FirstPage();
    read.flags = kAdvance;
    CellCursor write;
    while (const uint8_t* p = FormatRunCursorNext(read)) {
        FormatRun run = LoadFormatRun(p);
        if (run.firstColumn > column || run.lastColumn < column) continue;
        run.firstColumn = run.lastColumn = column;
        if (!PutFormatRun(kept, run, write)) return false;
    }
    return true;
}

// Writes the kept runs back into the cleared column, each with its mapped style when `map`
// is given.
bool PutRunsBack(CFormatStore& store, const CFormatStore& kept, CStyleMap* map) {
    CellCursor read;
    read.page = kept.runs.FirstPage();
    read.flags = kAdvance;
    CellCursor write;
    while (const uint8_t* p = FormatRunCursorNext(read)) {
        FormatRun run = LoadFormatRun(p);
        if (map && !map->Map(run.style, run.style)) return false;
        if (!PutFormatRun(store, run, write)) return false;
    }
    return true;
}

// Every style the column's runs need, found or appended before anything changes.
bool MapAll(const CFormatStore& kept, CStyleMap& map) {
    CellCursor read;
    read.page = kept.runs.FirstPage();
    read.flags = kAdvance;
    uint16_t index = 0;
    while (const uint8_t* p = FormatRunCursorNext(read))
        if (!map.Map(LoadFormatRun(p).style, index)) return false;
    return true;
}

} // namespace

bool ApplyStyleToColumn(StyleTables& tables, uint16_t column, CFormatStore& store, uint8_t code,
                        const StyleRecord& sourceStyle, const FontRecord& sourceFont) {
    if (column > kLastColumn) return false;
    CStyleMap map(tables, code, sourceStyle, sourceFont);
    uint16_t columnStyle = 0;
    if (!map.Map(ColumnStyleIndex(store, column), columnStyle)) return false;
    std::unique_ptr<CFormatStore> kept(new (std::nothrow) CFormatStore());
    if (!kept || !TakeColumnRuns(store, column, *kept) || !MapAll(*kept, map)) return false;
    const CellRange whole{column, 0, column, kLastRow};
    if (!ClearFormatRect(store, whole, nullptr, false) || !PutRunsBack(store, *kept, &map)) {
        // Put the column back as it was.
        ClearFormatRect(store, whole, nullptr, false);
        PutRunsBack(store, *kept, nullptr);
        return false;
    }
    ColumnEntry& entry = store.columns[column];
    entry.style = uint16_t((entry.style & ~kStyleIndexMask) | columnStyle);
    ColumnsChanged(store);
    return true;
}

} // namespace vl
