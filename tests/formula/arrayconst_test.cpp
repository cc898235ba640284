#include "formula/arrayconst.h"
#include "formula/evalcontext.h"
#include "platform/core/alloc.h"
#include "separatortestutil.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vl {

namespace {

class ArrayConstantTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx_ = std::make_unique<CEvalContext>();
        comma_ = formulatest::CommaFormulaSeparators();
    }

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
    const uint8_t* Cell(uint16_t column, uint32_t row) { return FindCell(store_, row, column); }

    std::unique_ptr<CEvalContext> ctx_;
    CCellStore store_;
    std::size_t end_ = 0;
    uint16_t lastColumn_ = 0;
    uint32_t lastRow_ = 0;
    FormulaError error_ = 0;
    SeparatorSet comma_;
};

} // namespace

TEST_F(ArrayConstantTest, ReadsRowsAndColumnsOfNumbers) {
    ASSERT_TRUE(Parse("{1,2;3,4}", InternalSeparators()));
    EXPECT_EQ(end_, 9u);
    EXPECT_EQ(lastColumn_, 1);
    EXPECT_EQ(lastRow_, 1u);
    EXPECT_EQ(error_, 0);
    const double values[2][2] = {{1, 2}, {3, 4}};
    for (uint32_t r = 0; r < 2; ++r)
        for (uint16_t c = 0; c < 2; ++c) {
            const uint8_t* cell = Cell(c, r);
            ASSERT_NE(cell, nullptr);
            EXPECT_TRUE(cell::IsNumber(cell));
            EXPECT_EQ(cell::Number(cell), values[r][c]);
        }
}

TEST_F(ArrayConstantTest, LeavesMissingElementsOutAndWritesThemEmpty) {
    ASSERT_TRUE(Parse("{1,2;3}", InternalSeparators()));
    EXPECT_EQ(lastColumn_, 1);
    EXPECT_EQ(lastRow_, 1u);
    EXPECT_EQ(Cell(1, 1), nullptr);
    EXPECT_EQ(Format(InternalSeparators()), "{1, 2; 3, }");

    ASSERT_TRUE(Parse("{}", InternalSeparators()));
    EXPECT_EQ(lastColumn_, 0);
    EXPECT_EQ(lastRow_, 0u);
    EXPECT_EQ(store_.FirstPage(), nullptr);
    EXPECT_EQ(Format(InternalSeparators()), "{}");

    ASSERT_TRUE(Parse("{,1;;2}", InternalSeparators()));
    EXPECT_EQ(Format(InternalSeparators()), "{, 1; , ; 2, }");
}

TEST_F(ArrayConstantTest, ReadsTextsBooleansErrorsAndBareWords) {
    ASSERT_TRUE(Parse("{\"a b\", TRUE, #N/A!, 'say \"hi\"', -2.5, false, abc, trueish}",
                      InternalSeparators()));
    EXPECT_EQ(lastColumn_, 7);
    const uint8_t* text = Cell(0, 0);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(cell::Flags(text), kCellText);
    EXPECT_EQ(cell::Text(text), "a b");
    EXPECT_EQ(cell::Number(Cell(1, 0)), 1);
    EXPECT_EQ(cell::Flags(Cell(2, 0)), 0x42);
    EXPECT_EQ(cell::Number(Cell(2, 0)), 4);
    EXPECT_EQ(cell::Text(Cell(3, 0)), "say \"hi\"");
    EXPECT_EQ(cell::Number(Cell(4, 0)), -2.5);
    EXPECT_EQ(cell::Number(Cell(5, 0)), 0);
    EXPECT_EQ(cell::Flags(Cell(6, 0)), 0x21);
    EXPECT_EQ(cell::Text(Cell(6, 0)), "abc");
    EXPECT_EQ(cell::Text(Cell(7, 0)), "trueish");
    EXPECT_EQ(Format(InternalSeparators()),
              "{\"a b\", 1, #N/A!, 'say \"hi\"', -2.5, 0, #NAME?, #NAME?}");
}

TEST_F(ArrayConstantTest, EndsAfterASeparatorAtTheEndOfTheText) {
    EXPECT_TRUE(Parse("{1,", InternalSeparators()));
    EXPECT_EQ(end_, 3u);
    EXPECT_EQ(lastColumn_, 1);
    EXPECT_TRUE(Parse("{", InternalSeparators()));
    EXPECT_EQ(end_, 1u);
    EXPECT_TRUE(Parse("{1; ", InternalSeparators()));
    EXPECT_EQ(end_, 4u);
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
    EXPECT_EQ(lastColumn_, 1);
    EXPECT_EQ(lastRow_, 1u);
    EXPECT_EQ(cell::Number(Cell(0, 0)), 1.5);
    EXPECT_EQ(cell::Number(Cell(1, 0)), -2);
    EXPECT_EQ(cell::Number(Cell(0, 1)), 300);
    EXPECT_EQ(Format(comma_), "{1,5; -2| 300; \"x\"}");
    // Exponent forms take the user's decimal separator too, so that they read back.
    ASSERT_TRUE(Parse("{1.5e20, 0.25}", InternalSeparators()));
    EXPECT_EQ(Format(comma_), "{1,5e+020; 0,25}");
    EXPECT_EQ(Format(InternalSeparators()), "{1.5e+020, 0.25}");
}

TEST_F(ArrayConstantTest, ReadsANumberPastTheDoubleRangeAsNum) {
    ASSERT_TRUE(Parse("{1e999, 2}", InternalSeparators()));
    EXPECT_EQ(cell::Flags(Cell(0, 0)), 0x52);
    EXPECT_EQ(Format(InternalSeparators()), "{#NUM!, 2}");
}

TEST_F(ArrayConstantTest, RefusesConstantsWiderThanTheGrid) {
    std::string wide = "{" + std::string(2046, ',') + "}";
    ASSERT_TRUE(Parse(wide, InternalSeparators()));
    EXPECT_EQ(lastColumn_, 2046);
    wide.insert(1, ",");
    EXPECT_FALSE(Parse(wide, InternalSeparators()));
    EXPECT_EQ(ctx_->status, kErrSyntax);
}

TEST_F(ArrayConstantTest, WritesNothingWhenTheTextWouldReach1024Characters) {
    // 255 elements of "1" take 1 + 255 + 254 * 2 + 1 = 765 characters; 341 take 1023.
    std::string text = "{";
    for (int i = 0; i < 341; ++i) text += i ? ",1" : "1";
    text += "}";
    ASSERT_TRUE(Parse(text, InternalSeparators()));
    std::string out = "=";
    ASSERT_TRUE(FormatArrayConstant(out, store_, lastColumn_, lastRow_, InternalSeparators()));
    EXPECT_EQ(out.size(), 1024u);
    text.insert(1, "1,");
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
    EXPECT_EQ(error_, kErrMemory);
    EXPECT_EQ(lastColumn_, 1);
}

} // namespace vl
