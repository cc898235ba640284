// Fields the XML form does not write: the binary form keeps them as stored, while what the XML
// form carries of them (a number format's family parameters, style 0 and font 0 as defaults,
// chart fields as a new chart has them) is what the records check across forms compares.

#include "files/xmlstyleitems.h"
#include "filestestutil.h"
#include "mutations.h"
#include "platform/core/bytes.h"
#include "reloadcheck.h"
#include "tests/files/carried/xmlcarriedstyles.h"

#include <cstring>
#include <functional>

namespace vl {

using namespace filestest;

namespace {

// Every parameter byte set (2 to 10, so that flags are neither 0 nor 1), then the fields the
// reader bounds tighter made valid for the kind.
StandardFormat Spoiled(uint8_t kind) {
    using namespace fmtparam;
    StandardFormat f;
    f.kind = kind;
    for (int i = 0; i < kStandardFormatParams; ++i) f.params[i] = uint8_t(2 + (i * 5 + kind) % 9);
    if (kind == STD_STYLE_GENERAL) f.params[kNegativeStyle] = 3;
    if (kind == STD_STYLE_CURRENCY || kind == STD_STYLE_ACCOUNTING) {
        std::memcpy(f.params + kCurrencySymbol, "EUR", 4); // junk after the NUL
        f.params[kSymbolPosition] = 2;
        f.params[kCurrencyNegative] = 1;
    }
    if (kind == STD_STYLE_TIME || kind == STD_STYLE_DATE_TIME) f.params[kTimeStyle] = 9;
    std::strcpy(f.code, "0.0#");
    return f;
}

// What the XML form gives back for a format read into a record with no parameters.
StandardFormat ThroughXml(const StandardFormat& f) {
    CXmlWriter w;
    WriteXmlNumberFormat(w, f, 0);
    w.Flush();
    const std::string text = w.Memory();
    StandardFormat read;
    CXmlReader r;
    r.ResetMemory(text);
    EXPECT_TRUE(ReadXmlNumberFormat(r, read)) << text;
    return read;
}

} // namespace

TEST(LoadedFormats, EachFamilyKeepsWhatItsElementWritesAndReadsBack) {
    using namespace fmtparam;
    std::vector<StandardFormat> formats;
    for (uint8_t kind = STD_STYLE_DEFAULT; kind <= STD_STYLE_USER_DEFINED; ++kind)
        formats.push_back(Spoiled(kind));
    StandardFormat fixed = Spoiled(STD_STYLE_FRACTION); // a fixed denominator
    fixed.params[kDenominatorMode] = 1;
    StoreU64(fixed.params + kFixedDenominator, 12345);
    StandardFormat negative = Spoiled(STD_STYLE_SCIENTIFIC); // a negative exponent
    negative.params[kExponentForm] = 2;
    formats.push_back(fixed);
    formats.push_back(negative);
    for (const StandardFormat& spoiled : formats) {
        StandardFormat settled = spoiled;
        SettleFormatParams(settled);
        const StandardFormat read = ThroughXml(settled);
        EXPECT_EQ(read.kind, settled.kind);
        EXPECT_EQ(0, std::memcmp(read.params, settled.params, kStandardFormatParams))
            << int(spoiled.kind);
        EXPECT_NE(0, std::memcmp(spoiled.params, settled.params, kStandardFormatParams))
            << int(spoiled.kind) << ": some parameter is not written";
    }
    // The choices as the writer names them, and the default format without a code.
    StandardFormat s = negative, f = fixed, g = formats[STD_STYLE_GENERAL],
                   d = formats[STD_STYLE_DEFAULT], t = formats[STD_STYLE_SCIENTIFIC];
    for (StandardFormat* x : {&s, &f, &g, &d, &t}) SettleFormatParams(*x);
    EXPECT_EQ(Of(s.params[kExponentForm], t.params[kExponentForm], f.params[kDenominatorMode],
                 f.params[kDenominatorDigits], g.params[kFixedDecimals], g.params[kThousands],
                 d.code[0]),
              Of(2, 1, 1, 2, 1, 1, 0));
    EXPECT_EQ(LoadU64(f.params + kFixedDenominator), LoadU64(fixed.params + kFixedDenominator));
}

namespace {

CChart& SmallChart(CWorkbook& book) {
    for (CContainer* box = AsWorksheet(book.tree.first)->firstContainer;; box = box->next)
        if (box->settings.objectCount) return *box->slots[0].chart;
}

SeriesSettings& ValueSeries(CWorkbook& book) {
    CChart& chart = SmallChart(book);
    for (int i = 0;; ++i)
        if (chart.series[i].settings.role == 1) return chart.series[i].settings;
}

std::unique_ptr<CWorkbook> ReadBody(const Bytes& body, const std::string& path) {
    WriteBytes(path, body);
    auto book = CreateWorkbook();
    EXPECT_TRUE(book->stream.Open(path.c_str(), "rb", false, kFileBufferSize));
    EXPECT_TRUE(ReadBinaryWorkbookBody(*book, book->stream, 3, nullptr)) << int(book->error);
    book->stream.Close();
    return book;
}

} // namespace

// Each field spoiled in a stored body: the binary reader keeps it as stored, or clamps it when
// it is damage (a chart type or legend code no chart has); the XML form saves and reloads
// what it carries of it, and both forms agree on that.
TEST(LoadedFormats, FieldsTheXmlFormDoesNotWriteAreKept) {
    const struct {
        const char* name;
        std::function<void(CWorkbook&)> spoil;
        std::function<long(CWorkbook&)> field;
        long clamped; // -1: kept as stored
    } cases[] = {
        {"style 0 font colour", [](CWorkbook& b) { b.styles.styles[0].fontRef.color = 0x123456; },
         [](CWorkbook& b) { return long(b.styles.styles[0].fontRef.color); }, -1},
        {"font 0 strikeout", [](CWorkbook& b) { b.styles.fonts[0].strikeout = 1; },
         [](CWorkbook& b) { return long(b.styles.fonts[0].strikeout); }, -1},
        {"style parameter", [](CWorkbook& b) { b.styles.styles[1].numberFormat.params[20] = 7; },
         [](CWorkbook& b) { return long(b.styles.styles[1].numberFormat.params[20]); }, -1},
        {"fill colour without a pattern",
         [](CWorkbook& b) {
             b.styles.styles[1].fill = {FORMAT_PAT_NONE, 1, 0x00FF00, 0, 0};
         },
         [](CWorkbook& b) { return long(b.styles.styles[1].fill.patternColorGiven); }, -1},
        {"background not given",
         [](CWorkbook& b) {
             b.styles.styles[2].fill = {FORMAT_PAT_SOLID, 0, 0, 0, 0x3A0000};
         },
         [](CWorkbook& b) { return long(b.styles.styles[2].fill.backgroundColor); }, -1},
        {"sides past the six", [](CWorkbook& b) { b.styles.styles[2].borderSides = 0xC5; },
         [](CWorkbook& b) { return long(b.styles.styles[2].borderSides); }, -1},
        {"line colour without sides or line",
         [](CWorkbook& b) {
             b.styles.styles[1].borderSides = 0;
             b.styles.styles[1].borderLine = {FORMAT_LINE_NULL, 1, 0x112233};
         },
         [](CWorkbook& b) { return long(b.styles.styles[1].borderLine.colorGiven); }, -1},
        {"list flags without a list",
         [](CWorkbook& b) {
             b.styles.styles[1].dropDownList = 0;
             b.styles.styles[1].autoAppend = 1;
         },
         [](CWorkbook& b) { return long(b.styles.styles[1].autoAppend); }, -1},
        {"series parameter", [](CWorkbook& b) { ValueSeries(b).numberFormat.params[22] = 9; },
         [](CWorkbook& b) { return long(ValueSeries(b).numberFormat.params[22]); }, -1},
        {"chart type", [](CWorkbook& b) { SmallChart(b).settings.type = 217; },
         [](CWorkbook& b) { return long(SmallChart(b).settings.type); }, kChart2D},
        {"font of a title not shown",
         [](CWorkbook& b) {
             SmallChart(b).settings.titleText[1][0] = 0;
             SmallChart(b).settings.titleFont[1].font.italic = 1;
         },
         [](CWorkbook& b) { return long(SmallChart(b).settings.titleFont[1].font.italic); }, -1},
        {"legend code 9", [](CWorkbook& b) { SmallChart(b).settings.legendCode = 9; },
         [](CWorkbook& b) { return long(SmallChart(b).settings.legendCode); }, 0},
        {"plane flag", [](CWorkbook& b) { SmallChart(b).settings.planeXY = 0xCE; },
         [](CWorkbook& b) { return long(SmallChart(b).settings.planeXY); }, -1},
        {"plane background not given",
         [](CWorkbook& b) {
             SmallChart(b).settings.planeFill.backgroundColorGiven = 0;
             SmallChart(b).settings.planeFill.backgroundColor = 0x3AFF28;
         },
         [](CWorkbook& b) { return long(SmallChart(b).settings.planeFill.backgroundColor); }, -1},
        {"axis flags", [](CWorkbook& b) { ValueSeries(b).axisFlags = 0xAF; },
         [](CWorkbook& b) { return long(ValueSeries(b).axisFlags); }, -1},
        {"header colour not given",
         [](CWorkbook& b) { AsWorksheet(b.tree.first)->pageSetup.headerFont.colorGiven = 0; },
         [](CWorkbook& b) {
             const ColoredFont& f = AsWorksheet(b.tree.first)->pageSetup.headerFont;
             return long(f.colorGiven) << 24 | long(f.color);
         },
         -1},
        {"series line colour not given", [](CWorkbook& b) { ValueSeries(b).line.colorGiven = 0; },
         [](CWorkbook& b) { return long(ValueSeries(b).line.colorGiven); }, -1},
        {"series hatch colour not given",
         [](CWorkbook& b) {
             ValueSeries(b).fill.pattern = FORMAT_PAT_HSTRIPE;
             ValueSeries(b).fill.patternColorGiven = 0;
         },
         [](CWorkbook& b) {
             const InteriorFill& f = ValueSeries(b).fill;
             return long(f.patternColorGiven) << 24 | long(f.patternColor);
         },
         -1},
        {"slice colour not given",
         [](CWorkbook& b) { ValueSeries(b).sliceFills[0].patternColorGiven = 0; },
         [](CWorkbook& b) { return long(ValueSeries(b).sliceFills[0].patternColorGiven); }, -1},
        {"series visible", [](CWorkbook& b) { ValueSeries(b).visible = 180; },
         [](CWorkbook& b) { return long(ValueSeries(b).visible); }, -1},
    };
    TempFolder dir;
    const mutations::Bytes seed = mutations::SmallBody();
    for (const auto& c : cases) {
        auto book = ReadBody(seed, dir.Path("seed"));
        ASSERT_GE(book->styles.styleCount, 3);
        c.spoil(*book);
        const long stored = c.field(*book);
        auto loaded = ReadBody(BodyOf(*book), dir.Path("spoiled"));
        EXPECT_EQ(c.field(*loaded), c.clamped < 0 ? stored : c.clamped) << c.name;
        EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "") << c.name;
    }
}

} // namespace vl
