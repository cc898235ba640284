#include "automation/typelib.h"
#include "automationtestutil.h"
#include "formula/translate.h"
#include "model/rangeops.h"

#include <cmath>

namespace vl {

namespace {

class CellsTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        NewDocument();
    }
    std::shared_ptr<CSafeArray> Range(const char* range) {
        std::shared_ptr<CSafeArray> a;
        EXPECT_EQ(obj->GetRange(range, a), S_OK);
        return a;
    }
    static CVariant At(const CSafeArray& a, int32_t row, int32_t column) {
        CVariant v;
        const int32_t index[2] = {row, column};
        EXPECT_EQ(a.GetElement(index, v), S_OK);
        return v;
    }
};

} // namespace

TEST_F(CellsTest, ValuesOfEachKindRoundTrip) {
    EXPECT_EQ(Value("$A$1").vt, VT_EMPTY);
    PutNumber("$A$1:$B$2", 2.5);
    for (const char* cell : {"$A$1", "$B$1", "$A$2", "$B$2"}) EXPECT_EQ(Number(cell), 2.5);
    EXPECT_EQ(Value("$C$1").vt, VT_EMPTY);
    ASSERT_EQ(obj->PutValue("$C$3", CVariant::Bstr("Gr\xC3\xBC\xC3\x9F"
                                                   "e")),
              S_OK);
    EXPECT_EQ(Value("$C$3").text, "Gr\xC3\xBC\xC3\x9F"
                                  "e");
    ASSERT_EQ(obj->PutValue("$C$4", CVariant::Bool(true)), S_OK);
    EXPECT_EQ(Number("$C$4"), 1);
    ASSERT_EQ(obj->PutValue("$C$5", CVariant::Date(38687)), S_OK);
    EXPECT_EQ(Value("$C$5").text, "2005-12-01");
    ASSERT_EQ(obj->PutValue("$C$6", CVariant::RefTo(CVariant::Integer(VT_I4, 9))), S_OK);
    EXPECT_EQ(Number("$C$6"), 9);
    ASSERT_EQ(obj->PutValue("$A$1:$A$2", CVariant::Empty()), S_OK);
    EXPECT_EQ(Value("$A$2").vt, VT_EMPTY);
    EXPECT_EQ(Number("$B$2"), 2.5);
    // A new document starts empty again.
    NewDocument();
    EXPECT_EQ(Value("$B$2").vt, VT_EMPTY);
}

TEST_F(CellsTest, OnlyErrorNumbersACellCanHoldAreTaken) {
    struct Case {
        int64_t number;
        HRESULT hr;
    };
    static const Case cases[] = {{0, E_INVALIDARG},  {1, S_OK},          {10, S_OK},
                                 {12, S_OK},         {13, E_INVALIDARG}, {15, E_INVALIDARG},
                                 {16, E_INVALIDARG}, {255, E_INVALIDARG}};
    for (const Case& c : cases) {
        PutNumber("$A$1", 7);
        EXPECT_EQ(obj->PutValue("$A$1", CVariant::Integer(VT_UI1, c.number)), c.hr) << c.number;
        const CVariant back = Value("$A$1");
        if (c.hr == S_OK) {
            EXPECT_EQ(back.vt, VT_UI1);
            EXPECT_EQ(back.integer, c.number);
        } else {
            EXPECT_EQ(back.vt, VT_R8) << c.number; // the cell is as it was
        }
    }
}

TEST_F(CellsTest, RefusedValuesLeaveTheRangeAlone) {
    PutNumber("$A$1:$B$1", 3);
    const CVariant refused[] = {CVariant::Array(CSafeArray::Create({{0, 1}})),
                                CVariant::R8(INFINITY), CVariant::R8(NAN),
                                CVariant::Bstr(std::string(kMaxCellText + 1, 'x'))};
    for (const CVariant& v : refused) {
        EXPECT_EQ(obj->PutValue("$A$1:$B$1", v), E_INVALIDARG) << v.vt;
        EXPECT_EQ(Number("$B$1"), 3);
    }
    ASSERT_EQ(obj->PutValue("$A$1", CVariant::Bstr(std::string(kMaxCellText, 'x'))), S_OK);
    EXPECT_EQ(Value("$A$1").text.size(), kMaxCellText);
}

