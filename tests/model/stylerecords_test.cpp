#include "model/stylerecords.h"
#include "model/styles.h"
#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    return std::vector<uint8_t>(values.begin(), values.end());
}

FontRecord Font(const char* face, uint8_t weight = 0) {
    FontRecord f;
    CopyTextField(f.faceName, face, kFaceNameSize);
    f.weight = weight;
    return f;
}

} // namespace

TEST(StyleRecords, SmallRecordsHaveTheirStoredBytes) {
    EXPECT_EQ(Written(WriteBorderLine, {FORMAT_LINE_DASH, 1, 0x00112233}, 8),
              Bytes({3, 1, 0, 0, 0x33, 0x22, 0x11, 0}));
    EXPECT_EQ(Written(WriteFontRef, {7, 0, 0x00ABCDEF}, 8),
              Bytes({7, 0, 0, 0, 0xEF, 0xCD, 0xAB, 0}));

    InteriorFill fill;
    fill.pattern = FORMAT_PAT_GRAD_HORZ;
    fill.patternColorGiven = 1;
    fill.patternColor = 0x010203;
    fill.backgroundColorGiven = 1;
    fill.backgroundColor = 0x0A0B0C;
    const std::vector<uint8_t> b = Written(WriteInteriorFill, fill, 16);
    EXPECT_EQ(b, Bytes({20, 1, 0, 0, 3, 2, 1, 0, 1, 0, 0, 0, 0x0C, 0x0B, 0x0A, 0}));
    InteriorFill back;
    ReadInteriorFill(b.data(), back);
    EXPECT_EQ(std::tuple(back.pattern, back.patternColor, back.backgroundColor),
              std::tuple(uint8_t(20), 0x010203u, 0x0A0B0Cu));
}

TEST(StyleRecords, FontAndColoredFontLayouts) {
    FontRecord f = Font("Arial", 2);
    f.family = 1;
    f.size = 12;
    f.italic = f.underline = f.strikeout = 1;
    f.charSet = 9;
    ColoredFont cf{f, 1, 0x0000FF};
    ColoredFont back;
    EXPECT_TRUE(
        WritesDump(cf, kColoredFontSize, WriteColoredFont, ReadColoredFont, "coloredfont", &back));
    EXPECT_TRUE(FontRecordEquals(back.font, f));
    EXPECT_EQ(std::tuple(back.colorGiven, back.color), std::tuple(uint8_t(1), 0x0000FFu));
}

TEST(StyleRecords, TextFieldsAreCutInsideTheirField) {
    FontRecord f;
    std::memset(f.faceName, 'x', sizeof f.faceName); // no terminator in memory
    std::vector<uint8_t> b = Written(WriteFontRecord, f, kFontRecordSize);
    EXPECT_EQ(std::tuple(b[126], b[127]), std::tuple('x', 0));
    std::memset(b.data(), 'y', 128); // a stored field without its NUL
    FontRecord back;
    ReadFontRecord(b.data(), back);
    EXPECT_EQ(std::strlen(back.faceName), 127u);
}

TEST(StyleRecords, BackgroundRecordLayout) {
    BackgroundRecord bg;
    bg.kind = kBackgroundFractal;
    bg.pattern.pattern = FORMAT_PAT_SOLID;
    CopyTextField(bg.imagePath, "C:\\pics\\a.png", kImagePathSize);
    bg.imageView = 2;
    bg.zr = 0.1;
    bg.maxY = 1.1;
    for (int i = 0; i < 16; ++i) bg.fractalColors[i] = COLORREF(i * 0x010101);
    EXPECT_TRUE(WritesDump(bg, kBackgroundRecordSize, WriteBackgroundRecord, ReadBackgroundRecord,
                           "background"));
}

// Every field set lands at its offset.
TEST(StyleRecords, FieldOffsets) {
    StyleRecord s;
    s.numberFormat.kind = STD_STYLE_USER_DEFINED;
    s.numberFormat.params[0] = 5;
    CopyTextField(s.numberFormat.code, "0.00", sizeof s.numberFormat.code);
    s.fontRef = {3, 1, 0x00FF00};
    s.borderSides = kBorderTop | kBorderLeft;
    s.borderLine = {FORMAT_LINE_DOUBLE, 0, 0};
    s.verticalAlignment = 5;
    s.rotation = -90;
    s.dropDownList = 100;
    s.autoComplete = 1;
    s.isProtected = 1;
    StyleRecord back;
    EXPECT_TRUE(
        WritesDump(s, kStyleRecordSize, WriteStyleRecord, ReadStyleRecord, "style-fields", &back));
    EXPECT_TRUE(CompareStyleRecords(back, s) && back.rotation == -90);
}

TEST(StyleRecords, CompareLooksOnlyAtWhatShows) {
    StyleRecord a, b;
    a.fontRef.color = 0x123456; // not given: no effect
    EXPECT_TRUE(CompareStyleRecords(a, b));
    a.fontRef.colorGiven = 1;
    EXPECT_FALSE(CompareStyleRecords(a, b));
    b = a;
    b.borderLine.style = FORMAT_LINE_DOT; // no bordered side: the line does not show
    EXPECT_TRUE(CompareStyleRecords(a, b));
    a.borderSides = b.borderSides = kBorderBottom;
    EXPECT_FALSE(CompareStyleRecords(a, b));
    b = a;
    a.numberFormat.kind = b.numberFormat.kind = STD_STYLE_USER_DEFINED;
    CopyTextField(a.numberFormat.code, "0%", sizeof a.numberFormat.code);
    EXPECT_FALSE(CompareStyleRecords(a, b));
    a.numberFormat.kind = b.numberFormat.kind = STD_STYLE_CURRENCY;
    EXPECT_TRUE(CompareStyleRecords(a, b)); // a currency style ignores the code text
    a.numberFormat.params[3] = 2;
    EXPECT_FALSE(CompareStyleRecords(a, b));
}

