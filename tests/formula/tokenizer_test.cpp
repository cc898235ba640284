#include "formula/functable.h"
#include "formula/tokenizer.h"
#include "separatortestutil.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vl {

namespace {

class TokenizerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx_ = std::make_unique<CEvalContext>();
        ctx_->BeginFormula(4, 9);
        comma_ = formulatest::CommaFormulaSeparators();
    }

    uint16_t Read(std::string_view text, const TokenSyntax& syntax) {
        pos_ = 0;
        return ReadFormulaToken(*ctx_, text, pos_, token_, syntax);
    }
    TokenSyntax A1(const SeparatorSet& set) { return {&set, false, RefStyle::kA1}; }
    TokenSyntax UserRc(const SeparatorSet& set) { return {&set, false, RefStyle::kR1C1}; }

    std::unique_ptr<CEvalContext> ctx_;
    FormulaToken token_;
    std::size_t pos_ = 0;
    SeparatorSet plain_;
    SeparatorSet comma_;
};

} // namespace

TEST_F(TokenizerTest, EndsAtTheEndOfTheTextOrANul) {
    for (std::string_view text :
         {std::string_view(""), std::string_view("  \r\n "), std::string_view("\0+1", 3)}) {
        EXPECT_EQ(Read(text, InternalSyntax()), kTokenEnd);
        EXPECT_EQ(ctx_->status, 0);
        EXPECT_EQ(pos_, text.size() == 3 ? 0u : text.size());
    }
}

TEST_F(TokenizerTest, ReadsEveryOperatorAndParenthesis) {
    struct Case {
        const char* text;
        uint16_t code;
        std::size_t length;
    } cases[] = {
        {"=", 1, 1},  {"<1", 2, 1},   {"<=", 3, 2},   {">", 4, 1},          {">=", 5, 2},
        {"<>", 6, 2}, {"+", 7, 1},    {"-", 8, 1},    {"&", 9, 1},          {"*", 10, 1},
        {"/", 11, 1}, {"^", 12, 1},   {"%", 14, 1},   {"_", 15, 1},         {"!", 16, 1},
        {":", 17, 1}, {"(", 1024, 1}, {")", 2048, 1}, {",", kTokenList, 1}, {" =", 1, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(c.text, InternalSyntax()), c.code) << c.text;
        EXPECT_EQ(pos_, c.length) << c.text;
    }
    EXPECT_EQ(Read(";", UserRc(comma_)), kTokenList);
    EXPECT_EQ(ctx_->status, 0);
}

TEST_F(TokenizerTest, StopsOnACharacterOutsideTheOperatorTable) {
    for (const char* text : {"`", "?", "[", "]", "}", ";", "@", "~", "|"}) {
        ctx_->status = 0;
        EXPECT_EQ(Read(text, InternalSyntax()), 0) << text;
        EXPECT_EQ(ctx_->status, kErrSyntax) << text;
        EXPECT_EQ(pos_, 0u) << text;
    }
}

TEST_F(TokenizerTest, ReadsNumbersInEachForm) {
    struct Case {
        const char* text;
        bool internal;
        double value;
        std::size_t length;
        FormulaError error;
    } cases[] = {
        {"1.5E3", true, 1500, 5, 0},     {"1.5e3", false, 1500, 5, 0},
        {"12", true, 12, 2, 0},          {".5", true, 0.5, 2, 0},
        {"5.", true, 5, 2, 0},           {"1e999", true, 0, 5, kErrNum},
        {"1e-310", true, 0, 6, kErrNum}, {"1e-400", true, 0, 6, 0},
        {"1e", true, 1, 1, 0},           {"2.5.5", true, 2.5, 3, 0},
        {"0x10", true, 0, 1, 0},
    };
    for (const Case& c : cases) {
        ctx_->status = 0;
        const SeparatorSet& set = plain_;
        uint16_t type = Read(c.text, c.internal ? InternalSyntax() : A1(set));
        EXPECT_EQ(type, kTokenNumber) << c.text;
        if (c.error == 0) {
            EXPECT_DOUBLE_EQ(token_.number, c.value) << c.text;
        }
        EXPECT_EQ(token_.error, c.error) << c.text;
        EXPECT_EQ(pos_, c.length) << c.text;
    }
}

