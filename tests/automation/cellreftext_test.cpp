#include "automation/cellreftext.h"
#include "model/cellrecord.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vl {

namespace {

struct RefCase {
    const char* text;
    bool a1;
    bool usable;
    CellRange range;
};

} // namespace

TEST(CellReferenceText, UsableReferencesAreAbsoluteAndInsideTheGrid) {
    const RefCase cases[] = {
        {"$B$3", true, true, {1, 2, 1, 2}},
        {"$b$3", true, true, {1, 2, 1, 2}},
        {"B3", true, false, {}},
        {"$B3", true, false, {}},
        {"B$3", true, false, {}},
        {"$B$3:$D$5", true, true, {1, 2, 3, 4}},
        {"$D$5:$B$3", true, true, {1, 2, 3, 4}},
        {"$B$3:D5", true, false, {}},
        {"$A$2097152", true, true, {0, 2097151, 0, 2097151}},
        {"$A$2097153", true, false, {}},
        {"$BZS$1", true, true, {2046, 0, 2046, 0}},
        {"$BZT$1", true, false, {}},
        {"$ZZZZZZ$1", true, false, {}},
        {"$A$99999999999999999999", true, false, {}},
        // No letters or no row number name no cell.
        {"$A$0", true, false, {}},
        {"$A$", true, false, {}},
        {"$$1", true, false, {}},
        {"", true, false, {}},
        {"$A$1:", true, false, {}},
        // Nothing may follow the reference.
        {"$A$1 ", true, false, {}},
        {"$A$1B", true, false, {}},
        {"$A$1(", true, false, {}},
        {"R3C2", false, true, {1, 2, 1, 2}},
        {"R3C2:R5C4", false, true, {1, 2, 3, 4}},
        {"R[1]C2", false, false, {}},
        {"R0C1", false, false, {}},
        {"R2097152C2047", false, true, {2046, 2097151, 2046, 2097151}},
        {"R2097153C1", false, false, {}},
        {"R3", false, true, {0, 2, 2046, 2}},
        {"R3:R5", false, true, {0, 2, 2046, 4}},
        {"C2:C4", false, true, {1, 0, 3, 2097151}},
        {"R3:C2", false, false, {}},
        {"$B$3", false, false, {}},
        {"R3C2", true, false, {}},
    };
    for (const RefCase& c : cases) {
        ParsedCellRef ref;
        ASSERT_EQ(ParseCellRefBstr(c.text, c.a1, ref), c.usable) << c.text;
        if (!c.usable) continue;
        const CellRange r = RangeOfRef(ref), e = c.range;
        EXPECT_EQ(std::tuple(r.c1, r.r1, r.c2, r.r2), std::tuple(e.c1, e.r1, e.c2, e.r2)) << c.text;
    }
}

TEST(CellReferenceText, TextsBeyondTheReferenceBufferAreRefused) {
    ParsedCellRef ref;
    EXPECT_FALSE(ParseCellRefBstr(CBstr("$A$" + std::string(1020, '0') + "1"), true, ref));
    EXPECT_TRUE(ParseCellRefBstr(CBstr("$A$" + std::string(1019, '0') + "1"), true, ref));
}

} // namespace vl
