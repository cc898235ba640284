#include "model/cellstyle.h"

namespace vl {

uint16_t StyleIndexAt(const CFormatStore& formats, uint32_t row, uint16_t column,
                      CellCursor& runs) {
    if (!runs.page) runs = FormatRunsFromRow(formats, row);
    runs.flags = 0;
    while (const uint8_t* p = FormatRunCursorNext(runs)) {
        const FormatRun run = LoadFormatRun(p);
        if (run.row > row || (run.row == row && run.lastColumn >= column)) {
            if (run.row == row && run.firstColumn <= column) return run.style;
            break;
        }
        runs.offset = uint16_t(runs.offset + kFormatRunSize);
    }
    return ColumnStyleIndex(formats, column);
}

} // namespace vl
