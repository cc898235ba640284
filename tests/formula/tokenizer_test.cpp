#include "evaltestutil.h"
#include "formula/functable.h"
#include "formula/tokenizer.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vl {

namespace {

enum Form { kInternal, kUserA1, kUserComma };

class TokenizerTest : public test::FormulaTextTest {
protected:
    void SetUp() override { ctx_->BeginFormula(4, 9); }

    uint16_t Read(std::string_view text, Form form = kInternal) {
        pos_ = 0;
        ctx_->status = 0;
        TokenSyntax syntax = form == kInternal ? InternalSyntax()
                             : form == kUserA1 ? TokenSyntax{&generic_, false, RefStyle::kA1}
                                               : TokenSyntax{&comma_, false, RefStyle::kR1C1};
        return ReadFormulaToken(*ctx_, text, pos_, token_, syntax);
    }

    FormulaToken token_;
    std::size_t pos_ = 0;
};

} // namespace

// Operators, numbers, error literals, booleans and names: the code, the length read, the
// number and the error. A malformed token reads nothing and sets the status.
TEST_F(TokenizerTest, ReadsOneTokenOfEachKind) {
    const std::tuple<const char*, Form, uint16_t, std::size_t, double, FormulaError> cases[] = {
        {"=", kInternal, 1, 1, 0, 0},
        {"<1", kInternal, 2, 1, 0, 0},
        {"<=", kInternal, 3, 2, 0, 0},
        {"<>", kInternal, 6, 2, 0, 0},
        {"%", kInternal, 14, 1, 0, 0},
        {"(", kInternal, 1024, 1, 0, 0},
        {")", kInternal, 2048, 1, 0, 0},
        {",", kInternal, kTokenList, 1, 0, 0},
        {" =", kInternal, 1, 2, 0, 0},
        {";", kUserComma, kTokenList, 1, 0, 0},
        {"", kInternal, kTokenEnd, 0, 0, 0},
        {"  \r\n ", kInternal, kTokenEnd, 5, 0, 0},
        // numbers
        {"1.5E3", kInternal, kTokenNumber, 5, 1500, 0},
        {"1.5e3", kUserA1, kTokenNumber, 5, 1500, 0},
        {".5", kInternal, kTokenNumber, 2, 0.5, 0},
        {"5.", kInternal, kTokenNumber, 2, 5, 0},
        {"1e999", kInternal, kTokenNumber, 5, 0, kErrNum},
        {"1e-310", kInternal, kTokenNumber, 6, 0, kErrNum},
        {"1e-400", kInternal, kTokenNumber, 6, 0, 0},
        {"1e", kInternal, kTokenNumber, 1, 1, 0}, // the internal form leaves a bare "e"
        {"2.5.5", kInternal, kTokenNumber, 3, 2.5, 0},
        {"0x10", kInternal, kTokenNumber, 1, 0, 0},
        {"1,5;2", kUserComma, kTokenNumber, 3, 1.5, 0},
        {"1.5", kUserComma, kTokenNumber, 1, 1, 0}, // "." is no separator here
        {"3,5e-2", kUserComma, kTokenNumber, 6, 0.035, 0},
        {"1E", kUserComma, 0, 0, 0, 0}, // the user form finds these malformed
        {"1e+", kUserComma, 0, 0, 0, 0},
        {",,", kUserComma, 0, 0, 0, 0},
        {".", kInternal, 0, 0, 0, 0},
        // literals and names
        {"true", kInternal, kTokenNumber, 4, 1, 0},
        {"FALSE)", kInternal, kTokenNumber, 5, 0, 0},
        {"TRUE(", kInternal, kTokenFunction, 5, 0, 0},
        {"#DIV/0!+1", kInternal, kTokenNumber, 7, 0, kErrDivZero},
        {"#foo", kInternal, kTokenText, 4, 0, kErrName},
        {"SUM+1", kInternal, kTokenText, 3, 0, kErrName},
        {"Ums\xE4tze_1 ", kInternal, kTokenText, 9, 0, kErrName},
        {"$", kInternal, kTokenText, 1, 0, kErrName}, // a reading always moves on
        {"#", kInternal, kTokenText, 1, 0, kErrName},
        {"\\", kInternal, kTokenText, 1, 0, kErrName},
        {"LOG10(2)", kUserA1, kTokenFunction, 6, 0, 0},
        {"ROUND(1)", kInternal, kTokenFunction, 6, 0, 0},
        {"B3", kInternal, kTokenText, 2, 0, kErrName}, // no A1 in the internal form
    };
    for (const auto& [text, form, type, length, number, error] : cases) {
        EXPECT_EQ(Read(text, form), type) << text;
        EXPECT_EQ(std::tuple(pos_, ctx_->status, token_.error),
                  std::tuple(length, type ? 0 : kErrSyntax, error))
            << text;
        if (type == kTokenNumber && !error) {
            EXPECT_DOUBLE_EQ(token_.number, number) << text;
        }
        if (type == kTokenText) ctx_->stringPool.PopTempString();
    }
    for (const char* text : {"`", "?", "[", "]", "}", ";", "@", "~", "|"})
        EXPECT_EQ(Read(text), 0) << text;
    EXPECT_EQ(Read(std::string_view("\0+1", 3)), kTokenEnd); // a NUL ends the text
    EXPECT_EQ(pos_, 0u);
}

