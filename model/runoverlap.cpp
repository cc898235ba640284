#include "model/runoverlap.h"

#include <algorithm>

namespace vl {

namespace {

constexpr uint32_t kUnstyled = 0x10000;

bool Apart(const std::vector<FormatRun>& runs) {
    for (std::size_t i = 1; i < runs.size(); ++i)
        if (runs[i].firstColumn <= runs[i - 1].lastColumn) return false;
    return true;
}

} // namespace

void SeparateRowRuns(std::vector<FormatRun>& runs) {
    if (runs.empty() || Apart(runs)) return;
    const uint32_t row = runs.front().row;
    std::vector<uint32_t> styles(kMaxColumns, kUnstyled);
    // Laid from the last to the first, so that the earliest run is on top.
    for (auto it = runs.rbegin(); it != runs.rend(); ++it)
        std::fill(styles.begin() + it->firstColumn, styles.begin() + it->lastColumn + 1,
                  uint32_t(it->style));
    runs.clear();
    for (uint32_t c = 0; c < kMaxColumns;) {
        uint32_t end = c;
        while (end + 1 < kMaxColumns && styles[end + 1] == styles[c]) ++end;
        if (styles[c] != kUnstyled)
            runs.push_back({uint16_t(c), uint16_t(end), row, uint16_t(styles[c])});
        c = end + 1;
    }
}

bool SeparateFormatRuns(CFormatStore& store) {
    std::vector<FormatRun> all;
    CellCursor walk{kAdvance, store.runs.FirstPage(), 0};
    while (const uint8_t* p = FormatRunCursorNext(walk)) all.push_back(LoadFormatRun(p));
    store.runs.FreeAll();
    CellCursor cursor;
    std::vector<FormatRun> row;
    for (std::size_t i = 0; i < all.size();) {
        std::size_t end = i;
        while (end < all.size() && all[end].row == all[i].row) ++end;
        row.assign(all.begin() + std::ptrdiff_t(i), all.begin() + std::ptrdiff_t(end));
        SeparateRowRuns(row);
        for (const FormatRun& run : row)
            if (!PutFormatRun(store, run, cursor)) {
                store.runs.FreeAll();
                return false;
            }
        i = end;
    }
    return true;
}

} // namespace vl
