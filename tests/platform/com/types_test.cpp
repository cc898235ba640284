#include "platform/com/bstr.h"
#include "platform/com/errorinfo.h"
#include "platform/com/guid.h"
#include "platform/com/variant.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>

namespace vl {

TEST(Guid, TextRoundTripsAndMalformedTextIsRefused) {
    Guid g;
    ASSERT_TRUE(ParseGuid("{488432b3-af1c-4908-bc1f-772cda383377}", g));
    EXPECT_EQ(GuidToText(g), "{488432B3-AF1C-4908-BC1F-772CDA383377}");
    EXPECT_EQ(g.bytes[0], 0x48);
    EXPECT_EQ(g.bytes[15], 0x77);
    Guid same;
    ASSERT_TRUE(ParseGuid("488432B3-AF1C-4908-BC1F-772CDA383377", same));
    EXPECT_EQ(g, same);
    for (const char* bad :
         {"", "{488432B3-AF1C-4908-BC1F-772CDA38337}", "488432B3AF1C-4908-BC1F-772CDA383377-",
          "{488432B3-AF1C-4908-BC1F-772CDA38337G}", "(488432B3-AF1C-4908-BC1F-772CDA383377)"})
        EXPECT_FALSE(ParseGuid(bad, g)) << bad;
}

TEST(Bstr, NullEqualsEmptyForReadersAndAnsiConversionKeepsItsLimit) {
    CBstr null;
    EXPECT_TRUE(null.IsNull());
    EXPECT_TRUE(null.IsEmpty());
    EXPECT_TRUE(CBstr("").IsEmpty());
    EXPECT_FALSE(CBstr("").IsNull());
    std::string ansi;
    ASSERT_TRUE(CBstr("Gr\xC3\xBC\xC3\x9F"
                      "e")
                    .ToAnsi(6, ansi)); // five bytes and the terminator
    EXPECT_EQ(ansi, "Gr\xFC\xDF"
                    "e");
    EXPECT_FALSE(CBstr("123456").ToAnsi(6, ansi));
    EXPECT_EQ(ansi, "Gr\xFC\xDF"
                    "e"); // left alone
    EXPECT_EQ(CBstr::FromAnsi("\x80").Utf8(), "\xE2\x82\xAC");
}

TEST(SafeArray, BoundsAreCheckedPerDimension) {
    auto a = CSafeArray::Create({{1, 2}, {-1, 3}});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->ElementCount(), 6u);
    const int32_t last[2] = {2, 1};
    ASSERT_EQ(a->PutElement(last, CVariant::R8(7)), S_OK);
    CVariant v;
    ASSERT_EQ(a->GetElement(last, v), S_OK);
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.real, 7);
    const int32_t first[2] = {1, -1};
    ASSERT_EQ(a->GetElement(first, v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
    for (auto bad : {std::array<int32_t, 2>{0, 0}, {3, 0}, {1, 2}, {1, -2}})
        EXPECT_EQ(a->GetElement(bad, v), DISP_E_BADINDEX);
    const int32_t one[1] = {1};
    EXPECT_EQ(a->GetElement(one, v), E_INVALIDARG);
    EXPECT_FALSE(CSafeArray::Create({}));
    EXPECT_FALSE(CSafeArray::Create({{0, 1u << 10}, {0, (1u << 10) + 1}})); // past the limit
    EXPECT_TRUE(CSafeArray::Create({{0, 1u << 10}, {0, 1u << 10}}));        // at it
}

TEST(VariantDate, CalendarDatesOfDayNumbers) {
    struct Case {
        double days;
        int year, month, day;
    };
    static const Case cases[] = {
        {0, 1899, 12, 30},       {1, 1899, 12, 31},         {2, 1900, 1, 1},
        {38687.75, 2005, 12, 1}, {-1.25, 1899, 12, 29},     {60, 1900, 2, 28},
        {61, 1900, 3, 1},        {2958465.9, 9999, 12, 31}, {-657434, 100, 1, 1}};
    for (const Case& c : cases) {
        int y = 0, m = 0, d = 0;
        ASSERT_TRUE(VariantDateToYmd(c.days, y, m, d)) << c.days;
        EXPECT_EQ(y * 10000 + m * 100 + d, c.year * 10000 + c.month * 100 + c.day) << c.days;
    }
    int y, m, d;
    EXPECT_FALSE(VariantDateToYmd(2958466, y, m, d));
    EXPECT_FALSE(VariantDateToYmd(-657435, y, m, d));
    EXPECT_FALSE(VariantDateToYmd(std::nan(""), y, m, d));
}

TEST(VariantNumbers, CurrencyAndDecimal) {
    EXPECT_DOUBLE_EQ(CurrencyToDouble(12345), 1.2345);
    EXPECT_DOUBLE_EQ(DecimalToDouble({2, true, 0, 12345}), -123.45);
    EXPECT_DOUBLE_EQ(DecimalToDouble({0, false, 1, 0}), 18446744073709551616.0);
}

TEST(VariantNumbers, WholeNumbersOfIntegerTypesUpToTheLimit) {
    struct Case {
        uint16_t vt;
        int64_t value;
        bool taken;
    };
    const Case cases[] = {
        {VT_UI1, 255, true},  {VT_I4, 256, false},  {VT_I2, 0, true},
        {VT_I8, -1, false},   {VT_UINT, 200, true}, {VT_BOOL, 0, false},
        {VT_ERROR, 1, false}, {VT_CY, 1, false},    {VT_EMPTY, 0, false},
    };
    for (const Case& c : cases) {
        int64_t out = 7;
        EXPECT_EQ(VariantWholeNumber(CVariant::Integer(c.vt, c.value), 255, out), c.taken)
            << c.vt << " " << c.value;
        EXPECT_EQ(out, c.taken ? c.value : 7) << c.vt;
    }
    int64_t out = 7;
    EXPECT_FALSE(VariantWholeNumber(CVariant::R8(3), 255, out));
}

TEST(ErrorInfo, TakenOnceAndPerThread) {
    SetErrorInfo({Guid{}, "src", "text"});
    std::optional<ErrorInfo> other;
    std::thread([&] { other = TakeErrorInfo(); }).join();
    EXPECT_FALSE(other.has_value());
    std::optional<ErrorInfo> info = TakeErrorInfo();
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->description, "text");
    EXPECT_FALSE(TakeErrorInfo().has_value());
}

} // namespace vl
