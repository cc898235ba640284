// The field list a worksheet gives an xBase table: one field a column, named from the first
// row, typed and sized from the values below it.
#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "exchange/xbasevalue.h"
#include "formula/celltext.h"
#include "formula/literals.h"
#include "model/cellstyle.h"
#include "model/workbook.h"
#include "platform/core/number.h"

#include <cstring>
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
    uint8_t decimals = 0;
};

// The fraction digits of a number's shortest form (15 significant digits, as it is shown),
// at most what a Numeric field of 18 keeps beside a sign and eight whole digits.
uint8_t FractionDigits(double value) {
    constexpr uint8_t kMostDecimals = 8;
    const std::string text = FormatNumberG(value, 15);
    const std::size_t point = text.find('.');
    if (point == std::string::npos || text.find('e') != std::string::npos) return 0;
    return uint8_t(std::min<std::size_t>(text.size() - point - 1, kMostDecimals));
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
            if (row == 0 || column >= plans_.size() || cell::Error(r)) continue;
            const XBaseValue value = CellXBaseValue(r);
            ColumnPlan& plan = plans_[column];
            if (plan.state == ColumnState::kDone || value.kind == XBaseValue::kNone) continue;
            if (value.kind == XBaseValue::kNumber)
                AddNumber(plan, r, value.number);
            else
                AddText(plan, value.text.size());
        }
    }

    bool memo = false;
    const std::vector<ColumnPlan>& Plans() const { return plans_; }

private:
    void AddNumber(ColumnPlan& plan, const uint8_t* r, double value) {
        // A Numeric field keeps the fractions its numbers have: with none, 1.5 would be 2.
        if (plan.state != ColumnState::kText && plan.type != 'F')
            plan.decimals = std::max(plan.decimals, FractionDigits(value));
        if (plan.state == ColumnState::kOpen) {
            const bool floating = format_ == kXBaseDBase4 || format_ == kXBaseFoxPro;
            plan.type = floating ? 'F' : 'N';
            plan.length = floating ? kFloatLength : kNumericLength;
            plan.state = ColumnState::kNumeric;
            return;
        }
        if (plan.state != ColumnState::kText) return;
        // A number in a Character field is written as it is shown: the field takes it whole.
        const uint16_t style = StyleIndexAt(sheet_.formats, cell::Row(r), cell::Column(r), runs_);
        std::string text;
        FormatCellValue(r, GetStyleRecord(book_.styles, style).numberFormat, text);
        AddText(plan, text.size());
    }

    void AddText(ColumnPlan& plan, std::size_t length) {
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

bool BuildXBaseFieldList(CWorkbook& workbook, const CWorksheet& sheet, XBaseSaveOptions& options,
                         uint8_t format) {
    uint16_t firstColumn = 0, lastColumn = 0;
    uint32_t firstRow = 0, lastRow = 0;
    if (!sheet.cells.GetUsedRange(&firstColumn, &lastColumn, &firstRow, &lastRow))
        lastColumn = 0, lastRow = 0;
    const uint32_t fields = uint32_t(lastColumn) + 1;
    CFieldPlanner planner(workbook, sheet, format, fields);
    planner.Scan();
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
        if (plan.type == 'N') d[kFieldDecimalsByte] = plan.decimals;
        // Float fields are written with six decimals; other programs read the count here.
        if (plan.type == 'F') d[kFieldDecimalsByte] = kFloatDecimals;
    }
    FillXBaseHeader(built, fields, uint32_t(recordLength), lastRow, planner.memo);
    ReleaseXBaseSaveOptions(options);
    options = built;
    built.fieldDescriptors = nullptr;
    return true;
}

} // namespace vl
