#include "files/loadcheck.h"

#include "files/containerids.h"
#include "files/xmlchartparts.h"
#include "files/xmlconvert.h"
#include "files/xmlelements.h"
#include "files/xmlnames.h"
#include "files/xmlstyleitems.h"
#include "formula/addresstext.h"
#include "model/container.h"
#include "platform/core/bytes.h"
#include "values/formatdefaults.h"
#include "values/standardformat.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>

namespace vl {

namespace {

constexpr uint8_t kLastSeriesScale = 3;
constexpr uint8_t kLastAxisType = 3;
constexpr uint8_t kLastLabels = 4;
constexpr uint8_t kLastLegendCode = 8;

template <class T> bool Within(T v, long min, long max) {
    return long(v) >= min && long(v) <= max;
}

template <class Table> bool InTable(uint8_t v, const Table& table) {
    return v < table.size();
}

// Infinities and NaN have no decimal form and break the arithmetic that uses them.
bool Finite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

bool CheckFont(const FontRecord& f) {
    return InTable(f.family, kXmlFontFamilies) && f.size <= kXmlCapU8 &&
           InTable(f.weight, kXmlFontWeights) && InTable(f.charSet, kXmlCharSets);
}

bool CheckLine(const BorderLine& line) {
    return InTable(line.style, kXmlLineStyles);
}

bool CheckFill(const InteriorFill& fill) {
    return InTable(fill.pattern, kXmlFillPatterns);
}

// Every kind's fields are kept, shown or not: only the kind itself and the fields of the kind
// shown are checked.
bool CheckBackground(const BackgroundRecord& b) {
    switch (b.kind) {
    case 0: // no background
        return true;
    case kBackgroundPattern:
        return CheckFill(b.pattern);
    case kBackgroundImage:
        return b.imageView <= 2 && (!b.imagePath[0] || IsImageFileName(b.imagePath));
    case kBackgroundFractal:
        return Finite({b.zr, b.zi, b.minX, b.maxX, b.minY, b.maxY});
    default:
        return false;
    }
}

bool CheckStyle(const StyleRecord& s) {
    const uint8_t v = s.verticalAlignment, h = s.horizontalAlignment;
    return IsValidStandardFormat(s.numberFormat) && (v == 0 || v == 4 || v == 5 || v == 7) &&
           h <= 3 && s.horizontalIndent <= kXmlCapU8 && s.verticalIndent <= kXmlCapU8 &&
           Within(s.rotation, -90, 90) && CheckFill(s.fill) && CheckLine(s.borderLine);
}

// A printed container is named by an id, and ids start at 1; a cell range must have a text.
bool CheckPrintRange(const PageSetupRecord& p) {
    if (p.printRangeKind == kPrintContainer && p.printedContainer < 1) return false;
    if (p.printRangeKind != kPrintCellRange) return true;
    RangeDescriptor read;
    return ParseGoRange(FormatRangeText(p.printRange, false), false, 0, 0, read);
}

} // namespace

bool CheckPageSetupRecord(const PageSetupRecord& p) {
    return p.printRangeKind <= kPrintPageList && CheckPrintRange(p) &&
           (p.fitToSheetSize || Within(p.scale, 10, 1000)) &&
           Within(p.firstPageNumber, 1, kMaxFirstPageNumber) && Within(p.copies, 1, kXmlCapU16) &&
           Within(p.pagesPerSheetRows, 1, kXmlCapU8) &&
           Within(p.pagesPerSheetColumns, 1, kXmlCapU8) && CheckFont(p.headerFont.font) &&
           Finite({p.headerDistance, p.footerDistance, p.marginLeft, p.marginRight, p.marginTop,
                   p.marginBottom});
}

namespace {

bool CheckView(const ViewSettingsRecord& v) {
    return Within(v.scale, 10, 1000) && CheckBackground(v.background);
}

bool CheckSeries(const SeriesSettings& s) {
    bool ok = IsValidStandardFormat(s.numberFormat) && s.scale <= kLastSeriesScale &&
              s.axisType <= kLastAxisType && s.labels <= kLastLabels &&
              InTable(s.symbol, kXmlPointSymbols) && CheckFont(s.font.font) &&
              CheckFont(s.axisFont.font) && CheckLine(s.line) && CheckLine(s.connectingLine) &&
              CheckLine(s.axisLine) && CheckLine(s.majorGrid) && CheckLine(s.minorGrid) &&
              CheckFill(s.fill) && Finite({s.fromValue, s.toValue, s.stackLower, s.stackUpper});
    for (int i = 0; ok && i < s.userGridCount && i < 16; ++i)
        ok = CheckLine(s.userGridLines[i]) && Finite({s.userGridValues[i]});
    for (int i = 0; ok && i < s.sliceFillCount && i < 16; ++i) ok = CheckFill(s.sliceFills[i]);
    return ok;
}

// Value series divide by their periods, and an X series outside an XY chart by its divisor.
bool CheckPeriods(const SeriesSettings& s, uint8_t type) {
    constexpr uint8_t kRoleValues = 1, kRoleErrorBars = 4;
    if (s.role == 0 || s.role >= kRoleErrorBars) return true;
    if (s.role != kRoleValues && type != kChartXY) return s.divisor >= 1 && s.divisor <= kXmlCapU32;
    return s.periods >= 1 && s.periods <= kXmlCapU16;
}

bool CheckChart(CChart& chart) {
    ChartSettings& c = chart.settings;
    // A type or legend code no chart has would be drawn by no branch: a plain chart stands in.
    c.type = WrittenChartType(c.type);
    if (c.legendCode > kLastLegendCode) c.legendCode = 0;
    bool ok = Within(c.viewWidth, kViewSizeMin, kViewSizeMax) &&
              Within(c.viewHeight, kViewSizeMin, kViewSizeMax) && Within(c.barSize, 1, 100) &&
              Within(c.stackBarSize, 1, 100) && c.pieSplit <= 100 && c.lightDirectionX <= 180 &&
              c.lightDirectionY <= 180 && Within(c.perspective, 1, 100) &&
              CheckFont(c.titleFont[0].font) && CheckFont(c.titleFont[1].font) &&
              CheckFont(c.legendFont.font) && CheckFill(c.planeFill) && CheckLine(c.planeBorder);
    if (ok && c.type == kChart3D)
        ok = Within(c.lineWidth3D, 1, 100) && Within(c.pieThickness3D, 1, 100);
    for (const float m : chart.viewMatrix) ok = ok && std::isfinite(m);
    for (int i = 0; ok && i < c.seriesCount && i < kChartSeries; ++i) {
        const SeriesSettings& s = chart.series[i].settings;
        ok = CheckSeries(s) && CheckPeriods(s, c.type);
    }
    return ok;
}

bool CheckContainer(CContainer& box, ContainerIds& ids) {
    ContainerSettings& s = box.settings;
    // Two containers with one id would print and update as one.
    ids.MakeUnique(s.id);
    // An edge of -2^31 has no opposite: the frame's arithmetic needs its negation.
    for (int32_t* edge : {&s.left, &s.top, &s.right, &s.bottom})
        *edge = std::max(*edge, -INT32_MAX);
    // Any spacing is valid: the Contents/Size page stores 0 to 255.
    bool ok = Within(s.id, 1, kXmlCapU16) && Within(s.columns, 1, kXmlCapU8) &&
              Within(s.rows, 1, kXmlCapU8) && s.opacity <= 100 && CheckFont(s.titleFont[0].font) &&
              CheckFont(s.titleFont[1].font) && CheckLine(s.border) &&
              CheckBackground(s.background);
    for (int i = 0; ok && i < s.objectCount; ++i)
        if (CChart* chart = box.slots[i].chart.get()) ok = CheckChart(*chart);
    return ok;
}

bool CheckSheet(CWorksheet& sheet, ContainerIds& ids) {
    bool ok = CheckPageSetupRecord(sheet.pageSetup) && CheckView(sheet.view);
    for (CContainer* box = sheet.firstContainer; ok && box; box = box->next)
        ok = CheckContainer(*box, ids);
    return ok;
}

} // namespace

bool CheckLoadedRecords(CWorkbook& book) {
    const StyleTables& tables = book.styles;
    for (int i = 0; i < tables.fontCount; ++i)
        if (!CheckFont(tables.fonts[i])) return false;
    for (int i = 0; i < tables.styleCount; ++i)
        if (!CheckStyle(tables.styles[i])) return false;
    ContainerIds ids;
    for (CTreeItem* item = book.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item); sheet && !CheckSheet(*sheet, ids)) return false;
    return true;
}

} // namespace vl
