// FormatInfo objects and IWorksheet::format: the properties' limits and defaults, and one
// attribute applied over a range with styles shared, compacted and put back on failure.

#include "automation/documentservices.h"
#include "automation/formatinfo.h"
#include "automation/typelib.h"
#include "automationtestutil.h"
#include "formula/celltext.h"
#include "formula/edit/formatcommands.h"
#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "platform/core/bytes.h"
#include "platform/core/screen.h"

#include <string>

namespace vl {

namespace {

class FormatTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        NewDocument();
        ASSERT_EQ(CFormatInfoObj::Create(info), S_OK);
    }
    const StyleRecord& StyleAt(uint32_t row, uint16_t column) {
        CWorksheet* sheet = Doc().tree.active;
        return GetStyleRecord(Doc().styles, CellStyleIndex(sheet->formats, row, column));
    }
    const FontRecord& FontAt(uint32_t row, uint16_t column) {
        return GetFontRecord(Doc().styles, StyleAt(row, column).fontRef.fontIndex);
    }
    uint16_t IndexAt(uint32_t row, uint16_t column) {
        return CellStyleIndex(Doc().tree.active->formats, row, column);
    }
    std::shared_ptr<CFormatInfoObj> info;
};

struct RowFitCounter : IDocumentServices {
    void AutoFitRows(CWorkbook&, CWorksheet&, uint32_t first, uint32_t last) override {
        fitted.push_back({first, last});
    }
    bool SaveRangeAsImage(CWorkbook&, const char*, const CellRange&, const char*, double) override {
        return false;
    }
    bool SaveContainerAsImage(CWorkbook&, const char*, uint16_t, const char*, double) override {
        return false;
    }
    std::vector<std::pair<uint32_t, uint32_t>> fitted;
};

} // namespace

TEST_F(FormatTest, PutsTakeTheirRangesAndRefuseTheFirstValueBeyond) {
    using P = HRESULT (CFormatInfoObj::*)(int32_t);
    struct Case {
        P put;
        int32_t value;
        HRESULT hr;
    };
    const Case cases[] = {
        {&CFormatInfoObj::put_fontSize, 0, E_INVALIDARG},
        {&CFormatInfoObj::put_fontSize, 1, S_OK},
        {&CFormatInfoObj::put_fontSize, 254, S_OK},
        {&CFormatInfoObj::put_fontSize, 255, E_INVALIDARG},
        {&CFormatInfoObj::put_fillType, -1, E_INVALIDARG},
        {&CFormatInfoObj::put_fillType, 22, S_OK},
        {&CFormatInfoObj::put_fillType, 23, E_INVALIDARG},
        {&CFormatInfoObj::put_borderType, 9, S_OK},
        {&CFormatInfoObj::put_borderType, 10, E_INVALIDARG},
        {&CFormatInfoObj::put_borderPosition, 63, S_OK},
        {&CFormatInfoObj::put_borderPosition, 64, E_INVALIDARG},
    };
    for (const Case& c : cases) EXPECT_EQ((info.get()->*c.put)(c.value), c.hr) << c.value;
    // A refused put keeps the value before it.
    int32_t size = 0, fill = 0;
    info->get_fontSize(size);
    info->get_fillType(fill);
    EXPECT_EQ(size, 254);
    EXPECT_EQ(fill, 22);
    EXPECT_EQ(info->put_fontName(CBstr(std::string(127, 'a'))), S_OK);
    EXPECT_EQ(info->put_fontName(CBstr(std::string(128, 'b'))), E_INVALIDARG);
    EXPECT_EQ(info->put_fontName(CBstr("\xE5\xAF\x86")), E_INVALIDARG); // outside the code page
    CBstr name;
    info->get_fontName(name);
    EXPECT_EQ(name.Utf8(), std::string(127, 'a'));
    EXPECT_EQ(info->put_fontName(CBstr(std::string(126, 'a') + "\xC3\xA9")), S_OK);
    info->get_fontName(name);
    EXPECT_EQ(name.Utf8(), std::string(126, 'a') + "\xC3\xA9");
}

