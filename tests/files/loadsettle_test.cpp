// Values a binary body may hold that the XML form writes otherwise or not at all: the binary
// reader keeps them as stored and refuses or clamps only damage; the XML form still saves and
// reloads what it carries of them.

#include "bodyreload.h"
#include "files/bodycheck.h"
#include "formula/token.h"
#include "platform/core/bytes.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

namespace {

struct Loaded {
    std::unique_ptr<CWorkbook> book;
    bool ok = false;
    std::string fault; // what the XML and binary round trips find, when it loaded
};

// The body of `book` read back by the binary reader, then checked through both forms.
Loaded ThroughBodyChecked(CWorkbook& book) {
    Loaded out{nullptr, false, {}};
    out.book = ThroughBody(book, out.ok);
    if (out.ok) {
        TempFolder dir;
        out.fault = reloadcheck::RecordFault(*out.book, dir.Path("saved"));
    }
    return out;
}

constexpr COLORREF kWindow = 0xFFFFFF, kText = 0;

} // namespace

// The sheet's own background keeps the fields of every kind, shown or not: colours not given,
// fractal colours with their top byte, a negative zero.
TEST(LoadSettle, SheetBackgroundsKeepEveryKindsFields) {
    for (const uint8_t kind : {0, 1, 2, 3}) {
        auto book = NewBook();
        BackgroundRecord& b = Sheet(*book).view.background;
        b.kind = kind;
        b.pattern = {5, 0, 0x123456, 0, 0x654321};
        CopyTextField(b.imagePath, "sky.png", kImagePathSize);
        b.zr = 0.75;
        b.minY = -0.0;
        for (COLORREF& color : b.fractalColors) color = 0x7F0000FF;
        Loaded l = ThroughBodyChecked(*book);
        ASSERT_TRUE(l.ok) << int(kind);
        const BackgroundRecord& back = Sheet(*l.book).view.background;
        EXPECT_EQ(Of(back.kind, back.pattern.pattern, back.pattern.patternColor,
                     back.pattern.backgroundColor, back.fractalColors[7]),
                  Of(kind, 5, 0x123456, 0x654321, 0x7F0000FF))
            << int(kind);
        EXPECT_EQ(std::tuple(back.zr, std::signbit(back.minY)), std::tuple(0.75, true))
            << int(kind);
        EXPECT_STREQ(back.imagePath, "sky.png") << int(kind);
        EXPECT_EQ(l.fault, "") << int(kind);
    }
}

// A container keeps the flags of its anchor, its title slots and colours not given; its layout
// rows stop at 254 as its columns do.
TEST(LoadSettle, ContainersKeepWhatTheyStore) {
    for (const uint8_t flags : {0, 1, 8, 9, 0x3D}) {
        auto book = NewBook();
        ContainerSettings& s = AddContainer(Sheet(*book), 3, {}).settings;
        s.anchor = {7, 40, flags};
        s.border = {FORMAT_LINE_SOLID, 0, 0x00ABCDEF};
        s.titleFont[0] = {{}, 0, 0x112233};
        s.titleFont[1].font.italic = 1;
        CopyTextField(s.titleText[1], "", kChartTextSize);
        CopyTextField(s.titleText[0], flags == 9 ? "" : "Top", kChartTextSize);
        Loaded l = ThroughBodyChecked(*book);
        ASSERT_TRUE(l.ok) << int(flags);
        const ContainerSettings& back = Sheet(*l.book).firstContainer->settings;
        EXPECT_EQ(Of(back.anchor.column, back.anchor.row, back.anchor.flags, back.border.color,
                     back.titleFont[0].color, back.titleFont[1].font.italic),
                  Of(7, 40, flags, 0x00ABCDEF, 0x112233, 1))
            << int(flags);
        EXPECT_STREQ(back.titleText[0], flags == 9 ? "" : "Top") << int(flags);
        EXPECT_EQ(l.fault, "") << int(flags);
    }
    for (const auto& [rows, loads] : {std::pair{1, true}, {254, true}, {255, false}}) {
        auto book = NewBook();
        AddContainer(Sheet(*book), 3, {}).settings.rows = uint8_t(rows);
        Loaded l = ThroughBodyChecked(*book);
        EXPECT_EQ(l.ok, loads) << rows;
        EXPECT_EQ(l.ok ? l.fault : "", "") << rows;
    }
}

