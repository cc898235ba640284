#include "model/rangeops.h"
#include "model/rowsplice.h"

#include <algorithm>
#include <map>

namespace vl {

namespace {

bool RunBefore(const FormatRun& a, const FormatRun& b) {
    return a.row < b.row || (a.row == b.row && a.firstColumn < b.firstColumn);
}

// What is left of a run once the rectangles are cleared out of it, left to right.
std::vector<FormatRun> CutRun(const FormatRun& run, const std::vector<CellRange>& clear) {
    std::vector<FormatRun> parts{run};
    for (const CellRange& t : clear) {
        if (run.row < t.r1 || run.row > t.r2) continue;
        std::vector<FormatRun> cut;
        for (const FormatRun& p : parts) {
            if (p.lastColumn < t.c1 || p.firstColumn > t.c2) {
                cut.push_back(p);
                continue;
            }
            if (p.firstColumn < t.c1)
                cut.push_back({p.firstColumn, uint16_t(t.c1 - 1), p.row, p.style});
            if (p.lastColumn > t.c2)
                cut.push_back({uint16_t(t.c2 + 1), p.lastColumn, p.row, p.style});
        }
        parts.swap(cut);
    }
    return parts;
}

bool AppendRun(CRowSplice& splice, const FormatRun& run) {
    uint8_t bytes[kFormatRunSize];
    StoreFormatRun(bytes, run);
    return splice.Append(bytes, kFormatRunSize) != nullptr;
}

// The new runs of the spliced rows: the old ones less the cleared rectangles, with the given
// runs (inside them, in order) merged in.
bool FillRuns(CRowSplice& splice, const std::vector<CellRange>& clear,
              const std::vector<FormatRun>& in) {
    size_t next = 0;
    while (const uint8_t* p = splice.NextOld()) {
        for (const FormatRun& part : CutRun(LoadFormatRun(p), clear)) {
            for (; next < in.size() && RunBefore(in[next], part); ++next)
                if (!AppendRun(splice, in[next])) return false;
            if (!AppendRun(splice, part)) return false;
        }
    }
    for (; next < in.size(); ++next)
        if (!AppendRun(splice, in[next])) return false;
    return true;
}

// Source styles mapped into the target tables, appending what is missing.
class CStyleMap {
public:
    CStyleMap(StyleTables& tables, const StyleView& source) : tables_(tables), source_(source) {}
    bool Map(uint16_t style, uint16_t* out) {
        if (style == 0) return *out = 0, true;
        const auto found = map_.find(style);
        if (found != map_.end()) return *out = found->second, true;
        if (!ImportStyle(tables_, source_, style, out)) return false;
        map_[style] = *out;
        return true;
    }

private:
    StyleTables& tables_;
    const StyleView& source_;
    std::map<uint16_t, uint16_t> map_;
};

} // namespace

std::vector<FormatRun> RunsInRect(const CFormatStore& store, const CellRange& rect) {
    std::vector<FormatRun> runs;
    CellCursor cursor = FormatRunsFromRow(store, rect.r1);
    cursor.flags = kAdvance;
    while (const uint8_t* p = FormatRunCursorNext(cursor)) {
        FormatRun run = LoadFormatRun(p);
        if (run.row < rect.r1) continue;
        if (run.row > rect.r2) break;
        run.firstColumn = std::max(run.firstColumn, rect.c1);
        run.lastColumn = std::min(run.lastColumn, rect.c2);
        if (run.firstColumn <= run.lastColumn) runs.push_back(run);
    }
    return runs;
}

struct CFormatBlockCopy::Pending {
    Pending(CFormatStore& target, uint32_t r1, uint32_t r2, StyleTables& tables)
        : target(target), splice(target.runs, kRunLayout, r1, r2), tables(tables),
          styleCount(tables.styleCount), fontCount(tables.fontCount) {}
    CFormatStore& target;
    CRowSplice splice;
    StyleTables& tables;
    uint16_t styleCount;
    uint8_t fontCount;
    bool columnsChanged = false;
    ColumnEntry columns[kMaxColumns];
    std::vector<std::pair<uint32_t, uint16_t>> heights;
};

CFormatBlockCopy::CFormatBlockCopy() = default;

CFormatBlockCopy::~CFormatBlockCopy() {
    if (!pending_) return;
    pending_->tables.styleCount = pending_->styleCount;
    pending_->tables.fontCount = pending_->fontCount;
}

namespace {

// The runs of source rectangle s that land in t, shifted and with their styles mapped.
bool MapRuns(CStyleMap& map, const CFormatStore& source, const CellRange& t, const CellRange& s,
             std::vector<FormatRun>& in) {
    const int64_t dc = int64_t(t.c1) - s.c1;
    const int64_t dr = int64_t(t.r1) - s.r1;
    for (FormatRun run : RunsInRect(source, s)) {
        const int64_t row = run.row + dr;
        const int64_t first = std::max<int64_t>(run.firstColumn + dc, t.c1);
        const int64_t last = std::min<int64_t>(run.lastColumn + dc, t.c2);
        if (row < t.r1 || row > t.r2 || first > last) continue;
        if (!map.Map(run.style, &run.style)) return false;
        in.push_back({uint16_t(first), uint16_t(last), uint32_t(row), run.style});
    }
    return true;
}

// Whole columns: the column entries of s, their styles mapped, into the table copy.
bool MapColumns(CStyleMap& map, const CFormatStore& source, const CellRange& t, const CellRange& s,
                ColumnEntry* columns) {
    const int64_t dc = int64_t(t.c1) - s.c1;
    for (int64_t c = s.c1; c <= s.c2; ++c) {
        if (c + dc < t.c1 || c + dc > t.c2) continue;
        ColumnEntry entry = source.columns[c];
        uint16_t style = entry.style & kStyleIndexMask;
        if (!map.Map(style, &style)) return false;
        entry.style = uint16_t((entry.style & ~kStyleIndexMask) | style);
        columns[c + dc] = entry;
    }
    return true;
}

// Whole rows: the heights of the rows of s for the rows of t. A row past the end of the
// source's list has the default height (0), which replaces an explicit height of the target.
std::vector<std::pair<uint32_t, uint16_t>> RowHeightsFor(CFormatStore& source,
                                                         const CFormatStore& target,
                                                         const CellRange& t, const CellRange& s) {
    std::vector<std::pair<uint32_t, uint16_t>> heights;
    const int64_t dr = int64_t(t.r1) - s.r1;
    const int64_t count = source.rowHeights.ItemCount();
    const int64_t end = std::max(count, int64_t(target.rowHeights.ItemCount()) - dr);
    for (int64_t r = s.r1; r <= s.r2 && r < end; ++r) {
        if (r + dr < t.r1 || r + dr > t.r2) continue;
        const uint16_t* h = r < count ? source.rowHeights.GetItem2(uint32_t(r)) : nullptr;
        heights.emplace_back(uint32_t(r + dr), h ? *h : uint16_t(0));
    }
    return heights;
}

} // namespace

ErrorCode CFormatBlockCopy::Prepare(StyleTables& tables, const CellRange& t, const CellRange& s,
                                    CFormatStore& target, CFormatStore& source,
                                    const StyleView& sourceStyles,
                                    const std::vector<CellRange>& alsoClear, bool sheetEntries) {
    // An inverted rectangle holds no cell; cut out of a run it would duplicate columns.
    std::vector<CellRange> clear{t};
    clear.insert(clear.end(), alsoClear.begin(), alsoClear.end());
    std::erase_if(clear, [](const CellRange& c) { return c.c1 > c.c2 || c.r1 > c.r2; });
    uint32_t r1 = clear.empty() ? 0 : kLastRow, r2 = 0;
    for (const CellRange& c : clear) r1 = std::min(r1, c.r1), r2 = std::max(r2, c.r2);
    pending_ = std::make_unique<Pending>(target, r1, r2, tables);
    Pending& p = *pending_;
    CStyleMap map(tables, sourceStyles);
    std::vector<FormatRun> in;
    if (!MapRuns(map, source, t, s, in)) return kErrorTooManyStyles;
    std::copy(std::begin(target.columns), std::end(target.columns), p.columns);
    if (sheetEntries && s.r1 == 0 && s.r2 == kLastRow) {
        if (!MapColumns(map, source, t, s, p.columns)) return kErrorTooManyStyles;
        p.columnsChanged = true;
    }
    if (sheetEntries && s.c1 == 0 && s.c2 == kLastColumn)
        p.heights = RowHeightsFor(source, target, t, s);
    if (!FillRuns(p.splice, clear, in)) return kErrorWorksheetMemory;
    // Last, as a list that grew stays grown: its new entries are default heights.
    if (!p.heights.empty() && p.heights.back().first >= target.rowHeights.ItemCount() &&
        !target.rowHeights.GrowTo2(p.heights.back().first + 1, 0, true))
        return kErrorWorksheetMemory;
    return kErrorNone;
}

void CFormatBlockCopy::Commit() {
    if (!pending_) return;
    Pending& p = *pending_;
    p.splice.Commit();
    if (p.columnsChanged) {
        std::copy(std::begin(p.columns), std::end(p.columns), p.target.columns);
        ColumnsChanged(p.target);
    }
    for (const auto& [row, height] : p.heights)
        if (uint16_t* to = p.target.rowHeights.GetItem2(row)) *to = height;
    pending_.reset();
}

bool CopyFormatBlock(StyleTables& tables, const CellRange& t, const CellRange& s,
                     CFormatStore& target, CFormatStore& source, const StyleView& sourceStyles) {
    CFormatBlockCopy copy;
    if (copy.Prepare(tables, t, s, target, source, sourceStyles) != kErrorNone) return false;
    copy.Commit();
    return true;
}

bool TransposeFormatRect(const CFormatStore& source, const CellRange& rect, CFormatStore& target,
                         CellCursor& cursor) {
    if (uint64_t(rect.c1) + (rect.r2 - rect.r1) >= kMaxColumns ||
        uint64_t(rect.c2 - rect.c1) + rect.r1 >= kMaxRows)
        return false;
    uint32_t lastRow = 0;
    for (const FormatRun& run : RunsInRect(source, rect)) {
        const uint16_t column = uint16_t(rect.c1 + (run.row - rect.r1));
        for (uint32_t x = run.firstColumn; x <= run.lastColumn; ++x) {
            const uint32_t row = rect.r1 + (x - rect.c1);
            if (row < lastRow) cursor = CellCursor{kAdvance, nullptr, 0};
            lastRow = row;
            if (!PutFormatRun(target, {column, column, row, run.style}, cursor)) {
                ReleaseFormatStore(target, true);
                return false;
            }
        }
    }
    return true;
}

} // namespace vl