TEST_F(FormatTest, EveryPropertyRoundTripsAndColoursDefaultToTheSystem) {
    uint32_t pattern = 0, background = 0, font = 0, border = 0;
    info->put_fillType(4);
    info->get_fillPatternColor(pattern);
    EXPECT_EQ(pattern, GetSystemColor(1));
    info->put_fillType(1);
    info->get_fillPatternColor(pattern);
    EXPECT_EQ(pattern, GetSystemColor(2));
    info->get_fillBackgroundColor(background);
    info->get_fontColor(font);
    info->get_borderColor(border);
    EXPECT_EQ(background, GetSystemColor(2));
    EXPECT_EQ(font, GetSystemColor(1));
    EXPECT_EQ(border, GetSystemColor(1));

    info->put_fontName("Serif");
    info->put_fontSize(17);
    info->put_boldFont(5);
    info->put_italicFont(-1);
    info->put_underlineFont(2);
    info->put_strikeoutFont(3);
    info->put_fontColor(0x010203);
    info->put_styleID(7);
    info->put_fillType(9);
    info->put_fillPatternColor(0x040506);
    info->put_fillBackgroundColor(0x070809);
    info->put_borderType(3);
    info->put_borderColor(0x0A0B0C);
    info->put_borderPosition(12);
    CBstr name;
    int32_t v[9] = {};
    uint32_t colors[4] = {};
    info->get_fontName(name);
    info->get_fontSize(v[0]);
    info->get_boldFont(v[1]);
    info->get_italicFont(v[2]);
    info->get_underlineFont(v[3]);
    info->get_strikeoutFont(v[4]);
    info->get_styleID(v[5]);
    info->get_fillType(v[6]);
    info->get_borderType(v[7]);
    info->get_borderPosition(v[8]);
    info->get_fontColor(colors[0]);
    info->get_fillPatternColor(colors[1]);
    info->get_fillBackgroundColor(colors[2]);
    info->get_borderColor(colors[3]);
    EXPECT_EQ(name.Utf8(), "Serif");
    const int32_t expected[9] = {17, 1, 1, 1, 1, 7, 9, 3, 12};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(v[i], expected[i]) << i;
    const uint32_t expectedColors[4] = {0x010203, 0x040506, 0x070809, 0x0A0B0C};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(colors[i], expectedColors[i]) << i;
}

TEST_F(FormatTest, FontSizeChangesOnlySizesAndKeepsSharedStylesShared) {
    info->put_boldFont(1);
    ASSERT_EQ(obj->format("$A$1:$B$2", kAttrFontWeight, info.get()), S_OK);
    info->put_styleID(typelib::STD_STYLE_CURRENCY);
    ASSERT_EQ(obj->format("$A$1:$A$2", kAttrNumberFormat, info.get()), S_OK);
    RowFitCounter services;
    SetDocumentServices(&services);
    info->put_fontSize(20);
    info->put_fontName("Mono");
    const HRESULT hr = obj->format("$A$1:$B$2", typelib::STYLE_FONT_SIZE, info.get());
    SetDocumentServices(nullptr);
    ASSERT_EQ(hr, S_OK);
    for (uint32_t row : {0u, 1u})
        for (uint16_t column : {uint16_t(0), uint16_t(1)}) {
            EXPECT_EQ(FontAt(row, column).size, 20);
            EXPECT_EQ(FontAt(row, column).weight, 2);
            EXPECT_STREQ(FontAt(row, column).faceName, "");
        }
    EXPECT_EQ(StyleAt(0, 0).numberFormat.kind, STD_STYLE_CURRENCY);
    EXPECT_EQ(StyleAt(0, 1).numberFormat.kind, STD_STYLE_DEFAULT);
    EXPECT_EQ(IndexAt(0, 0), IndexAt(1, 0));
    EXPECT_EQ(IndexAt(0, 1), IndexAt(1, 1));
    EXPECT_NE(IndexAt(0, 0), IndexAt(0, 1));
    // Unformatted cells stay apart; the size change refits the rows once.
    EXPECT_EQ(IndexAt(2, 0), 0);
    ASSERT_EQ(services.fitted.size(), 1u);
    EXPECT_EQ(services.fitted[0], std::make_pair(0u, 1u));
    // The currency symbol comes from the locale.
    EXPECT_STREQ(reinterpret_cast<const char*>(StyleAt(0, 0).numberFormat.params), "$");
}

