#pragma once
// Helpers of the editing-operation tests: cells written from short texts, a column read back
// as texts, and a store dumped record by record.

#include "formula/evalcontext.h"
#include "formula/literals.h"
#include "model/cellstore.h"
#include "platform/core/number.h"
#include "tests/formula/evaltestutil.h"
#include "values/formatdouble.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vl::edittest {

inline void PutRecord(CCellStore& store, const CellBuffer& b) {
    CellCursor cursor;
    ASSERT_TRUE(store.PutCell(b.bytes, cursor));
}

// "" leaves the cell missing; an error's text ("#N/A!") makes a constant error; text that
// reads whole as a number makes a number; "'x" makes the text x; anything else is text.
inline void PutValue(CCellStore& store, uint16_t column, uint32_t row, const std::string& v) {
    if (v.empty()) return;
    CellBuffer b;
    double number = 0;
    if (const FormulaError e = ErrorCodeFromText(v))
        ASSERT_TRUE(MakeNumberCell(b, column, row, 0, uint8_t(e >> 4)));
    else if (v[0] == '\'')
        ASSERT_TRUE(MakeTextCell(b, column, row, v.substr(1)));
    else if (ParseNumber(v, number))
        ASSERT_TRUE(MakeNumberCell(b, column, row, number));
    else
        ASSERT_TRUE(MakeTextCell(b, column, row, v));
    PutRecord(store, b);
}

inline void PutColumn(CCellStore& store, uint16_t column, uint32_t row,
                      const std::vector<std::string>& values) {
    for (size_t i = 0; i < values.size(); ++i)
        PutValue(store, column, uint32_t(row + i), values[i]);
}

// A cell as PutValue reads it: "" for none, errors by their text, numbers plainly.
inline std::string ValueAt(const CCellStore& store, uint16_t column, uint32_t row) {
    const uint8_t* r = FindCell(store, row, column);
    return r ? test::ShownRecord(r) : "";
}

// The same with the kind of record before it: "n " number, "t " text, "f " formula.
inline std::string KindAndValue(const CCellStore& store, uint16_t column, uint32_t row) {
    const uint8_t* r = FindCell(store, row, column);
    const char* kind = !r ? "" : cell::IsNumber(r) ? "n " : cell::IsText(r) ? "t " : "f ";
    return kind + ValueAt(store, column, row);
}

using Key = std::pair<uint32_t, uint16_t>; // row, column
using Records = std::map<Key, std::vector<uint8_t>>;

inline Records DumpStore(const CCellStore& store) {
    Records out;
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor))
        out[{cell::Row(r), cell::Column(r)}] = std::vector<uint8_t>(r, r + cell::Length(r));
    return out;
}

} // namespace vl::edittest
