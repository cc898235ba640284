#include "model/rowcolumnedit.h"
#include "model/runappender.h"

#include <algorithm>

namespace vl {

namespace {

// Bits of a row-height entry that stay with the row's position.
constexpr uint16_t kKeptRowBits = 0xE000;

// The runs of the store from a row on, written afresh through a transformation that may
// drop a run; runs that end up touching with one style are joined.
class CRunRewrite {
public:
    CRunRewrite(CCellStore& runs, uint32_t firstRow)
        : splice_(runs, kRunLayout, firstRow, kLastRow), out_(splice_) {}

    // Builds the new runs aside; nothing is in place until Commit.
    template <class Change> bool Fill(Change&& change) {
        while (const uint8_t* p = splice_.NextOld()) {
            FormatRun run = LoadFormatRun(p);
            if (change(run) && !out_.Append(run)) return false;
        }
        return true;
    }
    void Commit() { splice_.Commit(); }

private:
    CRowSplice splice_;
    CRunAppender out_;
};

// The length the row-height list needs so that the entries of rows first.. can move down
// by count: default entries pushed past the old end are not kept.
uint32_t GrownRowCount(CPagedList& heights, uint32_t first, uint32_t count) {
    const uint32_t n = heights.ItemCount();
    if (first >= n) return n;
    for (uint32_t i = n; i-- > std::max(first, n > count ? n - count : 0);)
        if (*heights.GetItem2(i) != 0)
            return uint32_t(std::min<uint64_t>(uint64_t(i) + count + 1, kMaxRows));
    return n;
}

// Moves the entries of rows first.. down by count within the list's (grown) length.
void ShiftRowHeightsDown(CPagedList& heights, uint32_t first, uint32_t count) {
    const uint32_t n = heights.ItemCount();
    for (uint32_t i = n; i-- > first + count;) *heights.GetItem2(i) = *heights.GetItem2(i - count);
    for (uint32_t i = first; i < first + count && i < n; ++i) *heights.GetItem2(i) &= kKeptRowBits;
}

void ShiftRowHeightsUp(CPagedList& heights, uint32_t first, uint32_t count) {
    const uint32_t n = heights.ItemCount();
    for (uint32_t i = first; i < n; ++i) {
        uint16_t* to = heights.GetItem2(i);
        *to = uint64_t(i) + count < n ? *heights.GetItem2(i + count) : uint16_t(*to & kKeptRowBits);
    }
}

} // namespace

bool InsertRowFormats(CFormatStore& formats, uint32_t first, uint32_t count) {
    if (count == 0 || first > kLastRow) return true;
    CRunRewrite rewrite(formats.runs, first);
    const bool filled = rewrite.Fill([&](FormatRun& run) {
        if (run.row < first) return true;
        if (uint64_t(run.row) + count > kLastRow) return false;
        run.row += count;
        return true;
    });
    const uint32_t n = formats.rowHeights.ItemCount();
    if (!filled ||
        !formats.rowHeights.GrowTo2(GrownRowCount(formats.rowHeights, first, count), 0, true))
        return false;
    rewrite.Commit();
    if (first < n) ShiftRowHeightsDown(formats.rowHeights, first, count);
    return true;
}

bool RemoveRowFormats(CFormatStore& formats, uint32_t first, uint32_t last) {
    if (first > last) return true;
    const uint32_t count = last - first + 1;
    CRunRewrite rewrite(formats.runs, first);
    const bool done = rewrite.Fill([&](FormatRun& run) {
        if (run.row < first) return true;
        if (run.row <= last) return false;
        run.row -= count;
        return true;
    });
    if (!done) return false;
    rewrite.Commit();
    ShiftRowHeightsUp(formats.rowHeights, first, count);
    return true;
}

bool InsertColumnFormats(CFormatStore& formats, uint16_t first, uint16_t count) {
    if (count == 0 || first > kLastColumn) return true;
    CRunRewrite rewrite(formats.runs, 0);
    const bool done = rewrite.Fill([&](FormatRun& run) {
        uint32_t a = run.firstColumn, b = run.lastColumn;
        if (a >= first) a += count;
        if (b >= first) b += count;
        if (a > kLastColumn) return false;
        run.firstColumn = uint16_t(a);
        run.lastColumn = uint16_t(std::min<uint32_t>(b, kLastColumn));
        return true;
    });
    if (!done) return false;
    rewrite.Commit();
    ColumnEntry* columns = formats.columns;
    for (int c = kLastColumn; c >= int(first) + count; --c) columns[c] = columns[c - count];
    for (int c = first; c < int(first) + count && c <= kLastColumn; ++c) columns[c] = ColumnEntry{};
    ColumnsChanged(formats);
    return true;
}

bool RemoveColumnFormats(CFormatStore& formats, uint16_t first, uint16_t last) {
    if (first > last) return true;
    const int count = last - first + 1;
    CRunRewrite rewrite(formats.runs, 0);
    const bool done = rewrite.Fill([&](FormatRun& run) {
        const int a = run.firstColumn, b = run.lastColumn;
        const int a2 = a < first ? a : a > last ? a - count : first;
        const int b2 = b < first ? b : b > last ? b - count : first - 1;
        if (a2 > b2) return false;
        run.firstColumn = uint16_t(a2);
        run.lastColumn = uint16_t(b2);
        return true;
    });
    if (!done) return false;
    rewrite.Commit();
    ColumnEntry* columns = formats.columns;
    for (int c = first; c + count <= kLastColumn; ++c) columns[c] = columns[c + count];
    for (int c = std::max<int>(first, kLastColumn + 1 - count); c <= kLastColumn; ++c)
        columns[c] = ColumnEntry{};
    ColumnsChanged(formats);
    return true;
}

} // namespace vl