TEST_F(CellsTest, BadReferencesAreRefusedWithoutErrorInformation) {
    CVariant v;
    CBstr text;
    int32_t id = 0;
    std::shared_ptr<CSafeArray> a;
    for (const char* ref : {"B3", "$A$0", "$A$", "$$1", "", "$A$2097153"}) {
        EXPECT_EQ(obj->GetValue(ref, v), E_INVALIDARG) << ref;
        EXPECT_EQ(obj->PutValue(ref, CVariant::R8(1)), E_INVALIDARG) << ref;
        EXPECT_EQ(obj->GetFormula(ref, text), E_INVALIDARG) << ref;
        EXPECT_EQ(obj->PutFormula(ref, "=1"), E_INVALIDARG) << ref;
        EXPECT_EQ(obj->GetRange(ref, a), E_INVALIDARG) << ref;
        EXPECT_EQ(obj->Clear(ref, typelib::EDIT_CLEAR_DATA), E_INVALIDARG) << ref;
        EXPECT_EQ(obj->GetStyleID(ref, id), E_INVALIDARG) << ref;
        EXPECT_EQ(obj->PutStyleID(ref, 1), E_INVALIDARG) << ref;
    }
    EXPECT_EQ(TakenMessage(), "<none>");
    EXPECT_EQ(Doc().tree.active->cells.PageCount(), 0u);
}

TEST_F(CellsTest, WithoutAWorksheetCellMethodsReportError13) {
    std::shared_ptr<CWorkbookObj> empty;
    ASSERT_EQ(CWorkbookObj::Create(empty), S_OK);
    CVariant v;
    CBstr text;
    int32_t id = 0;
    std::shared_ptr<CSafeArray> a;
    auto array = CSafeArray::Create({{0, 1}, {0, 1}});
    const HRESULT results[] = {
        empty->GetValue("$A$1", v),
        empty->PutValue("$A$1", CVariant::R8(1)),
        empty->GetFormula("$A$1", text),
        empty->PutFormula("$A$1", "=1"),
        empty->GetRange("$A$1", a),
        empty->PutRange("$A$1", array.get()),
        empty->Clear("$A$1", 1),
        empty->GetStyleID("$A$1", id),
        empty->PutStyleID("$A$1", 1),
        empty->SaveRangeAsImage("$A$1", "/tmp/x.png", 1),
        empty->SaveContainerAsImage(1, "/tmp/x.png", 1),
    };
    for (HRESULT hr : results) EXPECT_EQ(hr, HRESULT(0x8004000D));
    EXPECT_EQ(TakenMessage(), "No worksheet selected");
    EXPECT_EQ(empty->Document().error, kErrorNoWorksheet);
}

