#pragma once
// Appending format runs to a splice, joining a run to the one before it when they touch and
// share a style, as a store built run by run keeps them: a block put back where it was cut
// out, or columns removed and inserted again, leave the runs as they were.

#include "model/formatstore.h"
#include "model/rowsplice.h"

namespace vl {

class CRunAppender {
public:
    explicit CRunAppender(CRowSplice& splice) : splice_(splice) {}
    bool Append(const FormatRun& run) {
        if (last_ && lastRun_.row == run.row && lastRun_.style == run.style &&
            uint32_t(lastRun_.lastColumn) + 1 == run.firstColumn) {
            lastRun_.lastColumn = run.lastColumn;
            StoreFormatRun(last_, lastRun_);
            return true;
        }
        uint8_t bytes[kFormatRunSize];
        StoreFormatRun(bytes, run);
        last_ = splice_.Append(bytes, kFormatRunSize);
        lastRun_ = run;
        return last_ != nullptr;
    }

private:
    CRowSplice& splice_;
    uint8_t* last_ = nullptr;
    FormatRun lastRun_{};
};

} // namespace vl