// Ids up to 255 are made unique over the whole workbook in document order, as the XML reader
// makes them; larger ids stay as they are.
TEST(LoadSettle, RepeatedContainerIdsBecomeTheLowestFree) {
    auto book = NewBook();
    for (const uint16_t id : {5, 5, 1, 300, 300}) AddContainer(Sheet(*book), id, {});
    Loaded l = ThroughBodyChecked(*book);
    ASSERT_TRUE(l.ok);
    Ints ids;
    for (const CContainer* c = Sheet(*l.book).firstContainer; c; c = c->next)
        ids.push_back(c->settings.id);
    EXPECT_EQ(ids, Of(5, 1, 2, 300, 300));
    EXPECT_EQ(l.fault, "");
}

// Every record kind is kept as stored, with its flags, errors, both kinds of formula result
// and the marks of a recalculation under way; only numbers no cell holds are damage: one
// without a decimal form becomes #NUM!, a negative zero 0.
TEST(LoadSettle, CellRecordsAreKeptAndOnlyNonFiniteNumbersClamped) {
    struct Case {
        const char* what;
        uint8_t flags;  // for plain records; formulas are built below
        double number;  // the value, or a formula's cached number
        uint8_t result; // formula result flags; 0 for a plain record
        uint8_t wantFlags;
        double wantNumber;
        uint8_t wantResult;
        uint32_t wantLength;
    };
    const uint8_t waiting = kResultNumber | kResultCalculated | kResultWaiting;
    const Case cases[] = {
        {"text+number bits", kCellText | kCellNumber | kCellFormula, 0, 0,
         kCellText | kCellNumber | kCellFormula, 0, 0, 11},
        {"text with error", kCellText | 0x20, 0, 0, kCellText | 0x20, 0, 0, 11},
        {"automatic text", kCellText | kCellArrayElement, 0, 0, kCellText | kCellArrayElement, 0, 0,
         11},
        {"number with error", kCellNumber | 0x70, 4.5, 0, kCellNumber | 0x70, 4.5, 0, 15},
        {"negative zero", kCellNumber, -0.0, 0, kCellNumber, 0, 0, 15},
        {"infinity", kCellNumber, INFINITY, 0, kCellNumber | kErrNum, 0, 0, 15},
        {"NaN with an error", kCellNumber | 0x20, NAN, 0, kCellNumber | 0x20, NAN, 0, 15},
        {"calculated, waiting", kCellFormula | kCellArrayElement, 3.5, waiting,
         kCellFormula | kCellArrayElement, 3.5, waiting, 38},
        {"text and number", kCellFormula, 3.5, kResultNumber | kResultText, kCellFormula, 3.5,
         kResultNumber | kResultText, 42},
        {"text result", kCellFormula, 3.5, kResultText, kCellFormula, 3.5, kResultText, 42},
        {"infinite result", kCellFormula, -INFINITY, kResultNumber, kCellFormula | kErrNum, 0,
         kResultNumber, 38},
        {"no result", kCellFormula, -0.0, 0, kCellFormula, 0, 0, 38},
    };
    for (const Case& c : cases) {
        auto book = NewBook();
        CellBuffer b;
        if (c.result || (c.flags & 0x0F) == kCellFormula) {
            FormulaHead head;
            head.flags = c.flags;
            head.arrayWidth = 1;
            head.visits = 3;
            head.resultFlags = c.result;
            head.waitingColumn = 9;
            head.waitingRow = 9;
            head.cachedNumber = c.number;
            ASSERT_TRUE(MakeFormulaCell(b, 2, 5, head, "1+2", "ab"));
        } else {
            ASSERT_TRUE(MakeTextCell(b, 2, 5, "ab"));
            if (c.flags & kCellNumber && !(c.flags & kCellText)) {
                ASSERT_TRUE(MakeNumberCell(b, 2, 5, c.number));
                StoreF64(b.bytes + 7, c.number); // a negative zero as a file may hold it
            }
            b.bytes[0] = c.flags;
        }
        PutCell(Sheet(*book), b);
        PutNumber(Sheet(*book), 3, 5, 1); // the record after it keeps its place
        Loaded l = ThroughBodyChecked(*book);
        ASSERT_TRUE(l.ok) << c.what;
        const uint8_t* r = FindCell(Sheet(*l.book).cells, 5, 2);
        ASSERT_NE(r, nullptr) << c.what;
        const bool formula = cell::IsFormula(r);
        const double n = formula ? cell::CachedNumber(r) : cell::IsText(r) ? 0 : cell::Number(r);
        const bool same = std::isnan(c.wantNumber) ? std::isnan(n) : n == c.wantNumber;
        EXPECT_TRUE(same && std::signbit(n) == std::signbit(c.wantNumber))
            << c.what << " " << n << " " << c.wantNumber;
        EXPECT_EQ(Of(cell::Flags(r), formula ? cell::ResultFlags(r) : 0,
                     formula ? cell::Visits(r) + cell::WaitingRow(r) : 0, cell::Length(r)),
                  Of(c.wantFlags, c.wantResult, formula ? 12 : 0, c.wantLength))
            << c.what;
        ASSERT_NE(FindCell(Sheet(*l.book).cells, 5, 3), nullptr) << c.what;
        EXPECT_EQ(l.fault, "") << c.what;
    }
}

