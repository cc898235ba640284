// The page setup of a version-6 worksheet. A body without one still sets every field the
// record would have set, from zeros.

#include "files/v6records.h"
#include "model/worksheet.h"

#include <string>
#include <string_view>

namespace vl {

namespace {

// Page flags.
constexpr uint32_t kV6PrintSelection = 1u << 1;
constexpr uint32_t kV6PrintPages = 1u << 2;
constexpr uint32_t kV6Collate = 1u << 3;
constexpr uint32_t kV6BackToFront = 1u << 4;
constexpr uint32_t kV6CenterHorizontally = 1u << 5;
constexpr uint32_t kV6AlignmentBit6 = 1u << 6;
constexpr uint32_t kV6FitToSheet = 1u << 7;
constexpr uint32_t kV6OnFirstPage = 1u << 8;
constexpr uint32_t kV6RowHeadings = 1u << 9;
constexpr uint32_t kV6ColumnHeadings = 1u << 10;
constexpr uint32_t kV6ShowGrid = 1u << 17;

constexpr uint8_t kZeroFont[kLogFontSize] = {};

struct PagesPerSheet {
    uint16_t value;
    uint8_t rows;
    uint8_t columns;
};

constexpr PagesPerSheet kPagesPerSheet[] = {
    {1, 1, 1},  {2, 1, 2},  {2, 2, 1},  {4, 2, 2},  {4, 4, 1},  {4, 1, 4},
    {6, 3, 2},  {6, 2, 3},  {6, 6, 1},  {6, 1, 6},  {9, 3, 3},  {12, 4, 3},
    {12, 3, 4}, {12, 6, 2}, {12, 2, 6}, {16, 4, 4}, {25, 5, 5},
};

struct V6PageSetup {
    uint32_t flags = 0;
    std::string_view pages;
    uint16_t paper = 0;
    uint16_t pagesPerSheet = 0;
    double margins[4] = {}; // left, top, right, bottom
    std::string_view header, footer;
    double headerDistance = 0, footerDistance = 0;
    const uint8_t* headerFont = kZeroFont;
    COLORREF headerColor = 0;
};

std::string_view LengthText(CV6Input& in) {
    return in.Text(in.U32());
}

bool ReadRecord(CV6Input& in, V6PageSetup& r) {
    in.U32();
    r.flags = in.U32();
    r.pages = LengthText(in);
    in.U16();
    r.paper = in.U16();
    in.Skip(4);
    r.pagesPerSheet = in.U16();
    for (double& m : r.margins) m = in.F64();
    r.header = LengthText(in);
    r.footer = LengthText(in);
    r.headerDistance = in.F64();
    r.footerDistance = in.F64();
    r.headerFont = in.Bytes(kLogFontSize);
    r.headerColor = in.U32();
    in.Skip(kLogFontSize + 4 * 4 + 16 + 16);
    LengthText(in);
    LengthText(in);
    return in.Ok();
}

void SetText(char* field, std::string_view text) {
    CopyTextField(field, std::string(text.substr(0, kV6TextLimit)).c_str(), kPageTextSize);
}

void ApplyFlags(const V6PageSetup& r, PageSetupRecord& p, ViewSettingsRecord& view) {
    const uint32_t f = r.flags;
    if (f & kV6PrintSelection) {
        p.printRangeKind = kPrintSelection;
        p.printRange = RangeDescriptor{0, 0, kRefCell, 0, 0, kRefCell};
    }
    if (f & kV6PrintPages) {
        p.printRangeKind = kPrintPageList;
        SetText(p.pages, r.pages);
    }
    p.collate = (f & kV6Collate) != 0;
    p.backToFront = (f & kV6BackToFront) != 0;
    if (f & kV6CenterHorizontally) p.alignment = uint8_t(p.alignment + 2);
    if (f & kV6AlignmentBit6) p.alignment = uint8_t(p.alignment + 16);
    p.fitToSheetSize = (f & kV6FitToSheet) != 0;
    p.onFirstPage = (f & kV6OnFirstPage) != 0;
    p.rowHeadings = (f & kV6RowHeadings) != 0;
    p.columnHeadings = (f & kV6ColumnHeadings) != 0;
    view.showGrid = (f & kV6ShowGrid) != 0;
}

// The first row of the table with the value; a value without a row changes nothing.
void ApplyPagesPerSheet(uint16_t value, PageSetupRecord& p) {
    if (value <= 1) return;
    for (const PagesPerSheet& row : kPagesPerSheet) {
        if (row.value != value) continue;
        p.pagesPerSheetRows = row.rows;
        p.pagesPerSheetColumns = row.columns;
        return;
    }
}

void Apply(const V6PageSetup& r, CWorksheet& sheet) {
    PageSetupRecord& p = sheet.pageSetup;
    CopyTextField(p.paperName, r.paper == 1 ? "Letter" : "A4", kPageTextSize);
    p.landscape = 0;
    ApplyFlags(r, p, sheet.view);
    SetColoredFont(p.headerFont, r.headerFont, r.headerColor);
    SetText(p.footerText, r.footer);
    SetText(p.headerText, r.header);
    p.headerDistance = r.headerDistance * 10.0;
    p.footerDistance = r.footerDistance * 10.0;
    p.marginLeft = r.margins[0] * 10.0;
    p.marginTop = r.margins[1] * 10.0;
    p.marginRight = r.margins[2] * 10.0;
    p.marginBottom = r.margins[3] * 10.0;
    ApplyPagesPerSheet(r.pagesPerSheet, p);
}

} // namespace

bool ReadV6PageSetup(CWorkbook& book, CV6Input& in, CWorksheet& sheet) {
    V6PageSetup record;
    const uint8_t present = in.U8();
    if (!in.Ok() || (present == 1 && !ReadRecord(in, record))) return V6Invalid(book);
    Apply(record, sheet);
    return true;
}

} // namespace vl
