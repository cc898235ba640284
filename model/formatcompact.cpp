// Packing a run store: runs of one row and style that touch are merged and the pages
// filled from the front, so that a store grown by many small edits holds its runs in as
// few pages as they need.
#include "model/formatstore.h"

#include <cstring>

namespace vl {

void CompactFormatRuns(CCellStore& runs, bool freePages) {
    runs.ClearRowIndex(false);
    runs.SetFreeBytes(0);
    Page* first = runs.FirstPage();
    if (!first) return;
    Page* write = first;
    uint32_t writeOffset = 0;
    for (Page* read = first; read; read = read->next) {
        const uint32_t used = read->used;
        for (uint32_t offset = 0; offset + kFormatRunSize <= used; offset += kFormatRunSize) {
            const FormatRun run = LoadFormatRun(read->payload + offset);
            if (writeOffset > 0) {
                uint8_t* kept = write->payload + writeOffset - kFormatRunSize;
                FormatRun last = LoadFormatRun(kept);
                if (last.row == run.row && last.style == run.style &&
                    uint32_t(last.lastColumn) + 1 == run.firstColumn) {
                    last.lastColumn = run.lastColumn;
                    StoreFormatRun(kept, last);
                    continue;
                }
            }
            if (writeOffset + kFormatRunSize > kPagePayload) {
                write->used = uint16_t(writeOffset);
                write = write->next;
                writeOffset = 0;
            }
            // The writer never passes the reader: it is on the same page or an earlier one.
            StoreFormatRun(write->payload + writeOffset, run);
            writeOffset += kFormatRunSize;
        }
    }
    write->used = uint16_t(writeOffset);
    while (write->next) runs.ReleasePage(write->next, freePages);
    if (writeOffset == 0) runs.ReleasePage(write, freePages);
}

} // namespace vl
