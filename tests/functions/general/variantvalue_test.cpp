#include "formula/arrayconst.h"
#include "formula/evalcontext.h"
#include "formula/literals.h"
#include "functions/general/variantvalue.h"
#include "values/formatdouble.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vl {

namespace {

// The value as one text: "n:3", "t:abc", "e" (empty), an error name, or an array constant.
std::string Shown(CEvalContext& ctx, const CVariant& v) {
    FormulaToken value;
    VariantToValue(ctx, v, value);
    if (value.error) return std::string(GetFormulaErrorText(value.error));
    switch (value.type) {
    case kTokenNumber:
        return "n:" + FormatDouble(value.number);
    case kTokenText:
        return "t:" + std::string(ctx.stringPool.PopTempString());
    case kTokenEmpty:
        return "e";
    case kTokenArray: {
        std::string out;
        Page* chain = ctx.scratch.PopPointer();
        FormatArrayConstant(out, chain, value.lastColumn, value.lastRow, InternalSeparators());
        ctx.scratch.cells.FreePageChain(chain);
        return out;
    }
    }
    return "?";
}

std::shared_ptr<CSafeArray> Table(std::vector<SafeArrayBound> bounds) {
    auto a = CSafeArray::Create(std::move(bounds));
    EXPECT_TRUE(a);
    return a;
}

} // namespace

TEST(VariantToValue, ScalarsOfEveryType) {
    auto ctx = std::make_unique<CEvalContext>();
    struct Case {
        CVariant v;
        std::string shown;
    };
    const Case cases[] = {
        {CVariant::Empty(), "e"},
        {CVariant::Integer(VT_NULL, 0), "e"},
        {CVariant::Integer(VT_I2, -3), "n:-3"},
        {CVariant::Integer(VT_I4, 70000), "n:70000"},
        {CVariant::Integer(VT_INT, 5), "n:5"},
        {CVariant::Integer(VT_I1, -1), "n:-1"},
        {CVariant::Integer(VT_UI2, 65535), "n:65535"},
        {CVariant::Integer(VT_UI4, 4000000000), "n:4000000000"},
        {CVariant::R8(2.5), "n:2.5"},
        {CVariant::R8(INFINITY), "#NUM!"},
        {CVariant::Currency(-25000), "n:-2.5"},
        {CVariant::Dec({1, false, 0, 15}), "n:1.5"},
        {CVariant::Bool(true), "n:1"},
        {CVariant::Integer(VT_BOOL, 1), "n:0"}, // only VARIANT_TRUE is true
        {CVariant::Integer(VT_UI1, 1), "#DIV/0!"},
        {CVariant::Integer(VT_UI1, 5), "#NUM!"},
        {CVariant::Integer(VT_UI1, 12), "#SYNTAX!"},
        {CVariant::Integer(VT_UI1, 0), "n:0"}, // no error: a plain 0
        {CVariant::Integer(VT_UI1, 13), "#VALUE!"},
        {CVariant::Date(38687.5), "t:2005-12-01"},
        {CVariant::Bstr("Gr\xC3\xBC\xC3\x9F"
                        "e"),
         "t:Gr\xFC\xDF"
         "e"},
        {CVariant::Bstr(std::string(1023, 'x')), "t:" + std::string(1023, 'x')},
        {CVariant::Bstr(std::string(1024, 'x')), "#VALUE!"},
        {CVariant::RefTo(CVariant::R8(4)), "n:4"},
        {CVariant::Integer(VT_ERROR, 5), "e"},
        {CVariant::Integer(VT_I8, 5), "e"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Shown(*ctx, c.v), c.shown) << "vt " << c.v.vt;
        EXPECT_EQ(ctx->stringPool.count, 0);
    }
}

TEST(VariantToValue, AFullStringPoolGivesValueError) {
    auto ctx = std::make_unique<CEvalContext>();
    while (ctx->stringPool.PushString("filler")) {
    }
    FormulaToken value;
    VariantToValue(*ctx, CVariant::Bstr("x"), value);
    EXPECT_EQ(value.error, kErrValue);
}

TEST(VariantToValue, ArraysOfOneAndTwoDimensions) {
    auto ctx = std::make_unique<CEvalContext>();
    auto table = Table({{1, 3}, {-1, 3}});
    const std::pair<std::array<int32_t, 2>, CVariant> elements[] = {
        {{1, -1}, CVariant::R8(1)},
        {{1, 0}, CVariant::Bstr("x")},
        {{1, 1}, CVariant::Bool(true)},
        {{2, -1}, CVariant::Integer(VT_UI1, 7)},
        {{2, 0}, CVariant::Date(2)},
        {{3, -1}, CVariant::Integer(VT_UI1, 0)},
        {{3, 0}, CVariant::Integer(VT_UI1, 13)},
        {{3, 1}, CVariant::Integer(VT_UI1, 5)},
    };
    for (const auto& [at, value] : elements) table->PutElement(at, value);
    // (2, 1) stays empty: an element of no readable type is #VALUE!; an error byte 0 is 0.
    EXPECT_EQ(Shown(*ctx, CVariant::Array(table)),
              "{1, \"x\", 1; #VALUE!, \"1900-01-01\", #VALUE!; 0, #VALUE!, #NUM!}");

    auto column = Table({{0, 3}});
    for (int32_t i = 0; i < 3; ++i) column->PutElement(std::span(&i, 1), CVariant::R8(i * 10));
    EXPECT_EQ(Shown(*ctx, CVariant::Array(column)), "{0; 10; 20}");
    EXPECT_EQ(ctx->scratch.arrayCount, 0);
}

TEST(VariantToValue, ArraysBeyondTheGridOrOfOtherShapes) {
    auto ctx = std::make_unique<CEvalContext>();
    FormulaToken wide;
    VariantToValue(*ctx, CVariant::Array(Table({{0, 1}, {0, 2047}})), wide);
    EXPECT_EQ(wide.type, kTokenArray);
    EXPECT_EQ(wide.lastColumn, 2046);
    ctx->scratch.ReleaseArrays();
    EXPECT_EQ(Shown(*ctx, CVariant::Array(Table({{0, 1}, {0, 2048}}))), "#REF!");
    EXPECT_EQ(Shown(*ctx, CVariant::Array(Table({{0, 1}, {0, 1}, {0, 1}}))), "e");
    CVariant doubles = CVariant::Array(Table({{0, 1}}));
    doubles.vt = VT_ARRAY | VT_R8;
    EXPECT_EQ(Shown(*ctx, doubles), "e");
    EXPECT_EQ(Shown(*ctx, CVariant::Array(Table({{0, 0}}))), "#REF!");
}

} // namespace vl
