// The TextFileInfo and XBaseInfo objects: their defaults, limits and refusals.
#include "automation/infoobjects.h"
#include "automation/objectfactory.h"
#include "automation/typelib.h"
#include "platform/core/alloc.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

std::shared_ptr<CSafeArray> Widths(int32_t lowerBound, uint32_t count, uint16_t value = 3) {
    auto array = CSafeArray::Create({{lowerBound, count}});
    for (uint32_t i = 0; i < count; ++i) {
        const int32_t index[] = {int32_t(lowerBound + int64_t(i))};
        array->PutElement(index, CVariant::Integer(VT_UI2, value + i));
    }
    return array;
}

struct Field {
    std::string name;
    uint8_t type = 0;
    int32_t length = -1, decimals = -1;
};

Field GetField(CXBaseInfoObj& info, int32_t index, HRESULT* hr = nullptr) {
    Field f;
    CBstr name;
    const HRESULT r = info.GetField(index, name, f.type, f.length, f.decimals);
    if (hr) *hr = r;
    f.name = std::string(name.Utf8());
    return f;
}

TEST(XBaseInfo, NewObjectAndFieldLimits) {
    std::shared_ptr<CXBaseInfoObj> info;
    ASSERT_EQ(CXBaseInfoObj::Create(info), S_OK);
    int32_t v = -1;
    EXPECT_EQ(info->GetXBaseFormat(v), S_OK);
    EXPECT_EQ(v, 4);
    EXPECT_EQ(info->GetEncoding(v), S_OK);
    EXPECT_EQ(v, 2);
    EXPECT_EQ(info->GetFieldCount(v), S_OK);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(info->SetField(0, "A", 'C', 1, 0), E_INVALIDARG);
    EXPECT_EQ(info->DeleteField(0), E_INVALIDARG);
    // The count: 0 and 2,047 pass, -1 and 2,048 are refused and keep the fields.
    EXPECT_EQ(info->SetFieldCount(2047), S_OK);
    EXPECT_EQ(info->SetFieldCount(0), S_OK);
    EXPECT_EQ(info->SetFieldCount(2), S_OK);
    EXPECT_EQ(info->SetField(1, "KEEP", 'N', 7, 2), S_OK);
    EXPECT_EQ(info->SetFieldCount(-1), E_INVALIDARG);
    EXPECT_EQ(info->SetFieldCount(2048), E_INVALIDARG);
    EXPECT_EQ(info->GetFieldCount(v), S_OK);
    EXPECT_EQ(v, 2);
    EXPECT_EQ(GetField(*info, 1).name, "KEEP");
    EXPECT_EQ(info->SetField(2, "A", 'C', 1, 0), E_INVALIDARG);
    EXPECT_EQ(info->SetField(-1, "A", 'C', 1, 0), E_INVALIDARG);
    EXPECT_EQ(info->SetEncoding(3), S_OK);
    EXPECT_EQ(info->SetEncoding(4), E_INVALIDARG);
    EXPECT_EQ(info->SetEncoding(1), E_INVALIDARG);
    EXPECT_EQ(info->GetEncoding(v), S_OK);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(info->SetXBaseFormat(0x105), S_OK);
    EXPECT_EQ(info->GetXBaseFormat(v), S_OK);
    EXPECT_EQ(v, 5);
}

