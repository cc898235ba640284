// The binary form keeps every record as it was stored: random valid workbooks carrying values
// the XML form has no words for (bits 13-15 of row entries, bit 13 of a width word, series
// out of the written order, colours not given, flag bytes above 1, fields of kinds not shown)
// come back byte for byte from a binary save and load; their XML save reloads and saves to the
// same bytes, and both forms agree on what the XML form carries.

#include "bodyreload.h"
#include "formula/token.h"
#include "platform/core/bytes.h"
#include "tests/files/carried/xmlcarried.h"
#include "xmlrandomdraw.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vl {

using namespace filestest;
using xmltest::Draw;

namespace {

uint8_t AnyFlag(Draw& d) {
    return uint8_t(d.Below(4) == 0 ? d.Between(2, 255) : d.Below(2));
}

// A colour given keeps the byte above red, green and blue in the binary form.
void Uneven(Draw& d, uint8_t& given, COLORREF& color) {
    given = AnyFlag(d);
    color = COLORREF(d.Below(256)) << 24 | d.Color();
}

void Uneven(Draw& d, ColoredFont& f) {
    Uneven(d, f.colorGiven, f.color);
    for (uint8_t* flag : {&f.font.italic, &f.font.underline, &f.font.strikeout}) *flag = AnyFlag(d);
}

void Uneven(Draw& d, BorderLine& line) {
    Uneven(d, line.colorGiven, line.color);
}

void Uneven(Draw& d, InteriorFill& fill) {
    Uneven(d, fill.patternColorGiven, fill.patternColor);
    Uneven(d, fill.backgroundColorGiven, fill.backgroundColor);
}

// Every parameter byte drawn, then the ones the load check bounds brought within their range.
void Uneven(Draw& d, StandardFormat& f) {
    using namespace fmtparam;
    uint8_t* p = f.params;
    for (int i = 0; i < kStandardFormatParams; ++i) p[i] = uint8_t(d.Below(256));
    switch (f.kind) {
    case STD_STYLE_GENERAL:
    case STD_STYLE_PERCENTAGE:
        p[kDecimals] = uint8_t(d.Below(15));
        p[kIntegerDigits] = uint8_t(d.Below(15));
        p[kNegativeStyle] = uint8_t(d.Below(4));
        break;
    case STD_STYLE_CURRENCY:
    case STD_STYLE_ACCOUNTING:
        p[kCurrencyDecimals] = uint8_t(d.Below(15));
        p[kSymbolPosition] = uint8_t(d.Below(4));
        p[kCurrencyNegative] = uint8_t(d.Below(4));
        break;
    case STD_STYLE_TIME:
    case STD_STYLE_DATE:
    case STD_STYLE_DATE_TIME:
        p[kDateStyle] = uint8_t(d.Below(10));
        p[kTimeStyle] = uint8_t(d.Below(10));
        break;
    case STD_STYLE_FRACTION:
        p[kDenominatorDigits] = uint8_t(d.Between(1, 14));
        StoreU64(p + kFixedDenominator, 1 + d.Below(100000));
        break;
    case STD_STYLE_SCIENTIFIC:
        p[kDecimals] = uint8_t(d.Below(15));
        p[kExponentNumber] = uint8_t(d.Below(100));
        break;
    default:
        break;
    }
}

void UnevenBackground(Draw& d, BackgroundRecord& b) {
    b.kind = uint8_t(d.Below(4));
    b.pattern.pattern = uint8_t(d.Below(23));
    Uneven(d, b.pattern);
    CopyTextField(b.imagePath, d.Coin() ? "far/sky.png" : "", kImagePathSize);
    b.imageView = uint8_t(d.Below(3));
    for (double* v : {&b.zr, &b.zi, &b.minX, &b.maxX, &b.minY, &b.maxY})
        *v = d.Coin() ? -0.0 : d.Number();
    for (COLORREF& c : b.fractalColors) c = COLORREF(d.Below(256)) << 24 | d.Color();
}

void UnevenTables(Draw& d, CWorkbook& book) {
    StyleTables& t = book.styles;
    xmltest::RandomFont(d, t.fonts[0], 3);
    for (int i = 0; i < t.fontCount; ++i)
        for (uint8_t* flag : {&t.fonts[i].italic, &t.fonts[i].underline, &t.fonts[i].strikeout})
            *flag = AnyFlag(d);
    for (int i = 0; i < t.styleCount; ++i) {
        StyleRecord& s = t.styles[i];
        Uneven(d, s.numberFormat);
        Uneven(d, s.fontRef.colorGiven, s.fontRef.color);
        Uneven(d, s.fill);
        Uneven(d, s.borderLine);
        s.borderSides = uint8_t(d.Below(256));
        for (uint8_t* flag : {&s.wrapText, &s.fitToCell, &s.sort, &s.autoAppend, &s.autoComplete,
                              &s.formulaHidden, &s.isProtected})
            *flag = AnyFlag(d);
    }
    std::vector<InspectedCellRecord> cells;
    for (InspectedCellRecord r; GetInspectedCell(book.inspectedCells, uint32_t(cells.size()), r);)
        cells.push_back(r);
    book.inspectedCells.Clear(true);
    for (InspectedCellRecord& r : cells) {
        r.cell.flags = uint8_t(d.Below(256));
        EXPECT_TRUE(AppendInspectedCell(book.inspectedCells, r));
    }
}

void UnevenSheetSettings(Draw& d, CWorksheet& ws) {
    PageSetupRecord& p = ws.pageSetup;
    p.alignment = uint8_t(d.Below(64));
    for (uint8_t* flag : {&p.landscape, &p.collate, &p.backToFront, &p.onFirstPage, &p.rowHeadings,
                          &p.columnHeadings})
        *flag = AnyFlag(d);
    p.printedContainer = uint16_t(d.Between(1, 900)); // kept whatever the kind
    CopyTextField(p.pages, "2-4,9", kPageTextSize);
    p.printRange = RangeDescriptor{3, 7, 9, 5, 2, 9};
    if (p.fitToSheetSize) p.scale = uint16_t(d.Between(10, 1000));
    Uneven(d, p.headerFont);
    p.marginTop = -0.0;
    ViewSettingsRecord& v = ws.view;
    for (uint8_t* flag : {&v.showGrid, &v.gridColorGiven, &v.headingsColorGiven})
        *flag = AnyFlag(d);
    v.gridColor = d.Color();
    v.headingsColor = COLORREF(d.Below(256)) << 24 | d.Color();
    for (CellRef* ref : {&v.topLeft, &v.selection[0], &v.selection[1], &v.freezed})
        ref->flags = uint8_t(d.Below(256));
    UnevenBackground(d, v.background);
}

void UnevenSeries(Draw& d, uint8_t type, SeriesSettings& s) {
    Uneven(d, s.numberFormat);
    s.axisFlags = uint16_t(d.Below(65536));
    s.rangeFlags = uint16_t(d.Below(65536));
    s.stackLower = d.Number();
    s.stackUpper = d.Coin() ? -0.0 : d.Number();
    s.reserved = uint8_t(d.Below(256));
    if (s.role == 1 && type != kChartXY) s.divisor = d.Below(1000);
    Uneven(d, s.font);
    Uneven(d, s.axisFont);
    for (BorderLine* line : {&s.line, &s.connectingLine, &s.axisLine, &s.majorGrid, &s.minorGrid})
        Uneven(d, *line);
    Uneven(d, s.fill);
    for (InteriorFill& f : s.sliceFills) Uneven(d, f);
    for (BorderLine& line : s.userGridLines) Uneven(d, line);
}

void UnevenChart(Draw& d, CChart& chart) {
    ChartSettings& s = chart.settings;
    // A 2D or XY chart keeps its 3D fields.
    for (int16_t* r : {&s.rotationX, &s.rotationY, &s.rotationZ})
        *r = int16_t(d.Between(-360, 360));
    s.lightDirectionX = uint16_t(d.Below(181));
    s.perspective = uint16_t(d.Between(1, 100));
    if (s.type != kChart3D) {
        s.lineWidth3D = uint8_t(d.Below(256));
        for (float& m : chart.viewMatrix) m = d.Float();
    }
    for (uint8_t* flag : {&s.planeXY, &s.planeXZ, &s.planeYZ}) *flag = AnyFlag(d);
    Uneven(d, s.titleFont[0]);
    Uneven(d, s.titleFont[1]);
    Uneven(d, s.legendFont);
    Uneven(d, s.planeFill);
    Uneven(d, s.planeBorder);
    // The series in an order the XML form does not write, one of them unused.
    const int count = std::min<int>(s.seriesCount, kChartSeries);
    for (int i = 0; i < count / 2; ++i)
        std::swap(chart.series[i].settings, chart.series[count - 1 - i].settings);
    if (count > 2) chart.series[1].settings.role = 0;
    for (int i = 0; i < count; ++i) UnevenSeries(d, s.type, chart.series[i].settings);
}

// The binary form stores charts only: other objects are taken out of the container.
void KeepCharts(CContainer& box) {
    int kept = 0;
    for (int i = 0; i < box.settings.objectCount; ++i) {
        if (box.slots[i].kind != kObjectChart || !box.slots[i].chart) continue;
        if (kept != i) {
            box.slots[kept] = std::move(box.slots[i]);
            box.slots[i] = ContainerSlot{};
        }
        ++kept;
    }
    box.settings.objectCount = uint8_t(kept);
}

void UnevenContainers(Draw& d, CWorksheet& ws) {
    for (CContainer* box = ws.firstContainer; box; box = box->next) {
        KeepCharts(*box);
        ContainerSettings& s = box->settings;
        s.anchor.flags = uint8_t(d.Below(256));
        Uneven(d, s.titleFont[0]);
        Uneven(d, s.titleFont[1]);
        Uneven(d, s.border);
        UnevenBackground(d, s.background);
        for (int i = 0; i < s.objectCount; ++i)
            if (CChart* chart = box->slots[i].chart.get()) UnevenChart(d, *chart);
    }
}

// Column words with their upper bits, row entries with bits 13-15 (one of them 0xE000 alone,
// and the list going on past the last row of a height), touching runs of one style.
void UnevenFormats(Draw& d, CWorksheet& ws) {
    for (ColumnEntry& e : ws.formats.columns) {
        e.width = uint16_t(e.width | (d.Below(8) << 13));
        e.style = uint16_t(e.style | (d.Below(16) << 12));
        e.autoRowHeight = uint16_t(e.autoRowHeight | (d.Below(16) << 12));
    }
    CPagedList& rows = ws.formats.rowHeights;
    const uint32_t count = rows.ItemCount() + 40;
    EXPECT_TRUE(rows.GrowTo2(count, 0, false));
    for (uint32_t row = 0; row < count - 5; ++row)
        if (d.Coin()) *rows.GetItem2(row) = uint16_t(*rows.GetItem2(row) | (d.Below(8) << 13));
    *rows.GetItem2(count - 6) = 0xE000;
    CellCursor cursor;
    const uint32_t row = kLastRow - 1;
    EXPECT_TRUE(PutFormatRun(ws.formats, FormatRun{0, 4, row, 1}, cursor));
    Page* last = ws.formats.runs.FirstPage();
    while (last->next) last = last->next;
    if (last->used + kFormatRunSize <= kPagePayload) {
        StoreFormatRun(last->payload + last->used, FormatRun{5, 9, row, 1});
        last->used = uint16_t(last->used + kFormatRunSize);
    }
}

// Records the XML form gives back otherwise: a text with an error, a formula with both
// results, marks of a recalculation under way, a plain formula with an array size.
void UnevenCells(CWorksheet& ws) {
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, 3, kLastRow - 2, ""));
    cell::SetError(b.bytes, kErrValue >> 4);
    PutCell(ws, b);
    FormulaHead head;
    head.flags = kCellFormula | kCellArrayElement;
    head.arrayWidth = 3;
    head.arrayHeight = 2;
    head.visits = 7;
    head.resultFlags = kResultNumber | kResultText | kResultCalculated | kResultWaiting;
    head.waitingColumn = 11;
    head.waitingRow = 12;
    head.waitingWorksheet = 2;
    head.cachedNumber = 2.5;
    ASSERT_TRUE(MakeFormulaCell(b, 5, kLastRow - 2, head, "A1+1", "cached"));
    PutCell(ws, b);
}

