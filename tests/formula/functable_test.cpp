#include "formula/evalcontext.h"
#include "formula/functable.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>

namespace vl {

namespace {

std::string Name(uint16_t index) {
    return GetBuiltinFunction(index)->name;
}

uint16_t IndexOf(const char* text) {
    uint16_t index = 0;
    std::size_t end = 0;
    EXPECT_TRUE(FindBuiltinFunction(text, index, end)) << text;
    return index;
}

void Doubling(CEvalContext& ctx) {
    FormulaToken& call = ctx.values[ctx.valueCount];
    ctx.values[call.firstArgument].number *= 2;
    ctx.valueCount = call.firstArgument;
}

} // namespace

TEST(FunctionTable, SortedRowsAreAllFoundByBisectionAndNothingLiesPastThem) {
    uint16_t count = BuiltinFunctionCount();
    ASSERT_GT(count, 300);
    for (uint16_t i = 0; i < count; ++i) {
        if (i > 0) {
            EXPECT_LE(std::strcmp(GetBuiltinFunction(i - 1)->name, Name(i).c_str()), 0);
        }
        std::string text = Name(i) + "1)";
        uint16_t index = 0;
        std::size_t end = 0;
        ASSERT_TRUE(FindBuiltinFunction(text, index, end)) << text;
        EXPECT_EQ(Name(index), Name(i));
        EXPECT_EQ(end, Name(i).size());
    }
    EXPECT_EQ(GetBuiltinFunction(count), nullptr);
    EXPECT_EQ(GetBuiltinFunction(0xFFFF), nullptr);
}

TEST(FunctionTable, NamesMatchWithTheirParenthesisInAnyCase) {
    // The text and the name found, null for none.
    const std::pair<const char*, const char*> cases[] = {
        {"sum(A1)", "SUM("},
        {"Log10(2)", "LOG10("},
        {"log(2)", "LOG("},
        {"weekday(1)", "WEEKDAY("},
        {"SUM (", nullptr},
        {"SUM", nullptr},
        {"SUMX(", nullptr},
        {"", nullptr},
        // A worksheet's name is no function, whatever calls come later in the text.
        {"Data!A1+SUM(B1)", nullptr},
        {"Sum!A1", nullptr},
        {"SUM(SUM(", "SUM("},
        {"(", nullptr},
        {"AAA(", nullptr},
        {"ZZZZ(", nullptr},
        {"SU", nullptr},
    };
    for (auto [text, name] : cases) {
        uint16_t index = 999;
        std::size_t end = 99;
        ASSERT_EQ(FindBuiltinFunction(text, index, end), name != nullptr) << text;
        EXPECT_EQ(end, name ? std::strlen(name) : 0) << text;
        if (name) {
            EXPECT_EQ(Name(index), name) << text;
        }
    }
}

TEST(FunctionTable, UnboundRowsYieldImplAndBindingReachesEveryRowOfTheName) {
    auto ctx = std::make_unique<CEvalContext>();
    ctx->BeginFormula(0, 0);
    ASSERT_TRUE(ctx->stringPool.PushString("x"));
    ctx->values[1].type = kTokenNumber;
    ctx->values[2].type = kTokenText;
    ctx->values[3].type = kTokenFunction;
    ctx->values[3].firstArgument = 1;
    ctx->valueCount = 3;
    GetBuiltinFunction(IndexOf("DSUM("))->implementation(*ctx);
    // The text argument's string was released.
    EXPECT_EQ(std::tuple(ctx->status, ctx->valueCount, ctx->values[1].type, ctx->values[1].error,
                         ctx->stringPool.count),
              std::tuple(uint8_t(0), uint16_t(1), uint16_t(kTokenEmpty), kErrImpl, uint16_t(0)));
    ctx->values[1].type = kTokenFunction; // without arguments the call becomes the result
    ctx->values[1].firstArgument = 1;
    NotImplementedBuiltin(*ctx);
    EXPECT_EQ(std::pair(int(ctx->valueCount), ctx->values[1].error), std::pair(1, kErrImpl));

    EXPECT_FALSE(BindBuiltinFunction("NOSUCH", &Doubling));
    EXPECT_FALSE(BindBuiltinFunction("WEEKDAY(", &Doubling));
    ASSERT_TRUE(BindBuiltinFunction("WEEKDAY", &Doubling));
    int bound = 0;
    for (uint16_t i = 0; i < BuiltinFunctionCount(); ++i)
        bound += GetBuiltinFunction(i)->implementation == &Doubling;
    EXPECT_EQ(bound, 2); // the name has two rows
    EXPECT_EQ(GetBuiltinFunction(IndexOf("WEEKNUM("))->implementation, &NotImplementedBuiltin);
    ctx->values[1].type = kTokenNumber;
    ctx->values[1].number = 21;
    ctx->values[2].type = kTokenFunction;
    ctx->values[2].firstArgument = 1;
    ctx->valueCount = 2;
    GetBuiltinFunction(IndexOf("WEEKDAY("))->implementation(*ctx);
    EXPECT_EQ(ctx->values[1].number, 42);
    ASSERT_TRUE(BindBuiltinFunction("WEEKDAY", &NotImplementedBuiltin));
}

} // namespace vl
