#include "functions/general/automationbridge.h"
#include "tests/functions/general/automationdouble.h"
#include "tests/functions/general/functiontestutil.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vl::test {

namespace {

struct Fixture {
    Fixture() {
        BindAutomationFunctions();
        server.properties = {
            {"Date", CVariant::Date(38687.75)},
            {"OldDate", CVariant::Date(-1.5)},
            {"U5", CVariant::Integer(VT_UI1, 5)},
            {"U13", CVariant::Integer(VT_UI1, 13)},
            {"U16", CVariant::Integer(VT_UI1, 16)},
            {"Cy", CVariant::Currency(12345678)},
            {"True", CVariant::Integer(VT_BOOL, 0xFFFF)},
            {"NaN", CVariant::R8(std::numeric_limits<double>::quiet_NaN())},
            {"Empty", CVariant::Empty()},
            {"Text1023", CVariant::Bstr(std::string(1023, 'x'))},
            {"Text1024", CVariant::Bstr(std::string(1024, 'x'))},
            {"Row", CVariant::Array(Row(-5, 2047))},
            {"Wide", CVariant::Array(Row(-5, 2048))},
        };
        book.Text("A1", "Alpha");
        book.Text("A2", "Be");
        book.Text("A3", "Gam");
        book.Number("B2", 7);
        book.Text("C2", "q");
        book.Number("C3", 9);
    }
    // A 1 x count table whose column indices start at `lower`.
    static std::shared_ptr<CSafeArray> Row(int32_t lower, uint32_t count) {
        auto a = CSafeArray::Create({{0, 1}, {lower, count}});
        const int32_t first[2] = {0, lower};
        a->PutElement(first, CVariant::R8(3));
        return a;
    }
    // The call shows `shown` having created `created` servers, none left alive, and leaves no
    // string on the stack.
    void ExpectCall(const char* formula, const char* shown, int created) {
        server.created = 0;
        EXPECT_EQ(book.Eval(formula, "J20"), shown) << formula;
        EXPECT_EQ(server.created, created) << formula;
        EXPECT_EQ(server.live, 0) << formula;
        // A malformed call leaves the stack as it was for the evaluator to drop.
        if (book.Ctx().status) book.Ctx().stringPool.ResetStringStack();
        EXPECT_EQ(book.Ctx().stringPool.count, 0) << formula;
    }

    CInstalledDouble server;
    FunctionBook book;
};

} // namespace

