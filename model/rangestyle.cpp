#include "model/rangestyle.h"

#include "model/cellstyle.h"
#include "model/formatattribute.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace vl {

namespace {

// The runs of the rows first row to last row, as they are, in order.
bool KeepRuns(const CFormatStore& store, uint32_t r1, uint32_t r2, std::vector<FormatRun>& kept) {
    try {
        CellCursor read = FormatRunsFromRow(store, r1);
        read.flags = kAdvance;
        while (const uint8_t* p = FormatRunCursorNext(read)) {
            const FormatRun run = LoadFormatRun(p);
            if (run.row > r2) break;
            if (run.row >= r1) kept.push_back(run);
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Puts the rows back as they were after a failure: whatever they hold now goes, and the
// kept runs return.
void RestoreRuns(CFormatStore& store, uint32_t r1, uint32_t r2,
                 const std::vector<FormatRun>& kept) {
    ClearFormatRect(store, CellRange{0, r1, kLastColumn, r2}, nullptr, false);
    CellCursor write;
    for (const FormatRun& run : kept) PutFormatRun(store, run, write);
}

class CStyleApplier {
public:
    CStyleApplier(StyleTables& tables, CFormatStore& store, uint8_t code, const StyleRecord& style,
                  const FontRecord& font)
        : tables_(tables), store_(store), code_(code), style_(style), font_(font),
          oldCount_(tables.styleCount) {
        // Only old styles below the count (or 0 in their place) are ever mapped.
        std::fill(mapped_, mapped_ + std::max<uint16_t>(oldCount_, 1), -1);
    }

    // Writes the runs of one row: the kept runs of the row cut to the columns, and between
    // them the columns with their column styles.
    bool Row(uint32_t row, uint16_t c1, uint16_t c2, const std::vector<FormatRun>& kept,
             std::size_t& next) {
        uint32_t column = c1;
        for (; next < kept.size() && kept[next].row == row; ++next) {
            const FormatRun& run = kept[next];
            if (run.lastColumn < c1 || run.firstColumn > c2) continue;
            const uint16_t first = std::max(run.firstColumn, c1);
            const uint16_t last = std::min(run.lastColumn, c2);
            if (!Gap(row, column, first)) return false;
            if (!Piece(row, first, last, run.style)) return false;
            column = uint32_t(last) + 1;
        }
        return Gap(row, column, uint32_t(c2) + 1);
    }

private:
    // Columns [from, to) without a kept run, in pieces of equal column style.
    bool Gap(uint32_t row, uint32_t from, uint32_t to) {
        while (from < to) {
            const uint16_t style = ColumnStyleIndex(store_, uint16_t(from));
            uint32_t end = from;
            while (end + 1 < to && ColumnStyleIndex(store_, uint16_t(end + 1)) == style) ++end;
            if (!Piece(row, uint16_t(from), uint16_t(end), style)) return false;
            from = end + 1;
        }
        return true;
    }

    // One piece of old style `old`: a run where the new style is not the column's own.
    bool Piece(uint32_t row, uint16_t first, uint16_t last, uint16_t old) {
        int32_t index = 0;
        if (!NewStyle(old < oldCount_ ? old : 0, index)) return false;
        uint32_t column = first;
        while (column <= last) {
            const bool plain = ColumnStyleIndex(store_, uint16_t(column)) == index;
            uint32_t end = column;
            while (end + 1 <= last &&
                   (ColumnStyleIndex(store_, uint16_t(end + 1)) == index) == plain)
                ++end;
            if (!plain &&
                !PutFormatRun(store_, {uint16_t(column), uint16_t(end), row, uint16_t(index)},
                              write_))
                return false;
            column = end + 1;
        }
        return true;
    }

    // The index of the old style with the attribute applied, found or appended once.
    bool NewStyle(uint16_t old, int32_t& index) {
        if (mapped_[old] >= 0) {
            index = mapped_[old];
            return true;
        }
        StyleRecord style = GetStyleRecord(tables_, old);
        FontRecord font = GetFontRecord(tables_, style.fontRef.fontIndex);
        if (ApplyFormatAttribute(style, font, style_, font_, code_)) {
            uint8_t fontIndex = 0;
            if (!FindOrAddFont(tables_, font, &fontIndex)) return false;
            style.fontRef.fontIndex = fontIndex;
        }
        index = -1;
        for (uint16_t i = 0; i < tables_.styleCount && index < 0; ++i)
            if (CompareStyleRecords(tables_.styles[i], style)) index = i;
        if (index < 0) {
            if (tables_.styleCount >= kMaxStyles) return false;
            tables_.styles[tables_.styleCount] = style;
            index = tables_.styleCount++;
        }
        mapped_[old] = index;
        return true;
    }

    StyleTables& tables_;
    CFormatStore& store_;
    uint8_t code_;
    const StyleRecord& style_;
    const FontRecord& font_;
    uint16_t oldCount_;
    int32_t mapped_[kMaxStyles];
    CellCursor write_;
};

} // namespace

bool ApplyStyleToRange(StyleTables& tables, uint16_t firstColumn, uint16_t lastColumn,
                       uint32_t firstRow, uint32_t lastRow, CFormatStore& store, uint8_t code,
                       const StyleRecord& sourceStyle, const FontRecord& sourceFont) {
    if (firstColumn > lastColumn || lastColumn > kLastColumn || firstRow > lastRow ||
        lastRow > kLastRow)
        return false;
    std::vector<FormatRun> kept;
    if (!KeepRuns(store, firstRow, lastRow, kept)) return false;
    bool ok = ClearFormatRect(store, CellRange{firstColumn, firstRow, lastColumn, lastRow}, nullptr,
                              false);
    CStyleApplier applier(tables, store, code, sourceStyle, sourceFont);
    std::size_t next = 0;
    for (uint32_t row = firstRow; ok && row <= lastRow; ++row)
        ok = applier.Row(row, firstColumn, lastColumn, kept, next);
    if (!ok) RestoreRuns(store, firstRow, lastRow, kept);
    return ok;
}

uint16_t CellStyleIndex(const CFormatStore& store, uint32_t row, uint16_t column) {
    CellCursor runs = FormatRunsFromRow(store, row);
    if (!runs.page) return ColumnStyleIndex(store, column);
    return StyleIndexAt(store, row, column, runs);
}

} // namespace vl
