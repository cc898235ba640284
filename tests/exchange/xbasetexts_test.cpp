#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "exchange/xbasetexts.h"
#include "platform/core/bytes.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace vl;

namespace {

std::vector<uint8_t> Field(const char* name, char type, uint8_t length, uint8_t decimals) {
    std::vector<uint8_t> d(32, 0);
    std::memcpy(d.data(), name, std::min<std::size_t>(std::strlen(name), 11));
    d[kFieldTypeByte] = uint8_t(type);
    d[kFieldLengthByte] = length;
    d[kFieldDecimalsByte] = decimals;
    return d;
}

} // namespace

TEST(XBaseTexts, FormatNamesAndPrettyNames) {
    const std::pair<uint8_t, const char*> formats[] = {
        {3, "dBase III+"}, {4, "dBase IV"}, {5, "FoxPro 2.x"}, {6, "Clipper"}, {2, ""}, {7, ""}};
    for (const auto& [format, name] : formats) EXPECT_STREQ(XBaseFormatName(format), name);
    const std::pair<const char*, const char*> names[] = {{"/data/CUSTOMER.DBF", "customer.dbf"},
                                                         {"/data/Customer.DBF", "Customer.DBF"},
                                                         {"C:\\X\\ORDERS_1.DBF", "orders_1.dbf"},
                                                         {"1234.567", "1234.567"},
                                                         {"", ""}};
    for (const auto& [path, shown] : names) EXPECT_EQ(PrettyFileName(path), shown);
}

TEST(XBaseTexts, SummaryLine) {
    uint8_t header[32] = {};
    header[1] = 107;
    header[2] = 8;
    header[3] = 7;
    StoreU32(header + 4, 1234);
    EXPECT_EQ(XBaseSummaryText(header, "people.dbf"),
              "people.dbf,  1234 record(s),  last saved: 8/7/2007");
    header[1] = 255;
    header[2] = 255;
    header[3] = 255;
    StoreU32(header + 4, 0xFFFFFFFFu); // from the file as it stands: never negative
    EXPECT_EQ(XBaseSummaryText(header, ""), ",  4294967295 record(s),  last saved: 255/255/2155");
}

TEST(XBaseTexts, RowsByType) {
    const struct {
        char type;
        uint8_t length, decimals, format;
        const char* typeName;
        const char* shown;
    } cases[] = {
        {'C', 44, 1, kXBaseClipper, "Text", "300"},
        {'C', 44, 1, kXBaseDBase4, "Text", "44"},
        {'C', 10, 0, kXBaseFoxPro, "Text", "10"},
        {'N', 12, 3, 4, "Numeric", "12 (3)"},
        {'F', 20, 6, 4, "Float", "20"},
        {'D', 9, 0, 4, "Date", "8"},
        {'L', 5, 0, 4, "Logical", "1"},
        {'M', 4, 0, 4, "Memo", "10"},
        {'B', 10, 0, 5, "Binary", "10"},
        {'G', 10, 0, 5, "Ole objects", "10"},
        {'P', 10, 0, 5, "Memo/Picture", "10"},
        {'I', 4, 0, 5, "Integer", "4"},
        {'Y', 8, 4, 5, "Currency", "8"},
        {'T', 8, 0, 5, "DateTime", "8"},
        {'X', 3, 0, 5, "Unknown", "3"},
        {0, 0, 0, 5, "Unknown", "0"},
    };
    for (const auto& c : cases) {
        const auto d = Field("AMOUNT", c.type, c.length, c.decimals);
        const XBaseFieldRow row = XBaseRowTexts(3, d.data(), c.format);
        EXPECT_EQ(row.name, "3.  AMOUNT");
        EXPECT_STREQ(row.type, c.typeName);
        EXPECT_EQ(row.length, c.shown) << c.type;
    }
    // A name fills its ten bytes without a terminator: ten characters, never the type byte.
    const auto full = Field("ABCDEFGHIJK", 'C', 1, 0);
    EXPECT_EQ(XBaseRowTexts(1, full.data(), 4).name, "1.  ABCDEFGHIJ");
}

