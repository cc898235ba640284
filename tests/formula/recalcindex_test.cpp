// Recalculations that read worksheets holding only data and that rewrite arrays among the
// formulas they walk: every formula gets the value its cells give, recalculation after
// recalculation, and no row index is left standing after one.
#include "evaltestutil.h"

#include <string>

namespace vl {

using test::TestBook;

namespace {

std::string A1(const char* column, uint32_t row) {
    return column + std::to_string(row);
}

double Value(TestBook& book, CWorksheet& s, const char* column, uint32_t row) {
    return std::stod(book.Shown(s, A1(column, row)));
}

// A new text for a formula record that keeps its head, the area it spreads over among it, as
// an edit of the text does.
void NewText(TestBook& book, std::string_view a1, std::string_view formula) {
    const test::Place p = test::At(a1);
    const uint8_t* r = FindCell(book.Sheet().cells, p.row, p.column);
    FormulaHead head;
    if (r) {
        head.flags = r[0];
        head.arrayWidth = cell::ArrayWidth(r);
        head.arrayHeight = cell::ArrayHeight(r);
        head.resultFlags = uint8_t(cell::ResultFlags(r) & ~kResultText);
    }
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, p.column, p.row, head, book.Internal(formula, p)));
    CellCursor cursor;
    ASSERT_TRUE(book.Sheet().cells.PutCell(b.data(), cursor));
}

// No block of the store indexed, nor built by the finds that follow.
bool NoIndex(const CCellStore& cells, uint32_t rows) {
    for (int find = 0; find < 64; ++find)
        for (uint32_t block = 0; block <= rows / kRowBlockRows; ++block)
            if (cells.BlockValid(block)) return false;
    return true;
}

} // namespace

// Rows over three blocks of a data worksheet, read by the formulas of another worksheet before
// it and after it in the tree; then the data change and the formulas follow.
TEST(RecalcIndex, FormulasReadADataWorksheetAcrossItsBlocks) {
    constexpr uint32_t kRows = 2600;
    for (bool dataFirst : {true, false}) {
        SCOPED_TRACE(dataFirst);
        TestBook book;
        CWorksheet& first = book.AddSheet(dataFirst ? "Data" : "Calc");
        CWorksheet& second = book.AddSheet(dataFirst ? "Calc" : "Data");
        CWorksheet& data = dataFirst ? first : second;
        CWorksheet& calc = dataFirst ? second : first;
        for (uint32_t row = 1; row <= kRows; ++row) {
            book.Number(data, A1("A", row), row * 3.0);
            book.Number(data, A1("C", row), row % 7);
            // Read from the bottom up, so that a find never follows the one before.
            book.Formula(calc, A1("B", row),
                         "=Data!A" + std::to_string(kRows + 1 - row) + "+Data!C" +
                             std::to_string(row));
        }
        for (double scale : {3.0, 5.0}) {
            if (scale != 3.0)
                for (uint32_t row = 1; row <= kRows; row += 3)
                    book.Number(data, A1("A", row), row * scale);
            ASSERT_TRUE(book.Recalc());
            for (uint32_t row = 1; row <= kRows; ++row) {
                const uint32_t read = kRows + 1 - row;
                const double a = (scale != 3.0 && (read - 1) % 3 == 0 ? scale : 3.0) * read;
                ASSERT_EQ(Value(book, calc, "B", row), a + row % 7) << row;
            }
            EXPECT_TRUE(NoIndex(data.cells, kRows));
            EXPECT_TRUE(NoIndex(calc.cells, kRows));
        }
    }
}

// An array in the middle of a column of formulas, its values and its height changing between
// recalculations: the formulas after it, on its pages and past them, read the right cells.
TEST(RecalcIndex, ArraysRewrittenAmongFormulasKeepEveryReaderRight) {
    constexpr uint32_t kRows = 1500;
    TestBook book;
    CWorksheet& s = book.Sheet();
    for (uint32_t row = 1; row <= kRows; ++row) {
        book.Number(A1("A", row), row);
        book.Formula(A1("B", row), "=A" + std::to_string(row) + "*2+C" + std::to_string(row));
    }
    struct Round {
        double factor;
        uint32_t height; // rows the array spreads over, from C500
    };
    const Round rounds[] = {{2, 3}, {4, 3}, {4, 40}, {-1, 1}, {3, 600}, {5, 2}};
    for (const Round& round : rounds) {
        SCOPED_TRACE(round.height);
        book.Number("D1", round.factor);
        NewText(book, "C500", "=A500:A" + std::to_string(499 + round.height) + "*D1");
        ASSERT_TRUE(book.Recalc());
        ASSERT_TRUE(book.Recalc()); // once more, over the array as it now stands
        for (uint32_t row = 1; row <= kRows; ++row) {
            const bool inArray = row >= 500 && row < 500 + round.height;
            const double c = inArray ? row * round.factor : 0;
            if (inArray) {
                ASSERT_EQ(Value(book, s, "C", row), c) << row;
            }
            ASSERT_EQ(Value(book, s, "B", row), row * 2 + c) << row;
        }
        EXPECT_TRUE(NoIndex(s.cells, kRows));
    }
}

} // namespace vl
