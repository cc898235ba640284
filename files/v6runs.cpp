// The format runs of a version-6 worksheet: blocks of consecutive rows that share one list
// of runs. Blocks come in row order, so the runs are put through one cursor; a block that
// goes back over rows already styled clears the columns it restyles first, so that no two
// runs of a row ever overlap.
//
// A block repeats its runs on every row it covers, so a few bytes of file can describe a
// store of gigabytes. The run stores of all the workbook's worksheets together may take
// 64 MiB and 256 bytes more for each byte of the file; a file that describes more fails as
// out of memory (error 8) before the store grows past that.

#include "files/v6records.h"
#include "model/workbook.h"

#include <algorithm>
#include <vector>

namespace vl {

namespace {

constexpr size_t kV6RunSize = 6;
constexpr uint16_t kUnstyled = 0xFFFF;
constexpr uint64_t kRunBudgetFloor = uint64_t(64) << 20;
constexpr uint64_t kRunBudgetPerFileByte = 256;

using RunList = std::vector<FormatRun>;

// Lays runs that overlap onto the row in their order, the later over the earlier, and
// takes the row apart into runs again.
void Flatten(RunList& runs) {
    std::vector<uint16_t> row(kMaxColumns, kUnstyled);
    for (const FormatRun& r : runs)
        std::fill(row.begin() + r.firstColumn, row.begin() + r.lastColumn + 1, r.style);
    runs.clear();
    for (uint16_t c = 0; c < kMaxColumns;) {
        uint16_t end = c;
        while (end + 1 < kMaxColumns && row[end + 1] == row[c]) ++end;
        if (row[c] != kUnstyled) runs.push_back({c, end, 0, row[c]});
        c = uint16_t(end + 1);
    }
}

class CRunWriter {
public:
    CRunWriter(CWorkbook& book, CFormatStore& formats, uint64_t pageBudget)
        : book_(book), formats_(formats), pageBudget_(pageBudget) {}

    // Puts the runs, in column order and apart from each other, into one row.
    bool PutRow(uint32_t row, const RunList& runs) {
        if (runs.empty()) return true;
        const bool revisit = any_ && !After(row, runs.front().firstColumn);
        for (FormatRun run : runs) {
            run.row = row;
            if (revisit &&
                !ClearFormatRect(formats_, CellRange{run.firstColumn, row, run.lastColumn, row},
                                 &cursor_, true))
                return V6NoMemory(book_);
            if (!PutFormatRun(formats_, run, cursor_)) return V6NoMemory(book_);
        }
        if (formats_.runs.PageCount() > pageBudget_) return V6NoMemory(book_);
        if (!any_ || After(row, runs.back().lastColumn)) {
            any_ = true;
            lastRow_ = row;
            lastColumn_ = runs.back().lastColumn;
        }
        return true;
    }

private:
    // Whether a column of a row lies after the furthest run put so far.
    bool After(uint32_t row, uint16_t column) const {
        return row > lastRow_ || (row == lastRow_ && column > lastColumn_);
    }

    CWorkbook& book_;
    CFormatStore& formats_;
    uint64_t pageBudget_;
    CellCursor cursor_;
    bool any_ = false;
    uint32_t lastRow_ = 0;
    uint16_t lastColumn_ = 0;
};

// The runs of one block, cut to the sheet's columns, with styles the table lacks as 0.
bool ReadRunList(CWorkbook& book, CV6Input& in, uint16_t count, RunList& runs) {
    if (!in.Holds(count, kV6RunSize)) return V6Invalid(book);
    runs.clear();
    bool apart = true;
    for (uint16_t i = 0; i < count; ++i) {
        FormatRun run{in.U16(), in.U16(), 0, in.U16()};
        if (run.firstColumn > run.lastColumn) return V6Invalid(book);
        if (run.firstColumn > kLastColumn) continue;
        run.lastColumn = std::min(run.lastColumn, kLastColumn);
        if (run.style >= book.styles.styleCount) run.style = 0;
        if (!runs.empty() && run.firstColumn <= runs.back().lastColumn) apart = false;
        // A run that goes on with the style of the one before it extends it: a block is put
        // on every row it covers, so each run kept here is paid for once per row.
        if (apart && !runs.empty() && runs.back().style == run.style &&
            uint32_t(runs.back().lastColumn) + 1 == run.firstColumn) {
            runs.back().lastColumn = run.lastColumn;
            continue;
        }
        runs.push_back(run);
    }
    if (!apart) Flatten(runs);
    return true;
}

// The run pages this worksheet may still take: the workbook's budget less what the
// worksheets read before it hold.
uint64_t RunPageBudget(const CWorkbook& book, const CWorksheet& sheet, size_t fileSize) {
    const uint64_t pages = (kRunBudgetFloor + kRunBudgetPerFileByte * fileSize) / sizeof(Page);
    uint64_t used = 0;
    for (const CTreeItem* item = book.tree.first; item; item = item->next)
        if (const CWorksheet* other = AsWorksheet(item); other && other != &sheet)
            used += other->formats.runs.PageCount();
    return used < pages ? pages - used : 0;
}

} // namespace

bool ReadV6FormatRuns(CWorkbook& book, CV6Input& in, CWorksheet& sheet) {
    const uint32_t total = in.U32();
    if (!in.Ok()) return V6Invalid(book);
    CRunWriter writer(book, sheet.formats, RunPageBudget(book, sheet, in.Whole()));
    RunList runs;
    for (uint64_t covered = 0; covered < total;) {
        const uint16_t rows = in.U16();
        const uint32_t first = in.U32();
        const uint16_t count = in.U16();
        if (!in.Ok() || !ReadRunList(book, in, count, runs)) return V6Invalid(book);
        covered += rows;
        const uint64_t end = std::min<uint64_t>(uint64_t(first) + rows, kMaxRows);
        for (uint64_t row = first; row < end; ++row)
            if (!writer.PutRow(uint32_t(row), runs)) return false;
    }
    return true;
}

} // namespace vl