TEST(XBaseInfo, FieldsByType) {
    std::shared_ptr<CXBaseInfoObj> info;
    ASSERT_EQ(CXBaseInfoObj::Create(info), S_OK);
    ASSERT_EQ(info->SetXBaseFormat(5), S_OK);
    ASSERT_EQ(info->SetFieldCount(2), S_OK);
    struct Case {
        const char* name;
        uint8_t type;
        int32_t length, decimals;
        HRESULT hr;
        int32_t storedLength, storedDecimals;
        const char* storedName;
    };
    const Case cases[] = {
        {"TEXT", 'C', 300, 0, S_OK, 44, 1, "TEXT"},
        {"TEXT", 'C', 254, 7, S_OK, 254, 0, "TEXT"},
        {"TEXT", 'C', 65535, 0, S_OK, 255, 255, "TEXT"},
        {"TEXT", 'C', 65536, 0, E_INVALIDARG, 0, 0, nullptr},
        {"TEXT", 'C', -1, 0, E_INVALIDARG, 0, 0, nullptr},
        {"AMOUNT", 'N', 255, 255, S_OK, 255, 255, "AMOUNT"},
        {"AMOUNT", 'N', 256, 0, E_INVALIDARG, 0, 0, nullptr},
        {"AMOUNT", 'N', 10, 256, E_INVALIDARG, 0, 0, nullptr},
        {"RATE", 'F', 20, 9, S_OK, 20, 0, "RATE"},
        {"RATE", 'F', 256, 0, E_INVALIDARG, 0, 0, nullptr},
        {"FLAG", 'L', 9, 9, S_OK, 1, 0, "FLAG"},
        {"DAY", 'D', 9, 9, S_OK, 8, 0, "DAY"},
        {"NOTE", 'M', 9, 9, S_OK, 10, 0, "NOTE"},
        // Types of no fixed size keep what they are given, within a byte.
        {"PIC", 'G', 9, 9, S_OK, 9, 9, "PIC"},
        {"STAMP", 'T', 8, 0, S_OK, 8, 0, "STAMP"},
        {"PRICE", 'B', 255, 4, S_OK, 255, 4, "PRICE"},
        {"PRICE", 'B', 256, 256, S_OK, 0, 0, "PRICE"},
        // Names the 11-byte field holds whole: ten bytes of the code page at most.
        {"ABCDEFGHIJ", 'L', 1, 0, S_OK, 1, 0, "ABCDEFGHIJ"},
        {"ABCDEFGHIJK", 'L', 1, 0, E_INVALIDARG, 0, 0, nullptr},
        {"\xC3\x84"
         "BCDEFGHIJ",
         'L', 1, 0, S_OK, 1, 0,
         "\xC3\x84"
         "BCDEFGHIJ"},
        {"\xD0\x94", 'L', 1, 0, E_INVALIDARG, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(info->SetField(0, "BEFORE", 'D', 8, 0), S_OK);
        EXPECT_EQ(info->SetField(0, c.name, c.type, c.length, c.decimals), c.hr)
            << c.type << c.length;
        const Field f = GetField(*info, 0);
        if (c.hr != S_OK) {
            // A refused field leaves the one before it.
            EXPECT_EQ(f.name, "BEFORE");
            EXPECT_EQ(f.length, 8);
            continue;
        }
        EXPECT_EQ(f.name, c.storedName);
        EXPECT_EQ(f.type, c.type);
        EXPECT_EQ(f.length, c.storedLength) << c.type << c.length;
        EXPECT_EQ(f.decimals, c.storedDecimals) << c.type << c.length;
    }
    // Without the split of FoxPro and Clipper a Character field holds at most 255.
    ASSERT_EQ(info->SetXBaseFormat(4), S_OK);
    EXPECT_EQ(info->SetField(1, "C", 'C', 255, 0), S_OK);
    EXPECT_EQ(info->SetField(1, "C", 'C', 256, 0), E_INVALIDARG);
}

// Without memory for a new array the old fields and count stay.
TEST(XBaseInfo, SetFieldCountOutOfMemoryKeepsTheFields) {
    std::shared_ptr<CXBaseInfoObj> info;
    ASSERT_EQ(CXBaseInfoObj::Create(info), S_OK);
    ASSERT_EQ(info->SetFieldCount(1), S_OK);
    ASSERT_EQ(info->SetField(0, "KEPT", 'N', 9, 3), S_OK);
    SetAllocFailAfter(0);
    EXPECT_EQ(info->SetFieldCount(5), E_OUTOFMEMORY);
    SetAllocFailAfter(-1);
    int32_t count = 0;
    info->GetFieldCount(count);
    EXPECT_EQ(count, 1);
    const Field f = GetField(*info, 0);
    EXPECT_EQ(f.name, "KEPT");
    EXPECT_EQ(f.length, 9);
    EXPECT_EQ(f.decimals, 3);
}

TEST(XBaseInfo, DeleteFieldMovesTheRestDown) {
    std::shared_ptr<CXBaseInfoObj> info;
    ASSERT_EQ(CXBaseInfoObj::Create(info), S_OK);
    ASSERT_EQ(info->SetFieldCount(2), S_OK);
    ASSERT_EQ(info->SetField(0, "FIRST", 'L', 1, 0), S_OK);
    ASSERT_EQ(info->SetField(1, "SECOND", 'N', 6, 2), S_OK);
    EXPECT_EQ(info->DeleteField(0), S_OK);
    int32_t count = 0;
    info->GetFieldCount(count);
    EXPECT_EQ(count, 1);
    const Field f = GetField(*info, 0);
    EXPECT_EQ(f.name, "SECOND");
    EXPECT_EQ(f.length, 6);
    EXPECT_EQ(f.decimals, 2);
    HRESULT hr = S_OK;
    GetField(*info, 1, &hr);
    EXPECT_EQ(hr, E_INVALIDARG);
}

TEST(TextFileInfo, DefaultsAndSetters) {
    std::shared_ptr<CTextFileInfoObj> info;
    ASSERT_EQ(CTextFileInfoObj::Create(info), S_OK);
    CBstr text;
    int32_t v = -1;
    EXPECT_EQ(info->GetSeparator(text), S_OK);
    EXPECT_EQ(text.Utf8(), ",");
    EXPECT_EQ(info->GetQuotingSymbol(text), S_OK);
    EXPECT_EQ(text.Utf8(), "\"");
    EXPECT_EQ(info->GetEncoding(v), S_OK);
    EXPECT_EQ(v, 2);
    EXPECT_EQ(info->GetConversion(v), S_OK);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(info->get_useFixedColWidths(v), S_OK);
    EXPECT_EQ(v, 0);
    std::shared_ptr<CSafeArray> widths;
    ASSERT_EQ(info->GetColumnWidths(widths), S_OK);
    ASSERT_EQ(widths->Dimensions(), 1u);
    EXPECT_EQ(widths->Bound(0).lowerBound, 0);
    EXPECT_EQ(widths->Bound(0).count, 2047u);

    EXPECT_EQ(info->SetColumnWidths(Widths(0, 2047).get()), S_OK);
    info->get_useFixedColWidths(v);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(info->SetSeparator("\t;"), S_OK);
    info->get_useFixedColWidths(v);
    EXPECT_EQ(v, 0);
    info->GetSeparator(text);
    EXPECT_EQ(text.Utf8(), "\t");
    EXPECT_EQ(info->SetColumnWidths(Widths(2045, 2).get()), S_OK);
    info->get_useFixedColWidths(v);
    EXPECT_EQ(v, 1);
    ASSERT_EQ(info->GetColumnWidths(widths), S_OK);
    CVariant element;
    const int32_t last[] = {2046};
    ASSERT_EQ(widths->GetElement(last, element), S_OK);
    EXPECT_EQ(element.vt, VT_UI2);
    EXPECT_EQ(element.integer, 4);
    const int32_t first[] = {0};
    widths->GetElement(first, element);
    EXPECT_EQ(element.integer, 3);
    EXPECT_EQ(info->put_useFixedColWidths(2), S_OK);
    info->get_useFixedColWidths(v);
    EXPECT_EQ(v, 0);
}

// Refused arguments change nothing.
TEST(TextFileInfo, Refusals) {
    std::shared_ptr<CTextFileInfoObj> info;
    ASSERT_EQ(CTextFileInfoObj::Create(info), S_OK);
    ASSERT_EQ(info->SetSeparator(";"), S_OK);
    EXPECT_EQ(info->SetColumnWidths(Widths(2046, 2).get()), E_INVALIDARG);
    EXPECT_EQ(info->SetColumnWidths(Widths(2047, 1).get()), E_INVALIDARG);
    EXPECT_EQ(info->SetColumnWidths(Widths(-1, 2).get()), E_INVALIDARG);
    EXPECT_EQ(info->SetColumnWidths(CSafeArray::Create({{0, 2}, {0, 2}}).get()), E_INVALIDARG);
    EXPECT_EQ(info->SetColumnWidths(nullptr), E_INVALIDARG);
    EXPECT_EQ(info->SetSeparator(""), E_INVALIDARG);
    EXPECT_EQ(info->SetQuotingSymbol(CBstr()), E_INVALIDARG);
    EXPECT_EQ(info->SetConversion(2), E_INVALIDARG);
    EXPECT_EQ(info->SetConversion(-1), E_INVALIDARG);
    EXPECT_EQ(info->SetEncoding(4), E_INVALIDARG);
    EXPECT_EQ(info->SetEncoding(0), E_INVALIDARG);
    const TextFileSettings& s = info->Settings();
    EXPECT_EQ(s.separator, ';');
    EXPECT_EQ(s.quotingSymbol, '"');
    EXPECT_EQ(s.useFixedColWidths, 0);
    EXPECT_EQ(s.columnWidths[2046], 0);
    EXPECT_EQ(s.conversion, 1);
    EXPECT_EQ(s.encoding, 2);
    // An element that is no number stops the copy; the widths before it stay.
    auto mixed = Widths(0, 3);
    const int32_t at[] = {2};
    mixed->PutElement(at, CVariant::Bstr("x"));
    EXPECT_EQ(info->SetColumnWidths(mixed.get()), E_OUTOFMEMORY);
    EXPECT_EQ(s.columnWidths[1], 4);
    EXPECT_EQ(s.columnWidths[2], 0);
}

TEST(ObjectFactory, MakesBothInformationClasses) {
    for (const char* progId : {"Vorlan.TextFileInfo", "Vorlan.XBaseInfo.1"}) {
        const CoClassInfo* cls = FindCoClass(progId);
        ASSERT_NE(cls, nullptr);
        std::shared_ptr<IAutomationObject> obj;
        ASSERT_EQ(CreateAutomationObject(*cls, obj), S_OK) << progId;
        EXPECT_EQ(&obj->ClassInfo(), cls);
        EXPECT_EQ(InterfacesOfClass(cls->name).size(), 1u);
    }
    std::shared_ptr<IAutomationObject> text, xbase;
    CreateAutomationObject(*FindCoClass("Vorlan.TextFileInfo"), text);
    CreateAutomationObject(*FindCoClass("Vorlan.XBaseInfo"), xbase);
    EXPECT_NE(text->QueryTextFileInfo(), nullptr);
    EXPECT_EQ(text->QueryXBaseInfo(), nullptr);
    EXPECT_NE(xbase->QueryXBaseInfo(), nullptr);
    EXPECT_EQ(xbase->QueryWorksheet(), nullptr);
    EXPECT_EQ(text->InterfaceSupportsErrorInfo(IID_ITextFileInfo), S_OK);
    EXPECT_EQ(text->InterfaceSupportsErrorInfo(IID_IXBaseInfo), S_FALSE);
}

} // namespace
} // namespace vl
