#pragma once
// The packed, little-endian cell record: the unit of every cell store, scratch store,
// snapshot and binary file. Records carry no pointers; their bytes are copied as they are.
//
//   0     flags: 1 text, 2 number, 4 formula, 8 array element, high nibble error code
//   1-2   column (u16), 3-6 row (u32)
//   text:    7-8 length n, 9.. n bytes                             (9 + n)
//   number:  7-14 double                                           (15)
//   formula: 7-8 array width, 9-12 array height, 13 visits, 14 result flags,
//            15-16 waiting column, 17-20 waiting row, 21-24 waiting worksheet,
//            25-32 cached number, 33-34 formula length m, 35.. formula text,
//            then with result flag 1: u16 length k and k bytes of cached text
//                                                                  (35 + m [+ 2 + k])

#include "model/pagedlist.h"
#include "platform/core/bytes.h"

#include <cstdint>
#include <string_view>

namespace vl {

constexpr uint16_t kMaxColumns = 2047;
constexpr uint32_t kMaxRows = 2097152;
constexpr uint16_t kLastColumn = kMaxColumns - 1;
constexpr uint32_t kLastRow = kMaxRows - 1;

// Record flags.
constexpr uint8_t kCellText = 1;
constexpr uint8_t kCellNumber = 2;
constexpr uint8_t kCellFormula = 4;
constexpr uint8_t kCellArrayElement = 8;

// Formula result flags.
constexpr uint8_t kResultText = 1;
constexpr uint8_t kResultNumber = 2;
constexpr uint8_t kResultArray = 4;
constexpr uint8_t kResultCalculated = 16;
constexpr uint8_t kResultWaiting = 32;

constexpr uint32_t kTextHead = 9;
constexpr uint32_t kNumberRecordSize = 15;
constexpr uint32_t kFormulaHead = 35;
// The longest text a text cell can hold: its record fills one page exactly.
constexpr uint32_t kMaxCellText = kPagePayload - kTextHead;

namespace cell {

inline uint8_t Flags(const uint8_t* r) {
    return r[0];
}
inline uint16_t Column(const uint8_t* r) {
    return LoadU16(r + 1);
}
inline uint32_t Row(const uint8_t* r) {
    return LoadU32(r + 3);
}
inline uint8_t Error(const uint8_t* r) {
    return r[0] >> 4;
}
inline void SetError(uint8_t* r, uint8_t code) {
    r[0] = uint8_t((r[0] & 0x0F) | (code << 4));
}

// The kind is decided by the text bit first, then the number bit; neither is a formula.
inline bool IsText(const uint8_t* r) {
    return (r[0] & kCellText) != 0;
}
inline bool IsNumber(const uint8_t* r) {
    return !IsText(r) && (r[0] & kCellNumber) != 0;
}
inline bool IsFormula(const uint8_t* r) {
    return !IsText(r) && !IsNumber(r);
}

inline uint16_t TextLength(const uint8_t* r) {
    return LoadU16(r + 7);
}
inline std::string_view Text(const uint8_t* r) {
    return {reinterpret_cast<const char*>(r + kTextHead), TextLength(r)};
}
inline double Number(const uint8_t* r) {
    return LoadF64(r + 7);
}

inline uint16_t ArrayWidth(const uint8_t* r) {
    return LoadU16(r + 7);
}
inline uint32_t ArrayHeight(const uint8_t* r) {
    return LoadU32(r + 9);
}
inline uint8_t Visits(const uint8_t* r) {
    return r[13];
}
inline uint8_t ResultFlags(const uint8_t* r) {
    return r[14];
}
inline uint16_t WaitingColumn(const uint8_t* r) {
    return LoadU16(r + 15);
}
inline uint32_t WaitingRow(const uint8_t* r) {
    return LoadU32(r + 17);
}
inline uint32_t WaitingWorksheet(const uint8_t* r) {
    return LoadU32(r + 21);
}
inline double CachedNumber(const uint8_t* r) {
    return LoadF64(r + 25);
}
inline uint16_t FormulaLength(const uint8_t* r) {
    return LoadU16(r + 33);
}
inline std::string_view Formula(const uint8_t* r) {
    return {reinterpret_cast<const char*>(r + kFormulaHead), FormulaLength(r)};
}
inline std::string_view CachedText(const uint8_t* r) {
    if (!(ResultFlags(r) & kResultText)) return {};
    const uint8_t* p = r + kFormulaHead + FormulaLength(r);
    return {reinterpret_cast<const char*>(p + 2), LoadU16(p)};
}

// Length of the record in bytes.
inline uint32_t Length(const uint8_t* r) {
    if (IsText(r)) return kTextHead + TextLength(r);
    if (IsNumber(r)) return kNumberRecordSize;
    uint32_t n = kFormulaHead + FormulaLength(r);
    if (ResultFlags(r) & kResultText) n += 2 + LoadU16(r + n);
    return n;
}

// Length of a record that a page can hold, or 0 when it claims more than a page; reads
// no byte past the first 8,182.
uint32_t CheckedLength(const uint8_t* r);

// (row, column) order of records, compared as unsigned numbers.
inline bool Before(uint32_t rowA, uint16_t colA, uint32_t rowB, uint16_t colB) {
    return rowA < rowB || (rowA == rowB && colA < colB);
}

} // namespace cell

// A record being built, sized for the largest record a page can hold.
struct CellBuffer {
    uint8_t bytes[kPagePayload];
    uint32_t size = 0;
    const uint8_t* data() const { return bytes; }
};

// Builders return false (and leave `out` empty) when the record would not fit in a page.
bool MakeNumberCell(CellBuffer& out, uint16_t column, uint32_t row, double value,
                    uint8_t error = 0);
bool MakeTextCell(CellBuffer& out, uint16_t column, uint32_t row, std::string_view text);

// The head of a formula record apart from position and texts.
struct FormulaHead {
    uint8_t flags = kCellFormula;
    uint16_t arrayWidth = 0;
    uint32_t arrayHeight = 1;
    uint8_t visits = 0;
    uint8_t resultFlags = kResultNumber;
    uint16_t waitingColumn = 0;
    uint32_t waitingRow = 0;
    uint32_t waitingWorksheet = 0;
    double cachedNumber = 0;
};
// `cachedText` is written only when the head's result flags have the text bit.
bool MakeFormulaCell(CellBuffer& out, uint16_t column, uint32_t row, const FormulaHead& head,
                     std::string_view formula, std::string_view cachedText = {});
// The head of a stored formula record, to build the record again with another text or result.
FormulaHead ReadFormulaHead(const uint8_t* record);

// Case-insensitive comparison in the program's 8-bit code page: -1, 0 or 1.
int CompareNoCase(const char* a, const char* b);

} // namespace vl
