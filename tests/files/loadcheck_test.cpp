// The ranges a loaded record must keep to be one of ours: each limit at the last value taken
// and the first refused, valid values left as they are, and the binary reader refusing with 21.

#include "files/binarybody.h"
#include "files/loadcheck.h"
#include "filestestutil.h"
#include "model/container.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

namespace {

CWorksheet& FirstSheet(CWorkbook& book) {
    for (CTreeItem* p = book.tree.first;; p = p->next)
        if (CWorksheet* sheet = AsWorksheet(p)) return *sheet;
}

CContainer& FirstContainer(CWorkbook& book) {
    for (CTreeItem* p = book.tree.first; p; p = p->next)
        if (CWorksheet* sheet = AsWorksheet(p); sheet && sheet->firstContainer)
            return *sheet->firstContainer;
    return *static_cast<CContainer*>(nullptr);
}

CChart& FirstChart(CWorkbook& book) {
    return *FirstContainer(book).slots[0].chart;
}

// Light and perspective belong to 3D charts; the others' are not kept.
CChart& Chart3D(CWorkbook& book) {
    return *FirstContainer(book).slots[1].chart;
}

// A value series, which uses every series field.
SeriesSettings& ValueSeries(CWorkbook& book) {
    return FirstContainer(book).slots[2].chart->series[2].settings;
}

} // namespace

TEST(LoadCheck, EveryLimitAtTheLastValueTakenAndTheFirstRefused) {
    using Spoil = std::function<void(CWorkbook&, int)>;
    const struct {
        const char* name;
        int taken, refused;
        Spoil set;
    } cases[] = {
        {"font family", 5, 6, [](CWorkbook& b, int v) { b.styles.fonts[1].family = uint8_t(v); }},
        {"font weight", 3, 4, [](CWorkbook& b, int v) { b.styles.fonts[1].weight = uint8_t(v); }},
        {"font character set", 16, 17,
         [](CWorkbook& b, int v) { b.styles.fonts[1].charSet = uint8_t(v); }},
        {"font size", 254, 255, [](CWorkbook& b, int v) { b.styles.fonts[1].size = uint8_t(v); }},
        {"rotation", 90, 91, [](CWorkbook& b, int v) { b.styles.styles[1].rotation = int8_t(v); }},
        {"rotation down", -90, -91,
         [](CWorkbook& b, int v) { b.styles.styles[1].rotation = int8_t(v); }},
        {"indent", 254, 255,
         [](CWorkbook& b, int v) { b.styles.styles[1].horizontalIndent = uint8_t(v); }},
        {"vertical alignment", 7, 6,
         [](CWorkbook& b, int v) { b.styles.styles[1].verticalAlignment = uint8_t(v); }},
        {"horizontal alignment", 3, 4,
         [](CWorkbook& b, int v) { b.styles.styles[1].horizontalAlignment = uint8_t(v); }},
        {"fill pattern", 22, 23,
         [](CWorkbook& b, int v) { b.styles.styles[1].fill.pattern = uint8_t(v); }},
        {"line style", 9, 10,
         [](CWorkbook& b, int v) { b.styles.styles[1].borderLine.style = uint8_t(v); }},
        {"zoom", 10, 9, [](CWorkbook& b, int v) { FirstSheet(b).view.scale = uint16_t(v); }},
        {"zoom up", 1000, 1001,
         [](CWorkbook& b, int v) { FirstSheet(b).view.scale = uint16_t(v); }},
        {"print scale", 1000, 1001,
         [](CWorkbook& b, int v) {
             FirstSheet(b).pageSetup.fitToSheetSize = 0;
             FirstSheet(b).pageSetup.scale = uint16_t(v);
         }},
        {"copies", 1, 0, [](CWorkbook& b, int v) { FirstSheet(b).pageSetup.copies = uint16_t(v); }},
        {"first page", 1, 0,
         [](CWorkbook& b, int v) { FirstSheet(b).pageSetup.firstPageNumber = uint16_t(v); }},
        {"first page up", 65534, 65535,
         [](CWorkbook& b, int v) { FirstSheet(b).pageSetup.firstPageNumber = uint16_t(v); }},
        {"pages per sheet", 1, 0,
         [](CWorkbook& b, int v) { FirstSheet(b).pageSetup.pagesPerSheetRows = uint8_t(v); }},
        {"pages per sheet up", 254, 255,
         [](CWorkbook& b, int v) { FirstSheet(b).pageSetup.pagesPerSheetColumns = uint8_t(v); }},
        {"print range kind", 4, 5,
         [](CWorkbook& b, int v) { FirstSheet(b).pageSetup.printRangeKind = uint8_t(v); }},
        {"container columns", 254, 255,
         [](CWorkbook& b, int v) { FirstContainer(b).settings.columns = uint8_t(v); }},
        {"container rows", 1, 0,
         [](CWorkbook& b, int v) { FirstContainer(b).settings.rows = uint8_t(v); }},
        {"opacity", 100, 101,
         [](CWorkbook& b, int v) { FirstContainer(b).settings.opacity = uint8_t(v); }},
        {"chart width", 100, 101,
         [](CWorkbook& b, int v) { FirstChart(b).settings.viewWidth = uint8_t(v); }},
        {"stacked bar size", 1, 0,
         [](CWorkbook& b, int v) { FirstChart(b).settings.stackBarSize = uint8_t(v); }},
        {"light direction", 180, 181,
         [](CWorkbook& b, int v) { Chart3D(b).settings.lightDirectionY = uint16_t(v); }},
        {"perspective", 1, 0,
         [](CWorkbook& b, int v) { Chart3D(b).settings.perspective = uint16_t(v); }},
        {"series scale", 3, 4, [](CWorkbook& b, int v) { ValueSeries(b).scale = uint8_t(v); }},
        {"point symbol", 15, 16, [](CWorkbook& b, int v) { ValueSeries(b).symbol = uint8_t(v); }},
        {"grid line style", 9, 10,
         [](CWorkbook& b, int v) {
             SeriesSettings& s = ValueSeries(b);
             s.userGridCount = 1;
             s.userGridLines[0].style = uint8_t(v);
         }},
        {"image name", 1, 0,
         [](CWorkbook& b, int v) {
             BackgroundRecord& g = FirstSheet(b).view.background;
             g.kind = kBackgroundImage;
             CopyTextField(g.imagePath, v ? "back.png" : "back.pn", kImagePathSize);
         }},
        {"range value", 1, 0,
         [](CWorkbook& b, int v) {
             FirstChart(b).series[0].settings.toValue = v ? 1e308 : std::nan("");
         }},
        {"exponent digits", 99, 100,
         [](CWorkbook& b, int v) {
             StandardFormat& f = b.styles.styles[1].numberFormat;
             f.kind = STD_STYLE_SCIENTIFIC;
             f.params[fmtparam::kExponentForm] = 1;
             f.params[fmtparam::kExponentNumber] = uint8_t(v);
         }},
        {"margin", 1, 0,
         [](CWorkbook& b, int v) { FirstSheet(b).pageSetup.marginTop = v ? 5 : INFINITY; }},
    };
    for (const auto& c : cases) {
        for (const bool taken : {true, false}) {
            auto book = MakeRichWorkbook();
            ASSERT_TRUE(CheckLoadedRecords(*book)) << c.name; // the workbook as made
            ASSERT_EQ(Chart3D(*book).settings.type, kChart3D);
            ASSERT_EQ(ValueSeries(*book).role, 1);
            c.set(*book, taken ? c.taken : c.refused);
            EXPECT_EQ(CheckLoadedRecords(*book), taken) << c.name << " " << taken;
        }
    }
}

