#include "files/loadcheck.h"

#include "core/settings.h"
#include "files/containerids.h"
#include "files/loadchart.h"
#include "files/loadstyles.h"
#include "files/xmlchartparts.h"
#include "files/xmlconvert.h"
#include "files/xmlelements.h"
#include "files/xmlnames.h"
#include "files/xmlstyleitems.h"
#include "formula/addresstext.h"
#include "model/container.h"
#include "platform/core/bytes.h"
#include "values/standardformat.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <iterator>

namespace vl {

namespace {

constexpr uint8_t kLastSeriesScale = 3;
constexpr uint8_t kLastAxisType = 3;
constexpr uint8_t kLastLabels = 4;

template <class T> bool Within(T v, long min, long max) {
    return long(v) >= min && long(v) <= max;
}

template <class Table> bool InTable(uint8_t v, const Table& table) {
    return v < table.size();
}

void Flag(uint8_t& v) {
    v = v != 0;
}

// Numbers are written as decimal text, which has no form for infinities and NaN and writes
// a negative zero as 0.
bool Finite(std::initializer_list<double*> values) {
    for (double* v : values) {
        if (!std::isfinite(*v)) return false;
        if (*v == 0) *v = 0;
    }
    return true;
}

bool SettleFont(FontRecord& f) {
    Flag(f.italic);
    Flag(f.underline);
    Flag(f.strikeout);
    return InTable(f.family, kXmlFontFamilies) && f.size <= kXmlCapU8 &&
           InTable(f.weight, kXmlFontWeights) && InTable(f.charSet, kXmlCharSets);
}

// A colour given is written as red, green and blue: the byte above them does not come back.
void SettleColor(uint8_t& given, COLORREF& color) {
    Flag(given);
    if (given) color &= 0x00FFFFFF;
}

bool SettleColoredFont(ColoredFont& f) {
    SettleColor(f.colorGiven, f.color);
    return SettleFont(f.font);
}

bool SettleLine(BorderLine& line) {
    SettleColor(line.colorGiven, line.color);
    return InTable(line.style, kXmlLineStyles);
}

bool SettleFill(InteriorFill& fill) {
    SettleColor(fill.patternColorGiven, fill.patternColor);
    SettleColor(fill.backgroundColorGiven, fill.backgroundColor);
    return InTable(fill.pattern, kXmlFillPatterns);
}

// The digits and choices of a number format that its family writes. A user-defined format
// without a code is the default format, as the XML form reads it.
bool SettleFormat(StandardFormat& format) {
    using namespace fmtparam;
    SettleFormatParams(format);
    const uint8_t* p = format.params;
    constexpr uint8_t kDigits = 14, kNegatives = 3, kPositions = 3;
    const bool decimals = !p[kFixedDecimals] || p[kDecimals] <= kDigits;
    // The XML form writes a family's settings and builds its code from them on reading.
    if (format.kind != STD_STYLE_USER_DEFINED && format.kind != STD_STYLE_DEFAULT)
        BuildStandardFormatCode(format, &InternalSeparators());
    switch (format.kind) {
    case STD_STYLE_USER_DEFINED:
        if (format.code[0] == 0) format.kind = STD_STYLE_DEFAULT;
        return true;
    case STD_STYLE_GENERAL:
        return decimals && (!p[kZeroPadded] || p[kIntegerDigits] <= kDigits) &&
               p[kNegativeStyle] <= kNegatives;
    case STD_STYLE_PERCENTAGE:
        return decimals;
    case STD_STYLE_CURRENCY:
        return p[kCurrencyDecimals] <= kDigits && p[kSymbolPosition] <= kPositions &&
               p[kCurrencyNegative] <= kNegatives;
    case STD_STYLE_ACCOUNTING:
        return p[kCurrencyDecimals] <= kDigits;
    case STD_STYLE_TIME:
        return p[kTimeStyle] <= 9;
    case STD_STYLE_DATE:
        return p[kDateStyle] <= 10;
    case STD_STYLE_DATE_TIME:
        return p[kDateStyle] <= 10 && p[kTimeStyle] <= 10;
    case STD_STYLE_FRACTION:
        if (p[kDenominatorMode] == 0)
            return p[kDenominatorDigits] >= 1 && p[kDenominatorDigits] <= kDigits;
        return Within(LoadU64(p + kFixedDenominator), 1, long(kXmlCapU32));
    case STD_STYLE_SCIENTIFIC:
        return decimals && p[kExponentNumber] <= 99;
    default:
        return true;
    }
}

// Only the kind a background shows is written: the others' fields read back as `fresh`, a
// new background at its place, has them, and a fill's colours not given as the XML form
// names them.
void FreshBackground(const BackgroundRecord& fresh, BackgroundRecord& b) {
    if (b.kind != kBackgroundPattern) {
        b.pattern = fresh.pattern;
    } else {
        SetUnwrittenFillColors(b.pattern);
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
    }
}

bool SettleBackground(const BackgroundRecord& fresh, BackgroundRecord& b) {
    FreshBackground(fresh, b);
    switch (b.kind) {
    case 0: // no background: written as an empty element
        return true;
    case kBackgroundPattern:
        return SettleFill(b.pattern);
    case kBackgroundImage:
        return b.imageView <= 2 && (!b.imagePath[0] || IsImageFileName(b.imagePath));
    case kBackgroundFractal:
        // Fractal colours are written as red, green and blue.
        for (COLORREF& c : b.fractalColors) c &= 0x00FFFFFF;
        return Finite({&b.zr, &b.zi, &b.minX, &b.maxX, &b.minY, &b.maxY});
    default:
        return false;
    }
}

bool SettleStyle(StyleRecord& s) {
    for (uint8_t* flag : {&s.wrapText, &s.fitToCell, &s.sort, &s.autoAppend, &s.autoComplete,
                          &s.formulaHidden, &s.isProtected})
        Flag(*flag);
    SettleColor(s.fontRef.colorGiven, s.fontRef.color);
    const uint8_t v = s.verticalAlignment, h = s.horizontalAlignment;
    return SettleFormat(s.numberFormat) && (v == 0 || v == 4 || v == 5 || v == 7) && h <= 3 &&
           s.horizontalIndent <= kXmlCapU8 && s.verticalIndent <= kXmlCapU8 &&
           Within(s.rotation, -90, 90) && SettleFill(s.fill) && SettleLine(s.borderLine);
}

// The lowest bit of `bits` that is set, 0 when none is.
uint8_t LowestBit(uint8_t bits) {
    return uint8_t(bits & -bits);
}

// The print range and container are written only for the kind that uses them, the scale only
// when the page is not fitted, and pages of a list are never fitted; a range is written as
// its text.
bool SettlePrintRange(PageSetupRecord& p) {
    if (p.printRangeKind == kPrintContainer && p.printedContainer < 1) return false; // ids from 1
    if (p.printRangeKind != kPrintContainer) p.printedContainer = 0;
    if (p.printRangeKind != kPrintPageList) std::fill(std::begin(p.pages), std::end(p.pages), 0);
    if (p.printRangeKind == kPrintPageList) p.fitToSheetSize = 0;
    if (p.fitToSheetSize) p.scale = 100;
    if (p.printRangeKind != kPrintCellRange) {
        p.printRange = RangeDescriptor{};
        return true;
    }
    RangeDescriptor read;
    if (!ParseGoRange(FormatRangeText(p.printRange, false), false, 0, 0, read)) return false;
    p.printRange = read;
    return true;
}

bool SettlePage(PageSetupRecord& p) {
    // A header colour not given prints in the text colour, which is what the XML form reads
    // back when it writes none.
    if (!p.headerFont.colorGiven) {
        p.headerFont.colorGiven = 1;
        p.headerFont.color = GetSystemColor(kColorWindowText);
    }
    // The XML form names one horizontal and one vertical alignment: the first bit of each.
    p.alignment = uint8_t(LowestBit(p.alignment & 0x07) | LowestBit(p.alignment & 0x38));
    for (uint8_t* flag : {&p.landscape, &p.fitToSheetSize, &p.collate, &p.backToFront,
                          &p.onFirstPage, &p.rowHeadings, &p.columnHeadings})
        Flag(*flag);
    // A header font without a colour is written without one, which reads as the text colour.
    if (!p.headerFont.colorGiven) {
        p.headerFont.colorGiven = 1;
        p.headerFont.color = GetSystemColor(kColorWindowText);
    }
    return p.printRangeKind <= kPrintPageList && SettlePrintRange(p) &&
           (p.fitToSheetSize || Within(p.scale, 10, 1000)) &&
           Within(p.firstPageNumber, 1, kXmlCapU16) && Within(p.copies, 1, kXmlCapU16) &&
           Within(p.pagesPerSheetRows, 1, kXmlCapU8) &&
           Within(p.pagesPerSheetColumns, 1, kXmlCapU8) && SettleColoredFont(p.headerFont) &&
           Finite({&p.headerDistance, &p.footerDistance, &p.marginLeft, &p.marginRight,
                   &p.marginTop, &p.marginBottom});
}

// A view position is a cell, as the XML form writes it; a frozen edge is a row or a column.
void SettleViewPlaces(ViewSettingsRecord& v) {
    for (CellRef* ref : {&v.topLeft, &v.selection[0], &v.selection[1]}) ref->flags = kRefCell;
    CellRef& f = v.freezed;
    if (f.flags & kRefRow)
        f = CellRef{0, f.row, kRefRow};
    else if (f.flags & kRefColumn)
        f = CellRef{f.column, 0, kRefColumn};
    else
        f = CellRef{};
}

bool SettleView(ViewSettingsRecord& v) {
    Flag(v.showGrid);
    Flag(v.gridColorGiven);
    Flag(v.headingsColorGiven);
    // A colour not given is not written; reading gives it the default.
    if (!v.gridColorGiven) v.gridColor = GetSystemColor(kColorButtonFace);
    if (!v.headingsColorGiven) v.headingsColor = GetSystemColor(kColorButtonFace);
    SettleViewPlaces(v);
    ViewSettingsRecord fresh;
    InitViewSettings(fresh);
    return Within(v.scale, 10, 1000) && SettleBackground(fresh.background, v.background);
}

bool SettleSeries(SeriesSettings& s) {
    bool ok = SettleFormat(s.numberFormat) && s.scale <= kLastSeriesScale &&
              s.axisType <= kLastAxisType && s.labels <= kLastLabels &&
              InTable(s.symbol, kXmlPointSymbols) && SettleColoredFont(s.font) &&
              SettleColoredFont(s.axisFont) && SettleLine(s.line) && SettleLine(s.connectingLine) &&
              SettleLine(s.axisLine) && SettleLine(s.majorGrid) && SettleLine(s.minorGrid) &&
              SettleFill(s.fill) &&
              Finite({&s.fromValue, &s.toValue, &s.stackLower, &s.stackUpper});
    for (int i = 0; ok && i < s.userGridCount && i < 16; ++i)
        ok = SettleLine(s.userGridLines[i]) && Finite({&s.userGridValues[i]});
    for (int i = 0; ok && i < s.sliceFillCount && i < 16; ++i) ok = SettleFill(s.sliceFills[i]);
    return ok;
}

// Value series write their periods, and an X series outside an XY chart its divisor.
bool SettlePeriods(const SeriesSettings& s, uint8_t type) {
    constexpr uint8_t kRoleValues = 1, kRoleErrorBars = 4;
    if (s.role == 0 || s.role >= kRoleErrorBars) return true;
    if (s.role != kRoleValues && type != kChartXY) return s.divisor >= 1 && s.divisor <= kXmlCapU32;
    return s.periods >= 1 && s.periods <= kXmlCapU16;
}

bool SettleChart(CChart& chart) {
    SettleChartLook(chart);
    SettleFlatChart(chart);
    ChartSettings& c = chart.settings;
    bool ok = Within(c.viewWidth, 1, 100) && Within(c.viewHeight, 1, 100) &&
              Within(c.barSize, 1, 100) && Within(c.stackBarSize, 1, 100) && c.pieSplit <= 100 &&
              c.lightDirectionX <= 180 && c.lightDirectionY <= 180 &&
              Within(c.perspective, 1, 100) && SettleColoredFont(c.titleFont[0]) &&
              SettleColoredFont(c.titleFont[1]) && SettleColoredFont(c.legendFont) &&
              SettleFill(c.planeFill) && SettleLine(c.planeBorder);
    if (ok && c.type == kChart3D)
        ok = Within(c.lineWidth3D, 1, 100) && Within(c.pieThickness3D, 1, 100);
    for (const float m : chart.viewMatrix) ok = ok && std::isfinite(m);
    if (ok) SettleSeriesRoles(chart);
    for (int i = 0; ok && i < c.seriesCount && i < kChartSeries; ++i) {
        SeriesSettings& s = chart.series[i].settings;
        ok = SettleSeries(s) && SettlePeriods(s, c.type);
    }
    return ok;
}

// Title slots past the written ones read back as a new container has them, and a written
// title's colour not given keeps the new container's.
void FreshTitles(const ContainerSettings& fresh, ContainerSettings& s) {
    const int written = XmlTitlesWritten(s.titleText);
    for (int t = 0; t < 2; ++t) {
        if (t >= written) {
            s.titleFont[t] = fresh.titleFont[t];
            std::fill(std::begin(s.titleText[t]), std::end(s.titleText[t]), 0);
        } else if (!s.titleFont[t].colorGiven) {
            s.titleFont[t].color = fresh.titleFont[t].color;
        }
    }
}

bool SettleContainer(CContainer& box, ContainerIds& ids) {
    ContainerSettings& s = box.settings;
    CContainer fresh;
    InitContainerDefaults(fresh, nullptr, nullptr);
    const ContainerSettings& f = fresh.settings;
    ids.MakeUnique(s.id);
    // Only the column and row place a container; the XML form writes them as a cell.
    s.anchor.flags = kRefCell;
    // The XML form places containers within 2^31 - 1 pixels either way.
    for (int32_t* edge : {&s.left, &s.top, &s.right, &s.bottom})
        *edge = std::max(*edge, -INT32_MAX);
    FreshTitles(f, s);
    SetUnwrittenLineColor(s.border);
    // Any spacing is valid: the Contents/Size page stores 0 to 255.
    bool ok = Within(s.id, 1, kXmlCapU16) && Within(s.columns, 1, kXmlCapU8) &&
              Within(s.rows, 1, kXmlCapU8) && s.opacity <= 100 &&
              SettleColoredFont(s.titleFont[0]) && SettleColoredFont(s.titleFont[1]) &&
              SettleLine(s.border) && SettleBackground(f.background, s.background);
    for (int i = 0; ok && i < s.objectCount; ++i)
        if (CChart* chart = box.slots[i].chart.get()) ok = SettleChart(*chart);
    return ok;
}

bool SettleSheet(CWorksheet& sheet, ContainerIds& ids) {
    bool ok = SettlePage(sheet.pageSetup) && SettleView(sheet.view);
    for (CContainer* box = sheet.firstContainer; ok && box; box = box->next)
        ok = SettleContainer(*box, ids);
    return ok;
}

} // namespace

bool SettleLoadedRecords(CWorkbook& book) {
    // Pane sizes only place the window's parts: one past what the XML form holds is cut.
    book.panes.treeWidth = uint16_t(std::min<uint32_t>(book.panes.treeWidth, kXmlCapU16));
    book.panes.inspectHeight = uint16_t(std::min<uint32_t>(book.panes.inspectHeight, kXmlCapU16));
    StyleTables& tables = book.styles;
    SettleStyleTable(tables);
    for (int i = 0; i < tables.fontCount; ++i)
        if (!SettleFont(tables.fonts[i])) return false;
    for (int i = 0; i < tables.styleCount; ++i)
        if (!SettleStyle(tables.styles[i])) return false;
    ContainerIds ids;
    for (CTreeItem* item = book.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item); sheet && !SettleSheet(*sheet, ids)) return false;
    return true;
}

} // namespace vl