TEST_F(FormatTest, CodesPickTheirPartsAndUnusedStylesLeave) {
    info->put_borderPosition(kBorderTop | kBorderLeft);
    info->put_borderType(typelib::FORMAT_LINE_DOUBLE);
    info->put_borderColor(0x123456);
    info->put_fillType(typelib::FORMAT_PAT_SOLID);
    info->put_fillBackgroundColor(0x654321);
    ASSERT_EQ(obj->format("$C$3", typelib::STYLE_BORDERS, info.get()), S_OK);
    EXPECT_EQ(StyleAt(2, 2).borderSides, kBorderTop | kBorderLeft);
    EXPECT_EQ(StyleAt(2, 2).borderLine.style, typelib::FORMAT_LINE_DOUBLE);
    EXPECT_EQ(StyleAt(2, 2).borderLine.color, 0x123456u);
    EXPECT_EQ(StyleAt(2, 2).fill.pattern, 0);
    const uint16_t styles = Doc().styles.styleCount;
    // 18 changes nothing, 19 is the interior.
    ASSERT_EQ(obj->format("$C$3", typelib::STYLE_INTERIOR, info.get()), S_OK);
    EXPECT_EQ(StyleAt(2, 2).fill.pattern, 0);
    ASSERT_EQ(obj->format("$C$3", typelib::STYLE_PROTECTION, info.get()), S_OK);
    EXPECT_EQ(StyleAt(2, 2).fill.pattern, typelib::FORMAT_PAT_SOLID);
    EXPECT_EQ(StyleAt(2, 2).fill.backgroundColor, 0x654321u);
    // The borders-only style is no longer used by any cell.
    EXPECT_EQ(Doc().styles.styleCount, styles);
    // A style ID above 10 changes nothing; 10 counts as the default.
    info->put_styleID(11);
    ASSERT_EQ(obj->format("$C$3", kAttrNumberFormat, info.get()), S_OK);
    EXPECT_EQ(Doc().styles.styleCount, styles);
}

// The alignment codes leave a stored rotation, which only the alignment page's own code
// carries; a client cannot name that code.
TEST_F(FormatTest, AlignmentCodesKeepTheRotation) {
    StyleRecord turned;
    turned.rotation = 40;
    turned.horizontalAlignment = 3;
    turned.wrapText = 1;
    ASSERT_TRUE(ApplyFormatToRange(Doc(), *Doc().tree.active, {2, 2, 2, 2}, kAttrAlignmentRotation,
                                   turned, FontRecord{}));
    ASSERT_EQ(StyleAt(2, 2).rotation, 40);
    for (const int32_t code :
         {typelib::STYLE_ALIGN_GENERAL, typelib::STYLE_ALIGN_HORZ, typelib::STYLE_ALIGN_VERT,
          typelib::STYLE_ALIGN_WRAP, int32_t(kAttrAlignmentRotation)}) {
        ASSERT_EQ(obj->format("$C$3", code, info.get()), S_OK) << code;
        EXPECT_EQ(StyleAt(2, 2).rotation, 40) << code;
    }
    // Code 13 took the alignments and the wrapping of the object all the same.
    EXPECT_EQ(StyleAt(2, 2).horizontalAlignment, 0);
    EXPECT_EQ(StyleAt(2, 2).wrapText, 0);
}