TEST_F(TokenizerTest, BoundsUserNumbersAndFindsFunctions) {
    const std::string longNumber(1100, '7');
    EXPECT_EQ(Read(std::string(1024, '7'), kUserComma), kTokenNumber); // the longest
    EXPECT_EQ(Read(std::string(1025, '7'), kUserComma), 0);
    EXPECT_EQ(Read(longNumber), kTokenNumber); // the internal form has no bound of its own
    EXPECT_EQ(token_.error, kErrNum);
    EXPECT_EQ(pos_, longNumber.size());
    uint16_t sum = 0;
    std::size_t end = 0;
    ASSERT_TRUE(FindBuiltinFunction("SUM(", sum, end));
    for (const char* text : {"SUM(1)", "sum(1)"}) {
        EXPECT_EQ(Read(text), kTokenFunction);
        EXPECT_EQ(token_.functionIndex, sum);
    }
}

TEST_F(TokenizerTest, ReadsTextsOntoTheStringPoolOrRefusesThemWhenItIsFull) {
    const std::pair<const char*, const char*> texts[] = {
        {"\"it's\"&1", "it's"},
        {"'abc", "abc"},
        {"''", ""},
        {"#foo", "#foo"},
        {"\\Reports\\2007\\Sales!A1", "\\Reports\\2007\\Sales"}};
    for (auto [text, pooled] : texts) {
        EXPECT_EQ(Read(text), kTokenText) << text;
        EXPECT_EQ(ctx_->stringPool.PopTempString(), pooled);
    }
    // A text the full pool refuses is an error value, not a text: consuming it must not
    // take the string of an earlier operand.
    for (int i = 0; i < kPoolStrings; ++i) ASSERT_TRUE(ctx_->stringPool.PushString("x"));
    for (auto [text, error] : {std::pair{"\"full\"", kErrName}, {"name", kErrValue}}) {
        EXPECT_EQ(Read(text), kTokenEmpty) << text;
        EXPECT_EQ(token_.error, error) << text;
        EXPECT_EQ(pos_, std::string_view(text).size()) << text;
        ctx_->values[1] = token_;
        ReleaseTemporaries(*ctx_, 1, 1);
        EXPECT_EQ(ctx_->stringPool.count, kPoolStrings) << text;
    }
}

TEST_F(TokenizerTest, ReadsReferencesInBothForms) {
    CCellStore sheet;
    ctx_->currentCells = &sheet;
    const std::tuple<const char*, Form, uint16_t, uint32_t, uint8_t, FormulaError> cases[] = {
        {"B3", kUserA1, 1, 2, 27, 0},
        {"XFD1 ", kUserA1, kColumnOutOfRange, 0, 27 | 64, kErrRef},
        {"C", kUserA1, 2, 0, 24, 0},
        {"R[-2]C[3]", kInternal, 7, 7, 29, 0}, // against the base cell E10
        {"C65537", kInternal, kColumnOutOfRange, 0, 8 | 64, kErrRef},
        {"R99999999999", kUserComma, 0, kRowOutOfRange, 1 | 64, kErrRef},
    };
    for (const auto& [text, form, column, row, flags, error] : cases) {
        EXPECT_EQ(Read(text, form), kTokenReference) << text;
        EXPECT_EQ(
            std::tuple(token_.column, token_.row, token_.refFlags, token_.error, token_.cells),
            std::tuple(column, row, flags, error, &sheet))
            << text;
    }
}

TEST_F(TokenizerTest, ReadsArrayConstantsIntoTheArrayStack) {
    // Last column and row, flags, arrays stacked; the chain leaves the scratch store.
    const auto shape = [&] {
        return std::tuple(token_.lastColumn, token_.lastRow, ctx_->scratch.arrayCount);
    };
    EXPECT_EQ(Read("{1,2;3,4}+1"), kTokenArray);
    EXPECT_EQ(shape(), std::tuple(uint16_t(1), 1u, uint16_t(1)));
    EXPECT_EQ(std::tuple(pos_, token_.firstFlags, token_.lastFlags), std::tuple(9u, 9, 9));
    EXPECT_EQ(ctx_->scratch.cells.PageCount(), 0u);
    EXPECT_EQ(Read("{1,5;2|3}", kUserComma), kTokenArray);
    EXPECT_EQ(shape(), std::tuple(uint16_t(1), 1u, uint16_t(2)));
    EXPECT_EQ(Read("{1 2}"), 0);
    EXPECT_EQ(std::tuple(ctx_->status, pos_, ctx_->scratch.arrayCount),
              std::tuple(kErrSyntax, 0u, uint16_t(2)));
}

} // namespace vl
