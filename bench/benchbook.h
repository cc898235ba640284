#pragma once
// A workbook of one worksheet with every built-in function bound, built in memory for the
// recalculation benchmarks, and the cells they fill it with.

#include "formula/evalcontext.h"
#include "functions/bindall/bindall.h"
#include "model/workbook.h"

#include <memory>
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

} // namespace vl::benchbook
