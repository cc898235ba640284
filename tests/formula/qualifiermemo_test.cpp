// Qualifier names looked up once a recalculation: each from the folder of the formula that
// names it, and afresh in the next recalculation after the tree changed.
#include "evaltestutil.h"

#include <string>
#include <vector>

namespace vl {

using test::TestBook;

// Two folders each with an "Inner" and a "Calc" naming it: the same text finds a different
// worksheet from each folder. A name found nowhere is #NAME? every time.
TEST(QualifierMemo, ANameIsFoundFromTheFolderOfEachFormula) {
    TestBook book;
    std::vector<CWorksheet*> calcs;
    for (const char* folder : {"North", "South"}) {
        book.AddFolder(folder);
        CWorksheet& inner = book.AddSheet("Inner", 2);
        CWorksheet& calc = book.AddSheet("Calc", 2);
        book.Number(inner, "A1", folder[0] == 'N' ? 10 : 20);
        for (int row = 1; row <= 3; ++row) {
            book.Formula(calc, "B" + std::to_string(row), "=Inner!A1+" + std::to_string(row));
            book.Formula(calc, "C" + std::to_string(row), "=Missing!A1");
        }
        calcs.push_back(&calc);
    }
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(book.Recalc());
        for (int row = 1; row <= 3; ++row) {
            const std::string r = std::to_string(row);
            EXPECT_EQ(book.Shown(*calcs[0], "B" + r), std::to_string(10 + row));
            EXPECT_EQ(book.Shown(*calcs[1], "B" + r), std::to_string(20 + row));
            EXPECT_EQ(book.Shown(*calcs[1], "C" + r), "#NAME?");
        }
    }
}

// Renamed between recalculations: the old name finds nothing, the new one the worksheet.
TEST(QualifierMemo, TheNextRecalculationSeesTheTreeAsItNowIs) {
    TestBook book;
    CWorksheet& calc = book.AddSheet("Calc");
    CWorksheet& data = book.AddSheet("Data");
    CWorksheet& other = book.AddSheet("Other");
    book.Number(data, "A1", 5);
    book.Number(other, "A1", 7);
    book.Formula(calc, "A1", "=Data!A1*2");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown(calc, "A1"), "10");
    data.SetName("Old");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown(calc, "A1"), "#NAME?");
    other.SetName("Data");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown(calc, "A1"), "14");
}

} // namespace vl
