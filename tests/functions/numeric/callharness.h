#pragma once
// Calls a statistical built-in the way the evaluator does: the arguments on the value
// stack (numbers, texts on the string pool, references and ranges into a worksheet,
// arrays on the scratch store), the call entry on top, EvalToken; then reads the one
// result and checks that no string or array was left behind.

#include "formula/operands.h"
#include "functions/numeric/orderstat.h"
#include "functions/numeric/statbuiltins.h"
#include "printed.h"

#include <gtest/gtest.h>
#include <string>
#include <variant>
#include <vector>

namespace vl::stattest {

using vl::TrimCount;

struct ErrorValue {
    FormulaError code;
    bool operator==(const ErrorValue&) const = default;
};
// A number entry carrying an error, as a function's error result is.
struct Failed {
    FormulaError code;
};
struct Omit {};
struct Ref {
    uint16_t column;
    uint32_t row;
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
struct ArrayArg {
    std::vector<std::vector<Cell>> rows;
};
using Arg = std::variant<double, std::string, ErrorValue, Failed, Omit, Ref, Area, ArrayArg>;

// {a, b, c} as one row, {a; b; c} as one column.
ArrayArg RowOf(std::vector<Cell> cells);
ArrayArg ColumnOf(std::vector<Cell> cells);
ArrayArg NumbersRow(std::initializer_list<double> values);
ArrayArg NumbersColumn(std::initializer_list<double> values);

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

    CEvalContext ctx;
    CCellStore sheet;
    // Failure injection for the evaluation only: after this many successes operator new
    // (through `setNewFailAfter`) or the block allocator fails; negative: never.
    void (*setNewFailAfter)(long) = nullptr;
    long newFailAfter = -1;
    long blockFailAfter = -1;

private:
    void Push(const Arg& arg);
};

// What a call must give: a number rounding to the printed digits, an error, a text, or
// the wrong-argument-count status.
struct Expect {
    enum Kind { Number, Error, Text, Status } kind;
    std::string printed;
    FormulaError code = 0;
};
inline Expect Num(std::string printed) {
    return {Expect::Number, std::move(printed)};
}
inline Expect Err(FormulaError code) {
    return {Expect::Error, {}, code};
}
inline Expect Txt(std::string text) {
    return {Expect::Text, std::move(text)};
}
inline Expect BadCount() {
    return {Expect::Status, {}, kErrSyntax};
}

struct Case {
    const char* name;
    std::vector<Arg> args;
    Expect expect;
};
::testing::AssertionResult Meets(const Outcome& o, const Expect& e);

// Runs every case of a table; a case's name begins with the function it calls.
void RunCases(CallHarness& h, const std::vector<Case>& cases);

::testing::AssertionResult IsNumber(const Outcome& o, std::string_view printed);
::testing::AssertionResult IsError(const Outcome& o, FormulaError code);
::testing::AssertionResult IsNumberNear(const Outcome& o, double expected, double tolerance);

} // namespace vl::stattest