TEST_F(CellsTest, FormulasAreStoredInternallyAndShownInTheUserNotation) {
    PutNumber("$A$1", 4);
    ASSERT_EQ(obj->PutFormula("$B$2", "=A1*$A$1"), S_OK);
    const uint8_t* r = FindCell(Doc().tree.active->cells, 1, 1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(cell::Formula(r), "=R[-1]C[-1]*R1C1");
    CBstr text;
    ASSERT_EQ(obj->GetFormula("$B$2", text), S_OK);
    EXPECT_EQ(text.Utf8(), "=A1*$A$1");
    EXPECT_EQ(obj->GetFormula("$A$1", text), S_FALSE);
    EXPECT_EQ(obj->GetFormula("$Z$9", text), S_FALSE);
    EXPECT_EQ(obj->PutFormula("$C$1", "A1+1"), E_INVALIDARG);
    EXPECT_EQ(obj->PutFormula("$C$1", "=" + std::string(kMaxFormulaText, '1')), E_INVALIDARG);
    EXPECT_EQ(Value("$C$1").vt, VT_EMPTY);
    // Only the update methods recalculate.
    EXPECT_EQ(Number("$B$2"), 0);
    ASSERT_EQ(obj->UpdateWorksheet(), S_OK);
    EXPECT_EQ(Number("$B$2"), 16);
    PutNumber("$A$1", 3);
    EXPECT_EQ(Number("$B$2"), 16);

    Profile().addressingA1 = 0;
    ASSERT_EQ(obj->PutFormula("R3C3", "=R2C2+1"), S_OK);
    ASSERT_EQ(obj->GetFormula("R3C3", text), S_OK);
    EXPECT_EQ(text.Utf8(), "=R2C2+1");
    ASSERT_EQ(obj->UpdateWorkbook(), S_OK);
    EXPECT_EQ(Number("R2C2"), 9);
    EXPECT_EQ(Number("R3C3"), 10);
}

TEST_F(CellsTest, RangesComeBackAsTablesFromZero) {
    PutNumber("$B$2", 1);
    ASSERT_EQ(obj->PutValue("$C$2", CVariant::Bstr("t")), S_OK);
    ASSERT_EQ(obj->PutValue("$B$3", CVariant::Integer(VT_UI1, 7)), S_OK);
    ASSERT_EQ(obj->PutFormula("$C$3", "=B2&\"x\""), S_OK);
    ASSERT_EQ(obj->UpdateWorksheet(), S_OK);
    auto a = Range("$B$2:$D$3");
    ASSERT_TRUE(a);
    ASSERT_EQ(a->Dimensions(), 2u);
    EXPECT_EQ(a->Bound(0).count, 2u);
    EXPECT_EQ(a->Bound(1).count, 3u);
    EXPECT_EQ(a->Bound(0).lowerBound, 0);
    EXPECT_EQ(At(*a, 0, 0).real, 1);
    EXPECT_EQ(At(*a, 0, 1).text, "t");
    EXPECT_EQ(At(*a, 0, 2).vt, VT_EMPTY);
    EXPECT_EQ(At(*a, 1, 0).vt, VT_UI1);
    EXPECT_EQ(At(*a, 1, 1).text, "1x");
    CVariant shown;
    ASSERT_EQ(obj->GetValue("$B$2:$C$2", shown), S_OK);
    EXPECT_EQ(shown.vt, VT_BSTR);
    EXPECT_EQ(shown.text, "={1,\"t\"}");
    std::shared_ptr<CSafeArray> huge;
    EXPECT_EQ(obj->GetRange("$A$1:$BZS$2097152", huge), E_OUTOFMEMORY);
}

// The cells take the elements from the array's lower bounds on; a refused element leaves
// every cell as it was.
TEST_F(CellsTest, PutRangeReadsFromTheLowerBoundsAndARefusalChangesNothing) {
    PutNumber("$A$1:$C$3", 9);
    auto a = CSafeArray::Create({{0, 2}, {0, 2}});
    const int32_t i00[2] = {0, 0}, i01[2] = {0, 1}, i10[2] = {1, 0}, i11[2] = {1, 1};
    a->PutElement(i00, CVariant::R8(1));
    a->PutElement(i01, CVariant::Bstr("b"));
    a->PutElement(i10, CVariant::Integer(VT_UI1, 2));
    ASSERT_EQ(obj->PutRange("$A$1:$C$3", a.get()), S_OK);
    EXPECT_EQ(Number("$A$1"), 1);
    EXPECT_EQ(Value("$B$1").text, "b");
    EXPECT_EQ(Value("$A$2").integer, 2);
    EXPECT_EQ(Value("$B$2").vt, VT_EMPTY);
    EXPECT_EQ(Value("$C$3").vt, VT_EMPTY); // outside the table: cleared, left empty

    a->PutElement(i11, CVariant::Array(CSafeArray::Create({{0, 1}})));
    PutNumber("$C$3", 9);
    EXPECT_EQ(obj->PutRange("$A$1:$C$3", a.get()), E_INVALIDARG);
    EXPECT_EQ(Number("$A$1"), 1);
    EXPECT_EQ(Value("$B$1").text, "b");
    EXPECT_EQ(Value("$A$2").integer, 2);
    EXPECT_EQ(Number("$C$3"), 9); // not cleared either
    EXPECT_EQ(obj->PutRange("$A$1", nullptr), E_INVALIDARG);

    // Bounds from 1 and from -1: the first element goes to the range's corner.
    for (const int32_t lower : {1, -1}) {
        PutNumber("$C$3:$E$5", 9);
        auto b = CSafeArray::Create({{lower, 2}, {lower, 2}});
        for (int32_t i = 0; i < 2; ++i)
            for (int32_t j = 0; j < 2; ++j) {
                const int32_t index[2] = {lower + i, lower + j};
                b->PutElement(index, CVariant::R8(10 * (i + 1) + j + 1));
            }
        ASSERT_EQ(obj->PutRange("$C$3:$E$5", b.get()), S_OK);
        EXPECT_EQ(Number("$C$3"), 11) << lower;
        EXPECT_EQ(Number("$D$3"), 12) << lower;
        EXPECT_EQ(Number("$C$4"), 21) << lower;
        EXPECT_EQ(Number("$D$4"), 22) << lower;
        EXPECT_EQ(Value("$E$3").vt, VT_EMPTY) << lower; // past the array: empty
        EXPECT_EQ(Value("$E$5").vt, VT_EMPTY) << lower;
    }
}

// The range names the cells written: an array larger than it writes its corner only, and
// the cells past the range keep what they held.
TEST_F(CellsTest, PutRangeWritesTheRangeOnlyWhateverTheArraysSize) {
    PutNumber("$A$1:$B$4", 9);
    auto a = CSafeArray::Create({{0, 3}, {0, 1}}); // three rows, one column
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t index[2] = {i, 0};
        a->PutElement(index, CVariant::R8(i + 1));
    }
    ASSERT_EQ(obj->PutRange("$A$1", a.get()), S_OK);
    EXPECT_EQ(Number("$A$1"), 1);
    for (const char* kept : {"$A$2", "$A$3", "$A$4", "$B$1", "$B$2"})
        EXPECT_EQ(Number(kept), 9) << kept;
    // Two rows of the range: the third element stays out.
    ASSERT_EQ(obj->PutRange("$B$1:$B$2", a.get()), S_OK);
    EXPECT_EQ(Number("$B$1"), 1);
    EXPECT_EQ(Number("$B$2"), 2);
    EXPECT_EQ(Number("$B$3"), 9);
}

