#pragma once
// Helpers of the workbook-model tests: cells put by position, array formulas, and a dump of
// a store as a map from (row, column) to the record's bytes.

#include "model/cellstore.h"
#include "model/workbook.h"
#include "storetestutil.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vl::modeltest {

using Key = std::pair<uint32_t, uint16_t>; // row, column
using Cells = std::map<Key, std::vector<uint8_t>>;

inline void Put(CCellStore& store, const CellBuffer& b) {
    CellCursor cursor;
    ASSERT_TRUE(store.PutCell(b.bytes, cursor));
}

inline void PutNumber(CCellStore& store, uint16_t column, uint32_t row, double value) {
    CellBuffer b;
    ASSERT_TRUE(MakeNumberCell(b, column, row, value));
    Put(store, b);
}

inline void PutText(CCellStore& store, uint16_t column, uint32_t row, const std::string& text) {
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, column, row, text));
    Put(store, b);
}

// An array formula anchored at (column, row) spreading over width x height cells, with its
// element cells filled.
inline void PutArray(CCellStore& store, uint16_t column, uint32_t row, uint16_t width,
                     uint32_t height, uint8_t error = 0) {
    FormulaHead head;
    head.arrayWidth = width;
    head.arrayHeight = height;
    head.resultFlags = kResultArray | kResultNumber;
    head.flags = uint8_t(kCellFormula | (error << 4));
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, column, row, head, "R1C1:R2C2"));
    Put(store, b);
    for (uint32_t r = row; r < row + height; ++r) {
        for (uint16_t c = column; c < column + width; ++c) {
            if (c == column && r == row) continue;
            ASSERT_TRUE(MakeNumberCell(b, c, r, c * 1000.0 + r));
            b.bytes[0] |= kCellArrayElement;
            Put(store, b);
        }
    }
}

inline Cells Dump(const CCellStore& store) {
    Cells out;
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor))
        out[{cell::Row(r), cell::Column(r)}] = std::vector<uint8_t>(r, r + cell::Length(r));
    return out;
}

inline double NumberAt(const CCellStore& store, uint16_t column, uint32_t row) {
    const uint8_t* r = FindCell(store, row, column);
    return r && cell::IsNumber(r) ? cell::Number(r) : -1;
}

inline std::vector<uint8_t> Moved(std::vector<uint8_t> bytes, uint16_t column, uint32_t row) {
    StoreU16(bytes.data() + 1, column);
    StoreU32(bytes.data() + 3, row);
    return bytes;
}

using storetest::AllocFailGuard;

inline CWorksheet& AddSheet(CWorkbook& book, const char* name = nullptr) {
    return *AsWorksheet(book.AppendTreeItem(TREE_TYPE_WORKSHEET, name, 1));
}

} // namespace vl::modeltest