TEST(XBaseTexts, FieldEditsAndTheRecordLength) {
    const struct {
        char type;
        uint32_t length, decimals;
        uint8_t format;
        uint8_t lengthByte, decimalByte;
        uint16_t record;
    } cases[] = {
        {'N', 30, 2, 4, 20, 2, 1 + 20 + 5},          {'F', 21, 19, 4, 20, 18, 1 + 20 + 5},
        {'C', 300, 0, 4, 254, 0, 1 + 254 + 5},       {'C', 300, 0, 3, 254, 0, 1 + 254 + 5},
        {'C', 300, 0, 6, 44, 1, 1 + 300 + 5},        {'C', 255, 0, 5, 255, 0, 1 + 255 + 5},
        {'C', 32767, 0, 6, 255, 127, 1 + 32767 + 5}, {'L', 1, 0, 4, 1, 0, 1 + 1 + 5},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> list = Field("A", 'C', 10, 0);
        const auto second = Field("B", 'N', 5, 0);
        list.insert(list.end(), second.begin(), second.end());
        uint8_t header[32] = {};
        header[0] = 0x8B;
        XBaseFieldEdit edit{"RENAMED", c.type, c.length, c.decimals};
        ASSERT_TRUE(ApplyFieldEdit(header, list.data(), 2, 0, edit, c.format));
        EXPECT_EQ(FieldName(list.data()), "RENAMED");
        EXPECT_EQ(list[kFieldTypeByte], uint8_t(c.type));
        EXPECT_EQ(list[kFieldLengthByte], c.lengthByte) << c.type << c.length;
        EXPECT_EQ(list[kFieldDecimalsByte], c.decimalByte) << c.type << c.length;
        EXPECT_EQ(LoadU16(header + 10), c.record);
        EXPECT_EQ(header[0], 0x03); // no memo field left
    }
}

TEST(XBaseTexts, MemoFlagFollowsTheFields) {
    std::vector<uint8_t> list = Field("A", 'C', 10, 0);
    uint8_t header[32] = {};
    for (const auto& [format, version] :
         std::vector<std::pair<uint8_t, uint8_t>>{{3, 0x83}, {4, 0x8B}, {5, 0xF5}, {6, 0x83}}) {
        ASSERT_TRUE(ApplyFieldEdit(header, list.data(), 1, 0, {"M", 'M', 10, 0}, format));
        EXPECT_EQ(header[0], version);
        EXPECT_EQ(LoadU16(header + 10), 11);
    }
}

// A record longer than 65,535 bytes is refused and nothing changes; 65,535 is taken.
TEST(XBaseTexts, ARecordPastTheLimitIsRefused) {
    std::vector<uint8_t> list;
    for (const uint8_t low : {0xFF, 0xFE, 0x01}) {
        const auto f = Field("F", 'C', low, low == 1 ? 0 : 127); // 32,767, 32,766 and 1
        list.insert(list.end(), f.begin(), f.end());
    }
    uint8_t header[32] = {};
    StoreU16(header + 10, 1234);
    const std::vector<uint8_t> before = list;
    // 1 + 32,767 + 32,766 + the third as edited.
    EXPECT_FALSE(ApplyFieldEdit(header, list.data(), 3, 2, {"F", 'C', 2, 0}, kXBaseClipper));
    EXPECT_EQ(list, before);
    EXPECT_EQ(LoadU16(header + 10), 1234);
    EXPECT_TRUE(ApplyFieldEdit(header, list.data(), 3, 2, {"F", 'C', 1, 0}, kXBaseClipper));
    EXPECT_EQ(LoadU16(header + 10), 65535);
    EXPECT_FALSE(ApplyFieldEdit(header, list.data(), 3, 3, {"F", 'C', 1, 0}, kXBaseClipper));
}
