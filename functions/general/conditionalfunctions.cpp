#include "functions/general/conditionalfunctions.h"

#include "formula/approxnumber.h"
#include "formula/operands.h"
#include "functions/general/wildcard.h"
#include "functions/numeric/valuereader.h"
#include "platform/core/cp1252.h"
#include "platform/core/number.h"
#include "values/formatdouble.h"

#include <cstdint>

namespace vl {

namespace {

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// "10%" is 0.1, as the number typed into a cell.
bool ParsePercentage(std::string_view text, double& value) {
    if (text.size() < 2 || text.back() != '%') return false;
    if (!ParseNumber(TrimSpaces(text.substr(0, text.size() - 1)), value)) return false;
    value /= 100;
    return true;
}

// A leading ">=", ">", "<=", "<>", "<" or "=" chooses the comparison and is cut off.
int CutOperator(std::string& text) {
    static constexpr struct {
        const char* prefix;
        int op;
    } kOperators[] = {{">=", 1}, {">", 2}, {"<=", -1}, {"<>", kNotEqual}, {"<", -2}, {"=", 0}};
    for (const auto& o : kOperators) {
        std::string_view prefix(o.prefix);
        if (text.compare(0, prefix.size(), prefix) == 0) {
            text.erase(0, prefix.size());
            return o.op;
        }
    }
    return 0;
}

bool Satisfies(int op, int order) {
    switch (op) {
    case 1:
        return order >= 0;
    case 2:
        return order > 0;
    case -1:
        return order <= 0;
    case -2:
        return order < 0;
    case kNotEqual:
        return order != 0;
    default:
        return order == 0;
    }
}

int CompareNoCase(std::string_view a, std::string_view b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(CharUpper1252(a[i]));
        auto cb = static_cast<unsigned char>(CharUpper1252(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void CountIf(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    Criteria criteria = ReadCriteria(ctx, Argument(ctx, 1));
    CRangeWalk walk(ctx);
    FormulaError error = walk.Take(Argument(ctx, 0));
    if (error) return ReturnError(ctx, error);
    double count = 0, visited = 0;
    FormulaToken value;
    while (walk.NextValue(value)) {
        ++visited;
        // An error matches the same error given as the criteria.
        if (value.error || criteria.error) {
            if (value.error == criteria.error) ++count;
            ReleaseOperand(ctx, value);
            continue;
        }
        if (MeetsCriteria(ctx, value, criteria)) ++count;
    }
    // The empty cells are the ones the walk did not visit.
    if (BlankMeetsCriteria(criteria)) count += double(walk.Rows()) * walk.Columns() - visited;
    ReturnNumber(ctx, count);
}

uint64_t LinearOffset(const CRangeWalk& walk) {
    return uint64_t(walk.RowOffset()) * kMaxColumns + walk.ColumnOffset();
}

// A sum cell read as SUM reads a range's cells.
ListValue ReadSummand(CEvalContext& ctx, CRangeWalk& walk, const uint8_t* record) {
    FormulaToken value;
    walk.ReadValue(record, value);
    ListValue sum;
    ReadValue(ctx, ValueShape::Range, value, RangeTexts::LeftOut, sum);
    return sum;
}

// Whether a sum cell lies outside the search range's shape laid on the sum range's corner.
bool BeyondSearch(const CRangeWalk& sums, const CRangeWalk& search) {
    return sums.RowOffset() >= search.Rows() || sums.ColumnOffset() >= search.Columns();
}

void SumIf(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3)) return;
    FormulaToken& sumSlot = Argument(ctx, 2);
    const bool ownCells = sumSlot.type == kTokenEmpty && sumSlot.error == 0;
    CRangeWalk sums(ctx);
    FormulaError error = ownCells ? 0 : sums.Take(sumSlot);
    Criteria criteria = ReadCriteria(ctx, Argument(ctx, 1));
    CRangeWalk search(ctx);
    error = MergeError(error, search.Take(Argument(ctx, 0)));
    error = MergeError(error, criteria.error);
    if (error) return ReturnError(ctx, error);
    const bool blanks = BlankMeetsCriteria(criteria);
    double total = 0;
    // Both walks go in the same order of offsets from their top-left corners; a search cell
    // without a sum cell adds 0, a sum cell beside an empty search cell adds when the
    // criteria takes empty cells.
    const uint8_t* r = search.Next();
    const uint8_t* paired = ownCells ? nullptr : sums.Next();
    while (r || paired) {
        if (paired && BeyondSearch(sums, search)) {
            paired = sums.Next();
            continue;
        }
        const uint64_t at = r ? LinearOffset(search) : UINT64_MAX;
        const uint64_t sumAt = paired ? LinearOffset(sums) : UINT64_MAX;
        ListValue sum;
        sum.fate = ValueFate::LeftOut;
        bool chosen = false;
        if (sumAt < at) {
            if (blanks) {
                sum = ReadSummand(ctx, sums, paired);
                chosen = true;
            }
            paired = sums.Next();
        } else {
            if (ownCells)
                sum = ReadSummand(ctx, search, r);
            else if (sumAt == at)
                sum = ReadSummand(ctx, sums, paired);
            FormulaToken value;
            search.ReadValue(r, value);
            if (!value.error)
                chosen = MeetsCriteria(ctx, value, criteria);
            else
                ReleaseOperand(ctx, value);
            if (sumAt == at) paired = sums.Next();
            r = search.Next();
        }
        // A chosen sum cell is read as SUM reads a range's cells: its error is the result.
        if (!chosen || sum.fate == ValueFate::LeftOut) continue;
        if (sum.fate == ValueFate::Error) return ReturnError(ctx, sum.error);
        total += sum.number;
        if (!IsAcceptableResult(total)) return ReturnError(ctx, kErrNum);
    }
    ReturnNumber(ctx, total);
}

} // namespace

Criteria ReadCriteria(CEvalContext& ctx, FormulaToken& slot) {
    Criteria c;
    if (slot.type == kTokenNumber) {
        c.error = GetNumberArg(ctx, slot, c.number);
        c.text = FormatDouble(c.number);
        c.isNumber = true; // the number itself, not its text read back
        return c;
    }
    c.error = GetStringArg(ctx, slot, c.text);
    c.explicitEqual = !c.text.empty() && c.text.front() == '=';
    c.op = CutOperator(c.text);
    // Numbers are compared only with an operand that is a number as a whole.
    std::string_view operand = TrimSpaces(c.text);
    c.isNumber = ParseNumber(operand, c.number) || ParsePercentage(operand, c.number);
    return c;
}

bool MeetsCriteria(CEvalContext& ctx, FormulaToken& value, const Criteria& criteria) {
    if (value.type == kTokenNumber) {
        // A number differs from an operand that is no number.
        if (!criteria.isNumber) return criteria.op == kNotEqual;
        // Equal to 15 significant digits is equal, as the comparison operators take it.
        return Satisfies(criteria.op, CompareApprox(value.number, criteria.number));
    }
    if (value.type != kTokenText) {
        ReleaseOperand(ctx, value);
        return false;
    }
    std::string text;
    GetStringArg(ctx, value, text);
    // "<>" alone takes every cell that is not empty, an empty text too.
    if (criteria.op == kNotEqual)
        return criteria.text.empty() || !MatchesWholeText(criteria.text, text);
    // A text is never above or below a number.
    if (criteria.op != 0)
        return !criteria.isNumber && Satisfies(criteria.op, CompareNoCase(text, criteria.text));
    // "=" alone asks for empty cells; "" for empty cells and empty texts.
    if (criteria.text.empty()) return !criteria.explicitEqual && text.empty();
    return MatchesWholeText(criteria.text, text);
}

bool BlankMeetsCriteria(const Criteria& criteria) {
    if (criteria.error) return false;
    if (criteria.op == kNotEqual) return !criteria.text.empty();
    return criteria.op == 0 && criteria.text.empty();
}

void BindConditionalFunctions() {
    BindBuiltinFunction("COUNTIF", &CountIf);
    BindBuiltinFunction("SUMIF", &SumIf);
}

} // namespace vl