TEST_F(FormatTest, RefusalsAndAFullTableKeepTheRuns) {
    EXPECT_EQ(obj->format("C3", kAttrFontWeight, info.get()), E_INVALIDARG);
    EXPECT_EQ(obj->format("$C$3", kAttrFontWeight, nullptr), E_FAIL);
    info->put_boldFont(1);
    ASSERT_EQ(obj->format("$A$1:$A$3", kAttrFontWeight, info.get()), S_OK);
    const uint16_t bold = IndexAt(0, 0);
    StyleTables& t = Doc().styles;
    const uint16_t count = t.styleCount;
    while (t.styleCount < kMaxStyles) t.styles[t.styleCount++].numberFormat.kind = 9;
    info->put_italicFont(1);
    EXPECT_EQ(obj->format("$A$1:$B$3", kAttrFontItalic, info.get()), E_OUTOFMEMORY);
    for (uint32_t row = 0; row < 3; ++row) {
        EXPECT_EQ(IndexAt(row, 0), bold);
        EXPECT_EQ(IndexAt(row, 1), 0);
    }
    t.styleCount = count;
    // No worksheet: error 13.
    std::shared_ptr<CWorkbookObj> empty;
    ASSERT_EQ(CWorkbookObj::Create(empty), S_OK);
    EXPECT_EQ(empty->format("$A$1", kAttrFontWeight, info.get()), HRESULT(0x8004000D));
}

} // namespace vl

namespace vl {

// Every number-format kind set through a FormatInfo object saves and opens again in both
// forms, with the kind's default settings where the object gives only the kind.
TEST_F(FormatTest, EveryNumberKindSavesAndOpensAgain) {
    using namespace fmtparam;
    struct Case {
        int32_t id;
        uint8_t kind;      // stored
        const char* shown; // 0.375 as shown, or null where the locale decides
        int param;         // one default setting of the kind, or -1
        uint8_t paramValue;
    } const cases[] = {
        {0, STD_STYLE_DEFAULT, "0.375", -1, 0},
        {1, STD_STYLE_GENERAL, "0.4", -1, 0},
        {2, STD_STYLE_CURRENCY, "$0.38", kCurrencyDecimals, 2},
        {3, STD_STYLE_ACCOUNTING, nullptr, kCurrencyDecimals, 2},
        {4, STD_STYLE_DATE, nullptr, kDateOrderFlag, 1},
        {5, STD_STYLE_TIME, nullptr, -1, 0},
        {6, STD_STYLE_DATE_TIME, nullptr, kDateOrderFlag, 1},
        {7, STD_STYLE_PERCENTAGE, "37.5%", -1, 0},
        {8, STD_STYLE_FRACTION, " 3/8", kDenominatorDigits, 1},
        {9, STD_STYLE_SCIENTIFIC, nullptr, -1, 0},
        {10, STD_STYLE_DEFAULT, "0.375", -1, 0},
    };
    for (uint8_t form : {kFormatXml, kFormatBinaryCompressed}) {
        Profile().fileFormat = form;
        for (const Case& c : cases) {
            const std::string name = std::to_string(form) + "/" + std::to_string(c.id);
            NewDocument();
            PutNumber("$A$1", 0.375);
            ASSERT_EQ(info->put_styleID(c.id), S_OK);
            ASSERT_EQ(obj->format("$A$1", kAttrNumberFormat, info.get()), S_OK) << name;
            const std::string path = folder.Path("kind" + name.substr(2) + ".vln");
            ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK) << name;
            std::shared_ptr<CWorkbookObj> other;
            ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
            ASSERT_EQ(other->Load(CBstr(path), CBstr(), 0, nullptr, nullptr), S_OK)
                << name << " " << TakenMessage();
            CWorksheet* sheet = other->Document().tree.active;
            const StandardFormat& f =
                GetStyleRecord(other->Document().styles, CellStyleIndex(sheet->formats, 0, 0))
                    .numberFormat;
            EXPECT_EQ(f.kind, c.kind) << name;
            if (c.param >= 0) {
                EXPECT_EQ(f.params[c.param], c.paramValue) << name;
            }
            std::string text;
            ASSERT_TRUE(FormatCellValue(FindCell(sheet->cells, 0, 0), f, text)) << name;
            if (c.shown) {
                EXPECT_EQ(text, c.shown) << name;
            }
            other.reset();
            obj->NewDocument(); // lets go of the saved file
        }
    }
}

} // namespace vl