// The check changes no valid value: yes/no bytes above 1, a header colour not given, a number
// format's unused parameters and a 2D chart's 3D fields stay as they were.
TEST(LoadCheck, ValidValuesAreLeftAsTheyAre) {
    auto book = MakeRichWorkbook();
    book->styles.fonts[1].italic = 7;
    book->styles.styles[1].wrapText = 0x80;
    FirstSheet(*book).view.showGrid = 2;
    FirstSheet(*book).pageSetup.landscape = 0;
    FirstSheet(*book).pageSetup.headerFont.colorGiven = 0;
    book->styles.styles[1].numberFormat.params[20] = 0xA5;
    // Exponent digits count only for a form that shows them.
    StandardFormat& scientific = book->styles.styles[2].numberFormat;
    scientific.kind = STD_STYLE_SCIENTIFIC;
    scientific.params[fmtparam::kExponentForm] = 0;
    scientific.params[fmtparam::kExponentNumber] = 200;
    FirstChart(*book).settings.rotationY = -200;
    ASSERT_NE(FirstChart(*book).settings.type, kChart3D);
    ASSERT_TRUE(CheckLoadedRecords(*book));
    EXPECT_EQ(Of(book->styles.fonts[1].italic, book->styles.styles[1].wrapText,
                 FirstSheet(*book).view.showGrid, FirstSheet(*book).pageSetup.landscape,
                 FirstSheet(*book).pageSetup.headerFont.colorGiven,
                 book->styles.styles[1].numberFormat.params[20],
                 FirstChart(*book).settings.rotationY,
                 scientific.params[fmtparam::kExponentNumber]),
              Of(7, 0x80, 2, 0, 0, 0xA5, -200, 200));
}

// The binary reader refuses a field out of range with 21 and keeps the rest of its promise.
TEST(LoadCheck, TheBinaryReaderRefusesWith21) {
    TempFolder dir;
    for (const bool spoil : {false, true}) {
        auto book = MakeRichWorkbook();
        if (spoil) FirstSheet(*book).view.scale = 1001;
        WriteBytes(dir.Path("body"), BodyOf(*book));
        auto loaded = CreateWorkbook();
        ASSERT_TRUE(loaded->stream.Open(dir.Path("body").c_str(), "rb", false, kFileBufferSize));
        EXPECT_EQ(ReadBinaryWorkbookBody(*loaded, loaded->stream, 3, nullptr), !spoil);
        EXPECT_EQ(loaded->error, spoil ? kErrorFileFormat : kErrorNone);
    }
}

} // namespace vl