// Each case evaluates alone: the objects it creates are all released, whatever the result.
TEST(AutomationBridge, RtdValuesAndFailures) {
    Fixture f;
    static const std::string kText1023(1023, 'x');
    struct Case {
        const char* formula;
        const char* shown;
        int created;
    };
    const Case cases[] = {
        {"=rtd(\"Test.Server\",,\"A\",\"Bcd\")", "{1; 3}", 1},
        {"=rtd(\"Test.Server\",,A1:A3)", "{5; 2; 3}", 1},
        {"=rtd(\"Test.Server\",,\"Date\")", "2005-12-01", 1},
        {"=rtd(\"Test.Server\",,\"OldDate\")", "1899-12-29", 1},
        {"=rtd(\"Test.Server\",,\"U5\")", "#NUM!", 1},
        {"=rtd(\"Test.Server\",,\"U13\")", "#VALUE!", 1},
        {"=rtd(\"Test.Server\",,\"U16\")", "#VALUE!", 1},
        {"=rtd(\"Test.Server\",,\"U5\",\"U13\",\"U16\",\"A\")", "{#NUM!; #VALUE!; #VALUE!; 1}", 1},
        {"=rtd(\"Test.Server\",,\"Cy\")", "1234.5678", 1},
        {"=rtd(\"Test.Server\",,\"True\")", "1", 1},
        {"=rtd(\"Test.Server\",,\"NaN\")", "#NUM!", 1},
        {"=rtd(\"Test.Server\",,\"NaN\",\"A\")", "{#NUM!; 1}", 1},
        {"=rtd(\"Test.Server\",,\"Empty\",\"Date\")", "{; \"2005-12-01\"}", 1},
        {"=rtd(\"Test.Server\",,\"Text1023\")", kText1023.c_str(), 1},
        {"=rtd(\"Test.Server\",,\"Text1024\")", "#VALUE!", 1},
        {"=rtd(\"Test.Server\",,\"Row\",\"A\")", "#REF!", 1},
        {"=rtd(\"Test.Server\",,\"Wide\")", "#REF!", 1},
        {"=rtd(\"Test.Server\",,\"Missing\")", "#REF!", 1},
        {"=rtd(\"Test.Server\",,\"A\",\"Missing\")", "#REF!", 1},
        {"=rtd(\"Other.Server\",,\"A\")", "#REF!", 0},
        {"=rtd(\"Test.Server\",\"far\",\"A\")", "#REF!", 0},
        {"=rtd(\"Test.Server\",,\"\")", "#VALUE!", 0},
        {"=rtd(\"Test.Server\",,B5:B9)", "#VALUE!", 0},
        {"=rtd(\"Test.Server\",,\"A\")", "1", 1},
        {"=rtd(\"Test.Server\",#N/A!,1/0,\"A\")", "#N/A!", 0},
        {"=rtd(\"Test.Server\",,\"A\",{1,#VALUE!})", "#VALUE!", 0},
        {"=rtd(\"Test.Server\",\"A\")", "#SYNTAX!", 0},
        {"=rtd(\"Test.Server\",,rept(\"a\",1000),rept(\"b\",23))", "{1000; 23}", 1},
        {"=rtd(\"Test.Server\",,rept(\"a\",1000),rept(\"b\",24))", "#VALUE!", 0},
    };
    for (const Case& c : cases) {
        f.ExpectCall(c.formula, c.shown, c.created);
        EXPECT_EQ(f.book.Ctx().scratch.arrayCount, c.shown[0] == '{' ? 1 : 0) << c.formula;
        f.book.Ctx().scratch.ReleaseArrays();
    }
}

TEST(AutomationBridge, RtdAsksNamesInArgumentAndRowOrder) {
    Fixture f;
    EXPECT_EQ(f.book.Eval("=rtd(\"Test.Server\",,\"X\",A1:A3,\"Y\")", "J20"), "{1; 5; 2; 3; 1}");
    EXPECT_EQ(f.server.asked, (std::vector<std::string>{"X", "Alpha", "Be", "Gam", "Y"}));
}

std::string Described(const CVariant& v) {
    switch (v.vt) {
    case VT_R8:
        return "R8 " + FormatDouble(v.real);
    case VT_BSTR:
        return "BSTR " + v.text;
    case VT_ARRAY | VT_VARIANT: {
        std::string out = "ARRAY";
        for (uint32_t d = 0; d < v.array->Dimensions(); ++d)
            out += " " + std::to_string(v.array->Bound(d).count);
        return out;
    }
    default:
        return "vt " + std::to_string(v.vt);
    }
}

TEST(AutomationBridge, UdfPassesArgumentsInFormulaOrder) {
    Fixture f;
    struct Case {
        const char* formula;
        std::vector<std::string> passed;
        const char* shown;
    };
    const Case cases[] = {
        {"=udf(\"Test.Server\",,\"m\",1,\"x\")", {"R8 1", "BSTR x"}, "42"},
        {"=udf(\"Test.Server\",,\"m\",,2,)", {"R8 2"}, "42"},
        {"=udf(\"Test.Server\",,\"m\")", {}, "42"},
        {"=udf(\"Test.Server\",,\"m\",B2:C3)", {"ARRAY 2 2"}, "42"},
        // An empty cell keeps its place; an argument written empty has none.
        {"=udf(\"Test.Server\",,\"m\",B2,A9)", {"R8 7", "vt 0"}, "42"},
        {"=udf(\"Test.Server\",,\"m\",B2,A9,,B2)", {"R8 7", "vt 0", "R8 7"}, "42"},
        {"=udf(\"Test.Server\",,\"m\",{4})", {"ARRAY 1"}, "42"},
    };
    for (const Case& c : cases) {
        f.server.passed.clear();
        EXPECT_EQ(f.book.Eval(c.formula, "J20"), c.shown) << c.formula;
        std::vector<std::string> passed;
        for (const CVariant& v : f.server.passed) passed.push_back(Described(v));
        EXPECT_EQ(passed, c.passed) << c.formula;
        EXPECT_EQ(f.server.live, 0) << c.formula;
    }
}

