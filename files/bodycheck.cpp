#include "files/bodycheck.h"

#include "formula/token.h"
#include "model/cellrecord.h"
#include "model/dropdownlist.h"
#include "model/formatstore.h"

#include <cmath>
#include <string_view>

namespace vl {

namespace {

constexpr uint32_t kPositionBytes = 7;
constexpr uint8_t kLastFormulaError = 12;
constexpr int kSeriesLines = 16;

// The length of the record at `r`, reading nothing at or past `remaining`; 0 when the record
// does not lie whole inside it.
uint32_t RecordLength(const uint8_t* r, uint32_t remaining) {
    if (remaining < kPositionBytes) return 0;
    uint32_t n = 0;
    if (cell::IsText(r)) {
        if (remaining < kTextHead) return 0;
        n = kTextHead + cell::TextLength(r);
    } else if (cell::IsNumber(r)) {
        n = kNumberRecordSize;
    } else {
        if (remaining < kFormulaHead) return 0;
        n = kFormulaHead + cell::FormulaLength(r);
        if (cell::ResultFlags(r) & kResultText) {
            if (n + 2 > remaining) return 0;
            n += 2 + LoadU16(r + n);
        }
    }
    return n <= remaining ? n : 0;
}

// A zero byte would end the text early wherever it is passed on, and no save of ours
// writes one: a record holding one is not ours.
bool HoldsZero(const uint8_t* r) {
    const auto has = [](std::string_view text) { return text.find('\0') != text.npos; };
    if (cell::IsText(r)) return has(cell::Text(r));
    return cell::IsFormula(r) && (has(cell::Formula(r)) || has(cell::CachedText(r)));
}

bool InOrder(PageOrder& order, uint32_t row, uint16_t column) {
    if (order.any && !cell::Before(order.row, order.column, row, column)) return false;
    order = {true, row, column};
    return true;
}

// An array anchor covers at least its own cell, as the XML form reads it.
bool CheckFormulaHead(const uint8_t* r) {
    const uint32_t least = (cell::ResultFlags(r) & kResultArray) ? 1 : 0;
    return cell::ArrayWidth(r) >= least && cell::ArrayWidth(r) <= kMaxColumns &&
           cell::ArrayHeight(r) >= least && cell::ArrayHeight(r) <= kMaxRows;
}

bool CheckFormat(const StandardFormat& format) {
    return format.kind <= STD_STYLE_USER_DEFINED;
}

bool CheckRange(const RangeDescriptor& range) {
    return range.c1 <= kLastColumn && range.c2 <= kLastColumn && range.r1 <= kLastRow &&
           range.r2 <= kLastRow;
}

} // namespace

// A number without a decimal form cannot be shown, written or calculated with: it becomes
// #NUM! in place, its value 0. A negative zero, which no cell holds (it would show as "-0"),
// becomes 0. Every other record is kept as stored.
void ClampNumber(uint8_t* r) {
    constexpr uint32_t kNumberAt = 7, kCachedAt = 25;
    if (cell::IsText(r) || cell::Error(r)) return;
    const bool formula = cell::IsFormula(r);
    if (formula && !(cell::ResultFlags(r) & kResultNumber) && (cell::ResultFlags(r) & kResultText))
        return;
    const uint32_t at = formula ? kCachedAt : kNumberAt;
    const double value = LoadF64(r + at);
    if (std::isfinite(value) && !(value == 0 && std::signbit(value))) return;
    StoreF64(r + at, 0);
    if (!std::isfinite(value)) cell::SetError(r, kErrNum >> 4);
}

bool CheckCellPage(uint8_t* payload, uint32_t used, PageOrder& order) {
    if (used > kPagePayload) return false;
    for (uint32_t offset = 0; offset < used;) {
        uint8_t* r = payload + offset;
        const uint32_t n = RecordLength(r, used - offset);
        if (n == 0 || cell::Column(r) > kLastColumn || cell::Row(r) > kLastRow) return false;
        if (cell::Error(r) > kLastFormulaError) return false;
        if (cell::IsFormula(r) && !CheckFormulaHead(r)) return false;
        if (HoldsZero(r)) return false;
        if (!InOrder(order, cell::Row(r), cell::Column(r))) return false;
        ClampNumber(r);
        offset += n;
    }
    return true;
}

bool CheckRunPage(const uint8_t* payload, uint32_t used, uint16_t styleCount, PageOrder& order) {
    if (used > kPagePayload || used % kFormatRunSize != 0) return false;
    for (uint32_t offset = 0; offset < used; offset += kFormatRunSize) {
        const FormatRun run = LoadFormatRun(payload + offset);
        if (run.firstColumn > run.lastColumn || run.lastColumn > kLastColumn) return false;
        if (run.row > kLastRow || run.style >= styleCount) return false;
        if (order.any && run.row < order.row) return false;
        if (order.any && order.row == run.row && run.firstColumn <= order.last)
            order.overlapping = true;
        order.any = true;
        order.row = run.row;
        order.column = run.firstColumn;
        order.last = run.lastColumn;
    }
    return true;
}

bool CheckCellRef(const CellRef& ref) {
    return ref.column <= kLastColumn && ref.row <= kLastRow;
}

bool CheckStyle(const StyleRecord& style, uint8_t fontCount) {
    return CheckFormat(style.numberFormat) && style.fontRef.fontIndex < fontCount &&
           style.dropDownList <= kDropDownLists;
}

bool CheckSeries(const SeriesSettings& series) {
    return CheckFormat(series.numberFormat) && series.userGridCount <= kSeriesLines &&
           series.sliceFillCount <= kSeriesLines;
}

bool CheckViewSettings(const ViewSettingsRecord& view) {
    return CheckCellRef(view.topLeft) && CheckCellRef(view.selection[0]) &&
           CheckCellRef(view.selection[1]) && CheckCellRef(view.freezed);
}

bool CheckPageSetup(const PageSetupRecord& page) {
    return CheckRange(page.printRange);
}

} // namespace vl
