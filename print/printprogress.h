#pragma once
// What a long printout tells as it goes, and whether the user ended it. Pagination asks
// between the pages it makes and printing between the sheets of paper it paints; an answer
// of false stops the work there, with nothing written and nothing to tell.

#include <cstdint>

namespace vl {

enum class PrintStage { kPaginating, kPrinting };

class IPrintProgress {
public:
    virtual ~IPrintProgress() = default;
    // `pages` made (paginating) or painted (printing) so far; `done` of `total` is the part
    // of the work behind: rows walked of the rows to walk, or sheets painted of the sheets.
    virtual bool Step(PrintStage stage, uint32_t pages, uint32_t done, uint32_t total) = 0;
    // Whether a Step answered false.
    virtual bool Stopped() const = 0;
    // The pages are made: what shows the progress goes before the job is handed over.
    virtual void Finished() {}
};

} // namespace vl
