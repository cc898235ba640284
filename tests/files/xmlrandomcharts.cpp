// View settings, page setups, containers and charts drawn at random in the form a reader
// gives back: a field the form does not carry keeps the value a reader leaves in it, a colour
// that is not given holds the colour a reader fills in, and a flag the reader's defaults set
// is set.

#include "model/chartrecords.h"
#include "model/container.h"
#include "xmlrandomdraw.h"

#include <gtest/gtest.h>
#include <vector>

namespace vl::xmltest {

namespace {

const COLORREF kText = GetSystemColor(kColorWindowText);
const COLORREF kWindow = GetSystemColor(kColorWindow);

std::string Name(Draw& d, std::size_t limit) {
    return d.Text(d.Coin() ? limit : d.Below(uint32_t(limit)));
}

void SetText(char* field, const std::string& text, uint32_t size) {
    CopyTextField(field, text.c_str(), size);
}

} // namespace

BorderLine RandomLine(Draw& d, bool alwaysGiven) {
    BorderLine line{uint8_t(d.Below(10)), uint8_t(alwaysGiven || d.Coin()), kText};
    if (line.colorGiven) line.color = d.Color();
    return line;
}

InteriorFill RandomFill(Draw& d, bool patternColorAlwaysGiven, int pattern) {
    InteriorFill f;
    f.pattern = uint8_t(pattern < 0 ? d.Below(23) : uint32_t(pattern));
    f.patternColorGiven = patternColorAlwaysGiven || d.Coin();
    f.patternColor = f.patternColorGiven             ? d.Color()
                     : f.pattern <= FORMAT_PAT_SOLID ? kWindow
                                                     : kText;
    f.backgroundColorGiven = d.Coin();
    f.backgroundColor = f.backgroundColorGiven ? d.Color() : kWindow;
    return f;
}

namespace {

ColoredFont Font(Draw& d, int i) {
    ColoredFont f;
    RandomFont(d, f.font, i);
    f.colorGiven = d.Coin();
    f.color = f.colorGiven ? d.Color() : kText;
    return f;
}

// Starts from the owner's default background: only the fields of the drawn kind change.
void RandomBackground(Draw& d, BackgroundRecord& b) {
    b.kind = uint8_t(d.Below(4));
    if (b.kind == kBackgroundPattern) {
        b.pattern = RandomFill(d, false);
    } else if (b.kind == kBackgroundImage) {
        static const char* const kExtensions[] = {".bmp", ".JPG", ".jpeg", ".PnG", ""};
        const std::string name = d.Coin() ? Name(d, 200) + kExtensions[d.Below(4)] : "";
        SetText(b.imagePath, name, kImagePathSize);
        b.imageView = uint8_t(d.Below(3));
    } else if (b.kind == kBackgroundFractal) {
        for (double* v : {&b.zr, &b.zi, &b.minX, &b.maxX, &b.minY, &b.maxY}) *v = d.Number();
        for (COLORREF& c : b.fractalColors) c = d.Color();
    }
}

void RandomTitles(Draw& d, ColoredFont fonts[2], char texts[2][kChartTextSize]) {
    // None, the title, a lone subtitle, or both.
    const uint32_t shape = d.Below(4);
    for (int t = 0; t < 2; ++t)
        if (shape & (1u << t)) SetText(texts[t], "t" + Name(d, 126), kChartTextSize);
    const int written = shape >= 2 ? 2 : int(shape);
    for (int t = 0; t < written; ++t) fonts[t] = Font(d, t + 3);
}

void RandomAxisAndGrid(Draw& d, SeriesSettings& s) {
    s.axisType = uint8_t(d.Below(4));
    s.axisFlags = uint16_t(0x40 | d.Below(3) | (d.Below(3) << 2) | (d.Below(4) << 4));
    SetText(s.axisTitle, Name(d, 127), kChartTextSize);
    s.axisFont = Font(d, 7);
    for (BorderLine* line : {&s.axisLine, &s.majorGrid, &s.minorGrid}) *line = RandomLine(d, false);
    s.userGridCount = uint8_t(d.Coin() ? 16 : d.Below(17));
    for (int i = 0; i < s.userGridCount; ++i) {
        s.userGridLines[i] = RandomLine(d, false);
        s.userGridValues[i] = d.Number();
    }
}

// The kinds of value series each chart type has.
uint8_t ValueKind(Draw& d, uint8_t type) {
    if (type == kChartXY) return 6;
    return type == kChart3D ? uint8_t(7 + d.Below(5)) : uint8_t(1 + d.Below(6));
}

void RandomPresentation(Draw& d, uint8_t type, SeriesSettings& s) {
    s.kind = ValueKind(d, type);
    const uint8_t flat = s.kind > 6 ? uint8_t(s.kind - 6) : s.kind;
    const bool is3D = type == kChart3D;
    if (flat == 1 || flat == 2 || flat == 4) {
        s.stacked = d.Coin();
        s.relative = s.stacked ? d.Coin() : 0;
    }
    s.labels = is3D && flat != 5 ? 0 : uint8_t(d.Below(5));
    s.visible = d.Coin();
    s.symbol = flat == 6 ? uint8_t(d.Below(16)) : 5;
    if (!is3D || flat == 5) s.font = Font(d, 9);
    const bool hasFill = is3D ? flat != 5 : flat != 3 && flat != 5;
    if (hasFill) s.fill = RandomFill(d, true);
    if (!is3D && (flat == 3 || flat == 6)) s.line = RandomLine(d, true);
    if (flat == 6) s.connectingLine = RandomLine(d, false);
    if (flat == 5) {
        s.sliceFillCount = uint8_t(d.Coin() ? 16 : 1 + d.Below(16));
        for (int i = 0; i < s.sliceFillCount; ++i) s.sliceFills[i] = RandomFill(d, true);
    }
}

void RandomSeries(Draw& d, CChart& chart, uint16_t index, uint8_t role) {
    const uint8_t type = chart.settings.type;
    InitSeries(chart, index);
    SeriesSettings& s = chart.series[index].settings;
    s.role = role;
    SetText(s.name, Name(d, 127), kChartTextSize);
    SetText(s.dataArray, Name(d, d.Coin() ? 1024 : 40), kDataArraySize);
    if (role == 4) return;
    const bool y = role == 1;
    if (type != kChart3D) SetText(s.relatedSigma, Name(d, 127), kChartTextSize);
    if (y) SetText(s.relatedX, Name(d, 127), kChartTextSize);
    if (y || type == kChartXY) {
        s.scale = uint8_t(d.Below(4));
        s.rangeFlags = uint16_t(d.Below(4) << 1);
        if (s.rangeFlags & kFromValueGiven) s.fromValue = d.Number();
        if (s.rangeFlags & kToValueGiven) s.toValue = d.Number();
        s.periods = uint16_t(d.Between(1, 65534));
        s.subperiods = uint16_t(d.Between(0, 65534));
    } else {
        s.divisor = 1 + d.Below(4294967294u);
    }
    RandomNumberFormat(d, s.numberFormat, int(d.Below(11)));
    if (y) RandomPresentation(d, type, s);
    RandomAxisAndGrid(d, s);
}

std::unique_ptr<CChart> RandomChart(Draw& d, uint8_t type) {
    auto chart = NewBlockObject<CChart>(type);
    ChartSettings& s = chart->settings;
    for (uint8_t* v : {&s.viewWidth, &s.viewHeight, &s.barSize, &s.stackBarSize})
        *v = uint8_t(d.Between(1, 100));
    if (type == kChart3D) {
        for (uint8_t* v : {&s.lineWidth3D, &s.pieThickness3D}) *v = uint8_t(d.Between(1, 100));
        for (float& m : chart->viewMatrix) m = d.Float();
        for (uint16_t* v : {&s.lightDirectionX, &s.lightDirectionY})
            *v = uint16_t(d.Between(0, 180));
        s.perspective = uint16_t(d.Between(1, 100));
        for (uint8_t* v : {&s.planeXZ, &s.planeYZ}) *v = d.Coin();
    }
    s.pieSplit = uint8_t(d.Between(0, 100));
    RandomTitles(d, s.titleFont, s.titleText);
    s.legendCode = uint8_t(d.Below(9));
    if (s.legendCode) s.legendFont = Font(d, 11);
    s.planeXY = d.Coin();
    s.planeFill = RandomFill(d, false);
    if (type == kChart3D) {
        s.planeFill.pattern = FORMAT_PAT_SOLID;
        if (!s.planeFill.patternColorGiven) s.planeFill.patternColor = kWindow;
    }
    s.planeBorder = RandomLine(d, false);
    // Sixteen series now and then; the groups come in their written order.
    const int count = d.Coin() ? kChartSeries : int(d.Between(0, kChartSeries));
    const int sigma = int(d.Below(uint32_t(count) + 1));
    const int x = int(d.Below(uint32_t(count - sigma) + 1));
    const uint8_t xRole = type == kChartXY ? 2 : 3;
    for (int i = 0; i < count; ++i)
        RandomSeries(d, *chart, uint16_t(i), i < sigma ? 4 : i < sigma + x ? xRole : 1);
    s.seriesCount = uint8_t(count);
    return chart;
}

void RandomContainer(Draw& d, CContainer& c, uint16_t id) {
    InitContainerDefaults(c, nullptr, nullptr);
    ContainerSettings& s = c.settings;
    s.id = id;
    for (uint8_t* v : {&s.columns, &s.rows, &s.horzSpacing, &s.vertSpacing})
        *v = uint8_t(d.Between(1, 254));
    s.opacity = uint8_t(d.Between(0, 100));
    s.anchor = CellRef{uint16_t(d.Below(kMaxColumns)), d.Below(kMaxRows), kRefCell};
    for (int32_t* v : {&s.left, &s.top, &s.right, &s.bottom})
        *v = d.Coin() ? int32_t(d.Between(-1000, 5000)) : (d.Coin() ? 2147483647 : -2147483647);
    RandomTitles(d, s.titleFont, s.titleText);
    RandomBackground(d, s.background);
    s.border = RandomLine(d, false);
    const int objects = int(d.Below(5));
    for (int i = 0; i < objects; ++i) {
        ContainerSlot& slot = c.slots[i];
        if (d.Below(4) == 0) {
            slot.kind = 2;
            slot.id = uint16_t(d.Below(65536));
        } else {
            slot.kind = kObjectChart;
            slot.chart = RandomChart(d, uint8_t(1 + d.Below(3)));
        }
    }
    s.objectCount = uint8_t(objects);
}

void ExpectSameChart(const CChart& a, const CChart& b) {
    ExpectSameBytes(a.settings, b.settings, WriteChartSettingsRecord, kChartSettingsRecordSize);
    ExpectSameBytes(a.viewMatrix, b.viewMatrix, WriteViewMatrixRecord, kViewMatrixRecordSize);
    for (int i = 0; i < a.settings.seriesCount && i < kChartSeries; ++i)
        ExpectSameBytes(a.series[i].settings, b.series[i].settings, WriteSeriesSettingsRecord,
                        kSeriesSettingsRecordSize, "series " + std::to_string(i));
}

} // namespace

void RandomSheetSettings(Draw& d, CWorksheet& ws) {
    ViewSettingsRecord& v = ws.view;
    RandomBackground(d, v.background);
    for (uint8_t* flag : {&v.showGrid, &v.gridColorGiven, &v.headingsColorGiven}) *flag = d.Coin();
    v.gridColor = v.gridColorGiven ? d.Color() : GetSystemColor(kColorButtonFace);
    v.headingsColor = v.headingsColorGiven ? d.Color() : GetSystemColor(kColorButtonFace);
    for (CellRef* ref : {&v.topLeft, &v.selection[0], &v.selection[1]})
        *ref = CellRef{uint16_t(d.Below(kMaxColumns)), d.Below(kMaxRows), kRefCell};
    const uint32_t freeze = d.Below(3);
    if (freeze == 1) v.freezed = CellRef{0, d.Below(kMaxRows), kRefRow};
    if (freeze == 2) v.freezed = CellRef{uint16_t(d.Below(kMaxColumns)), 0, kRefColumn};
    v.scale = uint16_t(d.Between(10, 1000));

    PageSetupRecord& p = ws.pageSetup;
    for (char* text : {p.printerName, p.paperName, p.excludedRows, p.excludedColumns, p.headerText,
                       p.footerText})
        SetText(text, Name(d, 127), kPageTextSize);
    for (uint8_t* flag : {&p.landscape, &p.collate, &p.backToFront, &p.onFirstPage, &p.rowHeadings,
                          &p.columnHeadings})
        *flag = d.Coin();
    const uint8_t kinds[] = {kPrintAll, kPrintSelection, kPrintPageList};
    p.printRangeKind = kinds[d.Below(3)];
    p.fitToSheetSize = p.printRangeKind != kPrintPageList && d.Coin();
    p.scale = p.fitToSheetSize ? 100 : uint16_t(d.Between(10, 1000));
    p.firstPageNumber = uint16_t(d.Between(1, 65534));
    if (p.printRangeKind == kPrintPageList) SetText(p.pages, Name(d, 127), kPageTextSize);
    p.copies = uint16_t(d.Between(1, 65534));
    for (double* m : {&p.headerDistance, &p.footerDistance, &p.marginLeft, &p.marginRight,
                      &p.marginTop, &p.marginBottom})
        *m = d.Number();
    RandomFont(d, p.headerFont.font, 5);
    p.headerFont.color = d.Color();
    for (uint8_t* n : {&p.pagesPerSheetRows, &p.pagesPerSheetColumns})
        *n = uint8_t(d.Between(1, 254));
    p.alignment = uint8_t((1 << d.Below(3)) | (8 << d.Below(3)));
}

void RandomContainers(Draw& d, CWorksheet& ws, int count, uint16_t& nextId) {
    for (int i = 0; i < count; ++i) {
        auto c = NewBlockObject<CContainer>();
        // Small ids one after another, and large ones that are never renumbered.
        nextId = uint16_t(nextId + (nextId < 250 ? 1 : 1 + d.Below(200)));
        RandomContainer(d, *c, nextId);
        LinkContainer(ws, std::move(c));
    }
}

void ExpectSameSheetSettings(const CWorksheet& a, const CWorksheet& b) {
    ExpectSameBytes(a.view, b.view, WriteViewSettingsRecord, kViewSettingsRecordSize, a.name);
    ExpectSameBytes(a.pageSetup, b.pageSetup, WritePageSetupRecord, kPageSetupRecordSize, a.name);
}

void ExpectSameContainers(const CWorksheet& a, const CWorksheet& b) {
    const CContainer *x = a.firstContainer, *y = b.firstContainer;
    for (; x && y; x = x->next, y = y->next) {
        SCOPED_TRACE("container " + std::to_string(x->settings.id));
        ExpectSameBytes(x->settings, y->settings, WriteContainerSettingsRecord,
                        kContainerSettingsRecordSize);
        for (int i = 0; i < x->settings.objectCount; ++i) {
            const ContainerSlot &p = x->slots[i], &q = y->slots[i];
            ASSERT_EQ(p.kind, q.kind) << "object " << i;
            if (p.kind == kObjectChart)
                ExpectSameChart(*p.chart, *q.chart);
            else
                EXPECT_EQ(p.id, q.id) << "object " << i;
        }
    }
    EXPECT_EQ(x, nullptr);
    EXPECT_EQ(y, nullptr);
}

} // namespace vl::xmltest