TEST_F(TokenizerTest, ReadsUserNumbersWithTheUserDecimalSeparator) {
    EXPECT_EQ(Read("1,5;2", UserRc(comma_)), kTokenNumber);
    EXPECT_DOUBLE_EQ(token_.number, 1.5);
    EXPECT_EQ(pos_, 3u);
    EXPECT_EQ(Read(",25", UserRc(comma_)), kTokenNumber);
    EXPECT_DOUBLE_EQ(token_.number, 0.25);
    EXPECT_EQ(Read("1.5", UserRc(comma_)), kTokenNumber); // "." is no separator here
    EXPECT_EQ(pos_, 1u);
    EXPECT_EQ(Read("3,5e-2", UserRc(comma_)), kTokenNumber);
    EXPECT_DOUBLE_EQ(token_.number, 0.035);
}

TEST_F(TokenizerTest, FindsMalformedUserNumbers) {
    const std::string longNumber(1100, '7');
    for (const std::string& text :
         {std::string("1E"), std::string("1e+"), std::string(",,"), std::string(","), longNumber}) {
        ctx_->status = 0;
        EXPECT_EQ(Read(text, UserRc(comma_)), 0) << text;
        EXPECT_EQ(ctx_->status, kErrSyntax) << text;
        EXPECT_EQ(pos_, 0u);
    }
    // The internal form has no bound of its own on a digit run.
    ctx_->status = 0;
    EXPECT_EQ(Read(longNumber, InternalSyntax()), kTokenNumber);
    EXPECT_EQ(token_.error, kErrNum);
    EXPECT_EQ(pos_, longNumber.size());
    EXPECT_EQ(Read(".", InternalSyntax()), 0); // a lone separator never stalls the reader
}

TEST_F(TokenizerTest, ReadsQuotedTextsOntoTheStringPool) {
    EXPECT_EQ(Read("\"it's\"&1", InternalSyntax()), kTokenText);
    EXPECT_EQ(pos_, 6u);
    EXPECT_EQ(token_.error, 0);
    EXPECT_EQ(ctx_->stringPool.PopTempString(), "it's");
    EXPECT_EQ(Read("'abc", InternalSyntax()), kTokenText);
    EXPECT_EQ(pos_, 4u);
    EXPECT_EQ(ctx_->stringPool.PopTempString(), "abc");
    EXPECT_EQ(Read("''", InternalSyntax()), kTokenText);
    EXPECT_EQ(ctx_->stringPool.PopTempString(), "");

    // A text the full pool refuses is an error value, not a text: consuming it must not
    // take the string of an earlier operand.
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(ctx_->stringPool.PushString("x"));
    const std::pair<const char*, FormulaError> refused[] = {{"\"full\"", kErrName},
                                                            {"name", kErrValue}};
    for (auto [text, error] : refused) {
        EXPECT_EQ(Read(text, InternalSyntax()), kTokenEmpty) << text;
        EXPECT_EQ(token_.error, error) << text;
        EXPECT_EQ(pos_, std::string_view(text).size()) << text;
        ctx_->values[1] = token_;
        ReleaseTemporaries(*ctx_, 1, 1);
        EXPECT_EQ(ctx_->stringPool.count, 50) << text;
    }
}

TEST_F(TokenizerTest, ReadsFunctionNamesBooleansErrorsAndNames) {
    uint16_t sum = 0;
    std::size_t end = 0;
    ASSERT_TRUE(FindBuiltinFunction("SUM(", sum, end));
    for (const char* text : {"SUM(1)", "sum(1)"}) {
        EXPECT_EQ(Read(text, InternalSyntax()), kTokenFunction);
        EXPECT_EQ(token_.functionIndex, sum);
        EXPECT_EQ(pos_, 4u);
    }
    EXPECT_EQ(Read("SUM+1", InternalSyntax()), kTokenText);
    EXPECT_EQ(token_.error, kErrName);
    EXPECT_EQ(ctx_->stringPool.PopTempString(), "SUM");

    EXPECT_EQ(Read("true", InternalSyntax()), kTokenNumber);
    EXPECT_EQ(token_.number, 1);
    EXPECT_EQ(Read("FALSE)", InternalSyntax()), kTokenNumber);
    EXPECT_EQ(token_.number, 0);
    EXPECT_EQ(pos_, 5u);
    EXPECT_EQ(Read("TRUE(", InternalSyntax()), kTokenFunction);

    EXPECT_EQ(Read("#DIV/0!+1", InternalSyntax()), kTokenNumber);
    EXPECT_EQ(token_.error, kErrDivZero);
    EXPECT_EQ(pos_, 7u);
    EXPECT_EQ(Read("#foo", InternalSyntax()), kTokenText);
    EXPECT_EQ(token_.error, kErrName);
    EXPECT_EQ(ctx_->stringPool.PopTempString(), "#foo");

    EXPECT_EQ(Read("\\Reports\\2007\\Sales!A1", InternalSyntax()), kTokenText);
    EXPECT_EQ(ctx_->stringPool.PopTempString(), "\\Reports\\2007\\Sales");
    EXPECT_EQ(Read("Ums\xE4tze_1 ", InternalSyntax()), kTokenText);
    EXPECT_EQ(pos_, 9u);
}