TEST(AutomationBridge, UdfTableArgumentKeepsCellPositions) {
    Fixture f;
    f.book.Eval("=udf(\"Test.Server\",,\"m\",B2:C3)", "J20");
    ASSERT_EQ(f.server.passed.size(), 1u);
    const CSafeArray& a = *f.server.passed[0].array;
    struct Element {
        int32_t row, column;
        std::string described;
    };
    for (const Element& e : {Element{0, 0, "R8 7"}, Element{0, 1, "BSTR q"}, Element{1, 0, "vt 0"},
                             Element{1, 1, "R8 9"}}) {
        CVariant v;
        const int32_t index[2] = {e.row, e.column};
        ASSERT_EQ(a.GetElement(index, v), S_OK);
        EXPECT_EQ(Described(v), e.described) << e.row << "," << e.column;
    }
}

TEST(AutomationBridge, UdfFailuresCreateNothingOrReleaseAll) {
    Fixture f;
    struct Case {
        const char* formula;
        const char* shown;
        int created;
    };
    const Case cases[] = {
        {"=udf(\"Test.Server\",,\"unknown\",1)", "#REF!", 1},
        {"=udf(\"Nobody\",,\"m\",1)", "#REF!", 0},
        {"=udf(\"Test.Server\",\"host\",\"m\",1)", "#REF!", 0},
        {"=udf(\"Test.Server\",,\"m\",1/0,#NUM!,#N/A!)", "#NUM!", 0},
        {"=udf(\"Test.Server\",,\"m\",{1,#NUM!})", "#NUM!", 0},
        {"=udf(\"Test.Server\",,#VALUE!,1/0)", "#VALUE!", 0},
        {"=udf(\"Test.Server\",)", "#SYNTAX!", 0},
    };
    for (const Case& c : cases) {
        f.ExpectCall(c.formula, c.shown, c.created);
    }
}

TEST(AutomationBridge, UdfRepliesConvertAsProperties) {
    Fixture f;
    struct Case {
        CVariant reply;
        const char* shown;
    };
    const Case cases[] = {
        {CVariant::Date(38687.75), "2005-12-01"},
        {CVariant::Integer(VT_UI1, 5), "#NUM!"},
        {CVariant::Integer(VT_UI1, 13), "#VALUE!"},
        {CVariant::Currency(12345678), "1234.5678"},
        {CVariant::Bstr(std::string(1024, 'y')), "#VALUE!"},
        {CVariant::Array(Fixture::Row(-5, 2048)), "#REF!"},
    };
    for (const Case& c : cases) {
        f.server.reply = c.reply;
        EXPECT_EQ(f.book.Eval("=udf(\"Test.Server\",,\"m\")", "J20"), c.shown) << c.shown;
        EXPECT_EQ(f.server.live, 0);
    }
}

TEST(AutomationBridge, WithoutClientEveryProgIdIsUnknown) {
    FunctionBook book;
    BindAutomationFunctions();
    EXPECT_EQ(book.Eval("=udf(\"Test.Server\",,\"m\",1)", "J20"), "#REF!");
    EXPECT_EQ(book.Eval("=rtd(\"Test.Server\",,\"A\")", "J20"), "#REF!");
}

} // namespace vl::test
