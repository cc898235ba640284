#pragma once
// The one record that is at once a token of formula text and a value on the evaluator's
// stacks, with its codes: token and value types, reference flags and formula errors.

#include "model/cellref.h"

#include <cstdint>

namespace vl {

class CCellStore;

// Operator tokens; the value is also the index into the precedence table.
constexpr uint16_t kTokenEqual = 1;
constexpr uint16_t kTokenLess = 2;
constexpr uint16_t kTokenLessEqual = 3;
constexpr uint16_t kTokenGreater = 4;
constexpr uint16_t kTokenGreaterEqual = 5;
constexpr uint16_t kTokenNotEqual = 6;
constexpr uint16_t kTokenPlus = 7;
constexpr uint16_t kTokenMinus = 8;
constexpr uint16_t kTokenConcat = 9;
constexpr uint16_t kTokenMultiply = 10;
constexpr uint16_t kTokenDivide = 11;
constexpr uint16_t kTokenPower = 12;
constexpr uint16_t kTokenNegate = 13; // made by the evaluation loop from "-"
constexpr uint16_t kTokenPercent = 14;
constexpr uint16_t kTokenIntersect = 15;
constexpr uint16_t kTokenQualifier = 16;
constexpr uint16_t kTokenRange = 17;
constexpr uint16_t kLastOperator = kTokenRange;

// Operand tokens, also the value types of the stacks; one bit each so masks combine them.
constexpr uint16_t kTokenNumber = 32;
constexpr uint16_t kTokenReference = 64;
constexpr uint16_t kTokenArea = 128;
constexpr uint16_t kTokenText = 256;
constexpr uint16_t kTokenEmpty = 512; // empty cell, omitted argument or error value
constexpr uint16_t kTokenOpen = 1024;
constexpr uint16_t kTokenClose = 2048;
constexpr uint16_t kTokenEnd = 4096;
constexpr uint16_t kTokenList = 8192;
constexpr uint16_t kTokenFunction = 16384;
constexpr uint16_t kTokenArray = 32768;

constexpr uint16_t kNumberLike = kTokenNumber | kTokenEmpty;
constexpr uint16_t kTextLike = kTokenText | kTokenEmpty;
constexpr uint16_t kAreaOrArray = kTokenArea | kTokenArray;

// Formula error values: the high nibble carries the error, the low nibble is ignored.
using FormulaError = uint8_t;
constexpr FormulaError kErrDivZero = 0x10;
constexpr FormulaError kErrName = 0x20;
constexpr FormulaError kErrNull = 0x30;
constexpr FormulaError kErrNA = 0x40;
constexpr FormulaError kErrNum = 0x50;
constexpr FormulaError kErrRef = 0x60;
constexpr FormulaError kErrValue = 0x70;
constexpr FormulaError kErrMemory = 0x80;
constexpr FormulaError kErrFill = 0x90;
constexpr FormulaError kErrCirc = 0xA0;
constexpr FormulaError kErrImpl = 0xB0;
constexpr FormulaError kErrSyntax = 0xC0;

// Out-of-range references keep these positions, which no cell has, so that they stay out
// of range when written and read again.
constexpr uint16_t kColumnOutOfRange = 2047;
constexpr uint32_t kRowOutOfRange = 2097152;

struct FormulaToken {
    uint16_t type = 0;
    uint16_t column = 0;
    uint32_t row = 0;
    uint8_t refFlags = 0;
    uint16_t firstColumn = 0;
    uint32_t firstRow = 0;
    uint8_t firstFlags = 0;
    uint16_t lastColumn = 0;
    uint32_t lastRow = 0;
    uint8_t lastFlags = 0;
    double number = 0;
    uint16_t functionIndex = 0; // row of the sorted built-in function table
    uint16_t firstArgument = 0; // value-stack slot of a call's first argument and result
    FormulaError error = 0;
    CCellStore* cells = nullptr; // the worksheet a reference or range points into
};

inline FormulaToken& ClearOperand(FormulaToken& token) {
    token = FormulaToken{};
    return token;
}

// An array value of the given size; its cells are the newest chain of the array stack.
inline void InitArrayEntry(FormulaToken& token, uint16_t columns, uint32_t rows) {
    token.type = kTokenArray;
    token.firstColumn = 0;
    token.firstRow = 0;
    token.firstFlags = kRefCell;
    token.lastColumn = uint16_t(columns - 1);
    token.lastRow = rows - 1;
    token.lastFlags = kRefCell;
    token.cells = nullptr;
}

} // namespace vl