TEST(StyleTables, FindOrAddFontUpToTheLimit) {
    auto tables = std::make_unique<StyleTables>();
    InitStyleTables(*tables);
    uint8_t index = 99;
    // The empty font equals font 0 in every byte; letter case makes a new font.
    const std::tuple<FontRecord, uint8_t, uint8_t> fonts[] = {
        {FontRecord{}, 0, 1}, {Font("Arial"), 1, 2}, {Font("ARIAL"), 2, 3}, {Font("Arial"), 1, 3}};
    for (const auto& [font, expected, count] : fonts) {
        ASSERT_TRUE(FindOrAddFont(*tables, font, &index));
        EXPECT_EQ(std::tuple(index, tables->fontCount), std::tuple(expected, count))
            << font.faceName;
    }
    for (int i = 3; i < 128; ++i) {
        ASSERT_TRUE(FindOrAddFont(*tables, Font("F", uint8_t(i)), &index));
        EXPECT_EQ(index, i);
    }
    EXPECT_EQ(tables->fontCount, 128);
    EXPECT_FALSE(FindOrAddFont(*tables, Font("G"), &index));
    EXPECT_EQ(std::tuple(index, tables->fontCount), std::tuple(uint8_t(0), uint8_t(128)));
}

TEST(StyleRecords, DefaultFontIsArialOfTenPointsUnlessTheProfileNamesAFace) {
    FontRecord expected = Font("Arial");
    expected.size = 10;
    for (const char* face : {"", "Liberation Sans", ""}) {
        FontRecord f = Font("x", 3);
        SetDefaultFontFace(face);
        SetDefaultFont(f);
        CopyTextField(expected.faceName, *face ? face : "Arial", kFaceNameSize);
        EXPECT_TRUE(FontRecordEquals(f, expected)) << face;
    }
}

TEST(StyleTables, LookupsBeyondTheCountGiveTheDefaults) {
    auto tables = std::make_unique<StyleTables>();
    InitStyleTables(*tables);
    tables->styles[5].wrapText = 1;
    tables->fonts[3].size = 9;
    EXPECT_EQ(std::tuple(&GetStyleRecord(*tables, 5), &GetStyleRecord(*tables, 60000),
                         &GetFontRecord(*tables, 3)),
              std::tuple(&tables->styles[0], &tables->styles[0], &tables->fonts[0]));
    EXPECT_EQ(std::tuple(tables->styles[511].horizontalIndent, tables->styles[511].verticalIndent),
              std::tuple(uint8_t(4), uint8_t(2)));
}

TEST(StyleTables, ImportStyleMapsItsFontAndReusesEqualStyles) {
    auto source = std::make_unique<StyleTables>();
    auto target = std::make_unique<StyleTables>();
    InitStyleTables(*source);
    InitStyleTables(*target);
    source->fonts[1] = Font("Courier");
    source->fontCount = 2;
    source->styles[1].fontRef.fontIndex = 1;
    source->styles[1].wrapText = 1;
    source->styleCount = 2;
    uint16_t out = 0;
    ASSERT_TRUE(ImportStyle(*target, ViewOf(*source), 1, &out));
    EXPECT_EQ(std::tuple(out, target->fontCount, target->styles[1].fontRef.fontIndex),
              std::tuple(uint16_t(1), uint8_t(2), uint8_t(1)));
    ASSERT_TRUE(ImportStyle(*target, ViewOf(*source), 1, &out));
    EXPECT_EQ(target->styleCount, 2); // found, not appended again
    target->styleCount = kMaxStyles;
    source->styles[1].wrapText = 0;
    source->styles[1].fitToCell = 1;
    EXPECT_FALSE(ImportStyle(*target, ViewOf(*source), 1, &out));
}

} // namespace vl

namespace vl {

// Styles naming a removed list (or a number past the last list) lose it with its flags;
// those naming a list still in use, and the others, keep theirs.
TEST(StyleTables, StylesOfARemovedDropDownListLoseIt) {
    StyleTables tables;
    DropDownListRecord lists[kDropDownLists];
    SetDropDownName(lists[0], "Fruits");
    AddDropDownEntry(lists[2], "Red");
    const uint16_t uses[] = {0, 1, 2, 3, 100, 101, 1};
    tables.styleCount = uint16_t(std::size(uses));
    for (uint16_t i = 0; i < tables.styleCount; ++i) {
        tables.styles[i].dropDownList = uses[i];
        tables.styles[i].sort = tables.styles[i].autoAppend = tables.styles[i].autoComplete = 1;
    }
    EXPECT_EQ(ForgetRemovedDropDownLists(tables, lists), 3u); // lists 2, 100 and 101
    const uint16_t kept[] = {0, 1, 0, 3, 0, 0, 1};
    for (uint16_t i = 0; i < tables.styleCount; ++i) {
        EXPECT_EQ(tables.styles[i].dropDownList, kept[i]) << i;
        EXPECT_EQ(tables.styles[i].sort, kept[i] || uses[i] == 0 ? 1 : 0) << i;
    }
    EXPECT_EQ(ForgetRemovedDropDownLists(tables, lists), 0u);
}

} // namespace vl
