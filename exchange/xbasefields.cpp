// The field list a worksheet gives an xBase table: one field a column, named from the first
// row, typed and sized from the values below it.
#include "exchange/memofile.h"
#include "exchange/numbertext.h"
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "exchange/xbasevalue.h"
#include "formula/celltext.h"
#include "formula/literals.h"
#include "model/cellstyle.h"
#include "model/workbook.h"
#include "platform/core/number.h"
#include "values/numberinput.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace vl {

namespace {

constexpr uint32_t kLongText = 255;
constexpr uint8_t kFloatLength = 20;
constexpr uint8_t kNumericLength = 18;
constexpr uint8_t kMemoLength = 10;
constexpr uint8_t kFloatDecimals = 6;

enum class ColumnState : uint8_t { kOpen, kNumeric, kText, kDone };

struct ColumnPlan {
    ColumnState state = ColumnState::kOpen;
    char type = 'C';
    uint32_t length = 1;
    int decimals = 0;   // the most fraction digits of its numbers
    int whole = 1;      // the widest whole part of its numbers
    uint32_t shown = 0; // the longest shown text of its numbers, should it turn Character
};

// Numeric and Float fields hold the fractions their numbers have, as far as the widest field
// other programs read (20) leaves room beside the widest whole part; a Float field keeps at
// least its six. A number that still cannot be held is refused when it is written.
void SizeNumberField(ColumnPlan& plan) {
    constexpr int kWidest = 20;
    constexpr int kMostDecimals = 15;
    const bool floating = plan.type == 'F';
    const int least = floating ? kFloatDecimals : 0;
    const int room = std::max(kWidest - plan.whole - 1, least);
    plan.decimals = std::clamp(plan.decimals, least, std::min(kMostDecimals, room));
    const int base = floating ? kFloatLength : kNumericLength;
    const int needed = plan.whole + (plan.decimals ? plan.decimals + 1 : 0);
    plan.length = uint32_t(std::clamp(needed, base, kWidest));
}

// The fraction digits of a number's shortest form (15 significant digits, as it is shown),
// counted as fixed notation writes them: 1E-05 takes five.
int FractionDigits(double value) {
    const std::string text = FormatNumberG(value, 15);
    const std::size_t e = text.find_first_of("eE");
    const std::string_view mantissa = std::string_view(text).substr(0, e);
    const std::size_t point = mantissa.find('.');
    int digits = point == std::string_view::npos ? 0 : int(mantissa.size() - point - 1);
    if (e != std::string::npos) digits -= std::atoi(text.c_str() + e + 1);
    return std::max(digits, 0);
}

// The characters of a number's whole part as fixed notation writes it, sign included.
int WholeDigits(double value) {
    const std::string text = FormatNumberF(std::trunc(value), 0);
    return int(text.size()) + (value < 0 && text[0] != '-' ? 1 : 0);
}

class CFieldPlanner {
public:
    CFieldPlanner(const CWorkbook& book, const CWorksheet& sheet, uint8_t format, uint32_t fields)
        : book_(book), sheet_(sheet), format_(format), plans_(fields) {}

    void Scan() {
        CellCursor cursor{kAdvance, sheet_.cells.FirstPage(), 0};
        while (const uint8_t* r = NextCellRecord(cursor)) {
            const uint32_t row = cell::Row(r);
            const uint16_t column = cell::Column(r);
            if (row == 0 || column >= plans_.size()) continue;
            const XBaseValue value = CellXBaseValue(r);
            ColumnPlan& plan = plans_[column];
            if (plan.state == ColumnState::kDone || value.kind == XBaseValue::kNone) continue;
            // An error value is written as its text, which no number field holds: a field
            // that read it as 0 would show a value the worksheet never had.
            if (value.kind == XBaseValue::kNumber && !value.error)
                AddNumber(plan, r, value.number);
            else
                AddText(plan, value.text.size());
        }
    }

