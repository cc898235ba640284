// The row search of the navigation menu over the columns of a selection.

#include "model/rowsearch.h"
#include "modeltestutil.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

using namespace modeltest;

// Columns 1 to 3 (B:D); the start row 0 holds B and C.
void Fill(CCellStore& s) {
    PutNumber(s, 1, 0, 1);
    PutNumber(s, 2, 0, 2);
    PutNumber(s, 1, 1, 1); // one of three
    PutNumber(s, 1, 2, 1); // two of three, identical to row 0 except C missing
    PutNumber(s, 2, 2, 2);
    PutNumber(s, 3, 2, 9);
    PutNumber(s, 0, 3, 5); // outside the columns: row 3 is empty for them
    PutNumber(s, 1, 4, 1); // row 4 identical to row 0
    PutNumber(s, 2, 4, 2);
    PutNumber(s, 1, 5, 7); // row 5 differs in every column
    PutNumber(s, 2, 5, 8);
    PutNumber(s, 3, 5, 9);
    PutText(s, 1, 6, "x"); // row 6: all three present
    PutText(s, 2, 6, "y");
    PutText(s, 3, 6, "z");
}

TEST(RowSearch, EachKindFindsTheFirstQualifyingRowEachWay) {
    CCellStore store;
    Fill(store);
    struct Case {
        RowSearch kind;
        uint32_t start;
        bool backward;
        int64_t row;
    };
    const Case cases[] = {
        {RowSearch::kNonEmpty, 0, false, 2}, // rows 1 (one) skipped, 2 has all three
        {RowSearch::kNonEmpty, 2, false, 5},
        {RowSearch::kNonEmpty, 6, true, 5},
        {RowSearch::kNonEmpty, 2, true, -1},
        {RowSearch::kEmpty, 0, false, 3},
        {RowSearch::kEmpty, 6, false, 7},
        {RowSearch::kEmpty, 6, true, 3},
        {RowSearch::kEmpty, 0, true, -1}, // row 0 has nothing above
        {RowSearch::kIdentical, 0, false, 4},
        {RowSearch::kIdentical, 3, false, 7}, // empty start: the next row empty in all
        {RowSearch::kIdentical, 4, true, 0},
        {RowSearch::kDifferent, 0, false, 5}, // row 3 keeps D absent as row 0 does
        {RowSearch::kDifferent, 6, true, 5},
        {RowSearch::kIdentical, kLastRow, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindQualifyingRow(store, 1, 3, c.start, c.kind, c.backward), c.row)
            << int(c.kind) << " from " << c.start << (c.backward ? " up" : " down");
}

TEST(RowSearch, AnEmptyStoreAndTheLastRows) {
    CCellStore store;
    EXPECT_EQ(FindQualifyingRow(store, 0, 2, 5, RowSearch::kEmpty, false), 6);
    EXPECT_EQ(FindQualifyingRow(store, 0, 2, 5, RowSearch::kEmpty, true), 4);
    EXPECT_EQ(FindQualifyingRow(store, 0, 2, 5, RowSearch::kNonEmpty, false), -1);
    EXPECT_EQ(FindQualifyingRow(store, 0, 2, kLastRow - 1, RowSearch::kEmpty, false),
              int64_t(kLastRow));
    PutNumber(store, 0, kLastRow, 1);
    EXPECT_EQ(FindQualifyingRow(store, 0, 0, kLastRow - 1, RowSearch::kEmpty, false), -1);
    EXPECT_EQ(FindQualifyingRow(store, 0, 0, 0, RowSearch::kNonEmpty, false), int64_t(kLastRow));
}

} // namespace

} // namespace vl