TEST_F(TokenizerTest, AlwaysAdvancesOverAWordThatIsNothingElse) {
    // A "$" that begins no reference is a one-character name: reading moves on.
    for (const char* text : {"$", "$$", "#", "\\"}) {
        EXPECT_EQ(Read(text, InternalSyntax()), kTokenText) << text;
        EXPECT_EQ(token_.error, kErrName);
        EXPECT_EQ(pos_, 1u) << text;
    }
}

TEST_F(TokenizerTest, ReadsA1ReferencesInTheUserForm) {
    CCellStore sheet;
    ctx_->currentCells = &sheet;
    struct Case {
        const char* text;
        uint16_t column;
        uint32_t row;
        uint8_t flags;
        FormulaError error;
    } cases[] = {
        {"$B$3", 1, 2, 9, 0},
        {"B3", 1, 2, 27, 0},
        {"XFD1 ", kColumnOutOfRange, 0, 27 | 64, kErrRef},
        {"A0", 0, kRowOutOfRange, 27 | 64, kErrRef},
        {"C65537", 2, 65536, 27, 0},
        {"C", 2, 0, 24, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(c.text, A1(plain_)), kTokenReference) << c.text;
        EXPECT_EQ(token_.column, c.column) << c.text;
        EXPECT_EQ(token_.row, c.row) << c.text;
        EXPECT_EQ(token_.refFlags, c.flags) << c.text;
        EXPECT_EQ(token_.error, c.error) << c.text;
        EXPECT_EQ(token_.cells, &sheet);
    }
    EXPECT_EQ(Read("LOG10(2)", A1(plain_)), kTokenFunction);
    EXPECT_EQ(Read("ATAN2(1,2)", A1(plain_)), kTokenFunction);
    EXPECT_EQ(Read("LOG10(2)", InternalSyntax()), kTokenFunction);
}

TEST_F(TokenizerTest, ReadsR1C1ReferencesAgainstTheBaseCell) {
    EXPECT_EQ(Read("R[-2]C[3]", InternalSyntax()), kTokenReference);
    EXPECT_EQ(token_.row, 7u);
    EXPECT_EQ(token_.column, 7);
    EXPECT_EQ(token_.refFlags, 29);
    EXPECT_EQ(Read("RC", InternalSyntax()), kTokenReference);
    EXPECT_EQ(token_.row, 9u);
    EXPECT_EQ(token_.column, 4);
    EXPECT_EQ(token_.refFlags, 27);
    EXPECT_EQ(Read("C65537", InternalSyntax()), kTokenReference);
    EXPECT_EQ(token_.error, kErrRef);
    EXPECT_EQ(Read("R99999999999", UserRc(comma_)), kTokenReference);
    EXPECT_EQ(token_.error, kErrRef);
    EXPECT_EQ(Read("ROUND(1)", InternalSyntax()), kTokenFunction);
    EXPECT_EQ(Read("B3", InternalSyntax()), kTokenText); // no A1 in the internal form
}

TEST_F(TokenizerTest, ReadsArrayConstantsIntoTheArrayStack) {
    EXPECT_EQ(Read("{1,2;3,4}+1", InternalSyntax()), kTokenArray);
    EXPECT_EQ(pos_, 9u);
    EXPECT_EQ(token_.lastColumn, 1);
    EXPECT_EQ(token_.lastRow, 1u);
    EXPECT_EQ(token_.firstFlags, 9);
    EXPECT_EQ(token_.lastFlags, 9);
    EXPECT_EQ(ctx_->scratch.arrayCount, 1);
    EXPECT_EQ(ctx_->scratch.cells.PageCount(), 0u); // the chain left the store

    EXPECT_EQ(Read("{1,5;2|3}", UserRc(comma_)), kTokenArray);
    EXPECT_EQ(token_.lastColumn, 1);
    EXPECT_EQ(token_.lastRow, 1u);
    EXPECT_EQ(ctx_->scratch.arrayCount, 2);

    EXPECT_EQ(Read("{1 2}", InternalSyntax()), 0);
    EXPECT_EQ(ctx_->status, kErrSyntax);
    EXPECT_EQ(pos_, 0u);
    EXPECT_EQ(ctx_->scratch.arrayCount, 2);
}

} // namespace vl
