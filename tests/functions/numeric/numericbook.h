#pragma once
// A test workbook with the numeric-method built-ins bound: formulas are evaluated as
// shown text, or their numbers are read whole (array elements row by row, an element
// carrying an error as NaN).

#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/random.h"
#include "tests/formula/evaltestutil.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace vl::test {

class NumericBook : public TestBook {
public:
    NumericBook() { EXPECT_TRUE(BindNumericMethodBuiltins()); }

    // The numbers of the result; empty for an error or text (its text in `shown`).
    std::vector<double> Numbers(std::string_view formula, std::string_view a1 = "J20") {
        Place p = At(a1);
        std::string stored = Internal(formula, p);
        Ctx().worksheetList = Book().tree.first;
        Ctx().currentCells = &Sheet().cells;
        uint16_t kind = EvaluateFormulaText(Ctx(), stored, p.column, p.row);
        const FormulaToken& v = Ctx().values[1];
        std::vector<double> out;
        shown.clear();
        errors.clear();
        if (kind == 0 || v.error) {
            shown = kind == 0 ? "<none>" : std::string(GetFormulaErrorText(v.error));
            return out;
        }
        if (kind == kTokenNumber) return {v.number};
        if (kind != kTokenArray) return out;
        rows = v.lastRow + 1;
        columns = uint32_t(v.lastColumn) + 1;
        out.assign(std::size_t(rows) * columns, 0.0);
        errors.assign(out.size(), 0);
        CellCursor cursor;
        cursor.flags = kAdvance;
        cursor.page = Ctx().scratch.arrays[Ctx().scratch.arrayCount - 1];
        while (const uint8_t* r = cursor.page ? NextCellRecord(cursor) : nullptr) {
            double value = cell::Error(r) ? NAN : cell::IsNumber(r) ? cell::Number(r) : NAN;
            out[std::size_t(cell::Row(r)) * columns + cell::Column(r)] = value;
            errors[std::size_t(cell::Row(r)) * columns + cell::Column(r)] =
                FormulaError(cell::Error(r) << 4);
        }
        return out;
    }

    std::string shown;
    std::vector<FormulaError> errors; // per element of an array result, 0 for none
    uint32_t rows = 0, columns = 0;
};

inline ::testing::AssertionResult Near(const std::vector<double>& got,
                                       const std::vector<double>& want, double tolerance) {
    if (got.size() != want.size())
        return ::testing::AssertionFailure() << got.size() << " numbers, not " << want.size();
    for (std::size_t i = 0; i < got.size(); ++i)
        if (!(std::fabs(got[i] - want[i]) <= tolerance))
            return ::testing::AssertionFailure()
                   << "element " << i << ": " << got[i] << " not " << want[i];
    return ::testing::AssertionSuccess();
}

struct ShownCase {
    const char* formula;
    const char* shown;
};

// Each formula shows its text in J20 and leaves no string behind, nor any array but the
// one it gives (a call refused for its argument count leaves the stack as it was).
inline void CheckShown(NumericBook& book, std::initializer_list<ShownCase> cases) {
    for (const ShownCase& c : cases) {
        EXPECT_EQ(book.Eval(c.formula, "J20"), c.shown) << c.formula;
        if (std::string_view(c.shown) == "#SYNTAX!") continue;
        EXPECT_EQ(book.Ctx().stringPool.count, 0) << c.formula;
        EXPECT_EQ(book.Ctx().scratch.arrayCount, c.shown[0] == '{' ? 1 : 0) << c.formula;
    }
}

struct NearCase {
    std::string formula;
    std::vector<double> numbers; // row by row
    double tolerance;
};

inline void CheckNear(NumericBook& book, std::initializer_list<NearCase> cases) {
    for (const NearCase& c : cases)
        EXPECT_TRUE(Near(book.Numbers(c.formula), c.numbers, c.tolerance)) << c.formula;
}

} // namespace vl::test
