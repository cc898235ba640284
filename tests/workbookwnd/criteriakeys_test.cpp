// Criteria typed by keys into the grid of the window, over a column as people keep one: a
// header, numbers, a text standing for a missing number, an empty text result and an empty
// cell. The answers are those of both peer spreadsheets.

#include "formula/celltext.h"
#include "tests/common/waits.h"
#include "wndtest.h"

#include <QApplication>
#include <QTest>

namespace vl {

namespace {

class CriteriaKeysTest : public wndtest::WindowTest {
protected:
    // The value a cell shows in the general format ("<none>" for no cell).
    std::string Value(uint16_t column, uint32_t row) const {
        const uint8_t* r = FindCell(Book().tree.active->cells, row, column);
        std::string text;
        if (!r || !FormatCellValue(r, StandardFormat{}, text)) return "<none>";
        return text;
    }
};

} // namespace

TEST_F(CriteriaKeysTest, NumberCriteriaPassOverTextsAndAnEmptyOneTakesEmptyCells) {
    ASSERT_NE(NewWindow(), nullptr);
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    // A1:A6 Qty, 5, n/a, 20, ="" and an empty cell; B1:B6 1, 2, 4, 8, 16, 32.
    const char* column[] = {"Qty", "5", "n/a", "20", "=\"\""};
    for (uint32_t row = 0; row < 5; ++row) Enter(0, row, QString::fromLatin1(column[row]));
    for (uint32_t row = 0; row < 6; ++row) Enter(1, row, QString::number(1 << row));
    ASSERT_EQ(CellText(0, 4), "=\"\"");
    struct Row {
        const char* formula;
        const char* shown;
    };
    const Row rows[] = {
        {"=COUNTIF(A1:A6,\">0\")", "2"},         // the texts are no numbers above 0
        {"=COUNTIF(A1:A6,\">=\"&20)", "1"},      // a criterion built with &
        {"=SUMIF(A1:A6,\">0\",B1:B6)", "10"},    // 2 + 8, the header's 1 left out
        {"=COUNTIF(A1:A6,\"\")", "2"},           // the empty text and the empty cell
        {"=SUMIF(A1:A6,\"\",B1:B6)", "48"},      // 16 + 32
        {"=SUMIF(A1:A6,\"<>n/a\",B1:B6)", "59"}, // all but 4, the empty cell's 32 too
        {"=COUNTIF(A1:A6,\"<>n/a\")", "5"},
    };
    uint32_t row = 0;
    for (const Row& r : rows) Enter(2, row++, QString::fromLatin1(r.formula));
    row = 0;
    for (const Row& r : rows) {
        EXPECT_EQ(CellText(2, row), r.formula);
        EXPECT_EQ(Value(2, row), r.shown) << r.formula;
        ++row;
    }
    Active()->SetModified(false);
}

} // namespace vl
