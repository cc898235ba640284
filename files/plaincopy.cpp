#include "files/plaincopy.h"

#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "model/workbook.h"

#include <cstring>
#include <string>

namespace vl {

namespace {

// The style of each cell, found by walking the format runs in step with the cells; a cell
// without a run takes its column's style.
class CStyleWalk {
public:
    explicit CStyleWalk(const CFormatStore& formats)
        : formats_(formats), page_(formats.runs.FirstPage()) {}

    uint16_t StyleAt(uint32_t row, uint16_t column) {
        while (const uint8_t* p = Current()) {
            const FormatRun run = LoadFormatRun(p);
            if (run.row > row || (run.row == row && run.lastColumn >= column)) {
                if (run.row == row && run.firstColumn <= column) return run.style;
                break;
            }
            offset_ += kFormatRunSize;
        }
        return formats_.columns[column].style & kStyleIndexMask;
    }

private:
    const uint8_t* Current() {
        while (page_ && offset_ >= page_->used) {
            page_ = page_->next;
            offset_ = 0;
        }
        return page_ ? page_->payload + offset_ : nullptr;
    }

    const CFormatStore& formats_;
    const Page* page_;
    uint32_t offset_ = 0;
};

// What typing the formula's shown value gives. A shown value that would be read as a
// formula again stays text, so the copy holds values only.
void ConvertFormula(CEvalContext& ctx, const uint8_t* r, const StandardFormat& format,
                    CellBuffer& out) {
    std::string text;
    FormatCellValue(r, format, text);
    StandardFormat typed = format;
    const uint16_t column = cell::Column(r);
    const uint32_t row = cell::Row(r);
    ParseCellInput(ctx, text, typed, row, column, out);
    if (out.size == 0 || cell::IsFormula(out.bytes)) {
        if (text.size() > kMaxCellText) text.resize(kMaxCellText);
        MakeTextCell(out, column, row, text);
    }
}

void Append(std::vector<PlainPage>& pages, const CellBuffer& record) {
    if (pages.empty() || pages.back().used + record.size > kPagePayload) pages.emplace_back();
    PlainPage& page = pages.back();
    std::memcpy(page.bytes + page.used, record.bytes, record.size);
    page.used = uint16_t(page.used + record.size);
}

} // namespace

void BuildPlainCopyPages(const CWorkbook& workbook, const CWorksheet& sheet, CEvalContext& ctx,
                         std::vector<PlainPage>& pages) {
    pages.clear();
    CStyleWalk styles(sheet.formats);
    CellBuffer record;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        if (cell::IsFormula(r)) {
            const uint16_t style = styles.StyleAt(cell::Row(r), cell::Column(r));
            ConvertFormula(ctx, r, GetStyleRecord(workbook.styles, style).numberFormat, record);
        } else {
            record.size = cell::Length(r);
            std::memcpy(record.bytes, r, record.size);
            record.bytes[0] &= uint8_t(~kCellArrayElement);
        }
        Append(pages, record);
    }
}

} // namespace vl