// A page full of empty texts with errors keeps every record, in order, as stored.
TEST(LoadSettle, TextsWithErrorsStayTexts) {
    auto book = NewBook();
    constexpr uint32_t kRows = 1500; // 9-byte records, more than the 909 of one page
    for (uint32_t row = 0; row < kRows; ++row) {
        CellBuffer b;
        ASSERT_TRUE(MakeTextCell(b, 0, row, ""));
        cell::SetError(b.bytes, kErrValue >> 4);
        PutCell(Sheet(*book), b);
    }
    Loaded l = ThroughBodyChecked(*book);
    ASSERT_TRUE(l.ok);
    uint32_t count = 0;
    CellCursor cursor{kAdvance, Sheet(*l.book).cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        EXPECT_EQ(Of(cell::Row(r), cell::Flags(r), cell::Length(r)),
                  Of(count, kCellText | kErrValue, 9));
        ++count;
    }
    EXPECT_EQ(count, kRows);
    EXPECT_EQ(l.fault, "");
}

// Runs of a row keep apart: a run may start one column after the last one ends (on another
// row anywhere); touching runs of one style stay as stored. Runs an older save left over each
// other, or out of column order, are laid apart with the first stored on top; a row before
// the last one is refused.
TEST(LoadSettle, StyleRunsKeepApartAndTouchingOnesStay) {
    const struct {
        FormatRun second;
        bool loads;
        int runs;
    } cases[] = {{{5, 6, 3, 1}, true, 1}, {{6, 7, 3, 2}, true, 2}, {{6, 7, 3, 1}, true, 2},
                 {{2, 4, 4, 1}, true, 2}, {{4, 4, 3, 2}, true, 1}, {{7, 9, 3, 1}, true, 2},
                 {{0, 3, 3, 2}, true, 2}, {{0, 1, 3, 2}, true, 2}, {{0, 9, 3, 2}, true, 3},
                 {{9, 9, 2, 1}, false, 0}};
    for (const auto& c : cases) {
        auto book = NewBook();
        StyleTables& styles = book->styles;
        styles.styles[1] = styles.styles[2] = styles.styles[0];
        styles.styleCount = 3;
        CCellStore& runs = Sheet(*book).formats.runs;
        Page* page = runs.AllocPage(true);
        ASSERT_NE(page, nullptr);
        StoreFormatRun(page->payload, {2, 5, 3, 1});
        StoreFormatRun(page->payload + kFormatRunSize, c.second);
        page->used = 2 * kFormatRunSize;
        runs.AdoptPages(page);
        const std::string label = std::to_string(c.second.firstColumn);
        Loaded l = ThroughBodyChecked(*book);
        ASSERT_EQ(l.ok, c.loads) << label;
        if (!l.ok) {
            EXPECT_EQ(l.book->error, kErrorFileFormat) << label;
            continue;
        }
        const Page* back = Sheet(*l.book).formats.runs.FirstPage();
        ASSERT_NE(back, nullptr) << label;
        EXPECT_EQ(back->used, c.runs * kFormatRunSize) << label;
        EXPECT_EQ(l.fault, "") << label;
    }
}