    bool memo = false;
    std::vector<ColumnPlan>& Plans() { return plans_; }

private:
    void AddNumber(ColumnPlan& plan, const uint8_t* r, double value) {
        // A number field keeps the fractions its numbers have: with none, 1.5 would be 2.
        if (plan.state != ColumnState::kText && std::isfinite(value)) {
            plan.decimals = std::max(plan.decimals, FractionDigits(value));
            plan.whole = std::max(plan.whole, WholeDigits(value));
        }
        if (plan.state != ColumnState::kText) plan.shown = std::max(plan.shown, ShownLength(r));
        if (plan.state == ColumnState::kOpen) {
            const bool floating = format_ == kXBaseDBase4 || format_ == kXBaseFoxPro;
            plan.type = floating ? 'F' : 'N';
            plan.length = floating ? kFloatLength : kNumericLength;
            plan.state = ColumnState::kNumeric;
            return;
        }
        if (plan.state != ColumnState::kText) return;
        // A number in a Character field is written as it is shown: the field takes it whole.
        AddText(plan, ShownLength(r));
    }

    uint32_t ShownLength(const uint8_t* r) {
        const uint16_t style = StyleIndexAt(sheet_.formats, cell::Row(r), cell::Column(r), runs_);
        std::string text;
        FormatCellValue(r, GetStyleRecord(book_.styles, style).numberFormat, text);
        return uint32_t(text.size());
    }

    void AddText(ColumnPlan& plan, std::size_t length) {
        // A number column that turns Character writes the numbers read before as they are
        // shown: the field takes the longest of them too, not the number field's width.
        if (plan.state == ColumnState::kNumeric) {
            plan.state = ColumnState::kOpen;
            plan.length = 1;
            const uint32_t shown = std::exchange(plan.shown, 0u);
            AddText(plan, shown);
            if (plan.state == ColumnState::kDone) return;
        }
        if (length >= kLongText && !SplitsLengths(format_)) {
            plan.type = 'M';
            plan.length = kMemoLength;
            plan.state = ColumnState::kDone;
            memo = true;
            return;
        }
        plan.type = 'C';
        plan.length = std::max<uint32_t>(plan.length, uint32_t(length));
        plan.state = ColumnState::kText;
    }

    const CWorkbook& book_;
    const CWorksheet& sheet_;
    uint8_t format_;
    std::vector<ColumnPlan> plans_;
    CellCursor runs_;
};

// The name from a text (or text result) in the first row, else "field_N".
void NameField(uint8_t* d, const CCellStore& cells, uint16_t column) {
    std::string name = "field_" + std::to_string(column + 1);
    if (const uint8_t* r = FindCell(cells, 0, column); r && !cell::Error(r)) {
        const XBaseValue value = CellXBaseValue(r);
        if (value.kind == XBaseValue::kText && !value.text.empty())
            name.assign(value.text.substr(0, kFieldNameLength));
    }
    std::memcpy(d, name.data(), name.size());
}

} // namespace

XBaseValue CellXBaseValue(const uint8_t* r) {
    XBaseValue v;
    if (cell::Error(r)) {
        v.kind = XBaseValue::kText;
        v.error = true;
        v.text = GetFormulaErrorText(uint8_t(cell::Error(r) << 4));
        return v;
    }
    if (cell::IsText(r)) {
        v.kind = XBaseValue::kText;
        v.text = cell::Text(r);
    } else if (cell::IsNumber(r)) {
        v.kind = XBaseValue::kNumber;
        v.number = cell::Number(r);
    } else if (cell::ResultFlags(r) & kResultText) {
        v.kind = XBaseValue::kText;
        v.text = cell::CachedText(r);
    } else if (cell::ResultFlags(r) & kResultNumber) {
        v.kind = XBaseValue::kNumber;
        v.number = cell::CachedNumber(r);
    }
    return v;
}

uint32_t NumbersTheFieldsRound(const CWorkbook& workbook, const CWorksheet& sheet, uint8_t format) {
    uint16_t firstColumn = 0, lastColumn = 0;
    uint32_t firstRow = 0, lastRow = 0;
    if (!sheet.cells.GetUsedRange(&firstColumn, &lastColumn, &firstRow, &lastRow)) return 0;
    CFieldPlanner planner(workbook, sheet, format, uint32_t(lastColumn) + 1);
    planner.Scan();
    for (ColumnPlan& plan : planner.Plans())
        if (plan.state == ColumnState::kNumeric) SizeNumberField(plan);
    uint32_t rounded = 0;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        if (cell::Row(r) == 0 || cell::Column(r) >= planner.Plans().size()) continue;
        const ColumnPlan& plan = planner.Plans()[cell::Column(r)];
        const XBaseValue value = CellXBaseValue(r);
        if (plan.state != ColumnState::kNumeric || value.kind != XBaseValue::kNumber ||
            value.error || !std::isfinite(value.number))
            continue;
        // A number the field cannot take at all (too wide, or one that would read as 0) is
        // refused when the table is written: no rounding of it is ever stored.
        const std::string text = FormatNumberF(value.number, plan.decimals);
        const double back = ReadDecimalField(text);
        if (text.size() > plan.length || (back == 0 && value.number != 0)) continue;
        if (FormatNumberG(back, 15) != FormatNumberG(value.number, 15)) ++rounded;
    }
    return rounded;
}

