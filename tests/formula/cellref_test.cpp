#include "formula/cellref.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string_view>
#include <tuple>

namespace vl {

namespace {

// Text, flags, column, row and the end of what was read.
using RefCase = std::tuple<const char*, uint8_t, uint16_t, uint32_t, std::size_t>;

} // namespace

TEST(ParseA1Ref, ReadsColumnsRowsAndDollarSignsAndFlagsPositionsOutsideTheGrid) {
    const RefCase cases[] = {
        {"a1", 27, 0, 0, 2},
        {"B", 24, 1, 0, 1},
        {"12", 3, 0, 11, 2},
        {"$B$3", 9, 1, 2, 4},
        {"B3", 27, 1, 2, 2},
        {"$B3", 11, 1, 2, 3},
        {"B$3", 25, 1, 2, 3},
        {"$5", 1, 0, 4, 2},
        {"$C", 8, 2, 0, 2},
        {"BZS1", 27, 2046, 0, 4},
        {"ZZ10", 27, 701, 9, 4},
        {"AAA10", 27, 702, 9, 5},
        {"A2097152", 27, 0, 2097151, 8},
        {"A1+", 27, 0, 0, 2},
        // past BZS, row 0, past the last row; the digit that passes the last row ends the
        // digits, and a digit after it makes the text no reference
        {"BZT1", 27 | 64, kColumnOutOfRange, 0, 4},
        {"XFD1", 27 | 64, kColumnOutOfRange, 0, 4},
        {"A0", 27 | 64, 0, kRowOutOfRange, 2},
        {"$A$0", 9 | 64, 0, kRowOutOfRange, 4},
        {"A2097153", 27 | 64, 0, kRowOutOfRange, 8},
        {"A20971520", 27 | 64, 0, kRowOutOfRange, 9},
        {"$A$9999999", 9 | 64, 0, kRowOutOfRange, 10},
        {"A20971530", 0, 0, kRowOutOfRange, 8},
        {"A209715300", 0, 0, kRowOutOfRange, 8},
        {"A4294967297", 0, 0, kRowOutOfRange, 8},
        {"A99999999999999999999999", 0, 0, kRowOutOfRange, 8},
        {"00000002097152", 3, 0, 2097151, 14},
        {"0:", 3 | 64, 0, kRowOutOfRange, 1},
    };
    for (const auto& [text, flags, column, row, length] : cases) {
        CellRef ref;
        std::size_t end = 99;
        EXPECT_EQ(ParseA1Ref(text, ref, end), flags) << text;
        EXPECT_EQ(std::tuple(ref.flags, ref.column, ref.row, end),
                  std::tuple(flags, column, row, length))
            << text;
    }
}

TEST(ParseR1C1Ref, ResolvesOffsetsAgainstTheBaseCellAndFlagsPositionsOutsideTheGrid) {
    // Base cell column 4, row 9 (0-based); an end of 0 stands for the whole text.
    const RefCase cases[] = {
        {"R[-2]C[3]", 29, 7, 7, 0},
        {"RC", 27, 4, 9, 0},
        {"rc", 27, 4, 9, 0},
        {"R", 3, 0, 9, 0},
        {"C", 24, 4, 0, 0},
        {"C5", 8, 4, 0, 0},
        {"R5", 1, 0, 4, 0},
        {"C2R3", 9, 1, 2, 0},
        {"R[0]C[-4]", 3 | 8 | 32, 0, 9, 0},
        {"R2097152C2047", 9, 2046, 2097151, 0},
        {"R1C1:R2C2", 9, 0, 0, 4},
        // outside the grid, without wrapping
        {"R[-10]C", 1 | 4 | 8 | 16 | 64, 4, kRowOutOfRange, 0},
        {"R0C1", 9 | 64, 0, kRowOutOfRange, 0},
        {"R1C0", 9 | 64, kColumnOutOfRange, 0, 0},
        {"R2097153", 1 | 64, 0, kRowOutOfRange, 0},
        {"R99999999999", 1 | 64, 0, kRowOutOfRange, 0},
        {"R4294967297C1", 9 | 64, 0, kRowOutOfRange, 0},
        {"C65537", 8 | 64, kColumnOutOfRange, 0, 0},
        {"C2048", 8 | 64, kColumnOutOfRange, 0, 0},
        {"RC[-5]", 3 | 8 | 32 | 64, kColumnOutOfRange, 9, 0},
        {"RC[2043]", 3 | 8 | 16 | 64, kColumnOutOfRange, 9, 0},
        {"R[2097143]C", 3 | 24 | 64, 4, kRowOutOfRange, 0},
        {"R[4294967287]C", 3 | 24 | 64, 4, kRowOutOfRange, 0},
    };
    for (const auto& [text, flags, column, row, length] : cases) {
        CellRef ref;
        std::size_t end = 0;
        EXPECT_EQ(ParseR1C1Ref(text, 4, 9, ref, end), flags) << text;
        EXPECT_EQ(std::tuple(ref.column, ref.row, end),
                  std::tuple(column, row, length ? length : std::strlen(text)))
            << text;
    }
}

// Neither form reads a reference that runs on into a digit, a letter or a call; the A1 form
// moves the end past what it read even so (A1B), the R1C1 form leaves it at 0.
TEST(ParseRef, IsNoReferenceBeforeADigitALetterOrACallOrWithABracketLeftOpen) {
    for (const char* text : {"A1B", "A1(", "SUM(", "LOG10(", "ATAN2(", "TRUE", "FALSE", "", "$",
                             "$$A1", "+A1", "A1\xE9", "ABCDEFGH1", "A$B", "A$(", "$A$B1"}) {
        CellRef ref;
        std::size_t end = 0;
        EXPECT_EQ(ParseA1Ref(text, ref, end), 0) << text;
        EXPECT_EQ(ref.flags, 0) << text;
        EXPECT_TRUE(std::string_view(text) != "A1B" || end == 2u) << end;
    }
    for (const char* text : {"R[1C1", "R[C", "R[-]C", "R[1", "RC[2", "ROUND(", "RATE(", "COS(",
                             "R1C1X", "R(", "Results", "X1", "", "[1]"}) {
        CellRef ref;
        std::size_t end = 7;
        EXPECT_EQ(ParseR1C1Ref(text, 4, 9, ref, end), 0) << text;
        EXPECT_EQ(end, 0u) << text;
    }
}

TEST(RefToA1Text, WritesLettersDollarsAndRowNumbers) {
    const std::pair<CellRef, const char*> cases[] = {
        {{0, 4, 1}, "$5"},
        {{25, 0, 24}, "Z"},
        {{26, 0, 24}, "AA"},
        {{2047, 0, 27}, "?1"},
        {{0, kRowOutOfRange, 27}, "A?"},
        {{0, 0xFFFFFFFF, 9}, "$A$?"},
        {{3, 7, 8 | 32 | 1 | 4}, "D8"},
    };
    for (const auto& [ref, text] : cases) EXPECT_EQ(RefToA1Text(ref), text);
}

TEST(FormatReference, WritesOffsetsAgainstTheBaseAndSetsTheirDirection) {
    const std::tuple<CellRef, const char*, uint8_t> cases[] = {
        {{0, 7, 3}, "R[-2]", 5},       {{0, 9, 3}, "R", 3},
        {{0, 9, 5}, "R", 3},           {{0, 4, 1}, "R5", 1},
        {{7, 7, 29}, "R[-2]C[3]", 29}, {{0, 11, 5 | 8 | 32}, "R[2]C[-4]", 3 | 8 | 32},
        {{4, 0, 24}, "C", 24},
    };
    for (auto [ref, text, flags] : cases) {
        std::string out;
        FormatReference(out, ref, 4, 9);
        EXPECT_EQ(std::pair(out, ref.flags), std::pair(std::string(text), flags));
    }
}

// Every in-range reference written in either form reads back as itself.
TEST(CellRefRoundTrip, WritersAndScannersAgreeOverTheGrid) {
    const uint16_t columns[] = {0, 1, 25, 26, 27, 51, 52, 700, 701, 702, 703, 1000, 2045, 2046};
    const uint32_t rows[] = {0, 1, 8, 9, 10, 99, 1023, 1024, 65535, 65536, 2097150, 2097151};
    const uint8_t flagSets[] = {9, 11, 25, 27, 1, 3, 8, 24};
    for (uint16_t column : columns) {
        for (uint32_t row : rows) {
            for (uint8_t flags : flagSets) {
                CellRef ref{uint16_t(flags & 8 ? column : 0), flags & 1 ? row : 0, flags};
                std::string a1 = RefToA1Text(ref);
                CellRef back;
                std::size_t end = 0;
                ASSERT_EQ(ParseA1Ref(a1, back, end), flags) << a1;
                EXPECT_EQ(std::tuple(back.column, back.row, end),
                          std::tuple(ref.column, ref.row, a1.size()))
                    << a1;
                std::string rc;
                CellRef written = ref;
                FormatReference(rc, written, 700, 65536);
                ASSERT_NE(ParseR1C1Ref(rc, 700, 65536, back, end), 0) << rc;
                EXPECT_EQ(std::tuple(back.column, back.row, back.flags),
                          std::tuple(ref.column, ref.row, written.flags))
                    << rc;
            }
        }
    }
}

} // namespace vl