TEST_F(CellsTest, ClearingDataOrFormats) {
    PutNumber("$A$1:$B$2", 1);
    ASSERT_EQ(obj->PutStyleID("$A$1:$B$2", 7), S_OK);
    ASSERT_EQ(obj->Clear("$A$1:$A$2", 3), S_OK); // an unknown kind does nothing
    EXPECT_EQ(Number("$A$1"), 1);
    ASSERT_EQ(obj->Clear("$A$1:$A$2", typelib::EDIT_CLEAR_DATA), S_OK);
    EXPECT_EQ(Value("$A$1").vt, VT_EMPTY);
    EXPECT_EQ(Number("$B$1"), 1);
    int32_t id = -1;
    ASSERT_EQ(obj->GetStyleID("$A$1", id), S_OK);
    EXPECT_EQ(id, 7);
    ASSERT_EQ(obj->Clear("$A$1:$A$2", typelib::EDIT_CLEAR_FORMAT), S_OK);
    ASSERT_EQ(obj->GetStyleID("$A$1", id), S_OK);
    EXPECT_EQ(id, 0);
    ASSERT_EQ(obj->GetStyleID("$B$2", id), S_OK);
    EXPECT_EQ(id, 7);
}

TEST_F(CellsTest, StyleIndexesAreStoredUnlookedAtWithinSixteenBits) {
    int32_t id = -1;
    ASSERT_EQ(obj->PutStyleID("$B$2:$C$3", 0xFFFF), S_OK);
    ASSERT_EQ(obj->GetStyleID("$C$3:$Z$9", id), S_OK); // the first corner counts
    EXPECT_EQ(id, 0xFFFF);
    ASSERT_EQ(obj->GetStyleID("$D$3", id), S_OK);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(obj->PutStyleID("$D$3", 0x10000), E_INVALIDARG);
    EXPECT_EQ(obj->PutStyleID("$D$3", -1), E_INVALIDARG);
    ASSERT_EQ(obj->GetStyleID("$D$3", id), S_OK);
    EXPECT_EQ(id, 0);
}

} // namespace vl