// Row entries keep all sixteen bits, rows of the measuring height too, and the list its
// length; a watched cell keeps its flags.
TEST(LoadSettle, RowEntriesAndWatchedCellsAreKept) {
    auto book = NewBook();
    CWorksheet& sheet = Sheet(*book);
    sheet.formats.columns[2].autoRowHeight = 20; // the measuring height
    const uint16_t rows[] = {0, 0xE03C, 0, 41, 40, 38, 1, 0, 0x202A, 40, 0, 0, 0};
    for (uint32_t r = 0; r < std::size(rows); ++r)
        ASSERT_TRUE(sheet.formats.rowHeights.SetItem2(r, rows[r]));
    InspectedCellRecord watched;
    watched.cell = {4, 9, 0x3F};
    ASSERT_TRUE(AppendInspectedCell(book->inspectedCells, watched));
    Loaded l = ThroughBodyChecked(*book);
    ASSERT_TRUE(l.ok);
    CPagedList& back = Sheet(*l.book).formats.rowHeights;
    ASSERT_EQ(back.ItemCount(), std::size(rows));
    for (uint32_t r = 0; r < std::size(rows); ++r) EXPECT_EQ(*back.GetItem2(r), rows[r]) << r;
    InspectedCellRecord cell;
    ASSERT_TRUE(GetInspectedCell(l.book->inspectedCells, 0, cell));
    EXPECT_EQ(Of(cell.cell.column, cell.cell.row, cell.cell.flags), Of(4, 9, 0x3F));
    EXPECT_EQ(l.fault, "");
}

// Column words keep their upper bits, the print pages stay for every kind, a header font
// keeps its colour not given, a margin its negative zero, a chart without a legend its
// legend font, and a series its stack limits.
TEST(LoadSettle, BitsAndFieldsTheXmlFormDoesNotWriteAreKept) {
    auto book = NewBook();
    CWorksheet& sheet = Sheet(*book);
    sheet.formats.columns[4] = {uint16_t(0xE000 | (40 << 1) | 1), 0xF000, 0xF020};
    PageSetupRecord& p = sheet.pageSetup;
    p.printRangeKind = kPrintSelection;
    CopyTextField(p.pages, "1-2", kPageTextSize);
    p.headerFont.colorGiven = 0;
    p.headerFont.color = 0x00FF00;
    p.marginTop = -0.0;
    CChart& chart = *AddContainer(sheet, 3, {1}).slots[0].chart;
    chart.settings.legendCode = 0;
    chart.settings.legendFont.font.size = 30;
    SeriesSettings& s = chart.series[0].settings;
    s.role = 1;
    s.rangeFlags = kFromValueGiven | kStackLimitsFixed;
    s.stackLower = -1;
    s.stackUpper = 1;
    Loaded l = ThroughBodyChecked(*book);
    ASSERT_TRUE(l.ok);
    CWorksheet& back = Sheet(*l.book);
    const ColumnEntry& e = back.formats.columns[4];
    const PageSetupRecord& bp = back.pageSetup;
    const CChart& bc = *back.firstContainer->slots[0].chart;
    const SeriesSettings& bs = bc.series[0].settings;
    EXPECT_EQ(Of(e.width, e.style, e.autoRowHeight, bp.pages[0], bp.headerFont.colorGiven,
                 bp.headerFont.color, std::signbit(bp.marginTop), bc.settings.legendFont.font.size,
                 bs.rangeFlags, bs.stackLower, bs.stackUpper),
              Of(0xE000 | (40 << 1) | 1, 0xF000, 0xF020, '1', 0, 0x00FF00, true, 30,
                 kFromValueGiven | kStackLimitsFixed, -1, 1));
    EXPECT_EQ(l.fault, "");
}

} // namespace vl