std::unique_ptr<CWorkbook> UnevenWorkbook(uint32_t seed) {
    xmltest::RandomBookShape shape;
    shape.seed = seed;
    shape.worksheets = 2;
    shape.cellsPerSheet = 60;
    shape.fullTables = false;
    auto book = xmltest::RandomWorkbook(shape);
    Draw d(seed * 7919u);
    UnevenTables(d, *book);
    for (CTreeItem* item = book->tree.first; item; item = item->next)
        if (CWorksheet* ws = AsWorksheet(item)) {
            UnevenSheetSettings(d, *ws);
            UnevenContainers(d, *ws);
            UnevenFormats(d, *ws);
            UnevenCells(*ws);
        }
    return book;
}

} // namespace

TEST(BinaryKeeps, RandomValidWorkbooksComeBackByteForByte) {
    for (uint32_t seed = 1; seed <= 24; ++seed) {
        auto book = UnevenWorkbook(seed);
        const Bytes stored = BodyOf(*book);
        bool ok = false;
        auto loaded = ThroughBody(*book, ok);
        ASSERT_TRUE(ok) << seed << " " << int(loaded->error);
        const Bytes again = BodyOf(*loaded);
        ASSERT_EQ(again.size(), stored.size()) << seed;
        const auto apart = std::mismatch(stored.begin(), stored.end(), again.begin());
        EXPECT_EQ(apart.first - stored.begin(), long(stored.size())) << seed;
        TempFolder dir;
        // The XML save reloads and saves to the same bytes, the binary reload writes them
        // too, and the two forms agree on every record the XML form carries.
        EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "") << seed;
    }
}

} // namespace vl

