#pragma once
// Calls a statistical built-in the way the evaluator does: the arguments on the value
// stack (numbers, texts on the string pool, references and ranges into a worksheet,
// arrays on the scratch store), the call entry on top, EvalToken; then reads the one
// result and checks that no string or array was left behind.

#include "formula/operands.h"
#include "functions/numeric/orderstat.h"
#include "functions/numeric/statbuiltins.h"
#include "printed.h"

#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

namespace vl::stattest {

using vl::TrimCount;

struct ErrorValue {
    FormulaError code;
    bool operator==(const ErrorValue&) const = default;
};
struct Area {
    uint16_t c1;
    uint32_t r1;
    uint16_t c2;
    uint32_t r2;
    CCellStore* store = nullptr; // the harness's sheet when null
};
// A cell of a worksheet or an array: none, a number, a text or an error (a number cell
// carrying the code).
using Cell = std::variant<std::monostate, double, std::string, ErrorValue>;
// An argument given as a value: a number or a range, perhaps on a store of its own.
using Arg = std::variant<double, Area>;

struct Outcome {
    uint8_t status = 0;
    FormulaError error = 0;
    double number = 0;
    bool isText = false;
    std::string text;
    bool isArray = false;
    uint16_t columns = 0;
    uint32_t rows = 0;
    std::vector<Cell> cells; // row by row
    bool tidy = true;        // no string, array or stack entry left behind
};

class CallHarness {
public:
    CallHarness();
    // Column `column` from row `row` down.
    void PutColumn(uint16_t column, uint32_t row, const std::vector<Cell>& cells);
    void Put(uint16_t column, uint32_t row, const Cell& cell);
    // A formula cell with a cached text or number result.
    void PutFormula(uint16_t column, uint32_t row, const Cell& result);

    Outcome Call(const char* name, const std::vector<Arg>& args);
    // "NAME(arguments)", the arguments written as in a formula and read by the formula
    // tokenizer: numbers, "texts", an error literal (an entry of no type carrying the code),
    // NA() and 1/0 (a number carrying #N/A! or #DIV/0!), nothing for an omitted argument,
    // A1 and A1:B2 on the harness's sheet, {a, b; c, d} arrays.
    Outcome Call(std::string_view call);

    CEvalContext ctx;
    CCellStore sheet;

private:
    Outcome Run(const char* name, const std::function<std::size_t()>& pushArguments);
    void Push(const Arg& arg);
    void Push(std::string_view argument);
};

// A call and what it must give: a number rounding to the printed digits ("4.5"), an error
// ("#NUM!"), the wrong-argument-count status ("#SYNTAX!") or a text ("\"x\"").
struct Row {
    const char* call;
    const char* expect;
};
void RunRows(CallHarness& h, std::initializer_list<Row> rows);

::testing::AssertionResult IsNumber(const Outcome& o, std::string_view printed);
::testing::AssertionResult IsError(const Outcome& o, FormulaError code);
::testing::AssertionResult IsNumberNear(const Outcome& o, double expected, double tolerance);
// An array of `rows` rows holding `cells` row by row, each number within `tolerance`.
::testing::AssertionResult IsArray(const Outcome& o, uint32_t rows, const std::vector<Cell>& cells,
                                   double tolerance = 0);

} // namespace vl::stattest
