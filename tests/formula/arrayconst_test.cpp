#include "evaltestutil.h"
#include "formula/arrayconst.h"
#include "formula/evalcontext.h"
#include "platform/core/alloc.h"
#include "values/formatdouble.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>

namespace vl {

namespace {

class ArrayConstantTest : public test::FormulaTextTest {
protected:
    bool Parse(std::string_view text, const SeparatorSet& set, bool internal = true) {
        store_.ReleaseAllPages(true);
        ctx_->status = 0;
        return ParseArrayConstant(*ctx_, text, end_, store_, lastColumn_, lastRow_, error_, set,
                                  internal);
    }
    std::string Format(const SeparatorSet& set) {
        std::string out;
        EXPECT_TRUE(FormatArrayConstant(out, store_, lastColumn_, lastRow_, set));
        return out;
    }
    // The stored cells in order: "column,row=", "#" and the flags of a cell with an error,
    // and the number or "'" and the text.
    std::string Cells() {
        std::string out;
        CellCursor cursor{kAdvance, store_.FirstPage(), 0};
        for (const uint8_t* c = cursor.page ? NextCellRecord(cursor) : nullptr; c;
             c = NextCellRecord(cursor)) {
            out += (out.empty() ? "" : " ") + std::to_string(cell::Column(c)) + "," +
                   std::to_string(cell::Row(c)) + "=";
            if (cell::Error(c)) out += "#" + std::to_string(cell::Flags(c)) + ":";
            out +=
                cell::IsText(c) ? "'" + std::string(cell::Text(c)) : FormatDouble(cell::Number(c));
        }
        return out;
    }

    CCellStore store_;
    std::size_t end_ = 0;
    uint16_t lastColumn_ = 0;
    uint32_t lastRow_ = 0;
    FormulaError error_ = 0;
};

} // namespace

TEST_F(ArrayConstantTest, ReadsElementsOfEveryKindAndWritesThemBack) {
    // The text, its last column and row, the cells stored and the text written back.
    const std::tuple<const char*, uint16_t, uint32_t, const char*, const char*> cases[] = {
        {"{1,2;3,4}", 1, 1, "0,0=1 1,0=2 0,1=3 1,1=4", "{1, 2; 3, 4}"},
        {"{1,2;3}", 1, 1, "0,0=1 1,0=2 0,1=3", "{1, 2; 3, }"}, // a missing element
        {"{}", 0, 0, "", "{}"},
        {"{,1;;2}", 1, 2, "1,0=1 0,2=2", "{, 1; , ; 2, }"},
        {"{\"a b\", TRUE, #N/A!, 'say \"hi\"', -2.5, false, abc, trueish, 1e999}", 8, 0,
         "0,0='a b 1,0=1 2,0=#66:4 3,0='say \"hi\" 4,0=-2.5 5,0=0 6,0=#33:'abc 7,0=#33:'trueish "
         "8,0=#82:5",
         "{\"a b\", 1, #N/A!, 'say \"hi\"', -2.5, 0, #NAME?, #NAME?, #NUM!}"},
    };
    for (const auto& [text, lastColumn, lastRow, cells, written] : cases) {
        ASSERT_TRUE(Parse(text, InternalSeparators())) << text;
        EXPECT_EQ(std::tuple(end_, lastColumn_, lastRow_, error_),
                  std::tuple(std::strlen(text), lastColumn, lastRow, FormulaError(0)))
            << text;
        EXPECT_EQ(Cells(), cells) << text;
        EXPECT_EQ(Format(InternalSeparators()), written) << text;
    }
}

TEST_F(ArrayConstantTest, EndsAfterASeparatorAtTheEndOfTheText) {
    for (auto [text, end, lastColumn] : {std::tuple("{1,", 3u, 1), {"{", 1u, 0}, {"{1; ", 4u, 0}}) {
        EXPECT_TRUE(Parse(text, InternalSeparators()));
        EXPECT_EQ(std::pair(end_, int(lastColumn_)), std::pair(std::size_t(end), lastColumn))
            << text;
    }
}

TEST_F(ArrayConstantTest, FailsWithSyntaxOnMalformedConstants) {
    for (const char* text :
         {"{1", "{1 2}", "{#foo}", "{1e}", "{- 1}", "{\"a\"b}", "{1,2)", "{--1}", "[1]"}) {
        bool isArray = text[0] == '{';
        EXPECT_FALSE(Parse(text, InternalSeparators())) << text;
        EXPECT_EQ(ctx_->status, isArray ? kErrSyntax : 0) << text;
    }
}

TEST_F(ArrayConstantTest, ReadsAndWritesTheUserSeparators) {
    ASSERT_TRUE(Parse("{1,5; - 2| 3e2;'x'}", comma_, false));
    EXPECT_EQ(std::pair(lastColumn_, lastRow_), std::pair(uint16_t(1), 1u));
    EXPECT_EQ(Cells(), "0,0=1.5 1,0=-2 0,1=300 1,1='x");
    EXPECT_EQ(Format(comma_), "{1,5; -2| 300; \"x\"}");
    // Exponent forms take the user's decimal separator too, so that they read back.
    ASSERT_TRUE(Parse("{1.5e20, 0.25}", InternalSeparators()));
    EXPECT_EQ(Format(comma_), "{1,5e+020; 0,25}");
    EXPECT_EQ(Format(InternalSeparators()), "{1.5e+020, 0.25}");
}

TEST_F(ArrayConstantTest, RefusesConstantsWiderThanTheGrid) {
    std::string wide = "{" + std::string(2046, ',') + "}";
    ASSERT_TRUE(Parse(wide, InternalSeparators()));
    EXPECT_EQ(lastColumn_, 2046);
    wide.insert(1, ",");
    EXPECT_FALSE(Parse(wide, InternalSeparators()));
    EXPECT_EQ(ctx_->status, kErrSyntax);
}

TEST_F(ArrayConstantTest, WritesNothingWhenTheTextWouldReachTheFormulaLimit) {
    // Rows of "1" take 1 + 2 + 3 * 2714 + 1 = 8,146 characters after "11": with the "=" of
    // its formula, the longest formula.
    std::string text = "{11";
    for (int i = 0; i < 2714; ++i) text += ";1";
    text += "}";
    ASSERT_TRUE(Parse(text, InternalSeparators()));
    std::string out = "=";
    ASSERT_TRUE(FormatArrayConstant(out, store_, lastColumn_, lastRow_, InternalSeparators()));
    EXPECT_EQ(out.size(), kMaxFormulaText);
    text.insert(1, "1");
    ASSERT_TRUE(Parse(text, InternalSeparators()));
    out = "=";
    EXPECT_FALSE(FormatArrayConstant(out, store_, lastColumn_, lastRow_, InternalSeparators()));
    EXPECT_EQ(out, "=");
}

TEST_F(ArrayConstantTest, ReportsCellsTheStoreRefusesAndGoesOn) {
    SetAllocFailAfter(0);
    bool ok = Parse("{1,2}", InternalSeparators());
    SetAllocFailAfter(-1);
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::pair(error_, lastColumn_), std::pair(FormulaError(kErrMemory), uint16_t(1)));
}

} // namespace vl
