#pragma once
// What a user sees of a cell: its value through its number format (with colours, fills
// and zero-wide blanks for the painter, or as plain text), the text the editor starts
// from, and one line describing the cell.

#include "model/cellstore.h"
#include "values/numfmt_render.h"
#include "values/standardformat.h"

#include <cstdint>
#include <string>

namespace vl {

class CEvalContext;

// The value of a cell record through its format, with the user separators.
bool FormatCellValue(const uint8_t* cell, const StandardFormat& format, std::string& text);

// The value of a cell record as it shows, without its formula: what GetCellDisplayText gives
// while formulas are not shown.
bool GetValueDisplayText(const uint8_t* cell, const StandardFormat& format, RenderedList& out);

// The display of cells for a view that owns an evaluator context and may show formulas
// in place of their results.
class CCellDisplay {
public:
    CCellDisplay(CEvalContext& ctx, bool showFormulas) : ctx_(ctx), showFormulas_(showFormulas) {}

    void SetShowFormulas(bool show) { showFormulas_ = show; }
    bool ShowFormulas() const { return showFormulas_; }

    bool GetCellDisplayText(const uint8_t* cell, const StandardFormat& format, RenderedList& out);

private:
    CEvalContext& ctx_;
    bool showFormulas_;
};

// True when formulas are typed and shown as they are stored: R1C1 addressing and the
// internal separators.
bool UserFormulaFormIsInternal();

// A formula cell's text in the user form (as stored when the user form is the internal
// one, or when it cannot be rewritten).
std::string GetFormulaUserText(CEvalContext& ctx, const uint8_t* cell);

// The text of a cell record as the editor starts from it: a formula in the user form, a
// number in full, a text as it is.
std::string GetCellEditText(CEvalContext& ctx, const uint8_t* cell);

// The text of one cell as the editor starts from it, or with `range` set (or a range of
// more than one cell) the range as an array constant "={1,2;3,4}" of at most
// kMaxFormulaText characters. `quoteTexts` puts a single text cell in double quotes.
std::string GetCellText(CEvalContext& ctx, const CCellStore& cells, uint16_t firstColumn,
                        uint32_t firstRow, uint16_t lastColumn, uint32_t lastRow, bool quoteTexts,
                        bool range);

// Labels of DescribeCell, in the order error, formula, number, text, and no cell.
struct CellLabels {
    const char* error;
    const char* formula;
    const char* number;
    const char* text;
    const char* none;
};

// "label: text" of the cell at `row`, `column`, or the no-cell label alone.
std::string DescribeCell(CEvalContext& ctx, const CCellStore& cells, uint32_t row, uint16_t column,
                         const CellLabels& labels);

} // namespace vl
