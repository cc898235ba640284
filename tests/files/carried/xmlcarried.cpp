#include "tests/files/carried/xmlcarried.h"

#include "core/settings.h"
#include "files/xmlchartparts.h"
#include "files/xmlconvert.h"
#include "files/xmlstyleitems.h"
#include "files/xmlwritten.h"
#include "formula/addresstext.h"
#include "model/container.h"
#include "model/inspectedcell.h"
#include "tests/files/carried/xmlcarriedcells.h"
#include "tests/files/carried/xmlcarriedchart.h"
#include "tests/files/carried/xmlcarriedstyles.h"
#include "values/standardformat.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <vector>

namespace vl {

namespace {

void Flag(uint8_t& v) {
    v = v != 0;
}

// Numbers are written as decimal text, which writes a negative zero as 0.
void NoNegativeZero(std::initializer_list<double*> values) {
    for (double* v : values)
        if (*v == 0) *v = 0;
}

// A colour given is written as red, green and blue: the byte above them does not come back.
void CarryColor(uint8_t& given, COLORREF& color) {
    Flag(given);
    if (given) color &= 0x00FFFFFF;
}

void CarryColoredFont(ColoredFont& f) {
    CarryColor(f.colorGiven, f.color);
    Flag(f.font.italic);
    Flag(f.font.underline);
    Flag(f.font.strikeout);
}

void CarryLine(BorderLine& line) {
    CarryColor(line.colorGiven, line.color);
}

void CarryFill(InteriorFill& fill) {
    CarryColor(fill.patternColorGiven, fill.patternColor);
    CarryColor(fill.backgroundColorGiven, fill.backgroundColor);
}

// The XML form writes a family's settings and builds its code from them on reading; a
// user-defined format without a code reads back as the default format.
void CarryFormat(StandardFormat& format) {
    SettleFormatParams(format);
    if (format.kind != STD_STYLE_USER_DEFINED && format.kind != STD_STYLE_DEFAULT)
        BuildStandardFormatCode(format, &InternalSeparators());
    if (format.kind == STD_STYLE_USER_DEFINED && format.code[0] == 0)
        format.kind = STD_STYLE_DEFAULT;
}

// Only the kind a background shows is written: the others' fields read back as `fresh`, a
// new background at its place, has them, and a fill's colours not given as the reader names
// them.
void CarryBackground(const BackgroundRecord& fresh, BackgroundRecord& b) {
    if (b.kind != kBackgroundPattern) {
        b.pattern = fresh.pattern;
    } else {
        SetUnwrittenFillColors(b.pattern);
        CarryFill(b.pattern);
    }
    if (b.kind != kBackgroundImage) {
        std::copy(std::begin(fresh.imagePath), std::end(fresh.imagePath), b.imagePath);
        b.imageView = fresh.imageView;
    }
    if (b.kind != kBackgroundFractal) {
        b.zr = fresh.zr;
        b.zi = fresh.zi;
        b.minX = fresh.minX;
        b.maxX = fresh.maxX;
        b.minY = fresh.minY;
        b.maxY = fresh.maxY;
        std::copy(std::begin(fresh.fractalColors), std::end(fresh.fractalColors), b.fractalColors);
    } else {
        for (COLORREF& c : b.fractalColors) c &= 0x00FFFFFF;
        NoNegativeZero({&b.zr, &b.zi, &b.minX, &b.maxX, &b.minY, &b.maxY});
    }
}

void CarryStyle(StyleRecord& s) {
    for (uint8_t* flag : {&s.wrapText, &s.fitToCell, &s.sort, &s.autoAppend, &s.autoComplete,
                          &s.formulaHidden, &s.isProtected})
        Flag(*flag);
    CarryColor(s.fontRef.colorGiven, s.fontRef.color);
    CarryFormat(s.numberFormat);
    CarryFill(s.fill);
    CarryLine(s.borderLine);
}

// The lowest bit of `bits` that is set, 0 when none is.
uint8_t LowestBit(uint8_t bits) {
    return uint8_t(bits & -bits);
}

// The print range and container are written only for the kind that uses them, the scale only
// when the page is not fitted, and pages of a list are never fitted; a range is written as
// its text.
void CarryPrintRange(PageSetupRecord& p) {
    if (p.printRangeKind != kPrintContainer) p.printedContainer = 0;
    if (p.printRangeKind != kPrintPageList) std::fill(std::begin(p.pages), std::end(p.pages), 0);
    if (p.printRangeKind == kPrintPageList) p.fitToSheetSize = 0;
    if (p.fitToSheetSize) p.scale = 100;
    RangeDescriptor read;
    if (p.printRangeKind != kPrintCellRange)
        p.printRange = RangeDescriptor{};
    else if (ParseGoRange(FormatRangeText(p.printRange, false), false, 0, 0, read))
        p.printRange = read;
}

void CarryPage(PageSetupRecord& p) {
    p.headerFont = XmlWrittenHeaderFont(p.headerFont);
    // The XML form names one horizontal and one vertical alignment: the first bit of each.
    p.alignment = uint8_t(LowestBit(p.alignment & 0x07) | LowestBit(p.alignment & 0x38));
    for (uint8_t* flag : {&p.landscape, &p.fitToSheetSize, &p.collate, &p.backToFront,
                          &p.onFirstPage, &p.rowHeadings, &p.columnHeadings})
        Flag(*flag);
    CarryPrintRange(p);
    CarryColoredFont(p.headerFont);
    NoNegativeZero({&p.headerDistance, &p.footerDistance, &p.marginLeft, &p.marginRight,
                    &p.marginTop, &p.marginBottom});
}

// A view position is a cell, as the XML form writes it; a frozen edge is a row or a column.
void CarryViewPlaces(ViewSettingsRecord& v) {
    for (CellRef* ref : {&v.topLeft, &v.selection[0], &v.selection[1]}) ref->flags = kRefCell;
    CellRef& f = v.freezed;
    if (f.flags & kRefRow)
        f = CellRef{0, f.row, kRefRow};
    else if (f.flags & kRefColumn)
        f = CellRef{f.column, 0, kRefColumn};
    else
        f = CellRef{};
}

void CarryView(ViewSettingsRecord& v) {
    Flag(v.showGrid);
    Flag(v.gridColorGiven);
    Flag(v.headingsColorGiven);
    // A colour not given is not written; reading gives it the default.
    if (!v.gridColorGiven) v.gridColor = GetSystemColor(kColorButtonFace);
    if (!v.headingsColorGiven) v.headingsColor = GetSystemColor(kColorButtonFace);
    CarryColor(v.gridColorGiven, v.gridColor);
    CarryColor(v.headingsColorGiven, v.headingsColor);
    CarryViewPlaces(v);
    ViewSettingsRecord fresh;
    InitViewSettings(fresh);
    CarryBackground(fresh.background, v.background);
}

void CarrySeries(SeriesSettings& s) {
    CarryFormat(s.numberFormat);
    CarryColoredFont(s.font);
    CarryColoredFont(s.axisFont);
    for (BorderLine* line : {&s.line, &s.connectingLine, &s.axisLine, &s.majorGrid, &s.minorGrid})
        CarryLine(*line);
    CarryFill(s.fill);
    NoNegativeZero({&s.fromValue, &s.toValue, &s.stackLower, &s.stackUpper});
    for (int i = 0; i < s.userGridCount && i < 16; ++i) {
        CarryLine(s.userGridLines[i]);
        NoNegativeZero({&s.userGridValues[i]});
    }
    for (int i = 0; i < s.sliceFillCount && i < 16; ++i) CarryFill(s.sliceFills[i]);
}

void CarryChart(CChart& chart) {
    SettleChartLook(chart);
    SettleFlatChart(chart);
    ChartSettings& c = chart.settings;
    // The view matrix is written instead of the rotations, which read back as a new chart's.
    c.rotationX = c.rotationY = c.rotationZ = 0;
    for (ColoredFont* f : {&c.titleFont[0], &c.titleFont[1], &c.legendFont}) CarryColoredFont(*f);
    CarryFill(c.planeFill);
    CarryLine(c.planeBorder);
    SettleSeriesRoles(chart);
    for (int i = 0; i < c.seriesCount && i < kChartSeries; ++i)
        CarrySeries(chart.series[i].settings);
}

// Title slots past the written ones read back as a new container has them, and a written
// title's colour not given keeps the new container's.
void CarryTitles(const ContainerSettings& fresh, ContainerSettings& s) {
    const int written = XmlTitlesWritten(s.titleText);
    for (int t = 0; t < 2; ++t) {
        if (t >= written) {
            s.titleFont[t] = fresh.titleFont[t];
            std::fill(std::begin(s.titleText[t]), std::end(s.titleText[t]), 0);
        } else if (!s.titleFont[t].colorGiven) {
            s.titleFont[t].color = fresh.titleFont[t].color;
        }
        CarryColoredFont(s.titleFont[t]);
    }
}

void CarryContainer(CContainer& box) {
    ContainerSettings& s = box.settings;
    CContainer fresh;
    InitContainerDefaults(fresh, nullptr, nullptr);
    s.anchor = XmlWrittenAnchor(s.anchor);
    CarryTitles(fresh.settings, s);
    SetUnwrittenLineColor(s.border);
    CarryLine(s.border);
    CarryBackground(fresh.settings.background, s.background);
    for (int i = 0; i < s.objectCount; ++i)
        if (CChart* chart = box.slots[i].chart.get()) CarryChart(*chart);
}

bool CarrySheet(CWorksheet& sheet) {
    CarryPage(sheet.pageSetup);
    CarryView(sheet.view);
    for (CContainer* box = sheet.firstContainer; box; box = box->next) CarryContainer(*box);
    return KeepXmlCarriedFormatsAndCells(sheet);
}

bool CarryInspectedCells(CWorkbook& book) {
    std::vector<InspectedCellRecord> cells;
    for (InspectedCellRecord r; GetInspectedCell(book.inspectedCells, uint32_t(cells.size()), r);)
        cells.push_back(r);
    book.inspectedCells.Clear(true);
    for (InspectedCellRecord& r : cells) {
        r.cell.flags = kRefCell;
        if (!AppendInspectedCell(book.inspectedCells, r)) return false;
    }
    return true;
}

} // namespace

bool KeepXmlCarried(CWorkbook& book) {
    book.panes.treeWidth = XmlWrittenPaneSize(book.panes.treeWidth);
    book.panes.inspectHeight = XmlWrittenPaneSize(book.panes.inspectHeight);
    StyleTables& tables = book.styles;
    SettleStyleTable(tables);
    for (int i = 0; i < tables.fontCount; ++i) {
        FontRecord& f = tables.fonts[i];
        Flag(f.italic);
        Flag(f.underline);
        Flag(f.strikeout);
    }
    for (int i = 0; i < tables.styleCount; ++i) CarryStyle(tables.styles[i]);
    if (!CarryInspectedCells(book)) return false;
    for (CTreeItem* item = book.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item); sheet && !CarrySheet(*sheet)) return false;
    return true;
}

} // namespace vl
