#pragma once
// A workbook of one worksheet with every built-in function bound, built in memory for the
// recalculation benchmarks, and the cells they fill it with.

#include "formula/evalcontext.h"
#include "functions/bindall/bindall.h"
#include "model/workbook.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <string_view>

namespace vl::benchbook {

struct Book {
    std::unique_ptr<CWorkbook> workbook = CreateWorkbook();
    std::unique_ptr<CEvalContext> ctx = std::make_unique<CEvalContext>();
    CCellStore& cells;
    CellCursor cursor;
    Book() : cells(AsWorksheet(workbook->AppendTreeItem(TREE_TYPE_WORKSHEET, "Sheet1", 1))->cells) {
        BindAllFunctions();
    }
    void Number(uint16_t column, uint32_t row, double x) {
        CellBuffer b;
        MakeNumberCell(b, column, row, x);
        cells.PutCell(b.data(), cursor);
    }
    void Text(uint16_t column, uint32_t row, std::string_view text) {
        CellBuffer b;
        MakeTextCell(b, column, row, text);
        cells.PutCell(b.data(), cursor);
    }
    void Formula(uint16_t column, uint32_t row, std::string_view formula) {
        CellBuffer b;
        MakeFormulaCell(b, column, row, FormulaHead{}, formula);
        cells.PutCell(b.data(), cursor);
    }
};

// The cell's number, or its formula's last result; -1 for an empty or non-numeric cell.
inline double Number(const CCellStore& cells, uint32_t row, uint16_t column) {
    const uint8_t* r = FindCell(cells, row, column);
    if (!r || (r[0] & 0xF0)) return -1;
    return cell::IsNumber(r) ? cell::Number(r) : cell::CachedNumber(r);
}

// Measured only while one recalculation gives the cell its right value.
inline bool Right(benchmark::State& state, const CCellStore& cells, uint32_t row, uint16_t column,
                  double expected) {
    if (Number(cells, row, column) == expected) return true;
    state.SkipWithError("wrong result");
    return false;
}

// The row's number as formulas write it.
inline std::string Row(uint32_t row) {
    return std::to_string(row + 1);
}

} // namespace vl::benchbook