namespace vl {

using namespace filestest;

namespace {

Ints RowEntries(CWorksheet& sheet) {
    Ints out;
    for (uint32_t r = 0; r < sheet.formats.rowHeights.ItemCount(); ++r)
        out.push_back(*sheet.formats.rowHeights.GetItem2(r));
    return out;
}

} // namespace

// Bits 13-15 of row entries and bit 13 of a width word: the binary form keeps them, a row
// holding nothing else included; the XML form writes height and fixed bit only.
TEST(BinaryKeeps, RowAndColumnBitsThirteenToFifteen) {
    auto book = NewBook();
    CWorksheet& sheet = Sheet(*book);
    const uint16_t rows[] = {0x2033, 0x203C, 0xE000};
    for (uint32_t r = 0; r < 3; ++r) ASSERT_TRUE(sheet.formats.rowHeights.SetItem2(r, rows[r]));
    sheet.formats.columns[1].width = 0x2051;
    bool ok = false;
    auto loaded = ThroughBody(*book, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(RowEntries(Sheet(*loaded)), Of(0x2033, 0x203C, 0xE000));
    EXPECT_EQ(Sheet(*loaded).formats.columns[1].width, 0x2051);
    std::string text, again;
    auto xml = ThroughXml(*loaded, text);
    EXPECT_EQ(RowEntries(Sheet(*xml)), Of(0x0033, 0x003C));
    EXPECT_EQ(Sheet(*xml).formats.columns[1].width, 0x0051);
    ASSERT_TRUE(reloadcheck::XmlText(*xml, again));
    EXPECT_EQ(again, text);
}

// A chart whose series run values, categories, values keeps that order, and colours not
// given stay not given, with the colours they held.
TEST(BinaryKeeps, SeriesOrderAndAutomaticColours) {
    auto book = NewBook();
    CChart& chart = *AddContainer(Sheet(*book), 3, {3}).slots[0].chart;
    const uint8_t roles[] = {1, 3, 1};
    for (int i = 0; i < 3; ++i) {
        SeriesSettings& s = chart.series[i].settings;
        s.role = roles[i];
        CopyTextField(s.name, std::string(1, char('a' + i)).c_str(), kChartTextSize);
        s.fill = {FORMAT_PAT_HSTRIPE, 0, COLORREF(0x010203 * (i + 1)), 0, 0x0A0B0C};
        s.line.colorGiven = 0;
        s.line.color = 0x00C0FFEE;
        s.axisFlags = uint16_t(0x0140 | i);
    }
    bool ok = false;
    auto loaded = ThroughBody(*book, ok);
    ASSERT_TRUE(ok);
    const CChart& back = *Sheet(*loaded).firstContainer->slots[0].chart;
    ASSERT_EQ(back.settings.seriesCount, 3);
    for (int i = 0; i < 3; ++i) {
        const SeriesSettings& s = back.series[i].settings;
        EXPECT_EQ(
            Of(s.role, s.name[0], s.fill.patternColorGiven, s.fill.patternColor,
               s.fill.backgroundColorGiven, s.fill.backgroundColor, s.line.colorGiven, s.line.color,
               s.axisFlags),
            Of(roles[i], 'a' + i, 0, 0x010203 * (i + 1), 0, 0x0A0B0C, 0, 0x00C0FFEE, 0x0140 | i))
            << i;
    }
    // The XML form writes categories before values; what it writes reloads to the same text.
    std::string text, again;
    auto xml = ThroughXml(*loaded, text);
    const CChart& written = *Sheet(*xml).firstContainer->slots[0].chart;
    EXPECT_EQ(Of(written.series[0].settings.name[0], written.series[1].settings.name[0],
                 written.series[2].settings.name[0]),
              Of('b', 'a', 'c'));
    ASSERT_TRUE(reloadcheck::XmlText(*xml, again));
    EXPECT_EQ(again, text);
    TempFolder dir;
    EXPECT_EQ(reloadcheck::RecordFault(*loaded, dir.Path("saved")), "");
}

} // namespace vl

namespace vl {

using namespace filestest;

// The tests' workbook holding every kind of record comes back whole from the binary form,
// and the XML form carries what it can of it.
TEST(BinaryKeeps, TheRichWorkbookThroughBothForms) {
    auto book = MakeRichWorkbook();
    TempFolder dir;
    EXPECT_EQ(reloadcheck::RecordFault(*book, dir.Path("saved")), "");
}

} // namespace vl
