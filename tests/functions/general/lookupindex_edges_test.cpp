// Lookups that an index answers at its edges: a sought -0 in an index too large for a sought
// value to reach its key's slot by chance, and a table whose first row an array fills only
// after the table's index was built in the same recalculation.
#include "functiontestutil.h"

#include <string>

namespace vl::test {

namespace {

// Keys -20,000 .. 19,999 in A1:A40000 (0 in A20001), values key * 3 + 1 in B.
constexpr uint32_t kKeys = 40000;
constexpr int32_t kLowest = -20000;

} // namespace

// A function can return -0 (PRODUCT of -1 and 0 keeps the sign, as ATAN2 shows, where the
// operators give +0); the sought -0 equals the key 0 whichever slot its bits would hash to.
TEST(LookupIndexEdges, NegativeZeroFindsZeroInALargeIndex) {
    FunctionBook book;
    EXPECT_EQ(book.Eval("=ATAN2(PRODUCT(-1,0),-1)<0", "J1"), "1") << "PRODUCT gives -0";
    for (uint32_t r = 0; r < kKeys; ++r) {
        const double key = kLowest + int32_t(r);
        book.Number("A" + std::to_string(r + 1), key);
        book.Number("B" + std::to_string(r + 1), key * 3 + 1);
    }
    // Each formula twice: the first search walks, the second is served by the index.
    const char* formulas[] = {
        "=MATCH(PRODUCT(-1,0),A1:A40000,0)",
        "=VLOOKUP(PRODUCT(-1,0),A1:B40000,2,0)",
        "=MATCH(PRODUCT(-1,0),A1:A40000,1)",
        "=MATCH(PRODUCT(-1,0),A1:A40000,-1)",
    };
    const char* expected[] = {"20001", "1", "20001", "20001"};
    for (int i = 0; i < 4; ++i) {
        book.Formula("D" + std::to_string(i + 1), formulas[i]);
        book.Formula("E" + std::to_string(i + 1), formulas[i]);
    }
    ASSERT_TRUE(book.Recalc());
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(formulas[i]);
        EXPECT_EQ(book.Shown("D" + std::to_string(i + 1)), expected[i]) << "walked";
        EXPECT_EQ(book.Shown("E" + std::to_string(i + 1)), expected[i]) << "indexed";
    }
    // Seven of the eight searches of A1:A40000: MATCH and VLOOKUP read its cells alike.
    EXPECT_EQ(book.Ctx().lookups.Served(), 7u);
}

// The array in A6 spreads over A6:B10 for the first time in this recalculation; its last
// element, B10, is the first key of the table B10:C13. D1 and D2 search the table before the
// array spreads (the second builds the index without B10), D20 after: the spread must drop
// the index, else D20 misses the key 50 that B10 now holds. D1 and D2 are calculated again
// once the array has spread, in the same recalculation.
TEST(LookupIndexEdges, ArraySpreadIntoAnIndexedTableIsSeenLaterInThePass) {
    FunctionBook book;
    book.Formula("A6", "={1,2;3,4;5,6;7,8;9,50}");
    book.Number("C10", 500);
    for (int r = 11; r <= 13; ++r) {
        book.Number("B" + std::to_string(r), r * 10.0);
        book.Number("C" + std::to_string(r), r * 100.0);
    }
    for (const char* a1 : {"D1", "D2", "D20"}) book.Formula(a1, "=VLOOKUP(50,B10:C13,2,0)");
    book.Formula("E20", "=VLOOKUP(12*10,B10:C13,2,0)");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("B10"), "50");
    for (const char* a1 : {"D1", "D2", "D20"}) EXPECT_EQ(book.Shown(a1), "500") << a1;
    EXPECT_EQ(book.Shown("E20"), "1200");
    // Before the spread D2 was answered by an index, after it D20 and E20 by the one D20
    // built again; then all four readers of the table were calculated again, each served by
    // that index.
    EXPECT_EQ(book.Ctx().lookups.Served(), 7u);
    ASSERT_TRUE(book.Recalc());
    for (const char* a1 : {"D1", "D2", "D20"}) EXPECT_EQ(book.Shown(a1), "500") << a1;
    EXPECT_EQ(book.Shown("E20"), "1200");
}

// 0.3 typed and 0.1*3 computed are equal to 15 significant digits: of the two the first in
// store order is found, whether the walk or the index answers, for every match type; 0.1 and
// 0.7 stand around them in the sorted keys.
TEST(LookupIndexEdges, NumbersEqualTo15DigitsGiveTheFirstOfThem) {
    FunctionBook book;
    book.Number("A1", 0.3);
    book.Formula("A2", "=0.1*3");
    book.Number("A3", 0.5);
    book.Number("A4", 0.1);
    book.Number("A5", 0.7);
    const char* formulas[] = {
        "=MATCH(0.1*3,A1:A5,0)", "=MATCH(0.1*3,A1:A5,1)",  "=MATCH(0.3,A1:A5,1)",
        "=MATCH(0.3,A1:A5,-1)",  "=MATCH(0.1*3,A1:A5,-1)",
    };
    for (int i = 0; i < 5; ++i) {
        book.Formula("D" + std::to_string(i + 1), formulas[i]);
        book.Formula("E" + std::to_string(i + 1), formulas[i]);
    }
    ASSERT_TRUE(book.Recalc());
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(formulas[i]);
        EXPECT_EQ(book.Shown("D" + std::to_string(i + 1)), "1") << "walked";
        EXPECT_EQ(book.Shown("E" + std::to_string(i + 1)), "1") << "indexed";
    }
    // The first searches walk; the index serves the later ones.
    EXPECT_GE(book.Ctx().lookups.Served(), 5u);
}

} // namespace vl::test
