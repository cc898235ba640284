#pragma once
// The conditional aggregates COUNTIF and SUMIF with their criteria: an optional comparison
// operator and an operand, matched against numbers by value and against texts by
// comparison or by wildcard pattern.

#include "formula/evalcontext.h"

#include <string>

namespace vl {

void BindConditionalFunctions();

// The "<>" operator: neither equal nor matching the pattern.
constexpr int kNotEqual = 3;

struct Criteria {
    int op = 0; // 0 equal or pattern, 1 ">=", 2 ">", -1 "<=", -2 "<", kNotEqual "<>"
    std::string text;
    bool isNumber = false;      // the whole operand is a number (a percentage too)
    bool explicitEqual = false; // written with a leading "="
    double number = 0;
    FormulaError error = 0;
};

// Reads the criteria argument (consuming its text).
Criteria ReadCriteria(CEvalContext& ctx, FormulaToken& slot);
// Whether a cell's value (consumed) meets the criteria; the value carries no error.
bool MeetsCriteria(CEvalContext& ctx, FormulaToken& value, const Criteria& criteria);
// Whether an empty cell meets the criteria: "" and "=" do, and "<>" with an operand.
bool BlankMeetsCriteria(const Criteria& criteria);

} // namespace vl