uint32_t TextsTheOemCodePageLacks(const CWorkbook& workbook, const CWorksheet& sheet) {
    const XBaseSaveOptions& options = workbook.xbase;
    if (options.encoding != 3) return 0;
    const uint32_t fields = options.fieldDescriptors ? FieldCount(options) : 0;
    uint32_t lacking = 0;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        const uint16_t column = cell::Column(r);
        if (cell::Row(r) == 0) continue; // the field names
        if (options.fieldDescriptors) {
            if (column >= fields) continue;
            const uint8_t type = Descriptor(options, column)[kFieldTypeByte];
            if (type != 'C' && type != 'M') continue;
        }
        const XBaseValue value = CellXBaseValue(r);
        if (value.kind == XBaseValue::kText && LacksOemCharacter(value.text)) ++lacking;
    }
    return lacking;
}

uint32_t TextsTheNumberFieldsLose(const CWorkbook& workbook, const CWorksheet& sheet) {
    const XBaseSaveOptions& options = workbook.xbase;
    if (!options.fieldDescriptors) return 0;
    const uint32_t fields = FieldCount(options);
    uint32_t lost = 0;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        const uint16_t column = cell::Column(r);
        if (cell::Row(r) == 0 || column >= fields) continue;
        const uint8_t type = Descriptor(options, column)[kFieldTypeByte];
        if (type != 'N' && type != 'F' && type != 'Y' && type != 'I') continue;
        const XBaseValue value = CellXBaseValue(r);
        if (value.kind != XBaseValue::kText || value.error) continue;
        double number = 0;
        uint8_t kind = 0;
        uint8_t params[kStandardFormatParams] = {};
        if (!ParseNumberText(value.text, number, kind, params, UserSeparators())) ++lost;
    }
    return lost;
}

bool BuildXBaseFieldList(CWorkbook& workbook, const CWorksheet& sheet, XBaseSaveOptions& options,
                         uint8_t format) {
    uint16_t firstColumn = 0, lastColumn = 0;
    uint32_t firstRow = 0, lastRow = 0;
    if (!sheet.cells.GetUsedRange(&firstColumn, &lastColumn, &firstRow, &lastRow))
        lastColumn = 0, lastRow = 0;
    const uint32_t fields = uint32_t(lastColumn) + 1;
    CFieldPlanner planner(workbook, sheet, format, fields);
    planner.Scan();
    for (ColumnPlan& plan : planner.Plans())
        if (plan.state == ColumnState::kNumeric) SizeNumberField(plan);
    uint64_t recordLength = 1;
    for (const ColumnPlan& plan : planner.Plans()) recordLength += plan.length;
    const uint64_t limit = SplitsLengths(format) ? kLargestRecord - 1 : kLargestRecord;
    if (recordLength > limit || fields * kDescriptorSize + kXBaseHeaderSize + 1 >= 65535) {
        workbook.error = kErrorTooManyFields;
        return false;
    }
    // Built aside: a refused list leaves the record as it was.
    XBaseSaveOptions built;
    built.encoding = options.encoding;
    built.format = format;
    if (!AllocateDescriptors(built, fields)) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
    for (uint32_t i = 0; i < fields; ++i) {
        uint8_t* d = built.fieldDescriptors + std::size_t(i) * kDescriptorSize;
        NameField(d, sheet.cells, uint16_t(i));
        const ColumnPlan& plan = planner.Plans()[i];
        d[kFieldTypeByte] = uint8_t(plan.type);
        SetFieldLength(d, plan.length, format);
        if (plan.type == 'N' || plan.type == 'F') d[kFieldDecimalsByte] = uint8_t(plan.decimals);
    }
    FillXBaseHeader(built, fields, uint32_t(recordLength), lastRow, planner.memo);
    ReleaseXBaseSaveOptions(options);
    options = built;
    built.fieldDescriptors = nullptr;
    return true;
}

} // namespace vl
